// /print: the chosen sections straight to a printer, no window, no dialog.
#include "print/print_command.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>
#include <winspool.h>

#include "app/app_state.h"
#include "print/print_job.h"
#include "print/print_request.h"
#include "platform/services.h"

namespace {

const int kLineChars = 600;

// Where a message box would have asked (a damaged section), standard error
// says it instead: nothing here may wait for a click.
void MessageToError(const char* text, void*) {
    wchar_t line[kLineChars];
    swprintf(line, kLineChars, L"Lorvan: %hs", text);
    WriteErrorLine(line);
}

void Complain(const wchar_t* what, const wchar_t* detail) {
    wchar_t line[kLineChars];
    swprintf(line, kLineChars, L"Lorvan: %ls%ls", what, detail);
    WriteErrorLine(line);
}

bool DefaultPrinterName(wchar_t* name, DWORD nameChars) {
    DWORD chars = nameChars;
    return GetDefaultPrinterW(name, &chars) && name[0];
}

// The printer's own context, or null when there is no such printer.
HDC OpenPrinterContext(const wchar_t* name) {
    HANDLE printer = nullptr;
    if (!OpenPrinterW((LPWSTR)name, &printer, nullptr)) return nullptr;
    ClosePrinter(printer);
    HDC dc = CreateDCW(L"WINSPOOL", name, nullptr, nullptr);
    return dc ? dc : CreateDCW(nullptr, name, nullptr, nullptr);
}

// A path as Win32 takes it: Wine reads a Unix path as one on drive Z:, and a
// relative one is taken from the directory the command was given in.
void ResolveOutputPath(wchar_t* path) {
    if (!path[0]) return;
    wchar_t full[kPrintNameChars];
    if (path[0] == L'/' && RunsUnderWine()) {
        if (wcslen(path) + 3 > (size_t)kPrintNameChars) return;
        swprintf(full, kPrintNameChars, L"Z:%ls", path);
        for (wchar_t* c = full; *c; c++) if (*c == L'/') *c = L'\\';
    } else {
        DWORD chars = GetFullPathNameW(path, kPrintNameChars, full, nullptr);
        if (!chars || chars >= (DWORD)kPrintNameChars) return;
    }
    wcscpy(path, full);
}

int PrintOn(HDC dc, const wchar_t* printerName, const PrintRequest& request) {
    PrintMargins margins = LoadPrintMargins();
    FontSpec font = FontForPrinting(dc, nullptr);
    PrintLayout layout;
    int laidOut = LayOutForPrinter(dc, &request.choice, &margins, &font, &layout);
    if (laidOut != kPrintLaidOut) {
        Complain(PrintLayoutProblem(laidOut), L"");
        return kPrintExitFailed;
    }
    wchar_t title[64];
    PrintJobTitle(&request.choice, title, 64);
    PrintTarget target;
    ChoosePrintTarget(printerName, request.output, &target);
    int printed = PrintLaidOutPages(&layout, dc, title, &target, nullptr);
    ReleasePrintLayout(&layout);
    ReleaseTextBuffers();
    if (printed != kPrintJobDone) {
        Complain(PrintJobProblem(printed), L"");
        return kPrintExitFailed;
    }
    return kPrintExitDone;
}

}  // namespace

void WriteErrorLine(const wchar_t* text) {
    HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    if (!error || error == INVALID_HANDLE_VALUE) {
        // A program without a console of its own: the one it was started from.
        if (AttachConsole(ATTACH_PARENT_PROCESS)) error = GetStdHandle(STD_ERROR_HANDLE);
    }
    if (!error || error == INVALID_HANDLE_VALUE) return;
    char bytes[4 * kLineChars];
    int count = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, (int)sizeof bytes - 2, nullptr, nullptr);
    if (count <= 0) return;
    bytes[count - 1] = '\n';  // in place of the terminator
    DWORD written = 0;
    WriteFile(error, bytes, (DWORD)count, &written, nullptr);
}

bool IsPrintCommandLine(const wchar_t* commandLine) {
    PrintRequest request;
    wchar_t why[4];
    return ReadPrintRequest(commandLine, kLineChars, &request, why, 0) != kNotPrintRequest;
}

int RunPrintCommand(const wchar_t* commandLine) {
    // No box of the system's either, whatever goes wrong.
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetMessageSink(MessageToError, nullptr);
    PrintRequest request;
    wchar_t why[kLineChars];
    if (ReadPrintRequest(commandLine, wcslen(commandLine), &request, why, kLineChars) != kPrintRequestRead) {
        Complain(why, L"");
        return kPrintExitBadRequest;
    }
    if (!request.commentaryGiven) request.choice.commentary = LoadPrintOptions().commentary;
    ResolveOutputPath(request.output);
    wchar_t printerName[kPrintNameChars];
    if (request.printer[0]) wcscpy(printerName, request.printer);
    else if (!DefaultPrinterName(printerName, kPrintNameChars)) {
        Complain(L"there is no printer; name one with /printer", L"");
        return kPrintExitNoPrinter;
    }
    HDC dc = OpenPrinterContext(printerName);
    if (!dc) {
        wchar_t detail[kPrintNameChars + 4];
        swprintf(detail, kPrintNameChars + 4, L"\"%ls\"", printerName);
        Complain(L"there is no printer named ", detail);
        return kPrintExitNoPrinter;
    }
    int result = PrintOn(dc, printerName, request);
    DeleteDC(dc);
    return result;
}
