#include "ui/win/codepage.h"

#include <gtest/gtest.h>

#include <windows.h>

using plat::FromFileBytes;
using plat::ToFileBytes;

namespace {
// Characters GBK cannot hold: a Hangul syllable, an emoji and a CJK
// extension B ideograph (both outside the BMP).
const std::wstring kOutsideGbk = L"\uAC00 \U0001F600 \U00020BB7";
}  // namespace

TEST(CodePage, FilesUseGb18030) {
  EXPECT_TRUE(IsValidCodePage(54936));
  EXPECT_EQ(plat::FileCodePage(), 54936u);
}

TEST(CodePage, GbkBytesReadAsTheSameCharacters) {
  EXPECT_EQ(FromFileBytes("\xB2\xCB\xC3\xFB\xD7\xD6\xA1\xF0\xD2\xBB"), L"\u83DC\u540D\u5B57\u25CB\u4E00");
  EXPECT_EQ(FromFileBytes("0.1"), L"0.1");
  EXPECT_EQ(FromFileBytes(""), L"");
  // The settings file's comments.
  EXPECT_EQ(FromFileBytes("    ----\xB4\xB0\xBF\xDA\xD7\xF3\xC9\xCF\xBD\xC7"), L"    ----\u7A97\u53E3\u5DE6\u4E0A\u89D2");
  EXPECT_EQ(FromFileBytes("\xCE\xAA" "1:\xCF\xD4\xCA\xBE\xB1\xEA\xCC\xE2,0\xB2\xBB\xCF\xD4\xCA\xBE"),
            L"\u4E3A" L"1:\u663E\u793A\u6807\u9898,0\u4E0D\u663E\u793A");
}

TEST(CodePage, GbkTextIsWrittenWithGbkBytes) {
  const std::wstring text = L"\u83DC\u540D\u5B57\u4E00\u25CB 1.5 \u91D1\u989D";
  EXPECT_EQ(ToFileBytes(text), plat::WideToBytes(text, 936));
  EXPECT_EQ(ToFileBytes(L"\u83DC\u540D\u5B57\u4E00\u25CB"), "\xB2\xCB\xC3\xFB\xD7\xD6\xD2\xBB\xA1\xF0");
  EXPECT_EQ(ToFileBytes(L""), "");
}

TEST(CodePage, CharactersOutsideGbkSurviveARoundTrip) {
  // A plain GBK write would lose them.
  EXPECT_NE(plat::BytesToWide(plat::WideToBytes(kOutsideGbk, 936), 936), kOutsideGbk);
  const std::string bytes = ToFileBytes(kOutsideGbk);
  EXPECT_EQ(bytes, "\x82\x37\xCF\x35 \x94\x39\xFC\x36 \x95\x34\xB2\x35");
  EXPECT_EQ(FromFileBytes(bytes), kOutsideGbk);
}
