#include <algorithm>
#include <cwctype>

#include "ui/win/controls.h"

// ================================================================ edits

void TCustomEdit::SetBorderStyle(TBorderStyle b) {
  if (b == borderStyle_) return;
  borderStyle_ = b;
  RecreateWnd();
}

void TCustomEdit::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"EDIT";
  p.Style |= ES_AUTOHSCROLL;
  if (ReadOnly) p.Style |= ES_READONLY;
  if (borderStyle_ == TBorderStyle::bsSingle) {
    if (Ctl3D())
      p.ExStyle |= WS_EX_CLIENTEDGE;
    else
      p.Style |= WS_BORDER;
  }
}

void TCustomEdit::SetMaxLength(int n) {
  maxLength_ = n;
  if (HandleAllocated()) ApplyMaxLength();
}

void TCustomEdit::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyMaxLength();
}

void TCustomEdit::ApplyMaxLength() {
  // 0 asks for the platform's maximum rather than its small default.
  SendMessageW(handle_, EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxLength_, 0)), 0);
}

void TCustomEdit::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == EN_CHANGE) {
    if (!recreating_) {
      Perform(CM_TEXTCHANGED);
      if (OnChange) OnChange(this);
    }
    return;
  }
  TWinControl::WndProc(m);
}

TEdit::TEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
  color_ = clWindow;
  width_ = 121;
  height_ = 21;
}

namespace {

// What a window's scroll bars show: their places, thumbs and the state of each
// part. Two equal pictures are drawn with the same pixels.
class ScrollBarsPicture {
 public:
  explicit ScrollBarsPicture(HWND h) {
    for (SCROLLBARINFO* i : {&v_, &h_}) i->cbSize = sizeof(SCROLLBARINFO);
    GetScrollBarInfo(h, OBJID_VSCROLL, &v_);
    GetScrollBarInfo(h, OBJID_HSCROLL, &h_);
  }
  bool operator==(const ScrollBarsPicture& o) const { return Same(v_, o.v_) && Same(h_, o.h_); }
  bool operator!=(const ScrollBarsPicture& o) const { return !(*this == o); }

 private:
  static bool Same(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.dxyLineButton == b.dxyLineButton &&
           a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom &&
           std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
  }
  SCROLLBARINFO v_{}, h_{};
};

// Holds an edit's drawing back while its text changes, then asks for one
// paint of its text. An edit draws its scroll bar at once on each change of
// range and position, twice for a line added at the end, and with a visual
// style (Wine's included) each of those draws costs milliseconds. Clearing
// WS_VISIBLE for the change is what WM_SETREDRAW does for other windows,
// which an edit does not honour everywhere. Whether the frame must be drawn
// again is the caller's to act on: only when the scroll bars show something
// else, or a paint of the frame was due anyway; in a long log most lines do
// not move the thumb by a pixel.
class DrawnLater {
 public:
  explicit DrawnLater(HWND h)
      : h_(IsWindowVisible(h) ? h : nullptr), due_(h_ && GetUpdateRect(h_, nullptr, FALSE)), bars_(h) {
    if (h_) SetWindowLongW(h_, GWL_STYLE, GetWindowLongW(h_, GWL_STYLE) & ~WS_VISIBLE);
  }
  // Shows the window again, asks for its text to be painted and tells whether
  // its scroll bars now look different.
  bool Done() {
    if (!h_) return false;
    SetWindowLongW(h_, GWL_STYLE, GetWindowLongW(h_, GWL_STYLE) | WS_VISIBLE);
    const bool changed = ScrollBarsPicture(h_) != bars_;
    if (!due_) RedrawWindow(h_, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    RedrawWindow(h_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | (due_ ? RDW_FRAME : 0));
    h_ = nullptr;
    return changed && !due_;
  }
  ~DrawnLater() { Done(); }
  DrawnLater(const DrawnLater&) = delete;
  DrawnLater& operator=(const DrawnLater&) = delete;

 private:
  HWND h_;
  bool due_;
  ScrollBarsPicture bars_;
};

constexpr UINT_PTR kFrameTimer = 0x4D46;  // an edit's own timers count from 0

}  // namespace

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), lines_(*this) {
  color_ = clWindow;
  width_ = 185;
  height_ = 89;
}

