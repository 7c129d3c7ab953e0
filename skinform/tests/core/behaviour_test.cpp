#include <gtest/gtest.h>

#include <cstdlib>

#include "skinform/core/vpFormBehaviour.h"

using namespace skinform;

namespace {

// The main window's frame with the default skin at W x H: client (5, 29)
// to (W - 5, H - 8), caption object (67, 6, W - 5, 23).
HitTestFrame MainFrame(int W = 586, int H = 440) {
  HitTestFrame f;
  f.Width = W;
  f.Height = H;
  f.SkinInUse = true;
  f.ClientRect = Rect{5, 29, W - 5, H - 8};
  f.Captions = {Rect{67, 6, W - 5, 23}};
  f.BorderWidth = 3;
  const int dx = W - 146, dy = H - 82;
  f.HitLT = Point{8, 7};
  f.HitRT = Point{137 + dx, 6};
  f.HitLB = Point{8, 72 + dy};
  f.HitRB = Point{137 + dx, 72 + dy};
  return f;
}

struct HitCase {
  Point p;
  int code;
};

void ExpectHits(const HitTestFrame& f, std::initializer_list<HitCase> cases) {
  for (const HitCase& c : cases) EXPECT_EQ(FrameHitTest(f, c.p), c.code) << c.p.X << "," << c.p.Y;
}

}  // namespace

TEST(FrameHitTest, FixedMainWindowIsDraggedOnlyByItsCaption) {
  HitTestFrame f = MainFrame();
  // The caption object (67, 6, 581, 23) and the client (5, 29, 581, 432),
  // each by its first and last pixel.
  ExpectHits(f, {{{67, 6}, hitCaption}, {{580, 22}, hitCaption}, {{300, 12}, hitCaption}, {{5, 29}, hitClient},
                 {{580, 431}, hitClient}, {{300, 200}, hitClient}});
  // Every border spot and every caption button answers "object": the system
  // neither moves nor sizes the window there.
  for (Point p : {Point{1, 200}, Point{584, 200}, Point{300, 1}, Point{300, 438}, Point{0, 0}, Point{585, 439},
                  Point{300, 26}, Point{10, 12}, Point{40, 8}, Point{58, 12}, Point{66, 12}, Point{300, 23},
                  Point{581, 12}, Point{4, 100}, Point{581, 100}, Point{300, 432}, Point{300, 28}}) {
    EXPECT_EQ(FrameHitTest(f, p), hitObject) << p.X << "," << p.Y;
  }
}

TEST(FrameHitTest, RolledUpOrMinimizedHasNoClientAndNoEdges) {
  HitTestFrame f = MainFrame(586, 37);
  f.Sizeable = true;
  f.RolledUp = true;
  f.ClientRect = Rect{5, 29, 581, 29};
  EXPECT_EQ(FrameHitTest(f, {300, 12}), hitCaption);
  EXPECT_EQ(FrameHitTest(f, {0, 20}), hitObject);
  // Not even a client rectangle still under the point (laid out for the
  // height before the roll-up) makes it client or an edge.
  f.ClientRect = Rect{5, 29, 581, 400};
  EXPECT_EQ(FrameHitTest(f, {300, 30}), hitObject);
  EXPECT_EQ(FrameHitTest(f, {0, 30}), hitObject);
  f.RolledUp = false;
  f.Minimized = true;
  EXPECT_EQ(FrameHitTest(f, {0, 20}), hitObject);
  EXPECT_EQ(FrameHitTest(f, {300, 30}), hitObject);
  EXPECT_EQ(FrameHitTest(f, {300, 12}), hitCaption);
}

TEST(FrameHitTest, ActiveObjectHoldsTheFrameUntilALoopRuns) {
  HitTestFrame f = MainFrame();
  f.Sizeable = true;
  f.ObjectActive = true;
  EXPECT_EQ(FrameHitTest(f, {0, 200}), hitObject);
  EXPECT_EQ(FrameHitTest(f, {300, 12}), hitCaption);
  EXPECT_EQ(FrameHitTest(f, {300, 200}), hitClient);
  f.MoveSizeLoop = true;
  EXPECT_EQ(FrameHitTest(f, {0, 200}), hitLeft);
}

