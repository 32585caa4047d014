#include "app/settings.h"

#include <string.h>

#include "app/app_state.h"
#include "app/settings_run.h"
#include "app/window_place.h"
#include "navigation/bookmarks.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "panes/theme.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "resources/resource_ids.h"

const wchar_t kProgramKeyPath[] = L"Software\\Quenmark\\Lorvan";
const wchar_t kMakerKeyPath[] = L"software\\Quenmark";

SettingsRun gSettingsRun = {false, false, false};

namespace {

const REGSAM kReadAccess = 0x20019;   // KEY_READ
const REGSAM kWriteAccess = 0xF003F;  // KEY_ALL_ACCESS
const int kModulePathChars = 260;
const int kDefaultLetterBase = 0x5D0;

HKEY OpenForReading(const wchar_t* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, kReadAccess, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

HKEY OpenForWriting(const wchar_t* keyPath) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, kWriteAccess, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

int WriteValue(const wchar_t* valueName, DWORD type, const void* bytes, DWORD byteCount) {
    HKEY key = OpenForWriting(ProgramKeyPath());
    if (!key) return 0;
    LONG result = RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(bytes), byteCount);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

// Reads a value of any type into a new zero-filled buffer of `bufferBytes(size)`
// bytes, so whatever is stored is followed by zeros. Null when absent.
uint8_t* ReadValue(const wchar_t* keyPath, const wchar_t* valueName, DWORD* type, DWORD* byteCount,
                   size_t (*bufferBytes)(DWORD)) {
    HKEY key = OpenForReading(keyPath);
    if (!key) return nullptr;
    uint8_t* buffer = nullptr;
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName, nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
        size_t allocated = bufferBytes(size);
        buffer = static_cast<uint8_t*>(AllocOrAbort(allocated));
        if (buffer) {
            memset(buffer, 0, allocated);
            DWORD read = size;
            if (RegQueryValueExW(key, valueName, nullptr, type, buffer, &read) != ERROR_SUCCESS || read > size) {
                PlatformFree(buffer);
                buffer = nullptr;
            } else {
                *byteCount = read;
            }
        }
    }
    RegCloseKey(key);
    return buffer;
}

// Wide strings get twice their byte size plus room for a whole terminator,
// and a number stored with fewer than 4 bytes still reads as 4 bytes.
size_t WideBufferBytes(DWORD size) { return 2 * (size_t)size + sizeof(DWORD); }
size_t ByteBufferBytes(DWORD size) { return (size_t)size + 1; }

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

void LoadGridBitmaps() {
    const int ids[3] = {IDB_GRID_COLLAPSED, IDB_GRID_EXPANDED, IDB_GRID_PAGE};
    for (int i = 0; i < 3; i++) gApp.gridBitmaps[i] = LoadBitmapW(gApp.instance, MAKEINTRESOURCEW(ids[i]));
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
}

void WritePanesAndLesson() {
    if (gApp.mainPane) WriteSettingInt(L"LastPosition", gApp.mainPane->firstRow);
    WriteSettingInt(L"Flags", gApp.flags);
    if (gApp.lesson) WriteSettingInt(L"Lesson", gApp.lesson);
    WriteSettingInt(L"BottomSection", (uint32_t)gSplit.bottomSection);
    int sharePercent = BottomSharePercent();
    if (sharePercent) WriteSettingInt(L"BottomSectionPercent", (uint32_t)sharePercent);
    if (gSplit.bottomPane) WriteSettingInt(L"BottomSectionLastPosition", gSplit.bottomPane->firstRow);
    WriteSettingInt(L"Theme", (uint32_t)gView.theme);
    WriteSettingInt(L"ReadingColumn", (uint32_t)gView.readingColumn);
}

void WriteSettings() {
    if (gApp.searchString[0]) {
        gApp.searchString[kSearchStringBytes - 1] = 0;
        WriteSettingBytes(L"SearchString", gApp.searchString);
    }
    if (gApp.font.faceName[0]) {
        gApp.font.faceName[kFaceNameChars - 1] = 0;
        WriteSettingString(L"FontName", gApp.font.faceName);
    }
    if (gApp.font.size) WriteSettingInt(L"FontSize", (uint32_t)gApp.font.size);
    if (gApp.font.letterBase) WriteSettingInt(L"FontAsciiBase", (uint32_t)gApp.font.letterBase);
    WritePanesAndLesson();
    // Full screen covers the screen whatever is stored; the window's own place is kept for later.
    if (!gShell.fullScreen) SaveWindowPlace(gApp.mainWindow);
    SaveBookmarks();
}

}  // namespace

int ParseDecimalUnits(const wchar_t* units, size_t maxUnits) {
    uint32_t value = 0;  // unsigned, so that long strings wrap instead of overflowing
    for (size_t i = 0; i < maxUnits && units[i]; i++) value = value * 10 + (uint32_t)((int)units[i] - 48);
    return (int)value;
}

