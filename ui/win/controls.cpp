#include "ui/win/controls.h"

#include <algorithm>
#include <mutex>
#include <unordered_map>

#include "ui/core/exceptions.h"
#include "ui/core/utf.h"
#include "ui/win/windowhook.h"

namespace {
// Which object each of our windows belongs to. It is asked on every message
// of every control, so it lives in the process: a window property is a
// question to Wine's server, tens of microseconds each time there.
class WindowObjects {
 public:
  void Set(HWND h, TWinControl* c) {
    std::lock_guard<std::mutex> lock(mutex_);
    map_[h] = c;
  }
  TWinControl* Get(HWND h) {
    std::lock_guard<std::mutex> lock(mutex_);
    const auto it = map_.find(h);
    return it == map_.end() ? nullptr : it->second;
  }
  void Remove(HWND h) {
    std::lock_guard<std::mutex> lock(mutex_);
    map_.erase(h);
  }
  // A window that never reached its last message must not lead a later
  // window with the same handle to a freed object.
  void RemoveAll(const TWinControl* c) {
    std::lock_guard<std::mutex> lock(mutex_);
    for (auto it = map_.begin(); it != map_.end();) it = it->second == c ? map_.erase(it) : std::next(it);
  }

 private:
  std::mutex mutex_;
  std::unordered_map<HWND, TWinControl*> map_;
};

// Never destroyed: windows may still be torn down during the process's exit.
WindowObjects& Objects() {
  static WindowObjects* objects = new WindowObjects;
  return *objects;
}
}  // namespace

// ================================================================ TComponent

TComponent::TComponent(TComponent* AOwner) {
  if (AOwner) AOwner->Insert(this);
}

TComponent::~TComponent() {
  Destroying();
  // Tell everyone who asked, then forget them in both directions.
  std::vector<TComponent*> notify;
  notify.swap(freeNotifies_);
  for (TComponent* c : notify) {
    auto& back = c->freeNotifies_;
    back.erase(std::remove(back.begin(), back.end(), this), back.end());
    c->Notification(this, TOperation::opRemove);
  }
  DestroyComponents();
  if (owner_) {
    TComponent* o = owner_;
    o->Remove(this);
    o->Notification(this, TOperation::opRemove);
  }
}

void TComponent::Insert(TComponent* c) {
  components_.push_back(c);
  c->owner_ = this;
}

void TComponent::Remove(TComponent* c) {
  components_.erase(std::remove(components_.begin(), components_.end(), c), components_.end());
  c->owner_ = nullptr;
}

void TComponent::DestroyComponents() {
  while (!components_.empty()) {
    TComponent* c = components_.back();
    components_.pop_back();
    c->owner_ = nullptr;
    delete c;
  }
}

TComponent* TComponent::FindComponent(const std::wstring& name) const {
  for (TComponent* c : components_)
    if (_wcsicmp(c->Name.c_str(), name.c_str()) == 0) return c;
  return nullptr;
}

void TComponent::FreeNotification(TComponent* other) {
  if (!other || other == this) return;
  if (std::find(freeNotifies_.begin(), freeNotifies_.end(), other) == freeNotifies_.end()) {
    freeNotifies_.push_back(other);
    other->freeNotifies_.push_back(this);
  }
}

void TComponent::RemoveFreeNotification(TComponent* other) {
  freeNotifies_.erase(std::remove(freeNotifies_.begin(), freeNotifies_.end(), other), freeNotifies_.end());
  if (other)
    other->freeNotifies_.erase(std::remove(other->freeNotifies_.begin(), other->freeNotifies_.end(), this),
                               other->freeNotifies_.end());
}

void TComponent::Notification(TComponent*, TOperation) {}

// ================================================================ TControl

TControl::TControl(TComponent* AOwner) : TComponent(AOwner) {
  WindowProc = TWndMethod::Of<&TControl::WndProc>(this);
  font_.OnChange = [this] { FontChanged(); };
}

