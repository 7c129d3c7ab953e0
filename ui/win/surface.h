// An off-screen 24-bit picture that GDI and the portable pixel routines share.
#pragma once
#include <windows.h>

#include <memory>

#include "ui/core/raster.h"
#include "ui/win/handles.h"

namespace gdi {

// A top-down 24-bit DIB section selected into its own memory DC. GDI draws
// on dc(); the portable pixel routines on raster(); both see the same bits.
// Never smaller than 1 x 1: a DIB section cannot be empty.
class DibSurface {
 public:
  DibSurface(int width, int height);
  DibSurface(const DibSurface&) = delete;
  DibSurface& operator=(const DibSurface&) = delete;

  HDC dc() const { return dc_.get(); }
  HBITMAP bitmap() const { return bitmap_.get(); }
  // GDI is flushed first.
  plat::Raster& raster();
  int Width() const { return width_; }
  int Height() const { return height_; }
  explicit operator bool() const { return static_cast<bool>(bitmap_); }
  // Copies `from` (any raster) to (x, y), clipped.
  void Put(int x, int y, const plat::Raster& from);
  void CopyTo(HDC target, int x, int y) const;

 private:
  int width_, height_;
  MemoryDC dc_;
  Bitmap bitmap_;
  std::unique_ptr<Selected> selected_;
  plat::Raster view_;
};

}  // namespace gdi
