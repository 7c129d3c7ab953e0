#include <gtest/gtest.h>

#include <algorithm>

#include "skin/core/vpEffects.h"

using namespace skin;
using plat::Color;
using plat::RGBColor;

namespace {

constexpr Color kBlue = RGBColor(0, 0, 255);

TvpEffectBmp Filled(int w, int h, Color c) { return TvpEffectBmp(plat::Raster(w, h, c)); }
Color At(const TvpEffectBmp& b, int x, int y) { return b.Pixels().Pixel(x, y); }

// Each column its own colour, and red, green and blue all different, so that
// moves across a row can be traced and a channel taken from the wrong place
// shows. The old pictures use base 0, the new ones base 100.
Color Col(int base, int x) { return RGBColor(base + x, base + 40 + x, base + 80 + x); }
// Half-way between column x of the old picture and of the new one (exact).
Color Mid(int x) { return RGBColor(50 + x, 90 + x, 130 + x); }
TvpEffectBmp Columns(int w, int h, int base) {
  plat::Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, Col(base, x));
  return TvpEffectBmp(std::move(r));
}
std::vector<Color> Row0(const TvpEffectBmp& b) {
  std::vector<Color> r;
  for (int x = 0; x < b.Width(); ++x) r.push_back(At(b, x, 0));
  return r;
}

using Transition = void (TvpEffectBmp::*)(const TvpEffectBmp&, double);
const Transition kTransitions[] = {&TvpEffectBmp::Morph,          &TvpEffectBmp::MorphGradient,
                                   &TvpEffectBmp::MorphHGradient, &TvpEffectBmp::MorphVGradient,
                                   &TvpEffectBmp::MorphLeftGradient, &TvpEffectBmp::MorphRightGradient,
                                   &TvpEffectBmp::MorphPush,      &TvpEffectBmp::MorphLeftSlide,
                                   &TvpEffectBmp::MorphRightSlide};

}  // namespace

TEST(Effects, BrightnessAndDarknessRoundHalfToEvenAndClampTheFactor) {
  TvpEffectBmp b = Filled(3, 2, plat::clBlack);
  b.SetPixel(1, 0, 0xFFFFFF);
  b.ChangeBrightness(0.5);
  EXPECT_EQ(At(b, 0, 0), RGBColor(128, 128, 128));  // 127.5 -> 128
  EXPECT_EQ(At(b, 1, 0), plat::clWhite);
  b.ChangeBrightness(-1);
  EXPECT_EQ(At(b, 0, 0), RGBColor(128, 128, 128));
  b.ChangeBrightness(2);
  EXPECT_EQ(At(b, 0, 1), plat::clWhite);

  TvpEffectBmp d = Filled(2, 1, RGBColor(100, 10, 255));
  d.ChangeDarkness(0.3);
  EXPECT_EQ(At(d, 1, 0), RGBColor(70, 7, 178));  // 178.5 -> 178
}

TEST(Effects, GrayScaleWeighsEachChannelByItsOwnFactor) {
  TvpEffectBmp g = Filled(4, 1, RGBColor(0, 255, 0));
  g.Pixels().SetPixel(1, 0, plat::clWhite);
  g.Pixels().SetPixel(2, 0, kBlue);
  g.Pixels().SetPixel(3, 0, plat::clRed);
  g.GrayScale();
  EXPECT_EQ(Row0(g), (std::vector<Color>{RGBColor(150, 150, 150), plat::clWhite, RGBColor(28, 28, 28),
                                         RGBColor(76, 76, 76)}));  // 28.05 -> 28, 76.5 -> 76
}

