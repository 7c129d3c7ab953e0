// The simulated screen's controller: answers the protocol, reassembles
// display programs, keeps power, brightness, clock and the stored program,
// and draws what the LEDs show. No sockets and no clocks of its own: the
// front end passes the datagrams and the time in. (A keyed screen hashes the
// programs it receives on a thread of its own, see hash_worker.h.)
#pragma once
#include <cstdint>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"
#include "ledapi/core/replay_window.h"
#include "ledscreen/core/hash_worker.h"
#include "ui/core/raster.h"

namespace ledscreen {

using ledp::Endpoint;

struct ScreenConfig {
  int Width = 512;
  int Height = 96;
  bool AutoPower = false;       // power commands are refused (Status 99)
  bool AutoBrightness = false;  // brightness setting is refused (Status 99)
  std::string CardPath;         // where programs sent with root type 18 are kept
  // With a key the screen speaks only the authenticated protocol: every
  // datagram without a valid MAC of a session it opened is dropped unanswered.
  std::optional<ledp::crypto::Key> Key;
};

struct Reply {
  Endpoint To;
  std::vector<uint8_t> Bytes;
};

class Screen {
 public:
  static constexpr int kMaxBrightness = 16;
  static constexpr size_t kMaxTransfers = 4;   // programs being received at once
  static constexpr size_t kAnswered = 256;     // remembered answers for repeated datagrams
  static constexpr size_t kMaxSessions = 32;   // authenticated sessions open at once
  static constexpr size_t kSeenOpens = 4096;   // link nonces remembered against replayed opens
  static constexpr int kDropLinesPerSecond = 20;
  // A keyed screen repeats an answer only while its link may still wait for
  // it (a link reports every command within 2 s of the call).
  static constexpr int64_t kRepeatAnswersMs = 2500;

  explicit Screen(ScreenConfig cfg);

  // Shows the program stored on the card, if there is a valid one.
  // Returns a line for the console.
  std::string LoadCard(int64_t nowMs);

  // `wallSeconds`: the host's local wall clock (see ledp::ClockToSeconds).
  void OnDatagram(const uint8_t* data, size_t size, const Endpoint& from, int64_t nowMs, int64_t wallSeconds);
  std::vector<Reply> TakeReplies() { return std::exchange(replies_, {}); }
  std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }

  // Draws the LEDs as they are now; true when the picture changed.
  bool Render(int64_t nowMs, int64_t wallSeconds);
  const plat::Raster& Picture() const { return picture_; }
  // When the picture may change by itself next (running clock, next page).
  int64_t NextChange(int64_t nowMs) const;
  // A command has changed what the LEDs show (program, power) since the
  // last Render: draw before answering, so that whoever waits for the
  // answer finds the new picture.
  bool Dirty() const { return dirty_; }

  bool Power() const { return power_; }
  int Brightness() const { return brightness_; }
  int64_t ClockOffset() const { return clockOffset_; }
  bool HasProgram() const { return program_.has_value(); }
  const ScreenConfig& Config() const { return cfg_; }
  size_t Sessions() const { return sessions_.size(); }
  size_t Transfers() const { return transfers_.size(); }
  size_t RememberedOpens() const { return seenOpens_.size(); }
  // SHA-256 of the program shown, as the screen holds it (zeros when none):
  // what the final acknowledgement of an authenticated send carries.
  const ledp::crypto::Digest& ShownDigest() const { return shownDigest_; }

 protected:
  // Takes a new program for showing. A test screen with a fault overrides it.
  virtual void Show(ledp::Program p, int64_t nowMs);

 public:
  virtual ~Screen() = default;

