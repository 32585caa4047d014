// Lists that the program draws itself, the outline and Find All's results,
// to screen readers: in MSAA the host window's client is a list or a tree
// whose children are its items, numbered from 1; in UI Automation the same
// as a fragment root with one element per item. Made when a client first
// asks.
#pragma once

#include <windows.h>

// What the host tells of its items; `context` is its own.
struct ItemListSource {
    LONG role;      // of the list: ROLE_SYSTEM_OUTLINE, ROLE_SYSTEM_LIST
    LONG itemRole;  // ROLE_SYSTEM_OUTLINEITEM, ROLE_SYSTEM_LISTITEM
    int controlType;      // UI Automation's: tree or list
    int itemControlType;  // tree item or list item
    int (*count)(void* context);
    // Owned by the caller (PlatformFree); null when memory runs out.
    wchar_t* (*name)(void* context, int item);
    // The outline's level from 0, or -1 for items without one.
    int (*level)(void* context, int item);
    // STATE_SYSTEM_EXPANDED, _COLLAPSED, _SELECTABLE, _SELECTED, _OFFSCREEN
    // as they apply.
    LONG (*state)(void* context, int item);
    // Where the item is in the host's client area; false while off screen.
    bool (*place)(void* context, int item, RECT* rect);
    // The item with the focus, -1 for none.
    int (*focused)(void* context);
    // Opens or closes a heading's branch; false when the item is no heading.
    // Null for a list without headings.
    bool (*fold)(void* context, int item, bool open);
    // Selects an item that is selectable as a click on it does; false when
    // it cannot be. Null for a list without a selection.
    bool (*select)(void* context, int item);
};

// The WM_GETOBJECT case of the host: answers OBJID_CLIENT and UI
// Automation's root id with the list over `source` and `context`, which must
// stay good until ForgetItemList.
LRESULT AnswerItemList(HWND host, const ItemListSource* source, void* context, WPARAM wParam, LPARAM lParam);
// After the focused item changed: a focus event on it. Nothing for a host
// no client asked about.
void NoteItemListFocus(HWND host);
// When the host goes: clients that hold its list hear it is gone.
void ForgetItemList(HWND host);

struct IRawElementProviderSimple;
// The UI Automation root of a host a client asked about, with a reference
// for the caller; null before. The program's own WM_GETOBJECT answers with
// the platform's wrapper, so in-process tests take the provider here.
IRawElementProviderSimple* ItemListRootForTests(HWND host);