// Each sizing area of a sizeable skinned frame by its first and last pixels,
// along the edge and across it, and the pixel just past each, which belongs
// to the next area. The 586 x 440 frame with a 3-pixel reach is near the
// edge at x <= 2, x >= 583, y <= 2 and y >= 437; its hit points are
// LT (8, 7), RT (577, 6), LB (8, 430), RB (577, 430).
TEST(FrameHitTest, SizeableSkinnedFrameAreasEndOnTheirExactPixels) {
  HitTestFrame f = MainFrame();
  f.Sizeable = true;
  ExpectHits(f, {
                    // top-left: x <= 8 and y <= 7
                    {{0, 0}, hitTopLeft}, {{8, 0}, hitTopLeft}, {{8, 2}, hitTopLeft}, {{0, 7}, hitTopLeft},
                    {{2, 7}, hitTopLeft}, {{9, 0}, hitTop}, {{0, 8}, hitLeft},
                    // top: x 9 .. 576, y 0 .. 2
                    {{9, 2}, hitTop}, {{576, 0}, hitTop}, {{576, 2}, hitTop}, {{300, 3}, hitObject},
                    // top-right: x >= 577 and y <= 6
                    {{577, 0}, hitTopRight}, {{577, 2}, hitTopRight}, {{585, 0}, hitTopRight},
                    {{585, 6}, hitTopRight}, {{583, 6}, hitTopRight}, {{585, 7}, hitRight},
                    // right: x 583 .. 585, y 7 .. 429
                    {{583, 7}, hitRight}, {{585, 429}, hitRight}, {{583, 429}, hitRight}, {{582, 200}, hitObject},
                    // bottom-right: x >= 577 and y >= 430
                    {{585, 430}, hitBottomRight}, {{583, 430}, hitBottomRight}, {{585, 439}, hitBottomRight},
                    {{577, 439}, hitBottomRight}, {{577, 437}, hitBottomRight}, {{576, 439}, hitBottom},
                    // bottom: x 9 .. 576, y 437 .. 439
                    {{9, 437}, hitBottom}, {{576, 437}, hitBottom}, {{9, 439}, hitBottom}, {{300, 436}, hitObject},
                    // bottom-left: x <= 8 and y >= 430
                    {{0, 439}, hitBottomLeft}, {{8, 439}, hitBottomLeft}, {{8, 437}, hitBottomLeft},
                    {{0, 430}, hitBottomLeft}, {{2, 430}, hitBottomLeft}, {{0, 429}, hitLeft},
                    // left: x 0 .. 2, y 8 .. 429
                    {{2, 8}, hitLeft}, {{2, 429}, hitLeft}, {{3, 200}, hitObject},
                    // away from the edge the fixed frame's answers
                    {{300, 12}, hitCaption}, {{300, 200}, hitClient}, {{5, 29}, hitClient}, {{580, 431}, hitClient},
                });
  // Maximized windows are never sized.
  f.Maximized = true;
  ExpectHits(f, {{{1, 200}, hitObject}, {{0, 0}, hitObject}, {{585, 439}, hitObject}, {{300, 12}, hitCaption}});
}

// Around the inner area (5, 5, 15, 15) of a 20 x 20 window: rows above it
// up to its top row read the top piece, rows from its bottom down the bottom
// piece from its first row, and the rows between read the right piece from
// the area's right edge or the left piece. Each piece is black (inside) but
// for one white pixel, so a piece read at the wrong place or offset shows.
TEST(InsideMask, EachPieceIsReadAtItsOwnPlace) {
  plat::Raster top(20, 5, plat::clBlack), bottom(20, 5, plat::clBlack), left(5, 10, plat::clBlack),
      right(5, 10, plat::clBlack);
  top.SetPixel(0, 4, plat::clWhite);
  bottom.SetPixel(18, 0, plat::clWhite);
  left.SetPixel(4, 9, plat::clWhite);
  right.SetPixel(0, 1, plat::clWhite);
  const MaskPieces m{&top, &bottom, &left, &right, Rect{5, 5, 15, 15}, plat::clBlack};
  EXPECT_FALSE(InsideMask(m, 0, 4));  // top (0, 4)
  EXPECT_TRUE(InsideMask(m, 1, 4));
  EXPECT_FALSE(InsideMask(m, 18, 15));  // bottom (18, 0)
  EXPECT_TRUE(InsideMask(m, 17, 15));
  EXPECT_TRUE(InsideMask(m, 18, 16));
  EXPECT_FALSE(InsideMask(m, 4, 14));  // left (4, 9)
  EXPECT_TRUE(InsideMask(m, 3, 14));
  EXPECT_TRUE(InsideMask(m, 4, 13));
  EXPECT_FALSE(InsideMask(m, 15, 6));  // right (0, 1)
  EXPECT_TRUE(InsideMask(m, 16, 6));
  EXPECT_TRUE(InsideMask(m, 15, 7));
  // The inner area itself, to its last pixel, whatever the pieces say.
  EXPECT_TRUE(InsideMask(m, 5, 5));
  EXPECT_TRUE(InsideMask(m, 14, 14));
}

