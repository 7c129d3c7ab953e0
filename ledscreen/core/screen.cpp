#include "ledscreen/core/screen.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "ledapi/core/compose.h"
#include "ledscreen/core/png.h"
#include "screenlink/core/led_records.h"

namespace ledscreen {

using ledp::Packet;

namespace {

bool HasClock(const ledp::Page& p) {
  return std::any_of(p.Windows.begin(), p.Windows.end(),
                     [](const ledp::Window& w) { return w.Type == ledp::WindowType::Clock; });
}

const char* CommandName(int32_t c) {
  switch (c) {
    case led::kCmdQuery: return "query";
    case led::kCmdAdjustTime: return "set clock";
    case led::kCmdGetPower: return "get power";
    case led::kCmdSetPower: return "set power";
    case led::kCmdGetBrightness: return "get brightness";
    case led::kCmdSetBrightness: return "set brightness";
    default: return "unknown command";
  }
}

}  // namespace

Screen::Screen(ScreenConfig cfg) : cfg_(std::move(cfg)) {
  cfg_.Width = std::clamp(cfg_.Width, 1, ledp::kMaxSide);
  cfg_.Height = std::clamp(cfg_.Height, 1, ledp::kMaxSide);
  picture_ = plat::Raster(cfg_.Width, cfg_.Height);
  if (cfg_.Key) {
    key_.emplace(*cfg_.Key);
    hasher_ = std::make_unique<HashWorker>();
  }
}

std::string Screen::LoadCard(int64_t nowMs) {
  if (cfg_.CardPath.empty()) return "no card file";
  std::ifstream f(cfg_.CardPath, std::ios::binary);
  if (!f) return "card " + cfg_.CardPath + ": empty";
  std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  auto p = ledp::ParseProgram(bytes.data(), bytes.size());
  if (!p) return "card " + cfg_.CardPath + ": not a valid program, ignored";
  Show(std::move(*p), nowMs);
  return "card " + cfg_.CardPath + ": stored program shown";
}

std::string Screen::Who(const Endpoint& from, const Packet& p) const {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s:%u session %08x #%u", ledp::FormatIPv4(from.Addr).c_str(),
                static_cast<unsigned>(from.Port), static_cast<unsigned>(p.Session), static_cast<unsigned>(p.Seq));
  return buf;
}

void Screen::SendReply(const Endpoint& to, uint32_t session, uint32_t seq, const Stored& r) {
  if (!key_) {
    replies_.push_back({to, r.Kind == ledp::Type::Answer ? ledp::EncodeAnswer(session, seq, r.Ans)
                                                         : ledp::EncodeChunkAck(session, seq, r.Ack)});
    return;
  }
  auto s = sessions_.find({to.Addr, to.Port, session});
  if (s == sessions_.end()) return;  // closed since: the link opens a new one
  Session& ss = s->second;
  const uint64_t counter = ++ss.Sent;
  replies_.push_back({to, r.Kind == ledp::Type::Answer
                              ? ledp::auth::EncodeAnswer(session, seq, counter, r.Ans, ss.Mac)
                              : ledp::auth::EncodeChunkAck(session, seq, counter, r.Ack, ss.Mac)});
}

void Screen::Remember(const Key& key, Stored reply) {
  if (answered_.emplace(key, std::move(reply)).second) answeredOrder_.push_back(key);
  while (answeredOrder_.size() > kAnswered) {
    answered_.erase(answeredOrder_.front());
    answeredOrder_.pop_front();
  }
}

void Screen::OnDatagram(const uint8_t* data, size_t size, const Endpoint& from, int64_t nowMs,
                        int64_t wallSeconds) {
  if (key_) {
    OnAuthenticated(data, size, from, nowMs, wallSeconds);
    return;
  }
  auto p = ledp::Decode(data, size);
  if (!p) return;
  Dispatch(*p, from, nowMs, wallSeconds);
}

