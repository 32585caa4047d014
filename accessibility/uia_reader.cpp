#include "accessibility/uia_reader.h"

#include <string.h>

#include "accessibility/access_thread.h"
#include "accessibility/reader_model.h"
#include "accessibility/uia_element.h"
#include "app/app_state.h"
#include "panes/pane_paint.h"
#include "panes/pane_select.h"
#include "panes/split_view.h"
#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

// Asked of a range by QueryInterface, it answers with itself: a range of this
// provider, not a client's.
const GUID kPaneRangeSelf = {0x6c1e8b02, 0x3f4d, 0x4a51, {0x9a, 0x2e, 0x71, 0x0b, 0x5c, 0xd4, 0x18, 0x3e}};
const int kMaxBoxes = 256;

class ReaderRoot;
class PartElement;

HRESULT ReturnString(const wchar_t* text, VARIANT* result) {
    result->vt = VT_BSTR;
    result->bstrVal = SysAllocString(text ? text : L"");
    return result->bstrVal ? S_OK : E_OUTOFMEMORY;
}

HRESULT ReturnName(int part, VARIANT* result) {
    wchar_t* name = PartName(part);
    HRESULT hr = ReturnString(name, result);
    PlatformFree(name);
    return hr;
}

void ReturnInt(int value, VARIANT* result) {
    result->vt = VT_I4;
    result->lVal = value;
}

void ReturnBool(bool value, VARIANT* result) {
    result->vt = VT_BOOL;
    result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
}

SAFEARRAY* UnknownArray(IUnknown** items, LONG count) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_UNKNOWN, 0, (ULONG)count);
    if (!array) return nullptr;
    for (LONG i = 0; i < count; i++) SafeArrayPutElement(array, &i, items[i]);
    return array;
}

// ---- The text range -------------------------------------------------------------

