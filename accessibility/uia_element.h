// What every UI Automation element of the reader answers alike: the simple
// and the fragment interface with one reference count, a provider on the
// reader's side, and no embedded roots. An element with more interfaces
// gives them through Other() and answers IUnknown's three calls with
// Query, Hold and Drop, so that all its interfaces share the count.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <uiautomationcore.h>

#include "accessibility/uia_api.h"

class UiaElement : public IRawElementProviderSimple, public IRawElementProviderFragment {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return Query(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE get_ProviderOptions(ProviderOptions* result) override {
        *result = ProviderOptions_ServerSideProvider;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetEmbeddedFragmentRoots(SAFEARRAY** result) override {
        *result = nullptr;
        return S_OK;
    }
    // A fragment inside its window, not the window; a root gives WindowHost.
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** result) override {
        *result = nullptr;
        return S_OK;
    }

protected:
    virtual ~UiaElement() {}
    // An interface beyond the simple and the fragment one, or null.
    virtual void* Other(REFIID) { return nullptr; }

    HRESULT Query(REFIID iid, void** object) {
        *object = nullptr;
        if (iid == __uuidof(IUnknown) || iid == __uuidof(IRawElementProviderSimple))
            *object = static_cast<IRawElementProviderSimple*>(this);
        else if (iid == __uuidof(IRawElementProviderFragment))
            *object = static_cast<IRawElementProviderFragment*>(this);
        else
            *object = Other(iid);
        if (!*object) return E_NOINTERFACE;
        Hold();
        return S_OK;
    }
    // A root's host: the window's own provider, which gives the rest of the
    // root's properties.
    static HRESULT WindowHost(HWND window, IRawElementProviderSimple** result) {
        *result = nullptr;
        return Uia().hostProviderFromHwnd ? Uia().hostProviderFromHwnd(window, result) : S_OK;
    }
    // A child's runtime id: its number from 1, appended to its host window's id.
    static HRESULT ChildRuntimeId(int number, SAFEARRAY** result) {
        const int kAppendRuntimeId = 3;
        *result = SafeArrayCreateVector(VT_I4, 0, 2);
        if (!*result) return E_OUTOFMEMORY;
        LONG values[2] = {kAppendRuntimeId, number};
        for (LONG i = 0; i < 2; i++) SafeArrayPutElement(*result, &i, &values[i]);
        return S_OK;
    }

    ULONG Hold() { return (ULONG)InterlockedIncrement(&references_); }
    ULONG Drop() {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return (ULONG)left;
    }

private:
    volatile LONG references_ = 1;
};
