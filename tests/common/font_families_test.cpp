// The font dialog's list of families: blocks, one entry per family, freeing.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fontdialog/font_families.h"
#include "platform/services.h"

namespace {

std::vector<const FontFamilyEntry*> Entries(const FontFamilyList& list) {
    std::vector<const FontFamilyEntry*> entries;
    for (const FontFamilyEntry* entry = list.firstFamily; entry; entry = entry->next) entries.push_back(entry);
    return entries;
}

std::wstring FaceOf(int i) { return L"Face " + std::to_wstring(i); }

}  // namespace

TEST(FontFamilies, EntriesComeInBlocksOf25InReportedOrder) {
    FontFamilyList list;
    ResetFamilyList(&list);
    for (int i = 0; i < 60; i++) ASSERT_EQ(AddFamilyToList(&list, FaceOf(i).c_str(), (uint8_t)i), 1);
    std::vector<const FontFamilyEntry*> entries = Entries(list);
    ASSERT_EQ(entries.size(), 60u);
    for (int i = 0; i < 60; i++) {
        EXPECT_EQ(entries[i]->faceName, FaceOf(i));
        EXPECT_EQ(entries[i]->charSet, (uint8_t)i);
        EXPECT_EQ(entries[i]->blockStart, i % kFamilyBlockEntries == 0 ? 1 : 0) << i;
    }
    EXPECT_EQ(list.entriesLeft, 15u);
    FreeFamilyList(&list);  // the sanitizers' leak check sees all three blocks go
    EXPECT_EQ(list.firstFamily, nullptr);
    EXPECT_EQ(list.lastLink, &list.firstFamily);
    EXPECT_EQ(list.entriesLeft, 0u);
    FreeFamilyList(&list);  // an empty list frees nothing
}

TEST(FontFamilies, AFamilyReportedPerCharacterSetIsListedOnceAndHebrewWins) {
    FontFamilyList list;
    ResetFamilyList(&list);
    AddFamilyToList(&list, L"David CLM", 0);
    AddFamilyToList(&list, L"DejaVu Sans", 0);
    AddFamilyToList(&list, L"David CLM", kHebrewCharSet);
    AddFamilyToList(&list, L"David CLM", 186);
    AddFamilyToList(&list, L"DejaVu Sans", 204);
    std::vector<const FontFamilyEntry*> entries = Entries(list);
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(FindFamily(&list, L"David CLM")->charSet, kHebrewCharSet);
    EXPECT_EQ(FindFamily(&list, L"DejaVu Sans")->charSet, 0);
    EXPECT_EQ(FindFamily(&list, L"david clm"), nullptr);  // exact, as the list box's text is
    EXPECT_EQ(FindFamily(&list, L"David"), nullptr);

    // A name longer than the field is kept to 31 units and still listed once.
    std::wstring longName(40, L'n');
    AddFamilyToList(&list, longName.c_str(), 0);
    AddFamilyToList(&list, longName.c_str(), kHebrewCharSet);
    entries = Entries(list);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(std::wstring(entries[2]->faceName), longName.substr(0, 31));
    EXPECT_EQ(entries[2]->charSet, kHebrewCharSet);
    FreeFamilyList(&list);
}

TEST(FontFamilies, NoBlockEndsTheEnumerationWithWhatWasGathered) {
    FontFamilyList list;
    ResetFamilyList(&list);
    FailAllocationsAfter(1);
    for (int i = 0; i < 25; i++) ASSERT_EQ(AddFamilyToList(&list, FaceOf(i).c_str(), 0), 1);
    EXPECT_EQ(AddFamilyToList(&list, FaceOf(25).c_str(), 0), 0);
    EXPECT_EQ(AddFamilyToList(&list, FaceOf(3).c_str(), kHebrewCharSet), 1);  // known: needs no block
    FailAllocationsAfter(-1);
    EXPECT_EQ(Entries(list).size(), 25u);
    EXPECT_EQ(FindFamily(&list, FaceOf(3).c_str())->charSet, kHebrewCharSet);
    FreeFamilyList(&list);
}
