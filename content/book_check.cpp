#include "content/book_check.h"

#include <stdio.h>
#include <string.h>

#include "content/book_numbers.h"
#include "content/section_records.h"
#include "content/section_store.h"
#include "platform/services.h"

namespace {

BookCheck Result(int result, int section, int loadError) { return BookCheck{result, section, loadError}; }

// The reader lays out nothing else: a section must expand and start with a
// record the layout takes.
bool SectionUsable(int section, int* loadError) {
    *loadError = 0;
    uint8_t* text = LoadSectionTextQuietly(section, nullptr, loadError);
    if (!text) return false;
    bool usable = HasUsableFirstRecord(text);
    PlatformFree(text);
    return usable;
}

const char* LoadErrorMeaning(int loadError) {
    switch (loadError) {
    case 0: return "it holds no paragraph the reader can show";
    case kSectionNoResource: return "it is missing";
    case kSectionUnloadable: return "it is empty or cannot be loaded";
    case kSectionBadHeader: return "its header is damaged";
    case kSectionNoStream: return "it holds no text";
    case kSectionBadStream: return "its text does not expand to its stated length";
    default: return "it is damaged";
    }
}

}  // namespace

BookCheck CheckBookResources(BookInfo* info) {
    memset(info, 0, sizeof *info);
    const uint8_t* bytes = nullptr;
    uint32_t byteCount = 0;
    if (FindRawDataResource(kBookInfoResource, &bytes, &byteCount) != kResourceFound)
        return Result(kBookNoInformation, 0, 0);
    if (!ParseBookInfo(bytes, byteCount, info) || info->pairs < 1 || info->pairs > kMaxBookPairs)
        return Result(kBookBadInformation, 0, 0);
    if (!info->id[0]) return Result(kBookNoId, 0, 0);
    for (int section = 1; section <= 2 * info->pairs; section++) {
        int loadError = 0;
        if (!SectionUsable(section, &loadError)) return Result(kBookDamagedSection, section, loadError);
    }
    int indexError = 0;
    uint8_t* index = LoadSectionTextQuietly(kIndexSectionNumber, nullptr, &indexError);
    if (!index) return Result(kBookDamagedIndex, 0, indexError);
    PlatformFree(index);
    return Result(kBookReadable, 0, 0);
}

void DescribeBookCheck(const BookCheck& check, char* text, size_t capacity) {
    if (!capacity) return;
    switch (check.result) {
    case kBookReadable: snprintf(text, capacity, "it is a readable book"); break;
    case kBookNoInformation: snprintf(text, capacity, "it is not a book file (it has no book information)"); break;
    case kBookBadInformation: snprintf(text, capacity, "its book information is damaged"); break;
    case kBookNoId: snprintf(text, capacity, "its book information does not give the book's id"); break;
    case kBookDamagedSection:
        snprintf(text, capacity, "section %d is damaged: %s", check.section, LoadErrorMeaning(check.loadError));
        break;
    case kBookDamagedIndex: snprintf(text, capacity, "its index is damaged: %s", LoadErrorMeaning(check.loadError)); break;
    default: snprintf(text, capacity, "it is damaged"); break;
    }
}
