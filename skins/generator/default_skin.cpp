// Draws the program's own default skin: every picture of skins/default and its
// skin.ini, pixel by pixel, so that the skin is reproducible and reviewable.
//
//   skin_generator OUTDIR          write the skin into OUTDIR
//   skin_generator --check DIR     exit 1 unless DIR holds exactly these files
//
// The look: a light blue-grey caption band with a soft vertical gradient, a
// thin slate outline following the rounded window shape, and small slate
// caption buttons (a muted red close button) with white glyphs.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "skin/core/frame_compose.h"
#include "skin/core/vpUtils.h"
#include "ui/core/bmp.h"

namespace {

using plat::Color;
using plat::Raster;
using plat::Rect;
using skin::Point;

constexpr Color Rgb(int r, int g, int b) { return plat::RGBColor(r, g, b); }

Color Mix(Color a, Color b, double t) {
  auto ch = [t](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * t)); };
  return Rgb(ch(plat::RedOf(a), plat::RedOf(b)), ch(plat::GreenOf(a), plat::GreenOf(b)),
             ch(plat::BlueOf(a), plat::BlueOf(b)));
}

// --- The palette of the whole skin -----------------------------------------------

const Color kOutline = Rgb(84, 100, 124);        // slate outline of the window
const Color kBandTop = Rgb(238, 243, 249);       // caption band, top
const Color kBandBottom = Rgb(196, 209, 226);    // caption band, bottom
const Color kHighlight = Rgb(252, 253, 255);     // bevel just inside the outline
const Color kShade = Rgb(170, 185, 206);         // bevel on the lower right
const Color kInnerLine = Rgb(146, 163, 187);     // line around the client area
const Color kBorder = Rgb(200, 212, 228);        // side borders
const Color kClient = Rgb(238, 241, 245);        // client background
const Color kGlyph = Rgb(255, 255, 255);

struct ButtonColors {
  Color border, top, bottom, light;
};
const ButtonColors kSlate{Rgb(70, 88, 114), Rgb(138, 158, 186), Rgb(100, 121, 151), Rgb(168, 186, 208)};
const ButtonColors kSlateDown{Rgb(60, 76, 100), Rgb(86, 104, 132), Rgb(110, 129, 157), Rgb(86, 104, 132)};
const ButtonColors kRed{Rgb(128, 50, 44), Rgb(214, 118, 106), Rgb(178, 76, 66), Rgb(232, 156, 146)};
const ButtonColors kRedDown{Rgb(112, 40, 34), Rgb(152, 58, 50), Rgb(184, 84, 74), Rgb(152, 58, 50)};

// --- Drawing helpers ---------------------------------------------------------------

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

// --- Window shape --------------------------------------------------------------------

constexpr int kW = 146, kH = 82;

bool InsideCircle(int px, int py, double cx, double cy, double radius) {
  const double dx = px + 0.5 - cx, dy = py + 0.5 - cy;
  return dx * dx + dy * dy <= radius * radius;
}

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

// --- Popup menu window, menu items and hint window ---------------------------------------

const Color kMenuBack = Rgb(251, 252, 254);
const Color kMenuGutter = Rgb(234, 239, 246);
const Color kMenuLine = Rgb(120, 137, 162);

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

constexpr int kPwSize = 40;
Raster DrawPopupWindow() {
  Raster r(kPwSize, kPwSize);
  RoundedPanel(r, Rect{0, 0, kPwSize, kPwSize}, 3, kMenuLine, kMenuBack, kMenuLine);
  // A soft inner line so the frame reads as a raised sheet.
  r.FillRect(Rect{2, 1, kPwSize - 2, 2}, plat::clWhite);
  r.FillRect(Rect{1, 2, 2, kPwSize - 2}, plat::clWhite);
  return r;
}

// Menu items: normal (0,0)-(100,20), active (0,20)-(100,40), divider (0,40)-(100,47).
Raster DrawMenuItems() {
  Raster r(100, 47, kMenuBack);
  r.FillRect(Rect{0, 0, 22, 20}, kMenuGutter);
  r.FillRect(Rect{22, 0, 23, 20}, Rgb(222, 229, 239));
  // Active: a rounded highlight over the whole item.
  r.FillRect(Rect{0, 20, 100, 40}, kMenuBack);
  RoundedPanel(r, Rect{1, 21, 99, 39}, 2, Rgb(112, 140, 178), Rgb(200, 216, 236), kMenuBack);
  Gradient(r, Rect{2, 23, 98, 37}, Rgb(214, 227, 244), Rgb(186, 205, 231));
  r.FillRect(Rect{2, 22, 98, 23}, Rgb(232, 240, 250));
  // Divider.
  r.FillRect(Rect{0, 40, 22, 47}, kMenuGutter);
  r.FillRect(Rect{22, 40, 23, 47}, Rgb(222, 229, 239));
  r.FillRect(Rect{26, 43, 97, 44}, Rgb(196, 206, 220));
  r.FillRect(Rect{26, 44, 97, 45}, plat::clWhite);
  return r;
}

Raster DrawHintWindow() {
  Raster r(37, 20);
  RoundedPanel(r, Rect{0, 0, 37, 20}, 0, Rgb(150, 160, 176), Rgb(250, 250, 243), Rgb(150, 160, 176));
  r.FillRect(Rect{1, 1, 36, 2}, plat::clWhite);
  return r;
}

// --- Control pictures ---------------------------------------------------------------------

// Where each control image lies in controls.bmp.
std::map<std::string, Rect> gAtlas;
Rect Put(const std::string& name, int x, int y, int w, int h) { return gAtlas[name] = Rect{x, y, x + w, y + h}; }

constexpr int kCw = 192, kCh = 248;
const Color kCtlBack = Rgb(236, 240, 245);
const Color kCtlLine = Rgb(130, 148, 174);
const Color kFocus = Rgb(84, 120, 176);

void ArrowGlyph(Raster& r, Rect b, int dir, Color c) { skin::DrawArrow(r, b, c, dir); }

