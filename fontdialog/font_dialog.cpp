#include "fontdialog/font_dialog.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "fontdialog/font_sizes.h"
#include "platform/dialog_shell.h"
#include "platform/dpi.h"
#include "platform/fonts.h"
#include "platform/stored_order_edit.h"
#include "resources/resource_ids.h"

FontDialogState gFontDialog;
wchar_t gLetterPreview[kPreviewLetters + 1];

namespace {

// Over a window wider than a handheld's screen: a dialog of this size, remembered.
const DesktopDialogSize kDesktopFontDialogSize = {560, 440, L"FontDialogSize"};
const int kSmallestOfferedSize = kOfferedFontSizes[0];
const int kMarginPx = 7;
const int kBaseButtonHeightPx = 10;
const int kBaseButtonTopPx[] = {7, 24, 41};  // 97, 224, 0x5D0
const int kSizeListTopPx = 59;
const int kItemTextChars = 64;

HWND Item(HWND dialog, int id) { return GetDlgItem(dialog, id); }

// Any other stored base checks no button.
void CheckBaseButton(HWND dialog, int base) {
    switch (base) {
    case kLetterBaseAscii: CheckDlgButton(dialog, IDC_FONT_BASE_ASCII, BST_CHECKED); break;
    case kLetterBaseCodePage: CheckDlgButton(dialog, IDC_FONT_BASE_CODE_PAGE, BST_CHECKED); break;
    case kLetterBaseUnicode: CheckDlgButton(dialog, IDC_FONT_BASE_UNICODE, BST_CHECKED); break;
    }
}

// The base of the checked button, in the order OK tests them, or `unchanged`.
int CheckedBase(HWND dialog, int unchanged) {
    if (IsDlgButtonChecked(dialog, IDC_FONT_BASE_CODE_PAGE) == BST_CHECKED) return kLetterBaseCodePage;
    if (IsDlgButtonChecked(dialog, IDC_FONT_BASE_ASCII) == BST_CHECKED) return kLetterBaseAscii;
    if (IsDlgButtonChecked(dialog, IDC_FONT_BASE_UNICODE) == BST_CHECKED) return kLetterBaseUnicode;
    return unchanged;
}

void EnumerateFamilies(HDC dc) {
    LOGFONTW query;
    ZeroMemory(&query, sizeof query);
    query.lfCharSet = DEFAULT_CHARSET;  // every family in every character set
    EnumFontFamiliesExW(dc, &query, (FONTENUMPROCW)AddFontFamily, 0, 0);
}

// A list box that redraws updates its scroll bar for every item added.
void BeginFilling(HWND list) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
}

void EndFilling(HWND list) {
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
}

void FillFaceList(HWND dialog, const wchar_t* targetFace) {
    HWND list = Item(dialog, IDC_FONT_FACES);
    BeginFilling(list);
    int count = 0;
    for (const FontFamilyEntry* entry = gFontDialog.families.firstFamily; entry; entry = entry->next) count++;
    // Room for every name at once, rather than a reallocation every few.
    SendMessageW(list, LB_INITSTORAGE, (WPARAM)count, (LPARAM)(count * kFamilyFaceChars * sizeof(wchar_t)));
    for (const FontFamilyEntry* entry = gFontDialog.families.firstFamily; entry; entry = entry->next)
        SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)entry->faceName);
    EndFilling(list);
    // Before a face is chosen the panes draw with one picked for its Hebrew
    // letters; showing that one keeps OK from changing what the user sees.
    // (An empty prefix would select whatever sorts first.)
    const wchar_t* face = targetFace[0] ? targetFace : DefaultHebrewFaceName();
    if (face[0]) SendMessageW(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)face);
}

void FillSizeList(HWND dialog, int targetSize) {
    HWND list = Item(dialog, IDC_FONT_SIZES);
    BeginFilling(list);
    wchar_t text[16];
    if (targetSize < kSmallestOfferedSize) {
        swprintf(text, 16, L"%d", targetSize);
        SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)text);
    }
    for (int size : kOfferedFontSizes) {
        swprintf(text, 16, L"%d", size);
        SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)text);
    }
    EndFilling(list);
    swprintf(text, 16, L"%d", targetSize);
    SendMessageW(list, LB_SELECTSTRING, (WPARAM)-1, (LPARAM)text);
}

// The selected item's text into `text` (kItemTextChars units); false without
// a selection or when the item is longer than that.
bool SelectedItemText(HWND dialog, int listId, wchar_t* text) {
    HWND list = Item(dialog, listId);
    LRESULT index = SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (index == LB_ERR) return false;
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, (WPARAM)index, 0);
    if (length == LB_ERR || length >= kItemTextChars) return false;
    return SendMessageW(list, LB_GETTEXT, (WPARAM)index, (LPARAM)text) != LB_ERR;
}

