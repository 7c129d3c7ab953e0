// The default skin's generator: the palette, the pictures it draws and the
// skin.ini that describes them. Each picture has its own file: frame.cpp (the
// window frame and backgrounds), popups.cpp (popup menu and hint windows),
// controls.cpp (the control images), skin_ini.cpp (the definitions).
//
// The look: a light blue-grey caption band with a soft vertical gradient, a
// thin slate outline following the rounded window shape, and small slate
// caption buttons (a muted red close button) with white glyphs.
#pragma once
#include <string>
#include <vector>

#include "skin/core/vpUtils.h"
#include "ui/core/raster.h"

namespace skingen {

using plat::Color;
using plat::Raster;
using plat::Rect;
using skin::Point;

constexpr Color Rgb(int r, int g, int b) { return plat::RGBColor(r, g, b); }
// `t` of the way from `a` to `b`, each channel rounded.
Color Mix(Color a, Color b, double t);

// --- Shared drawing helpers ---

struct ButtonColors {
  Color border, top, bottom, light;
};
void Gradient(Raster& r, Rect box, Color top, Color bottom);
// A button face: 1-pixel border with the corner pixels cut (they show what
// lies beneath), a lighter first inner row, a vertical gradient.
void ButtonFace(Raster& r, Rect b, const ButtonColors& c);
void Dot(Raster& r, int x, int y, Color c);
void HLine(Raster& r, int x1, int x2, int y, Color c);
bool InsideCircle(int px, int py, double cx, double cy, double radius);
bool InsideRounded(int x, int y, int w, int h, double radius);
// A rounded panel: outline on the shape's edge, fill inside, `outside`
// where the shape does not reach.
void RoundedPanel(Raster& r, Rect b, double radius, Color line, Color fill, Color outside);
// Black inside a rounded rectangle of w x h, white outside.
Raster MaskOf(int w, int h, double radius);

// --- The window frame (frame.cpp) ---

constexpr int kW = 146, kH = 82;  // main.bmp
const Color kClient = Rgb(238, 241, 245);  // client background
// Where the main picture is cut: corners, client and mask areas.
struct FrameCut {
  Point LeftTop, RightTop, LeftBottom, RightBottom;
  Rect ClientRect, MaskRectArea;
};
const FrameCut kFrame{{68, 31}, {137, 32}, {9, 68}, {137, 70}, Rect{5, 29, 141, 74}, Rect{5, 5, 141, 78}};
// The caption buttons at their places in the main picture.
extern const Rect kClose, kRollUp, kMax, kMin, kSysMenu;
Raster DrawMain();
Raster DrawMask();
Raster DrawActive();
Raster DrawBackground(int size, Color base, int strength);

// --- Popup menu and hint windows (popups.cpp) ---

constexpr int kPwSize = 40;  // pw.bmp is kPwSize x kPwSize
Raster DrawPopupWindow();
Raster DrawMenuItems();
Raster DrawHintWindow();

// --- Control images (controls.cpp) ---

const Color kCtlBack = Rgb(236, 240, 245);
const Color kCtlLine = Rgb(130, 148, 174);
Raster DrawControls();
// The place of a named image in controls.bmp (after DrawControls).
Rect A(const std::string& name);
// Exits with a message unless every image has its own place.
void CheckAtlas();
// A mask as large as controls.bmp: black on the named images' shapes.
Raster ControlsMask(const std::vector<std::string>& names, double radius);

// --- skin.ini (skin_ini.cpp) ---

// The picture indexes of [PICTURES].
enum { kActive = 0, kControls, kPw, kPwMask, kMenuItems, kHsTbMask, kVsTbMask, kHw, kBg, kButtonMask, kMdiBg };
std::string SkinIni();

}  // namespace skingen
