#include "app/book_file.h"

#include <commdlg.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "app/commands.h"
#include "app/settings.h"
#include "content/book_check.h"
#include "content/book_numbers.h"
#include "navigation/bookmarks.h"
#include "navigation/find_all_window.h"
#include "navigation/history.h"
#include "navigation/outline_view.h"
#include "panes/split_view.h"
#include "platform/book_module.h"
#include "platform/out_of_memory.h"
#include "platform/registry.h"
#include "platform/services.h"
#include "platform/shell.h"

OpenBook gBook;

namespace {

const wchar_t kBookPathValue[] = L"BookPath";
const wchar_t kOpenBookCaption[] = L"Open Book";
const int kReasonChars = 256;
const int kMessageChars = kBookPathChars + 512;
const int kInformationChars = 8192;

wchar_t gStartBookPath[kBookPathChars];
wchar_t gPendingBookPath[kBookPathChars];
wchar_t gStartMessage[kMessageChars];

// A book file, loaded and checked, that has not yet replaced the open book.
struct BookCandidate {
    HMODULE module;
    BookInfo info;
};

void CopyPath(wchar_t* to, const wchar_t* from) {
    wcsncpy(to, from, kBookPathChars - 1);
    to[kBookPathChars - 1] = 0;
}

void Utf8ToWide(const char* text, wchar_t* wide, int chars) {
    if (MultiByteToWideChar(CP_UTF8, 0, text, -1, wide, chars) <= 0) wide[0] = 0;
    wide[chars - 1] = 0;
}

// Loads the module and checks all of it while the open book stays open.
bool LoadCandidate(const wchar_t* path, BookCandidate* candidate, wchar_t* why) {
    int loaded = LoadBookModule(path, &candidate->module);
    if (loaded != kBookModuleLoaded) {
        wcsncpy(why, BookModuleFailure(loaded), kReasonChars - 1);
        why[kReasonChars - 1] = 0;
        return false;
    }
    void* open = BookModule();
    SetBookModule(candidate->module);
    BookCheck check = CheckBookResources(&candidate->info);
    SetBookModule(open);
    if (check.result == kBookReadable) return true;
    char reason[kReasonChars];
    DescribeBookCheck(check, reason, sizeof reason);
    Utf8ToWide(reason, why, kReasonChars);
    FreeBookModule(candidate->module);
    candidate->module = nullptr;
    return false;
}

// The built-in edition's information, or the design's count without one.
void ReadBuiltInInfo(BookInfo* info) {
    void* open = BookModule();
    SetBookModule(nullptr);
    if (!LoadBookInfo(info)) {
        memset(info, 0, sizeof *info);
        info->pairs = kBuiltInBookPairs;
    }
    SetBookModule(open);
}

// Makes `module` (null: the built-in edition) the book every lookup, count
// and stored place refers to, and frees the one it replaces.
void InstallBook(HMODULE module, const BookInfo& info, const wchar_t* path) {
    HMODULE replaced = gBook.module;
    SetBookModule(module);
    gBook.module = module;
    gBook.info = info;
    CopyPath(gBook.path, module ? path : L"");
    if (!SetBookPairs(info.pairs)) SetBookPairs(kBuiltInBookPairs);
    wchar_t id[kBookIdMaxChars + 1];
    Utf8ToWide(info.id, id, kBookIdMaxChars + 1);
    // A checked book always has an id; the built-in edition keeps the program key.
    if (!module || !SetPlaceBook(id)) SetPlaceBook(nullptr);
    if (replaced && replaced != module) FreeBookModule(replaced);
    UpdateBookCommands();
}

void InstallBuiltInBook() {
    BookInfo info;
    ReadBuiltInInfo(&info);
    InstallBook(nullptr, info, L"");
}

// The full path, so that the stored path still names the file from any
// working directory.
void FullPath(const wchar_t* path, wchar_t* full) {
    DWORD count = GetFullPathNameW(path, kBookPathChars, full, nullptr);
    if (count == 0 || count >= (DWORD)kBookPathChars) CopyPath(full, path);
}

// The new book's place replaces the old one's on the screen.
void ShowBookPlace(HWND window) {
    SetLesson(0);
    if (GoToSection(window, gApp.lesson) != 0) return;
    RestoreSavedRows();
    RepaintView(window, kRepaintAll);
    UpdateHistoryCommands();
}

// The open book's place is saved, the new book takes over and its own place
// is loaded and shown. Find All's rows belong to the book they were found in.
void SwitchBook(HWND window, HMODULE module, const BookInfo& info, const wchar_t* path) {
    SaveBookPlace();
    ReleaseFindAll();
    InstallBook(module, info, path);
    LoadBookPlace();
    if (window) ShowBookPlace(window);
    ReloadOutlines(gApp.lesson);
}

void ShowRefusal(HWND window, const wchar_t* path, const wchar_t* why) {
    static wchar_t message[kMessageChars];
    swprintf(message, kMessageChars, L"\"%ls\" cannot be opened: %ls.\n\nThe book that was open stays open.", path,
             why);
    ShowMessageBox(window, message, kOpenBookCaption, MB_ICONEXCLAMATION);
}

// Opens `path` at start, before the window; the reason goes into the message.
bool OpenAtStart(const wchar_t* path, wchar_t* why) {
    wchar_t full[kBookPathChars];
    FullPath(path, full);
    BookCandidate candidate = {};
    if (!LoadCandidate(full, &candidate, why)) return false;
    InstallBook(candidate.module, candidate.info, full);
    return true;
}

void AppendSource(wchar_t* text, int chars, const wchar_t* heading, const BookSourceInfo& source) {
    struct Line {
        const wchar_t* label;
        const char* value;
    } lines[] = {{L"Title", source.title},     {L"Hebrew title", source.heTitle}, {L"Edition", source.edition},
                 {L"Address", source.source}, {L"Licence", source.license}};
    // A source the book says nothing about is left out.
    bool given = false;
    for (const Line& line : lines) given = given || line.value[0];
    if (!given) return;
    size_t used = wcslen(text);
    swprintf(text + used, chars - used, L"\n\n%ls", heading);
    for (const Line& line : lines) {
        if (!line.value[0]) continue;
        wchar_t value[kBookInfoMaxValue + 1];
        Utf8ToWide(line.value, value, kBookInfoMaxValue + 1);
        used = wcslen(text);
        swprintf(text + used, chars - used, L"\n%ls: %ls", line.label, value);
    }
}

}  // namespace

