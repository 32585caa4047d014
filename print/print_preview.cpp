// The preview window: one page at a time, zoomed to fit.
#include "print/print_preview.h"

#include <stdio.h>
#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "platform/dpi.h"
#include "platform/services.h"
#include "platform/shell.h"
#include "print/print_job.h"

namespace {

const wchar_t kPreviewClass[] = L"LorvanPrintPreview";
const wchar_t kCaption[] = L"Lorvan";
const int kHundredthsPerInch = 2540;

// Controls of the bar along the top.
const int kPreviousId = 101;
const int kNextId = 102;
const int kPageLabelId = 103;
const int kPrintId = 104;
const int kCloseId = IDCANCEL;  // Escape closes, as in a dialog
// Sizes at 96 DPI.
const int kBarHeight96 = 34;
const int kButtonWidth96 = 80;
const int kLabelWidth96 = 120;
const int kGap96 = 6;
// The bar's buttons and label side by side, with the gaps and the frame.
const int kBarWidth96 = 4 * kButtonWidth96 + kLabelWidth96 + 6 * kGap96 + 16;
const int kPaperMargin96 = 14;
const int kShadow96 = 4;
const COLORREF kShadowColour = RGB(96, 96, 96);
const COLORREF kGroundColour = RGB(160, 160, 160);

struct Preview {
    HWND window;
    HWND owner;
    PrintLayout layout;
    HENHMETAFILE* pages;  // recorded on first show, owned
    int page;
    int result;
    HFONT barFont;        // owned
    int dpi;
};
Preview gPreview;

int Px(int px96) { return ScalePx(px96, gPreview.dpi); }

HENHMETAFILE ShownPage() {
    Preview& preview = gPreview;
    if (!preview.pages || preview.page < 0 || preview.page >= preview.layout.pages.pageCount) return nullptr;
    HENHMETAFILE& page = preview.pages[preview.page];
    if (!page) page = RecordPreviewPage(&preview.layout, preview.page);
    return page;
}

void UpdateBar() {
    Preview& preview = gPreview;
    wchar_t label[64];
    swprintf(label, 64, L"Page %d of %d", preview.page + 1, (int)preview.layout.pages.pageCount);
    SetDlgItemTextW(preview.window, kPageLabelId, label);
    EnableWindow(GetDlgItem(preview.window, kPreviousId), preview.page > 0);
    EnableWindow(GetDlgItem(preview.window, kNextId), preview.page + 1 < preview.layout.pages.pageCount);
}

void ShowPage(int page) {
    int count = gPreview.layout.pages.pageCount;
    if (page >= count) page = count - 1;
    if (page < 0) page = 0;
    if (page == gPreview.page) return;
    gPreview.page = page;
    UpdateBar();
    InvalidateRect(gPreview.window, nullptr, FALSE);
}

RECT PaperArea(HWND window) {
    RECT client;
    GetClientRect(window, &client);
    client.top += Px(kBarHeight96);
    InflateRect(&client, -Px(kPaperMargin96), -Px(kPaperMargin96));
    return client;
}

// Drawn in memory first, so that paging never flickers.
void OnPaint(HWND window) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(window, &paint);
    RECT client;
    GetClientRect(window, &client);
    RECT below = client;
    below.top += Px(kBarHeight96);
    RECT bar = client;
    bar.bottom = below.top;
    FillRect(dc, &bar, GetSysColorBrush(COLOR_BTNFACE));
    int widthPx = below.right - below.left;
    int heightPx = below.bottom - below.top;
    if (widthPx > 0 && heightPx > 0) {
        HDC memory = CreateCompatibleDC(dc);
        HBITMAP bitmap = CreateCompatibleBitmap(dc, widthPx, heightPx);
        HGDIOBJ saved = SelectObject(memory, bitmap);
        SetViewportOrgEx(memory, -below.left, -below.top, nullptr);
        RECT area = PaperArea(window);
        COLORREF savedBrush = SetDCBrushColor(memory, kGroundColour);
        FillRect(memory, &below, (HBRUSH)GetStockObject(DC_BRUSH));
        SetDCBrushColor(memory, savedBrush);
        DrawPreviewPage(memory, &area, &gPreview.layout.paper, ShownPage());
        SetViewportOrgEx(memory, 0, 0, nullptr);
        BitBlt(dc, below.left, below.top, widthPx, heightPx, memory, 0, 0, SRCCOPY);
        SelectObject(memory, saved);
        DeleteObject(bitmap);
        DeleteDC(memory);
    }
    EndPaint(window, &paint);
}

