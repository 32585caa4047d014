// The dialog layer: the OK button that stands in for the caption's, its strip
// kept out of the dialog's sight, the keys it hands on, and the full-size
// set-up; and the edit control that draws book text in stored order.
#include <gtest/gtest.h>

#include <windows.h>

#include <functional>
#include <vector>

#include "platform/dialog_shell.h"
#include "platform/stored_order_edit.h"
#include "tests/win/pane_test_support.h"
#include "tests/win/reader_test_support.h"

namespace {

const WORD kBareDialog = 9001;
const WORD kDialogWithControl = 9002;
const UINT kRunChecks = WM_APP + 1;

// What the dialog under test saw, and the checks to run once it is up.
struct DialogProbe {
    std::vector<WPARAM> keys;
    std::vector<WPARAM> commands;
    int lastSizeHeight = -1;
    std::function<void(HWND)> checks;
};
DialogProbe* gProbe = nullptr;

INT_PTR CALLBACK ProbeDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG: PostMessageW(dialog, kRunChecks, 0, 0); return TRUE;
    case WM_SIZE: gProbe->lastSizeHeight = HIWORD(lParam); return 0;
    case WM_KEYDOWN: gProbe->keys.push_back(wParam); return 0;
    case kRunChecks:
        gProbe->checks(dialog);
        return 0;
    case WM_COMMAND:
        gProbe->commands.push_back(LOWORD(wParam));
        if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(dialog, LOWORD(wParam));
        return TRUE;
    default: return 0;
    }
}

INT_PTR RunProbe(WORD templateId, HWND owner, DialogProbe* probe) {
    gProbe = probe;
    INT_PTR result = RunDialogTemplate(GetModuleHandleW(nullptr), templateId, owner, ProbeDialogProc, 0);
    gProbe = nullptr;
    return result;
}

RECT ChildRect(HWND dialog, HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(nullptr, dialog, (POINT*)&rect, 2);
    return rect;
}

RECT WorkAreaOfOwner(HWND owner) {
    MONITORINFO monitor = {};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor);
    return monitor.rcWork;
}

HWND MakeOwner(int x, int y, int widthPx, int heightPx) {
    return CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, widthPx, heightPx, nullptr,
                           nullptr, GetModuleHandleW(nullptr), nullptr);
}

TEST(DialogShell, OkButtonSitsInAStripOfItsOwnAndEndsTheDialogWithOne) {
    DialogProbe probe;
    probe.checks = [&](HWND dialog) {
        HWND ok = GetDlgItem(dialog, IDOK);
        ASSERT_TRUE(ok && IsWindowVisible(ok));
        wchar_t text[8] = L"";
        GetWindowTextW(ok, text, 8);
        EXPECT_STREQ(text, L"OK");
        RECT content, client;
        GetDialogClientRect(dialog, &content);
        GetClientRect(dialog, &client);
        RECT button = ChildRect(dialog, ok);
        EXPECT_GE(button.top, content.bottom);  // below everything the dialog lays out
        EXPECT_LE(button.bottom, client.bottom);
        EXPECT_LE(button.right, client.right);
        EXPECT_GT(content.bottom, 0);
        // The template's own control keeps its place above the strip.
        HWND label = GetDlgItem(dialog, 100);
        ASSERT_TRUE(label);
        EXPECT_LE(ChildRect(dialog, label).bottom, content.bottom);
        SendMessageW(ok, BM_CLICK, 0, 0);
    };
    EXPECT_EQ(RunProbe(kDialogWithControl, nullptr, &probe), IDOK);
    EXPECT_EQ(probe.commands, std::vector<WPARAM>{IDOK});
}

