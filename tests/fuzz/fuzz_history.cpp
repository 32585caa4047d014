// libFuzzer target: arbitrary bytes as a stored "History". Whatever is read
// is written back byte for byte; then the rest of the input drives Back,
// Forward and moves, and the list must keep its bounds.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "navigation/place_history.h"

namespace {

void CheckBounds(const PlaceHistory& history) {
    if (history.count < 0 || history.count > kHistoryPlaces) __builtin_trap();
    if (history.count == 0 ? history.current != 0 : history.current < 0 || history.current >= history.count)
        __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    size_t storedBytes = data[0] < size - 1 ? data[0] : size - 1;
    // A copy of exactly its size, so that a read past it is caught.
    uint8_t* stored = (uint8_t*)malloc(storedBytes ? storedBytes : 1);
    memcpy(stored, data + 1, storedBytes);
    PlaceHistory history;
    if (ReadHistory(stored, storedBytes, &history)) {
        uint8_t written[kHistoryMaxBytes];
        size_t writtenBytes = WriteHistory(&history, written);
        if (writtenBytes != storedBytes || memcmp(written, stored, storedBytes) != 0) __builtin_trap();
    }
    free(stored);
    CheckBounds(history);
    const uint8_t* op = data + 1 + storedBytes;
    const uint8_t* end = data + size;
    for (; op + 3 <= end; op += 3) {
        BookPlace here = {(uint16_t)(2 * op[1] + 1), op[2]};
        BookPlace to;
        switch (op[0] % 4) {
        case 0: StepBack(&history, here, &to); break;
        case 1: StepForward(&history, here, &to); break;
        case 2: RecordMove(&history, here, BookPlace{(uint16_t)(2 * op[2] + 1), op[1]}); break;
        default: UpdateCurrentPlace(&history, here); break;
        }
        CheckBounds(history);
    }
    return 0;
}
