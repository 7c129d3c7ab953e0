#include "ui/win/hints.h"

#include "ui/win/handles.h"

// ================================================================ THintWindow

THintWindow::THintWindow(TComponent* AOwner) : TWinControl(AOwner) {
  visible_ = false;
  TabStop = false;
  ParentFont = false;
  color_ = clSystemColor | COLOR_INFOBK;
  NONCLIENTMETRICSW m{};
  m.cbSize = sizeof m;
  if (SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof m, &m, 0)) Font().SetLogFont(m.lfStatusFont);
  Font().SetColor(clSystemColor | COLOR_INFOTEXT);
}

THintWindow::~THintWindow() { canvas_.SetHandle(nullptr); }

void THintWindow::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"PlatoraHintWindow";
  p.Style = WS_POPUP | WS_BORDER;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.ClassStyle = CS_SAVEBITS;
  p.WndParent = nullptr;
}

RECT THintWindow::CalcHintRect(int maxWidth, const std::wstring& hint) {
  gdi::WindowDC screen;
  gdi::MemoryDC dc(screen.get());
  gdi::Selected font(dc.get(), Font().Handle());
  RECT r{0, 0, maxWidth > 0 ? maxWidth : 0, 0};
  DrawTextW(dc.get(), hint.c_str(), static_cast<int>(hint.size()), &r,
            DT_CALCRECT | DT_LEFT | DT_NOPREFIX | (maxWidth > 0 ? DT_WORDBREAK : 0));
  r.right += 6;
  r.bottom += 2;
  return r;
}

void THintWindow::ActivateHint(const RECT& rect, const std::wstring& hint) {
  text_ = hint;
  const RECT need = CalcHintRect(0, hint);
  SetBounds(rect.left, rect.top, need.right - need.left, need.bottom - need.top);
  HWND h = Handle();
  SetWindowTextW(h, hint.c_str());
  SetWindowPos(h, HWND_TOPMOST, rect.left, rect.top, width_, height_, SWP_SHOWWINDOW | SWP_NOACTIVATE);
  visible_ = true;
  InvalidateRect(h, nullptr, TRUE);
}

void THintWindow::ReleaseHandle() {
  if (HandleAllocated() && IsWindowVisible(handle_)) ShowWindow(handle_, SW_HIDE);
  visible_ = false;
}

void THintWindow::Paint() {
  RECT r;
  GetClientRect(handle_, &r);
  canvas_.Brush().SetColor(color_);
  canvas_.FillRect(r);
  canvas_.Font().Assign(Font());
  SetBkMode(canvas_.Handle(), TRANSPARENT);
  InflateRect(&r, -2, -1);
  canvas_.DrawText(text_, r, DT_LEFT | DT_NOPREFIX | DT_WORDBREAK);
}

void THintWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    case WM_NCHITTEST:
      m.Result = HTTRANSPARENT;
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(handle_, &ps);
      canvas_.SetHandle(dc);
      GuardedCall([&] { Paint(); });
      canvas_.SetHandle(nullptr);
      EndPaint(handle_, &ps);
      m.Result = 0;
      return;
    }
    default:
      TWinControl::WndProc(m);
  }
}

// ================================================================ TApplicationHints

TApplicationHints::~TApplicationHints() = default;

void TApplicationHints::SetShowHint(bool v) {
  if (v == showHint_) return;
  showHint_ = v;
  if (!v) {
    window_.reset();
    return;
  }
  window_.reset(HintWindowClass ? HintWindowClass(nullptr) : new THintWindow(nullptr));
}

bool TApplicationHints::ActivateHint(POINT cursorPos, const std::wstring& text, TControl* control) {
  if (!showHint_ || text.empty()) return false;
  if (!window_) window_.reset(HintWindowClass ? HintWindowClass(nullptr) : new THintWindow(nullptr));
  THintInfo info;
  info.HintControl = control;
  info.CursorPos = cursorPos;
  info.HintPos = POINT{cursorPos.x, cursorPos.y + GetSystemMetrics(SM_CYCURSOR)};
  info.HintMaxWidth = GetSystemMetrics(SM_CXSCREEN);
  info.HintStr = text;
  std::wstring hint = text;
  bool canShow = true;
  if (OnShowHint) OnShowHint(hint, canShow, info);
  if (!canShow) return false;
  window_->ActivateHint(RECT{info.HintPos.x, info.HintPos.y, info.HintPos.x, info.HintPos.y}, hint);
  return true;
}

void TApplicationHints::CancelHint() {
  if (window_) window_->ReleaseHandle();
}

TApplicationHints& ApplicationHints() {
  static TApplicationHints hints;
  return hints;
}
