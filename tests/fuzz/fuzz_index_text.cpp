// libFuzzer target: arbitrary bytes as an index text, walked and given a
// bookmark group. The first bytes choose the bookmark list, the rest is the
// index; both are copied to buffers of exactly their size, so any read past
// them is caught.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include "navigation/index_records.h"
#include "platform/services.h"

namespace {

const size_t kMaxBookmarks = 8;

uint32_t SumRecords(IndexText text) {
    IndexWalker walker;
    StartIndexWalk(&walker, text.bytes, text.byteCount);
    IndexRecord record;
    uint32_t sum = 0;
    while (NextIndexRecord(&walker, &record)) {
        for (uint32_t i = 0; i <= record.textLength; i++) sum += text.bytes[record.textOffset + i];
    }
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    size_t bookmarkCount = data[0] % (kMaxBookmarks + 1);
    if (size < 1 + 2 * bookmarkCount) return 0;
    uint16_t* bookmarks = (uint16_t*)PlatformAlloc(sizeof(uint16_t) * (bookmarkCount + 1));
    for (size_t i = 0; i < bookmarkCount; i++) bookmarks[i] = (uint16_t)(data[1 + 2 * i] | data[2 + 2 * i] << 8);
    bookmarks[bookmarkCount] = 0;

    size_t indexBytes = size - 1 - 2 * bookmarkCount;
    IndexText index = {(uint8_t*)PlatformAlloc(indexBytes), (uint32_t)indexBytes};
    memcpy(index.bytes, data + 1 + 2 * bookmarkCount, indexBytes);
    SumRecords(index);

    IndexText joined = PrependBookmarkGroup(bookmarks, (uint16_t)bookmarkCount, index);
    SumRecords(joined);
    // The joined text is a whole index: its records fill it up to its end.
    if (joined.bytes != index.bytes && IndexRecordsBytes(joined.bytes, joined.byteCount) + kIndexEndBytes !=
                                           joined.byteCount)
        __builtin_trap();
    PlatformFree(joined.bytes);
    PlatformFree(bookmarks);
    return 0;
}
