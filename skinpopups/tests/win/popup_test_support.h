// What the skinned popup tests share: the default skin, a host form whose
// frame stand-in carries the menu controller, message pumping, pointer moves
// and screen pixels.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>
#include <vector>

#include "skin/win/vpSkinWin.h"
#include "skinpopups/win/vpSkinHint.h"
#include "skinpopups/win/vpSkinMenus.h"

namespace popuptest {

// Runs the message loop (timers included) for `ms` milliseconds.
inline void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  MSG m;
  do {
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageW(&m);
    }
    Sleep(5);
  } while (static_cast<int>(end - GetTickCount()) > 0);
}

// Puts the pointer somewhere and lets the 50 ms poll see it.
inline void PointAt(int x, int y, int ms = 150) {
  SetCursorPos(x, y);
  Pump(ms);
}

inline COLORREF ScreenPixel(int x, int y) {
  gdi::WindowDC screen;
  return GetPixel(screen.get(), x, y);
}

// A freshly loaded copy of the default skin linked into the test program.
inline std::unique_ptr<vp::TvpSkinData> LoadDefault(vp::TvpCompressedStoredSkin& stored) {
  auto sd = std::make_unique<vp::TvpSkinData>();
  if (vp::LoadDefaultSkin(stored)) sd->SetCompressedStoredSkin(&stored);
  return sd;
}

struct WindowCount {
  const wchar_t* cls;
  int n;
};
inline BOOL CALLBACK CountWindow(HWND h, LPARAM p) {
  auto* c = reinterpret_cast<WindowCount*>(p);
  wchar_t name[64] = {};
  GetClassNameW(h, name, 64);
  if (!c->cls || wcscmp(name, c->cls) == 0) ++c->n;
  return TRUE;
}
// Top-level windows of this thread whose class is `cls` (all when null).
inline int ThreadWindows(const wchar_t* cls = nullptr) {
  WindowCount c{cls, 0};
  EnumThreadWindows(GetCurrentThreadId(), &CountWindow, reinterpret_cast<LPARAM>(&c));
  return c.n;
}

// Stands in for the skinned frame: the component TvpSkinPopupMenu looks for.
class TTestFrame : public TComponent, public vp::TvpSkinMenuHost {
 public:
  explicit TTestFrame(TForm* form) : TComponent(form), Menu(new vp::TvpSkinMenu(this, form)) {}
  vp::TvpSkinMenu* SkinMenu() const override { return Menu; }
  vp::TvpSkinData* SkinData() const override { return Skin; }
  void MenuOpening() override { ++Openings; }
  vp::TvpSkinMenu* Menu;
  vp::TvpSkinData* Skin = nullptr;
  int Openings = 0;
};

// A form that counts the skinned menu's messages.
class TCountingForm : public TForm {
 public:
  explicit TCountingForm(TComponent* owner) : TForm(owner) {
    SetBounds(40, 40, 0, 0);
    SetClientSize(200, 120);
  }
  int Closed = 0, Commands = 0;

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == vp::WM_SKINMENUCLOSED) ++Closed;
    if (m.Msg == vp::WM_SKINMENUCOMMAND) ++Commands;
    TForm::WndProc(m);
  }
};

}  // namespace popuptest
