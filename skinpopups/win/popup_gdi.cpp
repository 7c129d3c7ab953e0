#include "skinpopups/win/popup_gdi.h"

#include <cstring>
#include <map>

#include "ui/win/controls.h"

namespace vp::popupgdi {

Surface::Surface(int width, int height) : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1) {
  // No screen DC needed: a DIB section is selected into a DC made from none.
  dc_ = gdi::MemoryDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = width_;
  bi.bmiHeader.biHeight = -height_;
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  bitmap_.reset(CreateDIBSection(dc_.get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!bitmap_ || !bits) return;
  selected_ = std::make_unique<gdi::Selected>(dc_.get(), bitmap_);
  view_ = plat::Raster::View(static_cast<uint8_t*>(bits), width_, height_, plat::Raster::StrideFor(width_));
}

plat::Raster& Surface::raster() {
  GdiFlush();
  return view_;
}

void Surface::Put(int x, int y, const plat::Raster& from) {
  if (from.Empty() || view_.Empty()) return;
  plat::Blit(raster(), x, y, from, plat::Rect{0, 0, from.Width(), from.Height()});
}

void Surface::CopyTo(HDC target, int x, int y) const {
  BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

LOGFONTW MakeLogFont(const std::wstring& face, int height, TFontStyles style, int charset) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(charset);
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return lf;
}

LOGFONTW MakeLogFont(const TFont& font, int charset) {
  LOGFONTW lf = font.LogFont();
  lf.lfCharSet = static_cast<BYTE>(charset);
  return lf;
}

gdi::Font MakeFont(const std::wstring& face, int height, TFontStyles style, int charset) {
  const LOGFONTW lf = MakeLogFont(face, height, style, charset);
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
