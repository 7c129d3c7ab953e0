#include "ledapi/core/key_text.h"

namespace ledp {

namespace {

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<crypto::Key> ParseKeyText(std::string_view text, std::string& why) {
  if (text.size() >= 2 && text.substr(text.size() - 2) == "\r\n") text.remove_suffix(2);
  else if (!text.empty() && text.back() == '\n') text.remove_suffix(1);
  for (char c : text) {
    if (HexValue(c) < 0) {
      why = "not a key: only the hexadecimal digits 0-9 and a-f may appear";
      return std::nullopt;
    }
  }
  if (text.size() != 2 * crypto::kKeySize) {
    why = "the wrong length: " + std::to_string(text.size()) + " hexadecimal digits where a key has " +
          std::to_string(2 * crypto::kKeySize) + " (256 bits)";
    return std::nullopt;
  }
  crypto::Key k{};
  for (size_t i = 0; i < k.size(); ++i)
    k[i] = static_cast<uint8_t>(HexValue(text[2 * i]) << 4 | HexValue(text[2 * i + 1]));
  return k;
}

std::string FormatKeyText(const crypto::Key& key) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (uint8_t b : key) {
    s += digits[b >> 4];
    s += digits[b & 15];
  }
  return s + "\n";
}

}  // namespace ledp
