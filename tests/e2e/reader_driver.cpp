// Drives the real reader from outside, as another program would: writes its
// settings, starts it, sends keys, commands, clicks and scroll-bar
// notifications, captures its window, closes it with message 1023 and checks
// what it stored. Usage: reader_driver READER_EXE CAPTURE_BMP
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

namespace {

const wchar_t kProgramKey[] = L"Software\\Quenmark\\Lorvan";
const UINT kCloseRequest = 1023;
const DWORD kWaitMs = 30000;

int gFailures = 0;
int gPasses = 0;

void Check(bool ok, const char* what, long long got, long long wanted) {
    if (ok) {
        gPasses++;
        printf("ok    %s\n", what);
    } else {
        gFailures++;
        printf("FAIL  %s: got %lld, wanted %lld\n", what, got, wanted);
    }
    fflush(stdout);
}

void CheckEqual(const char* what, long long got, long long wanted) { Check(got == wanted, what, got, wanted); }

void PutDword(const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

void PutString(const wchar_t* name, const wchar_t* text) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), (DWORD)((wcslen(text) + 1) * 2));
    RegCloseKey(key);
}

// -1 when the value is missing or not a number.
long long GetDword(const wchar_t* name) {
    DWORD value = 0;
    DWORD size = sizeof(value);
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return -1;
    LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_DWORD ? (long long)value : -1;
}

std::wstring GetString(const wchar_t* name) {
    wchar_t text[600] = L"";
    DWORD size = sizeof(text) - sizeof(wchar_t);
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"";
    RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
    RegCloseKey(key);
    return text;
}

bool StartReader(const wchar_t* exe, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    return CreateProcessW(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process) != 0;
}

HWND WaitForReaderWindow() {
    for (DWORD waited = 0; waited < kWaitMs; waited += 100) {
        HWND window = FindWindowW(L"Lorvan", L"Lorvan");
        if (window) return window;
        Sleep(100);
    }
    return nullptr;
}

int CountReaderWindows() {
    int count = 0;
    HWND window = nullptr;
    while ((window = FindWindowExW(nullptr, window, L"Lorvan", L"Lorvan")) != nullptr) count++;
    return count;
}

int ScrollPos(HWND bar) { return (int)SendMessageW(bar, SBM_GETPOS, 0, 0); }

RECT ChildRect(HWND child, HWND parent) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void Key(HWND reader, WPARAM key) { SendMessageW(reader, WM_KEYDOWN, key, 0); }
void Command(HWND reader, WPARAM command) { SendMessageW(reader, WM_COMMAND, command, 0); }
void Tap(HWND reader, int x, int y) { SendMessageW(reader, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y)); }
void Scroll(HWND reader, HWND bar, WORD code, WORD position) {
    SendMessageW(reader, WM_VSCROLL, MAKEWPARAM(code, position), (LPARAM)bar);
}

// Copies the reader's window from the screen into a 24-bit BMP file.
bool CaptureWindow(HWND window, const wchar_t* path) {
    RECT rect;
    GetWindowRect(window, &rect);
    int widthPx = rect.right - rect.left;
    int heightPx = rect.bottom - rect.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, widthPx, heightPx);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, widthPx, heightPx, screen, rect.left, rect.top, SRCCOPY);
    SelectObject(memory, old);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = widthPx;
    header.biHeight = heightPx;
    header.biPlanes = 1;
    header.biBitCount = 24;
    DWORD stride = ((DWORD)widthPx * 3 + 3) & ~3u;
    DWORD imageBytes = stride * (DWORD)heightPx;
    std::string pixels(imageBytes, '\0');
    GetDIBits(memory, bitmap, 0, heightPx, &pixels[0], reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + imageBytes;
    FILE* out = _wfopen(path, L"wb");
    if (!out) return false;
    fwrite(&file, sizeof(file), 1, out);
    fwrite(&header, sizeof(header), 1, out);
    fwrite(pixels.data(), 1, pixels.size(), out);
    fclose(out);
    return true;
}

void ChooseSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    PutDword(L"Lesson", 11);
    PutDword(L"LastPosition", 2);
    PutDword(L"BottomSection", 12);
    PutDword(L"BottomSectionLastPosition", 1);
    PutDword(L"Flags", 0xD1140040u);
    PutString(L"FontName", L"DejaVu Sans");
    PutDword(L"FontSize", 17);
}

void CheckSecondStart(const wchar_t* exe, HANDLE firstReader) {
    PROCESS_INFORMATION second = {};
    if (!StartReader(exe, &second)) {
        Check(false, "second start runs", 0, 1);
        return;
    }
    DWORD waited = WaitForSingleObject(second.hProcess, kWaitMs);
    DWORD exitCode = 99;
    GetExitCodeProcess(second.hProcess, &exitCode);
    CheckEqual("second start ends", waited, WAIT_OBJECT_0);
    CheckEqual("second start exit code", exitCode, 0);
    CheckEqual("one reader window", CountReaderWindows(), 1);
    CheckEqual("first reader still runs", WaitForSingleObject(firstReader, 0), WAIT_TIMEOUT);
    CloseHandle(second.hThread);
    CloseHandle(second.hProcess);
}

