// The sending side of the protocol as a pure state machine: the library's
// worker thread feeds it datagrams and clock ticks, and sends what it hands
// back. Keeping it free of sockets lets tests run it against the screen's
// core over a simulated lossy network.
#pragma once
#include <cstdint>
#include <limits>
#include <map>
#include <utility>
#include <string>
#include <vector>

#include "ledapi/core/protocol.h"

namespace ledp {

struct Endpoint {
  uint32_t Addr = 0;  // host order
  uint16_t Port = 0;
  friend bool operator==(const Endpoint&, const Endpoint&) = default;
  friend bool operator<(const Endpoint& a, const Endpoint& b) {
    return a.Addr != b.Addr ? a.Addr < b.Addr : a.Port < b.Port;
  }
};

struct Outgoing {
  Endpoint To;
  std::vector<uint8_t> Bytes;
};

// What becomes a TLedNotify.
struct Notice {
  int32_t Kind = 0, Command = 0, Status = 0, Value = 0, Address = 0, Port = 0;
  uint32_t Seq = 0;
  std::string Host;
};

struct EngineConfig {
  int64_t DeadlineMs = 2000;   // from the call to the timeout notice, whatever happens
  int64_t FirstRetryMs = 20;   // first retransmission; grows by half up to MaxRetryMs
  int64_t MaxRetryMs = 80;
  unsigned Window = 16;        // chunks in flight before the first acknowledgement
  unsigned Reorder = 3;        // later chunks acknowledged before a missing one is resent
  unsigned MaxActive = 16;     // commands on the wire at once; later ones wait their turn
  bool LoopbackOnly = true;    // refuse (time out at once) targets outside 127.0.0.0/8
};

class LinkEngine {
 public:
  explicit LinkEngine(uint32_t session, EngineConfig cfg = {});

  // Each returns the command's sequence number. A target that is not a
  // usable numeric address yields an immediate timeout notice.
  uint32_t Command(const Request& r, const std::string& host, int port, int64_t now);
  uint32_t SendProgram(std::vector<uint8_t> blob, int32_t address, const std::string& host, int port, int64_t now);

  void OnDatagram(const uint8_t* data, size_t size, const Endpoint& from, int64_t now);
  void OnTimer(int64_t now);
  int64_t NextWakeup() const;  // INT64_MAX when nothing is outstanding
  size_t Pending() const { return ops_.size(); }
  uint32_t Session() const { return session_; }

  std::vector<Outgoing> TakeOutgoing() { return std::exchange(out_, {}); }
  std::vector<Notice> TakeNotices() { return std::exchange(notices_, {}); }

 private:
  struct Op {
    bool IsProgram = false;
    bool Started = false;  // on the wire (else waiting for a free place)
    Endpoint Target;
    Notice Base;  // Command, Address, Port, Host filled
    int64_t Deadline = 0;
    int64_t Rto = 0;
    // Request.
    std::vector<uint8_t> Datagram;
    int64_t NextRetry = 0;
    // Program.
    std::vector<uint8_t> Blob;
    uint16_t Count = 0;
    std::vector<uint8_t> Acked;
    std::vector<int64_t> LastSent;  // -1: not sent yet
    std::vector<uint64_t> LastTx;
    unsigned NextNew = 0;
  };

  bool Resolve(const std::string& host, int port, Endpoint& to) const;
  void Fail(Notice n);
  void SendChunk(uint32_t seq, Op& op, unsigned i, int64_t now);
  void Pump(uint32_t seq, Op& op, int64_t now);
  void Start(uint32_t seq, Op& op, int64_t now);
  void StartWaiting(int64_t now);
  void Finish(std::map<uint32_t, Op>::iterator it, int32_t kind, int32_t status, int32_t value, int64_t now);

  uint32_t session_;
  EngineConfig cfg_;
  uint32_t nextSeq_ = 1;
  uint64_t tx_ = 0;
  std::map<uint32_t, Op> ops_;
  unsigned active_ = 0;
  std::vector<Outgoing> out_;
  std::vector<Notice> notices_;
};

}  // namespace ledp
