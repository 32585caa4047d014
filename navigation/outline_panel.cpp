#include "navigation/outline_panel.h"

#include <windowsx.h>

#include "app/app_state.h"
#include "accessibility/outline_access.h"
#include "app/commands.h"
#include "navigation/history.h"
#include "navigation/outline_view.h"
#include "panes/split_view.h"
#include "panes/theme.h"
#include "platform/dpi.h"
#include "platform/out_of_memory.h"

namespace {

const wchar_t kPanelClass[] = L"LorvanOutline";
// Its own dc, which the outline keeps its fonts selected in between paints.
const UINT kPanelClassStyle = CS_OWNDC;
const DWORD kPanelStyle = WS_CHILD | WS_VSCROLL | WS_CLIPSIBLINGS;

// Pixels at 96 DPI: the strip along the panel's left edge, where a press
// drags the width; a line at its outer side, and while the panel has the
// keyboard the accent beside it, as an active pane has.
const int kEdgePx = 6;
const int kEdgeLinePx = 1;
const int kAccentPx = 3;

struct OutlinePanel {
    HWND window;
    HWND mainWindow;
    OutlineView view;
    bool dragging;
    int dragGrabPx;  // where in the edge the press took hold
    bool focused;    // the panel holds the keyboard
};
OutlinePanel gPanel;

// The panel is drawn at its main window's resolution.
int EdgePx() { return ScalePx(kEdgePx, ReaderDpi()); }

// Shown by its own style: the main window itself may not show yet.
bool PanelShown() { return gPanel.window && (GetWindowLongPtrW(gPanel.window, GWL_STYLE) & WS_VISIBLE); }

bool HasFocus() { return gPanel.window && GetFocus() == gPanel.window; }

// The strip itself: the page, the line, and the accent while focused.
void PaintEdge() {
    RECT client;
    GetClientRect(gPanel.window, &client);
    const Palette& palette = CurrentPalette();
    HDC dc = gPanel.view.dc;
    RECT strip = {0, 0, gPanel.view.leftInsetPx, client.bottom};
    FillWithColour(dc, strip, palette.page);
    RECT line = {0, 0, ScalePx(kEdgeLinePx, ReaderDpi()), client.bottom};
    FillWithColour(dc, line, palette.statusEdge);
    if (!gPanel.focused) return;
    RECT accent = {line.right, 0, line.right + ScalePx(kAccentPx, ReaderDpi()), client.bottom};
    FillWithColour(dc, accent, palette.accent);
}

void PaintPanel() {
    if (!gPanel.view.dc || ProgramEnding()) return;
    PaintEdge();
    PaintOutline(&gPanel.view);
}

// The outline at its first showing, for the section current then.
void BuildPanelOutline() {
    if (gPanel.view.grid || ProgramEnding()) return;
    ReadOutlineRect(&gPanel.view);
    if (BuildOutline(&gPanel.view, gApp.lesson)) ListOutline(&gPanel.view);
}

bool OnEdge(int x) { return x >= 0 && x < gPanel.view.leftInsetPx; }

// The share of the main window's width the panel takes when its left edge
// stands at `edgeX` of the main window's client area.
int PercentAt(int edgeX) {
    RECT client;
    GetClientRect(gPanel.mainWindow, &client);
    if (client.right <= 0) return gView.outlinePanelPercent;
    int percent = (int)(((int64_t)(client.right - edgeX) * 100 + client.right / 2) / client.right);
    if (percent < kMinOutlinePanelPercent) return kMinOutlinePanelPercent;
    return percent > kMaxOutlinePanelPercent ? kMaxOutlinePanelPercent : percent;
}

// A link goes there, noted for Back, and the panel stays.
void GoToLink(uint16_t section) {
    if (section == gApp.lesson) return;
    BookPlace before = CurrentPlace();
    if (GoToSection(gPanel.mainWindow, section) == 0) NoteMove(before);
}

// ---- Message handlers --------------------------------------------------------

LRESULT OnCreate(HWND window) {
    gPanel.window = window;
    gPanel.view.window = window;
    gPanel.view.dc = GetDC(window);
    gPanel.view.fontSpec = &gApp.font;
    gPanel.view.choose = GoToLink;
    return gPanel.view.dc ? 0 : -1;
}

LRESULT OnSize() {
    gPanel.view.leftInsetPx = EdgePx();
    if (!gPanel.view.grid) return 0;
    ResizeOutline(&gPanel.view);
    PaintEdge();
    return 0;
}

LRESULT OnPaint(HWND window) {
    PAINTSTRUCT paint;
    BeginPaint(window, &paint);
    PaintPanel();
    EndPaint(window, &paint);
    return 0;
}

// Keys of the outline are the chooser's; F6 and Escape give the keyboard
// back to the panes, and every other key reaches the reader as from the panes.
LRESULT OnKeyDown(WPARAM key) {
    if (OutlineKey(&gPanel.view, key)) return 0;
    if (key == VK_F6 || key == VK_ESCAPE) {
        if (key == VK_F6) ActivateMainPane();  // round to the first place again
        SetFocus(gPanel.mainWindow);
        return 0;
    }
    SendMessageW(gPanel.mainWindow, WM_KEYDOWN, key, 0);
    return 0;
}

// A fold has repainted.
LRESULT OnLeftButtonDown(HWND window, LPARAM lParam) {
    SetFocus(window);
    int x = GET_X_LPARAM(lParam);
    if (OnEdge(x)) {
        gPanel.dragging = true;
        gPanel.dragGrabPx = x;
        SetCapture(window);
        return 0;
    }
    OutlineTap(&gPanel.view, lParam);
    return 0;
}

// The main window lays itself out again with the new share.
LRESULT OnMouseMove(HWND window, LPARAM lParam) {
    if (!gPanel.dragging) return 0;
    POINT point = {GET_X_LPARAM(lParam) - gPanel.dragGrabPx, 0};
    MapWindowPoints(window, gPanel.mainWindow, &point, 1);
    int percent = PercentAt(point.x);
    if (percent == gView.outlinePanelPercent) return 0;
    gView.outlinePanelPercent = percent;
    SendMessageW(gPanel.mainWindow, WM_SIZE, SIZE_RESTORED, kRelayoutMarker);
    InvalidateRect(gPanel.mainWindow, nullptr, TRUE);
    return 0;
}

LRESULT OnButtonUp(HWND window) {
    if (!gPanel.dragging) return 0;
    gPanel.dragging = false;
    if (GetCapture() == window) ReleaseCapture();
    return 0;
}

LRESULT OnSetCursor(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    POINT pointer;
    bool edge = LOWORD(lParam) == HTCLIENT && GetCursorPos(&pointer) && ScreenToClient(window, &pointer) &&
                OnEdge(pointer.x);
    if (!edge && !gPanel.dragging) return DefWindowProcW(window, message, wParam, lParam);
    SetCursor(LoadCursorW(nullptr, MAKEINTRESOURCEW(32644)));  // IDC_SIZEWE
    return TRUE;
}

// The accent of the edge follows the keyboard.
LRESULT OnFocusChange(bool focused) {
    gPanel.focused = focused;
    if (gPanel.view.dc && !ProgramEnding()) PaintEdge();
    return 0;
}

LRESULT OnDestroy() {
    ReleaseOutline(&gPanel.view);
    if (gPanel.view.dc) ReleaseDC(gPanel.window, gPanel.view.dc);
    gPanel = OutlinePanel{};
    return 0;
}

LRESULT CALLBACK OutlinePanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (ProgramEnding() && message != WM_DESTROY && message != WM_NCDESTROY)
        return DefWindowProcW(window, message, wParam, lParam);
    switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_SIZE: return OnSize();
    case WM_PAINT: return OnPaint(window);
    case WM_ERASEBKGND: return 1;  // the paint fills every pixel
    case WM_KEYDOWN: return OnKeyDown(wParam);
    case WM_VSCROLL: OutlineScroll(&gPanel.view, message, wParam, lParam); return 0;
    case WM_MOUSEWHEEL: OutlineWheel(&gPanel.view, wParam); return 0;
    case WM_LBUTTONDOWN: return OnLeftButtonDown(window, lParam);
    case WM_MOUSEMOVE: return OnMouseMove(window, lParam);
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED: return OnButtonUp(window);
    case WM_SETCURSOR: return OnSetCursor(window, message, wParam, lParam);
    case WM_SETFOCUS: return OnFocusChange(true);
    case WM_KILLFOCUS: return OnFocusChange(false);
    case WM_GETOBJECT: return AnswerOutlineObject(&gPanel.view, wParam, lParam);
    case WM_DESTROY: return OnDestroy();
    default: return DefWindowProcW(window, message, wParam, lParam);
    }
}

