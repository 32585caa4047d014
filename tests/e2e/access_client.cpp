// A screen-reader client in another process: it starts the reader, walks its
// MSAA tree (roles, names, the caret line's value before and after Down),
// hears the caret and focus events, and reads the UI Automation elements'
// names and control types. Prints one line per check; exit 1 on a failure.
// Usage: access_client READER_EXE
#include <windows.h>
#include <ole2.h>
#include <oleacc.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "driver_input.h"

namespace {

const wchar_t kProgramKey[] = L"Software\\Quenmark\\Lorvan";
const DWORD kWaitMs = 20000;
const LONG kRoleDocument = 15, kRoleStaticText = 41;
const UINT kLowerPaneNone = 401, kLowerPaneHalf = 412;  // lower-pane size commands
const LONG kRoleOutline = 35, kRoleOutlineItem = 36, kRoleList = 33, kRoleListItem = 34;
const UINT kChooseCommand = 119, kFindAllCommand = 160, kSearchAgainCommand = 117;

int gPasses = 0, gFailures = 0;

void Check(bool ok, const char* what) {
    printf("%s  %s\n", ok ? "ok  " : "FAIL", what);
    (ok ? gPasses : gFailures)++;
}

void PutSetting(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    RegCreateKeyExW(HKEY_CURRENT_USER, kProgramKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegSetValueExW(key, name, 0, type, (const BYTE*)data, size);
    RegCloseKey(key);
}

void PutDword(const wchar_t* name, DWORD value) { PutSetting(name, REG_DWORD, &value, sizeof value); }

// Messages pumped for `ms`, so that the out-of-context events arrive.
void Pump(DWORD ms) {
    DWORD start = GetTickCount();
    while (GetTickCount() - start < ms) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
        Sleep(10);
    }
}

struct HeardEvents {
    int caretMoves = 0;
    int focusChanges = 0;
    int nameChanges = 0;
    int alerts = 0;
    LONG focusChild = 0;
};
HeardEvents gHeard;

void CALLBACK OnEvent(HWINEVENTHOOK, DWORD event, HWND, LONG object, LONG child, DWORD, DWORD) {
    if (event == EVENT_OBJECT_LOCATIONCHANGE && object == OBJID_CARET) gHeard.caretMoves++;
    if (event == EVENT_OBJECT_FOCUS && object == OBJID_CLIENT) {
        gHeard.focusChanges++;
        gHeard.focusChild = child;
    }
    if (event == EVENT_OBJECT_NAMECHANGE && object == OBJID_CLIENT) gHeard.nameChanges++;
    if (event == EVENT_SYSTEM_ALERT && object == OBJID_CLIENT) gHeard.alerts++;
}

VARIANT Child(LONG id) {
    VARIANT child;
    VariantInit(&child);
    child.vt = VT_I4;
    child.lVal = id;
    return child;
}

std::wstring Name(IAccessible* object, LONG id) {
    BSTR name = nullptr;
    if (object->get_accName(Child(id), &name) != S_OK || !name) return L"";
    std::wstring result(name);
    SysFreeString(name);
    return result;
}

std::wstring Value(IAccessible* object, LONG id) {
    BSTR value = nullptr;
    if (object->get_accValue(Child(id), &value) != S_OK || !value) return L"";
    std::wstring result(value);
    SysFreeString(value);
    return result;
}

LONG Role(IAccessible* object, LONG id) {
    VARIANT role;
    VariantInit(&role);
    if (object->get_accRole(Child(id), &role) != S_OK || role.vt != VT_I4) return -1;
    return role.lVal;
}

LONG ChildCount(IAccessible* object) {
    LONG count = -1;
    object->get_accChildCount(&count);
    return count;
}

bool HasHebrew(const std::wstring& text) {
    for (wchar_t c : text)
        if (c >= 0x5D0 && c <= 0x5EA) return true;
    return false;
}

// ---- UI Automation's client side, as far as the platform has it ----------------

typedef void* UiaNode;
struct TrueCondition {
    int type;  // 0: true
};
struct CacheRequest {
    TrueCondition* view;
    int scope;  // 1: the element
    int* properties;
    int propertyCount;
    int* patterns;
    int patternCount;
    int mode;  // 1: full
};
typedef HRESULT(WINAPI* NodeFromHandle)(HWND, UiaNode*);
typedef HRESULT(WINAPI* GetPropertyValue)(UiaNode, int, VARIANT*);
typedef HRESULT(WINAPI* Navigate)(UiaNode, int, TrueCondition*, CacheRequest*, SAFEARRAY**, BSTR*);
typedef BOOL(WINAPI* NodeRelease)(UiaNode);

struct UiaClient {
    NodeFromHandle nodeFromHandle;
    GetPropertyValue getPropertyValue;
    Navigate navigate;
    NodeRelease nodeRelease;
};

template <typename Function>
void Load(HMODULE module, const char* name, Function* function) {
    *function = (Function)(void*)GetProcAddress(module, name);
}

// The node a navigation found; null at the end.
UiaNode NavigateTo(const UiaClient& uia, UiaNode from, int direction) {
    TrueCondition always = {0};
    CacheRequest request = {&always, 1, nullptr, 0, nullptr, 0, 1};
    SAFEARRAY* data = nullptr;
    BSTR structure = nullptr;
    HRESULT hr = uia.navigate(from, direction, &always, &request, &data, &structure);
    if (FAILED(hr) || !data) return nullptr;
    UiaNode node = nullptr;
    VARIANT* cells = nullptr;
    if (SUCCEEDED(SafeArrayAccessData(data, (void**)&cells))) {
        // The node comes as an interface, or as a handle in a 64-bit number.
        if (cells[0].vt == VT_UNKNOWN) node = (UiaNode)cells[0].punkVal;
        if (cells[0].vt == VT_I8) node = (UiaNode)(INT_PTR)cells[0].llVal;
        if (node) cells[0].vt = VT_EMPTY;  // kept
        SafeArrayUnaccessData(data);
    }
    SafeArrayDestroy(data);
    SysFreeString(structure);
    return node;
}

std::wstring UiaName(const UiaClient& uia, UiaNode node) {
    VARIANT value;
    VariantInit(&value);
    uia.getPropertyValue(node, 30005, &value);
    std::wstring name = value.vt == VT_BSTR ? value.bstrVal : L"";
    VariantClear(&value);
    return name;
}

int UiaControlType(const UiaClient& uia, UiaNode node) {
    VARIANT value;
    VariantInit(&value);
    uia.getPropertyValue(node, 30003, &value);
    return value.vt == VT_I4 ? value.lVal : -1;
}

const UiaClient& Uia() {
    static UiaClient uia = {};
    static bool loaded = false;
    if (loaded) return uia;
    loaded = true;
    HMODULE core = LoadLibraryW(L"uiautomationcore.dll");
    if (!core) return uia;
    Load(core, "UiaNodeFromHandle", &uia.nodeFromHandle);
    Load(core, "UiaGetPropertyValue", &uia.getPropertyValue);
    Load(core, "UiaNavigate", &uia.navigate);
    Load(core, "UiaNodeRelease", &uia.nodeRelease);
    return uia;
}

typedef std::vector<std::pair<std::wstring, int>> UiaChildren;

// The names and control types of a window's elements, up to `most`, and the
// window's own control type; false when UI Automation cannot be asked.
bool UiaChildrenOf(HWND window, size_t most, UiaChildren* children, int* controlType) {
    const UiaClient& uia = Uia();
    if (!uia.nodeFromHandle || !uia.getPropertyValue || !uia.navigate || !uia.nodeRelease) return false;
    UiaNode root = nullptr;
    if (FAILED(uia.nodeFromHandle(window, &root)) || !root) return false;
    *controlType = UiaControlType(uia, root);
    UiaNode node = NavigateTo(uia, root, 3);  // first child
    while (node && children->size() < most) {
        children->push_back({UiaName(uia, node), UiaControlType(uia, node)});
        UiaNode next = NavigateTo(uia, node, 1);  // next sibling
        uia.nodeRelease(node);
        node = next;
    }
    if (node) uia.nodeRelease(node);
    uia.nodeRelease(root);
    return true;
}

void CheckUiaTree(HWND window) {
    UiaChildren children;
    int controlType = 0;
    Check(UiaChildrenOf(window, 8, &children, &controlType), "UI Automation finds the window");
    Check(children.size() == 3, "UI Automation: three children (two panes and the status line)");
    if (children.size() != 3) return;
    Check(children[0].second == 50030 && children[1].second == 50030, "UI Automation: the panes are documents");
    Check(children[2].second == 50020, "UI Automation: the status line is text");
    Check(HasHebrew(children[0].first) && children[0].first.find(L"Marel") == std::wstring::npos,
          "UI Automation: the main pane is named with its Hebrew heading");
    Check(children[1].first.rfind(L"Marel: ", 0) == 0 && HasHebrew(children[1].first),
          "UI Automation: the lower pane's name begins with \"Marel: \"");
    Check(children[2].first.find(L" / 178") != std::wstring::npos, "UI Automation: the status line says the place");
}

// As the drivers wait, with the COM calls' messages pumped meanwhile.
HWND WaitForShownWindow(const wchar_t* className, const wchar_t* title) {
    for (DWORD waited = 0; waited < kWaitMs; waited += 100) {
        HWND window = FindWindowW(className, title);
        if (window && IsWindowVisible(window)) return window;
        Pump(100);
    }
    return nullptr;
}

LONG State(IAccessible* object, LONG id) {
    VARIANT state;
    VariantInit(&state);
    if (object->get_accState(Child(id), &state) != S_OK || state.vt != VT_I4) return 0;
    return state.lVal;
}

LONG Focus(IAccessible* object) {
    VARIANT focus;
    VariantInit(&focus);
    object->get_accFocus(&focus);
    return focus.vt == VT_I4 ? focus.lVal : 0;
}

IAccessible* ClientOf(HWND window) {
    IAccessible* client = nullptr;
    AccessibleObjectFromWindow(window, (DWORD)OBJID_CLIENT, IID_IAccessible, (void**)&client);
    return client;
}

// The chooser's outline: a tree of its shown records.
void CheckOutline(HWND reader, DWORD processId) {
    // The chooser takes the reader's size: low enough that its rows scroll.
    SetWindowPos(reader, nullptr, 0, 0, 600, 300, SWP_NOZORDER);
    PostMessageW(reader, WM_COMMAND, kChooseCommand, 0);
    HWND chooser = WaitForShownWindow(L"#32770", L"Choose Section");
    Check(chooser != nullptr, "the chooser opens");
    if (!chooser) return;
    IAccessible* outline = ClientOf(chooser);
    Check(outline && Role(outline, CHILDID_SELF) == kRoleOutline, "outline: the chooser's client is a tree");
    if (!outline) return;
    LONG count = ChildCount(outline);
    Check(count > 3, "outline: it has items");
    bool itemsRight = true, anyHeading = false, anySelected = false, anyLevel = false;
    for (LONG id = 1; id <= count; id++) {
        LONG state = State(outline, id);
        itemsRight = itemsRight && Role(outline, id) == kRoleOutlineItem && HasHebrew(Name(outline, id));
        anyHeading = anyHeading || (state & (STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED));
        anySelected = anySelected || (state & STATE_SYSTEM_SELECTED);
        anyLevel = anyLevel || _wtoi(Value(outline, id).c_str()) > 0;
    }
    Check(itemsRight, "outline: every item is a tree item named with its Hebrew text");
    Check(anyHeading, "outline: headings say they are open or closed");
    Check(anySelected, "outline: the current section's item is selected");
    Check(anyLevel, "outline: the items tell their level");
    UiaChildren items;
    int treeType = 0;
    bool named = UiaChildrenOf(chooser, 4, &items, &treeType) && items.size() == 4;
    for (const auto& item : items) named = named && item.second == 50024 && HasHebrew(item.first);
    Check(treeType == 50023 && named, "outline: in UI Automation a tree of tree items named in Hebrew");
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent, processId, 0,
                                         WINEVENT_OUTOFCONTEXT);
    LONG before = Focus(outline);
    int heard = gHeard.focusChanges;
    SetForegroundWindow(chooser);
    Pump(200);
    PressKey(VK_DOWN);  // a real key: the dialog's own loop takes it
    Pump(600);
    Check(Focus(outline) == before + 1 && gHeard.focusChanges > heard && gHeard.focusChild == before + 1,
          "outline: Down moves the focus to the next item with a focus event");
    UnhookWinEvent(hook);
    outline->Release();
    PostMessageW(chooser, WM_COMMAND, IDCANCEL, 0);
    Pump(500);
}

