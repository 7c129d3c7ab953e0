#include "ledscreen/host/server.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "ledscreen/core/png.h"

namespace ledscreen {

int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t LocalWallSeconds() {
  std::time_t now = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &now);
#else
  localtime_r(&now, &tm);
#endif
  return ledp::ClockToSeconds({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
}

ScreenServer::ScreenServer(Options o) : opt_(std::move(o)), screen_(opt_.Screen) {}

bool ScreenServer::Start() {
  if (!sock_.Bind(opt_.BindAddr, opt_.Port)) {
    error_ = "cannot bind " + ledp::FormatIPv4(opt_.BindAddr) + ":" + std::to_string(opt_.Port);
    return false;
  }
  port_ = sock_.LocalPort();
  const int64_t now = MonotonicMs();
  const std::string card = screen_.LoadCard(now);
  if (OnLog) OnLog(card);
  screen_.Render(now, LocalWallSeconds());
  Publish(now);
  worker_ = std::thread([this] { Run(); });
  return true;
}

void ScreenServer::Stop() {
  if (!worker_.joinable()) return;
  stop_ = true;
  static const uint8_t wake = 0;
  sock_.SendTo({ledp::net::kLoopback, port_}, &wake, 1);
  worker_.join();
  sock_.Close();
}

plat::Raster ScreenServer::Picture() {
  std::lock_guard lock(mu_);
  return picture_;
}

void ScreenServer::Publish(int64_t nowMs) {
  const plat::Raster& pic = screen_.Picture();
  {
    std::lock_guard lock(mu_);
    picture_ = pic;
  }
  if (!opt_.SnapshotPath.empty()) WriteFileReplacing(opt_.SnapshotPath, EncodePng(pic));
  if (!opt_.ViewPath.empty()) WriteFileReplacing(opt_.ViewPath, EncodePng(LedDots(pic, opt_.ViewPitch)));
  ++changes_;
  if (OnPicture) OnPicture(pic);
}

void ScreenServer::Run() {
  uint8_t buf[2048];
  while (!stop_) {
    int64_t now = MonotonicMs();
    const int wait = static_cast<int>(std::clamp<int64_t>(screen_.NextChange(now) - now, 1, 200));
    ledp::Endpoint from;
    int n = sock_.RecvFrom(buf, sizeof buf, from, wait);
    while (n >= 0 && !stop_) {
      const int64_t t = MonotonicMs();
      screen_.OnDatagram(buf, static_cast<size_t>(n), from, t, LocalWallSeconds());
      if (screen_.Dirty() && screen_.Render(t, LocalWallSeconds())) Publish(t);
      for (const Reply& r : screen_.TakeReplies()) sock_.SendTo(r.To, r.Bytes.data(), r.Bytes.size());
      for (const std::string& line : screen_.TakeLog())
        if (OnLog) OnLog(line);
      n = sock_.RecvFrom(buf, sizeof buf, from, 0);
    }
    now = MonotonicMs();
    if (screen_.Render(now, LocalWallSeconds())) Publish(now);
  }
}

}  // namespace ledscreen
