#include <gtest/gtest.h>

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

}  // namespace

TEST(FrameHitTest, FixedMainWindowIsDraggedOnlyByItsCaption) {
  HitTestFrame f = MainFrame();
  EXPECT_EQ(FrameHitTest(f, {300, 12}), hitCaption);
  EXPECT_EQ(FrameHitTest(f, {300, 200}), hitClient);
  // Every border spot and every caption button answers "object": the system
  // neither moves nor sizes the window there.
  for (Point p : {Point{1, 200}, Point{584, 200}, Point{300, 1}, Point{300, 438}, Point{0, 0}, Point{585, 439},
                  Point{300, 26}, Point{10, 12}, Point{40, 8}, Point{58, 12}}) {
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

TEST(FrameHitTest, SizeableRectangularFrameAnswersEdgesAndCorners) {
  HitTestFrame f = MainFrame();
  f.Sizeable = true;
  EXPECT_EQ(FrameHitTest(f, {1, 1}), hitTopLeft);
  EXPECT_EQ(FrameHitTest(f, {584, 1}), hitTopRight);
  EXPECT_EQ(FrameHitTest(f, {1, 438}), hitBottomLeft);
  EXPECT_EQ(FrameHitTest(f, {584, 438}), hitBottomRight);
  EXPECT_EQ(FrameHitTest(f, {300, 1}), hitTop);
  EXPECT_EQ(FrameHitTest(f, {300, 438}), hitBottom);
  EXPECT_EQ(FrameHitTest(f, {1, 200}), hitLeft);
  EXPECT_EQ(FrameHitTest(f, {584, 200}), hitRight);
  // Three pixels in is still the edge, four is not.
  EXPECT_EQ(FrameHitTest(f, {2, 200}), hitLeft);
  EXPECT_EQ(FrameHitTest(f, {3, 200}), hitObject);
  // Maximized windows are never sized.
  f.Maximized = true;
  EXPECT_EQ(FrameHitTest(f, {1, 200}), hitObject);
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

TEST(FrameHitTest, DefaultFrameWithoutSkin) {
  HitTestFrame f;
  f.Width = 300;
  f.Height = 200;
  f.Sizeable = true;
  f.DefaultCaption = Rect{20, 3, 250, 19};
  EXPECT_EQ(FrameHitTest(f, {2, 2}), hitTopLeft);
  EXPECT_EQ(FrameHitTest(f, {298, 100}), hitRight);
  EXPECT_EQ(FrameHitTest(f, {100, 10}), hitCaption);
  EXPECT_EQ(FrameHitTest(f, {100, 100}), hitClient);
  EXPECT_EQ(FrameHitTest(f, {260, 10}), hitObject);
  f.Sizeable = false;
  EXPECT_EQ(FrameHitTest(f, {1, 100}), hitObject);
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

TEST(MagneticMove, RightAndBottomEdgesSnapTheFarSide) {
  const Rect R{0, 0, 1280, 994};
  MagnetState s;
  Rect r = MagneticMove(s, plat::Bounds(977, 792, 300, 200), R, {1000, 800}, 5);
  EXPECT_EQ(r, plat::Bounds(980, 794, 300, 200));
  EXPECT_TRUE(s.Right);
  EXPECT_TRUE(s.Bottom);
  EXPECT_EQ(s.Anchor, (Point{1000, 800}));
  s.ClearLatches();
  EXPECT_FALSE(s.Right || s.Bottom || s.Left || s.Top);
  // Far from every edge nothing changes.
  MagnetState t;
  EXPECT_EQ(MagneticMove(t, plat::Bounds(500, 400, 300, 200), R, {600, 410}, 5), plat::Bounds(500, 400, 300, 200));
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

TEST(FadeIn, StepsOfTenCappedAtTheTarget) {
  const auto full = FadeInSteps(255);
  ASSERT_EQ(full.size(), 26u);
  EXPECT_EQ(full.front(), 10);
  EXPECT_EQ(full[24], 250);
  EXPECT_EQ(full.back(), 255);
  EXPECT_EQ(FadeInSteps(200).back(), 200);
  EXPECT_TRUE(FadeInSteps(0).empty());
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
