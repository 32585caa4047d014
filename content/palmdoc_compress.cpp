#include "content/palmdoc.h"

#include <stdlib.h>
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
const size_t kMaxLiteralRun = 8;
const int kHashBits = 12;
const int kHashSize = 1 << kHashBits;
const int kMaxChain = 256;

// Cost of a parse: stream bytes first, then tokens, since both the size and
// the expansion time grow with them (the expander's work is per token).
const uint32_t kCostPerByte = 16;
const uint32_t kCostPerToken = 1;

enum StepKind : uint8_t { kStepPlain, kStepSpaced, kStepRun, kStepMatch };

// One choice of the parse at a position: what token starts there and how many
// input bytes it covers.
struct ParseStep {
    uint32_t cost;  // of the cheapest parse from here to the end
    uint8_t kind;
    uint8_t length;
};

struct Parser {
    int head[kHashSize];
    int* previous;            // hash chain links, one per position
    uint8_t* matchLength;     // longest match at each position, 0 for none
    uint16_t* matchDistance;
    ParseStep* steps;         // inputLength + 1 entries
};

inline unsigned HashThree(const uint8_t* p) {
    return ((p[0] << 10) ^ (p[1] << 5) ^ p[2]) & (kHashSize - 1);
}

bool NeedsLiteralRun(uint8_t byte) { return (byte >= 1 && byte <= 8) || byte >= 0x80; }

bool StartsSpacedPair(const uint8_t* input, size_t inputLength, size_t at) {
    return input[at] == ' ' && at + 1 < inputLength && input[at + 1] >= 0x40 && input[at + 1] <= 0x7F;
}

// Finds the longest earlier match for position `at`, ties going to the nearest.
size_t LongestMatch(const Parser* parser, const uint8_t* input, size_t inputLength, size_t at,
                    size_t* distanceOut) {
    if (at + kMinMatch > inputLength) return 0;
    size_t best = 0;
    int candidate = parser->head[HashThree(input + at)];
    size_t limit = inputLength - at < kMaxMatch ? inputLength - at : kMaxMatch;
    for (int steps = 0; candidate >= 0 && steps < kMaxChain; steps++) {
        size_t distance = at - (size_t)candidate;
        if (distance > kWindow) break;
        size_t length = 0;
        while (length < limit && input[candidate + length] == input[at + length]) length++;
        if (length > best) {
            best = length;
            *distanceOut = distance;
            if (best == limit) break;
        }
        candidate = parser->previous[candidate];
    }
    return best >= kMinMatch ? best : 0;
}

void FindAllMatches(Parser* parser, const uint8_t* input, size_t inputLength) {
    for (int i = 0; i < kHashSize; i++) parser->head[i] = -1;
    for (size_t at = 0; at < inputLength; at++) {
        size_t distance = 0;
        parser->matchLength[at] = (uint8_t)LongestMatch(parser, input, inputLength, at, &distance);
        parser->matchDistance[at] = (uint16_t)distance;
        if (at + kMinMatch > inputLength) continue;
        unsigned hash = HashThree(input + at);
        parser->previous[at] = parser->head[hash];
        parser->head[hash] = (int)at;
    }
}

void Consider(ParseStep* best, uint32_t cost, StepKind kind, size_t length) {
    if (cost >= best->cost) return;
    best->cost = cost;
    best->kind = kind;
    best->length = (uint8_t)length;
}

// Chooses, from the end backwards, the cheapest token at every position.
void ChooseSteps(Parser* parser, const uint8_t* input, size_t inputLength) {
    ParseStep* steps = parser->steps;
    steps[inputLength] = ParseStep{0, kStepPlain, 0};
    for (size_t at = inputLength; at-- > 0;) {
        ParseStep best = {UINT32_MAX, kStepPlain, 1};
        if (!NeedsLiteralRun(input[at]))
            Consider(&best, kCostPerByte + kCostPerToken + steps[at + 1].cost, kStepPlain, 1);
        if (StartsSpacedPair(input, inputLength, at))
            Consider(&best, kCostPerByte + kCostPerToken + steps[at + 2].cost, kStepSpaced, 2);
        // A literal run may carry any bytes, not only those that need it.
        for (size_t k = 1; k <= kMaxLiteralRun && at + k <= inputLength; k++)
            Consider(&best, (uint32_t)(1 + k) * kCostPerByte + kCostPerToken + steps[at + k].cost,
                     kStepRun, k);
        for (size_t length = kMinMatch; length <= parser->matchLength[at]; length++)
            Consider(&best, 2 * kCostPerByte + kCostPerToken + steps[at + length].cost, kStepMatch, length);
        steps[at] = best;
    }
}

size_t EmitSteps(const Parser* parser, const uint8_t* input, size_t inputLength, uint8_t* output) {
    size_t written = 0;
    for (size_t at = 0; at < inputLength;) {
        const ParseStep& step = parser->steps[at];
        switch (step.kind) {
        case kStepPlain:
            output[written++] = input[at];
            break;
        case kStepSpaced:
            output[written++] = input[at + 1] ^ 0x80;
            break;
        case kStepRun:
            output[written++] = step.length;
            memcpy(output + written, input + at, step.length);
            written += step.length;
            break;
        case kStepMatch: {
            unsigned word = 0x8000 | (unsigned)parser->matchDistance[at] << 3 | (unsigned)(step.length - 3);
            output[written++] = (uint8_t)(word >> 8);
            output[written++] = (uint8_t)word;
            break;
        }
        }
        at += step.length;
    }
    return written;
}

void FreeParser(Parser* parser) {
    free(parser->previous);
    free(parser->matchLength);
    free(parser->matchDistance);
    free(parser->steps);
    free(parser);
}

}  // namespace

// An optimal parse: the compressor runs once per section when a book is
// built, so it can afford to weigh every choice at every position.
size_t PalmDocCompress(const uint8_t* input, size_t inputLength, uint8_t* output) {
    if (inputLength == 0) return 0;
    Parser* parser = (Parser*)calloc(1, sizeof(Parser));
    if (!parser) return 0;
    parser->previous = (int*)malloc(inputLength * sizeof(int));
    parser->matchLength = (uint8_t*)malloc(inputLength);
    parser->matchDistance = (uint16_t*)malloc(inputLength * sizeof(uint16_t));
    parser->steps = (ParseStep*)malloc((inputLength + 1) * sizeof(ParseStep));
    size_t written = 0;
    if (parser->previous && parser->matchLength && parser->matchDistance && parser->steps) {
        FindAllMatches(parser, input, inputLength);
        ChooseSteps(parser, input, inputLength);
        written = EmitSteps(parser, input, inputLength, output);
    }
    FreeParser(parser);
    return written;
}