void TCustomMemo::CreateParams(TCreateParams& p) {
  TCustomEdit::CreateParams(p);
  p.Style &= ~ES_AUTOHSCROLL;
  p.Style |= ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (ScrollBars == TScrollStyle::ssVertical || ScrollBars == TScrollStyle::ssBoth) p.Style |= WS_VSCROLL;
  if (ScrollBars == TScrollStyle::ssHorizontal || ScrollBars == TScrollStyle::ssBoth)
    p.Style |= WS_HSCROLL | ES_AUTOHSCROLL;
}

void TCustomMemo::WndProc(TMessage& m) {
  // A read-only memo asks for static colours; it is still an edit box.
  if (m.Msg == CN_CTLCOLORSTATIC) m.Msg = CN_CTLCOLOREDIT;
  if (m.Msg == WM_TIMER && m.WParam == kFrameTimer) {
    KillTimer(Handle(), kFrameTimer);
    frameDue_ = false;
    SendMessageW(Handle(), WM_NCPAINT, 1, 0);
    return;
  }
  if (m.Msg == WM_DESTROY) frameDue_ = false;  // its timer goes with the window
  TCustomEdit::WndProc(m);
}

// A frame with a visual style takes milliseconds to draw under Wine, and
// lines often come in bursts (a send adds two a few milliseconds apart):
// the scroll bar catches up once, a moment after the first change, with
// every change made in between.
void TCustomMemo::RepaintFrameSoon() {
  if (frameDue_) return;
  frameDue_ = SetTimer(Handle(), kFrameTimer, kFrameCatchUpMs, nullptr) != 0;
  if (!frameDue_) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME);
}

void TCustomMemo::TLines::Add(const std::wstring& line) {
  // Appends a whole line at the end without touching what is there. The text
  // ends in a line break when its last line starts at its very end; asking
  // that is cheaper than copying the whole log out.
  HWND h = memo_.Handle();
  const int len = GetWindowTextLengthW(h);
  std::wstring text;
  if (len > 0) {
    const LRESULT lines = SendMessageW(h, EM_GETLINECOUNT, 0, 0);
    const LRESULT lastStart = SendMessageW(h, EM_LINEINDEX, static_cast<WPARAM>(lines - 1), 0);
    if (lastStart != len) text = L"\r\n";
  }
  text += line + L"\r\n";
  DrawnLater later(h);
  SendMessageW(h, EM_SETSEL, len, len);
  SendMessageW(h, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(h, EM_SCROLLCARET, 0, 0);
  if (later.Done()) memo_.RepaintFrameSoon();
}

int TCustomMemo::TLines::Count() {
  std::wstring all = memo_.Text();
  if (all.empty()) return 0;
  int n = 0;
  size_t pos = 0;
  while ((pos = all.find(L"\r\n", pos)) != std::wstring::npos) {
    ++n;
    pos += 2;
  }
  if (all.size() < 2 || all.compare(all.size() - 2, 2, L"\r\n") != 0) ++n;
  return n;
}

std::wstring TCustomMemo::TLines::Strings(int i) {
  std::wstring all = memo_.Text();
  size_t start = 0;
  for (int k = 0; k < i; ++k) {
    const size_t p = all.find(L"\r\n", start);
    if (p == std::wstring::npos) return L"";
    start = p + 2;
  }
  const size_t end = all.find(L"\r\n", start);
  return all.substr(start, end == std::wstring::npos ? std::wstring::npos : end - start);
}

// ================================================================ label

TLabel::TLabel(TComponent* AOwner) : TWinControl(AOwner) {
  TabStop = false;
  ParentColor = true;
}

void TLabel::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"STATIC";
  p.Style &= ~WS_TABSTOP;
  p.Style |= SS_NOPREFIX;
  p.Style |= Alignment == TAlignment::taCenter ? SS_CENTER : Alignment == TAlignment::taRightJustify ? SS_RIGHT : SS_LEFT;
}

void TLabel::DoAutoSize() {
  if (!AutoSize) return;
  RECT r{0, 0, 0, 0};
  {
    gdi::WindowDC dc;
    gdi::Selected font(dc.get(), Font().Handle());
    const std::wstring t = text_.empty() ? std::wstring(L" ") : text_;
    ::DrawTextW(dc.get(), t.c_str(), static_cast<int>(t.size()), &r, DT_CALCRECT | DT_NOPREFIX);
  }
  SetBounds(left_, top_, text_.empty() ? 0 : r.right, r.bottom);
}

