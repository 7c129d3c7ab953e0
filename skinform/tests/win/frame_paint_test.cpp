// The frame on real windows: what reaches the screen, the window's shape,
// the client area it leaves, and the messages it answers.
#include <gtest/gtest.h>

#include "frame_test_util.h"
#include "skin/core/frame_compose.h"
#include "ui/win/windowhook.h"

using namespace frametest;

namespace {

// Window pixels that the frame drew: inside the region, outside the client.
bool FramePixel(HRGN region, const RECT& client, int x, int y) {
  return PtInRegion(region, x, y) && !(x >= client.left && x < client.right && y >= client.top && y < client.bottom);
}

RECT ClientInWindow(HWND h) {
  RECT wr, cr;
  GetWindowRect(h, &wr);
  GetClientRect(h, &cr);
  POINT o{0, 0};
  ClientToScreen(h, &o);
  return RECT{o.x - wr.left, o.y - wr.top, o.x - wr.left + cr.right, o.y - wr.top + cr.bottom};
}

// Rightmost column in `r` (window coordinates) holding a pixel of colour c.
int RightmostInk(const plat::Raster& shot, const RECT& r, plat::Color c) {
  for (int x = r.right - 1; x >= r.left; --x)
    for (int y = r.top; y < r.bottom; ++y)
      if (shot.Pixel(x, y) == c) return x;
  return -1;
}

int CountColour(const plat::Raster& shot, const RECT& r, plat::Color c) {
  int n = 0;
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) n += shot.Pixel(x, y) == c;
  return n;
}

}  // namespace

TEST(FramePaint, FormOfThePictureSizePaintsExactlyThePicture) {
  // An empty caption: the picture alone, nothing drawn on it.
  SkinnedForm f(136, 45, true, L"");
  f.Show();
  const RECT w = f.WindowRect();
  ASSERT_EQ(w.right - w.left, 146);
  ASSERT_EQ(w.bottom - w.top, 82);
  const plat::Raster shot = f.GrabWindow();
  const plat::Raster& picture = f.data->FramePicture.Pixels;
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  ASSERT_NE(GetWindowRgn(f.form->Handle(), rgn), ERROR);
  const RECT client = ClientInWindow(f.form->Handle());
  int compared = 0, wrong = 0;
  for (int y = 0; y < 82; ++y)
    for (int x = 0; x < 146; ++x)
      if (FramePixel(rgn, client, x, y)) {
        ++compared;
        wrong += shot.Pixel(x, y) != picture.Pixel(x, y);
      }
  DeleteObject(rgn);
  EXPECT_GT(compared, 1500);
  EXPECT_EQ(wrong, 0);
}

TEST(FramePaint, MainWindowClientAtFiveAndTwentyNineAndShapeFollowsTheMask) {
  SkinnedForm f;
  HWND h = f.form->Handle();
  const RECT client = ClientInWindow(h);
  EXPECT_EQ(client.left, 5);
  EXPECT_EQ(client.top, 29);
  EXPECT_EQ(client.right - client.left, 586);
  EXPECT_EQ(client.bottom - client.top, 440);
  const RECT w = f.WindowRect();
  const int W = w.right - w.left, H = w.bottom - w.top;
  ASSERT_EQ(W, 596);
  ASSERT_EQ(H, 477);

  // The region is the mask's black pixels, cut to the window's size.
  const vp::TvpSkinData& s = *f.data;
  skin::FrameGeometry g{s.ClientRect, s.LTPoint, s.RTPoint, s.LBPoint, s.RBPoint, s.MaskRectArea, {}};
  const skin::RegionData expected = skin::ComposeFrameRegion(s.FrameMask.Pixels, g, W, H);
  gdi::Region want(CreateRectRgn(0, 0, 0, 0));
  for (const plat::Rect& r : expected.Rects) {
    gdi::Region part(CreateRectRgn(r.Left, r.Top, r.Right, r.Bottom));
    CombineRgn(want.get(), want.get(), part.get(), RGN_OR);
  }
  gdi::Region got(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(h, got.get()), ERROR);
  EXPECT_TRUE(EqualRgn(want.get(), got.get()));
  EXPECT_FALSE(PtInRegion(got.get(), 0, 0));  // the rounded corner is cut away

  // On screen, what lies behind shows through outside the shape.
  const COLORREF magenta = RGB(255, 0, 255);
  ColourWindow behind(magenta, RECT{w.left - 10, w.top - 10, w.right + 10, w.bottom + 10});
  f.Show();
  const plat::Raster shot = f.GrabWindow();
  EXPECT_EQ(shot.Pixel(0, 0), plat::RGBColor(255, 0, 255));
  EXPECT_NE(shot.Pixel(W / 2, 2), plat::RGBColor(255, 0, 255));
}

