#include "ledapi/dll/link.h"

#include <mmsystem.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "ledapi/dll/settings.h"
#include "ledapi/keys/key_file.h"
#include "screenlink/core/led_records.h"

namespace ledapi {

namespace {

TLedNotify g_ring[kNotifyRing];
std::atomic<uint32_t> g_ringNext{0};

int64_t NowMs() {
  using namespace std::chrono;
  return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The local wall clock for the clocks of pictures sent as pixels.
int64_t WallSeconds() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return ledp::ClockToSeconds({st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond});
}

bool HasPixelTargets(const ledp::LedApiConfig& cfg) {
  for (const auto& [addr, t] : cfg.Targets)
    if (t.Kind != ledp::Protocol::Own) return true;
  return false;
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
    : handle_(handle), port_(port), engine_(session, cfg), engineCfg_(cfg) {}

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

void Link::FineTick::Hold(bool on) {
  if (on == held_) return;
  held_ = on;
  if (on) timeBeginPeriod(1);
  else timeEndPeriod(1);
}

void Link::Retarget(HWND window, UINT message) {
  std::lock_guard lock(mu_);
  window_ = window;
  message_ = message;
}

// The keys of our own protocol's screens, read at every opening so that a
// key file put right takes effect without restarting the program. A key
// file that is refused keeps its screen from being sent to at all: it was
// meant to be authenticated.
std::map<uint32_t, Link::ScreenKey> Link::LoadKeys(const ledp::LedApiConfig& cfg) {
  std::map<uint32_t, ScreenKey> keys;
  const auto folder = std::filesystem::u8path(SettingsPath()).parent_path();
  for (const auto& [addr, t] : cfg.Targets) {
    if (t.Kind != ledp::Protocol::Own) continue;
    ScreenKey k;
    if (t.Key) {
      // A key written into ledapi.ini makes it a key file too.
      if (std::string why = ledp::keys::ReadableByEveryone(SettingsPath()); !why.empty()) {
        LogLine(SettingsPath() + ", line " + std::to_string(t.KeyLine) + ": key refused: the file is " + why +
                "; nothing is sent to " + ledp::FormatIPv4(addr));
      } else {
        k.Key = t.Key;
      }
    } else if (!t.KeyFile.empty()) {
      auto file = std::filesystem::u8path(t.KeyFile);
      if (file.is_relative()) file = folder / file;
      std::string error;
      const std::u8string u = file.u8string();
      k.Key = ledp::keys::LoadKeyFile(std::string(u.begin(), u.end()), error);
      if (!k.Key)
        LogLine(SettingsPath() + ", line " + std::to_string(t.KeyLine) + ": keyfile refused: " + error +
                "; nothing is sent to " + ledp::FormatIPv4(addr));
    } else {
      continue;
    }
    keys.emplace(addr, k);
  }
  return keys;
}

void Link::Configure(const ledp::LedApiConfig& cfg, const std::string& text) {
  auto keys = LoadKeys(cfg);
  std::lock_guard lock(mu_);
  keys_ = std::move(keys);
  if (configured_ && text == configText_) return;
  configured_ = true;
  configText_ = text;
  // What the old settings still owe is reported before they go.
  if (pixels_)
    for (const ledp::Notice& n : pixels_->Abandon()) Post(window_, message_, handle_, n);
  // Only a file with pixel screens makes the installation's identifier.
  pixels_.reset();
  if (HasPixelTargets(cfg)) pixels_ = std::make_unique<ledp::PixelSender>(cfg, InstallationCid(), engineCfg_);
}

const Link::ScreenKey* Link::KeyOf(const std::string& host) const {
  auto addr = ledp::ParseIPv4(host);
  if (!addr) return nullptr;
  auto it = keys_.find(*addr);
  return it == keys_.end() ? nullptr : &it->second;
}

// A pixel frame is paced by the worker, which may be waiting on its socket
// for a while yet: a datagram to ourselves makes it start at once.
void Link::WakeWorker() {
  static const uint8_t wake = 0;
  sock_.SendTo({ledp::net::kLoopback, port_}, &wake, 1);
}

void Link::Command(const ledp::Request& r, const std::string& host, int port) {
  std::lock_guard lock(mu_);
  if (pixels_ && pixels_->Handles(host)) {
    pixels_->Command(r, host, port, NowMs());
    WakeWorker();
  } else if (const ScreenKey* k = KeyOf(host)) {
    if (k->Key) engine_.Command(r, host, port, NowMs(), &*k->Key);
    else engine_.Refuse(r.Command, r.Address, host, port);
  } else {
    engine_.Command(r, host, port, NowMs());
  }
  FlushLocked();
}

void Link::SendProgram(const ledp::Program& program, int address, const std::string& host, int port) {
  std::lock_guard lock(mu_);
  if (pixels_ && pixels_->Handles(host)) {
    pixels_->SendProgram(program, address, host, port, NowMs(), WallSeconds());
    WakeWorker();
  } else if (const ScreenKey* k = KeyOf(host); k && !k->Key) {
    engine_.Refuse(led::kCmdSend, address, host, port);
  } else {
    std::vector<uint8_t> raw = ledp::SerializeProgram(program);
    std::vector<uint8_t> packed = ledp::PackProgram(raw);
    if (k) engine_.SendProgram(std::move(packed), address, host, port, NowMs(), &*k->Key, std::move(raw));
    else engine_.SendProgram(std::move(packed), address, host, port, NowMs());
    // The worker hashes what a keyed send expects back while the screen
    // takes the chunks in; it may be waiting on its socket for a while yet.
    if (k) WakeWorker();
  }
  FlushLocked();
}

// Sends what the engine produced and posts its reports. Called with mu_ held;
// neither sending nor posting waits for anyone.
void Link::FlushLocked() {
  // A keyed window's first chunk is on its way before the rest are made.
  do {
    for (const ledp::Outgoing& o : engine_.TakeOutgoing()) sock_.SendTo(o.To, o.Bytes.data(), o.Bytes.size());
  } while (engine_.LetOutWindows(NowMs()));
  for (const ledp::Notice& n : engine_.TakeNotices()) Post(window_, message_, handle_, n);
  if (!pixels_) return;
  for (const ledp::Outgoing& o : pixels_->TakeOutgoing()) sock_.SendTo(o.To, o.Bytes.data(), o.Bytes.size());
  for (const ledp::Notice& n : pixels_->TakeNotices()) Post(window_, message_, handle_, n);
}

bool Link::SpareWork() {
  std::lock_guard lock(mu_);
  return engine_.OnIdle();
}

void Link::Run() {
  uint8_t buf[2048];
  while (!stop_) {
    ledp::Endpoint from;
    int n = -1;
    // Spare work a slice at a time, as long as nothing has come in.
    while (SpareWork() && (n = sock_.RecvFrom(buf, sizeof buf, from, 0)) == -1) {
    }
    int wait = 50;
    {
      std::lock_guard lock(mu_);
      int64_t next = engine_.NextWakeup();
      if (pixels_) next = std::min(next, pixels_->NextWakeup());
      tick_.Hold(pixels_ && pixels_->PacketsInFlight() > 0);
      const int64_t now = NowMs();
      if (next != INT64_MAX) wait = static_cast<int>(std::clamp<int64_t>(next - now, 0, 50));
    }
    if (n == -1) n = sock_.RecvFrom(buf, sizeof buf, from, wait);
    std::lock_guard lock(mu_);
    // Take everything that is waiting before looking at the timers, so that
    // acknowledgements already here are not mistaken for losses.
    while (n >= 0) {
      engine_.OnDatagram(buf, static_cast<size_t>(n), from, NowMs());
      n = sock_.RecvFrom(buf, sizeof buf, from, 0);
    }
    if (n == -2) Sleep(1);  // a socket error is not worth spinning on
    engine_.OnTimer(NowMs());
    if (pixels_) pixels_->OnTimer(NowMs(), WallSeconds());
    FlushLocked();
  }
}

}  // namespace ledapi
