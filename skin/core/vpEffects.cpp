#include "vpEffects.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace skin {

namespace {

// Round half to even (the default rounding mode), then clamp to a channel.
inline uint8_t Channel(double v) {
  const long n = std::lrint(v);
  return static_cast<uint8_t>(n < 0 ? 0 : (n > 255 ? 255 : n));
}

inline double Clamp01(double f) { return f < 0 ? 0 : (f > 1 ? 1 : f); }

// One channel: weight w keeps the old value, 1 - w takes the new one.
inline uint8_t Blend(uint8_t a, uint8_t b, double w) { return Channel(w * a + (1 - w) * b); }

inline void BlendPixel(uint8_t* a, const uint8_t* b, double w) {
  a[0] = Blend(a[0], b[0], w);
  a[1] = Blend(a[1], b[1], w);
  a[2] = Blend(a[2], b[2], w);
}

inline void CopyPixel(uint8_t* a, const uint8_t* b) { std::memcpy(a, b, 3); }

// f(row of a, the same row of b) for every row: most morphs work a row at a
// time.
template <class F>
void EachRowPair(plat::Raster& a, const plat::Raster& b, F f) {
  for (int y = 0; y < a.Height(); ++y) f(a.Row(y), b.Row(y));
}

// The columns a sideways morph has reached at k: at least one, and one short
// of the whole width.
int ReachedColumns(int width, double k) {
  int n = static_cast<int>(std::lrint(width * k));
  if (n < 1) n = 1;
  if (n > width - 1) n = width - 1;
  return n;
}

}  // namespace

uint32_t& RandSeed() {
  static uint32_t seed = 0;
  return seed;
}

int Random(int range) {
  uint32_t& seed = RandSeed();
  seed = seed * 134775813u + 1u;
  return static_cast<int>((static_cast<uint64_t>(seed) * static_cast<uint32_t>(range)) >> 32);
}

TvpEffectBmp::TvpEffectBmp(int width, int height) : raster_(width, height) {}
TvpEffectBmp::TvpEffectBmp(const plat::Raster& source) : raster_(source) {}
TvpEffectBmp::TvpEffectBmp(plat::Raster&& source) : raster_(std::move(source)) {}

void TvpEffectBmp::GetLine(int row, uint8_t* buffer) const {
  std::memcpy(buffer, raster_.Row(row), static_cast<size_t>(3) * Width());
}

void TvpEffectBmp::SetLine(int row, const uint8_t* buffer) {
  std::memcpy(raster_.Row(row), buffer, static_cast<size_t>(3) * Width());
}

uint32_t TvpEffectBmp::GetPixel(int x, int y) const {
  const uint8_t* p = raster_.Row(y) + 3 * x;
  return p[0] | (p[1] << 8) | (static_cast<uint32_t>(p[2]) << 16);
}

void TvpEffectBmp::SetPixel(int x, int y, uint32_t value) {
  uint8_t* p = raster_.Row(y) + 3 * x;
  p[0] = static_cast<uint8_t>(value);
  p[1] = static_cast<uint8_t>(value >> 8);
  p[2] = static_cast<uint8_t>(value >> 16);
}

void TvpEffectBmp::FlipVertical(TvpEffectBmp& target) const {
  if (target.Width() < Width() || target.Height() < Height()) return;
  const int h = Height();
  for (int y = 0; y < h; ++y)
    std::memcpy(target.raster_.Row(h - 1 - y), raster_.Row(y), static_cast<size_t>(3) * Width());
}

namespace {

void ApplyTable(plat::Raster& r, const uint8_t (&table)[256]) {
  const int n = 3 * r.Width();
  for (int y = 0; y < r.Height(); ++y) {
    uint8_t* p = r.Row(y);
    for (int i = 0; i < n; ++i) p[i] = table[p[i]];
  }
}

}  // namespace

void TvpEffectBmp::ChangeBrightness(double factor) {
  const double f = Clamp01(factor);
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = Channel((1 - f) * v + f * 255);
  ApplyTable(raster_, table);
}

void TvpEffectBmp::ChangeDarkness(double factor) {
  const double f = Clamp01(factor);
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = Channel((1 - f) * v);
  ApplyTable(raster_, table);
}

void TvpEffectBmp::Invert() {
  uint8_t table[256];
  for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v ^ 0xFF);
  ApplyTable(raster_, table);
}

void TvpEffectBmp::GrayScale() {
  // The products are tabled; summing them in the formula's order keeps every
  // result bit for bit what the direct formula gives.
  double red[256], green[256], blue[256];
  for (int v = 0; v < 256; ++v) {
    red[v] = 0.3 * v;
    green[v] = 0.59 * v;
    blue[v] = 0.11 * v;
  }
  for (int y = 0; y < Height(); ++y) {
    uint8_t* p = raster_.Row(y);
    for (int x = 0; x < Width(); ++x, p += 3) {
      const uint8_t g = Channel(red[p[2]] + green[p[1]] + blue[p[0]]);
      p[0] = p[1] = p[2] = g;
    }
  }
}