TControl::~TControl() {
  if (parent_) parent_->RemoveControl(this);
  // Hooks still installed forget the control; their links die with it.
  for (auto& link : hookLinks_)
    if (TWindowHook* h = link->Hook) {
      link->Hook = nullptr;
      h->control_ = nullptr;
      h->link_ = nullptr;
      h->ControlDestroyed();
    }
  WindowProc = TWndMethod{};
}

void TControl::SetParent(TWinControl* p) {
  if (p == parent_) return;
  if (parent_) parent_->RemoveControl(this);
  parent_ = p;
  if (p) {
    p->InsertControl(this);
    if (ParentFont) {
      font_.Assign(p->Font());
      ParentFont = true;
    }
    if (ParentColor) color_ = p->Color();
  }
}

void TControl::SetBounds(int l, int t, int w, int h) {
  left_ = l;
  top_ = t;
  width_ = w;
  height_ = h;
}

RECT TControl::ClientRect() { return RECT{0, 0, width_, height_}; }

void TControl::SetVisible(bool v) { visible_ = v; }

void TControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  Perform(CM_ENABLEDCHANGED);
}

void TControl::SetColor(TColor c) {
  color_ = c;
  ParentColor = false;
  Invalidate();
}

std::wstring TControl::Text() { return text_; }
void TControl::SetText(const std::wstring& t) {
  if (t == text_) return;
  text_ = t;
  Perform(CM_TEXTCHANGED);
}

LRESULT TControl::Perform(UINT msg, WPARAM w, LPARAM l) {
  TMessage m{msg, w, l, 0};
  WindowProc(m);
  return m.Result;
}

void TControl::Click() {
  if (OnClick) OnClick(this);
}

void TControl::WndProc(TMessage& m) {
  // Nothing of its own; windowed controls pass everything on to the system.
  (void)m;
}

TForm* TControl::ParentForm() {
  TControl* c = this;
  while (c->Parent()) c = c->Parent();
  return dynamic_cast<TForm*>(c);
}

// ================================================================ TWinControl

TWinControl::TWinControl(TComponent* AOwner) : TControl(AOwner) {}

TWinControl::~TWinControl() {
  // Owned components first (they may be children of this window).
  DestroyComponents();
  for (TControl* c : std::vector<TControl*>(controls_)) c->SetParent(nullptr);
  DestroyWnd();
  Objects().RemoveAll(this);
}

TWinControl* TWinControl::FromHandle(HWND h) { return h ? Objects().Get(h) : nullptr; }

void TWinControl::InsertControl(TControl* c) {
  controls_.push_back(c);
  if (auto* w = dynamic_cast<TWinControl*>(c)) {
    if (w->tabOrder_ < 0) {
      int n = 0;
      for (TControl* o : controls_)
        if (auto* ow = dynamic_cast<TWinControl*>(o); ow && ow != w && ow->tabOrder_ >= 0) ++n;
      w->tabOrder_ = n;
    }
    if (handle_) w->HandleNeeded();
  }
}

void TWinControl::RemoveControl(TControl* c) {
  controls_.erase(std::remove(controls_.begin(), controls_.end(), c), controls_.end());
  if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyWnd();
}

void TWinControl::SetTabOrder(int t) {
  tabOrder_ = t;
  if (Parent() && Parent()->HandleAllocated()) Parent()->CreateChildHandles();
}

void TWinControl::SetCtl3D(bool v) {
  if (v == ctl3d_) return;
  ctl3d_ = v;
  Perform(CM_CTL3DCHANGED);
  if (handle_) RecreateWnd();
}

void TWinControl::CreateParams(TCreateParams& p) {
  p.Style = WS_CHILD | WS_CLIPSIBLINGS;
  if (visible_) p.Style |= WS_VISIBLE;
  if (!enabled_) p.Style |= WS_DISABLED;
  if (TabStop) p.Style |= WS_TABSTOP;
  p.X = left_;
  p.Y = top_;
  p.Width = width_;
  p.Height = height_;
  p.WndParent = Parent() ? Parent()->Handle() : nullptr;
}

