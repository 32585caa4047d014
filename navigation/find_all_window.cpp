#include "navigation/find_all_window.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "accessibility/results_access.h"
#include "app/app_state.h"
#include "content/section_records.h"
#include "navigation/search.h"
#include "navigation/search_match.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "platform/fonts.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"
#include "platform/shell.h"

namespace {

const wchar_t kWindowClass[] = L"LorvanFindAll";
const wchar_t kListClass[] = L"LorvanFindAllList";
const wchar_t kWindowTitle[] = L"Find All";

// Every size of the window, in pixels at 96 DPI; drawn at the window's own.
const int kWindowWidthPx = 520;
const int kMinWindowWidthPx = 320;
const int kMinWindowHeightPx = 200;
const int kMarginPx = 8;
const int kHeaderHeightPx = 32;
const int kCountLabelWidthPx = 150;
const int kFilterButtonHeightPx = 20;
const int kFilterButtonWidthPx[3] = {82, 94, 54};
const int kTextFontPx = 18;
const int kRowPaddingPx = 3;
const int kHeadingColumnPx = 120;
const int kKindColumnPx = 76;
const int kColumnGapPx = 8;

// The rows take the theme's colours; "main" and "commentary" are grey on each.
const COLORREF kKindColour = 0x707070;

// How much of the book a row may show: stored bytes on either side of the
// match, and of the match itself (a "*" can make it a whole paragraph).
const int kContextBytes = 80;
const int kShownMatchBytes = 160;
const int kHeadingChars = 64;

const int kCountLabelId = 100;
const int kFirstFilterId = 101;  // and the next two, in the order of kShow...
const int kListId = 110;
const int kFilters = 3;
const wchar_t* const kFilterLabels[kFilters] = {L"&Main text", L"&Commentary", L"&Both"};

struct FindAllView {
    HWND window;
    HWND list;
    HWND countLabel;
    HWND filterButtons[kFilters];
    FindAllResults results;
    uint32_t* rows;  // owned: indexes into results.matches of the rows offered
    uint32_t rowCount;
    uint32_t offeredCount;  // what any filter could offer (the commentary may be hidden)
    int filter;
    int selectedRow;
    int topRow;
    int wheelDelta;
    int dpi;  // the window's resolution; 0 counts as 96
    HFONT textFont;  // owned when ownsTextFont
    bool ownsTextFont;
    wchar_t textFace[kFaceNameChars];
    int textFontDpi;
    int rowHeightPx;
    int textHeightPx;
};

FindAllView gFindAll = {};
int gFilter = kShowBoth;  // kept while the window is closed

int Px(int px96) { return ScalePx(px96, gFindAll.dpi); }

// ---- Rows -----------------------------------------------------------------------

int EffectiveFilter() { return CommentaryHidden() ? kShowMainText : gFilter; }

bool CanOffer(const BookMatch& match) { return !(IsCommentarySection(match.section) && CommentaryHidden()); }

bool PassesFilter(const BookMatch& match) {
    bool commentary = IsCommentarySection(match.section);
    switch (EffectiveFilter()) {
    case kShowMainText: return !commentary;
    case kShowCommentary: return commentary;
    default: return true;
    }
}

uint32_t SelectedMatchIndex() {
    if (gFindAll.selectedRow < 0 || (uint32_t)gFindAll.selectedRow >= gFindAll.rowCount) return 0;
    return gFindAll.rows[gFindAll.selectedRow];
}

// The first row whose match is `matchIndex` or comes after it.
int RowAtOrAfter(uint32_t matchIndex) {
    uint32_t low = 0, high = gFindAll.rowCount;
    while (low < high) {
        uint32_t middle = (low + high) / 2;
        if (gFindAll.rows[middle] < matchIndex) low = middle + 1;
        else high = middle;
    }
    return (int)low;
}

// False when memory ran out (the program is ending).
bool RebuildRows() {
    uint32_t keptMatch = SelectedMatchIndex();
    PlatformFree(gFindAll.rows);
    gFindAll.rows = nullptr;
    gFindAll.rowCount = 0;
    gFindAll.offeredCount = 0;
    const FindAllResults& results = gFindAll.results;
    if (!results.count) return true;
    gFindAll.rows = (uint32_t*)AllocOrAbort(results.count * sizeof(uint32_t));
    if (!gFindAll.rows) return false;
    for (uint32_t i = 0; i < results.count; i++) {
        if (!CanOffer(results.matches[i])) continue;
        gFindAll.offeredCount++;
        if (PassesFilter(results.matches[i])) gFindAll.rows[gFindAll.rowCount++] = i;
    }
    int row = RowAtOrAfter(keptMatch);
    gFindAll.selectedRow = (uint32_t)row < gFindAll.rowCount ? row : (int)gFindAll.rowCount - 1;
    return true;
}

void ReleaseView() {
    FreeFindAllResults(&gFindAll.results);
    PlatformFree(gFindAll.rows);
    if (gFindAll.ownsTextFont && gFindAll.textFont) DeleteObject(gFindAll.textFont);
    gFindAll = {};
}

// ---- Fonts ----------------------------------------------------------------------

HFONT LabelFont() { return (HFONT)GetStockObject(DEFAULT_GUI_FONT); }

int FontHeightPx(HFONT font) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ saved = SelectObject(dc, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, saved);
    ReleaseDC(nullptr, dc);
    return metrics.tmHeight;
}

