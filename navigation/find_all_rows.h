// The row model of Find All: the matches of the last search of the whole
// book, owned with the texts of their sections, and the rows the filter
// offers of them.
#pragma once

#include <stdint.h>

#include "navigation/find_all.h"

// The filter's choices.
const int kShowMainText = 0;
const int kShowCommentary = 1;
const int kShowBoth = 2;

struct FindAllRows {
    FindAllResults results;  // owned: the matches and the texts of their sections
    uint32_t* indexes;       // owned: into results.matches, one per row offered
    uint32_t count;
    uint32_t offeredCount;   // what any filter could offer (the commentary may be hidden)
    int selectedRow;
};

// The filter that holds: with the commentary hidden only the main text is
// offered, whatever was chosen.
int EffectiveFindAllFilter(int chosenFilter);
// Whether any match can be offered while the commentary is as it is.
bool OffersAnyMatch(const FindAllResults& results);

// Takes ownership of `found` (left empty), releasing what the rows held, and
// builds the rows with the first selected. False when memory ran out (the
// program is ending).
bool TakeFindAllResults(FindAllRows* rows, FindAllResults* found, int chosenFilter);
// Builds the rows again, keeping the selected match, or the next one the
// filter offers. False when memory ran out.
bool RebuildFindAllRows(FindAllRows* rows, int chosenFilter);
void ReleaseFindAllRows(FindAllRows* rows);

// The match of row `row`, or null.
const BookMatch* RowMatch(const FindAllRows* rows, int row);
