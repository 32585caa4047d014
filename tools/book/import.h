// Importing a text and its commentary from the open library's JSON export
// (one version file per edition of a work) into a book source tree.
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

#include "tools/book/book_tree.h"

// Where something was found: the file, the address in the work ("2:3", or
// "2a:3" for a folio; a comment adds its number, "2:3:1") and the offset in
// characters into that string.
struct ImportPlace {
    std::string file;
    std::string address;
    size_t offset;
};

const size_t kReportedPlaces = 10;

// Characters without a form in the book, by code point: how many became "?"
// and the first places.
struct UnknownCharacter {
    int count;
    std::vector<ImportPlace> places;
};

struct ImportReport {
    std::map<std::string, int> counts;  // what was dropped or replaced, by kind
    std::map<uint32_t, UnknownCharacter> unknown;
    int emptySegments;
    std::vector<ImportPlace> emptyPlaces;  // the first ten
    std::vector<std::string> warnings;
    int pairs;
};

// One paragraph of imported text: consonant-form UTF-8 in reading order.
struct ImportParagraph {
    bool bold, large, small, rule;
    std::string text;
};

// Turns one string of the export into paragraphs: markup as the book can keep
// it, characters as the book stores them, everything else counted in the
// report.
void ConvertSegment(const std::string& raw, const ImportPlace& where, ImportReport* report,
                    std::vector<ImportParagraph>* paragraphs);

enum ImportUnit { kPairPerSegment, kPairPerChapter };

// The files' contents, and their names for the report and the messages.
struct ImportInput {
    std::string textName, text;
    std::string commentaryName, commentary;  // empty name: none
    std::string schemaName, schema;          // empty name: none
    std::string node;                        // the node of a complex text ("" the default)
    ImportUnit unit;
    bool unitGiven;                          // --per was on the command line
};

// Builds the source tree (pair files, index.txt and book.txt) and checks that
// it compiles. On failure `errors` says why, every one, and `files` is empty.
bool ImportBook(const ImportInput& input, SourceFiles* files, ImportReport* report,
                std::vector<std::string>* errors);

// The report as the tool prints it.
std::string FormatImportReport(const ImportReport& report);
