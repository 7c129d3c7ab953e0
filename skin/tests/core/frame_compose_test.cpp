#include <gtest/gtest.h>

#include <string>

#include "skin/core/frame_compose.h"
#include "ui/core/bmp.h"

using namespace skin;

namespace {

const std::string kSkinDir = std::string(TEST_DATA_DIR) + "/../../../skins/default/";

// The [FORMINFO] of the default skin.
FrameGeometry DefaultGeometry() {
  FrameGeometry g;
  g.ClientRect = Rect{5, 29, 141, 74};
  g.LeftTop = Point{68, 31};
  g.RightTop = Point{137, 32};
  g.LeftBottom = Point{9, 68};
  g.RightBottom = Point{137, 70};
  g.MaskRectArea = Rect{5, 5, 141, 78};
  return g;
}

struct DefaultSkin : ::testing::Test {
  plat::BmpImage main = plat::LoadBmpFile(kSkinDir + "main.bmp");
  plat::BmpImage mask = plat::LoadBmpFile(kSkinDir + "mask.bmp");
};

}  // namespace

TEST_F(DefaultSkin, PicturesHaveTheLayoutTheFrameExpects) {
  EXPECT_EQ(main.Width, 146);
  EXPECT_EQ(main.Height, 82);
  EXPECT_EQ(main.BitCount, 8);
  EXPECT_EQ(mask.BitCount, 1);
  EXPECT_EQ(plat::LoadBmpFile(kSkinDir + "bg.bmp").Width, 138);
}

TEST_F(DefaultSkin, FrameAtThePicturesOwnSizeIsThePicture) {
  const Raster frame = ComposeFrame(main.Pixels, DefaultGeometry(), 146, 82, plat::RGBColor(1, 2, 3));
  const Rect client{5, 29, 141, 74};
  for (int y = 0; y < 82; ++y)
    for (int x = 0; x < 146; ++x) {
      if (client.Contains(x, y)) {
        ASSERT_EQ(frame.Pixel(x, y), plat::RGBColor(1, 2, 3));
      } else {
        ASSERT_EQ(frame.Pixel(x, y), main.Pixels.Pixel(x, y)) << x << "," << y;
      }
    }
}

TEST_F(DefaultSkin, LargerFrameKeepsCornersAndBorders) {
  const int W = 400, H = 300;
  const Raster frame = ComposeFrame(main.Pixels, DefaultGeometry(), W, H);
  // The caption buttons (left-top corner) stay where they are.
  for (int y = 0; y < 29; ++y)
    for (int x = 0; x < 68; ++x) ASSERT_EQ(frame.Pixel(x, y), main.Pixels.Pixel(x, y));
  // The right-top corner moves right, the bottom corners move down.
  for (int y = 0; y < 29; ++y)
    for (int x = 137; x < 146; ++x) ASSERT_EQ(frame.Pixel(x + W - 146, y), main.Pixels.Pixel(x, y));
  for (int y = 74; y < 82; ++y) {
    ASSERT_EQ(frame.Pixel(0, y + H - 82), main.Pixels.Pixel(0, y));
    ASSERT_EQ(frame.Pixel(W - 1, y + H - 82), main.Pixels.Pixel(145, y));
  }
  // The caption band repeats across the new width.
  EXPECT_EQ(frame.Pixel(300, 15), main.Pixels.Pixel(100, 15));
}

TEST_F(DefaultSkin, MaskGivesOneRectanglePerRowAtAnySize) {
  const RegionData own = BuildMaskRegionData(mask.Pixels);
  EXPECT_EQ(own.Rects.size(), 82u);
  for (int y = 0; y < 82; ++y) EXPECT_EQ(own.Rects[y].Top, y);
  EXPECT_EQ(own.Rects[40], (Rect{0, 40, 146, 41}));
  EXPECT_GT(own.Rects[0].Left, 0);  // rounded top corners
  // The composed region at the picture's size is the mask's own region.
  EXPECT_EQ(ComposeFrameRegion(mask.Pixels, DefaultGeometry(), 146, 82).Rects, own.Rects);
  const RegionData big = ComposeFrameRegion(mask.Pixels, DefaultGeometry(), 500, 250);
  ASSERT_EQ(big.Rects.size(), 250u);
  EXPECT_EQ(big.Rects[0].Left, own.Rects[0].Left);
  EXPECT_EQ(big.Rects[0].Right, 500 - (146 - own.Rects[0].Right));
  EXPECT_EQ(big.Rects[120], (Rect{0, 120, 500, 121}));
  EXPECT_EQ(big.Rects[249].Right, 500 - (146 - own.Rects[81].Right));
  EXPECT_TRUE(ComposeFrameRegion(Raster(), DefaultGeometry(), 500, 250).Empty());
}

TEST(FrameGeometry, MaskAreaGrowsToHoldTheClientRect) {
  FrameGeometry g = DefaultGeometry();
  g.MaskRectArea = Rect{};
  EXPECT_EQ(EffectiveMaskRectArea(g), g.ClientRect);
  g.MaskRectArea = Rect{6, 5, 100, 80};
  EXPECT_EQ(EffectiveMaskRectArea(g), (Rect{5, 5, 141, 80}));
}
