// Serves a pixel-protocol screen core, with the same snapshot, LED-dot view
// and picture hooks as ScreenServer.
#pragma once
#include <atomic>
#include <cstdint>

#include "ledscreen/core/pixel_screen.h"
#include "ledscreen/host/service.h"

namespace ledscreen {

class PixelServer : public ScreenService {
 public:
  struct Options : ServiceOptions {  // Port 0: any free port (ledscreen passes the protocol's own)
    PixelScreenConfig Screen;
  };

  explicit PixelServer(Options o);
  ~PixelServer() { Stop(); }

  uint64_t Frames() const { return frames_; }  // frames completed

 private:
  void Opened() override;
  // A sender repeats its frames; only a changed picture is published.
  void Received(const uint8_t* data, size_t size, const ledp::Endpoint& from) override;

  PixelScreen screen_;
  std::atomic<uint64_t> frames_{0};
};

}  // namespace ledscreen
