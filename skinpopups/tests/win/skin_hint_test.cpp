// The skinned hint window: where it goes, how large it is, what it shows,
// its translucency, and object hints with their delays.
#include "skinpopups/tests/win/popup_test_support.h"

using namespace popuptest;
using vp::TvpSkinHint;
using vp::TvpSkinHintWindow;

namespace {

class SkinHints : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TApplication app;
    Application->Initialize();
    static vp::TvpCompressedStoredSkin stored;
    static std::unique_ptr<vp::TvpSkinData> sd = LoadDefault(stored);
    skin_ = sd.get();
  }
  void SetUp() override {
    Application->CreateForm(form_);
    hint_ = new TvpSkinHint(form_);
    hint_->SetSkinData(skin_);
  }
  void TearDown() override {
    delete form_;
    Pump(20);
  }
  TvpSkinHintWindow& Window() { return *hint_->HintWindow(); }
  RECT Bounds() {
    RECT r{};
    GetWindowRect(Window().Handle(), &r);
    return r;
  }

  static vp::TvpSkinData* skin_;
  TCountingForm* form_ = nullptr;
  TvpSkinHint* hint_ = nullptr;
};
vp::TvpSkinData* SkinHints::skin_ = nullptr;

TEST_F(SkinHints, BecomesTheApplicationsHintWindowClass) {
  THintWindow* w = ApplicationHints().HintWindow();
  ASSERT_NE(w, nullptr);
  EXPECT_NE(dynamic_cast<TvpSkinHintWindow*>(w), nullptr);
  EXPECT_EQ(ApplicationHints().HintShortPause, 100);
  int shown = 0;
  hint_->OnShowHint = [&](std::wstring&, bool&, THintInfo&) { ++shown; };
  EXPECT_TRUE(ApplicationHints().ActivateHint(POINT{100, 100}, L"Hello"));
  EXPECT_EQ(shown, 1);
  EXPECT_TRUE(IsWindowVisible(w->Handle()));
  ApplicationHints().CancelHint();
}

TEST_F(SkinHints, OneLineIsAtLeastThePictureAndSkinned) {
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"x");
  ASSERT_EQ(Window().SkinDataInUse(), skin_);
  const plat::BmpImage* pic = skin_->ActivePicture(skin_->HintWindowDef.WindowPictureIndex);
  ASSERT_NE(pic, nullptr);
  const RECT r = Bounds();
  EXPECT_EQ(r.left, 100);
  EXPECT_EQ(r.top, 100);
  EXPECT_GE(r.right - r.left, pic->Width);
  EXPECT_GE(r.bottom - r.top, pic->Height);
  EXPECT_FALSE(GetWindowLongPtrW(Window().Handle(), GWL_STYLE) & WS_BORDER);
  EXPECT_TRUE(GetWindowLongPtrW(Window().Handle(), GWL_EXSTYLE) & WS_EX_TOPMOST);
  Pump(50);
  // The top-left corner piece of the hint picture, unscaled.
  EXPECT_EQ(ScreenPixel(r.left + 1, r.top + 1), pic->Pixels.Pixel(1, 1));
  EXPECT_EQ(ScreenPixel(r.right - 2, r.bottom - 2), pic->Pixels.Pixel(pic->Width - 2, pic->Height - 2));
}

TEST_F(SkinHints, PlainWithoutSkin) {
  hint_->SetSkinData(nullptr);
  Window().ActivateHint(RECT{120, 120, 120, 120}, L"Plain hint");
  Pump(50);
  const RECT r = Bounds();
  EXPECT_EQ(Window().SkinDataInUse(), nullptr);
  EXPECT_EQ(ScreenPixel(r.left, r.top), GetSysColor(COLOR_BTNSHADOW));
  EXPECT_EQ(ScreenPixel(r.left + 1, r.top + 1), GetSysColor(COLOR_INFOBK));
}

TEST_F(SkinHints, NearTheRightAndBottomEdgesGoesBackByItsSizePlusTwo) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  Window().ActivateHint(RECT{sw - 5, sh - 5, sw - 5, sh - 5}, L"At the corner");
  const RECT r = Bounds();
  const int w = r.right - r.left, h = r.bottom - r.top;
  EXPECT_EQ(r.left, sw - 5 - w - 2);
  EXPECT_EQ(r.top, sh - 5 - h - 2);
}

