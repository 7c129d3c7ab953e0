#include "vpUtils_win.h"

#include <cstring>

namespace skin {

namespace {

OSVERSIONINFOW VersionInfo() {
  OSVERSIONINFOW v{};
  v.dwOSVersionInfoSize = sizeof v;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  GetVersionExW(&v);
#pragma GCC diagnostic pop
  return v;
}

// The optional user-interface calls, looked up once.
struct UserCalls {
  using MonitorFromWindowFn = HMONITOR(WINAPI*)(HWND, DWORD);
  using GetMonitorInfoAFn = BOOL(WINAPI*)(HMONITOR, LPMONITORINFO);
  using GetScrollBarInfoFn = BOOL(WINAPI*)(HWND, LONG, PSCROLLBARINFO);
  MonitorFromWindowFn monitorFromWindow = nullptr;
  GetMonitorInfoAFn getMonitorInfoA = nullptr;
  GetScrollBarInfoFn getScrollBarInfo = nullptr;
  UserCalls() {
    if (HMODULE user = GetModuleHandleW(L"user32.dll")) {
      monitorFromWindow = reinterpret_cast<MonitorFromWindowFn>(
          reinterpret_cast<void*>(GetProcAddress(user, "MonitorFromWindow")));
      getMonitorInfoA = reinterpret_cast<GetMonitorInfoAFn>(
          reinterpret_cast<void*>(GetProcAddress(user, "GetMonitorInfoA")));
      getScrollBarInfo = reinterpret_cast<GetScrollBarInfoFn>(
          reinterpret_cast<void*>(GetProcAddress(user, "GetScrollBarInfo")));
    }
  }
};
const UserCalls& Calls() {
  static const UserCalls calls;
  return calls;
}

// How a glyph's closed shapes are filled.
enum class GlyphFill { None, Solid, Clear };

// A pen (and, for solid shapes, a brush) in the glyph's colour, selected for
// the scope of one glyph.
class GlyphInk {
 public:
  GlyphInk(HDC dc, COLORREF c, GlyphFill fill = GlyphFill::None)
      : pen_(CreatePen(PS_SOLID, 1, c)),
        brush_(fill == GlyphFill::Solid ? CreateSolidBrush(c) : nullptr),
        penSelected_(dc, pen_),
        brushSelected_(dc, fill == GlyphFill::Solid   ? static_cast<HGDIOBJ>(brush_.get())
                           : fill == GlyphFill::Clear ? GetStockObject(NULL_BRUSH)
                                                      : nullptr) {}

 private:
  gdi::Pen pen_;
  gdi::Brush brush_;
  gdi::Selected penSelected_, brushSelected_;
};

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

}  // namespace

// --- Text ---------------------------------------------------------------------------

int DrawSkinText(HDC dc, const std::wstring& text, RECT& rect, UINT format) {
  static const bool nt = VersionInfo().dwPlatformId == VER_PLATFORM_WIN32_NT;
  if (nt) return DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &rect, format);
  const int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, text.c_str(), static_cast<int>(text.size()), ansi.data(), n, nullptr, nullptr);
  return DrawTextA(dc, ansi.c_str(), n, &rect, format);
}

int TextWidthOf(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  DrawSkinText(dc, text, r, DT_CALCRECT);
  return r.right - r.left;
}

int TextHeightOf(HDC dc, const std::wstring& text) {
  RECT r{0, 0, 0, 0};
  DrawSkinText(dc, text, r, DT_CALCRECT);
  return r.bottom - r.top;
}

void FitTextToWidth(HDC dc, std::wstring& text, int width) {
  if (TextWidthOf(dc, text) <= width) return;
  std::wstring t = text;
  do {
    // Never leave half of a surrogate pair behind.
    if (t.size() >= 2 && IS_LOW_SURROGATE(t.back()) && IS_HIGH_SURROGATE(t[t.size() - 2])) t.pop_back();
    if (!t.empty()) t.pop_back();
  } while (!t.empty() && TextWidthOf(dc, t + L"...") > width);
  text = t + L"...";
}

// --- Platform helpers ---------------------------------------------------------------

bool IsWindows2000OrLater() {
  const OSVERSIONINFOW v = VersionInfo();
  return v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion <= 2);
}

bool IsWindowsXP() {
  const OSVERSIONINFOW v = VersionInfo();
  return v.dwMajorVersion > 5 || (v.dwMajorVersion == 5 && v.dwMinorVersion == 1);
}

void SetWindowAlpha(HWND window, BYTE alpha) {
  using Fn = BOOL(WINAPI*)(HWND, COLORREF, BYTE, DWORD);
  HMODULE user = GetModuleHandleW(L"user32.dll");
  if (!user) return;
  auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(user, "SetLayeredWindowAttributes")));
  if (fn) fn(window, 0, alpha, 2 /* LWA_ALPHA */);
}