void DriveReader(HWND reader, HWND mainBar, HWND bottomBar, const wchar_t* capturePath) {
    CheckEqual("main pane restored to LastPosition", ScrollPos(mainBar), 2);
    CheckEqual("bottom pane restored to its position", ScrollPos(bottomBar), 1);

    Key(reader, VK_RIGHT);
    Key(reader, VK_RIGHT);
    Key(reader, VK_LEFT);
    Key(reader, VK_RIGHT);  // 11 -> 13 -> 15 -> 13 -> 15
    CheckEqual("new section starts at the top", ScrollPos(mainBar), 0);

    SetForegroundWindow(reader);
    RedrawWindow(reader, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(700);
    Check(CaptureWindow(reader, capturePath), "window captured", 0, 1);

    RECT mainRect = ChildRect(mainBar, reader);
    RECT bottomRect = ChildRect(bottomBar, reader);
    Tap(reader, mainRect.left / 2, mainRect.bottom - 6);  // lower half of the main pane: a page on
    Check(ScrollPos(mainBar) > 0, "tap pages the main pane", ScrollPos(mainBar), 1);
    Tap(reader, bottomRect.left / 2, bottomRect.bottom - 6);
    Check(ScrollPos(bottomBar) > 0, "tap pages the bottom pane", ScrollPos(bottomBar), 1);

    Scroll(reader, mainBar, SB_THUMBPOSITION, 4);
    CheckEqual("thumb moves the main pane", ScrollPos(mainBar), 4);
    Scroll(reader, mainBar, SB_LINEDOWN, 0);
    CheckEqual("line down on the main bar", ScrollPos(mainBar), 5);
    Scroll(reader, bottomBar, SB_TOP, 0);
    CheckEqual("top of the bottom pane", ScrollPos(bottomBar), 0);
    Scroll(reader, bottomBar, SB_THUMBTRACK, 3);
    Key(reader, VK_DOWN);  // the bottom pane is active now
    CheckEqual("down key scrolls the active bottom pane", ScrollPos(bottomBar), 4);
    CheckEqual("main pane untouched by it", ScrollPos(mainBar), 5);

    Command(reader, 413);
    Command(reader, 122);
    RECT afterSize = ChildRect(bottomBar, reader);
    Check(afterSize.top > bottomRect.top, "1/3 screen moves the split down", afterSize.top, bottomRect.top + 1);
}

void CheckStoredSettings(const wchar_t* exe) {
    CheckEqual("Lesson", GetDword(L"Lesson"), 15);
    CheckEqual("LastPosition", GetDword(L"LastPosition"), 5);
    CheckEqual("BottomSection", GetDword(L"BottomSection"), 13);
    CheckEqual("BottomSectionLastPosition", GetDword(L"BottomSectionLastPosition"), 4);
    CheckEqual("Flags", GetDword(L"Flags"), 0xD1140840LL);
    std::wstring path = GetString(L"Program Path");
    const wchar_t* name = wcsrchr(exe, L'\\');
    name = name ? name + 1 : exe;
    Check(path.size() >= wcslen(name) && _wcsicmp(path.c_str() + path.size() - wcslen(name), name) == 0,
          "Program Path names the reader", (long long)path.size(), (long long)wcslen(name));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: reader_driver READER_EXE CAPTURE_BMP\n");
        return 2;
    }
    ChooseSettings();
    PROCESS_INFORMATION reader = {};
    if (!StartReader(argv[1], &reader)) {
        fprintf(stderr, "cannot start the reader\n");
        return 2;
    }
    HWND window = WaitForReaderWindow();
    Check(window != nullptr, "reader window appears", 0, 1);
    if (window) {
        SetWindowPos(window, nullptr, 0, 0, 480, 640, SWP_NOZORDER);
        SendMessageW(window, WM_NULL, 0, 0);
        HWND mainBar = FindWindowExW(window, nullptr, L"ScrollBar", L"Bottom");
        HWND bottomBar = FindWindowExW(window, nullptr, L"ScrollBar", L"Top");
        Check(mainBar && bottomBar, "both scroll bars exist", 0, 1);
        CheckSecondStart(argv[1], reader.hProcess);
        if (mainBar && bottomBar) DriveReader(window, mainBar, bottomBar, argv[2]);
        PostMessageW(window, kCloseRequest, 0, 0);
    }
    DWORD waited = WaitForSingleObject(reader.hProcess, kWaitMs);
    DWORD exitCode = 99;
    GetExitCodeProcess(reader.hProcess, &exitCode);
    CheckEqual("message 1023 ends the reader", waited, WAIT_OBJECT_0);
    CheckEqual("reader exit code", exitCode, 0);
    if (waited != WAIT_OBJECT_0) TerminateProcess(reader.hProcess, 1);
    CloseHandle(reader.hThread);
    CloseHandle(reader.hProcess);
    CheckStoredSettings(argv[1]);
    printf("%d passed, %d failed\n", gPasses, gFailures);
    return gFailures ? 1 : 0;
}
