// Skinned popup menus as real windows: what opens where, what is
// highlighted, how the pointer, the keys and the timers drive the levels,
// the pixels on the screen, the messages, and what is left after closing.
#include <algorithm>
#include <string>

#include "skin/core/vpUtils.h"
#include "skin/win/vpUtils_win.h"
#include "skinpopups/tests/win/freed_memory_guard.h"
#include "skinpopups/tests/win/popup_test_support.h"
#include "skinpopups/win/popup_gdi.h"

using namespace popuptest;
using vp::TvpSkinMenu;
using vp::TvpSkinPopupWindow;

namespace {

class SkinMenus : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TApplication app;
    Application->Initialize();
    static vp::TvpCompressedStoredSkin stored;
    static std::unique_ptr<vp::TvpSkinData> sd = LoadDefault(stored);
    skin_ = sd.get();
  }
  void SetUp() override {
    ASSERT_FALSE(skin_->SkinEmpty) << "the default skin is linked into the test program";
    Application->CreateForm(form_);
    form_->Show();
    frame_ = new TTestFrame(form_);
    frame_->Skin = skin_;
    menu_ = frame_->Menu;
    popup_ = new TPopupMenu(form_);
    work_ = skin::GetMonitorWorkArea(form_->Handle(), true);
    SetCursorPos(work_.right - 2, work_.bottom - 2);
    Pump(20);
  }
  void TearDown() override {
    delete form_;
    Pump(20);
  }

  TMenuItem* Add(TMenuItem* parent, const std::wstring& caption, bool enabled = true) {
    auto* i = new TMenuItem(form_);
    i->Caption = caption;
    i->Enabled = enabled;
    parent->Add(i);
    return i;
  }
  TMenuItem* Root() { return popup_->Items(); }
  void Fill(int n, TMenuItem* parent = nullptr) {
    for (int i = 0; i < n; ++i) Add(parent ? parent : Root(), L"Item " + std::to_wstring(i));
  }
  void Open(int x, int y, vp::TvpSkinData* sd = nullptr, TControl* control = nullptr) {
    menu_->Popup(control, sd ? sd : skin_, false, Root(), RECT{x, y, x, y}, 0);
  }
  TvpSkinPopupWindow* Level(int i) { return menu_->Levels(i); }
  // Screen point in the middle of item i of level l.
  POINT ItemCentre(int l, int i) {
    const RECT r = Level(l)->Items(i)->Rect;
    return POINT{Level(l)->Left() + (r.left + r.right) / 2, Level(l)->Top() + (r.top + r.bottom) / 2};
  }
  void Hover(int l, int i, int ms = 150) {
    const POINT p = ItemCentre(l, i);
    PointAt(p.x, p.y, ms);
  }

  static vp::TvpSkinData* skin_;
  TCountingForm* form_ = nullptr;
  TTestFrame* frame_ = nullptr;
  TvpSkinMenu* menu_ = nullptr;
  TPopupMenu* popup_ = nullptr;
  RECT work_{};
};
vp::TvpSkinData* SkinMenus::skin_ = nullptr;

// ---------------------------------------------------------------- opening

