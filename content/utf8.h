// UTF-8 read strictly: no overlong forms, no surrogates, nothing past
// U+10FFFF. Shared by the book information and the book tool.
#pragma once

#include <stddef.h>
#include <stdint.h>

// The length of the well-formed character at `p` (of `left` bytes, at least
// one), with its code point in *codePoint; 0 when the bytes are not one.
size_t DecodeUtf8(const uint8_t* p, size_t left, uint32_t* codePoint);
