#include "clipboard/clipboard_writer.h"

#include <string.h>
#include <wchar.h>

#include "app/app_state.h"
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

// The old data of `format` when appending. False when memory ran out, which
// stops the operation.
bool TakeOldData(int append, UINT format, ClipboardCopy* old) {
    old->bytes = nullptr;
    old->byteCount = 0;
    return !append || CopyClipboardData(format, old) != kReadNoMemory;
}

// The Unicode form: the old clipboard text when appending, directly followed
// by `text` and its terminator.
bool PreparePlainText(const wchar_t* text, int append, ClipboardForms* forms) {
    ClipboardCopy old;
    if (!TakeOldData(append, CF_UNICODETEXT, &old)) return false;
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
    PlatformFree(old.bytes);
    return true;
}

// The Rich Text form: a new document, or the old one with the new body
// appended after a separator.
bool PrepareRichText(const wchar_t* text, int append, ClipboardForms* forms) {
    forms->wantsRichText = true;
    ClipboardCopy old;
    if (!TakeOldData(append, RichTextFormat(), &old)) return false;
    size_t bodyBytes = 0;
    char* body = BuildRtfBody((const char16_t*)text, AllocOrAbort, &bodyBytes);
    // Without a body the form stays missing, and the clipboard ends up empty.
    const char* oldDocument = (const char*)old.bytes;
    HGLOBAL block = body ? AllocMovable(RtfDocumentBytes(oldDocument, old.byteCount, bodyBytes)) : nullptr;
    char* at = block ? (char*)GlobalLock(block) : nullptr;
    if (at) {
        WriteRtfDocument(at, oldDocument, old.byteCount, body, bodyBytes);
        GlobalUnlock(block);
        forms->richText = block;
    } else if (block) {
        GlobalFree(block);
    }
    PlatformFree(body);
    PlatformFree(old.bytes);
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
    ClipboardForms forms = {};
    if (!PreparePlainText(text, append, &forms)) return;
    PlaceOnClipboard(&forms);
}

void PutRtfOnClipboard(const wchar_t* text, int append) {
    ClipboardForms forms = {};
    // Both old forms are read, each in its own open and close, before the
    // clipboard is opened for writing.
    if (!PrepareRichText(text, append, &forms) || !PreparePlainText(text, append, &forms)) {
        FreeForms(&forms);
        return;
    }
    PlaceOnClipboard(&forms);
}
