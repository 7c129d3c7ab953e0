#include "ui/win/codepage.h"

#include <windows.h>

#include <climits>

namespace plat {

namespace {
constexpr unsigned kGb18030 = 54936;
constexpr unsigned kGbk = 936;
}  // namespace

unsigned FileCodePage() {
  static const unsigned cp = IsValidCodePage(kGb18030) ? kGb18030 : kGbk;
  return cp;
}

std::wstring BytesToWide(std::string_view bytes, unsigned codePage) {
  if (codePage == 0) codePage = FileCodePage();
  if (bytes.empty()) return {};
  if (bytes.size() > INT_MAX) return {};
  const int n = static_cast<int>(bytes.size());
  const int len = MultiByteToWideChar(codePage, 0, bytes.data(), n, nullptr, 0);
  if (len <= 0) return {};
  std::wstring out(static_cast<size_t>(len), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), n, out.data(), len);
  return out;
}

std::string WideToBytes(std::wstring_view text, unsigned codePage) {
  if (codePage == 0) codePage = FileCodePage();
  if (text.empty()) return {};
  if (text.size() > INT_MAX / 4) return {};
  const int n = static_cast<int>(text.size());
  // 54936 accepts no default character arguments; 936 uses its own "?".
  const int len = WideCharToMultiByte(codePage, 0, text.data(), n, nullptr, 0, nullptr, nullptr);
  if (len <= 0) return {};
  std::string out(static_cast<size_t>(len), '\0');
  WideCharToMultiByte(codePage, 0, text.data(), n, out.data(), len, nullptr, nullptr);
  return out;
}

std::wstring FromFileBytes(std::string_view bytes) { return BytesToWide(bytes, 0); }
std::string ToFileBytes(std::wstring_view text) { return WideToBytes(text, 0); }

}  // namespace plat
