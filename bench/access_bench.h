// Prints a11y_document_text_ms, and a row scroll of the active pane with and
// without a screen-reader client: a11y_row_scroll_ms, a11y_caret_event_ms and
// their ratio.
#pragma once

#include <windows.h>

// Over `reader`, which it leaves with its client connected and at the
// largest section.
void BenchAccess(HWND reader);
