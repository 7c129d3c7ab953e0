#include "screenlink/core/notify_text.h"

#include <cstring>

namespace screenlink {

std::string AsciiHost(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size());
  for (char c : gbk) {
    if (static_cast<unsigned char>(c) < 0x80) out += c;
    else out += "\xEF\xBF\xBD";
  }
  return out;
}

std::optional<std::string> NotifyLogLine(const TLedNotify& n, const HostDecoder& decode) {
  using namespace led;
  const std::string power = n.Value == 1 ? "电源打开" : "电源关闭";
  const std::string brightness = "显示屏亮度为:" + std::to_string(n.Value);
  switch (n.Kind) {
    case kKindSendDone:
      return "发送完成";
    case kKindAnswer:
      switch (n.Command) {
        case kCmdQuery: return "查询状态成功";
        case kCmdAdjustTime: return "显示屏时钟已校正";
        case kCmdGetPower: return power;
        case kCmdSetPower:
          if (n.Status == kStatusAutoMode) return "处于自动开关屏模式，不能进行电源操作";
          return power;
        case kCmdGetBrightness: return brightness;
        case kCmdSetBrightness:
          if (n.Status == kStatusAutoMode) return "处于自动调节亮度状态，不能进行亮度调节";
          return brightness;
        default: return std::nullopt;
      }
    case kKindTimeout:
      if (n.LinkType == 0) return "发送超时!  类型: 串口  地址：" + std::to_string(n.Address);
      {
        size_t len = strnlen(n.Host, sizeof n.Host);
        std::string host = decode ? decode(std::string_view(n.Host, len)) : AsciiHost(std::string_view(n.Host, len));
        return "发送超时!  类型: 网络  发往: " + host;
      }
    default:
      return std::nullopt;
  }
}

}  // namespace screenlink
