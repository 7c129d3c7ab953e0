// Wiring orders, colour orders and the tone curve, each checked on a small
// picture whose pixels all differ, and the receiver's way back.
#include "ledapi/core/pixel_map.h"

#include <gtest/gtest.h>

using namespace ledp;

namespace {

// 3 x 2 picture, pixel (x, y) = RGB(10 * x + y + 1, 100 + x, 200 + y).
plat::Raster Small() {
  plat::Raster r(3, 2);
  for (int y = 0; y < 2; ++y)
    for (int x = 0; x < 3; ++x) r.SetPixel(x, y, plat::RGBColor(10 * x + y + 1, 100 + x, 200 + y));
  return r;
}

std::vector<int> RedsInWiringOrder(const Wiring& w) {
  const auto ch = FrameChannels(Small(), w, ToneCurve(1.0, kLevels));
  std::vector<int> reds;
  for (size_t i = 0; i < ch.size(); i += 3) reds.push_back(ch[i]);
  return reds;
}

}  // namespace

TEST(PixelMap, WiringOrders) {
  Wiring w;
  EXPECT_EQ(RedsInWiringOrder(w), (std::vector<int>{1, 11, 21, 2, 12, 22}));
  w.Order = Layout::Serpentine;
  EXPECT_EQ(RedsInWiringOrder(w), (std::vector<int>{1, 11, 21, 22, 12, 2}));
  w.MirrorX = true;
  EXPECT_EQ(RedsInWiringOrder(w), (std::vector<int>{21, 11, 1, 2, 12, 22}));
  w = {};
  w.MirrorY = true;
  EXPECT_EQ(RedsInWiringOrder(w), (std::vector<int>{2, 12, 22, 1, 11, 21}));
}

TEST(PixelMap, ChannelOrders) {
  auto grb = ParseChannelOrder("grb");
  ASSERT_TRUE(grb);
  Wiring w;
  w.Channels = *grb;
  const auto ch = FrameChannels(Small(), w, ToneCurve(1.0, kLevels));
  EXPECT_EQ(ch[0], 100);  // green first
  EXPECT_EQ(ch[1], 1);
  EXPECT_EQ(ch[2], 200);
  w.Channels = *ParseChannelOrder("BGR");
  EXPECT_EQ(FrameChannels(Small(), w, ToneCurve(1.0, kLevels))[0], 200);
  for (const char* bad : {"", "RG", "RGBW", "RRB", "RGX", "R G"}) EXPECT_FALSE(ParseChannelOrder(bad)) << bad;
}

TEST(PixelMap, ToneCurveGammaAndBrightness) {
  auto flat = ToneCurve(1.0, kLevels);
  for (int v = 0; v < 256; ++v) ASSERT_EQ(flat[v], v);
  auto gamma = ToneCurve(2.2, kLevels);
  EXPECT_EQ(gamma[0], 0);
  EXPECT_EQ(gamma[255], 255);
  EXPECT_EQ(gamma[128], 56);  // 255 * 0.502^2.2
  auto half = ToneCurve(1.0, kLevels / 2);
  EXPECT_EQ(half[255], 128);
  EXPECT_EQ(half[100], 50);
  EXPECT_EQ(ToneCurve(1.0, 0)[255], 0);
}

TEST(PixelMap, ReceiverPutsChannelsBackWhereTheSenderTookThem) {
  for (int variant = 0; variant < 8; ++variant) {
    Wiring w;
    w.Order = variant & 1 ? Layout::Serpentine : Layout::Rows;
    w.MirrorX = variant & 2;
    w.MirrorY = variant & 4;
    w.Channels = *ParseChannelOrder(variant & 1 ? "BRG" : "GRB");
    const auto ch = FrameChannels(Small(), w, ToneCurve(1.0, kLevels));
    plat::Raster back(3, 2);
    // In two pieces that split a pixel, as universes of odd size do.
    PutChannels(back, w, 0, ch.data(), 7);
    PutChannels(back, w, 7, ch.data() + 7, ch.size() - 7 + 0);
    EXPECT_TRUE(back.SamePixels(Small())) << variant;
  }
  // Bytes past the picture's end are dropped, not written.
  plat::Raster one(1, 1);
  const uint8_t extra[6] = {1, 2, 3, 4, 5, 6};
  PutChannels(one, {}, 0, extra, 6);
  EXPECT_EQ(one.Pixel(0, 0), plat::RGBColor(1, 2, 3));
}