void ReadListSelections(HWND dialog) {
    wchar_t text[kItemTextChars];
    if (SelectedItemText(dialog, IDC_FONT_FACES, text))
        lstrcpynW(gFontDialog.logFont.lfFaceName, text, LF_FACESIZE);
    if (SelectedItemText(dialog, IDC_FONT_SIZES, text)) gFontDialog.logFont.lfHeight = UsableFontSize(ParseSizeText(text));
}

// A face whose family has the Hebrew character set holds its letters at 0x5D0.
void FollowHebrewFace(HWND dialog) {
    const FontFamilyEntry* entry = FindFamily(&gFontDialog.families, gFontDialog.logFont.lfFaceName);
    if (!entry || entry->charSet != kHebrewCharSet) return;
    if (IsDlgButtonChecked(dialog, IDC_FONT_BASE_UNICODE) == BST_CHECKED) return;
    CheckDlgButton(dialog, IDC_FONT_BASE_CODE_PAGE, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_FONT_BASE_ASCII, BST_UNCHECKED);
    CheckDlgButton(dialog, IDC_FONT_BASE_UNICODE, BST_CHECKED);
    ShowLetterPreview(dialog, kLetterBaseUnicode);
}

void ReleasePreviewFont() {
    if (gFontDialog.previewFont) DeleteObject(gFontDialog.previewFont);
    gFontDialog.previewFont = nullptr;
}

// The old font goes only once the preview holds the new one; without a new
// one the preview keeps its look. Any character set, as the panes ask: a
// desktop would otherwise swap a face without Latin letters for another.
void UpdatePreviewFont(HWND dialog) {
    LOGFONTW logFont = gFontDialog.logFont;
    logFont.lfCharSet = DEFAULT_CHARSET;
    // The sizes are pixels at 96 DPI, as the panes draw them.
    logFont.lfHeight = ScalePx(logFont.lfHeight, WindowDpi(dialog));
    HFONT font = CreateFontIndirectW(&logFont);
    if (!font) return;
    SendMessageW(Item(dialog, IDC_FONT_PREVIEW), WM_SETFONT, (WPARAM)font, TRUE);
    ReleasePreviewFont();
    gFontDialog.previewFont = font;
}

void StoreChoice(HWND dialog) {
    FontSpec* target = gFontDialog.target;
    if (!target) return;
    if (gFontDialog.logFont.lfHeight != 0) target->size = gFontDialog.logFont.lfHeight;
    target->size = UsableFontSize(target->size);  // also when no size was selected
    target->letterBase = CheckedBase(dialog, target->letterBase);
    if (gFontDialog.logFont.lfFaceName[0]) lstrcpynW(target->faceName, gFontDialog.logFont.lfFaceName, kFaceNameChars);
}

void EndFontDialog(HWND dialog, int result) {
    ResetFontList();
    EndDialog(dialog, result);
}

INT_PTR OnFontCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK:
        ReadFontChoice(dialog, kChoiceOk);
        EndFontDialog(dialog, IDOK);
        return TRUE;
    case IDCANCEL:
        ReleasePreviewFont();
        EndFontDialog(dialog, IDCANCEL);
        return TRUE;
    case IDC_FONT_FACES:
    case IDC_FONT_SIZES:
        // Only a new selection: the focus arriving at the face list as the
        // dialog opens would otherwise check "5D0" over a stored 97 or 224.
        if (HIWORD(wParam) == LBN_SELCHANGE) ReadFontChoice(dialog, kChoiceAfterListChange);
        return FALSE;
    case IDC_FONT_BASE_ASCII: ShowLetterPreview(dialog, kLetterBaseAscii); break;
    case IDC_FONT_BASE_CODE_PAGE: ShowLetterPreview(dialog, kLetterBaseCodePage); break;
    case IDC_FONT_BASE_UNICODE: ShowLetterPreview(dialog, kLetterBaseUnicode); break;
    default: return FALSE;
    }
    ReadFontChoice(dialog, kChoiceAfterBaseButton);
    return FALSE;
}

void OnFontDialogActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_ACTIVE && gShell.taskBarWindow) ShowWindow(gShell.taskBarWindow, SW_HIDE);
}

}  // namespace

INT_PTR RunFontDialog(HWND owner, FontSpec* spec) {
    return RunDialogTemplate(gApp.instance, IDD_CHOOSE_FONT, owner, FontDialogProc, (LPARAM)spec);
}

INT_PTR CALLBACK FontDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        InitFontDialog(dialog, reinterpret_cast<FontSpec*>(lParam));
        return FALSE;  // the focus is set
    case WM_COMMAND:
        return OnFontCommand(dialog, wParam);
    case WM_SIZE:
        LayoutFontDialog(dialog, LOWORD(lParam), HIWORD(lParam));
        return FALSE;
    case WM_ACTIVATE:
        OnFontDialogActivate(wParam);
        return FALSE;
    case WM_DESTROY:
        ReleasePreviewFont();
        return TRUE;
    default:
        return FALSE;
    }
}

