#include "ledapi/dll/gdi_render.h"

#include <cstring>
#include <optional>

#include "ui/win/handles.h"

namespace ledapi {

namespace {

// A memory DC with a top-down 24-bit DIB section selected into it; its bits
// have the raster layout, so the result is one copy away.
class DibSurface {
 public:
  DibSurface(HDC like, int w, int h) : w_(w), h_(h), dc_(like) {
    if (!dc_) return;
    bmp_ = gdi::CreateTopDownDib(dc_.get(), w, h, &bits_);
    if (!bmp_ || !bits_) return;
    selected_.emplace(dc_.get(), bmp_);
  }
  bool Ok() const { return selected_ && selected_->ok(); }
  HDC Dc() const { return dc_.get(); }
  plat::Raster Pixels() const {
    GdiFlush();
    plat::Raster r(w_, h_);
    std::memcpy(r.Bits(), bits_, r.SizeBytes());
    return r;
  }

 private:
  int w_, h_;
  gdi::MemoryDC dc_;
  gdi::Bitmap bmp_;
  void* bits_ = nullptr;
  std::optional<gdi::Selected> selected_;
};

// The named face at a point size, without smoothing: LEDs are on or off.
gdi::Font LedFont(const std::wstring& face, int pointSize) {
  LOGFONTW lf{};
  lf.lfHeight = -MulDiv(pointSize > 0 ? pointSize : 12, 96, 72);
  lf.lfWeight = FW_NORMAL;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfQuality = NONANTIALIASED_QUALITY;
  wcsncpy(lf.lfFaceName, face.empty() ? L"宋体" : face.c_str(), LF_FACESIZE - 1);
  return gdi::Font(CreateFontIndirectW(&lf));
}

// The font selected for a scope; the GUI font stands in when it could not be made.
class SelectedFont {
 public:
  SelectedFont(HDC dc, const std::wstring& face, int pointSize)
      : font_(LedFont(face, pointSize)),
        selected_(dc, font_ ? static_cast<HGDIOBJ>(font_.get()) : GetStockObject(DEFAULT_GUI_FONT)) {}

 private:
  gdi::Font font_;
  gdi::Selected selected_;
};

}  // namespace

plat::Raster CaptureDC(HDC dc, int width, int height) {
  if (!dc || width <= 0 || height <= 0 || width > ledp::kMaxSide || height > ledp::kMaxSide) return {};
  DibSurface s(dc, width, height);
  if (!s.Ok() || !BitBlt(s.Dc(), 0, 0, width, height, dc, 0, 0, SRCCOPY)) return {};
  return s.Pixels();
}

std::wstring FromGbk(const char* text) {
  if (!text || !*text) return {};
  int n = MultiByteToWideChar(936, 0, text, -1, nullptr, 0);
  if (n <= 0) return {};
  std::wstring w(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(936, 0, text, -1, w.data(), n);
  w.resize(static_cast<size_t>(n - 1));
  return w;
}

plat::Raster RenderText(const std::wstring& text, int width, int height, const std::wstring& face, int pointSize,
                        COLORREF color) {
  DibSurface s(gdi::WindowDC().get(), width, height);
  if (!s.Ok()) return {};
  RECT r{0, 0, width, height};
  FillRect(s.Dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectedFont font(s.Dc(), face, pointSize);
  SetBkMode(s.Dc(), TRANSPARENT);
  SetTextColor(s.Dc(), color & 0xFFFFFF);
  DrawTextW(s.Dc(), text.c_str(), static_cast<int>(text.size()), &r, DT_LEFT | DT_TOP | DT_WORDBREAK | DT_NOPREFIX);
  return s.Pixels();
}

ledp::Window ClockWindow(const plat::Rect& area, int format, const std::wstring& face, int pointSize,
                         COLORREF color) {
  ledp::Window w;
  w.Type = ledp::WindowType::Clock;
  w.Area = area;
  w.Format = format;
  w.GlyphChars = ledp::kClockGlyphs;
  const gdi::WindowDC screen;
  int total = 0, height = 1;
  {
    gdi::MemoryDC measure(screen.get());
    SelectedFont font(measure.get(), face, pointSize);
    TEXTMETRICW tm{};
    GetTextMetricsW(measure.get(), &tm);
    height = tm.tmHeight > 0 ? tm.tmHeight : 1;
    for (char c : w.GlyphChars) {
      wchar_t wc = static_cast<wchar_t>(c);
      SIZE sz{};
      GetTextExtentPoint32W(measure.get(), &wc, 1, &sz);
      w.GlyphWidths.push_back(static_cast<uint16_t>(sz.cx > 0 ? sz.cx : 1));
      total += w.GlyphWidths.back();
    }
  }
  DibSurface s(screen.get(), total, height);
  if (!s.Ok()) return {};
  RECT r{0, 0, total, height};
  FillRect(s.Dc(), &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  SelectedFont font(s.Dc(), face, pointSize);
  SetBkMode(s.Dc(), TRANSPARENT);
  SetTextColor(s.Dc(), color & 0xFFFFFF);
  int x = 0;
  for (size_t i = 0; i < w.GlyphChars.size(); ++i) {
    wchar_t wc = static_cast<wchar_t>(w.GlyphChars[i]);
    TextOutW(s.Dc(), x, 0, &wc, 1);
    x += w.GlyphWidths[i];
  }
  w.Pixels = s.Pixels();
  return w;
}

}  // namespace ledapi
