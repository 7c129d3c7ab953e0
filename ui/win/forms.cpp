#include <algorithm>

#include "ui/win/controls.h"
#include "ui/win/menus.h"

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner) {
  visible_ = false;
  TabStop = false;
  color_ = clBtnFace;
  ParentFont = false;
  Font().SetName(L"MS Sans Serif");
  Font().SetHeight(-11);
  Font().SetColor(clWindowText);
  if (Application) Application->RegisterForm(this);
}

TForm::~TForm() {
  if (Application) Application->UnregisterForm(this);
  SetMenu(nullptr);
  if (OnDestroy) GuardedCall([&] { OnDestroy(this); });
  DestroyComponents();
  DestroyWnd();
}

void TForm::SetMenu(TMainMenu* m) {
  if (m == menu_) return;
  if (menu_) menu_->form_ = nullptr;
  if (m && m->form_) m->form_->SetMenu(nullptr);
  menu_ = m;
  if (m) m->form_ = this;
  if (HandleAllocated()) {
    ::SetMenu(handle_, m ? m->Handle() : nullptr);
    DrawMenuBar(handle_);
  }
}

void TForm::SetClientSize(int w, int h) {
  clientWidth_ = w;
  clientHeight_ = h;
  if (handle_) {
    // The frame as the window really has it (a hook may draw its own).
    RECT wr, cr;
    GetWindowRect(handle_, &wr);
    GetClientRect(handle_, &cr);
    SetBounds(left_, top_, (wr.right - wr.left) - cr.right + w, (wr.bottom - wr.top) - cr.bottom + h);
    return;
  }
  TCreateParams p;
  CreateParams(p);
  RECT r{0, 0, w, h};
  AdjustWindowRectEx(&r, p.Style & ~WS_VISIBLE, menu_ != nullptr, p.ExStyle);
  SetBounds(left_, top_, r.right - r.left, r.bottom - r.top);
}

RECT TForm::ClientRect() {
  if (HandleAllocated()) {
    RECT r;
    GetClientRect(handle_, &r);
    return r;
  }
  if (clientWidth_ >= 0) return RECT{0, 0, clientWidth_, clientHeight_};
  return RECT{0, 0, width_, height_};
}

void TForm::CreateParams(TCreateParams& p) {
  p.ClassName = L"PlatoraForm";
  p.ExStyle = WS_EX_CONTROLPARENT;
  p.Style = WS_CLIPCHILDREN;
  switch (BorderStyle) {
    case TBorderStyle::bsNone:
      p.Style |= WS_POPUP;
      break;
    case TBorderStyle::bsSingle:
    case TBorderStyle::bsToolWindow:
      p.Style |= WS_CAPTION | WS_BORDER;
      break;
    case TBorderStyle::bsDialog:
      p.Style |= WS_CAPTION | WS_POPUP;
      p.ExStyle |= WS_EX_DLGMODALFRAME;
      break;
    default:
      p.Style |= WS_CAPTION | WS_THICKFRAME;
      break;
  }
  if (BorderStyle != TBorderStyle::bsNone && (BorderIcons & biSystemMenu)) {
    p.Style |= WS_SYSMENU;
    if (BorderStyle != TBorderStyle::bsDialog) {
      if (BorderIcons & biMinimize) p.Style |= WS_MINIMIZEBOX;
      if (BorderIcons & biMaximize) p.Style |= WS_MAXIMIZEBOX;
    }
  }
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  // Secondary forms stay above the main window and out of the task bar; the
  // main form belongs to the application's window, whose title the task bar
  // shows.
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (main && main != this)
    p.WndParent = main->Handle();
  else if (Application && !Application->Title.empty())
    p.WndParent = Application->Handle();
}

