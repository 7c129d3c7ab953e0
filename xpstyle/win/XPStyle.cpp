#include "xpstyle/win/XPStyle.h"

#include <algorithm>
#include <cmath>

using xp::XPWorkingColors;

namespace {

constexpr int kNoHookTag = 999;
constexpr UINT kEditGetModify = 0xB8;  // EM_GETMODIFY: edits ask it before recreating

LOGFONTW SystemMenuFont() {
  NONCLIENTMETRICSW ncm{};
  ncm.cbSize = sizeof ncm;
  SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
  return ncm.lfMenuFont;
}

COLORREF Rgb(TColor c) { return ColorToRGB(c); }

// A canvas over a control's client area, released with it.
class ControlCanvas {
 public:
  explicit ControlCanvas(HWND h) : dc_(h), canvas_(dc_.get()) {}
  TCanvas& operator*() { return canvas_; }
  HDC dc() const { return dc_.get(); }

 private:
  gdi::WindowDC dc_;
  TCanvas canvas_;  // lets go of the DC before it is released
};

std::wstring Trimmed(const std::wstring& s) {
  const auto b = s.find_first_not_of(L" \t\r\n");
  if (b == std::wstring::npos) return L"";
  const auto e = s.find_last_not_of(L" \t\r\n");
  return s.substr(b, e - b + 1);
}

// A copy of part of a picture.
void CopyPart(TBitmap& dst, TBitmap& src, int sx, int w, int h) {
  dst.SetSize(w, h);
  BitBlt(dst.Canvas().Handle(), 0, 0, w, h, src.Canvas().Handle(), sx, 0, SRCCOPY);
  GdiFlush();
}

// Every pixel of `glyph` that differs from its bottom-left pixel, in `color`, at (x, y).
void DrawShadow(TCanvas& c, TBitmap& glyph, int x, int y, COLORREF color) {
  plat::Raster r = glyph.Raster();
  const plat::Color key = r.Pixel(0, r.Height() - 1);
  HDC dc = c.Handle();
  for (int yy = 0; yy < r.Height(); ++yy)
    for (int xx = 0; xx < r.Width(); ++xx)
      if (r.Pixel(xx, yy) != key) ::SetPixel(dc, x + xx, y + yy, color);
}

void DrawGlyph(TCanvas& c, TBitmap& glyph, int x, int y) {
  DrawTransparent(c.Handle(), x, y, glyph.Width(), glyph.Height(), glyph, 0, 0, glyph.Raster().Pixel(0, glyph.Height() - 1));
}

}  // namespace

// ================================================================ drawing helpers

namespace xpdraw {

void Frame3D(TCanvas& c, RECT& r, TColor first, TColor second, int width) {
  c.Pen().SetWidth(1);
  c.Pen().SetStyle(TPenStyle::psSolid);
  for (int i = 0; i < width; ++i) {
    c.Pen().SetColor(first);
    c.MoveTo(r.left, r.bottom - 1);
    c.LineTo(r.left, r.top);
    c.LineTo(r.right - 1, r.top);
    c.Pen().SetColor(second);
    c.LineTo(r.right - 1, r.bottom - 1);
    c.LineTo(r.left - 1, r.bottom - 1);
    InflateRect(&r, -1, -1);
  }
}

void DrawCaption(TCanvas& c, RECT r, const std::wstring& text, TColor color, bool rtl, bool defaultShadow) {
  r.top += ((r.bottom - r.top) - c.TextHeight(L"W")) / 2;
  c.Brush().SetStyle(TBrushStyle::bsClear);
  const UINT fmt = DT_LEFT | DT_SINGLELINE | DT_NOCLIP | (rtl ? DT_RTLREADING : 0);
  if (defaultShadow) {
    struct Step {
      int dx, dy, n;
    };
    for (const Step s : {Step{1, 0, 30}, Step{1, 2, 30}, Step{0, 1, 40}, Step{1, 1, 60}}) {
      RECT o = r;
      OffsetRect(&o, s.dx, s.dy);
      const COLORREF q = GetPixel(c.Handle(), o.left, o.top);
      c.Font().SetColor(xp::Darken(q == CLR_INVALID ? 0 : q, s.n));
      c.DrawText(text, o, fmt);
    }
  }
  c.Font().SetColor(color);
  c.DrawText(text, r, fmt);
}

}  // namespace xpdraw

