// The frame component: construction, the hook on the form's window procedure
// with its message table, and skin changes.
#include "skinform/win/VesperForm.h"

#include "ui/core/exceptions.h"

namespace vp {

namespace {

void SetupFont(TFont& f, TColor color) {
  f.SetName(L"Arial");
  f.SetHeight(14);
  f.SetStyle(fsBold);
  f.SetColor(color);
  f.SetCharset(DEFAULT_CHARSET);
}

TForm* OwnerForm(TComponent* owner) {
  auto* f = dynamic_cast<TForm*>(owner);
  if (!f) throw plat::Exception("Invalid class typecast");
  return f;
}

}  // namespace

TvpVesperForm::TvpVesperForm(TComponent* AOwner) : TComponent(AOwner), Form(OwnerForm(AOwner)) {
  Name = L"vpVesperForm1";
  // The frame draws its own caption buttons.
  Form->BorderIcons = 0;
  SetupFont(defCaptionFont_, clBtnText);
  SetupFont(defInActiveCaptionFont_, clBtnShadow);
  defMenuItemFont_.SetName(L"Arial");
  defMenuItemFont_.SetHeight(14);
  defMenuItemFont_.SetColor(clWindowText);
  auto timer = [this](unsigned ms, void (TvpVesperForm::*tick)()) {
    auto* t = new TTimer(this);
    t->SetEnabled(false);
    t->SetInterval(ms);
    t->OnTimer = [this, tick](TObject*) { (this->*tick)(); };
    return t;
  };
  HoverTimer = timer(50, &TvpVesperForm::HoverTick);
  MorphTimer = timer(25, &TvpVesperForm::MorphTick);
  AnimateTimer = timer(25, &TvpVesperForm::AnimateTick);
  CreateMenuParts();
  Hook(Form);
  formActive_ = Form->HandleAllocated() && GetActiveWindow() == Form->Handle();
  // A window made before the hook gets a new one that never had a caption.
  if (Form->HandleAllocated()) Form->RecreateWnd();
}

TvpVesperForm::~TvpVesperForm() {
  Unhook();
  StopTimers();
  if (skinData_) skinData_->RemoveFreeNotification(this);
  ObjectList.clear();
  // The window owns the region it was given and deletes it when it goes or
  // when the region is taken off.
  if (Form && Form->HandleAllocated() && frameRegion_) SetWindowRgn(Form->Handle(), nullptr, TRUE);
  frameRegion_ = nullptr;
}

void TvpVesperForm::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation == TOperation::opRemove) ForgetSkinHint(AComponent);
}

void TvpVesperForm::Notification(TvpComponent* component) {
  if (component == skinData_) {
    skinData_ = nullptr;
    SkinInUse = false;
    ObjectList.clear();
  }
  if (component == MenusSkinData) MenusSkinData = nullptr;
}

void TvpVesperForm::ControlDestroyed() { Form = nullptr; }

// ------------------------------------------------------------- properties

void TvpVesperForm::SetSkinData(TvpSkinData* v) {
  if (skinData_ && skinData_ != v) skinData_->RemoveFreeNotification(this);
  skinData_ = v;
  if (v) v->FreeNotification(this);
  ChangeSkinData();
}

void TvpVesperForm::SetShowIcon(bool v) {
  showIcon_ = v;
  SendNCPaint();
}

void TvpVesperForm::SetBorderIcons(TvpBorderIcons v) {
  borderIcons_ = v;
  ApplyBorderIcons();
  SendNCPaint();
}

// ---------------------------------------------------------------- queries

bool TvpVesperForm::FormActive() { return Form && formActive_; }

bool TvpVesperForm::BorderStyleNone() const { return !Form || Form->BorderStyle == TBorderStyle::bsNone; }

bool TvpVesperForm::IsSizeable() const {
  return Form && (Form->BorderStyle == TBorderStyle::bsSizeable || Form->BorderStyle == TBorderStyle::bsSizeToolWin);
}

void TvpVesperForm::SendNCPaint() {
  if (Form && Form->HandleAllocated() && !(Form->ComponentState() & csLoading))
    SendMessageW(Form->Handle(), WM_NCPAINT, 1, 0);
}

