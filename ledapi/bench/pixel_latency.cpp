// A whole 512 x 96 board through ledapi.dll to in-process screens on
// loopback: our own protocol (until the screen's acknowledgement), E1.31 and
// DDP at the default pacing (until the last packet is out, which is when the
// library reports "send finished"), each timed from LED_SendToScreen to that
// report; then frames back to back for each pixel protocol, counting the
// frames the screen completed. (A plain timing harness, as send_latency.)
//   ledapi_pixel_latency [sends=100]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "ledapi/tests/support/ini_folder.h"
#include "ledapi/tests/support/notify_window.h"
#include "ledscreen/host/pixel_server.h"
#include "ledscreen/host/server.h"

namespace {

using ledtest::FreePort;

struct Stats {
  double median = 0, p99 = 0, max = 0;
};

Stats Summarise(std::vector<double> v) {
  if (v.empty()) return {};
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

struct Rig {
  ledtest::NotifyWindow w;
  ledtest::Picture pic{512, 96};
  RECT area{0, 0, 512, 96};
  int link = -1;

  bool Open() {
    TLedDevice dev{};
    dev.LinkType = 1;
    dev.LocalPort = FreePort();
    link = LED_Open(&dev, 1, w.Handle(), 1025);
    return link > 0;
  }
};

void Row(const char* name, const std::vector<double>& ms, int failed) {
  const Stats s = Summarise(ms);
  std::printf("%-30s %6zu %8.2fms %8.2fms %8.2fms %7d\n", name, ms.size(), s.median, s.p99, s.max, failed);
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  const int sends = argc > 1 ? std::max(10, std::atoi(argv[1])) : 100;
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ledapi_pixel_latency_" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(dir);

  ledscreen::ScreenServer::Options own;
  own.Port = 0;
  ledscreen::ScreenServer ownScreen(own);
  ledscreen::PixelServer::Options e131, ddp;
  e131.Screen.Kind = ledp::Protocol::E131;
  ddp.Screen.Kind = ledp::Protocol::Ddp;
  ledscreen::PixelServer e131Screen(e131), ddpScreen(ddp);
  if (!ownScreen.Start() || !e131Screen.Start() || !ddpScreen.Start()) return 1;
  SetEnvironmentVariableW(L"LEDAPI_INI", (dir / "ledapi.ini").wstring().c_str());
  // The screen at 127.0.0.1 is each kind in turn: a section for it in
  // ledapi.ini, or none for our own protocol; the link is opened anew.
  auto configure = [&](const std::string& section) {
    std::ofstream(dir / "ledapi.ini", std::ios::binary | std::ios::trunc) << section;
  };
  Rig rig;
  std::printf("%-30s %6s %10s %10s %10s %7s\n", "512x96 board, send to report", "sends", "median", "p99", "max",
              "failed");
  struct Case {
    const char* Name;
    std::string Section;
    int Port;
    ledscreen::PixelServer* Pixels;
  };
  const Case cases[] = {
      {"own protocol (acknowledged)", "", ownScreen.Port(), nullptr},
      {"E1.31, 290 packets, 8/ms", "[127.0.0.1]\r\nprotocol=e131\r\nport=" + std::to_string(e131Screen.Port()), 6666,
       &e131Screen},
      {"DDP, 103 packets, 8/ms", "[127.0.0.1]\r\nprotocol=ddp\r\nport=" + std::to_string(ddpScreen.Port()), 6666,
       &ddpScreen}};
  auto sendBoard = [&](int i, int port) {
    rig.pic.Board(static_cast<unsigned>(i));
    const size_t before = rig.w.Received.size();
    const auto t0 = std::chrono::steady_clock::now();
    MakeRoot(17, 2);
    AddLeaf(200000);
    AddWindow(rig.pic.Dc(), 512, 96, &rig.area, 1, 1, 1);
    LED_SendToScreen(rig.link, 0, "127.0.0.1", port);
    if (!rig.w.WaitFor(before + 1, 5000) || rig.w.Received.back().Kind != 2) return -1.0;
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count();
  };
  for (const Case& c : cases) {
    configure(c.Section);
    if (!rig.Open()) return 1;
    std::vector<double> ms;
    int failed = 0;
    for (int i = 0; i < sends; ++i) {
      const double t = sendBoard(i, c.Port);
      if (t < 0) ++failed;
      else ms.push_back(t);
    }
    Row(c.Name, ms, failed);
    if (c.Pixels) {
      // Back to back: the next board as soon as the last one is reported.
      const uint64_t before = c.Pixels->Frames();
      const auto t0 = std::chrono::steady_clock::now();
      failed = 0;
      for (int i = 0; i < sends; ++i) failed += sendBoard(i, c.Port) < 0;
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
      Sleep(100);
      std::printf("  back to back: %d boards in %.2f s, %.1f boards/s; the screen completed %llu, failed %d\n", sends,
                  s, sends / s, static_cast<unsigned long long>(c.Pixels->Frames() - before), failed);
    }
    LED_Close(rig.link);
  }
  SetEnvironmentVariableW(L"LEDAPI_INI", nullptr);
  std::error_code ec;
  fs::remove_all(dir, ec);
  return 0;
}
