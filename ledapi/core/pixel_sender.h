// The sending side for screens that take pixels (E1.31, Art-Net, DDP) as a
// pure state machine beside LinkEngine: the library's worker feeds it the
// clock and sends what it hands back. None of these protocols answers, so
// what it reports is what it did: "send finished" once the last packet of the
// frame has left; brightness and power change what is sent and are answered
// by the library itself; commands that need the screen's own answer run into
// the timeout, as for a screen that does not answer.
//
// Frames go out paced (a number of packets a millisecond, so that small
// receivers are not overrun) and are repeated while the link is open, since
// receivers drop a picture that is not refreshed.
#pragma once
#include <cstdint>
#include <deque>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ledapi/core/ledapi_ini.h"
#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"

namespace ledp {

class PixelSender {
 public:
  // Command numbers of pixel targets are in the upper half, so that they
  // never meet those of the link's own protocol in the notices.
  static constexpr uint32_t kFirstSeq = 0x80000001u;

  PixelSender(LedApiConfig cfg, const Cid& installation, EngineConfig engine = {});

  // True when the address has a pixel protocol section.
  bool Handles(const std::string& host) const;

  uint32_t SendProgram(const Program& p, int32_t address, const std::string& host, int port, int64_t now,
                       int64_t wallSeconds);
  uint32_t Command(const Request& r, const std::string& host, int port, int64_t now);

  void OnTimer(int64_t now, int64_t wallSeconds);
  int64_t NextWakeup() const;  // INT64_MAX when there is nothing to do

  std::vector<Outgoing> TakeOutgoing() { return std::exchange(out_, {}); }
  std::vector<Notice> TakeNotices() { return std::exchange(notices_, {}); }

  // Ends everything outstanding (settings replaced): each send or command
  // not yet reported is reported as timed out, so none goes unanswered.
  std::vector<Notice> Abandon();

  // For tests and the benchmark: packets of the frame now on the wire.
  size_t PacketsInFlight() const;

 private:
  struct Target {
    PixelTarget Cfg;
    Endpoint To;
    E131Source Source;
    std::optional<Program> Shown;
    int64_t ShownAt = 0;
    bool Power = true;
    int Level = kLevels;
    std::array<uint8_t, 256> Tone{};
    std::vector<uint8_t> UniverseSeq;  // E1.31 and Art-Net: one counter per universe
    uint8_t SyncSeq = 0;
    uint8_t DdpSeq = 0;
    std::vector<uint8_t> LastChannels;  // what the last frame carried

    bool NeedFrame = false;            // something changed what is to be shown
    std::vector<Notice> ForNextFrame;  // sends reported when the next frame has left
    std::vector<std::vector<uint8_t>> Packets;  // the frame on the wire
    std::vector<Notice> ForThisFrame;
    size_t Sent = 0;
    int64_t StartedAt = 0;
    int64_t NextRepeat = std::numeric_limits<int64_t>::max();
    int64_t NextLook = std::numeric_limits<int64_t>::max();  // a clock or pages: when to compose again
  };
  struct Pending {
    int64_t Due = 0;
    Notice N;
  };

  Target* Find(const std::string& host, int port, Notice& base);
  void StartFrame(Target& t, int64_t now, int64_t wallSeconds);
  std::vector<uint8_t> Channels(Target& t, int64_t now, int64_t wallSeconds) const;
  std::vector<std::vector<uint8_t>> Packetize(Target& t, const std::vector<uint8_t>& channels);
  void Pump(Target& t, int64_t now, int64_t wallSeconds);

  LedApiConfig cfg_;
  Cid installation_;
  EngineConfig engine_;
  std::map<uint32_t, Target> targets_;  // by address, made on first use
  std::deque<Pending> pending_;         // unanswerable commands waiting for their timeout
  uint32_t nextSeq_ = kFirstSeq;
  std::vector<Outgoing> out_;
  std::vector<Notice> notices_;
};

}  // namespace ledp
