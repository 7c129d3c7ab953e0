// The caption buttons on a real window: hover, press, release inside and
// outside, their commands, hidden buttons, and which object wins the hit.
#include <gtest/gtest.h>

#include "frame_test_util.h"
#include "skinpopups/win/vpSkinHint.h"
#include "skinpopups/win/vpSkinMenus.h"
#include "ui/win/windowhook.h"

#include <algorithm>
#include <thread>

using namespace frametest;

namespace {

vp::TvpSkinButtonObject* Button(SkinnedForm& f, const std::string& name) {
  return dynamic_cast<vp::TvpSkinButtonObject*>(f.Object(name));
}

// Window pixels of the object equal `from` of the picture.
bool ShowsImage(SkinnedForm& f, const std::string& name, const plat::Raster& picture, const vp::Rect& from) {
  const plat::Raster shot = f.GrabWindow();
  const vp::Rect r = f.Object(name)->ObjectRect;
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x)
      if (shot.Pixel(r.Left + x, r.Top + y) != picture.Pixel(from.Left + x, from.Top + y)) return false;
  return true;
}

POINT InClient(SkinnedForm& f) {
  const RECT w = f.WindowRect();
  return POINT{w.left + 300, w.top + 200};
}

}  // namespace

TEST(CaptionButtons, PressOnCloseAndReleaseOutsideLeavesTheWindowOpen) {
  SkinnedForm f;
  f.Show();
  auto* close = Button(f, "closebutton");
  ASSERT_NE(close, nullptr);
  const POINT p = f.Centre("closebutton");
  SetCursorPos(p.x, p.y);
  HWND h = f.form->Handle();
  EXPECT_EQ(SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)), HTOBJECT);
  SendMessageW(h, WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(p.x, p.y));
  Pump(80);
  EXPECT_TRUE(close->Pressed);
  EXPECT_EQ(GetCapture(), h);
  // The pressed image comes from active picture 0.
  EXPECT_TRUE(ShowsImage(f, "closebutton", f.data->ActivePictureList[0].Pixels, close->DownRect));

  const POINT out = InClient(f);
  SetCursorPos(out.x, out.y);
  Pump(120);  // the hover polling sees the mouse leave
  POINT c = out;
  ScreenToClient(h, &c);
  SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
  Pump(80);
  EXPECT_FALSE(close->Pressed);
  EXPECT_NE(GetCapture(), h);
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_TRUE(ShowsImage(f, "closebutton", f.data->FramePicture.Pixels, close->SkinRect));

  // Released over it, it closes the form (a secondary form hides).
  f.Click("closebutton", f.Centre("closebutton"));
  EXPECT_FALSE(IsWindowVisible(h));
}

TEST(CaptionButtons, MinimizeMinimizes) {
  SkinnedForm f;
  f.Show();
  f.Click("minbutton", f.Centre("minbutton"));
  // A form that is not the application's main form shrinks to its frame at
  // the work area's bottom left.
  EXPECT_EQ(f.frame->WindowState, vp::wsMinimized);
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT r = f.WindowRect();
  EXPECT_EQ(r.left, work.left);
  EXPECT_EQ(r.bottom, work.bottom);
  EXPECT_EQ(r.bottom - r.top, 37);
}

TEST(CaptionButtons, HiddenButtonsStayInThePictureAndDoNothing) {
  SkinnedForm f;
  f.frame->HideCaptionButtons = true;
  f.frame->SetBorderIcons(f.frame->BorderIcons());
  f.Show();
  for (const char* name : {"closebutton", "minbutton", "maxbutton", "rollupbutton", "sysmenubutton"}) {
    EXPECT_TRUE(f.Object(name)->Visible) << name;
    EXPECT_FALSE(f.Object(name)->Enabled) << name;
  }
  HWND h = f.form->Handle();
  f.Click("closebutton", f.Centre("closebutton"));
  EXPECT_TRUE(IsWindowVisible(h));
  f.Click("minbutton", f.Centre("minbutton"));
  EXPECT_FALSE(IsIconic(h));
  EXPECT_FALSE(Button(f, "closebutton")->Pressed);
  EXPECT_TRUE(ShowsImage(f, "closebutton", f.data->FramePicture.Pixels, Button(f, "closebutton")->SkinRect));
}