TEST_F(SkinMenus, OpensOneTopMostUnactivatedWindowWithFirstSelectableItemHighlighted) {
  Add(Root(), L"-");
  Add(Root(), L"Off", false);
  Add(Root(), L"On");
  Add(Root(), L"Other");
  Open(100, 100);
  ASSERT_TRUE(menu_->Visible());
  ASSERT_EQ(menu_->LevelCount(), 1);
  HWND h = Level(0)->Handle();
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_TRUE(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_TRUE(GetWindowLongPtrW(h, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
  EXPECT_FALSE(GetWindowLongPtrW(h, GWL_STYLE) & (WS_CAPTION | WS_BORDER));
  EXPECT_NE(GetActiveWindow(), h);
  EXPECT_EQ(Level(0)->ActiveIndex(), 2);
  EXPECT_TRUE(Level(0)->Items(2)->Active);
  EXPECT_FALSE(Level(0)->Items(1)->Active);
  // A click does not activate it either.
  EXPECT_EQ(SendMessageW(h, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(form_->Handle()), 0), MA_NOACTIVATE);
}

TEST_F(SkinMenus, OnlySeparatorsAndDisabledItemsOpenWithNothingHighlighted) {
  Add(Root(), L"-");
  Add(Root(), L"Off", false);
  Add(Root(), L"-");
  Open(100, 100);
  ASSERT_EQ(menu_->LevelCount(), 1);
  EXPECT_EQ(Level(0)->ActiveIndex(), -1);
  for (int i = 0; i < Level(0)->ItemCount(); ++i) EXPECT_FALSE(Level(0)->Items(i)->Active);
  menu_->ProcessKey(VK_DOWN);
  menu_->ProcessKey(VK_RETURN);
  EXPECT_EQ(Level(0)->ActiveIndex(), -1);
  menu_->ProcessKey(VK_ESCAPE);
  EXPECT_FALSE(menu_->Visible());
}

TEST_F(SkinMenus, NoItemsOrStartBeyondShowNothing) {
  Open(100, 100);
  EXPECT_FALSE(menu_->Visible());
  EXPECT_EQ(menu_->LevelCount(), 0);
  Add(Root(), L"Hidden")->Visible = false;
  Open(100, 100);
  EXPECT_FALSE(menu_->Visible());
  Add(Root(), L"Shown");
  menu_->Popup(nullptr, skin_, false, Root(), RECT{100, 100, 100, 100}, 2);
  EXPECT_FALSE(menu_->Visible());
  EXPECT_EQ(ThreadWindows(L"PlatoraSkinPopupShadow") + ThreadWindows(L"PlatoraSkinPopup"), 0);
}

// ---------------------------------------------------------------- pointer

TEST_F(SkinMenus, HighlightFollowsThePointerAndStaysOverTheFrame) {
  Fill(4);
  Open(200, 200);
  Hover(0, 2);
  EXPECT_EQ(Level(0)->ActiveIndex(), 2);
  EXPECT_TRUE(Level(0)->Items(2)->Active);
  EXPECT_FALSE(Level(0)->Items(0)->Active);
  // Onto the frame's left edge, then right out of the window.
  PointAt(Level(0)->Left() + 1, ItemCentre(0, 2).y);
  EXPECT_EQ(Level(0)->ActiveIndex(), 2);
  PointAt(Level(0)->Left() + Level(0)->Width() + 40, ItemCentre(0, 2).y);
  EXPECT_EQ(Level(0)->ActiveIndex(), 2);
  EXPECT_TRUE(Level(0)->Items(2)->Active);
}

TEST_F(SkinMenus, SubmenuOpensAfterTheHoverDelayOrAtOnceOnClick) {
  TMenuItem* sub = Add(Root(), L"Sub");
  Fill(3, sub);
  TMenuItem* other = Add(Root(), L"Other");
  Fill(2, other);
  Add(Root(), L"Plain");
  Open(200, 200);
  Hover(0, 0, 120);
  EXPECT_TRUE(menu_->WaitTimerRunning());
  Pump(200);
  EXPECT_EQ(menu_->LevelCount(), 1) << "still waiting at about 300 ms";
  Pump(400);
  ASSERT_EQ(menu_->LevelCount(), 2);
  EXPECT_TRUE(Level(0)->Items(0)->SubMenuOpen);
  EXPECT_EQ(Level(1)->ItemCount(), 3);
  // Clicking the other opener replaces the submenu at once.
  const POINT p = ItemCentre(0, 1);
  SetCursorPos(p.x, p.y);
  SendMessageW(Level(0)->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x - Level(0)->Left(), p.y - Level(0)->Top()));
  ASSERT_EQ(menu_->LevelCount(), 2);
  EXPECT_EQ(Level(1)->ParentItem(), other);
  EXPECT_FALSE(Level(0)->Items(0)->SubMenuOpen);
  // Moving onto an item without children closes it again.
  Hover(0, 2);
  EXPECT_EQ(menu_->LevelCount(), 1);
}

TEST_F(SkinMenus, ClickRunsTheCommandAndTellsHostAndControlOnce) {
  int clicks = 0, closes = 0;
  TMenuItem* run = Add(Root(), L"Run");
  run->OnClick = [&](TObject*) { ++clicks; };
  Add(Root(), L"Other");
  auto* control = new TCountingForm(form_);
  control->Show();
  Open(200, 200, nullptr, control);
  menu_->OnMenuClose = [&](TObject*) { ++closes; };
  const POINT p = ItemCentre(0, 0);
  SetCursorPos(p.x, p.y);
  SendMessageW(Level(0)->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x - Level(0)->Left(), p.y - Level(0)->Top()));
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(menu_->Visible());
  EXPECT_EQ(menu_->LevelCount(), 0);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(form_->Closed, 1);
  EXPECT_EQ(control->Closed, 1);
  EXPECT_EQ(control->Commands, 1);
  EXPECT_EQ(form_->Commands, 0);
  menu_->CloseMenu();
  EXPECT_EQ(closes, 1) << "fired once, then cleared";
  EXPECT_EQ(control->Closed, 1);
}

TEST_F(SkinMenus, OpeningAnotherMenuClosesTheFirstAndTellsItsControl) {
  Fill(3);
  auto* first = new TCountingForm(form_);
  auto* second = new TCountingForm(form_);
  int closes = 0;
  Open(200, 200, nullptr, first);
  menu_->OnMenuClose = [&](TObject*) { ++closes; };
  Open(300, 300, nullptr, second);
  EXPECT_EQ(closes, 1);
  EXPECT_EQ(first->Closed, 1);
  EXPECT_EQ(second->Closed, 0);
  EXPECT_EQ(menu_->LevelCount(), 1);
  menu_->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(second->Closed, 1);
  EXPECT_FALSE(menu_->Visible());
}

// ---------------------------------------------------------------- sizes and places

TEST_F(SkinMenus, TallMenuIsCutToTheWorkAreaAtItsTopBesideTheAnchorAndScrolls) {
  Fill(100);
  Open(300, 400);
  ASSERT_EQ(menu_->LevelCount(), 1);
  TvpSkinPopupWindow* l = Level(0);
  EXPECT_EQ(l->Height(), work_.bottom - work_.top);
  EXPECT_EQ(l->Top(), work_.top);
  EXPECT_EQ(l->Left(), 301);
  EXPECT_TRUE(l->ScrollFlag());
  EXPECT_FALSE(l->LimitFlag());
  EXPECT_EQ(l->Items(0)->Rect.top, l->ItemsRect().top + 10);
  EXPECT_LT(l->VisibleCount(), 100);
  // The pointer in the bottom scroll area scrolls every 100 ms.
  PointAt(l->Left() + l->Width() / 2, l->Top() + l->ItemsRect().bottom - 5, 80);
  EXPECT_EQ(l->ScrollDirection(), 2);
  Pump(450);
  EXPECT_GE(l->FirstVisibleIndex(), 2);
  PointAt(l->Left() + l->Width() / 2, l->Top() + l->Height() / 2);
  EXPECT_EQ(l->ScrollDirection(), 0);
  const int first = l->FirstVisibleIndex();
  Pump(250);
  EXPECT_EQ(l->FirstVisibleIndex(), first);
}

TEST_F(SkinMenus, ItemLimitSizesTheLevelAndPlacesItNormally) {
  Fill(8);
  menu_->MaxMenuItemsInWindow = 5;
  Open(300, 200);
  TvpSkinPopupWindow* l = Level(0);
  // Five 20-pixel items, the frame's 6 pixels and the two scroll areas.
  EXPECT_EQ(l->Height(), 5 * 20 + 6 + 20);
  EXPECT_TRUE(l->ScrollFlag());
  EXPECT_TRUE(l->LimitFlag());
  EXPECT_EQ(l->Top(), 200);
  EXPECT_EQ(l->Left(), 300);
  EXPECT_EQ(l->VisibleCount(), 5);
}

TEST_F(SkinMenus, NearTheBottomOpensAboveInTheLowerHalfAndAsideInTheUpperHalf) {
  Fill(10);
  const int y = work_.bottom - 20;
  Open(300, y);
  EXPECT_EQ(Level(0)->Top(), y - Level(0)->Height());
  EXPECT_EQ(Level(0)->Left(), 300);
  menu_->CloseMenu();

  while (Root()->Count() > 0) delete Root()->Items(0);
  Fill(30);  // 30 * 20 + 6 = 606 pixels
  const int y2 = work_.top + (work_.bottom - work_.top) / 2 - 50;
  Open(300, y2);
  ASSERT_GT(y2 + Level(0)->Height(), work_.bottom);
  EXPECT_EQ(Level(0)->Top(), work_.bottom - Level(0)->Height());
  EXPECT_EQ(Level(0)->Left(), 301);
  EXPECT_TRUE(Level(0)->PushedAside());
}

TEST_F(SkinMenus, SubmenuThatDoesNotFitRightOpensLeft) {
  TMenuItem* sub = Add(Root(), L"Sub");
  Fill(3, sub);
  Open(work_.right - 150, 200);
  menu_->ProcessKey(VK_RIGHT);
  ASSERT_EQ(menu_->LevelCount(), 2);
  const int parentLeft = Level(0)->Left() + Level(0)->Items(0)->Rect.left;
  EXPECT_EQ(Level(1)->Left(), parentLeft - Level(1)->Width() - 1);
  EXPECT_EQ(Level(1)->Top(), Level(0)->Top() + Level(0)->Items(0)->Rect.top - Level(1)->ItemsRect().top);
}

// ---------------------------------------------------------------- keys

TEST_F(SkinMenus, ArrowsWalkSelectableItemsAndStopAtTheEnds) {
  Add(Root(), L"A");
  Add(Root(), L"-");
  Add(Root(), L"B", false);
  Add(Root(), L"C");
  Open(200, 200);
  EXPECT_EQ(Level(0)->ActiveIndex(), 0);
  menu_->ProcessKey(VK_DOWN);
  EXPECT_EQ(Level(0)->ActiveIndex(), 3);
  EXPECT_TRUE(Level(0)->Items(3)->Active);
  EXPECT_FALSE(Level(0)->Items(0)->Active);
  menu_->ProcessKey(VK_DOWN);
  EXPECT_EQ(Level(0)->ActiveIndex(), 3);
  menu_->ProcessKey(VK_UP);
  menu_->ProcessKey(VK_UP);
  EXPECT_EQ(Level(0)->ActiveIndex(), 0);
}

TEST_F(SkinMenus, RightLeftEscapeAndEnterWalkTheLevels) {
  int clicks = 0;
  TMenuItem* sub = Add(Root(), L"Sub");
  TMenuItem* deep = Add(sub, L"Deep");
  Add(deep, L"Leaf")->OnClick = [&](TObject*) { ++clicks; };
  Add(Root(), L"Other");
  Open(200, 200);
  menu_->ProcessKey(VK_RIGHT);
  menu_->ProcessKey(VK_RIGHT);
  ASSERT_EQ(menu_->LevelCount(), 3);
  menu_->ProcessKey(VK_LEFT);
  EXPECT_EQ(menu_->LevelCount(), 2);
  EXPECT_FALSE(Level(1)->Items(0)->SubMenuOpen);
  menu_->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(menu_->LevelCount(), 1);
  EXPECT_FALSE(Level(0)->Items(0)->SubMenuOpen);
  menu_->ProcessKey(VK_LEFT);
  EXPECT_EQ(menu_->LevelCount(), 1) << "Left never closes the top level";
  menu_->ProcessKey(VK_RIGHT);
  menu_->ProcessKey(VK_RIGHT);
  menu_->ProcessKey(VK_RETURN);
  EXPECT_EQ(clicks, 1);
  EXPECT_FALSE(menu_->Visible());
}

TEST_F(SkinMenus, AccessKeyClicksItsItem) {
  int saved = 0;
  Add(Root(), L"&Open");
  Add(Root(), L"&Save")->OnClick = [&](TObject*) { ++saved; };
  Add(Root(), L"Sa&y && go");
  Open(200, 200);
  menu_->ProcessKey('S');
  EXPECT_EQ(saved, 1);
  EXPECT_FALSE(menu_->Visible());
}

// ---------------------------------------------------------------- alpha

TEST_F(SkinMenus, OnlyTheFirstLevelFadesIn) {
  TMenuItem* sub = Add(Root(), L"Sub");
  Fill(2, sub);
  menu_->MenusAlphaBlend = true;
  menu_->MenusAlphaBlendAnimation = true;
  menu_->MenusAlphaBlendValue = 150;
  Open(200, 200);
  ASSERT_EQ(menu_->FadeCount(), 1);
  const std::vector<BYTE>& steps = menu_->LastFadeSteps();
  ASSERT_EQ(steps.size(), 16u);
  for (size_t i = 0; i < steps.size(); ++i) EXPECT_EQ(steps[i], std::min<int>(static_cast<int>(i) * 10, 150));
  BYTE alpha = 0;
  DWORD flags = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Level(0)->Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 150);
  menu_->ProcessKey(VK_RIGHT);
  ASSERT_EQ(menu_->LevelCount(), 2);
  EXPECT_EQ(menu_->FadeCount(), 1);
  ASSERT_TRUE(GetLayeredWindowAttributes(Level(1)->Handle(), nullptr, &alpha, &flags));
  EXPECT_EQ(alpha, 150);
}

