// Drives the real reader at the screen resolution the Wine prefix is set to
// and measures what it paints: a line of body text, one of notes, the tool
// images and the keyboard's grid; then clicks the centre of every key as
// the picture draws it and checks the letter each one types. Prints
// "measure NAME PIXELS" lines for dpi_e2e.sh, which compares them across
// resolutions, and "ok"/"FAIL" lines of its own. With a fourth argument it
// also saves the reader, the chooser, the search dialog and Choose Font as
// BMP files in OUTPUT_DIR. It is per-monitor aware (its manifest), so it
// sees the screen's own pixels.
// Usage: dpi_driver READER_EXE OUTPUT_DIR DPI [pictures]
#include <windows.h>

#include <stdint.h>
#include <stdio.h>

#include <algorithm>
#include <string>
#include <vector>

#include "driver_input.h"

namespace {

const wchar_t kProgramKey[] = L"Software\\Quenmark\\Lorvan";
const char kKeyboardTable[] = "abcdefghijlkmonqprsutwvxyz{";
int gFailures = 0;

void Check(bool ok, const std::string& what) {
    printf("%s  %s\n", ok ? "ok  " : "FAIL", what.c_str());
    if (!ok) gFailures++;
    fflush(stdout);
}

void PutValue(const wchar_t* name, DWORD type, const void* bytes, DWORD count) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(bytes), count);
    RegCloseKey(key);
}
void PutDword(const wchar_t* name, DWORD value) { PutValue(name, REG_DWORD, &value, sizeof value); }
void PutString(const wchar_t* name, const std::wstring& text) {
    PutValue(name, REG_SZ, text.c_str(), (DWORD)((text.size() + 1) * sizeof(wchar_t)));
}

// ---- Pictures ------------------------------------------------------------------

struct Picture {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first
    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// A top-down 32-bit picture.
BITMAPINFOHEADER Header(const Picture& picture) {
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof(header);
    header.biWidth = picture.width;
    header.biHeight = -picture.height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    return header;
}

Picture Capture(const RECT& rect) {
    Picture picture;
    picture.width = rect.right - rect.left;
    picture.height = rect.bottom - rect.top;
    picture.pixels.resize((size_t)picture.width * picture.height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader = Header(picture);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ saved = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, picture.width, picture.height, screen, rect.left, rect.top, SRCCOPY);
    GdiFlush();
    memcpy(picture.pixels.data(), bits, picture.pixels.size() * 4);
    for (uint32_t& pixel : picture.pixels) pixel &= 0xFFFFFF;
    SelectObject(memory, saved);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return picture;
}

RECT ClientOnScreen(HWND window) {
    RECT rect;
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, (POINT*)&rect, 2);
    return rect;
}

void SaveBmp(const Picture& picture, const std::wstring& path) {
    BITMAPFILEHEADER file = {};
    file.bfType = 0x4D42;
    BITMAPINFOHEADER header = Header(picture);
    file.bfOffBits = sizeof(file) + sizeof(header);
    file.bfSize = file.bfOffBits + (DWORD)picture.pixels.size() * 4;
    FILE* out = _wfopen(path.c_str(), L"wb");
    if (!out) return;
    fwrite(&file, sizeof file, 1, out);
    fwrite(&header, sizeof header, 1, out);
    fwrite(picture.pixels.data(), 4, picture.pixels.size(), out);
    fclose(out);
}

int Red(uint32_t p) { return (p >> 16) & 0xFF; }
int Green(uint32_t p) { return (p >> 8) & 0xFF; }
int Blue(uint32_t p) { return p & 0xFF; }
bool IsBlack(uint32_t p) { return Red(p) < 90 && Green(p) < 90 && Blue(p) < 90; }
bool IsDarkBlue(uint32_t p) { return Red(p) < 60 && Green(p) < 60 && Blue(p) >= 90 && Blue(p) <= 170; }

