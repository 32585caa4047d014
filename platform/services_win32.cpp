// Window-free services on Win32: the module's RCDATA resources and MessageBoxW.
#include <windows.h>

#include "platform/services.h"

void ShowPlatformMessageBox(const char* text);

int FindRawDataResource(uint16_t id, const uint8_t** bytes, uint32_t* byteCount) {
    HRSRC found = FindResourceW(nullptr, MAKEINTRESOURCEW(id), MAKEINTRESOURCEW(10));
    if (!found) return kResourceMissing;
    DWORD size = SizeofResource(nullptr, found);
    HGLOBAL loaded = size ? LoadResource(nullptr, found) : nullptr;
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
