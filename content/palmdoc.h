// PalmDoc LZ77: the expander that every section goes through and the
// compressor that builds section resources.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Returned by ExpandPalmDoc for a stream that cannot be expanded safely: a
// back-reference before the start of the output (or of distance 0), or a
// literal run or back-reference byte that lies past the end of the stream.
const size_t kPalmDocInvalid = (size_t)-1;

// Expands `input` into `output` until `outputCapacity` bytes are written or
// the input ends. Returns the number of bytes written, or kPalmDocInvalid.
// Reaching the capacity ends the expansion, even in the middle of a token.
size_t ExpandPalmDoc(const uint8_t* input, size_t inputLength, uint8_t* output,
                     size_t outputCapacity);

// The largest stream PalmDocCompress can produce for `inputLength` bytes.
size_t PalmDocCompressBound(size_t inputLength);

// Compresses `input` into `output`, which must hold PalmDocCompressBound
// bytes. Returns the stream length, or 0 for empty input or when memory runs
// out. ExpandPalmDoc gives the input back.
size_t PalmDocCompress(const uint8_t* input, size_t inputLength, uint8_t* output);
