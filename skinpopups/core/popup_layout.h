// The arithmetic of skinned popup menus, free of the platform: a level's
// size, the layout of its items with the scroll areas, its place against the
// anchor and the work area, scrolling by one item, and the arrow-key rules.
// The Win32 side measures texts and hands in the numbers.
#pragma once
#include <vector>

#include "ui/core/geometry.h"

namespace popups {

using plat::Point;
using plat::Rect;

// Height of a scroll area above and below the items of a scrolling level.
constexpr int kScrollAreaHeight = 10;

// What the skin says about a level's measures. Without a popup window
// definition (HasSkin false) the level has the plain look and a 2-pixel frame.
struct LevelSkin {
  bool HasSkin = false;
  int PictureWidth = 0, PictureHeight = 0;
  Rect ItemsRect;  // "itemsrect" in picture coordinates
  // The menu item definition, when the skin has one.
  bool HasItemDef = false;
  Rect ItemSkinRect;  // "skinrect"
  Rect TextRect;      // "textrect"
  Rect DividerRect;   // "dividerrect"
};

// Height of one item: separators as high as "dividerrect", others as
// "skinrect"; without an item definition 4 and the default item height.
int ItemHeight(const LevelSkin& skin, bool separator, int defItemHeight);

// Width from the widest measured item text (shortcut, two spaces, caption).
int LevelWidth(const LevelSkin& skin, int widestText, int glyphWidth);

struct LevelSize {
  int Width = 0, Height = 0;
  bool Scroll = false;  // the level shows scroll areas
  bool Limit = false;   // scrolling comes from the item limit, not the work area
};
// maxItemsInWindow 0 means no limit.
LevelSize SizeLevel(const LevelSkin& skin, int widestText, int glyphWidth, const std::vector<int>& itemHeights,
                    int maxItemsInWindow, int defItemHeight, int workAreaHeight);

// The items rectangle of a window of size W x H.
Rect ItemsRectFor(const LevelSkin& skin, int width, int height);

struct Placement {
  int X = 0, Y = 0;
  bool PushedAside = false;
};
// The level's top-left against the anchor (screen rectangle; zero size for a
// point) inside the work area. itemsTop lines a submenu's first item up with
// its parent item.
Placement PlaceLevel(const Rect& anchor, const Rect& workArea, int width, int height, int itemsTop, bool subMenu,
                     bool preferAbove, bool scroll, bool limit);

// One level's items as layout and keyboard see them.
struct ItemState {
  int Height = 0;
  bool Selectable = false;  // enabled and not a separator
};

// The items of one level: layout inside the items rectangle, scrolling and
// the arrow keys. Indexes are item indexes; -1 is none.
class LevelModel {
 public:
  std::vector<ItemState> Items;
  Rect ItemsRect;
  bool Scroll = false;
  int FirstVisible = 0;

  // Results of Layout.
  std::vector<Rect> Rects;
  std::vector<bool> Shown;
  int VisibleCount = 0;

  int Count() const { return static_cast<int>(Items.size()); }
  void Layout();
  int FirstShown() const;
  int LastShown() const;
  bool CanScrollUp() const { return Scroll && FirstVisible > 0; }
  bool CanScrollDown() const { return Scroll && LastShown() >= 0 && LastShown() < Count() - 1; }
  // Moves the view one item; with wrap, past the end to the other end.
  // Returns whether the view changed (it is laid out again then).
  bool ScrollByOne(bool down, bool wrap);

  // The first shown item whose rectangle holds the point, or -1.
  int HitTest(Point p) const;
  int FirstSelectable() const;
  // The arrow keys: the next selectable item below / above `active`,
  // scrolling the view along; no wrap past the ends. `autoScrolling` is set
  // while the pointer scrolls the level. Returns the new active index.
  int KeyDown(int active, bool autoScrolling);
  int KeyUp(int active, bool autoScrolling);

  // The two scroll areas of the items rectangle.
  Rect TopScrollArea() const;
  Rect BottomScrollArea() const;
};

// ------------------------------------------------------------ hints

struct HintSkin {
  bool HasSkin = false;
  int PictureWidth = 0, PictureHeight = 0;
  Rect ClientRect;
  Point LT, RT, LB, RB;
};

struct HintGeometry {
  int Width = 0, Height = 0;
  Rect Client;
  Point NLT, NRT, NLB, NRB;
};
// The hint's size for a text of textWidth x textHeight.
HintGeometry SizeHint(const HintSkin& skin, int textWidth, int textHeight);
// Bounds at `at`, moved left by W + 2 past the screen's right edge and up
// by H + 2 past its bottom.
Rect PlaceHint(Point at, int width, int height, int screenWidth, int screenHeight);

// The opacities of a fading first level: 0, 10, 20, ... up to `target`.
std::vector<int> FadeSteps(int target);

// The pointer's visible height below its hot spot from its AND mask, as the
// bits of a 1-bit bottom-up bitmap (rows of ((width + 31) / 32) * 4 bytes).
// Returns fallback when the mask cannot be used.
int CursorHeightFromMask(const std::vector<unsigned char>& bits, int width, int height, int hotSpotY, int fallback);

}  // namespace popups
