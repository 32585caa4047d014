#include "platform/registry.h"

#include <string.h>

#include "platform/out_of_memory.h"
#include "platform/services.h"

namespace {

const REGSAM kReadAccess = 0x20019;   // KEY_READ
const REGSAM kWriteAccess = 0xF003F;  // KEY_ALL_ACCESS

HKEY OpenForReading(const wchar_t* keyPath) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, kReadAccess, &key) != ERROR_SUCCESS) return nullptr;
    return key;
}

HKEY OpenForWriting(const wchar_t* keyPath) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, kWriteAccess, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return nullptr;
    return key;
}

const wchar_t kBooksSubkey[] = L"\\Books\\";
const size_t kBookIdChars = 64;
const size_t kPlaceKeyChars = 512;
wchar_t gPlaceBookId[kBookIdChars + 1];  // empty: the built-in edition

int WriteValueAt(const wchar_t* keyPath, const wchar_t* valueName, DWORD type, const void* bytes,
                 DWORD byteCount) {
    HKEY key = OpenForWriting(keyPath);
    if (!key) return 0;
    LONG result = RegSetValueExW(key, valueName, 0, type, static_cast<const BYTE*>(bytes), byteCount);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? 1 : 0;
}

int WriteValue(const wchar_t* valueName, DWORD type, const void* bytes, DWORD byteCount) {
    return WriteValueAt(ProgramKeyPath(), valueName, type, bytes, byteCount);
}

// Reads a value of any type into a new zero-filled buffer of `bufferBytes(size)`
// bytes, so whatever is stored is followed by zeros. Null when absent.
uint8_t* ReadValue(const wchar_t* keyPath, const wchar_t* valueName, DWORD* type, DWORD* byteCount,
                   size_t (*bufferBytes)(DWORD)) {
    HKEY key = OpenForReading(keyPath);
    if (!key) return nullptr;
    uint8_t* buffer = nullptr;
    DWORD size = 0;
    if (RegQueryValueExW(key, valueName, nullptr, type, nullptr, &size) == ERROR_SUCCESS) {
        size_t allocated = bufferBytes(size);
        buffer = static_cast<uint8_t*>(AllocOrAbort(allocated));
        if (buffer) {
            memset(buffer, 0, allocated);
            DWORD read = size;
            if (RegQueryValueExW(key, valueName, nullptr, type, buffer, &read) != ERROR_SUCCESS || read > size) {
                PlatformFree(buffer);
                buffer = nullptr;
            } else {
                *byteCount = read;
            }
        }
    }
    RegCloseKey(key);
    return buffer;
}

// Wide strings get twice their byte size plus room for a whole terminator,
// and a number stored with fewer than 4 bytes still reads as 4 bytes.
size_t WideBufferBytes(DWORD size) { return 2 * (size_t)size + sizeof(DWORD); }
size_t ByteBufferBytes(DWORD size) { return (size_t)size + 1; }

}  // namespace

int ParseDecimalUnits(const wchar_t* units, size_t maxUnits) {
    uint32_t value = 0;  // unsigned, so that long strings wrap instead of overflowing
    for (size_t i = 0; i < maxUnits && units[i]; i++) value = value * 10 + (uint32_t)((int)units[i] - 48);
    return (int)value;
}

int ReadRegInt(const wchar_t* keyPath, const wchar_t* valueName, int defaultValue) {
    DWORD type = 0;
    DWORD byteCount = 0;
    uint8_t* buffer = ReadValue(keyPath, valueName, &type, &byteCount, WideBufferBytes);
    if (!buffer) return defaultValue;
    int value;
    if (type == REG_DWORD) {
        DWORD number = 0;
        memcpy(&number, buffer, sizeof(number));  // the buffer has at least 4 zeroed bytes
        value = (int)number;
    } else {
        value = ParseDecimalUnits(reinterpret_cast<const wchar_t*>(buffer), byteCount);
    }
    PlatformFree(buffer);
    return value;
}

int ReadSettingInt(const wchar_t* valueName, int defaultValue) {
    return ReadRegInt(ProgramKeyPath(), valueName, defaultValue);
}

int WriteSettingInt(const wchar_t* valueName, uint32_t value) {
    DWORD number = value;
    return WriteValue(valueName, REG_DWORD, &number, sizeof(number));
}

wchar_t* ReadSettingString(const wchar_t* valueName) {
    DWORD type = 0;
    DWORD byteCount = 0;
    return reinterpret_cast<wchar_t*>(ReadValue(ProgramKeyPath(), valueName, &type, &byteCount, WideBufferBytes));
}

