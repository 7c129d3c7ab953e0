// Window behaviours of the frame (hit testing, size limits, the move and size
// loop, magnetic edges, window states, roll-up, alpha blending) and its
// system menu. The decisions are made by skinform/core (vpFormBehaviour,
// vpSystemMenu); this file asks the window and carries them out.
#include <algorithm>

#include "skin/win/vpUtils_win.h"
#include "skinform/core/vpFormBehaviour.h"
#include "skinform/core/vpSystemMenu.h"
#include "skinform/win/VesperForm.h"
#include "skinpopups/win/vpSkinMenus.h"
#include "ui/core/utf.h"
#include "ui/win/codepage.h"

namespace vp {

static_assert(skinform::hitClient == HTCLIENT && skinform::hitCaption == HTCAPTION && skinform::hitLeft == HTLEFT &&
              skinform::hitBottomRight == HTBOTTOMRIGHT && skinform::hitObject == HTOBJECT);
static_assert(static_cast<int>(skinform::wsMaximized) == static_cast<int>(wsMaximized) &&
              static_cast<int>(skinform::wsMinimized) == static_cast<int>(wsMinimized));

namespace {

constexpr UINT_PTR kFadeTimer = 1;

plat::Rect ToRect(const RECT& r) { return plat::Rect{r.left, r.top, r.right, r.bottom}; }
RECT ToRECT(const plat::Rect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

RECT WindowBounds(HWND h) {
  RECT r{};
  GetWindowRect(h, &r);
  return r;
}

bool LayeredWindowsAvailable() { return skin::IsWindows2000OrLater(); }

void SetLayered(HWND h, bool on) {
  const LONG_PTR ex = GetWindowLongPtrW(h, GWL_EXSTYLE);
  const LONG_PTR want = on ? (ex | WS_EX_LAYERED) : (ex & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
  if (want != ex) SetWindowLongPtrW(h, GWL_EXSTYLE, want);
}

TvpVesperForm* FrameOf(TForm* f) {
  for (int i = 0; i < f->ComponentCount(); ++i)
    if (auto* v = dynamic_cast<TvpVesperForm*>(f->Components(i))) return v;
  return nullptr;
}

}  // namespace

// The parts the behaviours keep: the window-state machine (which works on a
// copy of the frame's state fields, written back before the window is
// touched), the magnet, the standard system menu, the popup engine, and a
// hook under the frame's own that closes an open menu on outside input.
struct TvpVesperForm::MenuParts : skinform::WindowHost, TWindowHook {
  explicit MenuParts(TvpVesperForm& frame) : f(frame), States(*this) {
    Engine = std::make_unique<TvpSkinMenu>(nullptr, f.Form);
    SysMenu = std::make_unique<TPopupMenu>(nullptr);
    if (f.Form) Hook(f.Form);
  }
  ~MenuParts() override {
    if (Engine && Engine->Visible()) Engine->CloseLevels(0);
    RestoreMessageHandler();
    if (UserMenu.Menu) UserMenu.Menu->RemoveFreeNotification(&UserMenu);
  }

  TvpVesperForm& f;
  skinform::TvpWindowStates States;
  skinform::MagnetState Magnet;
  std::unique_ptr<TvpSkinMenu> Engine;
  std::unique_ptr<TPopupMenu> SysMenu;
  bool HandlerSwapped = false;
  std::shared_ptr<char> Life = std::make_shared<char>();
  std::function<void(MSG&, bool&)> SavedHandler;

  // The user's system menu, forgotten when it is freed.
  struct Watch : TComponent {
    Watch() : TComponent(nullptr) {}
    TPopupMenu* Menu = nullptr;
    void Notification(TComponent* c, TOperation op) override {
      TComponent::Notification(c, op);
      if (op == TOperation::opRemove && c == Menu) Menu = nullptr;
    }
  } UserMenu;

  // ---- the state fields, between the frame and the machine
  void Load() {
    States.WindowState = static_cast<skinform::TWindowState>(f.WindowState);
    States.RollUpState = f.RollUpState;
    States.RolledUpWhileMaximized = f.RolledUpWhileMaximized;
    States.RolledUpBeforeMaximize = f.RolledUpBeforeMaximize;
    States.SavedHeight = f.SavedHeight;
    States.RestoreBounds = ToRect(f.RestoreBounds);
    States.FirstPlacementPending = f.FirstPlacementPending;
    States.CanRollUp = (f.BorderIcons() & biRollUp) != 0;
    States.MaximizeOnFullScreen = f.MaximizeOnFullScreen;
    States.PositionInMonitor = static_cast<skinform::TvpPositionInMonitor>(f.PositionInMonitor);
  }
  void Store() {
    f.WindowState = static_cast<TvpWindowState>(States.WindowState);
    f.RollUpState = States.RollUpState;
    f.RolledUpWhileMaximized = States.RolledUpWhileMaximized;
    f.RolledUpBeforeMaximize = States.RolledUpBeforeMaximize;
    f.SavedHeight = States.SavedHeight;
    f.RestoreBounds = ToRECT(States.RestoreBounds);
    f.FirstPlacementPending = States.FirstPlacementPending;
  }
  template <class Fn>
  auto Run(Fn&& fn) {
    Load();
    struct StoreOnExit {
      MenuParts* p;
      ~StoreOnExit() { p->Store(); }
    } guard{this};
    return fn(States);
  }

  HWND Window() { return f.Form->Handle(); }

  // ---- WindowHost
  plat::Rect Bounds() override { return ToRect(WindowBounds(Window())); }
  void SetBounds(const plat::Rect& r) override {
    Store();
    SetWindowPos(Window(), nullptr, r.Left, r.Top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  int ImposedClientHeight() override { return f.ClientHeight; }
  void SetClientHeight(int h) override {
    Store();
    f.Form->SetClientSize(f.ClientWidth > 0 ? f.ClientWidth : f.Form->ClientWidth(), h);
  }
  int MinWidth() override {
    Store();
    return f.GetMinWidth();
  }
  int MinHeight() override {
    Store();
    return f.GetMinHeight();
  }
  plat::Rect WorkArea() override { return ToRect(skin::GetMonitorWorkArea(Window(), true)); }
  plat::Rect MonitorRect() override { return ToRect(skin::GetMonitorWorkArea(Window(), false)); }
  plat::Rect ScreenRect() override {
    return plat::Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  bool IsApplicationMainForm() override { return Application && Application->MainForm() == f.Form; }
  void MinimizeApplication() override {
    Store();
    if (Application->Handle()) Application->Minimize();
  }
  std::vector<plat::Point> MinimizedFormCorners() override {
    std::vector<plat::Point> out;
    if (!Application) return out;
    for (TForm* other : Application->Forms()) {
      if (other == f.Form || !other->HandleAllocated() || !IsWindowVisible(other->Handle())) continue;
      TvpVesperForm* v = FrameOf(other);
      if (v && v->WindowState == wsMinimized && !v->BorderStyleNone()) {
        const RECT r = WindowBounds(other->Handle());
        out.push_back(plat::Point{r.left, r.top});
      }
    }
    return out;
  }
  void AfterRestore(bool sizeChanged) override {
    Store();
    f.HoverTimer->SetEnabled(true);
    if (!sizeChanged) f.NudgeWidth();
    RedrawWindow(Window(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  }
  void Fire(Event e) override {
    Store();
    const TNotifyEvent* ev = nullptr;
    switch (e) {
      case Event::Minimize:
        ev = &f.OnMinimize;
        break;
      case Event::Maximize:
        ev = &f.OnMaximize;
        break;
      case Event::Restore:
        ev = &f.OnRestore;
        break;
      case Event::ChangeRollUpState:
        ev = &f.OnChangeRollUpState;
        break;
    }
    if (ev && *ev) (*ev)(&f);
  }

  // ---- the application's message handler while a menu is open
  void SwapMessageHandler() {
    if (HandlerSwapped || !Application) return;
    SavedHandler = Application->OnMessage;
    Application->OnMessage = [this](MSG& msg, bool& handled) { AppMessage(msg, handled); };
    HandlerSwapped = true;
  }
  void RestoreMessageHandler() {
    if (!HandlerSwapped || !Application) return;
    HandlerSwapped = false;
    Application->OnMessage = std::move(SavedHandler);
    SavedHandler = nullptr;
  }
  void AppMessage(MSG& msg, bool& handled) {
    if (msg.message == WM_KEYDOWN) {
      const WORD key = static_cast<WORD>(msg.wParam);
      msg.message = 0;
      handled = true;
      // A chosen command may free the form, and this with it.
      const std::weak_ptr<char> alive = Life;
      if (Engine->Visible()) Engine->ProcessKey(key);
      if (alive.expired()) return;
      // Escape on the last level leaves nothing open: the menu mode ends.
      if (key == VK_ESCAPE && !Engine->Visible()) f.SkinMenuClosed();
      return;
    }
    if (msg.message == WM_MOUSEWHEEL) {
      msg.message = 0;
      handled = true;
      return;
    }
    if (SavedHandler) SavedHandler(msg, handled);
  }

  // ---- closing from outside: before the frame handles what follows
  void HookWndProc(TMessage& m) override {
    switch (m.Msg) {
      case WM_MOVE:
      case WM_SIZE:
      case WM_ACTIVATE:
      case WM_KILLFOCUS:
      case WM_CANCELMODE:
      case WM_MOUSEACTIVATE:
      case WM_NCLBUTTONDOWN:
      case WM_NCRBUTTONDOWN:
      case WM_NCMBUTTONDOWN:
      case WM_LBUTTONDOWN:
      case WM_RBUTTONDOWN:
      case WM_MBUTTONDOWN:
      case WM_PARENTNOTIFY:
        f.CancelObjectHint();
        f.HideSkinMenu();
        break;
      default:
        break;
    }
    CallPrevious(m);
  }
  void ControlDestroyed() override {}
};

void TvpVesperForm::MenuPartsDeleter::operator()(MenuParts* p) const { delete p; }

void TvpVesperForm::CreateMenuParts() { Menus.reset(new MenuParts(*this)); }

// ---------------------------------------------------------------- hit testing

int TvpVesperForm::HitTest(int X, int Y) {
  skinform::HitTestFrame t;
  const RECT wr = WindowBounds(Form->Handle());
  t.Width = wr.right - wr.left;
  t.Height = wr.bottom - wr.top;
  t.SkinInUse = SkinInUse;
  t.Sizeable = IsSizeable();
  t.Maximized = WindowState == wsMaximized;
  t.Minimized = WindowState == wsMinimized || IsIconic(Form->Handle());
  t.RolledUp = RollUpState;
  t.ObjectActive = ActiveObject != -1;
  t.MoveSizeLoop = MoveSizeLoop;
  for (auto& o : ObjectList)
    if (o->IsCaption() && o->Visible) t.Captions.push_back(o->ObjectRect);
  skinform::MaskPieces mask;
  if (SkinInUse) {
    t.ClientRect = Geometry.NewClientRect;
    t.BorderWidth = skinData_->BorderWidth;
    t.HitLT = Geometry.NewHitTestLT;
    t.HitRT = Geometry.NewHitTestRT;
    t.HitLB = Geometry.NewHitTestLB;
    t.HitRB = Geometry.NewHitTestRB;
    if (!skinData_->FrameMask.Pixels.Empty()) {
      mask = skinform::MaskPieces{&MaskTop, &MaskBottom, &MaskLeft, &MaskRight, Geometry.NewMaskRectArea,
                                  plat::clBlack};
      t.Mask = &mask;
    }
  } else {
    const bool tool =
        Form->BorderStyle == TBorderStyle::bsToolWindow || Form->BorderStyle == TBorderStyle::bsSizeToolWin;
    t.CaptionHeight = tool ? 15 : 19;
    bool visible[7] = {};
    for (auto& o : ObjectList)
      if (auto* b = dynamic_cast<TvpSkinStdButtonObject*>(o.get()); b && b->Visible) visible[b->Command] = true;
    const int size = tool ? 13 : 17;
    const int sysW = ShowIcon() ? GetSystemMetrics(SM_CXSMICON) : size;
    t.DefaultCaption = skinform::LayoutDefaultFrame(t.Width, t.CaptionHeight, size, visible, sysW).Caption;
  }
  return skinform::FrameHitTest(t, plat::Point{X, Y});
}

void TvpVesperForm::WMNCHitTest(TMessage& m) {
  const POINT p = WindowPoint(m.LParam);
  m.Result = HitTest(p.x, p.y);
  LastHitCode = static_cast<int>(m.Result);
  if (!HoverTimer->Enabled() && m.Result == HTOBJECT) {
    TestActive(p.x, p.y, true);
    HoverTimer->SetEnabled(true);
  }
}

void TvpVesperForm::WMSetCursor(TMessage& m) {
  if (!UseFormCursorInNCArea) return;
  const int code = skinform::CursorHitCode(static_cast<short>(LOWORD(m.LParam)), true);
  m.LParam = MAKELPARAM(static_cast<WORD>(code), HIWORD(m.LParam));
}

// ---------------------------------------------------------------- size limits

namespace {

skinform::SizeLimitInput LimitInput(TvpVesperForm& f, TvpSkinData* sd, int minW, int minH, int maxW, int maxH) {
  skinform::SizeLimitInput in;
  in.SkinInUse = f.SkinInUse && sd;
  if (in.SkinInUse) {
    in.PictureWidth = sd->FramePicture.Width;
    in.PictureHeight = sd->FramePicture.Height;
    in.SkinClientRect = sd->ClientRect;
    in.FormMinWidth = sd->FormMinWidth;
  }
  in.MinWidth = minW;
  in.MinHeight = minH;
  in.MaxWidth = maxW;
  in.MaxHeight = maxH;
  in.Minimized = f.WindowState == wsMinimized;
  in.RolledUp = f.RollUpState;
  in.ToolWindow = f.Form->BorderStyle == TBorderStyle::bsToolWindow ||
                  f.Form->BorderStyle == TBorderStyle::bsSizeToolWin;
  in.MaximizeOnFullScreen = f.MaximizeOnFullScreen;
  if (f.Form->HandleAllocated()) {
    in.WorkArea = ToRect(skin::GetMonitorWorkArea(f.Form->Handle(), true));
    in.MonitorRect = ToRect(skin::GetMonitorWorkArea(f.Form->Handle(), false));
  } else {
    in.WorkArea = in.MonitorRect = plat::Rect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  }
  return in;
}

}  // namespace

int TvpVesperForm::GetMinWidth() {
  return skinform::LimitMinWidth(LimitInput(*this, skinData_, MinWidth, MinHeight, MaxWidth, MaxHeight));
}
int TvpVesperForm::GetMinHeight() {
  return skinform::LimitMinHeight(LimitInput(*this, skinData_, MinWidth, MinHeight, MaxWidth, MaxHeight));
}
int TvpVesperForm::GetMaxWidth() {
  return skinform::LimitMaxWidth(LimitInput(*this, skinData_, MinWidth, MinHeight, MaxWidth, MaxHeight));
}
int TvpVesperForm::GetMaxHeight() {
  return skinform::LimitMaxHeight(LimitInput(*this, skinData_, MinWidth, MinHeight, MaxWidth, MaxHeight));
}

void TvpVesperForm::WMGetMinMaxInfo(TMessage& m) {
  auto* mmi = reinterpret_cast<MINMAXINFO*>(m.LParam);
  mmi->ptMinTrackSize = POINT{GetMinWidth(), GetMinHeight()};
  mmi->ptMaxTrackSize = POINT{GetMaxWidth(), GetMaxHeight()};
}

// ------------------------------------------------------- move and size loop

void TvpVesperForm::WMEnterSizeMove(TMessage&) {
  GetCursorPos(&MagnetAnchor);
  Menus->Magnet.Anchor = plat::Point{MagnetAnchor.x, MagnetAnchor.y};
  ResetObjects();
  HoverTimer->SetEnabled(false);
  ActiveObject = CaptureObject = -1;
  MoveSizeLoop = true;
  BOOL full = FALSE;
  SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
  FullDrag = full != FALSE;
}

void TvpVesperForm::WMExitSizeMove(TMessage&) {
  HoverTimer->SetEnabled(false);
  ActiveObject = OldActiveObject = CaptureObject = -1;
  if (SkinInUse) SendNCPaint();
}

bool TvpVesperForm::WMSizing(TMessage& m) {
  if (!(MoveSizeLoop && FullDrag)) return false;
  ClearMagnetLatches();
  CallSaved(m);
  const RECT* r = reinterpret_cast<const RECT*>(m.LParam);
  const int w = r->right - r->left, h = r->bottom - r->top;
  const RECT cur = WindowBounds(Form->Handle());
  const int cw = cur.right - cur.left, ch = cur.bottom - cur.top;
  FormWidth = w;
  FormHeight = h;
  // Only a real change of size reshapes the window while it is dragged.
  if (skinData_ && cw >= GetMinWidth() && ch >= GetMinHeight() && (w != cw || h != ch)) UpdateRegion(true);
  return true;
}

void TvpVesperForm::WMMoving(TMessage& m) {
  auto* r = reinterpret_cast<RECT*>(m.LParam);
  if (WindowState == wsMaximized) {
    *r = WindowBounds(Form->Handle());
    return;
  }
  if (!Magnetic) return;
  POINT c;
  GetCursorPos(&c);
  skinform::MagnetState& s = Menus->Magnet;
  s.Left = MagnetLatch[0];
  s.Top = MagnetLatch[1];
  s.Right = MagnetLatch[2];
  s.Bottom = MagnetLatch[3];
  s.Anchor = plat::Point{MagnetAnchor.x, MagnetAnchor.y};
  const plat::Rect moved = skinform::MagneticMove(s, ToRect(*r), ToRect(skin::GetMonitorWorkArea(Form->Handle(), true)),
                                                  plat::Point{c.x, c.y}, MagneticSize);
  MagnetLatch[0] = s.Left;
  MagnetLatch[1] = s.Top;
  MagnetLatch[2] = s.Right;
  MagnetLatch[3] = s.Bottom;
  MagnetAnchor = POINT{s.Anchor.X, s.Anchor.Y};
  *r = ToRECT(moved);
}

void TvpVesperForm::ClearMagnetLatches() {
  MagnetLatch[0] = MagnetLatch[1] = MagnetLatch[2] = MagnetLatch[3] = false;
}

// ---------------------------------------------------------------- sys command

bool TvpVesperForm::WMSysCommand(TMessage& m) {
  const WPARAM cmd = m.WParam & 0xFFF0;
  if (cmd == SC_RESTORE && OnRestore) OnRestore(this);
  if (cmd != SC_KEYMENU) return true;
  // Alt+Space comes here as the key menu with the space: the system menu
  // opens under its button. Alt or F10 alone only close an open menu. The
  // native menu never shows.
  if (LOWORD(m.LParam) == VK_SPACE) {
    // Only Alt+Space itself: with Shift or Ctrl held as well nothing opens.
    // (The key menu comes with the space only while Alt is held.)
    const auto down = [](int vk) { return GetKeyState(vk) < 0; };
    if (skinform::IsSystemMenuKey(VK_SPACE, down(VK_SHIFT), down(VK_CONTROL), true)) ShowSystemMenuForKey();
  } else if (Menus->Engine->Visible()) {
    SkinMenuClosed();
    Menus->Engine->CloseLevels(0);
  }
  m.Result = 0;
  return false;
}

// ---------------------------------------------------------------- show, alpha

void TvpVesperForm::OnShown() {
  Menus->Run([](skinform::TvpWindowStates& s) { s.FirstShow(); });
  if (LayeredWindowsAvailable() && (alphaBlend_ || AlphaBlendAnimation)) {
    SetLayered(Form->Handle(), true);
    skin::SetWindowAlpha(Form->Handle(), 0);
    SetTimer(Form->Handle(), kFadeTimer, 1, nullptr);
  }
}

void TvpVesperForm::OnHidden() {
  if (alphaBlend_ && LayeredWindowsAvailable()) SetLayered(Form->Handle(), false);
}

void TvpVesperForm::WMFadeTimer(TMessage&) {
  HWND h = Form->Handle();
  // One tick only, whatever was switched meanwhile.
  KillTimer(h, kFadeTimer);
  if (!LayeredWindowsAvailable()) return;
  if (!(alphaBlend_ || AlphaBlendAnimation)) {
    // Both were switched off before the fade began: the window was made
    // layered at opacity 0 on show and nothing else would make it visible.
    SetLayered(h, false);
    return;
  }
  const int target = (AlphaBlendAnimation && !alphaBlend_) ? 255 : alphaBlendValue_;
  if (AlphaBlendAnimation) {
    if (Application) Application->ProcessMessages();
    if (!Form || !Form->HandleAllocated()) return;
    DWORD last = 0;
    bool first = true;
    for (int a : skinform::FadeInSteps(target)) {
      // The steps come at least 5 ms apart; the first at once.
      while (!first && GetTickCount() - last <= 5) Sleep(0);
      first = false;
      last = GetTickCount();
      skin::SetWindowAlpha(h, static_cast<BYTE>(a));
    }
  } else if (target != 255) {
    skin::SetWindowAlpha(h, alphaBlendValue_);
  }
  if (target == 255) SetLayered(h, false);
}

void TvpVesperForm::SetAlphaBlend(bool v) {
  if (v == alphaBlend_) return;
  alphaBlend_ = v;
  if ((ComponentState() & (csLoading | csDesigning)) || !LayeredWindowsAvailable()) return;
  if (!Form || !Form->HandleAllocated()) return;
  SetLayered(Form->Handle(), v);
  if (v) skin::SetWindowAlpha(Form->Handle(), alphaBlendValue_);
}

void TvpVesperForm::SetAlphaBlendValue(BYTE v) {
  if (v == alphaBlendValue_) return;
  alphaBlendValue_ = v;
  if (!alphaBlend_ || (ComponentState() & (csLoading | csDesigning)) || !LayeredWindowsAvailable()) return;
  if (Form && Form->HandleAllocated()) skin::SetWindowAlpha(Form->Handle(), v);
}

// ---------------------------------------------------------------- window states

void TvpVesperForm::SetWindowState(TvpWindowState State) {
  Menus->Run([&](skinform::TvpWindowStates& s) { s.SetWindowState(static_cast<skinform::TWindowState>(State)); });
  SendNCPaint();
}

void TvpVesperForm::Minimize() {
  Menus->Run([](skinform::TvpWindowStates& s) { s.Minimize(); });
}

void TvpVesperForm::Maximize() {
  Menus->Run([](skinform::TvpWindowStates& s) { s.Maximize(); });
}

void TvpVesperForm::Restore() {
  Menus->Run([](skinform::TvpWindowStates& s) { s.Restore(); });
}

void TvpVesperForm::SetRollUpState(bool Value) {
  const bool done = Menus->Run([&](skinform::TvpWindowStates& s) { return s.SetRollUpState(Value); });
  if (done) SendNCPaint();
}

// The tray icon is not part of this program: without one both do nothing.
void TvpVesperForm::MinimizeToTray() {}
void TvpVesperForm::RestoreFromTray() {}

void TvpVesperForm::CaptionDblClick() {
  switch (skinform::CaptionDoubleClick(IsSizeable(), static_cast<skinform::TWindowState>(WindowState), RollUpState,
                                       RolledUpWhileMaximized, (BorderIcons() & biMaximize) != 0)) {
    case skinform::CaptionDblClick::Restore:
      SetWindowState(wsNormal);
      break;
    case skinform::CaptionDblClick::Maximize:
      SetWindowState(wsMaximized);
      break;
    case skinform::CaptionDblClick::ToggleRollUp:
      SetRollUpState(!RollUpState);
      break;
  }
}

// ---------------------------------------------------------------- system menu

namespace {

std::wstring CaptionFor(const skinform::SysMenuItem& item, TvpSkinData* sd) {
  if (sd && sd->ResourceStrData()) {
    // The skin's strings are bytes of its file, read as the hints read them.
    const std::string s = sd->ResourceStrData()->GetResStr(item.CaptionKey);
    if (!s.empty()) return plat::FromFileBytes(s);
  }
  return plat::Utf8ToWide(item.Caption);  // the program's own, in its source
}

}  // namespace

void TvpVesperForm::RunSystemMenuCommand(int command) {
  using skinform::SysMenuAction;
  switch (skinform::ActionFor(static_cast<skinform::SysMenuCommand>(command),
                              static_cast<skinform::TWindowState>(WindowState), RollUpState, RolledUpWhileMaximized,
                              AlwaysMinimizeToTray)) {
    case SysMenuAction::MinimizeToTray:
      MinimizeToTray();
      break;
    case SysMenuAction::SetMinimized:
      SetWindowState(wsMinimized);
      break;
    case SysMenuAction::SetMaximized:
      SetWindowState(wsMaximized);
      break;
    case SysMenuAction::RollDown:
      SetRollUpState(false);
      break;
    case SysMenuAction::SetNormal:
      SetWindowState(wsNormal);
      break;
    case SysMenuAction::RollUp:
      SetRollUpState(true);
      break;
    case SysMenuAction::Close:
      // The form's own close: its handlers write what they keep.
      GuardedCall([&] { Form->Close(); });
      break;
    case SysMenuAction::None:
      break;
  }
}

namespace {

TMenuItem* NewSystemMenuItem(TvpVesperForm* frame, TComponent* owner, const skinform::SysMenuItem& item,
                             TvpSkinData* sd) {
  auto* mi = new TMenuItem(owner);
  mi->Name = plat::Utf8ToWide(item.Name);
  mi->Caption = item.Command == skinform::SysMenuCommand::Separator ? L"-" : CaptionFor(item, sd);
  if (item.Command == skinform::SysMenuCommand::Close) mi->ShortCut = ShortCut(VK_F4, scAlt);
  if (item.Command != skinform::SysMenuCommand::Separator) {
    const int command = static_cast<int>(item.Command);
    mi->OnClick = [frame, command](TObject*) { frame->RunSystemMenuCommand(command); };
  }
  return mi;
}

}  // namespace

TPopupMenu* TvpVesperForm::SystemMenu() const { return Menus ? Menus->UserMenu.Menu : nullptr; }

void TvpVesperForm::SetSystemMenu(TPopupMenu* menu) {
  auto& w = Menus->UserMenu;
  if (w.Menu == menu) return;
  if (w.Menu) w.Menu->RemoveFreeNotification(&w);
  w.Menu = menu;
  if (menu) menu->FreeNotification(&w);
}

TMenuItem* TvpVesperForm::GetSystemMenuItems() {
  skinform::SysMenuState s;
  s.State = static_cast<skinform::TWindowState>(WindowState);
  s.RolledUp = RollUpState;
  s.CanMinimize = (BorderIcons() & biMinimize) != 0;
  s.CanMaximize = (BorderIcons() & biMaximize) != 0;
  s.CanRollUp = (BorderIcons() & biRollUp) != 0;
  s.CanMinimizeToTray = (BorderIcons() & biMinimizeToTray) != 0;

  if (TPopupMenu* user = SystemMenu()) {
    TMenuItem* root = user->Items();
    if (!UseDefaultSysMenu) return root;
    // The standard items of the last request go; the user's own stay.
    std::vector<std::string> names;
    for (int i = 0; i < root->Count(); ++i) names.push_back(plat::WideToUtf8(root->Items(i)->Name));
    for (int i = root->Count() - 1; i >= 0; --i)
      if (skinform::IsStandardItemName(names[static_cast<size_t>(i)])) delete root->Items(i);
    int at = 0;
    for (const skinform::MergedEntry& e : skinform::MergeSystemMenu(names, s)) {
      if (!e.Standard) {
        ++at;
        continue;
      }
      TMenuItem* mi = NewSystemMenuItem(this, user, e.Item, skinData_);
      if (e.Item.Command == skinform::SysMenuCommand::Close) {
        root->Add(mi);
      } else {
        root->Insert(at++, mi);
      }
    }
    return root;
  }

  TMenuItem* root = Menus->SysMenu->Items();
  while (root->Count() > 0) delete root->Items(root->Count() - 1);
  for (const skinform::SysMenuItem& item : skinform::BuildStandardSystemMenu(s))
    root->Add(NewSystemMenuItem(this, Menus->SysMenu.get(), item, skinData_));
  return root;
}

void TvpVesperForm::MarkSkinMenuOpen() {
  Menus->SwapMessageHandler();
  if (!SkinMenuOpen) {
    SkinMenuOpen = true;
    if (OnSkinMenuOpen) OnSkinMenuOpen(this);
  }
}

void TvpVesperForm::ShowSystemMenu(const RECT& under) {
  TMenuItem* items = GetSystemMenuItems();
  MarkSkinMenuOpen();
  TvpSkinMenu& e = *Menus->Engine;
  if (MaxMenuItemsInWindow >= 0) e.MaxMenuItemsInWindow = MaxMenuItemsInWindow;
  e.MenusAlphaBlend = MenusAlphaBlend;
  e.MenusAlphaBlendAnimation = MenusAlphaBlendAnimation;
  e.MenusAlphaBlendValue = MenusAlphaBlendValue;
  e.UseSkinFontInMenu = UseSkinFontInMenu;
  e.SetDefMenuItemHeight(DefMenuItemHeight);
  e.DefMenuItemFont().Assign(defMenuItemFont_);
  e.Popup(nullptr, MenusSkinData ? MenusSkinData : skinData_, false, items, under, 0);
}

void TvpVesperForm::ShowSystemMenuAt(int X, int Y) { ShowSystemMenu(RECT{X, Y, X, Y}); }

void TvpVesperForm::DropDownSystemMenu(const RECT& under, TvpActiveSkinObject* button) {
  // The button holds the menu while it is open, so it stays pressed.
  TMenuItem* items = GetSystemMenuItems();
  if (auto* b = dynamic_cast<TvpSkinButtonObject*>(button)) b->Menu = items;
  if (auto* a = dynamic_cast<TvpSkinAnimateObject*>(button)) {
    a->Menu = items;
    a->MenuShown = true;
  }
  ShowSystemMenu(under);
}

void TvpVesperForm::ShowSystemMenuForKey() {
  if (!(BorderIcons() & biSystemMenu)) return;
  const RECT wr = WindowBounds(Form->Handle());
  for (auto& o : ObjectList) {
    const auto* b = dynamic_cast<TvpSkinStdButtonObject*>(o.get());
    const auto* a = dynamic_cast<TvpSkinAnimateObject*>(o.get());
    const int command = b ? b->Command : a ? a->Command : -1;
    if (command != skinform::cmSysMenu || !o->Enabled) continue;
    RECT r = ToRECT(o->ObjectRect);
    OffsetRect(&r, wr.left, wr.top);
    ShowSystemMenu(r);
  }
}

void TvpVesperForm::DropDownMenu(TMenuItem* menu, const RECT& under, bool popupUp) {
  MarkSkinMenuOpen();
  Menus->Engine->Popup(nullptr, MenusSkinData ? MenusSkinData : skinData_, popupUp, menu, under, 0);
}

void TvpVesperForm::HideSkinMenu() {
  if (!Menus) return;
  if (Menus->Engine->Visible()) {
    Menus->Engine->CloseMenu();  // tells the form: SkinMenuClosed follows
  } else if (SkinMenuOpen) {
    SkinMenuClosed();
  }
}

void TvpVesperForm::WMSkinMenuClosed(TMessage&) { SkinMenuClosed(); }

void TvpVesperForm::SkinMenuClosed() {
  SkinMenuOpen = false;
  ReleaseMenuCaptionObject();
  Menus->RestoreMessageHandler();
  if (OnSkinMenuClose) OnSkinMenuClose(this);
}

void TvpVesperForm::ReleaseMenuCaptionObject() {
  bool released = false;
  for (auto& o : ObjectList) {
    if (auto* b = dynamic_cast<TvpSkinButtonObject*>(o.get()); b && b->Menu && b->Pressed) {
      // The system menu's items are rebuilt for every request: the button
      // takes them afresh on its next press. A button's own menu stays.
      if (auto* sys = dynamic_cast<TvpSkinStdButtonObject*>(b); sys && sys->Command == skinform::cmSysMenu)
        b->Menu = nullptr;
      b->SetPressed(false);
      released = true;
      break;
    }
  }
  if (!released) {
    for (auto& o : ObjectList) {
      if (auto* a = dynamic_cast<TvpSkinAnimateObject*>(o.get()); a && a->MenuShown) {
        a->Highlighted = true;
        a->CurrentFrame = a->CountFrames;
        a->Pressed = false;
        a->MenuShown = false;
        a->Forward = false;
        StartAnimation();
        break;
      }
    }
  }
}

bool TvpVesperForm::SkinMenuVisible() const { return Menus && Menus->Engine->Visible(); }
TvpSkinMenu* TvpVesperForm::SkinMenu() const { return Menus ? Menus->Engine.get() : nullptr; }

}  // namespace vp
