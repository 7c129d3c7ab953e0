// The XP-style painter on real windows: which controls it hooks, and the
// pixels it leaves on them, read back from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include "xpstyle/win/XPStyle.h"

namespace {

using xp::Darken;
using xp::Lighten;

COLORREF Sys(int i) { return GetSysColor(i); }

void Pump() {
  for (int i = 0; i < 3; ++i) {
    Application->ProcessMessages();
    Sleep(10);
  }
}

COLORREF PixelOf(TWinControl* c, int x, int y) { return GetPixel(gdi::WindowDC(c->Handle()).get(), x, y); }

// A colour lightened as the painter lightens it on the control's device.
COLORREF LightenOn(TWinControl* c, COLORREF color, int percent) {
  return TXPStyle::LightenFor(gdi::WindowDC(c->Handle()).get(), color, percent);
}

// A 16 x 16 glyph: olive background (transparent, bottom-left) and a red
// square at 5..10.
void MakeGlyph(TBitmap& b) {
  b.SetSize(16, 16);
  b.Canvas().Brush().SetColor(RGB(128, 128, 0));
  b.Canvas().FillRect(RECT{0, 0, 16, 16});
  b.Canvas().Brush().SetColor(RGB(255, 0, 0));
  b.Canvas().FillRect(RECT{5, 5, 11, 11});
}

class TTestForm : public TForm {
 public:
  explicit TTestForm(TComponent* owner) : TForm(owner) {
    SetBounds(50, 50, 0, 0);
    SetClientSize(420, 300);
    Edit1 = Make<TEdit>(this, 10, 10, 100, 21);
    Memo1 = Make<TMemo>(this, 10, 40, 100, 50);
    Check1 = Make<TCheckBox>(this, 10, 100, 100, 17);
    Check1->SetText(L"Check");
    Glyph1 = Make<TBitBtn>(this, 130, 10, 75, 25);
    Glyph1->SetText(L"Go");
    MakeGlyph(Glyph1->Glyph());
    Bare1 = Make<TBitBtn>(this, 130, 40, 40, 30);  // glyph only
    MakeGlyph(Bare1->Glyph());
    Button1 = Make<TButton>(this, 130, 80, 75, 25);
    Button1->SetText(L"Plain");
    Panel1 = Make<TPanel>(this, 220, 10, 100, 60);
    Group1 = Make<TGroupBox>(this, 220, 80, 180, 100);
    Group1->SetText(L"Group");
    Group1->SetColor(RGB(200, 220, 240));
    Inner1 = new TEdit(this);
    Inner1->SetParent(Group1);
    Inner1->SetBounds(10, 30, 60, 21);
    Label1 = Make<TLabel>(this, 10, 130, 60, 13);
    Label1->SetText(L"Label");
    Tagged1 = Make<TEdit>(this, 10, 150, 60, 21);
    Tagged1->Tag = 999;
    Fenced1 = Make<TGroupBox>(this, 10, 180, 120, 80);
    Fenced1->Tag = 999;
    Fenced1Edit = new TEdit(this);
    Fenced1Edit->SetParent(Fenced1);
    Fenced1Edit->SetBounds(10, 20, 60, 21);
    XPStyle1 = new TXPStyle(this);
  }
  template <class T>
  T* Make(TWinControl* parent, int l, int t, int w, int h) {
    T* c = new T(this);
    c->SetParent(parent);
    c->SetBounds(l, t, w, h);
    return c;
  }
  TEdit* Edit1;
  TMemo* Memo1;
  TCheckBox* Check1;
  TBitBtn* Glyph1;
  TBitBtn* Bare1;
  TButton* Button1;
  TPanel* Panel1;
  TGroupBox* Group1;
  TEdit* Inner1;
  TLabel* Label1;
  TEdit* Tagged1;
  TGroupBox* Fenced1;
  TEdit* Fenced1Edit;
  TXPStyle* XPStyle1;
};

class XPStyleTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TApplication app;
    Application->Initialize();
  }
  void SetUp() override {
    Application->CreateForm(form_);
    f().XPStyle1->SetXPControls(kAllXPControls & ~XPBit(xcMemo));
    f().XPStyle1->SetActive(true);
    f().Show();
    f().Edit1->SetFocus();
    Pump();
  }
  void TearDown() override { delete form_; }
  TTestForm& f() { return *form_; }
  xp::XPWorkingColors Colors(TWinControl* c) { return f().XPStyle1->WorkingColors(gdi::WindowDC(c->Handle()).get()); }
  TTestForm* form_ = nullptr;
};

