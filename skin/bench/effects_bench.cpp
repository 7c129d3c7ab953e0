// Effects and transitions on a 146 x 82 frame piece (the default skin's main
// picture size). Baseline: copying the piece, which every effect also does
// before it runs (the frame works on copies).
#include <benchmark/benchmark.h>

#include "skin/core/vpEffects.h"

namespace {

using skin::TvpEffectBmp;

plat::Raster Piece(int seed) {
  plat::Raster r(146, 82);
  uint32_t s = static_cast<uint32_t>(seed);
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) {
      s = s * 1664525u + 1013904223u;
      r.SetPixel(x, y, s >> 8);
    }
  return r;
}

const plat::Raster& Old() {
  static const plat::Raster r = Piece(1);
  return r;
}
const TvpEffectBmp& New() {
  static const TvpEffectBmp b(Piece(2));
  return b;
}

void BM_CopyPiece(benchmark::State& state) {
  for (auto _ : state) {
    TvpEffectBmp b(Old());
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_CopyPiece);

template <void (*Effect)(TvpEffectBmp&)>
void BM_Effect(benchmark::State& state) {
  for (auto _ : state) {
    TvpEffectBmp b(Old());
    Effect(b);
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
void Brightness(TvpEffectBmp& b) { b.ChangeBrightness(0.5); }
void Darkness(TvpEffectBmp& b) { b.ChangeDarkness(0.3); }
void Gray(TvpEffectBmp& b) { b.GrayScale(); }
void Noise(TvpEffectBmp& b) { b.AddMonoNoise(50); }
void Blur(TvpEffectBmp& b) { b.SplitBlur(1); }
void Invert(TvpEffectBmp& b) { b.Invert(); }
BENCHMARK(BM_Effect<Brightness>)->Name("ChangeBrightness(0.5)");
BENCHMARK(BM_Effect<Darkness>)->Name("ChangeDarkness(0.3)");
BENCHMARK(BM_Effect<Gray>)->Name("GrayScale");
BENCHMARK(BM_Effect<Noise>)->Name("AddMonoNoise(50)");
BENCHMARK(BM_Effect<Blur>)->Name("SplitBlur(1)");
BENCHMARK(BM_Effect<Invert>)->Name("Invert");

void BM_Morph(benchmark::State& state, int kind) {
  for (auto _ : state) {
    TvpEffectBmp b(Old());
    skin::ApplyMorph(b, New(), kind, 0.4);
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK_CAPTURE(BM_Morph, Morph, skin::mkDefault);
BENCHMARK_CAPTURE(BM_Morph, MorphGradient, skin::mkGradient);
BENCHMARK_CAPTURE(BM_Morph, MorphLeftGradient, skin::mkLeftGradient);
BENCHMARK_CAPTURE(BM_Morph, MorphRightGradient, skin::mkRightGradient);
BENCHMARK_CAPTURE(BM_Morph, MorphLeftSlide, skin::mkLeftSlide);
BENCHMARK_CAPTURE(BM_Morph, MorphRightSlide, skin::mkRightSlide);
BENCHMARK_CAPTURE(BM_Morph, MorphPush, skin::mkPush);

void BM_VGradient(benchmark::State& state) {
  for (auto _ : state) {
    TvpEffectBmp b(Old());
    b.MorphVGradient(New(), 0.4);
    benchmark::DoNotOptimize(b.ScanLine(0));
  }
}
BENCHMARK(BM_VGradient)->Name("BM_Morph/MorphVGradient");

}  // namespace

BENCHMARK_MAIN();
