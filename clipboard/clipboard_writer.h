// The clipboard writer: a copied text placed on the clipboard as Unicode text
// and, with Unicode letters, as Rich Text beside it; or added to what is there.
#pragma once

#include <windows.h>
#include <stdint.h>

// Letter bases above this give Unicode letters (0x5D0); 97 and 224 do not.
const int kSingleByteLetterBaseLimit = 256;
inline bool HasUnicodeLetters(int letterBase) { return letterBase > kSingleByteLetterBaseLimit; }

// Copy (append 0) or Append (append 1) of NUL-terminated `text`, by the
// program-wide letter base: Unicode text only for single-byte letters, Rich
// Text and Unicode text for Unicode letters. The clipboard ends up with every
// form complete, or empty, or unchanged; never with part of a text.
void PutOnClipboard(const wchar_t* text, int append);

// Both forms. Append extends each form found on the clipboard: the Rich Text
// becomes one document with a row of asterisks between the parts, the Unicode
// text is joined directly. Plain text without Rich Text beside it starts the
// new document; data that is not Rich Text counts as none.
void PutRtfOnClipboard(const wchar_t* text, int append);

// A private copy of the clipboard's data in `format` (0 means CF_UNICODETEXT),
// up to its terminator but never past its memory block, followed by two 0
// bytes. *byteCount excludes them. Null when there is no such data, and when
// memory ran out (then the program is ending). Free it with PlatformFree.
uint8_t* ReadClipboardData(uint32_t* byteCount, UINT format);

// The registered format "Rich Text Format".
UINT RichTextFormat();
