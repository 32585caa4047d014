// libFuzzer target: arbitrary wide text through the Rich Text encoder, and an
// arbitrary old document (clipboard data of another program) appended to.
// The counting pass must cover the writing pass, and all that is written must
// be plain ASCII.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

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

}  // namespace

// The first byte gives the length of the old document; the rest is the text,
// two bytes a character.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    size_t oldBytes = data[0] < size - 1 ? data[0] : size - 1;
    const char* old = (const char*)data + 1;
    const uint8_t* textBytes = data + 1 + oldBytes;
    size_t textChars = (size - 1 - oldBytes) / 2;
    std::vector<char16_t> text(textChars + 1, 0);
    for (size_t i = 0; i < textChars; i++) text[i] = (char16_t)(textBytes[2 * i] | textBytes[2 * i + 1] << 8);

    size_t counted = EncodeRtf(text.data(), nullptr);
    std::vector<char> body(counted + 1, 0);
    size_t written = EncodeRtf(text.data(), body.data());
    Require(written <= counted);
    Require(PlainAscii(body.data(), written));

    // The trimmed old bytes are copied as they are; what is added is ASCII.
    std::vector<char> document(RtfDocumentBytes(old, oldBytes, written));
    size_t documentBytes = WriteRtfDocument(document.data(), old, oldBytes, body.data(), written);
    Require(documentBytes + 1 == document.size() && document[documentBytes] == 0);
    size_t kept = oldBytes ? TrimRtfForAppend(old, oldBytes) : 0;
    Require(kept <= oldBytes && memcmp(document.data(), old, kept) == 0);
    Require(PlainAscii(document.data() + kept, documentBytes - kept));
    return 0;
}