int ReadRegInt(const wchar_t* keyPath, const wchar_t* valueName, int defaultValue) {
    DWORD type = 0;
    DWORD byteCount = 0;
    uint8_t* buffer = ReadValue(keyPath, valueName, &type, &byteCount, WideBufferBytes);
    if (!buffer) return defaultValue;
    int value;
    if (type == REG_DWORD) {
        DWORD number = 0;
        memcpy(&number, buffer, sizeof(number));  // the buffer has at least 4 zeroed bytes
        value = (int)number;
    } else {
        value = ParseDecimalUnits(reinterpret_cast<const wchar_t*>(buffer), byteCount);
    }
    PlatformFree(buffer);
    return value;
}

int ReadSettingInt(const wchar_t* valueName, int defaultValue) {
    return ReadRegInt(ProgramKeyPath(), valueName, defaultValue);
}

int WriteSettingInt(const wchar_t* valueName, uint32_t value) {
    DWORD number = value;
    return WriteValue(valueName, REG_DWORD, &number, sizeof(number));
}

wchar_t* ReadSettingString(const wchar_t* valueName) {
    DWORD type = 0;
    DWORD byteCount = 0;
    return reinterpret_cast<wchar_t*>(ReadValue(ProgramKeyPath(), valueName, &type, &byteCount, WideBufferBytes));
}

int WriteSettingString(const wchar_t* valueName, const wchar_t* text) {
    DWORD byteCount = (DWORD)((wcslen(text) + 1) * sizeof(wchar_t));
    return WriteValue(valueName, REG_SZ, text, byteCount);
}

uint8_t* ReadSettingBytes(const wchar_t* valueName, uint32_t* byteCount) {
    DWORD type = 0;
    DWORD stored = 0;
    uint8_t* buffer = ReadValue(ProgramKeyPath(), valueName, &type, &stored, ByteBufferBytes);
    if (buffer && byteCount) *byteCount = stored;
    return buffer;
}

int WriteSettingBytes(const wchar_t* valueName, const uint8_t* bytes) {
    DWORD byteCount = (DWORD)strlen(reinterpret_cast<const char*>(bytes)) + 1;
    return WriteValue(valueName, REG_BINARY, bytes, byteCount);
}

void* ReadSettingBlob(const wchar_t* valueName, void* defaultPointer, uint32_t* byteCount) {
    uint32_t stored = 0;
    uint8_t* buffer = ReadSettingBytes(valueName, &stored);
    if (!buffer) return defaultPointer;
    if (byteCount) *byteCount = stored;
    return buffer;
}

int WriteSettingBlob(const wchar_t* valueName, const void* bytes, uint32_t byteCount) {
    return WriteValue(valueName, REG_BINARY, bytes, byteCount);
}

void ReadSearchString(const wchar_t* valueName, uint8_t* field, int fieldBytes) {
    uint32_t stored = 0;
    uint8_t* bytes = ReadSettingBytes(valueName, &stored);
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

void LoadSettings() {
    // The run-once guard of the save stays as it is: a quit asked for before
    // (memory ran out reading the shell options) is still on its way.
    gSettingsRun.loaded = false;
    LoadModulePath();
    LoadFontName();
    ReadSearchString(L"SearchString", gApp.searchString, kSearchStringBytes);
    gApp.font.size = ReadSettingInt(L"FontSize", 0);
    gApp.font.letterBase = ReadSettingInt(L"FontAsciiBase", kDefaultLetterBase);
    gApp.lastPosition = (uint16_t)ReadSettingInt(L"LastPosition", 0);
    gApp.flags = (uint32_t)ReadSettingInt(L"Flags", (int)kFlagsDefault);
    gApp.lesson = (uint16_t)ReadSettingInt(L"Lesson", 0);
    LoadGridBitmaps();
    gSplit.bottomSection = ReadSettingInt(L"BottomSection", kBottomSectionDefault);
    // Only the six menu codes are usable; anything else would divide by a
    // units digit of 0 or give a nonsense height.
    if (!IsBottomSectionCode(gSplit.bottomSection)) gSplit.bottomSection = kBottomSectionDefault;
    UseStoredSharePercent(ReadSettingInt(L"BottomSectionPercent", 0));
    gSplit.bottomSectionLastPosition = (uint16_t)ReadSettingInt(L"BottomSectionLastPosition", 0);
    LoadViewOptions();
    InitBookmarks();
    gSettingsRun.loaded = true;
}

void SaveSettingsAndQuit() {
    if (gSettingsRun.saved) return;
    gSettingsRun.saved = true;
    gSettingsRun.ending = true;
    if (gSettingsRun.loaded) WriteSettings();
    PostQuitMessage(0);
}

void ReleaseSettings() {
    FreeGridBitmaps();
    FreeBookmarks();
}

bool ProgramEnding() { return gSettingsRun.ending; }

void* AllocOrAbort(size_t byteCount) {
    void* block = PlatformAlloc(byteCount);
    if (!block) ReportOutOfMemory();
    return block;
}

void ReportOutOfMemory() {
    if (!gSettingsRun.ending) {
        // Frozen before the message box: its message loop paints the main
        // window, and the caller may be half way through a layout.
        gSettingsRun.ending = true;
        ShowMessageBox(nullptr, L"There is not enough memory, aborting", L"Error", MB_ICONSTOP);
    }
    SaveSettingsAndQuit();
}
