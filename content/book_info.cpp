#include "content/book_info.h"
#include "content/utf8.h"

#include <string.h>

#include "platform/services.h"

namespace {

const char kPairsKey[] = "pairs";
const size_t kPairsMaxDigits = 5;
const int kFieldCount = 12;

// A known key and where its value goes. "pairs" is a number and has no field.
struct KeyField {
    const char* name;
    char* value;
    size_t capacity;
};

void AddField(KeyField* fields, int* count, const char* name, char* value, size_t capacity) {
    fields[*count] = KeyField{name, value, capacity};
    (*count)++;
}

// The known text keys of `info` in the order they are written.
int BookInfoFields(BookInfo* info, KeyField fields[kFieldCount]) {
    int count = 0;
    AddField(fields, &count, "id", info->id, sizeof info->id);
    AddField(fields, &count, "title", info->title, sizeof info->title);
    static const char* const kSourceKeys[2][5] = {
        {"text.title", "text.heTitle", "text.edition", "text.source", "text.license"},
        {"commentary.title", "commentary.heTitle", "commentary.edition", "commentary.source",
         "commentary.license"}};
    BookSourceInfo* sources[2] = {&info->text, &info->commentary};
    for (int i = 0; i < 2; i++) {
        BookSourceInfo* s = sources[i];
        char* values[5] = {s->title, s->heTitle, s->edition, s->source, s->license};
        for (int k = 0; k < 5; k++) AddField(fields, &count, kSourceKeys[i][k], values[k], kBookInfoMaxValue + 1);
    }
    return count;
}

bool IsKeyChar(uint8_t c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
           c == '-';
}

bool SameKey(const char* name, const uint8_t* key, size_t length) {
    return strlen(name) == length && memcmp(name, key, length) == 0;
}

// Length of the well-formed UTF-8 character at `p` (of `left` bytes), or 0.
size_t Utf8Length(const uint8_t* p, size_t left) {
    uint32_t codePoint = 0;
    return DecodeUtf8(p, left, &codePoint);
}

// "1" to "15883", without a sign or leading zeros.
bool ReadPairs(const uint8_t* value, size_t length, int* pairs) {
    if (length == 0 || length > kPairsMaxDigits || value[0] == '0') return false;
    int number = 0;
    for (size_t i = 0; i < length; i++) {
        if (value[i] < '0' || value[i] > '9') return false;
        number = number * 10 + (value[i] - '0');
    }
    if (number > kBookInfoMaxPairs) return false;
    *pairs = number;
    return true;
}

// One line, without its LF. `seen` marks the known keys already given
// (kFieldCount for "pairs").
bool ReadLine(const uint8_t* line, size_t length, BookInfo* info, KeyField* fields, int fieldCount,
              bool seen[kFieldCount + 1]) {
    size_t keyLength = 0;
    while (keyLength < length && IsKeyChar(line[keyLength])) keyLength++;
    if (keyLength == 0 || keyLength == length || line[keyLength] != ':') return false;
    size_t at = keyLength + 1;
    if (at < length && line[at] == ' ') at++;
    const uint8_t* value = line + at;
    size_t valueLength = length - at;
    if (!IsValidBookInfoValue((const char*)value, valueLength)) return false;
    if (SameKey(kPairsKey, line, keyLength)) {
        if (seen[kFieldCount]) return false;
        seen[kFieldCount] = true;
        return ReadPairs(value, valueLength, &info->pairs);
    }
    for (int i = 0; i < fieldCount; i++) {
        if (!SameKey(fields[i].name, line, keyLength)) continue;
        if (seen[i] || valueLength >= fields[i].capacity) return false;
        seen[i] = true;
        memcpy(fields[i].value, value, valueLength);
        fields[i].value[valueLength] = 0;
        return fields[i].value != info->id || IsValidBookId(info->id, valueLength);
    }
    return true;  // a key of a later version
}

bool ParseLines(const uint8_t* bytes, size_t cb, BookInfo* info) {
    KeyField fields[kFieldCount];
    int fieldCount = BookInfoFields(info, fields);
    bool seen[kFieldCount + 1] = {};
    size_t at = 0;
    while (at < cb) {
        const uint8_t* end = (const uint8_t*)memchr(bytes + at, '\n', cb - at);
        size_t length = end ? (size_t)(end - (bytes + at)) : cb - at;
        if (length && !ReadLine(bytes + at, length, info, fields, fieldCount, seen)) return false;
        at += length + 1;
    }
    return seen[kFieldCount];
}

bool Append(uint8_t* out, size_t capacity, size_t* used, const char* text, size_t length) {
    if (capacity - *used < length) return false;
    memcpy(out + *used, text, length);
    *used += length;
    return true;
}

bool AppendLine(uint8_t* out, size_t capacity, size_t* used, const char* key, const char* value) {
    return Append(out, capacity, used, key, strlen(key)) && Append(out, capacity, used, ": ", 2) &&
           Append(out, capacity, used, value, strlen(value)) && Append(out, capacity, used, "\n", 1);
}

}  // namespace

