// The popup menu window, the menu items and the hint window.
#include "skins/generator/generator.h"

namespace skingen {

namespace {

const Color kMenuBack = Rgb(251, 252, 254);
const Color kMenuGutter = Rgb(234, 239, 246);
const Color kMenuLine = Rgb(120, 137, 162);

}  // namespace

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

}  // namespace skingen
