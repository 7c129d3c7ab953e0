// Layout arithmetic of the skinned window frame: where the frame's corner
// points, client area and caption objects go when the window is not the size
// of the skin picture, how the caption buttons line up in a row, where the
// caption text sits, and the small state steps of hover, morph and animation.
// Portable so that it is tested natively; the frame itself is in skinform/win.
#pragma once
#include <functional>
#include <string>
#include <vector>

#include "ui/core/geometry.h"

namespace skinform {

using plat::Point;
using plat::Rect;

// Caption commands as the skin numbers them.
enum Command : int { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };

// The skin's frame values ([FORMINFO]) and its main picture's size.
struct FrameSkin {
  int PictureWidth = 0, PictureHeight = 0;
  Point LT, RT, LB, RB;  // lefttoppoint, righttoppoint, leftbottompoint, rightbottompoint
  Rect ClientRect, CaptionRect, ButtonsRect, MaskRectArea;
  Point HitTestLT, HitTestRT, HitTestLB, HitTestRB;
  int ButtonsOffset = 0;
  bool ButtonsInLeft = false;
};

// The frame laid out for a window of FormWidth x FormHeight.
struct FrameGeometry {
  int FormWidth = 0, FormHeight = 0;
  int dx = 0, dy = 0;  // window size minus picture size
  Point NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint;
  Rect NewClientRect, NewCaptionRect, NewButtonsRect, NewMaskRectArea;
  Point NewHitTestLT, NewHitTestRT, NewHitTestLB, NewHitTestRB;
  int ButtonsOffset = 0;
  bool ButtonsInLeft = false;
};

FrameGeometry CalcFrameGeometry(const FrameSkin& s, int formWidth, int formHeight);

// The client rectangle inside a proposed window rectangle: the skin's border
// widths taken off each side, never crossing.
Rect SkinClientFromWindow(const FrameSkin& s, const Rect& window);
// The plain frame used while no skin is loaded: 3 pixels, plus the caption.
Rect DefaultClientFromWindow(const Rect& window, int captionHeight);

// Where a caption object with `skinRect` (in picture coordinates) sits on a
// window dx, dy larger than the picture, by the picture's corner regions.
Rect PlaceByCorners(const FrameSkin& s, const Rect& skinRect, int dx, int dy);

// One caption object as the buttons row sees it.
struct RowObject {
  bool IsCaption = false;
  bool InRow = false;  // a visible button or animate object with its image in an active picture
  int Command = cmDefault;
  int Width = 0, Height = 0;  // the size it takes in the row
  Rect ObjectRect;
};
// Lines the buttons up along the skin's buttons rect (or its caption rect)
// and shortens the caption object next to them. Nothing happens when both
// rects are empty.
void LayoutButtonsRow(const FrameGeometry& g, std::vector<RowObject>& objects);

// The plain frame's caption and buttons: buttons right to left from the
// window's right edge (close, maximize, minimize, roll-up, tray), the system
// menu button at the caption's left. `visible[cmd]` says which exist.
struct DefaultFrameLayout {
  Rect Caption;
  Rect Buttons[7];  // by command; empty when not visible
};
DefaultFrameLayout LayoutDefaultFrame(int formWidth, int captionHeight, int buttonSize, const bool visible[7],
                                      int sysMenuWidth);

// The caption text rectangle, relative to the caption object: the skin's text
// rect widened with the object, moved into the text frame when there is one.
Rect CaptionTextRect(const Rect& textRect, int objectWidth, int skinWidth, const Rect& frameRect,
                     const Rect& frameTextRect);
// Top-left of a text of textWidth x textHeight in `r`: vertically centred,
// aligned left (0), right (1) or centred (2).
Point PlaceText(const Rect& r, int textWidth, int textHeight, int alignment);

// Shortens `text` to `width` by the measure, ending it in "..."; a text that
// fits is returned as it is, and when not even one character fits with the
// dots, just "...".
std::wstring FitText(const std::wstring& text, int width, const std::function<int(const std::wstring&)>& measure);

// Hover hit: the first object that is enabled and visible and contains the
// point (right and bottom edges excluded); -1 when none.
struct HitObject {
  Rect ObjectRect;
  bool Enabled = true, Visible = true;
};
int FindObjectAt(const std::vector<HitObject>& objects, int x, int y);

// One 25 ms morph step toward the highlighted (1) or normal (0) look.
double MorphStep(double factor, bool highlighted);
bool MorphPending(double factor, bool highlighted);

// Frame n (from 1) of an animation strip of `count` frames stacked
// vertically or side by side.
Rect StripFrame(const Rect& strip, int count, int n, bool vertical);

}  // namespace skinform
