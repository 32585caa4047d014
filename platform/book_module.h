// Book files as the system loads them: a module mapped for its resources
// only (a data file and image resource, never run), after a first look at
// the file's headers.
#pragma once

#include <windows.h>

enum BookModuleResult {
    kBookModuleLoaded = 0,
    kBookModuleMissing = 1,      // no such file
    kBookModuleFolder = 2,       // a folder, not a file
    kBookModuleUnreadable = 3,   // the file cannot be read
    kBookModuleNotModule = 4,    // not a Windows module
    kBookModuleTruncated = 5,    // cut short
    kBookModuleNoResources = 6,  // a module without resources
    kBookModuleRefused = 7,      // the system would not load it
    kBookModuleProgram = 8,      // a program
};

// Loads `path`; *module is the loaded module on kBookModuleLoaded, else null.
int LoadBookModule(const wchar_t* path, HMODULE* module);
void FreeBookModule(HMODULE module);

// Why a result other than kBookModuleLoaded refused the file, for a message.
const wchar_t* BookModuleFailure(int result);
