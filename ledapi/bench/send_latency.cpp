// Send latency of ledapi.dll against an in-process screen on loopback:
// AddWindow of a 512 x 96 picture + LED_SendToScreen until the "send
// finished" report arrives, with and without a relay losing 20% of the
// datagrams each way. A query round trip is measured in the same run as the
// baseline. Then the same sends with a screen's key on both ends (the
// authenticated protocol) against plain ones, in alternating rounds so that
// both see the same load. (A plain timing harness: Google Benchmark is not
// built for MinGW.)
//   ledapi_send_latency [sends=300]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ledapi/keys/key_file.h"
#include "ledapi/tests/support/ini_folder.h"
#include "ledapi/tests/support/notify_window.h"
#include "ledscreen/host/relay.h"
#include "ledscreen/host/server.h"

namespace {

struct Stats {
  double median, p99, max;
};

Stats Summarise(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return {v[v.size() / 2], v[std::min(v.size() - 1, v.size() * 99 / 100)], v.back()};
}

using ledtest::FreePort;

// Times `sends` runs of `op` until one more report has arrived.
template <class Prepare, class Op>
std::vector<double> Measure(ledtest::NotifyWindow& w, int sends, Prepare prepare, Op op, int& failures) {
  std::vector<double> ms;
  for (int i = 0; i < sends; ++i) {
    prepare(i);  // drawing the picture is not part of the send
    const size_t before = w.Received.size();
    const auto t0 = std::chrono::steady_clock::now();
    op(i);
    if (!w.WaitFor(before + 1, 5000) || (w.Received.back().Kind != 2 && w.Received.back().Kind != 3)) {
      ++failures;
      continue;
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  return ms;
}

// A folder with ledapi.ini and the key file it names for 127.0.0.1. The
// library reads its settings when a link is opened: Use() opens the link
// again with or without them.
struct KeyedSettings {
  KeyedSettings() : folder("ledapi_bench", "[127.0.0.1]\nkeyfile = screen.key\n") {
    std::string error;
    if (ledp::keys::MakeKeyFile((folder.dir / "screen.key").string(), error))
      key = ledp::keys::LoadKeyFile((folder.dir / "screen.key").string(), error);
  }
  bool Use(bool keyed, TLedDevice& dev, HWND w) {
    SetEnvironmentVariableW(L"LEDAPI_INI", keyed ? (folder.dir / "ledapi.ini").wstring().c_str() : nullptr);
    return LED_Open(&dev, 1, w, 1025) > 0;
  }
  ledtest::IniFolder folder;
  std::optional<ledp::crypto::Key> key;
};

// Board sends, plain to `plainPort` and keyed to `keyedPort` (keys are per
// screen address, and both screens are on 127.0.0.1: each round opens the
// link again with the settings it needs), alternating rounds of `perRound`.
std::pair<std::vector<double>, std::vector<double>> PlainAndKeyed(ledtest::NotifyWindow& w, KeyedSettings& settings,
                                                                  TLedDevice& dev, int link, ledtest::Picture& pic,
                                                                  int plainPort, int keyedPort, int rounds,
                                                                  int perRound, int& failed) {
  RECT area{0, 0, 512, 96};
  std::vector<double> times[2];
  for (int r = 0; r < rounds; ++r) {
    for (int keyed = 0; keyed < 2; ++keyed) {
      if (!settings.Use(keyed != 0, dev, w.Handle())) {
        ++failed;
        continue;
      }
      const int port = keyed ? keyedPort : plainPort;
      auto t = Measure(w, perRound, [&](int i) { pic.Board(static_cast<unsigned>(r * perRound + i)); }, [&](int) {
        MakeRoot(17, 2);
        AddLeaf(200000);
        AddWindow(pic.Dc(), 512, 96, &area, 1, 1, 1);
        LED_SendToScreen(link, 0, "127.0.0.1", port);
      }, failed);
      times[keyed].insert(times[keyed].end(), t.begin(), t.end());
    }
  }
  settings.Use(false, dev, w.Handle());
  return {times[0], times[1]};
}

}  // namespace

int main(int argc, char** argv) {
  const int sends = argc > 1 ? std::max(10, std::atoi(argv[1])) : 300;
  ledscreen::ScreenServer::Options o;
  o.Port = 0;
  ledscreen::ScreenServer server(o);
  if (!server.Start()) return 1;
  ledtest::NotifyWindow w;
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = FreePort();
  const int link = LED_Open(&dev, 1, w.Handle(), 1025);
  if (link <= 0) return 1;
  ledtest::Picture pic(512, 96);
  RECT area{0, 0, 512, 96};

  std::printf("%-34s %8s %9s %9s %9s %8s\n", "case", "sends", "median", "p99", "max", "failed");
  for (double loss : {-1.0, 0.0, 0.2}) {
    // -1: straight to the screen; otherwise through a relay losing `loss`.
    ledscreen::Relay relay(ledp::Endpoint{ledp::net::kLoopback, server.Port()},
                           ledscreen::RelayConfig{std::max(loss, 0.0), std::max(loss, 0.0), 0, 0, 1234});
    if (loss >= 0) relay.Start();
    const int port = loss >= 0 ? relay.Port() : server.Port();
    int failed = 0;
    auto query = Measure(w, sends, [](int) {}, [&](int) { LED_Query(link, 0, "127.0.0.1", port); }, failed);
    auto send = Measure(w, sends, [&](int i) { pic.Board(static_cast<unsigned>(i)); }, [&](int) {
      MakeRoot(17, 2);
      AddLeaf(200000);
      AddWindow(pic.Dc(), 512, 96, &area, 1, 1, 1);
      LED_SendToScreen(link, 0, "127.0.0.1", port);
    }, failed);
    const char* tag = loss > 0 ? "20% loss each way" : loss == 0 ? "relay, no loss" : "direct";
    Stats q = Summarise(query), s = Summarise(send);
    std::printf("query round trip, %-16s %8d %7.2fms %7.2fms %7.2fms %8s\n", tag, sends, q.median, q.p99, q.max, "");
    std::printf("512x96 send, %-21s %8d %7.2fms %7.2fms %7.2fms %8d\n", tag, sends, s.median, s.p99, s.max, failed);
    std::printf("  send / query median ratio: %.1f (relay forwarded %d, dropped %d datagrams)\n", s.median / q.median,
                relay.Forwarded(), relay.Dropped());
    std::fflush(stdout);
  }
  // Worst case: a picture that does not compress (106 datagrams), direct.
  int failed = 0;
  auto noise = Measure(w, std::max(50, sends / 4), [&](int i) { pic.Pattern(static_cast<unsigned>(i)); }, [&](int) {
    MakeRoot(17, 2);
    AddLeaf(200000);
    AddWindow(pic.Dc(), 512, 96, &area, 1, 1, 1);
    LED_SendToScreen(link, 0, "127.0.0.1", server.Port());
  }, failed);
  Stats n = Summarise(noise);
  std::printf("512x96 noise picture, direct      %8zu %7.2fms %7.2fms %7.2fms %8d\n", noise.size(), n.median, n.p99,
              n.max, failed);

  // The same board sends with a screen's key on both ends: a keyed screen
  // (same in-process server) and the library reading the key from its
  // ledapi.ini. Plain sends go to the plain screen in the same rounds.
  KeyedSettings settings;
  if (!settings.key) {
    std::printf("keyed sends: no key file could be made in %s\n", settings.folder.dir.string().c_str());
  } else {
    ledscreen::ScreenServer::Options ko;
    ko.Port = 0;
    ko.Screen.Key = settings.key;
    ledscreen::ScreenServer keyedServer(ko);
    if (!keyedServer.Start()) return 1;
    std::printf("\n%-34s %8s %9s %9s %9s %8s %6s\n", "keyed against plain (same rounds)", "sends", "plain", "keyed",
                "keyed p99", "failed", "ratio");
    for (double loss : {-1.0, 0.2}) {
      const ledscreen::RelayConfig faults{std::max(loss, 0.0), std::max(loss, 0.0), 0, 0, 4321};
      ledscreen::Relay plainRelay({ledp::net::kLoopback, server.Port()}, faults);
      ledscreen::Relay keyedRelay({ledp::net::kLoopback, keyedServer.Port()}, faults);
      if (loss >= 0 && (!plainRelay.Start() || !keyedRelay.Start())) return 1;
      int failed = 0;
      const int rounds = 10;
      const int plainPort = loss >= 0 ? plainRelay.Port() : server.Port();
      const int keyedPort = loss >= 0 ? keyedRelay.Port() : keyedServer.Port();
      auto [plainMs, keyedMs] =
          PlainAndKeyed(w, settings, dev, link, pic, plainPort, keyedPort, rounds, std::max(1, sends / rounds), failed);
      if (plainMs.empty() || keyedMs.empty()) return 1;
      Stats p = Summarise(plainMs), k = Summarise(keyedMs);
      std::printf("512x96 send, %-21s %8zu %7.2fms %7.2fms %7.2fms %8d %6.2f\n",
                  loss > 0 ? "20% loss each way" : "direct", keyedMs.size(), p.median, k.median, k.p99, failed,
                  k.median / p.median);
      std::fflush(stdout);
    }
    keyedServer.Stop();
  }
  LED_Close(link);
  server.Stop();
  return 0;
}
