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

TEST(PopupSizing, ItemsRectFollowsALevelWiderTallerOrBothThanItsPicture) {
  LevelSkin s = DefaultSkin();
  s.PictureHeight = 30;  // 40 x 30, items inside 3,3,37,27
  s.ItemsRect = Rect{3, 3, 37, 27};
  EXPECT_EQ(ItemsRectFor(s, 40, 30), (Rect{3, 3, 37, 27}));
  EXPECT_EQ(ItemsRectFor(s, 140, 30), (Rect{3, 3, 137, 27}));
  EXPECT_EQ(ItemsRectFor(s, 40, 90), (Rect{3, 3, 37, 87}));
  EXPECT_EQ(ItemsRectFor(s, 140, 90), (Rect{3, 3, 137, 87}));
  EXPECT_EQ(ItemsRectFor(LevelSkin{}, 140, 90), (Rect{2, 2, 138, 88}));
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
  // 38 items and the 6-pixel frame: exactly the work area's height still
  // fits; a pixel less of work area does not.
  const std::vector<int> items(38, 20);
  EXPECT_FALSE(SizeLevel(DefaultSkin(), 50, 19, items, 0, 20, 766).Scroll);
  EXPECT_EQ(SizeLevel(DefaultSkin(), 50, 19, items, 0, 20, 766).Height, 766);
  EXPECT_TRUE(SizeLevel(DefaultSkin(), 50, 19, items, 0, 20, 765).Scroll);
  EXPECT_EQ(SizeLevel(DefaultSkin(), 50, 19, items, 0, 20, 765).Height, 765);
  // A limit one below the item count scrolls.
  EXPECT_TRUE(SizeLevel(DefaultSkin(), 50, 19, items, 37, 20, 2000).Limit);
}

namespace {

// A work area that starts neither at 0 nor at the screen's middle, so that
// its own edges and its middle (40 + 768 / 2 = 424) count.
const Rect kArea{100, 40, 1380, 808};

Rect At(int x, int y) { return Rect{x, y, x, y}; }

struct Where {
  int X, Y;
  bool Aside;
};
void ExpectPlaced(const Placement& p, Where w) {
  EXPECT_EQ(p.X, w.X);
  EXPECT_EQ(p.Y, w.Y);
  EXPECT_EQ(p.PushedAside, w.Aside);
}

// A top level of 120 x h at a point.
Placement AtPoint(int x, int y, int h) { return PlaceLevel(At(x, y), kArea, 120, h, 3, false, false, false, false); }

}  // namespace

// Each rule of a top level's place, at the last pixel it still holds and at
// the first one it does not.
TEST(PopupPlacement, TopLevelBelowAboveOrPushedToTheLastPixel) {
  ExpectPlaced(AtPoint(300, 608, 200), {300, 608, false});  // ends on the bottom edge: below
  ExpectPlaced(AtPoint(300, 609, 200), {300, 409, false});  // a pixel lower, lower half: above
  ExpectPlaced(AtPoint(300, 500, 460), {300, 40, false});   // above, starting on the top edge
  ExpectPlaced(AtPoint(300, 500, 461), {301, 40, true});    // no room above either: at the top, beside
  ExpectPlaced(AtPoint(300, 423, 400), {301, 408, true});   // upper half, no room below: at the bottom, beside
  ExpectPlaced(AtPoint(300, 424, 400), {301, 40, true});    // the middle is the lower half
}

TEST(PopupPlacement, PreferAboveTriesAboveFirstToTheLastPixel) {
  auto above = [](int top, int h) {
    return PlaceLevel(Rect{300, top, 320, top + 20}, kArea, 120, h, 3, false, true, false, false);
  };
  ExpectPlaced(above(300, 260), {300, 40, false});   // just fits above
  ExpectPlaced(above(300, 261), {300, 320, false});  // upper half: below the anchor
  ExpectPlaced(above(300, 488), {300, 320, false});  // below, ending on the bottom edge
  ExpectPlaced(above(300, 489), {321, 319, true});   // not below either: at the bottom, beside
  ExpectPlaced(above(423, 500), {321, 308, true});
  ExpectPlaced(above(424, 500), {321, 40, true});    // lower half: at the top, beside
}

