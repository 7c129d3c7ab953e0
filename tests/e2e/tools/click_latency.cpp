// Click-to-"发送完成" latency of the real program: platora.exe sends its board
// to a screen on 127.0.0.1:6666 (through the loss relay when asked), driven by
// pressing "发送" and watching its result log. The baseline, measured in the
// same run before and after the presses, is the library's own send of a board
// the same size over the same relay, from this process.
//   platora_click_latency [SENDS] [LOSS] [GAP_MS]    e.g. 200 0.2 50
// GAP_MS leaves the program that long between a press's "发送完成" and the
// next press, the time an operator's hand takes, in which the program paints
// what the press changed; without it the presses follow each other at once.
// The library's own sends pause as long, so that both start from the same
// quiet.
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <vector>

#include "ledapi/tests/support/ini_folder.h"
#include "ledapi/tests/support/notify_window.h"
#include "ledscreen/host/relay.h"
#include "ledscreen/host/server.h"
#include "tests/e2e/common.h"

using namespace e2e;

namespace {
int CountDone(HWND log) {
  const std::wstring t = Text(log);
  int n = 0;
  for (size_t p = 0; (p = t.find(L"发送完成", p)) != std::wstring::npos; p += 4) ++n;
  return n;
}

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : v[v.size() / 2];
}

// The library's send of a board from this process, timed until its "send
// finished" report, with the same pause after each as the presses get; the
// link listens on a port of its own.
std::vector<double> LibrarySends(int sends, int gapMs) {
  ledtest::NotifyWindow w;
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = ledtest::FreePort();
  const int link = LED_Open(&dev, 1, w.Handle(), WM_LED_NOTIFY);
  std::vector<double> ms;
  if (link <= 0) return ms;
  ledtest::Picture board(512, 96);
  board.Board(0);
  const RECT area{0, 0, 512, 96};
  for (int i = 0; i < sends; ++i) {
    const size_t before = w.Received.size();
    const auto t0 = std::chrono::steady_clock::now();
    MakeRoot(17, 2);
    AddLeaf(200000);
    AddWindow(board.Dc(), 512, 96, &area, 1, 1, 1);
    LED_SendToScreen(link, 0, "127.0.0.1", 6666);
    if (w.WaitFor(before + 1, 5000) && w.Received.back().Kind == 2)
      ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    if (gapMs) Sleep(static_cast<DWORD>(gapMs));
  }
  LED_Close(link);
  return ms;
}
}  // namespace

int wmain(int argc, wchar_t** argv) {
  const int sends = argc > 1 ? _wtoi(argv[1]) : 200;
  const double loss = argc > 2 ? _wtof(argv[2]) : 0.0;
  const int gapMs = argc > 3 ? _wtoi(argv[3]) : 0;
  // Anything else (a flag meant for another program, a word) reads as 0 sends,
  // which leaves nothing to measure.
  if (argc > 4 || sends < 1 || loss < 0 || loss >= 1 || gapMs < 0) {
    std::fprintf(stderr, "usage: platora_click_latency [SENDS >= 1] [LOSS 0..<1] [GAP_MS >= 0]\n");
    return 2;
  }

  // The screen on a free port; the relay takes the screen port the program uses.
  ledscreen::ScreenServer::Options o;
  o.Port = 0;
  ledscreen::ScreenServer screen(o);
  if (!screen.Start()) return 1;
  ledscreen::RelayConfig faults;
  faults.LossToScreen = faults.LossToLink = loss;
  ledscreen::Relay relay(ledp::Endpoint{ledp::net::kLoopback, screen.Port()}, faults);
  if (!relay.Start(6666)) {
    std::fprintf(stderr, "port 6666 is taken\n");
    return 1;
  }

  const auto dir = ScratchDir("click_latency");
  WriteLoopbackSettings(dir);
  Program prog(dir);
  HWND main = prog.Main();
  if (!main) return 1;
  HWND send = FindByText(main, L"发送");
  HWND log = FindAt(main, 10, 328, L"Edit");
  std::vector<double> library = LibrarySends(sends / 2, gapMs);
  std::vector<double> ms, clickMs;
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < sends; ++i) {
    const auto t0 = std::chrono::steady_clock::now();
    Click(send);  // returns once the program has handled the click
    clickMs.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    // Each send adds two lines ("通讯链路打开成功!", then "发送完成"); the
    // line count is a cheap question to ask another process.
    while (SendMessageW(log, EM_GETLINECOUNT, 0, 0) < 2 * (i + 1) + 1) {
      Sleep(1);
      if (std::chrono::steady_clock::now() - t0 > std::chrono::seconds(5)) break;
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
    if (gapMs) Sleep(static_cast<DWORD>(gapMs));
  }
  const double total = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  const std::vector<double> after = LibrarySends(sends - sends / 2, gapMs);
  library.insert(library.end(), after.begin(), after.end());
  std::sort(ms.begin(), ms.end());
  std::sort(clickMs.begin(), clickMs.end());
  const auto at = [&](double q) { return ms[std::min(ms.size() - 1, static_cast<size_t>(q * ms.size()))]; };
  std::printf("sends %d loss %.0f%% gap %d ms: median %.2f ms, p99 %.2f ms, max %.2f ms, %.1f sends/s, completed %d"
              " (the click handler itself: median %.2f ms)\n",
              sends, loss * 100, gapMs, at(0.5), at(0.99), ms.back(), sends / total, CountDone(log),
              clickMs[clickMs.size() / 2]);
  const double base = Median(library);
  std::printf("library's own send, same run: median %.2f ms (%zu of %d reported finished); click / library %.2fx\n",
              base, library.size(), sends, base > 0 ? at(0.5) / base : 0.0);
  return 0;
}