void TWinControl::CreateWnd() {
  TCreateParams p;
  CreateParams(p);
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (WantsOwnClass()) {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    if (!GetClassInfoExW(inst, p.ClassName.c_str(), &wc)) {
      wc = WNDCLASSEXW{};
      wc.cbSize = sizeof wc;
      wc.style = p.ClassStyle;
      wc.lpfnWndProc = &TWinControl::StdWndProc;
      wc.hInstance = inst;
      wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
      wc.lpszClassName = p.ClassName.c_str();
      RegisterClassExW(&wc);
    }
    defWndProc_ = DefWindowProcW;
    handle_ = CreateWindowExW(p.ExStyle, p.ClassName.c_str(), text_.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                              p.WndParent, p.Id, inst, this);
  } else {
    handle_ = CreateWindowExW(p.ExStyle, p.ClassName.c_str(), text_.c_str(), p.Style, p.X, p.Y, p.Width, p.Height,
                              p.WndParent, p.Id, inst, nullptr);
    if (handle_) {
      Objects().Set(handle_, this);
      defWndProc_ = reinterpret_cast<WNDPROC>(
          SetWindowLongPtrW(handle_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&TWinControl::StdWndProc)));
    }
  }
  if (!handle_) throw plat::Exception("Error creating window of class " + plat::WideToUtf8(p.ClassName));
  SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), 0);
  CreateChildHandles();
}

void TWinControl::CreateChildHandles() {
  // Tab stops in tab order first, then the rest in insertion order; the
  // window order is what keyboard navigation follows.
  std::vector<TWinControl*> kids;
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) kids.push_back(w);
  std::stable_sort(kids.begin(), kids.end(), [](TWinControl* a, TWinControl* b) {
    const int ka = a->TabStop ? a->tabOrder_ : 100000;
    const int kb = b->TabStop ? b->tabOrder_ : 100000;
    return ka < kb;
  });
  HWND after = HWND_TOP;
  for (TWinControl* w : kids) {
    w->HandleNeeded();
    SetWindowPos(w->handle_, after, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    after = w->handle_;
  }
}

void TWinControl::DestroyWnd() {
  if (!handle_) return;
  HWND h = handle_;
  DestroyWindow(h);  // WM_NCDESTROY clears handle_
  handle_ = nullptr;
}

void TWinControl::RecreateWnd() {
  if (!handle_) return;
  recreating_ = true;
  Perform(CM_RECREATEWND);
  const bool hadFocus = Focused();
  text_ = Text();
  for (TControl* c : controls_)
    if (auto* w = dynamic_cast<TWinControl*>(c)) w->DestroyWnd();
  DestroyWnd();
  CreateWnd();
  recreating_ = false;
  if (hadFocus) SetFocus();
}

HWND TWinControl::Handle() {
  if (!handle_) CreateWnd();
  return handle_;
}

bool TWinControl::Showing() { return handle_ && IsWindowVisible(handle_); }

