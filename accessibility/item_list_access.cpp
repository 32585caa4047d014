#include "accessibility/item_list_access.h"

#include <stdio.h>

#include "accessibility/access_thread.h"
#include "accessibility/accessible_object.h"
#include "accessibility/uia_api.h"
#include "accessibility/uia_element.h"
#include "platform/services.h"

namespace {

const int kMaxHosts = 4;  // the chooser, the outline panel, Find All's list

class ItemList final : public AccessibleObject {
public:
    ItemList(HWND host, const ItemListSource* source, void* context)
        : host_(host), source_(source), context_(context) {}

    void Rebind(const ItemListSource* source, void* context) {
        source_ = source;
        context_ = context;
    }
    // The host went: every call from here on finds nothing.
    void Forget() { source_ = nullptr; }
    bool Alive() const { return source_ != nullptr; }
    int Focused() { return Alive() ? source_->focused(context_) : -1; }
    const ItemListSource* Source() const { return source_; }
    void* Context() const { return context_; }
    HWND Host() const { return host_; }

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* result) override {
        return OnAccessThread([&]() -> HRESULT {
            if (!Alive()) return kUiaElementNotAvailable;
            *result = source_->count(context_);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** result) override {
        *result = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            int item = 0;
            HRESULT hr = Item(child, &item);
            if (hr != S_OK) return hr;
            if (item < 0) {
                wchar_t title[128] = L"";
                GetWindowTextW(host_, title, 128);
                *result = SysAllocString(title);
                return S_OK;
            }
            wchar_t* name = source_->name(context_, item);
            *result = name ? SysAllocString(name) : nullptr;
            PlatformFree(name);
            return *result ? S_OK : S_FALSE;
        });
    }
    // An outline item's value is its level, as tree views give it.
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            int item = 0;
            HRESULT hr = Item(child, &item);
            if (hr != S_OK) return hr;
            int level = item >= 0 ? source_->level(context_, item) : -1;
            if (level < 0) return S_FALSE;
            wchar_t text[16];
            swprintf(text, 16, L"%d", level);
            *result = SysAllocString(text);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT, BSTR* result) override {
        *result = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            int item = 0;
            HRESULT hr = Item(child, &item);
            if (hr != S_OK) return hr;
            *result = ChildVariant(item < 0 ? source_->role : source_->itemRole);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            int item = 0;
            HRESULT hr = Item(child, &item);
            if (hr != S_OK) return hr;
            LONG state = STATE_SYSTEM_FOCUSABLE;
            if (item >= 0) {
                state |= source_->state(context_, item);
                if (item == source_->focused(context_) && GetFocus() == host_) state |= STATE_SYSTEM_FOCUSED;
            } else if (GetFocus() == host_) {
                state |= STATE_SYSTEM_FOCUSED;
            }
            *result = ChildVariant(state);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            if (!Alive()) return kUiaElementNotAvailable;
            int item = source_->focused(context_);
            if (item < 0) return S_FALSE;
            *result = ChildVariant(item + 1);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            if (!Alive()) return kUiaElementNotAvailable;
            int count = source_->count(context_);
            for (int item = 0; item < count; item++)
                if (source_->state(context_, item) & STATE_SYSTEM_SELECTED) *result = ChildVariant(item + 1);
            return result->vt == VT_EMPTY ? S_FALSE : S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* result) override {
        *result = nullptr;
        return S_FALSE;
    }
    // Taking the selection or the focus selects the item as a click does.
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return OnAccessThread([&]() -> HRESULT {
            int item = 0;
            HRESULT hr = Item(child, &item);
            if (hr != S_OK) return hr;
            if (item < 0 || !source_->select || !(flags & (SELFLAG_TAKESELECTION | SELFLAG_TAKEFOCUS)))
                return DISP_E_MEMBERNOTFOUND;
            return source_->select(context_, item) ? S_OK : S_FALSE;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return OnAccessThread([&]() -> HRESULT {
            int item = 0;
            HRESULT hr = Item(child, &item);
            if (hr != S_OK) return hr;
            RECT rect = {0, 0, 0, 0};
            if (item < 0) GetClientRect(host_, &rect);
            else if (!source_->place(context_, item, &rect)) rect = RECT{0, 0, 0, 0};
            MapWindowPoints(host_, nullptr, (POINT*)&rect, 2);
            *left = rect.left;
            *top = rect.top;
            *width = rect.right - rect.left;
            *height = rect.bottom - rect.top;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            if (!Alive()) return kUiaElementNotAvailable;
            LONG count = source_->count(context_);
            LONG from = start.vt == VT_I4 ? start.lVal : CHILDID_SELF;
            LONG to = 0;
            if (direction == NAVDIR_FIRSTCHILD && from == CHILDID_SELF) to = count ? 1 : 0;
            else if (direction == NAVDIR_LASTCHILD && from == CHILDID_SELF) to = count;
            else if ((direction == NAVDIR_NEXT || direction == NAVDIR_DOWN) && from != CHILDID_SELF) to = from + 1;
            else if ((direction == NAVDIR_PREVIOUS || direction == NAVDIR_UP) && from != CHILDID_SELF) to = from - 1;
            if (to < 1 || to > count) return S_FALSE;
            *result = ChildVariant(to);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            if (!Alive()) return kUiaElementNotAvailable;
            POINT point = {x, y};
            ScreenToClient(host_, &point);
            RECT client;
            GetClientRect(host_, &client);
            if (!PtInRect(&client, point)) return S_FALSE;
            *result = ChildVariant(CHILDID_SELF);
            int count = source_->count(context_);
            RECT rect;
            for (int item = 0; item < count; item++)
                if (source_->place(context_, item, &rect) && PtInRect(&rect, point)) *result = ChildVariant(item + 1);
            return S_OK;
        });
    }

private:
    ~ItemList() override {}
    // The item a child id names, -1 for the list itself.
    HRESULT Item(const VARIANT& child, int* item) {
        if (!Alive()) return kUiaElementNotAvailable;
        if (child.vt != VT_I4) return E_INVALIDARG;
        *item = child.lVal - 1;
        if (child.lVal == CHILDID_SELF) return S_OK;
        return child.lVal >= 1 && child.lVal <= source_->count(context_) ? S_OK : E_INVALIDARG;
    }

    HWND host_;
    const ItemListSource* source_;
    void* context_;
};

