#include "navigation/section_chooser.h"

#include <string.h>

#include "accessibility/outline_access.h"
#include "navigation/outline_view.h"
#include "navigation/section_grid.h"
#include "platform/dialog_shell.h"
#include "platform/out_of_memory.h"

namespace {

// One chooser at a time: the dialog is modal.
struct ChooserState {
    uint16_t chosenSection;
    OutlineView view;  // the dialog, its dc and the outline
};
ChooserState gChooser;

const DWORD kFullScreenDialogFlags =
    SHIDIF_SIZEDLG | SHIDIF_SIZEDLGFULLSCREEN | SHIDIF_SIPDOWN | SHIDIF_FULLSCREENNOMENUBAR;  // 30
// Over a window wider than a handheld's screen: a dialog of this size, remembered.
const DesktopDialogSize kDesktopChooserSize = {420, 560, L"ChooserSize"};
const int kCommandOk = 1;
const int kCommandCancel = 2;
const int kHandled = 1;

HWND Dialog() { return gChooser.view.window; }

// Memory ran out and the program is on its way out: close at once, choosing nothing.
void EndOutOfMemory() {
    gChooser.chosenSection = 0;
    EndDialog(Dialog(), kCommandCancel);
}

// ---- Message handlers --------------------------------------------------------

// The dialog takes its size first, so that the outline is laid out once
// for the size it shows at rather than again at once for it.
INT_PTR OnInitDialog(HWND dialog) {
    gChooser.view.window = dialog;
    gChooser.view.dc = GetDC(dialog);
    InitReaderDialog(dialog, kFullScreenDialogFlags, gShell.fullScreen, kDesktopChooserSize);
    ReadOutlineRect(&gChooser.view);
    if (!BuildChooserGrid()) EndOutOfMemory();
    ListOutline(&gChooser.view);
    return 0;
}

INT_PTR OnSize() {
    if (gChooser.view.grid && ResizeOutline(&gChooser.view) == kGridNoMemory) EndOutOfMemory();
    return 0;
}

INT_PTR OnPaint() {
    PaintOutline(&gChooser.view);
    return 0;  // the default handling validates the window
}

INT_PTR OnEraseBackground(HDC dc) {
    EraseOutline(&gChooser.view, dc);
    return kHandled;
}

INT_PTR OnActivate(WPARAM wParam) {
    if (LOWORD(wParam) == WA_ACTIVE && gShell.taskBarWindow) ShowWindow(gShell.taskBarWindow, SW_HIDE);
    return 0;
}

// Page Up and Page Down move one row, like the arrows.
INT_PTR OnKeyDown(WPARAM key) { return OutlineKey(&gChooser.view, key) ? 0 : kHandled; }

INT_PTR OnCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case kCommandOk:
        EndDialog(Dialog(), kCommandOk);
        return kHandled;
    case kCommandCancel:
        gChooser.chosenSection = 0;
        EndDialog(Dialog(), kCommandCancel);
        return kHandled;
    default: return 0;
    }
}

INT_PTR OnVScroll(UINT message, WPARAM wParam, LPARAM lParam) {
    OutlineScroll(&gChooser.view, message, wParam, lParam);
    return kHandled;
}

INT_PTR OnMouseWheel(WPARAM wParam) {
    OutlineWheel(&gChooser.view, wParam);
    return kHandled;
}

// A link chosen ends the dialog with it.
void ChooseLink(uint16_t section) {
    gChooser.chosenSection = section;
    EndDialog(Dialog(), kCommandOk);
}

INT_PTR OnTap(LPARAM lParam) {
    OutlineTap(&gChooser.view, lParam);
    return 0;
}

// The outline to screen readers; a dialog's answer goes in its result slot.
INT_PTR OnGetObject(HWND dialog, WPARAM wParam, LPARAM lParam) {
    SetWindowLongPtrW(dialog, DWLP_MSGRESULT, AnswerOutlineObject(&gChooser.view, wParam, lParam));
    return kHandled;
}

INT_PTR OnDestroy() {
    ReleaseOutline(&gChooser.view);
    if (gChooser.view.dc) ReleaseDC(Dialog(), gChooser.view.dc);
    gChooser.view.dc = nullptr;
    return 0;
}

}  // namespace

uint16_t ChooseSection(HINSTANCE instance, HWND owner, uint16_t currentSection, const FontSpec* fontSpec) {
    // A command that reaches the main window while the chooser is open (one
    // posted by another program) must not start a second one over its state.
    if (Dialog() && IsWindow(Dialog())) return currentSection;
    memset(&gChooser, 0, sizeof gChooser);
    gChooser.view.fontSpec = fontSpec;
    gChooser.view.choose = ChooseLink;
    gChooser.chosenSection = currentSection;
    RunDialogTemplate(instance, kChooseSectionDialog, owner, ChooserDlgProc, 0);
    gChooser.view.window = nullptr;
    return gChooser.chosenSection;
}

bool BuildChooserGrid() { return BuildOutline(&gChooser.view, gChooser.chosenSection); }

void UpdateChooserScrollBar() { UpdateOutlineScrollBar(&gChooser.view); }

const SectionGrid* OpenChooserGrid() { return Dialog() ? gChooser.view.grid : nullptr; }

INT_PTR CALLBACK ChooserDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    // Memory ran out somewhere: the program is on its way out, and the
    // chooser closes at the next message without choosing or drawing.
    if (ProgramEnding() && message != WM_DESTROY && message != WM_INITDIALOG) {
        EndOutOfMemory();
        return 0;
    }
    switch (message) {
    case WM_INITDIALOG: return OnInitDialog(dialog);
    case WM_SIZE: return OnSize();
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return OnEraseBackground((HDC)wParam);
    case WM_ACTIVATE: return OnActivate(wParam);
    case WM_KEYDOWN: return OnKeyDown(wParam);
    case WM_COMMAND: return OnCommand(wParam);
    case WM_VSCROLL: return OnVScroll(message, wParam, lParam);
    case WM_MOUSEWHEEL: return OnMouseWheel(wParam);
    case WM_LBUTTONDOWN: return OnTap(lParam);
    case WM_DESTROY: return OnDestroy();
    case WM_GETOBJECT: return OnGetObject(dialog, wParam, lParam);
    default: return 0;
    }
}