// Units [start, end) of one pane's document, good while the pane holds the
// text it was made for.
class PaneRange final : public ITextRangeProvider {
public:
    PaneRange(PartElement* owner, int part, uint32_t generation, uint32_t start, uint32_t end);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = nullptr;
        if (iid == kPaneRangeSelf || iid == __uuidof(IUnknown) || iid == __uuidof(ITextRangeProvider)) {
            *object = static_cast<ITextRangeProvider*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE Clone(ITextRangeProvider** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            if (!Document()) return kUiaElementNotAvailable;
            *result = new PaneRange(owner_, part_, generation_, start_, end_);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE Compare(ITextRangeProvider* other, BOOL* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = FALSE;
            PaneRange* range = Own(other);
            if (!Document()) return kUiaElementNotAvailable;
            *result = range && range->part_ == part_ && range->start_ == start_ && range->end_ == end_;
            if (range) range->Release();
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE CompareEndpoints(int endpoint, ITextRangeProvider* other, int otherEndpoint,
                                               int* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = 0;
            PaneRange* range = Own(other);
            if (!range) return E_INVALIDARG;
            HRESULT hr = S_OK;
            if (!Document()) hr = kUiaElementNotAvailable;
            else if (range->part_ != part_) hr = E_INVALIDARG;
            else *result = (int)Endpoint(endpoint) - (int)range->Endpoint(otherEndpoint);
            range->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE ExpandToEnclosingUnit(int unit) override {
        return OnAccessThread([&]() -> HRESULT {
            PaneDocument* doc = Document();
            if (!doc) return kUiaElementNotAvailable;
            uint32_t length = (uint32_t)doc->length;
            if (unit >= kTextUnitPage || unit == kTextUnitFormat) {
                start_ = 0;
                end_ = length;
                return S_OK;
            }
            if (start_ >= length && length > 0) start_ = PreviousUnitBoundary(doc, unit, length);
            if (!IsUnitBoundary(doc, unit, start_)) start_ = PreviousUnitBoundary(doc, unit, start_);
            end_ = NextUnitBoundary(doc, unit, start_);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE FindAttribute(TEXTATTRIBUTEID, VARIANT, BOOL, ITextRangeProvider** result) override {
        *result = nullptr;  // no attribute changes within a pane
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE FindText(BSTR text, BOOL backward, BOOL ignoreCase,
                                       ITextRangeProvider** result) override {
        return OnAccessThread([&]() -> HRESULT { return Find(text, backward, ignoreCase, result); });
    }
    HRESULT STDMETHODCALLTYPE GetAttributeValue(TEXTATTRIBUTEID attribute, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT {
            VariantInit(result);
            if (!Document()) return kUiaElementNotAvailable;
            if (attribute == kUiaCultureAttributeId) ReturnInt(kHebrewCulture, result);
            else if (attribute == kUiaIsReadOnlyAttributeId) ReturnBool(true, result);
            else return NotSupported(result);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetBoundingRectangles(SAFEARRAY** result) override {
        return OnAccessThread([&]() -> HRESULT { return Boxes(result); });
    }
    HRESULT STDMETHODCALLTYPE GetEnclosingElement(IRawElementProviderSimple** result) override;
    HRESULT STDMETHODCALLTYPE GetText(int maxLength, BSTR* result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            PaneDocument* doc = Document();
            if (!doc) return kUiaElementNotAvailable;
            uint32_t count = end_ - start_;
            if (maxLength >= 0 && (uint32_t)maxLength < count) count = (uint32_t)maxLength;
            *result = SysAllocStringLen(doc->chars + start_, count);
            return *result ? S_OK : E_OUTOFMEMORY;
        });
    }
    HRESULT STDMETHODCALLTYPE Move(int unit, int count, int* moved) override {
        return OnAccessThread([&]() -> HRESULT { return MoveBy(unit, count, moved); });
    }
    HRESULT STDMETHODCALLTYPE MoveEndpointByUnit(int endpoint, int unit, int count, int* moved) override {
        return OnAccessThread([&]() -> HRESULT { return MoveEndpoint(endpoint, unit, count, moved); });
    }
    HRESULT STDMETHODCALLTYPE MoveEndpointByRange(int endpoint, ITextRangeProvider* other,
                                                  int otherEndpoint) override {
        return OnAccessThread([&]() -> HRESULT {
            PaneRange* range = Own(other);
            if (!range) return E_INVALIDARG;
            HRESULT hr = S_OK;
            if (!Document()) hr = kUiaElementNotAvailable;
            else if (range->part_ != part_) hr = E_INVALIDARG;
            else SetEndpoint(endpoint, range->Endpoint(otherEndpoint));
            range->Release();
            return hr;
        });
    }
    HRESULT STDMETHODCALLTYPE Select() override {
        return OnAccessThread([&]() -> HRESULT { return SelectInPane(); });
    }
    HRESULT STDMETHODCALLTYPE AddToSelection() override { return E_INVALIDARG; }  // one selection only
    HRESULT STDMETHODCALLTYPE RemoveFromSelection() override { return E_INVALIDARG; }
    HRESULT STDMETHODCALLTYPE ScrollIntoView(BOOL) override {
        return OnAccessThread([&]() -> HRESULT { return Reveal(); });
    }
    HRESULT STDMETHODCALLTYPE GetChildren(SAFEARRAY** result) override {
        *result = SafeArrayCreateVector(VT_UNKNOWN, 0, 0);
        return *result ? S_OK : E_OUTOFMEMORY;
    }

private:
    ~PaneRange();

    // The document while the pane holds the range's text; null once it went.
    PaneDocument* Document() {
        PaneDocument* doc = PartDocument(part_);
        if (!doc || doc->textGeneration != generation_) return nullptr;
        if (end_ > doc->length) end_ = (uint32_t)doc->length;
        if (start_ > end_) start_ = end_;
        return doc;
    }
    static PaneRange* Own(ITextRangeProvider* other) {
        void* self = nullptr;
        if (!other || FAILED(other->QueryInterface(kPaneRangeSelf, &self))) return nullptr;
        return static_cast<PaneRange*>((ITextRangeProvider*)self);
    }
    uint32_t Endpoint(int endpoint) const { return endpoint == kEndpointStart ? start_ : end_; }
    // Moving one end past the other takes the other with it.
    void SetEndpoint(int endpoint, uint32_t at) {
        if (endpoint == kEndpointStart) {
            start_ = at;
            if (end_ < start_) end_ = start_;
        } else {
            end_ = at;
            if (start_ > end_) start_ = end_;
        }
    }
    static HRESULT NotSupported(VARIANT* result) {
        IUnknown* reserved = nullptr;
        if (Uia().getReservedNotSupportedValue && SUCCEEDED(Uia().getReservedNotSupportedValue(&reserved))) {
            result->vt = VT_UNKNOWN;
            result->punkVal = reserved;
        }
        return S_OK;
    }
    HRESULT MoveBy(int unit, int count, int* moved);
    HRESULT MoveEndpoint(int endpoint, int unit, int count, int* moved);
    HRESULT Find(BSTR text, BOOL backward, BOOL ignoreCase, ITextRangeProvider** result);
    HRESULT Boxes(SAFEARRAY** result);
    HRESULT SelectInPane();
    HRESULT Reveal();

    volatile LONG references_ = 1;
    PartElement* owner_;
    int part_;
    uint32_t generation_;
    uint32_t start_;
    uint32_t end_;
};

// The unit kinds of the document all move as one unit.
int EffectiveUnit(int unit) { return unit >= kTextUnitPage || unit == kTextUnitFormat ? kTextUnitDocument : unit; }

uint32_t NextBoundary(PaneDocument* doc, int unit, uint32_t at) {
    return unit == kTextUnitDocument ? (uint32_t)doc->length : NextUnitBoundary(doc, unit, at);
}
uint32_t PreviousBoundary(PaneDocument* doc, int unit, uint32_t at) {
    return unit == kTextUnitDocument ? 0 : PreviousUnitBoundary(doc, unit, at);
}

HRESULT PaneRange::MoveBy(int unit, int count, int* moved) {
    *moved = 0;
    PaneDocument* doc = Document();
    if (!doc) return kUiaElementNotAvailable;
    unit = EffectiveUnit(unit);
    uint32_t length = (uint32_t)doc->length;
    bool degenerate = start_ == end_;
    uint32_t at = start_;
    if (unit != kTextUnitDocument && !IsUnitBoundary(doc, unit, at)) at = PreviousUnitBoundary(doc, unit, at);
    if (unit == kTextUnitDocument) at = 0;
    int done = 0;
    while (done < count && at < length) {
        uint32_t next = NextBoundary(doc, unit, at);
        if (next >= length && !degenerate) break;  // no unit starts at the end
        at = next;
        done++;
    }
    while (done > count && at > 0) {
        at = PreviousBoundary(doc, unit, at);
        done--;
    }
    start_ = at;
    end_ = degenerate ? at : NextBoundary(doc, unit, at);
    *moved = done;
    return S_OK;
}

HRESULT PaneRange::MoveEndpoint(int endpoint, int unit, int count, int* moved) {
    *moved = 0;
    PaneDocument* doc = Document();
    if (!doc) return kUiaElementNotAvailable;
    unit = EffectiveUnit(unit);
    uint32_t at = Endpoint(endpoint);
    int done = 0;
    while (done < count && at < doc->length) {
        at = NextBoundary(doc, unit, at);
        done++;
    }
    while (done > count && at > 0) {
        at = PreviousBoundary(doc, unit, at);
        done--;
    }
    SetEndpoint(endpoint, at);
    *moved = done;
    return S_OK;
}

wchar_t Folded(wchar_t c, BOOL ignoreCase) { return ignoreCase && c >= L'A' && c <= L'Z' ? c + 32 : c; }

HRESULT PaneRange::Find(BSTR text, BOOL backward, BOOL ignoreCase, ITextRangeProvider** result) {
    *result = nullptr;
    PaneDocument* doc = Document();
    if (!doc) return kUiaElementNotAvailable;
    uint32_t needle = text ? SysStringLen(text) : 0;
    if (needle == 0 || needle > end_ - start_) return S_OK;
    uint32_t last = end_ - needle;
    for (uint32_t i = 0; i <= last - start_; i++) {
        uint32_t at = backward ? last - i : start_ + i;
        uint32_t k = 0;
        while (k < needle && Folded(doc->chars[at + k], ignoreCase) == Folded(text[k], ignoreCase)) k++;
        if (k == needle) {
            *result = new PaneRange(owner_, part_, generation_, at, at + needle);
            return S_OK;
        }
    }
    return S_OK;
}

HRESULT PaneRange::Boxes(SAFEARRAY** result) {
    *result = nullptr;
    PaneDocument* doc = Document();
    if (!doc) return kUiaElementNotAvailable;
    TextPane* pane = PaneOfPart(part_);
    RECT* boxes = (RECT*)PlatformAlloc(sizeof(RECT) * kMaxBoxes);
    if (!boxes) return E_OUTOFMEMORY;
    int count = SpanBoxes(doc, pane, {start_, end_}, boxes, kMaxBoxes);
    SAFEARRAY* array = SafeArrayCreateVector(VT_R8, 0, (ULONG)(4 * count));
    if (!array) {
        PlatformFree(boxes);
        return E_OUTOFMEMORY;
    }
    for (int i = 0; i < count; i++) {
        RECT box = boxes[i];
        MapWindowPoints(gApp.mainWindow, nullptr, (POINT*)&box, 2);
        double values[4] = {(double)box.left, (double)box.top, (double)(box.right - box.left),
                            (double)(box.bottom - box.top)};
        for (LONG k = 0; k < 4; k++) {
            LONG index = 4 * i + k;
            SafeArrayPutElement(array, &index, &values[k]);
        }
    }
    PlatformFree(boxes);
    *result = array;
    return S_OK;
}

HRESULT PaneRange::SelectInPane() {
    PaneDocument* doc = Document();
    if (!doc) return kUiaElementNotAvailable;
    TextPane* pane = PaneOfPart(part_);
    // The first and the last letter of the range, in stored offsets.
    uint16_t first = 0, last = 0;
    bool any = false;
    for (uint32_t at = start_; at < end_; at++) {
        uint32_t unit = ReadingUnitOfStored(doc->records, doc->recordCount, doc->form.mirror, doc->sources[at]);
        if (unit != at) continue;
        if (!any) first = doc->sources[at];
        last = doc->sources[at];
        any = true;
    }
    if (!any) ClearSelection(pane);
    else SelectCharacters(pane, first, last);
    RepaintPane(gApp.mainWindow, pane);
    return S_OK;
}

HRESULT PaneRange::Reveal() {
    PaneDocument* doc = Document();
    if (!doc) return kUiaElementNotAvailable;
    TextPane* pane = PaneOfPart(part_);
    int row = RowOfUnit(doc, start_);
    if (row < 0) return S_OK;
    ScrollPane(pane, row - (int)pane->firstRow, 0);
    RepaintPane(gApp.mainWindow, pane);
    return S_OK;
}

// ---- The elements -----------------------------------------------------------------

class PartElement final : public UiaElement, public ITextProvider {
public:
    PartElement(ReaderRoot* root, int part) : root_(root), part_(part) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return Query(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    // IRawElementProviderSimple
    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID pattern, IUnknown** result) override {
        *result = nullptr;
        if (pattern == kUiaTextPatternId && part_ != kPartStatus) {
            *result = static_cast<ITextProvider*>(this);
            AddRef();
        }
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override {
        return OnAccessThread([&]() -> HRESULT { return Property(property, result); });
    }

    // IRawElementProviderFragment
    HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** result) override;
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** result) override { return ChildRuntimeId(part_ + 1, result); }
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* result) override;
    HRESULT STDMETHODCALLTYPE SetFocus() override {
        return OnAccessThread([&]() -> HRESULT {
            if (part_ == kPartStatus || !PartShown(part_)) return S_OK;
            SetActivePane(PaneOfPart(part_));
            ::SetFocus(gApp.mainWindow);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_FragmentRoot(IRawElementProviderFragmentRoot** result) override;

    // ITextProvider
    HRESULT STDMETHODCALLTYPE GetSelection(SAFEARRAY** result) override {
        return OnAccessThread([&]() -> HRESULT { return Selection(result); });
    }
    HRESULT STDMETHODCALLTYPE GetVisibleRanges(SAFEARRAY** result) override {
        return OnAccessThread([&]() -> HRESULT { return VisibleRanges(result); });
    }
    HRESULT STDMETHODCALLTYPE RangeFromChild(IRawElementProviderSimple*, ITextRangeProvider** result) override {
        *result = nullptr;
        return E_INVALIDARG;  // the panes have no children
    }
    HRESULT STDMETHODCALLTYPE RangeFromPoint(UiaPointValue point, ITextRangeProvider** result) override {
        return OnAccessThread([&]() -> HRESULT { return RangeAtPoint(point, result); });
    }
    HRESULT STDMETHODCALLTYPE get_DocumentRange(ITextRangeProvider** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            PaneDocument* doc = PartDocument(part_);
            if (!doc) return kUiaElementNotAvailable;
            *result = NewRange(doc, 0, (uint32_t)doc->length);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE get_SupportedTextSelection(int* result) override {
        *result = kTextSelectionSingle;
        return S_OK;
    }

    int Part() const { return part_; }
    ReaderRoot* Root() const { return root_; }

private:
    ~PartElement() override {}
    void* Other(REFIID iid) override {
        return iid == __uuidof(ITextProvider) && part_ != kPartStatus ? static_cast<ITextProvider*>(this) : nullptr;
    }
    ITextRangeProvider* NewRange(PaneDocument* doc, uint32_t start, uint32_t end) {
        return new PaneRange(this, part_, doc->textGeneration, start, end);
    }
    HRESULT Property(PROPERTYID property, VARIANT* result);
    HRESULT Selection(SAFEARRAY** result);
    HRESULT VisibleRanges(SAFEARRAY** result);
    HRESULT RangeAtPoint(UiaPointValue point, ITextRangeProvider** result);

    ReaderRoot* root_;  // lives as long as its parts: each part holds a reference
    int part_;
};

class ReaderRoot final : public UiaElement, public IRawElementProviderFragmentRoot {
public:
    explicit ReaderRoot(HWND window) : window_(window) {
        for (int part = 0; part < kPartCount; part++) parts_[part] = nullptr;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override { return Query(iid, object); }
    ULONG STDMETHODCALLTYPE AddRef() override { return Hold(); }
    ULONG STDMETHODCALLTYPE Release() override { return Drop(); }

    HRESULT STDMETHODCALLTYPE GetPatternProvider(PATTERNID, IUnknown** result) override {
        *result = nullptr;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetPropertyValue(PROPERTYID property, VARIANT* result) override {
        VariantInit(result);
        if (property == kUiaControlTypePropertyId) ReturnInt(kUiaPaneControlTypeId, result);
        return S_OK;  // the window's own provider gives the rest
    }
    HRESULT STDMETHODCALLTYPE get_HostRawElementProvider(IRawElementProviderSimple** result) override {
        return WindowHost(window_, result);
    }

    HRESULT STDMETHODCALLTYPE Navigate(NavigateDirection direction, IRawElementProviderFragment** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            int parts[kPartCount];
            int count = ShownParts(parts);
            if (count == 0) return S_OK;
            if (direction == NavigateDirection_FirstChild) *result = Fragment(parts[0]);
            if (direction == NavigateDirection_LastChild) *result = Fragment(parts[count - 1]);
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetRuntimeId(SAFEARRAY** result) override {
        *result = nullptr;  // the window's provider has the id
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE get_BoundingRectangle(UiaRect* result) override {
        memset(result, 0, sizeof *result);  // the window's provider has it
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
            POINT point = {(LONG)x, (LONG)y};
            int parts[kPartCount];
            int count = ShownParts(parts);
            for (int i = 0; i < count; i++) {
                RECT rect = PartScreenRect(window_, parts[i]);
                if (PtInRect(&rect, point)) *result = Fragment(parts[i]);
            }
            return S_OK;
        });
    }
    HRESULT STDMETHODCALLTYPE GetFocus(IRawElementProviderFragment** result) override {
        return OnAccessThread([&]() -> HRESULT {
            *result = nullptr;
            for (int part = kPartMain; part <= kPartLower; part++)
                if (IsActivePart(part) && PartShown(part)) *result = Fragment(part);
            return S_OK;
        });
    }

    // The part's element, made on first use, with a reference for the caller.
    PartElement* Part(int part) {
        if (!parts_[part]) {
            parts_[part] = new PartElement(this, part);
            AddRef();  // the part's hold on its root
        }
        parts_[part]->AddRef();
        return parts_[part];
    }
    IRawElementProviderFragment* Fragment(int part) { return static_cast<IRawElementProviderFragment*>(Part(part)); }
    HWND Window() const { return window_; }
    // The parts hold the root and the root holds its parts: the owner breaks
    // the ring when the window goes.
    void ReleaseParts() {
        for (int part = 0; part < kPartCount; part++) {
            PartElement* element = parts_[part];
            parts_[part] = nullptr;
            if (!element) continue;
            if (Uia().disconnectProvider) Uia().disconnectProvider(element);
            element->Release();
            Release();
        }
    }

private:
    ~ReaderRoot() override {}
    void* Other(REFIID iid) override {
        return iid == __uuidof(IRawElementProviderFragmentRoot) ? static_cast<IRawElementProviderFragmentRoot*>(this)
                                                                 : nullptr;
    }
    HWND window_;
    PartElement* parts_[kPartCount];
};

PaneRange::PaneRange(PartElement* owner, int part, uint32_t generation, uint32_t start, uint32_t end)
    : owner_(owner), part_(part), generation_(generation), start_(start), end_(end) {
    owner_->AddRef();
}

PaneRange::~PaneRange() { owner_->Release(); }

ULONG STDMETHODCALLTYPE PaneRange::Release() {
    LONG left = InterlockedDecrement(&references_);
    if (left == 0) delete this;
    return (ULONG)left;
}

HRESULT STDMETHODCALLTYPE PaneRange::GetEnclosingElement(IRawElementProviderSimple** result) {
    return OnAccessThread([&]() -> HRESULT {
        *result = nullptr;
        if (!Document()) return kUiaElementNotAvailable;
        *result = static_cast<IRawElementProviderSimple*>(owner_);
        owner_->AddRef();
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE PartElement::Navigate(NavigateDirection direction, IRawElementProviderFragment** result) {
    return OnAccessThread([&]() -> HRESULT {
        *result = nullptr;
        if (direction == NavigateDirection_Parent) {
            root_->AddRef();
            *result = static_cast<IRawElementProviderFragment*>(root_);
            return S_OK;
        }
        int parts[kPartCount];
        int count = ShownParts(parts);
        int at = -1;
        for (int i = 0; i < count; i++)
            if (parts[i] == part_) at = i;
        if (at < 0) return S_OK;
        if (direction == NavigateDirection_NextSibling && at + 1 < count) *result = root_->Fragment(parts[at + 1]);
        if (direction == NavigateDirection_PreviousSibling && at > 0) *result = root_->Fragment(parts[at - 1]);
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE PartElement::get_BoundingRectangle(UiaRect* result) {
    return OnAccessThread([&]() -> HRESULT {
        memset(result, 0, sizeof *result);
        if (!PartShown(part_)) return S_OK;
        RECT rect = PartScreenRect(root_->Window(), part_);
        *result = {(double)rect.left, (double)rect.top, (double)(rect.right - rect.left),
                   (double)(rect.bottom - rect.top)};
        return S_OK;
    });
}

HRESULT STDMETHODCALLTYPE PartElement::get_FragmentRoot(IRawElementProviderFragmentRoot** result) {
    *result = static_cast<IRawElementProviderFragmentRoot*>(root_);
    root_->AddRef();
    return S_OK;
}

const wchar_t* AutomationIdOfPart(int part) {
    static const wchar_t* const kIds[kPartCount] = {L"MainPane", L"LowerPane", L"StatusLine"};
    return kIds[part];
}

HRESULT PartElement::Property(PROPERTYID property, VARIANT* result) {
    VariantInit(result);
    bool pane = part_ != kPartStatus;
    switch (property) {
    case kUiaControlTypePropertyId: ReturnInt(pane ? kUiaDocumentControlTypeId : kUiaTextControlTypeId, result); break;
    case kUiaNamePropertyId: return ReturnName(part_, result);
    case kUiaAutomationIdPropertyId: return ReturnString(AutomationIdOfPart(part_), result);
    case kUiaHasKeyboardFocusPropertyId:
        ReturnBool(IsActivePart(part_) && ::GetFocus() == root_->Window(), result);
        break;
    case kUiaIsKeyboardFocusablePropertyId: ReturnBool(pane, result); break;
    case kUiaIsEnabledPropertyId:
    case kUiaIsControlElementPropertyId:
    case kUiaIsContentElementPropertyId: ReturnBool(true, result); break;
    case kUiaIsOffscreenPropertyId: ReturnBool(!PartShown(part_), result); break;
    case kUiaIsTextPatternAvailablePropertyId: ReturnBool(pane, result); break;
    case kUiaCulturePropertyId:
        if (pane) ReturnInt(kHebrewCulture, result);
        break;
    default: break;
    }
    return S_OK;
}

HRESULT PartElement::Selection(SAFEARRAY** result) {
    *result = nullptr;
    PaneDocument* doc = PartDocument(part_);
    if (!doc) return kUiaElementNotAvailable;
    const TextPane* pane = PaneOfPart(part_);
    ReadingSpan span = {CaretSpan(doc, pane).start, CaretSpan(doc, pane).start};  // the caret, empty
    if (HasSelection(pane)) {
        uint32_t anchor = ReadingUnitOfStored(doc->records, doc->recordCount, doc->form.mirror, pane->selectAnchor);
        uint32_t focus = ReadingUnitOfStored(doc->records, doc->recordCount, doc->form.mirror, pane->selectFocus);
        if (anchor != kNoReadingUnit && focus != kNoReadingUnit)
            span = {anchor < focus ? anchor : focus, (anchor < focus ? focus : anchor) + 1};
    }
    IUnknown* range = NewRange(doc, span.start, span.end);
    *result = UnknownArray(&range, 1);
    range->Release();
    return *result ? S_OK : E_OUTOFMEMORY;
}

HRESULT PartElement::VisibleRanges(SAFEARRAY** result) {
    *result = nullptr;
    PaneDocument* doc = PartDocument(part_);
    if (!doc) return kUiaElementNotAvailable;
    const TextPane* pane = PaneOfPart(part_);
    // Rows read in another order than shown (mirrored paragraphs) still make
    // one stretch from the first unit on screen to the last.
    ReadingSpan span = {(uint32_t)doc->length, 0};
    int lastRow = pane->firstRow + (pane->rowsDrawn > 0 ? pane->rowsDrawn : 1);
    for (int row = pane->firstRow; row < lastRow && row < doc->rowCount; row++) {
        if (doc->rows[row].start < span.start) span.start = doc->rows[row].start;
        if (doc->rows[row].end > span.end) span.end = doc->rows[row].end;
    }
    if (span.start > span.end) span = {0, 0};
    IUnknown* range = NewRange(doc, span.start, span.end);
    *result = UnknownArray(&range, 1);
    range->Release();
    return *result ? S_OK : E_OUTOFMEMORY;
}

HRESULT PartElement::RangeAtPoint(UiaPointValue point, ITextRangeProvider** result) {
    *result = nullptr;
    PaneDocument* doc = PartDocument(part_);
    if (!doc) return kUiaElementNotAvailable;
    POINT client = {(LONG)point.x, (LONG)point.y};
    ScreenToClient(root_->Window(), &client);
    uint32_t at = CaretSpan(doc, PaneOfPart(part_)).start;
    UnitAtPoint(doc, PaneOfPart(part_), client.x, client.y, &at);
    *result = NewRange(doc, at, at);
    return S_OK;
}

}  // namespace

IRawElementProviderSimple* CreateReaderRoot(HWND window) { return static_cast<IRawElementProviderSimple*>(new ReaderRoot(window)); }

IRawElementProviderSimple* ReaderPartElement(IRawElementProviderSimple* root, int part) {
    return static_cast<IRawElementProviderSimple*>(static_cast<ReaderRoot*>(root)->Part(part));
}

void ReleaseReaderParts(IRawElementProviderSimple* root) { static_cast<ReaderRoot*>(root)->ReleaseParts(); }
