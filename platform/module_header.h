// A first look at a book file before the system maps it: the headers of a
// Windows module (PE image), read with every offset checked, and whether the
// file holds all the bytes its sections claim. Window-free.
#pragma once

#include <stddef.h>
#include <stdint.h>

enum ModuleHeaderResult {
    kModuleUsable = 0,
    kModuleNotModule = 1,    // no DOS or PE signature, or a header cut off or impossible
    kModuleTruncated = 2,    // a section's bytes reach past the end of the file
    kModuleNoResources = 3,  // no resource directory
    kModuleProgram = 4,      // a program, not a library: book files are libraries
};

// The bytes a caller should read from the file's start for the check.
const size_t kModuleHeadBytes = 4096;

// `head` holds the first `headBytes` bytes of a file of `fileBytes` bytes.
// On kModuleTruncated, *neededBytes (when given) is the size the file
// should have.
int CheckModuleHeader(const uint8_t* head, size_t headBytes, uint64_t fileBytes, uint64_t* neededBytes);
