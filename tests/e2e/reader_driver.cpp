// Drives the real reader from outside, as another program would: writes its
// settings, starts it, sends keys, commands, clicks and scroll-bar
// notifications, captures its window, closes it with message 1023 and checks
// what it stored. Before that, a first start without a stored font, which
// opens Choose Font; after it, the About box and the update check, whose
// addresses reach the recording xdg-open of run_e2e.sh. Copy and Append are
// checked on the X clipboard, which the test script reads with xclip when
// asked through files in EXCHANGE_DIR.
// Usage: reader_driver READER_EXE OUTPUT_DIR EXCHANGE_DIR
// OUTPUT_DIR receives reader.bmp, font-dialog.bmp and about-box.bmp, and holds
// opened.log, where the recording xdg-open writes each address it is given.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "driver_input.h"
#include "site_address.h"

namespace {

const wchar_t kProgramKey[] = L"Software\\Quenmark\\Lorvan";
const UINT kCloseRequest = 1023;
const wchar_t kDialogClass[] = L"#32770";
const int kFaceList = 1001;
const int kSizeList = 1006;
const int kUnicodeBaseButton = 1005;
const int kLinkButton = 1025;
const WPARAM kCommandAbout = 40004;
const WPARAM kCommandCheckUpdates = 129;
const WPARAM kCommandCopy = 40007;
const WPARAM kCommandAppend = 40009;

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

// The bytes of a binary value; empty when it is missing.
std::string GetBytes(const wchar_t* name) {
    char bytes[64];
    DWORD size = sizeof(bytes);
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    LONG result = RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS && type == REG_BINARY ? std::string(bytes, size) : "";
}

bool StartReader(const wchar_t* exe, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    return CreateProcessW(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process) != 0;
}

HWND WaitForReaderWindow() {
    for (DWORD waited = 0; waited < kDriverWaitMs; waited += 100) {
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

// A top-level dialog of the reader with this title, waited for.
HWND WaitForDialog(const wchar_t* title) { return WaitForWindow(kDialogClass, title); }

std::vector<std::wstring> ChildTexts(HWND parent) {
    std::vector<std::wstring> texts;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[200] = L"";
        GetWindowTextW(child, text, 200);
        texts.push_back(text);
    }
    return texts;
}

// Selects an item of one of the dialog's lists as a click would.
bool ChooseItem(HWND dialog, int listId, const wchar_t* text) {
    HWND list = GetDlgItem(dialog, listId);
    LRESULT index = SendMessageW(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text);
    if (index == LB_ERR) return false;
    SendMessageW(list, LB_SETCURSEL, index, 0);
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(listId, LBN_SELCHANGE), (LPARAM)list);
    return true;
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
// A press released where it was: the reader turns the page on the release.
void Tap(HWND reader, int x, int y) {
    SendMessageW(reader, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    SendMessageW(reader, WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}
void Scroll(HWND reader, HWND bar, WORD code, WORD position) {
    SendMessageW(reader, WM_VSCROLL, MAKEWPARAM(code, position), (LPARAM)bar);
}

// Copies a rectangle of the screen into a 24-bit BMP file.
bool CaptureScreenRect(const RECT& rect, const wchar_t* path) {
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

bool CaptureWindow(HWND window, const wchar_t* path) {
    RECT rect;
    GetWindowRect(window, &rect);
    return CaptureScreenRect(rect, path);
}

// Without a window manager nobody draws a dialog's frame, so only its client
// area shows what it looks like.
bool CaptureClientArea(HWND window, const wchar_t* path) {
    RECT rect;
    GetClientRect(window, &rect);
    MapWindowPoints(window, nullptr, (POINT*)&rect, 2);
    return CaptureScreenRect(rect, path);
}

// ---- The X clipboard -------------------------------------------------------

std::wstring gExchangeDir;

std::string ReadWholeFile(const std::wstring& path) {
    std::string bytes;
    FILE* in = _wfopen(path.c_str(), L"rb");
    if (!in) return bytes;
    char chunk[4096];
    size_t got;
    while ((got = fread(chunk, 1, sizeof chunk, in)) > 0) bytes.append(chunk, got);
    fclose(in);
    return bytes;
}

std::wstring FromUtf8(const std::string& bytes) {
    int count = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), nullptr, 0);
    std::wstring text(count, L'\0');
    if (count) MultiByteToWideChar(CP_UTF8, 0, bytes.data(), (int)bytes.size(), &text[0], count);
    return text;
}

// What xclip read after the named step: the targets, the Rich Text and the
// UTF-8 text. Announces the step and waits for the script's answer.
struct XClipboard {
    bool answered = false;
    std::string targets;
    std::string rtf;
    std::wstring text;
};

// Creates the empty file EXCHANGE_DIR\name, a request to the script.
void Announce(const std::wstring& name) {
    FILE* file = _wfopen((gExchangeDir + L"\\" + name).c_str(), L"wb");
    if (file) fclose(file);
}

XClipboard ReadXClipboard(const wchar_t* step, DWORD waitMs = kDriverWaitMs) {
    XClipboard result;
    std::wstring base = gExchangeDir + L"\\" + step;
    Announce(std::wstring(step) + L".ready");
    for (DWORD waited = 0; waited < waitMs && !result.answered; waited += 100) {
        result.answered = GetFileAttributesW((base + L".done").c_str()) != INVALID_FILE_ATTRIBUTES;
        if (!result.answered) Sleep(100);
    }
    result.targets = ReadWholeFile(base + L".targets");
    result.rtf = ReadWholeFile(base + L".rtf");
    result.text = FromUtf8(ReadWholeFile(base + L".txt"));
    return result;
}

const char kRtfHeader[] =
    "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fcharset177\\cpg1255 David;}}"
    "{\\colortbl\\red0\\green0\\blue0;\\red255\\green255\\blue255;\\red255\\green0\\blue0;}"
    "\\rtldoc\\pard\\rtlpar\\qr\\lang1033\\f0\\fs20\\uc0\r\n";
const char kRtfSeparator[] = "\\qc\\cf2\\fs72\\b*  *  *  *  *\\b0\\par\\par\\qr\\fs20\\cf0\r\n";

// The body the reader must write for `text`, one character at a time. The
// book's letters have no decompositions, so none are looked for.
std::string ExpectedRtfBody(const std::wstring& text) {
    std::string body;
    bool afterEscape = false;
    for (size_t i = 0; i < text.size(); i++) {
        wchar_t c = text[i];
        if (c == L'\r' || c == L'\n') {
            while (i + 1 < text.size() && (text[i + 1] == L'\r' || text[i + 1] == L'\n')) i++;
            body += "\\par\\par\r\n";
            afterEscape = false;
        } else if (c == L' ') {
            body += afterEscape ? "  " : " ";  // the first space after an escape is its delimiter
            afterEscape = false;
        } else if (c > 0x20 && c < 0x7F) {
            if (afterEscape && c >= L'0' && c <= L'9') body += ' ';
            if (c == L'\\' || c == L'{' || c == L'}') body += '\\';
            body += (char)c;
            afterEscape = false;
        } else {
            body += "\\u" + std::to_string((unsigned)c);
            afterEscape = true;
        }
    }
    return body + "\\par\\par\r\n";
}

std::string WithoutClosingBrace(std::string rtf) {
    rtf = rtf.substr(0, rtf.find('\0'));
    while (!rtf.empty() && strchr("\r\n \t", rtf.back())) rtf.pop_back();
    if (!rtf.empty() && rtf.back() == '}') rtf.pop_back();
    return rtf;
}

bool HasTarget(const std::string& targets, const char* name) {
    return ("\n" + targets).find("\n" + std::string(name) + "\n") != std::string::npos;
}

// Both forms on the X clipboard, the Rich Text exactly `expectedRtf`.
void CheckXClipboard(const char* step, const XClipboard& clip, const std::string& expectedRtf) {
    std::string prefix = std::string(step) + ": ";
    Check(clip.answered, (prefix + "xclip read the clipboard").c_str(), 0, 1);
    Check(HasTarget(clip.targets, "text/rtf"), (prefix + "targets list text/rtf").c_str(), 0, 1);
    Check(HasTarget(clip.targets, "UTF8_STRING"), (prefix + "targets list UTF8_STRING").c_str(), 0, 1);
    Check(!clip.text.empty(), (prefix + "the text is there").c_str(), 0, 1);
    // X programs get the whole memory block: the document and its terminator.
    std::string document = expectedRtf + std::string(1, '\0');
    Check(clip.rtf == document, (prefix + "the Rich Text is that of the text").c_str(),
          (long long)clip.rtf.size(), (long long)document.size());
}

// Copy of the main pane, then, from the commentary pane, Append.
XClipboard CheckCopy(HWND reader) {
    Command(reader, kCommandCopy);
    XClipboard copied = ReadXClipboard(L"copy");
    CheckXClipboard("copy", copied, kRtfHeader + ExpectedRtfBody(copied.text) + "}\r\n");
    return copied;
}

void CheckAppend(HWND reader, const XClipboard& copied) {
    Command(reader, kCommandAppend);
    XClipboard appended = ReadXClipboard(L"append");
    size_t copiedChars = copied.text.size();
    bool joined = appended.text.size() > copiedChars && appended.text.compare(0, copiedChars, copied.text) == 0;
    Check(joined, "append: the text follows the copied text", (long long)appended.text.size(),
          (long long)copied.text.size());
    std::wstring added = joined ? appended.text.substr(copiedChars) : L"";
    CheckXClipboard("append", appended,
                    WithoutClosingBrace(copied.rtf) + kRtfSeparator + ExpectedRtfBody(added) + "}\r\n");
}

// ---- Append to another program's Rich Text, read by LibreOffice -----------

// What a word processor left on the clipboard (other_program.rtf, offered by
// xclip): no \uc, so each escape has a fallback character, and a last
// paragraph left to right, left-aligned, in its colour 2 (green).
const char kOtherProgramStart[] = "{\\rtf1\\ansi\\ansicpg1252\\deff0";
const wchar_t* const kOtherProgramLines[] = {
    L"Notes before the section: \u05E9\u05DC\u05D5\u05DD, it's here.",
    L"A last line in green.",
};
const DWORD kConversionWaitMs = 180000;  // LibreOffice's first start makes its profile

// Wine takes the X clipboard over in its own time: true once the Rich Text
// there is the other program's.
bool WaitForOtherProgramsRichText() {
    UINT richText = RegisterClipboardFormatW(L"Rich Text Format");
    for (DWORD waited = 0; waited < kDriverWaitMs; waited += 100) {
        bool found = false;
        if (OpenClipboard(nullptr)) {
            HANDLE data = GetClipboardData(richText);
            const char* bytes = data ? (const char*)GlobalLock(data) : nullptr;
            if (bytes) {
                size_t startBytes = sizeof(kOtherProgramStart) - 1;
                found = GlobalSize(data) >= startBytes && memcmp(bytes, kOtherProgramStart, startBytes) == 0;
                GlobalUnlock(data);
            }
            CloseClipboard();
        }
        if (found) return true;
        Sleep(100);
    }
    return false;
}

// The lines of `text` that are not empty, with what LibreOffice writes for a
// second space in a row (U+2006) read as the space it is.
std::vector<std::wstring> NonEmptyLines(std::wstring text) {
    if (!text.empty() && text[0] == 0xFEFF) text.erase(0, 1);
    std::vector<std::wstring> lines;
    std::wstring line;
    for (wchar_t c : text + L"\n") {
        if (c == L'\n' || c == L'\r') {
            if (!line.empty()) lines.push_back(line);
            line.clear();
        } else {
            line += c == 0x2006 ? L' ' : c;
        }
    }
    return lines;
}

bool IsSeparatorLine(const std::wstring& line) {
    return line.find(L'*') != std::wstring::npos && line.find_first_not_of(L"* ") == std::wstring::npos;
}

size_t CountOf(const std::string& text, const char* what) {
    size_t count = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) count++;
    return count;
}

// LibreOffice's text: the other program's lines, the row of asterisks, then
// every line of the section as the Unicode form holds it.
void CheckConvertedText(const std::wstring& converted, const std::wstring& added) {
    std::vector<std::wstring> lines = NonEmptyLines(converted);
    std::vector<std::wstring> expected = NonEmptyLines(added);
    bool oldKept = lines.size() >= 3 && lines[0] == kOtherProgramLines[0] && lines[1] == kOtherProgramLines[1];
    Check(oldKept, "other program: LibreOffice reads its lines as they were", (long long)lines.size(), 3);
    Check(lines.size() >= 3 && IsSeparatorLine(lines[2]), "other program: the asterisks follow", 0, 1);
    size_t firstAdded = lines.size() >= 3 ? 3 : lines.size();
    size_t same = 0;
    while (same < expected.size() && firstAdded + same < lines.size() && lines[firstAdded + same] == expected[same]) {
        same++;
    }
    Check(!expected.empty() && same == expected.size() && lines.size() == firstAdded + same,
          "other program: every character of the section reaches LibreOffice", (long long)same,
          (long long)expected.size());
}

// LibreOffice's HTML from the asterisks on: red asterisks, right-to-left
// paragraphs, none left-aligned, nothing green.
void CheckConvertedLook(const std::string& html) {
    size_t asterisks = html.find("<b>*");
    size_t separator = asterisks == std::string::npos ? std::string::npos : html.rfind("<p", asterisks);
    Check(separator != std::string::npos, "other program: LibreOffice shows the asterisks bold", 0, 1);
    if (separator == std::string::npos) return;
    std::string appended = html.substr(separator);
    std::string separatorParagraph = html.substr(separator, asterisks - separator);
    Check(separatorParagraph.find("align=\"center\"") != std::string::npos &&
              separatorParagraph.find("#ff0000") != std::string::npos,
          "other program: the asterisks are centred and red", 0, 1);
    size_t paragraphs = CountOf(appended, "<p ");
    CheckEqual("other program: every appended paragraph runs right to left", CountOf(appended, "dir=\"rtl\""),
               paragraphs);
    Check(CountOf(appended, "align=\"left\"") == 0 && CountOf(appended, "align=\"right\"") > 0,
          "other program: the section is right-aligned", (long long)CountOf(appended, "align=\"left\""), 0);
    CheckEqual("other program: nothing appended is green", CountOf(appended, "#008000"), 0);
}

// Append onto a word processor's Rich Text, taken from X as a paste would.
void CheckAppendToOtherProgram(HWND reader) {
    Announce(L"other.offer");
    Check(WaitForOtherProgramsRichText(), "other program: its Rich Text reaches the clipboard", 0, 1);
    Command(reader, kCommandAppend);
    XClipboard appended = ReadXClipboard(L"other", kConversionWaitMs);
    Check(HasTarget(appended.targets, "text/rtf"), "other program: targets list text/rtf", 0, 1);
    std::wstring converted = FromUtf8(ReadWholeFile(gExchangeDir + L"\\converted\\other.txt"));
    CheckConvertedText(converted, appended.text);
    CheckConvertedLook(ReadWholeFile(gExchangeDir + L"\\converted\\other.html"));
}

// ---- Bookmarks and the chooser, by real key presses and clicks -----------------

const WPARAM kCommandChoose = 119;
const WPARAM kCommandBookmark = 123;

void ClickAt(HWND window, POINT point) {
    ClientToScreen(window, &point);
    ClickAtScreen(point.x, point.y);
}

void Wheel(HWND window, POINT point, int delta) {
    ClientToScreen(window, &point);
    SetCursorPos(point.x, point.y);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_WHEEL;
    input.mi.mouseData = (DWORD)delta;
    SendInput(1, &input, sizeof(INPUT));
}

// The outline's plain rows are as tall as the reader's font: "DejaVu Sans", 17.
int PlainRowHeight() {
    HDC screen = GetDC(nullptr);
    HFONT font = CreateFontW(17, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"DejaVu Sans");
    HGDIOBJ saved = SelectObject(screen, font);
    TEXTMETRICW metrics = {};
    GetTextMetricsW(screen, &metrics);
    SelectObject(screen, saved);
    DeleteObject(font);
    ReleaseDC(nullptr, screen);
    return metrics.tmHeight;
}

// Command 123 on a bookmarked section, answered with a key press.
bool AnswerRemoveQuestion(HWND reader, WORD key) {
    PostMessageW(reader, WM_COMMAND, kCommandBookmark, 0);
    HWND box = WaitForDialog(L"Bookmark");
    if (!box) return false;
    SetForegroundWindow(box);
    Sleep(200);
    PressKey(key);
    return WaitUntilGone(box);
}

// From section 15: bookmarks 15 and 17; No keeps 17, Cancel removes it. Then,
// from 17, the chooser's first bookmark link takes the reader back to 15,
// which the stored "Lesson" shows.
void CheckBookmarksAndChooser(HWND reader, const std::wstring& chooserCapture) {
    Command(reader, kCommandBookmark);
    Key(reader, VK_RIGHT);
    Command(reader, kCommandBookmark);
    Check(AnswerRemoveQuestion(reader, 'N'), "removing a bookmark asks; No answers", 0, 1);
    Check(AnswerRemoveQuestion(reader, VK_ESCAPE), "asked again after No; Cancel answers", 0, 1);

    // Lower than the outline, so that it scrolls.
    RECT readerRect;
    GetWindowRect(reader, &readerRect);
    SetWindowPos(reader, nullptr, 0, 0, readerRect.right - readerRect.left, 400, SWP_NOMOVE | SWP_NOZORDER);
    PostMessageW(reader, WM_COMMAND, kCommandChoose, 0);
    HWND chooser = WaitForDialog(L"Choose Section");
    Check(chooser != nullptr, "command 119 opens the chooser", 0, 1);
    if (!chooser) return;
    Sleep(500);
    RedrawWindow(chooser, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    Check(CaptureWindow(chooser, chooserCapture.c_str()), "chooser captured", 0, 1);
    RECT client;
    GetClientRect(chooser, &client);
    int rowPx = PlainRowHeight();
    // Row 0 is the bookmark group's heading, row 1 its first link. Every key
    // and wheel notch moves one row, so these leave the link in row 0.
    SetForegroundWindow(chooser);
    Sleep(200);
    for (WORD key : {VK_NEXT, VK_DOWN, VK_UP, VK_PRIOR, VK_NEXT}) PressKey(key);
    POINT rowZero = {client.right - 60, rowPx / 2};
    Wheel(chooser, rowZero, -WHEEL_DELTA);
    Wheel(chooser, rowZero, WHEEL_DELTA);
    Sleep(300);
    ClickAt(chooser, rowZero);
    Check(WaitUntilGone(chooser), "keys and the wheel scroll by rows; a click on a link closes the chooser", 0, 1);
    SetWindowPos(reader, nullptr, 0, 0, readerRect.right - readerRect.left, readerRect.bottom - readerRect.top,
                 SWP_NOMOVE | SWP_NOZORDER);
}

void ChooseSettings() {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    // The size the driver gives the window, so that the stored rows keep the
    // text they were saved with.
    PutString(L"WindowPlacement", L"0,0,480,640,0");
    PutDword(L"Lesson", 11);
    PutDword(L"LastPosition", 2);
    PutDword(L"BottomSection", 12);
    PutDword(L"BottomSectionLastPosition", 1);
    PutDword(L"Flags", 0xD1140040u);
    PutString(L"FontName", L"DejaVu Sans");
    PutDword(L"FontSize", 17);
}

void CheckSecondStart(const wchar_t* exe, HWND reader, HANDLE firstReader) {
    SetForegroundWindow(reader);
    PROCESS_INFORMATION second = {};
    if (!StartReader(exe, &second)) {
        Check(false, "second start runs", 0, 1);
        return;
    }
    DWORD waited = WaitForSingleObject(second.hProcess, kDriverWaitMs);
    DWORD exitCode = 99;
    GetExitCodeProcess(second.hProcess, &exitCode);
    CheckEqual("second start ends", waited, WAIT_OBJECT_0);
    CheckEqual("second start exit code", exitCode, 0);
    CheckEqual("one reader window", CountReaderWindows(), 1);
    CheckEqual("first reader still runs", WaitForSingleObject(firstReader, 0), WAIT_TIMEOUT);
    CloseHandle(second.hThread);
    CloseHandle(second.hProcess);
    // The reader was in front, so it opened its chooser; Escape closes it.
    HWND chooser = WaitForDialog(L"Choose Section");
    Check(chooser != nullptr, "second start opens the chooser of the reader in front", 0, 1);
    if (!chooser) return;
    SetForegroundWindow(chooser);
    Sleep(200);
    PressKey(VK_ESCAPE);
    Check(WaitUntilGone(chooser), "Escape closes the chooser", 0, 1);
}

void DriveReader(HWND reader, HWND mainBar, HWND bottomBar, const wchar_t* capturePath) {
    CheckEqual("main pane restored to LastPosition", ScrollPos(mainBar), 2);
    CheckEqual("bottom pane restored to its position", ScrollPos(bottomBar), 1);

    Key(reader, VK_RIGHT);
    Key(reader, VK_RIGHT);
    Key(reader, VK_LEFT);
    Key(reader, VK_RIGHT);  // 11 -> 13 -> 15 -> 13 -> 15
    CheckEqual("new section starts at the top", ScrollPos(mainBar), 0);
    XClipboard copied = CheckCopy(reader);
    std::wstring chooserCapture = capturePath;
    chooserCapture = chooserCapture.substr(0, chooserCapture.find_last_of(L'\\') + 1) + L"chooser.bmp";
    CheckBookmarksAndChooser(reader, chooserCapture);

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
    CheckAppend(reader, copied);
    CheckAppendToOtherProgram(reader);

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
    CheckEqual("Bookmarks: 15 and the closing 0", GetBytes(L"Bookmarks") == std::string("\x0f\0\0\0", 4), 1);
    std::wstring path = GetString(L"Program Path");
    const wchar_t* name = wcsrchr(exe, L'\\');
    name = name ? name + 1 : exe;
    Check(path.size() >= wcslen(name) && _wcsicmp(path.c_str() + path.size() - wcslen(name), name) == 0,
          "Program Path names the reader", (long long)path.size(), (long long)wcslen(name));
}

// ---- Search --------------------------------------------------------------

const WPARAM kCommandSearch = 116;
const WPARAM kCommandSearchAgain = 117;
const int kSearchEditId = 1013;
const int kKeyWidthPx = 17;
const int kKeyHeightPx = 25;

// Two phrases of the demonstration edition that it holds once each: one in
// the main text of section 41, one in the commentary of section 106. Stored
// as the reader stores a search: letter codes in drawing order.
const char kMainTextPhraseCodes[] = "yofz puc";    // "gefen shomer"
const char kCommentaryPhraseCodes[] = "auu fem";   // "lahu pappa"
// The keys that type the second phrase, in reading order (0 is the space
// bar). Its doubled letter is two quick clicks on one key.
const int kCommentaryPhraseKeys[] = {13, 5, 6, 0, 20, 20, 1};

void PutBytes(const wchar_t* name, const char* bytes) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes), (DWORD)strlen(bytes) + 1);
    RegCloseKey(key);
}

