// Skin drawing utilities, Win32 part: text on a device context, the platform
// helpers, the caption glyph painters on an HDC, TvpFBitmap and regions.
// Everything takes a plain HDC so that any canvas wrapper can pass its own.
#pragma once
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "skin/core/vpUtils.h"
#include "ui/win/handles.h"

namespace skin {

// --- Text (the DC's font is already selected) -----------------------------------

// Wide DrawText on NT-family systems, the ANSI call on the others.
int DrawSkinText(HDC dc, const std::wstring& text, RECT& rect, UINT format);
int TextWidthOf(HDC dc, const std::wstring& text);
int TextHeightOf(HDC dc, const std::wstring& text);
// Shortens the text to fit `width`, ending it in "..." (just "..." when not
// even one character fits with it); a text that fits is left alone.
void FitTextToWidth(HDC dc, std::wstring& text, int width);

// --- Platform helpers -----------------------------------------------------------

bool IsWindows2000OrLater();
bool IsWindowsXP();
// Constant alpha of a layered window, when the system has the call.
void SetWindowAlpha(HWND window, BYTE alpha);
// The work area (or whole rectangle) of the window's monitor. With several
// monitors and a failing monitor query `rect` is left unchanged.
void GetMonitorWorkArea(HWND window, bool workArea, RECT& rect);
RECT GetMonitorWorkArea(HWND window, bool workArea);
// GetScrollBarInfo where the system has it; elsewhere the bar is reported
// invisible (state 0x8000) and the call fails.
BOOL SkinGetScrollBarInfo(HWND window, LONG idObject, SCROLLBARINFO* info);

// --- Glyph painters (pen, and where needed brush, in the colour) ---------------------

void DrawCloseGlyph(HDC dc, int x, int y, COLORREF c);
void DrawSysMenuGlyph(HDC dc, int x, int y, COLORREF c);
void DrawMinimizeGlyph(HDC dc, int x, int y, COLORREF c);
void DrawMaximizeGlyph(HDC dc, int x, int y, COLORREF c);
void DrawRestoreGlyph(HDC dc, int x, int y, COLORREF c);
void DrawRollDownGlyph(HDC dc, int x, int y, COLORREF c);
void DrawRollUpGlyph(HDC dc, int x, int y, COLORREF c);
void DrawTrayGlyph(HDC dc, int x, int y, COLORREF c);
void DrawSubMenuArrow(HDC dc, int x, int y, COLORREF c);
void DrawRadioDot(HDC dc, int x, int y, COLORREF c);
void DrawArrow(HDC dc, const RECT& rect, COLORREF c, int direction);
void DrawCheckMark(HDC dc, int x, int y, COLORREF c);
// The n-th of k glyphs of the strip, its bottom-left colour transparent.
void DrawGlyphFromStrip(HDC dc, int x, int y, int n, int k, HBITMAP strip);

// --- Rasters and bitmaps -----------------------------------------------------------

// Any bitmap's pixels as a 24-bit raster (empty for no bitmap).
plat::Raster RasterFromBitmap(HBITMAP bitmap);
// Sets the raster's pixels on the device at (x, y), unscaled.
void DrawRaster(HDC dc, int x, int y, const plat::Raster& raster);
// A 24-bit top-down DIB section holding the raster (nullptr for an empty one).
gdi::Bitmap BitmapFromRaster(const plat::Raster& raster);

// A 24-bit top-down copy of a bitmap with direct row access, for scanning.
class TvpFBitmap {
 public:
  explicit TvpFBitmap(HBITMAP source);
  TvpFBitmap(const TvpFBitmap&) = delete;
  TvpFBitmap& operator=(const TvpFBitmap&) = delete;

  // The pixels as a raster view (no copy); valid while this object lives.
  plat::Raster View() const { return plat::Raster::View(Bits, Width, Height, Stride); }

  uint8_t* Bits = nullptr;
  std::vector<uint8_t*> Lines;  // row 0 is the top row
  int Gap = 0;                  // width mod 4: the padding at each row's end
  int Stride = 0;               // 3 * width + gap
  int Size = 0;                 // stride * height
  int Width = 0;
  int Height = 0;
  gdi::Bitmap Handle;
  gdi::MemoryDC DC;             // memory DC with the section selected
  BITMAPINFO Info{};
  BITMAPINFOHEADER Header{};

 private:
  std::optional<gdi::Selected> selected_;  // declared last: let go of before the DC and section
};

// --- Regions -------------------------------------------------------------------------

// One call to ExtCreateRegion from the collected rectangles; empty when
// there are none.
gdi::Region RegionFromData(const RegionData& data);
// BuildMaskRegionData over a bitmap handle (through TvpFBitmap).
RegionData BuildMaskRegionData(HBITMAP mask, int offsetX, int offsetY);
gdi::Region RegionFromMask(HBITMAP mask);
// The shaped window region of a popup or hint window at the fit's size.
gdi::Region BuildShapedRegion(const plat::Raster& mask, const SkinCut& cut, const SkinFit& fit);

}  // namespace skin
