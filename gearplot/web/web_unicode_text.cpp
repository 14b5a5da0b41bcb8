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

// Unifont's advance of c: 8 pixels a column.
int cellWidth(char32_t c) { return 8 * codePointColumns(c); }

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
