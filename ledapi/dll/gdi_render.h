// Turning GDI content into the rasters of a display program: pictures read
// from a device context, texts and clock glyphs drawn with the named fonts.
#pragma once
#include <windows.h>

#include <string>

#include "ledapi/core/program.h"
#include "ui/core/raster.h"

namespace ledapi {

// Copies width x height pixels from the device context (empty on failure).
plat::Raster CaptureDC(HDC dc, int width, int height);

// GBK bytes to UTF-16 (code page 936).
std::wstring FromGbk(const char* text);

// Text on black in an area of width x height, from the top-left corner,
// broken into lines at word boundaries. Font size in points (96 dpi).
plat::Raster RenderText(const std::wstring& text, int width, int height, const std::wstring& face, int pointSize,
                        COLORREF color);

// A clock window for the area: the glyphs of the running time side by side.
ledp::Window ClockWindow(const plat::Rect& area, int format, const std::wstring& face, int pointSize,
                         COLORREF color);

}  // namespace ledapi
