// The section outline to screen readers: whichever window hosts a section
// grid (the chooser, a panel beside the text) answers WM_GETOBJECT with one
// call. The outline is a tree of its shown records, each named with its
// text in reading order, with its level, its heading open or closed, the
// current section's link selected and the record at the top focused.
#pragma once

#include <windows.h>

struct OutlineView;

// The host's WM_GETOBJECT case. `view` must stay good until ForgetOutline;
// its grid may be made anew between calls. A heading opens and closes as a
// tap on it does, and selecting a link chooses it through the view's `choose`.
LRESULT AnswerOutlineObject(OutlineView* view, WPARAM wParam, LPARAM lParam);
// After the grid scrolled or a heading opened or closed: the focus event.
void NoteOutlineMoved(HWND host);
// When the grid or its host goes.
void ForgetOutline(HWND host);
