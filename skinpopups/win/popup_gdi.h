// Small owners the skinned popups draw and time with: an off-screen 24-bit
// surface whose pixels are also a raster, fonts made from the skin's font
// keys, and message-loop timers that belong to the object that starts them.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/core/raster.h"
#include "ui/win/graphics.h"
#include "ui/win/handles.h"

namespace vp::popupgdi {

// A top-down 24-bit DIB section selected into its own memory DC. GDI draws
// on dc(); the portable pixel routines on raster(); both see the same bits.
class Surface {
 public:
  Surface(int width, int height);
  Surface(const Surface&) = delete;
  Surface& operator=(const Surface&) = delete;

  HDC dc() const { return dc_.get(); }
  // GDI is flushed first.
  plat::Raster& raster();
  int Width() const { return width_; }
  int Height() const { return height_; }
  explicit operator bool() const { return static_cast<bool>(bitmap_); }
  // Copies `from` (any raster) to (x, y).
  void Put(int x, int y, const plat::Raster& from);
  void CopyTo(HDC target, int x, int y) const;

 private:
  int width_, height_;
  gdi::MemoryDC dc_;
  gdi::Bitmap bitmap_;
  std::unique_ptr<gdi::Selected> selected_;
  plat::Raster view_;
};

// A font from a face, a height as the skin writes it, styles and charset.
gdi::Font MakeFont(const std::wstring& face, int height, TFontStyles style, int charset);
gdi::Font MakeFont(const TFont& font, int charset);
LOGFONTW MakeLogFont(const std::wstring& face, int height, TFontStyles style, int charset);
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