void TLabel::SetText(const std::wstring& t) {
  TWinControl::SetText(t);
  DoAutoSize();
}

void TLabel::FontChanged() {
  TWinControl::FontChanged();
  DoAutoSize();
}

void TLabel::WndProc(TMessage& m) {
  if (m.Msg == CN_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(m.WParam);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    if (Transparent && Parent()) {
      SetBkColor(dc, ColorToRGB(Parent()->Color()));
      m.Result = reinterpret_cast<LRESULT>(Parent()->ColorBrush());
    } else {
      SetBkColor(dc, ColorToRGB(color_));
      m.Result = reinterpret_cast<LRESULT>(ColorBrush());
    }
    return;
  }
  TWinControl::WndProc(m);
}

// ================================================================ image

TImage::TImage(TComponent* AOwner) : TWinControl(AOwner) {
  TabStop = false;
  width_ = 105;
  height_ = 105;
  picture_.OnChange = [this] { Invalidate(); };
}

void TImage::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"PlatoraImage";
  p.Style &= ~WS_TABSTOP;
}

void TImage::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      m.Result = 1;
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(handle_, &ps);
      RECT cr;
      GetClientRect(handle_, &cr);
      if (Transparent || picture_.Empty() || Center) {
        HBRUSH b = Parent() ? Parent()->ColorBrush() : ColorBrush();
        FillRect(dc, &cr, b);
      }
      if (!picture_.Empty()) {
        int x = 0, y = 0;
        if (Center) {
          x = (cr.right - picture_.Width()) / 2;
          y = (cr.bottom - picture_.Height()) / 2;
        }
        if (Stretch) {
          StretchBlt(dc, 0, 0, cr.right, cr.bottom, picture_.Canvas().Handle(), 0, 0, picture_.Width(),
                     picture_.Height(), SRCCOPY);
        } else if (Transparent) {
          DrawTransparent(dc, x, y, picture_.Width(), picture_.Height(), picture_, 0, 0,
                          ColorToRGB(picture_.TransparentColor()));
        } else {
          BitBlt(dc, x, y, picture_.Width(), picture_.Height(), picture_.Canvas().Handle(), 0, 0, SRCCOPY);
          // Outside the picture: the parent's colour.
          HBRUSH b = Parent() ? Parent()->ColorBrush() : ColorBrush();
          RECT right{x + picture_.Width(), 0, cr.right, cr.bottom}, below{0, y + picture_.Height(), cr.right,
                                                                           cr.bottom};
          if (right.left < right.right) FillRect(dc, &right, b);
          if (below.top < below.bottom) FillRect(dc, &below, b);
        }
      }
      EndPaint(handle_, &ps);
      return;
    }
    case WM_NCHITTEST:
      m.Result = HTCLIENT;
      return;
    default:
      TWinControl::WndProc(m);
  }
}

// ================================================================ panel

namespace {
// Containers that paint themselves whole: no separate erase, one paint.
template <class PaintFn>
bool SelfPainted(HWND h, TMessage& m, PaintFn paint) {
  if (m.Msg == WM_ERASEBKGND) {
    m.Result = 1;
    return true;
  }
  if (m.Msg != WM_PAINT) return false;
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  paint(dc);
  EndPaint(h, &ps);
  return true;
}
}  // namespace


TCustomPanel::TCustomPanel(TComponent* AOwner) : TWinControl(AOwner) {
  width_ = 185;
  height_ = 41;
  TabStop = false;
}

void TCustomPanel::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"PlatoraPanel";
  p.Style |= WS_CLIPCHILDREN;
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

