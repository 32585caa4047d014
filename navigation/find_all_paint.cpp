#include "navigation/find_all_paint.h"

#include <wchar.h>

#include "content/book_numbers.h"
#include "content/section_heading.h"
#include "navigation/find_all_fit.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/dpi.h"

namespace {

// Pixels at 96 DPI.
const int kMarginPx = 8;
const int kHeadingColumnPx = 120;
const int kKindColumnPx = 76;
const int kColumnGapPx = 8;

// The rows take the theme's colours; "main" and "commentary" are grey on each.
const COLORREF kKindColour = 0x707070;

void DrawStored(HDC dc, int x, int y, const RECT& clip, const wchar_t* text, int count) {
    if (count > 0) ExtTextOutW(dc, x, y, ETO_CLIPPED | ETO_IGNORELANGUAGE, &clip, text, (UINT)count, nullptr);
}

// The section's heading, ending at the column's right edge where Hebrew
// begins, cut at a word to fit the column.
void DrawHeading(HDC dc, const uint8_t* text, int section, const RECT& cell, int y) {
    wchar_t shown[kSectionHeadingChars];
    int count = FittedSectionHeading(dc, text, section, cell.right - cell.left, shown, kSectionHeadingChars);
    DrawStored(dc, cell.right - TextWidthPx(dc, shown, count, nullptr), y, cell, shown, count);
}

// The match in the middle of the column, marked, with the whole words on
// either side of it that fit.
void DrawContext(HDC dc, const uint8_t* text, const SectionHit& hit, const RECT& cell, int y) {
    MatchContext context;
    TakeMatchContext(text, hit, &context);
    FittedContext fitted;
    FitMatchContext(dc, context, cell, &fitted);
    DrawStored(dc, fitted.leftX, y, cell, context.left + fitted.leftFrom, context.leftCount - fitted.leftFrom);
    DrawStored(dc, fitted.matchX + fitted.matchWidthPx, y, cell, context.right, fitted.rightCount);

    RECT mark = {fitted.matchX, y, fitted.matchX + fitted.matchWidthPx, y + fitted.matchHeightPx};
    IntersectRect(&mark, &mark, &cell);
    COLORREF savedText = SetTextColor(dc, CurrentPalette().markText);
    COLORREF savedBack = SetBkColor(dc, CurrentPalette().markBack);
    ExtTextOutW(dc, fitted.matchX, y, ETO_CLIPPED | ETO_OPAQUE | ETO_IGNORELANGUAGE, &mark, context.match,
                (UINT)context.matchCount, nullptr);
    SetBkColor(dc, savedBack);
    SetTextColor(dc, savedText);
}

void DrawKind(const FindAllView* view, HDC dc, bool commentary, const RECT& cell, bool selectedFocused) {
    HGDIOBJ saved = SelectObject(dc, view->labelFont);
    COLORREF savedColour = SetTextColor(dc, selectedFocused ? CurrentPalette().selectText : kKindColour);
    const wchar_t* kind = commentary ? L"commentary" : L"main";
    int heightPx = 0;
    TextWidthPx(dc, kind, (int)wcslen(kind), &heightPx);
    int y = cell.top + (cell.bottom - cell.top - heightPx) / 2;
    ExtTextOutW(dc, cell.left, y, ETO_CLIPPED, &cell, kind, (UINT)wcslen(kind), nullptr);
    SetTextColor(dc, savedColour);
    SelectObject(dc, saved);
}

// A third of the way from the page to the selection: still marked, but
// plainly not where the keys go.
COLORREF UnfocusedSelection(const Palette& palette) {
    int red = (2 * GetRValue(palette.page) + GetRValue(palette.selectBack)) / 3;
    int green = (2 * GetGValue(palette.page) + GetGValue(palette.selectBack)) / 3;
    int blue = (2 * GetBValue(palette.page) + GetBValue(palette.selectBack)) / 3;
    return RGB(red, green, blue);
}

void PaintRow(const FindAllView* view, HDC dc, int row, const RECT& rect, bool focused) {
    const BookMatch* match = RowMatch(&view->rows, row);
    const uint8_t* text = match ? view->rows.results.texts[match->section] : nullptr;
    if (!text) return;
    bool selected = row == view->rows.selectedRow;
    const Palette& palette = CurrentPalette();
    COLORREF back = !selected ? palette.page : focused ? palette.selectBack : UnfocusedSelection(palette);
    FillWithColour(dc, rect, back);
    SetTextColor(dc, selected && focused ? palette.selectText : palette.plainText);
    int dpi = view->dpi;
    int marginPx = ScalePx(kMarginPx, dpi), gapPx = ScalePx(kColumnGapPx, dpi);
    RECT heading = {rect.right - marginPx - ScalePx(kHeadingColumnPx, dpi), rect.top, rect.right - marginPx,
                    rect.bottom};
    RECT kind = {heading.left - gapPx - ScalePx(kKindColumnPx, dpi), rect.top, heading.left - gapPx, rect.bottom};
    RECT context = {rect.left + marginPx, rect.top, kind.left - gapPx, rect.bottom};
    if (context.right < context.left) context.right = context.left;
    int textY = rect.top + (rect.bottom - rect.top - view->textHeightPx) / 2;
    DrawHeading(dc, text, match->section, heading, textY);
    DrawContext(dc, text, match->hit, context, textY);
    DrawKind(view, dc, IsCommentarySection(match->section), kind, selected && focused);
}

void PaintRows(const FindAllView* view, HDC dc, const RECT& client, bool focused) {
    FillWithColour(dc, client, CurrentPalette().page);
    HGDIOBJ savedFont = SelectObject(dc, view->textFont);
    int savedMode = SetBkMode(dc, TRANSPARENT);
    int y = 0;
    for (int row = view->topRow; row < (int)view->rows.count && y < client.bottom; row++) {
        RECT rect = {0, y, client.right, y + view->rowHeightPx};
        PaintRow(view, dc, row, rect, focused);
        y += view->rowHeightPx;
    }
    SetBkMode(dc, savedMode);
    SelectObject(dc, savedFont);
}

}  // namespace

void PaintFindAllList(const FindAllView* view, HWND list) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(list, &paint);
    if (!dc) return;
    RECT client;
    GetClientRect(list, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1,
                                                     client.bottom > 0 ? client.bottom : 1)
                            : nullptr;
    HDC target = bitmap ? memory : dc;
    HGDIOBJ savedBitmap = bitmap ? SelectObject(memory, bitmap) : nullptr;
    PaintRows(view, target, client, GetFocus() == list);
    if (bitmap) {
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, savedBitmap);
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    EndPaint(list, &paint);
}
