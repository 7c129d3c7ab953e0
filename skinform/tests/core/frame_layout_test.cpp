// Layout arithmetic of the skinned frame, on our default skin and on small
// made-up skins for the cases the default skin does not have.
#include <gtest/gtest.h>

#include "skin/core/vpSkinData.h"
#include "skinform/core/frame_layout.h"
#include "skinform/core/frame_skin.h"

using namespace skinform;
using plat::Rect;

namespace {

// Our default skin, read from its source folder.
const vp::TvpSkinData& DefaultSkin() {
  static vp::TvpSkinData* skin = [] {
    auto* s = new vp::TvpSkinData;
    auto bytes = vp::BuildSkinContainerFromFolder(PLATORA_SOURCE_DIR "/skins/default/skin.ini");
    if (bytes) s->LoadFromContainer(bytes->data(), bytes->size());
    return s;
  }();
  return *skin;
}

Rect Placed(const FrameSkin& fs, const char* object, int W, int H) {
  const vp::TvpSkinData& s = DefaultSkin();
  const int i = s.FindObject(object);
  EXPECT_GE(i, 0) << object;
  if (i < 0) return Rect{};
  return PlaceByCorners(fs, s.ObjectDefs[static_cast<size_t>(i)]->SkinRect, W - fs.PictureWidth,
                        H - fs.PictureHeight);
}

// A 100 x 60 picture with 10-pixel corners, for placement cases.
FrameSkin SmallSkin() {
  FrameSkin s;
  s.PictureWidth = 100;
  s.PictureHeight = 60;
  s.LT = {10, 20};
  s.RT = {90, 20};
  s.LB = {10, 50};
  s.RB = {90, 50};
  s.ClientRect = Rect{4, 20, 96, 56};
  return s;
}

}  // namespace

TEST(FrameGeometry, MainWindowFrameIsFiveAroundAndTwentyNineOnTop) {
  ASSERT_FALSE(DefaultSkin().SkinEmpty);
  const FrameSkin fs = FrameSkinOf(DefaultSkin());
  ASSERT_EQ(fs.PictureWidth, 146);
  ASSERT_EQ(fs.PictureHeight, 82);
  // The main window: a 586 x 440 client area under the skin's frame.
  const Rect client = SkinClientFromWindow(fs, Rect{100, 50, 100 + 596, 50 + 477});
  EXPECT_EQ(client, (Rect{105, 79, 105 + 586, 79 + 440}));

  const FrameGeometry g = CalcFrameGeometry(fs, 596, 477);
  EXPECT_EQ(g.dx, 450);
  EXPECT_EQ(g.dy, 395);
  EXPECT_EQ(g.NewClientRect, (Rect{5, 29, 591, 469}));
  EXPECT_EQ(g.NewRTPoint.X, fs.RT.X + 450);
  EXPECT_EQ(g.NewRBPoint.Y, fs.RB.Y + 395);
  EXPECT_EQ(g.NewLBPoint.X, fs.LB.X);
  EXPECT_EQ(g.NewMaskRectArea.Right, fs.MaskRectArea.Right + 450);
  // The picture's own size changes nothing.
  const FrameGeometry same = CalcFrameGeometry(fs, 146, 82);
  EXPECT_EQ(same.NewClientRect, fs.ClientRect);
  EXPECT_EQ(same.NewHitTestRB, fs.HitTestRB);
}

TEST(FrameGeometry, ClientNeverCrossesInATinyWindow) {
  const FrameSkin fs = SmallSkin();
  const Rect c = SkinClientFromWindow(fs, Rect{0, 0, 5, 10});
  EXPECT_GE(c.Right, c.Left);
  EXPECT_GE(c.Bottom, c.Top);
  const Rect d = DefaultClientFromWindow(Rect{0, 0, 4, 4}, 19);
  EXPECT_EQ(d.Right, d.Left);
  EXPECT_EQ(d.Bottom, d.Top);
  EXPECT_EQ(DefaultClientFromWindow(Rect{0, 0, 200, 100}, 19), (Rect{3, 22, 197, 97}));
}

