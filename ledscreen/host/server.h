// Serves our own protocol's screen core: the body of the ledscreen program,
// and an in-process screen for tests and benchmarks.
#pragma once
#include <cstdint>

#include "ledscreen/core/screen.h"
#include "ledscreen/host/service.h"

namespace ledscreen {

class ScreenServer : public ScreenService {
 public:
  struct Options : ServiceOptions {
    Options() : ServiceOptions(6666) {}
    ScreenConfig Screen;
  };

  explicit ScreenServer(Options o);
  ~ScreenServer() { Stop(); }

 private:
  // Shows the card's program.
  void Opened() override;
  void Received(const uint8_t* data, size_t size, const ledp::Endpoint& from) override;
  // Redraws when the clock or the pages want it.
  void Drained() override;
  int WaitMs() override;
  void Render(int64_t nowMs);

  Screen screen_;
  int64_t nextRender_ = 0;  // the thread's alone
};

// Host clock helpers: monotonic milliseconds, and the local wall clock as
// seconds of ledp::ClockToSeconds.
int64_t MonotonicMs();
int64_t LocalWallSeconds();

}  // namespace ledscreen
