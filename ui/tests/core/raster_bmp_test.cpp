#include <gtest/gtest.h>

#include "ui/core/bmp.h"
#include "ui/core/raster.h"
#include "ui/core/stream.h"
#include "ui/core/utf.h"

using namespace plat;

namespace {

void Put(std::vector<uint8_t>& v, uint32_t x, int bytes) {
  for (int i = 0; i < bytes; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}

// A one-row picture of 16- or 32-bit pixels. With masks it is a bit-field
// picture: the masks follow a 40-byte header, or sit inside a 108-byte one.
std::vector<uint8_t> OneRowBmp(int bits, const std::vector<uint32_t>& pixels, const std::vector<uint32_t>& masks = {},
                               uint32_t headerSize = 40) {
  const uint32_t w = static_cast<uint32_t>(pixels.size());
  const uint32_t rowBytes = (w * bits + 31) / 32 * 4;
  const uint32_t off = 14 + headerSize + (headerSize == 40 ? 4 * static_cast<uint32_t>(masks.size()) : 0);
  std::vector<uint8_t> v{'B', 'M'};
  for (auto [x, n] : {std::pair{off + rowBytes, 4}, {0u, 4}, {off, 4}, {headerSize, 4}, {w, 4}, {1u, 4}, {1u, 2},
                      {static_cast<uint32_t>(bits), 2}, {masks.empty() ? 0u : 3u, 4}})
    Put(v, x, n);
  v.resize(14 + 40, 0);
  for (uint32_t m : masks) Put(v, m, 4);
  v.resize(off, 0);
  for (uint32_t p : pixels) Put(v, p, bits / 8);
  v.resize(off + rowBytes, 0);
  return v;
}

std::vector<Color> RowOf(const std::vector<uint8_t>& bmp) {
  const BmpImage img = ReadBmp(bmp.data(), bmp.size());
  std::vector<Color> row;
  for (int x = 0; x < img.Width; ++x) row.push_back(img.Pixels.Pixel(x, 0));
  return row;
}

constexpr Color kBlue = RGBColor(0, 0, 255), kGreen = RGBColor(0, 255, 0);

}  // namespace

TEST(Raster, StrideMatchesDibLayoutAndPixelsRoundTrip) {
  EXPECT_EQ(Raster::StrideFor(1), 4);
  EXPECT_EQ(Raster::StrideFor(3), 12);
  EXPECT_EQ(Raster::StrideFor(5), 16);
  Raster r(5, 3);
  r.SetPixel(4, 2, RGBColor(1, 2, 3));
  EXPECT_EQ(r.Pixel(4, 2), RGBColor(1, 2, 3));
  EXPECT_EQ(r.Row(2)[12], 3);  // blue first
  EXPECT_EQ(r.Pixel(0, 0), clBlack);
}

TEST(Raster, CopiesAreDeepAndViewsShareMemory) {
  std::vector<uint8_t> mem(Raster::StrideFor(4) * 2, 0);
  Raster view = Raster::View(mem.data(), 4, 2, Raster::StrideFor(4));
  view.SetPixel(1, 1, clRed);
  EXPECT_EQ(mem[Raster::StrideFor(4) + 5], 0xFF);
  Raster copy = view;
  copy.SetPixel(1, 1, clWhite);
  EXPECT_EQ(view.Pixel(1, 1), clRed);
  EXPECT_FALSE(copy.IsView());
}

TEST(Raster, StretchCopySqueezesByNearestPixelAndClips) {
  Raster src(32, 1);
  for (int x = 0; x < 32; ++x) src.SetPixel(x, 0, RGBColor(x, 0, 0));
  Raster dst(40, 1);
  StretchCopy(dst, Rect{9, 0, 40, 1}, src, Rect{0, 0, 32, 1});
  EXPECT_EQ(dst.Pixel(9, 0), RGBColor(0, 0, 0));
  EXPECT_EQ(dst.Pixel(39, 0), RGBColor(30, 0, 0));  // 30*32/31 -> source 30
  Blit(dst, 38, 0, src, Rect{0, 0, 32, 1});         // only two columns fit
  EXPECT_EQ(dst.Pixel(39, 0), RGBColor(1, 0, 0));
}

TEST(Bmp, TwentyFourBitRoundTripIsBottomUpWithExactSize) {
  Raster r(3, 2);
  r.SetPixel(0, 0, RGBColor(10, 20, 30));
  r.SetPixel(2, 1, RGBColor(200, 100, 50));
  const auto bytes = WriteBmp(r);
  ASSERT_EQ(bytes.size(), 14u + 40 + 12 * 2);
  EXPECT_EQ(bytes[2] | (bytes[3] << 8), static_cast<int>(bytes.size()));
  // First stored row is the bottom row.
  EXPECT_EQ(bytes[54 + 6], 50);
  size_t consumed = 0;
  const BmpImage back = ReadBmp(bytes.data(), bytes.size(), &consumed);
  EXPECT_EQ(consumed, bytes.size());
  EXPECT_TRUE(back.Pixels.SamePixels(r));
}

TEST(Bmp, PalettedPicturesKeepDepthAndTable) {
  Raster r(9, 3, clWhite);
  r.SetPixel(8, 2, clBlack);
  const BmpImage one = BmpWithPalette(r, 1, {clBlack, clWhite});
  const auto bytes = WriteBmp(one);
  EXPECT_EQ(bytes.size(), 14u + 40 + 8 + 4 * 3);
  const BmpImage back = ReadBmp(bytes.data(), bytes.size());
  EXPECT_EQ(back.BitCount, 1);
  EXPECT_EQ(back.Palette.size(), 2u);
  EXPECT_EQ(back.Pixels.Pixel(8, 2), clBlack);
  EXPECT_EQ(back.Pixels.Pixel(7, 2), clWhite);
  EXPECT_EQ(WriteBmp(back), bytes);
}

TEST(Bmp, SixteenBitChannelsEachScaleFromTheirOwnWidthToFullRange) {
  // 5-5-5 without masks; the top bit is unused. 16 of 31 -> 132, 1 of 31 -> 8.
  EXPECT_EQ(RowOf(OneRowBmp(16, {0x7C00, 0x001F, 0x03E0, 31u << 10 | 16u << 5 | 1u, 0xFFFF})),
            (std::vector<Color>{clRed, kBlue, kGreen, RGBColor(255, 132, 8), clWhite}));
  // 5-6-5 bit fields: green has six bits, 32 of 63 -> 130; 30 of 31 -> 247.
  EXPECT_EQ(RowOf(OneRowBmp(16, {0xF800, 0x001F, 0x07E0, 1u << 11 | 32u << 5 | 30u}, {0xF800, 0x07E0, 0x001F})),
            (std::vector<Color>{clRed, kBlue, kGreen, RGBColor(8, 130, 247)}));
}

TEST(Bmp, ThirtyTwoBitChannelsFollowTheirMasks) {
  // Without masks: blue, green, red, unused byte.
  EXPECT_EQ(RowOf(OneRowBmp(32, {0x00FF0000, 0x000000FF, 0xAA0A141E})),
            (std::vector<Color>{clRed, kBlue, RGBColor(10, 20, 30)}));
  // Red in the low byte, masks inside a 108-byte header.
  EXPECT_EQ(RowOf(OneRowBmp(32, {0x000000FF, 0x00FF0000, 0x001E140A}, {0xFF, 0xFF00, 0xFF0000}, 108)),
            (std::vector<Color>{clRed, kBlue, RGBColor(10, 20, 30)}));
  // 10-10-10: wider channels keep their top eight bits.
  EXPECT_EQ(RowOf(OneRowBmp(32, {1023u << 20 | 512u << 10 | 4u}, {0x3FF00000, 0x000FFC00, 0x000003FF})),
            (std::vector<Color>{RGBColor(255, 128, 1)}));
}

TEST(Bmp, RejectsGarbageAndTruncation) {
  const uint8_t junk[] = {'B', 'M', 0, 0};
  EXPECT_THROW(ReadBmp(junk, sizeof junk), EInvalidGraphic);
  auto bytes = WriteBmp(Raster(4, 4));
  bytes.resize(bytes.size() - 1);
  EXPECT_THROW(ReadBmp(bytes.data(), bytes.size()), EInvalidGraphic);
  TMemoryStream s(WriteBmp(Raster(2, 2)));
  s.Data().push_back(0x55);  // the next field starts right after the picture
  ReadBmp(s);
  EXPECT_EQ(s.ReadByte(), 0x55);
}

TEST(Utf, ConvertsBothWaysIncludingSurrogates) {
  const std::string s = "菜名字○一 a \xF0\x9F\x8D\x9C";
  const std::u16string w = Utf8ToUtf16(s);
  EXPECT_EQ(w.size(), 10u);
  EXPECT_EQ(Utf16ToUtf8(w), s);
  EXPECT_EQ(Utf8ToUtf16("\xFF"), std::u16string(1, 0xFFFD));
}
