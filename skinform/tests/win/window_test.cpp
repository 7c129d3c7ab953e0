// Window behaviours and the system menu on real windows: a form wearing the
// default skin, driven by real mouse and keyboard input.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <thread>

#include "skin/win/vpSkinWin.h"
#include "skinform/win/VesperForm.h"
#include "skinpopups/win/vpSkinMenus.h"
#include "tests/e2e/driver.h"

using namespace vp;

namespace {

// ---- input, as the user gives it

using e2e::Key;
using e2e::MouseButton;
using e2e::MouseTo;

void Sleep_(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// Handles messages (through the application, as the program's loop does)
// for `ms` milliseconds.
void Pump(int ms) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    Sleep_(5);
  }
}

// Input given from another thread while this one handles messages: the
// system's loops for a press on the caption (moving, the right button) are
// modal and wait for the release.
void WithInput(const std::function<void()>& give) {
  std::atomic<bool> done{false};
  std::thread t([&] {
    give();
    done = true;
  });
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (!done && std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    Sleep_(2);
  }
  t.join();
  Pump(150);
}

// A press at `from`, moves in `steps` to `to`, release.
void Drag(POINT from, POINT to, int steps = 10) {
  WithInput([=] {
    MouseTo(from.x, from.y);
    Sleep_(40);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep_(40);
    for (int i = 1; i <= steps; ++i) {
      MouseTo(from.x + (to.x - from.x) * i / steps, from.y + (to.y - from.y) * i / steps);
      Sleep_(20);
    }
    Sleep_(40);
    MouseButton(MOUSEEVENTF_LEFTUP);
  });
}

void Click(POINT p, DWORD down = MOUSEEVENTF_LEFTDOWN, DWORD up = MOUSEEVENTF_LEFTUP, int times = 1) {
  WithInput([=] {
    MouseTo(p.x, p.y);
    Sleep_(40);
    for (int i = 0; i < times; ++i) {
      MouseButton(down);
      Sleep_(30);
      MouseButton(up);
      Sleep_(30);
    }
  });
}

