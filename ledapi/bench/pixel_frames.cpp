// Whole boards through ledapi.dll to a screen in another process: the
// library's real sending path, with nothing of the receiver's work in this
// process (its Wine server included). Writes a ledapi.ini for 127.0.0.1 with
// the protocol and port given ("own": no section, our own protocol), opens a
// link and sends FRAMES boards back to back, each as soon as the one before
// has been reported; then prints the time from LED_SendToScreen to the
// report and the boards a second. Each board differs in every pixel and every
// frame, as ledapi_pixel_send's do; --expect writes their RGB bytes, row by
// row from the top, one board after another, for the receiver to compare.
//   ledapi_pixel_frames --protocol own|e131|artnet|ddp --port P [--frames 100] [--expect FILE] [--extra LINE]
#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "ledapi/tests/support/ini_folder.h"
#include "ledapi/tests/support/notify_window.h"
#include "ledapi/net/udp.h"

namespace {

constexpr int kWidth = 512, kHeight = 96;

[[noreturn]] void Usage(const char* why) {
  std::fprintf(stderr,
               "pixel_frames: %s\nusage: ledapi_pixel_frames --protocol own|e131|artnet|ddp --port P "
               "[--frames 100] [--expect FILE] [--extra LINE]\n",
               why);
  std::exit(2);
}

// The same pattern as ledapi_pixel_send's, so both senders' boards compare.
void Pattern(int x, int y, int frame, uint8_t rgb[3]) {
  rgb[0] = static_cast<uint8_t>(x * 7 + y * 13 + frame * 31);
  rgb[1] = static_cast<uint8_t>((x ^ y) + frame * 17);
  rgb[2] = static_cast<uint8_t>(x * y + frame);
}

using ledtest::FreePort;

}  // namespace

int main(int argc, char** argv) {
  std::string protocol, expect, extra;
  int port = 0, frames = 100;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) Usage(("missing value for " + a).c_str());
    const char* v = argv[++i];
    if (a == "--protocol") protocol = v;
    else if (a == "--port") port = std::atoi(v);
    else if (a == "--frames") frames = std::max(1, std::atoi(v));
    else if (a == "--expect") expect = v;
    else if (a == "--extra") extra += std::string(v) + "\r\n";
    else Usage(("unknown option " + a).c_str());
  }
  if (protocol.empty() || port <= 0 || port > 65535) Usage("--protocol and --port are needed");
  const bool own = protocol == "own";

  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ledapi_pixel_frames_" + std::to_string(GetCurrentProcessId()));
  fs::create_directories(dir);
  {
    std::ofstream ini(dir / "ledapi.ini", std::ios::binary | std::ios::trunc);
    if (!own) ini << "[127.0.0.1]\r\nprotocol=" << protocol << "\r\nport=" << port << "\r\n" << extra;
  }
  SetEnvironmentVariableW(L"LEDAPI_INI", (dir / "ledapi.ini").wstring().c_str());

  ledtest::NotifyWindow w;
  ledtest::Picture pic(kWidth, kHeight);
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = FreePort();
  const int link = LED_Open(&dev, 1, w.Handle(), WM_LED_NOTIFY);
  if (link <= 0) {
    std::fprintf(stderr, "pixel_frames: LED_Open failed\n");
    return 1;
  }
  std::ofstream expected;
  if (!expect.empty()) expected.open(expect, std::ios::binary | std::ios::trunc);

  RECT area{0, 0, kWidth, kHeight};
  std::vector<double> ms;
  int failed = 0;
  const auto startAll = std::chrono::steady_clock::now();
  for (int f = 0; f < frames; ++f) {
    std::vector<char> rgb;
    pic.Fill([&](int x, int y, uint8_t out[3]) { Pattern(x, y, f, out); });
    if (expected) {
      rgb.resize(static_cast<size_t>(kWidth) * kHeight * 3);
      for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) Pattern(x, y, f, reinterpret_cast<uint8_t*>(&rgb[(y * kWidth + x) * 3]));
      expected.write(rgb.data(), static_cast<std::streamsize>(rgb.size()));
    }
    const size_t before = w.Received.size();
    const auto t0 = std::chrono::steady_clock::now();
    MakeRoot(17, 2);
    AddLeaf(200000);
    AddWindow(pic.Dc(), kWidth, kHeight, &area, 1, 1, 1);
    LED_SendToScreen(link, 0, "127.0.0.1", own ? port : 6666);
    if (!w.WaitFor(before + 1, 5000) || w.Received.back().Kind != 2) {
      ++failed;
      continue;
    }
    ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0).count());
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - startAll).count();
  LED_Close(link);
  SetEnvironmentVariableW(L"LEDAPI_INI", nullptr);
  std::error_code ec;
  fs::remove_all(dir, ec);

  std::sort(ms.begin(), ms.end());
  double sum = 0;
  for (double m : ms) sum += m;
  const auto at = [&](size_t permille) { return ms.empty() ? 0.0 : ms[std::min(ms.size() - 1, ms.size() * permille / 1000)]; };
  std::printf("%s to 127.0.0.1:%d through ledapi.dll: %d boards, send to report: mean %.1f ms, median %.1f ms, "
              "p99 %.1f ms, max %.1f ms; %.1f boards/s back to back (boards drawn between sends); %d failed\n",
              protocol.c_str(), port, frames, ms.empty() ? 0.0 : sum / ms.size(), at(500), at(990),
              ms.empty() ? 0.0 : ms.back(), frames / std::max(seconds, 1e-3), failed);
  return failed ? 1 : 0;
}
