// Skin drawing utilities, portable part: cutting a skin image by its corner
// points and rebuilding it at another size, turning black-and-white masks into
// region rectangles, and small glyph painters on rasters. The Win32 side
// (text, HDC glyphs, regions, TvpFBitmap) is in skin/win/vpUtils_win.h.
#pragma once
#include <cstdint>
#include <vector>

#include "ui/core/geometry.h"
#include "ui/core/raster.h"

namespace skin {

using plat::Color;
using plat::Point;
using plat::Raster;
using plat::Rect;

// --- Geometry helpers -------------------------------------------------------

inline bool IsNullRect(const Rect& r) { return r.Width() <= 0 || r.Height() <= 0; }
inline bool IsNullPoint(const Point& p) { return p.X == 0 || p.Y == 0; }
inline int RectWidth(const Rect& r) { return r.Right - r.Left; }
inline int RectHeight(const Rect& r) { return r.Bottom - r.Top; }
// Both ends included.
inline bool PointInsideRect(const Rect& r, const Point& p) {
  return p.X >= r.Left && p.X <= r.Right && p.Y >= r.Top && p.Y <= r.Bottom;
}
// Both corners by the platform's point-in-rectangle test (right and bottom
// excluded), as the frame uses it to sort caption objects into corners.
inline bool RectInsideRect(const Rect& inner, const Rect& outer) {
  return outer.Contains(inner.Left, inner.Top) && outer.Contains(inner.Right, inner.Bottom);
}

// --- Skin geometry -----------------------------------------------------------

// How a skin image is cut: its rectangle S in the picture, the four inner
// corner points and the client rect C, all relative to S's top-left.
struct SkinCut {
  Point LT, RT, LB, RB;
  Rect C;
  Rect S;
};

// The same cut at a new size W x H, in target coordinates.
struct SkinFit {
  int W = 0, H = 0;
  Rect NC;
  Point NLT, NRT, NLB, NRB;
};

struct StretchFlags {
  bool Left = false, Top = false, Right = false, Bottom = false;
};

// The usual fit: border widths are kept, right points move by W - width(S),
// bottom points by H - height(S).
SkinFit FitSkinCut(const SkinCut& cut, int width, int height);

// --- Tiling primitives ---------------------------------------------------------

// Tiles `from` across target x in [x0, limit), rows [top, bottom): copies at the
// tile's own width, the last one cut short at `limit` (cut off the right of both
// source and target). Tile count = span / tile width + 1.
void TileHorizontal(Raster& dst, int x0, int limit, int top, int bottom, const Raster& src, Rect from);
// The same down the rows [y0, limit), columns [left, right).
void TileVertical(Raster& dst, int y0, int limit, int left, int right, const Raster& src, Rect from);

// --- Image builders -----------------------------------------------------------

// Target becomes W x height(R); a and b columns at the ends are kept, the
// middle is stretched or tiled (a zero-width middle tiles one-pixel slices).
void DrawHorizontalStrip(int a, int b, Raster& target, bool stretch, int W, Rect R, const Raster& picture);
// Target becomes width(R) x H; a zero-height middle tiles nothing.
void DrawVerticalStrip(int a, int b, Raster& target, bool stretch, int H, Rect R, const Raster& picture);

// Popup and hint windows: the whole image at the fit's size. The target is
// left blank (black) when RB.X = LT.X, RB.Y = LT.Y or the picture is empty.
void DrawNineSliceImage(const SkinCut& cut, const Raster& picture, const StretchFlags& stretch, bool fillMiddle,
                        const SkinFit& fit, Raster& target);
// Skinned controls: the middle is stretched instead of tiled when
// `stretchMiddle` (the control's "stretcheffect"), and always filled.
void DrawNineSliceControlImage(const SkinCut& cut, const Raster& picture, const StretchFlags& stretch,
                               bool stretchMiddle, const SkinFit& fit, Raster& target);

// The four pieces of a window frame. A piece that cannot be built keeps its
// previous size and content, so the struct is in/out.
struct FrameBorderImages {
  Raster Top, Bottom, Left, Right;
};
void BuildFrameBorderImages(const SkinCut& cut, const Raster& picture, const StretchFlags& stretch,
                            const SkinFit& fit, FrameBorderImages& out);

// The same cut applied to a mask, always tiled. `cut.C` is the mask's inner
// rect (the frame's mask rect area, or a popup's client rect); `fit.NC` its
// rect at the new size. Strips that cannot be built stay empty.
struct BorderMaskStrips {
  Raster Top, Bottom, Left, Right;
};
BorderMaskStrips BuildBorderMaskStrips(const Raster& mask, const SkinCut& cut, const SkinFit& fit);

// --- Regions ------------------------------------------------------------------

// The portable form of a region-data record: a 32-byte header (size 32, type
// 1, count, size hint 0, bounding rect) followed by 16-byte rectangles.
struct RegionData {
  Rect Bound;
  std::vector<Rect> Rects;
  bool Empty() const { return Rects.empty(); }
  size_t SizeBytes() const { return 32 + 16 * Rects.size(); }
  // The record's bytes, little-endian, ready for ExtCreateRegion.
  std::vector<uint8_t> Serialize() const;
};

// Runs of pure black pixels (blue, green and red all 0), row by row from the
// top, each as a one-row rectangle moved by the offset. An empty mask gives an
// empty record (bounding rect included).
RegionData BuildMaskRegionData(const Raster& mask, int offsetX = 0, int offsetY = 0);

// Canonical form of a union of rectangles: one rectangle per maximal run on
// each row, rows top to bottom, runs left to right. Overlaps are merged.
std::vector<Rect> NormalizeRows(const std::vector<Rect>& rects);

// A popup or hint window's shape at the fit's size: NC joined with the region
// of each border mask strip. Empty (no region) when NRT.X < NLT.X or
// NLB.Y < NLT.Y, or when nothing is inside.
RegionData BuildShapedRegionData(const Raster& mask, const SkinCut& cut, const SkinFit& fit);
// The strips' regions placed around `area` (top at 0,0; bottom at area.Bottom;
// left at area.Top; right at area.Right, area.Top) joined with `area` itself.
RegionData RegionFromStrips(const BorderMaskStrips& strips, const Rect& area);

// --- Glyph painters (raster versions of the HDC painters) ----------------------

// A line from (x1, y1) up to but not including (x2, y2).
void DrawLine(Raster& r, int x1, int y1, int x2, int y2, Color c);
// Outline of the rectangle (x1, y1)-(x2, y2), right and bottom exclusive.
void FrameRectangle(Raster& r, int x1, int y1, int x2, int y2, Color c);

void DrawCloseGlyph(Raster& r, int x, int y, Color c);
void DrawSysMenuGlyph(Raster& r, int x, int y, Color c);
void DrawMinimizeGlyph(Raster& r, int x, int y, Color c);
void DrawMaximizeGlyph(Raster& r, int x, int y, Color c);
void DrawRestoreGlyph(Raster& r, int x, int y, Color c);
void DrawRollDownGlyph(Raster& r, int x, int y, Color c);
void DrawRollUpGlyph(Raster& r, int x, int y, Color c);
void DrawTrayGlyph(Raster& r, int x, int y, Color c);
void DrawSubMenuArrow(Raster& r, int x, int y, Color c);
void DrawRadioDot(Raster& r, int x, int y, Color c);
// Direction 1 left, 2 right, 3 up, 4 down: a four-step triangle (1, 3, 5, 7
// pixels) centred in the rect.
void DrawArrow(Raster& r, const Rect& rect, Color c, int direction);
void DrawCheckMark(Raster& r, int x, int y, Color c);

// The n-th (from 1) of k equal glyphs of a strip, drawn at (x, y) with the
// glyph's bottom-left pixel colour transparent. Nothing for an empty strip.
void DrawGlyphFromStrip(Raster& dst, int x, int y, int n, int k, const Raster& strip);

}  // namespace skin
