// Arbitrary bytes read as a dialog template: never a read past the end, and a
// template accepted only with its extended style inside the bytes.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "platform/dialog_template.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // A copy of exactly `size` bytes, so the sanitizer sees any read past it.
    uint8_t* bytes = (uint8_t*)malloc(size ? size : 1);
    if (size) memcpy(bytes, data, size);
    DialogTemplateInfo info;
    if (ReadDialogTemplate(bytes, size, &info) && info.exStyleOffset + 4 > size) abort();
    free(bytes);
    return 0;
}