// The width of the first line of text of a kind (a band of rows, from row
// `top` on, that hold at least two pixels of it), from the left end of its
// drawing to the right. The lines measured are one-line paragraphs, so the
// width is the drawn text's and grows with its font.
template <typename Kind>
int FirstLineWidthPx(const Picture& picture, int top, int right, Kind kind) {
    int left = picture.width, end = -1;
    bool inLine = false;
    for (int y = top; y < picture.height; y++) {
        int count = 0;
        for (int x = 0; x < right; x++) count += kind(picture.At(x, y)) ? 1 : 0;
        if (count < 2) {
            if (inLine) break;
            continue;
        }
        inLine = true;
        for (int x = 0; x < right; x++) {
            if (!kind(picture.At(x, y))) continue;
            left = std::min(left, x);
            end = std::max(end, x);
        }
    }
    return end - left + 1;
}

// The first row that is mostly the separator's red, above the commentary.
int SeparatorRow(const Picture& picture) {
    for (int y = 0; y < picture.height; y++) {
        int red = 0;
        for (int x = 0; x < picture.width; x++) red += picture.At(x, y) == 0xFF0000 ? 1 : 0;
        if (red > picture.width / 2) return y;
    }
    return picture.height;
}

// The centres of the lines of a grid: runs of columns (or rows) that are
// black along most of their length.
std::vector<int> GridLines(const Picture& picture, bool vertical, int span) {
    std::vector<int> centres;
    int count = vertical ? picture.width : picture.height;
    int runStart = -1;
    for (int i = 0; i <= count; i++) {
        int black = 0;
        for (int j = 0; i < count && j < span; j++) black += IsBlack(vertical ? picture.At(i, j) : picture.At(j, i));
        bool line = i < count && black * 10 >= span * 9;
        if (line && runStart < 0) runStart = i;
        if (!line && runStart >= 0) {
            centres.push_back((runStart + i - 1) / 2);
            runStart = -1;
        }
    }
    return centres;
}

// ---- The reader ------------------------------------------------------------------

void MeasureReader(HWND reader) {
    Picture view = Capture(ClientOnScreen(reader));
    int separator = SeparatorRow(view);
    int right = view.width * 9 / 10;  // not the scroll bars
    // The blue of the arrows and of the font button's underline, in the tool
    // bar above the panes.
    int top = view.height, bottom = -1;
    for (int y = 0; y < separator; y++) {
        for (int x = 0; x < view.width; x++) {
            if (view.At(x, y) != 0x0040A0) continue;
            top = std::min(top, y);
            bottom = std::max(bottom, y);
        }
    }
    // Below the bar: the section's subtitle in plain type, and the
    // commentary's first line in small type (its notes' colour).
    printf("measure body_text %d\n", FirstLineWidthPx(view, bottom + 1, right, IsBlack));
    printf("measure notes %d\n", FirstLineWidthPx(view, separator + 1, right, IsDarkBlue));
    printf("measure tool_images %d\n", bottom - top + 1);
}

std::wstring TypeByClick(HWND edit, int x, int y) {
    SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)L"");
    ClickAtScreen(x, y);
    for (int waited = 0; waited < 3000 && WindowText(edit).empty(); waited += 20) Sleep(20);
    Sleep(60);  // past the double-click time of the next click
    return WindowText(edit);
}

