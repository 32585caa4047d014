// Section resources: a section number becomes its expanded paragraph records.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Failure codes stored through the loaders' error out-parameter.
enum SectionLoadError {
    kSectionNoResource = 1,   // no resource with that id
    kSectionUnloadable = 2,   // size 0, cannot be loaded, or no memory for the output
    kSectionBadHeader = 3,    // block length below 5, compressed length 0, or a
                              // header that claims more bytes than the resource has
    kSectionNoStream = 4,     // expanded length 0, or no input stream
    kSectionBadStream = 5,    // the stream did not expand to exactly the expanded length
};

// The index of section names is fetched as this section number (resource 32767).
const int kIndexSectionNumber = 31767;

// Resource header: block length, two reserved words; then the block: compressed
// length, expanded length, the stream and a 4-byte trailer. All big-endian.
const uint32_t kSectionHeaderBytes = 6;
const uint32_t kStreamHeaderBytes = 4;
const uint32_t kSectionTrailerBytes = 4;

// Zero bytes that follow the expanded text in every buffer the loader returns:
// the terminating NUL and two guard bytes, so that a walk over damaged records
// always ends inside the buffer (see RecordWalker).
const uint32_t kSectionTailBytes = 3;

struct SectionStream {
    const uint8_t* input;    // first byte of the compressed stream
    uint16_t inputLength;    // compressed length
    uint16_t outputLength;   // expanded length
};

// Returns the expanded text of section `sectionNumber`, owned by the caller and
// released with PlatformFree, or null. A number below 1 returns null at once
// and stores no code; other failures store a SectionLoadError through `error`.
uint8_t* LoadSectionText(int sectionNumber, int* error);
// LoadSectionText that also stores the expanded length, the bytes before the
// tail, through `textBytes` (when given) on success.
uint8_t* LoadSectionTextWithLength(int sectionNumber, uint32_t* textBytes, int* error);

// The same without any message box, for checking a book before it opens.
uint8_t* LoadSectionTextQuietly(int sectionNumber, uint32_t* textBytes, int* error);

// Expands the block that follows a resource's 6-byte header. `blockLength`
// must not exceed the bytes readable at `block`.
uint8_t* ExpandSectionBlock(const uint8_t* block, uint32_t blockLength, int* error);

// Allocates the output and expands the stream into it. Code 5 also shows
// "UnCompress() buffer error!".
uint8_t* UnCompress(const SectionStream* stream, int* error);

// Writes a complete section resource (header, stream, trailer) for `text`.
// Both reserved words hold `reserved1` and `reserved2`. Returns the resource
// size, or 0 when the text is empty or does not fit the 16-bit fields; the
// output must hold SectionResourceBound(textLength) bytes.
size_t BuildSectionResource(const uint8_t* text, size_t textLength, uint16_t reserved1,
                            uint16_t reserved2, uint8_t* output);
size_t SectionResourceBound(size_t textLength);
