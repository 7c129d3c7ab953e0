// ledscreen: the simulated LED screen.
//   ledscreen [--bind 127.0.0.1] [--port 6666] [--width 512] [--height 96]
//             [--snapshot FILE.png] [--card FILE] [--auto-power] [--auto-brightness]
//             [--view] [--view-png FILE.png] [--pitch 3]
// Prints one line per command received; ends on Ctrl+C / SIGTERM (or when
// the view window is closed).
#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include "ledscreen/host/server.h"

#ifdef _WIN32
#include <windows.h>
#include "ledscreen/app/view_win.h"
#endif

namespace {

std::atomic<bool> g_stop{false};
std::mutex g_out;

void Say(const std::string& line) {
  std::lock_guard lock(g_out);
  std::printf("%s\n", line.c_str());
  std::fflush(stdout);
}

[[noreturn]] void Usage(const char* why) {
  std::fprintf(stderr,
               "ledscreen: %s\nusage: ledscreen [--bind 127.0.0.1] [--port 6666] [--width 512] [--height 96]\n"
               "                 [--snapshot FILE.png] [--card FILE] [--auto-power] [--auto-brightness]\n"
               "                 [--view] [--view-png FILE.png] [--pitch 3]\n",
               why);
  std::exit(2);
}

int Number(const char* s, int lo, int hi, const char* what) {
  char* end = nullptr;
  long v = std::strtol(s, &end, 10);
  if (!*s || *end || v < lo || v > hi) Usage((std::string("bad ") + what).c_str());
  return static_cast<int>(v);
}

void OnSignal(int) { g_stop = true; }

}  // namespace

int main(int argc, char** argv) {
  ledscreen::ScreenServer::Options o;
  bool view = false;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&](const char* what) -> const char* {
      if (i + 1 >= argc) Usage((std::string("missing value for ") + what).c_str());
      return argv[++i];
    };
    if (a == "--bind") {
      auto addr = ledp::ParseIPv4(value("--bind"));
      if (!addr) Usage("bad --bind address");
      o.BindAddr = *addr;
    } else if (a == "--port") o.Port = static_cast<uint16_t>(Number(value("--port"), 1, 65535, "--port"));
    else if (a == "--width") o.Screen.Width = Number(value("--width"), 1, ledp::kMaxSide, "--width");
    else if (a == "--height") o.Screen.Height = Number(value("--height"), 1, ledp::kMaxSide, "--height");
    else if (a == "--snapshot") o.SnapshotPath = value("--snapshot");
    else if (a == "--card") o.Screen.CardPath = value("--card");
    else if (a == "--auto-power") o.Screen.AutoPower = true;
    else if (a == "--auto-brightness") o.Screen.AutoBrightness = true;
    else if (a == "--view") view = true;
    else if (a == "--view-png") o.ViewPath = value("--view-png");
    else if (a == "--pitch") o.ViewPitch = Number(value("--pitch"), 1, 16, "--pitch");
    else Usage(("unknown option " + a).c_str());
  }

  ledscreen::ScreenServer server(o);
  server.OnLog = Say;
#ifdef _WIN32
  std::unique_ptr<ledscreen::View> window;
  if (view) {
    window = std::make_unique<ledscreen::View>(o.Screen.Width, o.Screen.Height, o.ViewPitch,
                                               "ledscreen " + ledp::FormatIPv4(o.BindAddr) + ":" +
                                                   std::to_string(o.Port));
    server.OnPicture = [&window](const plat::Raster& r) { window->Update(r); };
  }
#else
  if (view) Usage("--view needs the Windows build; use --view-png with an image viewer here");
#endif
  if (!server.Start()) {
    std::fprintf(stderr, "ledscreen: %s\n", server.Error().c_str());
    return 1;
  }
  Say("ledscreen listening on " + ledp::FormatIPv4(o.BindAddr) + ":" + std::to_string(server.Port()) + ", " +
      std::to_string(o.Screen.Width) + "x" + std::to_string(o.Screen.Height) +
      (o.Screen.AutoPower ? ", automatic power" : "") + (o.Screen.AutoBrightness ? ", automatic brightness" : ""));

  std::signal(SIGINT, OnSignal);
  std::signal(SIGTERM, OnSignal);
#ifdef _WIN32
  if (window) {
    window->Run(g_stop);  // until the window closes or a signal comes
    server.Stop();
    return 0;
  }
#endif
  while (!g_stop) std::this_thread::sleep_for(std::chrono::milliseconds(50));
  server.Stop();
  Say("ledscreen stopped");
  return 0;
}