// ================================================================ TXPStyle

TXPStyle::TXPStyle(TComponent* AOwner) : TComponent(AOwner) {
  font_.SetLogFont(SystemMenuFont());
  font_.SetColor(clMenuText);
  SelectFontColor = font_.Color();
}

TXPStyle::~TXPStyle() {
  // Menus lose our handlers; every hook comes off its control before the
  // hooks die, so no control keeps calling into a freed hook.
  GuardedCall([&] { Walk(false, false); });
  std::vector<std::unique_ptr<TControlHook>> hooks;
  hooks.swap(hooks_);
  for (auto& h : hooks) {
    h->owner_ = nullptr;
    h->Restore();
    // A hook whose message is still running frees itself when it returns.
    if (h->depth_ > 0) {
      h->released_ = true;
      h.release();
    }
  }
}

void TXPStyle::SetActive(bool v) {
  if (v == active_) return;
  active_ = v;
  Walk(v, true);
  if (auto* w = dynamic_cast<TWinControl*>(Owner()); w && w->HandleAllocated()) DrawMenuBar(w->Handle());
}

void TXPStyle::SetXPControls(TXPControls v) {
  v &= kAllXPControls;
  if (v == controls_) return;
  if (active_) {
    SetActive(false);
    controls_ = v;
    SetActive(true);
  } else {
    controls_ = v;
  }
}

void TXPStyle::SetXPContainers(TXPContainers v) {
  v &= kAllXPContainers;
  if (v == containers_) return;
  if (active_) {
    SetActive(false);
    containers_ = v;
    SetActive(true);
  } else {
    containers_ = v;
  }
}

COLORREF TXPStyle::LightenFor(HDC dc, COLORREF c, int p) {
  const COLORREF l = xp::Lighten(c & 0xFFFFFF, p);
  const COLORREF n = dc ? GetNearestColor(dc, l) : CLR_INVALID;
  return n == CLR_INVALID ? l : n;
}

XPWorkingColors TXPStyle::WorkingColors(HDC dc) {
  const bool deep = dc && GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES) > 15;
  xp::XPColorInputs in;
  in.Color = Rgb(Color);
  in.IconBackColor = Rgb(IconBackColor);
  in.MenuBarColor = Rgb(MenuBarColor);
  in.SelectColor = Rgb(SelectColor);
  in.SelectBorderColor = Rgb(SelectBorderColor);
  in.SelectFontColor = Rgb(SelectFontColor);
  in.DisabledColor = Rgb(DisabledColor);
  in.SeparatorColor = Rgb(SeparatorColor);
  in.CheckedColor = Rgb(CheckedColor);
  in.UseSystemColors = UseSystemColors;
  in.BtnFace = GetSysColor(COLOR_BTNFACE);
  in.BtnShadow = GetSysColor(COLOR_BTNSHADOW);
  in.Highlight = GetSysColor(COLOR_HIGHLIGHT);
  in.MenuText = GetSysColor(COLOR_MENUTEXT);
  if (UseSystemColors) {
    font_.SetLogFont(SystemMenuFont());
    font_.SetColor(clMenuText);
  }
  return xp::ComputeWorkingColors(in, deep, [dc](plat::Color c) {
    const COLORREF n = dc ? GetNearestColor(dc, c) : CLR_INVALID;
    return n == CLR_INVALID ? c : n;
  });
}

TControlHook* TXPStyle::HookOf(const TControl* c) const {
  for (auto& h : hooks_)
    if (h->control_ == c && h->Hooked()) return h.get();
  return nullptr;
}

