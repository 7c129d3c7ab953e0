// The live view on Windows (and under Wine): a window showing the screen as
// LED dots, repainted whenever the picture changes.
#pragma once
#include <windows.h>

#include <atomic>
#include <mutex>
#include <string>

#include "ui/core/raster.h"

namespace ledscreen {

class View {
 public:
  View(int width, int height, int pitch, const std::string& title);
  ~View();
  void Update(const plat::Raster& picture);  // any thread
  void Run(const std::atomic<bool>& stop);   // message loop on the creating thread

 private:
  static LRESULT CALLBACK Proc(HWND h, UINT m, WPARAM w, LPARAM l);
  void Paint(HDC dc);

  HWND hwnd_ = nullptr;
  int pitch_;
  std::mutex mu_;
  plat::Raster dots_;
};

}  // namespace ledscreen
