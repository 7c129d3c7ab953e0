#include "ui/win/graphics.h"

#include <cstring>
#include <vector>

#include "ui/core/bmp.h"
#include "ui/core/exceptions.h"
#include "ui/core/utf.h"

COLORREF ColorToRGB(TColor c) {
  if ((c & 0xFF000000) == clSystemColor) return GetSysColor(static_cast<int>(c & 0xFF));
  return c & 0x00FFFFFF;
}

// ---------------------------------------------------------------- TFont

LOGFONTW LogFontFor(const std::wstring& face, int height, TFontStyles style, int charset, int orientation) {
  LOGFONTW lf{};
  lf.lfHeight = height;
  lf.lfWeight = (style & fsBold) ? FW_BOLD : FW_NORMAL;
  lf.lfItalic = (style & fsItalic) ? 1 : 0;
  lf.lfUnderline = (style & fsUnderline) ? 1 : 0;
  lf.lfStrikeOut = (style & fsStrikeOut) ? 1 : 0;
  lf.lfCharSet = static_cast<BYTE>(charset);
  lf.lfEscapement = orientation;
  lf.lfOrientation = orientation;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  lf.lfPitchAndFamily = DEFAULT_PITCH;
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  return lf;
}

TFont::TFont() = default;
TFont::~TFont() = default;

void TFont::Reset() { handle_.reset(); }

void TFont::Assign(const TFont& o) {
  name_ = o.name_;
  height_ = o.height_;
  color_ = o.color_;
  charset_ = o.charset_;
  style_ = o.style_;
  orientation_ = o.orientation_;
  Reset();
  Changed();
}

void TFont::SetName(const std::wstring& n) {
  if (n == name_) return;
  name_ = n;
  Reset();
  Changed();
}
void TFont::SetHeight(int h) {
  if (h == height_) return;
  height_ = h;
  Reset();
  Changed();
}
int TFont::Size() const { return -MulDiv(height_, 72, 96); }
void TFont::SetSize(int points) { SetHeight(-MulDiv(points, 96, 72)); }
void TFont::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Changed();
}
void TFont::SetCharset(int cs) {
  if (cs == charset_) return;
  charset_ = cs;
  Reset();
  Changed();
}
void TFont::SetStyle(TFontStyles s) {
  if (s == style_) return;
  style_ = s;
  Reset();
  Changed();
}
void TFont::SetOrientation(int o) {
  if (o == orientation_) return;
  orientation_ = o;
  Reset();
  Changed();
}

LOGFONTW TFont::LogFont() const { return LogFontFor(name_, height_, style_, charset_, orientation_); }

void TFont::SetLogFont(const LOGFONTW& lf) {
  name_ = lf.lfFaceName;
  height_ = lf.lfHeight;
  charset_ = lf.lfCharSet;
  style_ = (lf.lfWeight >= FW_BOLD ? fsBold : 0) | (lf.lfItalic ? fsItalic : 0) |
           (lf.lfUnderline ? fsUnderline : 0) | (lf.lfStrikeOut ? fsStrikeOut : 0);
  Reset();
  Changed();
}

HFONT TFont::Handle() {
  if (!handle_) {
    LOGFONTW lf = LogFont();
    handle_.reset(CreateFontIndirectW(&lf));
  }
  return handle_.get();
}

// ---------------------------------------------------------------- TPen / TBrush

void TPen::Reset() { handle_.reset(); }
void TPen::SetColor(TColor c) {
  if (c == color_) return;
  color_ = c;
  Reset();
  Changed();
}
void TPen::SetWidth(int w) {
  if (w == width_) return;
  width_ = w;
  Reset();
  Changed();
}
void TPen::SetStyle(TPenStyle s) {
  if (s == style_) return;
  style_ = s;
  Reset();
  Changed();
}
HPEN TPen::Handle() {
  if (!handle_) {
    int ps = PS_SOLID;
    if (style_ == TPenStyle::psDash) ps = PS_DASH;
    if (style_ == TPenStyle::psDot) ps = PS_DOT;
    if (style_ == TPenStyle::psClear) ps = PS_NULL;
    handle_.reset(CreatePen(ps, width_, ColorToRGB(color_)));
  }
  return handle_.get();
}

