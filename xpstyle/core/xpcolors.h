// The colour rules of the XP-style painter, on plain RGB values (system
// colours are resolved by the caller).
#pragma once
#include <functional>

#include "ui/core/geometry.h"
#include "ui/core/raster.h"

namespace xp {

using Color = plat::Color;

// Lowers red and blue by n and green by n - 2, each clamped to 0..255; a
// negative n lightens.
Color Darken(Color c, int n);
// Moves each channel p percent of the way to 255 (p at most 100), rounding
// halves to even.
Color Lighten(Color c, int p);
// Mean of the channels plus n, at most 240, as a gray.
Color Gray(Color c, int n);

constexpr Color kSilver = plat::RGBColor(192, 192, 192);
constexpr Color kWhite = plat::clWhite;

// What the working colours are computed from: the component's colour
// properties and the system colours, all as RGB.
struct XPColorInputs {
  plat::Color Color = 0;
  plat::Color IconBackColor = 0, MenuBarColor = 0, SelectColor = 0, SelectBorderColor = 0;
  plat::Color SelectFontColor = 0, DisabledColor = 0, SeparatorColor = 0, CheckedColor = 0;
  bool UseSystemColors = true;
  // System colours.
  plat::Color BtnFace = 0, BtnShadow = 0, Highlight = 0, MenuText = 0;
};

struct XPWorkingColors {
  Color Face = 0, IconBack = 0, Select = 0, SelectBorder = 0, SelectFont = 0, MenuBar = 0, Disabled = 0,
        Separator = 0, Checked = 0, CheckedArea = 0, CheckedAreaSelect = 0, MenuBorder = 0, MenuShadow = 0;
  bool Deep = false;
};

// The working colours for a device with more than 15 bits per pixel (deep)
// or not. `nearest` maps a lightened colour to one the device can show.
XPWorkingColors ComputeWorkingColors(const XPColorInputs& in, bool deep,
                                     const std::function<Color(Color)>& nearest = {});

// Glyph effects, pixel by pixel; pixels of the transparent colour `key`
// stay as they are so the picture keeps its see-through parts.
void LightenPixels(plat::Raster& r, int p, Color key);
// Gray(level), then Lighten(lighten).
void GrayPixels(plat::Raster& r, int level, int lighten, Color key);

}  // namespace xp