// The reading face, at a size for a list; made again when the face or the
// resolution changes.
void EnsureTextFont() {
    const wchar_t* face = gApp.font.faceName[0] ? gApp.font.faceName : DefaultHebrewFaceName();
    bool current = gFindAll.textFontDpi == gFindAll.dpi && wcscmp(face, gFindAll.textFace) == 0;
    if (gFindAll.textFont && current) return;
    if (gFindAll.ownsTextFont && gFindAll.textFont) DeleteObject(gFindAll.textFont);
    LOGFONTW logFont = {};
    logFont.lfHeight = Px(kTextFontPx);
    logFont.lfCharSet = DEFAULT_CHARSET;  // the Western set would swap a Hebrew-only face
    wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
    gFindAll.textFont = CreateFontIndirectW(&logFont);
    gFindAll.ownsTextFont = gFindAll.textFont != nullptr;
    if (!gFindAll.textFont) gFindAll.textFont = LabelFont();
    wcsncpy(gFindAll.textFace, face, kFaceNameChars - 1);
    gFindAll.textFontDpi = gFindAll.dpi;
    gFindAll.textHeightPx = FontHeightPx(gFindAll.textFont);
    int labelHeightPx = FontHeightPx(LabelFont());
    int tallest = gFindAll.textHeightPx > labelHeightPx ? gFindAll.textHeightPx : labelHeightPx;
    gFindAll.rowHeightPx = tallest + 2 * Px(kRowPaddingPx);
}

// ---- Drawing a row ----------------------------------------------------------------

// Codes as the panes show them under the current letter base, not mirrored.
int ShownCharacters(const uint8_t* codes, int count, wchar_t* shown) {
    for (int i = 0; i < count; i++) shown[i] = (wchar_t)CharacterOfCode(codes[i], gApp.font.letterBase);
    return count;
}

void DrawStored(HDC dc, int x, int y, const RECT& clip, const wchar_t* text, int count) {
    if (count > 0) ExtTextOutW(dc, x, y, ETO_CLIPPED | ETO_IGNORELANGUAGE, &clip, text, (UINT)count, nullptr);
}

