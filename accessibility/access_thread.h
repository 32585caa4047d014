// Every call of a screen-reader client is answered on the thread of the
// windows it asks about: the platform may deliver provider calls on threads
// of its own, where the focus and the window state are not the reader's.
#pragma once

#include <windows.h>

#include <utility>

// Makes the current thread (the reader's message-loop thread) the one calls
// run on; a hidden window receives them. Idempotent.
bool StartAccessThread();
// Destroys the hidden window; calls after it fail with kUiaElementNotAvailable.
void StopAccessThread();

typedef HRESULT (*AccessWork)(void* context);
// Runs `work` on the access thread: at once when called on it, else by a
// message that waits at most two seconds (kUiaTimeout after that).
HRESULT RunOnAccessThread(AccessWork work, void* context);

// RunOnAccessThread for a lambda returning HRESULT.
template <typename Work>
HRESULT OnAccessThread(Work&& work) {
    return RunOnAccessThread([](void* context) -> HRESULT { return (*(Work*)context)(); }, (void*)&work);
}
