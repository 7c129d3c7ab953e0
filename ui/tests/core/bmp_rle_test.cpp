// Run-length coded palette pictures (8 and 4 bits per pixel): every code of
// the format, pictures whose code stops early, and codes that point outside
// the picture.
#include <gtest/gtest.h>

#include <string>

#include "ui/core/bmp.h"
#include "ui/core/stream.h"

using namespace plat;

namespace {

constexpr Color kPalette[] = {RGBColor(1, 2, 3), RGBColor(255, 0, 0), RGBColor(0, 255, 0), RGBColor(0, 0, 255),
                              RGBColor(9, 9, 9)};

// A BMP file of `bits` (4 or 8) with compression 1 (8 bits) or 2 (4 bits),
// the five-colour palette above and `code` as the pixel data.
std::vector<uint8_t> RleFile(int bits, int width, int height, const std::vector<uint8_t>& code) {
  std::vector<uint8_t> f;
  auto u32 = [&](uint32_t x) {
    for (int i = 0; i < 4; ++i) f.push_back(static_cast<uint8_t>(x >> (8 * i)));
  };
  auto u16 = [&](uint16_t x) {
    f.push_back(static_cast<uint8_t>(x));
    f.push_back(static_cast<uint8_t>(x >> 8));
  };
  const uint32_t offBits = 14 + 40 + 4 * 5;
  f.push_back('B');
  f.push_back('M');
  u32(offBits + static_cast<uint32_t>(code.size()));
  u32(0);
  u32(offBits);
  u32(40);
  u32(static_cast<uint32_t>(width));
  u32(static_cast<uint32_t>(height));
  u16(1);
  u16(static_cast<uint16_t>(bits));
  u32(bits == 8 ? 1 : 2);
  u32(static_cast<uint32_t>(code.size()));
  u32(0);
  u32(0);
  u32(5);
  u32(0);
  for (Color c : kPalette) {
    f.push_back(static_cast<uint8_t>(BlueOf(c)));
    f.push_back(static_cast<uint8_t>(GreenOf(c)));
    f.push_back(static_cast<uint8_t>(RedOf(c)));
    f.push_back(0);
  }
  f.insert(f.end(), code.begin(), code.end());
  return f;
}

// The picture's palette indices, top row first, one digit per pixel.
std::vector<std::string> Rows(const BmpImage& img) {
  std::vector<std::string> rows;
  for (int y = 0; y < img.Height; ++y) {
    std::string r;
    for (int x = 0; x < img.Width; ++x) {
      const int idx = img.Indices[static_cast<size_t>(y) * img.Width + x];
      r += static_cast<char>('0' + idx);
      EXPECT_EQ(img.Pixels.Pixel(x, y), idx < 5 ? kPalette[idx] : clBlack) << x << "," << y;
    }
    rows.push_back(r);
  }
  return rows;
}

BmpImage Read(const std::vector<uint8_t>& f) { return ReadBmp(f.data(), f.size()); }

using R = std::vector<std::string>;

}  // namespace

TEST(BmpRle, EightBitRunsAbsoluteRunsAndLineEndsFillFromTheBottomRow) {
  const BmpImage img = Read(RleFile(8, 6, 3,
                                    {3, 1, 2, 2, 0, 0,           // bottom: 1 1 1 2 2, then end of line
                                     0, 3, 4, 3, 2, 0, 1, 1, 0, 0,  // absolute 4 3 2 (padded), then a run of 1
                                     0, 4, 1, 2, 3, 4, 2, 3, 0, 1}));  // absolute 1 2 3 4, run of 3 3, end
  EXPECT_EQ(img.BitCount, 8);
  EXPECT_EQ(Rows(img), (R{"123433", "432100", "111220"}));
}

TEST(BmpRle, FourBitRunsAlternateTheirTwoIndices) {
  const BmpImage img = Read(RleFile(4, 7, 2,
                                    {5, 0x12, 0, 0,                   // 1 2 1 2 1
                                     0, 3, 0x34, 0x10, 2, 0x44, 0, 1}));  // absolute 3 4 1 (padded), run 4 4
  EXPECT_EQ(img.BitCount, 4);
  EXPECT_EQ(Rows(img), (R{"3414400", "1212100"}));
}

TEST(BmpRle, DeltaAndAnEarlyEndLeaveTheSkippedPixelsAtIndexZero) {
  // Delta (2 right, 1 up) from the start; then the code stops without its
  // end mark: the rest of the picture is background.
  EXPECT_EQ(Rows(Read(RleFile(8, 5, 3, {0, 2, 2, 1, 2, 3, 1, 1}))), (R{"00000", "00331", "00000"}));
  // The end mark on the first row.
  EXPECT_EQ(Rows(Read(RleFile(4, 4, 2, {2, 0x22, 0, 1, 9, 0x33}))), (R{"0000", "2200"}));
  // No code at all.
  EXPECT_EQ(Rows(Read(RleFile(8, 2, 2, {}))), (R{"00", "00"}));
}

TEST(BmpRle, CodesReachingOutsideThePictureAreCutAtItsEdges) {
  // A run past the right edge, a delta past it and above the top, an
  // absolute run that claims more bytes than there are, an index beyond the
  // palette (black).
  EXPECT_EQ(Rows(Read(RleFile(8, 3, 2, {255, 1, 0, 0, 2, 7, 0, 2, 250, 9}))), (R{"770", "111"}));
  EXPECT_EQ(Rows(Read(RleFile(8, 3, 1, {0, 2, 200, 200, 1, 2}))), (R{"000"}));
  EXPECT_EQ(Rows(Read(RleFile(8, 4, 1, {0, 200, 3, 4}))), (R{"3400"}));
  EXPECT_EQ(Rows(Read(RleFile(4, 4, 1, {0, 7, 0x12}))), (R{"1200"}));
}

TEST(BmpRle, TopDownMismatchedDepthOrAClaimFarBeyondTheCodeIsNotValid) {
  // A blank 256 x 256 picture in two bytes is still taken; a larger one needs
  // code in proportion (4096 pixels per byte).
  EXPECT_EQ(Read(RleFile(8, 256, 256, {0, 1})).Width, 256);
  EXPECT_THROW(Read(RleFile(8, 300, 300, {0, 1})), EInvalidGraphic);
  EXPECT_EQ(Read(RleFile(8, 300, 300, std::vector<uint8_t>(22, 0))).Height, 300);

  std::vector<uint8_t> topDown = RleFile(8, 2, 2, {0, 1});
  topDown[22] = 0xFE;  // height -2
  topDown[23] = topDown[24] = topDown[25] = 0xFF;
  EXPECT_THROW(Read(topDown), EInvalidGraphic);
  std::vector<uint8_t> rle4At8 = RleFile(8, 2, 2, {0, 1});
  rle4At8[30] = 2;
  EXPECT_THROW(Read(rle4At8), EInvalidGraphic);
}

TEST(BmpRle, TheStreamReaderStopsAtTheFilesEnd) {
  std::vector<uint8_t> f = RleFile(8, 2, 1, {2, 3, 0, 1});
  TMemoryStream s(f);
  s.Data().push_back(0x5A);
  const BmpImage img = ReadBmp(s);
  EXPECT_EQ(Rows(img), (R{"33"}));
  EXPECT_EQ(s.ReadByte(), 0x5A);
}