// The section's title (or subtitle) as the book draws it, ending at the
// column's right edge where a Hebrew heading begins; its number without one.
void DrawHeading(HDC dc, const uint8_t* text, int section, const RECT& cell, int y) {
    TitleLine title, subtitle;
    FindSectionTitles(text, &title, &subtitle);
    const TitleLine& line = title.length ? title : subtitle;
    wchar_t shown[kHeadingChars];
    int count;
    if (line.length) {
        count = ShownCharacters(line.text, line.length < kHeadingChars ? line.length : kHeadingChars, shown);
        if (ReverseModeActive()) MirrorDisplayText(shown, count);
    } else {
        count = swprintf(shown, kHeadingChars, L"Section %d", section);
    }
    DrawStored(dc, cell.right - TextWidthPx(dc, shown, count, nullptr), y, cell, shown, count);
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

struct ContextParts {
    wchar_t left[kContextBytes];
    wchar_t match[kShownMatchBytes];
    wchar_t right[kContextBytes];
    int leftCount, matchCount, rightCount;
};

// The stored stretch around the match, as drawn: in Reverse mode every part
// is mirrored and what was stored before the match stands right of it.
void TakeContext(const uint8_t* text, const SectionHit& hit, ContextParts* parts) {
    int start = hit.endOffset - hit.length + 1;
    int beforeFrom = start - kContextBytes > hit.recordStart ? start - kContextBytes : hit.recordStart;
    int afterFrom = hit.endOffset + 1;
    int afterTo = afterFrom + kContextBytes < hit.recordEnd ? afterFrom + kContextBytes : hit.recordEnd;
    if (hit.length > kShownMatchBytes) afterTo = afterFrom;  // the match alone fills the row
    wchar_t before[kContextBytes], after[kContextBytes];
    int beforeCount = ShownCharacters(text + beforeFrom, start - beforeFrom, before);
    int afterCount = ShownCharacters(text + afterFrom, afterTo - afterFrom, after);
    int matchBytes = hit.length < kShownMatchBytes ? hit.length : kShownMatchBytes;
    parts->matchCount = ShownCharacters(text + start, matchBytes, parts->match);
    bool mirrored = ReverseModeActive();
    if (mirrored) {
        MirrorDisplayText(before, beforeCount);
        MirrorDisplayText(after, afterCount);
        MirrorDisplayText(parts->match, parts->matchCount);
    }
    parts->leftCount = mirrored ? afterCount : beforeCount;
    parts->rightCount = mirrored ? beforeCount : afterCount;
    memcpy(parts->left, mirrored ? after : before, sizeof(wchar_t) * parts->leftCount);
    memcpy(parts->right, mirrored ? before : after, sizeof(wchar_t) * parts->rightCount);
}

// The match in the middle of the column, marked, with the whole words on
// either side of it that fit.
void DrawContext(HDC dc, const uint8_t* text, const SectionHit& hit, const RECT& cell, int y) {
    ContextParts parts;
    TakeContext(text, hit, &parts);
    int columnPx = cell.right - cell.left;
    int heightPx = 0;
    int matchPx = TextWidthPx(dc, parts.match, parts.matchCount, &heightPx);
    int matchX = matchPx < columnPx ? cell.left + (columnPx - matchPx) / 2 : cell.left;

    int extentsPx[kContextBytes];
    MeasureExtents(dc, parts.left, parts.leftCount, extentsPx);
    int tail = FittingTailStart(parts.left, parts.leftCount, extentsPx, matchX - cell.left);
    int tailPx = WidthOfRange(extentsPx, tail, parts.leftCount);
    DrawStored(dc, matchX - tailPx, y, cell, parts.left + tail, parts.leftCount - tail);
    MeasureExtents(dc, parts.right, parts.rightCount, extentsPx);
    int head = FittingHeadCount(parts.right, parts.rightCount, extentsPx, cell.right - matchX - matchPx);
    DrawStored(dc, matchX + matchPx, y, cell, parts.right, head);

    RECT mark = {matchX, y, matchX + matchPx, y + heightPx};
    IntersectRect(&mark, &mark, &cell);
    COLORREF savedText = SetTextColor(dc, CurrentPalette().markText);
    COLORREF savedBack = SetBkColor(dc, CurrentPalette().markBack);
    ExtTextOutW(dc, matchX, y, ETO_CLIPPED | ETO_OPAQUE | ETO_IGNORELANGUAGE, &mark, parts.match,
                (UINT)parts.matchCount, nullptr);
    SetBkColor(dc, savedBack);
    SetTextColor(dc, savedText);
}

void DrawKind(HDC dc, bool commentary, const RECT& cell, bool selectedFocused) {
    HGDIOBJ saved = SelectObject(dc, LabelFont());
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

void PaintRow(HDC dc, int row, const RECT& rect, bool focused) {
    const BookMatch& match = gFindAll.results.matches[gFindAll.rows[row]];
    const uint8_t* text = gFindAll.results.texts[match.section];
    if (!text) return;
    bool selected = row == gFindAll.selectedRow;
    const Palette& palette = CurrentPalette();
    COLORREF back = !selected ? palette.page : focused ? palette.selectBack : UnfocusedSelection(palette);
    FillWithColour(dc, rect, back);
    SetTextColor(dc, selected && focused ? palette.selectText : palette.plainText);
    int marginPx = Px(kMarginPx), gapPx = Px(kColumnGapPx);
    RECT heading = {rect.right - marginPx - Px(kHeadingColumnPx), rect.top, rect.right - marginPx, rect.bottom};
    RECT kind = {heading.left - gapPx - Px(kKindColumnPx), rect.top, heading.left - gapPx, rect.bottom};
    RECT context = {rect.left + marginPx, rect.top, kind.left - gapPx, rect.bottom};
    if (context.right < context.left) context.right = context.left;
    int textY = rect.top + (rect.bottom - rect.top - gFindAll.textHeightPx) / 2;
    DrawHeading(dc, text, match.section, heading, textY);
    DrawContext(dc, text, match.hit, context, textY);
    DrawKind(dc, IsCommentarySection(match.section), kind, selected && focused);
}

// ---- The list ---------------------------------------------------------------------

int VisibleRows() {
    RECT client;
    GetClientRect(gFindAll.list, &client);
    int rows = gFindAll.rowHeightPx > 0 ? client.bottom / gFindAll.rowHeightPx : 0;
    return rows > 1 ? rows : 1;
}

int LastTopRow() {
    int last = (int)gFindAll.rowCount - VisibleRows();
    return last > 0 ? last : 0;
}

void UpdateListScrollBar() {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
    info.nMax = gFindAll.rowCount ? (int)gFindAll.rowCount - 1 : 0;
    info.nPage = (UINT)VisibleRows();
    info.nPos = gFindAll.topRow;
    SetScrollInfo(gFindAll.list, SB_VERT, &info, TRUE);
}

void ScrollListTo(int topRow) {
    if (topRow > LastTopRow()) topRow = LastTopRow();
    if (topRow < 0) topRow = 0;
    gFindAll.topRow = topRow;
    UpdateListScrollBar();
    InvalidateRect(gFindAll.list, nullptr, FALSE);
}

void SelectRow(int row) {
    if (!gFindAll.rowCount) return;
    if (row < 0) row = 0;
    if (row >= (int)gFindAll.rowCount) row = (int)gFindAll.rowCount - 1;
    gFindAll.selectedRow = row;
    NoteResultsMoved(gFindAll.list);
    int top = gFindAll.topRow;
    if (row < top) top = row;
    if (row >= top + VisibleRows()) top = row - VisibleRows() + 1;
    ScrollListTo(top);
}

// The match of the selected row in the reader, as Search Again shows one.
// Not while a dialog of the reader is open: the reader waits for it.
void ShowSelectedMatch() {
    const BookMatch* match = FindAllRowMatch(gFindAll.selectedRow);
    if (!match || ProgramEnding() || !gApp.mainWindow || !IsWindowEnabled(gApp.mainWindow)) return;
    ShowSectionMatch(gFindAll.window, match->section, match->hit.endOffset, match->hit.length);
}

void PaintList(HWND list) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(list, &paint);
    if (!dc) return;
    RECT client;
    GetClientRect(list, &client);
    // Drawn aside first, so that moving the selection never flickers.
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = memory ? CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1,
                                                     client.bottom > 0 ? client.bottom : 1)
                            : nullptr;
    HDC target = bitmap ? memory : dc;
    HGDIOBJ savedBitmap = bitmap ? SelectObject(memory, bitmap) : nullptr;
    FillWithColour(target, client, CurrentPalette().page);
    HGDIOBJ savedFont = SelectObject(target, gFindAll.textFont);
    int savedMode = SetBkMode(target, TRANSPARENT);
    bool focused = GetFocus() == list;
    int y = 0;
    for (int row = gFindAll.topRow; row < (int)gFindAll.rowCount && y < client.bottom; row++) {
        RECT rect = {0, y, client.right, y + gFindAll.rowHeightPx};
        PaintRow(target, row, rect, focused);
        y += gFindAll.rowHeightPx;
    }
    SetBkMode(target, savedMode);
    SelectObject(target, savedFont);
    if (bitmap) {
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, savedBitmap);
        DeleteObject(bitmap);
    }
    if (memory) DeleteDC(memory);
    EndPaint(list, &paint);
}

