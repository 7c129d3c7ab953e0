#include "tools/demo_host/demo_host.h"

#include <map>
#include <utility>

namespace demo {

bool HasFlag(const wchar_t* flag) { return wcsstr(GetCommandLineW(), flag) != nullptr; }

namespace {
std::map<UINT_PTR, std::function<void()>>& Waiting() {
  static std::map<UINT_PTR, std::function<void()>> m;
  return m;
}

void CALLBACK Due(HWND, UINT, UINT_PTR id, DWORD) {
  KillTimer(nullptr, id);
  auto it = Waiting().find(id);
  if (it == Waiting().end()) return;
  const std::function<void()> f = std::move(it->second);
  Waiting().erase(it);
  f();
}
}  // namespace

void Later(unsigned ms, std::function<void()> f) {
  if (const UINT_PTR id = SetTimer(nullptr, 0, ms, &Due)) Waiting()[id] = std::move(f);
}

void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  while (GetTickCount() < end) {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

DefaultSkin::DefaultSkin(HWND owner) : sink_(owner), found_(vp::LoadDefaultSkin(stored_)) {
  if (owner) data_.SetMessageSink(&sink_);
}

DefaultSkin::~DefaultSkin() { data_.SetMessageSink(nullptr); }

bool DefaultSkin::Apply() {
  if (found_) data_.SetCompressedStoredSkin(&stored_);
  return found_;
}

void RoundGlyph(TBitmap& b, COLORREF c) {
  b.SetSize(16, 16);
  b.Canvas().Brush().SetColor(RGB(255, 0, 255));
  b.Canvas().FillRect(RECT{0, 0, 16, 16});
  b.Canvas().Brush().SetColor(c);
  b.Canvas().Pen().SetColor(RGB(0, 0, 0));
  b.Canvas().Ellipse(2, 2, 14, 14);
}

TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption) {
  auto* i = new TMenuItem(owner);
  i->Caption = caption;
  parent->Add(i);
  return i;
}

}  // namespace demo
