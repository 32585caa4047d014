// What the provider needs of UI Automation that MinGW's headers lack: the
// text pattern's interfaces, the ids, and the functions of the core library,
// which are all loaded at run time (some platforms lack several, and a
// static import of a missing one would stop the program from loading).
#pragma once

#include <windows.h>
#include <ole2.h>
#include <oleacc.h>
#include <uiautomationcore.h>

// ---- Ids ----------------------------------------------------------------------

const LONG kUiaRootObjectId = -25;

const PATTERNID kUiaSelectionPatternId = 10001;
const PATTERNID kUiaExpandCollapsePatternId = 10005;
const PATTERNID kUiaSelectionItemPatternId = 10010;
const PATTERNID kUiaTextPatternId = 10014;

const PROPERTYID kUiaControlTypePropertyId = 30003;
const PROPERTYID kUiaLocalizedControlTypePropertyId = 30004;
const PROPERTYID kUiaNamePropertyId = 30005;
const PROPERTYID kUiaHasKeyboardFocusPropertyId = 30008;
const PROPERTYID kUiaIsKeyboardFocusablePropertyId = 30009;
const PROPERTYID kUiaIsEnabledPropertyId = 30010;
const PROPERTYID kUiaAutomationIdPropertyId = 30011;
const PROPERTYID kUiaCulturePropertyId = 30015;
const PROPERTYID kUiaIsControlElementPropertyId = 30016;
const PROPERTYID kUiaIsContentElementPropertyId = 30017;
const PROPERTYID kUiaIsOffscreenPropertyId = 30022;
const PROPERTYID kUiaIsExpandCollapsePatternAvailablePropertyId = 30028;
const PROPERTYID kUiaIsSelectionItemPatternAvailablePropertyId = 30036;
const PROPERTYID kUiaIsSelectionPatternAvailablePropertyId = 30037;
const PROPERTYID kUiaIsTextPatternAvailablePropertyId = 30040;
const PROPERTYID kUiaSelectionCanSelectMultiplePropertyId = 30060;
const PROPERTYID kUiaSelectionIsSelectionRequiredPropertyId = 30061;
const PROPERTYID kUiaExpandCollapseStatePropertyId = 30070;
const PROPERTYID kUiaSelectionItemIsSelectedPropertyId = 30079;

const CONTROLTYPEID kUiaDocumentControlTypeId = 50030;
const CONTROLTYPEID kUiaTextControlTypeId = 50020;
const CONTROLTYPEID kUiaPaneControlTypeId = 50033;
const CONTROLTYPEID kUiaListItemControlTypeId = 50007;
const CONTROLTYPEID kUiaListControlTypeId = 50008;
const CONTROLTYPEID kUiaTreeControlTypeId = 50023;
const CONTROLTYPEID kUiaTreeItemControlTypeId = 50024;
const PROPERTYID kUiaLevelPropertyId = 30154;

const EVENTID kUiaAutomationFocusChangedEventId = 20005;
const EVENTID kUiaElementSelectedEventId = 20012;
const EVENTID kUiaTextSelectionChangedEventId = 20014;

const TEXTATTRIBUTEID kUiaCultureAttributeId = 40015;
const TEXTATTRIBUTEID kUiaIsReadOnlyAttributeId = 40023;

const HRESULT kUiaElementNotAvailable = (HRESULT)0x80040201;
const HRESULT kUiaTimeout = (HRESULT)0x80131505;
const HRESULT kUiaInvalidOperation = (HRESULT)0x80131509;

// The culture of the book's text: Hebrew (Israel).
const int kHebrewCulture = 0x040D;

// ---- The text pattern -----------------------------------------------------------

struct UiaPointValue {
    double x;
    double y;
};

enum UiaTextUnit {
    kTextUnitCharacter = 0,
    kTextUnitFormat = 1,
    kTextUnitWord = 2,
    kTextUnitLine = 3,
    kTextUnitParagraph = 4,
    kTextUnitPage = 5,
    kTextUnitDocument = 6,
};

enum UiaEndpoint {
    kEndpointStart = 0,
    kEndpointEnd = 1,
};

enum UiaSupportedTextSelection {
    kTextSelectionNone = 0,
    kTextSelectionSingle = 1,
};

