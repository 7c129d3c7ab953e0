#include <gtest/gtest.h>

#include "skin/core/vpUtils.h"

using namespace skin;
using plat::RGBColor;

namespace {

// A picture whose every column (or row) has its own colour, so that a copy
// shows where each target pixel came from.
Raster Columns(int w, int h) {
  Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, RGBColor(x + 1, 0, 0));
  return r;
}
Raster Rows(int w, int h) {
  Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, RGBColor(0, y + 1, 0));
  return r;
}
Raster Unique(int w, int h) {
  Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, RGBColor(x + 1, y + 1, 7));
  return r;
}
int SourceColumn(const Raster& r, int x, int y = 0) { return plat::RedOf(r.Pixel(x, y)) - 1; }

}  // namespace

TEST(Strips, HorizontalKeepsEndsAndTilesMiddleCutAtTheRightEnd) {
  const Raster pic = Columns(10, 2);
  Raster t;
  // Ends 2 and 3, middle 5 columns (2..6) tiled over 20 - 5 = 15: exactly 3 tiles.
  DrawHorizontalStrip(2, 3, t, false, 20, Rect{0, 0, 10, 2}, pic);
  ASSERT_EQ(t.Width(), 20);
  ASSERT_EQ(t.Height(), 2);
  const int expect[20] = {0, 1, 2, 3, 4, 5, 6, 2, 3, 4, 5, 6, 2, 3, 4, 5, 6, 7, 8, 9};
  for (int x = 0; x < 20; ++x) EXPECT_EQ(SourceColumn(t, x, 1), expect[x]) << x;
  // Not a multiple: 13 - 5 = 8 -> one whole tile and a cut one of 3 columns.
  DrawHorizontalStrip(2, 3, t, false, 13, Rect{0, 0, 10, 2}, pic);
  const int cut[13] = {0, 1, 2, 3, 4, 5, 6, 2, 3, 4, 7, 8, 9};
  for (int x = 0; x < 13; ++x) EXPECT_EQ(SourceColumn(t, x), cut[x]) << x;
}

TEST(Strips, ZeroWidthMiddleTilesOnePixelSlicesAndStretchScales) {
  const Raster pic = Columns(6, 1);
  Raster t;
  DrawHorizontalStrip(3, 3, t, false, 10, Rect{0, 0, 6, 1}, pic);
  const int expect[10] = {0, 1, 2, 3, 3, 3, 3, 3, 4, 5};  // the column after the left end
  for (int x = 0; x < 10; ++x) EXPECT_EQ(SourceColumn(t, x), expect[x]) << x;
  DrawHorizontalStrip(1, 1, t, true, 10, Rect{0, 0, 6, 1}, pic);  // 4 columns into 8
  const int stretched[10] = {0, 1, 1, 2, 2, 3, 3, 4, 4, 5};
  for (int x = 0; x < 10; ++x) EXPECT_EQ(SourceColumn(t, x), stretched[x]) << x;
}

TEST(Strips, VerticalWithZeroMiddleTilesNothingAndTheLastTileIsCut) {
  const Raster pic = Rows(1, 6);
  Raster t;
  DrawVerticalStrip(3, 3, t, false, 9, Rect{0, 0, 1, 6}, pic);
  ASSERT_EQ(t.Height(), 9);
  EXPECT_EQ(t.Pixel(0, 2), RGBColor(0, 3, 0));
  for (int y = 3; y < 6; ++y) EXPECT_EQ(t.Pixel(0, y), plat::clWhite) << y;  // left blank
  EXPECT_EQ(t.Pixel(0, 6), RGBColor(0, 4, 0));
  // A 4-row middle over 12 rows (whole tiles only) and over 11 (the last cut to 3).
  for (int H : {14, 13}) {
    DrawVerticalStrip(1, 1, t, false, H, Rect{0, 0, 1, 6}, pic);
    for (int y = 1; y < H - 1; ++y) EXPECT_EQ(t.Pixel(0, y), RGBColor(0, 2 + (y - 1) % 4, 0)) << H << "," << y;
    EXPECT_EQ(t.Pixel(0, H - 1), RGBColor(0, 6, 0)) << H;
  }
}