void ChooseSearchSettings(const char* searchCodes) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    PutDword(L"Lesson", 1);
    PutDword(L"BottomSection", 12);
    PutDword(L"Flags", 0xD1140040u);
    PutString(L"FontName", L"David CLM");
    PutDword(L"FontSize", 20);
    if (searchCodes) PutBytes(L"SearchString", searchCodes);
}

// Starts the reader, hands its window to `drive`, and closes it with 1023.
template <typename Drive>
void RunReaderSession(const wchar_t* exe, Drive drive) {
    PROCESS_INFORMATION reader = {};
    if (!StartReader(exe, &reader)) {
        Check(false, "the reader starts for the search", 0, 1);
        return;
    }
    HWND window = WaitForReaderWindow();
    if (window) {
        SetWindowPos(window, nullptr, 0, 0, 480, 640, SWP_NOZORDER);
        SendMessageW(window, WM_NULL, 0, 0);
        drive(window);
        PostMessageW(window, kCloseRequest, 0, 0);
    }
    DWORD waited = WaitForSingleObject(reader.hProcess, kDriverWaitMs);
    CheckEqual("the reader ends after the search", waited, WAIT_OBJECT_0);
    if (waited != WAIT_OBJECT_0) TerminateProcess(reader.hProcess, 1);
    CloseHandle(reader.hThread);
    CloseHandle(reader.hProcess);
}

