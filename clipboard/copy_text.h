// Copy and Append: a pane's whole section as plain wide text, one line per
// paragraph record, handed to the clipboard writer.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct TextPane;

// Puts the whole section of `pane` on the clipboard (append 0) or adds it to
// what is there (append 1); with a selection in the pane, the selection
// (CopySelectionText). Does nothing without a pane or without text.
void CopyPaneText(TextPane* pane, int append);

// The pane's selected text in the forms of the section copy: each paragraph
// it touches as one line without spaces at its ends, a blank line after a
// paragraph end, then a line with the section's heading (title, subtitle),
// its source. Nothing without a selection.
void CopySelectionText(TextPane* pane, int append);
// Writes that text into `buffer` (`bufferBytes` long), mapped by the letter
// base and mirrored as the flags word says, and a 0. One of CopyTextResult.
int BuildSelectionText(const TextPane* pane, wchar_t* buffer, size_t bufferBytes);
// Characters of a buffer that always holds it.
size_t SelectionTextBufferChars(const TextPane* pane);
// `count` codes as Copy gives them to other programs: Unicode letters in
// reading order. The caller frees the result with PlatformFree; null when
// memory runs out.
wchar_t* CopyFormOfCodes(const uint8_t* codes, int count);

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

// Writes the text of every record into `buffer` (`bufferBytes` long), mapped
// by the program-wide letter base and mirrored in Reverse mode like the
// screen: each record's text and its indent spaces, or a rule's hyphens, then
// CR LF, twice after a paragraph end; then a 0. Never writes past the buffer.
int BuildCopyText(const uint8_t* text, wchar_t* buffer, size_t bufferBytes);
