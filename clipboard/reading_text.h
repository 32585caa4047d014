// A section as others read it: the plain wide text of Copy, each record's
// letters in reading order, and for each of its UTF-16 units where in the
// stored text it came from. Copy puts it on the clipboard; the screen-reader
// provider reads it aloud and maps its ranges back to the drawn lines.
// Needs no window, so it builds natively too.
#pragma once

#include <stddef.h>
#include <stdint.h>

// How letters are handed over: the letter base they map to, and whether each
// record's characters are given in the reverse of their stored order (with
// the bracket pairs swapped).
struct ReadingForm {
    int32_t letterBase;
    bool mirror;
};

// What the text of a section needs room for.
struct CopyTextCounts {
    uint32_t records;      // the records, plus once more each with the paragraph-end bit
    uint32_t textChars;    // L + L / 2, L being the bytes before the closing 0
    uint32_t ruleChars;    // the hyphens of every rule
    uint32_t indentChars;  // the indent spaces of every text record
};

// Fills `counts` and returns counts->records. `text` must end in the guard
// bytes of a loaded section.
uint32_t MeasureCopyText(const uint8_t* text, CopyTextCounts* counts);
// Characters of a buffer that always holds the text and its terminator.
size_t CopyTextBufferChars(const CopyTextCounts* counts);

// Hyphens standing for a rule of spacer value `value`: the value up to 160,
// (value - 160) x 2 above.
int RuleHyphenCount(uint8_t value);

enum CopyTextResult {
    kCopyTextBuilt = 0,
    kCopyTextFull = 1,      // the buffer was too small; it holds a cut text
    kCopyTextNoMemory = 2,  // a record could not be converted
};

// Where one record lies in the reading text.
struct ReadingRecord {
    uint32_t storedStart;  // its flags byte
    uint32_t storedNext;   // the next record's flags byte
    uint32_t textOffset;   // its first text byte, and how many there are
    uint32_t textLength;
    uint32_t readStart;    // its first unit in the reading text
    uint32_t blankStart;   // its second line end (the blank row), or kNoBlankRow
    bool spacer;
};
const uint32_t kNoBlankRow = 0xFFFFFFFFu;

// Where the reading text goes. `sources` (one per character, may be null)
// gets the stored offset each unit came from: a letter's own, and for the
// indent, the line ends and a rule's hyphens the record's flags byte.
// `records` (may be null) gets one entry per record, up to recordCapacity.
struct ReadingOutput {
    wchar_t* chars;
    size_t capacity;  // characters, the terminator included
    uint16_t* sources;
    ReadingRecord* records;
    uint32_t recordCapacity;
    size_t length;          // out: characters written before the 0
    uint32_t recordCount;   // out
};

// Writes the text of every record in stored order: its letters by `form`
// and then its indent as spaces, or a rule's hyphens; then CR LF, twice
// after a paragraph end; then a 0. Never writes past the buffer. One of
// CopyTextResult.
int BuildReadingText(const uint8_t* text, ReadingForm form, ReadingOutput* out);

// ---- Rows -------------------------------------------------------------------

// One row of a laid-out pane as the stored text it shows: a line's stretch
// [start, end), or the blank row after a paragraph's last line, which
// carries that line's start.
struct StoredRow {
    uint16_t start;
    uint16_t end;
    bool blank;
};

// The units of the reading text a row stands for, [start, end).
struct ReadingSpan {
    uint32_t start;
    uint32_t end;
};

// The reading unit of stored offset `offset`, a letter of a text record;
// kNoReadingUnit when no record has it.
const uint32_t kNoReadingUnit = 0xFFFFFFFFu;
uint32_t ReadingUnitOfStored(const ReadingRecord* records, uint32_t recordCount, bool mirror, uint32_t offset);

// Gives each of `rowCount` rows its span so that together they cover the
// reading text of `length` units exactly once: a row from the first unit it
// shows up to the next row's first unit in reading order, which takes in
// the spaces a line break swallowed, the indent and the line ends. Text that
// no row shows (the titles in their box) goes to the row read before it, or
// to the first. `spans` has rowCount entries. False when memory runs out.
bool MapRowsToReading(const ReadingRecord* records, uint32_t recordCount, bool mirror, size_t length,
                      const StoredRow* rows, int rowCount, ReadingSpan* spans);
