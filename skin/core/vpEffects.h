// Per-pixel effects on 24-bit top-down pictures: the inactive-frame effects
// and the two-image transitions that caption objects and menu items morph
// with. Portable; the Win32 side (from a bitmap handle, drawing to a device)
// is skin/win/vpEffects_win.h.
#pragma once
#include <cstdint>
#include <string_view>

#include "ui/core/raster.h"

namespace skin {

// The runtime's pseudo-random generator: seed := seed * 134775813 + 1, and
// Random(range) is the high half of seed * range. The seed starts at 0 with
// the program and is never reseeded; tests may set it.
uint32_t& RandSeed();
int Random(int range);

class TvpEffectBmp {
 public:
  TvpEffectBmp() = default;
  TvpEffectBmp(int width, int height);             // content is black
  explicit TvpEffectBmp(const plat::Raster& source);  // a copy of the picture
  explicit TvpEffectBmp(plat::Raster&& source);

  int Width() const { return raster_.Width(); }
  int Height() const { return raster_.Height(); }
  size_t Size() const { return raster_.SizeBytes(); }  // height x stride
  plat::Raster& Pixels() { return raster_; }
  const plat::Raster& Pixels() const { return raster_; }

  uint8_t* ScanLine(int row) { return raster_.Row(row); }
  const uint8_t* ScanLine(int row) const { return raster_.Row(row); }
  // width x 3 bytes; the row's alignment bytes are not touched.
  void GetLine(int row, uint8_t* buffer) const;
  void SetLine(int row, const uint8_t* buffer);
  // The three bytes in memory order as the low three bytes (blue lowest).
  uint32_t GetPixel(int x, int y) const;
  void SetPixel(int x, int y, uint32_t value);
  // Pixel (x, y) goes to (x, height - 1 - y) of the target, which must be at
  // least as large (smaller targets are left alone).
  void FlipVertical(TvpEffectBmp& target) const;

  // Single-image effects.
  void ChangeBrightness(double factor);  // toward white, factor clamped to 0..1
  void ChangeDarkness(double factor);    // toward black, factor clamped to 0..1
  void GrayScale();
  void Invert();
  void SplitBlur(int amount);
  void AddMonoNoise(int amount);

  // Transitions from this picture (old) toward `other` (new) by k; nothing
  // happens when the sizes differ.
  void Morph(const TvpEffectBmp& other, double k);
  void MorphGradient(const TvpEffectBmp& other, double k);
  void MorphHGradient(const TvpEffectBmp& other, double k);
  void MorphVGradient(const TvpEffectBmp& other, double k);
  void MorphLeftGradient(const TvpEffectBmp& other, double k);
  void MorphRightGradient(const TvpEffectBmp& other, double k);
  void MorphPush(const TvpEffectBmp& other, double k);
  void MorphLeftSlide(const TvpEffectBmp& other, double k);
  void MorphRightSlide(const TvpEffectBmp& other, double k);

 private:
  bool SameSize(const TvpEffectBmp& o) const { return o.Width() == Width() && o.Height() == Height(); }
  plat::Raster raster_;
};

// "inactiveeffect" values as the skin reader numbers them.
enum InactiveEffectKind : int {
  ieBrightness = 0,
  ieDarkness = 1,
  ieGrayScale = 2,
  ieNoise = 3,
  ieSplitBlur = 4,
  ieInvert = 5,
};
// "morphkind" values.
enum MorphKindValue : int {
  mkDefault = 0,
  mkGradient = 1,
  mkLeftGradient = 2,
  mkRightGradient = 3,
  mkLeftSlide = 4,
  mkRightSlide = 5,
  mkPush = 6,
};

// The inactive-frame effect with its fixed amount (brightness 0.5, darkness
// 0.3, noise 50, split blur 1). Unknown values do nothing.
void ApplyInactiveEffect(TvpEffectBmp& bmp, int effect);
// By keyword ("iebrightness", ...); a word outside the table gives grey scale.
void ApplyInactiveEffect(TvpEffectBmp& bmp, std::string_view keyword);
// The transition for a morph kind; unknown values morph plainly.
void ApplyMorph(TvpEffectBmp& oldImage, const TvpEffectBmp& newImage, int kind, double k);
// By keyword ("mkdefault", ...); a word outside the table gives Morph.
void ApplyMorph(TvpEffectBmp& oldImage, const TvpEffectBmp& newImage, std::string_view keyword, double k);

}  // namespace skin
