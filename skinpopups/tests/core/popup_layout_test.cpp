#include <gtest/gtest.h>

#include "skinpopups/core/popup_layout.h"

using namespace popups;

namespace {

// The default skin's measures: a 40 x 40 popup picture with items inside
// 3,3,37,37 and 100 x 20 items (separators 7 high, text 10..96).
LevelSkin DefaultSkin() {
  LevelSkin s;
  s.HasSkin = true;
  s.PictureWidth = s.PictureHeight = 40;
  s.ItemsRect = Rect{3, 3, 37, 37};
  s.HasItemDef = true;
  s.ItemSkinRect = Rect{0, 0, 100, 20};
  s.TextRect = Rect{10, 0, 96, 20};
  s.DividerRect = Rect{0, 40, 100, 47};
  return s;
}

const Rect kWork{0, 0, 1280, 768};

// n items of height h; `unselectable` lists the separators and disabled ones.
LevelModel Model(int n, int h, Rect items, bool scroll, std::vector<int> unselectable = {}) {
  LevelModel m;
  for (int i = 0; i < n; ++i) {
    bool sel = true;
    for (int u : unselectable) sel = sel && u != i;
    m.Items.push_back(ItemState{h, sel});
  }
  m.ItemsRect = items;
  m.Scroll = scroll;
  m.Layout();
  return m;
}

}  // namespace

TEST(PopupSizing, WidthAddsGlyphColumnArrowGapAndFrame) {
  EXPECT_EQ(LevelWidth(LevelSkin{}, 50, 19), 50 + 19 + 19 + 10);
  // Skinned: text margins 10 + (100 - 96), frame 40 + 3 - 37.
  EXPECT_EQ(LevelWidth(DefaultSkin(), 50, 19), 50 + 19 + 19 + 14 + 6);
}

TEST(PopupSizing, HeightsOfItemsAndSeparators) {
  EXPECT_EQ(ItemHeight(DefaultSkin(), false, 20), 20);
  EXPECT_EQ(ItemHeight(DefaultSkin(), true, 20), 7);
  EXPECT_EQ(ItemHeight(LevelSkin{}, true, 25), 4);
  EXPECT_EQ(ItemHeight(LevelSkin{}, false, 25), 25);
  const LevelSize s = SizeLevel(DefaultSkin(), 50, 19, {20, 7, 20}, 0, 20, 768);
  EXPECT_EQ(s.Height, 47 + 6);
  EXPECT_FALSE(s.Scroll);
  EXPECT_EQ(SizeLevel(LevelSkin{}, 50, 19, {20, 4, 20}, 0, 20, 768).Height, 48);
}

TEST(PopupSizing, ItemLimitGivesFiveItemsMarginAndScrollAreas) {
  const std::vector<int> eight(8, 20);
  const LevelSize s = SizeLevel(DefaultSkin(), 50, 19, eight, 5, 20, 768);
  EXPECT_EQ(s.Height, 5 * 20 + 6 + 20);
  EXPECT_TRUE(s.Scroll);
  EXPECT_TRUE(s.Limit);
  // A limit at or above the item count changes nothing.
  EXPECT_FALSE(SizeLevel(DefaultSkin(), 50, 19, eight, 8, 20, 768).Scroll);
}

TEST(PopupSizing, TallerThanWorkAreaIsCutAndScrolls) {
  const LevelSize s = SizeLevel(DefaultSkin(), 50, 19, std::vector<int>(60, 20), 0, 20, 768);
  EXPECT_EQ(s.Height, 768);
  EXPECT_TRUE(s.Scroll);
  EXPECT_FALSE(s.Limit);
}

TEST(PopupPlacement, BelowThePointWhenItFits) {
  const Placement p = PlaceLevel(Rect{100, 100, 100, 100}, kWork, 120, 200, 3, false, false, false, false);
  EXPECT_EQ(p.X, 100);
  EXPECT_EQ(p.Y, 100);
  EXPECT_FALSE(p.PushedAside);
}

TEST(PopupPlacement, NearBottomInLowerHalfOpensAbove) {
  const Placement p = PlaceLevel(Rect{100, 700, 100, 700}, kWork, 120, 200, 3, false, false, false, false);
  EXPECT_EQ(p.Y, 700 - 200);
  EXPECT_EQ(p.X, 100);
  EXPECT_FALSE(p.PushedAside);
}

