// libFuzzer target: arbitrary wide text through the Rich Text encoder, and an
// arbitrary old document (clipboard data of another program) appended to.
// The counting pass must cover the writing pass, all that is written must be
// plain ASCII, the old bytes must come through unchanged, and a document
// appended to another program's must come out as one whole group.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "clipboard/rtf_document.h"
#include "clipboard/rtf_encoder.h"

namespace {

void Require(bool ok) {
    if (!ok) abort();
}

bool PlainAscii(const char* bytes, size_t byteCount) {
    for (size_t i = 0; i < byteCount; i++) {
        if (bytes[i] <= 0) return false;  // NUL or above 0x7F
    }
    return true;
}

std::string Encode(const char16_t* text) {
    size_t counted = EncodeRtf(text, nullptr);
    std::string body(counted + 1, '\0');
    size_t written = EncodeRtf(text, &body[0]);
    Require(written <= counted);
    Require(PlainAscii(body.data(), written));
    body.resize(written);
    return body;
}

// How the fuzzed old bytes are offered: as they are, after "{\rtf", after our
// own header, or as the clipboard's plain text.
enum OldShape { kOldAsIs, kOldAfterSignature, kOldAfterHeader, kOldAsText, kOldShapes };

std::string MakeOld(OldShape shape, const uint8_t* bytes, size_t byteCount) {
    std::string old((const char*)bytes, byteCount);
    if (shape == kOldAfterSignature) return "{\\rtf" + old;
    if (shape == kOldAfterHeader) return kRtfHeader + old;
    return old;
}

std::u16string Wide(const uint8_t* bytes, size_t byteCount) {
    std::u16string text;
    for (size_t i = 0; i + 1 < byteCount; i += 2) {
        char16_t c = (char16_t)(bytes[i] | bytes[i + 1] << 8);
        if (!c) break;
        text.push_back(c);
    }
    return text;
}

// Another program's document: its bytes up to the colour, then the colour,
// then its bytes up to where it was continued, then ASCII.
void CheckForeign(const std::string& old, const ForeignRtf& foreign, const std::string& document) {
    Require(foreign.keptBytes <= old.size() && foreign.colorInsertAt <= foreign.keptBytes);
    size_t insertAt = foreign.colorInsertAt;
    size_t colorBytes = foreign.hasColorTable ? (foreign.colorEntryOpen ? 1 : 0) + 21 : 33;
    size_t middle = foreign.keptBytes - insertAt;
    Require(document.size() >= foreign.keptBytes + colorBytes);
    Require(document.compare(0, insertAt, old, 0, insertAt) == 0);
    Require(PlainAscii(document.data() + insertAt, colorBytes));
    Require(document.compare(insertAt + colorBytes, middle, old, insertAt, middle) == 0);
    size_t tail = insertAt + colorBytes + middle;
    Require(PlainAscii(document.data() + tail, document.size() - tail));
    // Nothing added may be swallowed by what the old bytes left open.
    ForeignRtf again = ScanForeignRtf(document.data(), document.size());
    Require(again.keptBytes + 3 == document.size() && again.openGroups == 1);
}

}  // namespace

// The first byte gives the length of the old data, the second its shape; the
// rest is the text, two bytes a character.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t oldBytes = data[0] < size - 2 ? data[0] : size - 2;
    OldShape shape = (OldShape)(data[1] % kOldShapes);
    std::string old = MakeOld(shape, data + 2, oldBytes);
    const uint8_t* textBytes = data + 2 + oldBytes;
    size_t textChars = (size - 2 - oldBytes) / 2;
    std::vector<char16_t> text(textChars + 1, 0);
    for (size_t i = 0; i < textChars; i++) text[i] = (char16_t)(textBytes[2 * i] | textBytes[2 * i + 1] << 8);
    std::string body = Encode(text.data());

    std::string oldBody;
    RtfAppendBase base;
    if (shape == kOldAsText) {
        oldBody = Encode(Wide(data + 2, oldBytes).c_str());
        base = RtfBaseFromTextBody(oldBody.data(), oldBody.size());
    } else {
        base = RtfBaseFromDocument(old.data(), old.size());
    }
    std::string document(RtfDocumentBytes(base, body.size()), '#');
    size_t documentBytes = WriteRtfDocument(&document[0], base, body.data(), body.size());
    Require(documentBytes + 1 == document.size() && document[documentBytes] == 0);
    document.resize(documentBytes);

    if (base.kind == kRtfBaseForeign) {
        CheckForeign(old, base.foreign, document);
    } else if (base.kind == kRtfBaseOurs) {
        size_t kept = TrimRtfForAppend(old.data(), old.size());
        Require(document.compare(0, kept, old, 0, kept) == 0);
        Require(PlainAscii(document.data() + kept, documentBytes - kept));
    } else {
        Require(PlainAscii(document.data(), documentBytes));
    }
    return 0;
}
