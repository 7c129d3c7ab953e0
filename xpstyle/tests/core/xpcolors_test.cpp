#include "xpstyle/core/xpcolors.h"

#include <gtest/gtest.h>

using plat::RGBColor;
using namespace xp;

TEST(XPColors, DarkenLowersGreenByTwoLessAndClamps) {
  EXPECT_EQ(Darken(RGBColor(100, 100, 100), 60), RGBColor(40, 42, 40));
  EXPECT_EQ(Darken(RGBColor(10, 1, 250), 30), RGBColor(0, 0, 220));
  // Negative amounts lighten, still with the green offset.
  EXPECT_EQ(Darken(RGBColor(200, 200, 250), -40), RGBColor(240, 242, 255));
  EXPECT_EQ(Darken(RGBColor(0, 0, 0), 1), RGBColor(0, 1, 0));
}

TEST(XPColors, LightenRoundsHalvesToEven) {
  // The step is rounded: 10*5/100 = 0.5 -> 0, 12*5/100 = 0.6 -> 1, 8*5/100 = 0.4 -> 0.
  EXPECT_EQ(Lighten(RGBColor(245, 243, 247), 5), RGBColor(245, 244, 247));
  // 8*25/100 = 2; 254*25/100 = 63.5 -> 64 (even); 255*25/100 = 63.75 -> 64.
  EXPECT_EQ(Lighten(RGBColor(247, 1, 0), 25), RGBColor(249, 65, 64));
  EXPECT_EQ(Lighten(RGBColor(1, 1, 1), 50), RGBColor(128, 128, 128));
  // 0 + 255*30/100 = 76.5 -> 76; 3 + 252*30/100 = 78.6 -> 79; 5 + 250*30/100 = 80 exactly.
  EXPECT_EQ(Lighten(RGBColor(0, 3, 5), 30), RGBColor(76, 79, 80));
  // 0 + 255*10/100 = 25.5 -> 26 (even).
  EXPECT_EQ(Lighten(RGBColor(0, 0, 0), 10), RGBColor(26, 26, 26));
  // Percent is capped at 100.
  EXPECT_EQ(Lighten(RGBColor(12, 34, 56), 250), RGBColor(255, 255, 255));
  EXPECT_EQ(Lighten(RGBColor(12, 34, 56), 0), RGBColor(12, 34, 56));
}

TEST(XPColors, GrayIsTheMeanPlusLevelCappedAt240) {
  EXPECT_EQ(Gray(RGBColor(10, 20, 31), 10), RGBColor(30, 30, 30));  // 61 div 3 = 20
  EXPECT_EQ(Gray(RGBColor(255, 255, 255), 0), RGBColor(240, 240, 240));
  EXPECT_EQ(Gray(RGBColor(230, 230, 230), 10), RGBColor(240, 240, 240));
  EXPECT_EQ(Gray(RGBColor(229, 230, 230), 10), RGBColor(239, 239, 239));
}

TEST(XPColors, WorkingColorsWithSystemColoursFollowTheDisplayDepth) {
  XPColorInputs in;
  in.BtnFace = RGBColor(212, 208, 200);
  in.BtnShadow = RGBColor(128, 128, 128);
  in.Highlight = RGBColor(10, 36, 106);
  in.MenuText = RGBColor(1, 2, 3);
  in.Color = in.IconBackColor = RGBColor(9, 9, 9);
  in.SelectColor = RGBColor(100, 0, 0);

  const XPWorkingColors deep = ComputeWorkingColors(in, true);
  EXPECT_TRUE(deep.Deep);
  EXPECT_EQ(deep.Face, Lighten(in.BtnFace, 86));
  EXPECT_EQ(deep.IconBack, Lighten(in.BtnFace, 16));
  EXPECT_EQ(deep.Select, Lighten(in.Highlight, 68));
  EXPECT_EQ(deep.SelectBorder, in.Highlight);
  EXPECT_EQ(deep.SelectFont, in.MenuText);
  EXPECT_EQ(deep.Disabled, Lighten(in.BtnShadow, 10));
  EXPECT_EQ(deep.Separator, Lighten(in.BtnShadow, 25));
  EXPECT_EQ(deep.CheckedArea, Lighten(in.Highlight, 80));
  EXPECT_EQ(deep.CheckedAreaSelect, Lighten(in.Highlight, 50));
  EXPECT_EQ(deep.MenuBorder, Darken(in.BtnFace, 90));
  EXPECT_EQ(deep.MenuShadow, Darken(in.BtnFace, 76));

  const XPWorkingColors flat = ComputeWorkingColors(in, false);
  EXPECT_FALSE(flat.Deep);
  EXPECT_EQ(flat.Face, kWhite);
  EXPECT_EQ(flat.IconBack, in.BtnFace);
  EXPECT_EQ(flat.Select, kWhite);
  EXPECT_EQ(flat.Disabled, in.BtnShadow);
  EXPECT_EQ(flat.CheckedArea, kWhite);
  EXPECT_EQ(flat.CheckedAreaSelect, kWhite);
  EXPECT_EQ(flat.MenuBorder, in.BtnShadow);
  EXPECT_EQ(flat.MenuShadow, in.BtnShadow);
}