void TBrush::Reset() { handle_.reset(); }
void TBrush::SetColor(TColor c) {
  if (c == color_ && style_ == TBrushStyle::bsSolid) return;
  color_ = c;
  style_ = TBrushStyle::bsSolid;
  Reset();
  Changed();
}
void TBrush::SetStyle(TBrushStyle s) {
  if (s == style_) return;
  style_ = s;
  Reset();
  Changed();
}
HBRUSH TBrush::Handle() {
  if (!handle_) {
    if (style_ == TBrushStyle::bsClear) {
      LOGBRUSH lb{BS_NULL, 0, 0};
      handle_.reset(CreateBrushIndirect(&lb));
    } else {
      handle_.reset(CreateSolidBrush(ColorToRGB(color_)));
    }
  }
  return handle_.get();
}

// ---------------------------------------------------------------- TCanvas

TCanvas::TCanvas() {
  font_.OnChange = [this] { fontValid_ = false; };
  pen_.OnChange = [this] { penValid_ = false; };
  brush_.OnChange = [this] { brushValid_ = false; };
}

TCanvas::TCanvas(HDC dc) : TCanvas() { dc_ = dc; }

TCanvas::~TCanvas() { Deselect(); }

void TCanvas::Deselect() {
  if (!dc_) return;
  fontSel_.reset();
  penSel_.reset();
  brushSel_.reset();
  fontValid_ = penValid_ = brushValid_ = false;
}

HDC TCanvas::Handle() {
  if (!dc_) CreateHandle();
  return dc_;
}

void TCanvas::SetHandle(HDC dc) {
  if (dc == dc_) return;
  Deselect();
  dc_ = dc;
}

void TCanvas::Select(std::optional<gdi::Selected>& slot, HGDIOBJ object) {
  // The first selection that takes remembers what the DC had; later ones
  // only swap the canvas's own objects.
  if (slot && slot->ok())
    SelectObject(dc_, object);
  else
    slot.emplace(dc_, object);
}

void TCanvas::RequireFont() {
  Handle();
  if (fontValid_) return;
  Select(fontSel_, font_.Handle());
  SetTextColor(dc_, ColorToRGB(font_.Color()));
  fontValid_ = true;
}
void TCanvas::RequirePen() {
  Handle();
  if (penValid_) return;
  Select(penSel_, pen_.Handle());
  penValid_ = true;
}
void TCanvas::RequireBrush() {
  Handle();
  if (!brushValid_) {
    Select(brushSel_, brush_.Handle());
    brushValid_ = true;
  }
  // Text is drawn on an opaque background in the brush colour, or
  // transparently with a clear brush.
  SetBkColor(dc_, ColorToRGB(brush_.Color()));
  SetBkMode(dc_, brush_.Style() == TBrushStyle::bsClear ? TRANSPARENT : OPAQUE);
}

