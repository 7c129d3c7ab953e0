// A hidden window that collects the library's notifications (message 1025)
// for tests and the latency harness. Records are copied in the handler,
// which is all the library promises.
#pragma once
#include <windows.h>

#include <chrono>
#include <functional>
#include <vector>

#include "screenlink/LedAPI.h"
#include "ui/win/handles.h"

namespace ledtest {

class NotifyWindow {
 public:
  NotifyWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"LedNotifyTestWindow";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowW(wc.lpszClassName, L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, wc.hInstance,
                          nullptr);
    SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  }
  ~NotifyWindow() { DestroyWindow(hwnd_); }
  HWND Handle() const { return hwnd_; }

  std::vector<TLedNotify> Received;

  // Pumps messages until `count` notifications have arrived in total or the
  // time is up; returns whether they did.
  bool WaitFor(size_t count, int timeoutMs) {
    auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    MSG msg;
    while (Received.size() < count) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      if (Received.size() >= count) break;
      auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - std::chrono::steady_clock::now());
      if (left.count() <= 0) return false;
      MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left.count()), QS_ALLINPUT);
    }
    return true;
  }

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l) {
    if (m == WM_LED_NOTIFY) {
      auto* self = reinterpret_cast<NotifyWindow*>(GetWindowLongPtrW(h, GWLP_USERDATA));
      if (self) self->Received.push_back(*reinterpret_cast<const TLedNotify*>(w));
      return 0;
    }
    return DefWindowProcW(h, m, w, l);
  }
  HWND hwnd_;
};

// A 24-bit memory bitmap with a device context, to hand to AddWindow.
class Picture {
 public:
  Picture(int w, int h)
      : w_(w), h_(h), memory_(nullptr), bmp_(gdi::CreateTopDownDib(memory_.get(), w, h, &bits_)),
        selected_(memory_.get(), bmp_) {}
  HDC Dc() const { return dc_; }
  void Set(int x, int y, COLORREF c) { SetPixelV(dc_, x, y, c); }
  // Fills with noise that differs for every `seed` (and does not compress).
  void Pattern(unsigned seed) {
    GdiFlush();
    const int stride = 3 * w_ + w_ % 4;
    uint32_t x = seed * 2654435761u + 1;
    for (int y = 0; y < h_; ++y)
      for (int i = 0; i < 3 * w_; ++i) {
        x = x * 1664525u + 1013904223u;
        static_cast<uint8_t*>(bits_)[y * stride + i] = static_cast<uint8_t>(x >> 24);
      }
  }
  // Something like a menu board: yellow dish names and prices on black,
  // different for every `seed`.
  void Board(unsigned seed) {
    RECT all{0, 0, w_, h_};
    FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    const gdi::Font font(CreateFontW(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0,
                                     NONANTIALIASED_QUALITY, 0, L"宋体"));
    const gdi::Selected selected(dc_, font);
    SetBkMode(dc_, TRANSPARENT);
    SetTextColor(dc_, RGB(255, 255, 0));
    static const wchar_t* dishes[] = {L"红烧肉", L"宫保鸡丁", L"麻婆豆腐", L"清蒸鱼", L"番茄炒蛋"};
    for (int i = 0; i < 15; ++i) {
      wchar_t line[32];
      wsprintfW(line, L"%s %u", dishes[(i + seed) % 5], (seed * 7 + i) % 30 + 5);
      TextOutW(dc_, (i % 5) * 100, (i / 5) * 30 + 4, line, lstrlenW(line));
    }
  }
  // Sets every pixel from fn(x, y, rgb), written straight into the bitmap.
  template <class Fn>
  void Fill(Fn fn) {
    GdiFlush();
    const int stride = 3 * w_ + w_ % 4;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) {
        uint8_t rgb[3];
        fn(x, y, rgb);
        uint8_t* px = static_cast<uint8_t*>(bits_) + y * stride + 3 * x;
        px[0] = rgb[2];
        px[1] = rgb[1];
        px[2] = rgb[0];
      }
  }
  const uint8_t* Bits() const { GdiFlush(); return static_cast<const uint8_t*>(bits_); }

 private:
  int w_, h_;
  void* bits_ = nullptr;
  gdi::MemoryDC memory_;
  gdi::Bitmap bmp_;
  gdi::Selected selected_;
  HDC dc_ = memory_.get();
};

}  // namespace ledtest