bool RegisterPanelClass(HINSTANCE instance) {
    WNDCLASSW panelClass = {};
    if (GetClassInfoW(instance, kPanelClass, &panelClass)) return true;
    panelClass.style = kPanelClassStyle;
    panelClass.lpfnWndProc = OutlinePanelProc;
    panelClass.hInstance = instance;
    panelClass.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));  // IDC_ARROW
    panelClass.lpszClassName = kPanelClass;
    return RegisterClassW(&panelClass) != 0;
}

}  // namespace

int UsableOutlinePanelPercent(int percent) {
    if (percent <= 0) return kDefaultOutlinePanelPercent;
    if (percent < kMinOutlinePanelPercent) return kMinOutlinePanelPercent;
    return percent > kMaxOutlinePanelPercent ? kMaxOutlinePanelPercent : percent;
}

int OutlinePanelWidthPx(int clientWidthPx) {
    if (clientWidthPx <= 0) return 0;
    return (int)((int64_t)clientWidthPx * UsableOutlinePanelPercent(gView.outlinePanelPercent) / 100);
}

void CreateOutlinePanel(HWND mainWindow) {
    if (gPanel.window || !RegisterPanelClass(gApp.instance)) return;
    gPanel.mainWindow = mainWindow;
    CreateWindowExW(0, kPanelClass, L"Outline", kPanelStyle, 0, 0, 0, 0, mainWindow, nullptr, gApp.instance, nullptr);
    if (!gPanel.window) gPanel.mainWindow = nullptr;
}

