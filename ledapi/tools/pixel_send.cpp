// pixel_send: the library's pixel sender on a real socket, without the DLL,
// for the tests against receivers nobody here wrote and for the benchmark.
//   ledapi_pixel_send --ini FILE [--host 127.0.0.1] [--frames 1] [--expect FILE] [--hold-ms 0]
// Sends FRAMES boards one after another, each as soon as the one before has
// left (its "send finished"), then keeps the link open HOLD-MS longer (the
// frame is repeated meanwhile as the settings say). Each board is a pattern
// that differs in every pixel and every frame; --expect writes the boards'
// RGB bytes, row by row from the top, one board after another. Prints one
// line per frame and a summary with the time from the send to the last
// packet out.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "ledapi/core/ledapi_ini.h"
#include "ledapi/core/pixel_sender.h"
#include "ledapi/net/udp.h"
#include "screenlink/core/led_records.h"

namespace {

int64_t NowUs() {
  using namespace std::chrono;
  return duration_cast<microseconds>(steady_clock::now().time_since_epoch()).count();
}

[[noreturn]] void Usage(const char* why) {
  std::fprintf(stderr,
               "pixel_send: %s\nusage: ledapi_pixel_send --ini FILE [--host 127.0.0.1] [--frames 1] "
               "[--expect FILE] [--hold-ms 0]\n",
               why);
  std::exit(2);
}

plat::Raster Pattern(int w, int h, int frame) {
  plat::Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      r.SetPixel(x, y, plat::RGBColor(x * 7 + y * 13 + frame * 31, (x ^ y) + frame * 17, x * y + frame));
  return r;
}

ledp::Program OnePicture(const plat::Raster& pic) {
  ledp::Program p;
  ledp::Page page;
  page.DisplayMs = 200000;
  page.Windows.push_back({ledp::WindowType::Picture, {0, 0, pic.Width(), pic.Height()}, pic, 3, {}, {}});
  p.Pages.push_back(std::move(page));
  return p;
}

}  // namespace

int main(int argc, char** argv) {
  std::string ini, host = "127.0.0.1", expect;
  int frames = 1, holdMs = 0;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (i + 1 >= argc) Usage(("missing value for " + a).c_str());
    const char* v = argv[++i];
    if (a == "--ini") ini = v;
    else if (a == "--host") host = v;
    else if (a == "--frames") frames = std::max(1, std::atoi(v));
    else if (a == "--expect") expect = v;
    else if (a == "--hold-ms") holdMs = std::max(0, std::atoi(v));
    else Usage(("unknown option " + a).c_str());
  }
  if (ini.empty()) Usage("--ini is needed");
  ledp::LedApiConfig cfg;
  std::string error;
  if (!ledp::ReadLedApiIniFile(ini, cfg, error)) {
    std::fprintf(stderr, "pixel_send: %s\n", error.c_str());
    return 1;
  }
  const ledp::PixelTarget* target = cfg.Find(host);
  if (!target || target->Kind == ledp::Protocol::Own) {
    std::fprintf(stderr, "pixel_send: %s has no pixel protocol section in %s\n", host.c_str(), ini.c_str());
    return 1;
  }
  ledp::net::UdpSocket sock;
  if (!sock.Bind(ledp::net::kLoopback, 0)) {
    std::fprintf(stderr, "pixel_send: cannot bind a socket\n");
    return 1;
  }
  ledp::PixelSender sender(cfg, ledp::MakeCid({0x50, 0x6c, 0x61, 0x74, 0x6f, 0x72, 0x61, 0, 1, 2, 3, 4, 5, 6, 7, 8}));
  std::ofstream expected;
  if (!expect.empty()) expected.open(expect, std::ios::binary | std::ios::trunc);

  const int64_t t0 = NowUs();
  auto nowMs = [&] { return (NowUs() - t0) / 1000; };
  size_t packets = 0;
  bool failed = false;
  auto pump = [&](uint32_t waitFor) {
    // Returns when the notice for `waitFor` has come (0: never).
    for (;;) {
      sender.OnTimer(nowMs(), 0);
      for (const ledp::Outgoing& o : sender.TakeOutgoing()) {
        if (!sock.SendTo(o.To, o.Bytes.data(), o.Bytes.size())) failed = true;
        ++packets;
      }
      for (const ledp::Notice& n : sender.TakeNotices())
        if (waitFor && n.Seq == waitFor) return n.Kind == led::kKindSendDone;
      const int64_t next = sender.NextWakeup();
      const int64_t us = next == INT64_MAX ? 1000 : std::clamp<int64_t>(next * 1000 - (NowUs() - t0), 0, 1000);
      if (!waitFor && nowMs() >= next) continue;
      if (us > 0) std::this_thread::sleep_for(std::chrono::microseconds(us));
      if (!waitFor) return true;
    }
  };

  std::vector<double> latency;
  const int64_t startAll = NowUs();
  for (int f = 0; f < frames; ++f) {
    const plat::Raster pic = Pattern(target->Width, target->Height, f);
    if (expected) {
      std::vector<char> rgb;
      rgb.reserve(static_cast<size_t>(pic.Width()) * pic.Height() * 3);
      for (int y = 0; y < pic.Height(); ++y)
        for (int x = 0; x < pic.Width(); ++x) {
          const plat::Color c = pic.Pixel(x, y);
          rgb.push_back(static_cast<char>(plat::RedOf(c)));
          rgb.push_back(static_cast<char>(plat::GreenOf(c)));
          rgb.push_back(static_cast<char>(plat::BlueOf(c)));
        }
      expected.write(rgb.data(), static_cast<std::streamsize>(rgb.size()));
    }
    const int64_t start = NowUs();
    const uint32_t seq = sender.SendProgram(OnePicture(pic), 0, host, 6666, nowMs(), 0);
    if (!pump(seq)) {
      std::fprintf(stderr, "pixel_send: frame %d was not sent (target refused)\n", f);
      return 1;
    }
    latency.push_back((NowUs() - start) / 1000.0);
    std::printf("frame %d: last packet out after %.1f ms\n", f, latency.back());
  }
  const double totalMs = (NowUs() - startAll) / 1000.0;
  const int64_t holdUntil = nowMs() + holdMs;
  while (nowMs() < holdUntil) pump(0);
  std::sort(latency.begin(), latency.end());
  double sum = 0;
  for (double l : latency) sum += l;
  std::printf("%s to %s:%u: %d frame(s), %zu packets, send to last packet out: mean %.1f ms, median %.1f ms, "
              "max %.1f ms; %.1f frames/s back to back%s\n",
              ledp::ProtocolName(target->Kind), host.c_str(), static_cast<unsigned>(target->PortOrDefault()), frames,
              packets, sum / latency.size(), latency[latency.size() / 2], latency.back(),
              frames * 1000.0 / std::max(totalMs, 0.001), failed ? " (some sends FAILED)" : "");
  return failed ? 1 : 0;
}
