#include "clipboard/copy_text.h"

#include <windows.h>

#include <string.h>

#include "app/app_state.h"
#include "clipboard/clipboard_writer.h"
#include "content/section_records.h"
#include "panes/text_pane.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const uint8_t kLargestPixelRule = 160;
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

// The record's text as the screen maps it, then its indent as spaces.
bool AppendParagraphText(const uint8_t* text, const ParagraphRecord& record, CopyTextOutput* out) {
    const uint8_t* codes = text + record.textOffset;
    const wchar_t* converted = ToDisplayText(codes, &gDisplayTextCache, (int)record.textLength);
    if (!converted) return false;
    PutChars(out, converted, record.textLength);
    PutRepeated(out, kSpace, (size_t)IndentPixels(record.indent));
    return true;
}

// Unicode letters go to programs that order right-to-left text themselves and
// want it in reading order, the mirror of the stored drawing order: so the
// copy is mirrored exactly when the screen is not. Single-byte letters are
// copied as the screen shows them.
bool CopyMirrorsOppositeToScreen() { return HasUnicodeLetters(gApp.font.letterBase); }

}  // namespace

int RuleHyphenCount(uint8_t value) {
    return value <= kLargestPixelRule ? value : (value - kLargestPixelRule) * 2;
}

uint32_t MeasureCopyText(const uint8_t* text, CopyTextCounts* counts) {
    memset(counts, 0, sizeof *counts);
    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    while (NextParagraphRecord(&walker, &record)) {
        counts->records += (record.flags & kFlagParagraphEnd) ? 2 : 1;
        if (IsSpacerRecord(record.flags)) {
            counts->ruleChars += (uint32_t)RuleHyphenCount(record.indent);
        } else {
            counts->indentChars += (uint32_t)IndentPixels(record.indent);
        }
    }
    uint32_t textBytes = walker.position;  // the walk stops on the closing 0
    counts->textChars = textBytes + textBytes / 2;
    return counts->records;
}

size_t CopyTextBufferChars(const CopyTextCounts* counts) {
    size_t lineEndChars = 2 * (size_t)counts->records;
    return (size_t)counts->textChars + lineEndChars + counts->ruleChars + counts->indentChars + 1;
}

int BuildCopyText(const uint8_t* text, wchar_t* buffer, size_t bufferBytes) {
    size_t capacity = bufferBytes / sizeof(wchar_t);
    if (capacity == 0) return kCopyTextFull;
    CopyTextOutput out = {buffer, buffer + capacity - 1, false};
    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    int result = kCopyTextBuilt;
    while (!out.full && NextParagraphRecord(&walker, &record)) {
        if (IsSpacerRecord(record.flags)) {
            AppendRule(record.indent, &out);
        } else if (!AppendParagraphText(text, record, &out)) {
            result = kCopyTextNoMemory;
            break;
        }
        PutLineEnd(&out);
        if (record.flags & kFlagParagraphEnd) PutLineEnd(&out);
    }
    *out.next = 0;
    if (out.full) return kCopyTextFull;
    return result;
}

void CopyPaneText(TextPane* pane, int append) {
    if (!pane || !pane->text) return;
    const uint8_t* text = pane->text;
    CopyTextCounts counts;
    MeasureCopyText(text, &counts);
    size_t bufferBytes = CopyTextBufferChars(&counts) * sizeof(wchar_t);
    wchar_t* buffer = (wchar_t*)AllocOrAbort(bufferBytes);
    if (!buffer) return;  // the program is ending: leave everything as it is

    uint32_t savedFlags = gApp.flags;
    if (CopyMirrorsOppositeToScreen()) gApp.flags ^= kFlagReverse;
    int built = BuildCopyText(text, buffer, bufferBytes);
    gApp.flags = savedFlags;

    // Only with the flags back: the message box's own loop may repaint.
    if (built == kCopyTextFull) ShowMessageBox(gApp.mainWindow, L"(obuf > (start + size))", nullptr, 0);
    if (built == kCopyTextBuilt) PutOnClipboard(buffer, append);
    PlatformFree(buffer);
}