TEST(FrameGeometry, ButtonsRectOnTheRightHalfFollowsTheRightEdge) {
  FrameSkin fs = SmallSkin();
  fs.ButtonsRect = Rect{60, 2, 96, 18};
  EXPECT_EQ(CalcFrameGeometry(fs, 150, 60).NewButtonsRect, (Rect{110, 2, 146, 18}));
  fs.ButtonsRect = Rect{2, 2, 40, 18};
  EXPECT_EQ(CalcFrameGeometry(fs, 150, 60).NewButtonsRect, (Rect{2, 2, 40, 18}));
  fs.CaptionRect = Rect{0, 0, 0, 0};
  EXPECT_EQ(CalcFrameGeometry(fs, 150, 60).NewCaptionRect, (Rect{}));  // an empty caption rect stays empty
}

TEST(ObjectPlacement, MainWindowObjectsSitWhereTheSkinDrewThem) {
  const FrameSkin fs = FrameSkinOf(DefaultSkin());
  for (int W : {146, 596, 900}) {
    EXPECT_EQ(Placed(fs, "caption1", W, 477), (Rect{67, 6, W - 5, 23})) << W;
    EXPECT_EQ(Placed(fs, "sysmenubutton", W, 477), (Rect{53, 9, 64, 19}));
    EXPECT_EQ(Placed(fs, "closebutton", W, 477), (Rect{4, 6, 21, 23}));
    EXPECT_EQ(Placed(fs, "maxbutton", W, 477), (Rect{37, 3, 48, 14}));
    EXPECT_EQ(Placed(fs, "minbutton", W, 477), (Rect{37, 16, 47, 26}));
    EXPECT_EQ(Placed(fs, "rollupbutton", W, 477), (Rect{23, 9, 34, 20}));
  }
}

TEST(ObjectPlacement, EachCornerRegionMovesItsObjects) {
  const FrameSkin fs = SmallSkin();
  const int dx = 40, dy = 30;
  EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 8, 8}, dx, dy), (Rect{2, 2, 8, 8}));          // left-top
  EXPECT_EQ(PlaceByCorners(fs, Rect{92, 2, 98, 8}, dx, dy), (Rect{132, 2, 138, 8}));    // right-top
  EXPECT_EQ(PlaceByCorners(fs, Rect{2, 52, 8, 58}, dx, dy), (Rect{2, 82, 8, 88}));      // left-bottom
  EXPECT_EQ(PlaceByCorners(fs, Rect{92, 52, 98, 58}, dx, dy), (Rect{132, 82, 138, 88}));  // right-bottom
  // Spanning objects stretch with the window.
  EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 95, 8}, dx, dy), (Rect{2, 2, 135, 8}));       // along the top
  EXPECT_EQ(PlaceByCorners(fs, Rect{2, 52, 95, 58}, dx, dy), (Rect{2, 82, 135, 88}));   // along the bottom
  EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 8, 55}, dx, dy), (Rect{2, 2, 8, 85}));        // down the left
  EXPECT_EQ(PlaceByCorners(fs, Rect{92, 2, 98, 55}, dx, dy), (Rect{132, 2, 138, 85}));  // down the right
  EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 95, 55}, dx, dy), (Rect{2, 2, 135, 85}));     // everything
  // An object in the middle keeps its place.
  EXPECT_EQ(PlaceByCorners(fs, Rect{30, 30, 40, 40}, dx, dy), (Rect{30, 30, 40, 40}));
  // Right and bottom edges are outside: an object ending exactly on the
  // corner point is in no region at all and keeps its place.
  EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 10, 8}, dx, dy), (Rect{2, 2, 10, 8}));
}

