// The About box (dialog 103) with its link to the maker's web site, and the
// update check. Both hand an address to the shell, which opens it in the
// user's browser; the program itself makes no connection.
#pragma once

#include <windows.h>

extern const wchar_t kMakerSiteAddress[];  // LORVAN_SITE_URL

// Runs the About box modally over `owner`; for "&About" and the help request.
void ShowAboutBox(HWND owner);

INT_PTR CALLBACK AboutDlgProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Gives the link button (1025) a heavy underlined version of its font, sizes
// the button to its text and returns the font (the caller deletes it), or
// null when no font could be made; the button then keeps its own.
HFONT MakeLinkFont(HWND dialog);
// Draws the link: blue text on white.
void DrawLinkButton(HWND dialog, UINT controlId, const DRAWITEMSTRUCT* item);

void OpenMakerSite(HWND owner);
// Opens the update address for this program's processor, product and version.
void CheckForUpdates(HWND owner);
// Hands `address` to the shell's "Open" verb; failures are not reported.
void OpenUrl(HWND owner, const wchar_t* address);