 private:
  using Key = std::tuple<uint32_t, uint16_t, uint32_t, uint32_t>;  // addr, port, session, seq
  using SessionId = std::tuple<uint32_t, uint16_t, uint32_t>;      // addr, port, session
  // An answer kept for repeats; encoded afresh for each sending, since an
  // authenticated one carries a new counter every time.
  struct Stored {
    ledp::Type Kind = ledp::Type::Answer;
    ledp::Answer Ans;
    ledp::ChunkAck Ack;
    int64_t At = 0;  // when it was first sent
  };
  struct Session {
    ledp::crypto::Hmac Mac;
    ledp::Nonce LinkNonce{}, ScreenNonce{};
    ledp::auth::ReplayWindow Received;
    uint64_t Sent = 0;  // counter of the last datagram sent
    uint32_t Finished = 0;  // the link is done with every command below this
    int64_t LastActivity = 0;
  };
  struct Transfer {
    uint32_t Total = 0;
    uint16_t Count = 0;
    uint16_t Have = 0;
    std::vector<uint8_t> Data;
    std::vector<uint8_t> Bits;
    int64_t LastActivity = 0;
    // The chunks before the first missing one, unpacked (and on a keyed
    // screen hashed) as they arrive rather than all after the last.
    uint16_t Unpacked = 0;
    ledp::ProgramInflater Inflater;
    HashWorker::JobRef Hash;
    size_t Hashing = 0;  // unpacked bytes handed to the hash worker
  };
  // A program as it arrived, unpacked, and its hashing (of all but the
  // bytes from Hashed on): Show need not hash it again if it holds exactly
  // these bytes.
  struct Arrived {
    std::vector<uint8_t> Bytes;
    HashWorker::JobRef Hash;
    size_t Hashed = 0;
  };
  // Unpacked bytes are handed to the hash worker in pieces of at least this
  // much: waking it for every datagram would cost more than it saves.
  static constexpr size_t kHashPiece = 32768;
  // Programs up to this size are encoded into the same buffer every time.
  static constexpr size_t kKeptEncoding = 1u << 20;

  void OnRequest(const ledp::Packet& p, const Endpoint& from, const Key& key, int64_t nowMs, int64_t wallSeconds);
  void OnChunk(const ledp::Packet& p, const Endpoint& from, const Key& key, int64_t nowMs);
  void Complete(const ledp::Packet& p, const Endpoint& from, const Key& key, Transfer& t, int64_t nowMs);
  void UnpackInOrder(Transfer& t);
  void Dispatch(const ledp::Packet& p, const Endpoint& from, int64_t nowMs, int64_t wallSeconds,
                const ledp::auth::Header* h = nullptr);
  void OnAuthenticated(const uint8_t* data, size_t size, const Endpoint& from, int64_t nowMs, int64_t wallSeconds);
  void OnOpen(const uint8_t* data, size_t size, const Endpoint& from, const ledp::auth::Header& h, int64_t nowMs);
  void Drop(const Endpoint& from, const ledp::auth::Header* h, const std::string& why, int64_t nowMs);
  void Remember(const Key& key, Stored reply);
  void SendReply(const Endpoint& to, uint32_t session, uint32_t seq, const Stored& reply);
  size_t CurrentPage(int64_t nowMs) const;
  std::string Who(const Endpoint& from, const ledp::Packet& p) const;

  ScreenConfig cfg_;
  bool power_ = true;
  int brightness_ = kMaxBrightness;
  int64_t clockOffset_ = 0;
  std::optional<ledp::Program> program_;
  int64_t shownAt_ = 0;
  plat::Raster picture_;
  bool drawn_ = false;
  bool dirty_ = true;

  std::map<Key, Transfer> transfers_;
  std::map<Key, Stored> answered_;
  std::deque<Key> answeredOrder_;
  std::map<std::tuple<uint32_t, uint16_t, uint32_t>, uint32_t> newestShown_;  // per link: last seq shown

  std::optional<ledp::crypto::Hmac> key_;
  std::map<SessionId, Session> sessions_;
  std::set<ledp::Nonce> seenOpens_;
  std::deque<ledp::Nonce> seenOrder_;
  ledp::crypto::Digest shownDigest_{};
  std::optional<Arrived> arrived_;  // set for the Show of a program just received
  std::vector<uint8_t> shownBytes_;  // the program shown, encoded again; the buffer kept for the next
  std::unique_ptr<HashWorker> hasher_;  // keyed screens
  int64_t dropSecond_ = -1;
  int dropLines_ = 0, dropsUnlogged_ = 0;

  std::vector<Reply> replies_;
  std::vector<std::string> log_;
};

// The picture as LED dots for people to look at: each pixel becomes a
// round-ish dot of `pitch` pixels with a dark gap, unlit dots faintly grey.
plat::Raster LedDots(const plat::Raster& src, int pitch);

}  // namespace ledscreen
