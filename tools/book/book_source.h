// The book source format: section files and the outline file, read into the
// byte layouts the reader loads, and written back from them.
//
// A section file holds one main section and, after a line "@commentary", its
// commentary. Every other line is a paragraph (with optional markup in square
// brackets at its start), a blank line (the paragraph before it ends with a
// blank row), or a comment starting with "#". docs/book-format.md has the
// whole format.
#pragma once

#include <stdint.h>

#include <string>
#include <vector>

#include "content/book_info.h"

// One error: the file, the 1-based line (0 when the error is about the file
// as a whole) and the reason.
struct BookDiagnostic {
    std::string file;
    int line;
    std::string reason;
};

typedef std::vector<BookDiagnostic> BookDiagnostics;

std::string FormatDiagnostic(const BookDiagnostic& diagnostic);

// The two sections of one pair file, as expanded section texts.
struct SectionPair {
    std::vector<uint8_t> mainText;
    std::vector<uint8_t> commentaryText;
};

// Reads one pair file's contents. `file` names it in diagnostics. Returns
// true when no error was added.
bool ParsePairSource(const std::string& file, const std::string& source, SectionPair* pair,
                     BookDiagnostics* diagnostics);

// Reads the body of one section (the lines of one part of a pair file);
// `firstLine` is the file line number of the first of them.
bool ParseSectionSource(const std::string& file, int firstLine, const std::string& source,
                        std::vector<uint8_t>* text, BookDiagnostics* diagnostics);

// Reads the outline file into an index text (records closed by five zeros).
// Links may name sections 1 to `lastSection`, the book's last.
bool ParseIndexSource(const std::string& file, const std::string& source, int lastSection,
                      std::vector<uint8_t>* indexText, BookDiagnostics* diagnostics);

// Reads book.txt: "key: value" lines (the keys of the book information but
// "pairs", which compile counts), blank lines and "#" comments. `info` gets
// pairs 0.
bool ParseBookInfoSource(const std::string& file, const std::string& source, BookInfo* info,
                         BookDiagnostics* diagnostics);

// book.txt for `info`, without its pair count.
std::string BookInfoToSource(const BookInfo& info);

// Whether `info` says anything beyond its pair count: then a tree gets a
// book.txt.
bool HasBookDescription(const BookInfo& info);

// Writes source back from an expanded section text. Fails (with the reason)
// only when the records are damaged or hold what the format cannot express.
bool SectionTextToSource(const uint8_t* text, size_t length, std::string* source,
                         std::string* reason);

bool IndexTextToSource(const uint8_t* text, size_t length, int lastSection, std::string* source,
                       std::string* reason);
