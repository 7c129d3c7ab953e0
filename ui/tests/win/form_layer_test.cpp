// The form and control layer on real windows: ownership, hooks on
// WindowProc, closing, the up-down's reading of its box, the memo's lines,
// bitmaps and error reporting.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "ui/core/exceptions.h"
#include "ui/win/controls.h"
#include "ui/win/dialogs.h"
#include "ui/win/windowhook.h"

namespace {

std::vector<std::wstring> g_errors;

class FormLayer : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TApplication app;
    Application->Initialize();
    Application->Title = L"Layer";
    Application->OnException = [](const std::wstring& m) { g_errors.push_back(m); };
  }
  void SetUp() override { g_errors.clear(); }
};

struct Probe : TComponent {
  using TComponent::TComponent;
  std::vector<TComponent*>* removed = nullptr;
  int* destroyed = nullptr;
  ~Probe() override {
    if (destroyed) ++*destroyed;
  }
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && removed) removed->push_back(c);
  }
};

TEST_F(FormLayer, OwnersFreeTheirComponentsAndFreeNotificationsArrive) {
  int destroyed = 0;
  std::vector<TComponent*> removed;
  auto* owner = new TComponent(nullptr);
  auto* a = new Probe(owner);
  auto* b = new Probe(owner);
  a->destroyed = b->destroyed = &destroyed;
  Probe watcher(nullptr);
  watcher.removed = &removed;
  watcher.FreeNotification(a);
  EXPECT_EQ(owner->ComponentCount(), 2);
  delete b;  // leaves its owner's list
  EXPECT_EQ(owner->ComponentCount(), 1);
  delete owner;
  EXPECT_EQ(destroyed, 2);
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0], a);
}

struct Hook {
  TControl* c;
  TWndMethod saved;
  std::vector<UINT>* log;
  int id;
  void Proc(TMessage& m) {
    saved(m);
    if (m.Msg == WM_USER + 7) log->push_back(static_cast<UINT>(id));
  }
  void Install() {
    saved = c->WindowProc;
    c->WindowProc = TWndMethod::Of<&Hook::Proc>(this);
  }
};

TEST_F(FormLayer, WindowProcHooksChainAndSeeEveryMessageAfterTheControl) {
  TForm form(Application);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  std::vector<UINT> log;
  Hook h1{edit, {}, &log, 1}, h2{edit, {}, &log, 2};
  h1.Install();
  h2.Install();
  SendMessageW(edit->Handle(), WM_USER + 7, 0, 0);  // through the real window
  EXPECT_EQ(log, (std::vector<UINT>{1, 2}));
  // The hook sees the control's own result: the text was set before it ran.
  SetWindowTextW(edit->Handle(), L"abc");
  EXPECT_EQ(edit->Text(), L"abc");
  edit->WindowProc = h1.saved;  // unhooked
  log.clear();
  edit->Perform(WM_USER + 7);
  EXPECT_TRUE(log.empty());
}

TEST_F(FormLayer, CloseCanBeRefusedAndAFailingCloseHandlerAbandonsIt) {
  TForm form(Application);
  form.SetClientSize(100, 100);
  form.Show();
  bool allow = false;
  form.OnCloseQuery = [&](TObject*, bool& can) { can = allow; };
  form.Close();
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  allow = true;
  form.OnClose = [](TObject*, TCloseAction&) { throw plat::EInOutError(5, "File access denied"); };
  SendMessageW(form.Handle(), WM_CLOSE, 0, 0);  // a close from the frame
  EXPECT_TRUE(IsWindowVisible(form.Handle()));
  ASSERT_EQ(g_errors.size(), 1u);
  EXPECT_EQ(g_errors[0], L"File access denied");
  form.OnClose = nullptr;
  form.Close();
  EXPECT_FALSE(IsWindowVisible(form.Handle()));  // a secondary form hides
}

TEST_F(FormLayer, OnShowRunsEachTimeTheFormBecomesVisibleOnly) {
  TForm form(Application);
  int shows = 0;
  form.OnShow = [&](TObject*) { ++shows; };
  form.Show();
  form.Show();  // already visible: brought to front only
  EXPECT_EQ(shows, 1);
  form.Hide();
  form.Show();
  EXPECT_EQ(shows, 2);
}

