#include "platform/stored_order_edit.h"

#include <stdlib.h>

namespace {

const wchar_t kStateProp[] = L"LorvanStoredOrderEdit";
const int kMaxLines = 64;  // a multi-line edit wraps at most this often; the rest stays on the last line

// What the subclass keeps beside the control; freed at WM_NCDESTROY.
struct StoredOrderEdit {
    WNDPROC original;
    int anchor;      // the fixed end of a selection made by mouse or Shift
    int caret;       // the moving end
    int scrollPx;    // a single line wider than the control is shifted by this
    bool dragging;
};

// The control's text broken into lines as it is drawn.
struct EditLines {
    wchar_t* text;  // owned, freed by FreeLines
    int length;
    int starts[kMaxLines + 1];
    int count;
    int heightPx;
    RECT area;  // the formatting rectangle
};

StoredOrderEdit* StateOf(HWND edit) { return (StoredOrderEdit*)GetPropW(edit, kStateProp); }

bool IsMultiLine(HWND edit) { return (GetWindowLongPtrW(edit, GWL_STYLE) & ES_MULTILINE) != 0; }

int WidthOf(HDC dc, const wchar_t* text, int length) {
    SIZE size = {0, 0};
    if (length > 0) GetTextExtentPoint32W(dc, text, length, &size);
    return size.cx;
}

// How many of `length` characters fit `widthPx`; at least one, so a line
// narrower than a character still moves on.
int FitCount(HDC dc, const wchar_t* text, int length, int widthPx) {
    int fit = 0;
    SIZE size;
    GetTextExtentExPointW(dc, text, length, widthPx, &fit, nullptr, &size);
    return fit > 0 ? fit : 1;
}

void BreakLines(HWND edit, HDC dc, EditLines* lines) {
    lines->count = 1;
    lines->starts[0] = 0;
    if (!IsMultiLine(edit)) {
        lines->starts[1] = lines->length;
        return;
    }
    int widthPx = lines->area.right - lines->area.left;
    int at = 0;
    while (lines->count < kMaxLines) {
        int rest = lines->length - at;
        int fit = rest > 0 ? FitCount(dc, lines->text + at, rest, widthPx) : 0;
        if (fit >= rest) break;
        at += fit;
        lines->starts[lines->count++] = at;
    }
    lines->starts[lines->count] = lines->length;
}

// Reads the text and lays it out with the control's font selected into `dc`.
bool ReadLines(HWND edit, HDC dc, EditLines* lines) {
    lines->length = GetWindowTextLengthW(edit);
    lines->text = (wchar_t*)calloc((size_t)lines->length + 1, sizeof(wchar_t));
    if (!lines->text) return false;
    GetWindowTextW(edit, lines->text, lines->length + 1);
    lines->length = lstrlenW(lines->text);
    SendMessageW(edit, EM_GETRECT, 0, (LPARAM)&lines->area);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    lines->heightPx = metrics.tmHeight > 0 ? metrics.tmHeight : 1;
    BreakLines(edit, dc, lines);
    return true;
}

void FreeLines(EditLines* lines) {
    free(lines->text);
    lines->text = nullptr;
}

int LineOf(const EditLines* lines, int index) {
    int line = 0;
    while (line + 1 < lines->count && index >= lines->starts[line + 1]) line++;
    return line;
}

// Where a line starts on the left, by the control's alignment.
int LineLeft(HWND edit, HDC dc, const EditLines* lines, int line) {
    const StoredOrderEdit* state = StateOf(edit);
    int start = lines->starts[line];
    int widthPx = WidthOf(dc, lines->text + start, lines->starts[line + 1] - start);
    LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
    int left = lines->area.left;
    if (style & ES_RIGHT) left = lines->area.right - widthPx;
    else if (style & ES_CENTER) left = lines->area.left + (lines->area.right - lines->area.left - widthPx) / 2;
    return left + (state ? state->scrollPx : 0);
}

POINT PositionOf(HWND edit, HDC dc, const EditLines* lines, int index) {
    if (index < 0) index = 0;
    if (index > lines->length) index = lines->length;
    int line = LineOf(lines, index);
    int start = lines->starts[line];
    POINT at;
    at.x = LineLeft(edit, dc, lines, line) + WidthOf(dc, lines->text + start, index - start);
    at.y = lines->area.top + line * lines->heightPx;
    return at;
}

// The character boundary nearest to a point.
int IndexAt(HWND edit, HDC dc, const EditLines* lines, int x, int y) {
    int line = (y - lines->area.top) / lines->heightPx;
    if (line < 0) line = 0;
    if (line >= lines->count) line = lines->count - 1;
    int best = lines->starts[line];
    int bestDistance = abs(PositionOf(edit, dc, lines, best).x - x);
    for (int i = best + 1; i <= lines->starts[line + 1]; i++) {
        int distance = abs(PositionOf(edit, dc, lines, i).x - x);
        if (distance < bestDistance) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

// Keeps the caret of a single-line control inside it.
void ScrollToCaret(HWND edit, HDC dc, const EditLines* lines, StoredOrderEdit* state) {
    if (IsMultiLine(edit)) return;
    int caretX = PositionOf(edit, dc, lines, state->caret).x;
    if (caretX < lines->area.left) state->scrollPx += lines->area.left - caretX;
    else if (caretX > lines->area.right - 1) state->scrollPx -= caretX - (lines->area.right - 1);
    // With room to spare, the text sits where its alignment puts it.
    if (WidthOf(dc, lines->text, lines->length) <= lines->area.right - lines->area.left) state->scrollPx = 0;
}

// Runs `step` on the control's text laid out with its font.
template <typename Step>
void WithLines(HWND edit, Step step) {
    HDC dc = GetDC(edit);
    if (!dc) return;
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageW(edit, WM_GETFONT, 0, 0));
    EditLines lines = {};
    if (ReadLines(edit, dc, &lines)) step(dc, &lines);
    FreeLines(&lines);
    SelectObject(dc, oldFont);
    ReleaseDC(edit, dc);
}

void PlaceCaret(HWND edit, StoredOrderEdit* state) {
    if (GetFocus() != edit) return;
    WithLines(edit, [&](HDC dc, EditLines* lines) {
        ScrollToCaret(edit, dc, lines, state);
        POINT at = PositionOf(edit, dc, lines, state->caret);
        SetCaretPos(at.x, at.y);
    });
}

// Picks up selection changes made by the control itself (typing, undo, a
// replaced selection) or by its owner: a collapsed selection is the caret.
void FollowSelection(HWND edit, StoredOrderEdit* state, WNDPROC original) {
    DWORD start = 0, end = 0;
    CallWindowProcW(original, edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    int low = state->anchor < state->caret ? state->anchor : state->caret;
    int high = state->anchor < state->caret ? state->caret : state->anchor;
    if ((int)start == low && (int)end == high) return;
    state->anchor = (int)start;
    state->caret = (int)end;
}

void Select(HWND edit, StoredOrderEdit* state, int anchor, int caret) {
    state->anchor = anchor;
    state->caret = caret;
    CallWindowProcW(state->original, edit, EM_SETSEL, (WPARAM)anchor, (LPARAM)caret);
    InvalidateRect(edit, nullptr, FALSE);
}

void DrawLine(HDC dc, const EditLines* lines, int line, POINT at, int selectionStart, int selectionEnd) {
    int start = lines->starts[line];
    int end = lines->starts[line + 1];
    ExtTextOutW(dc, at.x, at.y, ETO_CLIPPED | ETO_IGNORELANGUAGE, &lines->area, lines->text + start, (UINT)(end - start),
                nullptr);
    int from = selectionStart > start ? selectionStart : start;
    int to = selectionEnd < end ? selectionEnd : end;
    if (from >= to) return;
    COLORREF oldText = SetTextColor(dc, GetSysColor(COLOR_HIGHLIGHTTEXT));
    COLORREF oldBack = SetBkColor(dc, GetSysColor(COLOR_HIGHLIGHT));
    int x = at.x + WidthOf(dc, lines->text + start, from - start);
    RECT cell = {x, at.y, x + WidthOf(dc, lines->text + from, to - from), at.y + lines->heightPx};
    IntersectRect(&cell, &cell, &lines->area);
    ExtTextOutW(dc, x, at.y, ETO_CLIPPED | ETO_OPAQUE | ETO_IGNORELANGUAGE, &cell, lines->text + from, (UINT)(to - from),
                nullptr);
    SetBkColor(dc, oldBack);
    SetTextColor(dc, oldText);
}

// Our text over the control's own drawing: the control paints its frame,
// margins and background itself (on some platforms the frame lies inside the
// client area), then the formatting rectangle gets the text as stored.
void PaintText(HWND edit, HDC dc) {
    StoredOrderEdit* state = StateOf(edit);
    LONG_PTR style = GetWindowLongPtrW(edit, GWL_STYLE);
    bool editable = IsWindowEnabled(edit) && !(style & ES_READONLY);
    HBRUSH brush = (HBRUSH)SendMessageW(GetParent(edit), editable ? WM_CTLCOLOREDIT : WM_CTLCOLORSTATIC, (WPARAM)dc,
                                        (LPARAM)edit);
    HGDIOBJ oldFont = SelectObject(dc, (HFONT)SendMessageW(edit, WM_GETFONT, 0, 0));
    int oldMode = SetBkMode(dc, TRANSPARENT);
    EditLines lines = {};
    if (ReadLines(edit, dc, &lines)) {
        FillRect(dc, &lines.area, brush ? brush : GetSysColorBrush(COLOR_WINDOW));
        bool focused = GetFocus() == edit;
        int low = state->anchor < state->caret ? state->anchor : state->caret;
        int high = state->anchor < state->caret ? state->caret : state->anchor;
        for (int line = 0; line < lines.count; line++) {
            POINT at = {LineLeft(edit, dc, &lines, line), lines.area.top + line * lines.heightPx};
            DrawLine(dc, &lines, line, at, focused ? low : 0, focused ? high : 0);
        }
    }
    FreeLines(&lines);
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldFont);
}

// Paints in a memory context first, so the control's own text, drawn in its
// own order, never shows.
void Paint(HWND edit, HDC dc) {
    RECT client;
    GetClientRect(edit, &client);
    HDC memory = CreateCompatibleDC(dc);
    HBITMAP bitmap = CreateCompatibleBitmap(dc, client.right > 0 ? client.right : 1, client.bottom > 0 ? client.bottom : 1);
    if (!memory || !bitmap) {
        PaintText(edit, dc);
    } else {
        HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
        FillRect(memory, &client, GetSysColorBrush(COLOR_WINDOW));
        CallWindowProcW(StateOf(edit)->original, edit, WM_PRINTCLIENT, (WPARAM)memory, PRF_CLIENT);
        PaintText(edit, memory);
        BitBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, SRCCOPY);
        SelectObject(memory, oldBitmap);
    }
    if (bitmap) DeleteObject(bitmap);
    if (memory) DeleteDC(memory);
}

LRESULT OnPaint(HWND edit, WPARAM wParam) {
    if (wParam) {  // WM_PRINTCLIENT, or a caller that paints into its own context
        Paint(edit, (HDC)wParam);
        return 0;
    }
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(edit, &paint);
    if (dc) Paint(edit, dc);
    EndPaint(edit, &paint);
    PlaceCaret(edit, StateOf(edit));
    return 0;
}

void OnButtonDown(HWND edit, StoredOrderEdit* state, LPARAM lParam) {
    SetFocus(edit);
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    int index = 0;
    WithLines(edit, [&](HDC dc, EditLines* lines) { index = IndexAt(edit, dc, lines, x, y); });
    Select(edit, state, index, index);
    state->dragging = true;
    SetCapture(edit);
}

void OnMouseMove(HWND edit, StoredOrderEdit* state, LPARAM lParam) {
    if (!state->dragging) return;
    int x = (short)LOWORD(lParam), y = (short)HIWORD(lParam);
    int index = state->caret;
    WithLines(edit, [&](HDC dc, EditLines* lines) { index = IndexAt(edit, dc, lines, x, y); });
    if (index != state->caret) Select(edit, state, state->anchor, index);
}

void OnButtonUp(StoredOrderEdit* state) {
    if (!state->dragging) return;
    state->dragging = false;
    ReleaseCapture();
}

// The caret's new place for a movement key, in stored order: Left goes to the
// character before, Right to the one after, Up and Down a line.
int MovedCaret(HWND edit, StoredOrderEdit* state, WPARAM key) {
    int moved = state->caret;
    WithLines(edit, [&](HDC dc, EditLines* lines) {
        int line = LineOf(lines, state->caret);
        POINT at = PositionOf(edit, dc, lines, state->caret);
        switch (key) {
        case VK_LEFT: moved = state->caret - 1; break;
        case VK_RIGHT: moved = state->caret + 1; break;
        case VK_HOME: moved = lines->starts[line]; break;
        case VK_END: moved = lines->starts[line + 1]; break;
        case VK_UP: moved = line > 0 ? IndexAt(edit, dc, lines, at.x, at.y - lines->heightPx) : state->caret; break;
        case VK_DOWN:
            moved = line + 1 < lines->count ? IndexAt(edit, dc, lines, at.x, at.y + lines->heightPx) : state->caret;
            break;
        }
        if (moved < 0) moved = 0;
        if (moved > lines->length) moved = lines->length;
    });
    return moved;
}

bool IsMovementKey(WPARAM key) {
    return key == VK_LEFT || key == VK_RIGHT || key == VK_HOME || key == VK_END || key == VK_UP || key == VK_DOWN;
}

void OnMovementKey(HWND edit, StoredOrderEdit* state, WPARAM key) {
    int caret = MovedCaret(edit, state, key);
    bool extend = GetKeyState(VK_SHIFT) < 0;
    Select(edit, state, extend ? state->anchor : caret, caret);
}

// Messages after which the control may show something else: its text, its
// selection, its font, its size or its focus changed.
bool ChangesLook(UINT message) {
    switch (message) {
    case WM_CHAR:
    case WM_KEYDOWN:
    case WM_SETTEXT:
    case WM_SETFONT:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_SIZE:
    case WM_ENABLE:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
    case EM_UNDO:
    case EM_SETSEL:
    case EM_REPLACESEL:
    case EM_SETREADONLY: return true;
    default: return false;
    }
}

LRESULT CALLBACK StoredOrderEditProc(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
    StoredOrderEdit* state = StateOf(edit);
    if (!state) return DefWindowProcW(edit, message, wParam, lParam);
    WNDPROC original = state->original;
    switch (message) {
    case WM_PAINT: return OnPaint(edit, wParam);
    case WM_PRINTCLIENT: return OnPaint(edit, wParam);
    case WM_ERASEBKGND: return 1;  // painting fills the whole control
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: OnButtonDown(edit, state, lParam); break;
    case WM_MOUSEMOVE: OnMouseMove(edit, state, lParam); break;
    case WM_LBUTTONUP: OnButtonUp(state); break;
    case WM_KEYDOWN:
        if (!IsMovementKey(wParam)) return CallWindowProcW(original, edit, message, wParam, lParam);
        OnMovementKey(edit, state, wParam);
        break;
    case WM_NCDESTROY:
        SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)original);
        RemovePropW(edit, kStateProp);
        free(state);
        return CallWindowProcW(original, edit, message, wParam, lParam);
    default: {
        LRESULT result = CallWindowProcW(original, edit, message, wParam, lParam);
        if (!ChangesLook(message)) return result;
        // Whatever the control did to its text or selection, draw it again
        // our way and put the caret where we draw it.
        FollowSelection(edit, state, original);
        InvalidateRect(edit, nullptr, FALSE);
        PlaceCaret(edit, state);
        return result;
    }
    }
    PlaceCaret(edit, state);
    return 0;
}

}  // namespace

BOOL ShowEditInStoredOrder(HWND edit) {
    if (!IsWindow(edit)) return FALSE;
    if (StateOf(edit)) return TRUE;
    StoredOrderEdit* state = (StoredOrderEdit*)calloc(1, sizeof(StoredOrderEdit));
    if (!state) return FALSE;
    state->original = (WNDPROC)GetWindowLongPtrW(edit, GWLP_WNDPROC);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    state->anchor = (int)start;
    state->caret = (int)end;
    SetPropW(edit, kStateProp, state);
    SetWindowLongPtrW(edit, GWLP_WNDPROC, (LONG_PTR)StoredOrderEditProc);
    InvalidateRect(edit, nullptr, TRUE);
    return TRUE;
}

POINT StoredOrderCharPosition(HWND edit, int index) {
    POINT at = {0, 0};
    WithLines(edit, [&](HDC dc, EditLines* lines) { at = PositionOf(edit, dc, lines, index); });
    return at;
}
