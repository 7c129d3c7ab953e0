// A UDP socket on Winsock or BSD sockets, whichever the tree builds for.
// Used by the library, the screen's front ends, the test relay and the
// benchmarks. Addresses are host-order IPv4.
#pragma once
#include <cstddef>
#include <cstdint>

#include "ledapi/core/link_engine.h"

namespace ledp::net {

// Starts Winsock once per process (no-op elsewhere); false if it cannot.
bool Startup();

constexpr uint32_t kLoopback = 0x7F000001;
constexpr uint32_t kAnyAddress = 0;

// Every tree built for testing here is loopback-only: its sockets can neither
// bind to nor send to an address outside 127.0.0.0/8, whatever a test or its
// environment says. Only the release is configured without it
// (LEDAPI_LOOPBACK_ONLY=OFF), so that it reaches screens on the network.
#ifndef LEDAPI_LOOPBACK_ONLY
#define LEDAPI_LOOPBACK_ONLY 1
#endif
constexpr bool kLoopbackOnly = LEDAPI_LOOPBACK_ONLY != 0;

class UdpSocket {
 public:
  UdpSocket() = default;
  ~UdpSocket() { Close(); }
  UdpSocket(const UdpSocket&) = delete;
  UdpSocket& operator=(const UdpSocket&) = delete;
  UdpSocket(UdpSocket&& o) noexcept : fd_(o.fd_) { o.fd_ = kInvalid; }
  UdpSocket& operator=(UdpSocket&& o) noexcept;

  // Binds to addr:port (port 0: any free port). The port is taken exclusively:
  // another socket already on it makes this fail. Loopback-only trees refuse
  // any other address, the wildcard included.
  bool Bind(uint32_t addr, uint16_t port);
  bool Valid() const { return fd_ != kInvalid; }
  uint16_t LocalPort() const;
  // False, with nothing sent, for a target outside loopback in a
  // loopback-only tree.
  bool SendTo(const Endpoint& to, const uint8_t* data, size_t size) const;
  // Waits up to timeoutMs (0: just looks) for one datagram. Returns its size,
  // -1 when none came, -2 on a socket error.
  int RecvFrom(uint8_t* buf, size_t cap, Endpoint& from, int timeoutMs) const;
  void Close();

 private:
#ifdef _WIN32
  using Fd = uintptr_t;
  static constexpr Fd kInvalid = ~static_cast<uintptr_t>(0);
#else
  using Fd = int;
  static constexpr Fd kInvalid = -1;
#endif
  Fd fd_ = kInvalid;
};

}  // namespace ledp::net
