#include "tools/book/book_text.h"

#include <stdio.h>

#include "content/section_records.h"
#include "content/utf8.h"

namespace {

const uint32_t kFirstHebrewLetter = 0x05D0;
const uint32_t kLastHebrewLetter = 0x05EA;
const uint32_t kMaqaf = 0x05BE;

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

std::string Describe(uint32_t codePoint) {
    char buffer[64];
    if (codePoint >= 0x21 && codePoint < 0x7F)
        snprintf(buffer, sizeof buffer, "\"%c\" (U+%04X)", (char)codePoint, codePoint);
    else
        snprintf(buffer, sizeof buffer, "U+%04X", codePoint);
    return buffer;
}

// Reads the escape at `at` (a backslash); returns its length or 0.
size_t ReadEscape(const std::string& text, size_t at, uint8_t* byte, std::string* reason) {
    if (at + 1 >= text.size()) {
        *reason = "a backslash at the end of the line escapes nothing (write \\\\ for a backslash)";
        return 0;
    }
    char c = text[at + 1];
    switch (c) {
        case '\\': case '[': case '#': case '@': *byte = (uint8_t)c; return 2;
        case 's': *byte = ' '; return 2;
        case 'x': {
            int high = at + 2 < text.size() ? HexDigit(text[at + 2]) : -1;
            int low = at + 3 < text.size() ? HexDigit(text[at + 3]) : -1;
            if (high < 0 || low < 0 || (high == 0 && low == 0)) {
                *reason = "\\x needs two hex digits naming a byte from 01 to FF";
                return 0;
            }
            *byte = (uint8_t)(high << 4 | low);
            return 4;
        }
        default:
            *reason = std::string("unknown escape \\") + c;
            return 0;
    }
}

// The letter code of one source character, or false with the reason.
bool CodeForCharacter(uint32_t codePoint, uint8_t* code, std::string* reason) {
    if (codePoint >= kFirstHebrewLetter && codePoint <= kLastHebrewLetter) {
        *code = (uint8_t)(kFirstLetterCode + (codePoint - kFirstHebrewLetter));
        return true;
    }
    if (codePoint == '{') { *code = kBraceEscape; return true; }
    if (codePoint == kMaqaf) { *code = '-'; return true; }
    if (codePoint >= 'a' && codePoint <= 'z') {
        *reason = "the Latin small letter " + Describe(codePoint) +
                  " has no code: the bytes a to { are the Hebrew letters";
        return false;
    }
    if (codePoint == '~') {
        *reason = "\"~\" has no code: it stores \"{\", write \"{\" itself";
        return false;
    }
    if (codePoint == '\t') {
        *reason = "a tab has no code; use spaces";
        return false;
    }
    if ((codePoint >= 0x20 && codePoint < 0x7F) || (codePoint >= 0xA0 && codePoint <= 0xFF)) {
        *code = (uint8_t)codePoint;
        return true;
    }
    if (codePoint >= 0x0591 && codePoint <= 0x05C7)
        *reason = "the Hebrew point or accent " + Describe(codePoint) + " has no letter code";
    else
        *reason = "the character " + Describe(codePoint) + " has no letter code";
    return false;
}

bool IsLeftToRightCode(uint8_t b) {
    return (b >= '0' && b <= '9') || (b >= 'A' && b <= 'Z') ||
           (b >= 0xC0 && b != 0xD7 && b != 0xF7);
}

bool IsRunSeparator(uint8_t b) { return b == '.' || b == ',' || b == ':' || b == '/' || b == '-'; }

uint8_t MirrorBracket(uint8_t b) {
    switch (b) {
        case '(': return ')';
        case ')': return '(';
        case '[': return ']';
        case ']': return '[';
        case '<': return '>';
        case '>': return '<';
        case kBraceEscape: return '}';
        case '}': return kBraceEscape;
        default: return b;
    }
}

// End (exclusive) of the left-to-right run that starts at `at`.
size_t LeftToRightRunEnd(const std::vector<uint8_t>& codes, size_t at) {
    size_t end = at + 1;
    for (;;) {
        if (end < codes.size() && IsLeftToRightCode(codes[end])) {
            end++;
        } else if (end + 1 < codes.size() && IsRunSeparator(codes[end]) &&
                   IsLeftToRightCode(codes[end + 1])) {
            end += 2;
        } else {
            return end;
        }
    }
}

}  // namespace

size_t ReadUtf8(const std::string& text, size_t at, uint32_t* codePoint) {
    return DecodeUtf8((const uint8_t*)text.data() + at, text.size() - at, codePoint);
}

