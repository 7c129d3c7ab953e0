#include "ledscreen/host/server.h"

#include <algorithm>
#include <chrono>
#include <ctime>
#include <mutex>

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

ScreenServer::ScreenServer(Options o) : ScreenService(o), screen_(o.Screen) {}

void ScreenServer::Opened() {
  const int64_t now = MonotonicMs();
  Log({screen_.LoadCard(now)});
  screen_.Render(now, LocalWallSeconds());
  Publish(screen_.Picture());
}

void ScreenServer::Received(const uint8_t* data, size_t size, const ledp::Endpoint& from) {
  const int64_t now = MonotonicMs();
  screen_.OnDatagram(data, size, from, now, LocalWallSeconds());
  if (screen_.Dirty()) Render(now);
  for (const Reply& r : screen_.TakeReplies()) Send(r.To, r.Bytes);
  Log(screen_.TakeLog());
}

void ScreenServer::Drained() {
  const int64_t now = MonotonicMs();
  if (screen_.Dirty() || now >= nextRender_) Render(now);
}

int ScreenServer::WaitMs() {
  return static_cast<int>(std::clamp<int64_t>(nextRender_ - MonotonicMs(), 1, 200));
}

void ScreenServer::Render(int64_t nowMs) {
  if (screen_.Render(nowMs, LocalWallSeconds())) Publish(screen_.Picture());
  nextRender_ = screen_.NextChange(nowMs);
}

}  // namespace ledscreen