Raster DrawControls() {
  Raster r(kCw, kCh, kCtlBack);
  // Push buttons: normal, hot, pressed, disabled.
  const ButtonColors face{Rgb(118, 136, 162), Rgb(250, 251, 253), Rgb(214, 223, 235), plat::clWhite};
  const ButtonColors hot{Rgb(84, 120, 176), Rgb(244, 248, 254), Rgb(198, 214, 238), plat::clWhite};
  const ButtonColors press{Rgb(70, 96, 140), Rgb(186, 202, 226), Rgb(214, 225, 240), Rgb(176, 193, 219)};
  const ButtonColors off{Rgb(176, 186, 200), Rgb(244, 245, 247), Rgb(232, 235, 239), Rgb(248, 249, 250)};
  ButtonFace(r, Put("button", 0, 0, 48, 22), face);
  ButtonFace(r, Put("button.active", 48, 0, 48, 22), hot);
  ButtonFace(r, Put("button.down", 96, 0, 48, 22), press);
  ButtonFace(r, Put("button.disabled", 144, 0, 48, 22), off);

  // Check boxes and radio buttons: unchecked, checked; hot; disabled.
  const char* states[] = {"", ".active", ".disabled"};
  const Color lines[] = {kCtlLine, kFocus, Rgb(184, 192, 204)};
  const Color marks[] = {Rgb(40, 56, 84), Rgb(40, 72, 130), Rgb(170, 178, 190)};
  for (int s = 0; s < 3; ++s)
    for (int checked = 0; checked < 2; ++checked) {
      const int i = s * 2 + checked;
      const Rect box = Put(std::string("check") + (checked ? ".on" : ".off") + states[s], i * 13, 24, 13, 13);
      r.FillRect(box, lines[s]);
      Gradient(r, Rect{box.Left + 1, box.Top + 1, box.Right - 1, box.Bottom - 1}, plat::clWhite, Rgb(232, 237, 244));
      if (checked) skin::DrawCheckMark(r, box.Left + 3, box.Top + 2, marks[s]);
      const Rect dot = Put(std::string("radio") + (checked ? ".on" : ".off") + states[s], 78 + i * 13, 24, 13, 13);
      RoundedPanel(r, dot, 6.5, lines[s], plat::clWhite, kCtlBack);
      if (checked) {
        skin::DrawRadioDot(r, dot.Left + 3, dot.Top + 3, marks[s]);
      }
    }

  // Scroll bar buttons: up, down, left, right; each normal, hot, pressed.
  const ButtonColors sb[] = {face, hot, press};
  const char* dirs[] = {"up", "down", "left", "right"};
  const int arrow[] = {3, 4, 1, 2};
  for (int d = 0; d < 4; ++d)
    for (int s = 0; s < 3; ++s) {
      const Rect b = Put(std::string("sb.") + dirs[d] + states[s == 2 ? 0 : s] + (s == 2 ? ".down" : ""),
                         (d * 3 + s) * 16, 38, 16, 16);
      ButtonFace(r, b, sb[s]);
      ArrowGlyph(r, Rect{b.Left + (s == 2), b.Top + (s == 2), b.Right + (s == 2), b.Bottom + (s == 2)}, arrow[d],
                 Rgb(52, 68, 96));
    }
  // Thumbs (vertical, horizontal) and tracks.
  for (int s = 0; s < 3; ++s) {
    const Rect v = Put(std::string("sb.vthumb") + (s == 0 ? "" : s == 1 ? ".active" : ".down"), s * 16, 54, 16, 16);
    ButtonFace(r, v, sb[s]);
    for (int k = 0; k < 3; ++k) HLine(r, v.Left + 5, v.Left + 10, v.Top + 5 + 2 * k, Rgb(120, 136, 160));
    const Rect h = Put(std::string("sb.hthumb") + (s == 0 ? "" : s == 1 ? ".active" : ".down"), 48 + s * 16, 54, 16, 16);
    ButtonFace(r, h, sb[s]);
    for (int k = 0; k < 3; ++k) r.FillRect(Rect{h.Left + 5 + 2 * k, h.Top + 5, h.Left + 6 + 2 * k, h.Top + 11}, Rgb(120, 136, 160));
  }
  const Rect vtrack = Put("sb.vtrack", 96, 54, 16, 16);
  Gradient(r, vtrack, Rgb(226, 231, 238), Rgb(226, 231, 238));
  r.FillRect(Rect{vtrack.Left, vtrack.Top, vtrack.Left + 1, vtrack.Bottom}, Rgb(210, 217, 227));
  const Rect htrack = Put("sb.htrack", 112, 54, 16, 16);
  r.FillRect(htrack, Rgb(226, 231, 238));
  r.FillRect(Rect{htrack.Left, htrack.Top, htrack.Right, htrack.Top + 1}, Rgb(210, 217, 227));
  // Whole scroll bars: arrows at the ends, track between.
  const Rect vsb = Put("vscrollbar", 0, 200, 16, 48);
  plat::Blit(r, vsb.Left, vsb.Top, r, gAtlas["sb.up"]);
  plat::StretchCopy(r, Rect{vsb.Left, vsb.Top + 16, vsb.Right, vsb.Top + 32}, r, vtrack);
  plat::Blit(r, vsb.Left, vsb.Top + 32, r, gAtlas["sb.down"]);
  const Rect hsb = Put("hscrollbar", 128, 54, 48, 16);
  plat::Blit(r, hsb.Left, hsb.Top, r, gAtlas["sb.left"]);
  plat::StretchCopy(r, Rect{hsb.Left + 16, hsb.Top, hsb.Left + 32, hsb.Bottom}, r, htrack);
  plat::Blit(r, hsb.Left + 32, hsb.Top, r, gAtlas["sb.right"]);

  // Edit boxes: normal and focused frames; the combo box's drop button.
  const Rect edit = Put("edit", 0, 70, 40, 20);
  r.FillRect(edit, kCtlLine);
  r.FillRect(Rect{edit.Left + 1, edit.Top + 1, edit.Right - 1, edit.Bottom - 1}, plat::clWhite);
  const Rect editA = Put("edit.active", 40, 70, 40, 20);
  r.FillRect(editA, kFocus);
  r.FillRect(Rect{editA.Left + 1, editA.Top + 1, editA.Right - 1, editA.Bottom - 1}, plat::clWhite);
  const ButtonColors dropFaces[] = {face, hot, press, off};
  const char* dropNames[] = {"drop", "drop.active", "drop.down", "drop.disabled"};
  for (int s = 0; s < 4; ++s) {
    const Rect b = Put(dropNames[s], 80 + s * 16, 70, 16, 18);
    ButtonFace(r, b, dropFaces[s]);
    ArrowGlyph(r, b, 4, s == 3 ? Rgb(170, 178, 190) : Rgb(52, 68, 96));
  }
  // Small spin buttons (up and down halves of an up-down control).
  const char* spin[] = {"spin.up", "spin.up.active", "spin.up.down", "spin.down", "spin.down.active", "spin.down.down"};
  for (int s = 0; s < 6; ++s) {
    const Rect b = Put(spin[s], 144 + (s % 3) * 16, 70 + (s / 3) * 9, 16, 9);
    ButtonFace(r, b, sb[s % 3]);
    ArrowGlyph(r, Rect{b.Left, b.Top + (s < 3 ? 1 : 0), b.Right, b.Bottom + (s < 3 ? 1 : 0)}, s < 3 ? 3 : 4,
               Rgb(52, 68, 96));
  }

  // Panels: raised panel, group box frame, tool panel, status panel.
  const Rect panel = Put("panel", 0, 90, 48, 40);
  r.FillRect(panel, kCtlLine);
  Gradient(r, Rect{panel.Left + 1, panel.Top + 1, panel.Right - 1, panel.Bottom - 1}, Rgb(246, 248, 251), Rgb(230, 235, 242));
  const Rect group = Put("groupbox", 48, 90, 48, 40);
  r.FillRect(group, kCtlBack);
  RoundedPanel(r, Rect{group.Left, group.Top + 6, group.Right, group.Bottom}, 3, Rgb(170, 184, 204), kCtlBack, kCtlBack);
  const Rect tool = Put("toolpanel", 96, 90, 48, 24);
  Gradient(r, tool, Rgb(244, 247, 251), Rgb(214, 223, 235));
  r.FillRect(Rect{tool.Left, tool.Bottom - 1, tool.Right, tool.Bottom}, Rgb(176, 190, 210));
  const Rect status = Put("statuspanel", 96, 114, 48, 16);
  Gradient(r, status, Rgb(226, 232, 240), Rgb(242, 245, 249));
  r.FillRect(Rect{status.Left, status.Top, status.Right, status.Top + 1}, Rgb(176, 190, 210));
  const Rect label = Put("label", 144, 90, 48, 16);
  r.FillRect(label, kCtlBack);

  // Gauge: a sunken track and its bar.
  const Rect gauge = Put("gauge", 144, 106, 40, 14);
  r.FillRect(gauge, kCtlLine);
  r.FillRect(Rect{gauge.Left + 1, gauge.Top + 1, gauge.Right - 1, gauge.Bottom - 1}, plat::clWhite);
  const Rect bar = Put("gauge.bar", 144, 120, 40, 10);
  Gradient(r, bar, Rgb(150, 188, 232), Rgb(76, 122, 186));
  const Rect vgauge = Put("vgauge", 72, 200, 8, 48);
  r.FillRect(vgauge, kCtlLine);
  r.FillRect(Rect{vgauge.Left + 1, vgauge.Top + 1, vgauge.Right - 1, vgauge.Bottom - 1}, plat::clWhite);
  const Rect vbar = Put("vgauge.bar", 16, 200, 6, 40);
  for (int x = 0; x < 6; ++x)
    r.FillRect(Rect{vbar.Left + x, vbar.Top, vbar.Left + x + 1, vbar.Bottom},
               Mix(Rgb(150, 188, 232), Rgb(76, 122, 186), x / 5.0));

  // Track bars: grooves and thumbs (the thumbs' shapes are in the two masks).
  const Rect hgroove = Put("trackbar.h", 0, 130, 48, 18);
  r.FillRect(Rect{hgroove.Left + 2, hgroove.Top + 7, hgroove.Right - 2, hgroove.Top + 11}, kCtlLine);
  r.FillRect(Rect{hgroove.Left + 3, hgroove.Top + 8, hgroove.Right - 3, hgroove.Top + 10}, plat::clWhite);
  const Rect vgroove = Put("trackbar.v", 48, 130, 18, 48);
  r.FillRect(Rect{vgroove.Left + 7, vgroove.Top + 2, vgroove.Left + 11, vgroove.Bottom - 2}, kCtlLine);
  r.FillRect(Rect{vgroove.Left + 8, vgroove.Top + 3, vgroove.Left + 10, vgroove.Bottom - 3}, plat::clWhite);
  for (int s = 0; s < 2; ++s) {
    const Rect th = Put(s ? "thumb.h.active" : "thumb.h", 66 + s * 11, 130, 11, 18);
    RoundedPanel(r, th, 2, s ? kFocus : kCtlLine, s ? Rgb(214, 227, 244) : Rgb(246, 248, 251), kCtlBack);
    const Rect tv = Put(s ? "thumb.v.active" : "thumb.v", 88, 130 + s * 11, 18, 11);
    RoundedPanel(r, tv, 2, s ? kFocus : kCtlLine, s ? Rgb(214, 227, 244) : Rgb(246, 248, 251), kCtlBack);
  }

  // Tabs: normal, selected, focused, hot; and the page frame.
  const char* tabs[] = {"tab", "tab.active", "tab.focus", "tab.hot"};
  const Color tabTop[] = {Rgb(232, 237, 244), plat::clWhite, plat::clWhite, Rgb(244, 248, 254)};
  for (int s = 0; s < 4; ++s) {
    const Rect t = Put(tabs[s], 106 + (s % 2) * 40, 130 + (s / 2) * 20, 40, 20);
    r.FillRect(t, kCtlBack);
    RoundedPanel(r, Rect{t.Left, t.Top, t.Right, t.Bottom + 3}, 3, s == 2 ? kFocus : kCtlLine, tabTop[s], kCtlBack);
    r.FillRect(Rect{t.Left + 1, t.Bottom - 1, t.Right - 1, t.Bottom}, s == 1 || s == 2 ? plat::clWhite : kCtlLine);
  }
  const Rect page = Put("tab.page", 106, 170, 40, 30);
  r.FillRect(page, kCtlLine);
  r.FillRect(Rect{page.Left + 1, page.Top + 1, page.Right - 1, page.Bottom - 1}, plat::clWhite);

  // List items and grid cells.
  const Rect item = Put("item", 0, 178, 48, 18);
  r.FillRect(item, plat::clWhite);
  const Rect itemA = Put("item.active", 24, 200, 46, 18);
  RoundedPanel(r, itemA, 2, Rgb(112, 140, 178), Rgb(200, 216, 236), plat::clWhite);
  const Rect itemF = Put("item.focus", 24, 218, 46, 18);
  RoundedPanel(r, itemF, 2, kFocus, Rgb(226, 236, 250), plat::clWhite);
  const Rect cell = Put("cell.fixed", 48, 178, 40, 18);
  Gradient(r, cell, Rgb(246, 248, 251), Rgb(220, 228, 238));
  r.FillRect(Rect{cell.Right - 1, cell.Top, cell.Right, cell.Bottom}, Rgb(176, 190, 210));
  r.FillRect(Rect{cell.Left, cell.Bottom - 1, cell.Right, cell.Bottom}, Rgb(176, 190, 210));
  // Splitter grippers and the size grip.
  const Rect hgrip = Put("grip.h", 88, 152, 16, 4);
  const Rect vgrip = Put("grip.v", 88, 158, 4, 16);
  for (int k = 0; k < 4; ++k) {
    Dot(r, hgrip.Left + 2 + 4 * k, hgrip.Top + 1, kCtlLine);
    Dot(r, vgrip.Left + 1, vgrip.Top + 2 + 4 * k, kCtlLine);
  }
  const Rect sizer = Put("resize", 92, 186, 12, 12);
  for (int k = 0; k < 3; ++k)
    for (int j = 0; j <= k; ++j) Dot(r, sizer.Left + 9 - 3 * j, sizer.Top + 3 + 3 * k, kCtlLine);
  return r;
}