bool TXPStyle::Eligible(TControl* c) const {
  auto on = [this](TXPControl x) { return (controls_ & XPBit(x)) != 0; };
  const std::wstring name = c->ClassName();
  if (dynamic_cast<TEdit*>(c)) return on(xcEdit);
  if (name == L"TMaskEdit" || name == L"TDBEdit") return on(xcMaskEdit);
  if (dynamic_cast<TCustomMemo*>(c)) return on(xcMemo);
  if (dynamic_cast<TCustomCheckBox*>(c)) return on(xcCheckBox);
  if (name == L"TBitBtn") return on(xcBitBtn);
  if (name == L"TButton") return on(xcButton);
  if (dynamic_cast<TCustomPanel*>(c)) return on(xcPanel);
  if (dynamic_cast<TCustomGroupBox*>(c)) return on(xcGroupBox);
  return false;
}

bool TXPStyle::ContainerAllowed(TWinControl* p) const {
  if (!p) return false;
  auto on = [this](TXPContainer x) { return (containers_ & XPBit(x)) != 0; };
  if (dynamic_cast<TCustomPanel*>(p)) return on(xccPanel);
  if (dynamic_cast<TCustomGroupBox*>(p)) return on(xccGroupBox);
  if (std::wstring(p->ClassName()) == L"TDBCtrlPanel") return on(xccFrame);
  if (dynamic_cast<TForm*>(p)) return on(xccForm);
  return false;
}

void TXPStyle::Walk(bool activate, bool redraw) {
  TComponent* form = Owner();
  if (!dynamic_cast<TWinControl*>(form)) return;
  if (!activate)
    for (auto& h : hooks_) h->stale_ = true;
  for (int i = 0; i < form->ComponentCount(); ++i) {
    TComponent* comp = form->Components(i);
    if (auto* mm = dynamic_cast<TMainMenu*>(comp)) {
      if ((controls_ & XPBit(xcMainMenu)) && mm->Tag != kNoHookTag) InitMenu(mm, activate);
      continue;
    }
    if (auto* pm = dynamic_cast<TPopupMenu*>(comp)) {
      if (controls_ & XPBit(xcPopupMenu)) InitMenu(pm, activate);
      continue;
    }
    auto* c = dynamic_cast<TControl*>(comp);
    if (!c || !Eligible(c) || !ContainerAllowed(c->Parent())) continue;
    if (activate && c->Tag != kNoHookTag && c->Parent()->Tag != kNoHookTag) {
      if (TControlHook* old = HookOf(c)) {
        old->stale_ = false;  // still installed from before: keeps serving
        continue;
      }
      auto hook = std::make_unique<TControlHook>(this, c);
      hook->Hook(c);
      if (auto* e = dynamic_cast<TCustomEdit*>(c)) {
        hook->isEdit_ = true;
        hook->SavedCtl3D = e->Ctl3D();
        hook->SavedBorderStyle = e->BorderStyle();
      }
      hooks_.push_back(std::move(hook));
    }
  }
  // Redraw every control of a handled class, hooked or not, so that the
  // ones switched off repaint in their own look.
  for (int i = 0; redraw && i < form->ComponentCount(); ++i) {
    auto* c = dynamic_cast<TControl*>(form->Components(i));
    if (c && Eligible(c) && ContainerAllowed(c->Parent())) {
      if (c->IsWindowed())
        c->Invalidate();
      else
        c->Update();
    }
  }
}

void TXPStyle::ReleaseHook(TControlHook* h) {
  auto it = std::find_if(hooks_.begin(), hooks_.end(), [h](const auto& p) { return p.get() == h; });
  if (it == hooks_.end()) return;
  if (h->depth_ > 0) {
    // Freed when its running message returns.
    h->released_ = true;
    it->release();
  }
  hooks_.erase(it);
}

// ================================================================ TControlHook

TControlHook::TControlHook(TXPStyle* owner, TControl* control) : owner_(owner), control_(control) {}