TEST_F(SkinMenus, AlphaWithoutAnimationIsSetAtOnce) {
  Fill(2);
  menu_->MenusAlphaBlend = true;
  menu_->MenusAlphaBlendValue = 99;
  Open(200, 200);
  EXPECT_EQ(menu_->FadeCount(), 0);
  BYTE alpha = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Level(0)->Handle(), nullptr, &alpha, nullptr));
  EXPECT_EQ(alpha, 99);
}

// ---------------------------------------------------------------- pixels

TEST_F(SkinMenus, SkinnedLevelShowsTheSkinPicturesAndIsShapedByTheMask) {
  Fill(3);
  Open(200, 200);
  TvpSkinPopupWindow* l = Level(0);
  Pump(50);
  ASSERT_NE(l->PopupDef(), nullptr);
  ASSERT_NE(l->ItemDef(), nullptr);
  const plat::BmpImage* pw = skin_->ActivePicture(skin_->PopupWindowDef.WindowPictureIndex);
  const plat::BmpImage* items = skin_->ActivePicture(l->ItemDef()->ActivePictureIndex);
  const plat::BmpImage* mask = skin_->ActivePicture(skin_->PopupWindowDef.MaskPictureIndex);
  ASSERT_TRUE(pw && items && mask);

  // The region is the mask's shape at the window's size.
  skin::SkinCut cut{skin_->PopupWindowDef.LTPoint, skin_->PopupWindowDef.RTPoint, skin_->PopupWindowDef.LBPoint,
                    skin_->PopupWindowDef.RBPoint, skin_->PopupWindowDef.ItemsRect,
                    plat::Rect{0, 0, pw->Width, pw->Height}};
  const skin::SkinFit fit = skin::FitSkinCut(cut, l->Width(), l->Height());
  gdi::Region expected(skin::BuildShapedRegion(mask->Pixels, cut, fit));
  gdi::Region actual(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(l->Handle(), actual.get()), ERROR);
  EXPECT_TRUE(EqualRgn(expected.get(), actual.get()));

  // The top-left corner piece is copied as it is, where the mask lets it show.
  int inside = 0;
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 3; ++x) {
      if (!PtInRegion(actual.get(), x, y)) continue;
      ++inside;
      EXPECT_EQ(ScreenPixel(l->Left() + x, l->Top() + y), pw->Pixels.Pixel(x, y)) << x << "," << y;
    }
  EXPECT_GT(inside, 0);
  // Item 0 is active: its left end is "activeskinrect"; item 1 "skinrect".
  const plat::Rect act = l->ItemDef()->ActiveSkinRect, norm = l->ItemDef()->SkinRect;
  for (int y = 0; y < 20; y += 3)
    for (int x = 0; x < 8; x += 2) {
      const RECT r0 = l->Items(0)->Rect, r1 = l->Items(1)->Rect;
      EXPECT_EQ(ScreenPixel(l->Left() + r0.left + x, l->Top() + r0.top + y), items->Pixels.Pixel(act.Left + x, act.Top + y));
      EXPECT_EQ(ScreenPixel(l->Left() + r1.left + x, l->Top() + r1.top + y), items->Pixels.Pixel(norm.Left + x, norm.Top + y));
    }
}