int ScrollTarget(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case SB_LINEUP: return gFindAll.topRow - 1;
    case SB_LINEDOWN: return gFindAll.topRow + 1;
    case SB_PAGEUP: return gFindAll.topRow - VisibleRows();
    case SB_PAGEDOWN: return gFindAll.topRow + VisibleRows();
    case SB_TOP: return 0;
    case SB_BOTTOM: return LastTopRow();
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: {
        SCROLLINFO info = {};
        info.cbSize = sizeof info;
        info.fMask = SIF_TRACKPOS;
        GetScrollInfo(gFindAll.list, SB_VERT, &info);
        return info.nTrackPos;  // 32 bits, unlike the message's position
    }
    default: return gFindAll.topRow;
    }
}

void OnListWheel(WPARAM wParam) {
    UINT lines = 3;
    SystemParametersInfoW(SPI_GETWHEELSCROLLLINES, 0, &lines, 0);
    gFindAll.wheelDelta += GET_WHEEL_DELTA_WPARAM(wParam);
    int notches = gFindAll.wheelDelta / WHEEL_DELTA;
    gFindAll.wheelDelta -= notches * WHEEL_DELTA;
    int rows = lines == WHEEL_PAGESCROLL ? VisibleRows() : (int)lines;
    if (notches) ScrollListTo(gFindAll.topRow - notches * rows);
}

