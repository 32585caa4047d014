// libFuzzer target for the import from the library's export. The first byte
// picks the options; the rest is a text's version file, optionally followed,
// after a NUL, by a commentary's. Whatever is imported must compile (the
// importer checks it) and its strings must convert without reading past
// their end.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>

#include <string>

#include "tools/book/import.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::string rest((const char*)data + 1, size - 1);
    ImportReport report;
    std::vector<ImportParagraph> paragraphs;
    ConvertSegment(rest, ImportPlace{"fuzz", "1:1", 0}, &report, &paragraphs);
    for (const ImportParagraph& p : paragraphs)
        if (!p.rule && p.text.empty()) abort();

    ImportInput in;
    in.textName = "text.json";
    size_t split = rest.find('\0');
    in.text = rest.substr(0, split);
    if (split != std::string::npos && (data[0] & 1)) {
        in.commentaryName = "commentary.json";
        in.commentary = rest.substr(split + 1);
    }
    in.unit = (data[0] & 2) ? kPairPerChapter : kPairPerSegment;
    in.unitGiven = (data[0] & 2) != 0;
    if (data[0] & 4) in.node = "n";
    SourceFiles files;
    std::vector<std::string> errors;
    bool ok = ImportBook(in, &files, &report, &errors);
    if (ok != errors.empty() || ok == files.empty()) abort();
    if (ok) {
        ResourceSet resources;
        BookDiagnostics diagnostics;
        if (!CompileBook(files, &resources, &diagnostics)) abort();
    }
    return 0;
}
