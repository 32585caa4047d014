// Edit controls that show book text as stored. Desktop edit controls reorder
// Hebrew by the bidirectional algorithm; book text is already in drawing
// order, so an edit showing it must draw its characters left to right exactly
// as they are held, and put its caret, its selection and its clicks in that
// same order. The control stays a real EDIT: its text, selection, undo,
// limits and notifications are its own; only drawing and the mapping between
// positions and characters are replaced.
#pragma once

#include <windows.h>

// Makes `edit` draw in stored order from now on. Returns FALSE when `edit` is
// not a window. Calling it twice is harmless.
BOOL ShowEditInStoredOrder(HWND edit);

// The left edge, in client pixels, of character `index` as the control draws
// it (index = length gives the right end of the text), and its line's top.
// For tests and for callers that place something beside the caret.
POINT StoredOrderCharPosition(HWND edit, int index);
