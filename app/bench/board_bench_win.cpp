// The preview action and the quarter turn under the platform, with the
// per-pixel GDI turn (GetPixel/SetPixel on memory DCs) as the baseline.
#include <algorithm>

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

// The same with a name changed before each preview (not timed), so that
// every one draws its names afresh, as a preview after typing does.
static void BM_PreviewAfterTyping(benchmark::State& st) {
  const std::wstring name = Form1->MenuLine(1);
  bool other = false;
  for (auto _ : st) {
    st.PauseTiming();
    Form1->SetMenuLine(1, (other = !other) ? name + L"一" : name);
    st.ResumeTiming();
    Form1->BitBtn18Click(Form1->BitBtn18);
  }
  Form1->SetMenuLine(1, name);
}
BENCHMARK(BM_PreviewAfterTyping)->Unit(benchmark::kMillisecond);

// A line added to the result log, as each report adds one, the window shown
// and its paints done between lines as the message loop does them.
static void BM_LogLine(benchmark::State& st) {
  Form1->Show();
  Application->ProcessMessages();
  for (auto _ : st) {
    Form1->Memo1->Lines().Add(L"发送完成");
    st.PauseTiming();
    Application->ProcessMessages();
    st.ResumeTiming();
  }
}
BENCHMARK(BM_LogLine)->Unit(benchmark::kMicrosecond);

// A menu line read from its edit box: two messages through the control's
// window procedure, against the same two answered by the edit class's own
// procedure directly (the baseline: what the lookup of the control's object
// and its hooks add).
static void BM_MenuLineText(benchmark::State& st) {
  for (auto _ : st) benchmark::DoNotOptimize(Form1->MenuLine(2));
}
BENCHMARK(BM_MenuLineText);

static void BM_MenuLineClassProc(benchmark::State& st) {
  HWND h = Form1->Edit[2]->Handle();
  WNDCLASSW wc{};
  GetClassInfoW(nullptr, L"EDIT", &wc);
  wchar_t text[64];
  for (auto _ : st) {
    const LRESULT n = CallWindowProcW(wc.lpfnWndProc, h, WM_GETTEXTLENGTH, 0, 0);
    benchmark::DoNotOptimize(CallWindowProcW(wc.lpfnWndProc, h, WM_GETTEXT, std::min<LRESULT>(n + 1, 64),
                                             reinterpret_cast<LPARAM>(text)));
  }
}
BENCHMARK(BM_MenuLineClassProc);

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
