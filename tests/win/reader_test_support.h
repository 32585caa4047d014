// Shared by the reader's Win32 tests: a registry key of their own for the
// settings, a catcher for message boxes, and a fresh program-wide state.
#pragma once

#include <windows.h>
#include <string.h>
#include <wchar.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "app/app_state.h"
#include "app/settings.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/shell.h"
#include "tests/support/test_seams.h"

const wchar_t kTestProgramKey[] = L"Software\\Quenmark\\LorvanTest\\Program";
const wchar_t kTestMakerKey[] = L"Software\\Quenmark\\LorvanTest\\Maker";
const wchar_t kTestRootKey[] = L"Software\\Quenmark\\LorvanTest";

// Points the settings at the test keys, empty, for the life of the object.
struct TestSettingsKeys {
    TestSettingsKeys() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRootKey);
        SetSettingsKeyPaths(kTestProgramKey, kTestMakerKey);
    }
    ~TestSettingsKeys() {
        RegDeleteTreeW(HKEY_CURRENT_USER, kTestRootKey);
        SetSettingsKeyPaths(nullptr, nullptr);
    }
    TestSettingsKeys(const TestSettingsKeys&) = delete;
    TestSettingsKeys& operator=(const TestSettingsKeys&) = delete;
};

inline void PutRegValue(const wchar_t* keyPath, const wchar_t* name, DWORD type, const void* bytes, DWORD count) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, keyPath, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(bytes), count);
    RegCloseKey(key);
}

inline void PutDword(const wchar_t* keyPath, const wchar_t* name, DWORD value) {
    PutRegValue(keyPath, name, REG_DWORD, &value, sizeof(value));
}

inline void PutString(const wchar_t* keyPath, const wchar_t* name, const std::wstring& text) {
    PutRegValue(keyPath, name, REG_SZ, text.c_str(), (DWORD)((text.size() + 1) * sizeof(wchar_t)));
}

// The raw bytes of a value and its type; false when it is missing.
inline bool GetRegValue(const wchar_t* keyPath, const wchar_t* name, DWORD* type, std::vector<uint8_t>* bytes) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
    DWORD size = 0;
    bool found = RegQueryValueExW(key, name, nullptr, type, nullptr, &size) == ERROR_SUCCESS;
    if (found) {
        bytes->assign(size, 0);
        found = RegQueryValueExW(key, name, nullptr, type, bytes->data(), &size) == ERROR_SUCCESS;
    }
    RegCloseKey(key);
    return found;
}

inline bool GetDword(const wchar_t* keyPath, const wchar_t* name, DWORD* value) {
    DWORD type = 0;
    std::vector<uint8_t> bytes;
    if (!GetRegValue(keyPath, name, &type, &bytes) || type != REG_DWORD || bytes.size() != 4) return false;
    memcpy(value, bytes.data(), 4);
    return true;
}

// Answers every message box with `answer` and records what it showed.
struct MessageBoxCatcher {
    struct Shown {
        std::wstring text;
        std::wstring caption;
        UINT flags;
    };
    std::vector<Shown> shown;
    int answer = IDOK;

    MessageBoxCatcher() { SetMessageBoxSink(&MessageBoxCatcher::Receive, this); }
    ~MessageBoxCatcher() { SetMessageBoxSink(nullptr, nullptr); }
    MessageBoxCatcher(const MessageBoxCatcher&) = delete;
    MessageBoxCatcher& operator=(const MessageBoxCatcher&) = delete;

    static int Receive(HWND, const wchar_t* text, const wchar_t* caption, UINT flags, void* context) {
        MessageBoxCatcher* self = static_cast<MessageBoxCatcher*>(context);
        self->shown.push_back({text ? text : L"", caption ? caption : L"", flags});
        return self->answer;
    }
};

// Removes a posted quit request; true when there was one.
inline bool TakeQuitMessage() {
    MSG message;
    bool found = false;
    while (PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) found = true;
    return found;
}

// The program-wide records as the program entry leaves them.
inline void ResetProgramState() {
    ZeroMemory(&gApp, sizeof(gApp));
    ZeroMemory(&gShell, sizeof(gShell));
    ZeroMemory(&gSplit, sizeof(gSplit));
    ZeroMemory(&gView, sizeof(gView));
    gApp.instance = GetModuleHandleW(nullptr);
    gShell.allowSipInHebrewSearch = 1;
    gSplit.bottomSection = 12;
    ResetSettingsSaved();
}

// The program records reset, then the settings the reader tests read with:
// the default flags and a Latin face at size 14 that shows the letters at 0x5D0.
inline void ResetReaderForTest() {
    ResetProgramState();
    gApp.flags = kFlagsDefault;
    wcscpy(gApp.font.faceName, L"DejaVu Sans");
    gApp.font.size = 14;
    gApp.font.letterBase = 0x5D0;
}

// Replaces the clipboard's content by these bytes in these formats; false
// when the clipboard cannot be opened.
inline bool PutClipboard(std::initializer_list<std::pair<UINT, std::string>> forms) {
    if (!OpenClipboard(gApp.mainWindow)) return false;
    EmptyClipboard();
    for (const auto& form : forms) {
        HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, form.second.size());
        memcpy(GlobalLock(block), form.second.data(), form.second.size());
        GlobalUnlock(block);
        SetClipboardData(form.first, block);
    }
    CloseClipboard();
    return true;
}

// The bytes of `text` and its terminator, as CF_UNICODETEXT holds them.
inline std::string WideBytes(const std::wstring& text) {
    return std::string((const char*)text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

// The clipboard's Unicode text, or "<none>".
inline std::wstring ClipboardUnicodeText() {
    std::wstring text = L"<none>";
    if (!OpenClipboard(nullptr)) return text;
    HANDLE data = GetClipboardData(CF_UNICODETEXT);
    const wchar_t* locked = data ? (const wchar_t*)GlobalLock(data) : nullptr;
    if (locked) {
        text = locked;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}
