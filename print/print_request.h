// The command line that prints without a window:
//   /print FROM-TO [/commentary below|beside|none] [/printer NAME] [/output FILE]
// FROM and TO are pairs as Go To numbers them, in digits or Hebrew numerals;
// one number prints that pair alone. Window-free, so it is tested natively.
#pragma once

#include <stddef.h>
#include <wchar.h>

#include "print/print_pages.h"

const int kPrintNameChars = 260;

struct PrintRequest {
    PrintChoice choice;
    bool commentaryGiven;             // else the stored placement is used
    wchar_t printer[kPrintNameChars]; // empty: the default printer
    wchar_t output[kPrintNameChars];  // empty: where the printer's port sends it
};

enum PrintRequestResult {
    kNotPrintRequest = 0,  // the command line does not start with /print
    kPrintRequestRead = 1,
    kPrintRequestBad = 2,  // *why says what is wrong
};

// Reads at most `maxUnits` units of `commandLine` (the arguments, without the
// program's name). Arguments are split at spaces; double quotes keep spaces
// in one. On kPrintRequestBad `why` (of `whyChars`) holds one line for the
// user. The switches' names are matched without regard to case.
int ReadPrintRequest(const wchar_t* commandLine, size_t maxUnits, PrintRequest* request, wchar_t* why,
                     size_t whyChars);
