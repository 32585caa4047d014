#include "content/utf8.h"

size_t DecodeUtf8(const uint8_t* p, size_t left, uint32_t* codePoint) {
    uint8_t b = p[0];
    size_t length;
    uint32_t value;
    if (b < 0x80) {
        *codePoint = b;
        return 1;
    }
    if ((b & 0xE0) == 0xC0) length = 2, value = b & 0x1F;
    else if ((b & 0xF0) == 0xE0) length = 3, value = b & 0x0F;
    else if ((b & 0xF8) == 0xF0) length = 4, value = b & 0x07;
    else return 0;
    if (left < length) return 0;
    for (size_t i = 1; i < length; i++) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        value = value << 6 | (p[i] & 0x3F);
    }
    static const uint32_t kSmallest[5] = {0, 0, 0x80, 0x800, 0x10000};
    if (value < kSmallest[length] || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
    *codePoint = value;
    return length;
}