int RowAtPoint(LPARAM lParam) {
    int y = (short)HIWORD(lParam);
    if (y < 0 || gFindAll.rowHeightPx <= 0) return -1;
    int row = gFindAll.topRow + y / gFindAll.rowHeightPx;
    return row < (int)gFindAll.rowCount ? row : -1;
}

void OnListClick(HWND list, LPARAM lParam, bool twice) {
    SetFocus(list);
    int row = RowAtPoint(lParam);
    if (row < 0) return;
    SelectRow(row);
    if (twice) ShowSelectedMatch();
}

LRESULT OnListKey(HWND list, UINT message, WPARAM key, LPARAM lParam) {
    switch (key) {
    case VK_UP: SelectRow(gFindAll.selectedRow - 1); return 0;
    case VK_DOWN: SelectRow(gFindAll.selectedRow + 1); return 0;
    case VK_PRIOR: SelectRow(gFindAll.selectedRow - VisibleRows()); return 0;
    case VK_NEXT: SelectRow(gFindAll.selectedRow + VisibleRows()); return 0;
    case VK_HOME: SelectRow(0); return 0;
    case VK_END: SelectRow((int)gFindAll.rowCount - 1); return 0;
    case VK_RETURN: ShowSelectedMatch(); return 0;
    case VK_ESCAPE: DestroyWindow(gFindAll.window); return 0;
    default: return DefWindowProcW(list, message, key, lParam);
    }
}