TEST_F(SkinMenus, PlainLevelWithoutSkin) {
  Fill(3);
  Add(Root(), L"-");
  Open(200, 200, nullptr);
  menu_->CloseMenu();
  menu_->Popup(nullptr, nullptr, false, Root(), RECT{200, 200, 200, 200}, 0);
  TvpSkinPopupWindow* l = Level(0);
  Pump(50);
  EXPECT_EQ(l->PopupDef(), nullptr);
  const int L = l->Left(), T = l->Top();
  EXPECT_EQ(ScreenPixel(L, T), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(ScreenPixel(L + 1, T + 1), GetSysColor(COLOR_WINDOW));
  const RECT a = l->Items(0)->Rect, b = l->Items(1)->Rect, sep = l->Items(3)->Rect;
  // The active item: navy frame around the highlight colour.
  EXPECT_EQ(ScreenPixel(L + a.left, T + a.top), RGB(0, 0, 128));
  EXPECT_EQ(ScreenPixel(L + a.left + 3, T + a.top + 1), RGB(182, 189, 210));
  // Others: glyph column in button face, the rest in the window colour.
  EXPECT_EQ(ScreenPixel(L + b.left + 1, T + b.top + 1), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ScreenPixel(L + b.right - 2, T + b.top + 1), GetSysColor(COLOR_WINDOW));
  EXPECT_EQ(sep.bottom - sep.top, 4);
  EXPECT_EQ(ScreenPixel(L + sep.left + 30, T + sep.top + 2), GetSysColor(COLOR_BTNSHADOW));
  HRGN none = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(l->Handle(), none), ERROR);
  DeleteObject(none);
}

TEST_F(SkinMenus, SystemGlyphsByExactNameAndOwnerDrawnItems) {
  TMenuItem* close = Add(Root(), L"Close");
  close->Name = L"VPF_CLOSE";
  TMenuItem* tray = Add(Root(), L"Close too");
  tray->Name = L"TRAY_VPF_CLOSE";
  TMenuItem* lower = Add(Root(), L"Not close");
  lower->Name = L"vpf_close";
  TObject* sender = nullptr;
  bool drawnOn = true;
  TMenuItem* own = Add(Root(), L"Own");
  struct Catch {
    TObject** sender;
    bool* on;
    void Draw(TObject* s, TCanvas&, RECT, bool selected) {
      *sender = s;
      *on = selected;
    }
  } c{&sender, &drawnOn};
  own->OnDrawItem = TMenuDrawItemEvent::Of<&Catch::Draw>(&c);
  Open(200, 200);
  Pump(50);
  TvpSkinPopupWindow* l = Level(0);
  const COLORREF ink = ColorToRGB(l->ItemDef()->FontColor), activeInk = ColorToRGB(l->ItemDef()->ActiveFontColor);
  // The close glyph's diagonal starts at the mark's place (T.Left + 2 + 1, middle - 4 + 1).
  auto markPixel = [&](int i) {
    const RECT r = l->Items(i)->Rect;
    const int x = l->ItemDef()->TextRect.Left + 2 + 2, y = 10 - 4 + 2;
    return ScreenPixel(l->Left() + r.left + x, l->Top() + r.top + y);
  };
  EXPECT_EQ(markPixel(0), activeInk);
  EXPECT_EQ(markPixel(1), ink);
  EXPECT_NE(markPixel(2), ink);
  EXPECT_EQ(sender, static_cast<TObject*>(l->Items(3)));
  EXPECT_FALSE(drawnOn);
}