void Screen::Dispatch(const Packet& p, const Endpoint& from, int64_t nowMs, int64_t wallSeconds,
                      const ledp::auth::Header* h) {
  if (p.Kind != ledp::Type::Request && p.Kind != ledp::Type::Chunk) return;
  const Key key{from.Addr, from.Port, p.Session, p.Seq};
  // A repeat of something already done gets the same answer again and
  // changes nothing.
  if (auto done = answered_.find(key); done != answered_.end()) {
    if (h && nowMs - done->second.At > kRepeatAnswersMs) {
      Drop(from, h, "command answered long ago", nowMs);
      return;
    }
    SendReply(from, p.Session, p.Seq, done->second);
    return;
  }
  if (p.Kind == ledp::Type::Request) OnRequest(p, from, key, nowMs, wallSeconds);
  else OnChunk(p, from, key, nowMs);
}

// A keyed screen answers only datagrams of a session it opened, with a MAC
// under that session's key and a counter not seen before. Everything else
// is dropped without a word on the wire, and said in the log.
void Screen::OnAuthenticated(const uint8_t* data, size_t size, const Endpoint& from, int64_t nowMs,
                             int64_t wallSeconds) {
  auto h = ledp::auth::PeekHeader(data, size);
  if (!h) {
    Drop(from, nullptr,
         ledp::Decode(data, size) ? "unauthenticated (this screen has a key)" : "not a datagram of the protocol",
         nowMs);
    return;
  }
  if (h->Kind == ledp::Type::Open) {
    OnOpen(data, size, from, *h, nowMs);
    return;
  }
  if (h->Kind != ledp::Type::Request && h->Kind != ledp::Type::Chunk) {
    Drop(from, &*h, "not a datagram for a screen", nowMs);
    return;
  }
  auto s = sessions_.find({from.Addr, from.Port, h->Session});
  if (s == sessions_.end()) {
    Drop(from, &*h, "session not opened here", nowMs);
    return;
  }
  Session& ss = s->second;
  if (!ledp::auth::MacValid(ss.Mac, data, size)) {
    Drop(from, &*h, "wrong or truncated MAC", nowMs);
    return;
  }
  if (!ss.Received.Fresh(h->Counter)) {
    Drop(from, &*h, "counter " + std::to_string(h->Counter) + " already seen or too old", nowMs);
    return;
  }
  auto p = ledp::auth::Decode(data, size);
  if (!p) {
    Drop(from, &*h, "malformed body", nowMs);
    return;
  }
  ss.Received.Mark(h->Counter);
  ss.LastActivity = nowMs;
  ss.Finished = std::max(ss.Finished, p->Finished);
  if (p->Seq < ss.Finished) {
    Drop(from, &*h, "command finished at the link", nowMs);
    return;
  }
  Dispatch(*p, from, nowMs, wallSeconds, &*h);
}

void Screen::OnOpen(const uint8_t* data, size_t size, const Endpoint& from, const ledp::auth::Header& h,
                    int64_t nowMs) {
  if (!ledp::auth::MacValid(*key_, data, size)) {
    Drop(from, &h, "open with a wrong or truncated MAC (not this screen's key)", nowMs);
    return;
  }
  auto p = ledp::auth::Decode(data, size);
  if (!p) {
    Drop(from, &h, "malformed open", nowMs);
    return;
  }
  const SessionId id{from.Addr, from.Port, h.Session};
  if (auto s = sessions_.find(id); s != sessions_.end()) {
    // The link did not get our answer: the same one again. Once the
    // session has carried a command the link has had it, and an open is a
    // recording played back.
    if (s->second.LinkNonce != p->LinkNonce || s->second.Received.Top() != 0) {
      Drop(from, &h, s->second.LinkNonce != p->LinkNonce ? "open for a session already open" : "replayed open",
           nowMs);
      return;
    }
    replies_.push_back(
        {from, ledp::auth::EncodeOpenAck(h.Session, s->second.LinkNonce, s->second.ScreenNonce, s->second.Mac)});
    return;
  }
  // A link takes a fresh nonce for every session: a nonce seen before is a
  // recording played back.
  if (seenOpens_.count(p->LinkNonce)) {
    Drop(from, &h, "replayed open", nowMs);
    return;
  }
  ledp::Nonce mine{};
  if (!ledp::crypto::Random(mine.data(), mine.size())) {
    Drop(from, &h, "no random numbers for a session", nowMs);
    return;
  }
  seenOpens_.insert(p->LinkNonce);
  seenOrder_.push_back(p->LinkNonce);
  if (seenOrder_.size() > kSeenOpens) {
    seenOpens_.erase(seenOrder_.front());
    seenOrder_.pop_front();
  }
  if (sessions_.size() >= kMaxSessions) {
    // The session quiet longest makes room; its link opens a new one.
    auto oldest = std::min_element(sessions_.begin(), sessions_.end(), [](const auto& a, const auto& b) {
      return a.second.LastActivity < b.second.LastActivity;
    });
    sessions_.erase(oldest);
  }
  Session ss{.Mac = ledp::auth::SessionKey(*cfg_.Key, h.Session, p->LinkNonce, mine),
             .LinkNonce = p->LinkNonce,
             .ScreenNonce = mine,
             .Received = {},
             .LastActivity = nowMs};
  replies_.push_back({from, ledp::auth::EncodeOpenAck(h.Session, ss.LinkNonce, ss.ScreenNonce, ss.Mac)});
  sessions_.emplace(id, std::move(ss));
  char buf[96];
  std::snprintf(buf, sizeof buf, "%s:%u session %08x opened", ledp::FormatIPv4(from.Addr).c_str(),
                static_cast<unsigned>(from.Port), static_cast<unsigned>(h.Session));
  log_.push_back(buf);
}