// A mask as large as controls.bmp: black on the named images' shapes.
Raster ControlsMask(const std::vector<std::string>& names, double radius) {
  Raster m(kCw, kCh, plat::clWhite);
  for (const std::string& n : names) {
    const Rect b = gAtlas.at(n);
    for (int y = 0; y < b.Height(); ++y)
      for (int x = 0; x < b.Width(); ++x)
        if (InsideRounded(x, y, b.Width(), b.Height(), radius)) m.SetPixel(b.Left + x, b.Top + y, plat::clBlack);
  }
  return m;
}

// --- skin.ini ---------------------------------------------------------------------------------

class Ini {
 public:
  void Section(const std::string& name) { text_ += (text_.empty() ? "" : "\r\n") + ("[" + name + "]\r\n"); }
  void Key(const std::string& k, const std::string& v) { text_ += k + "=" + v + "\r\n"; }
  void Key(const std::string& k, int v) { Key(k, std::to_string(v)); }
  void Key(const std::string& k, Rect r) {
    Key(k, std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
               std::to_string(r.Bottom));
  }
  void Key(const std::string& k, Point p) { Key(k, std::to_string(p.X) + "," + std::to_string(p.Y)); }
  void Comment(const std::string& c) { text_ += "; " + c + "\r\n"; }
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

int ColorValue(Color c) { return static_cast<int>(c); }
Rect A(const std::string& name) { return gAtlas.at(name); }

// The picture indexes of [PICTURES].
enum { kActive = 0, kControls, kPw, kPwMask, kMenuItems, kHsTbMask, kVsTbMask, kHw, kBg, kButtonMask, kMdiBg };

void Font(Ini& ini, int color, const std::string& prefix = "") {
  ini.Key(prefix + "fontname", "Arial");
  ini.Key(prefix + "fontheight", 14);
  ini.Key(prefix + "fontstyle", "");
  ini.Key(prefix + "fontcolor", color);
}

// The shaped-control keys: the image cut with a `b`-pixel border all round.
void Shaped(Ini& ini, Rect img, int b, bool stretchMiddle = true) {
  const int w = img.Width(), h = img.Height();
  ini.Key("lefttoppoint", Point{b, b});
  ini.Key("righttoppoint", Point{w - b, b});
  ini.Key("leftbottompoint", Point{b, h - b});
  ini.Key("rightbottompoint", Point{w - b, h - b});
  ini.Key("clientrect", Rect{b, b, w - b, h - b});
  ini.Key("leftstretch", 1);
  ini.Key("topstretch", 1);
  ini.Key("rightstretch", 1);
  ini.Key("bottomstretch", 1);
  ini.Key("stretcheffect", stretchMiddle ? 1 : 0);
}

void Base(Ini& ini, const std::string& name, Rect img, int mask = -1) {
  ini.Section(name);
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", mask);
  ini.Key("skinrect", img);
}

const int kText = ColorValue(Rgb(20, 28, 40));
const int kTextHot = ColorValue(Rgb(20, 50, 110));
const int kTextOff = 8421504;

void ButtonControl(Ini& ini, const std::string& name, bool menu, const std::string& track = "") {
  Base(ini, name, A("button"), kButtonMask);
  Shaped(ini, A("button"), 3);
  Font(ini, kText);
  ini.Key("activefontcolor", kTextHot);
  ini.Key("downfontcolor", kText);
  ini.Key("disabledfontcolor", kTextOff);
  ini.Key("activeskinrect", A("button.active"));
  ini.Key("downskinrect", A("button.down"));
  ini.Key("disabledskinrect", A("button.disabled"));
  ini.Key("morphing", 0);
  ini.Key("morphkind", "mkdefault");
  ini.Key("showfocus", 1);
  if (menu) {
    ini.Key("menumarkerrect", A("drop"));
    ini.Key("menumarkeractiverect", A("drop.active"));
    ini.Key("menumarkerdownrect", A("drop.down"));
    ini.Key("menumarkertransparentcolor", ColorValue(kCtlBack));
    ini.Key("trackbuttonrect", A(track.empty() ? "drop" : track));
  }
}

void PanelControl(Ini& ini, const std::string& name, const std::string& img, bool caption) {
  Base(ini, name, A(img));
  Shaped(ini, A(img), caption ? 8 : 2);
  ini.Key("bgpictureindex", -1);
  if (caption) ini.Key("captionrect", Rect{8, 0, A(img).Width() - 8, 12});
  ini.Key("alignment", "taleftjustify");
  Font(ini, kText);
  ini.Key("checkimagerect", A("check.on"));
  ini.Key("uncheckimagerect", A("check.off"));
}

void CheckRadio(Ini& ini, const std::string& name, const std::string& kind) {
  Base(ini, name, A("label"));
  Shaped(ini, A("label"), 0);
  Font(ini, kText);
  ini.Key("activefontcolor", kTextHot);
  ini.Key("unenabledfontcolor", kTextOff);
  ini.Key("framefontcolor", kText);
  ini.Key("activeskinrect", A("label"));
  ini.Key("checkimagearea", Rect{0, 1, 13, 14});
  ini.Key("textarea", Rect{17, 0, 48, 16});
  ini.Key("checkimagerect", A(kind + ".on"));
  ini.Key("uncheckimagerect", A(kind + ".off"));
  ini.Key("activecheckimagerect", A(kind + ".on.active"));
  ini.Key("activeuncheckimagerect", A(kind + ".off.active"));
  ini.Key("unenabledcheckimagerect", A(kind + ".on.disabled"));
  ini.Key("unenableduncheckimagerect", A(kind + ".off.disabled"));
  ini.Key("morphing", 0);
  ini.Key("morphkind", "mkdefault");
}

void Gauge(Ini& ini, const std::string& name, bool vertical) {
  const Rect g = A(vertical ? "vgauge" : "gauge");
  Base(ini, name, g);
  Shaped(ini, g, 2);
  ini.Key("progressarea", Rect{2, 2, g.Width() - 2, g.Height() - 2});
  ini.Key("progressrect", A(vertical ? "vgauge.bar" : "gauge.bar"));
  ini.Key("beginoffset", 0);
  ini.Key("endoffset", 0);
  ini.Key("vertical", vertical ? 1 : 0);
  Font(ini, kText);
  ini.Key("progresstransparent", 0);
  ini.Key("progressstretch", 1);
}

void TrackBar(Ini& ini, const std::string& name, bool vertical) {
  const Rect t = A(vertical ? "trackbar.v" : "trackbar.h");
  Base(ini, name, t, vertical ? kVsTbMask : kHsTbMask);
  Shaped(ini, t, 4);
  ini.Key("trackarea", vertical ? Rect{0, 5, 18, 43} : Rect{5, 0, 43, 18});
  ini.Key("buttonrect", A(vertical ? "thumb.v" : "thumb.h"));
  ini.Key("activebuttonrect", A(vertical ? "thumb.v.active" : "thumb.h.active"));
  ini.Key("vertical", vertical ? 1 : 0);
  ini.Key("buttontransparent", 1);
  ini.Key("buttontransparentcolor", ColorValue(kCtlBack));
}

void ScrollBar(Ini& ini, const std::string& name, bool vertical) {
  const Rect s = A(vertical ? "vscrollbar" : "hscrollbar");
  Base(ini, name, s);
  ini.Key("lefttoppoint", vertical ? Point{0, 16} : Point{16, 0});
  ini.Key("righttoppoint", vertical ? Point{16, 16} : Point{32, 0});
  ini.Key("leftbottompoint", vertical ? Point{0, 32} : Point{16, 16});
  ini.Key("rightbottompoint", vertical ? Point{16, 32} : Point{32, 16});
  ini.Key("clientrect", vertical ? Rect{0, 16, 16, 32} : Rect{16, 0, 32, 16});
  ini.Key("leftstretch", 1);
  ini.Key("topstretch", 1);
  ini.Key("rightstretch", 1);
  ini.Key("bottomstretch", 1);
  ini.Key("stretcheffect", 1);
  ini.Key("trackarea", vertical ? Rect{0, 16, 16, 32} : Rect{16, 0, 32, 16});
  const std::string a = vertical ? "sb.up" : "sb.left", b = vertical ? "sb.down" : "sb.right";
  ini.Key("upbuttonrect", A(a));
  ini.Key("activeupbuttonrect", A(a + ".active"));
  ini.Key("downupbuttonrect", A(a + ".down"));
  ini.Key("downbuttonrect", A(b));
  ini.Key("activedownbuttonrect", A(b + ".active"));
  ini.Key("downdownbuttonrect", A(b + ".down"));
  const std::string t = vertical ? "sb.vthumb" : "sb.hthumb";
  ini.Key("thumbrect", A(t));
  ini.Key("activethumbrect", A(t + ".active"));
  ini.Key("downthumbrect", A(t + ".down"));
  ini.Key("thumboffset1", 3);
  ini.Key("thumboffset2", 3);
  ini.Key("thumbtransparent", 0);
}

void EditControl(Ini& ini, const std::string& name, bool button, bool memo) {
  Base(ini, name, A("edit"));
  Shaped(ini, A("edit"), 2);
  ini.Key("activeskinrect", A("edit.active"));
  Font(ini, kText);
  ini.Key("disabledfontcolor", kTextOff);
  ini.Key("activefontcolor", kText);
  if (button) {
    ini.Key("buttonrect", A("drop"));
    ini.Key("activebuttonrect", A("drop.active"));
    ini.Key("downbuttonrect", A("drop.down"));
    ini.Key("unenabledbuttonrect", A("drop.disabled"));
  }
  if (memo) {
    ini.Key("bgcolor", ColorValue(plat::clWhite));
    ini.Key("activebgcolor", ColorValue(plat::clWhite));
  }
}

void SpinEdit(Ini& ini, const std::string& name) {
  Base(ini, name, A("edit"));
  Shaped(ini, A("edit"), 2);
  ini.Key("activeskinrect", A("edit.active"));
  Font(ini, kText);
  ini.Key("activefontcolor", kText);
  ini.Key("disabledfontcolor", kTextOff);
  ini.Key("upbuttonrect", A("spin.up"));
  ini.Key("activeupbuttonrect", A("spin.up.active"));
  ini.Key("downupbuttonrect", A("spin.up.down"));
  ini.Key("downbuttonrect", A("spin.down"));
  ini.Key("activedownbuttonrect", A("spin.down.active"));
  ini.Key("downdownbuttonrect", A("spin.down.down"));
}

void ComboBox(Ini& ini, const std::string& name, const std::string& list) {
  Base(ini, name, A("edit"));
  Shaped(ini, A("edit"), 2);
  ini.Key("activeskinrect", A("edit.active"));
  ini.Key("itemrect", A("item"));
  ini.Key("activeitemrect", A("item.active"));
  ini.Key("focusitemrect", A("item.focus"));
  ini.Key("itemleftoffset", 3);
  ini.Key("itemrightoffset", 3);
  ini.Key("itemtextrect", Rect{4, 1, 44, 17});
  Font(ini, kText);
  ini.Key("focusfontcolor", kText);
  ini.Key("activefontcolor", kText);
  ini.Key("listboxname", list);
  ini.Key("buttonrect", A("drop"));
  ini.Key("activebuttonrect", A("drop.active"));
  ini.Key("downbuttonrect", A("drop.down"));
  ini.Key("unenabledbuttonrect", A("drop.disabled"));
  ini.Key("itemstretcheffect", 1);
  ini.Key("focusitemstretcheffect", 1);
  ini.Key("showfocus", 1);
}

void ListBox(Ini& ini, const std::string& name, bool check, bool caption) {
  const Rect frame = A(caption ? "panel" : "edit");
  Base(ini, name, frame);
  Shaped(ini, frame, caption ? 3 : 2);
  ini.Key("itemrect", A("item"));
  ini.Key("activeitemrect", A("item.active"));
  ini.Key("focusitemrect", A("item.focus"));
  ini.Key("itemleftoffset", 3);
  ini.Key("itemrightoffset", 3);
  ini.Key("itemtextrect", Rect{4, 1, 44, 17});
  Font(ini, kText);
  ini.Key("activefontcolor", kText);
  ini.Key("focusfontcolor", kText);
  if (caption) {
    ini.Key("captionrect", Rect{3, 3, 45, 17});
    Font(ini, kText, "caption");
  }
  ini.Key("upbuttonrect", A("sb.up"));
  ini.Key("activeupbuttonrect", A("sb.up.active"));
  ini.Key("downupbuttonrect", A("sb.up.down"));
  ini.Key("downbuttonrect", A("sb.down"));
  ini.Key("activedownbuttonrect", A("sb.down.active"));
  ini.Key("downdownbuttonrect", A("sb.down.down"));
  ini.Key("vscrollbarname", "vscrollbar");
  ini.Key("hscrollbarname", "hscrollbar");
  ini.Key("bothhscrollbarname", "bothhscrollbar");
  ini.Key("showfocus", 1);
  if (check) {
    ini.Key("itemcheckrect", Rect{3, 3, 16, 16});
    ini.Key("checkimagerect", A("check.on"));
    ini.Key("uncheckimagerect", A("check.off"));
  }
}

void Label(Ini& ini, const std::string& name, const std::string& img) {
  Base(ini, name, A(img));
  Shaped(ini, A(img), img == "label" ? 0 : 2);
  Font(ini, kText);
}

void Splitter(Ini& ini, const std::string& name, bool vertical) {
  const Rect g = A(vertical ? "grip.v" : "grip.h");
  Base(ini, name, A("label"));
  Shaped(ini, A("label"), 0);
  ini.Key("gripperrect", g);
  ini.Key("grippertransparent", 1);
  ini.Key("grippertransparentcolor", ColorValue(kCtlBack));
}

void UpDown(Ini& ini, const std::string& name, bool vertical) {
  Base(ini, name, A("label"));
  Shaped(ini, A("label"), 0);
  const std::string a = vertical ? "sb.up" : "sb.left", b = vertical ? "sb.down" : "sb.right";
  ini.Key("upbuttonrect", A(a));
  ini.Key("activeupbuttonrect", A(a + ".active"));
  ini.Key("downupbuttonrect", A(a + ".down"));
  ini.Key("downbuttonrect", A(b));
  ini.Key("activedownbuttonrect", A(b + ".active"));
  ini.Key("downdownbuttonrect", A(b + ".down"));
}

void PlainView(Ini& ini, const std::string& name) {
  Base(ini, name, A("edit"));
  Font(ini, kText);
  ini.Key("bgcolor", ColorValue(plat::clWhite));
}

std::string SkinIni() {
  Ini ini;
  ini.Comment("Platora default skin, drawn by skins/generator/default_skin.cpp; do not edit by hand.");
  ini.Section("VERSION");
  ini.Key("ver", 3);
  ini.Key("skinname", "Platora Slate");
  ini.Key("skinauthor", "Platora");
  ini.Key("authoremail", "");
  ini.Key("authorurl", "");
  ini.Key("skincomments", "Light blue-grey caption band, slate outline, white caption glyphs.");

  ini.Section("PICTURES");
  ini.Key("picture", "main.bmp");
  ini.Key("inactivepicture", "");
  ini.Key("mask", "mask.bmp");
  const char* pictures[] = {"active.bmp", "controls.bmp", "pw.bmp", "pwmask.bmp", "menuitems.bmp", "hstbmask.bmp",
                            "vstbmask.bmp", "hw.bmp", "bg.bmp", "buttonmask.bmp", "mdibg.bmp"};
  ini.Key("activepicturescount", 11);
  for (int i = 0; i < 11; ++i) ini.Key(std::to_string(i), pictures[i]);

  ini.Section("FORMINFO");
  ini.Key("lefttoppoint", Point{68, 31});
  ini.Key("righttoppoint", Point{137, 32});
  ini.Key("leftbottompoint", Point{9, 68});
  ini.Key("rightbottompoint", Point{137, 70});
  ini.Key("clientrect", Rect{5, 29, 141, 74});
  ini.Key("bgpictureindex", kBg);
  ini.Key("mdibgpictureindex", kMdiBg);
  ini.Key("leftstretch", 0);
  ini.Key("rightstretch", 0);
  ini.Key("topstretch", 0);
  ini.Key("bottomstretch", 0);
  ini.Key("maskrectarea", Rect{5, 5, 141, 78});
  ini.Key("hittestlefttoppoint", Point{8, 7});
  ini.Key("hittestrighttoppoint", Point{137, 6});
  ini.Key("hittestleftbottompoint", Point{8, 72});
  ini.Key("hittestrightbottompoint", Point{137, 72});
  ini.Key("buttonsrect", Rect{0, 0, 0, 0});
  ini.Key("captionrect", Rect{0, 0, 0, 0});
  ini.Key("buttonsoffset", 0);
  ini.Key("buttonsinleft", 0);
  ini.Key("mainmenupopupup", 0);
  ini.Key("borderwidth", 3);
  ini.Key("formminwidth", 0);
  ini.Key("autorenderinginactiveimage", 0);
  ini.Key("inactiveeffect", "iebrightness");

  ini.Section("POPUPWINDOW");
  ini.Key("windowpictureindex", kPw);
  ini.Key("maskpictureindex", kPwMask);
  ini.Key("lefttoppoint", Point{3, 3});
  ini.Key("righttoppoint", Point{kPwSize - 3, 3});
  ini.Key("leftbottompoint", Point{3, kPwSize - 3});
  ini.Key("rightbottompoint", Point{kPwSize - 3, kPwSize - 3});
  ini.Key("itemsrect", Rect{3, 3, kPwSize - 3, kPwSize - 3});
  ini.Key("scrollmarkercolor", ColorValue(Rgb(150, 162, 180)));
  ini.Key("scrollmarkeractivecolor", ColorValue(Rgb(48, 72, 112)));
  ini.Key("leftstretch", 1);
  ini.Key("rightstretch", 1);
  ini.Key("topstretch", 1);
  ini.Key("bottomstretch", 1);

  ini.Section("HINTWINDOW");
  ini.Key("windowpictureindex", kHw);
  ini.Key("maskpictureindex", -1);
  ini.Key("lefttoppoint", Point{6, 3});
  ini.Key("righttoppoint", Point{31, 3});
  ini.Key("leftbottompoint", Point{6, 17});
  ini.Key("rightbottompoint", Point{31, 17});
  ini.Key("clientrect", Rect{6, 3, 31, 17});
  ini.Key("fontname", "Arial");
  ini.Key("fontheight", 14);
  ini.Key("fontstyle", "");
  ini.Key("fontcolor", 8421504);
  ini.Key("leftstretch", 1);
  ini.Key("rightstretch", 1);
  ini.Key("topstretch", 1);
  ini.Key("bottomstretch", 1);

  const char* objects[] = {"caption1:caption", "sysmenubutton:stdbutton", "closebutton:stdbutton",
                           "maxbutton:stdbutton", "minbutton:stdbutton", "MENUITEM:menuitem",
                           "mainmenubaritem:mainmenubaritem", "rollupbutton:stdbutton",
                           "menubarsysmenubutton:mainmenubarbutton", "menubarclosebutton:mainmenubarbutton",
                           "menubarmaxbutton:mainmenubarbutton", "menubarminbutton:mainmenubarbutton"};
  ini.Section("SKINOBJECTS");
  ini.Key("count", 12);
  for (int i = 0; i < 12; ++i) ini.Key(std::to_string(i), objects[i]);

  const char* controls[] = {
      "toolpanel:panel", "toolbutton:button", "button:button", "checkbox:checkradio", "radiobox:checkradio",
      "tab:tab", "panel:panel", "gauge:gauge", "vgauge:gauge", "trackbar:trackbar", "htrackbar:trackbar",
      "hscrollbar:scrollbar", "vscrollbar:scrollbar", "listbox:listbox", "checklistbox:checklistbox",
      "edit:edit", "memo:memo", "combobox:combobox", "spinedit:spinedit", "label:label", "stdlabel:stdlabel",
      "grid:grid", "groupbox:panel", "statuspanel:label", "statusbar:panel", "buttonedit:edit",
      "vupdown:updown", "hupdown:updown", "captionlistbox:listbox", "captionchecklistbox:checklistbox",
      "captioncombobox:combobox", "mainmenubar:mainmenubar", "controlbar:controlbar", "hsplitter:splitter",
      "vsplitter:splitter", "resizebutton:button", "bothhscrollbar:scrollbar", "bigtoolbutton:button",
      "bigtoolpanel:panel", "toolmenubutton:menubutton", "bigtoolmenubutton:menubutton",
      "bigtoolmenutrackbutton:menubutton", "toolmenutrackbutton:menubutton", "scrollbox:scrollbox",
      "listview:listview", "treeview:treeview", "statusgauge:gauge", "richedit:richedit", "expanel:expanel",
      "slider:slider", "bevel:bevel", "statusedit:edit", "statusbuttonedit:edit", "statusspinedit:spinedit",
      "statuscombobox:combobox", "toolcombobox:combobox", "toolspinedit:spinedit", "tooledit:edit",
      "toolbuttonedit:edit"};
  ini.Section("SKINCONTROLS");
  ini.Key("count", 59);
  for (int i = 0; i < 59; ++i) ini.Key(std::to_string(i), controls[i]);

  // --- Caption objects ---
  ini.Section("caption1");
  ini.Key("hint", "");
  ini.Key("activepictureindex", -1);
  ini.Key("skinrectinapicture", 0);
  ini.Key("skinrect", Rect{67, 6, 141, 23});
  ini.Key("activeskinrect", Rect{0, 0, 0, 0});
  ini.Key("inactiveskinrect", Rect{0, 0, 0, 0});
  ini.Key("morphing", 0);
  ini.Key("morphkind", "mkdefault");
  ini.Key("textrect", Rect{0, 2, 73, 14});
  ini.Key("fontname", "Arial");
  ini.Key("fontheight", 14);
  ini.Key("fontstyle", "fsbold");
  ini.Key("fontcolor", 8421504);
  ini.Key("activefontcolor", 0);
  ini.Key("alignment", "taleftjustify");
  ini.Key("light", 0);
  ini.Key("shadow", 0);
  ini.Key("framerect", Rect{0, 0, 0, 0});
  ini.Key("stretcheffect", 0);
  ini.Key("animateskinrect", Rect{0, 0, 0, 0});
  ini.Key("framecount", 0);
  ini.Key("animateinterval", 25);
  ini.Key("inactiveanimation", 0);
  ini.Key("fullframe", 0);

  struct StdButton {
    const char* name;
    Rect rect, down;
    const char* command;
    const char* hint;
  };
  const StdButton buttons[] = {{"sysmenubutton", kSysMenu, {50, 6, 61, 17}, "cmsysmenu", "System menu"},
                               {"closebutton", kClose, {1, 3, 18, 20}, "cmclose", "Close"},
                               {"maxbutton", kMax, {34, 1, 45, 11}, "cmmaximize", "Maximize"},
                               {"minbutton", kMin, {34, 13, 44, 23}, "cmminimize", "Minimize"},
                               {"rollupbutton", kRollUp, {20, 6, 31, 17}, "cmrollup", "Roll Up"}};
  for (const StdButton& b : buttons) {
    ini.Section(b.name);
    ini.Key("hint", b.hint);
    ini.Key("activepictureindex", kActive);
    ini.Key("skinrectinapicture", 0);
    ini.Key("skinrect", b.rect);
    ini.Key("activeskinrect", Rect{0, 0, 0, 0});
    ini.Key("inactiveskinrect", Rect{0, 0, 0, 0});
    ini.Key("morphing", 0);
    ini.Key("morphkind", "mkdefault");
    ini.Key("downrect", b.down);
    ini.Key("disableskinrsect", Rect{0, 0, 0, 0});
    ini.Key("command", b.command);
    ini.Key("restorerect", Rect{0, 0, 0, 0});
    ini.Key("restoreactiverect", Rect{0, 0, 0, 0});
    ini.Key("restoredownrect", Rect{0, 0, 0, 0});
    ini.Key("restoreinactiverect", Rect{0, 0, 0, 0});
  }

  ini.Section("MENUITEM");
  ini.Key("hint", "");
  ini.Key("activepictureindex", kMenuItems);
  ini.Key("skinrectinapicture", 0);
  ini.Key("skinrect", Rect{0, 0, 100, 20});
  ini.Key("activeskinrect", Rect{0, 20, 100, 40});
  ini.Key("inactiveskinrect", Rect{0, 0, 0, 0});
  ini.Key("morphing", 0);
  ini.Key("morphkind", "mkdefault");
  ini.Key("itemleftoffset", 24);
  ini.Key("itemrightoffset", 4);
  ini.Key("dividerrect", Rect{0, 40, 100, 47});
  ini.Key("dividerleftoffset", 26);
  ini.Key("dividerrightoffset", 3);
  ini.Key("textrect", Rect{10, 0, 96, 20});
  ini.Key("imagerect", Rect{0, 0, 0, 0});
  ini.Key("fontname", "Arial");
  ini.Key("fontheight", 14);
  ini.Key("fontstyle", "");
  ini.Key("fontcolor", kText);
  ini.Key("activefontcolor", kTextHot);
  ini.Key("unenabledfontcolor", kTextOff);
  ini.Key("stretcheffect", 1);
  ini.Key("inactivestretcheffect", 1);
  ini.Key("dividerstretcheffect", 1);
  ini.Key("animateskinrect", Rect{0, 0, 0, 0});
  ini.Key("framecount", 0);
  ini.Key("animateinterval", 25);
  ini.Key("inactiveanimation", 0);
  ini.Key("useimagecolor", 0);

  // The main menu bar's item and buttons: the program shows no menu bar; they
  // reuse the menu item and caption button images.
  ini.Section("mainmenubaritem");
  ini.Key("activepictureindex", kMenuItems);
  ini.Key("skinrect", Rect{30, 0, 60, 20});
  ini.Key("activeskinrect", Rect{30, 20, 60, 40});
  ini.Key("itemleftoffset", 3);
  ini.Key("itemrightoffset", 3);
  ini.Key("downrect", Rect{30, 20, 60, 40});
  ini.Key("textrect", Rect{4, 0, 26, 20});
  Font(ini, kText);
  ini.Key("activefontcolor", kTextHot);
  ini.Key("downfontcolor", kTextHot);
  ini.Key("unenabledfontcolor", kTextOff);
  ini.Key("stretcheffect", 1);
  const StdButton barButtons[] = {{"menubarsysmenubutton", kSysMenu, {50, 6, 61, 17}, "cmsysmenu", ""},
                                  {"menubarclosebutton", kClose, {1, 3, 18, 20}, "cmclose", ""},
                                  {"menubarmaxbutton", kMax, {34, 1, 45, 11}, "cmmaximize", ""},
                                  {"menubarminbutton", kMin, {34, 13, 44, 23}, "cmminimize", ""}};
  for (const StdButton& b : barButtons) {
    ini.Section(b.name);
    ini.Key("activepictureindex", kActive);
    ini.Key("skinrectinapicture", 0);
    ini.Key("skinrect", b.rect);
    ini.Key("downrect", b.down);
    ini.Key("command", b.command);
  }

  // --- Controls (not shown by the program; complete for other skinned forms) ---
  PanelControl(ini, "toolpanel", "toolpanel", false);
  ButtonControl(ini, "toolbutton", false);
  ButtonControl(ini, "button", false);
  CheckRadio(ini, "checkbox", "check");
  CheckRadio(ini, "radiobox", "radio");
  ini.Section("tab");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("tab.page"));
  ini.Key("tabrect", A("tab"));
  ini.Key("activetabrect", A("tab.active"));
  ini.Key("focustabrect", A("tab.focus"));
  ini.Key("mouseintabrect", A("tab.hot"));
  ini.Key("clientrect", Rect{1, 1, 39, 29});
  ini.Key("bgpictureindex", -1);
  ini.Key("lefttoppoint", Point{1, 1});
  ini.Key("righttoppoint", Point{39, 1});
  ini.Key("leftbottompoint", Point{1, 29});
  ini.Key("rightbottompoint", Point{39, 29});
  ini.Key("tableftoffset", 4);
  ini.Key("tabrightoffset", 4);
  ini.Key("tabsbgrect", A("label"));
  ini.Key("tabstretcheffect", 1);
  ini.Key("leftstretch", 1);
  ini.Key("topstretch", 1);
  ini.Key("rightstretch", 1);
  ini.Key("bottomstretch", 1);
  Font(ini, kText);
  ini.Key("activefontcolor", kText);
  ini.Key("focusfontcolor", kTextHot);
  ini.Key("mouseinfontcolor", kTextHot);
  ini.Key("updown", "hupdown");
  ini.Key("showfocus", 1);
  ini.Key("focusoffsetx", 3);
  ini.Key("focusoffsety", 3);
  PanelControl(ini, "panel", "panel", false);
  Gauge(ini, "gauge", false);
  Gauge(ini, "vgauge", true);
  TrackBar(ini, "trackbar", true);
  TrackBar(ini, "htrackbar", false);
  ScrollBar(ini, "hscrollbar", false);
  ScrollBar(ini, "vscrollbar", true);
  ListBox(ini, "listbox", false, false);
  ListBox(ini, "checklistbox", true, false);
  EditControl(ini, "edit", false, false);
  EditControl(ini, "memo", false, true);
  ComboBox(ini, "combobox", "listbox");
  SpinEdit(ini, "spinedit");
  Label(ini, "label", "label");
  ini.Section("stdlabel");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("label"));
  Font(ini, kText);
  ini.Key("activefontcolor", kTextHot);
  ini.Section("grid");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("edit"));
  ini.Key("fixedcellrect", A("cell.fixed"));
  ini.Key("selectcellrect", A("item.active"));
  ini.Key("focuscellrect", A("item.focus"));
  ini.Key("fixedcellleftoffset", 2);
  ini.Key("fixedcellrightoffset", 2);
  ini.Key("fixedcelltextrect", Rect{3, 1, 37, 17});
  ini.Key("cellleftoffset", 2);
  ini.Key("cellrightoffset", 2);
  ini.Key("celltextrect", Rect{3, 1, 43, 17});
  ini.Key("linescolor", ColorValue(Rgb(214, 222, 232)));
  ini.Key("bgcolor", ColorValue(plat::clWhite));
  Font(ini, kText);
  ini.Key("selectfontcolor", kText);
  ini.Key("focusfontcolor", kText);
  Font(ini, kText, "fixed");
  ini.Key("cellstretcheffect", 1);
  ini.Key("fixedcellstretcheffect", 1);
  ini.Key("showfocus", 1);
  PanelControl(ini, "groupbox", "groupbox", true);
  Label(ini, "statuspanel", "statuspanel");
  PanelControl(ini, "statusbar", "statuspanel", false);
  EditControl(ini, "buttonedit", true, false);
  UpDown(ini, "vupdown", true);
  UpDown(ini, "hupdown", false);
  ListBox(ini, "captionlistbox", false, true);
  ListBox(ini, "captionchecklistbox", true, true);
  ComboBox(ini, "captioncombobox", "captionlistbox");
  ini.Section("mainmenubar");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("toolpanel"));
  ini.Key("itemsrect", Rect{2, 2, 46, 22});
  ini.Key("menubaritem", "mainmenubaritem");
  ini.Key("closebutton", "menubarclosebutton");
  ini.Key("minbutton", "menubarminbutton");
  ini.Key("maxbutton", "menubarmaxbutton");
  ini.Key("sysmenubutton", "menubarsysmenubutton");
  ini.Key("trackmarkcolor", ColorValue(Rgb(150, 162, 180)));
  ini.Key("trackmarkactivecolor", ColorValue(Rgb(48, 72, 112)));
  ini.Section("controlbar");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("toolpanel"));
  Shaped(ini, A("toolpanel"), 2);
  ini.Key("itemrect", A("toolpanel"));
  ini.Key("bgpictureindex", -1);
  ini.Key("hgriprect", A("grip.v"));
  ini.Key("vgriprect", A("grip.h"));
  ini.Key("gripoffset1", 2);
  ini.Key("gripoffset2", 2);
  Splitter(ini, "hsplitter", false);
  Splitter(ini, "vsplitter", true);
  ini.Section("resizebutton");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("resize"));
  Shaped(ini, A("resize"), 0);
  ScrollBar(ini, "bothhscrollbar", false);
  ButtonControl(ini, "bigtoolbutton", false);
  PanelControl(ini, "bigtoolpanel", "toolpanel", false);
  ButtonControl(ini, "toolmenubutton", true);
  ButtonControl(ini, "bigtoolmenubutton", true);
  ButtonControl(ini, "bigtoolmenutrackbutton", true, "drop.active");
  ButtonControl(ini, "toolmenutrackbutton", true, "drop.active");
  ini.Section("scrollbox");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("edit"));
  Shaped(ini, A("edit"), 1);
  ini.Key("bgpictureindex", -1);
  PlainView(ini, "listview");
  PlainView(ini, "treeview");
  Gauge(ini, "statusgauge", false);
  PlainView(ini, "richedit");
  ini.Section("expanel");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("panel"));
  Shaped(ini, A("panel"), 3);
  ini.Key("rollhskinrect", A("toolpanel"));
  ini.Key("rollvskinrect", A("vgauge"));
  ini.Key("rollleftoffset", 3);
  ini.Key("rollrightoffset", 3);
  ini.Key("rolltopoffset", 3);
  ini.Key("rollbottomoffset", 3);
  ini.Key("rollvcaptionrect", Rect{0, 20, 8, 44});
  ini.Key("rollhcaptionrect", Rect{20, 0, 44, 16});
  ini.Key("closebuttonrect", A("spin.down"));
  ini.Key("closebuttonactiverect", A("spin.down.active"));
  ini.Key("closebuttondownrect", A("spin.down.down"));
  ini.Key("hrollbuttonrect", A("spin.up"));
  ini.Key("hrollbuttonactiverect", A("spin.up.active"));
  ini.Key("hrollbuttondownrect", A("spin.up.down"));
  ini.Key("hrestorebuttonrect", A("spin.down"));
  ini.Key("hrestorebuttonactiverect", A("spin.down.active"));
  ini.Key("hrestorebuttondownrect", A("spin.down.down"));
  ini.Key("vrollbuttonrect", A("spin.up"));
  ini.Key("vrollbuttonactiverect", A("spin.up.active"));
  ini.Key("vrollbuttondownrect", A("spin.up.down"));
  ini.Key("vrestorebuttonrect", A("spin.down"));
  ini.Key("vrestorebuttonactiverect", A("spin.down.active"));
  ini.Key("vrestorebuttondownrect", A("spin.down.down"));
  ini.Key("captionrect", Rect{4, 2, 40, 16});
  Font(ini, kText);
  ini.Section("slider");
  ini.Key("pictureindex", kControls);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", A("trackbar.h"));
  ini.Key("bgcolor", ColorValue(kCtlBack));
  ini.Key("hrulerrect", A("trackbar.h"));
  ini.Key("hthumbrect", A("thumb.h"));
  ini.Key("vrulerrect", A("trackbar.v"));
  ini.Key("vthumbrect", A("thumb.v"));
  ini.Key("edgesize", 4);
  ini.Key("pointscolor", ColorValue(kCtlLine));
  ini.Section("bevel");
  ini.Key("pictureindex", -1);
  ini.Key("maskpictureindex", -1);
  ini.Key("skinrect", Rect{0, 0, 0, 0});
  ini.Key("lightcolor", ColorValue(plat::clWhite));
  ini.Key("darkcolor", ColorValue(Rgb(170, 184, 204)));
  EditControl(ini, "statusedit", false, false);
  EditControl(ini, "statusbuttonedit", true, false);
  SpinEdit(ini, "statusspinedit");
  ComboBox(ini, "statuscombobox", "listbox");
  ComboBox(ini, "toolcombobox", "listbox");
  SpinEdit(ini, "toolspinedit");
  EditControl(ini, "tooledit", false, false);
  EditControl(ini, "toolbuttonedit", true, false);
  return ini.Text();
}

