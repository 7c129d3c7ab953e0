// The BMP reader against files that another program wrote: each picture was
// drawn by ImageMagick, kept as a PPM, and saved by ImageMagick's BMP writer
// in the layouts it offers (see tests/tools/make_outside_bmps.sh). Every file
// must read back to the PPM's pixels exactly.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "ui/core/bmp.h"
#include "ui/core/stream.h"

using namespace plat;

namespace {

#ifdef OUTSIDE_BMP_DIR
const std::filesystem::path kDir = OUTSIDE_BMP_DIR;
#else
const std::filesystem::path kDir;
#endif

// A binary PPM ("P6", maximum 255) as ImageMagick writes it.
Raster ReadPpm(const std::filesystem::path& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path.string());
  std::string head(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
  int w = 0, h = 0, max = 0, used = 0;
  if (std::sscanf(head.c_str(), "P6 %d %d %d%n", &w, &h, &max, &used) != 3 || max != 255) return Raster();
  const uint8_t* p = bytes.data() + used + 1;
  if (bytes.size() < static_cast<size_t>(used + 1) + static_cast<size_t>(3) * w * h) return Raster();
  Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x, p += 3) r.SetPixel(x, y, RGBColor(p[0], p[1], p[2]));
  return r;
}

// The same file with a V4 header (108 bytes): the V5 header without its
// last four fields, everything after it moved up.
std::vector<uint8_t> AsV4(std::vector<uint8_t> v5) {
  auto put32 = [&](size_t at, uint32_t x) {
    for (int i = 0; i < 4; ++i) v5[at + i] = static_cast<uint8_t>(x >> (8 * i));
  };
  auto get32 = [&](size_t at) {
    return v5[at] | (v5[at + 1] << 8) | (v5[at + 2] << 16) | (static_cast<uint32_t>(v5[at + 3]) << 24);
  };
  EXPECT_EQ(get32(14), 124u);
  v5.erase(v5.begin() + 14 + 108, v5.begin() + 14 + 124);
  put32(14, 108);
  put32(2, static_cast<uint32_t>(v5.size()));
  put32(10, get32(10) - 16);
  return v5;
}

struct Case {
  const char* bmp;
  const char* ppm;
  int bitCount;
};

class OutsideBmp : public ::testing::TestWithParam<Case> {
 protected:
  void SetUp() override {
    if (kDir.empty() || !std::filesystem::exists(kDir / "done.stamp"))
      GTEST_SKIP() << "no files from ImageMagick in this build";
  }
};

TEST_P(OutsideBmp, ReadsBackToTheSourcePixels) {
  const Case c = GetParam();
  const Raster expected = ReadPpm(kDir / c.ppm);
  ASSERT_FALSE(expected.Empty()) << c.ppm;
  const std::vector<uint8_t> bytes = ReadWholeFile((kDir / c.bmp).string());
  size_t consumed = 0;
  const BmpImage img = ReadBmp(bytes.data(), bytes.size(), &consumed);
  EXPECT_EQ(img.BitCount, c.bitCount);
  EXPECT_EQ(consumed, bytes.size());
  ASSERT_EQ(img.Width, expected.Width());
  ASSERT_EQ(img.Height, expected.Height());
  for (int y = 0; y < img.Height; ++y)
    for (int x = 0; x < img.Width; ++x)
      ASSERT_EQ(img.Pixels.Pixel(x, y), expected.Pixel(x, y)) << c.bmp << " at " << x << "," << y;
  // What the program writes from it reads back the same.
  const std::vector<uint8_t> again = WriteBmp(img);
  EXPECT_TRUE(ReadBmp(again.data(), again.size()).Pixels.SamePixels(expected));
  // So does the V4 layout of the V5 files.
  if (std::string(c.bmp).find("_v5") != std::string::npos) {
    const std::vector<uint8_t> v4 = AsV4(bytes);
    EXPECT_TRUE(ReadBmp(v4.data(), v4.size()).Pixels.SamePixels(expected)) << "V4 " << c.bmp;
  }
}

INSTANTIATE_TEST_SUITE_P(
    ImageMagick, OutsideBmp,
    ::testing::Values(Case{"mono_1bit.bmp", "mono.ppm", 1}, Case{"sixteen_4bit.bmp", "sixteen.ppm", 4},
                      Case{"title_8bit.bmp", "title.ppm", 8}, Case{"title_rle8.bmp", "title.ppm", 8},
                      Case{"title_rle8_v5.bmp", "title.ppm", 8}, Case{"pure_555_v5.bmp", "pure.ppm", 16},
                      Case{"pure_565_v5.bmp", "pure.ppm", 16}, Case{"many_24bit.bmp", "many.ppm", 24},
                      Case{"many_24bit_v5.bmp", "many.ppm", 24}, Case{"many_32bit_opaque_v5.bmp", "many.ppm", 32},
                      Case{"many_32bit_alpha_v5.bmp", "many.ppm", 32}, Case{"many_32bit_alpha.bmp", "many.ppm", 32}),
    [](const ::testing::TestParamInfo<Case>& i) {
      std::string n = i.param.bmp;
      n = n.substr(0, n.find('.'));
      return n;
    });

}  // namespace