// Find All's results: a list of its rows, named with where the match is.
void CheckResults(HWND reader, DWORD processId) {
    PostMessageW(reader, WM_COMMAND, kFindAllCommand, 0);
    HWND results = WaitForShownWindow(L"LorvanFindAll", nullptr);
    HWND list = results ? FindWindowExW(results, nullptr, L"LorvanFindAllList", nullptr) : nullptr;
    Check(list != nullptr, "Find All's window opens with its list");
    if (!list) return;
    IAccessible* items = ClientOf(list);
    Check(items && Role(items, CHILDID_SELF) == kRoleList, "results: the list is a list");
    if (!items) return;
    LONG count = ChildCount(items);
    Check(count > 1, "results: it has items");
    std::wstring first = Name(items, 1);
    Check(Role(items, 1) == kRoleListItem && HasHebrew(first) &&
              (first.find(L", main: ") != std::wstring::npos || first.find(L", commentary: ") != std::wstring::npos),
          "results: an item is named \"heading, main or commentary: the words around the match\"");
    UiaChildren rows;
    int listType = 0;
    bool named = UiaChildrenOf(list, 3, &rows, &listType) && rows.size() == 3;
    for (const auto& row : rows)
        named = named && row.second == 50007 && (row.first.find(L", main: ") != std::wstring::npos ||
                                                 row.first.find(L", commentary: ") != std::wstring::npos);
    Check(listType == 50008 && named, "results: in UI Automation a list of list items named with their place");
    LONG selected = Focus(items);
    Check(selected >= 1 && (State(items, selected) & STATE_SYSTEM_SELECTED), "results: the selected row has the focus");
    HWINEVENTHOOK hook = SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_FOCUS, nullptr, OnEvent, processId, 0,
                                         WINEVENT_OUTOFCONTEXT);
    int heard = gHeard.focusChanges;
    PostMessageW(list, WM_KEYDOWN, VK_DOWN, 0);
    Pump(600);
    Check(Focus(items) == selected + 1 && gHeard.focusChanges > heard && gHeard.focusChild == selected + 1,
          "results: Down moves the focus to the next row with a focus event");
    UnhookWinEvent(hook);
    items->Release();
    PostMessageW(results, WM_CLOSE, 0, 0);
    Pump(300);
}