TEST(CaptionButtons, HoverReactsOnlyWhileTheWindowIsActive) {
  SkinnedForm f;
  f.Show();
  const RECT w = f.WindowRect();
  ColourWindow other(RGB(0, 0, 128), RECT{w.right + 10, w.top, w.right + 60, w.top + 50});
  SetForegroundWindow(other.Handle());
  SetActiveWindow(other.Handle());
  Pump(150);
  ASSERT_FALSE(f.frame->FormActive());
  const POINT p = f.Centre("maxbutton");
  SetCursorPos(p.x, p.y);
  f.frame->TestActive(p.x - w.left, p.y - w.top, true);
  Pump(150);
  EXPECT_FALSE(f.Object("maxbutton")->Hovering);

  SetForegroundWindow(f.form->Handle());
  Pump(150);
  ASSERT_TRUE(f.frame->FormActive());
  f.frame->TestActive(p.x - w.left, p.y - w.top, true);
  EXPECT_TRUE(f.Object("maxbutton")->Hovering);
  // The hover polling lets go once the mouse is elsewhere.
  const POINT out = InClient(f);
  SetCursorPos(out.x, out.y);
  Pump(200);
  EXPECT_FALSE(f.Object("maxbutton")->Hovering);
}

TEST(CaptionButtons, OfTwoObjectsAtOnePlaceTheEarlierWins) {
  SkinnedForm f;
  // A second button over the close button, listed after it.
  auto twin = std::make_unique<vp::TvpDataSkinStdButton>("twinbutton");
  const int close = f.data->FindObject("closebutton");
  ASSERT_GE(close, 0);
  twin->SkinRect = f.data->ObjectDefs[static_cast<size_t>(close)]->SkinRect;
  twin->Command = vp::cmDefault;
  f.data->ObjectDefs.insert(f.data->ObjectDefs.begin() + close + 1, std::move(twin));
  f.frame->OnActivateCustomObject = [](const std::string&, bool& visible) { visible = true; };
  f.frame->ChangeSkinData();
  f.Show();
  const RECT w = f.WindowRect();
  const POINT p = f.Centre("closebutton");
  f.frame->TestActive(p.x - w.left, p.y - w.top, true);
  ASSERT_NE(f.frame->ActiveObject, -1);
  EXPECT_EQ(f.frame->ObjectList[static_cast<size_t>(f.frame->ActiveObject)]->IDName, "closebutton");
  EXPECT_FALSE(f.Object("twinbutton")->Hovering);
}

TEST(CaptionButtons, CaptionDragAnswersCaptionAndButtonsAndEdgesAnswerObject) {
  SkinnedForm f;
  f.Show();
  const RECT w = f.WindowRect();
  HWND h = f.form->Handle();
  auto hit = [&](int x, int y) { return SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(w.left + x, w.top + y)); };
  EXPECT_EQ(hit(300, 12), HTCAPTION);  // the caption object
  EXPECT_EQ(hit(12, 14), HTOBJECT);    // the close button
  EXPECT_EQ(hit(2, 200), HTOBJECT);    // the left edge of a fixed window
  EXPECT_EQ(hit(300, 200), HTCLIENT);
}

TEST(CaptionButtons, DefaultHintsComeWithTheButtons) {
  SkinnedForm f;
  // A skin without hints of its own: the texts come from the frame.
  for (auto& d : f.data->ObjectDefs) d->Hint.clear();
  f.frame->ChangeSkinData();
  EXPECT_EQ(f.Object("closebutton")->Hint, L"Close");
  EXPECT_EQ(f.Object("maxbutton")->Hint, L"Maximize");
  EXPECT_EQ(f.Object("minbutton")->Hint, L"Minimize");
  EXPECT_EQ(f.Object("sysmenubutton")->Hint, L"System menu");
  EXPECT_EQ(f.Object("rollupbutton")->Hint, L"Roll Up");
  EXPECT_EQ(f.Object("caption1")->Hint, L"") << "only buttons get default hints";
  f.frame->UseDefaultObjectHint = false;
  f.frame->ChangeSkinData();
  EXPECT_EQ(f.Object("closebutton")->Hint, L"");
  // The skin's strings, bytes of its file, win over the program's own.
  f.frame->UseDefaultObjectHint = true;
  vp::TvpResourceStrData strings;
  strings.SetResStrings({"CLOSEBUTTON_HINT=\xb9\xd8\xb1\xd5"});  // 关闭 in GBK
  f.data->SetResourceStrData(&strings);
  EXPECT_EQ(f.Object("closebutton")->Hint, L"\x5173\x95ed");
  f.data->SetResourceStrData(nullptr);
}