MIDL_INTERFACE("5347ad7b-c355-46f8-aff5-909033582f63")
ITextRangeProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* range, BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE CompareEndpoints(int endpoint, ITextRangeProvider* target, int targetEndpoint,
                                                       int* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID attribute, VARIANT value, BOOL backward,
                                                    ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                               ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attribute, VARIANT* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE Move(int unit, int count, int* moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(int endpoint, int unit, int count, int* moved) = 0;
    virtual HRESULT STDMETHODCALLTYPE MoveEndpointByRange(int endpoint, ITextRangeProvider* target,
                                                          int targetEndpoint) = 0;
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL alignToTop) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) = 0;
};
__CRT_UUID_DECL(ITextRangeProvider, 0x5347ad7b, 0xc355, 0x46f8, 0xaf, 0xf5, 0x90, 0x90, 0x33, 0x58, 0x2f, 0x63)

MIDL_INTERFACE("3589c92c-63f3-4367-99bb-ada653b77cf2")
ITextProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple* child,
                                                     ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE RangeFromPoint(UiaPointValue point, ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(int* result) = 0;
};
__CRT_UUID_DECL(ITextProvider, 0x3589c92c, 0x63f3, 0x4367, 0x99, 0xbb, 0xad, 0xa6, 0x53, 0xb7, 0x7c, 0xf2)

// ---- Headings that open and close, items that are selected ------------------------

enum UiaExpandCollapseState {
    kCollapsed = 0,
    kExpanded = 1,
    kPartiallyExpanded = 2,
    kLeafNode = 3,
};

MIDL_INTERFACE("d847d3a5-cab0-4a98-8c32-ecb45c59ad24")
IExpandCollapseProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Expand() = 0;
    virtual HRESULT STDMETHODCALLTYPE Collapse() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_ExpandCollapseState(int* result) = 0;
};
__CRT_UUID_DECL(IExpandCollapseProvider, 0xd847d3a5, 0xcab0, 0x4a98, 0x8c, 0x32, 0xec, 0xb4, 0x5c, 0x59, 0xad, 0x24)

MIDL_INTERFACE("2acad808-b2d4-452d-a407-91ff1ad167b2")
ISelectionItemProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Select() = 0;
    virtual HRESULT STDMETHODCALLTYPE AddToSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE RemoveFromSelection() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple** result) = 0;
};
__CRT_UUID_DECL(ISelectionItemProvider, 0x2acad808, 0xb2d4, 0x452d, 0xa4, 0x07, 0x91, 0xff, 0x1a, 0xd1, 0x67, 0xb2)

MIDL_INTERFACE("fb8b03af-3bdf-48d4-bd36-1a65793be168")
ISelectionProvider : public IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL* result) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL* result) = 0;
};
__CRT_UUID_DECL(ISelectionProvider, 0xfb8b03af, 0x3bdf, 0x48d4, 0xbd, 0x36, 0x1a, 0x65, 0x79, 0x3b, 0xe1, 0x68)

// ---- The core library, loaded on first use ----------------------------------------

struct UiaFunctions {
    LRESULT(WINAPI* returnRawElementProvider)(HWND, WPARAM, LPARAM, IRawElementProviderSimple*);
    HRESULT(WINAPI* hostProviderFromHwnd)(HWND, IRawElementProviderSimple**);
    HRESULT(WINAPI* raiseAutomationEvent)(IRawElementProviderSimple*, EVENTID);
    HRESULT(WINAPI* raiseAutomationPropertyChangedEvent)(IRawElementProviderSimple*, PROPERTYID, VARIANT, VARIANT);
    HRESULT(WINAPI* disconnectProvider)(IRawElementProviderSimple*);
    HRESULT(WINAPI* getReservedNotSupportedValue)(IUnknown**);
    // Only on newer platforms.
    HRESULT(WINAPI* raiseNotificationEvent)(IRawElementProviderSimple*, int kind, int processing, BSTR text,
                                            BSTR activityId);
};

const int kNotificationActionCompleted = 2;
const int kNotificationImportantMostRecent = 1;

// The functions the platform has; each missing one is null. Loaded once.
const UiaFunctions& Uia();