// ---------------------------------------------------------------- effects

TEST_F(SkinMenus, MorphAndFrameAnimationRunOnTheirTimerAndStop) {
  Fill(3);
  vp::TvpCompressedStoredSkin stored;
  auto effects = LoadDefault(stored);
  vp::TvpDataSkinMenuItem* d = nullptr;
  for (auto& o : effects->ObjectDefs)
    if (auto* m = dynamic_cast<vp::TvpDataSkinMenuItem*>(o.get()); m && !d) d = m;
  ASSERT_NE(d, nullptr);
  d->Morphing = true;
  Open(200, 200, effects.get());
  TvpSkinPopupWindow* l = Level(0);
  EXPECT_EQ(vp::popupgdi::Timer::Live(), 2) << "the mouse poll and the first item's morph";
  Pump(60);
  EXPECT_GT(l->Items(0)->MorphFactor, 0.0);
  EXPECT_LT(l->Items(0)->MorphFactor, 1.0);
  Pump(250);
  EXPECT_EQ(l->Items(0)->MorphFactor, 1.0);
  menu_->ProcessKey(VK_DOWN);
  Pump(300);
  EXPECT_EQ(l->Items(0)->MorphFactor, 0.0);
  EXPECT_EQ(l->Items(1)->MorphFactor, 1.0);
  EXPECT_EQ(vp::popupgdi::Timer::Live(), 1) << "the morph timer stops when nothing changes";
  menu_->CloseMenu();

  // Two frames one below the other (the strip is taller than "skinrect").
  d->Morphing = false;
  d->AnimateSkinRect = plat::Rect{0, 0, 100, 40};
  d->FrameCount = 2;
  d->AnimateInterval = 20;
  Open(200, 200, effects.get());
  l = Level(0);
  Pump(200);
  EXPECT_EQ(l->Items(0)->FrameCounter, 3) << "frames 1 and 2, then the plain active image";
  menu_->ProcessKey(VK_DOWN);
  Pump(200);
  EXPECT_EQ(l->Items(0)->FrameCounter, 0);
  EXPECT_EQ(vp::popupgdi::Timer::Live(), 1);
  menu_->CloseMenu();
  EXPECT_EQ(vp::popupgdi::Timer::Live(), 0);
}

TEST_F(SkinMenus, ImageColourTakesOverMarksButNotText) {
  TMenuItem* close = Add(Root(), L"Close");
  close->Name = L"VPF_CLOSE";
  Add(Root(), L"Checked")->Checked = true;
  vp::TvpCompressedStoredSkin stored;
  auto coloured = LoadDefault(stored);
  for (auto& o : coloured->ObjectDefs)
    if (auto* d = dynamic_cast<vp::TvpDataSkinMenuItem*>(o.get())) {
      d->UseImageColor = true;
      d->ActiveImageColor = plat::RGBColor(0, 255, 0);
      d->ImageColor = plat::RGBColor(255, 0, 0);
    }
  Open(200, 200, coloured.get());
  Pump(50);
  TvpSkinPopupWindow* l = Level(0);
  const int tx = l->ItemDef()->TextRect.Left;
  const RECT a = l->Items(0)->Rect, b = l->Items(1)->Rect;
  // The close glyph's diagonal, and the check mark's first stroke (x, y + 5).
  EXPECT_EQ(ScreenPixel(l->Left() + a.left + tx + 4, l->Top() + a.top + 8), RGB(0, 255, 0));
  EXPECT_EQ(ScreenPixel(l->Left() + b.left + tx + 2, l->Top() + b.top + 6 + 5), RGB(255, 0, 0));
  // The caption keeps the font colours: no pixel of the image colours in it.
  bool red = false;
  for (int x = tx + 16; x < tx + 60; ++x)
    for (int y = 3; y < 17; ++y) red = red || ScreenPixel(l->Left() + b.left + x, l->Top() + b.top + y) == RGB(255, 0, 0);
  EXPECT_FALSE(red);
}

// ---------------------------------------------------------------- bad input

TEST_F(SkinMenus, LongCaptionStaysOnTheScreen) {
  Add(Root(), std::wstring(1000, L'W'));
  Add(Root(), L"Short");
  Open(100, 100);
  ASSERT_EQ(menu_->LevelCount(), 1);
  EXPECT_LE(Level(0)->Width(), work_.right - work_.left);
  EXPECT_GE(Level(0)->Left(), work_.left);
}

TEST_F(SkinMenus, MissingOrTooSmallPopupPictureDrawsPlain) {
  Fill(3);
  vp::TvpCompressedStoredSkin stored;
  auto broken = LoadDefault(stored);
  broken->PopupWindowDef.WindowPictureIndex = 99;
  Open(200, 200, broken.get());
  ASSERT_EQ(menu_->LevelCount(), 1);
  EXPECT_EQ(Level(0)->PopupDef(), nullptr);
  menu_->CloseMenu();
  broken->PopupWindowDef.WindowPictureIndex = skin_->PopupWindowDef.WindowPictureIndex;
  broken->PopupWindowDef.RTPoint = plat::Point{400, 3};
  Open(200, 200, broken.get());
  EXPECT_EQ(Level(0)->PopupDef(), nullptr);
  menu_->CloseMenu();
  // A missing item picture: plain items inside the skinned frame.
  broken->PopupWindowDef = skin_->PopupWindowDef;
  for (auto& o : broken->ObjectDefs)
    if (auto* d = dynamic_cast<vp::TvpDataSkinMenuItem*>(o.get())) d->ActivePictureIndex = 77;
  Open(200, 200, broken.get());
  EXPECT_NE(Level(0)->PopupDef(), nullptr);
  EXPECT_EQ(Level(0)->ItemDef(), nullptr);
  EXPECT_EQ(Level(0)->Items(0)->Rect.bottom - Level(0)->Items(0)->Rect.top, menu_->DefMenuItemHeight());
  Pump(50);
  menu_->CloseMenu();
}

