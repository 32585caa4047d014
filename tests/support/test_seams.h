// Switches that only the test and benchmark programs have. They replace what
// the reader takes from the machine (app/product_seams.cpp, which only
// Lorvan.exe links) and start the settings of a run afresh.
#pragma once

#include <windows.h>

// Points the settings at other keys; null goes back to the reader's own.
void SetSettingsKeyPaths(const wchar_t* programKeyPath, const wchar_t* makerKeyPath);

// The scroll-bar width to lay out with; 0 asks the platform.
void SetScrollBarWidthForTest(int widthPx);

// Reports this platform version instead of the real one; (0, 0) reports the
// real one again.
void SetReportedPlatformVersion(DWORD major, DWORD minor);

// Lets SaveSettingsAndQuit run again and write, as after a load, and lets the
// view draw again: a fresh run of the program, which saves and quits when
// memory runs out.
void ResetSettingsSaved();
