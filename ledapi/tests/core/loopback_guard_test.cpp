// Trees built for testing are loopback-only at the socket itself, so that no
// test, benchmark or script here can reach a screen on a real network
// (the program's own default screen address among them).
#include <gtest/gtest.h>

#include "ledapi/net/udp.h"

namespace {

using ledp::net::kAnyAddress;
using ledp::net::kLoopback;
using ledp::net::UdpSocket;

constexpr uint32_t kDefaultScreen = 0xC0A80163;  // 192.168.1.99

static_assert(ledp::net::kLoopbackOnly, "every tree that runs tests is built loopback-only");

TEST(LoopbackGuard, SocketsBindAndSendOnlyOnLoopback) {
  UdpSocket s;
  EXPECT_FALSE(s.Bind(kAnyAddress, 0));
  EXPECT_FALSE(s.Bind(kDefaultScreen, 0));
  ASSERT_TRUE(s.Bind(kLoopback, 0));

  UdpSocket rx;
  ASSERT_TRUE(rx.Bind(kLoopback, 0));
  const uint8_t bytes[] = {1, 2, 3};
  EXPECT_FALSE(s.SendTo({kDefaultScreen, 6666}, bytes, sizeof bytes));
  EXPECT_FALSE(s.SendTo({0xFFFFFFFF, 6666}, bytes, sizeof bytes));  // broadcast
  EXPECT_FALSE(s.SendTo({0x80000001, rx.LocalPort()}, bytes, sizeof bytes));  // just past 127/8
  EXPECT_TRUE(s.SendTo({0x7F0000FE, 9}, bytes, sizeof bytes));

  // Loopback itself still works, and the refused sends left nothing behind.
  ASSERT_TRUE(s.SendTo({kLoopback, rx.LocalPort()}, bytes, sizeof bytes));
  uint8_t buf[16];
  ledp::Endpoint from;
  EXPECT_EQ(rx.RecvFrom(buf, sizeof buf, from, 2000), 3);
  EXPECT_EQ(rx.RecvFrom(buf, sizeof buf, from, 100), -1);
}

}  // namespace