TEST_F(SkinMenus, ItemFreedWhileOpenIsForgotten) {
  Fill(3);
  int clicks[3] = {0, 0, 0};
  for (int i = 0; i < 3; ++i) Root()->Items(i)->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
  TMenuItem* sub = Add(Root(), L"Sub");
  Fill(2, sub);
  Open(200, 200);
  Hover(0, 3, 100);
  ASSERT_EQ(menu_->WaitingItem(), Level(0)->Items(3));
  delete sub;  // its children go with it
  EXPECT_EQ(Level(0)->Items(3)->MenuItem(), nullptr);
  EXPECT_EQ(menu_->WaitingItem(), nullptr);
  Pump(600);
  EXPECT_EQ(menu_->LevelCount(), 1);
  delete Root()->Items(1);
  // A release over the freed item clicks nothing and leaves the menu open.
  const POINT p = ItemCentre(0, 1);
  SendMessageW(Level(0)->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(p.x - Level(0)->Left(), p.y - Level(0)->Top()));
  EXPECT_TRUE(menu_->Visible());
  EXPECT_EQ(Level(0)->ActiveIndex(), 1);
  // Down passes over it to the next live item, and Enter runs that one.
  menu_->ProcessKey(VK_DOWN);
  EXPECT_EQ(Level(0)->ActiveIndex(), 2);
  menu_->ProcessKey(VK_RETURN);
  EXPECT_EQ(clicks[0], 0);
  EXPECT_EQ(clicks[2], 1);
  EXPECT_FALSE(menu_->Visible());
  Pump(50);
}

// ---------------------------------------------------------------- the popup menu component

TEST_F(SkinMenus, SkinPopupMenuOpensThroughTheFormsFrame) {
  auto* pm = new vp::TvpSkinPopupMenu(form_);
  auto* i = new TMenuItem(form_);
  i->Caption = L"One";
  pm->Items()->Add(i);
  int popped = 0, closed = 0;
  pm->OnPopup = [&](TObject*) { ++popped; };
  pm->OnMenuClose = [&](TObject*) { ++closed; };
  pm->Popup(250, 260);
  EXPECT_EQ(popped, 1);
  EXPECT_EQ(frame_->Openings, 1);
  ASSERT_TRUE(menu_->Visible());
  EXPECT_EQ(pm->PopupPoint().x, 250);
  EXPECT_EQ(Level(0)->Left(), 250);
  EXPECT_EQ(Level(0)->Top(), 260);
  EXPECT_NE(Level(0)->PopupDef(), nullptr) << "the frame's skin";
  menu_->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(closed, 1);
  // A menu on a form without a frame shows nothing.
  auto* bare = new TCountingForm(nullptr);
  auto* lone = new vp::TvpSkinPopupMenu(bare);
  lone->Items()->Add(new TMenuItem(bare));
  lone->Popup(10, 10);
  EXPECT_FALSE(menu_->Visible());
  delete bare;
}

// ---------------------------------------------------------------- resources

TEST_F(SkinMenus, NothingIsLeftBehindAfterAHundredMenus) {
  TMenuItem* sub = Add(Root(), L"Sub");
  TMenuItem* deep = Add(sub, L"Deep");
  Fill(3, deep);
  Fill(3, sub);
  Fill(20);
  auto cycle = [&] {
    Open(200, 200);
    menu_->ProcessKey(VK_RIGHT);
    menu_->ProcessKey(VK_RIGHT);
    menu_->ProcessKey(VK_DOWN);
    Pump(1);
    menu_->CloseMenu();
  };
  cycle();  // classes registered, fonts cached by the system
  const int windows = ThreadWindows();
  const long timers = vp::popupgdi::Timer::Live();
  const long gdiObjects = gdi::LiveTotal();
  const DWORD guiObjects = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  for (int i = 0; i < 100; ++i) cycle();
  EXPECT_EQ(ThreadWindows(), windows);
  EXPECT_EQ(vp::popupgdi::Timer::Live(), timers);
  EXPECT_EQ(timers, 0);
  EXPECT_EQ(gdi::LiveTotal(), gdiObjects);
  EXPECT_EQ(GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS), guiObjects);
}

// ---------------------------------------------------------------- handlers that free things

TEST(FreedMemoryGuard, SeesAWriteIntoFreedMemory) {
  memguard::FreedMemoryGuard guard;
  auto* p = new int(5);
  delete p;
  EXPECT_EQ(guard.TouchedBlocks(), 0);
  volatile int* freed = p;
  *freed = 7;  // on purpose: the guard must notice
  EXPECT_EQ(guard.TouchedBlocks(), 1);
  *freed = static_cast<int>(0xDDDDDDDDu);
}

TEST_F(SkinMenus, ACommandThatFreesTheControllerLeavesItAlone) {
  memguard::FreedMemoryGuard guard;
  int ran = 0;
  Add(Root(), L"Free")->OnClick = [&](TObject*) {
    ++ran;
    delete frame_;  // a form that goes, its frame and menus with it
    frame_ = nullptr;
    menu_ = nullptr;
  };
  Open(200, 200, nullptr, form_);  // a control to tell after the command
  TvpSkinMenu* menu = menu_;
  menu->ProcessKey(VK_RETURN);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(form_->Commands, 0) << "the controller that would tell is gone";
  EXPECT_EQ(guard.TouchedBlocks(), 0);
}

TEST_F(SkinMenus, ACloseHandlerThatFreesTheControllerLeavesItAlone) {
  memguard::FreedMemoryGuard guard;
  auto freeOnClose = [&] {
    menu_->OnMenuClose = [&](TObject*) {
      delete frame_;
      frame_ = nullptr;
      menu_ = nullptr;
    };
  };
  int ran = 0;
  Add(Root(), L"Run")->OnClick = [&](TObject*) { ++ran; };
  Open(200, 200);
  freeOnClose();
  TvpSkinMenu* menu = menu_;
  menu->ProcessKey(VK_ESCAPE);
  EXPECT_EQ(menu_, nullptr);
  EXPECT_EQ(guard.TouchedBlocks(), 0);

  // The same through a click: the command still runs.
  frame_ = new TTestFrame(form_);
  frame_->Skin = skin_;
  menu_ = frame_->Menu;
  Open(200, 200);
  freeOnClose();
  menu = menu_;
  menu->ProcessKey(VK_RETURN);
  EXPECT_EQ(ran, 1);
  EXPECT_EQ(menu_, nullptr);
  EXPECT_EQ(guard.TouchedBlocks(), 0);
}

