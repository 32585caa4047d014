// The text pane record, its style fonts and the letter mapping.
#include "tests/win/pane_test_support.h"

namespace {

LOGFONTW FontOf(HFONT font) {
    LOGFONTW logFont;
    memset(&logFont, 0, sizeof logFont);
    GetObjectW(font, sizeof logFont, &logFont);
    return logFont;
}

// The logical font of a new style font, which is deleted again.
LOGFONTW NewStyleFont(const FontSpec* spec, uint8_t style) {
    HFONT font = CreateStyleFont(spec, style);
    LOGFONTW logFont = FontOf(font);
    DeleteObject(font);
    return logFont;
}

std::wstring Display(const char* codes, int length = -1) {
    if (length < 0) length = (int)strlen(codes);
    return ToDisplayText((const uint8_t*)codes, &gDisplayTextCache, length);
}

}  // namespace

using TextPaneTest = PaneTest;

TEST_F(TextPaneTest, CreateStoresRectangleFontAndLineArray) {
    ASSERT_NE(MakePane(10, 20, 240, 320), nullptr);
    EXPECT_EQ(pane->dc, canvas.dc);
    EXPECT_EQ(pane->left, 10);
    EXPECT_EQ(pane->top, 20);
    EXPECT_EQ(pane->width, 240);
    EXPECT_EQ(pane->height, 320);
    EXPECT_STREQ(pane->fontSpec.faceName, kMonoFace);
    EXPECT_EQ(pane->lineCapacity, 100);
    ASSERT_NE(pane->lines, nullptr);
    EXPECT_EQ(pane->lines[0].flags, 0);
    EXPECT_EQ(pane->text, nullptr);

    EXPECT_EQ(CreateTextPane(nullptr, nullptr, &gApp.font, 100), nullptr);
}

TEST_F(TextPaneTest, CreateSurvivesFailedAllocations) {
    FailAllocationsAfter(1);  // the record, not the line array
    TextPane* bare = CreateTextPane(canvas.dc, nullptr, &gApp.font, 100);
    FailAllocationsAfter(-1);
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(bare->lines, nullptr);
    EXPECT_EQ(bare->lineCapacity, 0);
    DestroyTextPane(bare);

    FailAllocationsAfter(0);
    EXPECT_EQ(CreateTextPane(canvas.dc, nullptr, &gApp.font, 100), nullptr);
    FailAllocationsAfter(-1);
}

TEST_F(TextPaneTest, StyleFontsHaveScaledHeightsWeightAndNamedFace) {
    FontSpec spec = gApp.font;
    spec.size = 10;
    EXPECT_EQ(NewStyleFont(&spec, 0x04).lfHeight, 12);
    EXPECT_EQ(NewStyleFont(&spec, 0x02).lfHeight, 7);
    EXPECT_EQ(NewStyleFont(&spec, 0x06).lfHeight, 12);  // large wins
    EXPECT_EQ(NewStyleFont(&spec, 0x01).lfHeight, 10);
    EXPECT_EQ(NewStyleFont(&spec, 0x08).lfWeight, 700);
    EXPECT_EQ(NewStyleFont(&spec, 0x10).lfWeight, 400);
    spec.size = 0;  // the first start's size
    EXPECT_EQ(NewStyleFont(&spec, 0x04).lfHeight, kFirstStartFontSize * 5 / 4);
    EXPECT_EQ(NewStyleFont(&spec, 0x00).lfHeight, kFirstStartFontSize);
    spec.size = -16;  // a letter height is the same size
    EXPECT_EQ(NewStyleFont(&spec, 0x02).lfHeight, 12);
    // Whatever a record holds, the fonts keep to the one range of sizes.
    spec.size = INT32_MAX;
    EXPECT_EQ(NewStyleFont(&spec, 0x04).lfHeight, kMaxFontSizePx * 5 / 4);
    spec.size = INT32_MIN;
    EXPECT_EQ(NewStyleFont(&spec, 0x02).lfHeight, kMaxFontSizePx * 6 / 8);

    // The platform really finds the named Hebrew faces.
    MakePane(0, 0, 240, 320);
    for (const wchar_t* face : {kMonoFace, kBookFace}) {
        UseFont(face, 16, kLetterBaseUnicode);
        RebuildStyleFonts(pane, &gApp.font);
        HFONT saved = SelectStyleFont(pane, 1);
        wchar_t selected[LF_FACESIZE] = {0};
        GetTextFaceW(canvas.dc, LF_FACESIZE, selected);
        EXPECT_STREQ(selected, face);
        SelectObject(canvas.dc, saved);
    }
}

