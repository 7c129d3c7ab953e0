#include "ledscreen/host/pixel_server.h"

#include "ledscreen/host/server.h"

namespace ledscreen {

PixelServer::PixelServer(Options o) : ScreenService(o), screen_(o.Screen) {}

void PixelServer::Opened() { Publish(screen_.Picture()); }

void PixelServer::Received(const uint8_t* data, size_t size, const ledp::Endpoint& from) {
  screen_.OnDatagram(data, size, from, MonotonicMs());
  if (screen_.TakeFrame()) {
    frames_ = screen_.Frames();
    if (!Shows(screen_.Picture())) Publish(screen_.Picture());
  }
  Log(screen_.TakeLog());
}

}  // namespace ledscreen