TEST_F(XPStyleTest, ValuesAtCreation) {
  TXPStyle s(nullptr);
  EXPECT_EQ(s.DimLevel, 30);
  EXPECT_EQ(s.GrayLevel, 10);
  EXPECT_EQ(s.Color, clBtnFace);
  EXPECT_EQ(s.IconBackColor, clBtnFace);
  EXPECT_EQ(s.MenuBarColor, clBtnFace);
  EXPECT_EQ(s.SelectColor, clHighlight);
  EXPECT_EQ(s.SelectBorderColor, clHighlight);
  EXPECT_EQ(s.SelectFontColor, clMenuText);
  EXPECT_EQ(s.DisabledColor, clInactiveCaption);
  EXPECT_EQ(s.SeparatorColor, clBtnFace);
  EXPECT_EQ(s.CheckedColor, clHighlight);
  EXPECT_EQ(s.IconWidth, 24);
  EXPECT_TRUE(s.DrawSelect);
  EXPECT_TRUE(s.UseSystemColors);
  EXPECT_FALSE(s.OverrideOwnerDraw || s.Gradient || s.FlatMenu || s.AutoDetect || s.Active());
  EXPECT_EQ(s.XPContainers(), 0x3FFu);
  EXPECT_EQ(s.XPControls(), 0xFFFFu);
  EXPECT_EQ(XPBit(xcMemo), 1u << 7);
  EXPECT_EQ(XPBit(xccGroupBox), 1u << 7);
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  EXPECT_EQ(s.Font().Name(), std::wstring(ncm.lfMenuFont.lfFaceName));
  EXPECT_EQ(s.Font().Color(), clMenuText);
}

TEST_F(XPStyleTest, HooksEligibleControlsOnly) {
  TXPStyle& s = *f().XPStyle1;
  for (TControl* c : std::initializer_list<TControl*>{f().Edit1, f().Check1, f().Glyph1, f().Bare1, f().Button1,
                                                      f().Panel1, f().Group1, f().Inner1})
    EXPECT_NE(s.HookOf(c), nullptr) << c->ClassName();
  EXPECT_EQ(s.HookOf(f().Memo1), nullptr);        // xcMemo is off
  EXPECT_EQ(s.HookOf(f().Label1), nullptr);       // not a handled class
  EXPECT_EQ(s.HookOf(f().Tagged1), nullptr);      // tag 999
  EXPECT_EQ(s.HookOf(f().Fenced1), nullptr);      // tag 999
  EXPECT_EQ(s.HookOf(f().Fenced1Edit), nullptr);  // parent's tag 999
  EXPECT_EQ(s.HookCount(), 8);

  // Changing the set while active walks again: the settings dialog's choice.
  s.SetXPControls(kAllXPControls & ~XPBit(xcEdit));
  Pump();
  EXPECT_EQ(s.HookOf(f().Edit1), nullptr);
  EXPECT_EQ(s.HookOf(f().Inner1), nullptr);
  EXPECT_NE(s.HookOf(f().Memo1), nullptr);
  EXPECT_NE(s.HookOf(f().Glyph1), nullptr);

  // Without group boxes as containers their children are left alone.
  s.SetXPControls(kAllXPControls);
  s.SetXPContainers(kAllXPContainers & ~XPBit(xccGroupBox));
  Pump();
  EXPECT_EQ(s.HookOf(f().Inner1), nullptr);
  EXPECT_NE(s.HookOf(f().Edit1), nullptr);
}

