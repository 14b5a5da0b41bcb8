// Key help: the one table of a program's keys, from which its console or window help and
// the buttons of its web page are both made.
#include "emit.h"

void printKeyHelp(std::FILE* out, const KeyHelp lines[], int count, const char* separator)
{
    for (int i = 0; i < count; ++i) std::fprintf(out, "\n%s%s%s", lines[i].names, separator, lines[i].effect);
}

std::string keyHelpLine(const KeyHelp& line, int column)
{
    std::string text = line.names;
    for (int used = textColumns(line.names); used < column; ++used) text += ' ';
    return text + line.effect;
}

int codePointColumns(char32_t c)
{
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
                      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
    return wide ? 2 : 1;
}

int textColumns(const char* text)
{
    int columns = 0;
    for (const char* p = text; *p;) columns += codePointColumns(nextCodePoint(&p));
    return columns;
}
