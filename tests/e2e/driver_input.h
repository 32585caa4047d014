// What the drivers do to the reader's windows from outside: waiting for a
// window to show or go, a real click, and finding and reading the search
// dialog's parts.
#pragma once

#include <windows.h>

#include <stdlib.h>

#include <string>

// How long a driver waits for the reader: a window to show or go, a process to end.
const DWORD kDriverWaitMs = 30000;

// The visible top-level window of this class and title, waited for; null
// when none showed in time.
inline HWND WaitForWindow(const wchar_t* className, const wchar_t* title) {
    for (DWORD waited = 0; waited < kDriverWaitMs; waited += 100) {
        HWND window = FindWindowW(className, title);
        if (window && IsWindowVisible(window)) return window;
        Sleep(100);
    }
    return nullptr;
}

// True once `window` is closed or hidden; false when it stayed.
inline bool WaitUntilGone(HWND window) {
    for (DWORD waited = 0; waited < kDriverWaitMs; waited += 100) {
        if (!IsWindow(window) || !IsWindowVisible(window)) return true;
        Sleep(100);
    }
    return false;
}

// A real key press and release.
inline void PressKey(WORD key) {
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// The pointer is moved first, and the button pressed only once the cursor has
// stayed on the spot. Under Wine the reader's own X connection reports the
// warp of the previous click late, and that report can pull the cursor back
// to where the last click was: a press sent in the same batch as the move
// then lands there (a key typed twice, or OK missed).
inline void ClickAtScreen(int x, int y) {
    INPUT move = {};
    move.type = INPUT_MOUSE;
    move.mi.dx = x * 65535 / (GetSystemMetrics(SM_CXSCREEN) - 1);
    move.mi.dy = y * 65535 / (GetSystemMetrics(SM_CYSCREEN) - 1);
    move.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    int steady = 0;
    for (int waited = 0; waited < 3000 && steady < 4; waited += 25) {
        POINT now;
        GetCursorPos(&now);
        if (abs(now.x - x) <= 1 && abs(now.y - y) <= 1) {  // the absolute scale may round
            steady++;
        } else {
            steady = 0;
            SendInput(1, &move, sizeof move);
        }
        Sleep(25);
    }
    INPUT press[2] = {};
    for (INPUT& input : press) input.type = INPUT_MOUSE;
    press[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    press[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(2, press, sizeof(INPUT));
}

// The letter keyboard is the dialog's static control that shows a bitmap.
inline HWND KeyboardOf(HWND dialog) {
    HWND child = nullptr;
    while ((child = FindWindowExW(dialog, child, L"Static", nullptr)) != nullptr) {
        if ((GetWindowLongW(child, GWL_STYLE) & SS_TYPEMASK) == SS_BITMAP) return child;
    }
    return nullptr;
}

inline std::wstring WindowText(HWND window) {
    wchar_t text[64] = L"";
    SendMessageW(window, WM_GETTEXT, 64, (LPARAM)text);
    return text;
}
