// book.txt: the book information as a source file, "key: value" lines with
// comments and blank lines, into the record and back.
#include <string.h>

#include "tools/book/book_source.h"
#include "tools/book/source_lines.h"

namespace {

const char kHeader[] =
    "# The book and where its text and commentary come from. compile adds the\n"
    "# number of pairs; keys: id, title, and text. or commentary. followed by\n"
    "# title, heTitle, edition, source or license.\n";

bool IsKeyText(const std::string& key) {
    if (key.empty()) return false;
    for (char c : key)
        if (!IsValidBookId(&c, 1)) return false;
    return true;
}

// Reads one "key: value" line into `info`; false with the reason.
bool ReadInfoLine(const std::string& text, BookInfo* info, std::string* reason) {
    size_t colon = text.find(':');
    std::string key = colon == std::string::npos ? "" : text.substr(0, colon);
    if (!IsKeyText(key)) {
        *reason = "a line is \"key: value\", such as \"title: ...\"";
        return false;
    }
    size_t at = colon + 1;
    while (at < text.size() && text[at] == ' ') at++;
    std::string value = text.substr(at);
    if (key == "pairs") {
        *reason = "pairs is written by compile, which counts the pair files; leave it out";
        return false;
    }
    char* field = BookInfoField(info, key.data(), key.size());
    if (!field) {
        *reason = "unknown key \"" + key + "\" (the keys are id, title, and text. or commentary. with title, "
                  "heTitle, edition, source or license)";
        return false;
    }
    if (*field) {
        *reason = "\"" + key + "\" is given twice";
        return false;
    }
    if (value.empty()) {
        *reason = "\"" + key + "\" has no value; leave the line out";
        return false;
    }
    if (!IsValidBookInfoValue(value.data(), value.size())) {
        *reason = "a value is at most " + std::to_string(kBookInfoMaxValue) +
                  " bytes of UTF-8 without control characters";
        return false;
    }
    if (field == info->id && !IsValidBookId(value.data(), value.size())) {
        *reason = "an id is 1 to 64 of the characters A-Z a-z 0-9 . _ -";
        return false;
    }
    memcpy(field, value.data(), value.size());
    field[value.size()] = 0;
    return true;
}

}  // namespace

bool ParseBookInfoSource(const std::string& file, const std::string& source, BookInfo* info,
                         BookDiagnostics* diagnostics) {
    memset(info, 0, sizeof *info);
    bool ok = true;
    for (const SourceLine& line : SplitSourceLines(source, 1, nullptr)) {
        if (line.text.empty() || line.text[0] == '#') continue;
        std::string reason;
        if (!ReadInfoLine(line.text, info, &reason)) {
            AddDiagnostic(diagnostics, file, line.number, reason);
            ok = false;
        }
    }
    return ok;
}

std::string BookInfoToSource(const BookInfo& info) {
    BookInfo counted = info;
    if (counted.pairs < 1) counted.pairs = 1;  // dropped below; the format needs one
    std::string lines(kBookInfoMaxBytes, '\0');
    lines.resize(FormatBookInfo(&counted, (uint8_t*)&lines[0], lines.size()));
    std::string source = kHeader;
    size_t at = 0;
    while (at < lines.size()) {
        size_t end = lines.find('\n', at);
        std::string line = lines.substr(at, end - at);
        if (line.compare(0, 7, "pairs: ") != 0) source += line + "\n";
        at = end + 1;
    }
    return source;
}

bool HasBookDescription(const BookInfo& info) {
    auto given = [](const BookSourceInfo& s) {
        return s.title[0] || s.heTitle[0] || s.edition[0] || s.source[0] || s.license[0];
    };
    return info.id[0] || info.title[0] || given(info.text) || given(info.commentary);
}