TEST(CaptionButtons, DefaultCommandObjectsAreHiddenWithoutAHandler) {
  SkinnedForm f;
  auto extra = std::make_unique<vp::TvpDataSkinStdButton>("extrabutton");
  extra->SkinRect = vp::Rect{100, 6, 110, 16};
  extra->Command = vp::cmDefault;
  f.data->ObjectDefs.push_back(std::move(extra));
  f.frame->ChangeSkinData();
  EXPECT_FALSE(f.Object("extrabutton")->Visible);
  std::string asked;
  f.frame->OnActivateCustomObject = [&](const std::string& name, bool& visible) {
    asked = name;
    visible = true;
  };
  f.frame->ChangeSkinData();
  EXPECT_EQ(asked, "extrabutton");
  EXPECT_TRUE(f.Object("extrabutton")->Visible);
}

TEST(CaptionButtons, ObjectHintShowsThroughTheSkinnedHint) {
  SkinnedForm f;
  auto* hint = new vp::TvpSkinHint(f.form);
  hint->SetSkinData(f.data.get());
  f.frame->SetSkinHint(hint);
  f.frame->ShowObjectHint = true;
  f.Show();
  const RECT w = f.WindowRect();
  const POINT p = f.Centre("closebutton");
  SetCursorPos(p.x, p.y);
  f.frame->TestActive(p.x - w.left, p.y - w.top, true);
  EXPECT_TRUE(hint->HintPending());
  Pump(900);  // one hint pause
  HWND tip = hint->HintWindow()->Handle();
  EXPECT_TRUE(IsWindowVisible(tip));
  EXPECT_EQ(hint->HintWindow()->Text(), L"Close");
  // Leaving the button takes the hint away.
  f.frame->TestActive(300, 200, true);
  Pump(100);
  EXPECT_FALSE(IsWindowVisible(tip));
  delete hint;
  EXPECT_EQ(f.frame->SkinHint(), nullptr);
}

namespace {

// Counts the whole-frame paints that reach the form.
class NCPaintCounter : public TWindowHook {
 public:
  int Count = 0;

 protected:
  void HookWndProc(TMessage& m) override {
    if (m.Msg == WM_NCPAINT) ++Count;
    CallPrevious(m);
  }
};

}  // namespace

TEST(CaptionButtons, PressAndMorphRepaintOnlyTheButton) {
  SkinnedForm f;
  // The close button morphs to its pressed picture when hovered.
  const int close = f.data->FindObject("closebutton");
  auto* def = f.data->ObjectDefs[static_cast<size_t>(close)].get();
  def->ActiveSkinRect = static_cast<vp::TvpDataSkinButton*>(def)->DownRect;
  def->Morphing = true;
  f.frame->ChangeSkinData();
  f.Show();
  NCPaintCounter counter;
  counter.Hook(f.form);  // above the frame: sees every whole-frame paint
  auto* b = Button(f, "closebutton");
  ASSERT_TRUE(b->Morphing);
  const RECT w = f.WindowRect();
  const POINT p = f.Centre("closebutton");
  SetCursorPos(p.x, p.y);
  f.frame->TestActive(p.x - w.left, p.y - w.top, true);
  EXPECT_TRUE(f.frame->MorphTimer->Enabled());
  Pump(400);  // five 25 ms steps, with room for a loaded machine
  EXPECT_EQ(b->MorphFactor, 1.0);
  EXPECT_FALSE(f.frame->MorphTimer->Enabled());  // stops itself when idle
  EXPECT_TRUE(ShowsImage(f, "closebutton", f.data->ActivePictureList[0].Pixels, b->ActiveSkinRect));
  const POINT out = InClient(f);
  SetCursorPos(out.x, out.y);
  Pump(500);
  EXPECT_EQ(b->MorphFactor, 0.0);
  EXPECT_TRUE(ShowsImage(f, "closebutton", f.data->FramePicture.Pixels, b->SkinRect));
  EXPECT_EQ(counter.Count, 0);
  counter.Unhook();
}