TControlHook::~TControlHook() = default;

void TControlHook::Restore(bool recreateAllowed) {
  TControl* c = control_;
  Unhook();
  control_ = nullptr;
  if (c && isEdit_ && recreateAllowed)
    if (auto* e = dynamic_cast<TCustomEdit*>(c); e && e->Ctl3D() != SavedCtl3D) e->SetCtl3D(SavedCtl3D);
}

void TControlHook::ControlDestroyed() {
  control_ = nullptr;
  Release();
}

void TControlHook::Release() {
  if (owner_) {
    TXPStyle* o = owner_;
    owner_ = nullptr;
    o->ReleaseHook(this);  // may free this hook
  }
}

void TControlHook::HookWndProc(TMessage& m) {
  const UINT msg = m.Msg;
  const WPARAM w = m.WParam;
  const LPARAM l = m.LParam;
  ++depth_;
  if (msg == WM_PAINT && control_ && !control_->IsWindowed())
    m.Result = 1;
  else
    CallPrevious(m);
  if (control_ && owner_) {
    if (!owner_->active_ || stale_) {
      // Switched off: the control gets its own look back. The control's
      // answer to this message stands.
      Restore(msg != WM_DESTROY && msg != WM_NCDESTROY);
      Release();
    } else {
      React(msg, w, l);
    }
  }
  if (--depth_ == 0 && released_) delete this;
}

void TControlHook::React(UINT msg, WPARAM w, LPARAM l) {
  lastMsg_ = msg;
  TControl* c = control_;
  switch (msg) {
    case WM_DESTROY:
      if (!Recreating) {
        Unhook();
        control_ = nullptr;
        Release();
      }
      return;
    case WM_SETFOCUS:
      Highlighted = true;
      Paint();
      return;
    case WM_KILLFOCUS:
      Highlighted = false;
      Paint();
      return;
    case WM_PAINT:
      Recreating = false;
      Paint();
      return;
    case kEditGetModify:
    case CM_INVALIDATE:
    case CM_CTL3DCHANGED:
    case CM_PARENTCTL3DCHANGED:
    case CM_RECREATEWND:
      Recreating = true;
      return;
    case BM_GETCHECK:
    case BM_SETCHECK:
      Highlighted = false;
      Paint();
      return;
    case BM_SETSTATE:
      Paint();
      return;
    case WM_KEYDOWN:
      if (w == VK_SPACE) {
        SpaceDown = true;
        if (!SpaceRepeat) Paint();
        SpaceRepeat = true;
      }
      return;
    case WM_KEYUP:
      if (w == VK_SPACE) {
        SpaceDown = false;
        SpaceRepeat = false;
        Paint();
      }
      return;
    case WM_LBUTTONDOWN:
      MouseDown = true;
      Paint();
      return;
    case WM_LBUTTONUP:
      MouseDown = false;
      if (!c->IsWindowed()) c->Repaint();
      Paint();
      return;
    case WM_LBUTTONDBLCLK:
      if (dynamic_cast<TButton*>(c) || dynamic_cast<TCheckBox*>(c))
        if (auto* wc = dynamic_cast<TWinControl*>(c); wc && wc->HandleAllocated())
          SendMessageW(wc->Handle(), WM_LBUTTONDOWN, w, l);
      return;
    case CM_FOCUSCHANGED:
    case CM_PARENTCOLORCHANGED:
    case CM_ENABLEDCHANGED:
    case CM_TEXTCHANGED:
      Paint();
      return;
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE:
      if (c->Enabled()) {
        Highlighted = msg == CM_MOUSEENTER;
        if (!c->IsWindowed()) c->Repaint();
        Paint();
      }
      return;
    case CM_EXIT:
      Highlighted = false;
      Paint();
      return;
    default:
      return;
  }
}

