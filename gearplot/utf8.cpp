// UTF-8 read one code point at a time, for the Unicode captions.
#include "emit.h"

char32_t nextCodePoint(const char** p)
{
    const auto* s = reinterpret_cast<const unsigned char*>(*p);
    int extra = 0;
    char32_t c = s[0];
    if (c >= 0xF0) extra = 3, c &= 0x07;
    else if (c >= 0xE0) extra = 2, c &= 0x0F;
    else if (c >= 0xC0) extra = 1, c &= 0x1F;
    else if (c >= 0x80) extra = -1;
    int used = 1;
    for (int i = 1; i <= extra; ++i, ++used) {
        if ((s[i] & 0xC0) != 0x80) {
            extra = -1;
            break;
        }
        c = (c << 6) | (s[i] & 0x3F);
    }
    *p += used;
    return extra < 0 ? 0xFFFD : c;
}