TEST(CaptionButtons, DraggingTheCaptionMovesTheWindow) {
  SkinnedForm f;
  f.Show();
  const RECT before = f.WindowRect();
  const POINT start{before.left + 300, before.top + 12};
  SetCursorPos(start.x, start.y);
  Pump(100);
  // The system's move loop runs inside this thread's message handling: the
  // mouse is driven from another thread meanwhile.
  std::thread mouse([start] {
    auto send = [](DWORD flags) {
      INPUT in{};
      in.type = INPUT_MOUSE;
      in.mi.dwFlags = flags;
      SendInput(1, &in, sizeof in);
    };
    send(MOUSEEVENTF_LEFTDOWN);
    Sleep(150);
    for (int i = 1; i <= 10; ++i) {
      SetCursorPos(start.x + 4 * i, start.y + 3 * i);
      Sleep(30);
    }
    Sleep(100);
    send(MOUSEEVENTF_LEFTUP);
  });
  Pump(1500);
  mouse.join();
  Pump(100);
  const RECT after = f.WindowRect();
  EXPECT_EQ(after.left - before.left, 40);
  EXPECT_EQ(after.top - before.top, 30);
  EXPECT_FALSE(f.frame->MoveSizeLoop);  // the press that started it ended the mark
}

TEST(CaptionButtons, DeactivationPaintsTheButtonsInTheirNormalLook) {
  SkinnedForm f;
  // The close button gets a hover picture (its pressed one), without morphing.
  const int close = f.data->FindObject("closebutton");
  auto* def = f.data->ObjectDefs[static_cast<size_t>(close)].get();
  def->ActiveSkinRect = static_cast<vp::TvpDataSkinButton*>(def)->DownRect;
  f.frame->ChangeSkinData();
  f.Show();
  auto* b = Button(f, "closebutton");
  const RECT w = f.WindowRect();
  const POINT p = f.Centre("closebutton");
  SetCursorPos(p.x, p.y);
  f.frame->TestActive(p.x - w.left, p.y - w.top, true);
  Pump(50);
  ASSERT_TRUE(ShowsImage(f, "closebutton", f.data->ActivePictureList[0].Pixels, b->ActiveSkinRect));
  ColourWindow other(RGB(0, 0, 128), RECT{w.right + 10, w.top, w.right + 60, w.top + 50});
  SetForegroundWindow(other.Handle());
  SetActiveWindow(other.Handle());
  Pump(150);
  ASSERT_FALSE(f.frame->FormActive());
  EXPECT_FALSE(b->Highlighted);
  EXPECT_TRUE(ShowsImage(f, "closebutton", f.data->FramePicture.Pixels, b->SkinRect))
      << "the hover look stays on the inactive window";
}

TEST(CaptionButtons, AButtonUnderAStillPointerAnswersAgainAfterAnotherWindowWasActive) {
  SkinnedForm f;
  f.Show();
  const POINT p = f.Centre("rollupbutton");
  SetCursorPos(p.x, p.y);
  Pump(150);  // the hover polling finds the button
  ASSERT_TRUE(f.Object("rollupbutton")->Hovering);
  const RECT w = f.WindowRect();
  {
    ColourWindow other(RGB(0, 0, 128), RECT{w.right + 10, w.top, w.right + 60, w.top + 50});
    SetForegroundWindow(other.Handle());
    SetActiveWindow(other.Handle());
    Pump(150);
  }
  SetForegroundWindow(f.form->Handle());
  SetActiveWindow(f.form->Handle());
  Pump(150);  // the pointer never moved
  ASSERT_TRUE(f.frame->FormActive());
  EXPECT_TRUE(f.Object("rollupbutton")->Hovering);
  f.Click("rollupbutton", p);
  EXPECT_TRUE(f.frame->RollUpState);
}

