// Copy and Append: a pane's whole section as plain wide text, one line per
// paragraph record, handed to the clipboard writer.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "clipboard/reading_text.h"

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

// Writes the text of every record into `buffer` (`bufferBytes` long), mapped
// by the program-wide letter base and mirrored in Reverse mode like the
// screen: each record's text and its indent spaces, or a rule's hyphens, then
// CR LF, twice after a paragraph end; then a 0. Never writes past the buffer.
int BuildCopyText(const uint8_t* text, wchar_t* buffer, size_t bufferBytes);
// The form BuildCopyText gives letters in while a copy is being built (the
// Reverse bit flipped for it): the program-wide letter base, mirrored in
// Reverse mode.
ReadingForm CopyReadingForm();
// The form of Copy at any other time: how others read the text.
ReadingForm ReadingFormOfCopy();