void TControlHook::Paint() {
  auto* wc = dynamic_cast<TWinControl*>(control_);
  if (!wc || !wc->HandleAllocated() || !owner_) return;
  IsFocused = GetFocus() == wc->Handle();
  auto run = [&](void (TControlHook::*painter)(TCanvas&, const XPWorkingColors&)) {
    if (!control_ || !wc->HandleAllocated()) return;
    ControlCanvas canvas(wc->Handle());
    const XPWorkingColors colors = owner_->WorkingColors(canvas.dc());
    (this->*painter)(*canvas, colors);
  };
  if (dynamic_cast<TCustomEdit*>(control_)) run(&TControlHook::PaintEdit);
  if (dynamic_cast<TCustomCheckBox*>(control_)) run(&TControlHook::PaintCheckBox);
  if (dynamic_cast<TButton*>(control_)) run(&TControlHook::PaintButton);
  if (dynamic_cast<TCustomPanel*>(control_)) run(&TControlHook::PaintPanel);
  if (dynamic_cast<TCustomGroupBox*>(control_)) run(&TControlHook::PaintGroupBox);
}

namespace {
TColor ParentColor(TControl* c) { return Rgb(c->Parent() ? c->Parent()->Color() : c->Color()); }
}  // namespace

void TControlHook::PaintEdit(TCanvas& c, const XPWorkingColors& wc) {
  auto* e = static_cast<TCustomEdit*>(control_);
  if (e->Ctl3D()) {
    // The control comes back without its sunken edge; we draw the frame.
    Recreating = true;
    e->SetCtl3D(false);
    return;  // the canvas belongs to the old window
  }
  const bool single = SavedBorderStyle == TBorderStyle::bsSingle;
  HDC dc = c.Handle();
  COLORREF frame;
  if (Highlighted || IsFocused)
    frame = TXPStyle::LightenFor(dc, wc.SelectBorder, single ? 60 : 80);
  else
    frame = single ? xp::Darken(ParentColor(e), 60) : ParentColor(e);
  const RECT r = e->ClientRect();
  c.Pen().SetColor(frame);
  c.Pen().SetWidth(1);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Rectangle(r);
}

void TControlHook::PaintCheckBox(TCanvas& c, const XPWorkingColors& wc) {
  auto* cb = static_cast<TCustomCheckBox*>(control_);
  COLORREF fill = GetSysColor(COLOR_WINDOW), border = GetSysColor(COLOR_BTNSHADOW);
  if (Highlighted || IsFocused) {
    fill = wc.Select;
    border = wc.SelectBorder;
  }
  if (SpaceDown || MouseDown) fill = wc.CheckedAreaSelect;

  RECT r = cb->ClientRect();
  r.top += 3;
  r.bottom -= 3;
  const int s = GetSystemMetrics(SM_CXHTHUMB);
  r.top += ((r.bottom - r.top) - s) / 2;
  r.bottom = r.top + s;
  const bool rtl = cb->UseRightToLeftReading();
  const bool boxRight = (cb->Alignment == TAlignment::taLeftJustify && !rtl) ||
                        (cb->Alignment == TAlignment::taRightJustify && rtl);
  if (boxRight)
    r.left = r.right - s + 1;
  else
    r.right = r.left + s - 1;

  c.Brush().SetColor(cb->Color());
  c.FillRect(r);
  InflateRect(&r, -2, -2);
  c.Brush().SetColor(fill);
  c.Pen().SetColor(border);
  c.Rectangle(r);

  if (cb->Checked()) {
    COLORREF pen;
    if (!cb->Enabled())
      pen = wc.Disabled;
    else if (SpaceDown || MouseDown)
      pen = GetSysColor(COLOR_WINDOW);
    else
      pen = GetSysColor(COLOR_HIGHLIGHT);
    c.Pen().SetColor(pen);
    for (int i = 0; i < 3; ++i) {
      c.MoveTo(r.left + 2, r.bottom - i - 5);
      c.LineTo(r.left + 4, r.bottom - i - 3);
      c.LineTo(r.left + 9, r.bottom - i - 8);
    }
  }
}

