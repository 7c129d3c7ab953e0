#include <gtest/gtest.h>

#include "skin/core/vpEffects.h"
#include "skin/win/vpUtils_win.h"

using namespace skin;

namespace {

// A memory DC with a 24-bit DIB selected and Arial 14 as its font.
struct Canvas {
  Canvas(int w, int h) : bmp(BitmapFromRaster(plat::Raster(w, h, plat::clWhite))), bmpSelected(dc, bmp) {}
  gdi::MemoryDC memory{nullptr};
  gdi::Bitmap bmp;
  gdi::Font font{CreateFontW(-14, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial")};
  HDC dc = memory.get();
  gdi::Selected bmpSelected;
  gdi::Selected fontSelected{dc, font};

  plat::Raster Pixels() {
    GdiFlush();
    return RasterFromBitmap(bmp.get());
  }
};

}  // namespace

TEST(Text, FitTextToWidthShortensWithThreeDots) {
  Canvas c(10, 10);
  const std::wstring text = L"Platora menu board";
  const int full = TextWidthOf(c.dc, text);
  ASSERT_GT(full, 40);
  EXPECT_GT(TextHeightOf(c.dc, text), 8);

  std::wstring fits = text;
  FitTextToWidth(c.dc, fits, full);
  EXPECT_EQ(fits, text);  // no dots when it fits

  std::wstring half = text;
  FitTextToWidth(c.dc, half, full / 2);
  ASSERT_GT(half.size(), 3u);
  EXPECT_EQ(half.substr(half.size() - 3), L"...");
  EXPECT_LE(TextWidthOf(c.dc, half), full / 2);
  EXPECT_EQ(text.compare(0, half.size() - 3, half, 0, half.size() - 3), 0);

  std::wstring none = text;
  FitTextToWidth(c.dc, none, 3);  // not even one letter and the dots fit
  EXPECT_EQ(none, L"...");
}

TEST(Glyphs, DeviceAndRasterPaintersDrawTheSamePixels) {
  Canvas c(40, 40);
  plat::Raster mine(40, 40, plat::clWhite);
  const COLORREF ink = RGB(10, 20, 30);
  DrawCloseGlyph(c.dc, 1, 1, ink);
  skin::DrawCloseGlyph(mine, 1, 1, ink);
  DrawCheckMark(c.dc, 15, 1, ink);
  skin::DrawCheckMark(mine, 15, 1, ink);
  DrawRestoreGlyph(c.dc, 1, 15, ink);
  skin::DrawRestoreGlyph(mine, 1, 15, ink);
  DrawRollUpGlyph(c.dc, 15, 15, ink);
  skin::DrawRollUpGlyph(mine, 15, 15, ink);
  DrawArrow(c.dc, RECT{25, 25, 35, 35}, ink, 4);
  skin::DrawArrow(mine, Rect{25, 25, 35, 35}, ink, 4);
  DrawTrayGlyph(c.dc, 1, 28, ink);
  skin::DrawTrayGlyph(mine, 1, 28, ink);
  EXPECT_TRUE(c.Pixels().SamePixels(mine));
}

TEST(Bitmaps, FBitmapRowsAreTopDownAndMaskRegionComesFromThem) {
  plat::Raster m(7, 3, plat::clWhite);
  m.FillRect(Rect{0, 0, 7, 1}, plat::clBlack);
  m.FillRect(Rect{2, 2, 5, 3}, plat::clBlack);
  const gdi::Bitmap h = BitmapFromRaster(m);
  {
    TvpFBitmap fb(h.get());
    ASSERT_EQ(fb.Width, 7);
    EXPECT_EQ(fb.Gap, 3);
    EXPECT_EQ(fb.Stride, 24);
    EXPECT_EQ(fb.Size, 72);
    ASSERT_EQ(fb.Lines.size(), 3u);
    EXPECT_EQ(fb.Lines[0][0], 0);    // top row is black
    EXPECT_EQ(fb.Lines[1][0], 255);  // middle row white
    EXPECT_TRUE(fb.View().SamePixels(m));
  }
  const gdi::Region rgn = RegionFromMask(h.get());
  ASSERT_TRUE(rgn);
  EXPECT_TRUE(PtInRegion(rgn.get(), 6, 0));
  EXPECT_FALSE(PtInRegion(rgn.get(), 1, 1));
  EXPECT_TRUE(PtInRegion(rgn.get(), 4, 2));
  EXPECT_FALSE(PtInRegion(rgn.get(), 5, 2));
  RECT box;
  EXPECT_EQ(GetRgnBox(rgn.get(), &box), COMPLEXREGION);
  EXPECT_FALSE(RegionFromData(RegionData{}));
}

TEST(Bitmaps, EffectPictureRoundTripsThroughTheDevice) {
  plat::Raster src(5, 2, plat::RGBColor(0, 0, 0));
  src.SetPixel(4, 1, plat::RGBColor(200, 100, 50));
  TvpEffectBmp e(RasterFromBitmap(BitmapFromRaster(src).get()));
  e.ChangeBrightness(0.5);
  Canvas c(5, 2);
  DrawRaster(c.dc, 0, 0, e.Pixels());
  const plat::Raster out = c.Pixels();
  EXPECT_EQ(out.Pixel(0, 0), plat::RGBColor(128, 128, 128));
  EXPECT_EQ(out.Pixel(4, 1), plat::RGBColor(228, 178, 152));  // 227.5 -> 228, 177.5 -> 178, 152.5 -> 152
}

TEST(Platform, HelpersAnswerWithoutAWindow) {
  EXPECT_TRUE(IsWindows2000OrLater());
  const RECT area = GetMonitorWorkArea(nullptr, true);
  EXPECT_GT(area.right - area.left, 0);
  SCROLLBARINFO info{};
  info.cbSize = sizeof info;
  EXPECT_FALSE(SkinGetScrollBarInfo(nullptr, OBJID_VSCROLL, &info));
}
