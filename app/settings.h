// The reader's settings in the registry: the load at start, the save at exit
// and what the program does when memory runs out. The readers and writers
// themselves are platform/registry.h.
#pragma once

#include <windows.h>
#include <stdint.h>

// The program's own key, read at start and written at exit.
extern const wchar_t kProgramKeyPath[];
// The maker's key with the shell options, read once at start, never written.
extern const wchar_t kMakerKeyPath[];

// Fills `field` from a bytes value: at most fieldBytes - 1 bytes up to the
// stored 0, then a 0. Leaves the field alone when the value is missing.
void ReadSearchString(const wchar_t* valueName, uint8_t* field, int fieldBytes);

// Loads every setting into the program-wide state; once, before the window.
// A stored value the reader cannot use is replaced by a usable one here.
// Without a stored "FontSize" the reading size is kFirstStartFontSize.
void LoadSettings();
// The part of LoadSettings that drawing text needs: the font and the flags
// word (its Reverse bit). Printing from the command line loads only these.
void LoadFontSettings();
// (Re)loads the outline's marker bitmaps, drawn for `dpi`, into gApp.gridBitmaps.
void LoadGridBitmaps(int dpi);

// Writes every setting and the bookmarks and posts the quit request; it
// releases nothing (ReleaseSettings and DestroyPanes do, when the main window
// is destroyed). Runs once: later calls do nothing, also after a LoadSettings,
// so that a save from an allocation failure or at log-off is not followed by
// a second one. Called before LoadSettings has finished (memory ran out there
// or earlier), it writes nothing, so the stored settings survive. From its
// start the program is ending (ProgramEnding, platform/out_of_memory.h).
//
// It is also what the reader does when memory runs out: the program entry
// registers it with SetOutOfMemoryAction before it reads anything.
void SaveSettingsAndQuit();
// The open book's own values: the reading position of both panes, the last
// search, the bookmarks and Back and Forward (under PlaceKeyPath). Another
// book takes them over when it opens; the rest of the settings stay.
void LoadBookPlace();
void SaveBookPlace();

// Deletes what LoadSettings loaded besides plain values: the outline bitmaps
// and the bookmark list. When the main window is destroyed, after the save.
void ReleaseSettings();
