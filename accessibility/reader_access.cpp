#include "accessibility/reader_access.h"

#include <stdio.h>

#include "accessibility/access_thread.h"
#include "accessibility/announce.h"
#include "accessibility/msaa_reader.h"
#include "accessibility/reader_model.h"
#include "accessibility/uia_reader.h"
#include "app/app_state.h"
#include "content/section_heading.h"
#include "panes/pane_watch.h"
#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

const int kCaretWidthPx = 1;
const int kAnnouncementChars = kSectionHeadingChars + 32;

struct ReaderAccess {
    HWND window;  // null until a client asks
    IRawElementProviderSimple* root;
    IAccessible* client;
    bool oleStarted;
};
ReaderAccess gAccess;
wchar_t gLastAnnouncement[kAnnouncementChars];

template <typename Function>
void LoadFunction(HMODULE module, const char* name, Function* function) {
    *function = (Function)(void*)GetProcAddress(module, name);
}

UiaFunctions LoadUia() {
    UiaFunctions functions = {};
    HMODULE core = LoadLibraryW(L"uiautomationcore.dll");
    if (!core) return functions;
    LoadFunction(core, "UiaReturnRawElementProvider", &functions.returnRawElementProvider);
    LoadFunction(core, "UiaHostProviderFromHwnd", &functions.hostProviderFromHwnd);
    LoadFunction(core, "UiaRaiseAutomationEvent", &functions.raiseAutomationEvent);
    LoadFunction(core, "UiaRaiseAutomationPropertyChangedEvent", &functions.raiseAutomationPropertyChangedEvent);
    LoadFunction(core, "UiaDisconnectProvider", &functions.disconnectProvider);
    LoadFunction(core, "UiaGetReservedNotSupportedValue", &functions.getReservedNotSupportedValue);
    LoadFunction(core, "UiaRaiseNotificationEvent", &functions.raiseNotificationEvent);
    return functions;
}

IRawElementProviderSimple* PartElement(int part) { return ReaderPartElement(gAccess.root, part); }

void RaiseUia(int part, EVENTID event) {
    if (!Uia().raiseAutomationEvent) return;
    IRawElementProviderSimple* element = PartElement(part);
    Uia().raiseAutomationEvent(element, event);
    element->Release();
}

void NotifyPart(DWORD event, int part) {
    LONG child = ChildIdOfPart(part);
    if (child) NotifyWinEvent(event, gAccess.window, OBJID_CLIENT, child);
}

// Whether the thread's one caret is the reader's: a dialog's edit control
// takes it while it has the focus.
bool OwnsCaret() {
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(GetCurrentThreadId(), &info) && info.hwndCaret == gAccess.window;
}

// The system caret at the top line of the pane, where magnifiers look; it
// is never shown, the accent marks the pane.
void PlaceCaret(const TextPane* pane) {
    if (GetFocus() != gAccess.window) return;
    int height = pane->lines && pane->lines[0].flags ? pane->lines[0].height : 1;
    if (!OwnsCaret() && !CreateCaret(gAccess.window, nullptr, kCaretWidthPx, height)) return;
    SetCaretPos(pane->left + pane->width - kCaretWidthPx, pane->top);
}

void RaiseCaretMoved(int part) {
    PlaceCaret(PaneOfPart(part));
    NotifyWinEvent(EVENT_OBJECT_LOCATIONCHANGE, gAccess.window, OBJID_CARET, CHILDID_SELF);
    NotifyPart(EVENT_OBJECT_VALUECHANGE, part);
    RaiseUia(part, kUiaTextSelectionChangedEventId);
}

void OnPaneScrolled(const TextPane* pane) {
    int part = PartOfPane(pane);
    if (part < 0 || !IsActivePart(part)) return;
    RaiseCaretMoved(part);
}

void OnPaneActivated(const TextPane* pane) {
    int part = PartOfPane(pane);
    if (part < 0) return;
    NotifyPart(EVENT_OBJECT_FOCUS, part);
    RaiseUia(part, kUiaAutomationFocusChangedEventId);
    RaiseCaretMoved(part);
}

void RaiseNameChanged(int part) {
    NotifyPart(EVENT_OBJECT_NAMECHANGE, part);
    if (!Uia().raiseAutomationPropertyChangedEvent) return;
    VARIANT before, after;
    VariantInit(&before);
    VariantInit(&after);
    wchar_t* name = PartName(part);
    after.vt = VT_BSTR;
    after.bstrVal = SysAllocString(name ? name : L"");
    PlatformFree(name);
    IRawElementProviderSimple* element = PartElement(part);
    Uia().raiseAutomationPropertyChangedEvent(element, kUiaNamePropertyId, before, after);
    element->Release();
    VariantClear(&after);
}

