// The text pane record: creation and destruction.
#include <gtest/gtest.h>

#include "panes/text_pane.h"
#include "platform/services.h"

namespace {

struct ScreenDc {
    HDC dc = CreateCompatibleDC(nullptr);
    ~ScreenDc() { DeleteDC(dc); }
};

}  // namespace

TEST(TextPaneCreate, StoresRectangleFontAndLineArray) {
    ScreenDc screen;
    FontSpec spec = {L"David CLM", 18, 0x5D0};
    RECT rect = {10, 20, 250, 340};
    TextPane* pane = CreateTextPane(screen.dc, &rect, &spec, 100);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->dc, screen.dc);
    EXPECT_EQ(pane->left, 10);
    EXPECT_EQ(pane->top, 20);
    EXPECT_EQ(pane->width, 240);
    EXPECT_EQ(pane->height, 320);
    EXPECT_STREQ(pane->fontSpec.faceName, L"David CLM");
    EXPECT_EQ(pane->fontSpec.size, 18);
    EXPECT_EQ(pane->lineCapacity, 100);
    ASSERT_NE(pane->lines, nullptr);
    EXPECT_EQ(pane->lines[0].flags, 0);
    EXPECT_EQ(pane->text, nullptr);
    EXPECT_EQ(pane->lineCount, 0);
    DestroyTextPane(pane);
}

TEST(TextPaneCreate, NoDcNoPane) {
    FontSpec spec = {L"", 0, 97};
    EXPECT_EQ(CreateTextPane(nullptr, nullptr, &spec, 100), nullptr);
}

TEST(TextPaneCreate, FailedLineArrayLeavesAPaneWithoutLines) {
    ScreenDc screen;
    FontSpec spec = {L"", 0, 97};
    FailAllocationsAfter(1);  // the record, not the line array
    TextPane* pane = CreateTextPane(screen.dc, nullptr, &spec, 100);
    FailAllocationsAfter(-1);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->lines, nullptr);
    EXPECT_EQ(pane->lineCapacity, 0);
    EXPECT_EQ(pane->width, 0);
    DestroyTextPane(pane);

    FailAllocationsAfter(0);
    EXPECT_EQ(CreateTextPane(screen.dc, nullptr, &spec, 100), nullptr);
    FailAllocationsAfter(-1);
}
