// How the book is numbered: sections 1 to 356 in pairs, each odd main-text
// section followed by its commentary. A reader counts the pairs, 1 to 178.
#pragma once

const int kBookPairs = 178;
const int kLastBookSection = 2 * kBookPairs;

inline bool IsMainTextSection(int section) {
    return section >= 1 && section < kLastBookSection && section % 2 == 1;
}
// Whether a section holds commentary: the even numbers do.
inline bool IsCommentarySection(int section) { return section % 2 == 0; }
// The number a reader knows a main-text section by, 1 to 178.
inline int PairOfSection(int section) { return (section + 1) / 2; }
inline int SectionOfPair(int pair) { return 2 * pair - 1; }