void AppendUtf8(std::string* out, uint32_t codePoint) {
    if (codePoint < 0x80) {
        out->push_back((char)codePoint);
    } else if (codePoint < 0x800) {
        out->push_back((char)(0xC0 | codePoint >> 6));
        out->push_back((char)(0x80 | (codePoint & 0x3F)));
    } else {
        out->push_back((char)(0xE0 | codePoint >> 12));
        out->push_back((char)(0x80 | ((codePoint >> 6) & 0x3F)));
        out->push_back((char)(0x80 | (codePoint & 0x3F)));
    }
}

bool EncodeSourceText(const std::string& utf8, std::vector<uint8_t>* codes, std::string* reason,
                      size_t* column) {
    size_t at = 0;
    while (at < utf8.size()) {
        *column = at;
        uint8_t code = 0;
        if (utf8[at] == '\\') {
            size_t length = ReadEscape(utf8, at, &code, reason);
            if (!length) return false;
            codes->push_back(code);
            at += length;
            continue;
        }
        uint32_t codePoint = 0;
        size_t length = ReadUtf8(utf8, at, &codePoint);
        if (!length) {
            *reason = "the text is not valid UTF-8";
            return false;
        }
        if (!CodeForCharacter(codePoint, &code, reason)) return false;
        codes->push_back(code);
        at += length;
    }
    return true;
}

std::string DecodeToSourceText(const std::vector<uint8_t>& codes) {
    std::string out;
    size_t count = codes.size();
    for (size_t i = 0; i < count; i++) {
        uint8_t b = codes[i];
        bool atEdge = i == 0 || i + 1 == count;
        if (b >= kFirstLetterCode && b <= kLastLetterCode) {
            AppendUtf8(&out, kFirstHebrewLetter + (b - kFirstLetterCode));
        } else if (b == kBraceEscape) {
            out.push_back('{');
        } else if (b == ' ' && atEdge) {
            out += "\\s";
        } else if (b == '\\' || (i == 0 && (b == '[' || b == '#' || b == '@'))) {
            out.push_back('\\');
            out.push_back((char)b);
        } else if ((b >= 0x20 && b < 0x7F) || b >= 0xA0) {
            AppendUtf8(&out, b);
        } else {
            char buffer[8];
            snprintf(buffer, sizeof buffer, "\\x%02X", b);
            out += buffer;
        }
    }
    return out;
}

std::vector<uint8_t> ToDrawingOrder(const std::vector<uint8_t>& codes) {
    std::vector<uint8_t> out(codes.rbegin(), codes.rend());
    for (uint8_t& b : out) b = MirrorBracket(b);
    size_t at = 0;
    while (at < out.size()) {
        if (!IsLeftToRightCode(out[at])) {
            at++;
            continue;
        }
        size_t end = LeftToRightRunEnd(out, at);
        for (size_t i = at, j = end - 1; i < j; i++, j--) std::swap(out[i], out[j]);
        at = end;
    }
    return out;
}

namespace {

// 1..999 as letters, in order of value.
void AppendNumeralLetters(int n, std::vector<std::string>* letters) {
    static const char* const hundreds[] = {"", "ק", "ר", "ש", "ת"};
    static const char* const tens[] = {"", "י", "כ", "ל", "מ", "נ", "ס", "ע", "פ", "צ"};
    static const char* const ones[] = {"", "א", "ב", "ג", "ד", "ה", "ו", "ז", "ח", "ט"};
    for (int h = n / 100; h > 0; h -= h > 4 ? 4 : h) letters->push_back(hundreds[h > 4 ? 4 : h]);
    int rest = n % 100;
    if (rest == 15 || rest == 16) {
        letters->push_back("ט");
        letters->push_back(rest == 15 ? "ו" : "ז");
        return;
    }
    if (rest / 10) letters->push_back(tens[rest / 10]);
    if (rest % 10) letters->push_back(ones[rest % 10]);
}

}  // namespace

std::string HebrewNumeral(int n) {
    if (n <= 0) return std::to_string(n);
    std::string thousands = n >= 1000 ? HebrewNumeral(n / 1000) : "";
    if (n % 1000 == 0) return thousands;
    std::vector<std::string> letters;
    AppendNumeralLetters(n % 1000, &letters);
    std::string out = thousands;
    for (size_t i = 0; i < letters.size(); i++) {
        if (letters.size() > 1 && i + 1 == letters.size()) out += "\"";
        out += letters[i];
    }
    if (letters.size() == 1) out += "'";
    return out;
}