// The keyboard as drawn: its grid measured, and every key's centre clicked.
void CheckKeyboard(HWND dialog) {
    HWND keyboard = KeyboardOf(dialog);
    HWND edit = GetDlgItem(dialog, 1013);
    Check(keyboard && edit, "the search dialog shows its keyboard");
    if (!keyboard || !edit) return;
    RECT rect;
    GetWindowRect(keyboard, &rect);
    Picture drawn = Capture(rect);
    std::vector<int> columns = GridLines(drawn, true, drawn.height * 3 / 4);
    std::vector<int> rows = GridLines(drawn, false, drawn.width * 9 / 10);
    Check(columns.size() == 10 && rows.size() == 4, "the keyboard's grid has 10 columns of lines and 4 rows");
    if (columns.size() != 10 || rows.size() != 4) return;
    printf("measure keyboard %d\n", columns[9] - columns[0]);
    int typedRight = 0;
    for (int row = 0; row < 3; row++) {
        for (int column = 0; column < 9; column++) {
            int key = 9 * (row + 1) - column;
            int x = rect.left + (columns[column] + columns[column + 1]) / 2;
            int y = rect.top + (rows[row] + rows[row + 1]) / 2;
            wchar_t wanted = (wchar_t)(0x5D0 + kKeyboardTable[key - 1] - 'a');
            typedRight += TypeByClick(edit, x, y) == std::wstring(1, wanted) ? 1 : 0;
        }
    }
    Check(typedRight == 27, "a click at the centre of each drawn key types its letter (" +
                                std::to_string(typedRight) + " of 27)");
    int spaceY = rect.top + (rows[3] + drawn.height) / 2;
    Check(TypeByClick(edit, rect.left + (columns[0] + columns[9]) / 2, spaceY) == L" ",
          "a click in the middle of the space bar types a space");
}

void SaveClientPicture(HWND window, const std::wstring& path) {
    RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(500);
    SaveBmp(Capture(ClientOnScreen(window)), path);
}

// Opens a dialog by command, hands it to `act`, and closes it.
template <typename Act>
void WithDialog(HWND reader, WPARAM command, const wchar_t* title, Act act) {
    PostMessageW(reader, WM_COMMAND, command, 0);
    HWND dialog = WaitForWindow(L"#32770", title);
    Check(dialog != nullptr, "command " + std::to_string(command) + " opens its dialog");
    if (!dialog) return;
    Sleep(500);
    act(dialog);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    for (int waited = 0; waited < 5000 && IsWindow(dialog); waited += 50) Sleep(50);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 4) {
        fprintf(stderr, "usage: dpi_driver READER_EXE OUTPUT_DIR DPI [pictures]\n");
        return 2;
    }
    std::wstring out = argv[2];
    int dpi = _wtoi(argv[3]);
    bool pictures = argc > 4;
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    // A page of the same shape at every resolution.
    PutString(L"WindowPlacement", L"0,0," + std::to_wstring(480 * dpi / 96) + L"," + std::to_wstring(640 * dpi / 96) +
                                      L",0");
    PutDword(L"Lesson", 15);
    PutString(L"FontName", L"DejaVu Sans");
    PutDword(L"FontSize", 20);
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    std::wstring commandLine = L"\"" + std::wstring(argv[1]) + L"\"";
    if (!CreateProcessW(argv[1], &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        return 2;
    HWND reader = WaitForWindow(L"Lorvan", L"Lorvan");
    Check(reader != nullptr, "the reader's window appears");
    if (reader) {
        Sleep(1000);
        SetForegroundWindow(reader);
        MeasureReader(reader);
        if (pictures) SaveClientPicture(reader, out + L"\\reader.bmp");
        WithDialog(reader, 116, L"Lorvan", [&](HWND dialog) {
            SetForegroundWindow(dialog);
            CheckKeyboard(dialog);
            SendDlgItemMessageW(dialog, 1013, WM_SETTEXT, 0, (LPARAM)L"\x05D0\x05E4\x05E4 \x05D5\x05D4\x05DC");
            if (pictures) SaveClientPicture(dialog, out + L"\\search-dialog.bmp");
        });
        if (pictures) {
            WithDialog(reader, 119, L"Choose Section",
                       [&](HWND dialog) { SaveClientPicture(dialog, out + L"\\chooser.bmp"); });
            WithDialog(reader, 40006, L"Choose Font",
                       [&](HWND dialog) { SaveClientPicture(dialog, out + L"\\font-dialog.bmp"); });
        }
        PostMessageW(reader, 1023, 0, 0);
    }
    bool ended = WaitForSingleObject(process.hProcess, kDriverWaitMs) == WAIT_OBJECT_0;
    Check(ended, "message 1023 ends the reader");
    if (!ended) TerminateProcess(process.hProcess, 1);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return gFailures ? 1 : 0;
}
