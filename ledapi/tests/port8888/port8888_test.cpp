// The program's links always use local port 8888, so this test runs alone
// (CTest RESOURCE_LOCK port8888).
#include <windows.h>

#include <gtest/gtest.h>

#include "ledapi/net/udp.h"
#include "ledapi/tests/support/notify_window.h"
#include "screenlink/LedAPI.h"

using ledtest::NotifyWindow;

namespace {
int Open(HWND w, uint16_t localPort) {
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = localPort;
  return LED_Open(&dev, 1, w, 1025);
}
}  // namespace

TEST(LedApiPort8888, OpenFailsWhileThePortIsTaken) {
  NotifyWindow w;
  {
    ledp::net::UdpSocket squatter;
    ASSERT_TRUE(squatter.Bind(ledp::net::kLoopback, 8888));
    TLedDevice dev{};
    dev.LinkType = 1;
    dev.LocalPort = 8888;
    EXPECT_EQ(LED_Open(&dev, 1, w.Handle(), 1025), -1);
  }
  const int link = Open(w.Handle(), 8888);
  EXPECT_GT(link, 0);  // free again: a later open works
  LED_Close(link);
}

