// Print, Page Setup and the progress box of a job.
#include "print/print_dialogs.h"

#include <commdlg.h>
#include <cderr.h>
#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "content/book_numbers.h"
#include "navigation/section_numeral.h"
#include "platform/dialog_shell.h"
#include "platform/fonts.h"
#include "platform/shell.h"
#include "print/print_job.h"
#include "print/print_preview.h"

namespace {

const int kNumberChars = 16;
const int kNoteChars = 200;
const wchar_t kCaption[] = L"Lorvan";

// The printer chosen last and its settings (paper, copies), kept for the
// next Print, Preview and Page Setup in this run, and handed to each of the
// system's dialogs, which give back the same blocks or blocks they made in
// their place (freeing ours). The last ones stay with the process.
struct PrinterChoice {
    HGLOBAL devMode;
    HGLOBAL devNames;
};
PrinterChoice gPrinter;

void KeepPrinter(HGLOBAL devMode, HGLOBAL devNames) {
    gPrinter.devMode = devMode;
    gPrinter.devNames = devNames;
}

void CopyDeviceName(HGLOBAL devNames, wchar_t* name, int nameChars) {
    name[0] = 0;
    const DEVNAMES* names = devNames ? (const DEVNAMES*)GlobalLock(devNames) : nullptr;
    if (!names) return;
    wcsncpy(name, (const wchar_t*)names + names->wDeviceOffset, (size_t)nameChars - 1);
    name[nameChars - 1] = 0;
    GlobalUnlock(devNames);
}

int CurrentPair() { return gApp.lesson ? PairOfSection(gApp.lesson) : 1; }

// ---- What to print --------------------------------------------------------------

struct ChoiceDialog {
    PrintChoice* choice;
    StoredPrintOptions options;
};
ChoiceDialog gChoiceDialog;

int PlacementButton(int32_t placement) {
    if (placement == kCommentaryBeside) return kPrintBesideId;
    return placement == kCommentaryNone ? kPrintNoCommentaryId : kPrintBelowId;
}

void SetNumber(HWND dialog, int id, int number) {
    wchar_t text[kNumberChars];
    swprintf(text, kNumberChars, L"%d", number);
    SetDlgItemTextW(dialog, id, text);
}

// Says so when the reader's face would vanish from the paper here.
void NoteStandInFace(HWND dialog) {
    HDC screen = GetDC(nullptr);
    bool substituted = false;
    FontSpec font = FontForPrinting(screen, &substituted);
    ReleaseDC(nullptr, screen);
    if (!substituted) return;
    const wchar_t* chosen = gApp.font.faceName[0] ? gApp.font.faceName : DefaultHebrewFaceName();
    wchar_t note[kNoteChars];
    swprintf(note, kNoteChars, L"%ls does not print here; the pages are set in %ls instead.", chosen,
             font.faceName);
    SetDlgItemTextW(dialog, kPrintNoteId, note);
}

INT_PTR OnChoiceInit(HWND dialog) {
    const StoredPrintOptions& options = gChoiceDialog.options;
    CheckRadioButton(dialog, kPrintCurrentId, kPrintRangeId, options.range ? kPrintRangeId : kPrintCurrentId);
    SetNumber(dialog, kPrintFromId, CurrentPair());
    SetNumber(dialog, kPrintToId, CurrentPair());
    CheckRadioButton(dialog, kPrintBelowId, kPrintNoCommentaryId, PlacementButton(options.commentary));
    CheckDlgButton(dialog, kPrintNewPageId, options.newPagePerPair ? BST_CHECKED : BST_UNCHECKED);
    NoteStandInFace(dialog);
    return TRUE;
}

void RefuseNumber(HWND dialog, int id, const wchar_t* typed) {
    wchar_t note[kNoteChars];
    swprintf(note, kNoteChars, L"\"%ls\" is not a section of the book; give a number from 1 to %d or a Hebrew numeral.",
             typed, kBookPairs);
    SetDlgItemTextW(dialog, kPrintNoteId, note);
    HWND edit = GetDlgItem(dialog, id);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    SetFocus(edit);
}

bool ReadPairField(HWND dialog, int id, int32_t* pair) {
    wchar_t typed[kNumberChars + 1] = {};
    GetDlgItemTextW(dialog, id, typed, kNumberChars + 1);
    int number = 0;
    if (ReadSectionNumeral(typed, kNumberChars, &number) != kNumeralInBook) {
        RefuseNumber(dialog, id, typed);
        return false;
    }
    *pair = number;
    return true;
}

INT_PTR OnChoiceOk(HWND dialog) {
    PrintChoice choice = {};
    StoredPrintOptions options = {};
    options.range = IsDlgButtonChecked(dialog, kPrintRangeId) == BST_CHECKED;
    if (options.range) {
        if (!ReadPairField(dialog, kPrintFromId, &choice.firstPair) ||
            !ReadPairField(dialog, kPrintToId, &choice.lastPair))
            return TRUE;
        if (choice.firstPair > choice.lastPair) {
            int32_t first = choice.lastPair;  // a range typed backwards means the same pages
            choice.lastPair = choice.firstPair;
            choice.firstPair = first;
        }
    } else {
        choice.firstPair = choice.lastPair = CurrentPair();
    }
    options.commentary = IsDlgButtonChecked(dialog, kPrintBesideId) == BST_CHECKED ? kCommentaryBeside
                         : IsDlgButtonChecked(dialog, kPrintNoCommentaryId) == BST_CHECKED ? kCommentaryNone
                                                                                            : kCommentaryBelow;
    options.newPagePerPair = IsDlgButtonChecked(dialog, kPrintNewPageId) == BST_CHECKED;
    choice.commentary = options.commentary;
    choice.newPagePerPair = options.newPagePerPair;
    SavePrintOptions(&options);
    *gChoiceDialog.choice = choice;
    EndDialog(dialog, IDOK);
    return TRUE;
}

// Typing a number picks the range.
void OnNumberEdited(HWND dialog, WPARAM wParam) {
    if (HIWORD(wParam) == EN_CHANGE && GetFocus() == GetDlgItem(dialog, LOWORD(wParam)))
        CheckRadioButton(dialog, kPrintCurrentId, kPrintRangeId, kPrintRangeId);
}

INT_PTR OnChoiceCommand(HWND dialog, WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case IDOK: return OnChoiceOk(dialog);
    case IDCANCEL: EndDialog(dialog, IDCANCEL); return TRUE;
    case kPrintFromId:
    case kPrintToId: OnNumberEdited(dialog, wParam); return FALSE;
    default: return FALSE;
    }
}

