#include "navigation/find_all_fit.h"

#include <string.h>

#include "app/app_state.h"
#include "content/section_records.h"
#include "panes/text_pane.h"

namespace {

// Codes as the panes show them under the current letter base, not mirrored.
int ShownCharacters(const uint8_t* codes, int count, wchar_t* shown) {
    for (int i = 0; i < count; i++) shown[i] = (wchar_t)CharacterOfCode(codes[i], gApp.font.letterBase);
    return count;
}

// Widths of the first 1, 2, ... `count` characters.
void MeasureExtents(HDC dc, const wchar_t* text, int count, int* extentsPx) {
    SIZE size;
    if (count > 0 && GetTextExtentExPointW(dc, text, count, 0, nullptr, extentsPx, &size)) return;
    for (int i = 0; i < count; i++) extentsPx[i] = 0;
}

int WidthOfRange(const int* extentsPx, int from, int to) {
    if (to <= from) return 0;
    return extentsPx[to - 1] - (from > 0 ? extentsPx[from - 1] : 0);
}

// Where the characters that fit `availablePx` at the end of `text` start:
// at a word's start when one is in reach.
int FittingTailStart(const wchar_t* text, int count, const int* extentsPx, int availablePx) {
    int first = 0;
    while (first < count && WidthOfRange(extentsPx, first, count) > availablePx) first++;
    if (first == 0 || first == count || text[first - 1] == L' ') return first;
    int space = first;
    while (space < count && text[space] != L' ') space++;
    return space < count ? space + 1 : first;
}

// How many characters at the start of `text` fit: up to a word's end when
// one is in reach.
int FittingHeadCount(const wchar_t* text, int count, const int* extentsPx, int availablePx) {
    int fit = 0;
    while (fit < count && extentsPx[fit] <= availablePx) fit++;
    if (fit == 0 || fit == count || text[fit] == L' ') return fit;
    int space = fit - 1;
    while (space >= 0 && text[space] != L' ') space--;
    return space >= 0 ? space : fit;
}

}  // namespace

void TakeMatchContext(const uint8_t* text, const SectionHit& hit, MatchContext* context) {
    int start = hit.endOffset - hit.length + 1;
    int beforeFrom = start - kContextChars > hit.recordStart ? start - kContextChars : hit.recordStart;
    int afterFrom = hit.endOffset + 1;
    int afterTo = afterFrom + kContextChars < hit.recordEnd ? afterFrom + kContextChars : hit.recordEnd;
    if (hit.length > kShownMatchChars) afterTo = afterFrom;  // the match alone fills the row
    wchar_t before[kContextChars], after[kContextChars];
    int beforeCount = ShownCharacters(text + beforeFrom, start - beforeFrom, before);
    int afterCount = ShownCharacters(text + afterFrom, afterTo - afterFrom, after);
    int matchChars = hit.length < kShownMatchChars ? hit.length : kShownMatchChars;
    context->matchCount = ShownCharacters(text + start, matchChars, context->match);
    bool mirrored = ReverseModeActive();
    if (mirrored) {
        MirrorDisplayText(before, beforeCount);
        MirrorDisplayText(after, afterCount);
        MirrorDisplayText(context->match, context->matchCount);
    }
    context->leftCount = mirrored ? afterCount : beforeCount;
    context->rightCount = mirrored ? beforeCount : afterCount;
    memcpy(context->left, mirrored ? after : before, sizeof(wchar_t) * context->leftCount);
    memcpy(context->right, mirrored ? before : after, sizeof(wchar_t) * context->rightCount);
}

void FitMatchContext(HDC dc, const MatchContext& context, const RECT& cell, FittedContext* fitted) {
    int columnPx = cell.right - cell.left;
    fitted->matchHeightPx = 0;
    fitted->matchWidthPx = TextWidthPx(dc, context.match, context.matchCount, &fitted->matchHeightPx);
    int matchPx = fitted->matchWidthPx;
    fitted->matchX = matchPx < columnPx ? cell.left + (columnPx - matchPx) / 2 : cell.left;

    int extentsPx[kContextChars];
    MeasureExtents(dc, context.left, context.leftCount, extentsPx);
    fitted->leftFrom = FittingTailStart(context.left, context.leftCount, extentsPx, fitted->matchX - cell.left);
    fitted->leftX = fitted->matchX - WidthOfRange(extentsPx, fitted->leftFrom, context.leftCount);
    MeasureExtents(dc, context.right, context.rightCount, extentsPx);
    fitted->rightCount =
        FittingHeadCount(context.right, context.rightCount, extentsPx, cell.right - fitted->matchX - matchPx);
}