TEST_F(FormLayer, UpDownIgnoresTextThatIsNotAWholeNumberInRange) {
  TForm form(Application);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto* ud = new TUpDown(&form);
  ud->SetParent(&form);
  ud->Min = 0;
  ud->Max = 100;
  ud->SetAssociate(edit);
  ud->SetPosition(150);
  EXPECT_EQ(ud->Position(), 100);
  EXPECT_EQ(edit->Text(), L"100");
  ud->SetPosition(-3);
  EXPECT_EQ(ud->Position(), 0);
  edit->SetText(L"42");
  EXPECT_EQ(ud->Position(), 42);
  for (const wchar_t* bad : {L"abc", L"4 2", L"101", L"-1", L"", L"7x", L"99999999999999"}) {
    edit->SetText(bad);
    EXPECT_EQ(ud->Position(), 42) << bad;
  }
  edit->SetText(L"+5");
  EXPECT_EQ(ud->Position(), 5);
}

TEST_F(FormLayer, MemoLinesAreAppendedWhole) {
  TForm form(Application);
  auto* memo = new TMemo(&form);
  memo->SetParent(&form);
  memo->ReadOnly = true;
  memo->Lines().Add(L"通讯链路打开成功!");
  memo->Lines().Add(L"");
  memo->Lines().Add(L"发送完成");
  EXPECT_EQ(memo->Lines().Count(), 3);
  EXPECT_EQ(memo->Lines().Strings(0), L"通讯链路打开成功!");
  EXPECT_EQ(memo->Lines().Strings(1), L"");
  EXPECT_EQ(memo->Lines().Strings(2), L"发送完成");
}

// In a short log each line moves the thumb of the scroll bar. The frame is
// painted a moment after the first of a run of lines, once for all of them,
// and the same again once the memo's window has been made anew.
TEST_F(FormLayer, AMemosFrameCatchesUpOnceForARunOfLines) {
  struct Frames : TWindowHook {
    int paints = 0;
    void HookWndProc(TMessage& m) override {
      if (m.Msg == WM_NCPAINT) ++paints;
      CallPrevious(m);
    }
  } frames;
  const auto pumpFor = [](DWORD ms) {
    for (const DWORD end = GetTickCount() + ms; static_cast<int>(end - GetTickCount()) > 0; Sleep(1))
      Application->ProcessMessages();
  };
  TForm form(Application);
  form.SetBounds(0, 0, 300, 200);
  auto* memo = new TMemo(&form);
  memo->ScrollBars = TMemo::TScrollStyle::ssVertical;
  memo->SetBounds(10, 10, 231, 105);
  memo->SetParent(&form);
  form.Show();
  for (int i = 0; i < 10; ++i) memo->Lines().Add(L"通讯链路打开成功!");
  pumpFor(300);
  frames.Hook(memo);
  const auto run = [&](const char* when) {
    frames.paints = 0;
    // Three lines with the log's text painted after each, as sends do.
    for (int i = 0; i < 3; ++i) {
      memo->Lines().Add(L"发送完成");
      pumpFor(15);
    }
    pumpFor(300);
    EXPECT_GE(frames.paints, 1) << when;
    EXPECT_LE(frames.paints, 2) << when;  // each line's own paint would make 3
  };
  run("first");
  // Made anew while a catch-up is waiting: the old window's timer is gone.
  memo->Lines().Add(L"发送完成");
  memo->RecreateWnd();
  pumpFor(300);
  run("after the window was made anew");
  frames.Unhook();
}

TEST_F(FormLayer, MaxLengthLimitsTypingAndZeroLiftsThePlatformDefault) {
  TForm form(Application);
  auto* edit = new TEdit(&form);
  edit->SetParent(&form);
  auto type = [&](const std::wstring& t) {
    SendMessageW(edit->Handle(), EM_SETSEL, 0x7FFFFFFF, 0x7FFFFFFF);
    SendMessageW(edit->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(t.c_str()));
  };
  edit->SetMaxLength(4);
  type(L"abcdef");
  EXPECT_EQ(edit->Text(), L"abcd");
  // Zero is the platform's maximum: far more than its default of about 30,000.
  edit->SetMaxLength(0);
  type(std::wstring(40000, L'x'));
  EXPECT_EQ(edit->Text().size(), 40004u);
  // A limit set before the window exists is applied when it is made.
  auto* later = new TEdit(&form);
  later->SetMaxLength(2);
  later->SetParent(&form);
  SendMessageW(later->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"xyz"));
  EXPECT_EQ(later->Text(), L"xy");
}