TEST(FrameHitTest, MaskDecidesNearnessOutsideItsInnerArea) {
  // A 20 x 20 window whose mask leaves out a 3-pixel band on the left of the
  // left strip; the inner area is (5, 5, 15, 15).
  plat::Raster top(20, 5), bottom(20, 5), left(5, 10), right(5, 10);
  for (plat::Raster* r : {&top, &bottom, &left, &right}) r->Fill(plat::clBlack);
  for (int y = 0; y < 10; ++y)
    for (int x = 0; x < 3; ++x) left.SetPixel(x, y, plat::clWhite);
  MaskPieces m{&top, &bottom, &left, &right, Rect{5, 5, 15, 15}, plat::clBlack};
  EXPECT_TRUE(InsideMask(m, 8, 8));
  EXPECT_FALSE(InsideMask(m, 1, 8));
  EXPECT_TRUE(InsideMask(m, 4, 8));
  EXPECT_TRUE(InsideMask(m, 17, 8));
  EXPECT_FALSE(InsideMask(m, 30, 8));  // beyond the piece

  HitTestFrame f;
  f.Width = f.Height = 20;
  f.SkinInUse = true;
  f.Sizeable = true;
  f.BorderWidth = 2;
  f.ClientRect = Rect{5, 5, 15, 15};
  f.HitLT = Point{1, 1};
  f.HitRT = Point{19, 1};
  f.HitLB = Point{1, 19};
  f.HitRB = Point{19, 19};
  f.Mask = &m;
  EXPECT_EQ(FrameHitTest(f, {4, 8}), hitLeft);     // two pixels left is cut away
  EXPECT_EQ(FrameHitTest(f, {17, 8}), hitObject);  // the right strip is whole
}

// The plain frame of a 300 x 200 window: a 2-pixel sizing edge (x <= 2,
// x >= 298, y <= 2, y >= 198), each corner with its own code, then the
// caption (20, 3, 250, 19) and the client (3, 22, 297, 197).
TEST(FrameHitTest, DefaultFrameAreasEndOnTheirExactPixels) {
  HitTestFrame f;
  f.Width = 300;
  f.Height = 200;
  f.Sizeable = true;
  f.DefaultCaption = Rect{20, 3, 250, 19};
  ExpectHits(f, {
                    {{0, 0}, hitTopLeft}, {{2, 2}, hitTopLeft}, {{3, 2}, hitTop}, {{2, 3}, hitLeft},
                    {{298, 0}, hitTopRight}, {{299, 2}, hitTopRight}, {{297, 2}, hitTop}, {{298, 3}, hitRight},
                    {{0, 198}, hitBottomLeft}, {{2, 199}, hitBottomLeft}, {{3, 198}, hitBottom}, {{2, 197}, hitLeft},
                    {{298, 198}, hitBottomRight}, {{299, 199}, hitBottomRight}, {{297, 199}, hitBottom},
                    {{299, 197}, hitRight},
                    {{20, 3}, hitCaption}, {{249, 18}, hitCaption}, {{19, 10}, hitObject}, {{250, 10}, hitObject},
                    {{100, 19}, hitObject},
                    {{3, 22}, hitClient}, {{296, 196}, hitClient}, {{3, 21}, hitObject}, {{297, 100}, hitObject},
                    {{100, 197}, hitObject},
                });
  // An active object holds the whole frame, edges included.
  f.ObjectActive = true;
  ExpectHits(f, {{{0, 0}, hitObject}, {{100, 100}, hitObject}});
  f.ObjectActive = false;
  // Fixed, maximized, rolled up or minimized: no sizing edge; rolled up or
  // minimized: no client either.
  for (bool HitTestFrame::*state : {&HitTestFrame::Maximized, &HitTestFrame::RolledUp, &HitTestFrame::Minimized}) {
    HitTestFrame g = f;
    g.*state = true;
    const int client = (state == &HitTestFrame::Maximized) ? hitClient : hitObject;
    ExpectHits(g, {{{0, 0}, hitObject}, {{1, 100}, hitObject}, {{299, 199}, hitObject}, {{100, 10}, hitCaption},
                   {{100, 100}, client}});
  }
  f.Sizeable = false;
  ExpectHits(f, {{{1, 100}, hitObject}, {{0, 0}, hitObject}, {{100, 100}, hitClient}});
}