TEST(XPColors, WorkingColorsFromThePropertiesWithoutSystemColours) {
  XPColorInputs in;
  in.UseSystemColors = false;
  in.Color = RGBColor(1, 1, 1);
  in.IconBackColor = RGBColor(2, 2, 2);
  in.SelectColor = RGBColor(0, 0, 200);
  in.CheckedColor = RGBColor(3, 3, 3);
  in.SeparatorColor = RGBColor(4, 4, 4);
  const XPWorkingColors deep = ComputeWorkingColors(in, true);
  EXPECT_EQ(deep.Face, in.Color);
  EXPECT_EQ(deep.IconBack, in.IconBackColor);
  EXPECT_EQ(deep.Select, Lighten(in.SelectColor, 68));
  EXPECT_EQ(deep.CheckedArea, Lighten(in.SelectColor, 80));
  EXPECT_EQ(deep.Checked, in.CheckedColor);
  EXPECT_EQ(deep.Separator, in.SeparatorColor);
  const XPWorkingColors flat = ComputeWorkingColors(in, false);
  EXPECT_EQ(flat.Select, in.SelectColor);
  EXPECT_EQ(flat.CheckedArea, kWhite);
  EXPECT_EQ(flat.CheckedAreaSelect, kSilver);
  // A device that cannot show the lightened colour gets its nearest one.
  const XPWorkingColors mapped = ComputeWorkingColors(in, true, [](Color) { return RGBColor(7, 7, 7); });
  EXPECT_EQ(mapped.Select, RGBColor(7, 7, 7));
}

TEST(XPColors, GlyphEffectsWorkPerChannelAndLeaveOnlyTheTransparentColourAlone) {
  // The transparent colour has red and blue apart; next to it the same colour
  // with red and blue exchanged, pure red and pure blue.
  const Color key = RGBColor(0, 128, 255);
  plat::Raster r(4, 1, key);
  r.SetPixel(1, 0, RGBColor(255, 128, 0));
  r.SetPixel(2, 0, RGBColor(255, 0, 0));
  r.SetPixel(3, 0, RGBColor(0, 0, 255));
  plat::Raster dim = r;
  LightenPixels(dim, 30, key);
  EXPECT_EQ(dim.Pixel(0, 0), key);
  EXPECT_EQ(dim.Pixel(1, 0), RGBColor(255, 166, 76));  // 128 + 38.1, 0 + 76.5 -> 76
  EXPECT_EQ(dim.Pixel(2, 0), RGBColor(255, 76, 76));
  EXPECT_EQ(dim.Pixel(3, 0), RGBColor(76, 76, 255));
  GrayPixels(r, 10, 40, key);
  EXPECT_EQ(r.Pixel(0, 0), key);
  EXPECT_EQ(r.Pixel(1, 0), RGBColor(184, 184, 184));  // 383 div 3 + 10 = 137, + 47.2
  EXPECT_EQ(r.Pixel(2, 0), RGBColor(159, 159, 159));  // 85 + 10 = 95, + 64
}