TEST_F(XPStyleTest, GlyphButtonFaceEdgeAndShadeFollowHoverPressAndDisable) {
  TBitBtn* b = f().Glyph1;
  const auto wc = Colors(b);
  const int w = b->Width(), h = b->Height();
  auto L = [&](COLORREF c, int p) { return LightenOn(b, c, p); };
  const COLORREF shadow = Sys(COLOR_BTNSHADOW);

  // Resting: icon-back face, shadow-coloured edge, raised shade right and below.
  EXPECT_EQ(PixelOf(b, 3, 4), wc.IconBack);
  EXPECT_EQ(PixelOf(b, w / 2, 0), L(shadow, 30));
  EXPECT_EQ(PixelOf(b, w - 1, h / 2), Darken(shadow, 50));
  EXPECT_EQ(PixelOf(b, w / 2, h - 1), Darken(shadow, 50));

  // Hovered: lighter face, highlight-toned edge.
  b->Perform(CM_MOUSEENTER);
  const COLORREF edge = L(wc.SelectBorder, 60);
  EXPECT_EQ(PixelOf(b, 3, 4), L(Sys(COLOR_BTNFACE), 60));
  EXPECT_EQ(PixelOf(b, w / 2, 0), L(edge, 30));
  EXPECT_EQ(PixelOf(b, w - 1, h / 2), Darken(edge, 50));

  // Pressed while hovered: the shade moves to the left and top.
  TControlHook* hook = f().XPStyle1->HookOf(b);
  ASSERT_NE(hook, nullptr);
  hook->MouseDown = true;
  hook->Paint();
  EXPECT_EQ(PixelOf(b, 0, h / 2), Darken(edge, 50));
  EXPECT_EQ(PixelOf(b, w / 2, 0), Darken(edge, 50));
  EXPECT_EQ(PixelOf(b, w - 1, h / 2), L(edge, 30));
  hook->MouseDown = false;

  // Leaving restores the resting look.
  b->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(PixelOf(b, 3, 4), wc.IconBack);

  // Disabled: no shade line; the caption in the disabled colour.
  b->SetEnabled(false);
  Pump();
  EXPECT_EQ(PixelOf(b, w - 1, h / 2), L(shadow, 30));
  int disabledInk = 0;
  for (int y = 0; y < h; ++y)
    for (int x = w / 2; x < w - 3; ++x) disabledInk += PixelOf(b, x, y) == wc.Disabled;
  EXPECT_GT(disabledInk, 5);
}

