// controls.bmp: every control image at its own place, and the masks cut from it.
#include <cstdio>
#include <cstdlib>
#include <map>

#include "skins/generator/generator.h"

namespace skingen {

namespace {

// Where each control image lies in controls.bmp.
std::map<std::string, Rect> gAtlas;
Rect Put(const std::string& name, int x, int y, int w, int h) { return gAtlas[name] = Rect{x, y, x + w, y + h}; }

constexpr int kCw = 192, kCh = 248;
const Color kFocus = Rgb(84, 120, 176);

void ArrowGlyph(Raster& r, Rect b, int dir, Color c) { skin::DrawArrow(r, b, c, dir); }

}  // namespace

Rect A(const std::string& name) { return gAtlas.at(name); }

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

}  // namespace skingen