void TvpEffectBmp::AddMonoNoise(int amount) {
  if (amount <= 0) return;
  const int half = amount / 2;
  for (int y = 0; y < Height(); ++y) {
    uint8_t* p = raster_.Row(y);
    for (int x = 0; x < Width(); ++x, p += 3) {
      const int n = Random(amount) - half;
      for (int c = 0; c < 3; ++c) {
        const int v = p[c] + n;
        p[c] = static_cast<uint8_t>(v < 0 ? 0 : (v > 255 ? 255 : v));
      }
    }
  }
}

void TvpEffectBmp::SplitBlur(int amount) {
  if (amount == 0) return;
  const int w = Width(), h = Height();
  // Samples that would fall outside the picture (amounts as large as the
  // picture) take the pixel itself.
  auto pick = [](int self, int n, int candidate) { return (candidate >= 0 && candidate < n) ? candidate : self; };
  for (int y = 0; y < h; ++y) {
    const int up = pick(y, h, y - amount < 0 ? y : y - amount);
    const int down = pick(y, h, y + amount >= h ? h - y : y + amount);
    uint8_t* row = raster_.Row(y);
    const uint8_t* U = raster_.Row(up);
    const uint8_t* D = raster_.Row(down);
    for (int x = 0; x < w; ++x) {
      const int l = pick(x, w, x - amount < 0 ? x : x - amount);
      const int r = pick(x, w, x + amount >= w ? w - x : x + amount);
      for (int c = 0; c < 3; ++c)
        row[3 * x + c] = static_cast<uint8_t>((U[3 * l + c] + D[3 * l + c] + U[3 * r + c] + D[3 * r + c]) / 4);
    }
  }
}

void TvpEffectBmp::Morph(const TvpEffectBmp& other, double k) {
  if (!SameSize(other)) return;
  k = Clamp01(k);
  const int n = 3 * Width();
  EachRowPair(raster_, other.raster_, [&](uint8_t* a, const uint8_t* b) {
    for (int i = 0; i < n; ++i) a[i] = Channel((1 - k) * a[i] + k * b[i]);
  });
}

void TvpEffectBmp::MorphGradient(const TvpEffectBmp& other, double k) {
  if (Width() < Height())
    MorphVGradient(other, k);
  else
    MorphHGradient(other, k);
}

void TvpEffectBmp::MorphHGradient(const TvpEffectBmp& other, double k) {
  if (!SameSize(other) || Width() <= 0) return;
  const int W = Width();
  const int n = static_cast<int>(std::lrint(W * k));
  const int f = (W - n) / 2;
  const double s = f == 0 ? 1.0 : 1.0 / f;
  const int first = std::clamp(std::max(0, W / 2 - n / 2), 0, W - 1);
  const int last = std::clamp(std::min(W - 1, W / 2 + n / 2), 0, W - 1);
  EachRowPair(raster_, other.raster_, [&](uint8_t* a, const uint8_t* b) {
    for (int x = first; x <= last; ++x) CopyPixel(a + 3 * x, b + 3 * x);
    double w = 0;
    for (int x = first; x >= 0; --x, w = std::min(1.0, w + s)) BlendPixel(a + 3 * x, b + 3 * x, w);
    w = 0;
    for (int x = last; x < W; ++x, w = std::min(1.0, w + s)) BlendPixel(a + 3 * x, b + 3 * x, w);
  });
}

void TvpEffectBmp::MorphVGradient(const TvpEffectBmp& other, double k) {
  if (!SameSize(other) || Height() <= 0) return;
  const int H = Height(), n3 = 3 * Width();
  const int n = static_cast<int>(std::lrint(H * k));
  const int f = (H - 1 - n) / 2;
  const double s = f == 0 ? 0.0 : 1.0 / f;
  const int first = std::clamp(std::max(0, H / 2 - n / 2), 0, H - 1);
  const int last = std::clamp(std::min(H - 1, H / 2 + n / 2), 0, H - 1);
  auto blendRow = [&](int y, double w) {
    uint8_t* a = raster_.Row(y);
    const uint8_t* b = other.raster_.Row(y);
    for (int i = 0; i < n3; ++i) a[i] = Blend(a[i], b[i], w);
  };
  for (int y = first; y <= last; ++y) std::memcpy(raster_.Row(y), other.raster_.Row(y), n3);
  double w = 0;
  for (int y = first; y >= 0; --y, w = std::min(1.0, w + s)) blendRow(y, w);
  w = 0;
  for (int y = last; y < H; ++y, w = std::min(1.0, w + s)) blendRow(y, w);
}

