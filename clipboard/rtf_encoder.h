// Rich Text of a copied section, with no window needed: the body encoder, the
// fixed parts of a document and the document's assembly, new or appended.
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

// The opening of a new document: Hebrew font "David", three colours, right to
// left, 10-point type, no fallback characters after Unicode escapes.
extern const char kRtfHeader[];
const size_t kRtfHeaderBytes = 180;
// Put between an old document and the appended body: a centred row of five
// red 36-point asterisks, then back to right-aligned 10-point black.
extern const char kRtfSeparator[];
const size_t kRtfSeparatorBytes = 52;

// The length of an old document without its trailing CR, LF, space and TAB
// bytes and then without one closing "}".
size_t TrimRtfForAppend(const char* old, size_t oldBytes);

// The exact size, terminator included, of a document holding a body of
// `bodyBytes`: a new one when `oldBytes` is 0, else one appended to `old`.
// Programs under X receive the whole memory block, so it has no spare bytes.
size_t RtfDocumentBytes(const char* old, size_t oldBytes, size_t bodyBytes);

// Writes the document into `out`, which holds RtfDocumentBytes(old, oldBytes,
// bodyBytes): the header, or the trimmed old document and the separator; the
// body; "}" CR LF and a 0. Returns the length before the 0.
size_t WriteRtfDocument(char* out, const char* old, size_t oldBytes, const char* body, size_t bodyBytes);
