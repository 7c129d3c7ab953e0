#include "ledscreen/host/pixel_server.h"

#include "ledscreen/core/png.h"
#include "ledscreen/host/server.h"

namespace ledscreen {

PixelServer::PixelServer(Options o) : opt_(std::move(o)), screen_(opt_.Screen) {}

bool PixelServer::Start() {
  if (!sock_.Bind(opt_.BindAddr, opt_.Port)) {
    error_ = "cannot bind " + ledp::FormatIPv4(opt_.BindAddr) + ":" + std::to_string(opt_.Port);
    return false;
  }
  port_ = sock_.LocalPort();
  Publish(screen_.Picture());
  worker_ = std::thread([this] { Run(); });
  return true;
}

void PixelServer::Stop() {
  if (!worker_.joinable()) return;
  stop_ = true;
  static const uint8_t wake = 0;
  sock_.SendTo({ledp::net::kLoopback, port_}, &wake, 1);
  worker_.join();
  sock_.Close();
}

plat::Raster PixelServer::Picture() {
  std::lock_guard lock(mu_);
  return picture_;
}

uint64_t PixelServer::Frames() {
  std::lock_guard lock(mu_);
  return frames_;
}

void PixelServer::Publish(const plat::Raster& pic) {
  {
    std::lock_guard lock(mu_);
    if (changes_ > 0 && pic.SamePixels(picture_)) return;  // a repeat of the same frame
    picture_ = pic;
  }
  if (!opt_.SnapshotPath.empty()) WriteFileReplacing(opt_.SnapshotPath, EncodePng(pic));
  if (!opt_.ViewPath.empty()) WriteFileReplacing(opt_.ViewPath, EncodePng(LedDots(pic, opt_.ViewPitch)));
  ++changes_;
  if (OnPicture) OnPicture(pic);
}

void PixelServer::Run() {
  uint8_t buf[2048];
  while (!stop_) {
    ledp::Endpoint from;
    int n = sock_.RecvFrom(buf, sizeof buf, from, 200);
    while (n >= 0 && !stop_) {
      screen_.OnDatagram(buf, static_cast<size_t>(n), from, MonotonicMs());
      if (screen_.TakeFrame()) {
        {
          std::lock_guard lock(mu_);
          frames_ = screen_.Frames();
        }
        Publish(screen_.Picture());
      }
      for (const std::string& line : screen_.TakeLog())
        if (OnLog) OnLog(line);
      n = sock_.RecvFrom(buf, sizeof buf, from, 0);
    }
  }
}

}  // namespace ledscreen