// --- Files --------------------------------------------------------------------------------

// Paletted (8 bits) when the picture has at most 256 colours, else 24 bits.
std::vector<uint8_t> AsBmp(const Raster& r, bool forcePalette = false) {
  std::set<Color> colours;
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) colours.insert(r.Pixel(x, y));
  if (colours.size() > 256) {
    if (forcePalette) {
      std::fprintf(stderr, "picture has %zu colours, more than a palette holds\n", colours.size());
      std::exit(2);
    }
    return plat::WriteBmp(r);
  }
  return plat::WriteBmp(plat::BmpWithPalette(r, 8, std::vector<Color>(colours.begin(), colours.end())));
}

std::vector<uint8_t> AsMask(const Raster& r) {
  return plat::WriteBmp(plat::BmpWithPalette(r, 1, {plat::clBlack, plat::clWhite}));
}

// Every control image has its own place in controls.bmp.
void CheckAtlas() {
  for (auto a = gAtlas.begin(); a != gAtlas.end(); ++a)
    for (auto b = std::next(a); b != gAtlas.end(); ++b) {
      const Rect& p = a->second;
      const Rect& q = b->second;
      const bool apart = p.Right <= q.Left || q.Right <= p.Left || p.Bottom <= q.Top || q.Bottom <= p.Top;
      if (!apart || p.Right > kCw || p.Bottom > kCh) {
        std::fprintf(stderr, "controls.bmp: %s and %s overlap or leave the picture\n", a->first.c_str(), b->first.c_str());
        std::exit(2);
      }
    }
}

