// Helpers shared by the end-to-end tests.
#pragma once
#include <filesystem>
#include <fstream>
#include <string>

#include "tests/e2e/driver.h"
#include "ui/core/bmp.h"

namespace e2e {

// A settings file that points the program at the loopback screen.
inline void WriteLoopbackSettings(const std::filesystem::path& dir, int showTitle = 0, int saveToCard = 0,
                                  const std::string& ip = "127.0.0.1") {
  std::ofstream f(dir / "messbay.ini", std::ios::binary);
  f << "348    ----\xb4\xb0\xbf\xda\xd7\xf3\xc9\xcf\xbd\xc7\r\n"
    << "195    ----\xb4\xb0\xbf\xda\xd7\xf3\xb6\xa5\xb5\xe3\r\n"
    << ip << "\r\n0\r\n0\r\n0\r\n"
    << showTitle << "\r\n" << saveToCard << "\r\n";
}

inline bool Lit(const plat::Raster& r, int x, int y) { return r.Pixel(x, y) != 0; }

inline bool AnyLit(const plat::Raster& r, plat::Rect a) {
  for (int y = a.Top; y < a.Bottom; ++y)
    for (int x = a.Left; x < a.Right; ++x)
      if (Lit(r, x, y)) return true;
  return false;
}

inline HWND BoardImage(HWND main) { return FindByClassAndSize(main, L"PlatoraImage", 512, 96); }

}  // namespace e2e
