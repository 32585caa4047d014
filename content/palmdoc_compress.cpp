#include "content/palmdoc.h"

#include <string.h>

size_t PalmDocCompressBound(size_t inputLength) {
    // Worst case: escaped bytes that stand alone between plain ones, each in
    // a literal run of its own, two stream bytes per input byte.
    return 2 * inputLength + 16;
}

namespace {

const size_t kWindow = 2047;  // 11-bit distance
const size_t kMinMatch = 3;
const size_t kMaxMatch = 10;
const int kHashBits = 12;
const int kHashSize = 1 << kHashBits;
const int kMaxChain = 256;

struct MatchFinder {
    int head[kHashSize];
    int previous[65536 + 16];
};

inline unsigned HashThree(const uint8_t* p) {
    return ((p[0] << 10) ^ (p[1] << 5) ^ p[2]) & (kHashSize - 1);
}

bool NeedsLiteralRun(uint8_t byte) { return (byte >= 1 && byte <= 8) || byte >= 0x80; }

// Finds the longest earlier match for position `at`, ties going to the nearest.
size_t LongestMatch(const MatchFinder* finder, const uint8_t* input, size_t inputLength, size_t at,
                    size_t* distanceOut) {
    if (at + kMinMatch > inputLength) return 0;
    size_t best = 0;
    int candidate = finder->head[HashThree(input + at)];
    for (int steps = 0; candidate >= 0 && steps < kMaxChain; steps++) {
        size_t distance = at - (size_t)candidate;
        if (distance > kWindow) break;
        size_t limit = inputLength - at < kMaxMatch ? inputLength - at : kMaxMatch;
        size_t length = 0;
        while (length < limit && input[candidate + length] == input[at + length]) length++;
        if (length > best) {
            best = length;
            *distanceOut = distance;
            if (best == kMaxMatch) break;
        }
        candidate = finder->previous[candidate];
    }
    return best >= kMinMatch ? best : 0;
}

void InsertPosition(MatchFinder* finder, const uint8_t* input, size_t inputLength, size_t at) {
    if (at + kMinMatch > inputLength || at >= 65536) return;
    unsigned hash = HashThree(input + at);
    finder->previous[at] = finder->head[hash];
    finder->head[hash] = (int)at;
}

// Writes one run of bytes that need escaping, at most 8 bytes long.
size_t EmitLiteralRun(const uint8_t* input, size_t at, size_t inputLength, uint8_t* output) {
    size_t count = 0;
    while (count < 8 && at + count < inputLength && NeedsLiteralRun(input[at + count])) count++;
    output[0] = (uint8_t)count;
    memcpy(output + 1, input + at, count);
    return count;
}

}  // namespace

size_t PalmDocCompress(const uint8_t* input, size_t inputLength, uint8_t* output) {
    // Positions past 64 KB are not indexed; sections never come near that.
    static MatchFinder finder;
    for (int i = 0; i < kHashSize; i++) finder.head[i] = -1;

    size_t at = 0;
    size_t written = 0;
    while (at < inputLength) {
        size_t distance = 0;
        size_t length = LongestMatch(&finder, input, inputLength, at, &distance);
        size_t consumed;
        if (length) {
            unsigned word = 0x8000 | (unsigned)(distance << 3) | (unsigned)(length - 3);
            output[written++] = (uint8_t)(word >> 8);
            output[written++] = (uint8_t)word;
            consumed = length;
        } else if (input[at] == ' ' && at + 1 < inputLength && input[at + 1] >= 0x40 &&
                   input[at + 1] <= 0x7F) {
            output[written++] = input[at + 1] ^ 0x80;
            consumed = 2;
        } else if (NeedsLiteralRun(input[at])) {
            consumed = EmitLiteralRun(input, at, inputLength, output + written);
            written += consumed + 1;
        } else {
            output[written++] = input[at];
            consumed = 1;
        }
        for (size_t i = 0; i < consumed; i++) InsertPosition(&finder, input, inputLength, at + i);
        at += consumed;
    }
    return written;
}