LRESULT CALLBACK ListProc(HWND list, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: PaintList(list); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers every pixel
    case WM_SIZE: ScrollListTo(gFindAll.topRow); return 0;
    case WM_VSCROLL: ScrollListTo(ScrollTarget(wParam)); return 0;
    case WM_MOUSEWHEEL: OnListWheel(wParam); return 0;
    case WM_LBUTTONDOWN: OnListClick(list, lParam, false); return 0;
    case WM_LBUTTONDBLCLK: OnListClick(list, lParam, true); return 0;
    case WM_KEYDOWN: return ProgramEnding() ? 0 : OnListKey(list, message, wParam, lParam);
    // The arrows stay here; Enter, Escape and Tab are the window's, as in a dialog.
    case WM_GETDLGCODE: return DLGC_WANTARROWS | DLGC_WANTCHARS;
    case WM_SETFOCUS:
    case WM_KILLFOCUS: InvalidateRect(list, nullptr, FALSE); return 0;
    case WM_GETOBJECT: return AnswerResultsObject(list, wParam, lParam);
    case WM_DESTROY: ForgetResults(list); return 0;
    default: return DefWindowProcW(list, message, wParam, lParam);
    }
}

// ---- The window ---------------------------------------------------------------------

void UpdateHeader() {
    wchar_t count[64];
    const wchar_t* noun = gFindAll.offeredCount == 1 ? L"match" : L"matches";
    if (gFindAll.rowCount == gFindAll.offeredCount) swprintf(count, 64, L"%u %ls", gFindAll.rowCount, noun);
    else swprintf(count, 64, L"%u of %u %ls", gFindAll.rowCount, gFindAll.offeredCount, noun);
    SetWindowTextW(gFindAll.countLabel, count);
    bool hidden = CommentaryHidden();
    for (int i = 0; i < kFilters; i++) {
        // With the commentary hidden only the main text is offered.
        EnableWindow(gFindAll.filterButtons[i], !hidden || i == kShowMainText);
        SendMessageW(gFindAll.filterButtons[i], BM_SETCHECK, i == EffectiveFilter() ? BST_CHECKED : BST_UNCHECKED, 0);
    }
}

// The rows as rebuilt, in the open window; the list's size is WM_SIZE's.
void ShowRows() {
    if (!gFindAll.window || ProgramEnding()) return;
    EnsureTextFont();
    UpdateHeader();
    if (gFindAll.rowCount) SelectRow(gFindAll.selectedRow);  // which scrolls to it and repaints
    else ScrollListTo(0);
}

HWND MakeChild(HWND window, const wchar_t* className, const wchar_t* text, DWORD style, int id) {
    HWND child = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 0, 0, window,
                                 (HMENU)(INT_PTR)id, gApp.instance, nullptr);
    if (child) SendMessageW(child, WM_SETFONT, (WPARAM)LabelFont(), FALSE);
    return child;
}

LRESULT OnCreate(HWND window) {
    gFindAll.window = window;
    gFindAll.dpi = WindowDpi(window);
    gFindAll.countLabel = MakeChild(window, L"STATIC", L"", SS_LEFT | SS_NOPREFIX | SS_CENTERIMAGE, kCountLabelId);
    for (int i = 0; i < kFilters; i++) {
        DWORD style = BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0);
        gFindAll.filterButtons[i] = MakeChild(window, L"BUTTON", kFilterLabels[i], style, kFirstFilterId + i);
    }
    gFindAll.list = CreateWindowExW(WS_EX_CLIENTEDGE, kListClass, L"", WS_CHILD | WS_VISIBLE | WS_VSCROLL |
                                    WS_TABSTOP | WS_GROUP, 0, 0, 0, 0, window, (HMENU)(INT_PTR)kListId,
                                    gApp.instance, nullptr);
    return gFindAll.list ? 0 : -1;
}