TEST_F(TextPaneTest, SelectStyleFontCachesPerStyleAndSetsColours) {
    MakePane(0, 0, 240, 320);
    HFONT original = (HFONT)GetCurrentObject(canvas.dc, OBJ_FONT);
    EXPECT_EQ(SelectStyleFont(pane, 0x06 | kSelectWithColour), original);
    EXPECT_EQ(GetTextColor(canvas.dc), kColourDarkBlue);
    HFONT large = (HFONT)GetCurrentObject(canvas.dc, OBJ_FONT);
    EXPECT_EQ(FontOf(large).lfHeight, 20);
    SelectStyleFont(pane, 0x0C | kSelectWithColour);
    EXPECT_EQ(GetTextColor(canvas.dc), kColourBlue);
    SelectStyleFont(pane, 0x08 | kSelectWithColour);
    EXPECT_EQ(GetTextColor(canvas.dc), kColourBlack);
    SelectStyleFont(pane, 0x02);  // no colour asked for
    EXPECT_EQ(GetTextColor(canvas.dc), kColourBlack);

    // The flags above 0x1F share the entry; 0x00 and 0x01 do not.
    SelectStyleFont(pane, 0x86);
    EXPECT_EQ((HFONT)GetCurrentObject(canvas.dc, OBJ_FONT), large);
    SelectStyleFont(pane, 0x00);
    SelectStyleFont(pane, 0x01);
    int entries = 0;
    for (FontCacheEntry* entry = pane->fontCache; entry; entry = entry->next) entries++;
    EXPECT_EQ(entries, 6);
    EXPECT_EQ(pane->fontCache->style, 0x01);  // new entries go in front

    // A new font spec replaces every cached font.
    SelectObject(canvas.dc, original);
    FontSpec bigger = gApp.font;
    bigger.size = 40;
    RebuildStyleFonts(pane, &bigger);
    EXPECT_EQ(pane->fontSpec.size, 40);
    for (FontCacheEntry* entry = pane->fontCache; entry; entry = entry->next) {
        EXPECT_EQ(FontOf(entry->font).lfHeight, entry->style & 0x04 ? 50 : entry->style & 0x02 ? 30 : 40);
    }
}

TEST_F(TextPaneTest, UnallocatableCacheEntryKeepsTheCurrentFont) {
    MakePane(0, 0, 240, 320);
    SelectStyleFont(pane, 0x04);
    HFONT large = (HFONT)GetCurrentObject(canvas.dc, OBJ_FONT);
    FailAllocationsAfter(0);
    HFONT previous = SelectStyleFont(pane, 0x02 | kSelectWithColour);
    FailAllocationsAfter(-1);
    EXPECT_EQ(previous, large);
    EXPECT_EQ((HFONT)GetCurrentObject(canvas.dc, OBJ_FONT), large);
    EXPECT_EQ(GetTextColor(canvas.dc), kColourDarkBlue);
    SelectStyleFont(pane, 0x02);  // tries again, and now gets its font
    EXPECT_EQ(FontOf((HFONT)GetCurrentObject(canvas.dc, OBJ_FONT)).lfHeight, 12);
}

TEST_F(TextPaneTest, LetterCodesMapByTheProgramWideBase) {
    EXPECT_EQ(Display("az{~ -09"), std::wstring(L"\x5D0\x5E9\x5EA{ -09"));
    gApp.font.letterBase = kLetterBaseCodePage;
    EXPECT_EQ(Display("ab{"), std::wstring(L"\xE0\xE1\xFA"));
    gApp.font.letterBase = kLetterBaseAscii;
    EXPECT_EQ(Display("ab~"), std::wstring(L"ab{"));
    EXPECT_EQ(Display("abc", 2), std::wstring(L"ab"));  // a count short of the text
}