TEST(CursorHitCode, FormCursorOverTheFrameKeepsOnlyClientAndSizing) {
  EXPECT_EQ(CursorHitCode(hitCaption, true), hitClient);
  EXPECT_EQ(CursorHitCode(hitObject, true), hitClient);
  EXPECT_EQ(CursorHitCode(hitBottomRight, true), hitBottomRight);
  EXPECT_EQ(CursorHitCode(hitCaption, false), hitCaption);
}

TEST(SizeLimits, MainWindowWithDefaultSkinIsAtLeastItsFrame) {
  SizeLimitInput in;
  in.SkinInUse = true;
  in.PictureWidth = 146;
  in.PictureHeight = 82;
  in.SkinClientRect = Rect{5, 29, 141, 74};
  in.WorkArea = Rect{0, 0, 1280, 994};
  in.MonitorRect = Rect{0, 0, 1280, 1024};
  EXPECT_EQ(LimitMinWidth(in), 146);
  EXPECT_EQ(LimitMinHeight(in), 37);
  EXPECT_EQ(LimitMaxWidth(in), 1280);
  EXPECT_EQ(LimitMaxHeight(in), 994);
  in.MinWidth = 400;
  in.MinHeight = 300;
  EXPECT_EQ(LimitMinWidth(in), 400);
  EXPECT_EQ(LimitMinHeight(in), 300);
  in.RolledUp = true;  // rolled up, the frame alone is enough
  EXPECT_EQ(LimitMinHeight(in), 37);
  in.Minimized = true;
  EXPECT_EQ(LimitMinWidth(in), 146);
  in.FormMinWidth = 200;
  EXPECT_EQ(LimitMinWidth(in), 200);
  in.MaxWidth = 2000;  // larger than the work area: the work area wins
  in.MaxHeight = 500;
  EXPECT_EQ(LimitMaxWidth(in), 1280);
  EXPECT_EQ(LimitMaxHeight(in), 500);
  in.MaximizeOnFullScreen = true;
  in.MaxHeight = 0;
  EXPECT_EQ(LimitMaxHeight(in), 1024);
}

// Where one limit takes over from the other: at equality the skin's own
// size stands, one pixel past it the form's limit.
TEST(SizeLimits, EachLimitTakesOverOnePixelPastTheOther) {
  SizeLimitInput in;
  in.SkinInUse = true;
  in.PictureWidth = 146;
  in.PictureHeight = 82;
  in.SkinClientRect = Rect{5, 29, 141, 74};  // frame alone: 37 high
  in.WorkArea = Rect{0, 0, 1280, 994};
  in.MonitorRect = Rect{0, 0, 1280, 1024};
  in.FormMinWidth = 120;
  in.MinWidth = 146;
  EXPECT_EQ(LimitMinWidth(in), 120);
  in.MinWidth = 147;
  EXPECT_EQ(LimitMinWidth(in), 147);
  in.MinHeight = 37;
  EXPECT_EQ(LimitMinHeight(in), 37);
  in.MinHeight = 38;
  EXPECT_EQ(LimitMinHeight(in), 38);
  in.MaxWidth = 1280;
  in.MaxHeight = 994;
  EXPECT_EQ(LimitMaxWidth(in), 1280);
  EXPECT_EQ(LimitMaxHeight(in), 994);
  in.MaxWidth = 1279;
  in.MaxHeight = 993;
  EXPECT_EQ(LimitMaxWidth(in), 1279);
  EXPECT_EQ(LimitMaxHeight(in), 993);
  in.MaxWidth = 1281;
  in.MaxHeight = 995;
  EXPECT_EQ(LimitMaxWidth(in), 1280);
  EXPECT_EQ(LimitMaxHeight(in), 994);
  // Without a skin the frame alone is the caption and 6 pixels of border.
  SizeLimitInput plain;
  plain.MinHeight = 25;
  EXPECT_EQ(LimitMinHeight(plain), 25);
  plain.MinHeight = 26;
  EXPECT_EQ(LimitMinHeight(plain), 26);
  plain.MinWidth = 1;
  EXPECT_EQ(LimitMinWidth(plain), 1);
}

