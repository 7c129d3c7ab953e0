// The quarter turn on rasters, natively: the row-pointer version against a
// per-pixel accessor loop measured in the same run.
#include <benchmark/benchmark.h>

#include "app/core/board_turn.h"

static plat::Raster Strip() {
  plat::Raster s(96, 512);
  for (int i = 0; i < 512; ++i)
    for (int j = 0; j < 96; ++j) s.SetPixel(j, i, plat::RGBColor(i & 0xFF, j, (i * j) & 0xFF));
  return s;
}

static void BM_TurnRowPointers(benchmark::State& st) {
  const plat::Raster strip = Strip();
  plat::Raster board(512, 96);
  for (auto _ : st) {
    TurnStripIntoBoard(strip, board);
    benchmark::DoNotOptimize(board.Bits());
  }
}
BENCHMARK(BM_TurnRowPointers);

static void BM_TurnPixelAccessors(benchmark::State& st) {
  const plat::Raster strip = Strip();
  plat::Raster board(512, 96);
  for (auto _ : st) {
    for (int i = 1; i < 512; ++i)
      for (int j = 0; j < 96; ++j) board.SetPixel(512 - i, j, strip.Pixel(j, i));
    benchmark::DoNotOptimize(board.Bits());
  }
}
BENCHMARK(BM_TurnPixelAccessors);

BENCHMARK_MAIN();