RECT BoundsOf(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return r;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

std::vector<std::wstring> Captions(TvpSkinPopupWindow* level) {
  std::vector<std::wstring> out;
  for (int i = 0; i < level->ItemCount(); ++i) out.push_back(level->Items(i)->MenuItem()->Caption);
  return out;
}

// ---- the window under test: the main window's frame, skin and size

struct FramedForm : ::testing::Test {
  TvpCompressedStoredSkin stored;
  TvpSkinData skin;
  std::unique_ptr<TvpWinSkinMessageSink> sink;
  std::unique_ptr<TApplication> app;
  TForm* form = nullptr;
  TvpVesperForm* frame = nullptr;

  void SetUp() override {
    app = std::make_unique<TApplication>();
    app->Initialize();
    app->Title = L"Platora";
    app->CreateForm(form);
    form->BorderStyle = TBorderStyle::bsSingle;
    form->SetText(L"PlatoraV1.0.090115");
    form->SetBounds(100, 100, 600, 480);
    frame = new TvpVesperForm(form);
    frame->PositionInMonitor = vppScreenCenter;
    Configure();
    sink = std::make_unique<TvpWinSkinMessageSink>(form->Handle());
    skin.SetMessageSink(sink.get());
    frame->SetSkinData(&skin);
    ASSERT_TRUE(LoadDefaultSkin(stored));
    skin.SetCompressedStoredSkin(&stored);
    form->SetClientSize(586, 440);
    form->Show();
    Pump(300);
  }
  virtual void Configure() {}

  void TearDown() override {
    if (frame && frame->SkinMenuVisible()) frame->SkinMenu()->CloseMenu();
    Key(VK_MENU, true);
    app.reset();
    skin.SetMessageSink(nullptr);
  }

  HWND H() { return form->Handle(); }
  POINT At(int x, int y) { return e2e::At(H(), x, y); }
  LRESULT HitAt(int x, int y) {
    const POINT p = At(x, y);
    return SendMessageW(H(), WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
  }
  TvpSkinButtonObject* Button(const char* name) {
    for (auto& o : frame->ObjectList)
      if (o->IDName == name) return dynamic_cast<TvpSkinButtonObject*>(o.get());
    return nullptr;
  }
  TvpSkinPopupWindow* OpenLevel() {
    TvpSkinMenu* e = frame->SkinMenu();
    return e && e->Visible() && e->LevelCount() > 0 ? e->Levels(0) : nullptr;
  }
};

}  // namespace

TEST_F(FramedForm, FrameBorderNeitherMovesNorSizesTheWindow) {
  const RECT r0 = BoundsOf(H());
  const int w = r0.right - r0.left, h = r0.bottom - r0.top;
  ASSERT_EQ(w, 596);
  ASSERT_EQ(h, 477);
  // Centred on the monitor at the first show.
  EXPECT_EQ(r0.left, GetSystemMetrics(SM_CXSCREEN) / 2 - w / 2);
  // Borders and buttons are "object", only the caption object is "caption".
  for (POINT p : {POINT{1, 200}, POINT{w - 2, 200}, POINT{300, 1}, POINT{300, h - 2}, POINT{1, 1}, POINT{58, 14}})
    EXPECT_EQ(HitAt(p.x, p.y), HTOBJECT) << p.x << "," << p.y;
  EXPECT_EQ(HitAt(300, 12), HTCAPTION);
  EXPECT_EQ(HitAt(300, 200), HTCLIENT);

  Drag(At(1, 200), At(-60, 150));
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
  Drag(At(w - 2, h - 2), At(w + 80, h + 60));
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
  // The caption does move it: the drag itself works.
  Drag(At(300, 12), At(260, 52));
  const RECT r1 = BoundsOf(H());
  EXPECT_EQ(r1.left, r0.left - 40);
  EXPECT_EQ(r1.top, r0.top + 40);
  EXPECT_EQ(r1.right - r1.left, w);
}

TEST_F(FramedForm, MaximizedFillsTheScreenOnePixelInsideAndCannotBeDragged) {
  const RECT r0 = BoundsOf(H());
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  frame->SetWindowState(wsMaximized);
  Pump(100);
  RECT expect = work;
  if (work.left == 0 && work.top == 0 && work.right == sw && work.bottom == sh) InflateRect(&expect, -1, -1);
  const RECT rm = BoundsOf(H());
  EXPECT_TRUE(SameRect(rm, expect)) << rm.left << "," << rm.top << "," << rm.right << "," << rm.bottom;
  Drag(At(300, 12), At(200, 200));
  EXPECT_TRUE(SameRect(BoundsOf(H()), rm));
  frame->SetWindowState(wsNormal);
  Pump(100);
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
}

TEST_F(FramedForm, RollUpLeavesTheFrameAndACaptionDoubleClickToggles) {
  const RECT r0 = BoundsOf(H());
  frame->SetRollUpState(true);
  Pump(100);
  RECT r = BoundsOf(H());
  EXPECT_EQ(r.bottom - r.top, 37);
  EXPECT_EQ(r.right - r.left, r0.right - r0.left);
  EXPECT_EQ(HitAt(300, 30), HTOBJECT);  // no client while rolled up
  frame->SetRollUpState(false);
  Pump(100);
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
  RECT client;
  GetClientRect(H(), &client);
  EXPECT_EQ(client.bottom, 440);

  // A real double click on the caption rolls it up, another one down.
  auto dblclick = [&] { Click(At(300, 12), MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, 2); };
  dblclick();
  EXPECT_TRUE(frame->RollUpState);
  EXPECT_EQ(BoundsOf(H()).bottom - BoundsOf(H()).top, 37);
  dblclick();
  EXPECT_FALSE(frame->RollUpState);
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
}

TEST_F(FramedForm, AlphaBlendAt255EndsWithoutTheLayeredStyle) {
  frame->SetAlphaBlendValue(255);
  frame->SetAlphaBlend(true);
  form->Hide();
  Pump(50);
  form->Show();
  Pump(300);
  EXPECT_EQ(GetWindowLongPtrW(H(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  // Below 255 the window stays layered at that opacity.
  frame->SetAlphaBlendValue(200);
  form->Hide();
  Pump(50);
  form->Show();
  Pump(300);
  ASSERT_NE(GetWindowLongPtrW(H(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(H(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 200);
  frame->SetAlphaBlend(false);
  EXPECT_EQ(GetWindowLongPtrW(H(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
}

TEST_F(FramedForm, TaskBarShowsTheApplicationAndMinimizeGoesThroughIt) {
  HWND appWnd = app->Handle();
  ASSERT_TRUE(appWnd);
  EXPECT_EQ(GetWindow(H(), GW_OWNER), appWnd);
  wchar_t title[64] = {};
  GetWindowTextW(appWnd, title, 64);
  EXPECT_STREQ(title, L"Platora");
  EXPECT_EQ(GetWindowLongPtrW(H(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);

  const RECT r0 = BoundsOf(H());
  frame->SetWindowState(wsMinimized);
  Pump(100);
  EXPECT_FALSE(IsWindowVisible(H()));
  EXPECT_TRUE(IsIconic(appWnd));
  EXPECT_EQ(frame->WindowState, wsNormal);
  // The task bar button restores it.
  SendMessageW(appWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(100);
  EXPECT_TRUE(IsWindowVisible(H()));
  EXPECT_FALSE(IsIconic(appWnd));
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
}

TEST_F(FramedForm, RightClickOnTheCaptionShowsTheSystemMenuAtTheCursor) {
  const POINT p = At(300, 12);
  Click(p, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  TvpSkinPopupWindow* level = OpenLevel();
  ASSERT_TRUE(level);
  EXPECT_EQ(Captions(level), (std::vector<std::wstring>{L"Mi&nimize", L"Ma&ximize", L"Ro&llUp", L"-", L"&Close"}));
  EXPECT_EQ(ShortCutToText(level->Items(4)->MenuItem()->ShortCut), L"Alt+F4");
  const RECT lr = BoundsOf(level->Handle());
  EXPECT_EQ(lr.left, p.x);
  EXPECT_EQ(lr.top, p.y);
  EXPECT_TRUE(frame->SkinMenuOpen);

  // The wheel is swallowed while it is open: the form never sees it. Esc
  // closes the menu, and from then on the form has its wheel again.
  struct WheelCounter : TWindowHook {
    int Seen = 0;

   protected:
    void HookWndProc(TMessage& m) override {
      if (m.Msg == WM_MOUSEWHEEL) ++Seen;
      CallPrevious(m);
    }
  } wheels;
  wheels.Hook(form);
  MouseButton(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
  Pump(100);
  EXPECT_TRUE(frame->SkinMenuVisible());
  EXPECT_EQ(wheels.Seen, 0);
  Key(VK_ESCAPE, false);
  Key(VK_ESCAPE, true);
  Pump(150);
  EXPECT_FALSE(frame->SkinMenuVisible());
  EXPECT_FALSE(frame->SkinMenuOpen);
  MouseButton(MOUSEEVENTF_WHEEL, static_cast<DWORD>(-WHEEL_DELTA));
  Pump(100);
  EXPECT_EQ(wheels.Seen, 1);
  wheels.Unhook();
}

TEST_F(FramedForm, AfterARollUpTheMenuOffersRestoreWhichRollsDown) {
  const RECT r0 = BoundsOf(H());
  frame->SetRollUpState(true);
  Pump(100);
  Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  TvpSkinPopupWindow* level = OpenLevel();
  ASSERT_TRUE(level);
  EXPECT_EQ(Captions(level), (std::vector<std::wstring>{L"Mi&nimize", L"Ma&ximize", L"&Restore", L"-", L"&Close"}));
  Key('R', false);
  Key('R', true);
  Pump(200);
  EXPECT_FALSE(frame->SkinMenuVisible());
  EXPECT_FALSE(frame->RollUpState);
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
}

TEST_F(FramedForm, SystemMenuButtonStaysPressedUntilTheMenuCloses) {
  TvpSkinButtonObject* b = Button("sysmenubutton");
  ASSERT_TRUE(b);
  const RECT wr = BoundsOf(H());
  Click(At(58, 14));
  ASSERT_TRUE(frame->SkinMenuVisible());
  EXPECT_TRUE(b->Pressed);
  // Under the button.
  const RECT lr = BoundsOf(OpenLevel()->Handle());
  EXPECT_EQ(lr.top, wr.top + b->ObjectRect.Bottom);
  EXPECT_EQ(lr.left, wr.left + b->ObjectRect.Left);
  Key(VK_ESCAPE, false);
  Key(VK_ESCAPE, true);
  Pump(150);
  EXPECT_FALSE(frame->SkinMenuVisible());
  EXPECT_FALSE(b->Pressed);

  // A click elsewhere closes it too.
  Click(At(58, 14));
  ASSERT_TRUE(frame->SkinMenuVisible());
  EXPECT_TRUE(b->Pressed);
  Click(At(300, 200));
  EXPECT_FALSE(frame->SkinMenuVisible());
  EXPECT_FALSE(b->Pressed);
  EXPECT_FALSE(frame->SkinMenuOpen);
}

TEST_F(FramedForm, AltSpaceOpensTheMenuUnderTheButton) {
  TvpSkinButtonObject* b = Button("sysmenubutton");
  ASSERT_TRUE(b);
  SetForegroundWindow(H());
  Pump(50);
  Key(VK_MENU, false);
  Key(VK_SPACE, false);
  Key(VK_SPACE, true);
  Key(VK_MENU, true);
  Pump(200);
  ASSERT_TRUE(frame->SkinMenuVisible());
  const RECT wr = BoundsOf(H());
  const RECT lr = BoundsOf(OpenLevel()->Handle());
  EXPECT_EQ(lr.top, wr.top + b->ObjectRect.Bottom);
  EXPECT_EQ(lr.left, wr.left + b->ObjectRect.Left);
  Key(VK_ESCAPE, false);
  Key(VK_ESCAPE, true);
  Pump(150);
  EXPECT_FALSE(frame->SkinMenuVisible());
}

namespace {

HWND g_sampleTarget = nullptr;
std::vector<int>* g_samples = nullptr;
void CALLBACK SampleLeft(HWND, UINT, UINT_PTR, DWORD) {
  RECT r;
  if (g_samples && GetWindowRect(g_sampleTarget, &r)) g_samples->push_back(r.left);
}

struct MagneticForm : FramedForm {
  void Configure() override {
    frame->Magnetic = true;
    frame->MagneticSize = 5;
  }
};

}  // namespace

TEST_F(MagneticForm, SnapsToTheWorkAreaEdgeAndHoldsForFivePixels) {
  RECT work;
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const RECT r0 = BoundsOf(H());
  const POINT grab = At(300, 12);
  // One drag: the window's left to 4 pixels from the edge, then on towards it
  // pixel by pixel: held for five, following the cursor at the sixth.
  const int toEdge = r0.left - (work.left + 4);
  std::vector<int> lefts;
  std::atomic<bool> done{false};
  std::thread t([&] {
    MouseTo(grab.x, grab.y);
    Sleep_(40);
    MouseButton(MOUSEEVENTF_LEFTDOWN);
    Sleep_(40);
    for (int i = 1; i <= 10; ++i) {
      MouseTo(grab.x - toEdge * i / 10, grab.y);
      Sleep_(25);
    }
    // On towards the edge a pixel at a time.
    for (int d = 1; d <= 6; ++d) {
      Sleep_(200);  // one move message per pixel, even on a loaded machine
      MouseTo(grab.x - toEdge - d, grab.y);
    }
    Sleep_(150);
    MouseButton(MOUSEEVENTF_LEFTUP);
    done = true;
  });
  // The window's left sampled by a timer inside the move loop.
  g_sampleTarget = H();
  g_samples = &lefts;
  const UINT_PTR id = SetTimer(nullptr, 0, 10, SampleLeft);
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(8);
  while (!done && std::chrono::steady_clock::now() < end) {
    Application->ProcessMessages();
    Sleep_(2);
  }
  t.join();
  KillTimer(nullptr, id);
  g_samples = nullptr;
  Pump(100);
  ASSERT_FALSE(lefts.empty());
  // Held at the edge after the snap and through five more pixels...
  EXPECT_NE(std::find(lefts.begin(), lefts.end(), static_cast<int>(work.left)), lefts.end());
  for (int d = 1; d <= 5; ++d)
    EXPECT_EQ(std::find(lefts.begin(), lefts.end(), static_cast<int>(work.left) - d), lefts.end()) << d;
  // ...and follows the cursor from there once it has gone six.
  EXPECT_EQ(BoundsOf(H()).left, work.left - 6);
}

TEST_F(FramedForm, AUsersSystemMenuGetsTheStandardItemsAroundItsOwn) {
  TPopupMenu user(nullptr);
  for (const wchar_t* name : {L"About", L"VPF_CLOSE"}) {
    auto* mi = new TMenuItem(&user);
    mi->Name = name;
    mi->Caption = name;
    user.Items()->Add(mi);
  }
  frame->SetSystemMenu(&user);
  // Twice: the standard items of the first request are replaced, not added to.
  for (int round = 0; round < 2; ++round) {
    Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    TvpSkinPopupWindow* level = OpenLevel();
    ASSERT_TRUE(level);
    EXPECT_EQ(Captions(level), (std::vector<std::wstring>{L"Mi&nimize", L"Ma&ximize", L"Ro&llUp", L"About", L"&Close"}));
    frame->SkinMenu()->CloseMenu();
    Pump(700);  // the next press is no double click
  }
  frame->UseDefaultSysMenu = false;
  for (int i = user.Items()->Count() - 1; i >= 0; --i)
    if (user.Items()->Items(i)->Name != L"About") delete user.Items()->Items(i);
  Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(OpenLevel());
  EXPECT_EQ(Captions(OpenLevel()), (std::vector<std::wstring>{L"About"}));
  frame->SkinMenu()->CloseMenu();
  Pump(100);
  frame->SetSystemMenu(nullptr);
}

TEST_F(FramedForm, AltSpaceWithShiftOrCtrlHeldOpensNothing) {
  SetForegroundWindow(H());
  Pump(50);
  for (WORD extra : {static_cast<WORD>(VK_SHIFT), static_cast<WORD>(VK_CONTROL)}) {
    Key(extra, false);
    Key(VK_MENU, false);
    Key(VK_SPACE, false);
    Key(VK_SPACE, true);
    Key(VK_MENU, true);
    Key(extra, true);
    Pump(200);
    EXPECT_FALSE(frame->SkinMenuVisible()) << "with " << extra;
    if (frame->SkinMenuVisible()) frame->SkinMenu()->CloseMenu();
  }
}

TEST_F(FramedForm, SkinStringsGiveTheMenuCaptionsAsBytesOfTheSkinFile) {
  TvpResourceStrData strings;
  strings.SetResStrings({"MI_CLOSECAPTION=\xb9\xd8\xb1\xd5(&C)"});  // 关闭 in GBK
  skin.SetResourceStrData(&strings);
  Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  TvpSkinPopupWindow* level = OpenLevel();
  ASSERT_TRUE(level);
  EXPECT_EQ(Captions(level).back(), L"\x5173\x95ed(&C)");
  EXPECT_EQ(Captions(level).front(), L"Mi&nimize") << "keys the skin lacks keep the program's captions";
  frame->SkinMenu()->CloseMenu();
  Pump(50);
  skin.SetResourceStrData(nullptr);
}

TEST_F(FramedForm, AFadeSwitchedOffBeforeItBeganLeavesTheWindowVisibleAndNoTimer) {
  // The fade's timer is armed on show; both switches go off before it ticks.
  form->Hide();
  Pump(50);
  frame->AlphaBlendAnimation = true;
  form->Show();
  frame->AlphaBlendAnimation = false;
  Pump(150);
  EXPECT_EQ(GetWindowLongPtrW(H(), GWL_EXSTYLE) & WS_EX_LAYERED, 0) << "left layered at opacity 0";
  EXPECT_FALSE(KillTimer(H(), 1)) << "the fade timer still runs";

  form->Hide();
  Pump(50);
  frame->SetAlphaBlend(true);
  form->Show();
  frame->SetAlphaBlend(false);
  Pump(150);
  EXPECT_EQ(GetWindowLongPtrW(H(), GWL_EXSTYLE) & WS_EX_LAYERED, 0);
  EXPECT_FALSE(KillTimer(H(), 1)) << "the fade timer still runs";
}

TEST_F(FramedForm, ASkinPopupMenuOnTheFormOpensThroughTheRealFrame) {
  auto* pm = new TvpSkinPopupMenu(form);
  auto* one = new TMenuItem(form);
  one->Caption = L"One";
  pm->Items()->Add(one);
  int closed = 0;
  pm->OnMenuClose = [&](TObject*) { ++closed; };
  const POINT p = At(200, 200);
  pm->Popup(p.x, p.y);
  TvpSkinPopupWindow* level = OpenLevel();
  ASSERT_TRUE(level) << "the frame is the menu host of its form";
  EXPECT_TRUE(frame->SkinMenuOpen);
  EXPECT_EQ(BoundsOf(level->Handle()).left, p.x);
  EXPECT_NE(level->PopupDef(), nullptr) << "drawn in the frame's skin";
  Key(VK_ESCAPE, false);
  Key(VK_ESCAPE, true);
  Pump(150);
  EXPECT_FALSE(frame->SkinMenuVisible());
  EXPECT_FALSE(frame->SkinMenuOpen);
  EXPECT_EQ(closed, 1);
}

TEST_F(FramedForm, AChoiceFromTheButtonsMenuReleasesTheButton) {
  TvpSkinButtonObject* b = Button("sysmenubutton");
  ASSERT_TRUE(b);
  Click(At(58, 14));
  ASSERT_TRUE(frame->SkinMenuVisible());
  ASSERT_TRUE(b->Pressed);
  Key('L', false);  // Ro&llUp
  Key('L', true);
  Pump(200);
  EXPECT_TRUE(frame->RollUpState);
  EXPECT_FALSE(frame->SkinMenuVisible());
  EXPECT_FALSE(frame->SkinMenuOpen);
  EXPECT_FALSE(b->Pressed);
  frame->SetRollUpState(false);
  Pump(100);
}

TEST_F(FramedForm, MaximizeAndMinimizeChosenFromTheMenu) {
  const RECT r0 = BoundsOf(H());
  Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(OpenLevel());
  Key('X', false);  // Ma&ximize
  Key('X', true);
  Pump(200);
  EXPECT_EQ(frame->WindowState, wsMaximized);
  EXPECT_FALSE(SameRect(BoundsOf(H()), r0));
  // Maximized, the menu offers Restore in its place.
  Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(OpenLevel());
  EXPECT_EQ(Captions(OpenLevel())[1], L"&Restore");
  Key('R', false);
  Key('R', true);
  Pump(200);
  EXPECT_EQ(frame->WindowState, wsNormal);
  EXPECT_TRUE(SameRect(BoundsOf(H()), r0));
  Pump(600);  // the next press is no double click
  Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
  ASSERT_TRUE(OpenLevel());
  Key('N', false);  // Mi&nimize: the main form goes through the application
  Key('N', true);
  Pump(200);
  EXPECT_TRUE(IsIconic(app->Handle()));
  EXPECT_FALSE(frame->SkinMenuOpen);
  SendMessageW(app->Handle(), WM_SYSCOMMAND, SC_RESTORE, 0);
  Pump(100);
}

TEST_F(FramedForm, AltOrF10ClosesAnOpenMenu) {
  for (WORD key : {static_cast<WORD>(VK_F10), static_cast<WORD>(VK_MENU)}) {
    Pump(600);
    Click(At(300, 12), MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    ASSERT_TRUE(frame->SkinMenuVisible()) << key;
    Key(key, false);
    Key(key, true);
    Pump(200);
    EXPECT_FALSE(frame->SkinMenuVisible()) << key;
    EXPECT_FALSE(frame->SkinMenuOpen) << key;
  }
}
