#include <gtest/gtest.h>

#include <cstring>
#include <numeric>

#include "skin/core/vpzlibcompress.h"

using namespace vp;

namespace {

std::vector<uint8_t> Sample(size_t n) {
  std::vector<uint8_t> v(n);
  uint32_t x = 12345;
  for (auto& b : v) {  // compressible but not trivial
    x = x * 1103515245 + 12345;
    b = static_cast<uint8_t>((x >> 16) % 7 + 'a');
  }
  return v;
}

}  // namespace

TEST(ZlibStreams, RoundTripAcrossBufferBoundariesWithLevel9Header) {
  for (size_t n : {size_t{0}, size_t{1}, size_t{4095}, size_t{4096}, size_t{4097}, size_t{300000}}) {
    const auto in = Sample(n);
    const auto z = CompressBytes(in.data(), in.size());
    ASSERT_GE(z.size(), 2u);
    EXPECT_EQ(z[0], 0x78);
    EXPECT_EQ(z[1], 0xDA);  // maximum compression
    EXPECT_EQ(DecompressBytes(z.data(), z.size()), in) << n;
  }
}

TEST(ZlibStreams, CompressionSeekReportsBytesConsumedOnly) {
  plat::TMemoryStream out;
  TCompressionStream zs(TCompressionLevel::clMax, out);
  const auto in = Sample(10000);
  zs.WriteBuffer(in.data(), 10000);
  EXPECT_EQ(zs.Seek(0, plat::SeekOrigin::Current), 10000);
  EXPECT_EQ(zs.Position(), 10000);
  EXPECT_THROW(zs.Seek(1, plat::SeekOrigin::Current), ECompressionError);
  EXPECT_THROW(zs.Seek(0, plat::SeekOrigin::Beginning), ECompressionError);
  uint8_t b;
  try {
    zs.Read(&b, 1);
    FAIL();
  } catch (const ECompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }
}

TEST(ZlibStreams, DecompressionSeeks) {
  const auto in = Sample(20000);
  const auto z = CompressBytes(in.data(), in.size());
  plat::TBytesStream src(z.data(), z.size());
  TDecompressionStream zs(src);
  uint8_t buf[100];
  // forward from the current position by reading
  EXPECT_EQ(zs.Seek(5000, plat::SeekOrigin::Current), 5000);
  zs.ReadBuffer(buf, 100);
  EXPECT_EQ(0, std::memcmp(buf, in.data() + 5000, 100));
  // from the beginning beyond what was delivered: the difference is skipped
  EXPECT_EQ(zs.Seek(9000, plat::SeekOrigin::Beginning), 9000);
  zs.ReadBuffer(buf, 100);
  EXPECT_EQ(0, std::memcmp(buf, in.data() + 9000, 100));
  // backwards, to the delivered position itself, or from the end: refused
  EXPECT_THROW(zs.Seek(100, plat::SeekOrigin::Beginning), EDecompressionError);
  EXPECT_THROW(zs.Seek(9100, plat::SeekOrigin::Beginning), EDecompressionError);
  EXPECT_THROW(zs.Seek(-1, plat::SeekOrigin::Current), EDecompressionError);
  EXPECT_THROW(zs.Seek(0, plat::SeekOrigin::End), EDecompressionError);
  // offset 0 from the beginning restarts inflation
  EXPECT_EQ(zs.Seek(0, plat::SeekOrigin::Beginning), 0);
  zs.ReadBuffer(buf, 100);
  EXPECT_EQ(0, std::memcmp(buf, in.data(), 100));
  try {
    zs.Write(buf, 1);
    FAIL();
  } catch (const EDecompressionError& e) {
    EXPECT_STREQ(e.what(), "Invalid stream operation");
  }
}

TEST(ZlibStreams, CorruptTruncatedAndTrailingData) {
  const auto in = Sample(50000);
  auto z = CompressBytes(in.data(), in.size());
  // corrupt: a broken header fails with the inflating side's message
  auto bad = z;
  bad[0] = 0x00;
  try {
    DecompressBytes(bad.data(), bad.size());
    FAIL();
  } catch (const EDecompressionError& e) {
    EXPECT_STREQ(e.what(), "compression error");
  }
  // truncated: the read simply ends early
  const auto part = DecompressBytes(z.data(), z.size() / 2);
  EXPECT_LT(part.size(), in.size());
  EXPECT_TRUE(std::equal(part.begin(), part.end(), in.begin()));
  // bytes after the end of the zlib stream are not inflated (and do not hang)
  z.insert(z.end(), {1, 2, 3, 4});
  EXPECT_EQ(DecompressBytes(z.data(), z.size()), in);
  // a stream that asks for a preset dictionary is refused, not looped on
  const uint8_t dict[] = {0x78, 0xBB, 0, 0, 0, 1, 0x03, 0x00};
  EXPECT_THROW(DecompressBytes(dict, sizeof dict), EDecompressionError);
}

TEST(ZlibStreams, WrapperResumesItsOwnPositionAndReportsProgress) {
  // Someone moving the target between writes must not corrupt the output.
  plat::TMemoryStream out;
  out.WriteInt32(7);
  int progress = 0;
  {
    TCompressionStream zs(TCompressionLevel::clNone, out);
    zs.OnProgress = [&](TCustomZlibStream&) { ++progress; };
    const auto in = Sample(200000);
    zs.WriteBuffer(in.data(), 100000);
    out.SetPosition(0);
    zs.WriteBuffer(in.data() + 100000, 100000);
    zs.Finish();
    out.SetPosition(4);
    plat::TMemoryStream rest;
    rest.CopyFrom(out, out.Size() - 4);
    plat::TMemoryStream back;
    DecompressStream(back, rest);
    EXPECT_EQ(back.Data(), in);
  }
  EXPECT_GT(progress, 0);
  out.SetPosition(0);
  EXPECT_EQ(out.ReadInt32(), 7);
}
