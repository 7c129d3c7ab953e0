// The off-screen surface that the popups and every TBitmap draw on: GDI and
// the raster see the same pixels, it is never empty, and it gives back what
// it holds.
#include <gtest/gtest.h>

#include "ui/win/graphics.h"
#include "ui/win/surface.h"

namespace {

TEST(DibSurface, GdiAndTheRasterShareOnePictureBothWays) {
  gdi::DibSurface s(7, 3);
  ASSERT_TRUE(s);
  const RECT all{0, 0, 7, 3};
  gdi::Brush brush(CreateSolidBrush(RGB(10, 20, 30)));
  FillRect(s.dc(), &all, brush.get());
  // Read without an explicit flush: raster() flushes GDI's batch itself.
  plat::Raster& r = s.raster();
  EXPECT_TRUE(r.IsView());
  EXPECT_EQ(r.Width(), 7);
  EXPECT_EQ(r.Height(), 3);
  EXPECT_EQ(r.Pixel(6, 2), plat::RGBColor(10, 20, 30));
  // Top-down: row 0 of the raster is GDI's top row.
  r.SetPixel(1, 0, plat::RGBColor(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc(), 1, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(s.dc(), 1, 2), RGB(10, 20, 30));
}

TEST(DibSurface, AnEmptySizeStillGivesOnePixelToDrawOn) {
  gdi::DibSurface s(0, -4);
  ASSERT_TRUE(s);
  EXPECT_EQ(s.Width(), 1);
  EXPECT_EQ(s.Height(), 1);
  s.raster().SetPixel(0, 0, plat::RGBColor(1, 2, 3));
  EXPECT_EQ(GetPixel(s.dc(), 0, 0), RGB(1, 2, 3));
}

TEST(DibSurface, PutClipsAtEveryEdgeAndCopyToLandsWhereAsked) {
  gdi::DibSurface s(4, 4);
  s.raster().Fill(plat::clBlack);
  const plat::Raster red(3, 3, plat::RGBColor(255, 0, 0));
  s.Put(-1, -1, red);  // only its bottom-right 2 x 2 lands
  s.Put(3, 3, red);    // only its top-left pixel lands
  const plat::Raster& r = s.raster();
  EXPECT_EQ(r.Pixel(1, 1), plat::RGBColor(255, 0, 0));
  EXPECT_EQ(r.Pixel(2, 2), plat::clBlack);
  EXPECT_EQ(r.Pixel(3, 3), plat::RGBColor(255, 0, 0));
  s.Put(0, 0, plat::Raster());  // nothing to copy: nothing happens

  gdi::DibSurface target(6, 6);
  target.raster().Fill(plat::clWhite);
  s.CopyTo(target.dc(), 2, 2);
  EXPECT_EQ(target.raster().Pixel(3, 3), plat::RGBColor(255, 0, 0));
  EXPECT_EQ(target.raster().Pixel(1, 1), plat::clWhite);
  EXPECT_EQ(target.raster().Pixel(5, 5), plat::RGBColor(255, 0, 0));
}

TEST(DibSurface, GivesBackItsSectionAndDcAndABitmapKeepsOneAtATime) {
  const long bitmaps = gdi::Live(gdi::Kind::Bitmap), dcs = gdi::Live(gdi::Kind::MemoryDC);
  {
    gdi::DibSurface s(16, 16);
    EXPECT_EQ(gdi::Live(gdi::Kind::Bitmap), bitmaps + 1);
    EXPECT_EQ(gdi::Live(gdi::Kind::MemoryDC), dcs + 1);
  }
  EXPECT_EQ(gdi::Live(gdi::Kind::Bitmap), bitmaps);
  EXPECT_EQ(gdi::Live(gdi::Kind::MemoryDC), dcs);

  // A bitmap resized under a canvas draws on its new surface, at the new size.
  TBitmap bmp;
  bmp.SetSize(2, 2);
  TCanvas& c = bmp.Canvas();
  bmp.SetSize(9, 5);
  EXPECT_EQ(gdi::Live(gdi::Kind::Bitmap), bitmaps + 1);
  c.Brush().SetColor(RGB(0, 200, 0));
  c.FillRect(RECT{0, 0, 9, 5});
  EXPECT_EQ(bmp.Raster().Pixel(8, 4), plat::RGBColor(0, 200, 0));
  // An empty bitmap keeps a handle to select but shows no pixels.
  bmp.SetSize(0, 0);
  EXPECT_NE(bmp.Handle(), nullptr);
  EXPECT_TRUE(bmp.Raster().Empty());
  EXPECT_EQ(bmp.Canvas().Handle(), c.Handle());
}

}  // namespace
