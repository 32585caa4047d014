// The Go menu's printing: "&Print…" (170, Ctrl+P), "Print Pre&view" (171)
// and "Page Set&up…" (172). Print asks what to print in a small dialog of the
// reader's own, then the system's Print dialog for the printer and copies,
// and prints on a worker thread behind a progress box with Cancel.
#pragma once

#include <windows.h>

#include "print/print_pages.h"

const UINT kPrintCommand = 170;
const UINT kPrintPreviewCommand = 171;
const UINT kPageSetupCommand = 172;

// Resource numbers, also written in resources/lorvan.rc.
const WORD kPrintChoiceDialogId = 121;
const int kPrintCurrentId = 1211;
const int kPrintRangeId = 1212;
const int kPrintFromId = 1213;
const int kPrintToId = 1214;
const int kPrintBelowId = 1215;
const int kPrintBesideId = 1216;
const int kPrintNoCommentaryId = 1217;
const int kPrintNewPageId = 1218;
const int kPrintNoteId = 1219;
const WORD kPrintProgressDialogId = 122;
const int kPrintProgressTextId = 1221;

void OnPrintCommand(HWND window);
void OnPrintPreviewCommand(HWND window);
void OnPageSetupCommand(HWND window);

// The small dialog: what to print, with the stored choices filled in and
// stored again on OK. False after Cancel.
bool AskWhatToPrint(HWND owner, PrintChoice* choice);

// The printer's context for a job: the system's Print dialog over `owner`
// (which keeps the printer and its settings for the next time), or with
// `askUser` false the printer chosen last, else the default one. Null after
// Cancel or without a printer. The caller deletes the context.
HDC ChoosePrinter(HWND owner, bool askUser, wchar_t* printerName, int nameChars);

// Lays `choice` out for `dc` and prints it on a worker thread behind the
// progress box; says what went wrong when it fails. Returns the job's result
// (PrintJobResult), or -1 when the pages could not be laid out.
int PrintWithProgress(HWND owner, HDC dc, const wchar_t* printerName, const PrintChoice* choice);

INT_PTR CALLBACK PrintChoiceDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
INT_PTR CALLBACK PrintProgressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);
