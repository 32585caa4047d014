// Drives the real reader with a book file, from outside: Ctrl+O and the
// system's Open dialog, the book on the command line and from a second start;
// steps round the book's end, Go To past it, a bookmark kept with the book and
// not with the built-in edition; then what the reader stored.
// Usage: book_driver READER_EXE SMALL_BOOK (Windows paths)
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "driver_input.h"

namespace {

const wchar_t kProgramKey[] = L"Software\\Quenmark\\Lorvan";
const wchar_t kSmallBookKey[] = L"Software\\Quenmark\\Lorvan\\Books\\small-test-book";
const UINT kCloseRequest = 1023;
const UINT kCommandNext = 109;
const UINT kCommandBookmark = 123;
const UINT kCommandGoTo = 152;
const UINT kCommandBuiltInBook = 181;
const int kGoToEdit = 1201;
const int kGoToMessage = 1202;
const int kGoToLabel = 1203;
const int kFileNameEdit = 0x480;   // edt1 of the Open dialog
const int kFileNameCombo = 0x47C;  // cmb13, which holds the edit in newer dialogs

int gFailures = 0;
int gPasses = 0;

void Check(bool ok, const char* what) {
    if (ok) gPasses++;
    else gFailures++;
    printf("%s  %s\n", ok ? "ok  " : "FAIL", what);
    fflush(stdout);
}

void PutString(const wchar_t* name, const wchar_t* text) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), (DWORD)((wcslen(text) + 1) * 2));
    RegCloseKey(key);
}

void PutDword(const wchar_t* name, DWORD value) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value);
    RegCloseKey(key);
}

// A value's bytes; empty when it is missing.
std::string GetValue(const wchar_t* keyPath, const wchar_t* name) {
    char bytes[2048];
    DWORD size = sizeof bytes;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) return "";
    LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(bytes), &size);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::string(bytes, size) : "";
}

std::string Wide(const std::wstring& text) {
    return std::string((const char*)text.c_str(), (text.size() + 1) * sizeof(wchar_t));
}

std::string Dword(DWORD value) { return std::string((const char*)&value, sizeof value); }

bool StartReader(const std::wstring& exe, const std::wstring& argument, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + exe + L"\"";
    if (!argument.empty()) commandLine += L" \"" + argument + L"\"";
    return CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          process) != 0;
}

bool EndReader(HWND reader, PROCESS_INFORMATION* process) {
    if (reader) PostMessageW(reader, kCloseRequest, 0, 0);
    bool ended = WaitForSingleObject(process->hProcess, kDriverWaitMs) == WAIT_OBJECT_0;
    if (!ended) TerminateProcess(process->hProcess, 1);
    CloseHandle(process->hThread);
    CloseHandle(process->hProcess);
    return ended;
}

void Command(HWND reader, UINT command) { SendMessageW(reader, WM_COMMAND, command, 0); }

std::wstring DialogText(HWND dialog, int id) {
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

// What another program can see of the open book (menus are the reader's
// own in Wine): the range that Go To names, read from its label.
std::wstring GoToLabel(HWND reader) {
    PostMessageW(reader, WM_COMMAND, kCommandGoTo, 0);
    HWND dialog = WaitForWindow(L"#32770", L"Go To");
    if (!dialog) return L"";
    std::wstring label = DialogText(dialog, kGoToLabel);
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitUntilGone(dialog);
    return label;
}

const wchar_t kSmallRange[] = L"&Section, 1 to 3, or its Hebrew numeral:";
const wchar_t kBuiltInRange[] = L"&Section, 1 to 178, or its Hebrew numeral:";

// Command 123 on a bookmarked section asks first: true when it asked (the
// question is answered No, which keeps the bookmark).
bool BookmarkAsks(HWND reader) {
    PostMessageW(reader, WM_COMMAND, kCommandBookmark, 0);
    HWND box = nullptr;
    for (int waited = 0; waited < 30 && !box; waited++) {
        box = FindWindowW(L"#32770", L"Bookmark");
        if (!box) Sleep(100);
    }
    SendMessageW(reader, WM_NULL, 0, 0);
    if (!box) box = FindWindowW(L"#32770", L"Bookmark");
    if (!box) return false;
    PostMessageW(box, WM_COMMAND, IDNO, 0);
    WaitUntilGone(box);
    return true;
}

struct EditSearch {
    HWND found;
    HWND firstVisible;
};

BOOL CALLBACK NoteEdit(HWND child, LPARAM context) {
    EditSearch* search = (EditSearch*)context;
    wchar_t className[32] = L"";
    GetClassNameW(child, className, 32);
    if (_wcsicmp(className, L"Edit") != 0) return TRUE;
    if (GetDlgCtrlID(child) == kFileNameEdit || GetDlgCtrlID(GetParent(child)) == kFileNameCombo) {
        search->found = child;
        return FALSE;
    }
    if (!search->firstVisible && IsWindowVisible(child)) search->firstVisible = child;
    return TRUE;
}

// The edit of the Open dialog's file name, wherever the dialog keeps it.
HWND FileNameEdit(HWND dialog) {
    EditSearch search = {nullptr, nullptr};
    EnumChildWindows(dialog, NoteEdit, (LPARAM)&search);
    return search.found ? search.found : search.firstVisible;
}

void PressCtrl(WORD key) {
    INPUT input[4] = {};
    for (INPUT& i : input) i.type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[3].ki.wVk = VK_CONTROL;
    input[1].ki.wVk = input[2].ki.wVk = key;
    input[2].ki.dwFlags = input[3].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(4, input, sizeof(INPUT));
}

// Ctrl+O, the file's name typed into the Open dialog, OK.
bool OpenWithDialog(HWND reader, const std::wstring& book) {
    SetForegroundWindow(reader);
    Sleep(300);
    PressCtrl('O');
    HWND dialog = WaitForWindow(L"#32770", L"Open Book");
    Check(dialog != nullptr, "Ctrl+O opens the Open Book dialog");
    if (!dialog) return false;
    Sleep(500);  // the dialog fills its lists after it shows
    HWND edit = FileNameEdit(dialog);
    Check(edit != nullptr, "the Open dialog has its file name edit");
    if (!edit) return false;
    SendMessageW(edit, WM_SETTEXT, 0, (LPARAM)book.c_str());
    PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
    bool gone = WaitUntilGone(dialog);
    Check(gone, "OK closes the Open dialog");
    SendMessageW(reader, WM_NULL, 0, 0);  // the book has opened once this is answered
    Check(GoToLabel(reader) == kSmallRange, "the small book is open");
    return gone;
}

// Go To 4 in a book of three pairs: the dialog says why and stays.
void CheckGoToPastTheEnd(HWND reader) {
    PostMessageW(reader, WM_COMMAND, kCommandGoTo, 0);
    HWND dialog = WaitForWindow(L"#32770", L"Go To");
    Check(dialog != nullptr, "Go To opens");
    if (!dialog) return;
    Check(DialogText(dialog, kGoToLabel) == kSmallRange, "Go To names the book's range");
    SetDlgItemTextW(dialog, kGoToEdit, L"4");
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(dialog, IDOK));
    Sleep(300);
    Check(IsWindowVisible(dialog), "Go To 4 keeps the dialog open");
    Check(DialogText(dialog, kGoToMessage) == L"There is no section 4. The book has sections 1 to 3.",
          "Go To 4 says the book has sections 1 to 3");
    PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
    WaitUntilGone(dialog);
}

