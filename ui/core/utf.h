// UTF-8 <-> UTF-16 without any platform call. Invalid input becomes U+FFFD.
#pragma once
#include <string>

namespace plat {
std::u16string Utf8ToUtf16(const std::string& s);
std::string Utf16ToUtf8(const std::u16string& s);
#ifdef _WIN32
inline std::wstring Utf8ToWide(const std::string& s) {
  std::u16string u = Utf8ToUtf16(s);
  return std::wstring(u.begin(), u.end());
}
inline std::string WideToUtf8(const std::wstring& s) { return Utf16ToUtf8(std::u16string(s.begin(), s.end())); }
#endif
}  // namespace plat
