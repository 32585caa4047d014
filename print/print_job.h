// A print job: laid-out pages sent to a printer's context page by page,
// with a cancel between pages, and the settings printing keeps.
#pragma once

#include <windows.h>

#include "print/print_layout.h"

enum PrintJobResult {
    kPrintJobDone = 0,
    kPrintJobCancelled = 1,
    kPrintJobStartDocFailed = 2,
    kPrintJobStartPageFailed = 3,
    kPrintJobEndPageFailed = 4,
    kPrintJobEndDocFailed = 5,
};

// Watched by a job between its pages; set from any thread.
struct PrintProgress {
    volatile LONG cancel;       // non-zero: stop before the next page
    HWND window;                // gets kPrintPageDoneMessage after each page, or null
};
// wParam: pages done; lParam: pages in all.
const UINT kPrintPageDoneMessage = WM_APP + 0x29;

// Where a job goes: a file named for it, or the printer's port; and the file
// that is written either way, when there is one.
struct PrintTarget {
    const wchar_t* outputFile;   // DOCINFO's output, or null for the port
    const wchar_t* writtenFile;  // outputFile, the port's file, or null
    wchar_t portFile[MAX_PATH];
};
// The target of a job for `printerName`, to `outputFile` when it is given
// and not empty. `target` must outlive the job.
void ChoosePrintTarget(const wchar_t* printerName, const wchar_t* outputFile, PrintTarget* target);

// Sends every page of `layout` to `dc` (which it was laid out for) as one
// document named `title`. A failed StartDoc, StartPage or EndPage is
// reported; a job cancelled or failed part way is aborted and the file it
// wrote removed, so nothing half written stays. The written file is removed
// before the job too: an old, longer one would keep its tail under it.
int PrintLaidOutPages(PrintLayout* layout, HDC dc, const wchar_t* title, const PrintTarget* target,
                      PrintProgress* progress);

// Where a printer's port writes, when it is a file: a path, as a Win32 path
// (a Unix path under Wine becomes one of drive Z:). False for other ports.
bool PrinterOutputFile(const wchar_t* printerName, wchar_t* path, int pathChars);

// One line for the user about a result of LayOutForPrinter or of a job.
const wchar_t* PrintLayoutProblem(int layoutResult);
const wchar_t* PrintJobProblem(int jobResult);

// The document's name in the spooler: the reader's name and the pairs.
void PrintJobTitle(const PrintChoice* choice, wchar_t* title, int titleChars);

// ---- Settings -----------------------------------------------------------------

// "PrintMargins", or 20 mm all round.
PrintMargins LoadPrintMargins();
void SavePrintMargins(const PrintMargins* margins);
// "PrintOptions", or below, run on, the current section.
StoredPrintOptions LoadPrintOptions();
void SavePrintOptions(const StoredPrintOptions* options);

// The reader's font as it will print: a face that cannot print here replaced
// (see PrintableFace), and the face the reader falls back on named outright.
// `substituted`, when given, says whether it was replaced.
FontSpec FontForPrinting(HDC dc, bool* substituted);
