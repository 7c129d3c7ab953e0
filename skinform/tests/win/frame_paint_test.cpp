// The frame on real windows: what reaches the screen, the window's shape,
// the client area it leaves, and the messages it answers.
#include <gtest/gtest.h>

#include "frame_test_util.h"
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

// Window points whose membership of `region` differs from the mask picture
// stretched to W x H with its corners kept: a window point within `corner`
// pixels of an edge reads the mask at the same distance from that edge, any
// other the mask's middle. Worked out from the mask's pixels alone.
int MaskMismatches(HRGN region, const plat::Raster& mask, int W, int H, int corner) {
  const int PW = mask.Width(), PH = mask.Height();
  auto map = [](int v, int size, int picture, int c) {
    if (v < c) return v;
    if (v >= size - c) return v - (size - picture);
    return picture / 2;
  };
  int wrong = 0;
  for (int y = 0; y < H; ++y)
    for (int x = 0; x < W; ++x) {
      const bool want = mask.Pixel(map(x, W, PW, corner), map(y, H, PH, corner)) == plat::clBlack;
      wrong += (PtInRegion(region, x, y) != FALSE) != want;
    }
  return wrong;
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
  // At the picture's size the shape is the mask's black pixels, one for one.
  EXPECT_EQ(MaskMismatches(rgn, f.data->FrameMask.Pixels, 146, 82, 146), 0);
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

  // The region is the mask's black pixels: the rounded corners cut away as
  // in the picture, everything between them inside.
  const plat::Raster& mask = f.data->FrameMask.Pixels;
  gdi::Region got(CreateRectRgn(0, 0, 0, 0));
  ASSERT_NE(GetWindowRgn(h, got.get()), ERROR);
  EXPECT_EQ(MaskMismatches(got.get(), mask, W, H, 8), 0);
  EXPECT_FALSE(PtInRegion(got.get(), 0, 0));
  EXPECT_FALSE(PtInRegion(got.get(), W - 1, 0));
  EXPECT_FALSE(PtInRegion(got.get(), W - 1, H - 1));
  EXPECT_TRUE(PtInRegion(got.get(), W / 2, 0));

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

  // The skin's top band is one colour along each row: give its middle a
  // pattern, so that tiling shows.
  const vp::TvpSkinData& s = data;
  for (int y = 0; y < 29; ++y)
    for (int x = s.LTPoint.X; x < s.RTPoint.X; ++x)
      data.FramePicture.Pixels.SetPixel(x, y, plat::RGBColor((x * 3) & 255, (y * 8) & 255, 77));
  EXPECT_EQ(SendMessageW(h, vp::WM_NCPAINTTODC, reinterpret_cast<WPARAM>(dc), 16802), 16802);
  EXPECT_EQ(below.Seen.size(), 1u);
  GdiFlush();
  const plat::Raster out = target.Raster();
  // The top band between the corners is the picture's middle tiled along,
  // its tiles counted from the window's left edge (the caption is empty).
  const int tile = s.RTPoint.X - s.LTPoint.X;
  const int dx = 596 - s.FramePicture.Width;
  int wrong = 0;
  for (int y = 0; y < 29; ++y)
    for (int x = s.LTPoint.X; x < s.RTPoint.X + dx; ++x)
      wrong += out.Pixel(x, y) != s.FramePicture.Pixels.Pixel(s.LTPoint.X + x % tile, y);
  EXPECT_EQ(wrong, 0);
  // The right-top corner keeps its pixels, moved with the width.
  EXPECT_EQ(out.Pixel(s.RTPoint.X + dx + 3, 2), s.FramePicture.Pixels.Pixel(s.RTPoint.X + 3, 2));
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
  const int W = shot.Width(), H = shot.Height();
  auto sys = [](int index) { return static_cast<plat::Color>(GetSysColor(index)); };
  // Three one-pixel rings: light / dark shadow, highlight / shadow, face.
  EXPECT_EQ(shot.Pixel(0, H / 2), sys(COLOR_3DLIGHT));
  EXPECT_EQ(shot.Pixel(W / 2, 0), sys(COLOR_3DLIGHT));
  EXPECT_EQ(shot.Pixel(W - 1, H / 2), sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(shot.Pixel(W / 2, H - 1), sys(COLOR_3DDKSHADOW));
  EXPECT_EQ(shot.Pixel(1, H / 2), sys(COLOR_BTNHIGHLIGHT));
  EXPECT_EQ(shot.Pixel(W - 2, H / 2), sys(COLOR_BTNSHADOW));
  EXPECT_EQ(shot.Pixel(2, H / 2), sys(COLOR_BTNFACE));
  EXPECT_EQ(shot.Pixel(W / 2, H - 3), sys(COLOR_BTNFACE));
  // The caption band: face, with grooves of highlight and shadow on its rows
  // 2 to 15 between the system-menu button and the text.
  ASSERT_EQ(f.frame->ObjectList.size(), 6u);
  const int x = f.Object("sysmenubutton")->ObjectRect.Right + 6;
  EXPECT_EQ(shot.Pixel(x, 3), sys(COLOR_BTNFACE));
  EXPECT_EQ(shot.Pixel(x, 4), sys(COLOR_BTNFACE));
  for (int row = 2; row <= 15; ++row)
    EXPECT_EQ(shot.Pixel(x, 3 + row), sys(row % 2 == 0 ? COLOR_BTNHIGHLIGHT : COLOR_BTNSHADOW)) << row;
  EXPECT_EQ(shot.Pixel(x, 3 + 17), sys(COLOR_BTNFACE));
  // The caption text in the active caption colour, centred on the band.
  int text = 0;
  for (int ty = 3; ty < 22; ++ty)
    for (int tx = W / 2 - 40; tx < W / 2 + 40; ++tx) text += shot.Pixel(tx, ty) == sys(COLOR_BTNTEXT);
  EXPECT_GT(text, 20);
  // The close button at the right end: face, with its cross in button text.
  const vp::Rect close = f.Object("closebutton")->ObjectRect;
  EXPECT_EQ(close.Right, W - 3);
  int cross = 0;
  for (int by = close.Top; by < close.Bottom; ++by)
    for (int bx = close.Left; bx < close.Right; ++bx) cross += shot.Pixel(bx, by) == sys(COLOR_BTNTEXT);
  EXPECT_GT(cross, 8);
  EXPECT_EQ(shot.Pixel(close.Left + 1, close.Top + 1), sys(COLOR_BTNFACE));
  f.data->SetCompressedStoredSkin(f.stored.get());
  Pump();
  EXPECT_EQ(ClientInWindow(f.form->Handle()).left, 5);
  EXPECT_EQ(ClientInWindow(f.form->Handle()).top, 29);
  EXPECT_EQ(f.frame->ObjectList.size(), 6u);  // caption and five buttons from the skin
  EXPECT_NE(f.Object("caption1"), nullptr);
}

TEST(FramePaint, AClientWithoutHeightGetsNoTilesAndTheLogoAtTheOrigin) {
  SkinnedForm f;
  TBitmap logo;  // wider than the client: its centred place starts left of it
  logo.SetSize(600, 48);
  logo.Canvas().Brush().SetColor(RGB(255, 0, 0));
  logo.Canvas().FillRect(RECT{0, 0, 600, 48});
  f.frame->SetLogoBitMap(logo);
  f.Show();
  f.frame->SetRollUpState(true);  // the frame alone: no client height
  Pump();
  RECT cr;
  GetClientRect(f.form->Handle(), &cr);
  ASSERT_EQ(cr.bottom, 0);
  TBitmap target;
  target.SetSize(700, 120);
  target.Canvas().Brush().SetColor(RGB(1, 2, 3));
  target.Canvas().FillRect(RECT{0, 0, 700, 120});
  f.frame->PaintClientBackground(target.Canvas().Handle());
  GdiFlush();
  const plat::Raster out = target.Raster();
  const plat::Color red = plat::RGBColor(255, 0, 0), fill = plat::RGBColor(1, 2, 3);
  EXPECT_EQ(out.Pixel(0, 0), red) << "the logo at (0, 0)";
  EXPECT_EQ(out.Pixel(599, 47), red);
  EXPECT_EQ(out.Pixel(0, 48), fill) << "no background tile below it";
  EXPECT_EQ(out.Pixel(650, 10), fill);
  EXPECT_EQ(out.Pixel(300, 100), fill);
  f.frame->SetRollUpState(false);
}
