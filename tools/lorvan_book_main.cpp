// lorvan-book: builds the reader's book resources from a source tree, and
// turns the resources of a built reader back into source.
//
//   lorvan-book compile SOURCE_DIR OUTPUT_DIR
//   lorvan-book check SOURCE_DIR
//   lorvan-book pack SOURCE_DIR BOOK.lvb
//   lorvan-book decompile PROGRAM.exe|BOOK.lvb|RESOURCE_DIR OUTPUT_DIR
#include <stdio.h>
#include <string.h>

#include "content/book_info.h"
#include "tools/book/book_tree.h"

namespace {

const int kExitOk = 0;
const int kExitErrors = 1;
const int kExitUsage = 2;

int Usage() {
    fprintf(stderr,
            "usage: lorvan-book compile SOURCE_DIR OUTPUT_DIR\n"
            "       lorvan-book check SOURCE_DIR\n"
            "       lorvan-book pack SOURCE_DIR BOOK.lvb\n"
            "       lorvan-book decompile PROGRAM.exe|BOOK.lvb|RESOURCE_DIR OUTPUT_DIR\n");
    return kExitUsage;
}

int Fail(const std::string& message) {
    fprintf(stderr, "lorvan-book: %s\n", message.c_str());
    return kExitErrors;
}

// Reads and compiles; prints every diagnostic.
bool CompileTree(const char* sourceDir, ResourceSet* resources) {
    SourceFiles files;
    std::string error;
    if (!ReadSourceTree(sourceDir, &files, &error)) {
        Fail(error);
        return false;
    }
    BookDiagnostics diagnostics;
    if (CompileBook(files, resources, &diagnostics)) return true;
    for (const BookDiagnostic& d : diagnostics) {
        BookDiagnostic located = d;
        located.file = std::string(sourceDir) + "/" + d.file;
        fprintf(stderr, "%s\n", FormatDiagnostic(located).c_str());
    }
    fprintf(stderr, "lorvan-book: %u error(s); nothing written\n", (unsigned)diagnostics.size());
    return false;
}

int Compile(const char* sourceDir, const char* outputDir) {
    ResourceSet resources;
    if (!CompileTree(sourceDir, &resources)) return kExitErrors;
    std::string error;
    if (!WriteResourceDirectory(resources, outputDir, &error)) return Fail(error);
    return kExitOk;
}

// A book file for the reader's Open Book: the same resources in a module of
// their own.
int Pack(const char* sourceDir, const char* bookFile) {
    ResourceSet resources;
    if (!CompileTree(sourceDir, &resources)) return kExitErrors;
    // The reader keeps each book's place under its id, and refuses a book without one.
    BookInfo info;
    const std::vector<uint8_t>& bytes = resources[kBookInfoResource];
    if (!ParseBookInfo(bytes.data(), bytes.size(), &info) || !info.id[0])
        return Fail(std::string(sourceDir) + "/book.txt: a book file needs the book's id (a line \"id: ...\")");
    std::string error;
    if (!WriteBookFile(resources, bookFile, &error)) return Fail(error);
    return kExitOk;
}

int Check(const char* sourceDir) {
    ResourceSet resources;
    return CompileTree(sourceDir, &resources) ? kExitOk : kExitErrors;
}

int Decompile(const char* input, const char* outputDir) {
    ResourceSet resources;
    SourceFiles files;
    std::string error;
    if (!ReadResources(input, &resources, &error)) return Fail(error);
    if (!DecompileBook(resources, &files, &error)) return Fail(std::string(input) + ": " + error);
    if (!WriteSourceTree(files, outputDir, &error)) return Fail(error);
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "compile") == 0) return Compile(argv[2], argv[3]);
    if (argc == 4 && strcmp(argv[1], "pack") == 0) return Pack(argv[2], argv[3]);
    if (argc == 3 && strcmp(argv[1], "check") == 0) return Check(argv[2]);
    if (argc == 4 && strcmp(argv[1], "decompile") == 0) return Decompile(argv[2], argv[3]);
    return Usage();
}
