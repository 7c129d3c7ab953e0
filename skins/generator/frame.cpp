// The window frame: the main picture with its caption band and buttons, the
// pressed buttons, the window's shape and the client backgrounds.
#include <algorithm>
#include <cmath>

#include "skins/generator/generator.h"

namespace skingen {

namespace {

const Color kOutline = Rgb(84, 100, 124);        // slate outline of the window
const Color kBandTop = Rgb(238, 243, 249);       // caption band, top
const Color kBandBottom = Rgb(196, 209, 226);    // caption band, bottom
const Color kHighlight = Rgb(252, 253, 255);     // bevel just inside the outline
const Color kShade = Rgb(170, 185, 206);         // bevel on the lower right
const Color kInnerLine = Rgb(146, 163, 187);     // line around the client area
const Color kBorder = Rgb(200, 212, 228);        // side borders
const Color kGlyph = Rgb(255, 255, 255);

const ButtonColors kSlate{Rgb(70, 88, 114), Rgb(138, 158, 186), Rgb(100, 121, 151), Rgb(168, 186, 208)};
const ButtonColors kSlateDown{Rgb(60, 76, 100), Rgb(86, 104, 132), Rgb(110, 129, 157), Rgb(86, 104, 132)};
const ButtonColors kRed{Rgb(128, 50, 44), Rgb(214, 118, 106), Rgb(178, 76, 66), Rgb(232, 156, 146)};
const ButtonColors kRedDown{Rgb(112, 40, 34), Rgb(152, 58, 50), Rgb(184, 84, 74), Rgb(152, 58, 50)};

// Caption glyphs, each drawn relative to its button's top-left corner.
void CloseGlyph(Raster& r, int x, int y, Color c) {  // a thick X in 9 x 9, centred in 17 x 17
  for (int i = 0; i < 8; ++i) {
    r.FillRect(Rect{x + 4 + i, y + 4 + i, x + 6 + i, y + 6 + i}, c);
    r.FillRect(Rect{x + 11 - i, y + 4 + i, x + 13 - i, y + 6 + i}, c);
  }
}
void RollUpGlyph(Raster& r, int x, int y, Color c) {  // a bar over an up triangle
  HLine(r, x + 2, x + 8, y + 2, c);
  for (int i = 0; i < 4; ++i) HLine(r, x + 5 - i, x + 5 + i, y + 5 + i, c);
}
void MaxGlyph(Raster& r, int x, int y, Color c) {  // a window with a thick title bar
  skin::FrameRectangle(r, x + 2, y + 2, x + 9, y + 9, c);
  HLine(r, x + 2, x + 8, y + 3, c);
}
void MinGlyph(Raster& r, int x, int y, Color c) { r.FillRect(Rect{x + 2, y + 6, x + 8, y + 8}, c); }
void MenuGlyph(Raster& r, int x, int y, Color c) {  // three short lines
  for (int k = 0; k < 3; ++k) HLine(r, x + 3, x + 7, y + 2 + 2 * k, c);
}

}  // namespace

// Rounded top corners (radius 5) and softer bottom corners (radius 3).
bool InsideWindow(int x, int y) {
  if (x < 0 || y < 0 || x >= kW || y >= kH) return false;
  const double top = 5, bottom = 3;
  if (y < top && x < top) return InsideCircle(x, y, top, top, top);
  if (y < top && x >= kW - top) return InsideCircle(x, y, kW - top, top, top);
  if (y >= kH - bottom && x < bottom) return InsideCircle(x, y, bottom, kH - bottom, bottom);
  if (y >= kH - bottom && x >= kW - bottom) return InsideCircle(x, y, kW - bottom, kH - bottom, bottom);
  return true;
}

Raster DrawMask() {
  Raster m(kW, kH, plat::clWhite);
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x)
      if (InsideWindow(x, y)) m.SetPixel(x, y, plat::clBlack);
  return m;
}

// The caption buttons at their places in the main picture.
const Rect kClose{4, 6, 21, 23}, kRollUp{23, 9, 34, 20}, kMax{37, 3, 48, 14}, kMin{37, 16, 47, 26},
    kSysMenu{53, 9, 64, 19};

