#include "skinpopups/win/vpSkinHint.h"

#include <vector>

#include "skin/win/vpUtils_win.h"
#include "skinpopups/core/popup_layout.h"
#include "skinpopups/win/popup_gdi.h"
#include "ui/win/codepage.h"

namespace vp {

namespace {

// The component whose forwarder the application's show-hint event calls.
TvpSkinHint*& ForwardTarget() {
  static TvpSkinHint* target = nullptr;
  return target;
}

bool PointInside(const plat::Point& p, const plat::BmpImage& pic) {
  return p.X >= 0 && p.Y >= 0 && p.X <= pic.Width && p.Y <= pic.Height;
}

// The hint picture when the skin has a usable one: its client rectangle and
// corner points must lie inside it.
const plat::BmpImage* HintPicture(TvpSkinData* sd) {
  if (!sd || sd->SkinEmpty || sd->HintWindowDef.WindowPictureIndex == -1) return nullptr;
  const TvpDataSkinHintWindow& d = sd->HintWindowDef;
  const plat::BmpImage* pic = sd->ActivePicture(d.WindowPictureIndex);
  if (!pic || pic->Empty()) return nullptr;
  const plat::Rect& c = d.ClientRect;
  if (c.IsNull() || c.Left < 0 || c.Top < 0 || c.Right > pic->Width || c.Bottom > pic->Height) return nullptr;
  if (!PointInside(d.LTPoint, *pic) || !PointInside(d.RTPoint, *pic) || !PointInside(d.LBPoint, *pic) ||
      !PointInside(d.RBPoint, *pic))
    return nullptr;
  return pic;
}

int HintCharset(TvpSkinHint& h) {
  TvpSkinData* sd = h.SkinData();
  if (sd && sd->ResourceStrData()) return sd->ResourceStrData()->CharSet;
  return h.DefaultFont().Charset();
}

skin::SkinCut HintCut(const TvpDataSkinHintWindow& d, const plat::BmpImage& pic) {
  skin::SkinCut c;
  c.LT = d.LTPoint;
  c.RT = d.RTPoint;
  c.LB = d.LBPoint;
  c.RB = d.RBPoint;
  c.C = d.ClientRect;
  c.S = plat::Rect{0, 0, pic.Width, pic.Height};
  return c;
}

constexpr UINT kTextFormat = DT_LEFT;  // line breaks kept, "&" marks the access key

}  // namespace

// ------------------------------------------------------------ TvpSkinHintWindow

struct TvpSkinHintWindow::Impl {
  gdi::Font font;
  const plat::BmpImage* picture = nullptr;
  popups::HintGeometry geometry;
};

TvpSkinHintWindow::TvpSkinHintWindow(TComponent* AOwner) : THintWindow(AOwner), impl_(std::make_unique<Impl>()) {}

TvpSkinHintWindow::~TvpSkinHintWindow() {
  UseSkin(nullptr);
  DestroyWnd();
}

void TvpSkinHintWindow::UseSkin(TvpSkinData* sd) {
  if (sd == skin_) return;
  if (skin_) {
    skin_->RemoveFreeNotification(this);
    skin_->RemoveChangeNotification(this);
  }
  skin_ = sd;
  if (skin_) {
    skin_->FreeNotification(this);
    skin_->AddChangeNotification(this);
  }
}

void TvpSkinHintWindow::ForgetSkin() {
  // A shown hint would be painted from pictures that are going: it goes.
  if (HandleAllocated() && IsWindowVisible(Handle())) ReleaseHandle();
  impl_->picture = nullptr;
}

void TvpSkinHintWindow::Notification(TvpComponent* component) {
  if (component != skin_) return;
  ForgetSkin();
  skin_ = nullptr;  // already unregistered by the going component
}

void TvpSkinHintWindow::SkinDataChanging(TvpSkinData* skin) {
  if (skin != skin_) return;
  ForgetSkin();
  UseSkin(nullptr);
}

void TvpSkinHintWindow::CreateParams(TCreateParams& p) {
  THintWindow::CreateParams(p);
  p.Style &= ~WS_BORDER;
  const bool shadow = skin::IsWindowsXP();
  p.ClassName = shadow ? L"PlatoraSkinHintShadow" : L"PlatoraSkinHint";
  p.ClassStyle = CS_SAVEBITS | (shadow ? CS_DROPSHADOW : 0);
}

TvpSkinHint* TvpSkinHintWindow::FindServingHint() const {
  if (Application && Application->MainForm()) {
    TForm* f = Application->MainForm();
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (auto* h = dynamic_cast<TvpSkinHint*>(f->Components(i)); h && h->Active()) return h;
  }
  if (auto* own = dynamic_cast<TvpSkinHint*>(Owner()); own && own->Active()) return own;
  return nullptr;
}

void TvpSkinHintWindow::ActivateHint(const RECT& Rect, const std::wstring& Text) {
  hint_ = FindServingHint();
  if (!hint_) return;
  TvpSkinData* sd = hint_->SkinData();
  impl_->picture = HintPicture(sd);
  UseSkin(impl_->picture ? sd : nullptr);
  const int charset = HintCharset(*hint_);
  if (skin_ && hint_->UseSkinFont) {
    const TvpDataSkinHintWindow& d = skin_->HintWindowDef;
    impl_->font = popupgdi::MakeFont(plat::FromFileBytes(d.FontName), d.FontHeight, d.FontStyle, charset);
  } else {
    impl_->font = popupgdi::MakeFont(hint_->DefaultFont(), charset);
  }

  text_ = Text;
  RECT tr{0, 0, 0, 0};
  {
    // Measured on the same kind of surface it is painted on: text on a
    // monochrome DC can come out narrower than on a colour one.
    popupgdi::Surface measure(1, 1);
    gdi::Selected sel(measure.dc(), impl_->font);
    skin::DrawSkinText(measure.dc(), Text, tr, DT_CALCRECT | kTextFormat);
  }
  popups::HintSkin hs;
  if (skin_) {
    const TvpDataSkinHintWindow& d = skin_->HintWindowDef;
    hs.HasSkin = true;
    hs.PictureWidth = impl_->picture->Width;
    hs.PictureHeight = impl_->picture->Height;
    hs.ClientRect = d.ClientRect;
    hs.LT = d.LTPoint;
    hs.RT = d.RTPoint;
    hs.LB = d.LBPoint;
    hs.RB = d.RBPoint;
  }
  impl_->geometry = popups::SizeHint(hs, tr.right - tr.left, tr.bottom - tr.top);
  const popups::HintGeometry& g = impl_->geometry;
  newClient_ = RECT{g.Client.Left, g.Client.Top, g.Client.Right, g.Client.Bottom};
  const plat::Rect b = popups::PlaceHint(plat::Point{Rect.left, Rect.top}, g.Width, g.Height,
                                         GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
  SetBounds(b.Left, b.Top, g.Width, g.Height);
  HWND h = Handle();
  SetWindowTextW(h, Text.c_str());

  if (skin::IsWindows2000OrLater()) {
    const LONG ex = GetWindowLongW(h, GWL_EXSTYLE);
    bool madeLayered = false;
    if (hint_->AlphaBlend && !layered_) {
      SetWindowLongW(h, GWL_EXSTYLE, ex | WS_EX_LAYERED);
      layered_ = madeLayered = true;
    } else if (!hint_->AlphaBlend && layered_) {
      SetWindowLongW(h, GWL_EXSTYLE, ex & ~WS_EX_LAYERED);
      layered_ = false;
    }
    // A window made layered has no opacity until it is given one, whatever
    // it had before it was made opaque: it would stay invisible.
    if (hint_->AlphaBlend && (madeLayered || hint_->AlphaBlendValue != lastAlpha_)) {
      skin::SetWindowAlpha(h, hint_->AlphaBlendValue);
      lastAlpha_ = hint_->AlphaBlendValue;
      ++alphaSets_;
    }
  }

  const plat::BmpImage* mask =
      skin_ && skin_->HintWindowDef.MaskPictureIndex != -1 ? skin_->ActivePicture(skin_->HintWindowDef.MaskPictureIndex)
                                                           : nullptr;
  if (mask && mask->Width == impl_->picture->Width && mask->Height == impl_->picture->Height) {
    skin::SkinFit fit{g.Width, g.Height, g.Client, g.NLT, g.NRT, g.NLB, g.NRB};
    gdi::Region r(skin::BuildShapedRegion(mask->Pixels, HintCut(skin_->HintWindowDef, *impl_->picture), fit));
    gdi::GiveRegionToWindow(h, r, FALSE);  // the window owns it; the old one is deleted
  } else {
    SetWindowRgn(h, nullptr, FALSE);
  }

  SetWindowPos(h, HWND_TOPMOST, b.Left, b.Top, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  visible_ = true;
  InvalidateRect(h, nullptr, FALSE);
  UpdateWindow(h);
}

void TvpSkinHintWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_NCPAINT:
      m.Result = 0;
      return;
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    default:
      THintWindow::WndProc(m);
  }
}

void TvpSkinHintWindow::Paint() {
  const int W = Width(), H = Height();
  popupgdi::Surface s(W, H);
  if (!s || !hint_) return;
  HDC dc = s.dc();
  gdi::Selected sel(dc, impl_->font);
  SetBkMode(dc, TRANSPARENT);
  if (skin_ && impl_->picture) {
    const TvpDataSkinHintWindow& d = skin_->HintWindowDef;
    const popups::HintGeometry& g = impl_->geometry;
    plat::Raster image;
    skin::DrawNineSliceImage(HintCut(d, *impl_->picture), impl_->picture->Pixels,
                             skin::StretchFlags{d.LeftStretch, d.TopStretch, d.RightStretch, d.BottomStretch}, true,
                             skin::SkinFit{W, H, g.Client, g.NLT, g.NRT, g.NLB, g.NRB}, image);
    s.Put(0, 0, image);
    SetTextColor(dc, ColorToRGB(d.FontColor));
    RECT tr{0, 0, 0, 0};
    skin::DrawSkinText(dc, text_, tr, DT_CALCRECT | kTextFormat);
    const int tw = tr.right - tr.left, th = tr.bottom - tr.top;
    const int left = g.Client.Left + g.Client.Width() / 2 - tw / 2;
    const int top = g.Client.Top + g.Client.Height() / 2 - th / 2;
    RECT r{left, top, left + tw, top + th};
    skin::DrawSkinText(dc, text_, r, kTextFormat);
  } else {
    RECT all{0, 0, W, H};
    gdi::Brush back(CreateSolidBrush(GetSysColor(COLOR_INFOBK)));
    FillRect(dc, &all, back.get());
    gdi::Brush frame(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
    FrameRect(dc, &all, frame.get());
    SetTextColor(dc, GetSysColor(COLOR_INFOTEXT));
    RECT r{2, 2, W - 2, H - 2};
    skin::DrawSkinText(dc, text_, r, kTextFormat);
  }
  s.CopyTo(Canvas().Handle(), 0, 0);
}

// ------------------------------------------------------------ TvpSkinHint

TvpSkinHint::TvpSkinHint(TComponent* AOwner) : TComponent(AOwner) {
  if (ComponentState() & csDesigning) return;
  TApplicationHints& app = ApplicationHints();
  app.HintWindowClass = [](TComponent* owner) -> THintWindow* { return new TvpSkinHintWindow(owner); };
  // Switching hints off and on makes the application build a window of the new class.
  app.SetShowHint(!app.ShowHint());
  app.SetShowHint(!app.ShowHint());
  PointApplicationHintsHere();
  app.HintShortPause = 100;
}

TvpSkinHint::~TvpSkinHint() {
  CancelHint();
  // The application's event must not call into a freed component.
  if (ForwardTarget() == this) {
    ForwardTarget() = nullptr;
    ApplicationHints().OnShowHint = nullptr;
  }
  SetSkinData(nullptr);
}

void TvpSkinHint::PointApplicationHintsHere() {
  ForwardTarget() = this;
  ApplicationHints().OnShowHint = [](std::wstring& hintStr, bool& canShow, THintInfo& info) {
    if (TvpSkinHint* t = ForwardTarget(); t && t->OnShowHint) t->OnShowHint(hintStr, canShow, info);
  };
}

void TvpSkinHint::SetSkinData(TvpSkinData* value) {
  if (value == skinData_) return;
  if (skinData_) skinData_->RemoveFreeNotification(this);
  skinData_ = value;
  if (skinData_) skinData_->FreeNotification(this);
}

void TvpSkinHint::Notification(TvpComponent* component) {
  if (component == skinData_) skinData_ = nullptr;
}

void TvpSkinHint::SetActive(bool value) {
  if (!value) {
    active_ = false;
    return;
  }
  active_ = true;
  if (Application && Application->MainForm()) {
    TForm* f = Application->MainForm();
    for (int i = 0; i < f->ComponentCount(); ++i)
      if (auto* other = dynamic_cast<TvpSkinHint*>(f->Components(i)); other && other != this && other->Active())
        other->active_ = false;
  }
  if (!(ComponentState() & csDesigning)) PointApplicationHintsHere();
}

TvpSkinHintWindow* TvpSkinHint::HintWindow() {
  if (!window_) window_ = new TvpSkinHintWindow(this);
  return window_;
}

void TvpSkinHint::ShowDelayedHint(const std::wstring& Text) {
  timer_.reset();
  pendingText_ = Text;
  hintShown_ = false;
  timer_ = std::make_unique<popupgdi::Timer>([this] { ObjectHintTimer(); });
  timer_->Start(static_cast<unsigned>(ApplicationHints().HintPause));
}

void TvpSkinHint::ObjectHintTimer() {
  if (hintShown_) {
    CancelHint();
    return;
  }
  POINT p{0, 0};
  GetCursorPos(&p);
  p.y += CursorHeightBelowHotSpot();
  HintWindow()->ActivateHint(RECT{p.x, p.y, p.x, p.y}, pendingText_);
  hintShown_ = true;
  timer_->Start(static_cast<unsigned>(ApplicationHints().HintHidePause));
}

void TvpSkinHint::CancelHint() {
  timer_.reset();
  hintShown_ = false;
  if (window_ && window_->HandleAllocated() && IsWindowVisible(window_->Handle())) {
    SetWindowPos(window_->Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    window_->ReleaseHandle();
  }
}

// ------------------------------------------------------------ pointer height

int CursorHeightBelowHotSpot() {
  const int fallback = GetSystemMetrics(SM_CYCURSOR);
  CURSORINFO ci{};
  ci.cbSize = sizeof ci;
  if (!GetCursorInfo(&ci) || !ci.hCursor) return fallback;
  ICONINFO ii{};
  if (!GetIconInfo(ci.hCursor, &ii)) return fallback;
  const gdi::Bitmap mask(ii.hbmMask), color(ii.hbmColor);
  BITMAP bm{};
  if (!mask || !GetObjectW(mask.get(), sizeof bm, &bm) || bm.bmBitsPixel != 1) return fallback;
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD colors[2];
  } bi{};
  bi.h.biSize = sizeof bi.h;
  bi.h.biWidth = bm.bmWidth;
  bi.h.biHeight = bm.bmHeight;  // bottom-up
  bi.h.biPlanes = 1;
  bi.h.biBitCount = 1;
  const size_t row = static_cast<size_t>((bm.bmWidth + 31) / 32) * 4;
  std::vector<unsigned char> bits(row * static_cast<size_t>(bm.bmHeight));
  gdi::WindowDC screen;
  if (!GetDIBits(screen.get(), mask.get(), 0, static_cast<UINT>(bm.bmHeight), bits.data(),
                 reinterpret_cast<BITMAPINFO*>(&bi), DIB_RGB_COLORS))
    return fallback;
  return popups::CursorHeightFromMask(bits, bm.bmWidth, bm.bmHeight, static_cast<int>(ii.yHotspot), fallback);
}

}  // namespace vp