void LayoutChildren(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    int headerPx = Px(kHeaderHeightPx), buttonPx = Px(kFilterButtonHeightPx);
    int buttonY = (headerPx - buttonPx) / 2;
    MoveWindow(gFindAll.countLabel, Px(kMarginPx), buttonY, Px(kCountLabelWidthPx), buttonPx, TRUE);
    int x = client.right - Px(kMarginPx);
    for (int i = kFilters - 1; i >= 0; i--) {
        int widthPx = Px(kFilterButtonWidthPx[i]);
        x -= widthPx;
        MoveWindow(gFindAll.filterButtons[i], x, buttonY, widthPx, buttonPx, TRUE);
    }
    int listHeightPx = client.bottom - headerPx;
    MoveWindow(gFindAll.list, 0, headerPx, client.right, listHeightPx > 0 ? listHeightPx : 0, TRUE);
}

LRESULT OnCommand(WPARAM wParam) {
    int id = LOWORD(wParam);
    if (id >= kFirstFilterId && id < kFirstFilterId + kFilters && HIWORD(wParam) == BN_CLICKED) {
        SetFindAllFilter(id - kFirstFilterId);
    } else if (id == IDOK) {
        ShowSelectedMatch();  // Enter, where the list or a filter has the focus
    } else if (id == IDCANCEL) {
        DestroyWindow(gFindAll.window);
    }
    return 0;
}

// Moved to a screen of another resolution: the size Windows suggests, and
// everything drawn again at the new one.
LRESULT OnDpiChanged(HWND window, WPARAM wParam, LPARAM lParam) {
    gFindAll.dpi = UsableDpi(HIWORD(wParam));
    const RECT* suggested = (const RECT*)lParam;
    if (suggested)
        SetWindowPos(window, nullptr, suggested->left, suggested->top, suggested->right - suggested->left,
                     suggested->bottom - suggested->top, SWP_NOZORDER | SWP_NOACTIVATE);
    LayoutChildren(window);  // the same size may hold other sizes now
    ShowRows();
    return 0;
}

LRESULT OnMinMaxInfo(LPARAM lParam) {
    MINMAXINFO* info = (MINMAXINFO*)lParam;
    info->ptMinTrackSize.x = Px(kMinWindowWidthPx);
    info->ptMinTrackSize.y = Px(kMinWindowHeightPx);
    return 0;
}

LRESULT CALLBACK FindAllWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_SIZE: LayoutChildren(window); return 0;
    case WM_COMMAND: return ProgramEnding() ? 0 : OnCommand(wParam);
    case WM_SETFOCUS: SetFocus(gFindAll.list); return 0;
    case WM_MOUSEWHEEL: return SendMessageW(gFindAll.list, message, wParam, lParam);
    case WM_GETMINMAXINFO: return OnMinMaxInfo(lParam);
    case WM_DPICHANGED: return OnDpiChanged(window, wParam, lParam);
    case WM_DESTROY: ReleaseView(); return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterClasses() {
    WNDCLASSW windowClass = {};
    if (GetClassInfoW(gApp.instance, kWindowClass, &windowClass)) return true;
    windowClass.lpfnWndProc = FindAllWndProc;
    windowClass.hInstance = gApp.instance;
    windowClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // the arrow
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kWindowClass;
    if (!RegisterClassW(&windowClass)) return false;
    WNDCLASSW listClass = {};
    listClass.style = CS_DBLCLKS;
    listClass.lpfnWndProc = ListProc;
    listClass.hInstance = gApp.instance;
    listClass.hCursor = windowClass.hCursor;
    listClass.lpszClassName = kListClass;
    return RegisterClassW(&listClass) != 0;
}

