#include "content/section_heading.h"

#include <stdio.h>

#include "content/book_numbers.h"
#include "content/section_records.h"
#include "platform/mirrored_text.h"

namespace {

const int kUnicodeLetterBase = 0x5D0;  // alef
const wchar_t kEllipsis = 0x2026;
const wchar_t kSpace = L' ';

// Appends a title stored in drawing order, as read: its characters from the
// last, each bracket turned, without the spaces at either end. Stops at the
// room's end; returns the new length.
int AppendInReadingOrder(const TitleLine& line, wchar_t* out, int length, int room) {
    int first = 0, last = line.length - 1;
    while (first <= last && line.text[first] == kSpaceCode) first++;
    while (last >= first && line.text[last] == kSpaceCode) last--;
    for (int i = last; i >= first && length < room; i--)
        out[length++] = MirroredBracket((wchar_t)CharacterOfCode(line.text[i], kUnicodeLetterBase));
    return length;
}

int AppendText(const wchar_t* text, wchar_t* out, int length, int room) {
    for (; *text && length < room; text++) out[length++] = *text;
    return length;
}

// Cuts a heading that overfills `room` (at least 1) after the last whole word
// that leaves room for the ellipsis, and adds it.
int CutAtWord(wchar_t* heading, int length, int room) {
    int keep = room - 1;
    if (keep < length && heading[keep] != kSpace) {
        int space = keep;
        while (space > 0 && heading[space] != kSpace) space--;
        if (space > 0) keep = space;
    }
    while (keep > 0 && (heading[keep - 1] == kSpace || heading[keep - 1] == L',')) keep--;
    heading[keep++] = kEllipsis;
    return keep;
}

int WriteNumber(int section, wchar_t* heading, int headingChars) {
    int written = swprintf(heading, (size_t)headingChars, L"%d", PairOfSection(section));
    if (written < 0 || written >= headingChars) written = 0;  // no room for it: nothing
    heading[written] = 0;
    return written;
}

}  // namespace

int SectionHeading(const uint8_t* sectionText, int section, wchar_t* heading, int headingChars) {
    if (!heading || headingChars <= 0) return 0;
    TitleLine title, subtitle;
    FindSectionTitles(sectionText, &title, &subtitle);
    if (!title.length && !subtitle.length) return WriteNumber(section, heading, headingChars);
    int room = headingChars - 1;
    if (room > kSectionHeadingChars - 1) room = kSectionHeadingChars - 1;
    // One more than the room is gathered: a heading that overfills it is
    // seen to, and cut at a word.
    wchar_t gathered[kSectionHeadingChars];
    int length = AppendInReadingOrder(title, gathered, 0, room + 1);
    if (length && subtitle.length) length = AppendText(L", ", gathered, length, room + 1);
    length = AppendInReadingOrder(subtitle, gathered, length, room + 1);
    if (length > room) length = room ? CutAtWord(gathered, length, room) : 0;
    for (int i = 0; i < length; i++) heading[i] = gathered[i];
    heading[length] = 0;
    return length;
}
