// The test programs' side of app/product_seams.cpp: the same values, each of
// which a test may choose.
#include "tests/support/test_seams.h"

#include "app/settings.h"
#include "app/settings_run.h"
#include "panes/split_view.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/shell.h"

namespace {
const wchar_t* gProgramKeyPath = kProgramKeyPath;
const wchar_t* gMakerKeyPath = kMakerKeyPath;
int gScrollBarWidthPx = 0;
DWORD gReportedMajor = 0;
DWORD gReportedMinor = 0;
}  // namespace

const wchar_t* ProgramKeyPath() { return gProgramKeyPath; }
const wchar_t* MakerKeyPath() { return gMakerKeyPath; }

int ScrollBarWidth(int dpi) { return gScrollBarWidthPx ? gScrollBarWidthPx : SystemMetricForDpi(SM_CXVSCROLL, dpi); }

void GetPlatformVersion(DWORD* major, DWORD* minor) {
    if (!gReportedMajor && !gReportedMinor) {
        ReadPlatformVersion(major, minor);
        return;
    }
    *major = gReportedMajor;
    *minor = gReportedMinor;
}

void SetSettingsKeyPaths(const wchar_t* programKeyPath, const wchar_t* makerKeyPath) {
    gProgramKeyPath = programKeyPath ? programKeyPath : kProgramKeyPath;
    gMakerKeyPath = makerKeyPath ? makerKeyPath : kMakerKeyPath;
}

void SetScrollBarWidthForTest(int widthPx) { gScrollBarWidthPx = widthPx; }

void SetReportedPlatformVersion(DWORD major, DWORD minor) {
    gReportedMajor = major;
    gReportedMinor = minor;
}

void ResetSettingsSaved() {
    gSettingsRun.saved = false;
    gSettingsRun.loaded = true;
    ResetProgramEnding();
    SetOutOfMemoryAction(SaveSettingsAndQuit);  // as the program entry registers it
}