void TControlHook::PaintButton(TCanvas& c, const XPWorkingColors& wc) {
  auto* b = static_cast<TButton*>(control_);
  HDC dc = c.Handle();
  const COLORREF btnFace = GetSysColor(COLOR_BTNFACE);
  COLORREF face, edge;
  if (Highlighted || SpaceDown) {
    face = TXPStyle::LightenFor(dc, btnFace, 60);
    edge = TXPStyle::LightenFor(dc, wc.SelectBorder, 60);
  } else {
    face = wc.IconBack;
    edge = GetSysColor(COLOR_BTNSHADOW);
    if (IsFocused) edge = TXPStyle::LightenFor(dc, wc.SelectBorder, 60);
  }
  const RECT r = b->ClientRect();
  c.Brush().SetColor(ParentColor(b));
  c.FillRect(r);
  c.Brush().SetColor(face);
  c.Pen().SetColor(TXPStyle::LightenFor(dc, edge, 30));
  c.RoundRect(r.left, r.top, r.right, r.bottom, 4, 4);

  if (b->Enabled()) {
    c.Pen().SetColor(xp::Darken(edge, 50));
    if ((MouseDown && Highlighted) || SpaceDown) {
      c.MoveTo(r.left, r.bottom - 2);
      c.LineTo(r.left, r.top + 1);
      c.LineTo(r.left + 1, r.top);
      c.LineTo(r.right - 1, r.top);
    } else {
      c.MoveTo(r.right - 1, r.top + 1);
      c.LineTo(r.right - 1, r.bottom - 2);
      c.LineTo(r.right - 2, r.bottom - 1);
      c.LineTo(r.left, r.bottom - 1);
    }
  }

  c.Font().Assign(b->Font());
  const std::wstring caption = b->Caption();
  const int cw = c.TextWidth(caption);
  const int width = r.right - r.left, height = r.bottom - r.top;
  RECT cr = r;
  cr.left = (width - cw) / 2;

  auto* bb = dynamic_cast<TBitBtn*>(b);
  if (bb && !bb->Glyph().Empty()) {
    const int n = std::max(bb->NumGlyphs, 1);
    const int gw = bb->Glyph().Width() / n, gh = bb->Glyph().Height();
    TBitmap glyph;
    CopyPart(glyph, bb->Glyph(), 0, gw, gh);
    const int spacing = Trimmed(caption).empty() ? 0 : bb->Spacing;
    const int th = c.TextHeight(caption.empty() ? L" " : caption);
    int gx = 0, gy = 0;
    switch (bb->Layout) {
      case TButtonLayout::blGlyphLeft:
      case TButtonLayout::blGlyphRight: {
        const int bx = (width - (gw + spacing + cw)) / 2;
        gy = (height - gh) / 2;
        if (bb->Layout == TButtonLayout::blGlyphLeft) {
          gx = bx;
          cr.left = bx + gw + spacing;
        } else {
          cr.left = bx;
          gx = bx + cw + spacing;
        }
        break;
      }
      case TButtonLayout::blGlyphTop:
      case TButtonLayout::blGlyphBottom: {
        const int by = (height - (gh + spacing + th)) / 2;
        gx = (width - gw) / 2;
        if (bb->Layout == TButtonLayout::blGlyphTop) {
          gy = by;
          cr.top = by + gh + spacing;
        } else {
          cr.top = by;
          gy = by + th + spacing;
        }
        cr.bottom = cr.top + th;
        break;
      }
    }
    gy += 1;  // the glyph sits one pixel lower
    const plat::Color key = glyph.Raster().Pixel(0, gh - 1);
    if (Highlighted && b->Enabled()) {
      if (!IsFocused) {
        --gx;
        --gy;
      }
      DrawShadow(c, glyph, gx + 2, gy + 2, xp::Darken(wc.Select, 50));
    } else if (b->Enabled()) {
      if (wc.Deep) {
        plat::Raster px = glyph.Raster();
        xp::LightenPixels(px, owner_->DimLevel, key);
      }
    } else {
      plat::Raster px = glyph.Raster();
      xp::GrayPixels(px, owner_->GrayLevel, 40, key);
    }
    DrawGlyph(c, glyph, gx, gy);
  }

  const TColor color = b->Enabled() ? b->Font().Color() : static_cast<TColor>(wc.Disabled);
  xpdraw::DrawCaption(c, cr, caption, color, b->UseRightToLeftReading(), b->Default() && b->Enabled());
}

