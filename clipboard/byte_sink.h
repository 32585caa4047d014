// Two sinks for one walk that writes bytes: the first counts them, the second
// writes them. Sizing and writing share the walk, so the count can never fall
// behind what is written.
#pragma once

#include <stddef.h>
#include <string.h>

struct ByteCounter {
    size_t count = 0;
    void Put(const char*, size_t byteCount) { count += byteCount; }
    void Put(char) { count++; }
    void PutRepeated(char, size_t byteCount) { count += byteCount; }
};

struct ByteWriter {
    char* next;
    void Put(const char* bytes, size_t byteCount) {
        memcpy(next, bytes, byteCount);
        next += byteCount;
    }
    void Put(char c) { *next++ = c; }
    void PutRepeated(char c, size_t byteCount) {
        memset(next, c, byteCount);
        next += byteCount;
    }
};

// The decimal digits of `value`.
template <typename Sink>
void PutDecimal(Sink& sink, size_t value) {
    char digits[24];
    size_t digitCount = 0;
    do {
        digits[sizeof digits - 1 - digitCount++] = (char)('0' + value % 10);
        value /= 10;
    } while (value);
    sink.Put(digits + sizeof digits - digitCount, digitCount);
}
