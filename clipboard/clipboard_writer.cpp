#include "clipboard/clipboard_writer.h"

#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
#include "clipboard/rtf_document.h"
#include "clipboard/rtf_encoder.h"
#include "platform/out_of_memory.h"
#include "platform/services.h"

static_assert(sizeof(wchar_t) == sizeof(char16_t), "the clipboard's wide text is UTF-16");

namespace {

const UINT kDefaultFormat = 0;

enum ReadResult { kReadNothing, kReadCopied, kReadNoMemory };

struct ClipboardCopy {
    uint8_t* bytes;  // owned
    size_t byteCount;
};

// The forms prepared for the clipboard, each in movable memory until the
// clipboard takes it; null when it could not be prepared.
struct ClipboardForms {
    HGLOBAL unicodeText;
    HGLOBAL richText;
    bool wantsRichText;
};

// On the desktop, data set after EmptyClipboard only sticks when the
// clipboard was opened with an owner window; the main window is ours.
bool OpenProgramClipboard() { return OpenClipboard(gApp.mainWindow) != FALSE; }

HGLOBAL AllocMovable(size_t byteCount) {
    if (!AllocationPermitted()) return nullptr;
    return GlobalAlloc(GMEM_MOVEABLE, byteCount);
}

// Bytes before the data's terminator, looking no further than its block:
// another program's data need not end in one.
size_t MeasureWithinBlock(const uint8_t* data, size_t blockBytes, UINT format) {
    size_t count = 0;
    if (format == CF_UNICODETEXT) {
        const wchar_t* text = (const wchar_t*)data;
        size_t blockChars = blockBytes / sizeof(wchar_t);
        while (count < blockChars && text[count]) count++;
        return count * sizeof(wchar_t);
    }
    while (count < blockBytes && data[count]) count++;
    return count;
}

ReadResult CopyClipboardData(UINT format, ClipboardCopy* copy) {
    copy->bytes = nullptr;
    copy->byteCount = 0;
    if (format == kDefaultFormat) format = CF_UNICODETEXT;
    if (!OpenProgramClipboard()) return kReadNothing;
    HANDLE data = GetClipboardData(format);
    const uint8_t* locked = data ? (const uint8_t*)GlobalLock(data) : nullptr;
    if (!locked) {
        CloseClipboard();
        return kReadNothing;
    }
    size_t byteCount = MeasureWithinBlock(locked, GlobalSize(data), format);
    uint8_t* bytes = (uint8_t*)PlatformAlloc(byteCount + 2);
    if (bytes) {
        memcpy(bytes, locked, byteCount);
        bytes[byteCount] = bytes[byteCount + 1] = 0;
    }
    GlobalUnlock(data);
    CloseClipboard();
    if (!bytes) {
        ReportOutOfMemory();  // only now: a message box must not hold the clipboard open
        return kReadNoMemory;
    }
    copy->bytes = bytes;
    copy->byteCount = byteCount;
    return kReadCopied;
}

// What was on the clipboard before an Append, each form read in its own open
// and close before the clipboard is opened for writing; nothing for Copy.
struct OldForms {
    ClipboardCopy text;
    ClipboardCopy richText;
};

void FreeOldForms(OldForms* old) {
    PlatformFree(old->text.bytes);
    PlatformFree(old->richText.bytes);
}

// False when memory ran out, which stops the operation.
bool TakeOldForms(int append, bool wantsRichText, OldForms* old) {
    *old = {};
    if (!append) return true;
    if (CopyClipboardData(CF_UNICODETEXT, &old->text) == kReadNoMemory) return false;
    if (wantsRichText && CopyClipboardData(RichTextFormat(), &old->richText) == kReadNoMemory) {
        FreeOldForms(old);
        return false;
    }
    return true;
}

// The Unicode form: the old clipboard text, directly followed by `text` and
// its terminator.
void PreparePlainText(const wchar_t* text, const ClipboardCopy& old, ClipboardForms* forms) {
    size_t textBytes = (wcslen(text) + 1) * sizeof(wchar_t);
    HGLOBAL block = AllocMovable(old.byteCount + textBytes);
    uint8_t* at = block ? (uint8_t*)GlobalLock(block) : nullptr;
    if (at) {
        if (old.byteCount) memcpy(at, old.bytes, old.byteCount);
        memcpy(at + old.byteCount, text, textBytes);
        GlobalUnlock(block);
        forms->unicodeText = block;
    } else if (block) {
        GlobalFree(block);
    }
}

// The Rich Text form: a new document, or the new body appended to the old
// document. With plain text but no Rich Text there, that text comes first, so
// both forms hold the same. False when memory ran out.
bool PrepareRichText(const wchar_t* text, const OldForms& old, ClipboardForms* forms) {
    forms->wantsRichText = true;
    RtfAppendBase base = RtfBaseFromDocument((const char*)old.richText.bytes, old.richText.byteCount);
    char* oldBody = nullptr;
    if (base.kind == kRtfBaseNone && old.text.byteCount > 0) {
        size_t oldBodyBytes = 0;
        oldBody = BuildRtfBody((const char16_t*)old.text.bytes, AllocOrAbort, &oldBodyBytes);
        if (!oldBody) return false;
        base = RtfBaseFromTextBody(oldBody, oldBodyBytes);
    }
    size_t bodyBytes = 0;
    char* body = BuildRtfBody((const char16_t*)text, AllocOrAbort, &bodyBytes);
    if (!body) {
        PlatformFree(oldBody);
        return false;
    }
    HGLOBAL block = AllocMovable(RtfDocumentBytes(base, bodyBytes));
    char* at = block ? (char*)GlobalLock(block) : nullptr;
    if (at) {
        WriteRtfDocument(at, base, body, bodyBytes);
        GlobalUnlock(block);
        forms->richText = block;
    } else if (block) {
        GlobalFree(block);
    }
    PlatformFree(body);
    PlatformFree(oldBody);
    return true;
}

void FreeForms(ClipboardForms* forms) {
    if (forms->unicodeText) GlobalFree(forms->unicodeText);
    if (forms->richText) GlobalFree(forms->richText);
    forms->unicodeText = forms->richText = nullptr;
}

bool FormsComplete(const ClipboardForms* forms) {
    return forms->unicodeText && (forms->richText || !forms->wantsRichText);
}

// Hands a form to the clipboard, which owns it from then on; false (and the
// memory freed) when the clipboard refuses it.
bool SetForm(UINT format, HGLOBAL* memory) {
    if (!*memory) return true;
    HGLOBAL given = *memory;
    *memory = nullptr;
    if (SetClipboardData(format, given)) return true;
    GlobalFree(given);
    return false;
}

// Replaces the clipboard's content by the prepared forms, all of them or,
// when one is missing, none. Takes ownership of the forms.
void PlaceOnClipboard(ClipboardForms* forms) {
    if (!OpenProgramClipboard()) {
        FreeForms(forms);  // the clipboard stays as it was
        return;
    }
    EmptyClipboard();
    if (FormsComplete(forms)) {
        bool placed = SetForm(CF_UNICODETEXT, &forms->unicodeText);
        placed = SetForm(RichTextFormat(), &forms->richText) && placed;
        if (!placed) EmptyClipboard();
    }
    FreeForms(forms);
    CloseClipboard();
}

}  // namespace

UINT RichTextFormat() { return RegisterClipboardFormatW(L"Rich Text Format"); }

uint8_t* ReadClipboardData(uint32_t* byteCount, UINT format) {
    ClipboardCopy copy;
    CopyClipboardData(format, &copy);
    *byteCount = (uint32_t)copy.byteCount;
    return copy.bytes;
}

void PutOnClipboard(const wchar_t* text, int append) {
    if (HasUnicodeLetters(gApp.font.letterBase)) {
        PutRtfOnClipboard(text, append);
        return;
    }
    OldForms old;
    if (!TakeOldForms(append, false, &old)) return;
    ClipboardForms forms = {};
    PreparePlainText(text, old.text, &forms);
    FreeOldForms(&old);
    PlaceOnClipboard(&forms);
}

void PutRtfOnClipboard(const wchar_t* text, int append) {
    OldForms old;
    if (!TakeOldForms(append, true, &old)) return;
    ClipboardForms forms = {};
    if (PrepareRichText(text, old, &forms)) {
        PreparePlainText(text, old.text, &forms);
        PlaceOnClipboard(&forms);
    }
    FreeOldForms(&old);
}