// An owner smaller than the template leaves the dialog at the template's
// size, on the screen even when the owner sits in its corner.
TEST(DialogShell, FullSizeDialogTakesTheOwnersRectangleAndSeesItWithoutTheStrip) {
    HWND owner = MakeOwner(40, 30, 400, 480);
    DialogProbe probe;
    probe.checks = [&](HWND dialog) {
        RECT own, ownerRect, dialogRect, content;
        GetWindowRect(dialog, &own);
        InitFullScreenDialog(dialog, 30, FALSE);
        GetWindowRect(owner, &ownerRect);
        GetWindowRect(dialog, &dialogRect);
        EXPECT_TRUE(EqualRect(&ownerRect, &dialogRect));
        GetDialogClientRect(dialog, &content);
        EXPECT_EQ(probe.lastSizeHeight, content.bottom - content.top);

        RECT work = WorkAreaOfOwner(owner), onScreen;
        SetWindowPos(owner, nullptr, work.right - 120, work.bottom - 120, 120, 120, SWP_NOZORDER | SWP_NOACTIVATE);
        InitFullScreenDialog(dialog, 30, FALSE);
        GetWindowRect(dialog, &dialogRect);
        EXPECT_EQ(dialogRect.right - dialogRect.left, own.right - own.left);
        EXPECT_EQ(dialogRect.bottom - dialogRect.top, own.bottom - own.top);
        EXPECT_TRUE(IntersectRect(&onScreen, &dialogRect, &work) && EqualRect(&onScreen, &dialogRect));
        PostMessageW(dialog, WM_CLOSE, 0, 0);  // the close box
    };
    EXPECT_EQ(RunProbe(kBareDialog, owner, &probe), IDCANCEL);
    EXPECT_EQ(probe.commands, std::vector<WPARAM>{IDCANCEL});
    DestroyWindow(owner);
}

// Over an owner wider than a handheld's screen the dialog keeps a size of its
// own, centred over the owner and on the screen, resizable, and the size the
// user leaves comes back at the next opening. A narrow owner, one in the
// shell's full screen or one without its frame gets the full-size form.
TEST(DialogShell, DesktopFormIsCentredOnTheScreenResizableAndRemembered) {
    TestSettingsKeys keys;
    const DesktopDialogSize size = {360, 480, L"ProbeSize"};
    RECT work = WorkAreaOfOwner(nullptr);
    HWND owner = MakeOwner(work.left + 10, work.top + 10, 700, 500);
    EXPECT_TRUE(WantsDesktopDialog(owner, FALSE));
    EXPECT_FALSE(WantsDesktopDialog(owner, TRUE));
    DialogProbe probe;
    RECT kept = {};
    probe.checks = [&](HWND dialog) {
        InitReaderDialog(dialog, 30, FALSE, size);
        RECT ownerRect, rect;
        GetWindowRect(owner, &ownerRect);
        GetWindowRect(dialog, &rect);
        EXPECT_EQ(rect.right - rect.left, 360);
        EXPECT_EQ(rect.bottom - rect.top, 480);
        EXPECT_NEAR(rect.left + rect.right, ownerRect.left + ownerRect.right, 1);
        EXPECT_NEAR(rect.top + rect.bottom, ownerRect.top + ownerRect.bottom, 1);
        LONG_PTR style = GetWindowLongPtrW(dialog, GWL_STYLE);
        EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_THICKFRAME), WS_CAPTION | WS_SYSMENU | WS_THICKFRAME);
        SetWindowPos(dialog, nullptr, 0, 0, 400, 520, SWP_NOMOVE | SWP_NOZORDER);
        GetWindowRect(dialog, &kept);
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    };
    EXPECT_EQ(RunProbe(kBareDialog, owner, &probe), IDCANCEL);
    SIZE stored = StoredDialogSizePx96(size);
    EXPECT_EQ(stored.cx, kept.right - kept.left);
    EXPECT_EQ(stored.cy, kept.bottom - kept.top);
    // Damaged or absurd stored sizes are not used.
    for (DWORD bad : {(DWORD)0, (DWORD)MAKELONG(50, 400), (DWORD)MAKELONG(400, 60000), (DWORD)0xFFFFFFFF}) {
        PutDword(kTestProgramKey, L"ProbeSize", bad);
        EXPECT_EQ(StoredDialogSizePx96(size).cx, 360) << bad;
    }

    // Larger than the screen: no larger than the work area, and inside it.
    RECT owned = {work.left - 500, work.top, work.left + 100, work.top + 200};
    RECT fitted = DesktopDialogRect(SIZE{5000, 300}, owned, work), inside;
    EXPECT_EQ(fitted.right - fitted.left, work.right - work.left);
    EXPECT_TRUE(IntersectRect(&inside, &fitted, &work) && EqualRect(&inside, &fitted));

    SetWindowPos(owner, nullptr, 0, 0, 400, 500, SWP_NOMOVE | SWP_NOZORDER);
    EXPECT_FALSE(WantsDesktopDialog(owner, FALSE)) << "a handheld's width";
    SetWindowPos(owner, nullptr, 0, 0, 900, 500, SWP_NOMOVE | SWP_NOZORDER);
    SetWindowLongPtrW(owner, GWL_STYLE, GetWindowLongPtrW(owner, GWL_STYLE) & ~(LONG_PTR)WS_OVERLAPPEDWINDOW);
    EXPECT_FALSE(WantsDesktopDialog(owner, FALSE)) << "its frame put off for full screen";
    DestroyWindow(owner);
}