TEST(Effects, InvertAndSplitBlurWorkOnEveryChannel) {
  TvpEffectBmp c = Columns(5, 3, 10);
  const plat::Raster before = c.Pixels();
  c.Invert();
  EXPECT_EQ(At(c, 1, 2), RGBColor(244, 204, 164));
  c.Invert();
  EXPECT_TRUE(c.Pixels().SamePixels(before));

  TvpEffectBmp u = Filled(7, 5, RGBColor(9, 99, 199));
  u.SplitBlur(1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) ASSERT_EQ(At(u, x, y), RGBColor(9, 99, 199));
  // Amounts as large as the picture stay inside it.
  TvpEffectBmp line = Filled(3, 1, RGBColor(40, 50, 60));
  line.SplitBlur(1);
  line.SplitBlur(5);
  EXPECT_EQ(At(line, 2, 0), RGBColor(40, 50, 60));
  // The row above row 0 and the column left of column 0 fall back to 0 itself.
  TvpEffectBmp s = Filled(4, 4, plat::clBlack);
  s.Pixels().SetPixel(1, 1, RGBColor(128, 64, 8));
  s.SplitBlur(1);
  EXPECT_EQ(At(s, 0, 0), RGBColor(32, 16, 2));  // U = 0, D = 1, L = 0, R = 1: (0 + 0 + 0 + v) / 4
}

TEST(Effects, MonoNoiseUsesTheRuntimeGeneratorAndOneOffsetPerPixel) {
  RandSeed() = 0;
  EXPECT_EQ(Random(50), 0);  // seed 1
  EXPECT_EQ(RandSeed(), 1u);
  Random(50);
  EXPECT_EQ(RandSeed(), 134775814u);

  RandSeed() = 0;
  TvpEffectBmp n = Filled(64, 64, RGBColor(100, 150, 200));
  n.AddMonoNoise(50);
  int lo = 1000, hi = -1000;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const Color c = At(n, x, y);
      const int d = plat::RedOf(c) - 100;
      ASSERT_EQ(plat::GreenOf(c) - 150, d);
      ASSERT_EQ(plat::BlueOf(c) - 200, d);
      lo = std::min(lo, d);
      hi = std::max(hi, d);
    }
  EXPECT_EQ(lo, -25);
  EXPECT_EQ(hi, 24);
  EXPECT_EQ(At(n, 0, 0), RGBColor(75, 125, 175));  // first draw from seed 0 is 0 -> -25
  // Clamped at both ends.
  TvpEffectBmp edge = Filled(32, 32, plat::clBlack);
  edge.AddMonoNoise(50);
  for (int y = 0; y < 32; ++y)
    for (int x = 0; x < 32; ++x) ASSERT_LE(plat::RedOf(At(edge, x, y)), 24);
}

TEST(Transitions, EndsAndSizeMismatch) {
  const TvpEffectBmp a = Columns(8, 3, 0), b = Columns(8, 3, 100);
  for (Transition t : kTransitions) {
    TvpEffectBmp x = a;
    TvpEffectBmp other = Columns(7, 3, 100);
    (x.*t)(other, 0.5);
    EXPECT_TRUE(x.Pixels().SamePixels(a.Pixels()));
  }
  TvpEffectBmp m = a;
  m.Morph(b, 0);
  EXPECT_TRUE(m.Pixels().SamePixels(a.Pixels()));
  m.Morph(b, 1);
  EXPECT_TRUE(m.Pixels().SamePixels(b.Pixels()));
  TvpEffectBmp h = a;
  h.MorphHGradient(b, 1);
  EXPECT_TRUE(h.Pixels().SamePixels(b.Pixels()));
  TvpEffectBmp v = Columns(3, 8, 0);
  v.MorphGradient(Columns(3, 8, 100), 1);  // taller than wide: the vertical form
  EXPECT_TRUE(v.Pixels().SamePixels(Columns(3, 8, 100).Pixels()));
}

