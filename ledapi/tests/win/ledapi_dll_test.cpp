// ledapi.dll as the program uses it: a hidden window receives the reports,
// an in-process screen (or ledscreen.exe) answers on 127.0.0.1, and a relay
// that loses, duplicates and reorders datagrams sits between them.
#include <windows.h>
#include <psapi.h>

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "ledapi/tests/support/ini_folder.h"
#include "ledapi/tests/support/notify_window.h"
#include "ledscreen/host/relay.h"
#include "ledscreen/host/server.h"
#include "screenlink/LedAPI.h"

using ledtest::FreePort;
using ledtest::NotifyWindow;

namespace {

int Open(HWND w, uint16_t localPort) {
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = localPort;
  return LED_Open(&dev, 1, w, 1025);
}

struct ScreenRig {
  explicit ScreenRig(ledscreen::RelayConfig faults = {}, ledscreen::ScreenConfig cfg = {}) {
    ledscreen::ScreenServer::Options o;
    o.Screen = cfg;
    o.Port = 0;
    server = std::make_unique<ledscreen::ScreenServer>(o);
    EXPECT_TRUE(server->Start());
    relay = std::make_unique<ledscreen::Relay>(ledp::Endpoint{ledp::net::kLoopback, server->Port()}, faults);
    EXPECT_TRUE(relay->Start());
    const uint16_t lp = FreePort();
    link = Open(window.Handle(), lp);
    EXPECT_GT(link, 0) << "local port " << lp;
  }
  ~ScreenRig() { LED_Close(link); }
  int Port() const { return relay->Port(); }

  NotifyWindow window;
  std::unique_ptr<ledscreen::ScreenServer> server;
  std::unique_ptr<ledscreen::Relay> relay;
  int link = -1;
};

bool SamePicture(const plat::Raster& screen, const ledtest::Picture& pic) {
  const uint8_t* bits = pic.Bits();
  for (int y = 0; y < 96; ++y)
    if (std::memcmp(screen.Row(y), bits + y * 1536, 1536) != 0) return false;
  return true;
}

void SendBoard(const ledtest::Picture& pic, int link, int port, int root = 17) {
  RECT area{0, 0, 512, 96};
  ASSERT_EQ(MakeRoot(root, 2), 0);
  ASSERT_EQ(AddLeaf(200000), 0);
  ASSERT_EQ(AddWindow(pic.Dc(), 512, 96, &area, 1, 1, 1), 0);
  ASSERT_EQ(LED_SendToScreen(link, 0, "127.0.0.1", port), 0);
}

}  // namespace

TEST(LedApiDll, SendsCompleteUnderTwentyPercentLossEachWay) {
  ScreenRig rig({0.2, 0.2, 0.05, 0.05, 42});
  ledtest::Picture pic(512, 96);
  for (unsigned i = 0; i < 15; ++i) {
    SCOPED_TRACE(i);
    pic.Pattern(i);
    const size_t before = rig.window.Received.size();
    SendBoard(pic, rig.link, rig.Port());
    ASSERT_TRUE(rig.window.WaitFor(before + 1, 3000));
    const TLedNotify& n = rig.window.Received.back();
    EXPECT_EQ(n.Kind, 2);
    EXPECT_EQ(n.Status, 0);
    EXPECT_EQ(n.Link, rig.link);
    // The answer is only sent once the screen shows the whole new picture.
    EXPECT_TRUE(SamePicture(rig.server->Picture(), pic));
  }
  EXPECT_GT(rig.relay->Dropped(), 100);
}

TEST(LedApiDll, DeviceCommandsAreAnswered) {
  ledscreen::ScreenConfig cfg;
  cfg.AutoPower = true;
  ScreenRig rig({0.2, 0.2, 0.1, 0.1, 7}, cfg);
  const int port = rig.Port();
  // Under loss answers may overtake each other: read back after the sets.
  LED_Query(rig.link, 0, "127.0.0.1", port);
  LED_SetPower(rig.link, 0, "127.0.0.1", port, 0);
  LED_SetBrightness(rig.link, 0, "127.0.0.1", port, 1);
  LED_AdjustTime(rig.link, 0, "127.0.0.1", port);
  ASSERT_TRUE(rig.window.WaitFor(4, 3000));
  LED_GetPower(rig.link, 0, "127.0.0.1", port);
  LED_GetBrightness(rig.link, 0, "127.0.0.1", port);
  ASSERT_TRUE(rig.window.WaitFor(6, 3000));
  std::map<int, TLedNotify> by;
  for (const TLedNotify& n : rig.window.Received) {
    EXPECT_EQ(n.Kind, 3);
    EXPECT_EQ(n.LinkType, 1);
    by[n.Command] = n;
  }
  ASSERT_EQ(by.size(), 6u);
  EXPECT_EQ(by[10].Status, 99);  // automatic power mode
  EXPECT_EQ(by[9].Value, 1);
  EXPECT_EQ(by[12].Status, 0);
  EXPECT_EQ(by[11].Value, 1);
  EXPECT_EQ(by[6].Status, 0);
  EXPECT_STREQ(by[4].Host, "127.0.0.1");
  EXPECT_EQ(by[4].Port, port);
}

