// Runs a pixel-protocol screen core on a UDP socket in its own thread, with
// the same snapshot, LED-dot view and picture hooks as ScreenServer.
#pragma once
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "ledapi/net/udp.h"
#include "ledscreen/core/pixel_screen.h"

namespace ledscreen {

class PixelServer {
 public:
  struct Options {
    PixelScreenConfig Screen;
    uint32_t BindAddr = ledp::net::kLoopback;
    uint16_t Port = 0;               // 0: any free port (ledscreen passes the protocol's own)
    std::string SnapshotPath;
    std::string ViewPath;
    int ViewPitch = 3;
  };

  explicit PixelServer(Options o);
  ~PixelServer() { Stop(); }

  bool Start();
  void Stop();
  uint16_t Port() const { return port_; }
  const std::string& Error() const { return error_; }

  std::function<void(const std::string&)> OnLog;
  std::function<void(const plat::Raster&)> OnPicture;

  plat::Raster Picture();
  int Changes() const { return changes_; }     // pictures published
  uint64_t Frames();                           // frames completed

 private:
  void Run();
  void Publish(const plat::Raster& pic);

  Options opt_;
  PixelScreen screen_;
  ledp::net::UdpSocket sock_;
  uint16_t port_ = 0;
  std::string error_;
  std::mutex mu_;
  plat::Raster picture_;
  uint64_t frames_ = 0;
  std::atomic<int> changes_{0};
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

}  // namespace ledscreen
