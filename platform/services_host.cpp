// Window-free services for the native build: resources come from a table that
// the host program (a test or a tool) registers, and messages go to stderr.
#include <stdio.h>

#include "platform/host_resources.h"
#include "platform/services.h"

void ShowPlatformMessageBox(const char* text);

namespace {
const int kMaxHostResources = 32768;  // every section of the longest book
struct HostResource {
    uint16_t id;
    const uint8_t* bytes;
    uint32_t byteCount;
};
HostResource gResources[kMaxHostResources];
int gResourceCount = 0;
void* gBookModule = nullptr;
}  // namespace

// The native build has one table; the module is only remembered.
void SetBookModule(void* module) { gBookModule = module; }
void* BookModule() { return gBookModule; }

bool RegisterHostResource(uint16_t id, const uint8_t* bytes, uint32_t byteCount) {
    for (int i = 0; i < gResourceCount; i++) {
        if (gResources[i].id == id) {
            gResources[i].bytes = bytes;
            gResources[i].byteCount = byteCount;
            return true;
        }
    }
    if (gResourceCount == kMaxHostResources) return false;
    gResources[gResourceCount++] = HostResource{id, bytes, byteCount};
    return true;
}

void ClearHostResources() { gResourceCount = 0; }

int FindRawDataResource(uint16_t id, const uint8_t** bytes, uint32_t* byteCount) {
    for (int i = 0; i < gResourceCount; i++) {
        if (gResources[i].id != id) continue;
        if (!gResources[i].bytes || gResources[i].byteCount == 0) return kResourceUnloadable;
        *bytes = gResources[i].bytes;
        *byteCount = gResources[i].byteCount;
        return kResourceFound;
    }
    return kResourceMissing;
}

void ShowPlatformMessageBox(const char* text) { fprintf(stderr, "%s\n", text); }