TEST(LedApiDll, MissingScreenIsReportedWithinTheBound) {
  NotifyWindow w;
  const int link = Open(w.Handle(), FreePort());
  ASSERT_GT(link, 0);
  const uint16_t nobody = FreePort();
  const auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(MakeRoot(17, 2), 0);
  ASSERT_EQ(AddLeaf(20000), 0);
  ASSERT_EQ(LED_SendToScreen(link, 0, "127.0.0.1", nobody), 0);
  LED_GetPower(link, 0, "127.0.0.1", nobody);
  LED_Query(link, 0, "192.168.1.99", nobody);  // never sent: fails at once
  ASSERT_TRUE(w.WaitFor(3, 4000));
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_GE(ms.count(), 1900);
  EXPECT_LE(ms.count(), 2500);
  EXPECT_EQ(w.Received[0].Kind, 4);
  EXPECT_STREQ(w.Received[0].Host, "192.168.1.99");
  for (const TLedNotify& n : w.Received) {
    EXPECT_EQ(n.Kind, 4);
    EXPECT_EQ(n.LinkType, 1);
  }
  EXPECT_STREQ(w.Received[2].Host, "127.0.0.1");
  LED_Close(link);
}

TEST(LedApiDll, TextsAndARunningClockReachTheScreen) {
  ScreenRig rig;
  RECT top{0, 0, 128, 16}, clock{0, 32, 128, 64}, line{0, 64, 128, 96};
  ASSERT_EQ(MakeRoot(17, 2), 0);
  ASSERT_EQ(AddLeaf(20000), 0);
  ASSERT_EQ(AddText("\xB5\xDA\xD2\xBB\xD0\xD0abc", &top, 2, 1, 1, "\xCB\xCE\xCC\xE5", 12, RGB(255, 255, 0)), 0);
  ASSERT_EQ(AddDateTime(&clock, 1, "Arial", 18, RGB(255, 255, 0), 3), 0);
  ASSERT_EQ(AddString("This is a test", &line, 2, 1, 1, 0, RGB(255, 255, 0)), 0);
  ASSERT_EQ(LED_SendToScreen(rig.link, 0, "127.0.0.1", rig.Port()), 0);
  ASSERT_TRUE(rig.window.WaitFor(1, 3000));
  ASSERT_EQ(rig.window.Received[0].Kind, 2);
  auto lit = [](const plat::Raster& r, int top, int bottom) {
    int n = 0;
    for (int y = top; y < bottom; ++y)
      for (int x = 0; x < r.Width(); ++x) {
        const plat::Color c = r.Pixel(x, y);
        if (c != plat::clBlack) {
          EXPECT_EQ(c, plat::clYellow);  // no smoothing: LEDs are on or off
          ++n;
        }
      }
    return n;
  };
  plat::Raster first = rig.server->Picture();
  EXPECT_GT(lit(first, 0, 16), 40);
  EXPECT_GT(lit(first, 32, 64), 40);
  EXPECT_GT(lit(first, 64, 96), 40);
  EXPECT_EQ(lit(first, 16, 32), 0);
  Sleep(1300);
  plat::Raster later = rig.server->Picture();
  EXPECT_FALSE(later.SamePixels(first));  // the seconds moved on
}

