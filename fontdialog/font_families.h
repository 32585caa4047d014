// The font families the font dialog offers: entries taken from zero-filled
// blocks of 25, linked in the order the platform reported the families. No
// windows.h here, so the list builds and is tested natively too.
#pragma once

#include <stdint.h>

const int kFamilyFaceChars = 32;  // as the platform's face names, with the 0
const int kFamilyBlockEntries = 25;
const uint8_t kHebrewCharSet = 177;

struct FontFamilyEntry {
    FontFamilyEntry* next;
    wchar_t faceName[kFamilyFaceChars];
    uint8_t charSet;     // 177 when any character set the family reported was Hebrew
    uint8_t blockStart;  // 1 in the first entry of a block, which owns the block's memory
};

struct FontFamilyList {
    FontFamilyEntry* firstFamily;
    FontFamilyEntry** lastLink;  // where the next entry is linked
    FontFamilyEntry* nextFreeEntry;
    uint32_t entriesLeft;        // in the block of nextFreeEntry
};

// An empty list; it owns no memory afterwards, so call FreeFamilyList first
// on a list that has entries.
void ResetFamilyList(FontFamilyList* list);

// Adds a family reported with one of its character sets. A desktop reports a
// family once per character set, so a face already listed gets no second
// entry; it only takes 177 when this set is Hebrew. Returns 1 to go on with
// the enumeration, 0 when no block could be allocated (the list keeps what it
// has).
int AddFamilyToList(FontFamilyList* list, const wchar_t* faceName, uint8_t charSet);

// The entry whose face name equals `faceName` exactly (case matters), or null.
const FontFamilyEntry* FindFamily(const FontFamilyList* list, const wchar_t* faceName);

// Frees every block through its first entry and leaves the list empty.
void FreeFamilyList(FontFamilyList* list);
