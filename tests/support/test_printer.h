// A PostScript printer whose port is a file, for the printing tests on a
// machine without a print system: Wine's PostScript driver with the generic
// printer description Wine carries in winspool.drv.
#pragma once

#include <windows.h>

// Adds printer `name` writing every job to `port` (a Unix path under Wine)
// and makes it the default. An existing printer of that name is kept. False,
// with a line on standard error, when the printer cannot be added.
bool AddTestPrinter(const wchar_t* name, const wchar_t* port);
