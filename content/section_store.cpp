#include "content/section_store.h"

#include <string.h>

#include "content/palmdoc.h"
#include "platform/services.h"

namespace {

uint8_t* Fail(int* error, int code) {
    if (error) *error = code;
    return nullptr;
}

inline uint16_t ReadBigEndian16(const uint8_t* p) { return (uint16_t)(p[0] << 8 | p[1]); }

// The expansion behind UnCompress; `report` shows its message box.
uint8_t* ExpandStream(const SectionStream* stream, bool report, int* error) {
    if (!stream || !stream->input || stream->outputLength == 0) return Fail(error, kSectionNoStream);
    uint8_t* output = (uint8_t*)PlatformAlloc((size_t)stream->outputLength + kSectionTailBytes);
    if (!output) return Fail(error, kSectionUnloadable);
    size_t produced = ExpandPalmDoc(stream->input, stream->inputLength, output, stream->outputLength);
    if (produced != stream->outputLength) {
        PlatformFree(output);
        if (report) ShowPlainMessage("UnCompress() buffer error!");
        return Fail(error, kSectionBadStream);
    }
    memset(output + stream->outputLength, 0, kSectionTailBytes);
    return output;
}

uint8_t* ExpandBlock(const uint8_t* block, uint32_t blockLength, bool report, int* error) {
    if (blockLength < 5) return Fail(error, kSectionBadHeader);
    uint16_t compressedLength = ReadBigEndian16(block);
    if (compressedLength == 0) return Fail(error, kSectionBadHeader);
    // The stream must lie inside the block; the trailer is never read.
    if (kStreamHeaderBytes + compressedLength > blockLength) return Fail(error, kSectionBadHeader);
    SectionStream stream = {block + kStreamHeaderBytes, compressedLength, ReadBigEndian16(block + 2)};
    return ExpandStream(&stream, report, error);
}

uint8_t* LoadText(int sectionNumber, bool report, uint32_t* textBytes, int* error) {
    if (sectionNumber < 1) return nullptr;
    uint16_t resourceId = (uint16_t)(1000 + sectionNumber);
    const uint8_t* resource = nullptr;
    uint32_t resourceSize = 0;
    int lookup = FindRawDataResource(resourceId, &resource, &resourceSize);
    if (lookup == kResourceMissing) return Fail(error, kSectionNoResource);
    if (lookup != kResourceFound) return Fail(error, kSectionUnloadable);
    if (resourceSize < kSectionHeaderBytes) return Fail(error, kSectionBadHeader);
    uint16_t blockLength = ReadBigEndian16(resource);
    if (blockLength > resourceSize - kSectionHeaderBytes) return Fail(error, kSectionBadHeader);
    uint8_t* text = ExpandBlock(resource + kSectionHeaderBytes, blockLength, report, error);
    // The expanded length, read from the block that was just checked.
    if (text && textBytes) *textBytes = ReadBigEndian16(resource + kSectionHeaderBytes + 2);
    return text;
}

}  // namespace

uint8_t* LoadSectionText(int sectionNumber, int* error) { return LoadSectionTextWithLength(sectionNumber, nullptr, error); }

uint8_t* LoadSectionTextWithLength(int sectionNumber, uint32_t* textBytes, int* error) {
    return LoadText(sectionNumber, true, textBytes, error);
}

uint8_t* LoadSectionTextQuietly(int sectionNumber, uint32_t* textBytes, int* error) {
    return LoadText(sectionNumber, false, textBytes, error);
}

uint8_t* ExpandSectionBlock(const uint8_t* block, uint32_t blockLength, int* error) {
    return ExpandBlock(block, blockLength, true, error);
}

uint8_t* UnCompress(const SectionStream* stream, int* error) { return ExpandStream(stream, true, error); }
