// Unicode captions in a page: the page's own font in Unifont's cells, in place of a 3.7 MB
// .hex file that every student would download first. Each character keeps Unifont's advance
// (8 pixels, 16 for East Asian wide ones), so the captions are laid out as on the desktop.
#include "emit.h"

extern "C" {
// Appends one character to the current caption (gearplot_page.js), in a cell width pixels wide.
void gearplot_web_caption_glyph(int codePoint, int width);
}

namespace {

// The page's font stands in once a program has asked for a font.
bool fontAsked = false;

// Unifont's width of c: the East Asian wide and full-width blocks take two cells.
int cellWidth(char32_t c)
{
    const bool wide = (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0x303E) || (c >= 0x3041 && c <= 0x33FF) ||
                      (c >= 0x3400 && c <= 0x4DBF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xA000 && c <= 0xA4CF) ||
                      (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) || (c >= 0xFE30 && c <= 0xFE4F) ||
                      (c >= 0xFF00 && c <= 0xFF60) || (c >= 0xFFE0 && c <= 0xFFE6) || c >= 0x20000;
    return wide ? 16 : 8;
}

}  // namespace

bool loadUnicodeFont(const std::string&, std::string*)
{
    fontAsked = true;
    return true;
}

bool unicodeFontLoaded() { return fontAsked; }

void drawUnicodeText(float x, float y, const char* text)
{
    glRasterPos2f(x, y);
    recordCaption(x, y, text);
    for (const char* p = text; *p;) {
        const char32_t c = nextCodePoint(&p);
        gearplot_web_caption_glyph(static_cast<int>(c), cellWidth(c));
    }
}

int unicodeTextWidth(const char* text)
{
    int width = 0;
    for (const char* p = text; *p;) width += cellWidth(nextCodePoint(&p));
    return width;
}
