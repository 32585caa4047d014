// Turning right-to-left text between drawing order and reading order: the
// characters reversed, and each bracket turned to face the other way, since a
// bracket that opens in reading order closes in drawing order. Window-free,
// so the book's own code can use it too.
#pragma once

#include <wchar.h>

struct BracketPair {
    wchar_t opening;
    wchar_t closing;
};
const BracketPair kMirroredBrackets[] = {{L'(', L')'}, {L'[', L']'}, {L'{', L'}'}};

// The bracket facing the other way; any other character itself.
inline wchar_t MirroredBracket(wchar_t c) {
    for (const BracketPair& pair : kMirroredBrackets) {
        if (c == pair.opening) return pair.closing;
        if (c == pair.closing) return pair.opening;
    }
    return c;
}

// Reverses the first `length` characters in place, brackets turned; its own
// inverse. Works from both ends with no memory of its own, so it cannot fail.
inline void MirrorText(wchar_t* text, int length) {
    for (int low = 0, high = length - 1; low <= high; low++, high--) {
        wchar_t first = MirroredBracket(text[low]);
        text[low] = MirroredBracket(text[high]);
        text[high] = first;
    }
}