// Waits until the dialog is in front and has stopped moving: it is laid out
// over the work area after it shows, and a click before that can miss.
void WaitUntilSettled(HWND dialog) {
    RECT last = {};
    int steady = 0;
    for (DWORD waited = 0; waited < kDriverWaitMs && steady < 3; waited += 100) {
        RECT now;
        GetWindowRect(dialog, &now);
        bool same = EqualRect(&now, &last) && GetForegroundWindow() == dialog;
        steady = same ? steady + 1 : 0;
        last = now;
        Sleep(100);
    }
}

// Clicks the centre of a key and waits until the edit has one more character.
bool ClickKey(HWND keyboard, HWND edit, int key) {
    RECT rect;
    GetWindowRect(keyboard, &rect);
    int row = key == 0 ? 3 : (key - 1) / 9;
    int column = key == 0 ? 4 : 8 - (key - 1) % 9;
    size_t before = WindowText(edit).size();
    ClickAtScreen(rect.left + column * kKeyWidthPx + kKeyWidthPx / 2, rect.top + row * kKeyHeightPx + kKeyHeightPx / 2);
    for (int waited = 0; waited < 5000; waited += 20) {
        if (WindowText(edit).size() > before) return true;
        Sleep(20);
    }
    return false;
}

// What the dialog's thread has in hand, for a click on OK that changed nothing.
void PrintInputState(HWND dialog, HWND edit) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(dialog, nullptr), &info);
    POINT cursor;
    GetCursorPos(&cursor);
    printf("      cursor %ld,%ld over %p; active %p, focus %p, capture %p; OK %p; the edit holds", cursor.x,
           cursor.y, (void*)WindowFromPoint(cursor), (void*)info.hwndActive, (void*)info.hwndFocus,
           (void*)info.hwndCapture, (void*)GetDlgItem(dialog, IDOK));
    for (wchar_t c : WindowText(edit)) printf(" %04X", (unsigned)c);
    printf("\n");
}

