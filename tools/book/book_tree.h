// A whole book: a source tree into section resources and back.
//
// A source tree holds index.txt (the outline), optionally book.txt (the book
// information), and one pair file per main section, named by its odd section
// number: 001.txt holds sections 1 and 2, 003.txt sections 3 and 4, and so on
// without a gap, up to 31765.txt at most.
#pragma once

#include <stdint.h>

#include <map>
#include <string>
#include <vector>

#include "tools/book/book_source.h"

const uint16_t kFirstSectionResource = 1001;
const uint16_t kIndexResource = 32767;
const int kMostSections = 2 * kBookInfoMaxPairs;  // resources 1001 to 32766

// Resource id -> resource bytes (header, stream, trailer).
typedef std::map<uint16_t, std::vector<uint8_t>> ResourceSet;

// Relative file name -> file contents.
typedef std::map<std::string, std::string> SourceFiles;

std::string PairFileName(int mainSection);

// Compiles source files (as read from a tree) into the section resources, the
// index and the book information. Every problem found is reported; the result
// is usable only when it returns true.
bool CompileBook(const SourceFiles& files, ResourceSet* resources, BookDiagnostics* diagnostics);

// Expanded text of one compiled resource, for checks; empty when damaged.
std::vector<uint8_t> ExpandResource(const std::vector<uint8_t>& resource, int* error);

// Turns the resources back into source files. The book information says how
// many pairs there are; without it (older programs), the section resources
// from 1001 on do. Damaged resources are reported with the section store's
// error code.
bool DecompileBook(const ResourceSet& resources, SourceFiles* files, std::string* error);

// ---- Files -------------------------------------------------------------------

// Reads index.txt and every *.txt of a source directory.
bool ReadSourceTree(const std::string& dir, SourceFiles* files, std::string* error);

// Writes one NNNN.bin per resource and book.rc, which embeds them as RCDATA
// with absolute paths. On failure removes what it wrote.
bool WriteResourceDirectory(const ResourceSet& resources, const std::string& dir, std::string* error);

// Reads a resource directory (NNNN.bin files) or a Win32 program's RCDATA.
bool ReadResources(const std::string& path, ResourceSet* resources, std::string* error);

bool WriteSourceTree(const SourceFiles& files, const std::string& dir, std::string* error);

// Raw-data (type 10) resources with numeric ids from a PE image.
bool ReadPeRawDataResources(const std::vector<uint8_t>& image, ResourceSet* resources, std::string* error);
