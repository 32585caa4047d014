// Window-free services on Win32: the module's RCDATA resources and MessageBoxW.
#include <windows.h>

#include "platform/services.h"

void ShowPlatformMessageBox(const char* text);

namespace {
HMODULE gBookModule = nullptr;
}  // namespace

void SetBookModule(void* module) { gBookModule = static_cast<HMODULE>(module); }
void* BookModule() { return gBookModule; }

int FindRawDataResource(uint16_t id, const uint8_t** bytes, uint32_t* byteCount) {
    HRSRC found = FindResourceW(gBookModule, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (!found) return kResourceMissing;
    DWORD size = SizeofResource(gBookModule, found);
    HGLOBAL loaded = size ? LoadResource(gBookModule, found) : nullptr;
    const void* locked = loaded ? LockResource(loaded) : nullptr;
    if (!locked) return kResourceUnloadable;
    *bytes = static_cast<const uint8_t*>(locked);
    *byteCount = size;
    return kResourceFound;
}

void ShowPlatformMessageBox(const char* text) {
    wchar_t wide[256];
    int count = MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, 256);
    if (count <= 0) wide[0] = 0;
    wide[255] = 0;
    MessageBoxW(nullptr, wide, nullptr, MB_OK);
}