TEST(PopupPlacement, UpperHalfWithoutRoomIsPushedToBottomAndBeside) {
  const Placement p = PlaceLevel(Rect{100, 300, 100, 300}, kWork, 120, 500, 3, false, false, false, false);
  EXPECT_EQ(p.Y, 768 - 500);
  EXPECT_TRUE(p.PushedAside);
  EXPECT_EQ(p.X, 101);
  // Beside on the left when the right has no room.
  EXPECT_EQ(PlaceLevel(Rect{1250, 300, 1250, 300}, kWork, 120, 500, 3, false, false, false, false).X, 1250 - 121);
}

TEST(PopupPlacement, PreferAboveTriesAboveFirst) {
  const Rect button{200, 400, 220, 420};
  EXPECT_EQ(PlaceLevel(button, kWork, 120, 200, 3, false, true, false, false).Y, 200);
  // No room above, upper half: below the anchor.
  EXPECT_EQ(PlaceLevel(Rect{200, 50, 220, 70}, kWork, 120, 200, 3, false, true, false, false).Y, 70);
  // No room above, lower half: at the top, beside.
  const Placement p = PlaceLevel(Rect{200, 500, 220, 520}, kWork, 120, 600, 3, false, true, false, false);
  EXPECT_EQ(p.Y, 0);
  EXPECT_TRUE(p.PushedAside);
  EXPECT_EQ(p.X, 221);
}

TEST(PopupPlacement, TopLevelStaysInsideHorizontally) {
  EXPECT_EQ(PlaceLevel(Rect{1200, 10, 1200, 10}, kWork, 120, 100, 3, false, false, false, false).X, 1280 - 120);
  EXPECT_EQ(PlaceLevel(Rect{-30, 10, -30, 10}, kWork, 120, 100, 3, false, false, false, false).X, 0);
}

TEST(PopupPlacement, SubmenuLinesUpWithParentItemOrOpensLeft) {
  const Rect parentItem{300, 200, 420, 220};
  Placement p = PlaceLevel(parentItem, kWork, 150, 100, 3, true, false, false, false);
  EXPECT_EQ(p.Y, 197);
  EXPECT_EQ(p.X, 421);
  p = PlaceLevel(Rect{1100, 200, 1220, 220}, kWork, 150, 100, 3, true, false, false, false);
  EXPECT_EQ(p.X, 1100 - 150 - 1);
  // No room below: lower half aligns the bottom with the parent item.
  p = PlaceLevel(Rect{300, 700, 420, 720}, kWork, 150, 300, 3, true, false, false, false);
  EXPECT_EQ(p.Y, 720 - 300 + 3);
  // Upper half: against the work area's bottom.
  p = PlaceLevel(Rect{300, 300, 420, 320}, kWork, 150, 600, 3, true, false, false, false);
  EXPECT_EQ(p.Y, 768 - 600);
}

TEST(PopupPlacement, LevelFillingTheHeightSitsAtTopBesideAnchor) {
  const Placement p = PlaceLevel(Rect{100, 400, 100, 400}, kWork, 120, 768, 3, false, false, true, false);
  EXPECT_EQ(p.Y, 0);
  EXPECT_EQ(p.X, 101);
  // A level scrolling only by the item limit is placed by the normal rules.
  const Placement q = PlaceLevel(Rect{100, 400, 100, 400}, kWork, 120, 126, 3, false, false, true, true);
  EXPECT_EQ(q.Y, 400);
  EXPECT_EQ(q.X, 100);
}

TEST(PopupLayout, ScrollAreasKeepItemsAwayFromEdges) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 3 + 106}, true);
  EXPECT_EQ(m.Rects[0].Top, 13);
  // 13 + 4 * 20 = 93 <= 99; the fifth ends at 113 > 99.
  EXPECT_EQ(m.VisibleCount, 4);
  EXPECT_EQ(m.LastShown(), 3);
  EXPECT_FALSE(m.Shown[4]);
  const LevelModel plain = Model(3, 20, Rect{2, 2, 98, 62}, false);
  EXPECT_EQ(plain.VisibleCount, 3);
  EXPECT_EQ(plain.Rects[2], (Rect{2, 42, 98, 62}));
}

TEST(PopupLayout, HitTestOnlyShownItemsAndNotTheFrame) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 109}, true);
  EXPECT_EQ(m.HitTest(Point{50, 14}), 0);
  EXPECT_EQ(m.HitTest(Point{50, 5}), -1);    // top scroll area
  EXPECT_EQ(m.HitTest(Point{1, 20}), -1);    // frame
  EXPECT_EQ(m.HitTest(Point{50, 100}), -1);  // the hidden fifth item's place
}

