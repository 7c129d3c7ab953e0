#include "ledscreen/host/relay.h"

#include <chrono>
#include <vector>

#include "ledscreen/host/server.h"

namespace ledscreen {

Relay::Relay(ledp::Endpoint screen, RelayConfig cfg) : screen_(screen), cfg_(cfg) {}

bool Relay::Start(uint16_t port) {
  if (!sock_.Bind(ledp::net::kLoopback, port)) return false;
  port_ = sock_.LocalPort();
  worker_ = std::thread([this] { Run(); });
  return true;
}

void Relay::Stop() {
  if (!worker_.joinable()) return;
  stop_ = true;
  worker_.join();
  sock_.Close();
}

std::vector<std::vector<uint8_t>> Relay::Recorded() {
  std::lock_guard lock(mu_);
  return recorded_;
}

void Relay::Run() {
  struct Held {
    ledp::Endpoint To;
    std::vector<uint8_t> Bytes;
    int64_t Until;
  };
  std::mt19937 rng(cfg_.Seed);
  std::uniform_real_distribution<double> roll(0.0, 1.0);
  std::vector<Held> held;
  ledp::Endpoint link{};
  uint8_t buf[2048];
  auto send = [&](const ledp::Endpoint& to, const uint8_t* d, size_t n) {
    sock_.SendTo(to, d, n);
    ++forwarded_;
  };
  while (!stop_) {
    ledp::Endpoint from;
    const int n = sock_.RecvFrom(buf, sizeof buf, from, held.empty() ? 20 : 2);
    const int64_t now = MonotonicMs();
    if (n >= 0) {
      const bool toScreen = !(from == screen_);
      if (toScreen) link = from;
      if (toScreen && cfg_.Record) {
        std::lock_guard lock(mu_);
        recorded_.emplace_back(buf, buf + n);
      }
      const ledp::Endpoint to = toScreen ? screen_ : link;
      // Whatever was held back goes out after this one: that is the reordering.
      std::vector<Held> release;
      release.swap(held);
      if (roll(rng) < (toScreen ? cfg_.LossToScreen : cfg_.LossToLink)) {
        ++dropped_;
      } else if (roll(rng) < cfg_.Reorder) {
        held.push_back({to, std::vector<uint8_t>(buf, buf + n), now + 5});
      } else {
        send(to, buf, static_cast<size_t>(n));
        if (roll(rng) < cfg_.Duplicate) send(to, buf, static_cast<size_t>(n));
      }
      for (const Held& h : release) send(h.To, h.Bytes.data(), h.Bytes.size());
    }
    for (size_t i = 0; i < held.size();) {
      if (held[i].Until <= now) {
        send(held[i].To, held[i].Bytes.data(), held[i].Bytes.size());
        held.erase(held.begin() + static_cast<ptrdiff_t>(i));
      } else {
        ++i;
      }
    }
  }
}

}  // namespace ledscreen
