// The face used before any font is chosen must be able to show Hebrew.
#include <gtest/gtest.h>

#include <windows.h>

#include "platform/fonts.h"

TEST(PlatformFonts, DefaultFaceHasHebrewLetters) {
    const wchar_t* face = DefaultHebrewFaceName();
    ASSERT_NE(face[0], 0);
    EXPECT_EQ(DefaultHebrewFaceName(), face);  // looked up once

    LOGFONTW logFont = {};
    logFont.lfHeight = 20;
    logFont.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(logFont.lfFaceName, face, LF_FACESIZE - 1);
    HFONT font = CreateFontIndirectW(&logFont);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ previous = SelectObject(dc, font);
    wchar_t selectedFace[LF_FACESIZE] = {};
    GetTextFaceW(dc, LF_FACESIZE, selectedFace);
    WORD glyphs[2] = {};
    const wchar_t letters[] = {0x05D0, 0x05EA};
    GetGlyphIndicesW(dc, letters, 2, glyphs, GGI_MARK_NONEXISTING_GLYPHS);
    SelectObject(dc, previous);
    DeleteDC(dc);
    DeleteObject(font);

    EXPECT_STREQ(selectedFace, face);
    EXPECT_NE(glyphs[0], 0xFFFF);
    EXPECT_NE(glyphs[1], 0xFFFF);
}
