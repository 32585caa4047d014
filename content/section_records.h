// Paragraph records of an expanded section: the one reader of the record
// layout, shared by the layout, the search and the copy code.
//
// A section text is a run of records (flags byte, indent or value byte, text
// ending in NUL) closed by a zero flags byte.
#pragma once

#include <stdint.h>

// Flags byte.
const uint8_t kSpacerFlags = 0x07;      // low three bits all set: a spacer record
const uint8_t kFlagLarge = 0x04;
const uint8_t kFlagSmall = 0x02;
const uint8_t kFlagBold = 0x08;
const uint8_t kFlagReversed = 0x10;     // text stored in drawing order
const uint8_t kAlignMask = 0x60;
const uint8_t kAlignRight = 0x20;
const uint8_t kAlignCentre = 0x40;
const uint8_t kFlagParagraphEnd = 0x80; // a blank row follows the last line
const uint8_t kStyleMask = 0x1F;        // the bits a pane caches a font under

// Indent byte of a text record.
const uint8_t kIndentMask = 0x3F;
const int kHangingShift = 6;

// Exact flags bytes that mark the section titles.
const uint8_t kTitleFlags = 0xDC;
const uint8_t kSubtitleFlags = 0xD1;

// Letter codes.
const uint8_t kFirstLetterCode = 0x61;
const uint8_t kLastLetterCode = 0x7B;
const uint8_t kBraceEscape = 0x7E;  // "~" stands for "{"
const uint8_t kSpaceCode = 0x20;    // between words; lines break at it
const uint32_t kBraceCharacter = 0x7B;

// The character a code is shown as under `letterBase`: a letter becomes
// letterBase + its number, the escape the brace, any other byte itself.
inline uint32_t CharacterOfCode(uint8_t code, int letterBase) {
    if (code >= kFirstLetterCode && code <= kLastLetterCode)
        return (uint32_t)letterBase + (uint32_t)(code - kFirstLetterCode);  // wraps, never overflows
    return code == kBraceEscape ? kBraceCharacter : code;
}

// The inverse of CharacterOfCode, for text typed or pasted in that form. The
// letters come first: with base 97 the brace is tav, whose key enters it.
// Any other character keeps its low byte.
inline uint8_t CodeOfCharacter(uint32_t c, int letterBase) {
    int64_t letter = (int64_t)c - letterBase;
    if (letter >= 0 && letter <= kLastLetterCode - kFirstLetterCode) return (uint8_t)(kFirstLetterCode + letter);
    return c == kBraceCharacter ? kBraceEscape : (uint8_t)(c & 0xFF);
}

inline bool IsSpacerRecord(uint8_t flags) { return (flags & kSpacerFlags) == kSpacerFlags; }
// A section can be laid out only when its first record is a spacer or has
// text; one that fails this cannot be shown.
inline bool HasUsableFirstRecord(const uint8_t* text) {
    return text[0] != 0 && (IsSpacerRecord(text[0]) || text[2] != 0);
}
inline int HangingCode(uint8_t indentByte) { return indentByte >> kHangingShift; }
inline int IndentPixels(uint8_t indentByte) { return indentByte & kIndentMask; }

struct ParagraphRecord {
    uint32_t offset;      // of the flags byte, from the start of the section
    uint8_t flags;
    uint8_t indent;       // indent byte, or the value byte of a spacer
    uint32_t textOffset;  // first text byte
    uint32_t textLength;  // bytes before the text's NUL
    uint32_t nextOffset;  // where the next record starts
};

// Walks the records of one section text. `limit` is the number of bytes that
// may be read. Buffers from LoadSectionText end in kSectionTailBytes zero
// bytes, which stop every walk inside them, so their walkers may pass
// kUnboundedWalk; any other buffer passes its real size.
struct RecordWalker {
    const uint8_t* text;
    uint32_t limit;
    uint32_t position;
    bool damaged;  // the records ran past the limit without their end
};

const uint32_t kUnboundedWalk = 0xFFFFFFFFu;

void StartRecordWalk(RecordWalker* walker, const uint8_t* text, uint32_t limit);

// Reads the record at the walker's position and moves past it. Returns false
// at the end of the records, or when the next record would not fit the limit
// (then `damaged` is set).
bool NextParagraphRecord(RecordWalker* walker, ParagraphRecord* record);

// A section title or subtitle; length 0 means absent. The width is filled by
// the painter when it measures the title.
struct TitleLine {
    uint16_t length;
    uint16_t width;
    const uint8_t* text;
};

// Finds the title (a first record with flags 0xDC) and the subtitle (a 0xD1
// record right after the title, or first). Either out may be null. The text
// must come from LoadSectionText or end in its guard bytes.
void FindSectionTitles(const uint8_t* text, TitleLine* title, TitleLine* subtitle);