TEST(PopupPlacement, TopLevelStaysInsideHorizontallyAndGoesBesideToTheLastPixel) {
  EXPECT_EQ(AtPoint(1260, 100, 100).X, 1260);  // ends on the right edge
  EXPECT_EQ(AtPoint(1261, 100, 100).X, 1260);
  EXPECT_EQ(AtPoint(100, 100, 100).X, 100);
  EXPECT_EQ(AtPoint(99, 100, 100).X, 100);
  // Pushed aside: right of the anchor while that ends on the right edge.
  EXPECT_EQ(AtPoint(1259, 500, 461).X, 1260);
  EXPECT_EQ(AtPoint(1260, 500, 461).X, 1260 - 120 - 1);
}

TEST(PopupPlacement, SubmenuThatJustFitsOnTheRightOpensOnTheRight) {
  auto sub = [](Rect item, int w, int h) { return PlaceLevel(item, kArea, w, h, 3, true, false, false, false); };
  // The first item lines up with the parent item, beside it on the right.
  ExpectPlaced(sub(Rect{1000, 200, 1209, 220}, 170, 100), {1210, 197, false});  // ends on the right edge
  ExpectPlaced(sub(Rect{1000, 200, 1210, 220}, 170, 100), {829, 197, false});   // a pixel more: on the left
  // Lined up while it ends on the bottom edge.
  ExpectPlaced(sub(Rect{300, 705, 420, 725}, 150, 106), {421, 702, false});
  // A pixel lower, lower half: its bottom lines up with the parent item's.
  ExpectPlaced(sub(Rect{300, 706, 420, 726}, 150, 106), {421, 623, false});
  // Upper half without room: against the bottom; the middle is the lower half.
  ExpectPlaced(sub(Rect{300, 423, 420, 443}, 150, 400), {421, 408, false});
  ExpectPlaced(sub(Rect{300, 424, 420, 444}, 150, 400), {421, 47, false});
  // Never above the work area.
  ExpectPlaced(sub(Rect{300, 424, 420, 444}, 150, 500), {421, 40, false});
}

TEST(PopupPlacement, LevelFillingTheHeightSitsAtTopBesideAnchor) {
  ExpectPlaced(PlaceLevel(At(300, 400), kArea, 120, 768, 3, false, false, true, false), {301, 40, false});
  ExpectPlaced(PlaceLevel(At(1260, 400), kArea, 120, 768, 3, false, false, true, false), {1139, 40, false});
  // A level scrolling only by the item limit is placed by the normal rules.
  ExpectPlaced(PlaceLevel(At(300, 400), kArea, 120, 126, 3, false, false, true, true), {300, 400, false});
}

TEST(PopupLayout, ScrollAreasKeepItemsAwayFromEdges) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 3 + 106}, true);
  EXPECT_EQ(m.Rects[0].Top, 13);
  // 13 + 4 * 20 = 93 <= 99; the fifth ends at 113 > 99.
  EXPECT_EQ(m.VisibleCount, 4);
  EXPECT_EQ(m.LastShown(), 3);
  EXPECT_FALSE(m.Shown[4]);
  // An item ending exactly on the bottom scroll area is shown.
  const LevelModel exact = Model(10, 20, Rect{3, 3, 97, 103}, true);
  EXPECT_EQ(exact.VisibleCount, 4);
  EXPECT_EQ(exact.Rects[3], (Rect{3, 73, 97, 93}));
  EXPECT_EQ(exact.TopScrollArea(), (Rect{3, 3, 97, 13}));
  EXPECT_EQ(exact.BottomScrollArea(), (Rect{3, 93, 97, 103}));
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
  // Up from the top with wrap shows the last items, four of them.
  EXPECT_TRUE(m.ScrollByOne(false, true));
  EXPECT_EQ(m.FirstVisible, 6);
  EXPECT_EQ(m.LastShown(), 9);
  // Away from the ends a wrapping step is one item, either way.
  EXPECT_TRUE(m.ScrollByOne(false, true));
  EXPECT_EQ(m.FirstVisible, 5);
  EXPECT_TRUE(m.ScrollByOne(true, true));
  EXPECT_EQ(m.FirstVisible, 6);
  // Without wrap the ends hold.
  EXPECT_FALSE(m.ScrollByOne(true, false));
  EXPECT_EQ(m.FirstVisible, 6);
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

