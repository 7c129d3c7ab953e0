#include "ledapi/core/pixel_sender.h"

#include <algorithm>
#include <cmath>

#include "ledapi/core/compose.h"
#include "screenlink/core/led_records.h"

namespace ledp {

namespace {

// How often a program with a clock or several pages is composed again to see
// whether the picture has changed.
constexpr int64_t kLookMs = 100;

}  // namespace

PixelSender::PixelSender(LedApiConfig cfg, const Cid& installation, EngineConfig engine)
    : cfg_(std::move(cfg)), installation_(installation), engine_(engine) {}

bool PixelSender::Handles(const std::string& host) const {
  const PixelTarget* t = cfg_.Find(host);
  return t && t->Kind != Protocol::Own;
}

PixelSender::Target* PixelSender::Find(const std::string& host, int port, Notice& base) {
  base.Seq = nextSeq_++;
  if (nextSeq_ < kFirstSeq) nextSeq_ = kFirstSeq;
  const PixelTarget* cfg = cfg_.Find(host);
  auto addr = ParseIPv4(host);
  if (!cfg || cfg->Kind == Protocol::Own || !addr || *addr == 0 || port <= 0 || port > 65535) return nullptr;
  if (engine_.LoopbackOnly && !IsLoopback(*addr)) return nullptr;
  auto it = targets_.find(*addr);
  if (it == targets_.end()) {
    Target t;
    t.Cfg = *cfg;
    t.To = {*addr, cfg->PortOrDefault()};
    t.Source = {cfg->Id.value_or(installation_), cfg->SourceName, static_cast<uint8_t>(cfg->Priority)};
    t.Tone = ToneCurve(cfg->Gamma, t.Level);
    t.UniverseSeq.assign(static_cast<size_t>(cfg->UniverseCount()), 0);
    it = targets_.emplace(*addr, std::move(t)).first;
  }
  return &it->second;
}

uint32_t PixelSender::SendProgram(const Program& p, int32_t address, const std::string& host, int port,
                                  int64_t now, int64_t wallSeconds) {
  Notice n{0, led::kCmdSend, 0, 0, address, port, 0, host};
  Target* t = Find(host, port, n);
  if (!t) {
    n.Kind = led::kKindTimeout;
    notices_.push_back(n);
    return n.Seq;
  }
  // Store-on-card has no meaning for a pixel controller: 18 shows like 17.
  t->Shown = p;
  t->ShownAt = now;
  t->NeedFrame = true;
  n.Kind = led::kKindSendDone;
  t->ForNextFrame.push_back(n);
  Pump(*t, now, wallSeconds);
  return n.Seq;
}

uint32_t PixelSender::Command(const Request& r, const std::string& host, int port, int64_t now) {
  Notice n{0, r.Command, led::kStatusOk, 0, r.Address, port, 0, host};
  Target* t = Find(host, port, n);
  if (!t) {
    n.Kind = led::kKindTimeout;
    notices_.push_back(n);
    return n.Seq;
  }
  switch (r.Command) {
    case led::kCmdSetBrightness:
      if (r.Value < 1 || r.Value > kLevels) {
        n.Status = led::kStatusRejected;
      } else if (r.Value != t->Level) {
        t->Level = r.Value;
        t->Tone = ToneCurve(t->Cfg.Gamma, t->Level);
        t->NeedFrame = t->Shown.has_value();
      }
      n.Value = t->Level;
      break;
    case led::kCmdSetPower:
      if ((r.Value == 1) != t->Power) {
        t->Power = r.Value == 1;
        t->NeedFrame = t->Shown.has_value();
      }
      n.Value = t->Power ? 1 : 0;
      break;
    default:
      // Query, clock, and reading power or brightness need the screen's own
      // answer, which these protocols do not have.
      n.Kind = led::kKindTimeout;
      pending_.push_back({now + engine_.DeadlineMs, n});
      return n.Seq;
  }
  n.Kind = led::kKindAnswer;
  notices_.push_back(n);
  return n.Seq;
}

std::vector<uint8_t> PixelSender::Channels(Target& t, int64_t now, int64_t wallSeconds) const {
  const size_t count = static_cast<size_t>(t.Cfg.Width) * t.Cfg.Height * 3;
  if (!t.Power || !t.Shown) return std::vector<uint8_t>(count, 0);
  plat::Raster pic = ComposeProgram(*t.Shown, t.Cfg.Width, t.Cfg.Height, now - t.ShownAt, wallSeconds);
  return FrameChannels(pic, t.Cfg.Wire, t.Tone);
}

std::vector<std::vector<uint8_t>> PixelSender::Packetize(Target& t, const std::vector<uint8_t>& ch) {
  std::vector<std::vector<uint8_t>> packets;
  const PixelTarget& c = t.Cfg;
  if (c.Kind == Protocol::Ddp) {
    for (size_t at = 0; at < ch.size(); at += kDdpMaxData) {
      const size_t n = std::min(kDdpMaxData, ch.size() - at);
      t.DdpSeq = static_cast<uint8_t>(t.DdpSeq % 15 + 1);  // 1..15; 0 would mean "not used"
      packets.push_back(EncodeDdp(static_cast<uint32_t>(at), t.DdpSeq, at + n == ch.size(), ch.data() + at, n));
    }
    return packets;
  }
  const size_t per = c.ChannelsPerUniverse();
  for (size_t u = 0; u < t.UniverseSeq.size(); ++u) {
    const size_t at = u * per;
    const size_t n = at < ch.size() ? std::min(per, ch.size() - at) : 0;
    const int universe = c.FirstUniverse() + static_cast<int>(u);
    uint8_t& seq = t.UniverseSeq[u];
    if (c.Kind == Protocol::E131) {
      ++seq;  // wraps through 0, as the standard counts
      packets.push_back(EncodeE131Data(t.Source, static_cast<uint16_t>(universe), seq, ch.data() + at, n,
                                       static_cast<uint16_t>(c.SyncUniverse)));
    } else {
      seq = static_cast<uint8_t>(seq % 255 + 1);  // 1..255; 0 turns the receiver's ordering off
      packets.push_back(EncodeArtDmx(static_cast<uint16_t>(universe), seq, ch.data() + at, n));
    }
  }
  if (c.Kind == Protocol::E131 && c.SyncUniverse)
    packets.push_back(EncodeE131Sync(t.Source.Id, static_cast<uint16_t>(c.SyncUniverse), ++t.SyncSeq));
  return packets;
}

void PixelSender::StartFrame(Target& t, int64_t now, int64_t wallSeconds) {
  t.LastChannels = Channels(t, now, wallSeconds);
  t.Packets = Packetize(t, t.LastChannels);
  t.ForThisFrame = std::exchange(t.ForNextFrame, {});
  t.Sent = 0;
  t.StartedAt = now;
  t.NeedFrame = false;
}

// Sends what the pace allows: the first packet at once, then one more every
// 1 / PacketsPerMs milliseconds.
void PixelSender::Pump(Target& t, int64_t now, int64_t wallSeconds) {
  for (;;) {
    if (t.Sent < t.Packets.size()) {
      const double allowed = 1.0 + std::floor(static_cast<double>(now - t.StartedAt) * t.Cfg.PacketsPerMs);
      while (t.Sent < t.Packets.size() && static_cast<double>(t.Sent) < allowed)
        out_.push_back({t.To, std::move(t.Packets[t.Sent++])});
      if (t.Sent < t.Packets.size()) return;
      // The frame has left.
      t.Packets.clear();
      for (Notice& n : t.ForThisFrame) notices_.push_back(std::move(n));
      t.ForThisFrame.clear();
      const bool live = t.Power && t.Shown;
      t.NextRepeat = live && t.Cfg.RepeatMs > 0 ? t.StartedAt + t.Cfg.RepeatMs : std::numeric_limits<int64_t>::max();
      t.NextLook = live && ChangesByItself(*t.Shown) ? now + kLookMs : std::numeric_limits<int64_t>::max();
    }
    if (!t.NeedFrame && now >= t.NextLook) {
      t.NextLook = now + kLookMs;
      if (Channels(t, now, wallSeconds) != t.LastChannels) t.NeedFrame = true;
    }
    if (!t.NeedFrame && now < t.NextRepeat) return;
    StartFrame(t, now, wallSeconds);
  }
}

void PixelSender::OnTimer(int64_t now, int64_t wallSeconds) {
  while (!pending_.empty() && pending_.front().Due <= now) {
    notices_.push_back(std::move(pending_.front().N));
    pending_.pop_front();
  }
  for (auto& [addr, t] : targets_) Pump(t, now, wallSeconds);
}

int64_t PixelSender::NextWakeup() const {
  int64_t next = pending_.empty() ? std::numeric_limits<int64_t>::max() : pending_.front().Due;
  for (const auto& [addr, t] : targets_) {
    if (t.Sent < t.Packets.size()) {
      next = std::min(next, t.StartedAt + static_cast<int64_t>(std::ceil(t.Sent / t.Cfg.PacketsPerMs)));
      continue;
    }
    next = std::min({next, t.NextRepeat, t.NextLook});
  }
  return next;
}

std::vector<Notice> PixelSender::Abandon() {
  std::vector<Notice> out = TakeNotices();
  auto timedOut = [&](Notice n) {
    n.Kind = led::kKindTimeout;
    out.push_back(std::move(n));
  };
  for (auto& [addr, t] : targets_) {
    for (Notice& n : t.ForThisFrame) timedOut(std::move(n));
    for (Notice& n : t.ForNextFrame) timedOut(std::move(n));
  }
  for (Pending& p : pending_) timedOut(std::move(p.N));
  targets_.clear();
  pending_.clear();
  out_.clear();
  return out;
}

size_t PixelSender::PacketsInFlight() const {
  size_t n = 0;
  for (const auto& [addr, t] : targets_) n += t.Packets.size() - std::min(t.Sent, t.Packets.size());
  return n;
}

}  // namespace ledp
