// The sending side of the protocol as a pure state machine: the library's
// worker thread feeds it datagrams and clock ticks, and sends what it hands
// back. Keeping it free of sockets lets tests run it against the screen's
// core over a simulated lossy network.
#pragma once
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <utility>
#include <string>
#include <vector>

#include "ledapi/core/protocol.h"
#include "ledapi/core/replay_window.h"

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
  // A keyed screen that has said nothing for this long while a command waits
  // has probably lost our session (restarted): a new one is opened.
  int64_t ReopenAfterMs = 300;
};

class LinkEngine {
 public:
  explicit LinkEngine(uint32_t session, EngineConfig cfg = {});

  // Each returns the command's sequence number. A target that is not a
  // usable numeric address yields an immediate timeout notice. With `key`
  // (that screen's) the command goes over an authenticated session, opened
  // first if there is none; a send then counts as finished only when the
  // screen's digest of what it shows is that of the program sent.
  // `unpacked`: the program `blob` was packed from, when the caller still
  // has it; the digest is then taken from it instead of unpacking `blob`.
  uint32_t Command(const Request& r, const std::string& host, int port, int64_t now,
                   const crypto::Key* key = nullptr);
  uint32_t SendProgram(std::vector<uint8_t> blob, int32_t address, const std::string& host, int port, int64_t now,
                       const crypto::Key* key = nullptr, std::vector<uint8_t> unpacked = {});

  // A command that must not be sent (its screen's key could not be had):
  // reported as a timeout at once.
  uint32_t Refuse(int32_t command, int32_t address, const std::string& host, int port);

  void OnDatagram(const uint8_t* data, size_t size, const Endpoint& from, int64_t now);
  void OnTimer(int64_t now);
  // Lets out what the windows of programs under way allow: the rest of a
  // keyed window, which opens with its first chunk alone. True when it did.
  // The driver sends what a call produced, then calls this and sends again;
  // a driver that does not is still correct (the rest goes out with the
  // first acknowledgement), only slower.
  bool LetOutWindows(int64_t now);
  // Work that can wait while the link has nothing else to do: a slice (at
  // most `slice` bytes) of the digest a keyed send expects, so that it is
  // ready when the screen's final answer comes instead of holding that
  // answer up. True when it did some: the driver calls it again as long as
  // no datagram is waiting, and waits as usual once it says false. Never
  // needed for correctness (whatever is left is done when the answer comes).
  bool OnIdle(size_t slice = kIdleSlice);
  static constexpr size_t kIdleSlice = 16384;
  int64_t NextWakeup() const;  // INT64_MAX when nothing is outstanding
  size_t Pending() const { return ops_.size(); }
  uint32_t Session() const { return session_; }

  std::vector<Outgoing> TakeOutgoing() { return std::exchange(out_, {}); }
  std::vector<Notice> TakeNotices() { return std::exchange(notices_, {}); }

 private:
  // A keyed screen and our session with it.
  struct Peer {
    enum class State { Closed, Opening, Open };
    explicit Peer(const crypto::Key& k) : Key(k), Long(k) {}
    crypto::Key Key;
    crypto::Hmac Long;                // under the screen's key: opening
    State Now = State::Closed;
    uint32_t Session = 0;
    Nonce Mine{};
    std::vector<uint8_t> OpenDatagram;
    int64_t NextRetry = 0, Rto = 0;
    std::optional<crypto::Hmac> Mac;  // under the session key: everything else
    uint64_t Sent = 0;
    auth::ReplayWindow Received;
    int64_t LastHeard = 0;
  };

  struct Op {
    bool IsProgram = false;
    bool Keyed = false;
    int64_t StartedAt = 0;
    Request Req;
    crypto::Digest Expect{};  // keyed sends: SHA-256 of the unpacked program
    bool HaveExpect = false;  // found while the screen works, at the latest at its final answer
    std::vector<uint8_t> Unpacked;  // keyed sends, until Expect is found: what Blob unpacks to, if given
    std::optional<crypto::Sha256Stream> Hashing;  // of Unpacked up to Hashed, a slice at a time (OnIdle)
    size_t Hashed = 0;
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
  uint32_t Add(Op op, const crypto::Key* key, int64_t now);
  bool CanStart(const Op& op) const;
  void SendRequest(uint32_t seq, Op& op);
  Peer* PeerOf(const Op& op);
  void OpenSession(const Endpoint& to, Peer& peer, int64_t now);
  void DropPeer(const Endpoint& to);
  uint32_t FinishedBelow(const Endpoint& to) const;
  void Reopen(const Endpoint& to, Peer& peer, int64_t now);
  void OnOpenAck(const uint8_t* data, size_t size, Peer& peer, int64_t now);
  std::optional<Packet> Authenticate(const uint8_t* data, size_t size, const Endpoint& from, int64_t now);
  void TickSessions(int64_t now);
  void OnPacket(const Packet& p, const Endpoint& from, int64_t now);
  static void FindExpect(Op& op);
  static void HashSlice(Op& op, size_t slice);
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
  std::map<Endpoint, Peer> peers_;
  unsigned active_ = 0;
  std::vector<Outgoing> out_;
  std::vector<Notice> notices_;
};

}  // namespace ledp
