// make_edition: writes the generated demonstration edition as a source tree
// for lorvan-book. The repository keeps its output in resources/edition.
//   make_edition OUTPUT_DIR
#include <stdio.h>

#include "tools/book/edition.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: make_edition OUTPUT_DIR\n");
        return 2;
    }
    SourceFiles files;
    GenerateEdition(&files);
    std::string error;
    if (!WriteSourceTree(files, argv[1], &error)) {
        fprintf(stderr, "make_edition: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
