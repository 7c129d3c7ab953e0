// Layout arithmetic of the skinned frame, on our default skin and on small
// made-up skins for the cases the default skin does not have.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>

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

namespace {

// SmallSkin with every frame value set, each to its own number.
FrameSkin FullSkin() {
  FrameSkin s = SmallSkin();
  s.CaptionRect = Rect{4, 2, 96, 18};
  s.ButtonsRect = Rect{60, 2, 96, 18};
  s.MaskRectArea = Rect{3, 3, 97, 57};
  s.HitTestLT = {6, 8};
  s.HitTestRT = {94, 7};
  s.HitTestLB = {5, 52};
  s.HitTestRB = {93, 51};
  s.ButtonsOffset = 2;
  return s;
}

}  // namespace

// A form wider, taller, or both than its 100 x 60 picture: what lies at the
// right follows the right edge only, what lies at the bottom the bottom edge
// only, and the caption row never moves down.
TEST(FrameGeometry, WiderTallerOrBothMovesEachValueAlongItsOwnAxisOnly) {
  const FrameSkin fs = FullSkin();
  for (auto [dx, dy] : {std::pair{0, 0}, {40, 0}, {0, 30}, {40, 30}}) {
    SCOPED_TRACE(testing::Message() << dx << " x " << dy);
    const FrameGeometry g = CalcFrameGeometry(fs, 100 + dx, 60 + dy);
    EXPECT_EQ(g.dx, dx);
    EXPECT_EQ(g.dy, dy);
    EXPECT_EQ(g.NewLTPoint, (Point{10, 20}));
    EXPECT_EQ(g.NewRTPoint, (Point{90 + dx, 20}));
    EXPECT_EQ(g.NewLBPoint, (Point{10, 50 + dy}));
    EXPECT_EQ(g.NewRBPoint, (Point{90 + dx, 50 + dy}));
    EXPECT_EQ(g.NewClientRect, (Rect{4, 20, 96 + dx, 56 + dy}));
    EXPECT_EQ(g.NewCaptionRect, (Rect{4, 2, 96 + dx, 18}));
    EXPECT_EQ(g.NewButtonsRect, (Rect{60 + dx, 2, 96 + dx, 18}));
    EXPECT_EQ(g.NewMaskRectArea, (Rect{3, 3, 97 + dx, 57 + dy}));
    EXPECT_EQ(g.NewHitTestLT, (Point{6, 8}));
    EXPECT_EQ(g.NewHitTestRT, (Point{94 + dx, 7}));
    EXPECT_EQ(g.NewHitTestLB, (Point{5, 52 + dy}));
    EXPECT_EQ(g.NewHitTestRB, (Point{93 + dx, 51 + dy}));
    EXPECT_EQ(g.ButtonsOffset, 2);
    EXPECT_EQ(SkinClientFromWindow(fs, Rect{200, 100, 300 + dx, 160 + dy}), (Rect{204, 120, 296 + dx, 156 + dy}));
  }
}

TEST(FrameGeometry, ButtonsRectFollowsTheRightEdgeOnlyFromTheRightHalf) {
  FrameSkin fs = SmallSkin();
  fs.ButtonsRect = Rect{51, 2, 96, 18};  // starts right of the middle (50)
  EXPECT_EQ(CalcFrameGeometry(fs, 150, 90).NewButtonsRect, (Rect{101, 2, 146, 18}));
  fs.ButtonsRect = Rect{50, 2, 96, 18};  // on the middle: stays with the left edge
  EXPECT_EQ(CalcFrameGeometry(fs, 150, 90).NewButtonsRect, (Rect{50, 2, 96, 18}));
  fs.CaptionRect = Rect{0, 0, 0, 0};
  EXPECT_EQ(CalcFrameGeometry(fs, 150, 90).NewCaptionRect, (Rect{}));  // an empty caption rect stays empty
}

TEST(ObjectPlacement, MainWindowObjectsSitWhereTheSkinDrewThem) {
  const FrameSkin fs = FrameSkinOf(DefaultSkin());
  // The picture's own size, wider, taller and both: the buttons never move
  // and the caption only widens.
  for (int W : {146, 596, 900})
    for (int H : {82, 477}) {
      SCOPED_TRACE(testing::Message() << W << " x " << H);
      EXPECT_EQ(Placed(fs, "caption1", W, H), (Rect{67, 6, W - 5, 23}));
      EXPECT_EQ(Placed(fs, "sysmenubutton", W, H), (Rect{53, 9, 64, 19}));
      EXPECT_EQ(Placed(fs, "closebutton", W, H), (Rect{4, 6, 21, 23}));
      EXPECT_EQ(Placed(fs, "maxbutton", W, H), (Rect{37, 3, 48, 14}));
      EXPECT_EQ(Placed(fs, "minbutton", W, H), (Rect{37, 16, 47, 26}));
      EXPECT_EQ(Placed(fs, "rollupbutton", W, H), (Rect{23, 9, 34, 20}));
    }
}

