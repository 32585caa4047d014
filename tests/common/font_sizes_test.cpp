// Zoom steps through the sizes Choose Font lists.
#include <gtest/gtest.h>

#include "fontdialog/font_sizes.h"

TEST(FontSizes, ZoomStepsThroughTheListedSizesAndStopsAtItsEnds) {
    EXPECT_EQ(SteppedFontSize(20, 1), 22);
    EXPECT_EQ(SteppedFontSize(20, -1), 18);
    EXPECT_EQ(SteppedFontSize(32, 1), 52);
    EXPECT_EQ(SteppedFontSize(20, 3), 26);
    EXPECT_EQ(SteppedFontSize(13, 1), 14);  // between two listed sizes: the next one each way
    EXPECT_EQ(SteppedFontSize(13, -1), 12);
    EXPECT_EQ(SteppedFontSize(72, 1), 72);
    EXPECT_EQ(SteppedFontSize(10, -1), 10);
    EXPECT_EQ(SteppedFontSize(0, 1), 10);   // "the platform's size" grows to the smallest listed
    EXPECT_EQ(SteppedFontSize(500, -1), 72);
    EXPECT_EQ(SteppedFontSize(17, 0), 17);
}