TEST(PopupKeys, UpScrollsBackIntoViewAndReachesTheFirstItem) {
  LevelModel m = Model(10, 20, Rect{3, 3, 97, 109}, true);
  while (m.ScrollByOne(true, false)) {
  }
  EXPECT_EQ(m.FirstVisible, 6);
  int active = m.KeyUp(9, false);
  EXPECT_EQ(active, 8);
  for (int i = 0; i < 4; ++i) active = m.KeyUp(active, false);
  EXPECT_EQ(active, 4);
  EXPECT_TRUE(m.Shown[4]);
  // On up to the very first item, the view following it to the top.
  for (int i = 0; i < 4; ++i) active = m.KeyUp(active, false);
  EXPECT_EQ(active, 0);
  EXPECT_EQ(m.FirstVisible, 0);
  EXPECT_TRUE(m.Shown[0]);

  // Past unselectable items above the view, the first item is still reached.
  LevelModel n = Model(10, 20, Rect{3, 3, 97, 109}, true, {1, 2, 3});
  n.FirstVisible = 2;
  n.Layout();
  EXPECT_EQ(n.KeyUp(4, false), 0);
  EXPECT_EQ(n.FirstVisible, 0);
  // And in a level that does not scroll.
  LevelModel plain = Model(4, 20, Rect{2, 2, 98, 82}, false);
  EXPECT_EQ(plain.KeyUp(1, false), 0);
  EXPECT_EQ(plain.KeyUp(3, false), 2);
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
  // Text up to 25 x 14 fits the picture's own client area.
  HintGeometry g = SizeHint(s, 25, 14);
  EXPECT_EQ(g.Width, 37);
  EXPECT_EQ(g.Height, 20);
  EXPECT_EQ(g.Client, s.ClientRect);
  // Wider, taller and both: each corner follows its own edges only.
  for (auto [tw, th] : {std::pair{26, 14}, {25, 15}, {100, 16}}) {
    SCOPED_TRACE(testing::Message() << tw << " x " << th);
    g = SizeHint(s, tw, th);
    const int dx = tw - 25, dy = th - 14;
    EXPECT_EQ(g.Width, 37 + dx);
    EXPECT_EQ(g.Height, 20 + dy);
    EXPECT_EQ(g.Client, (Rect{6, 3, 31 + dx, 17 + dy}));
    EXPECT_EQ(g.NLT, (Point{6, 3}));
    EXPECT_EQ(g.NRT, (Point{31 + dx, 3}));
    EXPECT_EQ(g.NLB, (Point{6, 17 + dy}));
    EXPECT_EQ(g.NRB, (Point{31 + dx, 17 + dy}));
  }
  const HintGeometry plain = SizeHint(HintSkin{}, 100, 16);
  EXPECT_EQ(plain.Width, 104);
  EXPECT_EQ(plain.Height, 20);
}

TEST(PopupHint, PlacedBackFromTheScreenEdges) {
  EXPECT_EQ(PlaceHint(Point{100, 100}, 80, 20, 1280, 1024), (Rect{100, 100, 180, 120}));
  // Ending exactly on the screen's right or bottom edge it stays.
  EXPECT_EQ(PlaceHint(Point{1200, 1004}, 80, 20, 1280, 1024), (Rect{1200, 1004, 1280, 1024}));
  EXPECT_EQ(PlaceHint(Point{1201, 1005}, 80, 20, 1280, 1024), (Rect{1201 - 82, 1005 - 22, 1199, 1003}));
  EXPECT_EQ(PlaceHint(Point{1250, 100}, 80, 20, 1280, 1024), (Rect{1250 - 82, 100, 1250 - 2, 120}));
  EXPECT_EQ(PlaceHint(Point{100, 1015}, 80, 20, 1280, 1024), (Rect{100, 1015 - 22, 180, 1015 - 2}));
}

TEST(PopupFade, FromZeroInStepsOfTenEndingExactlyOnTheValue) {
  auto tens = [](int upTo) {
    std::vector<int> v;
    for (int a = 0; a <= upTo; a += 10) v.push_back(a);
    return v;
  };
  EXPECT_EQ(FadeSteps(150), tens(150));  // 16 opacities, the first 0
  std::vector<int> odd = tens(150);
  odd.push_back(151);
  EXPECT_EQ(FadeSteps(151), odd);
  odd.back() = 159;
  EXPECT_EQ(FadeSteps(159), odd);
  std::vector<int> full = tens(250);
  full.push_back(255);
  EXPECT_EQ(FadeSteps(255), full);
  EXPECT_EQ(FadeSteps(10), (std::vector<int>{0, 10}));
  EXPECT_EQ(FadeSteps(1), (std::vector<int>{0, 1}));
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
