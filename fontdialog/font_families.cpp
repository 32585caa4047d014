#include "fontdialog/font_families.h"

#include <string.h>
#include <wchar.h>

#include "platform/services.h"

namespace {

FontFamilyEntry* FindEntry(const FontFamilyList* list, const wchar_t* faceName) {
    for (FontFamilyEntry* entry = list->firstFamily; entry; entry = entry->next) {
        if (wcscmp(entry->faceName, faceName) == 0) return entry;
    }
    return nullptr;
}

bool TakeNewBlock(FontFamilyList* list) {
    FontFamilyEntry* block = (FontFamilyEntry*)PlatformAlloc(kFamilyBlockEntries * sizeof(FontFamilyEntry));
    if (!block) return false;
    memset(block, 0, kFamilyBlockEntries * sizeof(FontFamilyEntry));
    block->blockStart = 1;
    list->nextFreeEntry = block;
    list->entriesLeft = kFamilyBlockEntries;
    return true;
}

}  // namespace

void ResetFamilyList(FontFamilyList* list) {
    memset(list, 0, sizeof *list);
    list->lastLink = &list->firstFamily;
}

int AddFamilyToList(FontFamilyList* list, const wchar_t* faceName, uint8_t charSet) {
    if (!list->lastLink) list->lastLink = &list->firstFamily;
    wchar_t face[kFamilyFaceChars];
    wcsncpy(face, faceName, kFamilyFaceChars - 1);
    face[kFamilyFaceChars - 1] = 0;  // compared as it will be stored
    FontFamilyEntry* known = FindEntry(list, face);
    if (known) {
        if (charSet == kHebrewCharSet) known->charSet = kHebrewCharSet;
        return 1;
    }
    if (list->entriesLeft == 0 && !TakeNewBlock(list)) return 0;
    FontFamilyEntry* entry = list->nextFreeEntry++;
    list->entriesLeft--;
    memcpy(entry->faceName, face, sizeof face);
    entry->charSet = charSet;
    *list->lastLink = entry;
    list->lastLink = &entry->next;
    return 1;
}

const FontFamilyEntry* FindFamily(const FontFamilyList* list, const wchar_t* faceName) {
    return FindEntry(list, faceName);
}

void FreeFamilyList(FontFamilyList* list) {
    // Entries run through their blocks in order, so each run from one block
    // start to the next lies in one block; read past it before freeing it.
    FontFamilyEntry* entry = list->firstFamily;
    while (entry) {
        FontFamilyEntry* block = entry;
        do entry = entry->next;
        while (entry && !entry->blockStart);
        PlatformFree(block);
    }
    ResetFamilyList(list);
}
