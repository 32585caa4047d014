#include "app/settings.h"

#include <string.h>

#include "app/app_state.h"
#include "app/book_file.h"
#include "app/settings_run.h"
#include "app/window_place.h"
#include "content/book_numbers.h"
#include "navigation/bookmarks.h"
#include "navigation/history.h"
#include "navigation/outline_panel.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "resources/resource_ids.h"

const wchar_t kProgramKeyPath[] = L"Software\\Quenmark\\Lorvan";
const wchar_t kMakerKeyPath[] = L"software\\Quenmark";

SettingsRun gSettingsRun = {false, false};

namespace {

const int kModulePathChars = 260;

void LoadModulePath() {
    wchar_t path[kModulePathChars + 1] = {};
    DWORD count = GetModuleFileNameW(nullptr, path, kModulePathChars);
    path[kModulePathChars] = 0;
    if (count > 0 && path[0]) WriteSettingString(L"Program Path", path);
}

void LoadFontName() {
    wchar_t* name = ReadSettingString(L"FontName");
    if (!name) return;
    if (name[0]) {
        wcsncpy(gApp.font.faceName, name, kFaceNameChars - 1);
        gApp.font.faceName[kFaceNameChars - 1] = 0;
    }
    PlatformFree(name);
}

// The index's own number, or anything else outside the book, opens at the
// first section; a commentary's even number opens the text it belongs to.
// A section other than the stored one gets no stored position.
void LoadLesson() {
    int stored = ReadPlaceInt(L"Lesson", 0);
    if (stored < kFirstSection || stored > kLastBookSection) {
        gApp.lesson = 0;  // none: start-up makes section 1 current
        gApp.lastPosition = 0;
        return;
    }
    if (stored % 2 == 0) {
        stored--;
        gApp.lastPosition = 0;
    }
    gApp.lesson = (uint16_t)stored;
}

void FreeGridBitmaps() {
    for (HBITMAP& bitmap : gApp.gridBitmaps) {
        if (bitmap) DeleteObject(bitmap);
        bitmap = nullptr;
    }
}

void LoadViewOptions() {
    gView.theme = ReadSettingInt(L"Theme", kThemeLight);
    if (!IsThemeCode(gView.theme)) gView.theme = kThemeLight;
    gView.readingColumn = ReadSettingInt(L"ReadingColumn", 1) != 0;
    gView.outlinePanel = ReadSettingInt(L"OutlinePanel", 0) != 0;
    gView.outlinePanelPercent =
        UsableOutlinePanelPercent(ReadSettingInt(L"OutlinePanelPercent", kDefaultOutlinePanelPercent));
}

void WritePanes() {
    WriteSettingInt(L"Flags", gApp.flags);
    WriteSettingInt(L"SearchOptions", gApp.searchOptions);
    WriteSettingInt(L"BottomSection", (uint32_t)gSplit.bottomSection);
    // Always what the view is: a dragged share left behind by "None" would
    // be taken for a drag at the next start.
    WriteSettingInt(L"BottomSectionPercent", (uint32_t)BottomSharePercent());
    WriteSettingInt(L"Theme", (uint32_t)gView.theme);
    WriteSettingInt(L"ReadingColumn", (uint32_t)gView.readingColumn);
    WriteSettingInt(L"OutlinePanel", (uint32_t)gView.outlinePanel);
    WriteSettingInt(L"OutlinePanelPercent", (uint32_t)UsableOutlinePanelPercent(gView.outlinePanelPercent));
}

// The values a book keeps for itself, but the bookmarks and Back and Forward.
void LoadPlaceValues() {
    ReadSearchString(L"SearchString", gApp.searchString, kSearchStringBytes);
    gApp.lastPosition = (uint16_t)ReadPlaceInt(L"LastPosition", 0);
    LoadLesson();
    gSplit.bottomSectionLastPosition = (uint16_t)ReadPlaceInt(L"BottomSectionLastPosition", 0);
    LoadHistory();
}

void WriteSettings() {
    if (gApp.font.faceName[0]) {
        gApp.font.faceName[kFaceNameChars - 1] = 0;
        WriteSettingString(L"FontName", gApp.font.faceName);
    }
    if (gApp.font.size) WriteSettingInt(L"FontSize", (uint32_t)gApp.font.size);
    if (gApp.font.letterBase) WriteSettingInt(L"FontAsciiBase", (uint32_t)gApp.font.letterBase);
    WritePanes();
    // Full screen covers the screen whatever is stored; the window's own place is kept for later.
    if (!gShell.fullScreen) SaveWindowPlace(gApp.mainWindow);
    SaveBookPlace();
    SaveBookPath();
}

}  // namespace