void TWinControl::SetBounds(int l, int t, int w, int h) {
  TControl::SetBounds(l, t, w, h);
  if (handle_) SetWindowPos(handle_, nullptr, l, t, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
}

RECT TWinControl::ClientRect() {
  RECT r{0, 0, width_, height_};
  if (handle_) GetClientRect(handle_, &r);
  return r;
}

void TWinControl::SetVisible(bool v) {
  if (v == visible_) return;
  visible_ = v;
  if (handle_) ShowWindow(handle_, v ? SW_SHOWNA : SW_HIDE);
  Perform(CM_VISIBLECHANGED, v);
}

void TWinControl::SetEnabled(bool v) {
  if (v == enabled_) return;
  enabled_ = v;
  if (handle_) EnableWindow(handle_, v);
  Perform(CM_ENABLEDCHANGED);
  Invalidate();
}

void TWinControl::SetColor(TColor c) {
  TControl::SetColor(c);
  for (TControl* k : controls_)
    if (k->ParentColor) {
      k->SetColor(c);
      k->ParentColor = true;
    }
  for (TControl* k : controls_) k->Perform(CM_PARENTCOLORCHANGED);
}

std::wstring TWinControl::Text() {
  if (!handle_) return text_;
  const int n = GetWindowTextLengthW(handle_);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  const int got = GetWindowTextW(handle_, s.data(), n + 1);
  s.resize(static_cast<size_t>(got > 0 ? got : 0));
  return s;
}

void TWinControl::SetText(const std::wstring& t) {
  if (handle_) {
    if (Text() == t) return;
    text_ = t;
    SetWindowTextW(handle_, t.c_str());
  } else {
    if (t == text_) return;
    text_ = t;
  }
  Perform(CM_TEXTCHANGED);
}

void TWinControl::FontChanged() {
  ParentFont = false;
  if (handle_) {
    SendMessageW(handle_, WM_SETFONT, reinterpret_cast<WPARAM>(Font().Handle()), TRUE);
    InvalidateRect(handle_, nullptr, TRUE);
  }
  for (TControl* c : controls_)
    if (c->ParentFont) {
      c->Font().Assign(Font());
      c->ParentFont = true;
    }
}

void TWinControl::SetFocus() {
  if (Handle()) ::SetFocus(handle_);
}

bool TWinControl::Focused() { return handle_ && GetFocus() == handle_; }

bool TWinControl::CanFocus() { return handle_ && IsWindowVisible(handle_) && IsWindowEnabled(handle_); }

void TWinControl::Invalidate() {
  if (handle_) InvalidateRect(handle_, nullptr, TRUE);
}

void TWinControl::Update() {
  if (handle_) UpdateWindow(handle_);
}

void TWinControl::BringToFront() {
  if (!handle_) return;
  SetWindowPos(handle_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  if (!GetParent(handle_)) SetForegroundWindow(handle_);
}

HBRUSH TWinControl::ColorBrush() {
  if (!brush_ || brushColor_ != color_) {
    brush_.reset(CreateSolidBrush(ColorToRGB(color_)));
    brushColor_ = color_;
  }
  return brush_.get();
}

void TWinControl::DefaultHandler(TMessage& m) {
  if (m.Msg >= CM_BASE && m.Msg < CN_BASE + 0x400) return;  // our own notifications
  if (!handle_ || !defWndProc_) return;
  m.Result = CallWindowProcW(defWndProc_, handle_, m.Msg, m.WParam, m.LParam);
}

bool TWinControl::ReflectToChild(TMessage& m) {
  HWND child = nullptr;
  switch (m.Msg) {
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_VSCROLL:
    case WM_HSCROLL:
      child = reinterpret_cast<HWND>(m.LParam);
      break;
    case WM_NOTIFY:
      child = reinterpret_cast<NMHDR*>(m.LParam)->hwndFrom;
      break;
    case WM_DRAWITEM:
      // Menu items carry a menu, not a window: forms route those.
      if (reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->CtlType == ODT_MENU) return false;
      child = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam)->hwndItem;
      break;
    default:
      return false;
  }
  TWinControl* c = FromHandle(child);
  if (!c || c == this) return false;
  m.Result = c->Perform(CN_BASE + m.Msg, m.WParam, m.LParam);
  return true;
}

void TWinControl::WndProc(TMessage& m) {
  if (ReflectToChild(m)) return;
  switch (m.Msg) {
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
    case CN_CTLCOLORBTN: {
      HDC dc = reinterpret_cast<HDC>(m.WParam);
      SetTextColor(dc, ColorToRGB(Font().Color()));
      SetBkColor(dc, ColorToRGB(color_));
      m.Result = reinterpret_cast<LRESULT>(ColorBrush());
      return;
    }
    case WM_MOUSEMOVE:
      if (!mouseInside_) {
        mouseInside_ = true;
        TRACKMOUSEEVENT t{sizeof t, TME_LEAVE, handle_, 0};
        TrackMouseEvent(&t);
        if (enabled_) Perform(CM_MOUSEENTER);
      }
      break;
    case WM_MOUSELEAVE:
      mouseInside_ = false;
      if (enabled_) Perform(CM_MOUSELEAVE);
      break;
    case WM_SETFOCUS:
      DefaultHandler(m);
      Perform(CM_ENTER);
      if (TForm* f = ParentForm()) {
        // Every control of the form hears that the focus moved.
        std::vector<TWinControl*> stack{f};
        while (!stack.empty()) {
          TWinControl* w = stack.back();
          stack.pop_back();
          for (int i = 0; i < w->ControlCount(); ++i) {
            w->Controls(i)->Perform(CM_FOCUSCHANGED, 0, reinterpret_cast<LPARAM>(this));
            if (auto* k = dynamic_cast<TWinControl*>(w->Controls(i))) stack.push_back(k);
          }
        }
      }
      return;
    case WM_KILLFOCUS:
      DefaultHandler(m);
      Perform(CM_EXIT);
      return;
    default:
      break;
  }
  DefaultHandler(m);
}

void TWinControl::MainWndProc(TMessage& m) {
  try {
    WindowProc(m);
  } catch (const std::exception& e) {
    if (Application) Application->HandleException(e);
  }
}

LRESULT CALLBACK TWinControl::StdWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TWinControl* c = Objects().Get(h);
  if (!c) {
    if (msg == WM_NCCREATE) {
      auto* cs = reinterpret_cast<CREATESTRUCTW*>(l);
      c = static_cast<TWinControl*>(cs->lpCreateParams);
      if (c) {
        Objects().Set(h, c);
        c->handle_ = h;
      }
    }
    if (!c) return DefWindowProcW(h, msg, w, l);
  }
  TMessage m{msg, w, l, 0};
  c->MainWndProc(m);
  if (msg == WM_NCDESTROY) {
    Objects().Remove(h);
    WNDPROC def = c->defWndProc_;
    if (c->handle_ == h) c->handle_ = nullptr;
    c->mouseInside_ = false;
    if (def && def != DefWindowProcW) SetWindowLongPtrW(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(def));
  }
  return m.Result;
}

