// Owners for Win32 handles: GDI objects, device contexts got from a window or
// created in memory, objects selected into a DC for a scope, and a scope-exit
// guard for anything else. Every handle the program creates is held by one of
// these, so it is released on every path, exceptions included, and never
// twice: owners move, they do not copy.
//
// Each owner counts the handles of its kind that are alive in this module, so
// tests can check that a piece of work gives back what it took even where
// GetGuiResources answers 0 (Wine). Header-only: the controller DLL uses it
// without linking the form layer, and keeps counts of its own.
#pragma once
#include <windows.h>

#include <atomic>
#include <utility>

namespace gdi {

enum class Kind { Pen, Brush, Font, Bitmap, Region, Palette, OtherObject, WindowDC, MemoryDC, Count };

namespace detail {
inline std::atomic<long> live[static_cast<int>(Kind::Count)];
inline void Up(Kind k) { live[static_cast<int>(k)].fetch_add(1, std::memory_order_relaxed); }
inline void Down(Kind k) { live[static_cast<int>(k)].fetch_sub(1, std::memory_order_relaxed); }

template <class H> struct KindOf { static constexpr Kind value = Kind::OtherObject; };
template <> struct KindOf<HPEN> { static constexpr Kind value = Kind::Pen; };
template <> struct KindOf<HBRUSH> { static constexpr Kind value = Kind::Brush; };
template <> struct KindOf<HFONT> { static constexpr Kind value = Kind::Font; };
template <> struct KindOf<HBITMAP> { static constexpr Kind value = Kind::Bitmap; };
template <> struct KindOf<HRGN> { static constexpr Kind value = Kind::Region; };
template <> struct KindOf<HPALETTE> { static constexpr Kind value = Kind::Palette; };
}  // namespace detail

// Handles of one kind alive in this module, and of all kinds together.
inline long Live(Kind k) { return detail::live[static_cast<int>(k)].load(std::memory_order_relaxed); }
inline long LiveTotal() {
  long n = 0;
  for (int i = 0; i < static_cast<int>(Kind::Count); ++i) n += Live(static_cast<Kind>(i));
  return n;
}

// A GDI object (pen, brush, font, bitmap, region, palette) deleted with
// DeleteObject. Adopts a handle the caller just created; a null handle is an
// empty owner.
template <class H>
class Object {
 public:
  Object() = default;
  explicit Object(H h) : h_(h) {
    if (h_) detail::Up(detail::KindOf<H>::value);
  }
  ~Object() { reset(); }
  Object(Object&& o) noexcept : h_(std::exchange(o.h_, nullptr)) {}
  Object& operator=(Object&& o) noexcept {
    if (this != &o) {
      reset();
      h_ = std::exchange(o.h_, nullptr);
    }
    return *this;
  }
  Object(const Object&) = delete;
  Object& operator=(const Object&) = delete;

  H get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  // Deletes the held object and adopts `h`.
  void reset(H h = nullptr) {
    if (h_ == h) return;
    if (h_) {
      DeleteObject(h_);
      detail::Down(detail::KindOf<H>::value);
    }
    h_ = h;
    if (h_) detail::Up(detail::KindOf<H>::value);
  }
  // Gives the handle away (for SetWindowRgn, which takes ownership).
  [[nodiscard]] H release() {
    if (h_) detail::Down(detail::KindOf<H>::value);
    return std::exchange(h_, nullptr);
  }

 private:
  H h_ = nullptr;
};

using Pen = Object<HPEN>;
using Brush = Object<HBRUSH>;
using Font = Object<HFONT>;
using Bitmap = Object<HBITMAP>;
using Region = Object<HRGN>;
using Palette = Object<HPALETTE>;

// Hands a region to a window (SetWindowRgn). The window owns it only when
// the call succeeds; when it fails the region stays with `region`, which
// deletes it, instead of leaking.
inline bool GiveRegionToWindow(HWND window, Region& region, BOOL redraw) {
  if (!SetWindowRgn(window, region.get(), redraw)) return false;
  static_cast<void>(region.release());
  return true;
}

// The header of a 24-bit top-down DIB: rows run downwards, each padded to
// four bytes, the layout of plat::Raster.
inline BITMAPINFO TopDownInfo(int width, int height) {
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width;
  bi.bmiHeader.biHeight = -height;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  return bi;
}

// A 24-bit top-down DIB section; `bits` receives its pixels (nullptr when
// the section could not be made).
inline Bitmap CreateTopDownDib(HDC dc, int width, int height, void** bits) {
  const BITMAPINFO bi = TopDownInfo(width, height);
  *bits = nullptr;
  return Bitmap(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, bits, nullptr, 0));
}

