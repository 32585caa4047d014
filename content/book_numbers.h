// How the open book is numbered: sections 1 to 2 x pairs in pairs, each odd
// main-text section followed by its commentary. A reader counts the pairs.
// The built-in edition has 178 pairs; a book file says how many it has, and
// opening it sets the count here (SetBookPairs). Window-free.
#pragma once

// The edition inside the program.
const int kBuiltInBookPairs = 178;
// The most pairs a book may have: its sections stay below the index's resource
// (section 31766 is resource 32766).
const int kMaxBookPairs = 15883;

// The open book's pair count and last section, read where they are used so
// that every count follows the book that is open.
extern const int& kBookPairs;
extern const int& kLastBookSection;

// Takes a book's pair count, 1 to kMaxBookPairs; false (nothing changes) for
// any other number.
bool SetBookPairs(int pairs);

inline bool IsMainTextSection(int section) {
    return section >= 1 && section < kLastBookSection && section % 2 == 1;
}
// Whether a section holds commentary: the even numbers do.
inline bool IsCommentarySection(int section) { return section % 2 == 0; }
// The number a reader knows a main-text section by, 1 to kBookPairs.
inline int PairOfSection(int section) { return (section + 1) / 2; }
inline int SectionOfPair(int pair) { return 2 * pair - 1; }
