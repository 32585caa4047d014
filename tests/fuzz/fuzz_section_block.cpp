// libFuzzer target: arbitrary bytes as a section block, then a walk over the
// records of whatever expands with its heading, and the same bytes walked as
// records directly.
#include <stddef.h>
#include <stdint.h>

#include "content/section_heading.h"
#include "content/section_records.h"
#include "content/section_store.h"
#include "platform/services.h"

namespace {

void Ignore(const char*, void*) {}

// Touches every record the way the layout and the search do.
uint32_t WalkRecords(const uint8_t* text, uint32_t limit) {
    RecordWalker walker;
    StartRecordWalk(&walker, text, limit);
    ParagraphRecord record;
    uint32_t sum = 0;
    while (NextParagraphRecord(&walker, &record)) {
        for (uint32_t i = 0; i < record.textLength; i++) sum += text[record.textOffset + i];
    }
    if (limit != kUnboundedWalk) return sum;
    TitleLine title, subtitle;
    FindSectionTitles(text, &title, &subtitle);
    // The heading at every room from none to more than it takes.
    wchar_t heading[kSectionHeadingChars + 8];
    for (int room = 0; room <= kSectionHeadingChars + 8; room += 7) sum += SectionHeading(text, 23, heading, room);
    return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetMessageSink(Ignore, nullptr);
    int error = 0;
    uint8_t* text = ExpandSectionBlock(data, (uint32_t)size, &error);
    if (text) {
        WalkRecords(text, kUnboundedWalk);
        PlatformFree(text);
    }
    WalkRecords(data, (uint32_t)size);
    return 0;
}
