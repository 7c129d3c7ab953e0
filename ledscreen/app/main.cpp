// ledscreen: the simulated LED screen.
//   ledscreen [--bind 127.0.0.1] [--port 6666] [--width 512] [--height 96]
//             [--snapshot FILE.png] [--card FILE] [--auto-power] [--auto-brightness]
//             [--view] [--view-png FILE.png] [--pitch 3]
//             [--protocol own|e131|artnet|ddp] [--universe N] [--pixels-per-universe 170]
//             [--channel-order RGB] [--layout rows|serpentine] [--mirror none|horizontal|vertical|both]
// With --protocol e131, artnet or ddp the screen is an open-protocol pixel
// controller (on 5568, 6454 or 4048 unless --port says otherwise) instead of
// our own protocol's controller.
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

#include "ledscreen/host/pixel_server.h"
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
               "                 [--view] [--view-png FILE.png] [--pitch 3]\n"
               "                 [--protocol own|e131|artnet|ddp] [--universe N] [--pixels-per-universe 170]\n"
               "                 [--channel-order RGB] [--layout rows|serpentine]\n"
               "                 [--mirror none|horizontal|vertical|both]\n",
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

ledp::Protocol ProtocolOf(const std::string& v) {
  if (v == "own") return ledp::Protocol::Own;
  if (v == "e131") return ledp::Protocol::E131;
  if (v == "artnet") return ledp::Protocol::ArtNet;
  if (v == "ddp") return ledp::Protocol::Ddp;
  Usage("bad --protocol (own, e131, artnet or ddp)");
}

// Either screen behind one face for main().
struct AnyServer {
  std::unique_ptr<ledscreen::ScreenServer> own;
  std::unique_ptr<ledscreen::PixelServer> pixels;
  bool Start() { return own ? own->Start() : pixels->Start(); }
  void Stop() { own ? own->Stop() : pixels->Stop(); }
  uint16_t Port() const { return own ? own->Port() : pixels->Port(); }
  const std::string& Error() const { return own ? own->Error() : pixels->Error(); }
  void Hooks(std::function<void(const std::string&)> log, std::function<void(const plat::Raster&)> pic) {
    if (own) own->OnLog = log, own->OnPicture = pic;
    else pixels->OnLog = log, pixels->OnPicture = pic;
  }
};

}  // namespace

int main(int argc, char** argv) {
  ledscreen::ScreenServer::Options o;
  ledscreen::PixelScreenConfig px;
  ledp::Protocol protocol = ledp::Protocol::Own;
  bool portGiven = false;
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
    } else if (a == "--port") {
      o.Port = static_cast<uint16_t>(Number(value("--port"), 1, 65535, "--port"));
      portGiven = true;
    }
    else if (a == "--protocol") protocol = ProtocolOf(value("--protocol"));
    else if (a == "--universe") px.FirstUniverse = Number(value("--universe"), 0, ledp::kE131MaxUniverse, "--universe");
    else if (a == "--pixels-per-universe") px.PixelsPerUniverse = Number(value("--pixels-per-universe"), 1, 170, "--pixels-per-universe");
    else if (a == "--channel-order") {
      auto order = ledp::ParseChannelOrder(value("--channel-order"));
      if (!order) Usage("bad --channel-order (RGB, GRB, BGR, ...)");
      px.Wire.Channels = *order;
    } else if (a == "--layout") {
      const std::string v = value("--layout");
      if (v != "rows" && v != "serpentine") Usage("bad --layout (rows or serpentine)");
      px.Wire.Order = v == "rows" ? ledp::Layout::Rows : ledp::Layout::Serpentine;
    } else if (a == "--mirror") {
      const std::string v = value("--mirror");
      if (v != "none" && v != "horizontal" && v != "vertical" && v != "both") Usage("bad --mirror");
      px.Wire.MirrorX = v == "horizontal" || v == "both";
      px.Wire.MirrorY = v == "vertical" || v == "both";
    }
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

  AnyServer server;
  std::string what;
  if (protocol == ledp::Protocol::Own) {
    server.own = std::make_unique<ledscreen::ScreenServer>(o);
  } else {
    ledscreen::PixelServer::Options po;
    px.Kind = protocol;
    px.Width = o.Screen.Width;
    px.Height = o.Screen.Height;
    po.Screen = px;
    po.BindAddr = o.BindAddr;
    ledp::PixelTarget defaults;
    defaults.Kind = protocol;
    po.Port = portGiven ? o.Port : defaults.PortOrDefault();
    o.Port = po.Port;  // for the view's title
    po.SnapshotPath = o.SnapshotPath;
    po.ViewPath = o.ViewPath;
    po.ViewPitch = o.ViewPitch;
    server.pixels = std::make_unique<ledscreen::PixelServer>(po);
    const ledscreen::PixelScreen probe(px);
    what = std::string(", ") + ledp::ProtocolName(protocol);
    if (protocol != ledp::Protocol::Ddp) {
      const int first = px.FirstUniverse >= 0 ? px.FirstUniverse : protocol == ledp::Protocol::E131 ? 1 : 0;
      what += " universes " + std::to_string(first) + ".." + std::to_string(first + probe.Universes() - 1);
    }
  }
  std::function<void(const plat::Raster&)> onPicture;
#ifdef _WIN32
  std::unique_ptr<ledscreen::View> window;
  if (view) {
    window = std::make_unique<ledscreen::View>(o.Screen.Width, o.Screen.Height, o.ViewPitch,
                                               "ledscreen " + ledp::FormatIPv4(o.BindAddr) + ":" +
                                                   std::to_string(o.Port));
    onPicture = [&window](const plat::Raster& r) { window->Update(r); };
  }
#else
  if (view) Usage("--view needs the Windows build; use --view-png with an image viewer here");
#endif
  server.Hooks(Say, onPicture);
  if (!server.Start()) {
    std::fprintf(stderr, "ledscreen: %s\n", server.Error().c_str());
    return 1;
  }
  Say("ledscreen listening on " + ledp::FormatIPv4(o.BindAddr) + ":" + std::to_string(server.Port()) + ", " +
      std::to_string(o.Screen.Width) + "x" + std::to_string(o.Screen.Height) + what +
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
