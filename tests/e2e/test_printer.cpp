// Adds the printing tests' printer, whose port is a file, and makes it the
// default:   test_printer.exe NAME PORT   (PORT a Unix path).
#include <stdio.h>

#include "tests/support/test_printer.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        fwprintf(stderr, L"usage: test_printer NAME PORT\n");
        return 2;
    }
    return AddTestPrinter(argv[1], argv[2]) ? 0 : 1;
}