char* BookInfoField(BookInfo* info, const char* key, size_t keyLength) {
    KeyField fields[kFieldCount];
    int count = BookInfoFields(info, fields);
    for (int i = 0; i < count; i++)
        if (SameKey(fields[i].name, (const uint8_t*)key, keyLength)) return fields[i].value;
    return nullptr;
}

bool IsValidBookId(const char* id, size_t length) {
    if (length == 0 || length > kBookIdMaxChars) return false;
    for (size_t i = 0; i < length; i++)
        if (!IsKeyChar((uint8_t)id[i])) return false;
    return true;
}

bool IsValidBookInfoValue(const char* value, size_t length) {
    if (length > kBookInfoMaxValue) return false;
    const uint8_t* p = (const uint8_t*)value;
    size_t at = 0;
    while (at < length) {
        if (p[at] < 0x20 || p[at] == 0x7F) return false;
        size_t step = Utf8Length(p + at, length - at);
        if (!step) return false;
        at += step;
    }
    return true;
}

bool ParseBookInfo(const uint8_t* bytes, size_t cb, BookInfo* info) {
    memset(info, 0, sizeof *info);
    if (bytes && cb <= kBookInfoMaxBytes && ParseLines(bytes, cb, info)) return true;
    memset(info, 0, sizeof *info);
    return false;
}

size_t FormatBookInfo(const BookInfo* info, uint8_t* out, size_t capacity) {
    KeyField fields[kFieldCount];
    int count = BookInfoFields(const_cast<BookInfo*>(info), fields);
    if (info->pairs < 1 || info->pairs > kBookInfoMaxPairs) return 0;
    char pairs[8];
    int digits = 0;
    for (int n = info->pairs; n; n /= 10) digits++;
    pairs[digits] = 0;
    for (int n = info->pairs, i = digits - 1; n; n /= 10, i--) pairs[i] = (char)('0' + n % 10);
    size_t used = 0;
    for (int i = 0; i < count; i++) {
        const char* value = fields[i].value;
        size_t length = strnlen(value, fields[i].capacity);
        if (length == fields[i].capacity || !IsValidBookInfoValue(value, length)) return 0;
        if (value == info->id && length && !IsValidBookId(value, length)) return 0;
        if (length && !AppendLine(out, capacity, &used, fields[i].name, value)) return 0;
        if (value == info->title && !AppendLine(out, capacity, &used, kPairsKey, pairs)) return 0;
    }
    return used <= kBookInfoMaxBytes ? used : 0;
}

const char kEditionBookId[] = "lorvan-edition";

namespace {

bool HasSource(const BookSourceInfo& s) {
    return s.title[0] || s.heTitle[0] || s.edition[0] || s.source[0] || s.license[0];
}

bool AppendText(char* out, size_t capacity, size_t* used, const char* text) {
    return Append((uint8_t*)out, capacity, used, text, strlen(text));
}

// "Text: Title, Edition, http://..., CC-BY"
bool AppendCredit(char* out, size_t capacity, size_t* used, const char* label, const BookSourceInfo& s) {
    if (!HasSource(s)) return true;
    if (*used && !AppendText(out, capacity, used, "\r\n")) return false;
    if (!AppendText(out, capacity, used, label)) return false;
    const char* title = s.title[0] ? s.title : s.heTitle;
    const char* license = s.license[0] ? s.license : "licence unknown";
    const char* parts[] = {title, s.edition, s.source, license};
    bool first = true;
    for (const char* part : parts) {
        if (!part[0]) continue;
        if (!first && !AppendText(out, capacity, used, ", ")) return false;
        if (!AppendText(out, capacity, used, part)) return false;
        first = false;
    }
    return true;
}

}  // namespace

bool HasBookCredits(const BookInfo* info) {
    return (info->title[0] && strcmp(info->id, kEditionBookId) != 0) || HasSource(info->text) ||
           HasSource(info->commentary);
}

size_t FormatBookCredits(const BookInfo* info, char* out, size_t capacity) {
    size_t used = 0;
    bool ok = capacity > 0 && AppendText(out, capacity, &used, info->title) &&
              AppendCredit(out, capacity, &used, "Text: ", info->text) &&
              AppendCredit(out, capacity, &used, "Commentary: ", info->commentary) && used < capacity;
    if (!ok) {
        if (capacity) out[0] = 0;
        return 0;
    }
    out[used] = 0;
    return used;
}

bool LoadBookInfo(BookInfo* info) {
    const uint8_t* bytes = nullptr;
    uint32_t count = 0;
    if (FindRawDataResource(kBookInfoResource, &bytes, &count) != kResourceFound) {
        memset(info, 0, sizeof *info);
        return false;
    }
    return ParseBookInfo(bytes, count, info);
}
