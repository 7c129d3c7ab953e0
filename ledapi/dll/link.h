// One open UDP link: a socket on the link's local port, the protocol engine,
// and a worker thread that receives, retransmits and reports.
//
// Notification records: every report is written into one slot of a ring of
// kNotifyRing records owned by the library for the life of the process, and
// its address is posted as WParam. A slot is written again only after
// kNotifyRing - 1 later reports, so a record stays valid while the receiving
// window works through its queue; it is never freed, so even a program that
// lets thousands of reports pile up unread can never read freed memory.
#pragma once
#include <windows.h>

#include <atomic>
#include <memory>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/pixel_sender.h"
#include "ledapi/core/program.h"
#include "ledapi/net/udp.h"

namespace ledapi {

constexpr size_t kNotifyRing = 4096;

class Link {
 public:
  // Binds `port` on `bindAddr`; nullptr when the port cannot be had.
  static std::unique_ptr<Link> Open(int handle, uint32_t bindAddr, uint16_t port, HWND window, UINT message);
  ~Link();

  void Retarget(HWND window, UINT message);
  // The screens of ledapi.ini. A file whose text is unchanged keeps the
  // pixel targets as they are (their frames, repeats and sequence numbers).
  void Configure(const ledp::LedApiConfig& cfg, const std::string& text);
  void Command(const ledp::Request& r, const std::string& host, int port);
  // Screens with a pixel protocol get the program's picture; the others get
  // the program itself over our own protocol.
  void SendProgram(const ledp::Program& program, int address, const std::string& host, int port);
  uint16_t Port() const { return port_; }

 private:
  struct ScreenKey {
    std::optional<ledp::crypto::Key> Key;  // nothing: its key file was refused
  };
  static std::map<uint32_t, ScreenKey> LoadKeys(const ledp::LedApiConfig& cfg);
  const ScreenKey* KeyOf(const std::string& host) const;

  // Windows ends a thread's wait on its timer tick, 15.6 ms unless asked
  // otherwise: the pacer's 1 ms waits would then let a frame out in clumps of
  // a tick's worth of packets (125 at the default pace), the bursts that
  // small receivers drop. The tick is 1 ms while a frame is on the wire.
  class FineTick {
   public:
    FineTick() = default;
    FineTick(const FineTick&) = delete;
    FineTick& operator=(const FineTick&) = delete;
    ~FineTick() { Hold(false); }
    void Hold(bool on);

   private:
    bool held_ = false;
  };

  Link(int handle, uint16_t port, uint32_t session, const ledp::EngineConfig& cfg);
  void Run();
  bool SpareWork();  // one slice of the engine's spare work; false when it has none
  void FlushLocked();
  void WakeWorker();

  int handle_;
  uint16_t port_;
  std::mutex mu_;
  ledp::LinkEngine engine_;
  ledp::EngineConfig engineCfg_;
  std::unique_ptr<ledp::PixelSender> pixels_;
  std::string configText_;
  std::map<uint32_t, ScreenKey> keys_;  // our own protocol's keyed screens
  bool configured_ = false;
  ledp::net::UdpSocket sock_;
  HWND window_ = nullptr;
  UINT message_ = 0;
  FineTick tick_;  // the worker's alone
  std::atomic<bool> stop_{false};
  std::thread worker_;
};

}  // namespace ledapi