TEST(DialogShell, ScrollKeysOnTheOkButtonReachTheDialogAndOthersDoNot) {
    DialogProbe probe;
    probe.checks = [&](HWND dialog) {
        HWND ok = GetDlgItem(dialog, IDOK);
        for (WPARAM key : std::vector<WPARAM>{VK_NEXT, VK_PRIOR, VK_DOWN, VK_UP, VK_HOME, VK_END, (WPARAM)'A'})
            SendMessageW(ok, WM_KEYDOWN, key, 0);
        EXPECT_TRUE(SendMessageW(ok, WM_GETDLGCODE, VK_DOWN, 0) & DLGC_WANTARROWS);
        EndDialog(dialog, 7);
    };
    EXPECT_EQ(RunProbe(kBareDialog, nullptr, &probe), 7);
    EXPECT_EQ(probe.keys, (std::vector<WPARAM>{VK_NEXT, VK_PRIOR, VK_DOWN, VK_UP, VK_HOME, VK_END}));
}

TEST(DialogShell, MissingTemplateRunsNothing) {
    DialogProbe probe;
    probe.checks = [](HWND dialog) { EndDialog(dialog, 1); };
    EXPECT_EQ(RunProbe(9999, nullptr, &probe), -1);
}

// ---- Stored-order edit --------------------------------------------------------

const wchar_t kYodMems[] = L"\x05D9\x05DE\x05DE\x05DE";  // narrow yod first

struct EditUnderTest {
    HWND parent = nullptr;
    HWND edit = nullptr;
    HFONT font = nullptr;
    EditUnderTest(DWORD style, bool visible = false) {
        parent = CreateWindowExW(0, L"STATIC", L"", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 300, 120, nullptr, nullptr,
                                 GetModuleHandleW(nullptr), nullptr);
        edit = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | style, 10, 10, 240, 60, parent, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
        LOGFONTW logFont = {};
        logFont.lfHeight = -28;
        logFont.lfCharSet = DEFAULT_CHARSET;  // the Hebrew faces have no Western code page
        wcscpy(logFont.lfFaceName, kBookFace);
        font = CreateFontIndirectW(&logFont);
        SendMessageW(edit, WM_SETFONT, (WPARAM)font, FALSE);
        ShowEditInStoredOrder(edit);
        SetWindowTextW(edit, kYodMems);
    }
    ~EditUnderTest() {
        DestroyWindow(parent);
        DeleteObject(font);
    }
};

// Column span of the dark pixels of a canvas.
void InkColumns(const Canvas& canvas, int* first, int* last) {
    *first = canvas.widthPx;
    *last = -1;
    for (int y = 0; y < canvas.heightPx; y++)
        for (int x = 0; x < canvas.widthPx; x++)
            if ((canvas.At(x, y) & 0xFF) < 0x80) {
                if (x < *first) *first = x;
                if (x > *last) *last = x;
            }
}

