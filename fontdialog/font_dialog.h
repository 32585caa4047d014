// The "Choose Font" dialog (resource 105): face, size and letter base of the
// reading font, with a preview of the 27 letters. It edits a FontSpec in place
// and only on OK; installing the result in the panes is the caller's part.
#pragma once

#include <windows.h>

#include "app/app_state.h"
#include "fontdialog/font_families.h"
#include "platform/dialog_shell.h"

// Size the dialog to the whole screen, input panel down, no menu bar.
const DWORD kFontDialogShellFlags =
    SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_FULLSCREENNOMENUBAR;  // 30

// One program-wide record, reset each time the dialog opens but for its
// families.
struct FontDialogState {
    FontFamilyList families;  // the installed families, enumerated at the first opening of a run
    HFONT previewFont;        // given to the preview, or null
    LOGFONTW logFont;         // all zero but the chosen height and face
    FontSpec* target;         // the record being edited
};
extern FontDialogState gFontDialog;

// The 27 letters from base + 26 down to base, so that a control drawing
// left to right shows the alphabet running right to left.
const int kPreviewLetters = 27;
extern wchar_t gLetterPreview[kPreviewLetters + 1];

// How ReadFontChoice was reached.
enum FontChoiceMode {
    kChoiceAfterBaseButton = 0,
    kChoiceOk = 1,
    kChoiceAfterListChange = 2,
};

// Runs the dialog modally over `owner` on `spec`: 1 for OK, 2 for Cancel.
INT_PTR RunFontDialog(HWND owner, FontSpec* spec);

INT_PTR CALLBACK FontDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
void InitFontDialog(HWND dialog, FontSpec* spec);
void ReadFontChoice(HWND dialog, int mode);
void ShowLetterPreview(HWND dialog, int base);
void LayoutFontDialog(HWND dialog, int widthPx, int heightPx);

// Clears what one opening used; the families stay.
void ResetFontList();
// Frees the families, when the program ends.
void ReleaseFontFamilies();
// The enumeration's callback: 1 to go on, 0 to stop.
int CALLBACK AddFontFamily(const LOGFONTW* logFont, const TEXTMETRICW* metrics, DWORD fontType, LPARAM param);

// The value of a size item's text: its digits, after an optional minus sign.
int ParseSizeText(const wchar_t* text);
