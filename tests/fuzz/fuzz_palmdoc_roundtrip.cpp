// libFuzzer target: whatever the compressor writes, the expander gives back.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "content/palmdoc.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0 || size > 70000) return 0;
    uint8_t* stream = (uint8_t*)malloc(PalmDocCompressBound(size));
    uint8_t* expanded = (uint8_t*)malloc(size);
    size_t streamLength = PalmDocCompress(data, size, stream);
    if (streamLength > PalmDocCompressBound(size)) abort();
    if (ExpandPalmDoc(stream, streamLength, expanded, size) != size) abort();
    if (memcmp(expanded, data, size) != 0) abort();
    free(stream);
    free(expanded);
    return 0;
}