TEST_F(SkinMenus, ASubmenuOpenerWhoseCommandClosesTheMenuOpensNothing) {
  memguard::FreedMemoryGuard guard;
  TMenuItem* sub = Add(Root(), L"Sub");
  Fill(2, sub);
  sub->OnClick = [&](TObject*) { menu_->CloseMenu(); };
  Open(200, 200);
  menu_->ProcessKey(VK_RIGHT);
  EXPECT_FALSE(menu_->Visible());
  EXPECT_EQ(menu_->LevelCount(), 0);
  EXPECT_EQ(guard.TouchedBlocks(), 0) << "nothing is written into the freed level";
  EXPECT_EQ(ThreadWindows(L"PlatoraSkinPopupShadow") + ThreadWindows(L"PlatoraSkinPopup"), 0);
}

TEST_F(SkinMenus, MessagesHandledBeforeTheFadeMayFreeTheController) {
  memguard::FreedMemoryGuard guard;
  Fill(2);
  menu_->MenusAlphaBlend = menu_->MenusAlphaBlendAnimation = true;
  constexpr UINT kFree = WM_APP + 21;
  Application->OnMessage = [&](MSG& m, bool& handled) {
    if (m.message != kFree) return;
    handled = true;
    delete frame_;
    frame_ = nullptr;
  };
  PostMessageW(form_->Handle(), kFree, 0, 0);
  TvpSkinMenu* menu = menu_;
  menu_ = nullptr;
  menu->Popup(nullptr, skin_, false, Root(), RECT{200, 200, 200, 200}, 0);
  Application->OnMessage = nullptr;
  EXPECT_EQ(frame_, nullptr);
  EXPECT_EQ(guard.TouchedBlocks(), 0);
  EXPECT_EQ(ThreadWindows(L"PlatoraSkinPopupShadow") + ThreadWindows(L"PlatoraSkinPopup"), 0);
}

TEST_F(SkinMenus, ASkinChangeClosesAnOpenMenuFirst) {
  memguard::FreedMemoryGuard guard;
  Fill(3);
  vp::TvpCompressedStoredSkin stored;
  auto other = LoadDefault(stored);
  Open(200, 200, other.get());
  ASSERT_TRUE(menu_->Visible());
  // A new skin replaces the pictures and definitions the level points into.
  other->LoadFromCompressedStoredSkin(stored);
  EXPECT_FALSE(menu_->Visible());
  EXPECT_EQ(menu_->LevelCount(), 0);
  EXPECT_EQ(form_->Closed, 1) << "the host hears the menu closed";
  Pump(60);
  // The skin data going closes it as well.
  Open(200, 200, other.get());
  ASSERT_TRUE(menu_->Visible());
  other.reset();
  EXPECT_FALSE(menu_->Visible());
  Pump(60);
  EXPECT_EQ(guard.TouchedBlocks(), 0);
}

TEST_F(SkinMenus, APopupThatShowsNothingStillReportsTheClose) {
  Add(Root(), L"Hidden")->Visible = false;
  Open(100, 100, nullptr, form_);
  EXPECT_FALSE(menu_->Visible());
  // The host and the control wait for the close to leave their menu mode.
  EXPECT_EQ(form_->Closed, 2);
  auto* pm = new vp::TvpSkinPopupMenu(form_);
  auto* i = new TMenuItem(form_);
  i->Visible = false;
  pm->Items()->Add(i);
  int closed = 0;
  pm->OnMenuClose = [&](TObject*) { ++closed; };
  pm->Popup(100, 100);
  EXPECT_EQ(closed, 1);
  EXPECT_FALSE(menu_->OnMenuClose) << "not left to fire at some later menu's close";
}

TEST_F(SkinMenus, ArrowsJudgeTheItemsAsTheyAreWhenTheKeyComes) {
  Add(Root(), L"A");
  TMenuItem* b = Add(Root(), L"B");
  Add(Root(), L"C");
  TMenuItem* d = Add(Root(), L"D", false);
  Open(200, 200);
  ASSERT_EQ(Level(0)->ActiveIndex(), 0);
  b->Enabled = false;  // after the level opened
  d->Enabled = true;
  menu_->ProcessKey(VK_DOWN);
  EXPECT_EQ(Level(0)->ActiveIndex(), 2);
  menu_->ProcessKey(VK_DOWN);
  EXPECT_EQ(Level(0)->ActiveIndex(), 3);
  menu_->ProcessKey(VK_UP);
  menu_->ProcessKey(VK_UP);
  EXPECT_EQ(Level(0)->ActiveIndex(), 0);
}

TEST_F(SkinMenus, AnItemThatMorphsAndPlaysFramesDoesBoth) {
  Fill(2);
  vp::TvpCompressedStoredSkin stored;
  auto effects = LoadDefault(stored);
  for (auto& o : effects->ObjectDefs)
    if (auto* m = dynamic_cast<vp::TvpDataSkinMenuItem*>(o.get())) {
      m->Morphing = true;
      m->AnimateSkinRect = plat::Rect{0, 0, 100, 40};
      m->FrameCount = 2;
      m->AnimateInterval = 20;
    }
  Open(200, 200, effects.get());
  Pump(300);
  EXPECT_EQ(Level(0)->Items(0)->FrameCounter, 3);
  EXPECT_EQ(Level(0)->Items(0)->MorphFactor, 1.0);
  menu_->ProcessKey(VK_DOWN);
  Pump(300);
  EXPECT_EQ(Level(0)->Items(0)->FrameCounter, 0);
  EXPECT_EQ(Level(0)->Items(0)->MorphFactor, 0.0);
  EXPECT_EQ(Level(0)->Items(1)->MorphFactor, 1.0);
  menu_->CloseMenu();
}

