#include "tools/book/source_lines.h"

#include <stdlib.h>

#include "tools/book/book_text.h"

std::string FormatDiagnostic(const BookDiagnostic& diagnostic) {
    std::string out = diagnostic.file;
    if (diagnostic.line > 0) out += ":" + std::to_string(diagnostic.line);
    return out + ": error: " + diagnostic.reason;
}

void AddDiagnostic(BookDiagnostics* diagnostics, const std::string& file, int line,
                   const std::string& reason) {
    diagnostics->push_back(BookDiagnostic{file, line, reason});
}

std::vector<SourceLine> SplitSourceLines(const std::string& source, int firstLine,
                                         std::vector<int>* indents) {
    std::vector<SourceLine> lines;
    size_t at = source.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    int number = firstLine;
    while (at < source.size()) {
        size_t end = source.find('\n', at);
        if (end == std::string::npos) end = source.size();
        size_t stop = end;
        if (stop > at && source[stop - 1] == '\r') stop--;
        size_t start = at;
        while (start < stop && source[start] == ' ') start++;
        while (stop > start && source[stop - 1] == ' ') stop--;
        lines.push_back(SourceLine{number, source.substr(start, stop - start)});
        if (indents) indents->push_back((int)(start - at));
        number++;
        at = end + 1;
    }
    return lines;
}

bool ReadMarkup(const std::string& text, std::vector<MarkupOption>* options, std::string* rest,
                std::string* reason) {
    options->clear();
    if (text.empty() || text[0] != '[') {
        *rest = text;
        return true;
    }
    size_t close = text.find(']');
    if (close == std::string::npos) {
        *reason = "the markup opened with \"[\" is not closed with \"]\" (write \\[ for a bracket in the text)";
        return false;
    }
    std::string inside = text.substr(1, close - 1);
    size_t at = 0;
    while (at < inside.size()) {
        while (at < inside.size() && inside[at] == ' ') at++;
        if (at == inside.size()) break;
        size_t end = inside.find(' ', at);
        if (end == std::string::npos) end = inside.size();
        std::string word = inside.substr(at, end - at);
        size_t equals = word.find('=');
        if (equals == std::string::npos)
            options->push_back(MarkupOption{word, "", false});
        else
            options->push_back(MarkupOption{word.substr(0, equals), word.substr(equals + 1), true});
        at = end;
    }
    size_t textStart = close + 1;
    while (textStart < text.size() && text[textStart] == ' ') textStart++;
    *rest = text.substr(textStart);
    return true;
}

bool ReadNumber(const std::string& value, long low, long high, long* number) {
    if (value.empty() || value.size() > 10) return false;
    bool hex = value.size() > 2 && value[0] == '0' && (value[1] == 'x' || value[1] == 'X');
    for (size_t i = hex ? 2 : 0; i < value.size(); i++) {
        char c = value[i];
        bool digit = (c >= '0' && c <= '9') ||
                     (hex && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
        if (!digit) return false;
    }
    *number = strtol(value.c_str(), nullptr, hex ? 16 : 10);
    return *number >= low && *number <= high;
}

bool EncodeLineText(const std::string& file, const SourceLine& line, const std::string& text,
                    std::vector<uint8_t>* codes, BookDiagnostics* diagnostics) {
    std::string reason;
    size_t byteColumn = 0;
    if (EncodeSourceText(text, codes, &reason, &byteColumn)) return true;
    // Count characters, not bytes, up to the fault, and from the line start.
    size_t prefix = line.text.size() - text.size();
    size_t column = 1;
    for (size_t i = 0; i < prefix + byteColumn && i < line.text.size(); i++)
        if (((uint8_t)line.text[i] & 0xC0) != 0x80) column++;
    AddDiagnostic(diagnostics, file, line.number, "column " + std::to_string(column) + ": " + reason);
    return false;
}