TEST(FramePaint, DeactivatingChangesOnlyTheCaptionColour) {
  SkinnedForm f;
  f.Show();
  ASSERT_TRUE(f.frame->FormActive());
  const plat::Raster active = f.GrabWindow();
  const RECT w = f.WindowRect();
  ColourWindow other(RGB(0, 128, 0), RECT{w.right + 20, w.top, w.right + 120, w.top + 100});
  SetForegroundWindow(other.Handle());
  SetActiveWindow(other.Handle());
  Pump(200);
  ASSERT_FALSE(f.frame->FormActive());
  const plat::Raster inactive = f.GrabWindow();

  // The caption's text rect (caption object 67,6 + text rect 0,2,73+dx,14).
  const int W = w.right - w.left;
  const RECT text{67, 8, 67 + 73 + (W - 146), 20};
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  GetWindowRgn(f.form->Handle(), rgn);
  const RECT client = ClientInWindow(f.form->Handle());
  int outsideText = 0;
  for (int y = 0; y < active.Height(); ++y)
    for (int x = 0; x < active.Width(); ++x) {
      if (!FramePixel(rgn, client, x, y)) continue;
      const bool inText = x >= text.left && x < text.right && y >= text.top && y < text.bottom;
      if (!inText) outsideText += active.Pixel(x, y) != inactive.Pixel(x, y);
    }
  DeleteObject(rgn);
  EXPECT_EQ(outsideText, 0);
  // Black text while active, grey (8421504) while not.
  EXPECT_GT(CountColour(active, text, 0x000000), 20);
  EXPECT_EQ(CountColour(active, text, 8421504), 0);
  EXPECT_GT(CountColour(inactive, text, 8421504), 20);
  EXPECT_EQ(CountColour(inactive, text, 0x000000), 0);
}

TEST(FramePaint, CaptionTextEndsInDotsAndWidensWithTheWindow) {
  const std::wstring caption = L"PlatoraV1.0.090115 the canteen's menu board, with a long caption";
  auto inkRight = [&](int clientWidth) {
    SkinnedForm f(clientWidth, 100, true, caption);
    f.Show();
    const plat::Raster shot = f.GrabWindow();
    const int W = shot.Width();
    const RECT text{67, 8, 67 + 73 + (W - 146), 20};
    const int right = RightmostInk(shot, text, 0x000000);
    EXPECT_LT(right, text.right);
    EXPECT_GE(right, text.right - 12);  // filled up to the end: shortened, not short
    // The last ink is three dots: small, on the same rows, with gaps between.
    int groups = 0;
    bool inGroup = false;
    for (int x = right - 10; x <= right; ++x) {
      int n = 0;
      for (int y = text.top; y < text.bottom; ++y) n += shot.Pixel(x, y) == 0;
      if (n > 0 && n <= 3 && !inGroup) ++groups;
      inGroup = n > 0;
    }
    EXPECT_EQ(groups, 3);
    return right;
  };
  const int narrow = inkRight(300);
  const int wide = inkRight(400);
  // 100 pixels more room: about 100 pixels more text (whole characters).
  EXPECT_GE(wide - narrow, 90);
  EXPECT_LE(wide - narrow, 110);
}

