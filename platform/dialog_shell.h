// The handheld shell's dialog services, built for desktop Win32: dialogs run
// from our own templates in memory, the full-screen set-up, and the OK button
// that a handheld puts into the caption.
#pragma once

#include <windows.h>

// Extended style bit of our templates that asks for an OK button in the
// caption. A desktop has none, so the dialog gets a real button instead.
const DWORD kExStyleCaptionOk = 0x80000000u;

// ---- Shell dialog initialisation ---------------------------------------------

struct ShellInitDialogInfo {
    DWORD mask;  // SHIDIM_FLAGS: `flags` is given
    HWND dialog;
    DWORD flags;
};
const DWORD SHIDIM_FLAGS = 0x01;
const DWORD SHIDIF_DONEBUTTON = 0x01;
const DWORD SHIDIF_SIZEDLG = 0x02;
const DWORD SHIDIF_SIZEDLGFULLSCREEN = 0x04;
const DWORD SHIDIF_SIPDOWN = 0x08;
const DWORD SHIDIF_FULLSCREENNOMENUBAR = 0x10;

// A dialog asked to be sized (either size flag) takes its owner's window
// rectangle, the desktop's nearest thing to the handheld's whole screen; with
// no owner, the work area of its monitor. It never becomes smaller than its
// template made it (with the OK button's strip), and what it grows by stays
// on the screen. The other flags change nothing here.
BOOL ShellInitDialog(ShellInitDialogInfo* info);

// The set-up shared by the full-size dialogs (the chooser and the font dialog
// pass 30). `fullScreen` is the reader's "FullScreen" option.
void InitFullScreenDialog(HWND dialog, DWORD flags, BOOL fullScreen);

// ---- The desktop form of the full-size dialogs ------------------------------

// Over a reader wider than a handheld's screen, a full-size dialog opens as
// an ordinary one instead: its caption and close box, a size of its own
// (at 96 DPI, scaled by the resolution and never larger than the monitor's
// work area), centred over the reader and resizable. The size the user
// leaves it at is kept in the setting `sizeValue` of the program key.
struct DesktopDialogSize {
    int widthPx96;
    int heightPx96;
    const wchar_t* sizeValue;
};
// Handheld screens are at most this wide at 96 DPI.
const int kHandheldWidthPx96 = 480;

// Whether a dialog over `owner` takes the desktop form: the owner's client
// area is wider than a handheld's screen at its resolution, and it is
// neither in the shell's full screen (`fullScreen`) nor has it put its frame
// off to cover its monitor.
bool WantsDesktopDialog(HWND owner, BOOL fullScreen);
// The stored size of `sizeValue` as pixels at 96 DPI, or the default one;
// a stored size smaller than the least a dialog takes, or beyond any screen,
// is not used.
SIZE StoredDialogSizePx96(const DesktopDialogSize& size);
// The dialog's outer rectangle in the desktop form: `sizePx` centred over
// `ownerRect`, made to fit `workArea` and moved inside it.
RECT DesktopDialogRect(SIZE sizePx, const RECT& ownerRect, const RECT& workArea);

// The set-up of a full-size dialog: the desktop form when WantsDesktopDialog
// says so, else InitFullScreenDialog's. Call it at WM_INITDIALOG.
void InitReaderDialog(HWND dialog, DWORD flags, BOOL fullScreen, const DesktopDialogSize& desktop);

// ---- Running dialogs ---------------------------------------------------------------

// Finds dialog template `templateId` (type 5) of `instance` and runs a copy of
// it modally with `proc` and `param`. Returns the code the dialog ended with,
// or -1 when the template is missing or too damaged to run.
//
// A template with kExStyleCaptionOk gets a real "OK" push button (command 1)
// in a strip of its own along the bottom. The dialog is made taller by the
// strip, and `proc` sees WM_SIZE with the height less the strip, so its own
// layout never reaches under the button. Keys that the OK button would
// otherwise keep (the arrows, Page Up and Down, Home and End) reach `proc` as
// WM_KEYDOWN. Enter sends 1; Escape and the close box send 2.
INT_PTR RunDialogTemplate(HINSTANCE instance, WORD templateId, HWND owner, DLGPROC proc, LPARAM param);

// The dialog's client rectangle less the OK button's strip. Dialog procedures
// use it wherever they would read the client rectangle.
BOOL GetDialogClientRect(HWND dialog, RECT* rect);