TEST(NineSlice, EdgesAndMiddleTileFromTheCornerPointsToTheLastPartialTile) {
  // 8 x 8, cut at 2 and 5 both ways: 3-pixel edges and middle, 3-pixel far ends.
  const Raster pic = Unique(8, 8);
  const SkinCut cut{{2, 2}, {5, 2}, {2, 5}, {5, 5}, Rect{2, 2, 5, 5}, Rect{0, 0, 8, 8}};
  Raster t;
  DrawNineSliceImage(cut, pic, {}, true, FitSkinCut(cut, 8, 8), t);
  EXPECT_TRUE(t.SamePixels(pic));  // at its own size the image is itself

  // 15 x 12: the tiled span is 10 wide (three tiles and one column) and 7 high
  // (two tiles and one row), counted from the corner points, not from 0.
  auto from = [](int at, int size) { return at < 2 ? at : at >= size - 3 ? at - (size - 8) : 2 + (at - 2) % 3; };
  DrawNineSliceImage(cut, pic, {}, true, FitSkinCut(cut, 15, 12), t);
  ASSERT_EQ(t.Width(), 15);
  ASSERT_EQ(t.Height(), 12);
  for (int y = 0; y < 12; ++y)
    for (int x = 0; x < 15; ++x) ASSERT_EQ(t.Pixel(x, y), pic.Pixel(from(x, 15), from(y, 12))) << x << "," << y;
  // Without the middle the client stays blank and the edges are the same.
  DrawNineSliceImage(cut, pic, {}, false, FitSkinCut(cut, 15, 12), t);
  EXPECT_EQ(t.Pixel(11, 0), pic.Pixel(2, 0));
  EXPECT_EQ(t.Pixel(0, 8), pic.Pixel(0, 2));
  EXPECT_EQ(t.Pixel(11, 8), plat::clWhite);
  // Equal corner points: nothing is drawn.
  SkinCut flat = cut;
  flat.RB = flat.LT;
  DrawNineSliceImage(flat, pic, {}, true, FitSkinCut(flat, 12, 12), t);
  EXPECT_EQ(t.Pixel(0, 0), plat::clWhite);
}

TEST(FrameBorders, TopIsTiledFromZeroAndCoveredByTheCorners) {
  const Raster pic = Unique(12, 10);
  // Band 3..7 (4 wide); the client starts at row 2 and ends at row 8.
  const SkinCut cut{{3, 4}, {7, 4}, {3, 6}, {7, 6}, Rect{2, 2, 10, 8}, Rect{0, 0, 12, 10}};
  FrameBorderImages p;
  BuildFrameBorderImages(cut, pic, {}, FitSkinCut(cut, 16, 14), p);
  ASSERT_EQ(p.Top.Width(), 16);
  ASSERT_EQ(p.Top.Height(), 2);
  EXPECT_EQ(p.Bottom.Height(), 2);
  EXPECT_EQ(p.Left.Height(), 10);
  EXPECT_EQ(p.Right.Width(), 2);
  // Corners 0..3 and 11..16; between them the tiles counted from x = 0.
  const int top[16] = {0, 1, 2, 6, 3, 4, 5, 6, 3, 4, 5, 7, 8, 9, 10, 11};
  for (int x = 0; x < 16; ++x) EXPECT_EQ(SourceColumn(p.Top, x), top[x]) << x;
  // Left: rows 2..4 kept above the band, the band (rows 4..6) tiled from
  // y = 0, rows 6..8 kept at the foot.
  const int left[10] = {2, 3, 4, 5, 4, 5, 4, 5, 6, 7};
  for (int y = 0; y < 10; ++y) EXPECT_EQ(plat::GreenOf(p.Left.Pixel(0, y)) - 1, left[y]) << y;
  // A border that cannot be built keeps what it had.
  SkinCut noBand = cut;
  noBand.RT.X = noBand.LT.X;
  p.Top.SetPixel(0, 0, plat::clRed);
  BuildFrameBorderImages(noBand, pic, {}, FitSkinCut(noBand, 20, 14), p);
  EXPECT_EQ(p.Top.Width(), 16);
  EXPECT_EQ(p.Top.Pixel(0, 0), plat::clRed);
}

