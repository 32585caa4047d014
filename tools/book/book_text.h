// Text of the book source: UTF-8 in reading order on one side, the reader's
// letter-code bytes in drawing order on the other.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

// Turns one run of source text (already split from its markup) into letter
// codes, in reading order. Hebrew letters become 0x61..0x7B, "{" becomes the
// escape byte 0x7E, maqaf becomes "-", Latin-1 letters keep their code.
// Escapes: \\ \[ \# \@ \s (a space that is kept) and \xNN (any byte but 0).
// On failure returns false with the reason and the byte column (0-based) of
// the offending character.
bool EncodeSourceText(const std::string& utf8, std::vector<uint8_t>* codes, std::string* reason,
                      size_t* column);

// The inverse: letter codes in reading order back into source text, with
// escapes for what would otherwise be lost (spaces at either end, a leading
// markup character, bytes without a character of their own).
std::string DecodeToSourceText(const std::vector<uint8_t>& codes);

// Reading order <-> drawing order. The whole text is reversed and paired
// brackets swap, except that runs of digits and Latin letters (with single
// separators such as "." or "-" inside them) keep their own order, as they
// read left to right. Applying it twice gives the text back.
std::vector<uint8_t> ToDrawingOrder(const std::vector<uint8_t>& codes);

// Reads one UTF-8 code point at `at`; returns its byte length, or 0 when the
// bytes are not well-formed UTF-8.
size_t ReadUtf8(const std::string& text, size_t at, uint32_t* codePoint);

// UTF-8 of one code point (up to U+FFFF).
void AppendUtf8(std::string* out, uint32_t codePoint);

// A number as Hebrew letters, with the customary ט"ו and ט"ז, marked with '
// after a single letter or " before the last: 1 א', 15 ט"ו, 178 קע"ח. From
// 400 the hundreds repeat ת (900 תת"ק); thousands come first as a letter
// with ' (1001 א'א'). Written with ASCII marks, as the book stores them.
std::string HebrewNumeral(int n);
