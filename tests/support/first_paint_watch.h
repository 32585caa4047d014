// Acting on a modal dialog once it is up: the test and benchmark programs
// open it by its command, which returns only when it has closed, and act
// from a hook on the thread's messages.
#pragma once

#include <windows.h>

typedef void (*DialogAction)(HWND dialog, void* context);

// Calls `open(openContext)`. At the first message that the dialog titled
// `title` takes after its first paint (or after `patience` of its messages
// when it never paints; 0 waits for the paint), `act(dialog, actContext)`
// runs, once; the action ends the dialog itself. Returns whether it ran.
bool ActAfterFirstPaint(const wchar_t* title, void (*open)(void* context), void* openContext, DialogAction act,
                        void* actContext, int patience);

// An action that ends the dialog with IDCANCEL.
void CancelDialog(HWND dialog, void* context);
