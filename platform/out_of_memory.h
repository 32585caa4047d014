// The one rule for memory running out, for the whole program.
//
// AllocOrAbort shows "There is not enough memory, aborting" (once), marks the
// program as ending and runs the action the program registered at start-up
// (the reader writes its settings and posts the quit request), then returns
// null. It releases nothing: whatever the caller holds stays allocated until
// the program takes itself down in order. From the failure on ProgramEnding()
// is true: painting, scrolling and layout refuse, and the main window takes
// no more commands, keys, taps or close requests. So a pointer held across
// the call still points at live memory; the caller must still back out at
// once on null and leave the view alone.
#pragma once

#include <stddef.h>

// Allocates `byteCount` bytes (free with PlatformFree), or follows the rule.
void* AllocOrAbort(size_t byteCount);
// The rule alone, for memory that has to come from elsewhere (the clipboard's).
void ReportOutOfMemory();

// What the program does once memory has run out, after the message. Called
// on every failure; the action itself decides whether a second call does more.
typedef void (*OutOfMemoryAction)();
void SetOutOfMemoryAction(OutOfMemoryAction action);

// True once the program is on its way out: memory ran out, or the program
// marked itself ending (its settings are saved and the quit is asked for).
bool ProgramEnding();
void MarkProgramEnding();

// ---- Test seam -----------------------------------------------------------------

// A fresh run of the program: not ending.
void ResetProgramEnding();
