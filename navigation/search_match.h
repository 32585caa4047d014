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

// Options of the matcher; their sum is the stored "SearchOptions". With none
// the pattern is compared byte for byte.
const uint32_t kSearchFinalLetters = 1;  // final kaf, mem, nun, pe and tsadi match their regular forms
const uint32_t kSearchSkipVavYod = 2;    // vav and yod are left out of the pattern and of the text
const uint32_t kSearchKnownOptions = kSearchFinalLetters | kSearchSkipVavYod;

struct SearchPattern {
    const uint8_t* bytes;
    int length;        // 0: no search is set
    uint32_t options;  // kSearch... bits
};

// The pattern of a stored search string: its bytes before the first 0, at
// most kMaxSearchCodes and never past `fieldBytes`, whatever the field holds.
// Its options are 0.
SearchPattern PatternOfSearchString(const uint8_t* searchString, size_t fieldBytes);

// A letter code as the options compare it: a final form as its regular
// letter, and kSkippedCode for vav and yod when they are left out.
const int kSkippedCode = -1;
int ComparedCode(uint8_t code, uint32_t options);

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

// Where a match lies in a section: its last byte and length, and the text of
// the record that holds it (its first byte and the 0 that ends it). With
// options the match covers the text as it stands in the book, from its first
// compared byte to its last, vav and yod between them included.
struct SectionHit {
    uint16_t endOffset;
    uint16_t length;
    uint16_t recordStart;
    uint16_t recordEnd;
};

// Receives the matches of FindAllInSectionText; false stops the search (it
// could not keep the match).
typedef bool (*SectionHitSink)(void* context, const SectionHit* hit);

// Every match of `pattern` in `text`, in the order Search Again goes through
// them from the section's start: records in stored order, and within a
// record from the highest end down, each match ending before the one before
// it starts. Returns how many there were, or kSearchNoMemory when the working
// memory could not be allocated or the sink refused a match.
int FindAllInSectionText(const uint8_t* text, uint32_t limit, const SearchPattern* pattern, SearchAllocator allocate,
                         SectionHitSink sink, void* context);

// An offset past every record, for FindBeforeInSectionText: the whole
// section lies before it.
const int kPastEveryRecord = 0x10000;

// The match that comes just before `boundOffset` in Search Again's order:
// the last match of FindAllInSectionText that ends above `boundOffset` in
// the record holding it, or else that lies in an earlier record. Returns its
// last byte's offset and stores its length, 0 when there is none, or
// kSearchNoMemory.
int FindBeforeInSectionText(const uint8_t* text, uint32_t limit, int boundOffset, const SearchPattern* pattern,
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
    bool markBeginsRecord;   // the mark starts at its record's first text byte
    uint16_t nextRecord;     // then where the record after it starts
};

// Without a mark on the top line and with more to read below, the search
// starts at the top line's last stored byte; after a match that begins the
// top line it goes on from the end of the next line (when there is one);
// otherwise it goes on just before the match (with no match at all: 65535,
// past every record).
// A mark that no line shows could not be scrolled to, so the view says
// nothing of it: the search goes on just before it. Just before a mark that
// begins its record is the gap before the record, which would search the
// record in full and find the mark again; the search goes on after the
// record instead.
uint16_t ResumeOffsetOf(const ResumeView* view);

// Where Search Previous looks back from, the mirror of ResumeOffsetOf: a
// match is left behind only when it is one the search shows from here (the
// bound is its last byte, so the match itself is not found again); without
// one the top line's last stored byte, or with the view at the end and no
// match at all kPastEveryRecord, so that the section's last match comes first.
int BackwardBoundOf(const ResumeView* view);
