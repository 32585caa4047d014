#include "accessibility/reader_model.h"

#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "content/section_heading.h"
#include "panes/split_view.h"
#include "panes/status_line.h"
#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

const wchar_t kLowerPrefix[] = L"Marel: ";
const int kFieldChars = 32;

PaneDocument gDocuments[2];

wchar_t* CopyOfText(const wchar_t* text) {
    size_t length = wcslen(text);
    wchar_t* copy = (wchar_t*)PlatformAlloc(sizeof(wchar_t) * (length + 1));
    if (copy) memcpy(copy, text, sizeof(wchar_t) * (length + 1));
    return copy;
}

int SectionOfPart(int part) { return part == kPartLower ? gApp.lesson + 1 : gApp.lesson; }

// The heading of the pane's section, in reading order.
wchar_t* HeadingOfPane(const TextPane* pane) {
    wchar_t heading[kSectionHeadingChars];
    SectionHeading(pane ? pane->text : nullptr, SectionOfPart(PartOfPane(pane)), heading, kSectionHeadingChars);
    return CopyOfText(heading);
}

wchar_t* Joined(const wchar_t* first, const wchar_t* second, const wchar_t* third) {
    size_t length = wcslen(first) + wcslen(second) + wcslen(third);
    wchar_t* joined = (wchar_t*)PlatformAlloc(sizeof(wchar_t) * (length + 1));
    if (!joined) return nullptr;
    wcscpy(joined, first);
    wcscat(joined, second);
    wcscat(joined, third);
    return joined;
}

wchar_t* StatusName() {
    wchar_t place[kFieldChars], percent[kFieldChars];
    StatusLineFields(place, percent, kFieldChars);
    wchar_t* heading = HeadingOfPane(gApp.mainPane);
    if (!heading) return nullptr;
    wchar_t numbers[2 * kFieldChars + 4];
    swprintf(numbers, sizeof numbers / sizeof numbers[0], L", %ls, %ls", place, percent);
    wchar_t* name = Joined(heading, numbers, L"");
    PlatformFree(heading);
    return name;
}

}  // namespace

TextPane* PaneOfPart(int part) {
    if (part == kPartMain) return gApp.mainPane;
    if (part == kPartLower) return gSplit.bottomPane;
    return nullptr;
}

int PartOfPane(const TextPane* pane) {
    if (!pane) return -1;
    if (pane == gApp.mainPane) return kPartMain;
    if (pane == gSplit.bottomPane) return kPartLower;
    return -1;
}

bool PartShown(int part) {
    if (part == kPartMain) return gApp.mainPane != nullptr;
    if (part == kPartLower) return BottomPaneShown();
    if (part == kPartStatus) return StatusLineHeightPx() > 0;
    return false;
}

int ShownParts(int parts[kPartCount]) {
    int count = 0;
    for (int part = 0; part < kPartCount; part++)
        if (PartShown(part)) parts[count++] = part;
    return count;
}

bool IsActivePart(int part) {
    TextPane* active = gSplit.activePane ? gSplit.activePane : gApp.mainPane;
    return part != kPartStatus && active && PaneOfPart(part) == active;
}

RECT PartScreenRect(HWND window, int part) {
    RECT rect = {0, 0, 0, 0};
    if (part == kPartStatus) {
        rect = StatusLineRect();
    } else if (const TextPane* pane = PaneOfPart(part)) {
        rect = {pane->left, pane->top, pane->left + pane->width, pane->top + pane->height};
    }
    MapWindowPoints(window, nullptr, (POINT*)&rect, 2);
    return rect;
}

wchar_t* PartName(int part) {
    if (part == kPartStatus) return StatusName();
    wchar_t* heading = HeadingOfPane(PaneOfPart(part));
    if (!heading || part != kPartLower) return heading;
    wchar_t* name = Joined(kLowerPrefix, heading, L"");
    PlatformFree(heading);
    return name;
}

PaneDocument* PartDocument(int part) {
    if (part != kPartMain && part != kPartLower) return nullptr;
    PaneDocument* doc = &gDocuments[part];
    return RefreshPaneDocument(doc, PaneOfPart(part)) ? doc : nullptr;
}

wchar_t* CaretLineText(int part) {
    PaneDocument* doc = PartDocument(part);
    if (!doc) return nullptr;
    return SpanTextWithoutLineEnds(doc, CaretSpan(doc, PaneOfPart(part)));
}

void ReleasePartDocuments() {
    for (PaneDocument& doc : gDocuments) ReleasePaneDocument(&doc);
}