void InitFontDialog(HWND dialog, FontSpec* spec) {
    HWND owner = GetParent(dialog);
    HDC dc = GetDC(owner);
    InitReaderDialog(dialog, kFontDialogShellFlags, gShell.fullScreen, kDesktopFontDialogSize);
    ResetFontList();
    gFontDialog.target = spec;
    // Kept even when the dialog is cancelled.
    if (spec->letterBase == 0) spec->letterBase = kLetterBaseUnicode;
    ShowEditInStoredOrder(Item(dialog, IDC_FONT_PREVIEW));
    ShowLetterPreview(dialog, spec->letterBase);
    CheckBaseButton(dialog, spec->letterBase);
    // Enumerating costs more than the rest of the opening; the families are
    // taken once a run (a face installed meanwhile shows after a restart).
    if (!gFontDialog.families.firstFamily && dc) {
        ResetFamilyList(&gFontDialog.families);
        EnumerateFamilies(dc);
    }
    if (dc) ReleaseDC(owner, dc);
    FillFaceList(dialog, spec->faceName);
    FillSizeList(dialog, UsableFontSize(spec->size));
    // The dialog's own font may have no Hebrew letters at all, so the preview
    // starts in the selected face; the base buttons stay as stored.
    ReadFontChoice(dialog, kChoiceAfterBaseButton);
    SetFocus(Item(dialog, IDC_FONT_FACES));
}

void ReadFontChoice(HWND dialog, int mode) {
    ReadListSelections(dialog);
    if (mode == kChoiceAfterListChange && gFontDialog.logFont.lfFaceName[0]) FollowHebrewFace(dialog);
    if (mode == kChoiceOk) {
        ReleasePreviewFont();
        StoreChoice(dialog);
        return;
    }
    UpdatePreviewFont(dialog);
}

void ShowLetterPreview(HWND dialog, int base) {
    for (int i = 0; i < kPreviewLetters; i++) gLetterPreview[i] = (wchar_t)(base + kPreviewLetters - 1 - i);
    gLetterPreview[kPreviewLetters] = 0;
    SetDlgItemTextW(dialog, IDC_FONT_PREVIEW, gLetterPreview);
}

// The face list takes the left two thirds of the upper two thirds, the base
// buttons and the size list the right third, the preview the lower third.
// The sizes are pixels at 96 DPI.
void LayoutFontDialog(HWND dialog, int widthPx, int heightPx) {
    int dpi = WindowDpi(dialog);
    int marginPx = ScalePx(kMarginPx, dpi);
    int sizeListTopPx = ScalePx(kSizeListTopPx, dpi);
    int w = widthPx - 2 * marginPx;
    int h = heightPx - 2 * marginPx;
    int x = 2 * w / 3;
    int y = 2 * h / 3;
    int rightX = x + marginPx;
    int rightWidth = w - x;
    MoveWindow(Item(dialog, IDC_FONT_FACES), marginPx, marginPx, x - marginPx, y - marginPx, TRUE);
    MoveWindow(Item(dialog, IDC_FONT_SIZES), rightX, sizeListTopPx, rightWidth, y - sizeListTopPx, TRUE);
    MoveWindow(Item(dialog, IDC_FONT_PREVIEW), marginPx, y, w, h - y, TRUE);
    const int baseIds[] = {IDC_FONT_BASE_ASCII, IDC_FONT_BASE_CODE_PAGE, IDC_FONT_BASE_UNICODE};
    for (int i = 0; i < 3; i++)
        MoveWindow(Item(dialog, baseIds[i]), rightX, ScalePx(kBaseButtonTopPx[i], dpi), rightWidth,
                   ScalePx(kBaseButtonHeightPx, dpi), TRUE);
}

void ResetFontList() {
    gFontDialog.previewFont = nullptr;
    ZeroMemory(&gFontDialog.logFont, sizeof gFontDialog.logFont);
    gFontDialog.target = nullptr;
}

void ReleaseFontFamilies() {
    FreeFamilyList(&gFontDialog.families);
    ResetFontList();
}

int CALLBACK AddFontFamily(const LOGFONTW* logFont, const TEXTMETRICW* metrics, DWORD, LPARAM) {
    // Vertical variants of the East Asian faces draw their letters on their side.
    if (logFont->lfFaceName[0] == L'@') return 1;
    return AddFamilyToList(&gFontDialog.families, logFont->lfFaceName, metrics->tmCharSet);
}

int ParseSizeText(const wchar_t* text) {
    // A stored size below 10 is listed as it is.
    bool negative = *text == L'-';
    if (negative) text++;
    unsigned value = 0;  // wraps rather than overflows
    for (; *text; text++) value = value * 10u + (unsigned)(*text - L'0');
    return (int)(negative ? 0u - value : value);
}
