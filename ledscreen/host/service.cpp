#include "ledscreen/host/service.h"

#include "ledscreen/core/png.h"
#include "ledscreen/core/screen.h"

namespace ledscreen {

bool ScreenService::Start() {
  if (!sock_.Bind(where_.BindAddr, where_.Port)) {
    error_ = "cannot bind " + ledp::FormatIPv4(where_.BindAddr) + ":" + std::to_string(where_.Port);
    return false;
  }
  port_ = sock_.LocalPort();
  Opened();
  worker_ = std::thread([this] { Run(); });
  return true;
}

void ScreenService::Stop() {
  if (!worker_.joinable()) return;
  stop_ = true;
  // Wakes the thread from its wait at once.
  static const uint8_t wake = 0;
  sock_.SendTo({ledp::net::kLoopback, port_}, &wake, 1);
  worker_.join();
  sock_.Close();
}

plat::Raster ScreenService::Picture() {
  std::lock_guard lock(mu_);
  return picture_;
}

bool ScreenService::Shows(const plat::Raster& pic) {
  std::lock_guard lock(mu_);
  return changes_ > 0 && pic.SamePixels(picture_);
}

void ScreenService::Publish(const plat::Raster& pic) {
  {
    std::lock_guard lock(mu_);
    picture_ = pic;
  }
  if (!where_.SnapshotPath.empty()) WriteFileReplacing(where_.SnapshotPath, EncodePng(pic));
  if (!where_.ViewPath.empty()) WriteFileReplacing(where_.ViewPath, EncodePng(LedDots(pic, where_.ViewPitch)));
  ++changes_;
  if (OnPicture) OnPicture(pic);
}

void ScreenService::Log(const std::vector<std::string>& lines) {
  if (!OnLog) return;
  for (const std::string& line : lines) OnLog(line);
}

void ScreenService::Send(const ledp::Endpoint& to, const std::vector<uint8_t>& bytes) {
  sock_.SendTo(to, bytes.data(), bytes.size());
}

void ScreenService::Run() {
  uint8_t buf[2048];
  while (!stop_) {
    ledp::Endpoint from;
    int n = sock_.RecvFrom(buf, sizeof buf, from, WaitMs());
    while (n >= 0 && !stop_) {
      Received(buf, static_cast<size_t>(n), from);
      n = sock_.RecvFrom(buf, sizeof buf, from, 0);
    }
    Drained();
  }
}

}  // namespace ledscreen