void OnPaneNewText(const TextPane* pane) {
    int part = PartOfPane(pane);
    if (part < 0) return;
    RaiseNameChanged(part);
    if (part == kPartMain) NotifyPart(EVENT_OBJECT_NAMECHANGE, kPartStatus);
    if (IsActivePart(part)) RaiseCaretMoved(part);
}

// A selection made with the pointer or the keys is what the text pattern
// gives as selected now.
void OnPaneSelected(const TextPane* pane) {
    int part = PartOfPane(pane);
    if (part >= 0 && IsActivePart(part)) RaiseUia(part, kUiaTextSelectionChangedEventId);
}

const PaneWatch kReaderWatch = {OnPaneScrolled, OnPaneActivated, OnPaneNewText, OnPaneSelected};

// Everything a client needs, made on the first request.
bool StartReaderAccess(HWND window) {
    if (gAccess.window) return gAccess.window == window;
    if (!StartAccessThread()) return false;
    gAccess.oleStarted = SUCCEEDED(OleInitialize(nullptr));
    gAccess.window = window;
    gAccess.root = CreateReaderRoot(window);
    gAccess.client = CreateReaderAccessible(window);
    gPaneWatch = &kReaderWatch;
    return true;
}

}  // namespace

const UiaFunctions& Uia() {
    static const UiaFunctions functions = LoadUia();
    return functions;
}

LRESULT AnswerReaderObject(HWND window, WPARAM wParam, LPARAM lParam) {
    LONG id = (LONG)lParam;
    if (id == kUiaRootObjectId && Uia().returnRawElementProvider && StartReaderAccess(window))
        return Uia().returnRawElementProvider(window, wParam, lParam, gAccess.root);
    if (id == OBJID_CLIENT && StartReaderAccess(window)) return LresultFromObject(IID_IAccessible, wParam, gAccess.client);
    return DefWindowProcW(window, WM_GETOBJECT, wParam, lParam);
}

void ReleaseReaderAccess() {
    if (!gAccess.window) return;
    gPaneWatch = nullptr;
    if (OwnsCaret()) DestroyCaret();
    // Tells the platform the window's tree is gone.
    if (Uia().returnRawElementProvider) Uia().returnRawElementProvider(gAccess.window, 0, 0, nullptr);
    ReleaseReaderParts(gAccess.root);
    if (Uia().disconnectProvider) Uia().disconnectProvider(gAccess.root);
    gAccess.root->Release();
    gAccess.client->Release();
    StopAccessThread();
    ReleasePartDocuments();
    if (gAccess.oleStarted) OleUninitialize();
    gAccess = ReaderAccess{};
    gLastAnnouncement[0] = 0;
}

void AnnouncePlace(const wchar_t* lead) {
    if (!gAccess.window) return;
    int part = IsActivePart(kPartLower) ? kPartLower : kPartMain;
    wchar_t heading[kSectionHeadingChars];
    const TextPane* pane = PaneOfPart(part);
    SectionHeading(pane ? pane->text : nullptr, part == kPartLower ? gApp.lesson + 1 : gApp.lesson, heading,
                   kSectionHeadingChars);
    swprintf(gLastAnnouncement, kAnnouncementChars, part == kPartLower ? L"%ls Marel, %ls" : L"%ls %ls", lead,
             heading);
    if (Uia().raiseNotificationEvent) {
        BSTR text = SysAllocString(gLastAnnouncement);
        BSTR activity = SysAllocString(L"Lorvan.Place");
        IRawElementProviderSimple* element = PartElement(part);
        Uia().raiseNotificationEvent(element, kNotificationActionCompleted, kNotificationImportantMostRecent, text,
                                     activity);
        element->Release();
        SysFreeString(text);
        SysFreeString(activity);
    }
    // MSAA has no notification: the readers speak an alert's object, the
    // status line, whose description holds the message.
    LONG child = ChildIdOfPart(kPartStatus);
    if (child) NotifyWinEvent(EVENT_SYSTEM_ALERT, gAccess.window, OBJID_CLIENT, child);
}

const wchar_t* LastAnnouncement() { return gLastAnnouncement; }

IRawElementProviderSimple* PaneProviderForTests(const TextPane* pane) {
    int part = PartOfPane(pane);
    if (!gAccess.window || part < 0) return nullptr;
    return PartElement(part);
}
