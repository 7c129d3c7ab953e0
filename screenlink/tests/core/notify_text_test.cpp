#include "screenlink/core/notify_text.h"

#include <gtest/gtest.h>

#include <cstring>

using screenlink::NotifyLogLine;

namespace {

TLedNotify Make(int kind, int command = 0, int status = 0, int value = 0) {
  TLedNotify n{};
  n.Kind = kind;
  n.Command = command;
  n.Status = status;
  n.Value = value;
  n.LinkType = 1;
  return n;
}

struct Row {
  int kind, command, status, value;
  const char* line;  // nullptr: no line
};

}  // namespace

TEST(NotifyText, EveryRowOfTheTable) {
  const Row rows[] = {
      {2, 0, 0, 0, "发送完成"},
      {2, 77, 5, 9, "发送完成"},  // Command, Status and Value are not looked at
      {3, 4, 0, 0, "查询状态成功"},
      {3, 4, 99, 0, "查询状态成功"},
      {3, 6, 0, 0, "显示屏时钟已校正"},
      {3, 9, 0, 1, "电源打开"},
      {3, 9, 99, 1, "电源打开"},  // Status is not read for the power state
      {3, 9, 0, 0, "电源关闭"},
      {3, 9, 0, 2, "电源关闭"},   // every value other than 1 counts as off
      {3, 9, 0, -1, "电源关闭"},
      {3, 10, 99, 1, "处于自动开关屏模式，不能进行电源操作"},
      {3, 10, 0, 1, "电源打开"},
      {3, 10, 98, 0, "电源关闭"},
      {3, 10, 0, 7, "电源关闭"},
      {3, 11, 0, 1, "显示屏亮度为:1"},
      {3, 11, 99, 16, "显示屏亮度为:16"},
      {3, 11, 0, -5, "显示屏亮度为:-5"},
      {3, 11, 0, 0, "显示屏亮度为:0"},
      {3, 11, 0, 2147483647, "显示屏亮度为:2147483647"},
      {3, 11, 0, -2147483647 - 1, "显示屏亮度为:-2147483648"},
      {3, 12, 99, 1, "处于自动调节亮度状态，不能进行亮度调节"},
      {3, 12, 0, 1, "显示屏亮度为:1"},
      {3, 12, 100, 10, "显示屏亮度为:10"},
      {3, 5, 0, 0, nullptr},
      {3, 7, 0, 0, nullptr},
      {3, 8, 0, 0, nullptr},
      {3, 3, 0, 0, nullptr},
      {3, 13, 0, 0, nullptr},
      {3, -4, 0, 0, nullptr},
      {1, 4, 0, 0, nullptr},
      {5, 4, 0, 0, nullptr},
      {0, 0, 0, 0, nullptr},
      {-2, 0, 0, 0, nullptr},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << "Kind " << r.kind << " Command " << r.command << " Status " << r.status
                                    << " Value " << r.value);
    auto line = NotifyLogLine(Make(r.kind, r.command, r.status, r.value));
    if (r.line == nullptr) {
      EXPECT_FALSE(line.has_value());
    } else {
      ASSERT_TRUE(line.has_value());
      EXPECT_EQ(*line, r.line);
    }
  }
}

TEST(NotifyText, SerialTimeoutNamesTheAddress) {
  TLedNotify n = Make(4);
  n.LinkType = 0;
  n.Address = 3;
  std::strcpy(n.Host, "ignored");
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 串口  地址：3");
  n.Address = -12;
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 串口  地址：-12");
  n.Address = 0;
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 串口  地址：0");
}

TEST(NotifyText, NetworkTimeoutNamesTheHost) {
  TLedNotify n = Make(4, 99);
  n.Address = 3;
  std::strcpy(n.Host, "127.0.0.1");
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 网络  发往: 127.0.0.1");
  n.LinkType = 7;  // anything but 0 is a network link
  n.Host[0] = 0;
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 网络  发往: ");
}

TEST(NotifyText, HostStopsAtZeroAndAtTheEndOfTheField) {
  TLedNotify n = Make(4);
  std::memcpy(n.Host, "10.0.0.1\0junk", 13);
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 网络  发往: 10.0.0.1");
  // No terminator at all: the field's end bounds the copy.
  std::memset(n.Host, 'a', sizeof n.Host);
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 网络  发往: " + std::string(sizeof n.Host, 'a'));
}

TEST(NotifyText, HostGoesThroughTheDecoder) {
  TLedNotify n = Make(4);
  std::strcpy(n.Host, "\xC6\xC1");  // GBK bytes of one character
  EXPECT_EQ(NotifyLogLine(n).value(), "发送超时!  类型: 网络  发往: \xEF\xBF\xBD\xEF\xBF\xBD");
  auto decoder = [](std::string_view gbk) { return "<" + std::string(gbk) + ">"; };
  EXPECT_EQ(NotifyLogLine(n, decoder).value(), "发送超时!  类型: 网络  发往: <\xC6\xC1>");
}