// Right of the reader where the screen has room, else left of it, else over
// its right edge; as tall as the reader.
RECT PlaceBesideReader() {
    int widthPx = Px(kWindowWidthPx), minHeightPx = Px(kMinWindowHeightPx);
    RECT reader = {0, 0, widthPx, 2 * minHeightPx};
    GetWindowRect(gApp.mainWindow, &reader);
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(gApp.mainWindow, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& work = monitor.rcWork;
    int heightPx = reader.bottom - reader.top;
    if (heightPx < minHeightPx) heightPx = minHeightPx;
    int x = reader.right;
    if (x + widthPx > work.right) x = reader.left - widthPx >= work.left ? reader.left - widthPx : work.right - widthPx;
    if (x < work.left) x = work.left;
    return {x, reader.top, x + widthPx, reader.top + heightPx};
}

bool CreateFindAllWindow() {
    if (!RegisterClasses()) return false;
    gFindAll.dpi = WindowDpi(gApp.mainWindow);  // its own once made, on the same screen
    RECT place = PlaceBesideReader();
    DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_CLIPCHILDREN;
    HWND window = CreateWindowExW(WS_EX_CONTROLPARENT, kWindowClass, kWindowTitle, style, place.left, place.top,
                                  place.right - place.left, place.bottom - place.top, gApp.mainWindow, nullptr,
                                  gApp.instance, nullptr);
    return window != nullptr;
}

bool OffersAny(const FindAllResults& results) {
    for (uint32_t i = 0; i < results.count; i++)
        if (CanOffer(results.matches[i])) return true;
    return false;
}

}  // namespace

int RunFindAll(HWND owner) {
    SearchPattern pattern = StoredSearchPattern();
    if (!pattern.length || ProgramEnding()) return 0;
    FindAllResults found = {};
    if (FindAllInBook(&pattern, AllocOrAbort, &found) != kFindAllDone) return 0;
    if (!OffersAny(found)) {
        FreeFindAllResults(&found);
        ShowMessageBox(owner, L"Not Found!", L"Lorvan", MB_OK);
        return 0;
    }
    FreeFindAllResults(&gFindAll.results);
    gFindAll.results = found;  // the view owns the matches and their texts now
    gFindAll.selectedRow = 0;
    gFindAll.topRow = 0;
    PlatformFree(gFindAll.rows);
    gFindAll.rows = nullptr;
    gFindAll.rowCount = 0;
    if (!RebuildRows()) return 0;
    ShowRows();
    return (int)gFindAll.offeredCount;
}

// The rows are those of the last RunFindAll, which showed them in a window
// that was open already.
HWND OpenFindAllWindow() {
    if (!gFindAll.results.count || ProgramEnding() || !gApp.mainWindow) return nullptr;
    if (!gFindAll.window) {
        if (!CreateFindAllWindow()) return nullptr;
        ShowRows();
    }
    ShowWindow(gFindAll.window, SW_SHOW);
    SetForegroundWindow(gFindAll.window);
    SetFocus(gFindAll.list);
    return gFindAll.window;
}

HWND FindAllWindow() { return gFindAll.window; }

bool TakeFindAllMessage(MSG* message) { return gFindAll.window && IsDialogMessageW(gFindAll.window, message); }

void ReleaseFindAll() {
    if (gFindAll.window) DestroyWindow(gFindAll.window);
    ReleaseView();
}

void RefreshFindAll() {
    if (!gFindAll.window || ProgramEnding()) return;
    if (RebuildRows()) ShowRows();
}

int FindAllRowCount() { return (int)gFindAll.rowCount; }

const BookMatch* FindAllRowMatch(int row) {
    if (row < 0 || (uint32_t)row >= gFindAll.rowCount) return nullptr;
    return &gFindAll.results.matches[gFindAll.rows[row]];
}

int FindAllSelectedRow() { return gFindAll.selectedRow; }

const uint8_t* FindAllSectionText(int section) {
    return section >= 1 && section <= kLastBookSection ? gFindAll.results.texts[section] : nullptr;
}

bool FindAllRowRect(int row, RECT* rect) {
    RECT client;
    if (!gFindAll.list || row < gFindAll.topRow || row >= (int)gFindAll.rowCount) return false;
    GetClientRect(gFindAll.list, &client);
    int top = (row - gFindAll.topRow) * gFindAll.rowHeightPx;
    if (top >= client.bottom) return false;
    *rect = {0, top, client.right, top + gFindAll.rowHeightPx};
    return true;
}

void SetFindAllFilter(int filter) {
    if (filter < kShowMainText || filter > kShowBoth) return;
    gFilter = filter;
    RefreshFindAll();
}
