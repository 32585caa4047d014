// Whether the resources in the book's module make a book the reader can show:
// its information names it and says how many pairs it has, and every section
// of every pair and the index expand. Run on a book file before it replaces
// the open book. Window-free.
#pragma once

#include "content/book_info.h"

enum BookCheckResult {
    kBookReadable = 0,
    kBookNoInformation = 1,   // no book information: not a book
    kBookBadInformation = 2,  // information that does not parse
    kBookNoId = 3,            // information without the book's id
    kBookDamagedSection = 4,  // a section that does not expand or has no usable first record
    kBookDamagedIndex = 5,    // the index does not expand
};

struct BookCheck {
    int result;       // BookCheckResult
    int section;      // the damaged section, for kBookDamagedSection
    int loadError;    // its SectionLoadError (0: expanded, but no usable record)
};

// Checks the resources FindRawDataResource finds now, filling `info` (cleared
// unless the information parses). Shows no message.
BookCheck CheckBookResources(BookInfo* info);

// What is wrong, in a few words for a message ("section 12 is damaged: ...").
// Writes at most `capacity` bytes, NUL included.
void DescribeBookCheck(const BookCheck& check, char* text, size_t capacity);
