#include "tests/support/first_paint_watch.h"

#include <wchar.h>

namespace {

struct FirstPaintWatch {
    const wchar_t* title;
    DialogAction act;
    void* actContext;
    int patience;
    int messages;
    bool painted;
    bool acted;
};
FirstPaintWatch gWatch;

bool HasWatchedTitle(HWND window) {
    wchar_t title[64] = L"";
    GetWindowTextW(window, title, 64);
    return wcscmp(title, gWatch.title) == 0;
}

LRESULT CALLBACK WatchDialogMessages(int code, WPARAM wParam, LPARAM lParam) {
    MSG* message = (MSG*)lParam;
    if (code == HC_ACTION && wParam == PM_REMOVE && !gWatch.acted && HasWatchedTitle(message->hwnd)) {
        bool outOfPatience = gWatch.patience > 0 && ++gWatch.messages > gWatch.patience;
        if (gWatch.painted || outOfPatience) {
            gWatch.acted = true;
            gWatch.act(message->hwnd, gWatch.actContext);
        } else if (message->message == WM_PAINT) {
            gWatch.painted = true;
            PostMessageW(message->hwnd, WM_NULL, 0, 0);  // something to take after the paint
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

}  // namespace

bool ActAfterFirstPaint(const wchar_t* title, void (*open)(void* context), void* openContext, DialogAction act,
                        void* actContext, int patience) {
    gWatch = FirstPaintWatch{title, act, actContext, patience, 0, false, false};
    HHOOK hook = SetWindowsHookExW(WH_GETMESSAGE, WatchDialogMessages, nullptr, GetCurrentThreadId());
    open(openContext);
    UnhookWindowsHookEx(hook);
    return gWatch.acted;
}

void CancelDialog(HWND dialog, void*) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); }