TEST(ObjectPlacement, EachCornerRegionMovesItsObjectsWiderTallerOrBoth) {
  const FrameSkin fs = SmallSkin();
  for (auto [dx, dy] : {std::pair{40, 0}, {0, 30}, {40, 30}}) {
    SCOPED_TRACE(testing::Message() << dx << " x " << dy);
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 8, 8}, dx, dy), (Rect{2, 2, 8, 8}));                // left-top
    EXPECT_EQ(PlaceByCorners(fs, Rect{92, 2, 98, 8}, dx, dy), (Rect{92 + dx, 2, 98 + dx, 8}));  // right-top
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 52, 8, 58}, dx, dy), (Rect{2, 52 + dy, 8, 58 + dy}));  // left-bottom
    EXPECT_EQ(PlaceByCorners(fs, Rect{92, 52, 98, 58}, dx, dy),
              (Rect{92 + dx, 52 + dy, 98 + dx, 58 + dy}));  // right-bottom
    // Spanning objects stretch with the window.
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 95, 8}, dx, dy), (Rect{2, 2, 95 + dx, 8}));  // along the top
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 52, 95, 58}, dx, dy),
              (Rect{2, 52 + dy, 95 + dx, 58 + dy}));  // along the bottom
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 8, 55}, dx, dy), (Rect{2, 2, 8, 55 + dy}));               // down the left
    EXPECT_EQ(PlaceByCorners(fs, Rect{92, 2, 98, 55}, dx, dy), (Rect{92 + dx, 2, 98 + dx, 55 + dy}));  // down the right
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 95, 55}, dx, dy), (Rect{2, 2, 95 + dx, 55 + dy}));        // everything
    // An object in the middle keeps its place.
    EXPECT_EQ(PlaceByCorners(fs, Rect{30, 30, 40, 40}, dx, dy), (Rect{30, 30, 40, 40}));
    // Right and bottom edges are outside: an object ending exactly on the
    // corner point is in no region at all and keeps its place; one pixel
    // less and it is inside.
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 2, 10, 8}, dx, dy), (Rect{2, 2, 10, 8}));
    EXPECT_EQ(PlaceByCorners(fs, Rect{90, 2, 99, 8}, dx, dy), (Rect{90 + dx, 2, 99 + dx, 8}));
    EXPECT_EQ(PlaceByCorners(fs, Rect{2, 50, 8, 59}, dx, dy), (Rect{2, 50 + dy, 8, 59 + dy}));
  }
}

namespace {

RowObject Button(int cmd, int w, int h) {
  RowObject o;
  o.InRow = true;
  o.Command = cmd;
  o.Width = w;
  o.Height = h;
  return o;
}

RowObject CaptionObject() {
  RowObject o;
  o.IsCaption = true;
  o.ObjectRect = Rect{4, 2, 196, 18};
  return o;
}

}  // namespace

