#include "ui/win/dialogs.h"

#include <commdlg.h>

#include <vector>

HWND TCommonDialog::OwnerWindow() {
  HWND active = GetActiveWindow();
  if (active) return active;
  if (Application && Application->MainForm() && Application->MainForm()->HandleAllocated())
    return Application->MainForm()->Handle();
  return nullptr;
}

bool TFontDialog::Execute() {
  LOGFONTW lf = font_.LogFont();
  CHOOSEFONTW cf{};
  cf.lStructSize = sizeof cf;
  cf.hwndOwner = OwnerWindow();
  cf.lpLogFont = &lf;
  cf.Flags = CF_SCREENFONTS | CF_EFFECTS | CF_INITTOLOGFONTSTRUCT;
  cf.rgbColors = ColorToRGB(font_.Color());
  if (!ChooseFontW(&cf)) return false;
  font_.SetLogFont(lf);
  font_.SetColor(cf.rgbColors);
  return true;
}

bool TOpenDialog::Execute() {
  // "a|b|c|d" -> "a\0b\0c\0d\0\0"
  std::wstring filter = Filter;
  for (wchar_t& c : filter)
    if (c == L'|') c = L'\0';
  filter.push_back(L'\0');
  filter.push_back(L'\0');
  std::vector<wchar_t> name(32768, L'\0');
  FileName.copy(name.data(), std::min<size_t>(FileName.size(), name.size() - 1));
  OPENFILENAMEW ofn{};
  ofn.lStructSize = sizeof ofn;
  ofn.hwndOwner = OwnerWindow();
  ofn.lpstrFilter = Filter.empty() ? nullptr : filter.c_str();
  ofn.nFilterIndex = 1;
  ofn.lpstrFile = name.data();
  ofn.nMaxFile = static_cast<DWORD>(name.size());
  ofn.lpstrInitialDir = InitialDir.empty() ? nullptr : InitialDir.c_str();
  ofn.lpstrDefExt = DefaultExt.empty() ? nullptr : DefaultExt.c_str();
  ofn.lpstrTitle = Title.empty() ? nullptr : Title.c_str();
  ofn.Flags = Flags();
  if (!Run(ofn)) return false;
  FileName = name.data();
  return true;
}

TTimer::TTimer(TComponent* AOwner) : TComponent(AOwner) {
  static bool registered = false;
  HINSTANCE inst = GetModuleHandleW(nullptr);
  if (!registered) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = &TTimer::WndProc;
    wc.hInstance = inst;
    wc.lpszClassName = L"PlatoraTimer";
    RegisterClassW(&wc);
    registered = true;
  }
  window_ = CreateWindowExW(0, L"PlatoraTimer", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, inst, nullptr);
  SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  Update();
}

TTimer::~TTimer() {
  if (window_) {
    KillTimer(window_, 1);
    DestroyWindow(window_);
  }
}

void TTimer::SetInterval(unsigned ms) {
  interval_ = ms;
  Update();
}

void TTimer::SetEnabled(bool e) {
  enabled_ = e;
  Update();
}

void TTimer::Update() {
  KillTimer(window_, 1);
  if (enabled_ && interval_ > 0) SetTimer(window_, 1, interval_, nullptr);
}

LRESULT CALLBACK TTimer::WndProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  if (msg == WM_TIMER) {
    auto* t = reinterpret_cast<TTimer*>(GetWindowLongPtrW(h, GWLP_USERDATA));
    if (t && t->OnTimer) GuardedCall([&] { t->OnTimer(t); });
    return 0;
  }
  return DefWindowProcW(h, msg, w, l);
}

std::wstring ExeFolder() {
  std::vector<wchar_t> buf(32768);
  const DWORD n = GetModuleFileNameW(nullptr, buf.data(), static_cast<DWORD>(buf.size()));
  std::wstring path(buf.data(), n);
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}
