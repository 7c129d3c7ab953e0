// Drawing helpers shared by the skin's pictures.
#include <cmath>

#include "skins/generator/generator.h"

namespace skingen {

Color Mix(Color a, Color b, double t) {
  auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return Rgb(ch(plat::RedOf(a), plat::RedOf(b)), ch(plat::GreenOf(a), plat::GreenOf(b)),
             ch(plat::BlueOf(a), plat::BlueOf(b)));
}

void Gradient(Raster& r, Rect box, Color top, Color bottom) {
  const int h = box.Height();
  for (int y = box.Top; y < box.Bottom; ++y)
    r.FillRect(Rect{box.Left, y, box.Right, y + 1}, Mix(top, bottom, h > 1 ? double(y - box.Top) / (h - 1) : 0));
}

// A button face: 1-pixel border with the corner pixels cut (they show what
// lies beneath), a lighter first inner row, a vertical gradient.
void ButtonFace(Raster& r, Rect b, const ButtonColors& c) {
  Gradient(r, Rect{b.Left + 1, b.Top + 1, b.Right - 1, b.Bottom - 1}, c.top, c.bottom);
  r.FillRect(Rect{b.Left + 1, b.Top + 1, b.Right - 1, b.Top + 2}, c.light);
  r.FillRect(Rect{b.Left + 1, b.Top, b.Right - 1, b.Top + 1}, c.border);
  r.FillRect(Rect{b.Left + 1, b.Bottom - 1, b.Right - 1, b.Bottom}, c.border);
  r.FillRect(Rect{b.Left, b.Top + 1, b.Left + 1, b.Bottom - 1}, c.border);
  r.FillRect(Rect{b.Right - 1, b.Top + 1, b.Right, b.Bottom - 1}, c.border);
}

void Dot(Raster& r, int x, int y, Color c) { r.SetPixelClipped(x, y, c); }
void HLine(Raster& r, int x1, int x2, int y, Color c) { r.FillRect(Rect{x1, y, x2 + 1, y + 1}, c); }

bool InsideCircle(int px, int py, double cx, double cy, double radius) {
  const double dx = px + 0.5 - cx, dy = py + 0.5 - cy;
  return dx * dx + dy * dy <= radius * radius;
}

bool InsideRounded(int x, int y, int w, int h, double radius) {
  if (x < 0 || y < 0 || x >= w || y >= h) return false;
  if (y < radius && x < radius) return InsideCircle(x, y, radius, radius, radius);
  if (y < radius && x >= w - radius) return InsideCircle(x, y, w - radius, radius, radius);
  if (y >= h - radius && x < radius) return InsideCircle(x, y, radius, h - radius, radius);
  if (y >= h - radius && x >= w - radius) return InsideCircle(x, y, w - radius, h - radius, radius);
  return true;
}

// A rounded panel: outline on the shape's edge, fill inside, `outside`
// where the shape does not reach.
void RoundedPanel(Raster& r, Rect b, double radius, Color line, Color fill, Color outside) {
  const int w = b.Width(), h = b.Height();
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      Color c = outside;
      if (InsideRounded(x, y, w, h, radius)) {
        const bool edge = !InsideRounded(x - 1, y, w, h, radius) || !InsideRounded(x + 1, y, w, h, radius) ||
                          !InsideRounded(x, y - 1, w, h, radius) || !InsideRounded(x, y + 1, w, h, radius);
        c = edge ? line : fill;
      }
      r.SetPixel(b.Left + x, b.Top + y, c);
    }
}

Raster MaskOf(int w, int h, double radius) {
  Raster m(w, h, plat::clWhite);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (InsideRounded(x, y, w, h, radius)) m.SetPixel(x, y, plat::clBlack);
  return m;
}

}  // namespace skingen