void LoadGridBitmaps(int dpi) {
    FreeGridBitmaps();
    const WORD ids[3] = {IDB_GRID_COLLAPSED, IDB_GRID_EXPANDED, IDB_GRID_PAGE};
    for (int i = 0; i < 3; i++) gApp.gridBitmaps[i] = LoadArtBitmap(gApp.instance, ids[i], dpi, 0);
}

void ReadSearchString(const wchar_t* valueName, uint8_t* field, int fieldBytes) {
    uint32_t stored = 0;
    uint8_t* bytes = ReadPlaceBytes(valueName, &stored);
    if (!bytes) return;
    if (bytes[0] != 0 && fieldBytes > 0) {
        // The buffer ends in a guard 0, so a value stored without one stops there.
        int copied = 0;
        while (copied < fieldBytes - 1 && bytes[copied] != 0) {
            field[copied] = bytes[copied];
            copied++;
        }
        field[copied] = 0;
    }
    PlatformFree(bytes);
}

void LoadFontSettings() {
    LoadFontName();
    gApp.font.size = UsableFontSize(ReadSettingInt(L"FontSize", kFirstStartFontSize));
    gApp.font.letterBase = UsableLetterBase(ReadSettingInt(L"FontAsciiBase", kLetterBaseUnicode));
    gApp.flags = (uint32_t)ReadSettingInt(L"Flags", (int)kFlagsDefault);
}

void LoadSettings() {
    // The run-once guard of the save stays as it is: a quit asked for before
    // (memory ran out reading the shell options) is still on its way.
    gSettingsRun.loaded = false;
    LoadModulePath();
    // First: the book decides where its own values are and how many pairs it has.
    OpenStartBook();
    LoadFontSettings();
    gApp.searchOptions = (uint32_t)ReadSettingInt(L"SearchOptions", 0);
    gApp.chosenFontSize = gApp.font.size;
    LoadPlaceValues();
    LoadGridBitmaps(SystemDpi());
    gSplit.bottomSection = ReadSettingInt(L"BottomSection", kBottomSectionDefault);
    // Only the six menu codes are usable; anything else would divide by a
    // units digit of 0 or give a nonsense height.
    if (!IsBottomSectionCode(gSplit.bottomSection)) gSplit.bottomSection = kBottomSectionDefault;
    UseStoredSharePercent(ReadSettingInt(L"BottomSectionPercent", 0));
    LoadViewOptions();
    // Last: a window that is never made (memory ran out) never frees the list.
    InitBookmarks();
    gSettingsRun.loaded = true;
}

void SaveSettingsAndQuit() {
    if (gSettingsRun.saved) return;
    gSettingsRun.saved = true;
    MarkProgramEnding();
    if (gSettingsRun.loaded) WriteSettings();
    PostQuitMessage(0);
}

void ReleaseSettings() {
    FreeGridBitmaps();
    FreeBookmarks();
}

void LoadBookPlace() {
    gApp.searchString[0] = 0;  // a book without a stored search has none
    gApp.lesson = 0;
    LoadPlaceValues();
    LoadBookmarks();
}

void SaveBookPlace() {
    if (gApp.searchString[0]) {
        gApp.searchString[kSearchStringBytes - 1] = 0;
        WritePlaceBytes(L"SearchString", gApp.searchString);
    }
    if (gApp.mainPane) WritePlaceInt(L"LastPosition", gApp.mainPane->firstRow);
    if (gApp.lesson) WritePlaceInt(L"Lesson", gApp.lesson);
    if (gSplit.bottomPane) WritePlaceInt(L"BottomSectionLastPosition", gSplit.bottomPane->firstRow);
    SaveBookmarks();
    SaveHistory();
}
