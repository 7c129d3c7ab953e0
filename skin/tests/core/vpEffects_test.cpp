#include <gtest/gtest.h>

#include <algorithm>

#include "skin/core/vpEffects.h"

using namespace skin;
using plat::RGBColor;

namespace {

TvpEffectBmp Filled(int w, int h, plat::Color c) { return TvpEffectBmp(plat::Raster(w, h, c)); }
plat::Color At(const TvpEffectBmp& b, int x, int y) { return b.Pixels().Pixel(x, y); }

// Each column its own colour, so moves across a row can be traced.
TvpEffectBmp Columns(int w, int h, int base) {
  plat::Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, RGBColor(base + x, base, 0));
  return TvpEffectBmp(std::move(r));
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

TEST(Effects, GrayScaleInvertAndSplitBlur) {
  TvpEffectBmp g = Filled(2, 1, RGBColor(0, 255, 0));
  g.SetPixel(1, 0, 0xFFFFFF);
  g.GrayScale();
  EXPECT_EQ(At(g, 0, 0), RGBColor(150, 150, 150));
  EXPECT_EQ(At(g, 1, 0), plat::clWhite);

  TvpEffectBmp c = Columns(5, 3, 10);
  const plat::Raster before = c.Pixels();
  c.Invert();
  EXPECT_EQ(At(c, 0, 0), RGBColor(245, 245, 255));
  c.Invert();
  EXPECT_TRUE(c.Pixels().SamePixels(before));

  TvpEffectBmp u = Filled(7, 5, RGBColor(9, 99, 199));
  u.SplitBlur(1);
  for (int y = 0; y < 5; ++y)
    for (int x = 0; x < 7; ++x) ASSERT_EQ(At(u, x, y), RGBColor(9, 99, 199));
  // Amounts as large as the picture stay inside it.
  TvpEffectBmp line = Filled(3, 1, RGBColor(40, 40, 40));
  line.SplitBlur(1);
  line.SplitBlur(5);
  EXPECT_EQ(At(line, 2, 0), RGBColor(40, 40, 40));
  // The row above row 0 and the column left of column 0 fall back to 0 itself.
  TvpEffectBmp s = Filled(4, 4, plat::clBlack);
  s.SetPixel(1, 1, 0x800000);  // memory order: blue in the low byte, so this is red 128
  s.SplitBlur(1);
  EXPECT_EQ(plat::RedOf(At(s, 0, 0)), 32);  // U = 0, D = 1, L = 0, R = 1: (0 + 0 + 0 + 128) / 4
}

TEST(Effects, MonoNoiseUsesTheRuntimeGeneratorAndOneOffsetPerPixel) {
  RandSeed() = 0;
  EXPECT_EQ(Random(50), 0);  // seed 1
  EXPECT_EQ(RandSeed(), 1u);
  Random(50);
  EXPECT_EQ(RandSeed(), 134775814u);

  RandSeed() = 0;
  TvpEffectBmp n = Filled(64, 64, RGBColor(128, 128, 128));
  n.AddMonoNoise(50);
  int lo = 1000, hi = -1000;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      const plat::Color c = At(n, x, y);
      ASSERT_EQ(plat::RedOf(c), plat::GreenOf(c));
      ASSERT_EQ(plat::RedOf(c), plat::BlueOf(c));
      lo = std::min(lo, plat::RedOf(c) - 128);
      hi = std::max(hi, plat::RedOf(c) - 128);
    }
  EXPECT_EQ(lo, -25);
  EXPECT_EQ(hi, 24);
  EXPECT_EQ(At(n, 0, 0), RGBColor(103, 103, 103));  // first draw from seed 0 is 0 -> -25
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

TEST(Transitions, HalfWayValues) {
  TvpEffectBmp m = Filled(1, 1, plat::clBlack);
  m.Morph(Filled(1, 1, plat::clWhite), 0.5);
  EXPECT_EQ(At(m, 0, 0), RGBColor(128, 128, 128));
  TvpEffectBmp m1 = Filled(1, 1, RGBColor(0, 0, 0));
  m1.Morph(Filled(1, 1, RGBColor(1, 3, 0)), 0.5);
  EXPECT_EQ(At(m1, 0, 0), RGBColor(0, 2, 0));  // 0.5 -> 0, 1.5 -> 2

  const TvpEffectBmp a = Columns(4, 1, 0), b = Columns(4, 1, 100);
  auto cols = [](const TvpEffectBmp& x) {
    std::vector<int> r;
    for (int i = 0; i < x.Width(); ++i) r.push_back(plat::RedOf(At(x, i, 0)));
    return r;
  };
  TvpEffectBmp left = a;
  left.MorphLeftSlide(b, 0.5);  // b = 2: B's last two columns enter at the left
  EXPECT_EQ(cols(left), (std::vector<int>{102, 103, 2, 3}));
  TvpEffectBmp right = a;
  right.MorphRightSlide(b, 0.5);
  EXPECT_EQ(cols(right), (std::vector<int>{0, 1, 100, 101}));
  TvpEffectBmp push = a;
  push.MorphPush(b, 0.25);  // a = 1: old moves right by 2, B's last 2 columns at the left
  EXPECT_EQ(cols(push), (std::vector<int>{102, 103, 0, 1}));
  TvpEffectBmp lg = a;
  lg.MorphLeftGradient(b, 0.5);  // a = 2: weights 0, 0.5, 1 on columns 0..2
  EXPECT_EQ(cols(lg), (std::vector<int>{100, 51, 2, 3}));
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
