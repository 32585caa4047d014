// The Rich Text body of a copied section, with no window needed.
//
// Text comes in as NUL-terminated UTF-16 (the clipboard's wide text); what
// comes out is plain ASCII.
#pragma once

#include <stddef.h>
#include <stdint.h>

// A Hebrew presentation form and its full canonical decomposition.
struct Decomposition {
    char16_t key;
    char16_t replacement[3];  // unused places hold 0
};

// The decomposition of `c`, or null when it has none. Characters below U+05EB
// are never looked up.
const Decomposition* FindDecomposition(char16_t c);

// Encodes `text` as a Rich Text body into `out` and returns the bytes written,
// without a terminator. With no `out` it writes nothing and returns how many
// bytes it would write, so a buffer of that size plus one always suffices.
size_t EncodeRtf(const char16_t* text, char* out);

typedef void* (*ByteAllocator)(size_t byteCount);

// The body of `text` in a new NUL-terminated buffer from `allocate` (free it
// with PlatformFree), its length in *byteCount. Null when `allocate` fails.
char* BuildRtfBody(const char16_t* text, ByteAllocator allocate, size_t* byteCount);
