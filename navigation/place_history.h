// The places the reader has moved between, which Back and Forward walk the
// way a web browser walks its history, and their stored form. Window-free,
// so it is tested and fuzzed natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

// A place in the book: a main-text section and the text at the top of the
// main pane, as the text offset of the first character read on its top line.
// Rows are renumbered by every new layout; the text stays where it is.
struct BookPlace {
    uint16_t section;
    uint16_t topOffset;
};

const int kHistoryPlaces = 50;

struct PlaceHistory {
    BookPlace places[kHistoryPlaces];  // oldest first
    int count;
    int current;  // the entry of the place the reader is at; 0 when count is 0
};

void ClearHistory(PlaceHistory* history);

// The reader is at `here` now, having stepped or scrolled since the current
// entry was written: the entry follows. An empty list gets `here` as its one
// entry.
void UpdateCurrentPlace(PlaceHistory* history, BookPlace here);

// A move from `here` to `to`: `here` is written into the current entry, the
// places ahead of it are dropped and `to` becomes the newest, current entry.
// When the list is full the oldest place goes.
void RecordMove(PlaceHistory* history, BookPlace here, BookPlace to);

bool CanGoBack(const PlaceHistory* history);
bool CanGoForward(const PlaceHistory* history);

// Back (or Forward): `here` is written into the current entry, so that the
// way back again returns to it, and the entry before (after) it becomes
// current and is given in *to. False, with nothing changed, at the end of
// the list.
bool StepBack(PlaceHistory* history, BookPlace here, BookPlace* to);
bool StepForward(PlaceHistory* history, BookPlace here, BookPlace* to);

// ---- The stored form ("History", REG_BINARY) ------------------------------------
// Little-endian 16-bit words: the format (1), the count, the current entry,
// then section and top offset of each place, oldest first.

const uint16_t kHistoryFormat = 1;
const size_t kHistoryHeaderBytes = 6;
const size_t kHistoryPlaceBytes = 4;
const size_t kHistoryMaxBytes = kHistoryHeaderBytes + kHistoryPlaces * kHistoryPlaceBytes;

// Writes the list into `out` (room for kHistoryMaxBytes) and returns the
// number of bytes written.
size_t WriteHistory(const PlaceHistory* history, uint8_t* out);

// Reads a stored list. Anything but a whole list as WriteHistory writes it
// (another length, format or count, a current entry outside the list, a
// place that is not a main-text section) leaves *history empty and gives
// false: a damaged value costs the list, nothing more.
bool ReadHistory(const uint8_t* bytes, size_t byteCount, PlaceHistory* history);