// ---- The job behind its progress box ------------------------------------------

const UINT kPrintFinishedMessage = WM_APP + 0x2A;
const int kProgressChars = 96;

// Everything the worker thread reads and writes; the progress box owns it
// while the job runs.
struct JobRun {
    HDC dc;
    PrintChoice choice;
    PrintMargins margins;
    FontSpec font;
    PrintTarget target;
    wchar_t title[64];
    PrintProgress progress;
    int layoutResult;
    int jobResult;
    HANDLE thread;
};

DWORD WINAPI RunJob(LPVOID parameter) {
    JobRun* run = (JobRun*)parameter;
    PrintLayout layout;
    run->layoutResult = LayOutForPrinter(run->dc, &run->choice, &run->margins, &run->font, &layout);
    if (run->layoutResult == kPrintLaidOut) {
        PostMessageW(run->progress.window, kPrintPageDoneMessage, 0, layout.pages.pageCount);
        run->jobResult = PrintLaidOutPages(&layout, run->dc, run->title, &run->target, &run->progress);
        ReleasePrintLayout(&layout);
    }
    ReleaseTextBuffers();  // this thread's
    PostMessageW(run->progress.window, kPrintFinishedMessage, 0, 0);
    return 0;
}

void SetProgressText(HWND dialog, const wchar_t* text) { SetDlgItemTextW(dialog, kPrintProgressTextId, text); }

INT_PTR OnProgressInit(HWND dialog, LPARAM lParam) {
    JobRun* run = (JobRun*)lParam;
    SetWindowLongPtrW(dialog, DWLP_USER, (LONG_PTR)run);
    run->progress.window = dialog;
    SetProgressText(dialog, L"Laying out the pages\u2026");
    run->thread = CreateThread(nullptr, 0, RunJob, run, 0, nullptr);
    if (!run->thread) {
        run->layoutResult = kPrintOutOfMemory;
        EndDialog(dialog, IDABORT);
    }
    return TRUE;
}

