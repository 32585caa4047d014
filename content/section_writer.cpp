// Builds section resources; used by the book compiler and the tests, never by
// the reader itself.
#include <string.h>

#include "content/palmdoc.h"
#include "content/section_store.h"

namespace {

inline void WriteBigEndian16(uint8_t* p, uint16_t value) {
    p[0] = (uint8_t)(value >> 8);
    p[1] = (uint8_t)value;
}

}  // namespace

size_t SectionResourceBound(size_t textLength) {
    return kSectionHeaderBytes + kStreamHeaderBytes + PalmDocCompressBound(textLength) +
           kSectionTrailerBytes;
}

size_t BuildSectionResource(const uint8_t* text, size_t textLength, uint16_t reserved1,
                            uint16_t reserved2, uint8_t* output) {
    if (textLength == 0 || textLength > 0xFFFF) return 0;
    uint8_t* stream = output + kSectionHeaderBytes + kStreamHeaderBytes;
    size_t compressedLength = PalmDocCompress(text, textLength, stream);
    if (compressedLength == 0) return 0;
    size_t blockLength = kStreamHeaderBytes + compressedLength + kSectionTrailerBytes;
    if (blockLength > 0xFFFF) return 0;
    WriteBigEndian16(output, (uint16_t)blockLength);
    WriteBigEndian16(output + 2, reserved1);
    WriteBigEndian16(output + 4, reserved2);
    WriteBigEndian16(output + 6, (uint16_t)compressedLength);
    WriteBigEndian16(output + 8, (uint16_t)textLength);
    memset(stream + compressedLength, 0, kSectionTrailerBytes);
    return kSectionHeaderBytes + blockLength;
}
