#include "clipboard/copy_text.h"

#include <windows.h>

#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "clipboard/clipboard_writer.h"
#include "content/section_heading.h"
#include "content/section_records.h"
#include "panes/pane_select.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const wchar_t kHyphen = L'-';
const wchar_t kSpace = L' ';

// Where the text goes; `end` leaves the terminator its own place.
struct CopyTextOutput {
    wchar_t* next;
    wchar_t* end;
    bool full;
};

bool HasRoom(CopyTextOutput* out, size_t count) {
    if ((size_t)(out->end - out->next) >= count) return true;
    out->full = true;
    return false;
}

void PutChars(CopyTextOutput* out, const wchar_t* chars, size_t count) {
    if (!HasRoom(out, count)) return;
    memcpy(out->next, chars, count * sizeof(wchar_t));
    out->next += count;
}

void PutRepeated(CopyTextOutput* out, wchar_t c, size_t count) {
    if (!HasRoom(out, count)) return;
    for (size_t i = 0; i < count; i++) *out->next++ = c;
}

void PutLineEnd(CopyTextOutput* out) {
    const wchar_t lineEnd[] = {L'\r', L'\n'};
    PutChars(out, lineEnd, 2);
}

void AppendRule(uint8_t value, CopyTextOutput* out) {
    PutRepeated(out, kHyphen, (size_t)RuleHyphenCount(value));
}

// Unicode letters go to programs that order right-to-left text themselves and
// want it in reading order, the mirror of the stored drawing order: so the
// copy is mirrored exactly when the screen is not. Single-byte letters are
// copied as the screen shows them.
bool CopyMirrorsOppositeToScreen() { return HasUnicodeLetters(gApp.font.letterBase); }

// Reverse flipped while a copy is built, when the copy mirrors the screen;
// returns the flags to put back.
uint32_t FlipReverseForCopy() {
    uint32_t savedFlags = gApp.flags;
    if (CopyMirrorsOppositeToScreen()) gApp.flags ^= kFlagReverse;
    return savedFlags;
}

}  // namespace

ReadingForm CopyReadingForm() { return {gApp.font.letterBase, ReverseModeActive()}; }

ReadingForm ReadingFormOfCopy() {
    uint32_t savedFlags = FlipReverseForCopy();
    ReadingForm form = CopyReadingForm();
    gApp.flags = savedFlags;
    return form;
}

namespace {

// ---- A selection ----------------------------------------------------------------

const wchar_t kLineEnd[] = L"\r\n";

bool IsSpace(wchar_t c) { return c == kSpace; }

// Converted codes without the spaces at either end: a selection that starts
// or stops at a space must not leave one at the end of its line.
bool AppendTrimmed(const uint8_t* codes, int count, CopyTextOutput* out) {
    const wchar_t* converted = ToDisplayText(codes, &gDisplayTextCache, count);
    if (!converted) return false;
    int start = 0;
    int end = (int)wcslen(converted);
    while (start < end && IsSpace(converted[start])) start++;
    while (end > start && IsSpace(converted[end - 1])) end--;
    PutChars(out, converted + start, (size_t)(end - start));
    return true;
}

int SectionOfPane(const TextPane* pane) { return pane == gSplit.bottomPane ? gApp.lesson + 1 : gApp.lesson; }

// The source line: the section's heading, in the order the copied text is in.
void AppendHeading(const TextPane* pane, CopyTextOutput* out) {
    wchar_t heading[kSectionHeadingChars];
    int length = ShownSectionHeading(pane->text, SectionOfPane(pane), heading, kSectionHeadingChars);
    PutChars(out, heading, (size_t)length);
}

// One record's share of the selection; false when it has none.
bool AppendSelectedRecord(const uint8_t* text, const ParagraphRecord& record, const SelectedStretches& selected,
                          CopyTextOutput* out, bool* failed) {
    if (IsSpacerRecord(record.flags)) {
        // A rule inside the selection is copied as the section copy gives it.
        TextStretch head = SelectedPart(selected, (int)record.offset, (int)record.offset + 1);
        if (record.indent == 0 || head.start >= head.end) return false;
        AppendRule(record.indent, out);
        return true;
    }
    TextStretch part = SelectedPart(selected, (int)record.textOffset, (int)(record.textOffset + record.textLength));
    if (part.start >= part.end) return false;
    if (!AppendTrimmed(text + part.start, part.end - part.start, out)) *failed = true;
    return true;
}

}  // namespace

