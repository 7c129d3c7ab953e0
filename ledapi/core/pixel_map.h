// How a picture becomes the channel bytes of a pixel controller, and back:
// the order in which the LEDs are wired (rows from the top, left to right;
// every other row reversed; mirrored), the order of the colours within an LED,
// and the tone curve (gamma and brightness) applied on the way out.
#pragma once
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ui/core/raster.h"

namespace ledp {

enum class Layout : uint8_t {
  Rows,        // every row left to right, from the top
  Serpentine,  // the first row left to right, the next right to left, ...
};

struct Wiring {
  Layout Order = Layout::Rows;
  bool MirrorX = false;  // the picture flipped left to right before wiring
  bool MirrorY = false;  // the picture flipped top to bottom before wiring
  std::array<uint8_t, 3> Channels{0, 1, 2};  // which of R, G, B goes out first, second, third
};

// "RGB", "GRB", "BGR", ... (any case): which colour each of the three
// channels of an LED carries. Nothing for anything else.
std::optional<std::array<uint8_t, 3>> ParseChannelOrder(const std::string& text);

// The tone curve: out = 255 * (in / 255) ^ gamma * level / kLevels, rounded.
constexpr int kLevels = 16;
std::array<uint8_t, 256> ToneCurve(double gamma, int level);

// The frame as channel bytes, 3 per pixel, in wiring order.
std::vector<uint8_t> FrameChannels(const plat::Raster& picture, const Wiring& w, const std::array<uint8_t, 256>& tone);

// Where the LED with wiring index i sits in a width x height picture.
void WiredPosition(int i, int width, int height, const Wiring& w, int& x, int& y);

// Writes received channel bytes (3 per pixel, starting at pixel `first` in
// wiring order) into the picture; bytes beyond the picture are ignored.
void PutChannels(plat::Raster& picture, const Wiring& w, size_t firstByte, const uint8_t* data, size_t size);

}  // namespace ledp