// ================================================================ TApplication

TApplication* Application = nullptr;

TApplication::TApplication() : TComponent(nullptr) { Application = this; }

TApplication::~TApplication() {
  DestroyComponents();
  if (handle_) DestroyWindow(handle_);
  if (Application == this) Application = nullptr;
}

HWND TApplication::Handle() {
  if (handle_) return handle_;
  static const wchar_t kClass[] = L"PlatoraApplication";
  WNDCLASSW wc{};
  if (!GetClassInfoW(GetModuleHandleW(nullptr), kClass, &wc)) {
    wc.lpfnWndProc = AppWndProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
    wc.lpszClassName = kClass;
    RegisterClassW(&wc);
  }
  // Visible but without size: only its task bar button is seen.
  handle_ = CreateWindowExW(0, kClass, Title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_VISIBLE,
                            GetSystemMetrics(SM_CXSCREEN) / 2, GetSystemMetrics(SM_CYSCREEN) / 2, 0, 0, nullptr,
                            nullptr, GetModuleHandleW(nullptr), nullptr);
  return handle_;
}

void TApplication::Minimize() {
  if (minimized_ || !handle_) return;
  minimized_ = true;
  hiddenForms_.clear();
  for (TForm* f : forms_)
    if (f->HandleAllocated() && IsWindowVisible(f->Handle())) hiddenForms_.push_back(f->Handle());
  for (HWND h : hiddenForms_) ShowWindow(h, SW_HIDE);
  ShowWindow(handle_, SW_MINIMIZE);
}