std::map<std::string, std::vector<uint8_t>> BuildSkin() {
  std::map<std::string, std::vector<uint8_t>> files;
  files["main.bmp"] = AsBmp(DrawMain(), true);
  files["mask.bmp"] = AsMask(DrawMask());
  files["active.bmp"] = AsBmp(DrawActive(), true);
  files["controls.bmp"] = AsBmp(DrawControls());
  CheckAtlas();
  files["pw.bmp"] = AsBmp(DrawPopupWindow());
  files["pwmask.bmp"] = AsMask(MaskOf(kPwSize, kPwSize, 3));
  files["menuitems.bmp"] = AsBmp(DrawMenuItems());
  files["hstbmask.bmp"] = AsMask(ControlsMask({"thumb.h", "thumb.h.active"}, 2));
  files["vstbmask.bmp"] = AsMask(ControlsMask({"thumb.v", "thumb.v.active"}, 2));
  files["hw.bmp"] = AsBmp(DrawHintWindow());
  files["bg.bmp"] = AsBmp(DrawBackground(138, kClient, 3));
  files["buttonmask.bmp"] = AsMask(ControlsMask({"button", "button.active", "button.down", "button.disabled"}, 1));
  files["mdibg.bmp"] = AsBmp(DrawBackground(138, Rgb(214, 222, 233), 4));
  const std::string ini = SkinIni();
  files["skin.ini"] = std::vector<uint8_t>(ini.begin(), ini.end());
  return files;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// For review: the window frame at 300 x 150 with the client background and
// its region applied, a popup menu and a hint window, on a desktop colour.
Raster Preview() {
  const Color desk = Rgb(96, 112, 128);
  Raster out(480, 170, desk);
  const Raster main = DrawMain(), mask = DrawMask(), bg = DrawBackground(138, kClient, 3);
  skin::FrameGeometry g;
  g.ClientRect = Rect{5, 29, 141, 74};
  g.LeftTop = Point{68, 31};
  g.RightTop = Point{137, 32};
  g.LeftBottom = Point{9, 68};
  g.RightBottom = Point{137, 70};
  g.MaskRectArea = Rect{5, 5, 141, 78};
  const int W = 300, H = 150;
  Raster frame = skin::ComposeFrame(main, g, W, H);
  for (int y = 29; y < H - 8; y += 138)
    for (int x = 5; x < W - 5; x += 138)
      plat::Blit(frame, x, y, bg, Rect{0, 0, std::min(138, W - 5 - x), std::min(138, H - 8 - y)});
  const skin::RegionData region = skin::ComposeFrameRegion(mask, g, W, H);
  for (const Rect& r : region.Rects) plat::Blit(out, 10 + r.Left, 10 + r.Top, frame, r);

  // Popup menu: four items (normal, active, divider, normal) in a 150 x 74 window.
  const Raster pw = DrawPopupWindow(), items = DrawMenuItems();
  const skin::SkinCut cut{{3, 3}, {kPwSize - 3, 3}, {3, kPwSize - 3}, {kPwSize - 3, kPwSize - 3},
                          Rect{3, 3, kPwSize - 3, kPwSize - 3}, Rect{0, 0, kPwSize, kPwSize}};
  const skin::SkinFit fit = skin::FitSkinCut(cut, 150, 3 + 20 + 20 + 7 + 20 + 3);
  Raster menu;
  skin::DrawNineSliceImage(cut, pw, {true, true, true, true}, false, fit, menu);
  const int iw = fit.NC.Width();
  Raster strip;
  int y = 3;
  const Rect sources[] = {{0, 0, 100, 20}, {0, 20, 100, 40}, {0, 40, 100, 47}, {0, 0, 100, 20}};
  for (const Rect& src : sources) {
    skin::DrawHorizontalStrip(src.Top == 40 ? 26 : 24, src.Top == 40 ? 3 : 4, strip, true, iw, src, items);
    plat::Blit(menu, 3, y, strip, Rect{0, 0, iw, strip.Height()});
    y += strip.Height();
  }
  skin::DrawCheckMark(menu, 3 + 12, 3 + 6, Rgb(20, 28, 40));
  skin::DrawSubMenuArrow(menu, 3 + iw - 4 - 7, 3 + 20 + 6, Rgb(20, 50, 110));
  const skin::RegionData shape = skin::BuildShapedRegionData(MaskOf(kPwSize, kPwSize, 3), cut, fit);
  for (const Rect& r : shape.Rects) plat::Blit(out, 320 + r.Left, 10 + r.Top, menu, r);

  // Hint window at 100 x 22.
  const skin::SkinCut hcut{{6, 3}, {31, 3}, {6, 17}, {31, 17}, Rect{6, 3, 31, 17}, Rect{0, 0, 37, 20}};
  Raster hint;
  skin::DrawNineSliceImage(hcut, DrawHintWindow(), {true, true, true, true}, true, skin::FitSkinCut(hcut, 100, 22), hint);
  plat::Blit(out, 320, 110, hint, Rect{0, 0, 100, 22});
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--preview") == 0) {
    plat::SaveBmpFile(argv[2], Preview());
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--check") == 0) {
    int bad = 0;
    for (const auto& [name, bytes] : BuildSkin())
      if (ReadFile(std::string(argv[2]) + "/" + name) != bytes) {
        std::printf("%s differs from what the generator draws\n", name.c_str());
        ++bad;
      }
    std::printf("%s\n", bad ? "default skin is out of date: run skin_generator skins/default" : "default skin up to date");
    return bad ? 1 : 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR | --check DIR\n", argv[0]);
    return 2;
  }
  for (const auto& [name, bytes] : BuildSkin()) {
    std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", name.c_str());
      return 1;
    }
  }
  return 0;
}
