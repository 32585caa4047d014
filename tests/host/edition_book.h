// The shipped demonstration edition, read from its source tree and compiled
// once per test program.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "tools/book/book_text.h"
#include "tools/book/book_tree.h"

const std::string kEditionDir = std::string(LORVAN_SOURCE_DIR) + "/resources/edition";

inline const SourceFiles& Edition() {
    static SourceFiles files;
    if (files.empty()) {
        std::string error;
        EXPECT_TRUE(ReadSourceTree(kEditionDir, &files, &error)) << error;
    }
    return files;
}

inline const ResourceSet& EditionResources() {
    static ResourceSet resources;
    if (resources.empty()) {
        BookDiagnostics diagnostics;
        EXPECT_TRUE(CompileBook(Edition(), &resources, &diagnostics))
            << (diagnostics.empty() ? "" : FormatDiagnostic(diagnostics[0]));
    }
    return resources;
}
