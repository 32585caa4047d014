// Find All: every match of a pattern in the whole book, with the text of each
// section that holds one kept for showing the matches in context. Builds
// without windows.h.
#pragma once

#include <stdint.h>

#include "content/book_numbers.h"
#include "navigation/search_match.h"

struct BookMatch {
    uint16_t section;
    SectionHit hit;
};

// Start from a zeroed record.
struct FindAllResults {
    BookMatch* matches;  // owned; in the order Search Again goes through them from section 1
    uint32_t count;
    uint32_t capacity;
    // Owned: the text of every section with a match, by its number (textCount
    // entries, the book's last section and one); null for the others.
    uint8_t** texts;
    uint32_t textCount;
};

enum FindAllOutcome { kFindAllDone = 0, kFindAllNoMemory = 1 };

// Loads every section of the book in turn and collects its matches into
// `results` (which it clears first). A section that cannot be loaded, or
// that the layout would refuse (it could not show its matches), is passed
// over. On kFindAllNoMemory the results are left empty.
int FindAllInBook(const SearchPattern* pattern, SearchAllocator allocate, FindAllResults* results);

// Frees what the results own and leaves them empty.
void FreeFindAllResults(FindAllResults* results);