TEST_F(SkinHints, TheSameOpacityIsSetOnlyOnce) {
  hint_->AlphaBlend = true;
  hint_->AlphaBlendValue = 180;
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"One");
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"Two");
  EXPECT_EQ(Window().AlphaSetCount(), 1);
  EXPECT_TRUE(Window().Layered());
  BYTE a = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Window().Handle(), nullptr, &a, nullptr));
  EXPECT_EQ(a, 180);
  hint_->AlphaBlendValue = 90;
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"Three");
  EXPECT_EQ(Window().AlphaSetCount(), 2);
  hint_->AlphaBlend = false;
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"Four");
  EXPECT_FALSE(Window().Layered());
  EXPECT_FALSE(GetWindowLongPtrW(Window().Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

TEST_F(SkinHints, ASecondActiveHintTakesOverTheApplication) {
  int first = 0, second = 0;
  hint_->OnShowHint = [&](std::wstring&, bool&, THintInfo&) { ++first; };
  auto* other = new TvpSkinHint(form_);
  other->OnShowHint = [&](std::wstring&, bool&, THintInfo&) { ++second; };
  hint_->SetActive(true);
  other->SetActive(true);
  EXPECT_FALSE(hint_->Active());
  ApplicationHints().ActivateHint(POINT{50, 50}, L"Who");
  EXPECT_EQ(first, 0);
  EXPECT_EQ(second, 1);
  // Freed, it no longer receives anything.
  delete other;
  ApplicationHints().ActivateHint(POINT{50, 50}, L"Who");
  EXPECT_EQ(second, 1);
  ApplicationHints().CancelHint();
}

TEST_F(SkinHints, NoActiveHintShowsNothing) {
  hint_->SetActive(false);
  auto* w = dynamic_cast<TvpSkinHintWindow*>(ApplicationHints().HintWindow());
  ASSERT_NE(w, nullptr);
  w->ActivateHint(RECT{10, 10, 10, 10}, L"Nobody");
  EXPECT_FALSE(w->HandleAllocated() && IsWindowVisible(w->Handle()));
}

TEST_F(SkinHints, DelayedHintShowsTheLastTextAfterThePauseAndHidesLater) {
  ApplicationHints().HintPause = 200;
  ApplicationHints().HintHidePause = 400;
  SetCursorPos(300, 300);
  hint_->ShowDelayedHint(L"First");
  Pump(100);
  hint_->ShowDelayedHint(L"Second");
  Pump(150);
  EXPECT_FALSE(Window().HandleAllocated() && IsWindowVisible(Window().Handle())) << "restarted by the second call";
  Pump(150);
  ASSERT_TRUE(IsWindowVisible(Window().Handle()));
  EXPECT_EQ(Window().Text(), L"Second");
  const RECT r = Bounds();
  EXPECT_EQ(r.left, 300);
  EXPECT_EQ(r.top, 300 + vp::CursorHeightBelowHotSpot());
  Pump(500);
  EXPECT_FALSE(IsWindowVisible(Window().Handle()));
  EXPECT_FALSE(hint_->HintPending());
  hint_->ShowDelayedHint(L"Third");
  hint_->CancelHint();
  Pump(300);
  EXPECT_FALSE(IsWindowVisible(Window().Handle()));
  ApplicationHints().HintPause = 500;
  ApplicationHints().HintHidePause = 2500;
}

TEST_F(SkinHints, PointerHeightComesFromTheArrowsMask) {
  // The arrow's visible part is shorter than the cursor's square, so the
  // mask's answer differs from the system cursor height it falls back to.
  form_->Show();
  const RECT r = form_->BoundsRect();
  SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  SetCursor(LoadCursorW(nullptr, IDC_ARROW));
  Pump(50);
  const int h = vp::CursorHeightBelowHotSpot();
  EXPECT_GE(h, 8);
  EXPECT_LT(h, GetSystemMetrics(SM_CYCURSOR)) << "the fallback, not the mask";
}

TEST_F(SkinHints, MadeLayeredAgainGetsItsOpacityAgain) {
  hint_->AlphaBlend = true;
  hint_->AlphaBlendValue = 180;
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"One");
  EXPECT_EQ(Window().AlphaSetCount(), 1);
  hint_->AlphaBlend = false;
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"Two");
  ASSERT_FALSE(Window().Layered());
  // Layered once more at the same value: a layered window without its
  // opacity set shows nothing, so it is set again.
  hint_->AlphaBlend = true;
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"Three");
  EXPECT_TRUE(Window().Layered());
  EXPECT_EQ(Window().AlphaSetCount(), 2);
  BYTE a = 0;
  ASSERT_TRUE(GetLayeredWindowAttributes(Window().Handle(), nullptr, &a, nullptr));
  EXPECT_EQ(a, 180);
}

TEST_F(SkinHints, ASkinChangeTakesAShownHintAway) {
  vp::TvpCompressedStoredSkin stored;
  auto other = LoadDefault(stored);
  hint_->SetSkinData(other.get());
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"Skinned");
  ASSERT_EQ(Window().SkinDataInUse(), other.get());
  ASSERT_TRUE(IsWindowVisible(Window().Handle()));
  // The hint is painted from the skin's pictures, which a new skin replaces.
  other->LoadFromCompressedStoredSkin(stored);
  EXPECT_FALSE(IsWindowVisible(Window().Handle()));
  EXPECT_EQ(Window().SkinDataInUse(), nullptr);
  Window().ActivateHint(RECT{100, 100, 100, 100}, L"Again");
  ASSERT_EQ(Window().SkinDataInUse(), other.get());
  other.reset();  // and when the skin data goes
  EXPECT_FALSE(IsWindowVisible(Window().Handle()));
  EXPECT_EQ(Window().SkinDataInUse(), nullptr);
  InvalidateRect(Window().Handle(), nullptr, TRUE);
  Pump(50);
}

}  // namespace
