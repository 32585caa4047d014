// Reading the bytes of a dialog template before it is run: a template found
// in a damaged program file must be refused, not handed to the dialog manager.
// Window-free, so it is also tested and fuzzed natively.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct DialogTemplateInfo {
    bool extended;         // the extended layout (version 1, signature 0xFFFF)
    size_t exStyleOffset;  // where the 32-bit extended style sits
    uint32_t style;
    uint32_t exStyle;
    uint16_t itemCount;
};

// Walks the header and every item of the template in `bytes`, never reading
// past `byteCount`. Returns false when any part of it is cut short.
bool ReadDialogTemplate(const uint8_t* bytes, size_t byteCount, DialogTemplateInfo* info);
