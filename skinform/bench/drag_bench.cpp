// Dragging a window by its caption, as the system's move loop does it: each
// mouse move is a WM_MOVING with the proposed rectangle, then the window is
// put there; 500 moves per iteration inside WM_ENTERSIZEMOVE /
// WM_EXITSIZEMOVE. The skinned main-window frame against a plain form moved
// the same way (the baseline), and against steps that change the size (where
// the frame must recompute its region). Counters: frame paints, size
// messages and region sets per move, seen by a hook on the form.
#include <benchmark/benchmark.h>
#include <windows.h>

#include <memory>

#include "skin/win/vpSkinWin.h"
#include "skinform/win/VesperForm.h"
#include "ui/win/windowhook.h"

using namespace vp;

namespace {

constexpr int kMoves = 500;

// Counts what a move costs the frame.
struct Counter : TWindowHook {
  long ncpaint = 0, size = 0;
  void HookWndProc(TMessage& m) override {
    if (m.Msg == WM_NCPAINT) ++ncpaint;
    if (m.Msg == WM_SIZE) ++size;
    CallPrevious(m);
  }
};

struct Window {
  TApplication app;
  TvpCompressedStoredSkin stored;
  TvpSkinData skin;
  std::unique_ptr<TvpWinSkinMessageSink> sink;
  TForm* form = nullptr;
  Counter counter;

  explicit Window(bool skinned) {
    app.Initialize();
    app.CreateForm(form);
    form->BorderStyle = TBorderStyle::bsSingle;
    form->SetBounds(100, 100, 596, 477);
    if (skinned) {
      auto* frame = new TvpVesperForm(form);
      sink = std::make_unique<TvpWinSkinMessageSink>(form->Handle());
      skin.SetMessageSink(sink.get());
      frame->SetSkinData(&skin);
      LoadDefaultSkin(stored);
      skin.SetCompressedStoredSkin(&stored);
      form->SetClientSize(586, 440);
    }
    form->Show();
    Pump();
    counter.Hook(form);
  }
  ~Window() {
    counter.Unhook();
    skin.SetMessageSink(nullptr);
  }
  void Pump() { app.ProcessMessages(); }
  HWND H() { return form->Handle(); }
};

// One drag of kMoves steps; `grow` also changes the width by one pixel each
// step (a live resize), which the frame must reshape for.
void DragOnce(Window& w, bool grow) {
  HWND h = w.H();
  SendMessageW(h, WM_ENTERSIZEMOVE, 0, 0);
  RECT r;
  GetWindowRect(h, &r);
  const int width = r.right - r.left, height = r.bottom - r.top;
  for (int i = 1; i <= kMoves; ++i) {
    // Back and forth over 200 pixels, as a hand would.
    const int dx = (i / 200) % 2 ? 1 : -1;
    RECT p{r.left + dx, r.top, r.left + dx + width + (grow ? (i % 2 ? 1 : -1) : 0), r.top + height};
    SendMessageW(h, grow ? WM_SIZING : WM_MOVING, WMSZ_RIGHT, reinterpret_cast<LPARAM>(&p));
    SetWindowPos(h, nullptr, p.left, p.top, p.right - p.left, p.bottom - p.top,
                 SWP_NOZORDER | SWP_NOACTIVATE | (grow ? 0 : SWP_NOSIZE));
    w.Pump();
    r = RECT{p.left, p.top, p.left + width, p.top + height};
  }
  SendMessageW(h, WM_EXITSIZEMOVE, 0, 0);
  w.Pump();
}

void Report(benchmark::State& state, Window& w) {
  const double moves = static_cast<double>(state.iterations()) * kMoves;
  state.SetItemsProcessed(static_cast<int64_t>(moves));
  state.counters["ncpaint_per_move"] = static_cast<double>(w.counter.ncpaint) / moves;
  state.counters["size_msgs_per_move"] = static_cast<double>(w.counter.size) / moves;
}

void BM_DragPlainForm(benchmark::State& state) {
  Window w(false);
  for (auto _ : state) DragOnce(w, false);
  Report(state, w);
}
BENCHMARK(BM_DragPlainForm)->Unit(benchmark::kMillisecond);

void BM_DragSkinnedForm(benchmark::State& state) {
  Window w(true);
  for (auto _ : state) DragOnce(w, false);
  Report(state, w);
}
BENCHMARK(BM_DragSkinnedForm)->Unit(benchmark::kMillisecond);

void BM_ResizeSkinnedForm(benchmark::State& state) {
  Window w(true);
  for (auto _ : state) DragOnce(w, true);
  Report(state, w);
}
BENCHMARK(BM_ResizeSkinnedForm)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
