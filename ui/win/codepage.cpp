#include "ui/win/codepage.h"

#include <windows.h>

#include <climits>

#include "ui/core/gb18030.h"

namespace plat {

namespace {

constexpr UINT kGbk = 936;

void AppendGbk(std::wstring& out, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > INT_MAX) return;
  const int n = static_cast<int>(bytes.size());
  const int len = MultiByteToWideChar(kGbk, 0, bytes.data(), n, nullptr, 0);
  if (len <= 0) return;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(len));
  MultiByteToWideChar(kGbk, 0, bytes.data(), n, out.data() + at, len);
}

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if (cp >= 0x10000) {
    cp -= 0x10000;
    out.push_back(static_cast<wchar_t>(0xD800 + (cp >> 10)));
    out.push_back(static_cast<wchar_t>(0xDC00 + (cp & 0x3FF)));
  } else {
    out.push_back(static_cast<wchar_t>(cp));
  }
}

// The GBK bytes of text; false when some character has none. No best-fit:
// otherwise "À" would silently become "A".
bool TryGbk(std::wstring_view text, std::string& out) {
  const int n = static_cast<int>(text.size());
  BOOL usedDefault = FALSE;
  const int len = WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text.data(), n, nullptr, 0, nullptr, &usedDefault);
  if (len <= 0 || usedDefault) return false;
  const size_t at = out.size();
  out.resize(at + static_cast<size_t>(len));
  WideCharToMultiByte(kGbk, WC_NO_BEST_FIT_CHARS, text.data(), n, out.data() + at, len, nullptr, &usedDefault);
  return !usedDefault;
}

}  // namespace

std::wstring FromFileBytes(std::string_view bytes) {
  std::wstring out;
  const auto* b = reinterpret_cast<const unsigned char*>(bytes.data());
  const size_t n = bytes.size();
  size_t run = 0;  // start of the bytes code page 936 converts
  size_t i = 0;
  while (i < n) {
    if (gb18030::IsFourByte(b + i, n - i)) {
      AppendGbk(out, bytes.substr(run, i - run));
      char32_t cp;
      if (gb18030::DecodeFourByte(b + i, cp)) AppendCodePoint(out, cp);
      else out.push_back(0xFFFD);
      i += 4;
      run = i;
    } else if (b[i] >= 0x81 && b[i] <= 0xFE && i + 1 < n && b[i + 1] >= 0x40 && b[i + 1] != 0x7F &&
               b[i + 1] != 0xFF) {
      i += 2;  // a GBK pair: its trail byte must not start a four-byte code
    } else {
      ++i;
    }
  }
  AppendGbk(out, bytes.substr(run));
  return out;
}

std::string ToFileBytes(std::wstring_view text) {
  std::string out;
  if (text.empty() || text.size() > INT_MAX / 4) return out;
  if (TryGbk(text, out)) return out;
  out.clear();
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t c = text[i];
    char32_t cp = c;
    size_t units = 1;
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((static_cast<char32_t>(c) - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      units = 2;
    }
    char four[4];
    if (units == 1 && TryGbk(text.substr(i, 1), out)) continue;
    if (gb18030::EncodeFourByte(cp, four)) out.append(four, 4);
    else out.push_back('?');  // a lone surrogate, or one of the few with a GB18030 two-byte code GBK lacks
    i += units - 1;
  }
  return out;
}

}  // namespace plat