TEST(FrameBorders, BandsWithoutEndPiecesShowTheirLastPartialTile) {
  // The bands reach the picture's right edge and the client's top and bottom,
  // so no corner or end piece covers the last tile.
  const Raster pic = Unique(8, 8);
  const SkinCut cut{{2, 2}, {8, 2}, {2, 6}, {8, 6}, Rect{2, 2, 6, 6}, Rect{0, 0, 8, 8}};
  FrameBorderImages p;
  BuildFrameBorderImages(cut, pic, {}, FitSkinCut(cut, 15, 13), p);
  ASSERT_EQ(p.Top.Width(), 15);
  ASSERT_EQ(p.Bottom.Width(), 15);
  ASSERT_EQ(p.Left.Height(), 9);
  ASSERT_EQ(p.Right.Height(), 9);
  // Top and bottom: 6-wide tiles from x = 0, the third cut to 3; the left corner over the first two.
  for (int x = 0; x < 15; ++x) {
    const int col = x < 2 ? x : 2 + x % 6;
    EXPECT_EQ(p.Top.Pixel(x, 1), pic.Pixel(col, 1)) << x;
    EXPECT_EQ(p.Bottom.Pixel(x, 0), pic.Pixel(col, 6)) << x;
  }
  // Left and right: 4-high tiles from y = 0, the third cut to 1.
  for (int y = 0; y < 9; ++y) {
    EXPECT_EQ(p.Left.Pixel(1, y), pic.Pixel(1, 2 + y % 4)) << y;
    EXPECT_EQ(p.Right.Pixel(0, y), pic.Pixel(6, 2 + y % 4)) << y;
  }
}

TEST(MaskRegion, RunsOfPureBlackPerRow) {
  Raster m(6, 4, plat::clWhite);
  m.FillRect(Rect{0, 0, 6, 1}, plat::clBlack);  // row 0: all black
  // row 1: nothing black
  m.FillRect(Rect{0, 2, 6, 3}, plat::clBlack);  // row 2: split by a white pixel
  m.SetPixel(2, 2, plat::clWhite);
  m.SetPixel(0, 3, plat::clBlack);              // row 3: black, then (1,0,0), then black
  m.SetPixel(1, 3, RGBColor(0, 0, 1));          // blue byte 1: not black
  m.SetPixel(2, 3, plat::clBlack);
  const RegionData d = BuildMaskRegionData(m, 10, 20);
  const std::vector<Rect> expect = {{10, 20, 16, 21}, {10, 22, 12, 23}, {13, 22, 16, 23},
                                    {10, 23, 11, 24}, {12, 23, 13, 24}};
  EXPECT_EQ(d.Rects, expect);
  EXPECT_EQ(d.Bound, (Rect{10, 20, 16, 24}));
  const std::vector<uint8_t> bytes = d.Serialize();
  ASSERT_EQ(bytes.size(), 32u + 16 * 5);
  EXPECT_EQ(bytes[0], 32);  // header size
  EXPECT_EQ(bytes[4], 1);   // rectangles
  EXPECT_EQ(bytes[8], 5);   // count
  EXPECT_EQ(bytes[16], 10); // bound left
  EXPECT_EQ(bytes[32 + 4], 20);
  EXPECT_TRUE(BuildMaskRegionData(Raster()).Empty());
}

TEST(MaskRegion, NormalizeMergesOverlapsAndSplitsRows) {
  const std::vector<Rect> out = NormalizeRows({{5, 1, 9, 3}, {0, 0, 4, 1}, {2, 1, 6, 2}, {9, 2, 10, 3}, {0, 0, 0, 5}});
  const std::vector<Rect> expect = {{0, 0, 4, 1}, {2, 1, 9, 2}, {5, 2, 10, 3}};
  EXPECT_EQ(out, expect);
}