void PlaceBar(HWND window) {
    int x = Px(kGap96);
    int y = Px(kGap96) / 2 + 1;
    int heightPx = Px(kBarHeight96) - Px(kGap96);
    const int ids[] = {kPreviousId, kNextId, kPageLabelId, kPrintId, kCloseId};
    for (int id : ids) {
        int widthPx = Px(id == kPageLabelId ? kLabelWidth96 : kButtonWidth96);
        int labelDropPx = id == kPageLabelId ? heightPx / 4 : 0;  // text level with the buttons'
        MoveWindow(GetDlgItem(window, id), x, y + labelDropPx, widthPx, heightPx - labelDropPx, TRUE);
        x += widthPx + Px(kGap96);
    }
}

HFONT CreateBarFont(int dpi) {
    NONCLIENTMETRICSW metrics;
    memset(&metrics, 0, sizeof metrics);
    metrics.cbSize = sizeof metrics;
    if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
    int systemDpi = SystemDpi();
    metrics.lfMessageFont.lfHeight = MulDiv(metrics.lfMessageFont.lfHeight, dpi, systemDpi ? systemDpi : kBaseDpi);
    return CreateFontIndirectW(&metrics.lfMessageFont);
}

void AddControl(HWND window, const wchar_t* className, const wchar_t* text, int id, DWORD style) {
    HWND control = CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 0, 0, 10, 10, window,
                                   (HMENU)(INT_PTR)id, gApp.instance, nullptr);
    if (control && gPreview.barFont) SendMessageW(control, WM_SETFONT, (WPARAM)gPreview.barFont, FALSE);
}

LRESULT OnCreate(HWND window) {
    gPreview.window = window;
    gPreview.dpi = WindowDpi(window);
    gPreview.barFont = CreateBarFont(gPreview.dpi);
    AddControl(window, L"Button", L"< &Previous", kPreviousId, WS_TABSTOP | BS_PUSHBUTTON);
    AddControl(window, L"Button", L"&Next >", kNextId, WS_TABSTOP | BS_DEFPUSHBUTTON);
    AddControl(window, L"Static", L"", kPageLabelId, SS_CENTER);
    AddControl(window, L"Button", L"&Print\u2026", kPrintId, WS_TABSTOP | BS_PUSHBUTTON);
    AddControl(window, L"Button", L"&Close", kCloseId, WS_TABSTOP | BS_PUSHBUTTON);
    PlaceBar(window);
    UpdateBar();
    return 0;
}

// The owner comes back before the preview goes, so that it is the one activated.
void ClosePreview(int result) {
    gPreview.result = result;
    if (gPreview.owner) EnableWindow(gPreview.owner, TRUE);
    DestroyWindow(gPreview.window);
}

LRESULT OnCommand(WPARAM wParam) {
    switch (LOWORD(wParam)) {
    case kPreviousId: ShowPage(gPreview.page - 1); return 0;
    case kNextId: ShowPage(gPreview.page + 1); return 0;
    case kPrintId: ClosePreview(kPreviewPrint); return 0;
    case kCloseId: ClosePreview(kPreviewClosed); return 0;
    default: return 0;
    }
}

