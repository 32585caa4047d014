// What the reader takes from the machine it runs on, where the test programs
// take something of their choosing instead: the settings keys, the width of a
// scroll bar and the platform version. Only Lorvan.exe is linked with this
// file; the test and benchmark programs link tests/support/test_seams.cpp in
// its place, so the product holds no switch of theirs.
#include <windows.h>

#include "app/settings.h"
#include "panes/split_view.h"
#include "platform/dpi.h"
#include "platform/registry.h"
#include "platform/shell.h"

const wchar_t* ProgramKeyPath() { return kProgramKeyPath; }
const wchar_t* MakerKeyPath() { return kMakerKeyPath; }

int ScrollBarWidth(int dpi) { return SystemMetricForDpi(SM_CXVSCROLL, dpi); }

void GetPlatformVersion(DWORD* major, DWORD* minor) { ReadPlatformVersion(major, minor); }