TEST(MaskRegion, ShapedRegionJoinsClientAndStripsAndRefusesCrossedPoints) {
  // 8 x 8 mask: black inside, the four corner pixels white (rounded corners).
  Raster m(8, 8, plat::clBlack);
  for (int x : {0, 7})
    for (int y : {0, 7}) m.SetPixel(x, y, plat::clWhite);
  const SkinCut cut{{2, 2}, {6, 2}, {2, 6}, {6, 6}, Rect{2, 2, 6, 6}, Rect{0, 0, 8, 8}};
  const RegionData own = BuildShapedRegionData(m, cut, FitSkinCut(cut, 8, 8));
  EXPECT_EQ(own.Rects, BuildMaskRegionData(m).Rects);
  const RegionData big = BuildShapedRegionData(m, cut, FitSkinCut(cut, 20, 12));
  ASSERT_EQ(big.Rects.size(), 12u);
  EXPECT_EQ(big.Rects.front(), (Rect{1, 0, 19, 1}));
  EXPECT_EQ(big.Rects[5], (Rect{0, 5, 20, 6}));
  EXPECT_EQ(big.Rects.back(), (Rect{1, 11, 19, 12}));
  SkinFit crossed = FitSkinCut(cut, 20, 12);
  crossed.NRT.X = crossed.NLT.X - 1;
  EXPECT_TRUE(BuildShapedRegionData(m, cut, crossed).Empty());
}

TEST(Glyphs, ShapesFollowTheirPointLists) {
  Raster r(20, 20, plat::clWhite);
  DrawCheckMark(r, 0, 0, plat::clBlack);
  // Each of the three strokes: (0,5-i) -> (2,7-i) -> (7,2-i), last point open.
  for (int i = 0; i <= 2; ++i) {
    EXPECT_EQ(r.Pixel(0, 5 - i), plat::clBlack);
    EXPECT_EQ(r.Pixel(2, 7 - i), plat::clBlack);
    EXPECT_EQ(r.Pixel(6, 3 - i), plat::clBlack);
  }
  EXPECT_EQ(r.Pixel(7, 0), plat::clWhite);  // the end of the last stroke is not drawn

  r.Fill(plat::clWhite);
  DrawArrow(r, Rect{0, 0, 10, 10}, plat::clBlack, 3);  // up: rows of 1, 3, 5, 7
  for (int row = 0; row < 4; ++row) {
    int n = 0;
    for (int x = 0; x < 10; ++x) n += r.Pixel(x, 3 + row) == plat::clBlack;
    EXPECT_EQ(n, 2 * row + 1) << row;
  }
  EXPECT_EQ(r.Pixel(5, 3), plat::clBlack);  // the tip, centred

  r.Fill(plat::clWhite);
  DrawMaximizeGlyph(r, 2, 2, plat::clBlack);
  EXPECT_EQ(r.Pixel(12, 11), plat::clBlack);  // outline (0,0)-(11,10) ends at 10, 9
  EXPECT_EQ(r.Pixel(13, 11), plat::clWhite);
  EXPECT_EQ(r.Pixel(5, 3), plat::clBlack);  // the thick top
  EXPECT_EQ(r.Pixel(5, 4), plat::clWhite);
}

TEST(Glyphs, StripGlyphIsCutAndDrawnWithItsBottomLeftColourTransparent) {
  Raster strip(9, 2, RGBColor(0, 255, 0));
  strip.SetPixel(3, 0, plat::clRed);  // glyph 2 of 3 spans columns 3..5
  strip.SetPixel(5, 1, RGBColor(0, 0, 255));
  Raster dst(10, 10, plat::clWhite);
  DrawGlyphFromStrip(dst, 1, 1, 2, 3, strip);
  EXPECT_EQ(dst.Pixel(1, 1), plat::clRed);
  EXPECT_EQ(dst.Pixel(3, 2), RGBColor(0, 0, 255));
  EXPECT_EQ(dst.Pixel(2, 1), plat::clWhite);  // green is the transparent colour
  DrawGlyphFromStrip(dst, 0, 0, 1, 3, Raster());
}
