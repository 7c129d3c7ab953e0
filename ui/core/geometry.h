// Platform-free geometry and colour types shared by the portable core.
#pragma once
#include <cstdint>

namespace plat {

// A colour as Windows keeps it: 0x00BBGGRR. A high byte of 0xFF marks a
// system colour by its index (resolved by the Win32 shell).
using Color = uint32_t;

constexpr Color RGBColor(int r, int g, int b) {
  return static_cast<Color>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int RedOf(Color c) { return c & 0xFF; }
constexpr int GreenOf(Color c) { return (c >> 8) & 0xFF; }
constexpr int BlueOf(Color c) { return (c >> 16) & 0xFF; }

constexpr Color clBlack = 0x000000;
constexpr Color clWhite = 0xFFFFFF;
constexpr Color clRed = 0x0000FF;
constexpr Color clYellow = 0x00FFFF;

struct Point {
  int X = 0, Y = 0;
  friend bool operator==(const Point&, const Point&) = default;
};

// Left, top, right, bottom; right and bottom are exclusive.
struct Rect {
  int Left = 0, Top = 0, Right = 0, Bottom = 0;
  constexpr int Width() const { return Right - Left; }
  constexpr int Height() const { return Bottom - Top; }
  constexpr bool IsNull() const { return Width() <= 0 || Height() <= 0; }
  constexpr bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
  friend bool operator==(const Rect&, const Rect&) = default;
};

constexpr Rect Bounds(int left, int top, int width, int height) {
  return Rect{left, top, left + width, top + height};
}

}  // namespace plat
