// The embedded book through the panes' layout: every section is accepted at a
// handheld's width and a desktop's, and the first sections are drawn to
// artifacts/book_sections.bmp for a look (Hebrew must read right to left).
#include <gtest/gtest.h>

#include "app/app_state.h"
#include "content/section_store.h"
#include "panes/pane_paint.h"
#include "panes/text_layout.h"
#include "tests/win/pane_test_support.h"

namespace {

const int kSections = 356;

void UseBookFont(int size) {
    memset(&gApp.font, 0, sizeof gApp.font);
    wcsncpy(gApp.font.faceName, kBookFace, kFaceNameChars - 1);
    gApp.font.size = size;
    gApp.font.letterBase = kLetterBaseUnicode;
    gApp.flags = kFlagsDefault;
}

// Writes the canvas as a 24-bit bottom-up BMP beside the test program.
bool WriteBmp(const Canvas& canvas, const wchar_t* name) {
    wchar_t module[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, module, MAX_PATH);
    std::wstring folder(module, length);
    folder = folder.substr(0, folder.find_last_of(L"\\/") + 1) + L"artifacts";
    CreateDirectoryW(folder.c_str(), nullptr);
    FILE* file = _wfopen((folder + L"\\" + name).c_str(), L"wb");
    if (!file) return false;
    int rowBytes = (canvas.widthPx * 3 + 3) & ~3;
    BITMAPFILEHEADER fileHeader = {};
    BITMAPINFOHEADER info = {};
    fileHeader.bfType = 0x4D42;
    fileHeader.bfOffBits = sizeof fileHeader + sizeof info;
    fileHeader.bfSize = fileHeader.bfOffBits + (DWORD)(rowBytes * canvas.heightPx);
    info.biSize = sizeof info;
    info.biWidth = canvas.widthPx;
    info.biHeight = canvas.heightPx;
    info.biPlanes = 1;
    info.biBitCount = 24;
    fwrite(&fileHeader, sizeof fileHeader, 1, file);
    fwrite(&info, sizeof info, 1, file);
    std::vector<uint8_t> row(rowBytes, 0);
    GdiFlush();
    for (int y = canvas.heightPx - 1; y >= 0; y--) {
        for (int x = 0; x < canvas.widthPx; x++) {
            uint32_t rgb = canvas.pixels[y * canvas.widthPx + x];
            row[3 * x] = (uint8_t)rgb;
            row[3 * x + 1] = (uint8_t)(rgb >> 8);
            row[3 * x + 2] = (uint8_t)(rgb >> 16);
        }
        fwrite(row.data(), 1, row.size(), file);
    }
    return fclose(file) == 0;
}

class BookLayout : public ::testing::Test {
protected:
    AppState savedApp;
    void SetUp() override {
        savedApp = gApp;
        UseBookFont(18);
    }
    void TearDown() override { gApp = savedApp; }
};

}  // namespace

TEST_F(BookLayout, EverySectionLaysOutInNarrowAndWidePanes) {
    Canvas canvas(480, 320);
    for (int widthPx : {240, 480}) {
        RECT rect = {0, 0, widthPx, 320};
        TextPane* pane = CreateTextPane(canvas.dc, &rect, &gApp.font, kPaneInitialLines);
        ASSERT_NE(pane, nullptr);
        for (int section = 1; section <= kSections; section++) {
            int error = 0;
            uint8_t* text = LoadSectionText(section, &error);
            ASSERT_NE(text, nullptr) << section;
            ASSERT_EQ(LayoutSection(pane, text, 1), kLayoutDone) << section << " at " << widthPx;
            EXPECT_GT(pane->lineCount, 3) << section;
            for (int i = 0; i < pane->lineCount; i++) {
                const TextLine& line = pane->lines[i];
                EXPECT_LE(line.x + line.width, widthPx) << section << " line " << i;
            }
        }
        DestroyTextPane(pane);
    }
}

// Every line of the edition, as a reader would select it: a press at the
// centre of its first drawn character and a release at its last's. The panes
// stand off the window's edge, with the reading column on: margins in a
// narrow pane, the measure centred in a wide one at a higher resolution, and
// for the full width the column off.
TEST_F(BookLayout, EveryLineIsSelectedByItsEndsInNarrowAndWidePanes) {
    struct Case {
        int widthPx;
        int dpi;
        uint8_t columnMode;
    };
    const Case cases[] = {{240, 96, kColumnMargins | kColumnMeasure},
                          {1920, 144, kColumnMargins | kColumnMeasure},
                          {560, 96, 0}};
    Canvas canvas(64, 64);
    const int kTallPx = 32000;  // every line of a section on screen at once
    const int kLeftPx = 37;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.widthPx);
        gApp.font.dpi = c.dpi;
        RECT rect = {kLeftPx, 0, kLeftPx + c.widthPx, kTallPx};
        TextPane* pane = CreateTextPane(canvas.dc, &rect, &gApp.font, kPaneInitialLines);
        ASSERT_NE(pane, nullptr);
        pane->columnMode = c.columnMode;
        int lines = 0;
        for (int section = 1; section <= kSections; section++) {
            ASSERT_EQ(LayoutSection(pane, LoadSectionText(section, nullptr), 1), kLayoutDone) << section;
            if (c.columnMode) {
                ASSERT_GT(pane->columnLeft, kLeftPx);
            }
            for (int i = 0; i < pane->lineCount; i++) {
                const TextLine& line = pane->lines[i];
                if (IsSpacerRecord(line.flags)) continue;
                ASSERT_EQ(SelectLineByItsEnds(pane, line), "") << "section " << section << " line " << i;
                lines++;
            }
        }
        EXPECT_GT(lines, kSections * 20);
        DestroyTextPane(pane);
    }
}

TEST_F(BookLayout, FirstSectionsPicture) {
    Canvas picture(1000, 720);
    const int sections[] = {1, 2, 3};
    for (int i = 0; i < 3; i++) {
        RECT rect = {10 + 330 * i, 10, 10 + 330 * i + 310, 710};
        TextPane* pane = CreateTextPane(picture.dc, &rect, &gApp.font, kPaneInitialLines);
        int error = 0;
        ASSERT_EQ(LayoutSection(pane, LoadSectionText(sections[i], &error), 1), kLayoutDone);
        EXPECT_EQ(PaintPane(pane, 1), 0);
        DrawTitleBox(pane);
        DestroyTextPane(pane);
    }
    EXPECT_TRUE(WriteBmp(picture, L"book_sections.bmp"));
}
