#include "clipboard/rtf_encoder.h"

#include "clipboard/byte_sink.h"

namespace {

// Every run of line ends becomes one paragraph break and a blank line.
const char kLineEndGroup[] = "\\par\\par\r\n";
const size_t kLineEndGroupBytes = sizeof(kLineEndGroup) - 1;

const char16_t kFirstDecomposedCharacter = 0x05EB;

const Decomposition kDecompositions[] = {
    {0xFB2A, {0x05E9, 0x05C1, 0}}, {0xFB2B, {0x05E9, 0x05C2, 0}},
    {0xFB2C, {0x05E9, 0x05BC, 0x05C1}}, {0xFB2D, {0x05E9, 0x05BC, 0x05C2}},
    {0xFB30, {0x05D0, 0x05BC, 0}}, {0xFB31, {0x05D1, 0x05BC, 0}},
    {0xFB32, {0x05D2, 0x05BC, 0}}, {0xFB33, {0x05D3, 0x05BC, 0}},
    {0xFB34, {0x05D4, 0x05BC, 0}}, {0xFB35, {0x05D5, 0x05BC, 0}},
    {0xFB36, {0x05D6, 0x05BC, 0}}, {0xFB38, {0x05D8, 0x05BC, 0}},
    {0xFB39, {0x05D9, 0x05BC, 0}}, {0xFB3A, {0x05DA, 0x05BC, 0}},
    {0xFB3B, {0x05DB, 0x05BC, 0}}, {0xFB3C, {0x05DC, 0x05BC, 0}},
    {0xFB3E, {0x05DE, 0x05BC, 0}}, {0xFB40, {0x05E0, 0x05BC, 0}},
    {0xFB41, {0x05E1, 0x05BC, 0}}, {0xFB43, {0x05E3, 0x05BC, 0}},
    {0xFB44, {0x05E4, 0x05BC, 0}}, {0xFB46, {0x05E6, 0x05BC, 0}},
    {0xFB47, {0x05E7, 0x05BC, 0}}, {0xFB48, {0x05E8, 0x05BC, 0}},
    {0xFB49, {0x05E9, 0x05BC, 0}}, {0xFB4A, {0x05EA, 0x05BC, 0}},
    {0xFB4B, {0x05D5, 0x05B9, 0}}, {0, {0, 0, 0}},
};

bool IsDigit(char16_t c) { return c >= '0' && c <= '9'; }

// "\u" and the decimal value, unsigned and without a delimiter.
template <typename Sink>
void PutEscape(Sink& sink, unsigned value) {
    size_t digitCount = value >= 10000 ? 5 : value >= 1000 ? 4 : value >= 100 ? 3 : value >= 10 ? 2 : 1;
    char escape[7] = {'\\', 'u'};
    for (size_t i = digitCount; i > 0; i--) {
        escape[1 + i] = (char)('0' + value % 10);
        value /= 10;
    }
    sink.Put(escape, 2 + digitCount);
}

template <typename Sink>
void PutCharacterEscapes(Sink& sink, char16_t c) {
    const Decomposition* decomposition = FindDecomposition(c);
    if (!decomposition) {
        PutEscape(sink, c);
        return;
    }
    for (char16_t part : decomposition->replacement) {
        if (part) PutEscape(sink, part);
    }
}

template <typename Sink>
void EncodeBody(const char16_t* text, Sink& sink) {
    // A reader takes the first space after "\uNNNN" as the escape's delimiter,
    // so text there needs one space more; anywhere else a space is a space.
    bool afterEscape = false;
    const char16_t* at = text;
    while (*at) {
        char16_t c = *at;
        if (c == ' ') {
            const char16_t* runEnd = at;
            while (*runEnd == ' ') runEnd++;
            size_t spaceCount = (size_t)(runEnd - at);
            sink.PutRepeated(' ', afterEscape ? spaceCount + 1 : spaceCount);
            at = runEnd;
            afterEscape = false;
        } else if (c == '\r' || c == '\n') {
            while (*at == '\r' || *at == '\n') at++;
            sink.Put(kLineEndGroup, kLineEndGroupBytes);
            afterEscape = false;
        } else if (c > 0x20 && c < 0x7F) {
            if (afterEscape && IsDigit(c)) sink.Put(' ');  // else the digit joins the escape's number
            if (c == '\\' || c == '{' || c == '}') sink.Put('\\');
            sink.Put((char)c);
            at++;
            afterEscape = false;
        } else {
            PutCharacterEscapes(sink, c);
            at++;
            afterEscape = true;
        }
    }
    sink.Put(kLineEndGroup, kLineEndGroupBytes);
}

}  // namespace

const Decomposition* FindDecomposition(char16_t c) {
    if (c < kFirstDecomposedCharacter) return nullptr;
    for (const Decomposition* entry = kDecompositions; entry->key; entry++) {
        if (entry->key == c) return entry;
        if (entry->key > c) break;  // the keys ascend
    }
    return nullptr;
}

size_t EncodeRtf(const char16_t* text, char* out) {
    if (!out) {
        ByteCounter counter;
        EncodeBody(text, counter);
        return counter.count;
    }
    ByteWriter writer{out};
    EncodeBody(text, writer);
    return (size_t)(writer.next - out);
}

char* BuildRtfBody(const char16_t* text, ByteAllocator allocate, size_t* byteCount) {
    *byteCount = 0;
    char* body = (char*)allocate(EncodeRtf(text, nullptr) + 1);
    if (!body) return nullptr;
    size_t written = EncodeRtf(text, body);
    body[written] = 0;
    *byteCount = written;
    return body;
}
