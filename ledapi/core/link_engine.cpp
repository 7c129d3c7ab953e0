#include "ledapi/core/link_engine.h"

#include <algorithm>

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

uint32_t LinkEngine::Command(const Request& r, const std::string& host, int port, int64_t now) {
  const uint32_t seq = nextSeq_++;
  Op op;
  op.Base = {0, r.Command, 0, 0, r.Address, port, seq, host};
  if (!Resolve(host, port, op.Target)) {
    Fail(op.Base);
    return seq;
  }
  op.Deadline = now + cfg_.DeadlineMs;
  op.Datagram = EncodeRequest(session_, seq, r);
  auto it = ops_.emplace(seq, std::move(op)).first;
  if (active_ < cfg_.MaxActive) Start(seq, it->second, now);
  return seq;
}

uint32_t LinkEngine::SendProgram(std::vector<uint8_t> blob, int32_t address, const std::string& host, int port,
                                 int64_t now) {
  const uint32_t seq = nextSeq_++;
  Op op;
  op.IsProgram = true;
  op.Base = {0, led::kCmdSend, 0, 0, address, port, seq, host};
  if (blob.empty() || blob.size() > kMaxProgramBytes || !Resolve(host, port, op.Target)) {
    Fail(op.Base);
    return seq;
  }
  op.Deadline = now + cfg_.DeadlineMs;
  op.Count = static_cast<uint16_t>(ChunkCountFor(static_cast<uint32_t>(blob.size())));
  op.Blob = std::move(blob);
  op.Acked.assign(op.Count, 0);
  op.LastSent.assign(op.Count, -1);
  op.LastTx.assign(op.Count, 0);
  auto it = ops_.emplace(seq, std::move(op)).first;
  if (active_ < cfg_.MaxActive) Start(seq, it->second, now);
  return seq;
}

// Puts a command on the wire. A burst of commands is let out a few at a
// time so that their datagrams (and their retransmissions) do not overrun
// the screen's receive buffer together.
void LinkEngine::Start(uint32_t seq, Op& op, int64_t now) {
  op.Started = true;
  ++active_;
  op.Rto = cfg_.FirstRetryMs;
  if (op.IsProgram) {
    Pump(seq, op, now);
  } else {
    out_.push_back({op.Target, op.Datagram});
    op.NextRetry = now + op.Rto;
  }
}

void LinkEngine::StartWaiting(int64_t now) {
  for (auto& [seq, op] : ops_) {
    if (active_ >= cfg_.MaxActive) return;
    if (!op.Started) Start(seq, op, now);
  }
}

void LinkEngine::SendChunk(uint32_t seq, Op& op, unsigned i, int64_t now) {
  const size_t offset = size_t{i} * kChunkData;
  const size_t size = std::min(kChunkData, op.Blob.size() - offset);
  out_.push_back({op.Target, EncodeChunk(session_, seq, static_cast<uint32_t>(op.Blob.size()),
                                         static_cast<uint16_t>(i), op.Count, op.Blob.data() + offset, size)});
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

void LinkEngine::OnDatagram(const uint8_t* data, size_t size, const Endpoint& from, int64_t now) {
  auto p = Decode(data, size);
  if (!p || p->Session != session_) return;
  auto it = ops_.find(p->Seq);
  if (it == ops_.end()) return;  // finished, timed out or never ours
  Op& op = it->second;
  if (!op.Started || !(from == op.Target)) return;  // only the addressed screen may answer
  if (p->Kind == Type::Answer && !op.IsProgram) {
    if (p->Ans.Command != op.Base.Command) return;
    Finish(it, led::kKindAnswer, p->Ans.Status, p->Ans.Value, now);
    return;
  }
  if (p->Kind != Type::ChunkAck || !op.IsProgram || p->Ack.Count != op.Count) return;
  if (p->Ack.Done) {
    Finish(it, led::kKindSendDone, p->Ack.Status, 0, now);
    return;
  }
  uint64_t newest = 0;
  bool progress = false;
  for (unsigned i = 0; i < op.Count; ++i) {
    if (op.Acked[i] || !p->Ack.Has(i)) continue;
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

void LinkEngine::OnTimer(int64_t now) {
  // Timeouts first, so that the places they free go to waiting commands.
  for (auto it = ops_.begin(); it != ops_.end();) {
    auto cur = it++;
    if (now >= cur->second.Deadline) Finish(cur, led::kKindTimeout, 0, 0, now);
  }
  for (auto it = ops_.begin(); it != ops_.end();) {
    Op& op = it->second;
    if (!op.Started) {
      ++it;
      continue;
    }
    if (!op.IsProgram) {
      if (now >= op.NextRetry) {
        out_.push_back({op.Target, op.Datagram});
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
