// Sending laid-out pages to a printer, and the settings of printing.
#include "print/print_job.h"

#include <winspool.h>

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "platform/fonts.h"
#include "platform/registry.h"
#include "platform/services.h"

namespace {

void Notify(PrintProgress* progress, int done, int count) {
    if (progress && progress->window) PostMessageW(progress->window, kPrintPageDoneMessage, (WPARAM)done, (LPARAM)count);
}

bool Cancelled(PrintProgress* progress) { return progress && InterlockedCompareExchange(&progress->cancel, 0, 0); }

// Nothing of a job that did not finish stays behind.
int Abandon(HDC dc, const wchar_t* outputFile, int result) {
    AbortDoc(dc);
    if (outputFile && outputFile[0]) DeleteFileW(outputFile);
    return result;
}

int SendPage(PrintLayout* layout, HDC dc, int index) {
    if (StartPage(dc) <= 0) return kPrintJobStartPageFailed;
    RenderPage(layout, dc, index);
    if (EndPage(dc) <= 0) return kPrintJobEndPageFailed;
    return kPrintJobDone;
}

}  // namespace

int PrintLaidOutPages(PrintLayout* layout, HDC dc, const wchar_t* title, const PrintTarget* target,
                      PrintProgress* progress) {
    const wchar_t* outputFile = target->writtenFile;
    // An existing file is written over from its start without being cut, so
    // a shorter job would leave the old one's tail.
    if (outputFile && outputFile[0]) DeleteFileW(outputFile);
    DOCINFOW document;
    memset(&document, 0, sizeof document);
    document.cbSize = sizeof document;
    document.lpszDocName = title;
    document.lpszOutput = target->outputFile && target->outputFile[0] ? target->outputFile : nullptr;
    if (StartDocW(dc, &document) <= 0) return kPrintJobStartDocFailed;
    int count = layout->pages.pageCount;
    for (int index = 0; index < count; index++) {
        // The abort procedure is only asked inside StartDoc: a cancel is seen here.
        if (Cancelled(progress)) return Abandon(dc, outputFile, kPrintJobCancelled);
        int result = SendPage(layout, dc, index);
        if (result != kPrintJobDone) return Abandon(dc, outputFile, result);
        Notify(progress, index + 1, count);
    }
    if (EndDoc(dc) <= 0) return Abandon(dc, outputFile, kPrintJobEndDocFailed);
    return kPrintJobDone;
}

void ChoosePrintTarget(const wchar_t* printerName, const wchar_t* outputFile, PrintTarget* target) {
    memset(target, 0, sizeof *target);
    if (outputFile && outputFile[0]) {
        target->outputFile = outputFile;
        target->writtenFile = outputFile;
        return;
    }
    if (printerName && PrinterOutputFile(printerName, target->portFile, MAX_PATH)) target->writtenFile = target->portFile;
}

bool PrinterOutputFile(const wchar_t* printerName, wchar_t* path, int pathChars) {
    if (pathChars < 4) return false;
    path[0] = 0;
    HANDLE printer = nullptr;
    if (!OpenPrinterW((LPWSTR)printerName, &printer, nullptr)) return false;
    DWORD needed = 0;
    GetPrinterW(printer, 2, nullptr, 0, &needed);
    PRINTER_INFO_2W* info = needed ? (PRINTER_INFO_2W*)PlatformAlloc(needed) : nullptr;
    bool file = false;
    if (info && GetPrinterW(printer, 2, (BYTE*)info, needed, &needed) && info->pPortName) {
        const wchar_t* port = info->pPortName;
        bool unixPath = port[0] == L'/';
        bool drivePath = port[0] && port[1] == L':' && (port[2] == L'\\' || port[2] == L'/');
        if ((unixPath || drivePath) && (int)wcslen(port) + 3 < pathChars) {
            swprintf(path, (size_t)pathChars, unixPath ? L"Z:%ls" : L"%ls", port);
            for (wchar_t* c = path; *c; c++) if (*c == L'/') *c = L'\\';
            file = true;
        }
    }
    PlatformFree(info);
    ClosePrinter(printer);
    return file;
}

const wchar_t* PrintLayoutProblem(int layoutResult) {
    switch (layoutResult) {
    case kPrintLaidOut: return L"";
    case kPrintNoRoom: return L"The margins leave no room on the paper.";
    case kPrintSectionMissing: return L"A section of the book could not be read.";
    case kPrintBadChoice: return L"Those sections are not in the book.";
    default: return L"There is not enough memory to lay the pages out.";
    }
}

const wchar_t* PrintJobProblem(int jobResult) {
    switch (jobResult) {
    case kPrintJobDone: return L"";
    case kPrintJobCancelled: return L"Printing was cancelled.";
    case kPrintJobStartDocFailed: return L"The printer did not take the document (StartDoc failed).";
    case kPrintJobStartPageFailed: return L"The printer did not start a page (StartPage failed).";
    case kPrintJobEndPageFailed: return L"The printer did not take a page (EndPage failed).";
    default: return L"The printer did not finish the document (EndDoc failed).";
    }
}

void PrintJobTitle(const PrintChoice* choice, wchar_t* title, int titleChars) {
    if (choice->firstPair == choice->lastPair) swprintf(title, (size_t)titleChars, L"Lorvan %d", (int)choice->firstPair);
    else swprintf(title, (size_t)titleChars, L"Lorvan %d-%d", (int)choice->firstPair, (int)choice->lastPair);
}

// ---- Settings -----------------------------------------------------------------

PrintMargins LoadPrintMargins() {
    uint32_t byteCount = 0;
    uint8_t* bytes = (uint8_t*)ReadSettingBlob(L"PrintMargins", nullptr, &byteCount);
    PrintMargins margins = DecodePrintMargins(bytes, bytes ? byteCount : 0);
    PlatformFree(bytes);
    return margins;
}

void SavePrintMargins(const PrintMargins* margins) {
    uint8_t bytes[kStoredMarginsBytes];
    EncodePrintMargins(margins, bytes);
    WriteSettingBlob(L"PrintMargins", bytes, sizeof bytes);
}

StoredPrintOptions LoadPrintOptions() { return DecodePrintOptions((uint32_t)ReadSettingInt(L"PrintOptions", 0)); }

void SavePrintOptions(const StoredPrintOptions* options) { WriteSettingInt(L"PrintOptions", EncodePrintOptions(options)); }

FontSpec FontForPrinting(HDC dc, bool* substituted) {
    FontSpec font = gApp.font;
    if (!font.faceName[0]) {
        wcsncpy(font.faceName, DefaultHebrewFaceName(), kFaceNameChars - 1);
        font.faceName[kFaceNameChars - 1] = 0;
    }
    wchar_t printed[kFaceNameChars];
    bool replaced = PrintableFace(dc, font.faceName, printed);
    if (replaced) wcscpy(font.faceName, printed);
    if (substituted) *substituted = replaced;
    return font;
}
