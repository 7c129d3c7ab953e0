// Runs a screen core on a UDP socket in its own thread: the body of the
// ledscreen program, and an in-process screen for tests and benchmarks.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ledapi/net/udp.h"
#include "ledscreen/core/screen.h"

namespace ledscreen {

class ScreenServer {
 public:
  struct Options {
    ScreenConfig Screen;
    uint32_t BindAddr = ledp::net::kLoopback;
    uint16_t Port = 6666;            // 0: any free port
    std::string SnapshotPath;        // PNG of the screen, rewritten on every change
    std::string ViewPath;            // optional PNG of the LED-dot view
    int ViewPitch = 3;
  };

  explicit ScreenServer(Options o);
  ~ScreenServer() { Stop(); }

  // Binds, shows the card's program, writes the first snapshot and starts
  // serving. False (with a reason in Error()) when the port cannot be had.
  bool Start();
  void Stop();
  uint16_t Port() const { return port_; }
  const std::string& Error() const { return error_; }

  // Called from the server thread: one line per command, and the new picture.
  std::function<void(const std::string&)> OnLog;
  std::function<void(const plat::Raster&)> OnPicture;

  plat::Raster Picture();
  int Changes() const { return changes_; }

 private:
  void Run();
  void Publish(int64_t nowMs);

  Options opt_;
  Screen screen_;
  ledp::net::UdpSocket sock_;
  uint16_t port_ = 0;
  std::string error_;
  std::mutex mu_;
  plat::Raster picture_;
  std::atomic<int> changes_{0};
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

// Host clock helpers: monotonic milliseconds, and the local wall clock as
// seconds of ledp::ClockToSeconds.
int64_t MonotonicMs();
int64_t LocalWallSeconds();

}  // namespace ledscreen