TEST(Transitions, HalfWayValuesPerChannel) {
  TvpEffectBmp m = Filled(1, 1, plat::clRed);
  m.Morph(Filled(1, 1, kBlue), 0.25);
  EXPECT_EQ(At(m, 0, 0), RGBColor(191, 0, 64));  // 191.25, 63.75
  TvpEffectBmp m1 = Filled(1, 1, plat::clBlack);
  m1.Morph(Filled(1, 1, RGBColor(1, 3, 0)), 0.5);
  EXPECT_EQ(At(m1, 0, 0), RGBColor(0, 2, 0));  // 0.5 -> 0, 1.5 -> 2

  const TvpEffectBmp a = Columns(4, 1, 0), b = Columns(4, 1, 100);
  const Color A0 = Col(0, 0), A1 = Col(0, 1), A2 = Col(0, 2), A3 = Col(0, 3);
  const Color B0 = Col(100, 0), B1 = Col(100, 1), B2 = Col(100, 2), B3 = Col(100, 3);
  TvpEffectBmp left = a;
  left.MorphLeftSlide(b, 0.5);  // b = 2: B's last two columns enter at the left
  EXPECT_EQ(Row0(left), (std::vector<Color>{B2, B3, A2, A3}));
  TvpEffectBmp right = a;
  right.MorphRightSlide(b, 0.5);
  EXPECT_EQ(Row0(right), (std::vector<Color>{A0, A1, B0, B1}));
  TvpEffectBmp push = a;
  push.MorphPush(b, 0.25);  // a = 1: old moves right by 2, B's last 2 columns at the left
  EXPECT_EQ(Row0(push), (std::vector<Color>{B2, B3, A0, A1}));
  TvpEffectBmp lg = a;
  lg.MorphLeftGradient(b, 0.5);  // a = 2: weights 0, 0.5, 1 on columns 0..2
  EXPECT_EQ(Row0(lg), (std::vector<Color>{B0, Mid(1), A2, A3}));
  TvpEffectBmp rg = a;
  rg.MorphRightGradient(b, 0.5);  // a = 2: weights 0, 0.5 on columns 3, 2
  EXPECT_EQ(Row0(rg), (std::vector<Color>{A0, A1, Mid(2), B3}));

  // Eight columns, k = 0.5: n = 4, fade length 2, band 2..6, weights grow by
  // 0.5 outward from both ends of the band.
  TvpEffectBmp hg = Columns(8, 2, 0);
  hg.MorphHGradient(Columns(8, 2, 100), 0.5);
  EXPECT_EQ(Row0(hg), (std::vector<Color>{Col(0, 0), Mid(1), Col(100, 2), Col(100, 3), Col(100, 4), Col(100, 5),
                                          Col(100, 6), Mid(7)}));
  // Eight rows, k = 0.25: n = 2, fade length 2, band rows 3..5.
  TvpEffectBmp vg = Columns(2, 8, 0);
  vg.MorphVGradient(Columns(2, 8, 100), 0.25);
  const Color vExpect[8] = {A0, A0, Mid(0), B0, B0, B0, Mid(0), A0};
  for (int y = 0; y < 8; ++y) EXPECT_EQ(At(vg, 0, y), vExpect[y]) << y;
}

TEST(Keywords, EffectAndMorphTablesFallBackLikeTheSkinReader) {
  TvpEffectBmp a = Filled(2, 2, RGBColor(0, 255, 0));
  ApplyInactiveEffect(a, "ieunknown");  // grey scale
  EXPECT_EQ(At(a, 0, 0), RGBColor(150, 150, 150));
  ApplyInactiveEffect(a, "iebrightness");
  EXPECT_EQ(At(a, 0, 0), RGBColor(202, 202, 202));  // 0.5 * 150 + 127.5 = 202.5 -> 202
  ApplyInactiveEffect(a, ieInvert);
  EXPECT_EQ(At(a, 1, 1), RGBColor(53, 53, 53));
  TvpEffectBmp m = Filled(4, 1, plat::clBlack);
  ApplyMorph(m, Filled(4, 1, plat::clWhite), "MKDEFAULT", 1);  // unknown word: plain morph
  EXPECT_EQ(At(m, 3, 0), plat::clWhite);
}
