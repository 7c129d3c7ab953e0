#include "vpUtils.h"

#include <algorithm>
#include <cstdlib>

namespace skin {

namespace {

// New pictures start white, as a freshly sized bitmap does; for masks that
// means "outside" wherever nothing is copied.
void Reset(Raster& r, int w, int h) { r.Resize(std::max(w, 0), std::max(h, 0), plat::clWhite); }

void Copy(Raster& dst, Rect to, const Raster& src, Rect from) { plat::StretchCopy(dst, to, src, from); }

}  // namespace

SkinFit FitSkinCut(const SkinCut& cut, int width, int height) {
  const int dx = width - cut.S.Width(), dy = height - cut.S.Height();
  SkinFit f;
  f.W = width;
  f.H = height;
  f.NC = Rect{cut.C.Left, cut.C.Top, cut.C.Right + dx, cut.C.Bottom + dy};
  f.NLT = cut.LT;
  f.NRT = Point{cut.RT.X + dx, cut.RT.Y};
  f.NLB = Point{cut.LB.X, cut.LB.Y + dy};
  f.NRB = Point{cut.RB.X + dx, cut.RB.Y + dy};
  return f;
}

void TileHorizontal(Raster& dst, int x0, int limit, int top, int bottom, const Raster& src, Rect from) {
  const int d = from.Width();
  if (d <= 0 || bottom <= top) return;
  const int64_t count = static_cast<int64_t>(limit - x0) / d + 1;
  for (int64_t k = 0; k < count; ++k) {
    const int64_t tx = x0 + k * d;
    if (tx >= dst.Width() || tx >= limit) break;  // nothing more can land
    const int w = static_cast<int>(std::min<int64_t>(d, limit - tx));
    if (tx + w <= 0) continue;
    const int x = static_cast<int>(tx);
    Copy(dst, Rect{x, top, x + w, bottom}, src, Rect{from.Left, from.Top, from.Left + w, from.Bottom});
  }
}

void TileVertical(Raster& dst, int y0, int limit, int left, int right, const Raster& src, Rect from) {
  const int d = from.Height();
  if (d <= 0 || right <= left) return;
  const int64_t count = static_cast<int64_t>(limit - y0) / d + 1;
  for (int64_t k = 0; k < count; ++k) {
    const int64_t ty = y0 + k * d;
    if (ty >= dst.Height() || ty >= limit) break;
    const int h = static_cast<int>(std::min<int64_t>(d, limit - ty));
    if (ty + h <= 0) continue;
    const int y = static_cast<int>(ty);
    Copy(dst, Rect{left, y, right, y + h}, src, Rect{from.Left, from.Top, from.Right, from.Top + h});
  }
}

void DrawHorizontalStrip(int a, int b, Raster& target, bool stretch, int W, Rect R, const Raster& picture) {
  const int h = R.Height();
  Reset(target, W, h);
  if (a > 0) Copy(target, Rect{0, 0, a, h}, picture, Rect{R.Left, R.Top, R.Left + a, R.Bottom});
  if (b > 0) Copy(target, Rect{W - b, 0, W, h}, picture, Rect{R.Right - b, R.Top, R.Right, R.Bottom});
  const Rect mid{R.Left + a, R.Top, R.Right - b, R.Bottom};
  int d = mid.Width();
  if (d == 0) d = 1;  // a middle of nothing tiles one-pixel slices
  if (stretch)
    Copy(target, Rect{a, 0, W - b, h}, picture, mid);
  else
    TileHorizontal(target, a, W - b, 0, h, picture, Rect{mid.Left, mid.Top, mid.Left + d, mid.Bottom});
}

void DrawVerticalStrip(int a, int b, Raster& target, bool stretch, int H, Rect R, const Raster& picture) {
  const int w = R.Width();
  Reset(target, w, H);
  if (a > 0) Copy(target, Rect{0, 0, w, a}, picture, Rect{R.Left, R.Top, R.Right, R.Top + a});
  if (b > 0) Copy(target, Rect{0, H - b, w, H}, picture, Rect{R.Left, R.Bottom - b, R.Right, R.Bottom});
  const Rect mid{R.Left, R.Top + a, R.Right, R.Bottom - b};
  if (stretch)
    Copy(target, Rect{0, a, w, H - b}, picture, mid);
  else
    TileVertical(target, a, H - b, 0, w, picture, mid);
}

namespace {

void NineSlice(const SkinCut& k, const Raster& pic, const StretchFlags& st, const SkinFit& f, Raster& t) {
  const Rect& S = k.S;
  const Rect& C = k.C;
  const int W = f.W, H = f.H;
  // Top edge.
  {
    const Rect src{S.Left + k.LT.X, S.Top, S.Left + k.RT.X, S.Top + C.Top};
    if (st.Top)
      Copy(t, Rect{f.NLT.X, 0, f.NRT.X, f.NC.Top}, pic, src);
    else
      TileHorizontal(t, f.NLT.X, f.NRT.X, 0, f.NC.Top, pic, src);
  }
  // Bottom edge.
  {
    const Rect src{S.Left + k.LB.X, S.Top + C.Bottom, S.Left + k.RB.X, S.Bottom};
    if (st.Bottom)
      Copy(t, Rect{f.NLB.X, f.NC.Bottom, f.NRB.X, H}, pic, src);
    else
      TileHorizontal(t, f.NLB.X, f.NRB.X, f.NC.Bottom, H, pic, src);
  }
  // Left edge.
  {
    const Rect src{S.Left, S.Top + k.LT.Y, S.Left + C.Left, S.Top + k.LB.Y};
    if (st.Left)
      Copy(t, Rect{0, f.NLT.Y, f.NC.Left, f.NLB.Y}, pic, src);
    else
      TileVertical(t, f.NLT.Y, f.NLB.Y, 0, f.NC.Left, pic, src);
  }
  // Right edge.
  {
    const Rect src{S.Left + C.Right, S.Top + k.RT.Y, S.Right, S.Top + k.RB.Y};
    if (st.Right)
      Copy(t, Rect{f.NC.Right, f.NRT.Y, W, f.NRB.Y}, pic, src);
    else
      TileVertical(t, f.NRT.Y, f.NRB.Y, f.NC.Right, W, pic, src);
  }
  // The eight corner pieces, each copied once.
  Copy(t, Rect{0, 0, f.NLT.X, f.NC.Top}, pic, Rect{S.Left, S.Top, S.Left + k.LT.X, S.Top + C.Top});
  Copy(t, Rect{0, f.NC.Top, f.NC.Left, f.NLT.Y}, pic, Rect{S.Left, S.Top + C.Top, S.Left + C.Left, S.Top + k.LT.Y});
  Copy(t, Rect{f.NRT.X, 0, W, f.NC.Top}, pic, Rect{S.Left + k.RT.X, S.Top, S.Right, S.Top + C.Top});
  Copy(t, Rect{f.NC.Right, f.NC.Top, W, f.NRT.Y}, pic, Rect{S.Left + C.Right, S.Top + C.Top, S.Right, S.Top + k.RT.Y});
  Copy(t, Rect{0, f.NLB.Y, f.NC.Left, H}, pic, Rect{S.Left, S.Top + k.LB.Y, S.Left + C.Left, S.Bottom});
  Copy(t, Rect{f.NC.Left, f.NC.Bottom, f.NLB.X, H}, pic, Rect{S.Left + C.Left, S.Top + C.Bottom, S.Left + k.LB.X, S.Bottom});
  Copy(t, Rect{f.NRB.X, f.NC.Bottom, W, H}, pic, Rect{S.Left + k.RB.X, S.Top + C.Bottom, S.Right, S.Bottom});
  Copy(t, Rect{f.NC.Right, f.NRB.Y, W, f.NC.Bottom}, pic, Rect{S.Left + C.Right, S.Top + k.RB.Y, S.Right, S.Top + C.Bottom});
}

Rect ClientPiece(const SkinCut& k) {
  return Rect{k.S.Left + k.C.Left, k.S.Top + k.C.Top, k.S.Left + k.C.Right, k.S.Top + k.C.Bottom};
}

// Tiles the client piece over NC column by column, each tile cut at NC's right
// and bottom edges. A client piece of zero size is skipped.
void TileMiddle(const SkinCut& k, const Raster& pic, const SkinFit& f, Raster& t) {
  const Rect src = ClientPiece(k);
  const int cw = src.Width(), ch = src.Height();
  if (cw <= 0 || ch <= 0 || f.NC.IsNull()) return;
  for (int i = 0; i <= f.NC.Width() / cw; ++i) {
    const int x = f.NC.Left + i * cw;
    const int w = std::min(cw, f.NC.Right - x);
    if (w <= 0) continue;
    for (int j = 0; j <= f.NC.Height() / ch; ++j) {
      const int y = f.NC.Top + j * ch;
      const int h = std::min(ch, f.NC.Bottom - y);
      if (h <= 0) continue;
      Copy(t, Rect{x, y, x + w, y + h}, pic, Rect{src.Left, src.Top, src.Left + w, src.Top + h});
    }
  }
}

}  // namespace

void DrawNineSliceImage(const SkinCut& cut, const Raster& picture, const StretchFlags& stretch, bool fillMiddle,
                        const SkinFit& fit, Raster& target) {
  Reset(target, fit.W, fit.H);
  if (cut.RB.X == cut.LT.X || cut.RB.Y == cut.LT.Y || picture.Empty()) return;
  NineSlice(cut, picture, stretch, fit, target);
  if (fillMiddle) TileMiddle(cut, picture, fit, target);
}

void DrawNineSliceControlImage(const SkinCut& cut, const Raster& picture, const StretchFlags& stretch,
                               bool stretchMiddle, const SkinFit& fit, Raster& target) {
  Reset(target, fit.W, fit.H);
  if (cut.RB.X == cut.LT.X || cut.RB.Y == cut.LT.Y || picture.Empty()) return;
  NineSlice(cut, picture, stretch, fit, target);
  if (stretchMiddle)
    Copy(target, fit.NC, picture, ClientPiece(cut));
  else
    TileMiddle(cut, picture, fit, target);
}

void BuildFrameBorderImages(const SkinCut& k, const Raster& pic, const StretchFlags& st, const SkinFit& f,
                            FrameBorderImages& out) {
  const Rect& S = k.S;
  const Rect& C = k.C;
  const Rect& NC = f.NC;
  const int W = f.W, H = f.H;

  if (W > 0 && NC.Top > 0 && k.RT.X > k.LT.X) {
    Raster& t = out.Top;
    Reset(t, W, NC.Top);
    const Rect band{S.Left + k.LT.X, S.Top, S.Left + k.RT.X, S.Top + NC.Top};
    if (st.Top)
      Copy(t, Rect{f.NLT.X, 0, f.NRT.X, NC.Top}, pic, band);
    else
      TileHorizontal(t, 0, W, 0, NC.Top, pic, band);  // from x = 0; the corners cover the start
    Copy(t, Rect{0, 0, f.NLT.X, NC.Top}, pic, Rect{S.Left, S.Top, S.Left + k.LT.X, S.Top + NC.Top});
    Copy(t, Rect{f.NRT.X, 0, W, NC.Top}, pic, Rect{S.Left + k.RT.X, S.Top, S.Right, S.Top + NC.Top});
  }

  const int D = H - NC.Bottom;
  if (W > 0 && D > 0 && k.RB.X > k.LB.X) {
    Raster& t = out.Bottom;
    Reset(t, W, D);
    const Rect band{S.Left + k.LB.X, S.Bottom - D, S.Left + k.RB.X, S.Bottom};
    if (st.Bottom)
      Copy(t, Rect{f.NLB.X, 0, f.NRB.X, D}, pic, band);
    else
      TileHorizontal(t, 0, W, 0, D, pic, band);
    Copy(t, Rect{0, 0, f.NLB.X, D}, pic, Rect{S.Left, S.Bottom - D, S.Left + k.LB.X, S.Bottom});
    Copy(t, Rect{f.NRB.X, 0, W, D}, pic, Rect{S.Left + k.RB.X, S.Bottom - D, S.Right, S.Bottom});
  }

  const int M = H - out.Top.Height() - out.Bottom.Height();

  if (NC.Left > 0 && M > 0 && k.LB.Y > k.LT.Y) {
    Raster& t = out.Left;
    Reset(t, NC.Left, M);
    const Rect band{S.Left, S.Top + k.LT.Y, S.Left + NC.Left, S.Top + k.LB.Y};
    if (st.Left)
      Copy(t, Rect{0, k.LT.Y - C.Top, NC.Left, M + k.LB.Y - C.Bottom}, pic, band);
    else
      TileVertical(t, 0, M, 0, NC.Left, pic, band);
    if (k.LT.Y > C.Top)
      Copy(t, Rect{0, 0, NC.Left, k.LT.Y - C.Top}, pic,
           Rect{S.Left, S.Top + C.Top, S.Left + NC.Left, S.Top + k.LT.Y});
    if (C.Bottom > k.LB.Y)
      Copy(t, Rect{0, M + k.LB.Y - C.Bottom, NC.Left, M}, pic,
           Rect{S.Left, S.Top + k.LB.Y, S.Left + NC.Left, S.Top + C.Bottom});
  }

  const int R = W - NC.Right;
  if (R >= 1 && M >= 1 && k.RB.Y > k.RT.Y) {
    Raster& t = out.Right;
    Reset(t, R, M);
    const Rect band{S.Left + C.Right, S.Top + k.RT.Y, S.Right, S.Top + k.RB.Y};
    if (st.Right)
      Copy(t, Rect{0, k.RT.Y - C.Top, R, M + k.RB.Y - C.Bottom}, pic, band);
    else
      TileVertical(t, 0, M, 0, R, pic, band);
    if (k.RT.Y > C.Top)
      Copy(t, Rect{0, 0, R, k.RT.Y - C.Top}, pic, Rect{S.Left + C.Right, S.Top + C.Top, S.Right, S.Top + k.RT.Y});
    if (C.Bottom > k.RB.Y)
      Copy(t, Rect{0, M + k.RB.Y - C.Bottom, R, M}, pic,
           Rect{S.Left + C.Right, S.Top + k.RB.Y, S.Right, S.Top + C.Bottom});
  }
}

BorderMaskStrips BuildBorderMaskStrips(const Raster& mask, const SkinCut& k, const SkinFit& f) {
  BorderMaskStrips out;
  const Rect& C = k.C;
  const int mw = mask.Width(), mh = mask.Height();
  const int M = f.NC.Height();
  if (mask.Empty()) return out;

  if (C.Left > 0 && M > 0) {
    Raster& t = out.Left;
    Reset(t, C.Left, M);
    if (k.LB.Y != k.LT.Y) TileVertical(t, 0, M, 0, C.Left, mask, Rect{0, k.LT.Y, C.Left, k.LB.Y});
    plat::Blit(t, 0, 0, mask, Rect{0, C.Top, C.Left, k.LT.Y});
    plat::Blit(t, 0, M + k.LB.Y - C.Bottom, mask, Rect{0, k.LB.Y, C.Left, C.Bottom});
  }
  const int rw = mw - C.Right;
  if (rw > 0 && M > 0) {
    Raster& t = out.Right;
    Reset(t, rw, M);
    if (k.RB.Y != k.RT.Y) TileVertical(t, 0, M, 0, rw, mask, Rect{C.Right, k.RT.Y, mw, k.RB.Y});
    plat::Blit(t, 0, 0, mask, Rect{C.Right, C.Top, mw, k.RT.Y});
    plat::Blit(t, 0, M + k.RB.Y - C.Bottom, mask, Rect{C.Right, k.RB.Y, mw, C.Bottom});
  }
  if (f.W > 0 && C.Top > 0) {
    Raster& t = out.Top;
    Reset(t, f.W, C.Top);
    if (k.RT.X != k.LT.X) TileHorizontal(t, f.NLT.X, f.NRT.X, 0, C.Top, mask, Rect{k.LT.X, 0, k.RT.X, C.Top});
    plat::Blit(t, 0, 0, mask, Rect{0, 0, k.LT.X, C.Top});
    plat::Blit(t, f.NRT.X, 0, mask, Rect{k.RT.X, 0, mw, C.Top});
  }
  const int bh = mh - C.Bottom;
  if (f.W > 0 && bh > 0) {
    Raster& t = out.Bottom;
    Reset(t, f.W, bh);
    if (k.RB.X != k.LB.X)
      TileHorizontal(t, f.NLB.X, f.NRB.X, 0, bh, mask, Rect{k.LB.X, C.Bottom, k.RB.X, mh});
    plat::Blit(t, 0, 0, mask, Rect{0, C.Bottom, k.LB.X, mh});
    plat::Blit(t, f.NRB.X, 0, mask, Rect{k.RB.X, C.Bottom, mw, mh});
  }
  return out;
}

std::vector<uint8_t> RegionData::Serialize() const {
  std::vector<uint8_t> out;
  out.reserve(SizeBytes());
  auto put = [&out](uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
  };
  auto putRect = [&put](const Rect& r) {
    put(static_cast<uint32_t>(r.Left));
    put(static_cast<uint32_t>(r.Top));
    put(static_cast<uint32_t>(r.Right));
    put(static_cast<uint32_t>(r.Bottom));
  };
  put(32);  // header size
  put(1);   // rectangles
  put(static_cast<uint32_t>(Rects.size()));
  put(0);   // size hint
  putRect(Bound);
  for (const Rect& r : Rects) putRect(r);
  return out;
}

RegionData BuildMaskRegionData(const Raster& mask, int ox, int oy) {
  RegionData d;
  if (mask.Empty()) return d;
  d.Bound = Rect{ox, oy, ox + mask.Width(), oy + mask.Height()};
  const int w = mask.Width();
  for (int y = 0; y < mask.Height(); ++y) {
    const uint8_t* p = mask.Row(y);
    int x = 0;
    while (x < w) {
      while (x < w && (p[3 * x] | p[3 * x + 1] | p[3 * x + 2]) != 0) ++x;
      if (x >= w) break;
      const int x1 = x;
      while (x < w && (p[3 * x] | p[3 * x + 1] | p[3 * x + 2]) == 0) ++x;
      d.Rects.push_back(Rect{x1 + ox, y + oy, x + ox, y + oy + 1});
    }
  }
  return d;
}

std::vector<Rect> NormalizeRows(const std::vector<Rect>& rects) {
  std::vector<Rect> rows;
  for (const Rect& r : rects) {
    if (r.IsNull()) continue;
    for (int y = r.Top; y < r.Bottom; ++y) rows.push_back(Rect{r.Left, y, r.Right, y + 1});
  }
  std::sort(rows.begin(), rows.end(), [](const Rect& a, const Rect& b) {
    return a.Top != b.Top ? a.Top < b.Top : a.Left < b.Left;
  });
  std::vector<Rect> out;
  for (const Rect& r : rows) {
    if (!out.empty() && out.back().Top == r.Top && r.Left <= out.back().Right)
      out.back().Right = std::max(out.back().Right, r.Right);
    else
      out.push_back(r);
  }
  return out;
}

namespace {

void AddStrip(std::vector<Rect>& rects, const Raster& strip, int x, int y) {
  if (strip.Empty()) return;
  const RegionData d = BuildMaskRegionData(strip, x, y);
  rects.insert(rects.end(), d.Rects.begin(), d.Rects.end());
}

RegionData JoinStrips(const BorderMaskStrips& s, const Rect& area) {
  std::vector<Rect> rects;
  if (!area.IsNull()) rects.push_back(area);
  AddStrip(rects, s.Top, 0, 0);
  AddStrip(rects, s.Bottom, 0, area.Bottom);
  AddStrip(rects, s.Left, 0, area.Top);
  AddStrip(rects, s.Right, area.Right, area.Top);
  RegionData d;
  d.Rects = NormalizeRows(rects);
  if (!d.Rects.empty()) {
    d.Bound = d.Rects.front();
    for (const Rect& r : d.Rects) {
      d.Bound.Left = std::min(d.Bound.Left, r.Left);
      d.Bound.Right = std::max(d.Bound.Right, r.Right);
      d.Bound.Bottom = std::max(d.Bound.Bottom, r.Bottom);
    }
  }
  return d;
}

}  // namespace

RegionData BuildShapedRegionData(const Raster& mask, const SkinCut& cut, const SkinFit& fit) {
  if (fit.NRT.X < fit.NLT.X || fit.NLB.Y < fit.NLT.Y || mask.Empty()) return {};
  return JoinStrips(BuildBorderMaskStrips(mask, cut, fit), fit.NC);
}

// Exposed for the frame composer, which places the strips at the mask area.
RegionData RegionFromStrips(const BorderMaskStrips& strips, const Rect& area) { return JoinStrips(strips, area); }

// --- Glyphs ---------------------------------------------------------------------

void DrawLine(Raster& r, int x1, int y1, int x2, int y2, Color c) {
  const int dx = std::abs(x2 - x1), dy = -std::abs(y2 - y1);
  const int sx = x1 < x2 ? 1 : -1, sy = y1 < y2 ? 1 : -1;
  int err = dx + dy;
  int x = x1, y = y1;
  while (!(x == x2 && y == y2)) {
    r.SetPixelClipped(x, y, c);
    const int e2 = 2 * err;
    if (e2 >= dy) { err += dy; x += sx; }
    if (e2 <= dx) { err += dx; y += sy; }
  }
}

void FrameRectangle(Raster& r, int x1, int y1, int x2, int y2, Color c) {
  if (x2 <= x1 || y2 <= y1) return;
  for (int x = x1; x < x2; ++x) {
    r.SetPixelClipped(x, y1, c);
    r.SetPixelClipped(x, y2 - 1, c);
  }
  for (int y = y1; y < y2; ++y) {
    r.SetPixelClipped(x1, y, c);
    r.SetPixelClipped(x2 - 1, y, c);
  }
}

namespace {
void FillBox(Raster& r, int x1, int y1, int x2, int y2, Color c) {
  for (int y = y1; y < y2; ++y)
    for (int x = x1; x < x2; ++x) r.SetPixelClipped(x, y, c);
}
}  // namespace

void DrawCloseGlyph(Raster& r, int x, int y, Color c) {
  DrawLine(r, x + 1, y + 1, x + 9, y + 9, c);
  DrawLine(r, x + 9, y + 1, x + 1, y + 9, c);
  DrawLine(r, x + 2, y + 1, x + 10, y + 9, c);
  DrawLine(r, x + 8, y + 1, x, y + 9, c);
}

void DrawSysMenuGlyph(Raster& r, int x, int y, Color c) { FrameRectangle(r, x + 1, y + 3, x + 9, y + 6, c); }

void DrawMinimizeGlyph(Raster& r, int x, int y, Color c) {
  DrawLine(r, x + 1, y + 8, x + 9, y + 8, c);
  DrawLine(r, x + 1, y + 9, x + 9, y + 9, c);
}

void DrawMaximizeGlyph(Raster& r, int x, int y, Color c) {
  FrameRectangle(r, x, y, x + 11, y + 10, c);
  FrameRectangle(r, x, y, x + 11, y + 2, c);
}

void DrawRestoreGlyph(Raster& r, int x, int y, Color c) {
  FrameRectangle(r, x + 2, y, x + 10, y + 6, c);
  FrameRectangle(r, x + 2, y, x + 10, y + 2, c);
  FrameRectangle(r, x, y + 4, x + 7, y + 10, c);
  FrameRectangle(r, x, y + 4, x + 7, y + 6, c);
}

void DrawRollDownGlyph(Raster& r, int x, int y, Color c) {
  for (int i = 0; i <= 4; ++i) DrawLine(r, x + 5 - i, y + 6 - i, x + 5 + i, y + 6 - i, c);
}

void DrawRollUpGlyph(Raster& r, int x, int y, Color c) {
  for (int i = 0; i <= 4; ++i) DrawLine(r, x + 1 + i, y + 6 - i, x + 9 - i, y + 6 - i, c);
}

void DrawTrayGlyph(Raster& r, int x, int y, Color c) { FillBox(r, x + 2, y + 2, x + 7, y + 7, c); }

void DrawSubMenuArrow(Raster& r, int x, int y, Color c) {
  for (int i = 0; i <= 3; ++i) DrawLine(r, x + i, y + i, x + i, y + 7 - i, c);
}

void DrawRadioDot(Raster& r, int x, int y, Color c) {
  static const int kSpan[6][2] = {{2, 4}, {1, 5}, {0, 6}, {0, 6}, {1, 5}, {2, 4}};
  for (int j = 0; j < 6; ++j) FillBox(r, x + kSpan[j][0], y + j, x + kSpan[j][1], y + j + 1, c);
}

void DrawArrow(Raster& r, const Rect& rect, Color c, int direction) {
  const int cx = rect.Left + rect.Width() / 2, cy = rect.Top + rect.Height() / 2;
  for (int i = 0; i < 4; ++i) {
    switch (direction) {
      case 1:  // left: the tip at the left
        DrawLine(r, cx - 2 + i, cy - i, cx - 2 + i, cy + i + 1, c);
        break;
      case 2:
        DrawLine(r, cx + 1 - i, cy - i, cx + 1 - i, cy + i + 1, c);
        break;
      case 3:  // up: the tip at the top
        DrawLine(r, cx - i, cy - 2 + i, cx + i + 1, cy - 2 + i, c);
        break;
      case 4:
        DrawLine(r, cx - i, cy + 1 - i, cx + i + 1, cy + 1 - i, c);
        break;
      default:
        return;
    }
  }
}

void DrawCheckMark(Raster& r, int x, int y, Color c) {
  for (int i = 0; i <= 2; ++i) {
    DrawLine(r, x, y + 5 - i, x + 2, y + 7 - i, c);
    DrawLine(r, x + 2, y + 7 - i, x + 7, y + 2 - i, c);
  }
}

void DrawGlyphFromStrip(Raster& dst, int x, int y, int n, int k, const Raster& strip) {
  if (strip.Empty() || k <= 0 || n < 1 || n > k) return;
  const int w = strip.Width() / k;
  if (w <= 0) return;
  const int sx = (n - 1) * w;
  const Color transparent = strip.Pixel(sx, strip.Height() - 1);
  for (int j = 0; j < strip.Height(); ++j)
    for (int i = 0; i < w; ++i) {
      const Color c = strip.Pixel(sx + i, j);
      if (c != transparent) dst.SetPixelClipped(x + i, y + j, c);
    }
}

}  // namespace skin
