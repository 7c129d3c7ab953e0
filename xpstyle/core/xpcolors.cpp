#include "xpstyle/core/xpcolors.h"

#include <algorithm>
#include <cstdlib>

namespace xp {
namespace {

int Clamp255(int v) { return std::clamp(v, 0, 255); }

// num / 100 rounded to nearest, halves to even.
int DivRoundEven(int num) {
  const int q = num / 100, r = num % 100;  // r has the sign of num
  if (std::abs(r) * 2 < 100) return q;
  if (std::abs(r) * 2 > 100) return q + (num < 0 ? -1 : 1);
  return (q % 2 == 0) ? q : q + (num < 0 ? -1 : 1);
}

}  // namespace

Color Darken(Color c, int n) {
  return plat::RGBColor(Clamp255(plat::RedOf(c) - n), Clamp255(plat::GreenOf(c) - n + 2),
                        Clamp255(plat::BlueOf(c) - n));
}

Color Lighten(Color c, int p) {
  p = std::min(p, 100);
  auto ch = [p](int v) { return Clamp255(v + DivRoundEven((255 - v) * p)); };
  return plat::RGBColor(ch(plat::RedOf(c)), ch(plat::GreenOf(c)), ch(plat::BlueOf(c)));
}

Color Gray(Color c, int n) {
  const int g = Clamp255(std::min((plat::RedOf(c) + plat::GreenOf(c) + plat::BlueOf(c)) / 3 + n, 240));
  return plat::RGBColor(g, g, g);
}

XPWorkingColors ComputeWorkingColors(const XPColorInputs& in, bool deep, const std::function<Color(Color)>& nearest) {
  auto L = [&](Color c, int p) { return nearest ? nearest(Lighten(c, p)) : Lighten(c, p); };
  XPWorkingColors w;
  w.Deep = deep;
  w.Face = in.Color;
  w.IconBack = in.IconBackColor;
  if (deep) {
    w.Select = L(in.SelectColor, 68);
    w.CheckedArea = L(in.SelectColor, 80);
    w.CheckedAreaSelect = L(in.SelectColor, 50);
    w.MenuBorder = Darken(in.BtnFace, 90);
    w.MenuShadow = Darken(in.BtnFace, 76);
  } else {
    w.Select = in.SelectColor;
    w.CheckedArea = kWhite;
    w.CheckedAreaSelect = kSilver;
    w.MenuBorder = w.MenuShadow = in.BtnShadow;
  }
  w.SelectBorder = in.SelectBorderColor;
  w.SelectFont = in.SelectFontColor;
  w.MenuBar = in.MenuBarColor;
  w.Disabled = in.DisabledColor;
  w.Checked = in.CheckedColor;
  w.Separator = in.SeparatorColor;
  if (in.UseSystemColors) {
    w.SelectFont = in.MenuText;
    w.SelectBorder = in.Highlight;
    w.MenuBar = in.BtnFace;
    w.Checked = in.Highlight;
    if (deep) {
      w.Face = L(in.BtnFace, 86);
      w.IconBack = L(in.BtnFace, 16);
      w.Select = L(in.Highlight, 68);
      w.Disabled = L(in.BtnShadow, 10);
      w.Separator = L(in.BtnShadow, 25);
      w.CheckedArea = L(in.Highlight, 80);
      w.CheckedAreaSelect = L(in.Highlight, 50);
    } else {
      w.Face = kWhite;
      w.IconBack = in.BtnFace;
      w.Select = kWhite;
      w.Disabled = in.BtnShadow;
      w.Separator = in.BtnShadow;
      w.CheckedArea = w.CheckedAreaSelect = kWhite;
    }
  }
  return w;
}

void LightenPixels(plat::Raster& r, int p, Color key) {
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x)
      if (const Color c = r.Pixel(x, y); c != key) r.SetPixel(x, y, Lighten(c, p));
}

void GrayPixels(plat::Raster& r, int level, int lighten, Color key) {
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x)
      if (const Color c = r.Pixel(x, y); c != key) r.SetPixel(x, y, Lighten(Gray(c, level), lighten));
}

}  // namespace xp