void PlaceOutlinePanel(const RECT& rect) {
    HWND window = gPanel.window;
    if (!window) return;
    bool shown = rect.right > rect.left && rect.bottom > rect.top;
    if (!shown) {
        // The keyboard must not stay in a window nobody sees.
        if (HasFocus()) SetFocus(gPanel.mainWindow);
        ShowWindow(window, SW_HIDE);
        return;
    }
    gPanel.view.leftInsetPx = EdgePx();
    MoveWindow(window, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
    BuildPanelOutline();
    if (!PanelShown()) ShowWindow(window, SW_SHOWNA);
    FollowOutlineSection(&gPanel.view, gApp.lesson);  // it may have moved while the panel was hidden
    InvalidateRect(window, nullptr, FALSE);
}

void FollowOutlinePanel(uint16_t section) {
    if (!PanelShown()) return;
    FollowOutlineSection(&gPanel.view, section);
}

void RefreshOutlinePanel() {
    if (!PanelShown()) return;
    gPanel.view.leftInsetPx = EdgePx();
    InvalidateRect(gPanel.window, nullptr, FALSE);
}

bool SwitchOutlineFocus(HWND mainWindow) {
    if (!PanelShown()) return false;
    SetFocus(HasFocus() ? mainWindow : gPanel.window);
    return true;
}

HWND OutlinePanelWindow() { return gPanel.window; }

const SectionGrid* OutlinePanelGrid() { return gPanel.view.grid; }
