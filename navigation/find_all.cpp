#include "navigation/find_all.h"

#include <string.h>

#include "content/section_records.h"
#include "content/section_store.h"
#include "platform/services.h"

namespace {

const uint32_t kFirstCapacity = 256;

struct Collector {
    const SearchPattern* pattern;
    FindAllResults* results;
    SearchAllocator allocate;
    uint16_t section;
};

bool MakeRoom(Collector* collector) {
    FindAllResults* results = collector->results;
    if (results->count < results->capacity) return true;
    uint32_t larger = results->capacity ? results->capacity * 2 : kFirstCapacity;
    BookMatch* matches = (BookMatch*)collector->allocate(larger * sizeof(BookMatch));
    if (!matches) return false;
    if (results->count) memcpy(matches, results->matches, results->count * sizeof(BookMatch));
    PlatformFree(results->matches);
    results->matches = matches;
    results->capacity = larger;
    return true;
}

bool KeepHit(void* context, const SectionHit* hit) {
    Collector* collector = (Collector*)context;
    if (!MakeRoom(collector)) return false;
    collector->results->matches[collector->results->count++] = {collector->section, *hit};
    return true;
}

// The section's matches go into the results; the text stays with them when
// there are any. False when memory ran out.
bool CollectSection(Collector* collector, int section) {
    uint8_t* text = LoadSectionText(section, nullptr);
    if (!text) return true;
    int found = 0;
    if (HasUsableFirstRecord(text)) {
        collector->section = (uint16_t)section;
        found = FindAllInSectionText(text, kUnboundedWalk, collector->pattern, collector->allocate, KeepHit, collector);
    }
    if (found > 0) collector->results->texts[section] = text;  // the results own it now
    else PlatformFree(text);
    return found != kSearchNoMemory;
}

}  // namespace

int FindAllInBook(const SearchPattern* pattern, SearchAllocator allocate, FindAllResults* results) {
    FreeFindAllResults(results);
    if (!pattern || pattern->length <= 0) return kFindAllDone;
    Collector collector = {pattern, results, allocate, 0};
    uint32_t textCount = (uint32_t)kLastBookSection + 1;
    results->texts = (uint8_t**)allocate(textCount * sizeof(uint8_t*));
    if (!results->texts) return kFindAllNoMemory;
    memset(results->texts, 0, textCount * sizeof(uint8_t*));
    results->textCount = textCount;
    for (int section = 1; section <= kLastBookSection; section++) {
        if (!CollectSection(&collector, section)) {
            FreeFindAllResults(results);
            return kFindAllNoMemory;
        }
    }
    return kFindAllDone;
}

void FreeFindAllResults(FindAllResults* results) {
    PlatformFree(results->matches);
    for (uint32_t i = 0; i < results->textCount; i++) PlatformFree(results->texts[i]);
    PlatformFree(results->texts);
    results->texts = nullptr;
    results->textCount = 0;
    results->matches = nullptr;
    results->count = 0;
    results->capacity = 0;
}