// One log line per dropped datagram, at most kDropLinesPerSecond a second:
// a flood says how much it was, not every datagram of it.
void Screen::Drop(const Endpoint& from, const ledp::auth::Header* h, const std::string& why, int64_t nowMs) {
  const int64_t second = nowMs / 1000;
  if (second != dropSecond_) {
    if (dropsUnlogged_ > 0) log_.push_back("dropped " + std::to_string(dropsUnlogged_) + " more datagrams");
    dropSecond_ = second;
    dropLines_ = 0;
    dropsUnlogged_ = 0;
  }
  if (dropLines_ >= kDropLinesPerSecond) {
    ++dropsUnlogged_;
    return;
  }
  ++dropLines_;
  char buf[96];
  if (h)
    std::snprintf(buf, sizeof buf, "%s:%u session %08x #%u", ledp::FormatIPv4(from.Addr).c_str(),
                  static_cast<unsigned>(from.Port), static_cast<unsigned>(h->Session), static_cast<unsigned>(h->Seq));
  else
    std::snprintf(buf, sizeof buf, "%s:%u", ledp::FormatIPv4(from.Addr).c_str(), static_cast<unsigned>(from.Port));
  log_.push_back(std::string("dropped from ") + buf + ": " + why);
}

void Screen::OnRequest(const Packet& p, const Endpoint& from, const Key& key, int64_t nowMs, int64_t wallSeconds) {
  ledp::Answer a{p.Req.Command, led::kStatusOk, 0};
  std::string what = CommandName(p.Req.Command);
  switch (p.Req.Command) {
    case led::kCmdQuery: a.Value = 1; break;
    case led::kCmdGetPower: a.Value = power_ ? 1 : 0; break;
    case led::kCmdSetPower:
      what += " " + std::to_string(p.Req.Value);
      if (cfg_.AutoPower) {
        a.Status = led::kStatusAutoMode;
      } else {
        power_ = p.Req.Value == 1;
        dirty_ = true;
      }
      a.Value = power_ ? 1 : 0;
      break;
    case led::kCmdGetBrightness: a.Value = brightness_; break;
    case led::kCmdSetBrightness:
      what += " " + std::to_string(p.Req.Value);
      if (cfg_.AutoBrightness) a.Status = led::kStatusAutoMode;
      else if (p.Req.Value < 1 || p.Req.Value > kMaxBrightness) a.Status = led::kStatusRejected;
      else brightness_ = p.Req.Value;
      a.Value = brightness_;
      break;
    case led::kCmdAdjustTime: {
      const ledp::ClockTime& c = p.Req.Clock;
      what += " " + ledp::ClockText(4, c);
      if (ledp::ClockIsValid(c)) clockOffset_ = ledp::ClockToSeconds(c) - wallSeconds;
      else a.Status = led::kStatusRejected;
      break;
    }
    default: a.Status = led::kStatusRejected; break;
  }
  log_.push_back(Who(from, p) + " " + what + " -> status " + std::to_string(a.Status) + ", value " +
                 std::to_string(a.Value));
  Stored reply{ledp::Type::Answer, a, {}, nowMs};
  SendReply(from, p.Session, p.Seq, reply);
  Remember(key, std::move(reply));
}

