#include "content/section_records.h"

#include <string.h>

void StartRecordWalk(RecordWalker* walker, const uint8_t* text, uint32_t limit) {
    walker->text = text;
    walker->limit = text ? limit : 0;
    walker->position = 0;
    walker->damaged = false;
}

namespace {

bool StopDamaged(RecordWalker* walker) {
    walker->damaged = true;
    walker->position = walker->limit;
    return false;
}

// The position of the first 0 from `from` on, or `limit` when there is none
// before it. Eight bytes are looked at per step while eight remain, each
// on its own, so nothing past the 0 is read: a search reads every record of
// the book, and this walk is half of its work.
uint32_t TextEnd(const uint8_t* text, uint32_t from, uint32_t limit) {
    uint32_t end = from;
    while (limit - end >= 8) {
        const uint8_t* p = text + end;
        if (!p[0] || !p[1] || !p[2] || !p[3] || !p[4] || !p[5] || !p[6] || !p[7]) break;
        end += 8;
    }
    while (end < limit && text[end] != 0) end++;
    return end;
}

}  // namespace

bool NextParagraphRecord(RecordWalker* walker, ParagraphRecord* record) {
    uint32_t at = walker->position;
    const uint8_t* text = walker->text;
    if (at >= walker->limit) return at > walker->limit ? StopDamaged(walker) : false;
    if (text[at] == 0) return false;
    if (walker->limit - at < 3) return StopDamaged(walker);

    record->offset = at;
    record->flags = text[at];
    record->indent = text[at + 1];
    record->textOffset = at + 2;
    if (IsSpacerRecord(record->flags) && record->indent == 0) {
        // A zero-value spacer is exactly three bytes; its text is not scanned.
        record->textLength = 0;
    } else {
        uint32_t end = TextEnd(text, at + 2, walker->limit);
        if (end == walker->limit) return StopDamaged(walker);
        record->textLength = end - (at + 2);
    }
    record->nextOffset = record->textOffset + record->textLength + 1;
    walker->position = record->nextOffset;
    return true;
}

void FindSectionTitles(const uint8_t* text, TitleLine* title, TitleLine* subtitle) {
    if (title) memset(title, 0, sizeof *title);
    if (subtitle) memset(subtitle, 0, sizeof *subtitle);
    if (!text) return;

    RecordWalker walker;
    StartRecordWalk(&walker, text, kUnboundedWalk);
    ParagraphRecord record;
    if (!NextParagraphRecord(&walker, &record)) return;
    if (record.flags == kTitleFlags) {
        if (title) {
            title->text = text + record.textOffset;
            title->length = (uint16_t)record.textLength;
        }
        if (!NextParagraphRecord(&walker, &record)) return;
    }
    if (record.flags == kSubtitleFlags && subtitle) {
        subtitle->text = text + record.textOffset;
        subtitle->length = (uint16_t)record.textLength;
    }
}
