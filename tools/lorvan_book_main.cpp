// lorvan-book: builds the reader's book resources from a source tree, and
// turns the resources of a built reader back into source.
//
//   lorvan-book compile SOURCE_DIR OUTPUT_DIR
//   lorvan-book check SOURCE_DIR
//   lorvan-book decompile PROGRAM.exe|RESOURCE_DIR OUTPUT_DIR
//   lorvan-book import --text TEXT.json [--commentary COMMENTARY.json]
//       [--schema SCHEMA.json] [--node NAME] [--per segment|chapter] OUTPUT_DIR
#include <stdio.h>
#include <string.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "tools/book/book_tree.h"
#include "tools/book/import.h"

namespace {

const int kExitOk = 0;
const int kExitErrors = 1;
const int kExitUsage = 2;

int Usage() {
    fprintf(stderr,
            "usage: lorvan-book compile SOURCE_DIR OUTPUT_DIR\n"
            "       lorvan-book check SOURCE_DIR\n"
            "       lorvan-book decompile PROGRAM.exe|RESOURCE_DIR OUTPUT_DIR\n"
            "       lorvan-book import --text TEXT.json [--commentary COMMENTARY.json] [--schema SCHEMA.json]\n"
            "                          [--node NAME] [--per segment|chapter] OUTPUT_DIR\n");
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

bool ReadFile(const std::string& path, std::string* contents) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    *contents = buffer.str();
    return !in.bad();
}

// A tree written over another would mix the two: refuse a directory that
// already holds source files.
bool OutputHoldsSource(const std::string& dir) {
    std::error_code code;
    std::filesystem::directory_iterator it(dir, code), end;
    for (; !code && it != end; it.increment(code))
        if (it->path().extension() == ".txt") return true;
    return false;
}

bool ReadImportArguments(int argc, char** argv, ImportInput* in, std::string* outputDir) {
    in->unit = kPairPerSegment;
    in->unitGiven = false;
    for (int i = 2; i < argc; i++) {
        std::string option = argv[i];
        if (i + 1 == argc) {
            if (option.compare(0, 2, "--") == 0) return false;
            *outputDir = option;
            return !in->textName.empty();
        }
        std::string value = argv[++i];
        if (option == "--text") in->textName = value;
        else if (option == "--commentary") in->commentaryName = value;
        else if (option == "--schema") in->schemaName = value;
        else if (option == "--node") in->node = value;
        else if (option == "--per" && (value == "segment" || value == "chapter")) {
            in->unit = value == "chapter" ? kPairPerChapter : kPairPerSegment;
            in->unitGiven = true;
        } else {
            return false;
        }
    }
    return false;
}

int Import(int argc, char** argv) {
    ImportInput in;
    std::string outputDir;
    if (!ReadImportArguments(argc, argv, &in, &outputDir)) return Usage();
    struct { const std::string* name; std::string* contents; } inputs[] = {
        {&in.textName, &in.text}, {&in.commentaryName, &in.commentary}, {&in.schemaName, &in.schema}};
    for (const auto& input : inputs)
        if (!input.name->empty() && !ReadFile(*input.name, input.contents)) return Fail(*input.name + ": cannot be read");
    if (OutputHoldsSource(outputDir))
        return Fail(outputDir + ": already holds .txt files; import into a new or empty directory");
    SourceFiles files;
    ImportReport report;
    std::vector<std::string> errors;
    bool ok = ImportBook(in, &files, &report, &errors);
    for (const std::string& warning : report.warnings) fprintf(stderr, "lorvan-book: warning: %s\n", warning.c_str());
    if (!ok) {
        for (const std::string& error : errors) fprintf(stderr, "lorvan-book: error: %s\n", error.c_str());
        fprintf(stderr, "lorvan-book: %u error(s); nothing written\n", (unsigned)errors.size());
        return kExitErrors;
    }
    std::string error;
    if (!WriteSourceTree(files, outputDir, &error)) return Fail(error);
    printf("%s", FormatImportReport(report).c_str());
    return kExitOk;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 4 && strcmp(argv[1], "compile") == 0) return Compile(argv[2], argv[3]);
    if (argc == 3 && strcmp(argv[1], "check") == 0) return Check(argv[2]);
    if (argc == 4 && strcmp(argv[1], "decompile") == 0) return Decompile(argv[2], argv[3]);
    if (argc >= 5 && strcmp(argv[1], "import") == 0) return Import(argc, argv);
    return Usage();
}
