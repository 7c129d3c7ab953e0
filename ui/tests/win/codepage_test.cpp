#include "ui/win/codepage.h"

#include <gtest/gtest.h>

#include <windows.h>

using plat::FromFileBytes;
using plat::ToFileBytes;

namespace {

// Characters GBK cannot hold: a Latin letter with grave, a Hangul syllable,
// an emoji and a CJK extension B ideograph (the last two outside the BMP).
const std::wstring kOutsideGbk = L"\u00C0 \uAC00 \U0001F600 \U00020BB7";

std::string PlainGbk(const std::wstring& s) {
  std::string out(s.size() * 2 + 1, '\0');
  const int n = WideCharToMultiByte(936, 0, s.data(), static_cast<int>(s.size()), out.data(),
                                    static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

std::wstring PlainGbkDecode(const std::string& s) {
  std::wstring out(s.size() + 1, L'\0');
  const int n = MultiByteToWideChar(936, 0, s.data(), static_cast<int>(s.size()), out.data(),
                                    static_cast<int>(out.size()));
  out.resize(n > 0 ? static_cast<size_t>(n) : 0);
  return out;
}

}  // namespace

TEST(CodePage, GbkBytesReadAsTheSameCharacters) {
  EXPECT_EQ(FromFileBytes("\xB2\xCB\xC3\xFB\xD7\xD6\xA1\xF0\xD2\xBB"), L"\u83DC\u540D\u5B57\u25CB\u4E00");
  EXPECT_EQ(FromFileBytes("0.1"), L"0.1");
  EXPECT_EQ(FromFileBytes(""), L"");
  // The settings file's comments.
  EXPECT_EQ(FromFileBytes("    ----\xB4\xB0\xBF\xDA\xD7\xF3\xC9\xCF\xBD\xC7"), L"    ----\u7A97\u53E3\u5DE6\u4E0A\u89D2");
  EXPECT_EQ(FromFileBytes("\xCE\xAA" "1:\xCF\xD4\xCA\xBE\xB1\xEA\xCC\xE2,0\xB2\xBB\xCF\xD4\xCA\xBE"),
            L"\u4E3A" L"1:\u663E\u793A\u6807\u9898,0\u4E0D\u663E\u793A");
  // A GBK pair whose trail byte 0x81 is followed by digit, lead, digit is
  // still a pair, not the start of a four-byte code.
  const std::string tricky = "\xB2\x81" "0\x81" "0";
  EXPECT_EQ(FromFileBytes(tricky), PlainGbkDecode(tricky));
  EXPECT_EQ(FromFileBytes(tricky).find(L'\x80'), std::wstring::npos);
}

TEST(CodePage, GbkTextIsWrittenWithGbkBytes) {
  const std::wstring text = L"\u83DC\u540D\u5B57\u4E00\u25CB 1.5 \u91D1\u989D ?";
  EXPECT_EQ(ToFileBytes(text), PlainGbk(text));
  EXPECT_EQ(ToFileBytes(L"\u83DC\u540D\u5B57\u4E00\u25CB"), "\xB2\xCB\xC3\xFB\xD7\xD6\xD2\xBB\xA1\xF0");
  EXPECT_EQ(ToFileBytes(L""), "");
}

TEST(CodePage, CharactersOutsideGbkSurviveARoundTrip) {
  // A plain GBK write loses them.
  EXPECT_EQ(PlainGbk(kOutsideGbk).find('?') != std::string::npos, true);
  const std::string bytes = ToFileBytes(L"\u83DC" + kOutsideGbk + L"\u83DC");
  EXPECT_EQ(bytes, "\xB2\xCB\x81\x30\x86\x38 \x82\x37\xCF\x35 \x94\x39\xFC\x36 \x95\x34\xB2\x35\xB2\xCB");
  EXPECT_EQ(FromFileBytes(bytes), L"\u83DC" + kOutsideGbk + L"\u83DC");
}

TEST(CodePage, LoneSurrogateBecomesAQuestionMark) {
  EXPECT_EQ(ToFileBytes(std::wstring(L"a") + wchar_t(0xD800) + L"b"), "a?b");
}