namespace {
void Frame3D(HDC dc, RECT& r, COLORREF topLeft, COLORREF bottomRight, int width) {
  const gdi::Pen light(CreatePen(PS_SOLID, 1, topLeft)), dark(CreatePen(PS_SOLID, 1, bottomRight));
  for (int i = 0; i < width; ++i) {
    {
      gdi::Selected pen(dc, light);
      MoveToEx(dc, r.left, r.bottom - 1, nullptr);
      LineTo(dc, r.left, r.top);
      LineTo(dc, r.right - 1, r.top);
    }
    {
      gdi::Selected pen(dc, dark);
      MoveToEx(dc, r.right - 1, r.top, nullptr);
      LineTo(dc, r.right - 1, r.bottom - 1);
      LineTo(dc, r.left - 1, r.bottom - 1);
    }
    InflateRect(&r, -1, -1);
  }
}
void Bevel(HDC dc, RECT& r, TBevelCut cut, int width) {
  const COLORREF hi = GetSysColor(COLOR_BTNHIGHLIGHT), sh = GetSysColor(COLOR_BTNSHADOW);
  if (cut == TBevelCut::bvLowered) Frame3D(dc, r, sh, hi, width);
  if (cut == TBevelCut::bvRaised) Frame3D(dc, r, hi, sh, width);
  if (cut == TBevelCut::bvSpace) InflateRect(&r, -width, -width);
}
}  // namespace

void TCustomPanel::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  FillRect(dc, &r, ColorBrush());
  Bevel(dc, r, BevelOuter, BevelWidth);
  InflateRect(&r, -BorderWidth, -BorderWidth);
  Bevel(dc, r, BevelInner, BevelWidth);
  if (!text_.empty()) {
    gdi::Selected font(dc, Font().Handle());
    SetBkMode(dc, TRANSPARENT);
    SetTextColor(dc, ColorToRGB(Font().Color()));
    UINT fmt = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    fmt |= Alignment == TAlignment::taCenter ? DT_CENTER : Alignment == TAlignment::taRightJustify ? DT_RIGHT : DT_LEFT;
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &r, fmt);
  }
}

void TCustomPanel::WndProc(TMessage& m) {
  if (!SelfPainted(handle_, m, [this](HDC dc) { Paint(dc); })) TWinControl::WndProc(m);
}

// ================================================================ group box

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TWinControl(AOwner) {
  width_ = 185;
  height_ = 105;
}

void TCustomGroupBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"PlatoraGroupBox";
  p.Style |= WS_CLIPCHILDREN;
  p.ExStyle |= WS_EX_CONTROLPARENT;
}

void TCustomGroupBox::Paint(HDC dc) {
  RECT r;
  GetClientRect(handle_, &r);
  FillRect(dc, &r, ColorBrush());
  gdi::Selected font(dc, Font().Handle());
  TEXTMETRICW tm;
  GetTextMetricsW(dc, &tm);
  const int h = tm.tmHeight;
  RECT frame = r;
  frame.top = h / 2 - 1;
  DrawEdge(dc, &frame, Ctl3D() ? EDGE_ETCHED : BDR_SUNKENOUTER, BF_RECT | (Ctl3D() ? 0 : BF_MONO));
  if (!text_.empty()) {
    SIZE s;
    GetTextExtentPoint32W(dc, text_.c_str(), static_cast<int>(text_.size()), &s);
    RECT tr{8, 0, 8 + s.cx, h};
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ColorToRGB(color_));
    SetTextColor(dc, ColorToRGB(enabled_ ? Font().Color() : clGrayText));
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &tr, DT_SINGLELINE | DT_NOPREFIX | DT_LEFT);
  }
}

void TCustomGroupBox::WndProc(TMessage& m) {
  if (!SelfPainted(handle_, m, [this](HDC dc) { Paint(dc); })) TWinControl::WndProc(m);
}

// ================================================================ buttons

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
  width_ = 75;
  height_ = 25;
}

void TButton::SetDefault(bool d) {
  default_ = d;
  if (TForm* f = ParentForm()) {
    if (d) f->SetDefaultButton(this);
    else if (f->DefaultButton() == this) f->SetDefaultButton(nullptr);
  }
  if (HandleAllocated()) RecreateWnd();
}

void TButton::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"BUTTON";
  p.Style |= default_ ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
}

void TButton::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    Click();
    return;
  }
  TWinControl::WndProc(m);
}

TBitBtn::TBitBtn(TComponent* AOwner) : TButton(AOwner) {
  glyph_.Transparent = true;
  glyph_.OnChange = [this] { Invalidate(); };
}

void TBitBtn::CreateParams(TCreateParams& p) {
  TButton::CreateParams(p);
  p.Style &= ~(BS_DEFPUSHBUTTON | BS_PUSHBUTTON);
  p.Style |= BS_OWNERDRAW;
}