TEST_F(XPStyleTest, SpaceKeyPressesTheButtonOnceAndIgnoresRepeats) {
  TButton* b = f().Button1;
  TControlHook* hook = f().XPStyle1->HookOf(b);
  ASSERT_NE(hook, nullptr);
  const int h = b->Height();
  const auto wc = Colors(b);
  const COLORREF edge = LightenOn(b, wc.SelectBorder, 60);
  SendMessageW(b->Handle(), WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(hook->SpaceDown);
  EXPECT_TRUE(hook->SpaceRepeat);
  EXPECT_EQ(PixelOf(b, 0, h / 2), Darken(edge, 50));  // pressed shade at the left
  SendMessageW(b->Handle(), WM_KEYDOWN, VK_SPACE, 1 << 30);  // auto-repeat
  EXPECT_TRUE(hook->SpaceDown);
  SendMessageW(b->Handle(), WM_KEYUP, VK_SPACE, 0);
  EXPECT_FALSE(hook->SpaceDown);
  EXPECT_FALSE(hook->SpaceRepeat);
  EXPECT_NE(PixelOf(b, 0, h / 2), Darken(edge, 50));
}

TEST_F(XPStyleTest, HotGlyphMovesUpLeftOverItsShadowAndIsDimmedAtRest) {
  TBitBtn* b = f().Bare1;  // 40 x 30, glyph only: glyph at (12, 7 + 1)
  const auto wc = Colors(b);
  const int gx = (40 - 16) / 2, gy = (30 - 16) / 2 + 1;
  const COLORREF red = RGB(255, 0, 0), dimmed = LightenOn(b, red, 30);

  EXPECT_EQ(PixelOf(b, gx + 5, gy + 5), dimmed);
  EXPECT_EQ(PixelOf(b, gx + 10, gy + 10), dimmed);
  EXPECT_EQ(PixelOf(b, gx + 4, gy + 4), wc.IconBack);  // transparent part

  b->Perform(CM_MOUSEENTER);
  // Drawn one up and left, in full colour ...
  EXPECT_EQ(PixelOf(b, gx + 4, gy + 4), red);
  EXPECT_EQ(PixelOf(b, gx + 9, gy + 9), red);
  // ... over its shadow two pixels right of and below it.
  const COLORREF shade = Darken(wc.Select, 50);
  EXPECT_EQ(PixelOf(b, gx + 11, gy + 11), shade);
  EXPECT_EQ(PixelOf(b, gx + 6, gy + 11), shade);
  EXPECT_NE(PixelOf(b, gx + 12, gy + 12), shade);
}

TEST_F(XPStyleTest, DisabledGlyphIsGrayedAndFaded) {
  TBitBtn* b = f().Bare1;
  b->SetEnabled(false);
  Pump();
  const int gx = (40 - 16) / 2, gy = (30 - 16) / 2 + 1;
  EXPECT_EQ(PixelOf(b, gx + 7, gy + 7), Lighten(xp::Gray(RGB(255, 0, 0), 10), 40));
}

TEST_F(XPStyleTest, CheckBoxTickedByTheProgramIsRedrawnFlatWithItsMark) {
  TCheckBox* cb = f().Check1;
  const int s = GetSystemMetrics(SM_CXHTHUMB);
  RECT r = cb->ClientRect();
  r.top += 3;
  r.bottom -= 3;
  r.top += ((r.bottom - r.top) - s) / 2;
  r.bottom = r.top + s;
  r.right = r.left + s - 1;  // box left of the caption
  InflateRect(&r, -2, -2);
  const int markX = r.left + 4, markY = r.bottom - 3;

  EXPECT_EQ(PixelOf(cb, r.left, r.top), Sys(COLOR_BTNSHADOW));
  EXPECT_EQ(PixelOf(cb, r.left + 1, r.top + 1), Sys(COLOR_WINDOW));
  EXPECT_EQ(PixelOf(cb, markX, markY), Sys(COLOR_WINDOW));

  cb->SetChecked(true);
  Pump();
  EXPECT_EQ(PixelOf(cb, markX, markY), Sys(COLOR_HIGHLIGHT));
  EXPECT_EQ(PixelOf(cb, r.left + 2, r.bottom - 5), Sys(COLOR_HIGHLIGHT));
  // Left of the box, its margin in the control colour; the caption is right of it.
  EXPECT_EQ(PixelOf(cb, r.left - 1, r.top), ColorToRGB(cb->Color()));
  int ink = 0;
  for (int x = r.right + 2; x < cb->Width(); ++x)
    for (int y = 0; y < cb->Height(); ++y) ink += PixelOf(cb, x, y) == RGB(0, 0, 0);
  EXPECT_GT(ink, 5);
}

TEST_F(XPStyleTest, EditFrameChangesWithFocusAndTheEditTurnsFlat) {
  TEdit* e = f().Inner1;
  EXPECT_FALSE(e->Ctl3D());
  const auto wc = Colors(e);
  const COLORREF parent = ColorToRGB(f().Group1->Color());
  EXPECT_EQ(PixelOf(e, 0, 0), Darken(parent, 60));
  e->SetFocus();
  Pump();
  const COLORREF focused = LightenOn(e, wc.SelectBorder, 60);
  RECT cr = e->ClientRect();
  EXPECT_EQ(PixelOf(e, 0, 0), focused);
  EXPECT_EQ(PixelOf(e, cr.right - 1, cr.bottom - 1), focused);
  f().Edit1->SetFocus();
  Pump();
  EXPECT_EQ(PixelOf(e, 0, 0), Darken(parent, 60));
}

TEST_F(XPStyleTest, PanelAndGroupBoxFrames) {
  TPanel* p = f().Panel1;
  const COLORREF col = ColorToRGB(p->Color());
  const COLORREF light = LightenOn(p, col, 60), dark = Darken(col, 60);
  EXPECT_EQ(PixelOf(p, 0, 0), light);
  EXPECT_EQ(PixelOf(p, 0, 30), light);
  EXPECT_EQ(PixelOf(p, 99, 30), dark);
  EXPECT_EQ(PixelOf(p, 50, 59), dark);

  TGroupBox* g = f().Group1;
  int h, w;
  {
    const gdi::WindowDC gdc(g->Handle());
    TCanvas c(gdc.get());
    c.Font().Assign(g->Font());
    h = c.TextHeight(L"Group");
    w = c.TextWidth(L"Group");
  }
  const int a = h / 2;
  const COLORREF gc = ColorToRGB(g->Color());
  const COLORREF glight = LightenOn(g, gc, 60), gdark = Darken(gc, 60);
  const COLORREF parent = ColorToRGB(f().Color());
  RECT cr = g->ClientRect();
  EXPECT_EQ(PixelOf(g, 3, 0), parent);           // band above the frame
  EXPECT_EQ(PixelOf(g, 3, a + 1), glight);       // top edge, left of the caption
  EXPECT_EQ(PixelOf(g, 9 + w + 3, a + 1), glight);  // and right of it
  EXPECT_EQ(PixelOf(g, 0, a + 10), glight);      // left edge
  EXPECT_EQ(PixelOf(g, cr.right - 1, a + 10), gdark);  // right edge
  EXPECT_EQ(PixelOf(g, 3, cr.bottom - 1), gdark);      // bottom edge
  EXPECT_EQ(PixelOf(g, 1, a + 10), gc);          // the platform's frame is gone
}

TEST_F(XPStyleTest, SwitchingOffReturnsControlsToTheirOwnLookAtTheirNextMessage) {
  TBitBtn* b = f().Glyph1;
  TEdit* e = f().Edit1;
  const auto wc = Colors(b);
  ASSERT_EQ(PixelOf(b, 3, 4), wc.IconBack);
  f().XPStyle1->SetActive(false);
  Pump();
  EXPECT_EQ(f().XPStyle1->HookCount(), 0);
  EXPECT_TRUE(e->Ctl3D());
  EXPECT_EQ(PixelOf(b, 3, 4), Sys(COLOR_BTNFACE));
  b->Perform(CM_MOUSEENTER);
  EXPECT_EQ(PixelOf(b, 3, 4), Sys(COLOR_BTNFACE));
  // And back on.
  f().XPStyle1->SetActive(true);
  Pump();
  EXPECT_EQ(PixelOf(b, 3, 4), wc.IconBack);
}

TEST_F(XPStyleTest, DestroyingTheComponentTakesEveryHookOff) {
  TEdit* e = f().Edit1;
  ASSERT_NE(f().XPStyle1->HookOf(e), nullptr);
  delete f().XPStyle1;
  f().XPStyle1 = nullptr;
  EXPECT_TRUE(e->Ctl3D());
  // Messages still reach the controls, with nothing in between.
  f().Glyph1->Perform(CM_MOUSEENTER);
  f().Glyph1->Invalidate();
  Pump();
  EXPECT_EQ(PixelOf(f().Glyph1, 3, 4), Sys(COLOR_BTNFACE));
}

TEST_F(XPStyleTest, HookStacksWithAnotherHookOnTheSameControl) {
  struct Counter : TWindowHook {
    int n = 0;
    void HookWndProc(TMessage& m) override {
      n += m.Msg == CM_MOUSEENTER || m.Msg == CM_MOUSELEAVE;
      CallPrevious(m);
    }
  } other;
  TBitBtn* b = f().Glyph1;
  other.Hook(b);
  b->Perform(CM_MOUSEENTER);
  EXPECT_EQ(other.n, 1);
  EXPECT_TRUE(f().XPStyle1->HookOf(b)->Highlighted);
  // The XP hook leaves first, from under the other one.
  f().XPStyle1->SetActive(false);
  b->Perform(CM_MOUSELEAVE);
  EXPECT_EQ(f().XPStyle1->HookOf(b), nullptr);
  b->Perform(CM_MOUSEENTER);
  EXPECT_EQ(other.n, 3);
  EXPECT_TRUE(other.OnTop());
}

}  // namespace