TEST_F(TextPaneTest, ReverseModeMirrorsOnlyWithHebrewBases) {
    gApp.flags |= kFlagReverse;
    gApp.font.letterBase = kLetterBaseAscii;
    EXPECT_EQ(Display("(ab)"), std::wstring(L"(ab)"));
    gApp.font.letterBase = kLetterBaseUnicode;
    EXPECT_EQ(Display("(ab)"), std::wstring(L"(\x5D1\x5D0)"));
    EXPECT_EQ(Display("[a~"), std::wstring(L"}\x5D0]"));

    // Measuring always sees stored order, and leaves the flag as it was.
    MakePane(0, 0, 240, 320);
    SelectStyleFont(pane, 1);
    int widthPx = 10000, count = 4;
    MeasureFit(canvas.dc, (const uint8_t*)"(ab)", &widthPx, &count);
    EXPECT_EQ(count, 4);
    EXPECT_NE(gApp.flags & kFlagReverse, 0u);
}

TEST_F(TextPaneTest, DisplayCacheGrowsAndOwnsItsResult) {
    ReleaseTextBuffers();
    wchar_t* first = ToDisplayText((const uint8_t*)"abcdef", &gDisplayTextCache, 6);
    EXPECT_EQ(gDisplayTextCache.capacity, 6u);
    EXPECT_EQ(ToDisplayText((const uint8_t*)"ab", &gDisplayTextCache, 2), first);  // reused
    ToDisplayText((const uint8_t*)"abcdefgh", &gDisplayTextCache, 8);
    EXPECT_EQ(gDisplayTextCache.capacity, 8u);

    wchar_t* own = ToDisplayText((const uint8_t*)"ab", nullptr, 2);
    ASSERT_NE(own, gDisplayTextCache.buffer);
    PlatformFree(own);

    FailAllocationsAfter(0);
    EXPECT_EQ(ToDisplayText((const uint8_t*)"abcdefghij", &gDisplayTextCache, 10), nullptr);
    FailAllocationsAfter(-1);
    EXPECT_EQ(gDisplayTextCache.buffer, nullptr);
    EXPECT_NE(ToDisplayText((const uint8_t*)"abcdefghij", &gDisplayTextCache, 10), nullptr);
}

TEST_F(TextPaneTest, MeasureFitCountsWholeCharactersThatFit) {
    MakePane(0, 0, 240, 320);
    SelectStyleFont(pane, 1);
    int charPx = WidthOf("a");
    ASSERT_GT(charPx, 2);
    int widthPx = charPx - 1, count = 3;
    MeasureFit(canvas.dc, (const uint8_t*)"abc", &widthPx, &count);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(widthPx, 0);
    widthPx = WidthOf("ab") + 1;
    count = 3;
    MeasureFit(canvas.dc, (const uint8_t*)"abc", &widthPx, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(widthPx, WidthOf("ab"));

    // A count past the end of the codes measures only what is there, even
    // when the shared buffer still holds a longer earlier string.
    ToDisplayText((const uint8_t*)"abcdefgh", &gDisplayTextCache, 8);
    widthPx = 10000;
    count = 8;
    MeasureFit(canvas.dc, (const uint8_t*)"ab", &widthPx, &count);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(widthPx, WidthOf("ab"));
}

TEST_F(TextPaneTest, DestroyReleasesTextLinesAndFontEntries) {
    SectionBuilder section;
    for (int i = 0; i < 6; i++) section.Add((uint8_t)(0x81 | (i & 3) << 1), 0, "abc def");
    ReleaseTextBuffers();
    size_t heapBytes = HeapBytesInUse();
    MakePane(0, 0, 240, 320, 2);  // the layout grows the array
    ASSERT_EQ(Layout(section), kLayoutDone);
    DestroyTextPane(pane);
    pane = nullptr;
    ReleaseTextBuffers();
    EXPECT_EQ(HeapBytesInUse(), heapBytes);
}