TEST_F(FormLayer, CheckBoxClickRunsOnlyOnAChange) {
  TForm form(Application);
  auto* box = new TCheckBox(&form);
  box->SetParent(&form);
  int clicks = 0;
  box->OnClick = [&](TObject*) { ++clicks; };
  box->SetChecked(true);
  box->SetChecked(true);
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(SendMessageW(box->Handle(), BM_GETCHECK, 0, 0), BST_CHECKED);
  // A click by the operator toggles and runs the handler.
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(box->Handle()));
  EXPECT_FALSE(box->Checked());
  EXPECT_EQ(clicks, 2);
}

TEST_F(FormLayer, BitmapsAreTopDownDibSectionsSharedWithTheirRaster) {
  TBitmap bmp;
  bmp.SetSize(5, 3);
  bmp.Canvas().Brush().SetColor(RGB(10, 20, 30));
  bmp.Canvas().FillRect(RECT{0, 0, 5, 3});
  plat::Raster r = bmp.Raster();
  EXPECT_TRUE(r.IsView());
  EXPECT_EQ(r.Pixel(4, 2), plat::RGBColor(10, 20, 30));
  r.SetPixel(0, 0, plat::RGBColor(255, 0, 0));
  EXPECT_EQ(GetPixel(bmp.Canvas().Handle(), 0, 0), RGB(255, 0, 0));
  EXPECT_THROW(bmp.LoadFromFile(L"no-such-picture.bmp"), plat::EFOpenError);
  try {
    bmp.LoadFromFile(L"no-such-picture.bmp");
  } catch (const plat::Exception& e) {
    EXPECT_EQ(e.Message().rfind("Cannot open file \"no-such-picture.bmp\". ", 0), 0u) << e.Message();
  }
}

TEST_F(FormLayer, ABitmapTellsOfChangesInABatchOnceWhenTheLastBatchEnds) {
  TBitmap bmp;
  bmp.SetSize(4, 4);
  int told = 0;
  bmp.OnChange = [&] { ++told; };
  {
    const TBitmap::TChangeBatch outer(bmp);
    {
      const TBitmap::TChangeBatch inner(bmp);
      bmp.Canvas().FillRect(RECT{0, 0, 2, 2});
      bmp.Canvas().TextOut(0, 0, L"x");
    }
    EXPECT_EQ(told, 0) << "an inner batch ended while the outer one runs";
    bmp.Canvas().FillRect(RECT{2, 2, 4, 4});
  }
  EXPECT_EQ(told, 1);
  { const TBitmap::TChangeBatch idle(bmp); }
  EXPECT_EQ(told, 1) << "a batch without drawing told of a change";
  bmp.Canvas().FillRect(RECT{0, 0, 1, 1});
  EXPECT_EQ(told, 2) << "drawing after the batch is told at once again";
}

// Messages find their control's object without asking the window; a window
// gone, or one that never belonged to a control, leads to none.
TEST_F(FormLayer, ControlsAreFoundByTheirHandlesOnlyWhileTheyLive) {
  TForm form(Application);
  auto* edit = new TEdit(&form);  // a subclassed system control
  edit->SetParent(&form);
  const HWND h = edit->Handle();
  EXPECT_EQ(TWinControl::FromHandle(h), edit);
  EXPECT_EQ(TWinControl::FromHandle(form.Handle()), &form);
  SetWindowTextW(h, L"红烧肉");
  EXPECT_EQ(edit->Text(), L"红烧肉");
  delete edit;
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(TWinControl::FromHandle(h), nullptr);
  const HWND plain = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  const gdi::ScopeExit destroy([plain] { DestroyWindow(plain); });
  EXPECT_EQ(TWinControl::FromHandle(plain), nullptr);
}

TEST_F(FormLayer, ExceptionsInHandlersReachTheErrorBoxNotTheSystem) {
  TForm form(Application);
  auto* button = new TButton(&form);
  button->SetParent(&form);
  button->OnClick = [](TObject*) { throw plat::EInOutError(106, "Invalid numeric input"); };
  SendMessageW(form.Handle(), WM_COMMAND, MAKEWPARAM(0, BN_CLICKED), reinterpret_cast<LPARAM>(button->Handle()));
  ASSERT_EQ(g_errors.size(), 1u);
  EXPECT_EQ(g_errors[0], L"Invalid numeric input");
}

TEST_F(FormLayer, ClientSizeIsExactWhateverTheFrame) {
  TForm form(Application);
  form.BorderStyle = TBorderStyle::bsDialog;
  form.SetClientSize(283, 183);
  form.HandleNeeded();
  RECT r;
  GetClientRect(form.Handle(), &r);
  EXPECT_EQ(r.right, 283);
  EXPECT_EQ(r.bottom, 183);
}

}  // namespace
