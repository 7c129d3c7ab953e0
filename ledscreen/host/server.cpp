#include "ledscreen/host/server.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>

#include "ledscreen/core/png.h"

namespace ledscreen {

int64_t MonotonicMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

int64_t LocalWallSeconds() {
  // The C library's local time can be slow (under Wine it is about a
  // millisecond); read it afresh only every half second.
  static std::mutex mu;
  static int64_t atMs = INT64_MIN / 2, wall = 0;
  std::lock_guard lock(mu);
  const int64_t now = MonotonicMs();
  if (now - atMs >= 500) {
    std::time_t t = std::time(nullptr);
    std::tm tm{};
#ifdef _WIN32
    localtime_s(&tm, &t);
#else
    localtime_r(&t, &tm);
#endif
    wall = ledp::ClockToSeconds({tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec});
    atMs = now;
    return wall;
  }
  return wall + (now - atMs) / 1000;
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
  int64_t nextRender = 0;
  while (!stop_) {
    int64_t now = MonotonicMs();
    const int wait = static_cast<int>(std::clamp<int64_t>(nextRender - now, 1, 200));
    ledp::Endpoint from;
    int n = sock_.RecvFrom(buf, sizeof buf, from, wait);
    while (n >= 0 && !stop_) {
      const int64_t t = MonotonicMs();
      screen_.OnDatagram(buf, static_cast<size_t>(n), from, t, LocalWallSeconds());
      if (screen_.Dirty()) {
        if (screen_.Render(t, LocalWallSeconds())) Publish(t);
        nextRender = screen_.NextChange(t);
      }
      for (const Reply& r : screen_.TakeReplies()) sock_.SendTo(r.To, r.Bytes.data(), r.Bytes.size());
      for (const std::string& line : screen_.TakeLog())
        if (OnLog) OnLog(line);
      n = sock_.RecvFrom(buf, sizeof buf, from, 0);
    }
    now = MonotonicMs();
    if (screen_.Dirty() || now >= nextRender) {
      if (screen_.Render(now, LocalWallSeconds())) Publish(now);
      nextRender = screen_.NextChange(now);
    }
  }
}

}  // namespace ledscreen