// The paging keys work wherever the focus is in the preview.
bool TakePreviewKey(const MSG& message) {
    if (message.message != WM_KEYDOWN) return false;
    if (message.hwnd != gPreview.window && GetParent(message.hwnd) != gPreview.window) return false;
    switch (message.wParam) {
    case VK_NEXT:
    case VK_RIGHT:
    case VK_DOWN: ShowPage(gPreview.page + 1); return true;
    case VK_PRIOR:
    case VK_LEFT:
    case VK_UP: ShowPage(gPreview.page - 1); return true;
    case VK_HOME: ShowPage(0); return true;
    case VK_END: ShowPage(gPreview.layout.pages.pageCount - 1); return true;
    case 'P':
        if (GetKeyState(VK_CONTROL) >= 0) return false;
        ClosePreview(kPreviewPrint);
        return true;
    default: return false;
    }
}

bool RegisterPreviewClass() {
    WNDCLASSW windowClass;
    memset(&windowClass, 0, sizeof windowClass);
    if (GetClassInfoW(gApp.instance, kPreviewClass, &windowClass)) return true;
    windowClass.lpfnWndProc = PreviewWndProc;
    windowClass.hInstance = gApp.instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = (HBRUSH)(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = kPreviewClass;
    windowClass.hIcon = LoadIconW(gApp.instance, MAKEINTRESOURCEW(101));
    return RegisterClassW(&windowClass) != 0;
}

// Most of the height of the owner's screen, a little wider than a sheet
// standing upright, so that a page shows large and the bar fits.
RECT PreviewPlace(HWND owner) {
    MONITORINFO monitor;
    memset(&monitor, 0, sizeof monitor);
    monitor.cbSize = sizeof monitor;
    RECT work;
    if (GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) work = monitor.rcWork;
    else SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    int workWidth = work.right - work.left;
    int workHeight = work.bottom - work.top;
    int heightPx = workHeight * 9 / 10;
    int widthPx = heightPx * 17 / 20;
    int barPx = ScalePx(kBarWidth96, WindowDpi(owner));
    if (widthPx < barPx) widthPx = barPx;
    if (widthPx > workWidth) widthPx = workWidth;
    RECT place;
    place.left = work.left + (workWidth - widthPx) / 2;
    place.top = work.top + (workHeight - heightPx) / 2;
    place.right = place.left + widthPx;
    place.bottom = place.top + heightPx;
    return place;
}

void RunPreviewLoop() {
    MSG message = {};
    while (gPreview.window && GetMessageW(&message, nullptr, 0, 0) > 0) {
        if (TakePreviewKey(message)) continue;
        if (gPreview.window && IsDialogMessageW(gPreview.window, &message)) continue;
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    // A quit asked for meanwhile is the main loop's to see.
    if (message.message == WM_QUIT) PostQuitMessage((int)message.wParam);
}

void ReleasePreview() {
    for (int i = 0; gPreview.pages && i < gPreview.layout.pages.pageCount; i++)
        if (gPreview.pages[i]) DeleteEnhMetaFile(gPreview.pages[i]);
    PlatformFree(gPreview.pages);
    ReleasePrintLayout(&gPreview.layout);
    if (gPreview.barFont) DeleteObject(gPreview.barFont);
    memset(&gPreview, 0, sizeof gPreview);
}

}  // namespace

HENHMETAFILE RecordPreviewPage(PrintLayout* layout, int index) {
    const PaperMetrics& paper = layout->paper;
    RECT frame = {0, 0, MulDiv(paper.printableWidthPx, kHundredthsPerInch, paper.dpiX),
                  MulDiv(paper.printableHeightPx, kHundredthsPerInch, paper.dpiY)};
    HDC record = CreateEnhMetaFileW(layout->measureDc, nullptr, &frame, L"Lorvan\0Print Preview\0");
    if (!record) return nullptr;
    RenderPage(layout, record, index);
    return CloseEnhMetaFile(record);
}

void FitPaper(const PaperMetrics* paper, const RECT* area, RECT* sheet, RECT* printable) {
    // The sheet's shape in inches, so that unequal resolutions keep it.
    double sheetWidth = (double)paper->paperWidthPx / paper->dpiX;
    double sheetHeight = (double)paper->paperHeightPx / paper->dpiY;
    double areaWidth = area->right - area->left;
    double areaHeight = area->bottom - area->top;
    double scale = areaWidth / sheetWidth < areaHeight / sheetHeight ? areaWidth / sheetWidth : areaHeight / sheetHeight;
    int widthPx = (int)(sheetWidth * scale);
    int heightPx = (int)(sheetHeight * scale);
    sheet->left = area->left + (int)(areaWidth - widthPx) / 2;
    sheet->top = area->top + (int)(areaHeight - heightPx) / 2;
    sheet->right = sheet->left + widthPx;
    sheet->bottom = sheet->top + heightPx;
    double perDeviceX = scale / paper->dpiX;
    double perDeviceY = scale / paper->dpiY;
    printable->left = sheet->left + (int)(paper->offsetXPx * perDeviceX + 0.5);
    printable->top = sheet->top + (int)(paper->offsetYPx * perDeviceY + 0.5);
    printable->right = printable->left + (int)(paper->printableWidthPx * perDeviceX + 0.5);
    printable->bottom = printable->top + (int)(paper->printableHeightPx * perDeviceY + 0.5);
}

void DrawPreviewPage(HDC dc, const RECT* area, const PaperMetrics* paper, HENHMETAFILE page) {
    if (paper->dpiX <= 0 || paper->dpiY <= 0 || area->right <= area->left || area->bottom <= area->top) return;
    RECT sheet, printable;
    FitPaper(paper, area, &sheet, &printable);
    int shadowPx = ScalePx(kShadow96, gPreview.dpi ? gPreview.dpi : kBaseDpi);
    RECT shadow = sheet;
    OffsetRect(&shadow, shadowPx, shadowPx);
    COLORREF saved = SetDCBrushColor(dc, kShadowColour);
    FillRect(dc, &shadow, (HBRUSH)GetStockObject(DC_BRUSH));
    SetDCBrushColor(dc, saved);
    FillRect(dc, &sheet, (HBRUSH)GetStockObject(WHITE_BRUSH));
    if (page) PlayEnhMetaFile(dc, page, &printable);
}

int ShowPrintPreview(HWND owner, HDC printerDc, const PrintChoice* choice) {
    ReleasePreview();
    gPreview.owner = owner;
    PrintMargins margins = LoadPrintMargins();
    FontSpec font = FontForPrinting(printerDc, nullptr);
    int laidOut = LayOutForPrinter(printerDc, choice, &margins, &font, &gPreview.layout);
    if (laidOut != kPrintLaidOut) {
        ShowMessageBox(owner, PrintLayoutProblem(laidOut), kCaption, MB_OK | MB_ICONERROR);
        ReleasePreview();
        return kPreviewFailed;
    }
    size_t bytes = sizeof(HENHMETAFILE) * (size_t)gPreview.layout.pages.pageCount;
    gPreview.pages = (HENHMETAFILE*)PlatformAlloc(bytes);
    if (!gPreview.pages || !RegisterPreviewClass()) {
        ReleasePreview();
        return kPreviewFailed;
    }
    memset(gPreview.pages, 0, bytes);
    RECT place = PreviewPlace(owner);
    if (owner) EnableWindow(owner, FALSE);
    CreateWindowExW(0, kPreviewClass, L"Print Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                    place.left, place.top, place.right - place.left, place.bottom - place.top, owner, nullptr,
                    gApp.instance, nullptr);
    RunPreviewLoop();
    if (owner) {
        EnableWindow(owner, TRUE);
        SetForegroundWindow(owner);
    }
    int result = gPreview.result;
    ReleasePreview();
    return result;
}

LRESULT CALLBACK PreviewWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: OnPaint(window); return 0;
    case WM_ERASEBKGND: return 1;  // the paint covers all below the bar
    case WM_SIZE: InvalidateRect(window, nullptr, FALSE); return 0;
    case WM_COMMAND: return OnCommand(wParam);
    case WM_CLOSE: ClosePreview(kPreviewClosed); return 0;
    case WM_DESTROY: gPreview.window = nullptr; return 0;
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}
