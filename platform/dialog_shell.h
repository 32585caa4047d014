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