// A window's DC (or the screen's, for a null window) from GetDC, given back
// with ReleaseDC.
class WindowDC {
 public:
  explicit WindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {
    if (dc_) detail::Up(Kind::WindowDC);
  }
  // GetWindowDC / GetDCEx results, released the same way.
  static WindowDC Adopt(HWND window, HDC dc) { return WindowDC(window, dc); }
  ~WindowDC() { reset(); }
  WindowDC(WindowDC&& o) noexcept : window_(o.window_), dc_(std::exchange(o.dc_, nullptr)) {}
  WindowDC& operator=(WindowDC&& o) noexcept {
    if (this != &o) {
      reset();
      window_ = o.window_;
      dc_ = std::exchange(o.dc_, nullptr);
    }
    return *this;
  }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  WindowDC(HWND window, HDC dc) : window_(window), dc_(dc) {
    if (dc_) detail::Up(Kind::WindowDC);
  }
  void reset() {
    if (!dc_) return;
    ReleaseDC(window_, dc_);
    detail::Down(Kind::WindowDC);
    dc_ = nullptr;
  }
  HWND window_ = nullptr;
  HDC dc_ = nullptr;
};

// A memory DC from CreateCompatibleDC, deleted with DeleteDC.
class MemoryDC {
 public:
  MemoryDC() = default;
  explicit MemoryDC(HDC like) : dc_(CreateCompatibleDC(like)) {
    if (dc_) detail::Up(Kind::MemoryDC);
  }
  ~MemoryDC() { reset(); }
  MemoryDC(MemoryDC&& o) noexcept : dc_(std::exchange(o.dc_, nullptr)) {}
  MemoryDC& operator=(MemoryDC&& o) noexcept {
    if (this != &o) {
      reset();
      dc_ = std::exchange(o.dc_, nullptr);
    }
    return *this;
  }
  MemoryDC(const MemoryDC&) = delete;
  MemoryDC& operator=(const MemoryDC&) = delete;

  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  void reset() {
    if (!dc_) return;
    DeleteDC(dc_);
    detail::Down(Kind::MemoryDC);
    dc_ = nullptr;
  }
  HDC dc_ = nullptr;
};

// An object selected into a DC until the end of the scope; the DC's previous
// object is put back then. Declare it after the owner of the object, so the
// object is deselected before it is deleted.
class Selected {
 public:
  Selected(HDC dc, HGDIOBJ object) : dc_(dc), old_(dc && object ? SelectObject(dc, object) : nullptr) {}
  template <class H>
  Selected(HDC dc, const Object<H>& object) : Selected(dc, static_cast<HGDIOBJ>(object.get())) {}
  ~Selected() {
    if (old_ && old_ != HGDI_ERROR) SelectObject(dc_, old_);
  }
  Selected(const Selected&) = delete;
  Selected& operator=(const Selected&) = delete;

  // Whether the selection took (the object was valid for this DC).
  bool ok() const { return old_ && old_ != HGDI_ERROR; }

 private:
  HDC dc_;
  HGDIOBJ old_;
};

// SaveDC / RestoreDC for a scope: clip, mapping and selections come back.
class SavedState {
 public:
  explicit SavedState(HDC dc) : dc_(dc), id_(dc ? SaveDC(dc) : 0) {}
  ~SavedState() {
    if (id_) RestoreDC(dc_, id_);
  }
  SavedState(const SavedState&) = delete;
  SavedState& operator=(const SavedState&) = delete;

 private:
  HDC dc_;
  int id_;
};

// Runs `f` when the scope ends, unless dismissed.
template <class F>
class ScopeExit {
 public:
  explicit ScopeExit(F f) : f_(std::move(f)) {}
  ~ScopeExit() {
    if (armed_) f_();
  }
  ScopeExit(const ScopeExit&) = delete;
  ScopeExit& operator=(const ScopeExit&) = delete;
  void dismiss() { armed_ = false; }

 private:
  F f_;
  bool armed_ = true;
};

}  // namespace gdi