void OnPageDone(HWND dialog, WPARAM done, LPARAM count) {
    JobRun* run = (JobRun*)GetWindowLongPtrW(dialog, DWLP_USER);
    if (run && run->progress.cancel) return;
    wchar_t text[kProgressChars];
    if (done < (WPARAM)count) swprintf(text, kProgressChars, L"Printing page %d of %d", (int)done + 1, (int)count);
    else swprintf(text, kProgressChars, L"Finishing the document of %d pages", (int)count);
    SetProgressText(dialog, text);
}

// The job stops before its next page; the box stays until the worker is done.
void OnProgressCancel(HWND dialog) {
    JobRun* run = (JobRun*)GetWindowLongPtrW(dialog, DWLP_USER);
    if (!run) return;
    InterlockedExchange(&run->progress.cancel, 1);
    SetProgressText(dialog, L"Cancelling\u2026");
    EnableWindow(GetDlgItem(dialog, IDCANCEL), FALSE);
}

void ReportJob(HWND owner, const JobRun& run) {
    const wchar_t* problem = run.layoutResult != kPrintLaidOut ? PrintLayoutProblem(run.layoutResult)
                                                              : PrintJobProblem(run.jobResult);
    if (run.layoutResult == kPrintLaidOut && (run.jobResult == kPrintJobDone || run.jobResult == kPrintJobCancelled))
        return;
    ShowMessageBox(owner, problem, kCaption, MB_OK | MB_ICONERROR);
}

// ---- Page Setup -----------------------------------------------------------------

// A margin as the settings keep it: none wider than they read back.
int32_t UsableMargin(LONG hundredths) {
    if (hundredths < 0) return 0;
    return hundredths > kMaxMarginHundredths ? kMaxMarginHundredths : (int32_t)hundredths;
}

void MarginsToRect(const PrintMargins& margins, RECT* rect) {
    rect->left = margins.left;
    rect->top = margins.top;
    rect->right = margins.right;
    rect->bottom = margins.bottom;
}

}  // namespace

bool AskWhatToPrint(HWND owner, PrintChoice* choice) {
    gChoiceDialog.choice = choice;
    gChoiceDialog.options = LoadPrintOptions();
    INT_PTR result = RunDialogTemplate(gApp.instance, kPrintChoiceDialogId, owner, PrintChoiceDialogProc, 0);
    return result == IDOK;
}

HDC ChoosePrinter(HWND owner, bool askUser, wchar_t* printerName, int nameChars) {
    PRINTDLGW dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.hDevMode = gPrinter.devMode;
    dialog.hDevNames = gPrinter.devNames;
    // To a file through the printer's port or /print's /output; the box would ask for a name on
    // the job's own thread.
    dialog.Flags = PD_RETURNDC | PD_NOPAGENUMS | PD_NOSELECTION | PD_USEDEVMODECOPIESANDCOLLATE | PD_HIDEPRINTTOFILE;
    dialog.nCopies = 1;
    if (!askUser && gPrinter.devNames) {
        // The printer chosen before, without asking again.
        const DEVNAMES* names = (const DEVNAMES*)GlobalLock(gPrinter.devNames);
        const DEVMODEW* mode = gPrinter.devMode ? (const DEVMODEW*)GlobalLock(gPrinter.devMode) : nullptr;
        HDC dc = names ? CreateDCW((const wchar_t*)names + names->wDriverOffset,
                                   (const wchar_t*)names + names->wDeviceOffset, nullptr, mode)
                       : nullptr;
        if (mode) GlobalUnlock(gPrinter.devMode);
        if (names) GlobalUnlock(gPrinter.devNames);
        if (dc) {
            CopyDeviceName(gPrinter.devNames, printerName, nameChars);
            return dc;
        }
    }
    if (!askUser) dialog.Flags |= PD_RETURNDEFAULT;
    if (!askUser) dialog.hDevMode = dialog.hDevNames = nullptr;  // PD_RETURNDEFAULT wants none given
    if (!PrintDlgW(&dialog)) {
        DWORD why = CommDlgExtendedError();
        if (askUser && (why == PDERR_NODEFAULTPRN || why == PDERR_NODEVICES))
            ShowMessageBox(owner, L"There is no printer to print on.", kCaption, MB_OK | MB_ICONERROR);
        return nullptr;
    }
    KeepPrinter(dialog.hDevMode, dialog.hDevNames);
    CopyDeviceName(gPrinter.devNames, printerName, nameChars);
    return dialog.hDC;
}

