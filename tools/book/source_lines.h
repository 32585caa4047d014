// Line and markup reading shared by the section and outline parsers.
#pragma once

#include <string>
#include <vector>

#include "tools/book/book_source.h"

struct SourceLine {
    int number;        // 1-based line number in the file
    std::string text;  // without the line end, leading and trailing spaces
};

// Splits source into lines, dropping a UTF-8 byte order mark and the "\r" of
// "\r\n" line ends. Leading spaces are counted into `indents` when given.
std::vector<SourceLine> SplitSourceLines(const std::string& source, int firstLine,
                                         std::vector<int>* indents);

// One word of markup: "name" or "name=value".
struct MarkupOption {
    std::string name;
    std::string value;
    bool hasValue;
};

// Reads "[...]" at the start of `text` into options and sets *rest to what
// follows it, leading spaces dropped. Without a "[" the options stay empty
// and *rest is the text. Returns false (with the reason) on an unclosed "[".
bool ReadMarkup(const std::string& text, std::vector<MarkupOption>* options, std::string* rest,
                std::string* reason);

// Parses a decimal or 0x-prefixed hexadecimal number within [low, high].
bool ReadNumber(const std::string& value, long low, long high, long* number);

void AddDiagnostic(BookDiagnostics* diagnostics, const std::string& file, int line,
                   const std::string& reason);

// Encodes text, turning a failure into a diagnostic that names the column.
bool EncodeLineText(const std::string& file, const SourceLine& line, const std::string& text,
                    std::vector<uint8_t>* codes, BookDiagnostics* diagnostics);