void TForm::CreateWnd() {
  TWinControl::CreateWnd();
  if (menu_) ::SetMenu(handle_, menu_->Handle());
  if (clientWidth_ >= 0) {
    // The frame's real size under this window manager.
    RECT wr, cr;
    GetWindowRect(handle_, &wr);
    GetClientRect(handle_, &cr);
    const int w = (wr.right - wr.left) - cr.right + clientWidth_;
    const int h = (wr.bottom - wr.top) - cr.bottom + clientHeight_;
    width_ = w;
    height_ = h;
    SetWindowPos(handle_, nullptr, 0, 0, w, h, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
}

void TForm::AfterConstruction() {
  // Components see a complete form, in creation order.
  for (int i = 0; i < ComponentCount(); ++i) Components(i)->Loaded();
  Loaded();
  // A failing create handler is reported; the form is still usable.
  if (OnCreate) GuardedCall([&] { OnCreate(this); });
}

void TForm::Show() {
  if (visible_ && HandleAllocated() && IsWindowVisible(handle_)) {
    BringToFront();
    return;
  }
  HandleNeeded();
  visible_ = true;
  // A failing show handler is reported; the window still opens.
  if (OnShow) GuardedCall([&] { OnShow(this); });
  if (!shownOnce_) {
    shownOnce_ = true;
    RECT wr;
    GetWindowRect(handle_, &wr);
    const int w = wr.right - wr.left, h = wr.bottom - wr.top;
    if (Position == TPosition::poScreenCenter) {
      const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
      SetBounds((sw - w) / 2, (sh - h) / 2, w, h);
    } else if (Position == TPosition::poMainFormCenter && Application && Application->MainForm() &&
               Application->MainForm() != this) {
      TForm* m = Application->MainForm();
      SetBounds(m->Left() + (m->Width() - w) / 2, m->Top() + (m->Height() - h) / 2, w, h);
    }
  }
  ShowWindow(handle_, SW_SHOW);
  SetForegroundWindow(handle_);
  Perform(CM_SHOWINGCHANGED, 1);
}

void TForm::Hide() {
  if (!visible_) return;
  visible_ = false;
  if (HandleAllocated()) ShowWindow(handle_, SW_HIDE);
  if (OnHide) OnHide(this);
  // Give the activation back to the main window.
  TForm* main = Application ? Application->MainForm() : nullptr;
  if (main && main != this && main->HandleAllocated() && IsWindowVisible(main->handle_))
    SetForegroundWindow(main->handle_);
}

void TForm::Close() {
  bool canClose = true;
  if (OnCloseQuery) OnCloseQuery(this, canClose);
  if (!canClose) return;
  const bool isMain = Application && Application->MainForm() == this;
  TCloseAction action = isMain ? TCloseAction::caFree : TCloseAction::caHide;
  if (OnClose) OnClose(this, action);  // may throw: the close is abandoned
  if (action == TCloseAction::caNone) return;
  if (isMain) {
    Application->Terminate();
    return;
  }
  if (action == TCloseAction::caMinimize) {
    ShowWindow(handle_, SW_MINIMIZE);
  } else {
    Hide();
  }
}

bool TForm::Active() { return HandleAllocated() && GetActiveWindow() == handle_; }

TWinControl* TForm::ActiveControl() {
  HWND f = GetFocus();
  if (!f || !HandleAllocated() || !IsChild(handle_, f)) return nullptr;
  return FromHandle(f);
}

void TForm::WndProc(TMessage& m) {
  if ((m.Msg == WM_MEASUREITEM || m.Msg == WM_DRAWITEM || m.Msg == WM_COMMAND) && TMenu::DispatchMenuMessage(m))
    return;
  switch (m.Msg) {
    case WM_CLOSE:
      Close();
      return;
    case WM_ERASEBKGND: {
      RECT r;
      GetClientRect(handle_, &r);
      FillRect(reinterpret_cast<HDC>(m.WParam), &r, ColorBrush());
      m.Result = 1;
      return;
    }
    case WM_ACTIVATE:
      if (LOWORD(m.WParam) == WA_INACTIVE) {
        lastFocus_ = GetFocus();
        if (lastFocus_ && !IsChild(handle_, lastFocus_)) lastFocus_ = nullptr;
        Perform(CM_DEACTIVATE);
        if (OnDeactivate) OnDeactivate(this);
      } else {
        Perform(CM_ACTIVATE);
        if (OnActivate) OnActivate(this);
      }
      break;
    case WM_SETFOCUS:
      // Focus returns to the control that had it, or the first tab stop.
      if (lastFocus_ && IsWindow(lastFocus_) && IsChild(handle_, lastFocus_)) {
        ::SetFocus(lastFocus_);
      } else if (HWND first = GetNextDlgTabItem(handle_, nullptr, FALSE)) {
        ::SetFocus(first);
      }
      return;
    case DM_GETDEFID:
      if (defaultButton_ && defaultButton_->HandleAllocated()) {
        m.Result = MAKELRESULT(GetDlgCtrlID(defaultButton_->Handle()), DC_HASDEFID);
        return;
      }
      break;
    case WM_COMMAND:
      // Enter and Escape arrive as IDOK/IDCANCEL from the dialog manager.
      if (m.LParam == 0 && (LOWORD(m.WParam) == IDOK || LOWORD(m.WParam) == IDCANCEL)) {
        if (LOWORD(m.WParam) == IDOK && defaultButton_ && defaultButton_->Enabled()) defaultButton_->Click();
        return;
      }
      break;
    case WM_MOVE:
    case WM_SIZE: {
      RECT wr;
      GetWindowRect(handle_, &wr);
      left_ = wr.left;
      top_ = wr.top;
      width_ = wr.right - wr.left;
      height_ = wr.bottom - wr.top;
      break;
    }
    default:
      break;
  }
  TWinControl::WndProc(m);
}
