#include "accessibility/access_thread.h"

#include "accessibility/uia_api.h"

namespace {

const wchar_t kCallWindowClass[] = L"LorvanAccessCalls";
const UINT kRunCallMessage = WM_APP + 0x2A1;
const UINT kCallTimeoutMs = 2000;

struct AccessThread {
    HWND callWindow;
    DWORD threadId;
};
AccessThread gAccessThread;

// A call lives on the heap, owned by both sides: a sender that stops waiting
// may leave its message in the queue, and the work (on the sender's stack)
// must then never run.
enum CallState : LONG { kCallWaiting = 0, kCallRunning = 1, kCallDone = 2, kCallAbandoned = 3 };

struct Call {
    AccessWork work;
    void* context;
    HRESULT result;
    volatile LONG state;
    volatile LONG owners;
};

void ReleaseCall(Call* call) {
    if (InterlockedDecrement(&call->owners) == 0) HeapFree(GetProcessHeap(), 0, call);
}

LRESULT CALLBACK CallWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kRunCallMessage) return DefWindowProcW(window, message, wParam, lParam);
    Call* call = (Call*)lParam;
    if (InterlockedCompareExchange(&call->state, kCallRunning, kCallWaiting) == kCallWaiting) {
        call->result = call->work(call->context);
        InterlockedExchange(&call->state, kCallDone);
    }
    ReleaseCall(call);
    return 1;
}

}  // namespace

bool StartAccessThread() {
    if (gAccessThread.callWindow) return true;
    HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = CallWindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kCallWindowClass;
    RegisterClassW(&windowClass);  // fails harmlessly when it is registered
    gAccessThread.callWindow =
        CreateWindowExW(0, kCallWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr);
    gAccessThread.threadId = GetCurrentThreadId();
    return gAccessThread.callWindow != nullptr;
}

void StopAccessThread() {
    if (gAccessThread.callWindow) DestroyWindow(gAccessThread.callWindow);
    gAccessThread = AccessThread{};
}

HRESULT RunOnAccessThread(AccessWork work, void* context) {
    if (!gAccessThread.callWindow) return kUiaElementNotAvailable;
    if (GetCurrentThreadId() == gAccessThread.threadId) return work(context);
    Call* call = (Call*)HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, sizeof(Call));
    if (!call) return E_OUTOFMEMORY;
    call->work = work;
    call->context = context;
    call->result = E_FAIL;
    call->owners = 2;
    DWORD_PTR answered = 0;
    if (!SendMessageTimeoutW(gAccessThread.callWindow, kRunCallMessage, 0, (LPARAM)call, SMTO_BLOCK, kCallTimeoutMs,
                             &answered)) {
        // Unanswered, the message may still wait in the queue with the
        // window's share; it then finds the call abandoned.
        if (InterlockedCompareExchange(&call->state, kCallAbandoned, kCallWaiting) != kCallWaiting) {
            while (call->state != kCallDone) Sleep(1);  // it runs now: its context must stay
            HRESULT result = call->result;
            ReleaseCall(call);
            return result;
        }
        ReleaseCall(call);
        return kUiaTimeout;
    }
    HRESULT result = call->result;
    ReleaseCall(call);
    return result;
}
