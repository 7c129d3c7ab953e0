// A screen's key as text: 64 hexadecimal digits (256 bits), in a key file
// (`ledscreen --make-key`) or as the `key` of a ledapi.ini section.
#pragma once
#include <optional>
#include <string>
#include <string_view>

#include "ledapi/core/crypto.h"

namespace ledp {

// The digits, optionally followed by one line end (LF or CR LF). Nothing,
// with the reason in `why`, for anything else.
std::optional<crypto::Key> ParseKeyText(std::string_view text, std::string& why);

// 64 lower-case digits and a line end.
std::string FormatKeyText(const crypto::Key& key);

}  // namespace ledp
