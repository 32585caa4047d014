// Print Preview: the pages as they will print, drawn by RenderPage into
// enhanced metafiles recorded against the printer's context (so that they
// keep the printer's line breaks) and shown whole in a window of their own,
// with Previous, Next, the page count, Print and Close.
#pragma once

#include <windows.h>

#include "print/print_layout.h"

enum PreviewResult {
    kPreviewClosed = 0,
    kPreviewPrint = 1,   // Print was pressed: the caller prints the same choice
    kPreviewFailed = 2,  // the pages could not be laid out (the user was told)
};

// Lays `choice` out for `printerDc` and shows the preview over `owner`, which
// is disabled meanwhile; returns when the preview closes.
int ShowPrintPreview(HWND owner, HDC printerDc, const PrintChoice* choice);

// Page `index` recorded as it will print, or null. The caller deletes it.
HENHMETAFILE RecordPreviewPage(PrintLayout* layout, int index);

// Where the sheet of `paper` stands when zoomed to fit `area`, keeping its
// proportions, centred; and the printable part of it inside.
void FitPaper(const PaperMetrics* paper, const RECT* area, RECT* sheet, RECT* printable);

// Draws a page zoomed to fit `area`: the sheet in white with its shadow on
// the ground, and the recorded page on it where the printer would put it.
void DrawPreviewPage(HDC dc, const RECT* area, const PaperMetrics* paper, HENHMETAFILE page);

LRESULT CALLBACK PreviewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