TEST(SizeLimits, WithoutSkin) {
  SizeLimitInput in;
  EXPECT_EQ(LimitMinWidth(in), 120);
  EXPECT_EQ(LimitMinHeight(in), 25);
  in.ToolWindow = true;
  EXPECT_EQ(LimitMinHeight(in), 21);
  in.MinWidth = 50;
  EXPECT_EQ(LimitMinWidth(in), 50);
}

TEST(Placement, MaximizeFillsTheWorkAreaOrStaysOnePixelInsideAWholeScreen) {
  const Rect screen{0, 0, 1280, 1024};
  EXPECT_EQ(MaximizedBounds(screen, screen, screen, false), (Rect{1, 1, 1279, 1023}));
  const Rect work{0, 0, 1280, 994};  // task bar at the foot
  EXPECT_EQ(MaximizedBounds(work, screen, screen, false), work);
  EXPECT_EQ(MaximizedBounds(work, screen, screen, true), screen);
  // A second monitor without a task bar is not the screen: filled exactly.
  const Rect second{1280, 0, 2560, 1024};
  EXPECT_EQ(MaximizedBounds(second, second, screen, false), second);
}

TEST(Placement, CentredWithTruncatedHalves) {
  EXPECT_EQ(CentreIn(Rect{0, 0, 1280, 1024}, 586, 441), (Point{347, 292}));
  EXPECT_EQ(CentreIn(Rect{-1281, 0, 0, 1024}, 101, 100), (Point{-1281 + 640 - 50, 462}));
  // A window larger than the monitor starts above and left of it.
  EXPECT_EQ(CentreIn(Rect{0, 0, 100, 100}, 301, 300), (Point{-100, -100}));
}

TEST(Placement, MinimizedSlotsFillRowsFromTheBottomLeft) {
  const Rect R{0, 0, 400, 100};
  EXPECT_EQ(MinimizedSlot(R, 150, 37, {}), (Point{0, 63}));
  EXPECT_EQ(MinimizedSlot(R, 150, 37, {{0, 63}}), (Point{150, 63}));
  // The third would end beyond the right edge: next row up.
  EXPECT_EQ(MinimizedSlot(R, 150, 37, {{0, 63}, {150, 63}}), (Point{0, 26}));
  // Above the top the first slot is taken whatever stands there.
  EXPECT_EQ(MinimizedSlot(R, 150, 37, {{0, 63}, {150, 63}, {0, 26}, {150, 26}}), (Point{0, -11}));
  // A slot ending exactly on the right edge is taken; a row starting exactly
  // on the top edge is still searched.
  const Rect S{0, 0, 400, 100};
  EXPECT_EQ(MinimizedSlot(S, 200, 50, {{0, 50}}), (Point{200, 50}));
  EXPECT_EQ(MinimizedSlot(S, 200, 50, {{0, 50}, {200, 50}, {0, 0}}), (Point{200, 0}));
  EXPECT_EQ(MinimizedSlot(S, 200, 50, {{0, 50}, {200, 50}, {0, 0}, {200, 0}}), (Point{0, -50}));
  // A zero-sized form still finds an end.
  EXPECT_EQ(MinimizedSlot(R, 0, 0, {{0, 100}}), (Point{1, 100}));
}

TEST(MagneticMove, SnapsWithinReachAndHoldsUntilTheCursorLeavesIt) {
  const Rect R{0, 0, 1280, 994};
  MagnetState s;
  const int w = 300, h = 200;
  // Dragging left: the window's left reaches 4 pixels from the edge.
  Rect r = MagneticMove(s, plat::Bounds(20, 300, w, h), R, {120, 310}, 5);
  EXPECT_EQ(r.Left, 20);
  r = MagneticMove(s, plat::Bounds(4, 300, w, h), R, {104, 310}, 5);
  EXPECT_EQ(r, plat::Bounds(0, 300, w, h));
  EXPECT_TRUE(s.Left);
  // Pushing on towards the edge, up to 5 pixels of cursor travel it stays.
  for (int d : {-1, -3, -5, 0}) {
    r = MagneticMove(s, plat::Bounds(4 + d, 300, w, h), R, {104 + d, 310}, 5);
    EXPECT_EQ(r.Left, 0) << d;
  }
  // One pixel more and it follows the cursor from the edge.
  r = MagneticMove(s, plat::Bounds(-2, 300, w, h), R, {98, 310}, 5);
  EXPECT_EQ(r.Left, -6);
  // Still following from the edge as the drag leaves the band, which lets go;
  // from then on the window is where the drag puts it.
  r = MagneticMove(s, plat::Bounds(30, 300, w, h), R, {130, 310}, 5);
  EXPECT_EQ(r.Left, 26);
  EXPECT_FALSE(s.Left);
  r = MagneticMove(s, plat::Bounds(31, 300, w, h), R, {131, 310}, 5);
  EXPECT_EQ(r.Left, 31);
  EXPECT_EQ(r.Width(), w);
  EXPECT_EQ(r.Height(), h);
}