int BuildCopyText(const uint8_t* text, wchar_t* buffer, size_t bufferBytes) {
    ReadingOutput out = {};
    out.chars = buffer;
    out.capacity = bufferBytes / sizeof(wchar_t);
    return BuildReadingText(text, CopyReadingForm(), &out);
}

int BuildSelectionText(const TextPane* pane, wchar_t* buffer, size_t bufferBytes) {
    size_t capacity = bufferBytes / sizeof(wchar_t);
    if (capacity == 0) return kCopyTextFull;
    CopyTextOutput out = {buffer, buffer + capacity - 1, false};
    SelectedStretches selected = ResolveSelection(pane);
    RecordWalker walker;
    StartRecordWalk(&walker, pane->text, kUnboundedWalk);
    ParagraphRecord record;
    bool failed = false;
    uint8_t previousFlags = 0;  // of the last record copied; 0 before the first
    while (!out.full && !failed && NextParagraphRecord(&walker, &record)) {
        CopyTextOutput before = out;
        if (previousFlags) {
            PutLineEnd(&out);
            if (previousFlags & kFlagParagraphEnd) PutLineEnd(&out);
        }
        if (AppendSelectedRecord(pane->text, record, selected, &out, &failed)) previousFlags = record.flags;
        else out = before;
    }
    if (!failed && !out.full) {
        PutChars(&out, kLineEnd, 2);
        AppendHeading(pane, &out);
        PutChars(&out, kLineEnd, 2);
    }
    *out.next = 0;
    if (failed) return kCopyTextNoMemory;
    return out.full ? kCopyTextFull : kCopyTextBuilt;
}

wchar_t* CopyFormOfCodes(const uint8_t* codes, int count) {
    uint32_t savedFlags = FlipReverseForCopy();
    wchar_t* converted = ToDisplayText(codes, nullptr, count);
    gApp.flags = savedFlags;
    return converted;
}

size_t SelectionTextBufferChars(const TextPane* pane) {
    CopyTextCounts counts;
    MeasureCopyText(pane->text, &counts);
    // Never more than the whole section gives, and the source line after it.
    return CopyTextBufferChars(&counts) + kSectionHeadingChars + 8;
}

namespace {

using CopyBuilder = int (*)(const TextPane* pane, wchar_t* buffer, size_t bufferBytes);

int BuildSectionCopy(const TextPane* pane, wchar_t* buffer, size_t bufferBytes) {
    return BuildCopyText(pane->text, buffer, bufferBytes);
}

// Builds a copy in a buffer of `bufferChars` and puts it on the clipboard.
void BuildAndPutCopy(const TextPane* pane, size_t bufferChars, CopyBuilder build, int append) {
    size_t bufferBytes = bufferChars * sizeof(wchar_t);
    wchar_t* buffer = (wchar_t*)AllocOrAbort(bufferBytes);
    if (!buffer) return;  // the program is ending: leave everything as it is
    uint32_t savedFlags = FlipReverseForCopy();
    int built = build(pane, buffer, bufferBytes);
    gApp.flags = savedFlags;
    // Only with the flags back: the message box's own loop may repaint.
    if (built == kCopyTextFull) ShowMessageBox(gApp.mainWindow, L"(obuf > (start + size))", nullptr, 0);
    if (built == kCopyTextBuilt) PutOnClipboard(buffer, append);
    PlatformFree(buffer);
}

}  // namespace

void CopyPaneText(TextPane* pane, int append) {
    if (!pane || !pane->text) return;
    if (HasSelection(pane)) {
        CopySelectionText(pane, append);
        return;
    }
    CopyTextCounts counts;
    MeasureCopyText(pane->text, &counts);
    BuildAndPutCopy(pane, CopyTextBufferChars(&counts), BuildSectionCopy, append);
}

void CopySelectionText(TextPane* pane, int append) {
    if (!HasSelection(pane)) return;
    BuildAndPutCopy(pane, SelectionTextBufferChars(pane), BuildSelectionText, append);
}