namespace {

// Sees the messages that the frame passes on to the form.
class Recorder : public TWindowHook {
 public:
  std::vector<TMessage> Seen;

 protected:
  void HookWndProc(TMessage& m) override {
    if (m.Msg == vp::WM_NCPAINTTODC) Seen.push_back(m);
    CallPrevious(m);
  }
};

}  // namespace

TEST(FramePaint, PaintToDCOnlyWithItsKeyAndNeverOverTheClient) {
  frametest::App();
  auto* form = new TForm(nullptr);
  form->BorderStyle = TBorderStyle::bsSingle;
  form->SetClientSize(586, 440);
  Recorder below;
  below.Hook(form);  // under the frame: sees only what the frame passes on
  auto* frame = new vp::TvpVesperForm(form);
  vp::TvpCompressedStoredSkin stored;
  vp::LoadDefaultSkin(stored);
  vp::TvpSkinData data;
  vp::TvpWinSkinMessageSink sink(form->Handle());
  data.SetMessageSink(&sink);
  frame->SetSkinData(&data);
  data.SetCompressedStoredSkin(&stored);
  form->SetClientSize(586, 440);
  HWND h = form->Handle();

  TBitmap target;
  target.SetSize(596, 477);
  target.Canvas().Brush().SetColor(RGB(1, 2, 3));
  target.Canvas().FillRect(RECT{0, 0, 596, 477});
  HDC dc = target.Canvas().Handle();
  EXPECT_EQ(SendMessageW(h, vp::WM_NCPAINTTODC, reinterpret_cast<WPARAM>(dc), 123), 0);
  ASSERT_EQ(below.Seen.size(), 1u);
  EXPECT_EQ(below.Seen[0].LParam, 123);
  EXPECT_EQ(below.Seen[0].WParam, reinterpret_cast<WPARAM>(dc));
  GdiFlush();
  EXPECT_EQ(target.Raster().Pixel(300, 2), plat::RGBColor(1, 2, 3));  // nothing painted

  EXPECT_EQ(SendMessageW(h, vp::WM_NCPAINTTODC, reinterpret_cast<WPARAM>(dc), 16802), 16802);
  EXPECT_EQ(below.Seen.size(), 1u);
  GdiFlush();
  const plat::Raster out = target.Raster();
  const vp::TvpSkinData& s = data;
  const int tile = s.RTPoint.X - s.LTPoint.X;  // the top band is tiled from x = 0
  EXPECT_EQ(out.Pixel(300, 2), s.FramePicture.Pixels.Pixel(s.LTPoint.X + 300 % tile, 2));
  // Not one client pixel was drawn over.
  int touched = 0;
  for (int y = 29; y < 469; ++y)
    for (int x = 5; x < 591; ++x) touched += out.Pixel(x, y) != plat::RGBColor(1, 2, 3);
  EXPECT_EQ(touched, 0);
  delete form;
}

TEST(FramePaint, PlainFrameUntilTheSkinArrives) {
  SkinnedForm f(300, 200, false);
  const RECT client = ClientInWindow(f.form->Handle());
  EXPECT_EQ(client.left, 3);
  EXPECT_EQ(client.top, 22);
  f.Show();
  const plat::Raster shot = f.GrabWindow();
  // The caption band is button face between its grooves, next to the buttons.
  EXPECT_EQ(f.frame->ObjectList.size(), 6u);
  f.data->SetCompressedStoredSkin(f.stored.get());
  Pump();
  EXPECT_EQ(ClientInWindow(f.form->Handle()).left, 5);
  EXPECT_EQ(ClientInWindow(f.form->Handle()).top, 29);
  EXPECT_EQ(f.frame->ObjectList.size(), 6u);  // caption and five buttons from the skin
  EXPECT_NE(f.Object("caption1"), nullptr);
}