POINT TvpVesperForm::WindowPoint(LPARAM screenPoint) {
  RECT wr{};
  if (Form && Form->HandleAllocated()) GetWindowRect(Form->Handle(), &wr);
  return POINT{static_cast<short>(LOWORD(screenPoint)) - wr.left, static_cast<short>(HIWORD(screenPoint)) - wr.top};
}

void TvpVesperForm::CalcFrameGeometry() {
  if (FormWidth == 0 || FormHeight == 0) {
    RECT wr{};
    if (Form->HandleAllocated()) GetWindowRect(Form->Handle(), &wr);
    if (FormWidth == 0) FormWidth = wr.right - wr.left;
    if (FormHeight == 0) FormHeight = wr.bottom - wr.top;
  }
  if (!SkinInUse) return;
  Geometry = skinform::CalcFrameGeometry(FrameSkinOf(*skinData_), FormWidth, FormHeight);
}

void TvpVesperForm::NudgeWidth() {
  if (!Form || !Form->HandleAllocated()) return;
  RECT wr;
  GetWindowRect(Form->Handle(), &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  const int step = (w <= GetMinWidth()) ? 1 : -1;
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  SetWindowPos(Form->Handle(), nullptr, 0, 0, w + step, h, flags);
  SetWindowPos(Form->Handle(), nullptr, 0, 0, w, h, flags);
}

void TvpVesperForm::StopTimers() {
  HoverTimer->SetEnabled(false);
  MorphTimer->SetEnabled(false);
  AnimateTimer->SetEnabled(false);
}

void TvpVesperForm::RemoveCaptionStyle() {
  HWND h = Form->Handle();
  const LONG_PTR style = GetWindowLongPtrW(h, GWL_STYLE);
  if (!(style & WS_CAPTION)) return;
  SetWindowLongPtrW(h, GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_CAPTION));
  SetWindowPos(h, nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// ------------------------------------------------------------------ hook

void TvpVesperForm::HookWndProc(TMessage& m) {
  // The component may be freed by a handler (close): keep what stage two needs.
  if (StageOne(m)) CallSaved(m);
  if (Form) StageTwo(m);
}

bool TvpVesperForm::StageOne(TMessage& m) {
  switch (m.Msg) {
    case WM_CREATE:
      CallSaved(m);
      RemoveCaptionStyle();
      return false;
    case WM_DESTROY:
      StopTimers();
      return true;
    case WM_SIZE:
      WMSize(m);
      return false;
    case WM_ACTIVATE:
      formActive_ = LOWORD(m.WParam) != WA_INACTIVE;
      CallSaved(m);
      ActivationChanged();
      return false;
    case WM_CAPTURECHANGED:
      if (Form && reinterpret_cast<HWND>(m.LParam) != Form->Handle()) CaptureLost();
      return true;
    case WM_SETTEXT:
      CallSaved(m);
      if (!BorderStyleNone()) SendNCPaint();
      return false;
    case WM_ERASEBKGND:
      PaintClientBackground(reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return false;
    case WM_SHOWWINDOW:
      WMShowWindow(m);
      return true;
    case WM_SETCURSOR:
      WMSetCursor(m);
      return true;
    case WM_GETMINMAXINFO:
      WMGetMinMaxInfo(m);
      return true;
    case WM_NCCALCSIZE:
      WMNCCalcSize(m);
      return false;
    case WM_NCHITTEST:
      WMNCHitTest(m);
      return false;
    case WM_NCPAINT:
      if (!BorderStyleNone()) PaintFrame();
      m.Result = 0;
      return false;
    case WM_NCACTIVATE:
      WMNCActivate(m);
      return false;
    case WM_SYNCPAINT:
      if (!RollUpState) return true;
      SendNCPaint();
      m.Result = 0;
      return false;
    case WM_SYSCOMMAND:
      return WMSysCommand(m);
    case WM_TIMER:
      if (m.WParam == 1) WMFadeTimer(m);
      return true;
    case WM_SIZING:
      return !WMSizing(m);
    case WM_MOVING:
      WMMoving(m);
      return true;
    case WM_ENTERSIZEMOVE:
      WMEnterSizeMove(m);
      return true;
    case WM_EXITSIZEMOVE:
      WMExitSizeMove(m);
      return true;
    case WM_BEFORECHANGESKINDATA:
      BeforeChangeSkinData(m);
      return true;
    case WM_CHANGESKINDATA:
      SkinChanging = false;
      if (reinterpret_cast<TvpSkinData*>(m.WParam) == skinData_ && skinData_) ChangeSkinData();
      return true;
    case WM_AFTERCHANGESKINDATA:
      if (OnAfterChangeSkinData) OnAfterChangeSkinData(this);
      return true;
    case WM_SKINMENUCLOSED:
      WMSkinMenuClosed(m);
      return true;
    case WM_CHANGERESSTRDATA:
      LoadDefaultHints();
      return true;
    case WM_NCPAINTTODC: {
      bool pass = true;
      WMNCPaintToDC(m, pass);
      return pass;
    }
    default:
      return true;
  }
}

void TvpVesperForm::StageTwo(TMessage& m) {
  auto valid = [this](int i) { return i >= 0 && i < static_cast<int>(ObjectList.size()); };
  switch (m.Msg) {
    case WM_NCMOUSEMOVE: {
      const POINT p = WindowPoint(m.LParam);
      const int i = CaptureObject != -1 ? CaptureObject : ActiveObject;
      if (valid(i)) ObjectList[static_cast<size_t>(i)]->MouseMove(p.x, p.y);
      break;
    }
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCRBUTTONDBLCLK: {
      if (m.Msg == WM_NCLBUTTONDOWN && MoveSizeLoop) {
        // The press that started a move or size loop comes back here after it.
        MoveSizeLoop = false;
        break;
      }
      const POINT p = WindowPoint(m.LParam);
      const bool left = m.Msg == WM_NCLBUTTONDOWN || m.Msg == WM_NCLBUTTONDBLCLK;
      TestActive(p.x, p.y, true);
      const int active = ActiveObject;
      ObjectMouseDown(active, p.x, p.y, left ? TMouseButton::mbLeft : TMouseButton::mbRight);
      if (m.Msg == WM_NCLBUTTONDBLCLK && valid(active)) ObjectList[static_cast<size_t>(active)]->DblClick();
      if (!Form) return;  // a double click closed the form
      if (m.WParam == HTCAPTION) {
        CaptureObject = -1;
        if (m.Msg == WM_NCLBUTTONDBLCLK) CaptionDblClick();
        if (m.Msg == WM_NCRBUTTONDOWN) ShowSystemMenuAt(static_cast<short>(LOWORD(m.LParam)),
                                                       static_cast<short>(HIWORD(m.LParam)));
      }
      break;
    }
    case WM_NCLBUTTONUP:
    case WM_NCRBUTTONUP: {
      const POINT p = WindowPoint(m.LParam);
      ObjectMouseUp(CaptureObject, p.x, p.y, m.Msg == WM_NCLBUTTONUP ? TMouseButton::mbLeft : TMouseButton::mbRight);
      break;
    }
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
      if (CaptureObject != -1) {
        // The hover state decides whether the release runs the command: bring
        // it up to date with where the mouse is now, not 50 ms ago.
        POINT c;
        GetCursorPos(&c);
        const POINT p = WindowPoint(MAKELPARAM(c.x, c.y));
        TestActive(p.x, p.y, true);
        ObjectMouseUp(CaptureObject, -1, -1, m.Msg == WM_LBUTTONUP ? TMouseButton::mbLeft : TMouseButton::mbRight);
      }
      break;
    default:
      break;
  }
}

void TvpVesperForm::WMSize(TMessage& m) {
  if (MoveSizeLoop && FullDrag) {
    if (!logo_.Empty()) Form->Repaint();
    CallSaved(m);
    return;
  }
  CallSaved(m);
  ClearMagnetLatches();
  RECT wr;
  GetWindowRect(Form->Handle(), &wr);
  FormWidth = wr.right - wr.left;
  FormHeight = wr.bottom - wr.top;
  if (!SkinInUse) {
    SendNCPaint();
  } else if (FormWidth >= GetMinWidth() && FormHeight >= GetMinHeight()) {
    UpdateRegion(true);
  }
  if (alphaBlend_ && alphaBlendValue_ < 255) {
    SendNCPaint();
    Form->Repaint();
  }
  if (!logo_.Empty()) Form->Repaint();
}

void TvpVesperForm::WMNCCalcSize(TMessage& m) {
  m.Result = 0;
  if (BorderStyleNone()) return;
  auto* r = reinterpret_cast<RECT*>(m.LParam);  // the first rectangle of either form
  const plat::Rect w{r->left, r->top, r->right, r->bottom};
  plat::Rect c;
  if (SkinInUse) {
    CalcFrameGeometry();
    c = skinform::SkinClientFromWindow(FrameSkinOf(*skinData_), w);
  } else {
    const bool tool =
        Form->BorderStyle == TBorderStyle::bsToolWindow || Form->BorderStyle == TBorderStyle::bsSizeToolWin;
    c = skinform::DefaultClientFromWindow(w, tool ? 15 : 19);
  }
  *r = RECT{c.Left, c.Top, c.Right, c.Bottom};
}

void TvpVesperForm::WMNCActivate(TMessage& m) {
  HideSkinMenu();
  NCActive = m.WParam != 0;
  formActive_ = NCActive;
  m.Result = 1;
  if (BorderStyleNone()) return;
  SendNCPaint();
  UpdateCaptionState(true);
}

void TvpVesperForm::WMNCPaintToDC(TMessage& m, bool& pass) {
  if (m.LParam != kNCPaintToDCMagic) return;  // someone else's: passed on as it is
  pass = false;
  if (m.WParam && !BorderStyleNone()) PaintFrame(reinterpret_cast<HDC>(m.WParam));
  m.Result = kNCPaintToDCMagic;
}

void TvpVesperForm::WMShowWindow(TMessage& m) {
  if (m.WParam) {
    OnShown();
    NudgeWidth();
  } else {
    OnHidden();
  }
}

// ------------------------------------------------------------ skin change

void TvpVesperForm::BeforeChangeSkinData(TMessage& m) {
  if (reinterpret_cast<TvpSkinData*>(m.WParam) != skinData_ || !skinData_) return;
  SkinChanging = true;
  SkinInUse = false;
  StopTimers();
  ObjectList.clear();
  ActiveObject = OldActiveObject = CaptureObject = -1;
  if (OnBeforeChangeSkinData) OnBeforeChangeSkinData(this);
}

void TvpVesperForm::ChangeSkinData() {
  ActiveObject = OldActiveObject = CaptureObject = -1;
  SkinInUse = skinData_ && !skinData_->SkinEmpty;
  if (SkinInUse) {
    BuildObjects();
    ApplyBorderIcons();
  } else {
    ObjectList.clear();
    SetFrameRegion(false);
  }
  if (!Form->HandleAllocated()) return;
  inSkinChange_ = true;
  EnforceMinimumSize();
  RECT wr;
  GetWindowRect(Form->Handle(), &wr);
  FormWidth = wr.right - wr.left;
  FormHeight = wr.bottom - wr.top;
  if (SkinInUse) UpdateRegion(true);
  // The client area moved under the new frame: the system recomputes it.
  SetWindowPos(Form->Handle(), nullptr, 0, 0, 0, 0,
               SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(Form->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  UpdateCaptionState(true);
  HoverTimer->SetEnabled(true);
  if (OnChangeSkinData) OnChangeSkinData(this);
  inSkinChange_ = false;
  if (!RollUpState && ClientWidth > 0 && ClientHeight > 0) Form->SetClientSize(ClientWidth, ClientHeight);
}

void TvpVesperForm::EnforceMinimumSize() {
  RECT wr;
  GetWindowRect(Form->Handle(), &wr);
  int w = wr.right - wr.left, h = wr.bottom - wr.top;
  const int mw = GetMinWidth(), mh = GetMinHeight();
  const UINT flags = SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE;
  if (w < mw && h < mh) {
    SetWindowPos(Form->Handle(), nullptr, 0, 0, mw, mh, flags);
  } else if (h < mh) {
    SetWindowPos(Form->Handle(), nullptr, 0, 0, w, mh, flags);
  } else if (w < mw) {
    SetWindowPos(Form->Handle(), nullptr, 0, 0, mw, h, flags);
  } else {
    NudgeWidth();
  }
  GetWindowRect(Form->Handle(), &wr);
  w = wr.right - wr.left;
  if (RollUpState || WindowState == wsMinimized)
    SetWindowPos(Form->Handle(), nullptr, 0, 0, WindowState == wsMinimized ? GetMinWidth() : w, GetMinHeight(), flags);
}

}  // namespace vp
