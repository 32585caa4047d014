// The one scaling rule and the art drawn at three scales.
#include <gtest/gtest.h>
#include <windows.h>

#include "platform/dpi.h"
#include "resources/resource_ids.h"

TEST(Dpi, SizesScaleRoundedAndOddResolutionsCountAs96) {
    EXPECT_EQ(ScalePx(13, 96), 13);
    EXPECT_EQ(ScalePx(13, 144), 20);  // 19.5 rounds up
    EXPECT_EQ(ScalePx(9, 120), 11);
    EXPECT_EQ(ScalePx(-7, 144), -11);  // a negative font height scales the same way
    EXPECT_EQ(ScalePx(20, 192), 40);
    EXPECT_EQ(ScalePx(20, 0), 20);
    EXPECT_EQ(ScalePx(20, -96), 20);
    EXPECT_EQ(ScalePx(0x7FFFFFFF, 960), 0x7FFFFFFF);  // held at the largest, not wrapped
    EXPECT_EQ(UnscalePx(40, 192), 20);
}

TEST(Dpi, EveryImageIsDrawnAtTheScaleNearestTheScreen) {
    EXPECT_EQ(ArtScaleIndex(96), 0);
    EXPECT_EQ(ArtScaleIndex(119), 0);
    EXPECT_EQ(ArtScaleIndex(120), 1);  // halfway: the larger
    EXPECT_EQ(ArtScaleIndex(144), 1);
    EXPECT_EQ(ArtScaleIndex(168), 2);
    EXPECT_EQ(ArtScaleIndex(288), 2);
    HINSTANCE instance = GetModuleHandleW(nullptr);
    struct Image {
        WORD id;
        SIZE size;
    } images[] = {{IDB_TOOLS, {96, 16}},       {IDB_GRID_COLLAPSED, {9, 9}}, {IDB_GRID_EXPANDED, {9, 9}},
                  {IDB_GRID_PAGE, {9, 9}},     {IDB_ABOUT, {63, 40}},        {119, {154, 95}}};
    for (const Image& image : images) {
        for (int dpi : {96, 144, 192}) {
            HBITMAP bitmap = LoadArtBitmap(instance, image.id, dpi, 0);
            SIZE size = BitmapSize(bitmap);
            int percent = kArtScalePercent[ArtScaleIndex(dpi)];
            // Drawn, not stretched by the loader: each scale is its own resource.
            EXPECT_NE(FindResourceW(instance, MAKEINTRESOURCEW(ArtResourceId(image.id, dpi)), RT_BITMAP), nullptr);
            EXPECT_NEAR(size.cx, image.size.cx * percent / 100, 1) << image.id << " at " << dpi;
            EXPECT_NEAR(size.cy, image.size.cy * percent / 100, 1) << image.id << " at " << dpi;
            DeleteObject(bitmap);
        }
    }
}
