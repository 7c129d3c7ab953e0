// Small owners the skinned popups draw and time with: the off-screen surface,
// fonts made from the skin's font keys, and message-loop timers that belong to
// the object that starts them.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/raster.h"
#include "ui/win/graphics.h"
#include "ui/win/handles.h"
#include "ui/win/surface.h"

namespace vp::popupgdi {

// The off-screen surface the popups draw on (ui/win/surface.h).
using Surface = gdi::DibSurface;

// A font from a face, a height as the skin writes it, styles and charset.
gdi::Font MakeFont(const std::wstring& face, int height, TFontStyles style, int charset);
gdi::Font MakeFont(const TFont& font, int charset);
LOGFONTW MakeLogFont(const TFont& font, int charset);

// The few fonts a menu controller keeps between menus, so that opening a
// menu does not make its font anew each time. Handles stay valid until
// Clear or the cache's end.
class FontCache {
 public:
  HFONT Get(const LOGFONTW& lf);
  // Forgets them all when there are more than `keep` (no one may hold one).
  void Trim(size_t keep) {
    if (fonts_.size() > keep) fonts_.clear();
  }

 private:
  struct Entry {
    LOGFONTW Key;
    gdi::Font Font;
  };
  std::vector<Entry> fonts_;
};

// A message-loop timer with a callback. The callback may destroy the timer's
// owner (and so the timer); nothing touches the timer after it returns.
class Timer {
 public:
  explicit Timer(std::function<void()> onTick) : onTick_(std::move(onTick)) {}
  ~Timer() { Stop(); }
  Timer(const Timer&) = delete;
  Timer& operator=(const Timer&) = delete;

  // (Re)starts with the interval.
  void Start(unsigned ms);
  void Stop();
  bool Running() const { return id_ != 0; }
  unsigned Interval() const { return interval_; }
  // Timers of this kind running now (for leak checks).
  static long Live();

 private:
  static void CALLBACK Proc(HWND, UINT, UINT_PTR id, DWORD);
  std::function<void()> onTick_;
  UINT_PTR id_ = 0;
  unsigned interval_ = 0;
};

}  // namespace vp::popupgdi