// Every edge reaches M - 1 pixels to either side of itself, on the near
// side of the window (left, top) and on the far side (right, bottom); at M
// nothing snaps. The work area does not start at 0, so that its own edges
// count.
TEST(MagneticMove, EveryEdgeReachesOneShortOfTheDistanceOnBothSides) {
  const Rect R{100, 50, 1380, 1044};
  const int w = 300, h = 200, M = 5;
  for (int d : {-M, -(M - 1), 0, M - 1, M}) {
    SCOPED_TRACE(d);
    const bool snaps = -M < d && d < M;
    MagnetState nearSide;
    Rect r = MagneticMove(nearSide, plat::Bounds(R.Left + d, R.Top + d, w, h), R, {600, 400}, M);
    EXPECT_EQ(r, plat::Bounds(snaps ? R.Left : R.Left + d, snaps ? R.Top : R.Top + d, w, h));
    EXPECT_EQ(nearSide.Left, snaps);
    EXPECT_EQ(nearSide.Top, snaps);
    EXPECT_FALSE(nearSide.Right || nearSide.Bottom);
    MagnetState farSide;
    r = MagneticMove(farSide, plat::Bounds(R.Right - w + d, R.Bottom - h + d, w, h), R, {600, 400}, M);
    EXPECT_EQ(r, plat::Bounds(snaps ? R.Right - w : R.Right - w + d, snaps ? R.Bottom - h : R.Bottom - h + d, w, h));
    EXPECT_EQ(farSide.Right, snaps);
    EXPECT_EQ(farSide.Bottom, snaps);
    EXPECT_FALSE(farSide.Left || farSide.Top);
    if (snaps) {
      EXPECT_EQ(farSide.Anchor, (Point{600, 400}));
    }
  }
  MagnetState s{true, true, true, true, {}};
  s.ClearLatches();
  EXPECT_FALSE(s.Right || s.Bottom || s.Left || s.Top);
}

// Once snapped, an edge holds the window while the cursor stays within M of
// where it snapped, in either direction, and lets it follow the cursor from
// the edge one pixel later.
TEST(MagneticMove, EverySnappedEdgeHoldsForTheDistanceEitherWay) {
  const Rect R{100, 50, 1380, 1044};
  const int w = 300, h = 200, M = 5;
  const Point anchor{600, 400};
  for (int c : {M, -M, M + 1, -(M + 1)}) {
    SCOPED_TRACE(c);
    const int moved = std::abs(c) > M ? c : 0;
    // Snapped one pixel from the near edges, then dragged on by c.
    MagnetState s;
    MagneticMove(s, plat::Bounds(R.Left + 1, R.Top + 1, w, h), R, anchor, M);
    Rect r = MagneticMove(s, plat::Bounds(R.Left + 1 + c, R.Top + 1 + c, w, h), R, {anchor.X + c, anchor.Y + c}, M);
    EXPECT_EQ(r, plat::Bounds(R.Left + moved, R.Top + moved, w, h));
    // The same at the far edges.
    MagnetState t;
    MagneticMove(t, plat::Bounds(R.Right - w - 1, R.Bottom - h - 1, w, h), R, anchor, M);
    r = MagneticMove(t, plat::Bounds(R.Right - w - 1 + c, R.Bottom - h - 1 + c, w, h), R,
                     {anchor.X + c, anchor.Y + c}, M);
    EXPECT_EQ(r, plat::Bounds(R.Right - w + moved, R.Bottom - h + moved, w, h));
  }
  // Far from every edge nothing changes.
  MagnetState t;
  EXPECT_EQ(MagneticMove(t, plat::Bounds(500, 400, w, h), R, {600, 410}, M), plat::Bounds(500, 400, w, h));
}

