#include "raster.h"

#include <algorithm>
#include <cstring>

namespace plat {

Raster::Raster(int width, int height, Color fill) { Resize(width, height, fill); }

Raster Raster::View(uint8_t* bits, int width, int height, int stride) {
  Raster r;
  r.width_ = width;
  r.height_ = height;
  r.stride_ = stride;
  r.bits_ = bits;
  return r;
}

Raster::Raster(const Raster& other) { *this = other; }

Raster& Raster::operator=(const Raster& other) {
  if (this == &other) return *this;
  Allocate(other.width_, other.height_);
  for (int y = 0; y < height_; ++y) std::memcpy(Row(y), other.Row(y), static_cast<size_t>(3) * width_);
  return *this;
}

Raster::Raster(Raster&& other) noexcept { *this = std::move(other); }

Raster& Raster::operator=(Raster&& other) noexcept {
  if (this == &other) return *this;
  width_ = other.width_;
  height_ = other.height_;
  stride_ = other.stride_;
  const bool view = other.owned_.empty();
  owned_ = std::move(other.owned_);
  bits_ = view ? other.bits_ : owned_.data();
  other.width_ = other.height_ = other.stride_ = 0;
  other.bits_ = nullptr;
  other.owned_.clear();
  return *this;
}

void Raster::Allocate(int width, int height) {
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  stride_ = StrideFor(width_);
  owned_.assign(static_cast<size_t>(stride_) * height_, 0);
  bits_ = owned_.empty() ? nullptr : owned_.data();
}

void Raster::Resize(int width, int height, Color fill) {
  Allocate(width, height);
  if (fill != clBlack) Fill(fill);
}

void Raster::Fill(Color c) { FillRect(Rect{0, 0, width_, height_}, c); }

void Raster::FillRect(Rect r, Color c) {
  r.Left = std::max(r.Left, 0);
  r.Top = std::max(r.Top, 0);
  r.Right = std::min(r.Right, width_);
  r.Bottom = std::min(r.Bottom, height_);
  if (r.IsNull()) return;
  const uint8_t b = static_cast<uint8_t>(BlueOf(c)), g = static_cast<uint8_t>(GreenOf(c)),
                rd = static_cast<uint8_t>(RedOf(c));
  for (int y = r.Top; y < r.Bottom; ++y) {
    uint8_t* p = Row(y) + 3 * r.Left;
    for (int x = r.Left; x < r.Right; ++x, p += 3) {
      p[0] = b;
      p[1] = g;
      p[2] = rd;
    }
  }
}

bool Raster::SamePixels(const Raster& other) const {
  if (width_ != other.width_ || height_ != other.height_) return false;
  for (int y = 0; y < height_; ++y)
    if (std::memcmp(Row(y), other.Row(y), static_cast<size_t>(3) * width_) != 0) return false;
  return true;
}

void StretchCopy(Raster& dst, Rect to, const Raster& src, Rect from) {
  const int tw = to.Width(), th = to.Height(), sw = from.Width(), sh = from.Height();
  if (tw <= 0 || th <= 0 || sw <= 0 || sh <= 0) return;
  if (tw == sw && th == sh) {
    Blit(dst, to.Left, to.Top, src, from);
    return;
  }
  for (int ty = 0; ty < th; ++ty) {
    const int dy = to.Top + ty;
    if (dy < 0 || dy >= dst.Height()) continue;
    const int sy = from.Top + static_cast<int>(static_cast<int64_t>(ty) * sh / th);
    if (sy < 0 || sy >= src.Height()) continue;
    const uint8_t* srow = src.Row(sy);
    uint8_t* drow = dst.Row(dy);
    for (int tx = 0; tx < tw; ++tx) {
      const int dx = to.Left + tx;
      if (dx < 0 || dx >= dst.Width()) continue;
      const int sx = from.Left + static_cast<int>(static_cast<int64_t>(tx) * sw / tw);
      if (sx < 0 || sx >= src.Width()) continue;
      std::memcpy(drow + 3 * dx, srow + 3 * sx, 3);
    }
  }
}

void Blit(Raster& dst, int x, int y, const Raster& src, Rect from) {
  // Clip against the source, then against the target.
  if (from.Left < 0) { x -= from.Left; from.Left = 0; }
  if (from.Top < 0) { y -= from.Top; from.Top = 0; }
  from.Right = std::min(from.Right, src.Width());
  from.Bottom = std::min(from.Bottom, src.Height());
  if (x < 0) { from.Left -= x; x = 0; }
  if (y < 0) { from.Top -= y; y = 0; }
  from.Right = std::min(from.Right, from.Left + dst.Width() - x);
  from.Bottom = std::min(from.Bottom, from.Top + dst.Height() - y);
  if (from.IsNull()) return;
  const size_t bytes = static_cast<size_t>(3) * from.Width();
  for (int row = 0; row < from.Height(); ++row)
    std::memmove(dst.Row(y + row) + 3 * x, src.Row(from.Top + row) + 3 * from.Left, bytes);
}

}  // namespace plat