void DrawButtons(Raster& r, int dx, int dy, bool down) {
  const int g = down ? 1 : 0;  // a pressed glyph sits one pixel lower right
  auto at = [dx, dy](Rect b) { return Rect{b.Left + dx, b.Top + dy, b.Right + dx, b.Bottom + dy}; };
  const Rect close = at(kClose), roll = at(kRollUp), max = at(kMax), min = at(kMin), menu = at(kSysMenu);
  ButtonFace(r, close, down ? kRedDown : kRed);
  CloseGlyph(r, close.Left + g, close.Top + g, kGlyph);
  ButtonFace(r, roll, down ? kSlateDown : kSlate);
  RollUpGlyph(r, roll.Left + g, roll.Top + g, kGlyph);
  ButtonFace(r, max, down ? kSlateDown : kSlate);
  MaxGlyph(r, max.Left + g, max.Top + g, kGlyph);
  ButtonFace(r, min, down ? kSlateDown : kSlate);
  MinGlyph(r, min.Left + g, min.Top + g, kGlyph);
  ButtonFace(r, menu, down ? kSlateDown : kSlate);
  MenuGlyph(r, menu.Left + g, menu.Top + g, kGlyph);
}

Color BandAt(int y) { return Mix(kBandTop, kBandBottom, std::clamp((y - 1) / 26.0, 0.0, 1.0)); }

Raster DrawMain() {
  Raster r(kW, kH, kOutline);
  // Base colours by area: caption band, separator, borders, client.
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      if (!InsideWindow(x, y)) continue;  // outside the shape: outline colour
      Color c;
      if (y <= 27)
        c = BandAt(y);
      else if (y >= 29 && y < 74 && x >= 5 && x < 141)
        c = kClient;
      else if (y >= 75)
        c = Mix(kBorder, kBandBottom, (y - 75) / 6.0);
      else
        c = kBorder;
      if ((y == 28 && x >= 4 && x <= 141) || (y >= 28 && y <= 74 && (x == 4 || x == 141)) ||
          (y == 74 && x >= 4 && x <= 141))
        c = kInnerLine;
      r.SetPixel(x, y, c);
    }
  // The outline follows the shape; a one-pixel bevel sits inside it.
  auto edge = [](int x, int y) {
    return InsideWindow(x, y) && (!InsideWindow(x - 1, y) || !InsideWindow(x + 1, y) || !InsideWindow(x, y - 1) ||
                                  !InsideWindow(x, y + 1));
  };
  Raster out = r;
  for (int y = 0; y < kH; ++y)
    for (int x = 0; x < kW; ++x) {
      if (!InsideWindow(x, y)) continue;
      if (edge(x, y)) {
        out.SetPixel(x, y, kOutline);
      } else if (edge(x - 1, y) || edge(x, y - 1)) {
        out.SetPixel(x, y, kHighlight);
      } else if (edge(x + 1, y) || edge(x, y + 1)) {
        out.SetPixel(x, y, kShade);
      }
    }
  DrawButtons(out, 0, 0, false);
  return out;
}

// Active picture 0: the pressed images, each at its place in the caption
// shifted by (-3, -3), in a 64 x 26 picture of caption band.
Raster DrawActive() {
  Raster r(64, 26);
  for (int y = 0; y < 26; ++y) r.FillRect(Rect{0, y, 64, y + 1}, BandAt(y + 3));
  DrawButtons(r, -3, -3, true);
  // The maximise button's pressed image is one row shorter (34,1)-(45,11):
  // keep its top border row and the rows from the third one on.
  // Stretched back to 11 rows its border row shows twice, a pressed-in look.
  plat::Blit(r, 34, 1, r, Rect{34, 0, 45, 1});
  r.FillRect(Rect{34, 0, 45, 1}, BandAt(3));
  return r;
}

// --- Client background ---------------------------------------------------------------

// A plain, calm tone with a faint woven grain so that large windows do not
// look flat; the grain is periodic in 138 so the tiles join seamlessly.
Raster DrawBackground(int size, Color base, int strength) {
  Raster r(size, size, base);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      const int v = ((x * 7 + y * 13) % 23 == 0) ? strength : (((x + y * 3) % 17 == 0) ? -strength : 0);
      if (v)
        r.SetPixel(x, y, Rgb(std::clamp(plat::RedOf(base) + v, 0, 255), std::clamp(plat::GreenOf(base) + v, 0, 255),
                             std::clamp(plat::BlueOf(base) + v, 0, 255)));
    }
  return r;
}

}  // namespace skingen
