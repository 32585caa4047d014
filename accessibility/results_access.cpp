#include "accessibility/results_access.h"

#include <string.h>
#include <wchar.h>

#include "accessibility/item_list_access.h"
#include "accessibility/uia_api.h"
#include "clipboard/copy_text.h"
#include "content/section_heading.h"
#include "content/section_records.h"
#include "navigation/find_all_window.h"
#include "platform/services.h"

namespace {

const int kContextBytes = 40;  // at most this much on either side, cut at a space
const wchar_t kMainText[] = L"main";
const wchar_t kCommentary[] = L"commentary";

int Count(void*) { return FindAllRowCount(); }

// The stored stretch around the match: whole words within kContextBytes.
void ContextStretch(const uint8_t* text, const SectionHit& hit, int* from, int* to) {
    int start = hit.endOffset - hit.length + 1, end = hit.endOffset + 1;
    *from = start - kContextBytes > hit.recordStart ? start - kContextBytes : hit.recordStart;
    *to = end + kContextBytes < hit.recordEnd ? end + kContextBytes : hit.recordEnd;
    if (*from > hit.recordStart)
        while (*from < start && text[*from - 1] != kSpaceCode) (*from)++;
    if (*to < hit.recordEnd)
        while (*to > end && text[*to] != kSpaceCode) (*to)--;
}

wchar_t* Converted(const uint8_t* codes, int count) {
    if (count <= 0) {
        wchar_t* empty = (wchar_t*)PlatformAlloc(sizeof(wchar_t));
        if (empty) *empty = 0;
        return empty;
    }
    return CopyFormOfCodes(codes, count);
}

wchar_t* Name(void*, int item) {
    const BookMatch* match = FindAllRowMatch(item);
    const uint8_t* text = match ? FindAllSectionText(match->section) : nullptr;
    if (!text) return nullptr;
    wchar_t heading[kSectionHeadingChars];
    SectionHeading(text, match->section, heading, kSectionHeadingChars);
    int from = 0, to = 0;
    ContextStretch(text, match->hit, &from, &to);
    wchar_t* words = Converted(text + from, to - from);
    const wchar_t* kind = match->section % 2 ? kMainText : kCommentary;
    wchar_t* name = nullptr;
    if (words) {
        size_t length = wcslen(heading) + wcslen(kind) + wcslen(words) + 5;
        name = (wchar_t*)PlatformAlloc(sizeof(wchar_t) * length);
        if (name) swprintf(name, length, L"%ls, %ls: %ls", heading, kind, words);
    }
    PlatformFree(words);
    return name;
}

int Level(void*, int) { return -1; }

LONG State(void*, int item) {
    LONG state = STATE_SYSTEM_SELECTABLE | (item == FindAllSelectedRow() ? STATE_SYSTEM_SELECTED : 0);
    RECT rect;
    if (!FindAllRowRect(item, &rect)) state |= STATE_SYSTEM_OFFSCREEN;
    return state;
}

bool Place(void*, int item, RECT* rect) { return FindAllRowRect(item, rect); }

int Focused(void*) { return FindAllRowCount() ? FindAllSelectedRow() : -1; }

// As a click on the row selects it; Enter then shows its match.
bool Select(void*, int item) {
    if (item < 0 || item >= FindAllRowCount()) return false;
    SelectFindAllResult(item);
    return true;
}

const ItemListSource kResultsSource = {ROLE_SYSTEM_LIST, ROLE_SYSTEM_LISTITEM, kUiaListControlTypeId,
                                       kUiaListItemControlTypeId, Count, Name, Level, State, Place, Focused,
                                       nullptr, Select};

}  // namespace

LRESULT AnswerResultsObject(HWND list, WPARAM wParam, LPARAM lParam) {
    return AnswerItemList(list, &kResultsSource, nullptr, wParam, lParam);
}

void NoteResultsMoved(HWND list) { NoteItemListFocus(list); }

void ForgetResults(HWND list) { ForgetItemList(list); }
