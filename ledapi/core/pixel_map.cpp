#include "ledapi/core/pixel_map.h"

#include <algorithm>
#include <cmath>

namespace ledp {

std::optional<std::array<uint8_t, 3>> ParseChannelOrder(const std::string& text) {
  if (text.size() != 3) return std::nullopt;
  std::array<uint8_t, 3> order{};
  bool seen[3] = {false, false, false};
  for (size_t i = 0; i < 3; ++i) {
    const char c = static_cast<char>(text[i] & ~0x20);  // ASCII upper case
    const int colour = c == 'R' ? 0 : c == 'G' ? 1 : c == 'B' ? 2 : -1;
    if (colour < 0 || seen[colour]) return std::nullopt;
    seen[colour] = true;
    order[i] = static_cast<uint8_t>(colour);
  }
  return order;
}

std::array<uint8_t, 256> ToneCurve(double gamma, int level) {
  level = std::clamp(level, 0, kLevels);
  std::array<uint8_t, 256> t{};
  for (int v = 0; v < 256; ++v) {
    const double curved = gamma == 1.0 ? v / 255.0 : std::pow(v / 255.0, gamma);
    t[v] = static_cast<uint8_t>(std::lround(255.0 * curved * level / kLevels));
  }
  return t;
}

void WiredPosition(int i, int width, int height, const Wiring& w, int& x, int& y) {
  y = i / width;
  x = i % width;
  if (w.Order == Layout::Serpentine && (y & 1)) x = width - 1 - x;
  if (w.MirrorX) x = width - 1 - x;
  if (w.MirrorY) y = height - 1 - y;
}

std::vector<uint8_t> FrameChannels(const plat::Raster& picture, const Wiring& w,
                                   const std::array<uint8_t, 256>& tone) {
  const int width = picture.Width(), height = picture.Height();
  const int count = picture.Empty() ? 0 : width * height;
  std::vector<uint8_t> out(static_cast<size_t>(count) * 3);
  uint8_t* o = out.data();
  for (int i = 0; i < count; ++i) {
    int x, y;
    WiredPosition(i, width, height, w, x, y);
    const uint8_t* px = picture.Row(y) + 3 * x;  // blue, green, red
    const uint8_t rgb[3] = {px[2], px[1], px[0]};
    for (int c = 0; c < 3; ++c) *o++ = tone[rgb[w.Channels[c]]];
  }
  return out;
}

void PutChannels(plat::Raster& picture, const Wiring& w, size_t firstByte, const uint8_t* data, size_t size) {
  const int width = picture.Width(), height = picture.Height();
  if (picture.Empty()) return;
  const size_t total = static_cast<size_t>(width) * height * 3;
  if (firstByte >= total) return;
  size = std::min(size, total - firstByte);  // no sum that could wrap round
  for (size_t k = 0; k < size; ++k) {
    const size_t b = firstByte + k;
    int x, y;
    WiredPosition(static_cast<int>(b / 3), width, height, w, x, y);
    // Raster bytes are blue, green, red: colour c lives at 2 - c.
    picture.Row(y)[3 * x + 2 - w.Channels[b % 3]] = data[k];
  }
}

}  // namespace ledp
