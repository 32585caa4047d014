#include "content/palmdoc.h"

#include <string.h>

namespace {

// Room the fast path needs: eight plain bytes read or written, then one token,
// which reads at most 1 + 8 bytes (a literal run) and writes at most 10 (a
// back-reference).
const size_t kFastInput = 8 + 9;
const size_t kFastOutput = 8 + 10;

inline size_t BackReferenceDistance(uint8_t high, uint8_t low) {
    return (((size_t)high << 8 | low) >> 3) & 0x7FF;
}

inline size_t BackReferenceLength(uint8_t low) { return (size_t)(low & 7) + 3; }

// Copies one back-reference in the fast path, where at least 10 bytes of
// output remain: a wide copy may spill past the reference's own length into
// bytes that the following tokens overwrite.
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

// How many of the eight bytes at `p` are, from the first on, tokens that
// stand for themselves (0x09 to 0x7F), as most letters of a section are.
inline size_t LeadingPlainBytes(const uint8_t* p) {
    const uint64_t kHighBits = 0x8080808080808080ull;
    uint64_t word;
    memcpy(&word, p, 8);
    // With the high bits cleared, adding 0x77 to a byte sets its high bit
    // exactly when the byte is 9 or more, and never carries into the next.
    uint64_t atLeastNine = ((word & ~kHighBits) + 0x7777777777777777ull) & kHighBits;
    uint64_t notPlain = ((word & kHighBits) | ~atLeastNine) & kHighBits;
    if (notPlain == 0) return 8;
    return (size_t)__builtin_ctzll(notPlain) >> 3;
}

}  // namespace

size_t ExpandPalmDoc(const uint8_t* input, size_t inputLength, uint8_t* output,
                     size_t outputCapacity) {
    const uint8_t* in = input;
    const uint8_t* inEnd = input + inputLength;
    uint8_t* out = output;
    uint8_t* outEnd = output + outputCapacity;

    // Fast path: a run of up to eight plain bytes and then one token fit in
    // what is left of both buffers, so no bound needs checking inside.
    while ((size_t)(inEnd - in) >= kFastInput && (size_t)(outEnd - out) >= kFastOutput) {
        size_t plain = LeadingPlainBytes(in);
        memcpy(out, in, 8);
        in += plain;
        out += plain;
        if (plain == 8) continue;
        uint8_t token = *in++;
        if (token >= 0xC0) {
            out[0] = ' ';
            out[1] = token ^ 0x80;
            out += 2;
        } else if (token >= 0x80) {
            uint8_t low = *in++;
            size_t distance = BackReferenceDistance(token, low);
            if (distance == 0 || distance > (size_t)(out - output)) return kPalmDocInvalid;
            size_t length = BackReferenceLength(low);
            CopyBackReferenceFast(out, distance, length);
            out += length;
        } else if (token != 0) {
            memcpy(out, in, 8);
            out += token;
            in += token;
        } else {
            *out++ = 0;
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