void TBitBtn::WndProc(TMessage& m) {
  switch (m.Msg) {
    case CN_DRAWITEM:
      DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(m.LParam));
      m.Result = TRUE;
      return;
    case WM_LBUTTONDBLCLK:
      // Owner-drawn buttons turn fast clicks into double-clicks; treat them as clicks.
      m.Msg = WM_LBUTTONDOWN;
      break;
    default:
      break;
  }
  TButton::WndProc(m);
}

void TBitBtn::DrawItem(const DRAWITEMSTRUCT& di) {
  HDC dc = di.hDC;
  RECT r = di.rcItem;
  const bool pressed = (di.itemState & ODS_SELECTED) != 0;
  const bool focused = (di.itemState & ODS_FOCUS) != 0;
  const bool disabled = (di.itemState & ODS_DISABLED) != 0;
  FillRect(dc, &r, ColorBrush());
  if (focused || default_) {
    FrameRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    InflateRect(&r, -1, -1);
  }
  DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH | (pressed ? DFCS_PUSHED : 0));

  // Glyph and caption, centred as one block.
  gdi::Selected font(dc, Font().Handle());
  SIZE ts{0, 0};
  GetTextExtentPoint32W(dc, text_.c_str(), static_cast<int>(text_.size()), &ts);
  const int n = std::max(NumGlyphs, 1);
  const int gw = glyph_.Empty() ? 0 : glyph_.Width() / n, gh = glyph_.Empty() ? 0 : glyph_.Height();
  const int spacing = (gw > 0 && !text_.empty()) ? Spacing : 0;
  const int cw = di.rcItem.right - di.rcItem.left, ch = di.rcItem.bottom - di.rcItem.top;
  int gx, gy, tx, ty;
  if (Layout == TButtonLayout::blGlyphTop || Layout == TButtonLayout::blGlyphBottom) {
    const int total = gh + spacing + ts.cy;
    const int top = (ch - total) / 2;
    gx = (cw - gw) / 2;
    tx = (cw - ts.cx) / 2;
    gy = Layout == TButtonLayout::blGlyphTop ? top : top + ts.cy + spacing;
    ty = Layout == TButtonLayout::blGlyphTop ? top + gh + spacing : top;
  } else {
    const int total = gw + spacing + ts.cx;
    const int left = Margin >= 0 ? Margin : (cw - total) / 2;
    gy = (ch - gh) / 2;
    ty = (ch - ts.cy) / 2;
    gx = Layout == TButtonLayout::blGlyphLeft ? left : left + ts.cx + spacing;
    tx = Layout == TButtonLayout::blGlyphLeft ? left + gw + spacing : left;
  }
  const int shift = pressed ? 1 : 0;
  if (gw > 0) {
    // Several glyphs side by side: the second is the disabled look.
    const int index = (disabled && n > 1) ? 1 : 0;
    if (disabled && n == 1) {
      // Grey the single glyph: every non-transparent pixel in the shadow colour.
      plat::Raster src = glyph_.Raster();
      const COLORREF key = ColorToRGB(glyph_.TransparentColor());
      const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
      for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x)
          if (src.Pixel(x, y) != key) SetPixel(dc, gx + x + shift, gy + y + shift, shadow);
    } else {
      DrawTransparent(dc, gx + shift, gy + shift, gw, gh, glyph_, index * gw, 0,
                      ColorToRGB(glyph_.TransparentColor()));
    }
  }
  SetBkMode(dc, TRANSPARENT);
  RECT trc{tx + shift, ty + shift, tx + shift + ts.cx, ty + shift + ts.cy};
  if (disabled) {
    SetTextColor(dc, GetSysColor(COLOR_BTNHIGHLIGHT));
    RECT t2 = trc;
    OffsetRect(&t2, 1, 1);
    ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &t2, DT_SINGLELINE | DT_NOPREFIX);
    SetTextColor(dc, GetSysColor(COLOR_BTNSHADOW));
  } else {
    SetTextColor(dc, ColorToRGB(Font().Color()));
  }
  ::DrawTextW(dc, text_.c_str(), static_cast<int>(text_.size()), &trc, DT_SINGLELINE | DT_NOPREFIX);
  if (focused) {
    RECT fr = di.rcItem;
    InflateRect(&fr, -4, -4);
    DrawFocusRect(dc, &fr);
  }
}

