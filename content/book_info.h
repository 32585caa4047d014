// The book information resource: what the book is, how many section pairs it
// has, and where its text and commentary came from.
//
// Raw-data resource 999 holds UTF-8 text, one "key: value" line each, ended
// by LF. Keys: "id" (1 to 64 of A-Z a-z 0-9 . _ -), "title", "pairs" (1 to
// 15883, the sections running up to 31766), and for each source, with the
// prefix "text." or "commentary.": "title", "heTitle", "edition", "source"
// (an address) and "license". Unknown keys are ignored, so that later books
// can add some; a value holds at most 512 bytes, the resource at most 16 KiB.
#pragma once

#include <stddef.h>
#include <stdint.h>

const uint16_t kBookInfoResource = 999;
const size_t kBookInfoMaxBytes = 16384;
const size_t kBookInfoMaxValue = 512;
const size_t kBookIdMaxChars = 64;
const int kBookInfoMaxPairs = 15883;

// Every value is NUL-terminated UTF-8; an empty one was not given.
struct BookSourceInfo {
    char title[kBookInfoMaxValue + 1];
    char heTitle[kBookInfoMaxValue + 1];
    char edition[kBookInfoMaxValue + 1];
    char source[kBookInfoMaxValue + 1];
    char license[kBookInfoMaxValue + 1];
};

struct BookInfo {
    char id[kBookIdMaxChars + 1];
    char title[kBookInfoMaxValue + 1];
    int pairs;
    BookSourceInfo text;
    BookSourceInfo commentary;
};

// Reads the resource's bytes into `info`, which it clears first. Refuses
// (returns false, leaving `info` cleared) bytes over 16 KiB, a line that is
// not "key: value", a known key given twice, a value over 512 bytes or with
// control characters or bytes that are not UTF-8, an id outside its
// characters, and a missing or invalid "pairs". Never reads past `cb` bytes.
bool ParseBookInfo(const uint8_t* bytes, size_t cb, BookInfo* info);

// Writes `info` in the resource's form: the given keys in a fixed order,
// "pairs" always. Returns the byte count, or 0 when the result would not fit
// `capacity` or would not parse back (a bad id, value or pair count).
size_t FormatBookInfo(const BookInfo* info, uint8_t* out, size_t capacity);

// The field of a known text key ("id", "title", "text.title", ...,
// "commentary.license"), or null for "pairs" and unknown keys.
char* BookInfoField(BookInfo* info, const char* key, size_t keyLength);

// Whether `length` bytes make a book id: 1 to 64 of A-Z a-z 0-9 . _ -.
bool IsValidBookId(const char* id, size_t length);

// Whether `length` bytes make a value: at most 512 bytes of well-formed
// UTF-8 without control characters.
bool IsValidBookInfoValue(const char* value, size_t length);

// The demonstration edition's id; its About box stays the one it always had.
extern const char kEditionBookId[];

// Whether the About box has something to say of the book: a title of a book
// other than the demonstration edition, or a source.
bool HasBookCredits(const BookInfo* info);

// The About box's lines, CR LF between them: the book's title, then for the
// text and the commentary given, "Text: " or "Commentary: " with the title,
// edition, source and licence ("licence unknown" without one). Returns the
// byte count without the NUL it ends with; 0 when `capacity` is too small.
size_t FormatBookCredits(const BookInfo* info, char* out, size_t capacity);

// Reads resource 999 of the program's own module. False when it is missing
// or refused; `info` is cleared then.
bool LoadBookInfo(BookInfo* info);
