#include "ledscreen/app/view_win.h"

#include <algorithm>

#include "ledscreen/core/screen.h"
#include "ui/core/utf.h"

namespace ledscreen {

View::View(int width, int height, int pitch, const std::string& title) : pitch_(pitch) {
  // Narrow the dots rather than run off the display.
  const int fit = (GetSystemMetrics(SM_CXSCREEN) - 16) / std::max(width, 1);
  pitch_ = std::clamp(std::min(pitch_, fit), 1, 16);
  dots_ = LedDots(plat::Raster(width, height), pitch_);
  WNDCLASSW wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = L"LedScreenView";
  RegisterClassW(&wc);
  RECT r{0, 0, dots_.Width(), dots_.Height()};
  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  AdjustWindowRect(&r, style, FALSE);
  hwnd_ = CreateWindowW(wc.lpszClassName, plat::Utf8ToWide(title).c_str(), style, CW_USEDEFAULT, CW_USEDEFAULT,
                        r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

View::~View() {
  if (hwnd_ && IsWindow(hwnd_)) DestroyWindow(hwnd_);
}

void View::Update(const plat::Raster& picture) {
  plat::Raster dots = LedDots(picture, pitch_);
  {
    std::lock_guard lock(mu_);
    dots_ = std::move(dots);
  }
  InvalidateRect(hwnd_, nullptr, FALSE);
}

void View::Paint(HDC dc) {
  std::lock_guard lock(mu_);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = dots_.Width();
  bi.bmiHeader.biHeight = -dots_.Height();
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  SetDIBitsToDevice(dc, 0, 0, dots_.Width(), dots_.Height(), 0, 0, 0, dots_.Height(), dots_.Bits(), &bi,
                    DIB_RGB_COLORS);
}

LRESULT CALLBACK View::Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
  auto* self = reinterpret_cast<View*>(GetWindowLongPtrW(h, GWLP_USERDATA));
  switch (m) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(h, &ps);
      if (self) self->Paint(dc);
      EndPaint(h, &ps);
      return 0;
    }
    case WM_ERASEBKGND:
      return 1;
    case WM_DESTROY:
      if (self) self->hwnd_ = nullptr;
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(h, m, w, l);
}

void View::Run(const std::atomic<bool>& stop) {
  MSG msg;
  while (!stop) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) return;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

}  // namespace ledscreen
