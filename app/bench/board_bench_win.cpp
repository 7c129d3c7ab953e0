// The preview action and the quarter turn under the platform, with the
// per-pixel GDI turn (GetPixel/SetPixel on memory DCs) as the baseline.
#include <benchmark/benchmark.h>
#include <windows.h>

#include "app/core/board_turn.h"
#include "app/win/Unit2.h"

static void FillStrip(TBitmap& strip) {
  strip.SetSize(96, 512);
  plat::Raster r = strip.Raster();
  for (int i = 0; i < 512; ++i)
    for (int j = 0; j < 96; ++j) r.SetPixel(j, i, plat::RGBColor(i & 0xFF, j, (i * j) & 0xFF));
}

static void BM_TurnGdiPerPixel(benchmark::State& st) {
  TBitmap strip, board;
  FillStrip(strip);
  board.SetSize(512, 96);
  HDC s = strip.Canvas().Handle(), b = board.Canvas().Handle();
  for (auto _ : st) {
    for (int i = 0; i < 512; ++i)
      for (int j = 0; j < 96; ++j) SetPixel(b, 512 - i, j, GetPixel(s, j, i));
    GdiFlush();
  }
}
BENCHMARK(BM_TurnGdiPerPixel)->Unit(benchmark::kMillisecond);

static void BM_TurnDirect(benchmark::State& st) {
  TBitmap strip, board;
  FillStrip(strip);
  board.SetSize(512, 96);
  for (auto _ : st) {
    plat::Raster s = strip.Raster(), b = board.Raster();
    TurnStripIntoBoard(s, b);
    benchmark::DoNotOptimize(b.Bits());
  }
}
BENCHMARK(BM_TurnDirect)->Unit(benchmark::kMicrosecond);

static void BM_PreviewAction(benchmark::State& st) {
  for (auto _ : st) Form1->BitBtn18Click(Form1->BitBtn18);
}
BENCHMARK(BM_PreviewAction)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  TApplication app;
  Application->Initialize();
  Application->Title = L"Platora";
  Application->CreateForm(Form1);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  return 0;
}
