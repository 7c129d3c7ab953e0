// A 24-bit top-down picture with direct row access. Rows are stored blue,
// green, red with the 4-byte aligned stride 3*w + w%4, the same layout as a
// top-down 24-bit DIB section, so a raster can be a view over a GDI bitmap's
// bits and the portable pixel routines work on GDI pictures without copies.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "geometry.h"

namespace plat {

class Raster {
 public:
  Raster() = default;
  Raster(int width, int height, Color fill = clBlack);
  // A view over memory owned by someone else (a DIB section, a file image).
  static Raster View(uint8_t* bits, int width, int height, int stride);

  Raster(const Raster& other);             // always a deep, owning copy
  Raster& operator=(const Raster& other);  // deep copy into own storage
  Raster(Raster&&) noexcept;
  Raster& operator=(Raster&&) noexcept;
  ~Raster() = default;

  static constexpr int StrideFor(int width) { return 3 * width + (width % 4); }

  int Width() const { return width_; }
  int Height() const { return height_; }
  int Stride() const { return stride_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  bool IsView() const { return owned_.empty() && bits_ != nullptr; }
  uint8_t* Bits() { return bits_; }
  const uint8_t* Bits() const { return bits_; }
  uint8_t* Row(int y) { return bits_ + static_cast<ptrdiff_t>(y) * stride_; }
  const uint8_t* Row(int y) const { return bits_ + static_cast<ptrdiff_t>(y) * stride_; }
  size_t SizeBytes() const { return static_cast<size_t>(stride_) * (height_ > 0 ? height_ : 0); }

  // Resizes an owning raster (content is lost, filled with `fill`).
  void Resize(int width, int height, Color fill = clBlack);

  Color Pixel(int x, int y) const {
    const uint8_t* p = Row(y) + 3 * x;
    return RGBColor(p[2], p[1], p[0]);
  }
  void SetPixel(int x, int y, Color c) {
    uint8_t* p = Row(y) + 3 * x;
    p[0] = static_cast<uint8_t>(BlueOf(c));
    p[1] = static_cast<uint8_t>(GreenOf(c));
    p[2] = static_cast<uint8_t>(RedOf(c));
  }
  // Bounds-checked variants: reads outside give `outside`, writes are dropped.
  Color PixelOr(int x, int y, Color outside) const {
    return (x >= 0 && y >= 0 && x < width_ && y < height_) ? Pixel(x, y) : outside;
  }
  void SetPixelClipped(int x, int y, Color c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) SetPixel(x, y, c);
  }

  void Fill(Color c);
  void FillRect(Rect r, Color c);  // clipped to the raster

  // Same size and same pixels (padding bytes are ignored).
  bool SamePixels(const Raster& other) const;

 private:
  void Allocate(int width, int height);
  int width_ = 0, height_ = 0, stride_ = 0;
  uint8_t* bits_ = nullptr;
  std::vector<uint8_t> owned_;
};

// Copies src rectangle `from` into dst rectangle `to`, scaling by nearest
// pixel when the sizes differ (no smoothing). Both rectangles are clipped to
// their rasters the way a device copy clips: pixels that would come from or go
// outside a raster are skipped.
void StretchCopy(Raster& dst, Rect to, const Raster& src, Rect from);

// Unscaled copy of src rectangle `from` to dst at (x, y), clipped.
void Blit(Raster& dst, int x, int y, const Raster& src, Rect from);

}  // namespace plat