TEST(CaptionDoubleClick, FixedWindowsRollUpSizeableOnesMaximize) {
  EXPECT_EQ(CaptionDoubleClick(false, wsNormal, false, false, true), CaptionDblClick::ToggleRollUp);
  EXPECT_EQ(CaptionDoubleClick(false, wsMaximized, false, false, true), CaptionDblClick::ToggleRollUp);
  EXPECT_EQ(CaptionDoubleClick(true, wsNormal, false, false, true), CaptionDblClick::Maximize);
  EXPECT_EQ(CaptionDoubleClick(true, wsNormal, false, false, false), CaptionDblClick::ToggleRollUp);
  EXPECT_EQ(CaptionDoubleClick(true, wsNormal, true, false, true), CaptionDblClick::ToggleRollUp);
  EXPECT_EQ(CaptionDoubleClick(true, wsMaximized, false, false, true), CaptionDblClick::Restore);
  EXPECT_EQ(CaptionDoubleClick(true, wsMaximized, true, true, true), CaptionDblClick::ToggleRollUp);
  EXPECT_EQ(CaptionDoubleClick(true, wsMinimized, false, false, true), CaptionDblClick::Restore);
}

TEST(FadeIn, StepsOfTenFromZeroEndingExactlyOnTheTarget) {
  auto tens = [](int upTo) {
    std::vector<int> v;
    for (int a = 10; a <= upTo; a += 10) v.push_back(a);
    return v;
  };
  std::vector<int> full = tens(250);
  full.push_back(255);
  EXPECT_EQ(FadeInSteps(255), full);  // 26 steps, as the fade-in loop takes them
  EXPECT_EQ(FadeInSteps(200), tens(200));
  std::vector<int> odd = tens(200);
  odd.push_back(201);
  EXPECT_EQ(FadeInSteps(201), odd);
  EXPECT_EQ(FadeInSteps(10), std::vector<int>{10});
  EXPECT_EQ(FadeInSteps(1), std::vector<int>{1});
  EXPECT_TRUE(FadeInSteps(0).empty());
  // Opacity is a byte: beyond it the fade ends at 255, below it there is none.
  EXPECT_EQ(FadeInSteps(300), full);
  EXPECT_TRUE(FadeInSteps(-5).empty());
}

// ------------------------------------------------------------ window states

namespace {

struct FakeHost : WindowHost {
  Rect bounds = plat::Bounds(100, 100, 586, 440);
  Rect work{0, 0, 1280, 994}, monitor{0, 0, 1280, 1024}, screen{0, 0, 1280, 1024};
  bool mainForm = true, rolledUp = false;
  int appMinimized = 0, restores = 0, imposedClient = 0, clientSet = -1;
  bool lastSizeChanged = false;
  std::vector<Event> events;
  std::vector<Point> others;
  Rect Bounds() override { return bounds; }
  void SetBounds(const Rect& r) override { bounds = r; }
  int ImposedClientHeight() override { return imposedClient; }
  void SetClientHeight(int h) override {
    clientSet = h;
    bounds.Bottom = bounds.Top + h + 37;
  }
  int MinWidth() override { return 146; }
  int MinHeight() override { return 37; }
  Rect WorkArea() override { return work; }
  Rect MonitorRect() override { return monitor; }
  Rect ScreenRect() override { return screen; }
  bool IsApplicationMainForm() override { return mainForm; }
  void MinimizeApplication() override { ++appMinimized; }
  std::vector<Point> MinimizedFormCorners() override { return others; }
  void AfterRestore(bool changed) override {
    ++restores;
    lastSizeChanged = changed;
  }
  void Fire(Event e) override { events.push_back(e); }
};

struct States : ::testing::Test {
  FakeHost host;
  TvpWindowStates st{host};
};

}  // namespace

TEST_F(States, RollUpLeavesTheFrameAndRollDownGivesBackTheHeightExactly) {
  ASSERT_TRUE(st.SetRollUpState(true));
  EXPECT_EQ(host.bounds, plat::Bounds(100, 100, 586, 37));
  // A second roll-up must not save the rolled-up height over the real one.
  EXPECT_TRUE(st.SetRollUpState(true));
  ASSERT_TRUE(st.SetRollUpState(false));
  EXPECT_EQ(host.bounds, plat::Bounds(100, 100, 586, 440));
  EXPECT_EQ(host.events, (std::vector<WindowHost::Event>{WindowHost::Event::ChangeRollUpState,
                                                         WindowHost::Event::ChangeRollUpState}));
}