TEST(ButtonsRow, RightAlignedButtonsAndTheCaptionBesideThem) {
  FrameSkin fs = SmallSkin();
  fs.CaptionRect = Rect{4, 2, 96, 18};
  fs.ButtonsOffset = 2;
  const FrameGeometry g = CalcFrameGeometry(fs, 200, 60);  // caption rect right: 196
  std::vector<RowObject> row(5);
  row[0].IsCaption = true;
  row[0].ObjectRect = Rect{4, 2, 196, 18};
  auto button = [](int cmd, int w, int h) {
    RowObject o;
    o.InRow = true;
    o.Command = cmd;
    o.Width = w;
    o.Height = h;
    return o;
  };
  row[1] = button(cmMinimize, 10, 10);
  row[2] = button(cmClose, 12, 12);
  row[3] = button(cmSysMenu, 8, 8);
  row[4] = button(cmMaximize, 10, 10);
  row[4].InRow = false;  // hidden: takes no place
  LayoutButtonsRow(g, row);
  EXPECT_EQ(row[2].ObjectRect, (Rect{184, 2, 196, 14}));  // close first, at the right edge
  EXPECT_EQ(row[1].ObjectRect, (Rect{172, 2, 182, 12}));  // then minimize, after the gap
  EXPECT_EQ(row[3].ObjectRect, (Rect{4, 6, 12, 14}));     // system menu, centred in the caption height
  EXPECT_EQ(row[0].ObjectRect, (Rect{12, 2, 172, 18}));   // the caption between them
  EXPECT_EQ(row[4].ObjectRect, (Rect{}));

  // The same row on the left.
  fs.ButtonsInLeft = true;
  std::vector<RowObject> left = {row[0], button(cmClose, 12, 12), button(cmSysMenu, 8, 8)};
  left[0].ObjectRect = Rect{4, 2, 196, 18};
  LayoutButtonsRow(CalcFrameGeometry(fs, 200, 60), left);
  EXPECT_EQ(left[1].ObjectRect, (Rect{4, 2, 16, 14}));
  EXPECT_EQ(left[2].ObjectRect, (Rect{18, 2, 26, 10}));
  EXPECT_EQ(left[0].ObjectRect.Left, 30);
}

TEST(ButtonsRow, NothingMovesWithoutButtonsOrCaptionRect) {
  const FrameGeometry g = CalcFrameGeometry(SmallSkin(), 200, 60);
  std::vector<RowObject> row(1);
  row[0].InRow = true;
  row[0].Command = cmClose;
  row[0].Width = row[0].Height = 10;
  row[0].ObjectRect = Rect{1, 2, 3, 4};
  LayoutButtonsRow(g, row);
  EXPECT_EQ(row[0].ObjectRect, (Rect{1, 2, 3, 4}));
}

TEST(DefaultFrame, ButtonsFromTheRightAndTheSystemMenuOnTheLeft) {
  bool visible[7] = {};
  visible[cmClose] = visible[cmMinimize] = visible[cmSysMenu] = true;
  const DefaultFrameLayout l = LayoutDefaultFrame(200, 19, 17, visible, 17);
  EXPECT_EQ(l.Buttons[cmClose], (Rect{180, 4, 197, 21}));
  EXPECT_EQ(l.Buttons[cmMinimize], (Rect{163, 4, 180, 21}));  // no gap
  EXPECT_EQ(l.Buttons[cmMaximize], (Rect{}));
  EXPECT_EQ(l.Buttons[cmSysMenu], (Rect{3, 4, 20, 21}));
  EXPECT_EQ(l.Caption, (Rect{20, 3, 163, 19}));
}

