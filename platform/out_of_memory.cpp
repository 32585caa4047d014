#include "platform/out_of_memory.h"

#include <windows.h>

#include "platform/services.h"
#include "platform/shell.h"

namespace {
bool gProgramEnding = false;
OutOfMemoryAction gOutOfMemoryAction = nullptr;
}  // namespace

void* AllocOrAbort(size_t byteCount) {
    void* block = PlatformAlloc(byteCount);
    if (!block) ReportOutOfMemory();
    return block;
}

void ReportOutOfMemory() {
    if (!gProgramEnding) {
        // Ending before the message box: its message loop paints the main
        // window, and the caller may be half way through a layout.
        gProgramEnding = true;
        ShowMessageBox(nullptr, L"There is not enough memory, aborting", L"Error", MB_ICONSTOP);
    }
    if (gOutOfMemoryAction) gOutOfMemoryAction();
}

void SetOutOfMemoryAction(OutOfMemoryAction action) { gOutOfMemoryAction = action; }

bool ProgramEnding() { return gProgramEnding; }

void MarkProgramEnding() { gProgramEnding = true; }

void ResetProgramEnding() { gProgramEnding = false; }
