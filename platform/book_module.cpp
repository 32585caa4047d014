#include "platform/book_module.h"

#include <stdint.h>

#include "platform/module_header.h"

namespace {

const DWORD kBookLoadFlags = LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE;

int OpenFailure(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_NETPATH:
    case ERROR_INVALID_DRIVE:
        return kBookModuleMissing;
    default: return kBookModuleUnreadable;
    }
}

// The system's loader is not asked to map what is plainly not a whole module.
int LookAtHeaders(const wchar_t* path) {
    DWORD attributes = GetFileAttributesW(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return OpenFailure(GetLastError());
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kBookModuleFolder;
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return OpenFailure(GetLastError());
    uint8_t head[kModuleHeadBytes];
    DWORD read = 0;
    LARGE_INTEGER size = {};
    bool ok = GetFileSizeEx(file, &size) && ReadFile(file, head, sizeof head, &read, nullptr);
    CloseHandle(file);
    if (!ok) return kBookModuleUnreadable;
    switch (CheckModuleHeader(head, read, (uint64_t)size.QuadPart, nullptr)) {
    case kModuleUsable: return kBookModuleLoaded;
    case kModuleTruncated: return kBookModuleTruncated;
    case kModuleNoResources: return kBookModuleNoResources;
    case kModuleProgram: return kBookModuleProgram;
    default: return kBookModuleNotModule;
    }
}

}  // namespace

int LoadBookModule(const wchar_t* path, HMODULE* module) {
    *module = nullptr;
    int looked = LookAtHeaders(path);
    if (looked != kBookModuleLoaded) return looked;
    *module = LoadLibraryExW(path, nullptr, kBookLoadFlags);
    return *module ? kBookModuleLoaded : kBookModuleRefused;
}

void FreeBookModule(HMODULE module) {
    if (module) FreeLibrary(module);
}

const wchar_t* BookModuleFailure(int result) {
    switch (result) {
    case kBookModuleMissing: return L"the file does not exist";
    case kBookModuleFolder: return L"it is a folder, not a book file";
    case kBookModuleUnreadable: return L"the file cannot be read";
    case kBookModuleNotModule: return L"it is not a book file";
    case kBookModuleTruncated: return L"the file is cut short (a part of it is missing)";
    case kBookModuleNoResources: return L"it is not a book file (it holds no resources)";
    case kBookModuleProgram: return L"it is a program, not a book file";
    default: return L"it is not a book file, or it is damaged";
    }
}
