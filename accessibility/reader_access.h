// The reader's window to screen readers: a UI Automation tree and an MSAA
// object over the same parts, both made when a client first asks, and the
// events that tell it of each move. Until then nothing is built and the
// panes tell nobody of their moves.
#pragma once

#include <windows.h>

struct IRawElementProviderSimple;
struct TextPane;

// WM_GETOBJECT of the main window: the UI Automation root for its root
// object id, the MSAA client object for OBJID_CLIENT; anything else the
// default window procedure answers.
LRESULT AnswerReaderObject(HWND window, WPARAM wParam, LPARAM lParam);
// WM_DESTROY of the main window: the elements are disconnected and let go.
void ReleaseReaderAccess();

// The provider of a pane's element with a reference for the caller, as a
// client in the program would find it; null when no client has asked yet.
// For tests: the platform hands in-process askers a wrapper of its own.
IRawElementProviderSimple* PaneProviderForTests(const TextPane* pane);