// The built-in edition at first; Ctrl+O opens the small book, Right steps
// 1, 3, 5 and round to 1, then to 3, which gets a bookmark.
void SessionOpenBook(const std::wstring& exe, const std::wstring& small) {
    PROCESS_INFORMATION process = {};
    if (!StartReader(exe, L"", &process)) return Check(false, "the reader starts");
    HWND reader = WaitForWindow(L"Lorvan", L"Lorvan");
    Check(reader && GoToLabel(reader) == kBuiltInRange, "the reader starts with the built-in book");
    if (reader && OpenWithDialog(reader, small)) {
        for (int i = 0; i < 4; i++) Command(reader, kCommandNext);
        Command(reader, kCommandBookmark);
        CheckGoToPastTheEnd(reader);
    }
    Check(EndReader(reader, &process), "message 1023 ends the reader");
    Check(GetValue(kProgramKey, L"BookPath") == Wide(small), "BookPath names the small book");
    Check(GetValue(kSmallBookKey, L"Lesson") == Dword(3), "the book's own Lesson is 3, round its end");
    Check(GetValue(kSmallBookKey, L"Bookmarks") == std::string("\x03\0\0\0", 4), "the book's own Bookmarks hold 3");
    Check(GetValue(kProgramKey, L"Bookmarks") == std::string("\0\0", 2), "the built-in book has no bookmark");
}

// The small book from the command line, its bookmark on section 3 back; the
// built-in edition's section 3 is not bookmarked; a second start hands the
// book to the running reader.
void SessionCommandLine(const std::wstring& exe, const std::wstring& small) {
    RegDeleteKeyValueW(HKEY_CURRENT_USER, kProgramKey, L"BookPath");
    PROCESS_INFORMATION process = {};
    if (!StartReader(exe, small, &process)) return Check(false, "the reader starts with a book");
    HWND reader = WaitForWindow(L"Lorvan", L"Lorvan");
    if (reader) {
        Check(GoToLabel(reader) == kSmallRange, "the book named on the command line is open");
        Check(BookmarkAsks(reader), "its bookmark on section 3 is back: removing it asks first");
        Command(reader, kCommandBuiltInBook);
        Check(GoToLabel(reader) == kBuiltInRange, "Built-in Book goes back to the built-in book");
        Command(reader, kCommandNext);  // the built-in edition's section 3
        Check(!BookmarkAsks(reader), "the built-in book's section 3 had no bookmark: it gets one at once");
        PROCESS_INFORMATION second = {};
        if (StartReader(exe, small, &second)) {
            Check(WaitForSingleObject(second.hProcess, kDriverWaitMs) == WAIT_OBJECT_0, "a second start ends");
            CloseHandle(second.hThread);
            CloseHandle(second.hProcess);
        }
        Check(GoToLabel(reader) == kSmallRange, "the second start's book opens in the running reader");
    }
    Check(EndReader(reader, &process), "message 1023 ends the reader");
    Check(GetValue(kProgramKey, L"BookPath") == Wide(small), "BookPath names the book the second start gave");
    Check(GetValue(kSmallBookKey, L"Bookmarks") == std::string("\x03\0\0\0", 4), "No kept the book's bookmark");
    Check(GetValue(kProgramKey, L"Bookmarks") == std::string("\x03\0\0\0", 4), "the built-in book has its own");
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: book_driver READER_EXE SMALL_BOOK\n");
        return 2;
    }
    RegDeleteTreeW(HKEY_CURRENT_USER, kProgramKey);
    PutString(L"WindowPlacement", L"0,0,480,640,0");
    PutString(L"FontName", L"DejaVu Sans");
    PutDword(L"FontSize", 17);
    SessionOpenBook(argv[1], argv[2]);
    SessionCommandLine(argv[1], argv[2]);
    printf("%d passed, %d failed\n", gPasses, gFailures);
    return gFailures ? 1 : 0;
}
