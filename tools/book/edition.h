// The generated demonstration edition, as a source tree in memory.
#pragma once

#include "tools/book/book_tree.h"

const int kEditionPairs = 178;

// Fills `files` with the edition's book.txt, index.txt and its 178 pair
// files. The result is the same on every run and every machine.
void GenerateEdition(SourceFiles* files);
