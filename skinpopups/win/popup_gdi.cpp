#include "skinpopups/win/popup_gdi.h"

#include <cstring>
#include <map>

#include "ui/win/controls.h"

namespace vp::popupgdi {

LOGFONTW MakeLogFont(const TFont& font, int charset) {
  LOGFONTW lf = font.LogFont();
  lf.lfCharSet = static_cast<BYTE>(charset);
  return lf;
}

gdi::Font MakeFont(const std::wstring& face, int height, TFontStyles style, int charset) {
  const LOGFONTW lf = LogFontFor(face, height, style, charset);
  return gdi::Font(CreateFontIndirectW(&lf));
}

gdi::Font MakeFont(const TFont& font, int charset) {
  const LOGFONTW lf = MakeLogFont(font, charset);
  return gdi::Font(CreateFontIndirectW(&lf));
}

HFONT FontCache::Get(const LOGFONTW& lf) {
  for (Entry& e : fonts_)
    if (std::memcmp(&e.Key, &lf, sizeof lf) == 0) return e.Font.get();
  fonts_.push_back(Entry{lf, gdi::Font(CreateFontIndirectW(&lf))});
  return fonts_.back().Font.get();
}

namespace {
std::map<UINT_PTR, Timer*>& RunningTimers() {
  static std::map<UINT_PTR, Timer*> m;
  return m;
}
}  // namespace

void Timer::Start(unsigned ms) {
  Stop();
  id_ = SetTimer(nullptr, 0, ms, &Timer::Proc);
  interval_ = ms;
  if (id_) RunningTimers()[id_] = this;
}

void Timer::Stop() {
  if (!id_) return;
  KillTimer(nullptr, id_);
  RunningTimers().erase(id_);
  id_ = 0;
}

long Timer::Live() { return static_cast<long>(RunningTimers().size()); }

void CALLBACK Timer::Proc(HWND, UINT, UINT_PTR id, DWORD) {
  auto it = RunningTimers().find(id);
  if (it == RunningTimers().end()) return;
  // Copy: the tick may free the timer.
  const std::function<void()> tick = it->second->onTick_;
  GuardedCall([&] { tick(); });
}

}  // namespace vp::popupgdi