TEST_F(States, RollDownReimposesTheClientHeight) {
  host.imposedClient = 300;
  st.SetRollUpState(true);
  st.SetRollUpState(false);
  EXPECT_EQ(host.clientSet, 300);
}

TEST_F(States, RollUpRefusals) {
  st.CanRollUp = false;
  EXPECT_FALSE(st.SetRollUpState(true));
  st.CanRollUp = true;
  st.WindowState = wsMinimized;
  EXPECT_FALSE(st.SetRollUpState(true));
  EXPECT_EQ(host.bounds.Height(), 440);
}

TEST_F(States, MaximizeAndRestoreComeBackToTheSameBounds) {
  const Rect before = host.bounds;
  st.SetWindowState(wsMaximized);
  EXPECT_EQ(host.bounds, host.work);
  EXPECT_EQ(st.RestoreBounds, before);
  st.SetWindowState(wsMaximized);  // no change, nothing saved over
  EXPECT_EQ(st.RestoreBounds, before);
  st.SetWindowState(wsNormal);
  EXPECT_EQ(host.bounds, before);
  EXPECT_TRUE(st.RestoreBounds.IsNull());
  EXPECT_TRUE(host.lastSizeChanged);
}

TEST_F(States, RolledUpWhileMaximizedRollsDownOnRestore) {
  st.SetWindowState(wsMaximized);
  ASSERT_TRUE(st.SetRollUpState(true));
  EXPECT_TRUE(st.RolledUpWhileMaximized);
  EXPECT_EQ(host.bounds.Height(), 37);
  st.SetWindowState(wsNormal);
  EXPECT_FALSE(st.RollUpState);
  EXPECT_EQ(host.bounds, plat::Bounds(100, 100, 586, 440));
}

TEST_F(States, RolledUpBeforeMaximizeStaysRolledUpAfterRestore) {
  st.SetRollUpState(true);
  st.SetWindowState(wsMaximized);
  EXPECT_TRUE(st.RolledUpBeforeMaximize);
  // Rolled up but not by a roll-up while maximized: a roll-down is refused.
  EXPECT_FALSE(st.SetRollUpState(false));
  st.SetWindowState(wsNormal);
  EXPECT_TRUE(st.RollUpState);
  EXPECT_EQ(host.bounds, plat::Bounds(100, 100, 586, 37));
  st.SetRollUpState(false);
  EXPECT_EQ(host.bounds.Height(), 440);
}

TEST_F(States, MainFormMinimizesTheApplicationAndKeepsItsState) {
  st.SetWindowState(wsMinimized);
  EXPECT_EQ(host.appMinimized, 1);
  EXPECT_EQ(st.WindowState, wsNormal);
  EXPECT_EQ(host.bounds, plat::Bounds(100, 100, 586, 440));
  EXPECT_EQ(host.events.back(), WindowHost::Event::Minimize);
}

TEST_F(States, OtherFormsMinimizeToAFreeSlotAndRestore) {
  host.mainForm = false;
  host.others = {{0, 994 - 37}};
  st.SetWindowState(wsMinimized);
  EXPECT_EQ(st.WindowState, wsMinimized);
  EXPECT_EQ(host.bounds, plat::Bounds(146, 994 - 37, 146, 37));
  st.SetWindowState(wsNormal);
  EXPECT_EQ(host.bounds, plat::Bounds(100, 100, 586, 440));
}

TEST_F(States, FirstShowCentresOnTheMonitorOnce) {
  st.PositionInMonitor = TvpPositionInMonitor::vppScreenCenter;
  st.FirstShow();
  EXPECT_EQ(host.bounds, plat::Bounds(347, 292, 586, 440));
  host.bounds = plat::Bounds(5, 5, 586, 440);
  st.FirstShow();
  EXPECT_EQ(host.bounds.Left, 5);
  // The desktop centre uses the work area.
  TvpWindowStates other{host};
  other.PositionInMonitor = TvpPositionInMonitor::vppDesktopCenter;
  other.FirstShow();
  EXPECT_EQ(host.bounds, plat::Bounds(347, 277, 586, 440));
}

TEST_F(States, RestoreWithoutSavedBoundsKeepsTheWindowWhereItIs) {
  st.FirstPlacementPending = false;
  st.WindowState = wsMaximized;  // e.g. the state recorded, bounds never saved
  st.SetWindowState(wsNormal);
  EXPECT_EQ(host.bounds, plat::Bounds(100, 100, 586, 440));
  EXPECT_FALSE(host.lastSizeChanged);
}