// ================================================================ check box

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
  width_ = 97;
  height_ = 17;
}

void TCustomCheckBox::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"BUTTON";
  // The state is ours: a click toggles it through SetChecked.
  p.Style |= BS_CHECKBOX;
  if (Alignment == TAlignment::taLeftJustify) p.Style |= BS_LEFTTEXT;
}

void TCustomCheckBox::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(handle_, BM_SETCHECK, checked_ ? BST_CHECKED : BST_UNCHECKED, 0);
}

bool TCustomCheckBox::Checked() { return checked_; }

void TCustomCheckBox::SetChecked(bool c) {
  if (c == checked_) return;
  checked_ = c;
  if (HandleAllocated()) SendMessageW(handle_, BM_SETCHECK, c ? BST_CHECKED : BST_UNCHECKED, 0);
  Click();
}

void TCustomCheckBox::WndProc(TMessage& m) {
  if (m.Msg == CN_COMMAND && HIWORD(m.WParam) == BN_CLICKED) {
    SetChecked(!checked_);
    return;
  }
  TWinControl::WndProc(m);
}

// ================================================================ up-down

TUpDown::TUpDown(TComponent* AOwner) : TWinControl(AOwner) {
  width_ = 16;
  height_ = 24;
}

void TUpDown::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = UPDOWN_CLASSW;
  p.Style |= UDS_NOTHOUSANDS;
  if (ArrowKeys) p.Style |= UDS_ARROWKEYS;
  if (Wrap) p.Style |= UDS_WRAP;
}

void TUpDown::CreateWnd() {
  TWinControl::CreateWnd();
  SendMessageW(handle_, UDM_SETRANGE32, Min, Max);
  SendMessageW(handle_, UDM_SETPOS32, 0, position_);
  if (associate_) {
    associate_->HandleNeeded();
    // No UDS_SETBUDDYINT: the box text is written by us, so that invalid
    // text can be ignored the same way on every platform.
    SendMessageW(handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(associate_->Handle()), 0);
  }
  ShowPosition();
}

void TUpDown::SetAssociate(TWinControl* edit) {
  associate_ = edit;
  if (HandleAllocated() && edit) SendMessageW(handle_, UDM_SETBUDDY, reinterpret_cast<WPARAM>(edit->Handle()), 0);
  ShowPosition();
}

void TUpDown::ShowPosition() {
  if (associate_) associate_->SetText(std::to_wstring(position_));
}

int TUpDown::Position() {
  if (associate_) {
    const std::wstring t = associate_->Text();
    // A whole number within the range, optionally signed, nothing else.
    bool ok = !t.empty() && t.size() <= 11;
    size_t i = 0;
    if (ok && (t[0] == L'-' || t[0] == L'+')) i = 1;
    if (i >= t.size()) ok = false;
    for (size_t k = i; ok && k < t.size(); ++k) ok = iswdigit(t[k]) != 0;
    if (ok) {
      const long long v = std::stoll(t);
      if (v >= Min && v <= Max) position_ = static_cast<int>(v);
    }
  }
  return position_;
}

void TUpDown::SetPosition(int p) {
  position_ = std::clamp(p, Min, Max);
  if (HandleAllocated()) SendMessageW(handle_, UDM_SETPOS32, 0, position_);
  ShowPosition();
}

void TUpDown::WndProc(TMessage& m) {
  if (m.Msg == CN_NOTIFY) {
    const auto* hdr = reinterpret_cast<const NMHDR*>(m.LParam);
    if (hdr->code == UDN_DELTAPOS) {
      const auto* nm = reinterpret_cast<const NMUPDOWN*>(m.LParam);
      const int cur = Position();
      long long next = static_cast<long long>(cur) + static_cast<long long>(nm->iDelta) * Increment;
      if (Wrap) {
        if (next > Max) next = Min;
        if (next < Min) next = Max;
      }
      SetPosition(static_cast<int>(std::clamp<long long>(next, Min, Max)));
      Click();
      m.Result = 1;  // we moved it ourselves
      return;
    }
  }
  TWinControl::WndProc(m);
}
