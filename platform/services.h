// Window-free platform services: the resources of the program's own module,
// memory and the plain message box. Code in content/ reaches the platform only
// through this header, so it builds natively without windows.h.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Raw-data resource lookup results.
enum ResourceLookup {
    kResourceFound = 0,
    kResourceMissing = 1,     // no resource with that id
    kResourceUnloadable = 2,  // size 0, or it cannot be loaded
};

// Finds raw-data resource `id` (type 10) of the book's module: the program's
// own, or the book file set with SetBookModule. On success *bytes points at
// its bytes, valid while that module stays loaded and never written, and
// *byteCount holds its size.
int FindRawDataResource(uint16_t id, const uint8_t** bytes, uint32_t* byteCount);

// The module the book's resources are looked up in (an HMODULE on Win32);
// null is the program's own. The caller keeps it loaded while it is set.
void SetBookModule(void* module);
void* BookModule();

// Allocation used by the window-free code. Returns null when memory runs out.
void* PlatformAlloc(size_t byteCount);
void PlatformFree(void* block);

// Whether an allocation by another allocator (the clipboard's movable memory)
// may go ahead. It counts against FailAllocationsAfter like PlatformAlloc, so
// the tests' failing allocations reach it too.
bool AllocationPermitted();

// A message box with no owner window, no caption and only an OK button.
void ShowPlainMessage(const char* text);

// ---- Test seams -------------------------------------------------------------

// Receives messages instead of a message box while set (tests only).
typedef void (*MessageSink)(const char* text, void* context);
void SetMessageSink(MessageSink sink, void* context);

// Makes every allocation after the next `allowedCount` fail; -1 turns it off.
void FailAllocationsAfter(int allowedCount);