void TControlHook::PaintPanel(TCanvas& c, const XPWorkingColors&) {
  if (lastMsg_ != WM_PAINT) return;
  auto* p = static_cast<TCustomPanel*>(control_);
  HDC dc = c.Handle();
  const COLORREF col = Rgb(p->Color());
  const COLORREF dark = xp::Darken(col, 60), light = TXPStyle::LightenFor(dc, col, 60);
  RECT r = p->ClientRect();
  auto bevel = [&](TBevelCut cut) {
    if (cut == TBevelCut::bvLowered)
      xpdraw::Frame3D(c, r, dark, light, p->BevelWidth);
    else if (cut == TBevelCut::bvRaised || cut == TBevelCut::bvSpace)
      xpdraw::Frame3D(c, r, light, dark, p->BevelWidth);
  };
  if (p->BevelOuter != TBevelCut::bvNone) bevel(p->BevelOuter);
  if (p->BevelInner != TBevelCut::bvNone) {
    InflateRect(&r, -p->BorderWidth, -p->BorderWidth);
    bevel(p->BevelInner);
  }
}

void TControlHook::PaintGroupBox(TCanvas& c, const XPWorkingColors&) {
  if (lastMsg_ != WM_PAINT) return;
  auto* g = static_cast<TCustomGroupBox*>(control_);
  HDC dc = c.Handle();
  c.Font().Assign(g->Font());
  const std::wstring caption = g->Caption();
  const int h = c.TextHeight(caption.empty() ? L" " : caption);
  const int w = caption.empty() ? 0 : c.TextWidth(caption);
  const int a = h / 2;
  const COLORREF col = Rgb(g->Color()), parent = ParentColor(g);
  const COLORREF dark = xp::Darken(col, 60), light = TXPStyle::LightenFor(dc, col, 60);
  const RECT cr = g->ClientRect();
  const bool ctl3d = g->Ctl3D();

  // The platform's frame goes under the control colour.
  RECT e = cr;
  InflateRect(&e, -1, -1);
  e.top = h;
  c.Pen().SetColor(col);
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Rectangle(e);
  c.MoveTo(cr.left + 1, a - 1);
  c.LineTo(cr.left + 1, cr.bottom);

  RECT f = cr;
  f.top = a - 1;
  xpdraw::Frame3D(c, f, ctl3d ? light : dark, dark, 1);

  c.Brush().SetColor(parent);
  c.FillRect(RECT{cr.left, 0, cr.right, a + 2});

  RECT tr{9, 0, 9 + w, h};
  if (g->UseRightToLeftReading()) tr = RECT{cr.right - 9 - w, 0, cr.right - 9, h};
  c.Brush().SetColor(col);
  c.FillRect(RECT{tr.left, a + 2, tr.right, 2 * a + 3});
  c.Pen().SetColor(col);
  c.MoveTo(cr.right - 2, a + 2);
  c.LineTo(cr.right - 2, h);

  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.Font().SetColor(g->Font().Color());
  RECT t = tr;
  c.DrawText(caption, t, DT_LEFT | DT_SINGLELINE | DT_NOCLIP | (g->UseRightToLeftReading() ? DT_RTLREADING : 0));

  c.Pen().SetColor(ctl3d ? light : dark);
  c.MoveTo(cr.left, a + 1);
  c.LineTo(tr.left, a + 1);
  c.MoveTo(tr.right, a + 1);
  c.LineTo(cr.right - 1, a + 1);
}