int WriteSettingString(const wchar_t* valueName, const wchar_t* text) {
    DWORD byteCount = (DWORD)((wcslen(text) + 1) * sizeof(wchar_t));
    return WriteValue(valueName, REG_SZ, text, byteCount);
}

uint8_t* ReadBytesAt(const wchar_t* keyPath, const wchar_t* valueName, uint32_t* byteCount) {
    DWORD type = 0;
    DWORD stored = 0;
    uint8_t* buffer = ReadValue(keyPath, valueName, &type, &stored, ByteBufferBytes);
    if (buffer && byteCount) *byteCount = stored;
    return buffer;
}

void* ReadBlobAt(const wchar_t* keyPath, const wchar_t* valueName, void* defaultPointer, uint32_t* byteCount) {
    uint32_t stored = 0;
    uint8_t* buffer = ReadBytesAt(keyPath, valueName, &stored);
    if (!buffer) return defaultPointer;
    if (byteCount) *byteCount = stored;
    return buffer;
}

uint8_t* ReadSettingBytes(const wchar_t* valueName, uint32_t* byteCount) {
    return ReadBytesAt(ProgramKeyPath(), valueName, byteCount);
}

int WriteSettingBytes(const wchar_t* valueName, const uint8_t* bytes) {
    DWORD byteCount = (DWORD)strlen(reinterpret_cast<const char*>(bytes)) + 1;
    return WriteValue(valueName, REG_BINARY, bytes, byteCount);
}

void* ReadSettingBlob(const wchar_t* valueName, void* defaultPointer, uint32_t* byteCount) {
    return ReadBlobAt(ProgramKeyPath(), valueName, defaultPointer, byteCount);
}

int WriteSettingBlob(const wchar_t* valueName, const void* bytes, uint32_t byteCount) {
    return WriteValue(valueName, REG_BINARY, bytes, byteCount);
}

int DeleteSettingValue(const wchar_t* valueName) {
    HKEY key = OpenForWriting(ProgramKeyPath());
    if (!key) return 0;
    LONG result = RegDeleteValueW(key, valueName);
    RegCloseKey(key);
    return result == ERROR_SUCCESS || result == ERROR_FILE_NOT_FOUND ? 1 : 0;
}

bool SetPlaceBook(const wchar_t* bookId) {
    if (!bookId) {
        gPlaceBookId[0] = 0;
        return true;
    }
    size_t length = wcslen(bookId);
    if (length == 0 || length > kBookIdChars) return false;
    for (size_t i = 0; i < length; i++) {
        wchar_t c = bookId[i];
        bool allowed = (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z') || (c >= L'0' && c <= L'9') ||
                       c == L'.' || c == L'_' || c == L'-';
        if (!allowed) return false;
    }
    // "." and ".." would name no key of the book's own.
    if (wcsspn(bookId, L".") == length) return false;
    wcscpy(gPlaceBookId, bookId);
    return true;
}

const wchar_t* PlaceKeyPath() {
    static wchar_t path[kPlaceKeyChars];
    if (!gPlaceBookId[0]) return ProgramKeyPath();
    size_t base = wcslen(ProgramKeyPath());
    if (base + wcslen(kBooksSubkey) + kBookIdChars >= kPlaceKeyChars) return ProgramKeyPath();
    wcscpy(path, ProgramKeyPath());
    wcscat(path, kBooksSubkey);
    wcscat(path, gPlaceBookId);
    return path;
}

int ReadPlaceInt(const wchar_t* valueName, int defaultValue) {
    return ReadRegInt(PlaceKeyPath(), valueName, defaultValue);
}

int WritePlaceInt(const wchar_t* valueName, uint32_t value) {
    DWORD number = value;
    return WriteValueAt(PlaceKeyPath(), valueName, REG_DWORD, &number, sizeof(number));
}

uint8_t* ReadPlaceBytes(const wchar_t* valueName, uint32_t* byteCount) {
    return ReadBytesAt(PlaceKeyPath(), valueName, byteCount);
}

int WritePlaceBytes(const wchar_t* valueName, const uint8_t* bytes) {
    DWORD byteCount = (DWORD)strlen(reinterpret_cast<const char*>(bytes)) + 1;
    return WriteValueAt(PlaceKeyPath(), valueName, REG_BINARY, bytes, byteCount);
}

void* ReadPlaceBlob(const wchar_t* valueName, void* defaultPointer, uint32_t* byteCount) {
    return ReadBlobAt(PlaceKeyPath(), valueName, defaultPointer, byteCount);
}

int WritePlaceBlob(const wchar_t* valueName, const void* bytes, uint32_t byteCount) {
    return WriteValueAt(PlaceKeyPath(), valueName, REG_BINARY, bytes, byteCount);
}
