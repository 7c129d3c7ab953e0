// The result-log line for a controller notification (message 1025).
#pragma once
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "screenlink/core/led_records.h"

namespace screenlink {

// Turns the Host bytes (GBK) into UTF-8. The Win32 side passes a code page
// 936 conversion; the default keeps ASCII and marks other bytes with U+FFFD.
using HostDecoder = std::function<std::string(std::string_view gbk)>;
std::string AsciiHost(std::string_view gbk);

// The UTF-8 line to append to the log, or nothing when the notification is
// not one the log reports. Host is read up to its zero byte, and never past
// the end of the field.
std::optional<std::string> NotifyLogLine(const TLedNotify& n, const HostDecoder& decode = AsciiHost);

}  // namespace screenlink
