#include "ui/win/surface.h"

namespace gdi {

DibSurface::DibSurface(int width, int height) : width_(width > 0 ? width : 1), height_(height > 0 ? height : 1) {
  // No screen DC needed: a DIB section is selected into a DC made from none.
  dc_ = MemoryDC(nullptr);
  void* bits = nullptr;
  bitmap_ = CreateTopDownDib(dc_.get(), width_, height_, &bits);
  if (!bitmap_ || !bits) return;
  selected_ = std::make_unique<Selected>(dc_.get(), bitmap_);
  view_ = plat::Raster::View(static_cast<uint8_t*>(bits), width_, height_, plat::Raster::StrideFor(width_));
}

plat::Raster& DibSurface::raster() {
  GdiFlush();
  return view_;
}

void DibSurface::Put(int x, int y, const plat::Raster& from) {
  if (from.Empty() || view_.Empty()) return;
  plat::Blit(raster(), x, y, from, plat::Rect{0, 0, from.Width(), from.Height()});
}

void DibSurface::CopyTo(HDC target, int x, int y) const {
  BitBlt(target, x, y, width_, height_, dc_.get(), 0, 0, SRCCOPY);
}

}  // namespace gdi