void TvpEffectBmp::MorphLeftGradient(const TvpEffectBmp& other, double k) {
  if (!SameSize(other) || Width() <= 0) return;
  const int a = ReachedColumns(Width(), k);
  const double s = a > 0 ? 1.0 / a : 0.0;
  EachRowPair(raster_, other.raster_, [&](uint8_t* p, const uint8_t* b) {
    double w = 0;
    for (int x = 0; x <= a; ++x, w = std::min(1.0, w + s)) BlendPixel(p + 3 * x, b + 3 * x, w);
  });
}

void TvpEffectBmp::MorphRightGradient(const TvpEffectBmp& other, double k) {
  if (!SameSize(other) || Width() <= 0) return;
  const int W = Width();
  const int a = std::clamp(W - static_cast<int>(std::lrint(W * k)), 0, W - 1);
  const double s = 1.0 / (W - a);
  EachRowPair(raster_, other.raster_, [&](uint8_t* p, const uint8_t* b) {
    double w = 0;
    for (int x = W - 1; x >= a; --x, w = std::min(1.0, w + s)) BlendPixel(p + 3 * x, b + 3 * x, w);
  });
}

void TvpEffectBmp::MorphPush(const TvpEffectBmp& other, double k) {
  if (!SameSize(other) || Width() <= 0) return;
  const int W = Width();
  const int a = std::clamp(static_cast<int>(std::lrint(W * k)), 0, W - 1);
  EachRowPair(raster_, other.raster_, [&](uint8_t* p, const uint8_t* b) {
    // The old picture moves right by a + 1 columns.
    std::memmove(p + 3 * (a + 1), p, static_cast<size_t>(3) * (W - a - 1));
    for (int x = 0; x <= a; ++x) CopyPixel(p + 3 * x, b + 3 * std::min(W - 1, W - a - 1 + x));
  });
}

void TvpEffectBmp::MorphLeftSlide(const TvpEffectBmp& other, double k) {
  if (!SameSize(other) || Width() <= 0) return;
  const int W = Width(), b = ReachedColumns(W, k);
  EachRowPair(raster_, other.raster_, [&](uint8_t* p, const uint8_t* src) {
    for (int x = 0; x < b; ++x) CopyPixel(p + 3 * x, src + 3 * std::min(W - 1, W - b + x));
  });
}

void TvpEffectBmp::MorphRightSlide(const TvpEffectBmp& other, double k) {
  if (!SameSize(other) || Width() <= 0) return;
  const int W = Width(), b = ReachedColumns(W, k);
  EachRowPair(raster_, other.raster_, [&](uint8_t* p, const uint8_t* src) {
    for (int x = 0; x < b; ++x) CopyPixel(p + 3 * std::min(W - 1, W - b + x), src + 3 * x);
  });
}

void ApplyInactiveEffect(TvpEffectBmp& bmp, int effect) {
  switch (effect) {
    case ieBrightness: bmp.ChangeBrightness(0.5); break;
    case ieDarkness: bmp.ChangeDarkness(0.3); break;
    case ieGrayScale: bmp.GrayScale(); break;
    case ieNoise: bmp.AddMonoNoise(50); break;
    case ieSplitBlur: bmp.SplitBlur(1); break;
    case ieInvert: bmp.Invert(); break;
    default: break;
  }
}

void ApplyInactiveEffect(TvpEffectBmp& bmp, std::string_view keyword) {
  static constexpr std::string_view kNames[] = {"iebrightness", "iedarkness", "iegrayscale",
                                                "ienoise",      "iesplitblur", "ieinvert"};
  int effect = ieGrayScale;
  for (int i = 0; i < 6; ++i)
    if (keyword == kNames[i]) effect = i;
  ApplyInactiveEffect(bmp, effect);
}

void ApplyMorph(TvpEffectBmp& a, const TvpEffectBmp& b, int kind, double k) {
  switch (kind) {
    case mkGradient: a.MorphGradient(b, k); break;
    case mkLeftGradient: a.MorphLeftGradient(b, k); break;
    case mkRightGradient: a.MorphRightGradient(b, k); break;
    case mkLeftSlide: a.MorphLeftSlide(b, k); break;
    case mkRightSlide: a.MorphRightSlide(b, k); break;
    case mkPush: a.MorphPush(b, k); break;
    default: a.Morph(b, k); break;
  }
}

void ApplyMorph(TvpEffectBmp& a, const TvpEffectBmp& b, std::string_view keyword, double k) {
  static constexpr std::string_view kNames[] = {"mkdefault",   "mkgradient",   "mkleftgradient", "mkrightgradient",
                                                "mkleftslide", "mkrightslide", "mkpush"};
  int kind = mkDefault;
  for (int i = 0; i < 7; ++i)
    if (keyword == kNames[i]) kind = i;
  ApplyMorph(a, b, kind, k);
}

}  // namespace skin