TEST(LedApiDll, HandlesOpenCloseAndBadCalls) {
  NotifyWindow w;
  const uint16_t port = FreePort();
  const int a = Open(w.Handle(), port);
  ASSERT_GT(a, 0);
  EXPECT_EQ(Open(w.Handle(), port), a);  // opening again keeps the link
  const int b = Open(w.Handle(), FreePort());
  EXPECT_GT(b, 0);
  EXPECT_NE(a, b);
  EXPECT_EQ(LED_Close(b), 0);
  EXPECT_EQ(LED_Close(b), -1);
  EXPECT_EQ(LED_Query(b, 0, "127.0.0.1", 6666), -1);  // closed: nothing is sent
  EXPECT_EQ(LED_Query(0, 0, "127.0.0.1", 6666), -1);
  EXPECT_EQ(LED_Query(-1, 0, "127.0.0.1", 6666), -1);
  EXPECT_EQ(LED_Query(a, 0, nullptr, 6666), 0);  // reported as a timeout
  EXPECT_TRUE(w.WaitFor(1, 1000));
  EXPECT_EQ(w.Received[0].Kind, 4);

  TLedDevice dev{};
  EXPECT_EQ(LED_Open(nullptr, 1, w.Handle(), 1025), -1);
  dev.LinkType = 0;  // serial
  dev.LocalPort = FreePort();
  EXPECT_EQ(LED_Open(&dev, 1, w.Handle(), 1025), -1);
  dev.LinkType = 1;
  dev.LocalPort = 0;
  EXPECT_EQ(LED_Open(&dev, 1, w.Handle(), 1025), -1);
  dev.LocalPort = 70000;
  EXPECT_EQ(LED_Open(&dev, 1, w.Handle(), 1025), -1);
  dev.LocalPort = FreePort();
  EXPECT_EQ(LED_Open(&dev, 1, nullptr, 1025), -1);

  // Building out of order is refused, not a crash.
  RECT r{0, 0, 10, 10}, empty{5, 5, 5, 5};
  EXPECT_EQ(MakeRoot(5, 2), -1);
  EXPECT_EQ(AddLeaf(1), -1);
  EXPECT_EQ(LED_SendToScreen(a, 0, "127.0.0.1", 6666), -1);
  EXPECT_EQ(MakeRoot(17, 2), 0);
  EXPECT_EQ(AddString("x", &r, 2, 1, 1, 0, 0xFFFF), -1);  // no page yet
  EXPECT_EQ(AddLeaf(1), 0);
  EXPECT_EQ(AddString("x", nullptr, 2, 1, 1, 0, 0xFFFF), -1);
  EXPECT_EQ(AddString("x", &empty, 2, 1, 1, 0, 0xFFFF), -1);
  EXPECT_EQ(AddWindow(nullptr, 10, 10, &r, 1, 1, 1), -1);
  EXPECT_EQ(AddString(nullptr, &r, 2, 1, 1, 0, 0xFFFF), 0);  // an empty text is just black
  LED_Close(a);
}

TEST(LedApiDll, ThousandsOfCommandsAllReportedWithoutLeaks) {
  ScreenRig rig;
  PROCESS_MEMORY_COUNTERS before{}, after{};
  size_t expected = 0;
  auto batch = [&](int n) {
    for (int i = 0; i < n; ++i) LED_GetBrightness(rig.link, 0, "127.0.0.1", rig.Port());
    expected += static_cast<size_t>(n);
    ASSERT_TRUE(rig.window.WaitFor(expected, 5000)) << rig.window.Received.size() << " of " << expected
                                                     << ", relay forwarded " << rig.relay->Forwarded();
  };
  for (int i = 0; i < 5; ++i) batch(200);
  GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof before);
  for (int i = 0; i < 20; ++i) batch(200);
  GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof after);
  for (const TLedNotify& n : rig.window.Received) {
    ASSERT_EQ(n.Kind, 3);
    ASSERT_EQ(n.Command, 11);
  }
  EXPECT_LT(static_cast<long>(after.WorkingSetSize) - static_cast<long>(before.WorkingSetSize), 2L << 20);
}

#ifdef LEDSCREEN_EXE
// The screen program as the end-to-end tests start it.
TEST(LedScreenExe, AnswersAndWritesItsSnapshot) {
  const uint16_t port = FreePort();
  const std::string dir = std::filesystem::temp_directory_path().string();
  const std::string snap = dir + "\\ledscreen_exe_test.png";
  std::filesystem::remove(snap);
  std::string exe = std::string("Z:") + LEDSCREEN_EXE;
  for (char& c : exe)
    if (c == '/') c = '\\';
  std::string cmd = "\"" + exe + "\" --port " + std::to_string(port) + " --snapshot \"" + snap + "\"";
  STARTUPINFOA si{sizeof si};
  PROCESS_INFORMATION pi{};
  ASSERT_TRUE(CreateProcessA(nullptr, cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
      << cmd;
  NotifyWindow w;
  const int link = Open(w.Handle(), FreePort());
  // The screen may still be starting: ask until it answers.
  for (int i = 0; i < 20 && w.Received.empty(); ++i) {
    LED_Query(link, 0, "127.0.0.1", port);
    w.WaitFor(1, 2500);
    if (!w.Received.empty() && w.Received[0].Kind != 3) w.Received.clear();
  }
  ASSERT_FALSE(w.Received.empty());
  EXPECT_TRUE(std::filesystem::exists(snap));
  const auto firstSize = std::filesystem::file_size(snap);
  ledtest::Picture pic(512, 96);
  pic.Pattern(3);
  SendBoard(pic, link, port);
  ASSERT_TRUE(w.WaitFor(2, 3000));
  EXPECT_EQ(w.Received[1].Kind, 2);
  EXPECT_GT(std::filesystem::file_size(snap), firstSize);  // black compresses far better
  TerminateProcess(pi.hProcess, 0);
  WaitForSingleObject(pi.hProcess, 5000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  LED_Close(link);
  std::filesystem::remove(snap);
}
#endif