// A real click on OK, and the wait for the dialog to go. A search that finds
// nothing selects the edit's text; when the click left both text and selection
// as they were it never arrived, and it is tried once more, said aloud.
bool ClickOkUntilGone(HWND dialog, HWND edit) {
    std::wstring typed = WindowText(edit);
    for (int attempt = 0; attempt < 2; attempt++) {
        RECT ok;
        GetWindowRect(GetDlgItem(dialog, IDOK), &ok);
        ClickAtScreen((ok.left + ok.right) / 2, (ok.top + ok.bottom) / 2);
        for (int waited = 0; waited < 5000 && IsWindow(dialog); waited += 50) Sleep(50);
        if (!IsWindow(dialog)) return true;
        PrintInputState(dialog, edit);
        DWORD start = 0, end = 0;
        SendMessageW(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
        bool untouched = WindowText(edit) == typed && end == start;
        if (!untouched) return false;
        printf("note  the click on OK did not arrive; clicking again\n");
    }
    return false;
}

// Search again with a stored search string: the reader moves to the section
// of the next match.
void CheckSearchAgain(const wchar_t* exe) {
    ChooseSearchSettings(kMainTextPhraseCodes);
    RunReaderSession(exe, [](HWND reader) { Command(reader, kCommandSearchAgain); });
    CheckEqual("search again goes to the section of the next match", GetDword(L"Lesson"), 41);
}

// The Search dialog typed with real clicks on its keyboard, then OK. The
// match is in a commentary, so its main text becomes the current section.
void CheckSearchDialog(const wchar_t* exe, const std::wstring& outputDir) {
    ChooseSearchSettings(nullptr);
    RunReaderSession(exe, [&outputDir](HWND reader) {
        PostMessageW(reader, WM_COMMAND, kCommandSearch, 0);
        HWND dialog = WaitForDialog(L"Lorvan");
        HWND edit = dialog ? GetDlgItem(dialog, kSearchEditId) : nullptr;
        HWND keyboard = dialog ? KeyboardOf(dialog) : nullptr;
        Check(dialog && edit && keyboard, "the search dialog opens with its edit and keyboard", 0, 1);
        if (!keyboard) return;
        WaitUntilSettled(dialog);
        for (int key : {1, 2, 3}) ClickKey(keyboard, edit, key);
        Check(WindowText(edit) == L"\x05D2\x05D1\x05D0", "keys 1, 2, 3 give gimel, bet, alef", 0, 1);
        CheckEqual("the caret stays at the left end", LOWORD(SendMessageW(edit, EM_GETSEL, 0, 0)), 0);
        Sleep(300);
        Check(CaptureWindow(dialog, (outputDir + L"\\search-keys.bmp").c_str()), "dialog captured", 0, 1);

        SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)L"");
        for (int key : kCommentaryPhraseKeys) ClickKey(keyboard, edit, key);
        std::wstring typed = WindowText(edit);
        Check(typed == L"\x05D0\x05E4\x05E4 \x05D5\x05D4\x05DC", "the phrase typed in drawing order",
              (long long)typed.size(), 7);
        Check(ClickOkUntilGone(dialog, edit), "OK finds the phrase and closes the dialog", 0, 1);
        Sleep(500);
        Check(CaptureWindow(reader, (outputDir + L"\\search-match.bmp").c_str()), "match captured", 0, 1);
    });
    CheckEqual("the match's main text is the section", GetDword(L"Lesson"), 105);
    Check(std::string(GetBytes(L"SearchString").c_str()) == kCommentaryPhraseCodes, "the typed phrase is stored", 0, 1);
}