TEST(PopupScrolling, ByOneUntilTheEndThenWrapOnlyWhenAsked) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 109}, true);
  EXPECT_FALSE(m.ScrollByOne(false, false));
  int steps = 0;
  while (m.ScrollByOne(true, false)) ++steps;
  EXPECT_EQ(steps, 6);
  EXPECT_EQ(m.LastShown(), 9);
  EXPECT_TRUE(m.ScrollByOne(true, true));
  EXPECT_EQ(m.FirstVisible, 0);
  // Up from the top with wrap shows the last items.
  EXPECT_TRUE(m.ScrollByOne(false, true));
  EXPECT_EQ(m.LastShown(), 9);
}

TEST(PopupKeys, DownSkipsUnselectableAndStopsAtTheLastItem) {
  LevelModel m = Model(6, 20, Rect{2, 2, 98, 122}, false, {0, 2, 3});
  EXPECT_EQ(m.FirstSelectable(), 1);
  EXPECT_EQ(m.KeyDown(-1, false), 1);
  EXPECT_EQ(m.KeyDown(1, false), 4);
  EXPECT_EQ(m.KeyDown(4, false), 5);
  EXPECT_EQ(m.KeyDown(5, false), 5);  // no wrap
  EXPECT_EQ(m.KeyUp(5, false), 4);
  EXPECT_EQ(m.KeyUp(4, false), 1);
  EXPECT_EQ(m.KeyUp(1, false), 1);
  EXPECT_EQ(m.KeyUp(-1, false), 5);
}

TEST(PopupKeys, NothingSelectableKeepsNoneActive) {
  LevelModel m = Model(3, 20, Rect{2, 2, 98, 62}, false, {0, 1, 2});
  EXPECT_EQ(m.FirstSelectable(), -1);
  EXPECT_EQ(m.KeyDown(-1, false), -1);
  EXPECT_EQ(m.KeyUp(-1, false), -1);
  LevelModel empty;
  empty.Layout();
  EXPECT_EQ(empty.KeyDown(-1, false), -1);
}

TEST(PopupKeys, DownScrollsTheViewAlongAndWrapsTheViewAtTheLastShown) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 109}, true, {5});
  int active = 0;
  for (int i = 0; i < 4; ++i) active = m.KeyDown(active, false);
  // 0 -> 1 -> 2 -> 3 -> 4, the view following.
  EXPECT_EQ(active, 4);
  EXPECT_TRUE(m.Shown[4]);
  active = m.KeyDown(active, false);  // skips the separator at 5
  EXPECT_EQ(active, 6);
  EXPECT_TRUE(m.Shown[6]);
  while (active != 9) active = m.KeyDown(active, false);
  EXPECT_EQ(m.LastShown(), 9);
  // On the last shown item, which is the last item: the view wraps to the
  // top and the highlight goes along, to the first item it shows.
  active = m.KeyDown(9, false);
  EXPECT_EQ(m.FirstVisible, 0);
  EXPECT_EQ(active, 0);
  EXPECT_TRUE(m.Shown[static_cast<size_t>(active)]) << "the highlighted item is one the user can see";
  // The same when the first items cannot take the highlight.
  LevelModel s = Model(10, 20, Rect{3, 3, 97, 109}, true, {0, 1});
  while (s.ScrollByOne(true, false)) {
  }
  active = s.KeyDown(9, false);
  EXPECT_EQ(active, 2);
  EXPECT_TRUE(s.Shown[2]);
  // While the pointer scrolls, the key does not scroll the view first.
  LevelModel n = Model(10, 20, Rect{3, 3, 97, 109}, true);
  EXPECT_EQ(n.KeyDown(3, true), 4);
  EXPECT_EQ(n.FirstVisible, 1);
}

TEST(PopupKeys, UpOnTheFirstItemWrapsTheViewAndTheHighlightToTheEnd) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 109}, true, {9});
  const int active = m.KeyUp(0, false);
  EXPECT_EQ(m.LastShown(), 9);
  EXPECT_EQ(active, 8) << "the last item that can take the highlight";
  EXPECT_TRUE(m.Shown[8]);
}

TEST(PopupScrolling, UpWrapShowsTheLastItemWhateverTheItemsTop) {
  // The wrap's start must count from where the layout puts the first item;
  // counted from 10 alone, some heights leave the last item cut off.
  for (int top : {2, 3, 7}) {
    for (int bottom = 100; bottom < 140; ++bottom) {
      LevelModel m = Model(12, 20, Rect{3, top, 97, bottom}, true);
      ASSERT_TRUE(m.ScrollByOne(false, true));
      EXPECT_EQ(m.LastShown(), 11) << "items " << top << ".." << bottom;
      // And no further back than needed: one more item would not fit.
      const int used = m.Rects[11].Bottom - m.Rects[static_cast<size_t>(m.FirstVisible)].Top;
      EXPECT_GT(used + 20, bottom - top - 20) << "items " << top << ".." << bottom;
    }
  }
}

