// libFuzzer target for the book information resource. What is read must be
// in range and write back to bytes that read the same; book.txt made from it
// must compile to the same resource.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "content/book_info.h"
#include "tools/book/book_source.h"

namespace {

void CheckValue(const char* value, size_t capacity) {
    size_t length = strnlen(value, capacity);
    if (length == capacity || !IsValidBookInfoValue(value, length)) abort();
}

void CheckFields(const BookInfo& info) {
    if (info.pairs < 1 || info.pairs > kBookInfoMaxPairs) abort();
    size_t idLength = strnlen(info.id, sizeof info.id);
    if (idLength == sizeof info.id || (idLength && !IsValidBookId(info.id, idLength))) abort();
    CheckValue(info.title, sizeof info.title);
    for (const BookSourceInfo* s : {&info.text, &info.commentary})
        for (const char* v : {s->title, s->heTitle, s->edition, s->source, s->license})
            CheckValue(v, kBookInfoMaxValue + 1);
}

bool SameInfo(const BookInfo& a, const BookInfo& b) {
    std::vector<uint8_t> first(kBookInfoMaxBytes), second(kBookInfoMaxBytes);
    size_t n = FormatBookInfo(&a, first.data(), first.size());
    size_t m = FormatBookInfo(&b, second.data(), second.size());
    return n && n == m && memcmp(first.data(), second.data(), n) == 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    BookInfo info;
    if (!ParseBookInfo(data, size, &info)) {
        BookDiagnostics diagnostics;  // the same bytes as a book.txt
        BookInfo fromSource;
        ParseBookInfoSource("book.txt", std::string((const char*)data, size), &fromSource, &diagnostics);
        return 0;
    }
    CheckFields(info);
    std::vector<uint8_t> written(kBookInfoMaxBytes);
    size_t length = FormatBookInfo(&info, written.data(), written.size());
    BookInfo again;
    if (!length || !ParseBookInfo(written.data(), length, &again) || !SameInfo(info, again)) abort();
    // Through book.txt, which trims lines: values without spaces at their
    // ends come back as they were.
    std::string text((const char*)written.data(), length);
    bool trimmed = text.find(":  ") == std::string::npos && text.find(" \n") == std::string::npos &&
                   text.find(": \n") == std::string::npos;
    BookDiagnostics diagnostics;
    BookInfo fromSource;
    bool read = ParseBookInfoSource("book.txt", BookInfoToSource(info), &fromSource, &diagnostics);
    if (read != diagnostics.empty()) abort();
    fromSource.pairs = info.pairs;
    if (trimmed && (!read || !SameInfo(info, fromSource))) abort();
    return 0;
}