void Screen::OnChunk(const Packet& p, const Endpoint& from, const Key& key, int64_t nowMs) {
  const ledp::Chunk& c = p.Piece;
  auto it = transfers_.find(key);
  if (it == transfers_.end()) {
    if (transfers_.size() >= kMaxTransfers) {
      // Make room by dropping the transfer that has been quiet longest; its
      // sender times out or starts over.
      auto oldest = std::min_element(transfers_.begin(), transfers_.end(), [](const auto& a, const auto& b) {
        return a.second.LastActivity < b.second.LastActivity;
      });
      transfers_.erase(oldest);
    }
    Transfer t;
    t.Total = c.TotalLength;
    t.Count = c.Count;
    t.Data.assign(c.TotalLength, 0);
    t.Bits.assign((c.Count + 7u) / 8u, 0);
    if (key_) t.Hash = hasher_->Start();
    it = transfers_.emplace(key, std::move(t)).first;
  }
  Transfer& t = it->second;
  if (c.TotalLength != t.Total || c.Count != t.Count) return;  // not the same program: drop
  t.LastActivity = nowMs;
  uint8_t& byte = t.Bits[c.Index / 8];
  const uint8_t bit = static_cast<uint8_t>(1u << (c.Index % 8));
  if (!(byte & bit)) {
    byte |= bit;
    std::copy(c.Data, c.Data + c.Size, t.Data.begin() + size_t{c.Index} * ledp::kChunkData);
    ++t.Have;
    UnpackInOrder(t);
  }
  if (t.Have == t.Count) {
    Complete(p, from, key, t, nowMs);
    transfers_.erase(key);
    return;
  }
  SendReply(from, p.Session, p.Seq, {ledp::Type::ChunkAck, {}, ledp::ChunkAck{t.Count, false, 0, t.Bits}});
}

// Takes every chunk that now continues the unbroken run from the first:
// chunks that come early wait in Data for the ones before them.
void Screen::UnpackInOrder(Transfer& t) {
  bool good = true;
  for (; t.Unpacked < t.Count && (t.Bits[t.Unpacked / 8] >> (t.Unpacked % 8) & 1); ++t.Unpacked) {
    const size_t offset = size_t{t.Unpacked} * ledp::kChunkData;
    good = t.Inflater.Feed(t.Data.data() + offset, std::min(ledp::kChunkData, t.Data.size() - offset));
  }
  if (!t.Hash || !good) return;  // a program that does not unpack is refused, never hashed
  const std::vector<uint8_t>& out = t.Inflater.Unpacked();
  if (out.size() - t.Hashing >= kHashPiece) {
    hasher_->Add(t.Hash, out.data() + t.Hashing, out.size() - t.Hashing);
    t.Hashing = out.size();
  }
}