void TCanvas::Rectangle(int x1, int y1, int x2, int y2) {
  RequirePen();
  RequireBrush();
  ::Rectangle(dc_, x1, y1, x2, y2);
  Changed();
}
void TCanvas::FillRect(const RECT& r) {
  RequireBrush();
  ::FillRect(dc_, &r, brush_.Handle());
  Changed();
}
void TCanvas::FrameRect(const RECT& r) {
  RequireBrush();
  ::FrameRect(dc_, &r, brush_.Handle());
  Changed();
}
void TCanvas::RoundRect(int x1, int y1, int x2, int y2, int w, int h) {
  RequirePen();
  RequireBrush();
  ::RoundRect(dc_, x1, y1, x2, y2, w, h);
  Changed();
}
void TCanvas::Ellipse(int x1, int y1, int x2, int y2) {
  RequirePen();
  RequireBrush();
  ::Ellipse(dc_, x1, y1, x2, y2);
  Changed();
}
void TCanvas::Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4) {
  RequirePen();
  ::Arc(dc_, x1, y1, x2, y2, x3, y3, x4, y4);
  Changed();
}
void TCanvas::MoveTo(int x, int y) {
  Handle();
  MoveToEx(dc_, x, y, nullptr);
}
void TCanvas::LineTo(int x, int y) {
  RequirePen();
  ::LineTo(dc_, x, y);
  Changed();
}
void TCanvas::Polyline(const POINT* pts, int count) {
  RequirePen();
  ::Polyline(dc_, pts, count);
  Changed();
}
void TCanvas::TextOut(int x, int y, const std::wstring& text) {
  RequireFont();
  RequireBrush();
  ::ExtTextOutW(dc_, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}
void TCanvas::TextRect(const RECT& r, int x, int y, const std::wstring& text) {
  RequireFont();
  RequireBrush();
  UINT opts = ETO_CLIPPED;
  if (brush_.Style() != TBrushStyle::bsClear) opts |= ETO_OPAQUE;
  ::ExtTextOutW(dc_, x, y, opts, &r, text.data(), static_cast<UINT>(text.size()), nullptr);
  Changed();
}
int TCanvas::DrawText(const std::wstring& text, RECT& r, UINT format) {
  RequireFont();
  RequireBrush();
  const int res = ::DrawTextW(dc_, text.c_str(), static_cast<int>(text.size()), &r, format);
  if (!(format & DT_CALCRECT)) Changed();
  return res;
}
SIZE TCanvas::TextExtent(const std::wstring& text) {
  RequireFont();
  SIZE s{0, 0};
  ::GetTextExtentPoint32W(dc_, text.data(), static_cast<int>(text.size()), &s);
  return s;
}
TColor TCanvas::Pixel(int x, int y) { return ::GetPixel(Handle(), x, y); }
void TCanvas::SetPixel(int x, int y, TColor c) {
  ::SetPixel(Handle(), x, y, ColorToRGB(c));
  Changed();
}

void TCanvas::Draw(int x, int y, TBitmap& bmp) {
  if (bmp.Empty()) return;
  Handle();
  if (bmp.Transparent)
    DrawTransparent(dc_, x, y, bmp.Width(), bmp.Height(), bmp, 0, 0, ColorToRGB(bmp.TransparentColor()));
  else
    ::BitBlt(dc_, x, y, bmp.Width(), bmp.Height(), bmp.Canvas().Handle(), 0, 0, CopyMode);
  Changed();
}

void TCanvas::StretchDraw(const RECT& r, TBitmap& bmp) {
  if (bmp.Empty()) return;
  Handle();
  ::StretchBlt(dc_, r.left, r.top, r.right - r.left, r.bottom - r.top, bmp.Canvas().Handle(), 0, 0, bmp.Width(),
               bmp.Height(), CopyMode);
  Changed();
}

void TCanvas::CopyRect(const RECT& d, TCanvas& src, const RECT& s) {
  Handle();
  RequireBrush();
  ::StretchBlt(dc_, d.left, d.top, d.right - d.left, d.bottom - d.top, src.Handle(), s.left, s.top,
               s.right - s.left, s.bottom - s.top, CopyMode);
  Changed();
}

void DrawTransparent(HDC dc, int x, int y, int w, int h, TBitmap& bmp, int sx, int sy, COLORREF key) {
  ::TransparentBlt(dc, x, y, w, h, bmp.Canvas().Handle(), sx, sy, w, h, key);
}

// ---------------------------------------------------------------- TBitmap

class TBitmap::BitmapCanvas : public TCanvas {
 public:
  explicit BitmapCanvas(TBitmap& owner) : owner_(owner) {}
  HDC dc() const { return dc_; }
  void Attach(HDC dc) { SetHandle(dc); }

 protected:
  void CreateHandle() override {
    if (!owner_.surface_) owner_.SetSize(owner_.width_, owner_.height_);
    dc_ = owner_.surface_->dc();
  }

 private:
  TBitmap& owner_;
};

TBitmap::TBitmap() {}

TBitmap::~TBitmap() {
  canvas_.reset();
  Free();
}

void TBitmap::Free() {
  if (canvas_) canvas_->SetHandle(nullptr);
  surface_.reset();
}

void TBitmap::SetSize(int w, int h) {
  if (w < 0) w = 0;
  if (h < 0) h = 0;
  if (surface_ && *surface_ && w == width_ && h == height_) return;
  Free();
  width_ = w;
  height_ = h;
  surface_.emplace(w, h);
  if (canvas_) static_cast<BitmapCanvas*>(canvas_.get())->Attach(surface_->dc());
  Changed();
}

TCanvas& TBitmap::Canvas() {
  if (!canvas_) {
    canvas_ = std::make_unique<BitmapCanvas>(*this);
    if (surface_) static_cast<BitmapCanvas*>(canvas_.get())->Attach(surface_->dc());
    canvas_->OnChange = [this] { Changed(); };
  }
  return *canvas_;
}

plat::Raster TBitmap::Raster() {
  if (!surface_ || !*surface_) SetSize(width_, height_);
  plat::Raster& all = surface_->raster();  // flushed
  return plat::Raster::View(all.Bits(), width_, height_, all.Stride());
}

TColor TBitmap::TransparentColor() {
  if (transparentColor_ != clNone) return transparentColor_;
  if (Empty()) return clBlack;
  return Raster().Pixel(0, height_ - 1);
}

void TBitmap::LoadFromRaster(const plat::Raster& r) {
  SetSize(r.Width(), r.Height());
  if (Empty()) return;
  plat::Raster dst = Raster();
  plat::Blit(dst, 0, 0, r, plat::Rect{0, 0, r.Width(), r.Height()});
  Changed();
}

void TBitmap::LoadFromBmpBytes(const uint8_t* data, size_t size) {
  const plat::BmpImage img = plat::ReadBmp(data, size);
  LoadFromRaster(img.Pixels);
}

void TBitmap::LoadFromFile(const std::wstring& path) {
  HANDLE f = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  if (f == INVALID_HANDLE_VALUE) {
    const DWORD err = GetLastError();
    wchar_t* msg = nullptr;
    FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                   nullptr, err, 0, reinterpret_cast<wchar_t*>(&msg), 0, nullptr);
    std::wstring reason = msg ? msg : L"";
    if (msg) LocalFree(msg);
    while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' || reason.back() == L' ' ||
                               reason.back() == L'.'))
      reason.pop_back();
    throw plat::EFOpenError("Cannot open file \"" + plat::WideToUtf8(path) + "\". " + plat::WideToUtf8(reason));
  }
  std::vector<uint8_t> data;
  BOOL ok = TRUE;
  DWORD got = 0;
  {
    gdi::ScopeExit close([f] { CloseHandle(f); });
    LARGE_INTEGER size{};
    GetFileSizeEx(f, &size);
    if (size.QuadPart > (1LL << 30)) throw plat::EInvalidGraphic("Bitmap image is not valid");
    data.resize(static_cast<size_t>(size.QuadPart));
    ok = data.empty() || ReadFile(f, data.data(), static_cast<DWORD>(data.size()), &got, nullptr);
  }
  if (!ok || got != data.size()) throw plat::EInvalidGraphic("Bitmap image is not valid");
  LoadFromBmpBytes(data.data(), data.size());
}

void TBitmap::SaveToFile(const std::wstring& path) {
  plat::SaveBmpFile(plat::WideToUtf8(path), Raster());
}

void TBitmap::Assign(TBitmap& other) {
  if (other.Empty()) {
    SetSize(0, 0);
    return;
  }
  LoadFromRaster(other.Raster());
  Transparent = other.Transparent;
  transparentColor_ = other.transparentColor_;
}