TEST(PopupKeys, UpScrollsBackIntoView) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 109}, true);
  while (m.ScrollByOne(true, false)) {
  }
  EXPECT_EQ(m.FirstVisible, 6);
  int active = m.KeyUp(9, false);
  EXPECT_EQ(active, 8);
  for (int i = 0; i < 4; ++i) active = m.KeyUp(active, false);
  EXPECT_EQ(active, 4);
  EXPECT_TRUE(m.Shown[4]);
}

TEST(PopupHint, SkinnedHintIsAtLeastThePicture) {
  HintSkin s;
  s.HasSkin = true;
  s.PictureWidth = 37;
  s.PictureHeight = 20;
  s.ClientRect = Rect{6, 3, 31, 17};
  s.LT = Point{6, 3};
  s.RT = Point{31, 3};
  s.LB = Point{6, 17};
  s.RB = Point{31, 17};
  HintGeometry g = SizeHint(s, 5, 5);
  EXPECT_EQ(g.Width, 37);
  EXPECT_EQ(g.Height, 20);
  g = SizeHint(s, 100, 16);
  EXPECT_EQ(g.Width, 100 + 6 + 37 - 31);
  EXPECT_EQ(g.Height, 16 + 3 + 20 - 17);
  EXPECT_EQ(g.Client, (Rect{6, 3, 31 + g.Width - 37, 17 + g.Height - 20}));
  EXPECT_EQ(g.NRB, (Point{31 + g.Width - 37, 17 + g.Height - 20}));
  const HintGeometry plain = SizeHint(HintSkin{}, 100, 16);
  EXPECT_EQ(plain.Width, 104);
  EXPECT_EQ(plain.Height, 20);
}

TEST(PopupHint, PlacedBackFromTheScreenEdges) {
  EXPECT_EQ(PlaceHint(Point{100, 100}, 80, 20, 1280, 1024), (Rect{100, 100, 180, 120}));
  EXPECT_EQ(PlaceHint(Point{1250, 100}, 80, 20, 1280, 1024), (Rect{1250 - 82, 100, 1250 - 2, 120}));
  EXPECT_EQ(PlaceHint(Point{100, 1015}, 80, 20, 1280, 1024), (Rect{100, 1015 - 22, 180, 1015 - 2}));
}

TEST(PopupFade, StepsOfTenUpToTheValue) {
  const std::vector<int> s = FadeSteps(150);
  ASSERT_EQ(s.size(), 16u);
  EXPECT_EQ(s.front(), 0);
  EXPECT_EQ(s[1], 10);
  EXPECT_EQ(s.back(), 150);
  EXPECT_EQ(FadeSteps(155).back(), 155);
  EXPECT_EQ(FadeSteps(155)[15], 150);
  EXPECT_EQ(FadeSteps(0), std::vector<int>{0});
}

namespace {
// A 32 x 64 monochrome cursor mask, bottom-up: the AND image on top.
std::vector<unsigned char> MonoMask(int opaqueRowsFromTop, bool andOpaque) {
  const int row = 4, w = 32, h = 64;
  std::vector<unsigned char> bits(static_cast<size_t>(row * h), 0);
  for (int y = 0; y < h; ++y) {
    const int fromTop = h - 1 - y;  // memory row y is image row h-1-y
    unsigned char* r = bits.data() + y * row;
    if (fromTop < w) {
      const bool opaque = andOpaque && fromTop < opaqueRowsFromTop;
      std::fill(r, r + row, opaque ? 0x00 : 0xFF);
    } else {
      const bool ink = !andOpaque && fromTop - w < opaqueRowsFromTop;
      std::fill(r, r + row, ink ? 0xFF : 0x00);
    }
  }
  return bits;
}
}  // namespace

TEST(PopupHint, PointerHeightFromItsMask) {
  EXPECT_EQ(CursorHeightFromMask(MonoMask(19, true), 32, 64, 0, 32), 19);
  EXPECT_EQ(CursorHeightFromMask(MonoMask(19, true), 32, 64, 4, 32), 15);
  // Everything transparent in the AND image: the colour image counts.
  EXPECT_EQ(CursorHeightFromMask(MonoMask(12, false), 32, 64, 0, 32), 12);
  // Unusable masks give the system height.
  EXPECT_EQ(CursorHeightFromMask({}, 32, 64, 0, 32), 32);
  EXPECT_EQ(CursorHeightFromMask(MonoMask(19, true), 0, 64, 0, 32), 32);
}
