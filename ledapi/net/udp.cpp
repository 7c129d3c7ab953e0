#include "ledapi/net/udp.h"

#ifdef _WIN32
#include <winsock2.h>
#include <ws2tcpip.h>
#else
#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/select.h>
#include <sys/socket.h>
#include <unistd.h>
#endif

#include <mutex>

namespace ledp::net {

namespace {

sockaddr_in ToSockaddr(uint32_t addr, uint16_t port) {
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_addr.s_addr = htonl(addr);
  sa.sin_port = htons(port);
  return sa;
}

}  // namespace

bool Startup() {
#ifdef _WIN32
  static std::once_flag once;
  static bool ok = false;
  std::call_once(once, [] {
    WSADATA data;
    ok = WSAStartup(MAKEWORD(2, 2), &data) == 0;
  });
  return ok;
#else
  return true;
#endif
}

UdpSocket& UdpSocket::operator=(UdpSocket&& o) noexcept {
  if (this != &o) {
    Close();
    fd_ = o.fd_;
    o.fd_ = kInvalid;
  }
  return *this;
}

bool UdpSocket::Bind(uint32_t addr, uint16_t port) {
  Close();
  if (kLoopbackOnly && !IsLoopback(addr)) return false;
  if (!Startup()) return false;
  Fd fd = static_cast<Fd>(socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP));
  if (fd == kInvalid) return false;
#ifdef _WIN32
  // Without this Windows lets a second socket share a port bound to another
  // address; a link must own its port.
  BOOL on = TRUE;
  setsockopt(fd, SOL_SOCKET, SO_EXCLUSIVEADDRUSE, reinterpret_cast<const char*>(&on), sizeof on);
  // Keep an ICMP "port unreachable" from a missing screen from failing the
  // next receive.
  DWORD off = FALSE, got = 0;
  WSAIoctl(fd, _WSAIOW(IOC_VENDOR, 12), &off, sizeof off, nullptr, 0, &got, nullptr, nullptr);
  int buf = 1 << 20;
  setsockopt(fd, SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&buf), sizeof buf);
#else
  int buf = 1 << 20;
  setsockopt(fd, SOL_SOCKET, SO_RCVBUF, &buf, sizeof buf);
#endif
  sockaddr_in sa = ToSockaddr(addr, port);
  if (bind(fd, reinterpret_cast<sockaddr*>(&sa), sizeof sa) != 0) {
#ifdef _WIN32
    closesocket(fd);
#else
    close(fd);
#endif
    return false;
  }
  fd_ = fd;
  return true;
}

uint16_t UdpSocket::LocalPort() const {
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  if (!Valid() || getsockname(fd_, reinterpret_cast<sockaddr*>(&sa), &len) != 0) return 0;
  return ntohs(sa.sin_port);
}

bool UdpSocket::SendTo(const Endpoint& to, const uint8_t* data, size_t size) const {
  if (!Valid()) return false;
  if (kLoopbackOnly && !IsLoopback(to.Addr)) return false;
  sockaddr_in sa = ToSockaddr(to.Addr, to.Port);
  return sendto(fd_, reinterpret_cast<const char*>(data), static_cast<int>(size), 0,
                reinterpret_cast<sockaddr*>(&sa), sizeof sa) == static_cast<int>(size);
}

int UdpSocket::RecvFrom(uint8_t* buf, size_t cap, Endpoint& from, int timeoutMs) const {
  if (!Valid()) return -2;
  fd_set set;
  FD_ZERO(&set);
  FD_SET(fd_, &set);
  timeval tv{timeoutMs / 1000, (timeoutMs % 1000) * 1000};
  int ready = select(static_cast<int>(fd_ + 1), &set, nullptr, nullptr, &tv);
  if (ready == 0) return -1;
  if (ready < 0) return -2;
  sockaddr_in sa{};
  socklen_t len = sizeof sa;
  int n = recvfrom(fd_, reinterpret_cast<char*>(buf), static_cast<int>(cap), 0, reinterpret_cast<sockaddr*>(&sa),
                   &len);
  if (n < 0) {
#ifdef _WIN32
    const int e = WSAGetLastError();
    // A datagram larger than the buffer is malformed for us; a reset is a
    // late ICMP report. Neither ends the socket.
    if (e == WSAEMSGSIZE || e == WSAECONNRESET) return -1;
#endif
    return -2;
  }
  from = {ntohl(sa.sin_addr.s_addr), ntohs(sa.sin_port)};
  return n;
}

void UdpSocket::Close() {
  if (!Valid()) return;
#ifdef _WIN32
  closesocket(fd_);
#else
  close(fd_);
#endif
  fd_ = kInvalid;
}

}  // namespace ledp::net