bool BookPathOfCommandLine(const wchar_t* commandLine, wchar_t* path, int pathChars) {
    if (!commandLine || pathChars < 1) return false;
    const wchar_t* at = commandLine;
    while (*at) {
        while (*at == L' ' || *at == L'\t') at++;
        if (!*at) break;
        bool quoted = *at == L'"';
        if (quoted) at++;
        const wchar_t* start = at;
        while (*at && (quoted ? *at != L'"' : (*at != L' ' && *at != L'\t'))) at++;
        size_t length = (size_t)(at - start);
        if (quoted && *at) at++;
        // Options ("/today") change nothing.
        if (length == 0 || (*start == L'/' && !quoted)) continue;
        if (length >= (size_t)pathChars) return false;
        wmemcpy(path, start, length);
        path[length] = 0;
        return true;
    }
    return false;
}

void SetStartBookPath(const wchar_t* path) { CopyPath(gStartBookPath, path ? path : L""); }

void OpenStartBook() {
    gStartMessage[0] = 0;
    InstallBuiltInBook();
    wchar_t why[kReasonChars];
    if (gStartBookPath[0]) {
        if (OpenAtStart(gStartBookPath, why)) return;
        swprintf(gStartMessage, kMessageChars, L"\"%ls\" cannot be opened: %ls.", gStartBookPath, why);
    }
    wchar_t* stored = ReadSettingString(kBookPathValue);
    if (!stored) return;
    if (stored[0] && !OpenAtStart(stored, why) && !gStartMessage[0]) {
        // Said once: the path is forgotten, so the next start is quiet.
        swprintf(gStartMessage, kMessageChars,
                 L"The book that was open last time, \"%ls\", cannot be opened: %ls.\n\nThe built-in book is open "
                 L"instead.",
                 stored, why);
        DeleteSettingValue(kBookPathValue);
    }
    PlatformFree(stored);
}

