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

// Highest section number a link may name.
const int kLastSectionNumber = 356;

// Reads the outline file into an index text (records closed by five zeros).
bool ParseIndexSource(const std::string& file, const std::string& source,
                      std::vector<uint8_t>* indexText, BookDiagnostics* diagnostics);

// Writes source back from an expanded section text. Fails (with the reason)
// only when the records are damaged or hold what the format cannot express.
bool SectionTextToSource(const uint8_t* text, size_t length, std::string* source,
                         std::string* reason);

bool IndexTextToSource(const uint8_t* text, size_t length, std::string* source,
                       std::string* reason);