TEST(CaptionText, RectWidensWithTheWindowAndMovesIntoItsFrame) {
  // The main window's caption: text rect 0,2,73,14 of a 74-pixel object.
  for (int dx : {0, 450, 1000})
    EXPECT_EQ(CaptionTextRect(Rect{0, 2, 73, 14}, 74 + dx, 74, Rect{}, Rect{}), (Rect{0, 2, 73 + dx, 14}));
  // With a 30-wide text frame whose text sits at 5,3..25: left and top move
  // in, the right edge by what the frame keeps on its right.
  EXPECT_EQ(CaptionTextRect(Rect{0, 0, 50, 16}, 60, 60, Rect{0, 0, 30, 16}, Rect{5, 3, 25, 13}),
            (Rect{5, 3, 45, 16}));
  // An empty text rect stays empty (no text is drawn).
  EXPECT_TRUE(CaptionTextRect(Rect{}, 500, 74, Rect{}, Rect{}).IsNull());
}

TEST(CaptionText, Alignment) {
  const Rect r{10, 2, 110, 14};
  EXPECT_EQ(PlaceText(r, 40, 8, 0), (plat::Point{10, 4}));   // left
  EXPECT_EQ(PlaceText(r, 40, 8, 1), (plat::Point{70, 4}));   // right edge on the rect's right edge
  EXPECT_EQ(PlaceText(r, 40, 8, 2), (plat::Point{40, 4}));   // centred
  EXPECT_EQ(PlaceText(r, 41, 9, 2), (plat::Point{40, 4}));   // halves truncate
}

TEST(CaptionText, FitTextEndsInDotsOnlyWhenTooWide) {
  const auto width = [](const std::wstring& t) { return 7 * static_cast<int>(t.size()); };
  EXPECT_EQ(FitText(L"Platora", 49, width), L"Platora");
  EXPECT_EQ(FitText(L"PlatoraV1.0.090115", 70, width), L"Platora...");
  EXPECT_LE(width(FitText(L"PlatoraV1.0.090115", 70, width)), 70);
  EXPECT_EQ(FitText(L"Platora", 27, width), L"...");  // not even "P..." fits
  EXPECT_EQ(FitText(L"Platora", 0, width), L"...");
  EXPECT_EQ(FitText(L"", 0, width), L"");
}

TEST(HoverHit, EarlierObjectWinsAndOnlyEnabledVisibleOnesCount) {
  std::vector<HitObject> objects = {{Rect{0, 0, 10, 10}}, {Rect{0, 0, 10, 10}}, {Rect{20, 0, 30, 10}}};
  EXPECT_EQ(FindObjectAt(objects, 5, 5), 0);
  objects[0].Enabled = false;
  EXPECT_EQ(FindObjectAt(objects, 5, 5), 1);
  objects[1].Visible = false;
  EXPECT_EQ(FindObjectAt(objects, 5, 5), -1);
  EXPECT_EQ(FindObjectAt(objects, 29, 9), 2);
  EXPECT_EQ(FindObjectAt(objects, 30, 5), -1);  // right edge excluded
  EXPECT_EQ(FindObjectAt(objects, 25, 10), -1);  // bottom edge excluded
}

TEST(Morph, FiveStepsEachWayAndThenNothingPending) {
  double f = 0;
  for (int i = 0; i < 5; ++i) {
    EXPECT_TRUE(MorphPending(f, true));
    f = MorphStep(f, true);
  }
  EXPECT_EQ(f, 1.0);
  EXPECT_FALSE(MorphPending(f, true));
  for (int i = 0; i < 5; ++i) f = MorphStep(f, false);
  EXPECT_EQ(f, 0.0);
  EXPECT_FALSE(MorphPending(f, false));
}

TEST(Animation, StripFramesSideBySideOrStacked) {
  EXPECT_EQ(StripFrame(Rect{0, 0, 40, 10}, 4, 1, false), (Rect{0, 0, 10, 10}));
  EXPECT_EQ(StripFrame(Rect{0, 0, 40, 10}, 4, 4, false), (Rect{30, 0, 40, 10}));
  EXPECT_EQ(StripFrame(Rect{5, 0, 25, 60}, 3, 2, true), (Rect{5, 20, 25, 40}));
  EXPECT_EQ(StripFrame(Rect{0, 0, 40, 10}, 0, 1, false), (Rect{0, 0, 40, 10}));  // no count: one frame
}
