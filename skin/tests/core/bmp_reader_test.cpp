// Faults the BMP fuzzer found in the picture reader the skin loads through.
#include <gtest/gtest.h>

#include <cstring>

#include "ui/core/bmp.h"

using namespace plat;

namespace {
std::vector<uint8_t> TinyBmp() { return WriteBmp(Raster(2, 2, clWhite)); }
void Put32(std::vector<uint8_t>& v, size_t at, uint32_t x) {
  for (int i = 0; i < 4; ++i) v[at + i] = static_cast<uint8_t>(x >> (8 * i));
}
}  // namespace

TEST(BmpReader, StreamHeaderClaimingMoreThanTheStreamFailsWithoutAllocatingIt) {
  std::vector<uint8_t> bytes = TinyBmp();
  Put32(bytes, 2, 654311424);  // bfSize far beyond the 70 bytes there are
  TBytesStream stream(bytes.data(), bytes.size());
  EXPECT_THROW(ReadBmp(stream), EReadError);
}

TEST(BmpReader, PixelOffsetNearFourGigabytesIsRejected) {
  std::vector<uint8_t> bytes = TinyBmp();
  Put32(bytes, 10, 0xFFFFFFF0u);  // pixel data "at" 4 GiB: with 32-bit sizes the end wrapped around
  EXPECT_THROW(ReadBmp(bytes.data(), bytes.size()), EInvalidGraphic);
}
