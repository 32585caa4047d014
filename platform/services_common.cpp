// The parts of the window-free services that are the same on every platform.
#include "platform/services.h"

#include <stdlib.h>

void ShowPlatformMessageBox(const char* text);  // services_win32 or services_host

namespace {
MessageSink gMessageSink = nullptr;
void* gMessageSinkContext = nullptr;
int gAllocationsAllowed = -1;
}  // namespace

bool AllocationPermitted() {
    if (gAllocationsAllowed == 0) return false;
    if (gAllocationsAllowed > 0) gAllocationsAllowed--;
    return true;
}

void* PlatformAlloc(size_t byteCount) {
    if (!AllocationPermitted()) return nullptr;
    return malloc(byteCount == 0 ? 1 : byteCount);
}

void PlatformFree(void* block) { free(block); }

void ShowPlainMessage(const char* text) {
    if (gMessageSink) {
        gMessageSink(text, gMessageSinkContext);
        return;
    }
    ShowPlatformMessageBox(text);
}

void SetMessageSink(MessageSink sink, void* context) {
    gMessageSink = sink;
    gMessageSinkContext = context;
}

void FailAllocationsAfter(int allowedCount) { gAllocationsAllowed = allowedCount; }
