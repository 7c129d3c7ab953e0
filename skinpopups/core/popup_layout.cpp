#include "skinpopups/core/popup_layout.h"

#include <algorithm>

namespace popups {

int ItemHeight(const LevelSkin& skin, bool separator, int defItemHeight) {
  if (skin.HasSkin && skin.HasItemDef) return separator ? skin.DividerRect.Height() : skin.ItemSkinRect.Height();
  return separator ? 4 : defItemHeight;
}

namespace {

// What the frame adds to the items' own width and height.
int SkinWidthMargin(const LevelSkin& s) {
  int m = s.PictureWidth + s.ItemsRect.Left - s.ItemsRect.Right;
  if (s.HasItemDef) m += s.TextRect.Left + (s.ItemSkinRect.Width() - s.TextRect.Right);
  return m;
}
int SkinHeightMargin(const LevelSkin& s) { return s.PictureHeight + s.ItemsRect.Top - s.ItemsRect.Bottom; }

}  // namespace

int LevelWidth(const LevelSkin& skin, int widestText, int glyphWidth) {
  const int w = widestText + glyphWidth + 19;
  return skin.HasSkin ? w + SkinWidthMargin(skin) : w + 10;
}

LevelSize SizeLevel(const LevelSkin& skin, int widestText, int glyphWidth, const std::vector<int>& itemHeights,
                    int maxItemsInWindow, int defItemHeight, int workAreaHeight) {
  LevelSize s;
  s.Width = LevelWidth(skin, widestText, glyphWidth);
  const int margin = skin.HasSkin ? SkinHeightMargin(skin) : 4;
  int sum = 0;
  for (int h : itemHeights) sum += h;
  s.Height = sum + margin;
  if (maxItemsInWindow > 0 && maxItemsInWindow < static_cast<int>(itemHeights.size())) {
    s.Height = maxItemsInWindow * ItemHeight(skin, false, defItemHeight) + margin + 2 * kScrollAreaHeight;
    s.Scroll = s.Limit = true;
  }
  if (s.Height > workAreaHeight) {
    s.Height = workAreaHeight;
    s.Scroll = true;
  }
  return s;
}

Rect ItemsRectFor(const LevelSkin& skin, int width, int height) {
  if (!skin.HasSkin) return Rect{2, 2, width - 2, height - 2};
  const Rect& r = skin.ItemsRect;
  return Rect{r.Left, r.Top, width + r.Right - skin.PictureWidth, height + r.Bottom - skin.PictureHeight};
}

Placement PlaceLevel(const Rect& a, const Rect& w, int width, int height, int itemsTop, bool subMenu,
                     bool preferAbove, bool scroll, bool limit) {
  Placement p;
  const int mid = w.Top + (w.Bottom - w.Top) / 2;
  const bool fillsHeight = scroll && !limit;
  if (fillsHeight) {
    p.Y = w.Top;
  } else if (subMenu) {
    if (a.Top + height - itemsTop <= w.Bottom)
      p.Y = a.Top - itemsTop;
    else if (a.Top < mid)
      p.Y = w.Bottom - height;
    else
      p.Y = std::max(a.Bottom - height + itemsTop, w.Top);
  } else if (preferAbove) {
    if (a.Top - height >= w.Top) {
      p.Y = a.Top - height;
    } else if (a.Top < mid) {
      if (a.Bottom + height <= w.Bottom) {
        p.Y = a.Bottom;
      } else {
        p.Y = w.Bottom - height;
        p.PushedAside = true;
      }
    } else {
      p.Y = w.Top;
      p.PushedAside = true;
    }
  } else {
    if (a.Bottom + height <= w.Bottom) {
      p.Y = a.Bottom;
    } else if (a.Top < mid) {
      p.Y = w.Bottom - height;
      p.PushedAside = true;
    } else if (a.Top - height >= w.Top) {
      p.Y = a.Top - height;
    } else {
      p.Y = w.Top;
      p.PushedAside = true;
    }
  }
  if (fillsHeight || subMenu || p.PushedAside) {
    p.X = (a.Right + 1 + width <= w.Right) ? a.Right + 1 : a.Left - width - 1;
  } else {
    p.X = a.Left;
    if (a.Left + width > w.Right)
      p.X = w.Right - width;
    else if (a.Left < w.Left)
      p.X = w.Left;
  }
  return p;
}

// ------------------------------------------------------------ LevelModel

void LevelModel::Layout() {
  const int n = Count();
  Rects.assign(static_cast<size_t>(n), Rect{});
  Shown.assign(static_cast<size_t>(n), false);
  VisibleCount = 0;
  FirstVisible = std::clamp(FirstVisible, 0, std::max(0, n - 1));
  int top = ItemsRect.Top + (Scroll ? kScrollAreaHeight : 0);
  const int limit = ItemsRect.Bottom - (Scroll ? kScrollAreaHeight : 0);
  for (int i = FirstVisible; i < n; ++i) {
    Rect& r = Rects[static_cast<size_t>(i)];
    r = Rect{ItemsRect.Left, top, ItemsRect.Right, top + Items[static_cast<size_t>(i)].Height};
    top = r.Bottom;
    if (r.Bottom > limit) break;
    Shown[static_cast<size_t>(i)] = true;
    ++VisibleCount;
  }
}

int LevelModel::FirstShown() const {
  for (int i = 0; i < Count(); ++i)
    if (Shown[static_cast<size_t>(i)]) return i;
  return -1;
}

int LevelModel::LastShown() const {
  for (int i = Count() - 1; i >= 0; --i)
    if (Shown[static_cast<size_t>(i)]) return i;
  return -1;
}

bool LevelModel::ScrollByOne(bool down, bool wrap) {
  const int before = FirstVisible;
  if (!down) {
    if (FirstVisible > 0) {
      --FirstVisible;
    } else if (wrap) {
      // The start that shows the last items, counted from where Layout puts
      // the first one: the items' top plus the scroll area.
      int y = ItemsRect.Top + kScrollAreaHeight;
      int i = Count() - 1;
      while (i >= 0 && y + Items[static_cast<size_t>(i)].Height <= ItemsRect.Bottom - kScrollAreaHeight) {
        y += Items[static_cast<size_t>(i)].Height;
        --i;
      }
      FirstVisible = std::max(0, i + 1);
    }
  } else {
    const int last = LastShown();
    if (last >= 0 && last < Count() - 1)
      ++FirstVisible;
    else if (wrap)
      FirstVisible = 0;
  }
  if (FirstVisible == before) return false;
  Layout();
  return true;
}

int LevelModel::HitTest(Point p) const {
  for (int i = 0; i < Count(); ++i)
    if (Shown[static_cast<size_t>(i)] && Rects[static_cast<size_t>(i)].Contains(p.X, p.Y)) return i;
  return -1;
}

int LevelModel::FirstSelectable() const {
  for (int i = 0; i < Count(); ++i)
    if (Items[static_cast<size_t>(i)].Selectable) return i;
  return -1;
}

int LevelModel::KeyDown(int active, bool autoScrolling) {
  const int n = Count();
  if (n == 0) return active;
  int from = active < 0 ? 0 : active + 1;
  if (Scroll && !autoScrolling && active >= 0 && active == LastShown()) {
    // Past the last item the view wraps round to the top, and the search
    // starts again there: the highlight goes where the user looks.
    const bool wrapped = active == n - 1;
    ScrollByOne(true, true);
    if (wrapped) from = 0;
  }
  for (int i = from; i < n; ++i) {
    // Bring the item into view before taking it.
    while (Scroll && i > LastShown() && ScrollByOne(true, false)) {
    }
    if (Items[static_cast<size_t>(i)].Selectable) return i;
  }
  return active;
}

int LevelModel::KeyUp(int active, bool autoScrolling) {
  const int n = Count();
  if (n == 0) return active;
  int from = active < 0 ? n - 1 : active - 1;
  if (Scroll && !autoScrolling && active >= 0 && active == FirstShown()) {
    const bool wrapped = active == 0;
    ScrollByOne(false, true);
    if (wrapped) from = n - 1;
  }
  for (int i = from; i >= 0; --i) {
    while (Scroll && i < FirstShown() && ScrollByOne(false, false)) {
    }
    if (Items[static_cast<size_t>(i)].Selectable) return i;
  }
  return active;
}

Rect LevelModel::TopScrollArea() const {
  return Rect{ItemsRect.Left, ItemsRect.Top, ItemsRect.Right, ItemsRect.Top + kScrollAreaHeight};
}
Rect LevelModel::BottomScrollArea() const {
  return Rect{ItemsRect.Left, ItemsRect.Bottom - kScrollAreaHeight, ItemsRect.Right, ItemsRect.Bottom};
}

// ------------------------------------------------------------ hints

HintGeometry SizeHint(const HintSkin& s, int textWidth, int textHeight) {
  HintGeometry g;
  if (!s.HasSkin) {
    g.Width = textWidth + 4;
    g.Height = textHeight + 4;
    g.Client = Rect{2, 2, g.Width - 2, g.Height - 2};
    return g;
  }
  const Rect& cr = s.ClientRect;
  g.Width = std::max(textWidth + cr.Left + s.PictureWidth - cr.Right, s.PictureWidth);
  g.Height = std::max(textHeight + cr.Top + s.PictureHeight - cr.Bottom, s.PictureHeight);
  const int dx = g.Width - s.PictureWidth, dy = g.Height - s.PictureHeight;
  g.Client = Rect{cr.Left, cr.Top, cr.Right + dx, cr.Bottom + dy};
  g.NLT = s.LT;
  g.NRT = Point{s.RT.X + dx, s.RT.Y};
  g.NLB = Point{s.LB.X, s.LB.Y + dy};
  g.NRB = Point{s.RB.X + dx, s.RB.Y + dy};
  return g;
}

Rect PlaceHint(Point at, int width, int height, int screenWidth, int screenHeight) {
  Rect r{at.X, at.Y, at.X + width, at.Y + height};
  if (r.Right > screenWidth) {
    r.Left -= width + 2;
    r.Right -= width + 2;
  }
  if (r.Bottom > screenHeight) {
    r.Top -= height + 2;
    r.Bottom -= height + 2;
  }
  return r;
}

std::vector<int> FadeSteps(int target) {
  std::vector<int> steps{0};
  for (int a = 0; a < target;) {
    a = std::min(a + 10, target);
    steps.push_back(a);
  }
  return steps;
}

int CursorHeightFromMask(const std::vector<unsigned char>& bits, int width, int height, int hotSpotY, int fallback) {
  if (width <= 0 || height < width) return fallback;
  const size_t row = static_cast<size_t>((width + 31) / 32) * 4;
  const size_t square = row * static_cast<size_t>(width);
  if (bits.size() < row * static_cast<size_t>(height) || square == 0) return fallback;
  // Bottom-up rows: the last `width` rows in memory are the top square.
  auto countFrom = [&](size_t start, unsigned char blank) -> long {
    for (size_t i = 0; i < square; ++i)
      if (bits[start + i] != blank) return static_cast<long>(square - i);
    return -1;
  };
  const size_t top = row * static_cast<size_t>(height) - square;
  long count = countFrom(top, 0xFF);
  // A monochrome cursor keeps its colour image in the square before.
  if (count < 0 && height >= 2 * width) count = countFrom(top - square, 0x00);
  if (count < 0) return fallback;
  return static_cast<int>(count / static_cast<long>(row)) - hotSpotY;
}

}  // namespace popups