TEST(CaptionButtons, CaptureTakenAwayMidPressReleasesTheButtonAndTheNextPressCounts) {
  SkinnedForm f;
  const RECT w = f.WindowRect();
  ColourWindow other(RGB(0, 128, 0), RECT{w.right + 10, w.top, w.right + 60, w.top + 50});
  f.Show();  // active again
  ASSERT_TRUE(f.frame->FormActive());
  HWND h = f.form->Handle();
  const POINT p = f.Centre("minbutton");
  SetCursorPos(p.x, p.y);
  SendMessageW(h, WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(p.x, p.y));
  Pump(50);
  ASSERT_TRUE(Button(f, "minbutton")->Pressed);
  ASSERT_EQ(GetCapture(), h);
  // Another window takes the mouse (a dialog, Alt+Tab).
  SetCapture(other.Handle());
  Pump(50);
  EXPECT_FALSE(Button(f, "minbutton")->Pressed);
  EXPECT_EQ(f.frame->CaptureObject, -1);
  ReleaseCapture();
  EXPECT_EQ(f.frame->WindowState, vp::wsNormal) << "no command without the release";
  // The next press, on another button, is not swallowed.
  f.Click("rollupbutton", f.Centre("rollupbutton"));
  EXPECT_TRUE(f.frame->RollUpState);
}

TEST(CaptionButtons, AButtonsOwnMenuDropsDownAgainAfterItClosed) {
  SkinnedForm f;
  // A plain button (not a standard one) beside the standard ones.
  auto def = std::make_unique<vp::TvpDataSkinButton>("menubutton");
  def->SkinRect = vp::Rect{50, 20, 66, 28};
  f.data->ObjectDefs.insert(f.data->ObjectDefs.begin(), std::move(def));
  f.frame->ChangeSkinData();
  f.Show();
  auto* b = Button(f, "menubutton");
  ASSERT_NE(b, nullptr);
  TPopupMenu items(nullptr);
  auto* one = new TMenuItem(&items);
  one->Caption = L"One";
  items.Items()->Add(one);
  b->Menu = items.Items();
  for (int round = 0; round < 2; ++round) {
    f.Click("menubutton", f.Centre("menubutton"));
    ASSERT_TRUE(f.frame->SkinMenuVisible()) << "round " << round;
    EXPECT_TRUE(b->Pressed);
    f.frame->SkinMenu()->CloseMenu();
    Pump(50);
    EXPECT_FALSE(b->Pressed);
    EXPECT_FALSE(f.frame->SkinMenuOpen);
    EXPECT_EQ(b->Menu, items.Items()) << "the button keeps its menu";
  }
  b->Menu = nullptr;
}

TEST(CaptionButtons, AMenuThatShowsNothingEndsTheMenuModeAndReleasesTheButton) {
  SkinnedForm f;
  TPopupMenu user(nullptr);
  auto* hidden = new TMenuItem(&user);
  hidden->Caption = L"Hidden";
  hidden->Visible = false;
  user.Items()->Add(hidden);
  f.frame->SetSystemMenu(&user);
  f.frame->UseDefaultSysMenu = false;
  f.Show();
  f.Click("sysmenubutton", f.Centre("sysmenubutton"));
  EXPECT_FALSE(f.frame->SkinMenuVisible());
  EXPECT_FALSE(f.frame->SkinMenuOpen);
  EXPECT_FALSE(Button(f, "sysmenubutton")->Pressed);
  // Keys reach the form again: the frame's key handler is gone.
  EXPECT_FALSE(static_cast<bool>(Application->OnMessage));
  f.frame->SetSystemMenu(nullptr);
}

