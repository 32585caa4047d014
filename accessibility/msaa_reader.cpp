#include "accessibility/msaa_reader.h"

#include "accessibility/access_thread.h"
#include "accessibility/accessible_object.h"
#include "accessibility/reader_model.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

// The part a child id names; -1 for the object itself or an unknown id.
int PartOfChild(const VARIANT& child) {
    if (child.vt != VT_I4 || child.lVal == CHILDID_SELF) return -1;
    int parts[kPartCount];
    int count = ShownParts(parts);
    return child.lVal >= 1 && child.lVal <= count ? parts[child.lVal - 1] : -2;
}

HRESULT ReturnOwnedString(wchar_t* text, BSTR* result) {
    *result = text ? SysAllocString(text) : nullptr;
    PlatformFree(text);
    return *result ? S_OK : S_FALSE;
}

class ReaderAccessible final : public AccessibleObject {
public:
    explicit ReaderAccessible(HWND window) : window_(window) {}

    HRESULT STDMETHODCALLTYPE get_accChildCount(LONG* result) override {
        return OnAccessThread([&]() -> HRESULT {
            int parts[kPartCount];
            *result = ShownParts(parts);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accChild(VARIANT, IDispatch** result) override {
        *result = nullptr;  // the children are simple elements
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accName(VARIANT child, BSTR* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            int part = PartOfChild(child);
            if (part == -2) return E_INVALIDARG;
            if (part < 0) {
                *result = SysAllocString(L"Lorvan");
                return S_OK;
            }
            return ReturnOwnedString(PartName(part), result);
        });
    }
    HRESULT STDMETHODCALLTYPE get_accValue(VARIANT child, BSTR* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            int part = PartOfChild(child);
            if (part == -2) return E_INVALIDARG;
            if (part < 0 || part == kPartStatus) return S_FALSE;
            return ReturnOwnedString(CaretLineText(part), result);
        });
    }
    // The status line's description is the last place announced.
    HRESULT STDMETHODCALLTYPE get_accDescription(VARIANT child, BSTR* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            if (PartOfChild(child) != kPartStatus || !LastAnnouncement()[0]) return S_FALSE;
            *result = SysAllocString(LastAnnouncement());
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accRole(VARIANT child, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            int part = PartOfChild(child);
            if (part == -2) return E_INVALIDARG;
            *result = ChildVariant(part < 0 ? ROLE_SYSTEM_CLIENT
                                            : part == kPartStatus ? ROLE_SYSTEM_STATICTEXT : ROLE_SYSTEM_DOCUMENT);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accState(VARIANT child, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            int part = PartOfChild(child);
            if (part == -2) return E_INVALIDARG;
            LONG state = STATE_SYSTEM_FOCUSABLE;
            if (part == kPartStatus) state = STATE_SYSTEM_READONLY;
            else if (part >= 0) {
                state |= STATE_SYSTEM_READONLY;
                if (IsActivePart(part)) state |= STATE_SYSTEM_FOCUSED;
            } else if (GetFocus() == window_) {
                state |= STATE_SYSTEM_FOCUSED;
            }
            *result = ChildVariant(state);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accFocus(VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            for (int part = kPartMain; part <= kPartLower; part++)
                if (IsActivePart(part) && ChildIdOfPart(part)) *result = ChildVariant(ChildIdOfPart(part));
            return result->vt == VT_EMPTY ? S_FALSE : S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_accSelection(VARIANT* result) override {
        VariantInit(result);
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE get_accDefaultAction(VARIANT, BSTR* result) override {
        *result = nullptr;
        return S_FALSE;
    }
    HRESULT STDMETHODCALLTYPE accSelect(LONG flags, VARIANT child) override {
        return OnAccessThread([&]() -> HRESULT {
            int part = PartOfChild(child);
            if (part < 0 || part == kPartStatus) return E_INVALIDARG;
            if (flags & SELFLAG_TAKEFOCUS) {
                SetActivePane(PaneOfPart(part));
                SetFocus(window_);
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accLocation(LONG* left, LONG* top, LONG* width, LONG* height, VARIANT child) override {
        return OnAccessThread([&]() -> HRESULT {
            int part = PartOfChild(child);
            if (part == -2) return E_INVALIDARG;
            RECT rect;
            if (part >= 0) {
                rect = PartScreenRect(window_, part);
            } else {
                GetClientRect(window_, &rect);
                MapWindowPoints(window_, nullptr, (POINT*)&rect, 2);
            }
            *left = rect.left;
            *top = rect.top;
            *width = rect.right - rect.left;
            *height = rect.bottom - rect.top;
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE accNavigate(LONG direction, VARIANT start, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT { return Navigate(direction, start, result); });
    }
    HRESULT STDMETHODCALLTYPE accHitTest(LONG x, LONG y, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            POINT point = {x, y};
            RECT client;
            GetClientRect(window_, &client);
            MapWindowPoints(window_, nullptr, (POINT*)&client, 2);
            if (!PtInRect(&client, point)) return S_FALSE;
            *result = ChildVariant(CHILDID_SELF);
            int parts[kPartCount];
            int count = ShownParts(parts);
            for (int i = 0; i < count; i++) {
                RECT rect = PartScreenRect(window_, parts[i]);
                if (PtInRect(&rect, point)) *result = ChildVariant(i + 1);
            }
            return S_OK;
        });
    }

private:
    ~ReaderAccessible() override {}

    HRESULT Navigate(LONG direction, VARIANT start, VARIANT* result) {
        VariantInit(result);
        int parts[kPartCount];
        LONG count = ShownParts(parts);
        LONG from = start.vt == VT_I4 ? start.lVal : CHILDID_SELF;
        LONG to = 0;
        switch (direction) {
        case NAVDIR_FIRSTCHILD: to = from == CHILDID_SELF && count ? 1 : 0; break;
        case NAVDIR_LASTCHILD: to = from == CHILDID_SELF ? count : 0; break;
        case NAVDIR_NEXT:
        case NAVDIR_DOWN: to = from != CHILDID_SELF && from < count ? from + 1 : 0; break;
        case NAVDIR_PREVIOUS:
        case NAVDIR_UP: to = from > 1 ? from - 1 : 0; break;
        default: return E_INVALIDARG;
        }
        if (to <= 0) return S_FALSE;
        *result = ChildVariant(to);
        return S_OK;
    }

    HWND window_;
};

}  // namespace

IAccessible* CreateReaderAccessible(HWND window) { return new ReaderAccessible(window); }

LONG ChildIdOfPart(int part) {
    int parts[kPartCount];
    int count = ShownParts(parts);
    for (int i = 0; i < count; i++)
        if (parts[i] == part) return i + 1;
    return 0;
}
