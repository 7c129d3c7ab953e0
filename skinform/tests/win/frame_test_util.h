// A form wearing the default skin through the frame, and screen reading, for
// the frame's tests. Pixels are read from the screen (GetDC(nullptr)) at the
// window's place, the way the program is seen.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "skin/core/vpSkinData.h"
#include "skin/win/vpSkinWin.h"
#include "skinform/win/VesperForm.h"
#include "ui/core/raster.h"

namespace frametest {

inline void Pump(int ms = 150) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  do {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(5);
  } while (GetTickCount() < end);
}

// The screen's pixels in `r` (screen coordinates).
inline plat::Raster Grab(const RECT& r) {
  const int w = r.right - r.left, h = r.bottom - r.top;
  TBitmap bmp;
  bmp.SetSize(w, h);
  gdi::WindowDC screen(nullptr);
  BitBlt(bmp.Canvas().Handle(), 0, 0, w, h, screen.get(), r.left, r.top, SRCCOPY);
  GdiFlush();
  const plat::Raster view = bmp.Raster();
  return plat::Raster(view);  // an owning copy: the bitmap goes
}

inline TApplication& App() {
  static TApplication app;
  return app;
}

// A plain top-level window in one colour, to stand behind or take the focus.
class ColourWindow {
 public:
  ColourWindow(COLORREF c, const RECT& r) {
    static bool registered = false;
    if (!registered) {
      WNDCLASSW wc{};
      wc.lpfnWndProc = DefWindowProcW;
      wc.hInstance = GetModuleHandleW(nullptr);
      wc.lpszClassName = L"PlatoraFrameTestColour";
      RegisterClassW(&wc);
      registered = true;
    }
    brush_ = gdi::Brush(CreateSolidBrush(c));
    hwnd_ = CreateWindowExW(0, L"PlatoraFrameTestColour", L"", WS_POPUP | WS_VISIBLE, r.left, r.top,
                            r.right - r.left, r.bottom - r.top, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    SetClassLongPtrW(hwnd_, GCLP_HBRBACKGROUND, reinterpret_cast<LONG_PTR>(brush_.get()));
    InvalidateRect(hwnd_, nullptr, TRUE);
    UpdateWindow(hwnd_);
  }
  ~ColourWindow() { DestroyWindow(hwnd_); }
  HWND Handle() const { return hwnd_; }

 private:
  gdi::Brush brush_;
  HWND hwnd_ = nullptr;
};

// A form with the frame on it and our default skin loaded, as the main
// window has it: the frame before the skin data, the skin read last.
struct SkinnedForm {
  explicit SkinnedForm(int clientWidth = 586, int clientHeight = 440, bool loadSkin = true,
                       const std::wstring& caption = L"PlatoraV1.0.090115") {
    App();
    form = new TForm(nullptr);
    form->BorderStyle = TBorderStyle::bsSingle;
    form->SetText(caption);
    form->SetBounds(40, 40, 0, 0);
    form->SetClientSize(clientWidth, clientHeight);
    frame = new vp::TvpVesperForm(form);
    stored = std::make_unique<vp::TvpCompressedStoredSkin>();
    vp::LoadDefaultSkin(*stored);
    data = std::make_unique<vp::TvpSkinData>();
    sink = std::make_unique<vp::TvpWinSkinMessageSink>(form->Handle());
    data->SetMessageSink(sink.get());
    frame->SetSkinData(data.get());
    if (loadSkin) {
      data->SetCompressedStoredSkin(stored.get());
      form->SetClientSize(clientWidth, clientHeight);
    }
  }
  ~SkinnedForm() {
    data->SetMessageSink(nullptr);
    delete form;  // the frame goes with it
  }
  void Show() {
    form->Show();
    SetForegroundWindow(form->Handle());
    Pump();
  }
  RECT WindowRect() const {
    RECT r;
    GetWindowRect(form->Handle(), &r);
    return r;
  }
  plat::Raster GrabWindow() const { return Grab(WindowRect()); }
  vp::TvpActiveSkinObject* Object(const std::string& name) const {
    for (auto& o : frame->ObjectList)
      if (o->IDName == name) return o.get();
    return nullptr;
  }
  // Screen point in the middle of an object.
  POINT Centre(const std::string& name) const {
    const RECT w = WindowRect();
    const vp::Rect r = Object(name)->ObjectRect;
    return POINT{w.left + (r.Left + r.Right) / 2, w.top + (r.Top + r.Bottom) / 2};
  }
  // A press on the object and a release with the mouse at `release`.
  void Click(const std::string& name, POINT release) {
    const POINT p = Centre(name);
    SetCursorPos(p.x, p.y);
    HWND h = form->Handle();
    const LRESULT hit = SendMessageW(h, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y));
    SendMessageW(h, WM_NCLBUTTONDOWN, static_cast<WPARAM>(hit), MAKELPARAM(p.x, p.y));
    Pump(80);
    SetCursorPos(release.x, release.y);
    Pump(80);
    POINT c = release;
    ScreenToClient(h, &c);
    SendMessageW(h, WM_LBUTTONUP, 0, MAKELPARAM(c.x, c.y));
    Pump(80);
  }

  TForm* form = nullptr;
  vp::TvpVesperForm* frame = nullptr;
  std::unique_ptr<vp::TvpCompressedStoredSkin> stored;
  std::unique_ptr<vp::TvpSkinData> data;
  std::unique_ptr<vp::TvpWinSkinMessageSink> sink;
};

}  // namespace frametest
