#include "navigation/index_records.h"

#include <string.h>

#include "platform/services.h"

void StartIndexWalk(IndexWalker* walker, const uint8_t* text, uint32_t byteCount) {
    walker->text = text;
    walker->limit = !text ? 0 : byteCount < kMaxIndexTextBytes ? byteCount : kMaxIndexTextBytes;
    walker->position = 0;
}

bool NextIndexRecord(IndexWalker* walker, IndexRecord* record) {
    const uint8_t* text = walker->text;
    uint32_t at = walker->position;
    uint32_t limit = walker->limit;
    // The style byte ends the list, so it must be readable before anything else.
    if (limit < 3 || at > limit - 3 || text[at + 2] == 0) return false;
    if (limit - at <= kIndexRecordHeaderBytes) return false;
    const uint8_t* found = (const uint8_t*)memchr(text + at + kIndexRecordHeaderBytes, 0,
                                                  limit - at - kIndexRecordHeaderBytes);
    if (!found) return false;
    record->offset = at;
    record->id = (uint16_t)(text[at] | text[at + 1] << 8);
    record->style = text[at + 2];
    record->indent = text[at + 3];
    record->textOffset = at + kIndexRecordHeaderBytes;
    record->textLength = (uint32_t)(found - (text + record->textOffset));
    walker->position = record->textOffset + record->textLength + 1;
    return true;
}

uint32_t IndexRecordsBytes(const uint8_t* text, uint32_t byteCount) {
    IndexWalker walker;
    StartIndexWalk(&walker, text, byteCount);
    IndexRecord record;
    while (NextIndexRecord(&walker, &record)) {}
    return walker.position;
}

bool FindIndexRecord(const uint8_t* text, uint32_t byteCount, uint16_t id, IndexRecord* found) {
    IndexWalker walker;
    StartIndexWalk(&walker, text, byteCount);
    while (NextIndexRecord(&walker, found)) {
        if (found->id == id) return true;
    }
    return false;
}

namespace {

const uint8_t kGroupHeadingText[] = "jiyu";
const uint8_t kGroupHeadingIndent = 1;
const uint8_t kBookmarkLinkIndent = 2;

// Appends one record at `out` + *used, or only counts it when `out` is null.
void PutRecord(uint8_t* out, uint32_t* used, uint16_t id, uint8_t style, uint8_t indent, const uint8_t* text,
               uint32_t textLength) {
    if (out) {
        uint8_t* record = out + *used;
        record[0] = (uint8_t)(id & 0xFF);
        record[1] = (uint8_t)(id >> 8);
        record[2] = style;
        record[3] = indent;
        memcpy(record + kIndexRecordHeaderBytes, text, textLength);
        record[kIndexRecordHeaderBytes + textLength] = 0;
    }
    *used += kIndexRecordHeaderBytes + textLength + 1;
}

// Writes the group's records, without its end, into `out` (or only counts
// them when `out` is null); returns their bytes. The two passes share this,
// so the count always matches what is written.
uint32_t PutGroupRecords(uint8_t* out, const uint16_t* bookmarks, uint16_t bookmarkCount, IndexText index) {
    uint32_t used = 0;
    PutRecord(out, &used, kBookmarkGroupId, kBookmarkGroupStyle, kGroupHeadingIndent, kGroupHeadingText,
              sizeof kGroupHeadingText - 1);
    for (uint32_t i = 0; i < bookmarkCount && bookmarks[i]; i++) {
        uint16_t section = bookmarks[i];
        uint16_t linkId = (uint16_t)(section | kIndexLinkBit);
        IndexRecord link;
        if (!FindIndexRecord(index.bytes, index.byteCount, linkId, &link)) continue;
        PutRecord(out, &used, linkId, kBookmarkLinkStyle, kBookmarkLinkIndent, index.bytes + link.textOffset,
                  link.textLength);
    }
    return used;
}

}  // namespace

IndexText PrependBookmarkGroup(const uint16_t* bookmarks, uint16_t bookmarkCount, IndexText index) {
    if (!bookmarks || bookmarkCount == 0 || bookmarks[0] == 0) return index;
    uint32_t groupBytes = PutGroupRecords(nullptr, bookmarks, bookmarkCount, index);
    uint32_t indexBytes = IndexRecordsBytes(index.bytes, index.byteCount);
    uint32_t total = groupBytes + indexBytes + kIndexEndBytes;
    // Sizes and offsets are 16 bits: a text that would not fit them is shown
    // without the group rather than with a wrapped size.
    if (total > kMaxIndexTextBytes) return index;
    uint8_t* joined = (uint8_t*)PlatformAlloc(total);
    if (!joined) return index;
    PutGroupRecords(joined, bookmarks, bookmarkCount, index);
    if (indexBytes) memcpy(joined + groupBytes, index.bytes, indexBytes);
    memset(joined + groupBytes + indexBytes, 0, kIndexEndBytes);
    PlatformFree(index.bytes);  // replaced by the joined text
    return IndexText{joined, total};
}