TEST(StoredOrderEdit, DrawsTheTextAsStoredAtItsAlignment) {
    EditUnderTest subject(ES_RIGHT | ES_AUTOHSCROLL);
    RECT client;
    GetClientRect(subject.edit, &client);
    Canvas drawn(client.right, client.bottom);
    SendMessageW(subject.edit, WM_PRINTCLIENT, (WPARAM)drawn.dc, PRF_CLIENT);

    // The same characters drawn left to right as given, where the control
    // says its first character starts.
    Canvas expected(client.right, client.bottom);
    POINT start = StoredOrderCharPosition(subject.edit, 0);
    SelectObject(expected.dc, subject.font);
    SetBkMode(expected.dc, TRANSPARENT);
    ExtTextOutW(expected.dc, start.x, start.y, ETO_IGNORELANGUAGE, nullptr, kYodMems, 4, nullptr);
    int drawnFirst, drawnLast, expectedFirst, expectedLast;
    InkColumns(drawn, &drawnFirst, &drawnLast);
    InkColumns(expected, &expectedFirst, &expectedLast);
    ASSERT_LT(drawnFirst, drawnLast);
    EXPECT_EQ(drawnFirst, expectedFirst);
    EXPECT_EQ(drawnLast, expectedLast);
    for (int y = 0; y < client.bottom; y++)
        for (int x = 0; x < client.right; x++) ASSERT_EQ(drawn.At(x, y), expected.At(x, y)) << x << "," << y;
    // Right-aligned: the text ends at the right of the formatting rectangle.
    RECT area;
    SendMessageW(subject.edit, EM_GETRECT, 0, (LPARAM)&area);
    EXPECT_EQ(StoredOrderCharPosition(subject.edit, 4).x, area.right);

    // The yod, narrowest, is drawn first: its cell holds the yod alone.
    Canvas yod(client.right, client.bottom);
    SelectObject(yod.dc, subject.font);
    SetBkMode(yod.dc, TRANSPARENT);
    ExtTextOutW(yod.dc, start.x, start.y, 0, nullptr, kYodMems, 1, nullptr);
    int yodEnd = StoredOrderCharPosition(subject.edit, 1).x;
    int memWidth = StoredOrderCharPosition(subject.edit, 2).x - yodEnd;
    ASSERT_LT(4 * (yodEnd - start.x), 3 * memWidth);
    for (int y = 0; y < client.bottom; y++)
        for (int x = start.x; x < yodEnd; x++) ASSERT_EQ(drawn.At(x, y), yod.At(x, y)) << x << "," << y;
}

TEST(StoredOrderEdit, CaretClicksAndArrowsFollowStoredOrder) {
    EditUnderTest subject(ES_RIGHT | ES_AUTOHSCROLL, true);
    SetForegroundWindow(subject.parent);
    SetFocus(subject.edit);
    ASSERT_EQ(GetFocus(), subject.edit);
    SendMessageW(subject.edit, EM_SETSEL, 0, 0);
    POINT caret;
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, StoredOrderCharPosition(subject.edit, 0).x);

    // Text entered at the caret, then the caret put back before it, as the
    // search keyboard enters letters: the newest stays leftmost.
    SendMessageW(subject.edit, EM_REPLACESEL, TRUE, (LPARAM)L"\x05D0");
    DWORD start = 0, end = 0;
    SendMessageW(subject.edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, 1u);
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, StoredOrderCharPosition(subject.edit, 1).x);

    // A click between the third and fourth characters puts the caret there.
    POINT third = StoredOrderCharPosition(subject.edit, 3);
    SendMessageW(subject.edit, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(third.x + 1, third.y + 4));
    SendMessageW(subject.edit, WM_LBUTTONUP, 0, MAKELPARAM(third.x + 1, third.y + 4));
    SendMessageW(subject.edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, 3u);
    EXPECT_EQ(end, 3u);

    // Left goes to the character before in the text, which is drawn to the left.
    SendMessageW(subject.edit, WM_KEYDOWN, VK_LEFT, 0);
    SendMessageW(subject.edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, 2u);
    GetCaretPos(&caret);
    EXPECT_EQ(caret.x, StoredOrderCharPosition(subject.edit, 2).x);
    SendMessageW(subject.edit, WM_KEYDOWN, VK_HOME, 0);
    SendMessageW(subject.edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, 0u);
}

TEST(StoredOrderEdit, MultiLineWrapsWithinTheControl) {
    EditUnderTest subject(ES_MULTILINE | ES_RIGHT);
    std::wstring alphabet;
    for (wchar_t c = 0x05EA; c >= 0x05D0; c--) alphabet += c;
    SetWindowTextW(subject.edit, alphabet.c_str());
    RECT area;
    SendMessageW(subject.edit, EM_GETRECT, 0, (LPARAM)&area);
    int lines = 0, previousY = -1;
    for (int i = 0; i <= (int)alphabet.size(); i++) {
        POINT at = StoredOrderCharPosition(subject.edit, i);
        EXPECT_GE(at.x, area.left);
        EXPECT_LE(at.x, area.right);
        if (at.y != previousY) lines++;
        previousY = at.y;
    }
    EXPECT_GT(lines, 1);  // 27 letters at 28 px do not fit 240 px
}

}  // namespace