// Waits until the recording xdg-open has been given `address`, a line of its
// own. The shell may end an address without a path with "/".
bool WaitForOpenedAddress(const std::wstring& log, const std::wstring& address) {
    for (DWORD waited = 0; waited < kDriverWaitMs; waited += 200) {
        std::wstring opened = L"\n" + FromUtf8(ReadWholeFile(log));
        if (opened.find(L"\n" + address + L"\n") != std::wstring::npos) return true;
        if (opened.find(L"\n" + address + L"/\n") != std::wstring::npos) return true;
        Sleep(200);
    }
    printf("      opened so far: %ls\n", FromUtf8(ReadWholeFile(log)).c_str());
    return false;
}

// Nothing stored: the reader opens Choose Font by itself, and what is chosen
// there is saved at exit.
void CheckFirstStart(const wchar_t* exe, const std::wstring& outputDir) {
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    PROCESS_INFORMATION reader = {};
    if (!StartReader(exe, &reader)) {
        Check(false, "first start runs", 0, 1);
        return;
    }
    HWND dialog = WaitForDialog(L"Choose Font");
    Check(dialog != nullptr, "first start opens Choose Font", 0, 1);
    if (dialog) {
        SetWindowPos(dialog, nullptr, 0, 0, 420, 520, SWP_NOZORDER);
        HWND sizes = GetDlgItem(dialog, kSizeList);
        wchar_t size[8] = L"";
        SendMessageW(sizes, LB_GETTEXT, SendMessageW(sizes, LB_GETCURSEL, 0, 0), (LPARAM)size);
        Check(wcscmp(size, L"20") == 0, "the first start's reading size, 20, is selected", 0, 1);
        Check(ChooseItem(dialog, kFaceList, L"Frank Ruehl CLM"), "a Culmus face is listed", 0, 1);
        Check(ChooseItem(dialog, kSizeList, L"20"), "size 20 is listed", 0, 1);
        CheckEqual("the Hebrew face checks 5D0", SendDlgItemMessageW(dialog, kUnicodeBaseButton, BM_GETCHECK, 0, 0),
                   BST_CHECKED);
        RedrawWindow(dialog, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        Sleep(500);
        Check(CaptureClientArea(dialog, (outputDir + L"\\font-dialog.bmp").c_str()), "font dialog captured", 0, 1);
        SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0);
        Check(WaitUntilGone(dialog), "OK closes Choose Font", 0, 1);
    }
    HWND window = WaitForReaderWindow();
    if (window) PostMessageW(window, kCloseRequest, 0, 0);
    CheckEqual("first start ends", WaitForSingleObject(reader.hProcess, kDriverWaitMs), WAIT_OBJECT_0);
    CloseHandle(reader.hThread);
    CloseHandle(reader.hProcess);
    std::wstring face = GetString(L"FontName");
    Check(face == L"Frank Ruehl CLM", "FontName saved", (long long)face.size(), 15);
    CheckEqual("FontSize saved", GetDword(L"FontSize"), 20);
    CheckEqual("FontAsciiBase saved", GetDword(L"FontAsciiBase"), 0x5D0);
}

