#include "ledapi/core/link_engine.h"

#include <algorithm>

#include "ledapi/core/program.h"
#include "screenlink/core/led_records.h"

namespace ledp {

LinkEngine::LinkEngine(uint32_t session, EngineConfig cfg) : session_(session), cfg_(cfg) {}

bool LinkEngine::Resolve(const std::string& host, int port, Endpoint& to) const {
  auto addr = ParseIPv4(host);
  if (!addr || *addr == 0 || port <= 0 || port > 65535) return false;
  if (cfg_.LoopbackOnly && !IsLoopback(*addr)) return false;
  to = {*addr, static_cast<uint16_t>(port)};
  return true;
}

void LinkEngine::Fail(Notice n) {
  n.Kind = led::kKindTimeout;
  notices_.push_back(std::move(n));
}

// Files a resolved command. A keyed target gets its peer (a new one when the
// key changed, which ends the old session), opened if it is not yet.
uint32_t LinkEngine::Add(Op op, const crypto::Key* key, int64_t now) {
  const uint32_t seq = op.Base.Seq;
  op.Deadline = now + cfg_.DeadlineMs;
  auto p = peers_.find(op.Target);
  if (p != peers_.end() && (!key || !crypto::Equal(p->second.Key.data(), key->data(), key->size()))) {
    DropPeer(op.Target);
    p = peers_.end();
  }
  if (key) {
    op.Keyed = true;
    if (p == peers_.end()) p = peers_.emplace(op.Target, Peer(*key)).first;
    if (p->second.Now == Peer::State::Closed) OpenSession(op.Target, p->second, now);
  }
  auto it = ops_.emplace(seq, std::move(op)).first;
  if (active_ < cfg_.MaxActive && CanStart(it->second)) Start(seq, it->second, now);
  return seq;
}

uint32_t LinkEngine::Command(const Request& r, const std::string& host, int port, int64_t now,
                             const crypto::Key* key) {
  const uint32_t seq = nextSeq_++;
  Op op;
  op.Base = {0, r.Command, 0, 0, r.Address, port, seq, host};
  if (!Resolve(host, port, op.Target)) {
    Fail(op.Base);
    return seq;
  }
  op.Req = r;
  if (!key) op.Datagram = EncodeRequest(session_, seq, r);
  return Add(std::move(op), key, now);
}

uint32_t LinkEngine::SendProgram(std::vector<uint8_t> blob, int32_t address, const std::string& host, int port,
                                 int64_t now, const crypto::Key* key, std::vector<uint8_t> unpacked) {
  const uint32_t seq = nextSeq_++;
  Op op;
  op.IsProgram = true;
  op.Base = {0, led::kCmdSend, 0, 0, address, port, seq, host};
  if (blob.empty() || blob.size() > kMaxProgramBytes || !Resolve(host, port, op.Target)) {
    Fail(op.Base);
    return seq;
  }
  op.Count = static_cast<uint16_t>(ChunkCountFor(static_cast<uint32_t>(blob.size())));
  op.Blob = std::move(blob);
  if (key) op.Unpacked = std::move(unpacked);
  op.Acked.assign(op.Count, 0);
  op.LastSent.assign(op.Count, -1);
  op.LastTx.assign(op.Count, 0);
  return Add(std::move(op), key, now);
}

// The screen's key changed or was taken away: the session ends, and the
// commands waiting on it fail (they were meant for the old key).
void LinkEngine::DropPeer(const Endpoint& to) {
  for (auto it = ops_.begin(); it != ops_.end();) {
    auto cur = it++;
    if (cur->second.Keyed && cur->second.Target == to) {
      Fail(cur->second.Base);
      if (cur->second.Started) --active_;
      ops_.erase(cur);
    }
  }
  peers_.erase(to);
}

uint32_t LinkEngine::Refuse(int32_t command, int32_t address, const std::string& host, int port) {
  const uint32_t seq = nextSeq_++;
  Fail({0, command, 0, 0, address, port, seq, host});
  return seq;
}

// What the screen's digest must be: the program as it will hold it. Hashed
// a slice at a time while the link waits (OnIdle), finished here at the
// latest when the screen's answer comes. A blob that does not unpack is
// refused by the screen, never shown.
void LinkEngine::FindExpect(Op& op) {
  if (op.HaveExpect) return;
  op.HaveExpect = true;
  if (!op.Unpacked.empty()) {
    HashSlice(op, op.Unpacked.size());
    op.Expect = op.Hashing->Finish();
    op.Hashing.reset();
    std::vector<uint8_t>().swap(op.Unpacked);
  } else if (auto raw = UnpackProgram(op.Blob.data(), op.Blob.size())) {
    op.Expect = crypto::Sha256(raw->data(), raw->size());
  }
}

void LinkEngine::HashSlice(Op& op, size_t slice) {
  if (!op.Hashing) op.Hashing.emplace();
  const size_t n = std::min(slice, op.Unpacked.size() - op.Hashed);
  op.Hashing->Update(op.Unpacked.data() + op.Hashed, n);
  op.Hashed += n;
}

LinkEngine::Peer* LinkEngine::PeerOf(const Op& op) {
  if (!op.Keyed) return nullptr;
  auto p = peers_.find(op.Target);
  return p == peers_.end() ? nullptr : &p->second;
}

bool LinkEngine::CanStart(const Op& op) const {
  if (!op.Keyed) return true;
  auto p = peers_.find(op.Target);
  return p != peers_.end() && p->second.Now == Peer::State::Open;
}

// A fresh session number and nonce for every opening: nothing recorded from
// an earlier session is worth anything in this one.
void LinkEngine::OpenSession(const Endpoint& to, Peer& peer, int64_t now) {
  uint8_t fresh[4 + kNonceSize];
  if (!crypto::Random(fresh, sizeof fresh)) return;  // stays closed: its commands time out
  peer.Session = GetU32(fresh) | 1u;
  std::copy(fresh + 4, fresh + sizeof fresh, peer.Mine.begin());
  peer.Now = Peer::State::Opening;
  peer.Mac.reset();
  peer.Sent = 0;
  peer.Received = {};
  peer.OpenDatagram = auth::EncodeOpen(peer.Session, peer.Mine, peer.Long);
  peer.Rto = cfg_.FirstRetryMs;
  out_.push_back({to, peer.OpenDatagram});
  peer.NextRetry = now + peer.Rto;
}

// The screen has gone quiet on an open session: its commands go back to
// waiting and start over, from the first chunk, in a new session.
void LinkEngine::Reopen(const Endpoint& to, Peer& peer, int64_t now) {
  for (auto& [seq, op] : ops_) {
    if (!op.Keyed || !(op.Target == to) || !op.Started) continue;
    op.Started = false;
    --active_;
    if (op.IsProgram) {
      std::fill(op.Acked.begin(), op.Acked.end(), 0);
      std::fill(op.LastSent.begin(), op.LastSent.end(), -1);
      op.NextNew = 0;
    }
  }
  OpenSession(to, peer, now);
  StartWaiting(now);
}

// Puts a command on the wire. A burst of commands is let out a few at a
// time so that their datagrams (and their retransmissions) do not overrun
// the screen's receive buffer together.
void LinkEngine::Start(uint32_t seq, Op& op, int64_t now) {
  op.Started = true;
  op.StartedAt = now;
  ++active_;
  op.Rto = cfg_.FirstRetryMs;
  if (op.IsProgram) {
    // A keyed window opens with its first chunk alone: each chunk takes a
    // MAC, and the screen can start on the first while the rest are made
    // (LetOutWindows, or the first acknowledgement at the latest).
    if (op.Keyed) SendChunk(seq, op, op.NextNew++, now);
    else Pump(seq, op, now);
  } else {
    SendRequest(seq, op);
    op.NextRetry = now + op.Rto;
  }
}

void LinkEngine::StartWaiting(int64_t now) {
  for (auto& [seq, op] : ops_) {
    if (active_ >= cfg_.MaxActive) return;
    if (!op.Started && CanStart(op)) Start(seq, op, now);
  }
}

// Tells a keyed screen which of our commands it need never answer again:
// a recording of them played back then gets nothing.
uint32_t LinkEngine::FinishedBelow(const Endpoint& to) const {
  for (const auto& [seq, op] : ops_)
    if (op.Keyed && op.Target == to) return seq;
  return nextSeq_;
}

// Every sending of an authenticated datagram carries a new counter, so the
// screen can tell a retransmission from a recording played back.
void LinkEngine::SendRequest(uint32_t seq, Op& op) {
  if (Peer* peer = PeerOf(op)) {
    out_.push_back({op.Target, auth::EncodeRequest(peer->Session, seq, ++peer->Sent, FinishedBelow(op.Target), op.Req,
                                                     *peer->Mac)});
    return;
  }
  out_.push_back({op.Target, op.Datagram});
}

void LinkEngine::SendChunk(uint32_t seq, Op& op, unsigned i, int64_t now) {
  const size_t offset = size_t{i} * kChunkData;
  const size_t size = std::min(kChunkData, op.Blob.size() - offset);
  const auto total = static_cast<uint32_t>(op.Blob.size());
  const auto index = static_cast<uint16_t>(i);
  if (Peer* peer = PeerOf(op)) {
    out_.push_back({op.Target, auth::EncodeChunk(peer->Session, seq, ++peer->Sent, FinishedBelow(op.Target), total, index, op.Count,
                                                 op.Blob.data() + offset, size, *peer->Mac)});
  } else {
    out_.push_back({op.Target, EncodeChunk(session_, seq, total, index, op.Count, op.Blob.data() + offset, size)});
  }
  op.LastSent[i] = now;
  op.LastTx[i] = ++tx_;
}

// First transmissions, as far as the window allows.
void LinkEngine::Pump(uint32_t seq, Op& op, int64_t now) {
  unsigned inflight = 0;
  for (unsigned i = 0; i < op.NextNew; ++i) inflight += op.Acked[i] ? 0 : 1;
  while (op.NextNew < op.Count && inflight < cfg_.Window) {
    SendChunk(seq, op, op.NextNew++, now);
    ++inflight;
  }
}

void LinkEngine::Finish(std::map<uint32_t, Op>::iterator it, int32_t kind, int32_t status, int32_t value,
                        int64_t now) {
  Notice n = it->second.Base;
  n.Kind = kind;
  n.Status = status;
  n.Value = value;
  notices_.push_back(std::move(n));
  if (it->second.Started) --active_;
  ops_.erase(it);
  StartWaiting(now);
}

void LinkEngine::OnOpenAck(const uint8_t* data, size_t size, Peer& peer, int64_t now) {
  auto p = auth::Decode(data, size);
  if (!p || peer.Now != Peer::State::Opening || p->Session != peer.Session || p->LinkNonce != peer.Mine) return;
  crypto::Hmac mac = auth::SessionKey(peer.Key, peer.Session, peer.Mine, p->ScreenNonce);
  if (!auth::MacValid(mac, data, size)) return;
  peer.Mac.emplace(std::move(mac));
  peer.Now = Peer::State::Open;
  peer.LastHeard = now;
  StartWaiting(now);
}

// An answer from a keyed screen: from our current session with it, with its
// MAC and a counter not seen before. Anything else is dropped unanswered.
std::optional<Packet> LinkEngine::Authenticate(const uint8_t* data, size_t size, const Endpoint& from,
                                               int64_t now) {
  auto h = auth::PeekHeader(data, size);
  auto pe = peers_.find(from);
  if (!h || pe == peers_.end()) return std::nullopt;
  Peer& peer = pe->second;
  if (h->Kind == Type::OpenAck) {
    OnOpenAck(data, size, peer, now);
    return std::nullopt;
  }
  if (peer.Now != Peer::State::Open || h->Session != peer.Session) return std::nullopt;
  if (h->Kind != Type::Answer && h->Kind != Type::ChunkAck) return std::nullopt;
  if (!auth::MacValid(*peer.Mac, data, size) || !peer.Received.Fresh(h->Counter)) return std::nullopt;
  auto p = auth::Decode(data, size);
  if (!p) return std::nullopt;
  peer.Received.Mark(h->Counter);
  peer.LastHeard = now;
  return p;
}

void LinkEngine::OnDatagram(const uint8_t* data, size_t size, const Endpoint& from, int64_t now) {
  // A keyed screen's datagrams must be authenticated; any other screen's
  // must be of the plain protocol with our session number.
  if (peers_.count(from)) {
    if (auto p = Authenticate(data, size, from, now)) OnPacket(*p, from, now);
    return;
  }
  auto p = Decode(data, size);
  if (!p || p->Session != session_) return;
  OnPacket(*p, from, now);
}

void LinkEngine::OnPacket(const Packet& p, const Endpoint& from, int64_t now) {
  auto it = ops_.find(p.Seq);
  if (it == ops_.end()) return;  // finished, timed out or never ours
  Op& op = it->second;
  if (!op.Started || !(from == op.Target)) return;  // only the addressed screen may answer
  if (op.Keyed != (p.Counter != 0)) return;          // an answer in the other protocol
  if (op.Keyed && PeerOf(op)->Session != p.Session) return;
  if (p.Kind == Type::Answer && !op.IsProgram) {
    if (p.Ans.Command != op.Base.Command) return;
    Finish(it, led::kKindAnswer, p.Ans.Status, p.Ans.Value, now);
    return;
  }
  if (p.Kind != Type::ChunkAck || !op.IsProgram || p.Ack.Count != op.Count) return;
  if (p.Ack.Done) {
    if (op.Keyed) FindExpect(op);
    // A keyed screen says what it shows. Anything but the program sent is
    // not a finished send, whatever the status claims.
    if (op.Keyed && p.Ack.Status == led::kStatusOk &&
        !crypto::Equal(p.Ack.Shown.data(), op.Expect.data(), op.Expect.size())) {
      Finish(it, led::kKindTimeout, 0, 0, now);
      return;
    }
    Finish(it, led::kKindSendDone, p.Ack.Status, 0, now);
    return;
  }
  uint64_t newest = 0;
  bool progress = false;
  for (unsigned i = 0; i < op.Count; ++i) {
    if (op.Acked[i] || !p.Ack.Has(i)) continue;
    op.Acked[i] = 1;
    progress = true;
    newest = std::max(newest, op.LastTx[i]);
  }
  if (!progress) return;
  op.Rto = cfg_.FirstRetryMs;
  // A chunk sent well before one that has arrived is taken as lost.
  for (unsigned i = 0; i < op.NextNew; ++i)
    if (!op.Acked[i] && op.LastTx[i] + cfg_.Reorder < newest) SendChunk(it->first, op, i, now);
  Pump(it->first, op, now);
}

bool LinkEngine::LetOutWindows(int64_t now) {
  const size_t before = out_.size();
  for (auto& [seq, op] : ops_)
    if (op.Started && op.IsProgram) Pump(seq, op, now);
  return out_.size() != before;
}

bool LinkEngine::OnIdle(size_t slice) {
  for (auto& [seq, op] : ops_) {
    if (!op.Keyed || !op.IsProgram || op.HaveExpect) continue;
    if (op.Unpacked.empty()) {
      // Not given the program: unpacking the blob is one piece of work,
      // best done once every chunk is out.
      if (op.Started && op.NextNew == op.Count) FindExpect(op);
      continue;
    }
    HashSlice(op, std::max<size_t>(slice, 1));
    if (op.Hashed == op.Unpacked.size()) FindExpect(op);
    return true;
  }
  return false;
}

// Opens are repeated like requests while commands wait for them; a session
// that has gone quiet under waiting commands is opened again.
void LinkEngine::TickSessions(int64_t now) {
  for (auto& [to, peer] : peers_) {
    bool waiting = false;
    int64_t quietSince = std::numeric_limits<int64_t>::max();
    for (const auto& [seq, op] : ops_) {
      if (!op.Keyed || !(op.Target == to)) continue;
      waiting = true;
      if (op.Started) quietSince = std::min(quietSince, std::max(op.StartedAt, peer.LastHeard));
    }
    if (peer.Now == Peer::State::Opening) {
      if (!waiting) {
        peer.Now = Peer::State::Closed;  // the next command opens afresh
      } else if (now >= peer.NextRetry) {
        out_.push_back({to, peer.OpenDatagram});
        peer.Rto = std::min(peer.Rto * 3 / 2, cfg_.MaxRetryMs);
        peer.NextRetry = now + peer.Rto;
      }
    } else if (peer.Now == Peer::State::Open && quietSince != std::numeric_limits<int64_t>::max() &&
               now - quietSince >= cfg_.ReopenAfterMs) {
      Reopen(to, peer, now);
    }
  }
}

void LinkEngine::OnTimer(int64_t now) {
  // Timeouts first, so that the places they free go to waiting commands.
  for (auto it = ops_.begin(); it != ops_.end();) {
    auto cur = it++;
    if (now >= cur->second.Deadline) Finish(cur, led::kKindTimeout, 0, 0, now);
  }
  TickSessions(now);
  for (auto it = ops_.begin(); it != ops_.end();) {
    Op& op = it->second;
    if (!op.Started) {
      ++it;
      continue;
    }
    if (!op.IsProgram) {
      if (now >= op.NextRetry) {
        SendRequest(it->first, op);
        op.Rto = std::min(op.Rto * 3 / 2, cfg_.MaxRetryMs);
        op.NextRetry = now + op.Rto;
      }
    } else {
      bool resent = false;
      for (unsigned i = 0; i < op.NextNew; ++i) {
        if (!op.Acked[i] && op.LastSent[i] + op.Rto <= now) {
          SendChunk(it->first, op, i, now);
          resent = true;
        }
      }
      if (resent) op.Rto = std::min(op.Rto * 3 / 2, cfg_.MaxRetryMs);
    }
    ++it;
  }
}

int64_t LinkEngine::NextWakeup() const {
  int64_t t = std::numeric_limits<int64_t>::max();
  for (const auto& [seq, op] : ops_) {
    t = std::min(t, op.Deadline);
    if (op.Keyed) {
      auto p = peers_.find(op.Target);
      if (p != peers_.end() && p->second.Now == Peer::State::Opening) t = std::min(t, p->second.NextRetry);
      if (p != peers_.end() && op.Started)
        t = std::min(t, std::max(op.StartedAt, p->second.LastHeard) + cfg_.ReopenAfterMs);
    }
    if (!op.Started) continue;
    if (!op.IsProgram) {
      t = std::min(t, op.NextRetry);
    } else {
      for (unsigned i = 0; i < op.NextNew; ++i)
        if (!op.Acked[i]) t = std::min(t, op.LastSent[i] + op.Rto);
    }
  }
  return t;
}

}  // namespace ledp