int PrintWithProgress(HWND owner, HDC dc, const wchar_t* printerName, const PrintChoice* choice) {
    JobRun run;
    memset(&run, 0, sizeof run);
    run.dc = dc;
    run.choice = *choice;
    run.margins = LoadPrintMargins();
    run.font = FontForPrinting(dc, nullptr);  // here: the face search is this thread's
    PrintJobTitle(choice, run.title, 64);
    ChoosePrintTarget(printerName, nullptr, &run.target);
    // Until the worker says otherwise: a box that never ran printed nothing.
    run.layoutResult = kPrintOutOfMemory;
    INT_PTR ended = RunDialogTemplate(gApp.instance, kPrintProgressDialogId, owner, PrintProgressDialogProc,
                                      (LPARAM)&run);
    // A box taken down with its owner (the reader closing) stops the job too.
    if (ended != IDOK) InterlockedExchange(&run.progress.cancel, 1);
    if (run.thread) {
        WaitForSingleObject(run.thread, INFINITE);
        CloseHandle(run.thread);
    }
    ReportJob(owner, run);
    return run.layoutResult == kPrintLaidOut ? run.jobResult : -1;
}

void OnPrintCommand(HWND window) {
    PrintChoice choice;
    if (!AskWhatToPrint(window, &choice)) return;
    wchar_t printerName[MAX_PATH];
    HDC dc = ChoosePrinter(window, true, printerName, MAX_PATH);
    if (!dc) return;
    PrintWithProgress(window, dc, printerName, &choice);
    DeleteDC(dc);
}

void OnPrintPreviewCommand(HWND window) {
    PrintChoice choice;
    if (!AskWhatToPrint(window, &choice)) return;
    wchar_t printerName[MAX_PATH];
    HDC dc = ChoosePrinter(window, false, printerName, MAX_PATH);
    if (!dc) {
        ShowMessageBox(window, L"There is no printer to lay the pages out for.", kCaption, MB_OK | MB_ICONERROR);
        return;
    }
    bool print = ShowPrintPreview(window, dc, &choice) == kPreviewPrint;
    DeleteDC(dc);
    if (!print) return;
    // Print from the preview: the system's dialog for the printer and copies.
    dc = ChoosePrinter(window, true, printerName, MAX_PATH);
    if (!dc) return;
    PrintWithProgress(window, dc, printerName, &choice);
    DeleteDC(dc);
}

void OnPageSetupCommand(HWND window) {
    PAGESETUPDLGW dialog;
    memset(&dialog, 0, sizeof dialog);
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window;
    dialog.hDevMode = gPrinter.devMode;
    dialog.hDevNames = gPrinter.devNames;
    dialog.Flags = PSD_INHUNDREDTHSOFMILLIMETERS | PSD_MARGINS;
    MarginsToRect(LoadPrintMargins(), &dialog.rtMargin);
    if (!PageSetupDlgW(&dialog)) return;
    KeepPrinter(dialog.hDevMode, dialog.hDevNames);
    PrintMargins margins = {UsableMargin(dialog.rtMargin.left), UsableMargin(dialog.rtMargin.top),
                            UsableMargin(dialog.rtMargin.right), UsableMargin(dialog.rtMargin.bottom)};
    SavePrintMargins(&margins);
}

INT_PTR CALLBACK PrintChoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnChoiceInit(dialog);
    case WM_COMMAND: return OnChoiceCommand(dialog, wParam);
    default: return FALSE;
    }
}

INT_PTR CALLBACK PrintProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: return OnProgressInit(dialog, lParam);
    case kPrintPageDoneMessage: OnPageDone(dialog, wParam, lParam); return TRUE;
    case kPrintFinishedMessage: EndDialog(dialog, IDOK); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wParam) == IDCANCEL) OnProgressCancel(dialog);
        return TRUE;
    default: return FALSE;
    }
}