void CheckAboutBox(HWND reader, const std::wstring& outputDir, const std::wstring& openedLog) {
    PostMessageW(reader, WM_COMMAND, kCommandAbout, 0);
    HWND about = WaitForDialog(L"Lorvan");
    Check(about != nullptr, "About opens its box", 0, 1);
    if (!about) return;
    std::vector<std::wstring> texts = ChildTexts(about);
    bool hasVersion = false;
    for (const std::wstring& text : texts) hasVersion = hasVersion || text == L"Version 1.84a";
    Check(hasVersion, "the About box shows Version 1.84a", (long long)texts.size(), 1);
    Sleep(300);
    Check(CaptureClientArea(about, (outputDir + L"\\about-box.bmp").c_str()), "About box captured", 0, 1);
    SendMessageW(GetDlgItem(about, kLinkButton), BM_CLICK, 0, 0);
    Check(WaitForOpenedAddress(openedLog, L"" LORVAN_SITE_URL), "the link opens the site", 0, 1);
    Check(IsWindowVisible(about) != 0, "the box stays open after the link", 0, 1);
    SendMessageW(GetDlgItem(about, IDOK), BM_CLICK, 0, 0);
    Check(WaitUntilGone(about), "OK closes the About box", 0, 1);
}

void CheckUpdateCommand(HWND reader, const std::wstring& openedLog) {
    PostMessageW(reader, WM_COMMAND, kCommandCheckUpdates, 0);
    Check(WaitForOpenedAddress(openedLog, L"" LORVAN_SITE_URL L"/cgi-bin/upgrade?p=x64/Quenmark/Lorvan&v=1.84a"),
          "Check For Updates opens the update address", 0, 1);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        fprintf(stderr, "usage: reader_driver READER_EXE OUTPUT_DIR EXCHANGE_DIR\n");
        return 2;
    }
    std::wstring outputDir = argv[2];
    std::wstring openedLog = outputDir + L"\\opened.log";
    gExchangeDir = argv[3];
    CheckFirstStart(argv[1], outputDir);
    // The search sessions come first: the settings of the main session below
    // are what the script finds in the registry at the end.
    CheckSearchAgain(argv[1]);
    CheckSearchDialog(argv[1], outputDir);
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
        CheckSecondStart(argv[1], window, reader.hProcess);
        if (mainBar && bottomBar) DriveReader(window, mainBar, bottomBar, (outputDir + L"\\reader.bmp").c_str());
        CheckAboutBox(window, outputDir, openedLog);
        CheckUpdateCommand(window, openedLog);
        PostMessageW(window, kCloseRequest, 0, 0);
    }
    DWORD waited = WaitForSingleObject(reader.hProcess, kDriverWaitMs);
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