TEST(CaptionButtons, CaptionAlignmentPlacesTheTextInItsRectangle) {
  // The text rectangle of caption1 is (0, 2, 73 + dx, 14) inside the object
  // at (67, 6): window columns 67 to W - 6.
  auto inkColumns = [](int alignment) {
    SkinnedForm f(586, 100, true, L"Short");
    const int c = f.data->FindObject("caption1");
    static_cast<vp::TvpDataSkinCaption*>(f.data->ObjectDefs[static_cast<size_t>(c)].get())->Alignment = static_cast<vp::TAlignment>(alignment);
    f.frame->ChangeSkinData();
    f.Show();
    const plat::Raster shot = f.GrabWindow();
    int left = -1, right = -1;
    for (int x = 60; x < shot.Width(); ++x)
      for (int y = 8; y < 20; ++y)
        if (shot.Pixel(x, y) == 0) {
          if (left < 0) left = x;
          right = x;
        }
    return std::make_pair(left, right - shot.Width());  // right as an offset from the window's right edge
  };
  const auto left = inkColumns(0), right = inkColumns(1), centre = inkColumns(2);
  EXPECT_GE(left.first, 67);
  EXPECT_LE(left.first, 70);
  EXPECT_GE(right.second, -9) << "right-justified: ends at the rectangle's right edge (W - 6)";
  EXPECT_LE(right.second, -6);
  // Centred: as far from both ends of the rectangle, within a pixel or two.
  const int W = 596;
  const int gapLeft = centre.first - 67, gapRight = (W - 6) - (W + centre.second) - 1;
  EXPECT_LE(std::abs(gapLeft - gapRight), 3) << gapLeft << " / " << gapRight;
}

TEST(CaptionButtons, AFrameStripWithCycleKeepsPlayingWhileHovered) {
  auto run = [](bool cycle, std::vector<int>& frames, vp::TvpSkinAnimateObject*& out, SkinnedForm& f) {
    auto def = std::make_unique<vp::TvpDataSkinAnimate>("strip");
    def->SkinRect = vp::Rect{0, 0, 10, 8};  // three frames side by side in active picture 0
    def->ActivePictureIndex = 0;
    def->SkinRectInAPicture = true;
    def->CountFrames = 3;
    def->Cycle = cycle;
    def->ButtonStyle = true;
    def->TimerInterval = 25;
    f.data->ObjectDefs.insert(f.data->ObjectDefs.begin(), std::move(def));
    f.frame->OnActivateCustomObject = [](const std::string&, bool& visible) { visible = true; };
    f.frame->ChangeSkinData();
    f.Show();
    auto* a = dynamic_cast<vp::TvpSkinAnimateObject*>(f.Object("strip"));
    out = a;
    ASSERT_NE(a, nullptr);
    a->ObjectRect = vp::Rect{50, 20, 60, 28};
    const RECT w = f.WindowRect();
    SetCursorPos(w.left + 55, w.top + 24);
    f.frame->TestActive(55, 24, true);
    for (int i = 0; i < 60; ++i) {
      Pump(10);
      frames.push_back(a->CurrentFrame);
    }
  };
  {
    SkinnedForm f;
    std::vector<int> frames;
    vp::TvpSkinAnimateObject* a = nullptr;
    run(true, frames, a, f);
    ASSERT_NE(a, nullptr);
    // 1, 2, 3 and round again while the pointer stays.
    int wraps = 0;
    for (size_t i = 1; i < frames.size(); ++i) wraps += frames[i - 1] == 3 && frames[i] == 1;
    EXPECT_GE(wraps, 1);
    EXPECT_TRUE(a->Highlighted);
  }
  {
    SkinnedForm f;
    std::vector<int> frames;
    vp::TvpSkinAnimateObject* a = nullptr;
    run(false, frames, a, f);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(frames.back(), 3) << "without cycle it stops at the last frame";
    EXPECT_EQ(std::count(frames.begin(), frames.end(), 1) > 0 && std::count(frames.begin(), frames.end(), 2) > 0, true);
    EXPECT_FALSE(a->Highlighted);
    // Leaving plays it back to the first frame.
    const RECT w = f.WindowRect();
    SetCursorPos(w.left + 300, w.top + 200);
    f.frame->TestActive(300, 200, true);
    Pump(400);
    EXPECT_EQ(a->CurrentFrame, 1);
  }
}
