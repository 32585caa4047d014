#include "navigation/find_all_rows.h"

#include "content/book_numbers.h"
#include "panes/split_view.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

bool CanOffer(const BookMatch& match) { return !(IsCommentarySection(match.section) && CommentaryHidden()); }

bool PassesFilter(const BookMatch& match, int filter) {
    bool commentary = IsCommentarySection(match.section);
    switch (filter) {
    case kShowMainText: return !commentary;
    case kShowCommentary: return commentary;
    default: return true;
    }
}

uint32_t SelectedMatchIndex(const FindAllRows* rows) {
    if (rows->selectedRow < 0 || (uint32_t)rows->selectedRow >= rows->count) return 0;
    return rows->indexes[rows->selectedRow];
}

// The first row whose match is `matchIndex` or comes after it.
int RowAtOrAfter(const FindAllRows* rows, uint32_t matchIndex) {
    uint32_t low = 0, high = rows->count;
    while (low < high) {
        uint32_t middle = (low + high) / 2;
        if (rows->indexes[middle] < matchIndex) low = middle + 1;
        else high = middle;
    }
    return (int)low;
}

void DropRows(FindAllRows* rows) {
    PlatformFree(rows->indexes);
    rows->indexes = nullptr;
    rows->count = 0;
    rows->offeredCount = 0;
}

}  // namespace

int EffectiveFindAllFilter(int chosenFilter) { return CommentaryHidden() ? kShowMainText : chosenFilter; }

bool OffersAnyMatch(const FindAllResults& results) {
    for (uint32_t i = 0; i < results.count; i++)
        if (CanOffer(results.matches[i])) return true;
    return false;
}

bool TakeFindAllResults(FindAllRows* rows, FindAllResults* found, int chosenFilter) {
    ReleaseFindAllRows(rows);
    rows->results = *found;  // the rows own the matches and their texts now
    *found = FindAllResults{};
    return RebuildFindAllRows(rows, chosenFilter);
}

bool RebuildFindAllRows(FindAllRows* rows, int chosenFilter) {
    uint32_t keptMatch = SelectedMatchIndex(rows);
    DropRows(rows);
    const FindAllResults& results = rows->results;
    if (!results.count) return true;
    rows->indexes = (uint32_t*)AllocOrAbort(results.count * sizeof(uint32_t));
    if (!rows->indexes) return false;
    int filter = EffectiveFindAllFilter(chosenFilter);
    for (uint32_t i = 0; i < results.count; i++) {
        if (!CanOffer(results.matches[i])) continue;
        rows->offeredCount++;
        if (PassesFilter(results.matches[i], filter)) rows->indexes[rows->count++] = i;
    }
    int row = RowAtOrAfter(rows, keptMatch);
    rows->selectedRow = (uint32_t)row < rows->count ? row : (int)rows->count - 1;
    return true;
}

void ReleaseFindAllRows(FindAllRows* rows) {
    FreeFindAllResults(&rows->results);
    PlatformFree(rows->indexes);
    *rows = FindAllRows{};
}

const BookMatch* RowMatch(const FindAllRows* rows, int row) {
    if (row < 0 || (uint32_t)row >= rows->count) return nullptr;
    return &rows->results.matches[rows->indexes[row]];
}