// ---- The same in UI Automation -----------------------------------------------------


void ReturnInt(int value, VARIANT* result) {
    result->vt = VT_I4;
    result->lVal = value;
}

void ReturnBool(bool value, VARIANT* result) {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

UiaRect ScreenRect(HWND host, RECT rect) {
    MapWindowPoints(host, nullptr, (POINT*)&rect, 2);
    return {(double)rect.left, (double)rect.top, (double)(rect.right - rect.left), (double)(rect.bottom - rect.top)};
}

class ItemRoot;

// One item, by its number in the list; it reads what the list holds now.
// Headings open and close (the expand and collapse pattern) and every item
// can be selected as a click selects it (the selection item pattern).
class ItemElement final : public UiaElement, public IExpandCollapseProvider, public ISelectionItemProvider {
public:
    ItemElement(ItemRoot* root, ItemList* list, int item);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return Query(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            if (!Exists()) return kUiaElementNotAvailable;
            if (pattern == kUiaExpandCollapsePatternId && IsHeading())
                *result = static_cast<IExpandCollapseProvider*>(this);
            else if (pattern == kUiaSelectionItemPatternId && Selectable())
                *result = static_cast<ISelectionItemProvider*>(this);
            if (*result) AddRef();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT { return Property(property, result); });
    }
    HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** result) override;
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** result) override { return ChildRuntimeId(item_ + 1, result); }
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = UiaRect{0, 0, 0, 0};
            if (!Exists()) return kUiaElementNotAvailable;
            RECT place;
            if (list_->Source()->place(list_->Context(), item_, &place)) *result = ScreenRect(list_->Host(), place);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE SetFocus() override { return S_OK; }  // the host's keys move the focus
    HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** result) override;

    HRESULT STDMETHODCALLTYPE Expand() override { return Fold(true); }
    HRESULT STDMETHODCALLTYPE Collapse() override { return Fold(false); }
    HRESULT STDMETHODCALLTYPE get_ExpandCollapseState(int* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = kLeafNode;
            if (!Exists()) return kUiaElementNotAvailable;
            *result = FoldState();
            return S_OK;
        });
    }

    HRESULT STDMETHODCALLTYPE Select() override {
        return OnAccessThread([&]() -> HRESULT {
            if (!Exists()) return kUiaElementNotAvailable;
            const ItemListSource* source = list_->Source();
            if (!source->select || !source->select(list_->Context(), item_)) return kUiaInvalidOperation;
            return S_OK;
        });
    }
    // One item at a time is selected: adding is selecting, and the selected
    // item goes only when another is selected.
    HRESULT STDMETHODCALLTYPE AddToSelection() override { return Select(); }
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override {
        return OnAccessThread([&]() -> HRESULT {
            if (!Exists()) return kUiaElementNotAvailable;
            return Selected() ? kUiaInvalidOperation : S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_IsSelected(BOOL* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = FALSE;
            if (!Exists()) return kUiaElementNotAvailable;
            *result = Selected();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_SelectionContainer(IRawElementProviderSimple** result) override;

private:
    ~ItemElement() override;
    void* Other(REFIID iid) override {
        if (iid == __uuidof(IExpandCollapseProvider)) return static_cast<IExpandCollapseProvider*>(this);
        if (iid == __uuidof(ISelectionItemProvider)) return static_cast<ISelectionItemProvider*>(this);
        return nullptr;
    }
    bool Exists() { return list_->Alive() && item_ < list_->Source()->count(list_->Context()); }
    LONG State() { return list_->Source()->state(list_->Context(), item_); }
    bool Selected() { return (State() & STATE_SYSTEM_SELECTED) != 0; }
    bool Selectable() { return list_->Source()->select && (State() & STATE_SYSTEM_SELECTABLE); }
    bool IsHeading() { return list_->Source()->fold && (State() & (STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED)); }
    int FoldState() {
        LONG state = State();
        if (!list_->Source()->fold || !(state & (STATE_SYSTEM_EXPANDED | STATE_SYSTEM_COLLAPSED))) return kLeafNode;
        return (state & STATE_SYSTEM_EXPANDED) ? kExpanded : kCollapsed;
    }
    // A heading already as asked is left alone; a link cannot open.
    HRESULT Fold(bool open) {
        return OnAccessThread([&]() -> HRESULT {
            if (!Exists()) return kUiaElementNotAvailable;
            int state = FoldState();
            if (state == kLeafNode) return kUiaInvalidOperation;
            if ((state == kExpanded) == open) return S_OK;
            return list_->Source()->fold(list_->Context(), item_, open) ? S_OK : kUiaInvalidOperation;
        });
    }
    HRESULT Property(PROPERTYID property, VARIANT* result) {
        VariantInit(result);
        if (!Exists()) return kUiaElementNotAvailable;
        const ItemListSource* source = list_->Source();
        void* context = list_->Context();
        switch (property) {
        case kUiaControlTypePropertyId: ReturnInt(source->itemControlType, result); break;
        case kUiaNamePropertyId: {
            wchar_t* name = source->name(context, item_);
            result->vt = VT_BSTR;
            result->bstrVal = SysAllocString(name ? name : L"");
            PlatformFree(name);
            break;
        }
        case kUiaHasKeyboardFocusPropertyId:
            ReturnBool(source->focused(context) == item_ && GetFocus() == list_->Host(), result);
            break;
        case kUiaIsKeyboardFocusablePropertyId:
        case kUiaIsEnabledPropertyId:
        case kUiaIsControlElementPropertyId:
        case kUiaIsContentElementPropertyId: ReturnBool(true, result); break;
        case kUiaIsOffscreenPropertyId:
            ReturnBool((source->state(context, item_) & STATE_SYSTEM_OFFSCREEN) != 0, result);
            break;
        case kUiaLevelPropertyId:
            if (source->level(context, item_) >= 0) ReturnInt(source->level(context, item_) + 1, result);
            break;
        case kUiaIsExpandCollapsePatternAvailablePropertyId: ReturnBool(IsHeading(), result); break;
        case kUiaExpandCollapseStatePropertyId: ReturnInt(FoldState(), result); break;
        case kUiaIsSelectionItemPatternAvailablePropertyId: ReturnBool(Selectable(), result); break;
        case kUiaSelectionItemIsSelectedPropertyId: ReturnBool(Selected(), result); break;
        default: break;
        }
        return S_OK;
    }

    ItemRoot* root_;
    ItemList* list_;
    int item_;
};

// The host's tree or list: the root of the items' fragments, and the
// container of their selection.
class ItemRoot final : public UiaElement, public IRawElementProviderFragmentRoot, public ISelectionProvider {
public:
    explicit ItemRoot(ItemList* list) : list_(list) { list_->AddRef(); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return Query(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            if (!list_->Alive()) return kUiaElementNotAvailable;
            if (pattern == kUiaSelectionPatternId && list_->Source()->select) {
                *result = static_cast<ISelectionProvider*>(this);
                AddRef();
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            if (!list_->Alive()) return kUiaElementNotAvailable;
            const ItemListSource* source = list_->Source();
            switch (property) {
            case kUiaControlTypePropertyId: ReturnInt(source->controlType, result); break;
            case kUiaIsSelectionPatternAvailablePropertyId: ReturnBool(source->select != nullptr, result); break;
            case kUiaSelectionCanSelectMultiplePropertyId:
            case kUiaSelectionIsSelectionRequiredPropertyId: ReturnBool(false, result); break;
            default: break;  // the window's own provider gives the rest
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** result) override {
        return WindowHost(list_->Host(), result);
    }
    HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            if (!list_->Alive()) return kUiaElementNotAvailable;
            int count = list_->Source()->count(list_->Context());
            if (count == 0) return S_OK;
            if (direction == NavigateDirection_FirstChild) *result = Item(0);
            if (direction == NavigateDirection_LastChild) *result = Item(count - 1);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** result) override {
        *result = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* result) override {
        *result = UiaRect{0, 0, 0, 0};
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE SetFocus() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** result) override {
        *result = this;
        AddRef();
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE ElementProviderFromPoint(double x, double y,
                                                       IRawElementProviderFragment** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            if (!list_->Alive()) return kUiaElementNotAvailable;
            POINT point = {(LONG)x, (LONG)y};
            ScreenToClient(list_->Host(), &point);
            int count = list_->Source()->count(list_->Context());
            RECT place;
            for (int item = 0; item < count && !*result; item++)
                if (list_->Source()->place(list_->Context(), item, &place) && PtInRect(&place, point))
                    *result = Item(item);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            int item = list_->Focused();
            if (item >= 0) *result = Item(item);
            return S_OK;
        });
    }

    // The selected items: none, or the one a click would have selected.
    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            if (!list_->Alive()) return kUiaElementNotAvailable;
            int count = list_->Source()->count(list_->Context());
            int selected = -1;
            for (int item = 0; item < count && selected < 0; item++)
                if (list_->Source()->state(list_->Context(), item) & STATE_SYSTEM_SELECTED) selected = item;
            *result = SafeArrayCreateVector(VT_UNKNOWN, 0, selected < 0 ? 0 : 1);
            if (!*result) return E_OUTOFMEMORY;
            if (selected < 0) return S_OK;
            IRawElementProviderSimple* element = Simple(Item(selected));
            LONG index = 0;
            HRESULT hr = SafeArrayPutElement(*result, &index, element);  // adds its own reference
            element->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE get_CanSelectMultiple(BOOL* result) override {
        *result = FALSE;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_IsSelectionRequired(BOOL* result) override {
        *result = FALSE;
        return S_OK;
    }

    IRawElementProviderFragment* Item(int item) {
        return static_cast<IRawElementProviderFragment*>(new ItemElement(this, list_, item));
    }
    // The same element as the simple provider that events and arrays carry.
    static IRawElementProviderSimple* Simple(IRawElementProviderFragment* element) {
        IRawElementProviderSimple* simple = nullptr;
        element->QueryInterface(__uuidof(IRawElementProviderSimple), (void**)&simple);
        element->Release();
        return simple;
    }
    ItemList* List() const { return list_; }

private:
    ~ItemRoot() override { list_->Release(); }
    void* Other(REFIID iid) override {
        if (iid == __uuidof(IRawElementProviderFragmentRoot)) return static_cast<IRawElementProviderFragmentRoot*>(this);
        if (iid == __uuidof(ISelectionProvider)) return static_cast<ISelectionProvider*>(this);
        return nullptr;
    }
    ItemList* list_;
};

ItemElement::ItemElement(ItemRoot* root, ItemList* list, int item) : root_(root), list_(list), item_(item) {
    root_->AddRef();
}

ItemElement::~ItemElement() { root_->Release(); }

HRESULT STDMETHODCALLTYPE ItemElement::Navigate(NavigateDirection direction, IRawElementProviderFragment** result) {
    return OnAccessThread([&]() -> HRESULT {
        *result = nullptr;
        if (!Exists()) return kUiaElementNotAvailable;
        int count = list_->Source()->count(list_->Context());
        if (direction == NavigateDirection_Parent) {
            root_->AddRef();
            *result = static_cast<IRawElementProviderFragment*>(root_);
        } else if (direction == NavigateDirection_NextSibling && item_ + 1 < count) {
            *result = root_->Item(item_ + 1);
        } else if (direction == NavigateDirection_PreviousSibling && item_ > 0) {
            *result = root_->Item(item_ - 1);
        }
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE ItemElement::get_FragmentRoot(IRawElementProviderFragmentRoot** result) {
    root_->AddRef();
    *result = static_cast<IRawElementProviderFragmentRoot*>(root_);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE ItemElement::get_SelectionContainer(IRawElementProviderSimple** result) {
    root_->AddRef();
    *result = static_cast<IRawElementProviderSimple*>(root_);
    return S_OK;
}

struct HostedList {
    HWND host;
    ItemList* list;
    ItemRoot* root;  // made with the list
};
HostedList gHosted[kMaxHosts];

HostedList* Hosted(HWND host) {
    for (HostedList& hosted : gHosted)
        if (hosted.host == host) return &hosted;
    return nullptr;
}

}  // namespace

LRESULT AnswerItemList(HWND host, const ItemListSource* source, void* context, WPARAM wParam, LPARAM lParam) {
    LONG id = (LONG)lParam;
    bool automation = id == kUiaRootObjectId && Uia().returnRawElementProvider;
    if ((id != OBJID_CLIENT && !automation) || !StartAccessThread())
        return DefWindowProcW(host, WM_GETOBJECT, wParam, lParam);
    HostedList* hosted = Hosted(host);
    if (!hosted) hosted = Hosted(nullptr);
    if (!hosted) return DefWindowProcW(host, WM_GETOBJECT, wParam, lParam);
    if (!hosted->list) {
        hosted->host = host;
        hosted->list = new ItemList(host, source, context);
        hosted->root = new ItemRoot(hosted->list);
    }
    hosted->list->Rebind(source, context);
    if (automation) return Uia().returnRawElementProvider(host, wParam, lParam, hosted->root);
    return LresultFromObject(IID_IAccessible, wParam, hosted->list);
}

void NoteItemListFocus(HWND host) {
    HostedList* hosted = Hosted(host);
    if (!hosted || !host) return;
    int item = hosted->list->Focused();
    if (item < 0) return;
    NotifyWinEvent(EVENT_OBJECT_FOCUS, host, OBJID_CLIENT, item + 1);
    bool selected = (hosted->list->Source()->state(hosted->list->Context(), item) & STATE_SYSTEM_SELECTED) != 0;
    if (selected) NotifyWinEvent(EVENT_OBJECT_SELECTION, host, OBJID_CLIENT, item + 1);
    if (!Uia().raiseAutomationEvent) return;
    IRawElementProviderSimple* simple = ItemRoot::Simple(hosted->root->Item(item));
    Uia().raiseAutomationEvent(simple, kUiaAutomationFocusChangedEventId);
    if (selected) Uia().raiseAutomationEvent(simple, kUiaElementSelectedEventId);
    simple->Release();
}

void ForgetItemList(HWND host) {
    HostedList* hosted = Hosted(host);
    if (!hosted || !host) return;
    hosted->list->Forget();
    if (Uia().returnRawElementProvider) Uia().returnRawElementProvider(host, 0, 0, nullptr);
    if (Uia().disconnectProvider) Uia().disconnectProvider(hosted->root);
    hosted->root->Release();
    hosted->list->Release();
    *hosted = HostedList{};
}

IRawElementProviderSimple* ItemListRootForTests(HWND host) {
    HostedList* hosted = host ? Hosted(host) : nullptr;
    if (!hosted || !hosted->root) return nullptr;
    hosted->root->AddRef();
    return static_cast<IRawElementProviderSimple*>(hosted->root);
}
