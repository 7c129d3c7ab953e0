#include "ledapi/dll/link.h"

#include <algorithm>
#include <chrono>
#include <cstring>

#include "screenlink/core/led_records.h"

namespace ledapi {

namespace {

TLedNotify g_ring[kNotifyRing];
std::atomic<uint32_t> g_ringNext{0};

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void Post(HWND window, UINT message, int handle, const ledp::Notice& n) {
  TLedNotify& rec = g_ring[g_ringNext.fetch_add(1) % kNotifyRing];
  std::memset(&rec, 0, sizeof rec);
  rec.Kind = n.Kind;
  rec.Command = n.Command;
  rec.Status = n.Status;
  rec.Value = n.Value;
  rec.Address = n.Address;
  rec.Port = n.Port;
  rec.Link = handle;
  rec.LinkType = 1;
  rec.Sequence = static_cast<int32_t>(n.Seq);
  std::strncpy(rec.Host, n.Host.c_str(), sizeof rec.Host - 1);
  PostMessageW(window, message, reinterpret_cast<WPARAM>(&rec), 0);
}

}  // namespace

Link::Link(int handle, uint16_t port, uint32_t session, const ledp::EngineConfig& cfg)
    : handle_(handle), port_(port), engine_(session, cfg) {}

std::unique_ptr<Link> Link::Open(int handle, uint32_t bindAddr, uint16_t port, HWND window, UINT message) {
  // A session number that differs between links and between runs, so that a
  // screen never takes one link's datagrams for another's.
  LARGE_INTEGER pc;
  QueryPerformanceCounter(&pc);
  uint32_t session = static_cast<uint32_t>(pc.QuadPart) * 2654435761u ^ GetCurrentProcessId() << 16 ^
                     static_cast<uint32_t>(handle) * 40503u ^ static_cast<uint32_t>(GetTickCount());
  if (session == 0) session = 1;
  ledp::EngineConfig cfg;
  cfg.LoopbackOnly = ledp::net::kLoopbackOnly;
  std::unique_ptr<Link> link(new Link(handle, port, session, cfg));
  if (!link->sock_.Bind(bindAddr, port)) return nullptr;
  link->window_ = window;
  link->message_ = message;
  link->worker_ = std::thread([l = link.get()] { l->Run(); });
  return link;
}

Link::~Link() {
  stop_ = true;
  // A datagram to ourselves ends the worker's wait at once.
  static const uint8_t wake = 0;
  sock_.SendTo({ledp::net::kLoopback, port_}, &wake, 1);
  if (worker_.joinable()) worker_.join();
}

void Link::Retarget(HWND window, UINT message) {
  std::lock_guard lock(mu_);
  window_ = window;
  message_ = message;
}

void Link::Command(const ledp::Request& r, const std::string& host, int port) {
  std::lock_guard lock(mu_);
  engine_.Command(r, host, port, NowMs());
  FlushLocked();
}

void Link::SendProgram(std::vector<uint8_t> blob, int address, const std::string& host, int port) {
  std::lock_guard lock(mu_);
  engine_.SendProgram(std::move(blob), address, host, port, NowMs());
  FlushLocked();
}

// Sends what the engine produced and posts its reports. Called with mu_ held;
// neither sending nor posting waits for anyone.
void Link::FlushLocked() {
  for (const ledp::Outgoing& o : engine_.TakeOutgoing()) sock_.SendTo(o.To, o.Bytes.data(), o.Bytes.size());
  for (const ledp::Notice& n : engine_.TakeNotices()) Post(window_, message_, handle_, n);
}

void Link::Run() {
  uint8_t buf[2048];
  while (!stop_) {
    int wait = 50;
    {
      std::lock_guard lock(mu_);
      const int64_t next = engine_.NextWakeup();
      const int64_t now = NowMs();
      if (next != INT64_MAX) wait = static_cast<int>(std::clamp<int64_t>(next - now, 0, 50));
    }
    ledp::Endpoint from;
    int n = sock_.RecvFrom(buf, sizeof buf, from, wait);
    std::lock_guard lock(mu_);
    // Take everything that is waiting before looking at the timers, so that
    // acknowledgements already here are not mistaken for losses.
    while (n >= 0) {
      engine_.OnDatagram(buf, static_cast<size_t>(n), from, NowMs());
      n = sock_.RecvFrom(buf, sizeof buf, from, 0);
    }
    if (n == -2) Sleep(1);  // a socket error is not worth spinning on
    engine_.OnTimer(NowMs());
    FlushLocked();
  }
}

}  // namespace ledapi
