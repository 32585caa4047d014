// The reader's window in UI Automation: a fragment root whose children are
// the panes (Document elements with the text pattern) and the status line
// (a Text element). COM objects, built over reader_model.h.
#pragma once

#include "accessibility/uia_api.h"

// The root of `window`'s tree, with one reference for the caller.
IRawElementProviderSimple* CreateReaderRoot(HWND window);
// The element of a part (reader_model.h) under `root`, with one reference
// for the caller.
IRawElementProviderSimple* ReaderPartElement(IRawElementProviderSimple* root, int part);

// When the window goes: disconnects the parts and lets them go; clients that
// still hold them hear that the elements are not available.
void ReleaseReaderParts(IRawElementProviderSimple* root);