void GetMonitorWorkArea(HWND window, bool workArea, RECT& rect) {
  const UserCalls& c = Calls();
  if (GetSystemMetrics(SM_CMONITORS) > 1 && c.monitorFromWindow && c.getMonitorInfoA) {
    HMONITOR m = c.monitorFromWindow(window, 2 /* MONITOR_DEFAULTTONEAREST */);
    MONITORINFO mi{};
    mi.cbSize = sizeof mi;
    if (c.getMonitorInfoA(m, &mi)) rect = workArea ? mi.rcWork : mi.rcMonitor;
    return;
  }
  if (workArea)
    SystemParametersInfoW(48 /* SPI_GETWORKAREA */, 0, &rect, 0);
  else
    rect = RECT{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

RECT GetMonitorWorkArea(HWND window, bool workArea) {
  RECT r{0, 0, 0, 0};
  GetMonitorWorkArea(window, workArea, r);
  return r;
}

BOOL SkinGetScrollBarInfo(HWND window, LONG idObject, SCROLLBARINFO* info) {
  const UserCalls& c = Calls();
  if (c.getScrollBarInfo) return c.getScrollBarInfo(window, idObject, info);
  if (info) info->rgstate[0] = 0x8000;  // STATE_SYSTEM_INVISIBLE
  return FALSE;
}

// --- Glyphs -------------------------------------------------------------------------

void DrawCloseGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c);
  Line(dc, x + 1, y + 1, x + 9, y + 9);
  Line(dc, x + 9, y + 1, x + 1, y + 9);
  Line(dc, x + 2, y + 1, x + 10, y + 9);
  Line(dc, x + 8, y + 1, x, y + 9);
}

void DrawSysMenuGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c, GlyphFill::Clear);
  Rectangle(dc, x + 1, y + 3, x + 9, y + 6);
}

void DrawMinimizeGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c);
  Line(dc, x + 1, y + 8, x + 9, y + 8);
  Line(dc, x + 1, y + 9, x + 9, y + 9);
}

void DrawMaximizeGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c, GlyphFill::Clear);
  Rectangle(dc, x, y, x + 11, y + 10);
  Rectangle(dc, x, y, x + 11, y + 2);
}

void DrawRestoreGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c, GlyphFill::Clear);
  Rectangle(dc, x + 2, y, x + 10, y + 6);
  Rectangle(dc, x + 2, y, x + 10, y + 2);
  Rectangle(dc, x, y + 4, x + 7, y + 10);
  Rectangle(dc, x, y + 4, x + 7, y + 6);
}

void DrawRollDownGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c);
  for (int i = 0; i <= 4; ++i) Line(dc, x + 5 - i, y + 6 - i, x + 5 + i, y + 6 - i);
}

void DrawRollUpGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c);
  for (int i = 0; i <= 4; ++i) Line(dc, x + 1 + i, y + 6 - i, x + 9 - i, y + 6 - i);
}

void DrawTrayGlyph(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c, GlyphFill::Solid);
  Rectangle(dc, x + 2, y + 2, x + 7, y + 7);
}

void DrawSubMenuArrow(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c);
  for (int i = 0; i <= 3; ++i) Line(dc, x + i, y + i, x + i, y + 7 - i);
}

void DrawRadioDot(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c, GlyphFill::Solid);
  Ellipse(dc, x, y, x + 6, y + 6);
}

void DrawArrow(HDC dc, const RECT& rect, COLORREF c, int direction) {
  if (direction < 1 || direction > 4) return;
  GlyphInk g(dc, c);
  const int cx = rect.left + (rect.right - rect.left) / 2, cy = rect.top + (rect.bottom - rect.top) / 2;
  for (int i = 0; i < 4; ++i) {
    switch (direction) {
      case 1: Line(dc, cx - 2 + i, cy - i, cx - 2 + i, cy + i + 1); break;
      case 2: Line(dc, cx + 1 - i, cy - i, cx + 1 - i, cy + i + 1); break;
      case 3: Line(dc, cx - i, cy - 2 + i, cx + i + 1, cy - 2 + i); break;
      case 4: Line(dc, cx - i, cy + 1 - i, cx + i + 1, cy + 1 - i); break;
    }
  }
}

void DrawCheckMark(HDC dc, int x, int y, COLORREF c) {
  GlyphInk g(dc, c);
  for (int i = 0; i <= 2; ++i) {
    MoveToEx(dc, x, y + 5 - i, nullptr);
    LineTo(dc, x + 2, y + 7 - i);
    LineTo(dc, x + 7, y + 2 - i);
  }
}