HWND StartReader(const wchar_t* exe, PROCESS_INFORMATION* process) {
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    std::wstring commandLine = L"\"" + std::wstring(exe) + L"\"";
    if (!CreateProcessW(exe, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, process))
        return nullptr;
    for (DWORD waited = 0; waited < kWaitMs; waited += 100) {
        HWND window = FindWindowW(L"Lorvan", L"Lorvan");
        if (window && IsWindowVisible(window)) return window;
        Sleep(100);
    }
    return nullptr;
}

void CheckMsaaTree(HWND window, DWORD processId) {
    IAccessible* client = nullptr;
    HRESULT hr = AccessibleObjectFromWindow(window, (DWORD)OBJID_CLIENT, IID_IAccessible, (void**)&client);
    Check(SUCCEEDED(hr) && client, "MSAA: the client object comes from the reader");
    if (!client) return;
    Check(ChildCount(client) == 3, "MSAA: three children");
    Check(Role(client, 1) == kRoleDocument && Role(client, 2) == kRoleDocument, "MSAA: the panes are documents");
    Check(Role(client, 3) == kRoleStaticText, "MSAA: the status line is static text");
    std::wstring mainName = Name(client, 1), lowerName = Name(client, 2);
    Check(HasHebrew(mainName) && mainName.find(L"Marel") == std::wstring::npos, "MSAA: the main pane's heading");
    Check(lowerName.rfind(L"Marel: ", 0) == 0, "MSAA: the lower pane's name begins with \"Marel: \"");

    HWINEVENTHOOK hook = SetWinEventHook(EVENT_MIN, EVENT_MAX, nullptr, OnEvent, processId, 0, WINEVENT_OUTOFCONTEXT);
    std::wstring before = Value(client, 1);
    Check(HasHebrew(before), "MSAA: the main pane's value is its top line in Hebrew");
    SetForegroundWindow(window);
    PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
    Pump(800);
    std::wstring after = Value(client, 1);
    if (after.empty()) {  // the blank row after a paragraph reads as a blank line
        PostMessageW(window, WM_KEYDOWN, VK_DOWN, 0);
        Pump(800);
        after = Value(client, 1);
    }
    Check(HasHebrew(after) && after != before, "MSAA: after Down the value is the next line");
    Check(gHeard.caretMoves > 0, "MSAA: Down moves the caret (location change of the caret)");

    VARIANT lower = Child(2);
    client->accSelect(SELFLAG_TAKEFOCUS, lower);
    Pump(500);
    VARIANT focus;
    VariantInit(&focus);
    client->get_accFocus(&focus);
    Check(focus.vt == VT_I4 && focus.lVal == 2, "MSAA: the lower pane takes the focus");
    Check(gHeard.focusChanges > 0 && gHeard.focusChild == 2, "MSAA: the change of pane raises a focus event");
    PostMessageW(window, WM_KEYDOWN, VK_F6, 0);
    Pump(500);
    VariantInit(&focus);
    client->get_accFocus(&focus);
    Check(focus.vt == VT_I4 && focus.lVal == 1 && gHeard.focusChild == 1, "MSAA: F6 takes the focus to the other pane");

    int namesBefore = gHeard.nameChanges;
    PostMessageW(window, WM_KEYDOWN, VK_RIGHT, 0);
    Pump(800);
    Check(gHeard.nameChanges > namesBefore && Name(client, 1) != mainName,
          "MSAA: a new section raises a name change and is named with its heading");

    PostMessageW(window, WM_COMMAND, kSearchAgainCommand, 0);
    Pump(800);
    BSTR said = nullptr;
    client->get_accDescription(Child(3), &said);
    std::wstring announced = said ? said : L"";
    SysFreeString(said);
    Check(gHeard.alerts > 0 && announced.rfind(L"Found in ", 0) == 0 && HasHebrew(announced),
          "MSAA: a search match is announced as \"Found in\" and the heading");

    PostMessageW(window, WM_COMMAND, kLowerPaneNone, 0);
    Pump(500);
    Check(ChildCount(client) == 2 && Role(client, 2) == kRoleStaticText, "MSAA: without the lower pane, two children");
    PostMessageW(window, WM_COMMAND, kLowerPaneHalf, 0);
    Pump(500);
    UnhookWinEvent(hook);
    client->Release();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: access_client READER_EXE\n");
        return 2;
    }
    const wchar_t face[] = L"DejaVu Sans";
    PutSetting(L"FontName", REG_SZ, face, sizeof face);
    PutDword(L"FontSize", 17);
    PutDword(L"FontAsciiBase", 0x5D0);
    PutDword(L"Lesson", 15);
    const char search[] = "m";  // lamed, in the book's letter codes
    PutSetting(L"SearchString", REG_BINARY, search, sizeof search);
    OleInitialize(nullptr);
    PROCESS_INFORMATION reader = {};
    HWND window = StartReader(argv[1], &reader);
    Check(window != nullptr, "the reader's window appears");
    if (window) {
        SetWindowPos(window, nullptr, 0, 0, 600, 700, SWP_NOZORDER);
        Pump(300);
        CheckMsaaTree(window, reader.dwProcessId);
        CheckUiaTree(window);
        CheckOutline(window, reader.dwProcessId);
        CheckResults(window, reader.dwProcessId);
        PostMessageW(window, 1023, 0, 0);
        Check(WaitForSingleObject(reader.hProcess, kWaitMs) == WAIT_OBJECT_0, "message 1023 still ends the reader");
    }
    if (reader.hProcess) {
        TerminateProcess(reader.hProcess, 1);  // does nothing once it ended
        CloseHandle(reader.hThread);
        CloseHandle(reader.hProcess);
    }
    OleUninitialize();
    printf("%d passed, %d failed\n", gPasses, gFailures);
    return gFailures ? 1 : 0;
}
