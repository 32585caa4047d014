#include "navigation/place_history.h"

#include <string.h>

#include "content/book_numbers.h"

namespace {

void PutWord(uint8_t* out, uint16_t value) {
    out[0] = (uint8_t)(value & 0xFF);
    out[1] = (uint8_t)(value >> 8);
}

uint16_t WordAt(const uint8_t* bytes) { return (uint16_t)(bytes[0] | bytes[1] << 8); }

bool Step(PlaceHistory* history, BookPlace here, int direction, BookPlace* to) {
    int target = history->current + direction;
    if (history->count == 0 || target < 0 || target >= history->count) return false;
    history->places[history->current] = here;
    history->current = target;
    *to = history->places[target];
    return true;
}

}  // namespace

void ClearHistory(PlaceHistory* history) { memset(history, 0, sizeof(*history)); }

void UpdateCurrentPlace(PlaceHistory* history, BookPlace here) {
    if (history->count == 0) {
        history->places[0] = here;
        history->count = 1;
        history->current = 0;
        return;
    }
    history->places[history->current] = here;
}

void RecordMove(PlaceHistory* history, BookPlace here, BookPlace to) {
    UpdateCurrentPlace(history, here);
    history->count = history->current + 1;
    if (history->count == kHistoryPlaces) {
        memmove(&history->places[0], &history->places[1], sizeof(BookPlace) * (kHistoryPlaces - 1));
        history->count--;
    }
    history->places[history->count] = to;
    history->current = history->count;
    history->count++;
}

bool CanGoBack(const PlaceHistory* history) { return history->count > 0 && history->current > 0; }

bool CanGoForward(const PlaceHistory* history) { return history->current + 1 < history->count; }

bool StepBack(PlaceHistory* history, BookPlace here, BookPlace* to) { return Step(history, here, -1, to); }

bool StepForward(PlaceHistory* history, BookPlace here, BookPlace* to) { return Step(history, here, 1, to); }

size_t WriteHistory(const PlaceHistory* history, uint8_t* out) {
    PutWord(out, kHistoryFormat);
    PutWord(out + 2, (uint16_t)history->count);
    PutWord(out + 4, (uint16_t)history->current);
    uint8_t* at = out + kHistoryHeaderBytes;
    for (int i = 0; i < history->count; i++, at += kHistoryPlaceBytes) {
        PutWord(at, history->places[i].section);
        PutWord(at + 2, history->places[i].topOffset);
    }
    return (size_t)(at - out);
}

bool ReadHistory(const uint8_t* bytes, size_t byteCount, PlaceHistory* history) {
    ClearHistory(history);
    if (!bytes || byteCount < kHistoryHeaderBytes || WordAt(bytes) != kHistoryFormat) return false;
    size_t count = WordAt(bytes + 2);
    size_t current = WordAt(bytes + 4);
    if (count > (size_t)kHistoryPlaces || byteCount != kHistoryHeaderBytes + count * kHistoryPlaceBytes) return false;
    if (count == 0 ? current != 0 : current >= count) return false;
    PlaceHistory read;
    ClearHistory(&read);
    const uint8_t* at = bytes + kHistoryHeaderBytes;
    for (size_t i = 0; i < count; i++, at += kHistoryPlaceBytes) {
        BookPlace place = {WordAt(at), WordAt(at + 2)};
        if (!IsMainTextSection(place.section)) return false;
        read.places[i] = place;
    }
    read.count = (int)count;
    read.current = (int)current;
    *history = read;
    return true;
}
