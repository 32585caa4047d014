// Settings kept in the registry under the current user's hive: the readers
// and writers every part of the program uses, the load at start, the save at
// exit, and the allocation that ends the program in order when memory runs out.
#pragma once

#include <windows.h>
#include <stddef.h>
#include <stdint.h>

// The program's own key, read at start and written at exit.
extern const wchar_t kProgramKeyPath[];
// The maker's key with the shell options, read once at start, never written.
extern const wchar_t kMakerKeyPath[];

// Where the settings live: the two keys above in the reader
// (app/product_seams.cpp); the test programs choose keys of their own.
const wchar_t* ProgramKeyPath();
const wchar_t* MakerKeyPath();

// Reads a number from `keyPath`: a REG_DWORD as stored, any other type parsed
// as a decimal string. Returns `defaultValue` when the key or value is missing
// or the read fails.
int ReadRegInt(const wchar_t* keyPath, const wchar_t* valueName, int defaultValue);

// Parses a decimal string the way stored numbers always have been read: each
// unit before the first 0 adds (unit - '0') after multiplying by ten, with no
// sign and no check for digits, so '-' counts as -3. Wraps on overflow.
int ParseDecimalUnits(const wchar_t* units, size_t maxUnits);

int ReadSettingInt(const wchar_t* valueName, int defaultValue);
int WriteSettingInt(const wchar_t* valueName, uint32_t value);  // 1 on success, 0 on failure

// A new NUL-terminated wide string from a string value, or null. The caller
// frees it with PlatformFree.
wchar_t* ReadSettingString(const wchar_t* valueName);
int WriteSettingString(const wchar_t* valueName, const wchar_t* text);

// A new buffer with the bytes of a value followed by one guard 0 byte (so a
// byte string stored without its terminator still ends), or null. The caller
// frees it with PlatformFree. `byteCount` receives the stored size when given.
uint8_t* ReadSettingBytes(const wchar_t* valueName, uint32_t* byteCount);
// Writes `bytes` up to and including its terminating 0 as REG_BINARY.
int WriteSettingBytes(const wchar_t* valueName, const uint8_t* bytes);

// A new buffer with a value's bytes and their number in *byteCount, or
// `defaultPointer` with *byteCount untouched when there is no such value.
void* ReadSettingBlob(const wchar_t* valueName, void* defaultPointer, uint32_t* byteCount);
int WriteSettingBlob(const wchar_t* valueName, const void* bytes, uint32_t byteCount);

// Fills `field` from a bytes value: at most fieldBytes - 1 bytes up to the
// stored 0, then a 0. Leaves the field alone when the value is missing.
void ReadSearchString(const wchar_t* valueName, uint8_t* field, int fieldBytes);

// Loads every setting into the program-wide state; once, before the window.
// Without a stored "FontSize" the reading size is kFirstStartFontSize.
void LoadSettings();
// (Re)loads the outline's marker bitmaps, drawn for `dpi`, into gApp.gridBitmaps.
void LoadGridBitmaps(int dpi);

// Writes every setting and the bookmarks and posts the quit request; it
// releases nothing (ReleaseSettings and DestroyPanes do, when the main window
// is destroyed). Runs once: later calls do nothing, also after a LoadSettings,
// so that a save from an allocation failure or at log-off is not followed by
// a second one. Called before LoadSettings has finished (memory ran out there
// or earlier), it writes nothing, so the stored settings survive.
void SaveSettingsAndQuit();
// Deletes what LoadSettings loaded besides plain values: the outline bitmaps
// and the bookmark list. When the main window is destroyed, after the save.
void ReleaseSettings();

// True once the program is on its way out: SaveSettingsAndQuit has run, or an
// allocation failed. From then on nothing draws, scrolls or lays out.
bool ProgramEnding();

// Allocates `byteCount` bytes (free with PlatformFree).
//
// When memory runs out, one rule holds for the whole program. AllocOrAbort
// shows "There is not enough memory, aborting" (once), writes the settings
// (SaveSettingsAndQuit), posts the quit request and returns null. It releases
// nothing: the panes, the bookmarks and everything else stay allocated until
// the main window is destroyed, which happens in order after the message loop
// has taken the quit request (EndReader), without a second save. From the
// failure on ProgramEnding() is true: painting, scrolling and layout refuse,
// and the main window takes no more commands, keys, taps or close requests.
// So a pane pointer held across the call still points at a live pane; the
// caller must still back out at once on null and leave the view alone.
void* AllocOrAbort(size_t byteCount);
// What AllocOrAbort does when memory runs out, for memory that must come from
// elsewhere: the message, the save and the quit request.
void ReportOutOfMemory();