void DrawGlyphFromStrip(HDC dc, int x, int y, int n, int k, HBITMAP strip) {
  BITMAP bm{};
  if (!strip || !GetObjectW(strip, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  if (k <= 0 || n < 1 || n > k) return;
  const int w = bm.bmWidth / k, h = bm.bmHeight;
  if (w <= 0) return;
  const gdi::MemoryDC mem(dc);
  const gdi::Selected selected(mem.get(), strip);
  const int sx = (n - 1) * w;
  const COLORREF transparent = GetPixel(mem.get(), sx, h - 1);
  TransparentBlt(dc, x, y, w, h, mem.get(), sx, 0, w, h, transparent);
}

// --- Rasters and bitmaps ------------------------------------------------------------------

plat::Raster RasterFromBitmap(HBITMAP bitmap) {
  BITMAP bm{};
  if (!bitmap || !GetObjectW(bitmap, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return {};
  plat::Raster r(bm.bmWidth, bm.bmHeight);
  BITMAPINFO bi = gdi::TopDownInfo(bm.bmWidth, bm.bmHeight);
  GetDIBits(gdi::WindowDC().get(), bitmap, 0, bm.bmHeight, r.Bits(), &bi, DIB_RGB_COLORS);
  return r;
}

void DrawRaster(HDC dc, int x, int y, const plat::Raster& raster) {
  if (raster.Empty()) return;
  const BITMAPINFO bi = gdi::TopDownInfo(raster.Width(), raster.Height());
  SetDIBitsToDevice(dc, x, y, raster.Width(), raster.Height(), 0, 0, 0, raster.Height(), raster.Bits(), &bi,
                    DIB_RGB_COLORS);
}

gdi::Bitmap BitmapFromRaster(const plat::Raster& raster) {
  if (raster.Empty()) return {};
  void* bits = nullptr;
  gdi::Bitmap h = gdi::CreateTopDownDib(nullptr, raster.Width(), raster.Height(), &bits);
  if (!h) return {};
  GdiFlush();
  std::memcpy(bits, raster.Bits(), raster.SizeBytes());
  return h;
}

TvpFBitmap::TvpFBitmap(HBITMAP source) {
  BITMAP bm{};
  if (!source || !GetObjectW(source, sizeof bm, &bm) || bm.bmWidth <= 0 || bm.bmHeight <= 0) return;
  Width = bm.bmWidth;
  Height = bm.bmHeight;
  Info = gdi::TopDownInfo(Width, Height);
  Header = Info.bmiHeader;
  {
    const gdi::WindowDC screen;
    void* bits = nullptr;
    Handle = gdi::CreateTopDownDib(screen.get(), Width, Height, &bits);
    if (Handle) {
      Bits = static_cast<uint8_t*>(bits);
      BITMAPINFO copyInfo = Info;  // GetDIBits may write into the header it is given
      if (!GetDIBits(screen.get(), source, 0, Height, Bits, &copyInfo, DIB_RGB_COLORS)) {
        // A bitmap that is selected into a DC: copy it through the device instead.
        const gdi::MemoryDC src(screen.get()), dst(screen.get());
        const gdi::Selected from(src.get(), source), to(dst.get(), Handle);
        BitBlt(dst.get(), 0, 0, Width, Height, src.get(), 0, 0, SRCCOPY);
      }
    }
  }
  if (!Handle) {
    Width = Height = 0;
    return;
  }
  Gap = Width % 4;
  Stride = 3 * Width + Gap;
  Size = Stride * Height;
  Lines.resize(Height);
  for (int y = 0; y < Height; ++y) Lines[y] = Bits + static_cast<ptrdiff_t>(y) * Stride;
  DC = gdi::MemoryDC(nullptr);
  selected_.emplace(DC.get(), Handle);
}

// --- Regions ----------------------------------------------------------------------------------

gdi::Region RegionFromData(const RegionData& data) {
  if (data.Empty()) return {};
  const std::vector<uint8_t> bytes = data.Serialize();
  return gdi::Region(
      ExtCreateRegion(nullptr, static_cast<DWORD>(bytes.size()), reinterpret_cast<const RGNDATA*>(bytes.data())));
}

RegionData BuildMaskRegionData(HBITMAP mask, int offsetX, int offsetY) {
  TvpFBitmap fb(mask);
  if (fb.Width <= 0) return {};
  return BuildMaskRegionData(fb.View(), offsetX, offsetY);
}

gdi::Region RegionFromMask(HBITMAP mask) { return RegionFromData(BuildMaskRegionData(mask, 0, 0)); }

gdi::Region BuildShapedRegion(const plat::Raster& mask, const SkinCut& cut, const SkinFit& fit) {
  return RegionFromData(BuildShapedRegionData(mask, cut, fit));
}

}  // namespace skin
