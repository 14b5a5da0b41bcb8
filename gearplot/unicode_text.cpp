// Text in any script: GLUT's bitmap fonts stop at Latin-1, so captions in Japanese are drawn
// glyph by glyph with glBitmap from a GNU Unifont .hex file read once at start.
#include "emit.h"

#include <array>
#include <cerrno>
#include <cstring>
#include <fstream>
#include <unordered_map>

namespace {

constexpr int glyphHeight = 16;   // pixels, every Unifont glyph
constexpr int glyphDescent = 2;   // pixels below the baseline

struct Glyph {
    int width;                                   // 8 or 16 pixels
    std::array<unsigned char, 2 * glyphHeight> rows;  // bottom row first, as glBitmap reads them
};

// The loaded font, one per program.
std::unordered_map<char32_t, Glyph> unicodeFont;

// The empty box drawn for a character the font lacks.
const Glyph missingGlyph = [] {
    Glyph g{8, {}};
    for (int row = 1; row < glyphHeight - 1; ++row) g.rows[row] = row == 1 || row == glyphHeight - 2 ? 0x7E : 0x42;
    return g;
}();

int hexDigit(char c)
{
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// One line "CODE:BITS"; false for anything else.
bool parseGlyphLine(const std::string& line, char32_t* code, Glyph* glyph)
{
    const std::size_t colon = line.find(':');
    if (colon == std::string::npos || colon == 0 || colon > 8) return false;
    char32_t c = 0;
    for (std::size_t i = 0; i < colon; ++i) {
        const int d = hexDigit(line[i]);
        if (d < 0) return false;
        c = c * 16 + static_cast<char32_t>(d);
    }
    std::size_t bits = line.size() - colon - 1;
    while (bits > 0 && (line.back() == '\r')) --bits;
    if (bits != 32 && bits != 64) return false;
    const int bytesPerRow = static_cast<int>(bits) / 32;
    glyph->width = 8 * bytesPerRow;
    glyph->rows.fill(0);
    for (int row = 0; row < glyphHeight; ++row)
        for (int b = 0; b < bytesPerRow; ++b) {
            const std::size_t at = colon + 1 + 2 * (row * bytesPerRow + b);
            const int high = hexDigit(line[at]), low = hexDigit(line[at + 1]);
            if (high < 0 || low < 0) return false;
            glyph->rows[(glyphHeight - 1 - row) * bytesPerRow + b] = static_cast<unsigned char>(high * 16 + low);
        }
    *code = c;
    return true;
}

const Glyph& glyphOf(char32_t c)
{
    const auto found = unicodeFont.find(c);
    return found == unicodeFont.end() ? missingGlyph : found->second;
}

}  // namespace

bool loadUnicodeFont(const std::string& fileName, std::string* reason)
{
    std::ifstream in(fileName);
    if (!in) {
        *reason = fileName + ": " + std::strerror(errno);
        return false;
    }
    std::unordered_map<char32_t, Glyph> font;
    std::string line;
    while (std::getline(in, line)) {
        char32_t code = 0;
        Glyph glyph{};
        if (parseGlyphLine(line, &code, &glyph)) font[code] = glyph;
    }
    if (font.empty()) {
        *reason = fileName + ": no glyphs in the Unifont .hex format";
        return false;
    }
    unicodeFont = std::move(font);
    return true;
}

bool unicodeFontLoaded() { return !unicodeFont.empty(); }

void drawUnicodeText(float x, float y, const char* text)
{
    glPushAttrib(GL_CURRENT_BIT);
    glRasterPos2f(x, y);
    recordCaption(x, y, text);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    for (const char* p = text; *p;) {
        const Glyph& g = glyphOf(nextCodePoint(&p));
        glBitmap(g.width, glyphHeight, 0, glyphDescent, static_cast<float>(g.width), 0, g.rows.data());
    }
    glPopAttrib();
}

int unicodeTextWidth(const char* text)
{
    int width = 0;
    for (const char* p = text; *p;) width += glyphOf(nextCodePoint(&p)).width;
    return width;
}
