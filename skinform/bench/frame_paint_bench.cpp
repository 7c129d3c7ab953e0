// What one frame paint and one region build cost on a real window under the
// skin, for the main window's size and a large window, against a plain copy
// of a bitmap of the same size in the same run.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <memory>

#include "skin/win/vpSkinWin.h"
#include "skin/win/vpUtils_win.h"
#include "skinform/win/VesperForm.h"

namespace {

struct Skinned {
  Skinned(int clientWidth, int clientHeight) {
    static TApplication app;
    form = new TForm(nullptr);
    form->BorderStyle = TBorderStyle::bsSingle;
    form->SetText(L"PlatoraV1.0.090115");
    form->SetClientSize(clientWidth, clientHeight);
    frame = new vp::TvpVesperForm(form);
    vp::LoadDefaultSkin(stored);
    sink = std::make_unique<vp::TvpWinSkinMessageSink>(form->Handle());
    data.SetMessageSink(sink.get());
    frame->SetSkinData(&data);
    data.SetCompressedStoredSkin(&stored);
    form->SetClientSize(clientWidth, clientHeight);
    form->Show();
    RECT r;
    GetWindowRect(form->Handle(), &r);
    width = r.right - r.left;
    height = r.bottom - r.top;
    target.SetSize(width, height);
    source.SetSize(width, height);
  }
  ~Skinned() {
    data.SetMessageSink(nullptr);
    delete form;
  }
  TForm* form;
  vp::TvpVesperForm* frame;
  vp::TvpCompressedStoredSkin stored;
  vp::TvpSkinData data;
  std::unique_ptr<vp::TvpWinSkinMessageSink> sink;
  int width = 0, height = 0;
  TBitmap target, source;
};

// The main window (586 x 440 client) and a 1280 x 900 window.
Skinned& Window(int which) {
  static Skinned main(586, 440);
  static Skinned large(1270, 863);  // 1280 x 900 with the skin's frame
  return which == 0 ? main : large;
}

void BM_PlainBitBlt(benchmark::State& state) {
  Skinned& w = Window(static_cast<int>(state.range(0)));
  HDC dst = w.target.Canvas().Handle(), src = w.source.Canvas().Handle();
  for (auto _ : state) {
    BitBlt(dst, 0, 0, w.width, w.height, src, 0, 0, SRCCOPY);
    GdiFlush();
  }
  state.SetLabel(std::to_string(w.width) + "x" + std::to_string(w.height));
}

void BM_FrameCompose(benchmark::State& state) {
  Skinned& w = Window(static_cast<int>(state.range(0)));
  HDC dst = w.target.Canvas().Handle();
  HWND h = w.form->Handle();
  for (auto _ : state) {
    SendMessageW(h, vp::WM_NCPAINTTODC, reinterpret_cast<WPARAM>(dst), vp::kNCPaintToDCMagic);
    GdiFlush();
  }
  state.SetLabel(std::to_string(w.width) + "x" + std::to_string(w.height));
}

void BM_FrameRegion(benchmark::State& state) {
  Skinned& w = Window(static_cast<int>(state.range(0)));
  for (auto _ : state) w.frame->SetFrameRegion(true);
  state.SetLabel(std::to_string(w.width) + "x" + std::to_string(w.height));
}

// The region alone, without giving it to the window: mask strips cut to
// the size, their black runs, one region from them.
void BM_FrameRegionBuildOnly(benchmark::State& state) {
  Skinned& w = Window(static_cast<int>(state.range(0)));
  const vp::TvpSkinData& s = w.data;
  const plat::Raster& mask = s.FrameMask.Pixels;
  const skin::SkinCut cut{s.LTPoint, s.RTPoint, s.LBPoint, s.RBPoint, s.MaskRectArea,
                          plat::Rect{0, 0, mask.Width(), mask.Height()}};
  for (auto _ : state) {
    const skin::SkinFit fit = skin::FitSkinCut(cut, w.width, w.height);
    const skin::RegionData data = skin::RegionFromStrips(skin::BuildBorderMaskStrips(mask, cut, fit), fit.NC);
    gdi::Region region(skin::RegionFromData(data));
    benchmark::DoNotOptimize(region.get());
  }
  state.SetLabel(std::to_string(w.width) + "x" + std::to_string(w.height));
}

// The whole non-client paint on the window itself, as WM_NCPAINT does it.
void BM_NCPaintOnWindow(benchmark::State& state) {
  Skinned& w = Window(static_cast<int>(state.range(0)));
  HWND h = w.form->Handle();
  for (auto _ : state) {
    SendMessageW(h, WM_NCPAINT, 1, 0);
    GdiFlush();
  }
  state.SetLabel(std::to_string(w.width) + "x" + std::to_string(w.height));
}

BENCHMARK(BM_PlainBitBlt)->Arg(0)->Arg(1);
BENCHMARK(BM_FrameCompose)->Arg(0)->Arg(1);
BENCHMARK(BM_FrameRegion)->Arg(0)->Arg(1);
BENCHMARK(BM_FrameRegionBuildOnly)->Arg(0)->Arg(1);
BENCHMARK(BM_NCPaintOnWindow)->Arg(0)->Arg(1);

}  // namespace

BENCHMARK_MAIN();
