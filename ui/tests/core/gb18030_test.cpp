#include "ui/core/gb18030.h"

#include <gtest/gtest.h>

#include <string>

using namespace plat::gb18030;

namespace {
std::string Four(char32_t cp) {
  char b[4];
  return EncodeFourByte(cp, b) ? std::string(b, 4) : std::string();
}
}  // namespace

TEST(Gb18030, KnownFourByteCodes) {
  EXPECT_EQ(Four(0x0080), "\x81\x30\x81\x30");
  EXPECT_EQ(Four(0x00A5), "\x81\x30\x84\x36");
  EXPECT_EQ(Four(0xAC00), "\x82\x37\xCF\x35");  // Hangul
  EXPECT_EQ(Four(0xFFFF), "\x84\x31\xA4\x39");
  EXPECT_EQ(Four(0x10000), "\x90\x30\x81\x30");
  EXPECT_EQ(Four(0x1F600), "\x94\x39\xFC\x36");
  EXPECT_EQ(Four(0x20BB7), "\x95\x34\xB2\x35");
  EXPECT_EQ(Four(0x10FFFF), "\xE3\x32\x9A\x35");
}

TEST(Gb18030, NoFourByteCodeForGbkCharactersAndNonCharacters) {
  for (char32_t cp : {U'A', U'\x7F', U'\x4E00', U'\x83DC', U'\x25CB', U'\x3000', U'\xFF01'}) EXPECT_EQ(Four(cp), "") << static_cast<unsigned>(cp);
  for (char32_t cp : {0xD800u, 0xDFFFu, 0x110000u}) EXPECT_EQ(Four(cp), "") << static_cast<unsigned>(cp);
}

TEST(Gb18030, EveryCodeDecodesBackBothWays) {
  // Code points -> bytes -> code points, over all of Unicode.
  size_t bmp = 0;
  for (char32_t cp = 0x80; cp <= 0x10FFFF; ++cp) {
    char b[4];
    if (!EncodeFourByte(cp, b)) continue;
    if (cp <= 0xFFFF) ++bmp;
    const auto* u = reinterpret_cast<const unsigned char*>(b);
    ASSERT_TRUE(IsFourByte(u, 4)) << static_cast<unsigned>(cp);
    char32_t back = 0;
    ASSERT_TRUE(DecodeFourByte(u, back)) << static_cast<unsigned>(cp);
    ASSERT_EQ(static_cast<unsigned>(back), static_cast<unsigned>(cp));
  }
  EXPECT_EQ(bmp, 39420u);  // the BMP four-byte codes 0x81308130 .. 0x8431A439
}

TEST(Gb18030, SequencesThatNameNoCharacter) {
  char32_t cp;
  EXPECT_FALSE(DecodeFourByte(reinterpret_cast<const unsigned char*>("\x84\x31\xA5\x30"), cp));
  EXPECT_FALSE(DecodeFourByte(reinterpret_cast<const unsigned char*>("\x8F\x39\xFE\x39"), cp));
  EXPECT_FALSE(DecodeFourByte(reinterpret_cast<const unsigned char*>("\xE3\x32\x9A\x36"), cp));
  EXPECT_FALSE(DecodeFourByte(reinterpret_cast<const unsigned char*>("\xFE\x39\xFE\x39"), cp));
  EXPECT_FALSE(IsFourByte(reinterpret_cast<const unsigned char*>("\xB2\xCB\x30\x30"), 4));
  EXPECT_FALSE(IsFourByte(reinterpret_cast<const unsigned char*>("\x81\x30\x81"), 3));
}