void Screen::Complete(const Packet& p, const Endpoint& from, const Key& key, Transfer& t, int64_t nowMs) {
  ledp::ChunkAck ack{t.Count, true, led::kStatusOk, t.Bits};
  std::string line = Who(from, p) + " program, " + std::to_string(t.Total) + " bytes (packed) in " +
                     std::to_string(t.Count) + " datagrams -> ";
  auto raw = t.Inflater.Finish();
  std::optional<ledp::Program> program;
  if (raw) program = ledp::ParseProgram(raw->data(), raw->size());
  if (!program) {
    ack.Status = led::kStatusRejected;
    line += "refused (not a valid program)";
  } else {
    size_t windows = 0;
    for (const auto& page : program->Pages) windows += page.Windows.size();
    line += std::to_string(program->Pages.size()) + " page(s), " + std::to_string(windows) + " window(s), root " +
            std::to_string(program->RootType);
    // A program that completes after a newer one from the same link is not
    // shown: the operator's last send wins.
    auto link = std::make_tuple(from.Addr, from.Port, p.Session);
    auto newest = newestShown_.find(link);
    if (newest != newestShown_.end() && newest->second > p.Seq) {
      line += ", superseded";
    } else {
      if (newestShown_.size() > 1024) newestShown_.clear();
      newestShown_[link] = p.Seq;
      if (program->RootType == 18) {
        if (cfg_.CardPath.empty()) line += ", no card file";
        else if (WriteFileReplacing(cfg_.CardPath, *raw)) line += ", stored on the card";
        else line += ", storing on the card FAILED";
      }
      if (t.Hash) arrived_ = Arrived{std::move(*raw), t.Hash, t.Hashing};
      Show(std::move(*program), nowMs);
      arrived_.reset();
      line += ", shown";
    }
  }
  log_.push_back(line);
  ack.Shown = shownDigest_;
  Stored reply{ledp::Type::ChunkAck, {}, std::move(ack), nowMs};
  SendReply(from, p.Session, p.Seq, reply);
  Remember(key, std::move(reply));
}

void Screen::Show(ledp::Program p, int64_t nowMs) {
  // Hashed as the screen holds it, encoded again: what the link sent, unless
  // something between the wire and the LEDs changed it. Those bytes are
  // most often exactly the ones that arrived, hashed on the way.
  if (key_) {
    std::vector<uint8_t>& bytes = shownBytes_;
    ledp::SerializeProgram(p, bytes);
    if (arrived_ && arrived_->Bytes == bytes)
      shownDigest_ = hasher_->Finish(arrived_->Hash, bytes.data() + arrived_->Hashed, bytes.size() - arrived_->Hashed);
    else
      shownDigest_ = ledp::crypto::Sha256(bytes.data(), bytes.size());
    if (bytes.capacity() > kKeptEncoding) std::vector<uint8_t>().swap(bytes);
  }
  program_ = std::move(p);
  shownAt_ = nowMs;
  dirty_ = true;
}

size_t Screen::CurrentPage(int64_t nowMs) const { return ledp::PageAt(*program_, nowMs - shownAt_); }

bool Screen::Render(int64_t nowMs, int64_t wallSeconds) {
  // Dark while off; otherwise what the library composes for pixel screens.
  plat::Raster next = power_ && program_ ? ledp::ComposeProgram(*program_, cfg_.Width, cfg_.Height, nowMs - shownAt_,
                                                                 wallSeconds + clockOffset_)
                                         : plat::Raster(cfg_.Width, cfg_.Height);
  const bool changed = !drawn_ || !next.SamePixels(picture_);
  drawn_ = true;
  dirty_ = false;
  if (changed) picture_ = std::move(next);
  return changed;
}

int64_t Screen::NextChange(int64_t nowMs) const {
  int64_t t = nowMs + 60000;
  if (!power_ || !program_ || program_->Pages.empty()) return t;
  if (HasClock(program_->Pages[CurrentPage(nowMs)])) t = std::min(t, nowMs + 200);
  if (program_->Pages.size() > 1) t = std::min(t, nowMs + 100);
  return t;
}

plat::Raster LedDots(const plat::Raster& src, int pitch) {
  pitch = std::clamp(pitch, 1, 16);
  plat::Raster out(src.Width() * pitch, src.Height() * pitch, plat::RGBColor(8, 8, 8));
  const int dot = pitch > 1 ? pitch - 1 : 1;
  for (int y = 0; y < src.Height(); ++y) {
    for (int x = 0; x < src.Width(); ++x) {
      plat::Color c = src.Pixel(x, y);
      if (c == plat::clBlack) c = plat::RGBColor(28, 28, 28);
      for (int dy = 0; dy < dot; ++dy)
        for (int dx = 0; dx < dot; ++dx) {
          // Knock off the corners of larger dots so they look round.
          const bool corner = dot >= 3 && (dx == 0 || dx == dot - 1) && (dy == 0 || dy == dot - 1);
          if (!corner) out.SetPixel(x * pitch + dx, y * pitch + dy, c);
        }
    }
  }
  return out;
}

}  // namespace ledscreen
