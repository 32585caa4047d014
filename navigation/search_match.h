// The search's matcher: a pattern of letter codes, with the wildcards "?" and
// "*", found inside the paragraph records of a section text, and the
// conversion of typed text into such a pattern. Builds without windows.h.
//
// Within a record the pattern is compared from its last byte backward, and
// end positions are tried from the highest downward: for the reversed
// paragraphs, stored in drawing order, that is reading order. Records are
// searched in stored order and a match never spans two of them.
#pragma once

#include <stddef.h>
#include <stdint.h>
#include <wchar.h>

const int kMaxSearchCodes = 33;   // the stored search string holds at most this many
const uint8_t kAnyByte = '?';     // matches any one byte, except in the last place
const uint8_t kAnyRun = '*';      // matches any run within a record, except in the last place

struct SearchPattern {
    const uint8_t* bytes;
    int length;  // 0: no search is set
};

// The pattern of a stored search string: its bytes before the first 0, at
// most kMaxSearchCodes and never past `fieldBytes`, whatever the field holds.
SearchPattern PatternOfSearchString(const uint8_t* searchString, size_t fieldBytes);

// Finds `pattern` (patternLength bytes) in the record text that starts at
// `recordText`, trying end positions from `highest` down to `recordText`.
// Returns the position of the match's last byte and stores its length, or
// returns null. A "*" searches the pattern before it, as a pattern of its
// own, from the byte before down to the record's start; when that finds
// nothing, no lower end position can do better, so the record has no match.
const uint8_t* MatchBackward(const uint8_t* recordText, const uint8_t* pattern, int patternLength,
                             const uint8_t* highest, int* matchLength);

// Where one record's text lies: its first byte and the 0 that ends it (equal
// for a record without text, such as a zero spacer).
struct RecordSpan {
    uint16_t textOffset;
    uint16_t endOffset;
};

// Allocation for the record list; blocks are released with PlatformFree.
typedef void* (*SearchAllocator)(size_t byteCount);

struct RecordList {
    RecordSpan* spans;  // owned; release with PlatformFree
    uint32_t count;
};

// Lists the records of `text` (at most `limit` bytes may be read; pass
// kUnboundedWalk for a buffer from LoadSectionText). Only records that end
// within the first 65536 bytes count, so every offset fits 16 bits. False,
// with an empty list, when memory for the list ran out.
bool ListSectionRecords(const uint8_t* text, uint32_t limit, SearchAllocator allocate, RecordList* list);

const int kSearchNoMemory = -1;

// Searches the records of `text` for `pattern`, starting at `startOffset`:
// the record holding it from there toward its start, then every later record
// in full. Returns the offset of the last byte of the first match and stores
// its length, or 0 when nothing matches, or kSearchNoMemory when the record
// list could not be allocated.
int FindInSectionText(const uint8_t* text, uint32_t limit, uint16_t startOffset, const SearchPattern* pattern,
                      SearchAllocator allocate, int* matchLength);

// Rebuilds a search string from typed text, undoing the letter mapping
// (CodeOfCharacter: the letters and the brace get their codes back, every
// other character keeps its low 8 bits), and a run of spaces becomes one
// space. The result (at most kMaxSearchCodes codes and a 0) is written to
// `field`, which holds `fieldBytes` bytes. Nothing is reversed: the edit
// already holds drawing order.
void EditTextToSearchString(const wchar_t* text, int letterBase, uint8_t* field, size_t fieldBytes);

// Where FindNext resumes in a pane, from the pane's top line L (its first
// stored byte and the end of what it shows), the line N after it, the rows
// and the pane's mark.
struct ResumeView {
    uint16_t topOffset;
    uint16_t topEnd;     // one past the top line's last stored byte
    uint16_t nextEnd;    // one past the next line's last byte; 0 past the last line
    uint16_t firstRow;
    uint16_t lastFirstRow;
    uint16_t markStart;
    uint16_t markEnd;
    bool markOnNoLine;  // a mark that no line shows, such as one in a rule's text
};

// Without a mark on the top line and with more to read below, the search
// starts at the top line's last stored byte; after a match that begins the
// top line it goes on from the end of the next line; otherwise it goes on
// just before the match (with no match at all: 65535, past every record).
// A mark that no line shows could not be scrolled to, so the view says
// nothing of it: the search goes on just before it.
uint16_t ResumeOffsetOf(const ResumeView* view);
