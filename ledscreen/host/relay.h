// A datagram relay on loopback that loses, duplicates and reorders traffic
// between a link and a screen, for testing the protocol under bad networks.
// The link sends to the relay; the relay forwards to the screen and sends
// the screen's answers back to whoever last sent it something.
#pragma once
#include <atomic>
#include <cstdint>
#include <mutex>
#include <random>
#include <vector>
#include <thread>

#include "ledapi/net/udp.h"

namespace ledscreen {

struct RelayConfig {
  double LossToScreen = 0;    // share of datagrams dropped on the way to the screen
  double LossToLink = 0;      // ... and on the way back
  double Duplicate = 0;       // share sent twice
  double Reorder = 0;         // share held back behind the next datagram (or 5 ms)
  uint32_t Seed = 1;
  bool Record = false;        // keep every datagram from the link, as an eavesdropper would
};

class Relay {
 public:
  Relay(ledp::Endpoint screen, RelayConfig cfg);
  ~Relay() { Stop(); }
  bool Start(uint16_t port = 0);  // binds 127.0.0.1 on `port` (0: a free one)
  void Stop();
  uint16_t Port() const { return port_; }
  int Dropped() const { return dropped_; }
  int Forwarded() const { return forwarded_; }
  // What the link sent, lost or not, in order (with Record).
  std::vector<std::vector<uint8_t>> Recorded();

 private:
  void Run();

  ledp::Endpoint screen_;
  RelayConfig cfg_;
  ledp::net::UdpSocket sock_;
  uint16_t port_ = 0;
  std::atomic<int> dropped_{0}, forwarded_{0};
  std::mutex mu_;
  std::vector<std::vector<uint8_t>> recorded_;
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

}  // namespace ledscreen
