#include "navigation/go_to_dialog.h"

#include <stdio.h>
#include <string.h>

#include "accessibility/announce.h"
#include "app/app_state.h"
#include "app/commands.h"
#include "content/book_numbers.h"
#include "navigation/history.h"
#include "navigation/section_numeral.h"
#include "platform/dialog_shell.h"
#include "platform/fonts.h"

namespace {

const int kEditChars = 24;
const int kMessageChars = 128;

struct GoToState {
    int number;       // the answer
    HFONT editFont;   // alive while the dialog is open
};
GoToState gGoTo;

HWND NumberEdit(HWND dialog) { return GetDlgItem(dialog, kGoToEditId); }

// The dialog's own size in the reader's face, which has the Hebrew letters
// that the dialog's face may lack.
HFONT CreateEditFont(HWND dialog) {
    LOGFONTW font;
    memset(&font, 0, sizeof font);
    HFONT dialogFont = (HFONT)SendMessageW(dialog, WM_GETFONT, 0, 0);
    if (!dialogFont || !GetObjectW(dialogFont, sizeof font, &font)) return nullptr;
    const wchar_t* face = gApp.font.faceName[0] ? gApp.font.faceName : DefaultHebrewFaceName();
    if (!face[0]) return nullptr;
    wcsncpy(font.lfFaceName, face, LF_FACESIZE - 1);
    font.lfFaceName[LF_FACESIZE - 1] = 0;
    font.lfCharSet = DEFAULT_CHARSET;
    return CreateFontIndirectW(&font);
}

INT_PTR OnInitDialog(HWND dialog) {
    HWND edit = NumberEdit(dialog);
    gGoTo.editFont = CreateEditFont(dialog);
    if (gGoTo.editFont) SendMessageW(edit, WM_SETFONT, (WPARAM)gGoTo.editFont, TRUE);
    SendMessageW(edit, EM_LIMITTEXT, kEditChars, 0);
    return TRUE;  // the platform puts the focus on the edit
}

void SayWhyNot(HWND dialog, int result, int number) {
    wchar_t message[kMessageChars];
    if (result == kNumeralOutsideBook)
        swprintf(message, kMessageChars, L"There is no section %d. The book has sections 1 to %d.", number,
                 kBookPairs);
    else
        swprintf(message, kMessageChars, L"Type a number from 1 to %d, or a Hebrew numeral such as \u05D9\u05F4\u05D1.",
                 kBookPairs);
    SetDlgItemTextW(dialog, kGoToMessageId, message);
    HWND edit = NumberEdit(dialog);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
}

INT_PTR OnOk(HWND dialog) {
    wchar_t typed[kEditChars + 1];
    memset(typed, 0, sizeof typed);
    GetDlgItemTextW(dialog, kGoToEditId, typed, kEditChars + 1);
    int number = 0;
    int result = ReadSectionNumeral(typed, kEditChars, &number);
    if (result != kNumeralInBook) {
        SayWhyNot(dialog, result, number);
        return TRUE;
    }
    gGoTo.number = number;
    EndDialog(dialog, IDOK);
    return TRUE;
}

INT_PTR OnCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: return OnOk(dialog);
    case IDCANCEL:
        EndDialog(dialog, IDCANCEL);
        return TRUE;
    default: return FALSE;
    }
}

INT_PTR OnDestroy() {
    if (gGoTo.editFont) DeleteObject(gGoTo.editFont);
    gGoTo.editFont = nullptr;
    return TRUE;
}

}  // namespace

int AskSectionNumber(HWND owner) {
    gGoTo = GoToState{};
    INT_PTR result = RunDialogTemplate(gApp.instance, kGoToDialogId, owner, GoToDialogProc, 0);
    return result == IDOK ? gGoTo.number : 0;
}

void GoToAskedSection(HWND window) {
    int number = AskSectionNumber(window);
    if (!number) return;
    int section = SectionOfPair(number);
    BookPlace before = CurrentPlace();
    if (section != gApp.lesson && GoToSection(window, (uint32_t)section) == 0) {
        NoteMove(before);
        AnnouncePlace(L"Now at");
    }
}

INT_PTR CALLBACK GoToDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_COMMAND: return OnCommand(dialog, wParam);
    case WM_DESTROY: return OnDestroy();
    default: return FALSE;
    }
}