// The row of a form as high as its picture and of taller ones: the buttons
// sit on the row's top whatever the form's height.
TEST(ButtonsRow, RightAlignedButtonsAndTheCaptionBesideThemAtAnyHeight) {
  FrameSkin fs = SmallSkin();
  fs.CaptionRect = Rect{4, 2, 96, 18};
  fs.ButtonsOffset = 2;
  for (int H : {60, 90, 400}) {
    SCOPED_TRACE(H);
    const FrameGeometry g = CalcFrameGeometry(fs, 200, H);  // caption rect right: 196
    std::vector<RowObject> row = {CaptionObject(), Button(cmMinimize, 10, 10), Button(cmClose, 12, 12),
                                  Button(cmSysMenu, 8, 8), Button(cmMaximize, 10, 10)};
    row[4].InRow = false;  // hidden: takes no place
    LayoutButtonsRow(g, row);
    EXPECT_EQ(row[2].ObjectRect, (Rect{184, 2, 196, 14}));  // close first, at the right edge
    EXPECT_EQ(row[1].ObjectRect, (Rect{172, 2, 182, 12}));  // then minimize, after the gap
    EXPECT_EQ(row[3].ObjectRect, (Rect{4, 6, 12, 14}));     // system menu, centred in the caption height
    EXPECT_EQ(row[0].ObjectRect, (Rect{12, 2, 172, 18}));   // the caption between them
    EXPECT_EQ(row[4].ObjectRect, (Rect{}));

    // A row of their own on the right half: it follows the right edge, the
    // caption keeps its right end.
    FrameSkin own = fs;
    own.ButtonsRect = Rect{60, 4, 96, 16};
    std::vector<RowObject> ownRow = {CaptionObject(), Button(cmClose, 12, 12), Button(cmMinimize, 10, 10)};
    LayoutButtonsRow(CalcFrameGeometry(own, 200, H), ownRow);
    EXPECT_EQ(ownRow[1].ObjectRect, (Rect{184, 4, 196, 16}));
    EXPECT_EQ(ownRow[2].ObjectRect, (Rect{172, 4, 182, 14}));
    EXPECT_EQ(ownRow[0].ObjectRect, (Rect{4, 2, 196, 18}));

    // The same row on the left.
    FrameSkin left = fs;
    left.ButtonsInLeft = true;
    std::vector<RowObject> leftRow = {CaptionObject(), Button(cmClose, 12, 12), Button(cmSysMenu, 8, 8)};
    LayoutButtonsRow(CalcFrameGeometry(left, 200, H), leftRow);
    EXPECT_EQ(leftRow[1].ObjectRect, (Rect{4, 2, 16, 14}));
    EXPECT_EQ(leftRow[2].ObjectRect, (Rect{18, 2, 26, 10}));
    EXPECT_EQ(leftRow[0].ObjectRect, (Rect{30, 2, 196, 18}));
  }
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

  // All of them: close, maximize, minimize, roll-up, tray from the right.
  bool all[7];
  std::fill(std::begin(all), std::end(all), true);
  const DefaultFrameLayout a = LayoutDefaultFrame(200, 19, 17, all, 17);
  EXPECT_EQ(a.Buttons[cmClose], (Rect{180, 4, 197, 21}));
  EXPECT_EQ(a.Buttons[cmMaximize], (Rect{163, 4, 180, 21}));
  EXPECT_EQ(a.Buttons[cmMinimize], (Rect{146, 4, 163, 21}));
  EXPECT_EQ(a.Buttons[cmRollUp], (Rect{129, 4, 146, 21}));
  EXPECT_EQ(a.Buttons[cmMinimizeToTray], (Rect{112, 4, 129, 21}));
  EXPECT_EQ(a.Buttons[cmDefault], (Rect{}));
  EXPECT_EQ(a.Caption, (Rect{20, 3, 112, 19}));
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
  EXPECT_EQ(FindObjectAt(objects, 20, 0), 2);  // first pixel
  EXPECT_EQ(FindObjectAt(objects, 29, 9), 2);  // last pixel
  EXPECT_EQ(FindObjectAt(objects, 19, 5), -1);
  EXPECT_EQ(FindObjectAt(objects, 30, 5), -1);  // right edge excluded
  EXPECT_EQ(FindObjectAt(objects, 25, 10), -1);  // bottom edge excluded
}

namespace {

// The factors a morph passes through from `f` until nothing is pending, as
// the 25 ms timer steps it (at most 10 steps).
std::vector<double> MorphRun(double f, bool highlighted) {
  std::vector<double> run;
  while (MorphPending(f, highlighted) && run.size() < 10) run.push_back(f = MorphStep(f, highlighted));
  return run;
}

void ExpectFactors(const std::vector<double>& run, const std::vector<double>& want) {
  ASSERT_EQ(run.size(), want.size());
  for (size_t i = 0; i < run.size(); ++i) EXPECT_NEAR(run[i], want[i], 1e-9) << "step " << i + 1;
  // The end is exact, so that the morph is seen as done.
  if (!run.empty()) {
    EXPECT_EQ(run.back(), want.back());
  }
}

}  // namespace

TEST(Morph, FiveStepsOfAFifthEachWayEndingExactlyOnTheLook) {
  ExpectFactors(MorphRun(0.0, true), {0.2, 0.4, 0.6, 0.8, 1.0});
  ExpectFactors(MorphRun(1.0, false), {0.8, 0.6, 0.4, 0.2, 0.0});
  // Turned back halfway, it goes back the way it came.
  ExpectFactors(MorphRun(MorphRun(0.0, true)[2], false), {0.4, 0.2, 0.0});
  ExpectFactors(MorphRun(MorphRun(1.0, false)[1], true), {0.8, 1.0});
  // At its end nothing is pending and a step goes nowhere.
  EXPECT_TRUE(MorphRun(1.0, true).empty());
  EXPECT_TRUE(MorphRun(0.0, false).empty());
  EXPECT_EQ(MorphStep(1.0, true), 1.0);
  EXPECT_EQ(MorphStep(0.0, false), 0.0);
}

TEST(Animation, StripFramesSideBySideOrStacked) {
  EXPECT_EQ(StripFrame(Rect{0, 0, 40, 10}, 4, 1, false), (Rect{0, 0, 10, 10}));
  EXPECT_EQ(StripFrame(Rect{0, 0, 40, 10}, 4, 4, false), (Rect{30, 0, 40, 10}));
  EXPECT_EQ(StripFrame(Rect{5, 0, 25, 60}, 3, 2, true), (Rect{5, 20, 25, 40}));
  EXPECT_EQ(StripFrame(Rect{0, 0, 40, 10}, 0, 1, false), (Rect{0, 0, 40, 10}));  // no count: one frame
}
