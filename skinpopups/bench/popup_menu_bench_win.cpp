// Opening a 20-item menu until its first paint is on the screen, then
// closing it: the skinned level (default skin, and without skin) against the
// system's own popup menu of the same items (TrackPopupMenu, ended as soon
// as its loop goes idle, i.e. once the menu is shown and painted).
#include <benchmark/benchmark.h>
#include <windows.h>

#include <string>

#include "skin/win/vpSkinWin.h"
#include "skinpopups/win/vpSkinMenus.h"

namespace {

constexpr int kItems = 20;

LRESULT CALLBACK OwnerProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_ENTERIDLE && w == MSGF_MENU) EndMenu();  // shown and painted: done
  return DefWindowProcW(h, m, w, l);
}

struct Fixture {
  TApplication app;
  TForm* form = nullptr;
  TPopupMenu* menu = nullptr;
  vp::TvpCompressedStoredSkin stored;
  vp::TvpSkinData skin;
  vp::TvpCompressedStoredSkin stored2;
  vp::TvpSkinData unshaped;  // the same skin without the popup's mask
  vp::TvpSkinMenu* engine = nullptr;
  HMENU system = nullptr;
  HWND owner = nullptr;

  Fixture() {
    Application->Initialize();
    Application->CreateForm(form);
    form->SetBounds(10, 10, 300, 200);
    form->Show();
    if (vp::LoadDefaultSkin(stored)) skin.SetCompressedStoredSkin(&stored);
    if (vp::LoadDefaultSkin(stored2)) unshaped.SetCompressedStoredSkin(&stored2);
    unshaped.PopupWindowDef.MaskPictureIndex = -1;
    menu = new TPopupMenu(form);
    system = CreatePopupMenu();
    for (int i = 0; i < kItems; ++i) {
      auto* item = new TMenuItem(form);
      item->Caption = L"Menu item " + std::to_wstring(i + 1);
      if (i % 5 == 4) item->ShortCut = ShortCut('A' + i / 5, scCtrl);
      menu->Items()->Add(item);
      const std::wstring text = item->Caption + (item->ShortCut ? L"\t" + ShortCutToText(item->ShortCut) : L"");
      AppendMenuW(system, MF_STRING, static_cast<UINT_PTR>(100 + i), text.c_str());
    }
    engine = new vp::TvpSkinMenu(form, form);
    WNDCLASSW wc{};
    wc.lpfnWndProc = &OwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PopupBenchOwner";
    RegisterClassW(&wc);
    owner = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance, nullptr);
    ShowWindow(owner, SW_SHOWNA);
  }
};

Fixture& F() {
  static Fixture f;
  return f;
}

void BM_SystemTrackPopupMenu(benchmark::State& state) {
  Fixture& f = F();
  for (auto _ : state) {
    SetForegroundWindow(f.owner);
    TrackPopupMenu(f.system, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RETURNCMD, 200, 100, 0, f.owner, nullptr);
  }
}
BENCHMARK(BM_SystemTrackPopupMenu)->UseRealTime();

void BM_SkinnedLevel(benchmark::State& state) {
  Fixture& f = F();
  for (auto _ : state) {
    f.engine->Popup(nullptr, &f.skin, false, f.menu->Items(), RECT{200, 100, 200, 100}, 0);
    GdiFlush();
    f.engine->CloseMenu();
  }
}
BENCHMARK(BM_SkinnedLevel)->UseRealTime();

// What the window region costs.
void BM_SkinnedLevelWithoutRegion(benchmark::State& state) {
  Fixture& f = F();
  for (auto _ : state) {
    f.engine->Popup(nullptr, &f.unshaped, false, f.menu->Items(), RECT{200, 100, 200, 100}, 0);
    GdiFlush();
    f.engine->CloseMenu();
  }
}
BENCHMARK(BM_SkinnedLevelWithoutRegion)->UseRealTime();

void BM_PlainLevel(benchmark::State& state) {
  Fixture& f = F();
  for (auto _ : state) {
    f.engine->Popup(nullptr, nullptr, false, f.menu->Items(), RECT{200, 100, 200, 100}, 0);
    GdiFlush();
    f.engine->CloseMenu();
  }
}
BENCHMARK(BM_PlainLevel)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