void ShowStartBookMessage(HWND window) {
    if (!gStartMessage[0] || ProgramEnding()) return;
    ShowMessageBox(window, gStartMessage, kOpenBookCaption, MB_ICONEXCLAMATION);
    gStartMessage[0] = 0;
}

int OpenBookFile(HWND window, const wchar_t* path) {
    if (ProgramEnding()) return 1;
    wchar_t full[kBookPathChars];
    FullPath(path, full);
    BookCandidate candidate = {};
    wchar_t why[kReasonChars];
    if (!LoadCandidate(full, &candidate, why)) {
        ShowRefusal(window, full, why);
        return 1;
    }
    // The same file opened again is the same book: nothing to change.
    if (gBook.module && _wcsicmp(full, gBook.path) == 0) {
        FreeBookModule(candidate.module);
        return 0;
    }
    SwitchBook(window, candidate.module, candidate.info, full);
    return 0;
}

void ChooseBookFile(HWND window) {
    static wchar_t file[kBookPathChars];
    file[0] = 0;
    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.lpstrFilter = L"Lorvan books (*.lvb)\0*.lvb\0All files (*.*)\0*.*\0";
    dialog.lpstrFile = file;
    dialog.nMaxFile = kBookPathChars;
    dialog.lpstrTitle = kOpenBookCaption;
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    dialog.lpstrDefExt = L"lvb";
    if (GetOpenFileNameW(&dialog)) OpenBookFile(window, file);
}

void OpenBuiltInBook(HWND window) {
    if (!gBook.module || ProgramEnding()) return;
    BookInfo info;
    ReadBuiltInInfo(&info);
    SwitchBook(window, nullptr, info, L"");
}

void DescribeOpenBook(wchar_t* text, int chars) {
    wchar_t title[kBookInfoMaxValue + 1];
    Utf8ToWide(gBook.info.title[0] ? gBook.info.title : "(no title)", title, kBookInfoMaxValue + 1);
    swprintf(text, chars, L"%ls\n%d sections, each with its commentary\n%ls", title, gBook.info.pairs,
             gBook.module ? gBook.path : L"Built into the program");
    AppendSource(text, chars, L"The text", gBook.info.text);
    AppendSource(text, chars, L"The commentary", gBook.info.commentary);
}

void ShowBookInformation(HWND window) {
    static wchar_t text[kInformationChars];
    DescribeOpenBook(text, kInformationChars);
    ShowMessageBox(window, text, L"Book Information", MB_ICONINFORMATION);
}

bool TakeBookCopyData(HWND window, const COPYDATASTRUCT* data) {
    if (!data || data->dwData != kOpenBookCopyDataTag || !data->lpData) return false;
    size_t chars = data->cbData / sizeof(wchar_t);
    if (chars == 0 || chars >= (size_t)kBookPathChars) return false;
    wmemcpy(gPendingBookPath, (const wchar_t*)data->lpData, chars);
    gPendingBookPath[chars] = 0;
    // The sender waits for this answer; the book opens (and may ask or
    // refuse) once it has gone on.
    PostMessageW(window, kOpenPendingBookMessage, 0, 0);
    return true;
}

void OpenPendingBook(HWND window) {
    if (!gPendingBookPath[0]) return;
    wchar_t path[kBookPathChars];
    CopyPath(path, gPendingBookPath);
    gPendingBookPath[0] = 0;
    OpenBookFile(window, path);
}

void OnDropFiles(HWND window, HDROP drop) {
    wchar_t path[kBookPathChars];
    UINT count = DragQueryFileW(drop, 0, path, kBookPathChars);
    DragFinish(drop);
    if (count > 0 && count < (UINT)kBookPathChars) OpenBookFile(window, path);
}

void UpdateBookCommands() {
    HMENU go = MenuOfBarButton(kGoButtonCommand);
    if (go) EnableMenuItem(go, kBuiltInBookCommand, MF_BYCOMMAND | (gBook.module ? MF_ENABLED : MF_GRAYED));
}

void SaveBookPath() {
    if (gBook.module) WriteSettingString(kBookPathValue, gBook.path);
    else DeleteSettingValue(kBookPathValue);
}

void ReleaseBook() {
    SetBookModule(nullptr);
    SetPlaceBook(nullptr);
    FreeBookModule(gBook.module);
    gBook.module = nullptr;
    gBook.path[0] = 0;
}