void TApplication::Restore() {
  if (!minimized_ || !handle_) return;
  minimized_ = false;
  ShowWindow(handle_, SW_RESTORE);
  for (HWND h : hiddenForms_)
    if (IsWindow(h)) ShowWindow(h, SW_SHOW);
  hiddenForms_.clear();
  if (mainForm_ && mainForm_->HandleAllocated()) SetForegroundWindow(mainForm_->Handle());
}

LRESULT CALLBACK TApplication::AppWndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TApplication* app = Application && Application->handle_ == h ? Application : nullptr;
  if (app) {
    switch (msg) {
      case WM_SYSCOMMAND:
        switch (w & 0xFFF0) {
          case SC_MINIMIZE:
            app->Minimize();
            return 0;
          case SC_RESTORE:
            app->Restore();
            return 0;
          case SC_CLOSE:
            if (app->mainForm_) GuardedCall([&] { app->mainForm_->Close(); });
            return 0;
          default:
            break;
        }
        break;
      case WM_ACTIVATE:
        // The task bar button activates this window: hand it to the main form.
        if (LOWORD(w) != WA_INACTIVE && !app->minimized_ && app->mainForm_ && app->mainForm_->HandleAllocated() &&
            IsWindowVisible(app->mainForm_->Handle()))
          SetActiveWindow(app->mainForm_->Handle());
        return 0;
      case WM_CLOSE:
        if (app->mainForm_) GuardedCall([&] { app->mainForm_->Close(); });
        return 0;
      default:
        break;
    }
  }
  return DefWindowProcW(h, msg, w, l);
}

void TApplication::Initialize() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_STANDARD_CLASSES | ICC_UPDOWN_CLASS | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&icc);
}

void TApplication::RegisterForm(TForm* f) { forms_.push_back(f); }
void TApplication::UnregisterForm(TForm* f) {
  forms_.erase(std::remove(forms_.begin(), forms_.end(), f), forms_.end());
  if (f == mainForm_) mainForm_ = nullptr;
}

bool TApplication::ProcessMessage(MSG& msg) {
  if (!PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) return false;
  if (msg.message == WM_QUIT) {
    terminated_ = true;
    return true;
  }
  bool handled = false;
  if (OnMessage) OnMessage(msg, handled);
  if (!handled && msg.hwnd) {
    HWND root = GetAncestor(msg.hwnd, GA_ROOT);
    if (root && dynamic_cast<TForm*>(TWinControl::FromHandle(root)) && IsDialogMessageW(root, &msg)) handled = true;
  }
  if (!handled) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return true;
}

void TApplication::ProcessMessages() {
  MSG msg;
  while (ProcessMessage(msg)) {
  }
}

void TApplication::Run() {
  if (handle_) SetWindowTextW(handle_, Title.c_str());
  if (mainForm_) GuardedCall([&] { mainForm_->Show(); });
  MSG msg;
  while (!terminated_) {
    try {
      if (!ProcessMessage(msg)) WaitMessage();
    } catch (const std::exception& e) {
      HandleException(e);
    }
  }
}

void TApplication::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void TApplication::ShowException(const std::wstring& message) {
  if (OnException) {
    OnException(message);
    return;
  }
  HWND owner = GetActiveWindow();
  MessageBoxW(owner, message.c_str(), Title.c_str(), MB_OK | MB_ICONERROR);
}

void TApplication::HandleException(const std::exception& e) {
  const auto* pe = dynamic_cast<const plat::Exception*>(&e);
  ShowException(plat::Utf8ToWide(pe ? pe->Message() : std::string(e.what())));
}

int MessageBoxText(HWND owner, const std::wstring& text, const std::wstring& caption, UINT flags) {
  return MessageBoxW(owner, text.c_str(), caption.c_str(), flags);
}
