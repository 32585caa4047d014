#include "content/palmdoc.h"

#include <string.h>

namespace {

const size_t kMaxTokenOutput = 10;  // a back-reference writes at most 10 bytes
const size_t kMaxTokenInput = 9;    // a literal run reads at most 1 + 8 bytes

inline size_t BackReferenceDistance(uint8_t high, uint8_t low) {
    return (((size_t)high << 8 | low) >> 3) & 0x7FF;
}

inline size_t BackReferenceLength(uint8_t low) { return (size_t)(low & 7) + 3; }

// Copies one back-reference while at least kMaxTokenOutput bytes of output
// remain, so the tail of a wide copy may spill harmlessly into bytes that the
// following tokens overwrite.
inline void CopyBackReferenceFast(uint8_t* out, size_t distance, size_t length) {
    const uint8_t* from = out - distance;
    if (distance >= 8) {
        memcpy(out, from, 8);  // the first 8 source bytes are all written already
        out[8] = from[8];
        out[9] = from[9];
        return;
    }
    for (size_t i = 0; i < length; i++) out[i] = from[i];
}

// Back-references (0x80 to 0xBF) and literal runs (0x01 to 0x08).
inline bool IsRareToken(uint8_t token) {
    return (token & 0xC0) == 0x80 || (uint8_t)(token - 1) < 8;
}

// True when all eight bytes at `p` are tokens that stand for themselves
// (0x09 to 0x7F), as the letters of a section mostly are.
inline bool EightPlainBytes(const uint8_t* p) {
    const uint64_t kHighBits = 0x8080808080808080ull;
    uint64_t word;
    memcpy(&word, p, 8);
    // Adding 0x77 to a byte below 0x80 sets its high bit exactly when the
    // byte is 9 or more, and cannot carry into the next byte.
    return (word & kHighBits) == 0 && (~(word + 0x7777777777777777ull) & kHighBits) == 0;
}

}  // namespace

size_t ExpandPalmDoc(const uint8_t* input, size_t inputLength, uint8_t* output,
                     size_t outputCapacity) {
    const uint8_t* in = input;
    const uint8_t* inEnd = input + inputLength;
    uint8_t* out = output;
    uint8_t* outEnd = output + outputCapacity;

    // Fast path: every token fits in what is left of both buffers, so no
    // bound needs checking inside a token.
    while ((size_t)(inEnd - in) >= kMaxTokenInput && (size_t)(outEnd - out) >= kMaxTokenOutput) {
        if (EightPlainBytes(in)) {
            memcpy(out, in, 8);
            in += 8;
            out += 8;
            continue;
        }
        uint8_t token = *in++;
        if (!IsRareToken(token)) {
            // A byte for itself or a space and a letter, without a branch on which.
            bool spaced = token >= 0xC0;
            out[0] = spaced ? ' ' : token;
            out[1] = token ^ 0x80;
            out += 1 + spaced;
        } else if (token >= 0x80) {
            uint8_t low = *in++;
            size_t distance = BackReferenceDistance(token, low);
            if (distance == 0 || distance > (size_t)(out - output)) return kPalmDocInvalid;
            size_t length = BackReferenceLength(low);
            CopyBackReferenceFast(out, distance, length);
            out += length;
        } else {
            memcpy(out, in, 8);
            out += token;
            in += token;
        }
    }

    // Checked tail: the output bound before every byte, the input bound
    // before every byte read.
    while (out < outEnd && in < inEnd) {
        uint8_t token = *in++;
        if (token >= 0xC0) {
            *out++ = ' ';
            if (out < outEnd) *out++ = token ^ 0x80;
        } else if (token >= 0x80) {
            if (in == inEnd) return kPalmDocInvalid;
            uint8_t low = *in++;
            size_t distance = BackReferenceDistance(token, low);
            if (distance == 0 || distance > (size_t)(out - output)) return kPalmDocInvalid;
            size_t length = BackReferenceLength(low);
            for (size_t i = 0; i < length && out < outEnd; i++, out++) *out = *(out - distance);
        } else if (token >= 1 && token <= 8) {
            size_t count = token;
            if ((size_t)(outEnd - out) < count) count = (size_t)(outEnd - out);
            if ((size_t)(inEnd - in) < count) return kPalmDocInvalid;
            memcpy(out, in, count);
            out += count;
            in += count;
        } else {
            *out++ = token;
        }
    }
    return (size_t)(out - output);
}
