// The open book: the edition built into the program, or a book file (a
// module of resources made by `lorvan-book pack`) opened from the Go menu,
// the command line, a drop on the window or a second start. A book file
// replaces the open book only once all of it has been checked; each book
// keeps its own reading place (app/settings.h LoadBookPlace).
#pragma once

#include <windows.h>
#include <shellapi.h>

#include "content/book_info.h"

const UINT kOpenBookCommand = 180;
const UINT kBuiltInBookCommand = 181;
const UINT kBookInformationCommand = 182;

// A second start hands its book file to the running reader in WM_COPYDATA
// with this tag; the reader opens it once the sender has gone on.
const ULONG_PTR kOpenBookCopyDataTag = 0x4C56424Bu;  // "LVBK"
const UINT kOpenPendingBookMessage = WM_APP + 1;

const int kBookPathChars = 1024;

struct OpenBook {
    HMODULE module;  // null: the built-in edition
    wchar_t path[kBookPathChars];  // the book file; empty for the built-in edition
    BookInfo info;   // pairs always set; the rest as far as the book gives it
};
extern OpenBook gBook;

// The first argument of the command line that is not an option ("/today"),
// unquoted, into `path`; false when there is none.
bool BookPathOfCommandLine(const wchar_t* commandLine, wchar_t* path, int pathChars);

// Before the settings: the book to open at start, from the command line.
void SetStartBookPath(const wchar_t* path);
// During LoadSettings: opens the start book, else the stored "BookPath",
// else the built-in edition. A book that cannot be opened leaves a message
// for ShowStartBookMessage; a stored one is forgotten.
void OpenStartBook();
// Once the window is shown: the message OpenStartBook left, once.
void ShowStartBookMessage(HWND window);

// Opens a book file in place of the open book: 0 when it is open, 1 when it
// was refused with a message naming the file and why (the open book stays).
int OpenBookFile(HWND window, const wchar_t* path);
// Command 180: the system's Open dialog, then OpenBookFile.
void ChooseBookFile(HWND window);
// Command 181: back to the edition inside the program.
void OpenBuiltInBook(HWND window);
// Command 182: the open book's title, pairs and sources.
void ShowBookInformation(HWND window);
// Fills `text` with what Book Information shows.
void DescribeOpenBook(wchar_t* text, int chars);

// WM_COPYDATA from a second start, and the message it posts.
bool TakeBookCopyData(HWND window, const COPYDATASTRUCT* data);
void OpenPendingBook(HWND window);
// WM_DROPFILES: the first file dropped.
void OnDropFiles(HWND window, HDROP drop);
// Greys "Built-in Book" while the built-in edition is open.
void UpdateBookCommands();

// At exit: "BookPath" names the open book file, or is removed.
void SaveBookPath();
// After the panes are gone: the book file's module is freed.
void ReleaseBook();
