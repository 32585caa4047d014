#include "bench/access_bench.h"

#include <stdio.h>

#include "accessibility/reader_model.h"
#include "accessibility/uia_api.h"
#include "app/app_state.h"
#include "app/commands.h"
#include "bench/bench_clock.h"
#include "content/section_store.h"
#include "panes/pane_watch.h"
#include "platform/services.h"

namespace {

const int kDocumentBuilds = 50;
const int kRowScrolls = 100;
const int kRounds = 5;

int LargestSection() {
    int largest = kFirstSection;
    uint32_t largestBytes = 0;
    for (int section = kFirstSection; section <= kLastSection; section++) {
        uint32_t bytes = 0;
        int error = 0;
        uint8_t* text = LoadSectionTextWithLength(section, &bytes, &error);
        if (text && bytes > largestBytes) {
            largest = section;
            largestBytes = bytes;
        }
        PlatformFree(text);
    }
    return largest;
}

// Down and Up in turn on the active pane, each a row scroll and its repaint.
double RowScrollMs(HWND window) {
    double start = NowMs();
    for (int i = 0; i < kRowScrolls; i++) {
        SendMessageW(window, WM_KEYDOWN, i % 2 == 0 ? VK_DOWN : VK_UP, 0);
        GdiFlush();
    }
    return (NowMs() - start) / kRowScrolls;
}

// What a client's first request builds: the object, and from then on the
// panes' watch that raises the events of every move.
void ConnectClient(HWND window) {
    LRESULT answer = SendMessageW(window, WM_GETOBJECT, 0, OBJID_CLIENT);
    IAccessible* client = nullptr;
    if (answer > 0) ObjectFromLresult(answer, IID_IAccessible, 0, (void**)&client);
    if (client) client->Release();
}

}  // namespace

void BenchAccess(HWND reader) {
    int section = LargestSection();
    GoToSection(reader, (uint32_t)(section % 2 ? section : section - 1));
    int part = section % 2 ? kPartMain : kPartLower;
    double start = NowMs();
    size_t units = 0;
    for (int i = 0; i < kDocumentBuilds; i++) {
        ReleasePartDocuments();
        PaneDocument* doc = PartDocument(part);
        units = doc ? doc->length : 0;
    }
    double documentMs = (NowMs() - start) / kDocumentBuilds;
    ReleasePartDocuments();
    ConnectClient(reader);
    RowScrollMs(reader);  // the fonts and the new size settle, the document is built once
    // In turns with the panes' watch off and on, so that both figures see
    // the same load on the machine.
    const PaneWatch* watch = gPaneWatch;
    double scrollMs = 0, caretMs = 0;
    for (int round = 0; round < kRounds; round++) {
        gPaneWatch = nullptr;
        scrollMs += RowScrollMs(reader) / kRounds;
        gPaneWatch = watch;
        caretMs += RowScrollMs(reader) / kRounds;
    }
    // Without a client nothing is kept built: this bench's own builds go.
    printf("a11y_document_text_ms: %.4f\n", documentMs);
    printf("a11y_document_text_units: %.4f\n", (double)units);
    printf("a11y_row_scroll_ms: %.4f\n", scrollMs);
    printf("a11y_caret_event_ms: %.4f\n", caretMs);
    if (scrollMs > 0) printf("a11y_caret_event_vs_row_scroll: %.4f\n", caretMs / scrollMs);
}