// ---------------------------------------------------------------- item looks

TEST_F(SkinMenus, MarksColoursAndSeparatorsAsTheSkinDrawsThem) {
  Add(Root(), L"On");
  Add(Root(), L"-");
  Add(Root(), L"Off", false);
  Add(Root(), L"Other");
  auto withImage = [&](const std::wstring& caption, bool checked) {
    TMenuItem* mi = Add(Root(), caption);
    mi->Checked = checked;
    TBitmap& b = mi->Bitmap();
    b.SetSize(12, 12);
    b.Canvas().Brush().SetColor(RGB(0, 200, 0));
    b.Canvas().FillRect(RECT{0, 0, 12, 12});
  };
  withImage(L"Framed", true);   // 4
  withImage(L"Plain", false);   // 5
  TMenuItem* radio = Add(Root(), L"Radio");  // 6
  radio->Checked = radio->RadioItem = true;
  Add(Root(), L"Check")->Checked = true;  // 7
  Open(200, 200);
  Pump(50);
  TvpSkinPopupWindow* l = Level(0);
  const vp::TvpDataSkinMenuItem& d = *l->ItemDef();
  const plat::Raster& pic = skin_->ActivePicture(d.ActivePictureIndex)->Pixels;
  const COLORREF font = static_cast<COLORREF>(d.FontColor), grey = static_cast<COLORREF>(d.UnEnabledFontColor);
  auto at = [&](int item, int x, int y) {
    const RECT r = l->Items(item)->Rect;
    return ScreenPixel(l->Left() + r.left + x, l->Top() + r.top + y);
  };
  auto count = [&](int item, COLORREF c) {
    const RECT r = l->Items(item)->Rect;
    int n = 0;
    for (int y = 0; y < r.bottom - r.top; ++y)
      for (int x = 0; x < r.right - r.left; ++x) n += at(item, x, y) == c;
    return n;
  };

  // The separator is the divider piece: as high, its kept ends unchanged.
  const RECT sep = l->Items(1)->Rect;
  ASSERT_EQ(sep.bottom - sep.top, d.DividerRect.Height());
  const int sw = sep.right - sep.left;
  for (int y = 0; y < d.DividerRect.Height(); ++y) {
    for (int x = 0; x < d.DividerLeftOffset; ++x)
      EXPECT_EQ(at(1, x, y), pic.Pixel(d.DividerRect.Left + x, d.DividerRect.Top + y)) << x << "," << y;
    for (int x = 0; x < d.DividerRightOffset; ++x)
      EXPECT_EQ(at(1, sw - 1 - x, y), pic.Pixel(d.DividerRect.Right - 1 - x, d.DividerRect.Top + y));
  }
  // A disabled item is written in "unenabledfontcolor", an enabled one not.
  EXPECT_GT(count(2, grey), 5);
  EXPECT_EQ(count(2, font), 0);
  EXPECT_GT(count(3, font), 5);
  EXPECT_EQ(count(3, grey), 0);
  // A checked item with an image: the image inside a one-pixel frame in the
  // font colour (image at text left + 2, centred); without the check no frame.
  const int gx = d.TextRect.Left + 2, gy = d.TextRect.Height() / 2 - 6;
  EXPECT_EQ(at(4, gx + 3, gy + 3), RGB(0, 200, 0));
  EXPECT_EQ(at(4, gx - 1, gy + 6), font);
  EXPECT_EQ(at(4, gx + 12, gy + 6), font);
  EXPECT_EQ(at(5, gx + 3, gy + 3), RGB(0, 200, 0));
  EXPECT_NE(at(5, gx - 1, gy + 6), font);
  // A checked radio item without an image shows the dot, a checked plain
  // item the check mark (at text left + 2, middle - 4).
  const int mx = d.TextRect.Left + 2, my = d.TextRect.Height() / 2 - 4;
  EXPECT_EQ(at(6, mx + 1, my + 3), font) << "inside the dot";
  EXPECT_NE(at(7, mx + 1, my + 3), font) << "beside the check mark's stroke";
  EXPECT_EQ(at(7, mx + 1, my + 6), font) << "on the check mark's stroke";
}

TEST_F(SkinMenus, AnOpenerWhoseSubmenuWasClosedOpensItAgain) {
  TMenuItem* sub = Add(Root(), L"Sub");
  Fill(2, sub);
  Add(Root(), L"Off", false);
  Open(200, 200);
  menu_->ProcessKey(VK_RIGHT);
  ASSERT_EQ(menu_->LevelCount(), 2);
  // The highlight rests on a disabled item; Escape closes the submenu.
  Hover(0, 1);
  ASSERT_EQ(Level(0)->ActiveIndex(), 1);
  ASSERT_EQ(menu_->LevelCount(), 2);
  menu_->ProcessKey(VK_ESCAPE);
  ASSERT_EQ(menu_->LevelCount(), 1);
  EXPECT_FALSE(Level(0)->Items(0)->SubMenuOpen);
  Hover(0, 0, 700);  // the hover wait opens it again
  EXPECT_EQ(menu_->LevelCount(), 2);
  menu_->CloseMenu();

  // A scroll area closes the submenu as well.
  Fill(6);
  menu_->MaxMenuItemsInWindow = 3;
  Open(200, 200);
  ASSERT_TRUE(Level(0)->ScrollFlag());
  menu_->ProcessKey(VK_RIGHT);
  ASSERT_EQ(menu_->LevelCount(), 2);
  const RECT ir = Level(0)->ItemsRect();
  PointAt(Level(0)->Left() + (ir.left + ir.right) / 2, Level(0)->Top() + ir.bottom - 5);
  EXPECT_EQ(menu_->LevelCount(), 1);
  EXPECT_FALSE(Level(0)->Items(0)->SubMenuOpen);
  PointAt(work_.right - 2, work_.bottom - 2);
  menu_->MaxMenuItemsInWindow = 0;
  menu_->CloseMenu();
}

}  // namespace
