#include "ledapi/core/protocol.h"

#include <zlib.h>

#include <cstring>

namespace ledp {

namespace {

constexpr uint8_t kMagic[4] = {'L', 'E', 'D', 'P'};
constexpr size_t kRequestBody = 9 * 4;
constexpr size_t kAnswerBody = 3 * 4;
constexpr size_t kAckFixed = 2 + 1 + 1 + 4;

// The fields both versions' headers begin with; `size` is the whole datagram's.
std::vector<uint8_t> HeaderStart(uint8_t version, Type type, uint32_t session, uint32_t seq, size_t size) {
  std::vector<uint8_t> out;
  out.reserve(size);
  out.insert(out.end(), kMagic, kMagic + 4);
  out.push_back(version);
  out.push_back(static_cast<uint8_t>(type));
  PutU16(out, 0);
  PutU32(out, session);
  PutU32(out, seq);
  return out;
}

std::vector<uint8_t> Header(Type type, uint32_t session, uint32_t seq, size_t reserve) {
  std::vector<uint8_t> out = HeaderStart(kVersion, type, session, seq, kHeaderSize + reserve);
  PutU32(out, 0);  // checksum, filled by Seal
  return out;
}

uint32_t Checksum(const uint8_t* data, size_t size) {
  // The checksum field itself counts as zero.
  uLong c = crc32(0L, Z_NULL, 0);
  c = crc32(c, data, 16);
  static const uint8_t zero[4] = {0, 0, 0, 0};
  c = crc32(c, zero, 4);
  c = crc32(c, data + kHeaderSize, static_cast<uInt>(size - kHeaderSize));
  return static_cast<uint32_t>(c);
}

std::vector<uint8_t> Seal(std::vector<uint8_t> out) {
  uint32_t c = Checksum(out.data(), out.size());
  for (int i = 0; i < 4; ++i) out[16 + i] = static_cast<uint8_t>(c >> (8 * i));
  return out;
}

int32_t GetI32(const uint8_t* p) { return static_cast<int32_t>(GetU32(p)); }

// Bodies, the same in both versions (but for the digest of a final ack).
void RequestBody(std::vector<uint8_t>& out, const Request& r) {
  for (int32_t v : {r.Command, r.Address, r.Value, r.Clock.Year, r.Clock.Month, r.Clock.Day, r.Clock.Hour,
                    r.Clock.Minute, r.Clock.Second})
    PutI32(out, v);
}

void AnswerBody(std::vector<uint8_t>& out, const Answer& a) {
  PutI32(out, a.Command);
  PutI32(out, a.Status);
  PutI32(out, a.Value);
}

void ChunkBody(std::vector<uint8_t>& out, uint32_t total, uint16_t index, uint16_t count, const uint8_t* data,
               size_t size) {
  PutU32(out, total);
  PutU16(out, index);
  PutU16(out, count);
  out.insert(out.end(), data, data + size);
}

void AckBody(std::vector<uint8_t>& out, const ChunkAck& a) {
  PutU16(out, a.Count);
  out.push_back(a.Done ? 1 : 0);
  out.push_back(0);
  PutI32(out, a.Status);
  out.insert(out.end(), a.Bits.begin(), a.Bits.end());
}

// The body of packet `p` (its Kind set) from `b`, strictly. `version` 2
// knows the session-opening types and the digest of a final ack.
bool DecodeBody(Packet& p, const uint8_t* b, size_t n, uint8_t version) {
  switch (p.Kind) {
    case Type::Request: {
      if (n != kRequestBody) return false;
      p.Req.Command = GetI32(b);
      p.Req.Address = GetI32(b + 4);
      p.Req.Value = GetI32(b + 8);
      p.Req.Clock = {GetI32(b + 12), GetI32(b + 16), GetI32(b + 20), GetI32(b + 24), GetI32(b + 28), GetI32(b + 32)};
      return true;
    }
    case Type::Answer: {
      if (n != kAnswerBody) return false;
      p.Ans = {GetI32(b), GetI32(b + 4), GetI32(b + 8)};
      return true;
    }
    case Type::Chunk: {
      if (n < kChunkHeader) return false;
      Chunk& c = p.Piece;
      c.TotalLength = GetU32(b);
      c.Index = GetU16(b + 4);
      c.Count = GetU16(b + 6);
      if (c.TotalLength == 0 || c.TotalLength > kMaxProgramBytes) return false;
      if (c.Count != ChunkCountFor(c.TotalLength) || c.Index >= c.Count) return false;
      const size_t expect = c.Index + 1u < c.Count ? kChunkData : c.TotalLength - size_t{c.Index} * kChunkData;
      if (n - kChunkHeader != expect) return false;
      c.Data = b + kChunkHeader;
      c.Size = expect;
      return true;
    }
    case Type::ChunkAck: {
      if (n < kAckFixed) return false;
      ChunkAck& a = p.Ack;
      a.Count = GetU16(b);
      if (a.Count == 0 || a.Count > kMaxChunks || b[2] > 1 || b[3] != 0) return false;
      a.Done = b[2] == 1;
      a.Status = GetI32(b + 4);
      const size_t bytes = (a.Count + 7u) / 8u;
      a.HasDigest = version == auth::kVersion && a.Done;
      if (n - kAckFixed != bytes + (a.HasDigest ? crypto::kDigestSize : 0)) return false;
      a.Bits.assign(b + kAckFixed, b + kAckFixed + bytes);
      if (a.HasDigest) std::memcpy(a.Shown.data(), b + kAckFixed + bytes, crypto::kDigestSize);
      // Bits past the last chunk must be clear: one encoding per state.
      if (a.Count % 8 != 0 && (a.Bits.back() >> (a.Count % 8)) != 0) return false;
      return true;
    }
    case Type::Open: {
      if (version != auth::kVersion || n != kNonceSize || p.Seq != 0 || p.Counter != 0 || p.Finished != 0)
        return false;
      std::memcpy(p.LinkNonce.data(), b, kNonceSize);
      return true;
    }
    case Type::OpenAck: {
      if (version != auth::kVersion || n != 2 * kNonceSize || p.Seq != 0 || p.Counter != 0 || p.Finished != 0)
        return false;
      std::memcpy(p.LinkNonce.data(), b, kNonceSize);
      std::memcpy(p.ScreenNonce.data(), b + kNonceSize, kNonceSize);
      return true;
    }
  }
  return false;
}

}  // namespace

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
void PutU64(std::vector<uint8_t>& out, uint64_t v) {
  for (int i = 0; i < 8; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
uint64_t GetU64(const uint8_t* p) { return GetU32(p) | (static_cast<uint64_t>(GetU32(p + 4)) << 32); }
uint16_t GetU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
uint32_t GetU32(const uint8_t* p) {
  return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
         (static_cast<uint32_t>(p[3]) << 24);
}

uint32_t ChunkCountFor(uint32_t totalLength) {
  return static_cast<uint32_t>((static_cast<uint64_t>(totalLength) + kChunkData - 1) / kChunkData);
}

std::vector<uint8_t> EncodeRequest(uint32_t session, uint32_t seq, const Request& r) {
  auto out = Header(Type::Request, session, seq, kRequestBody);
  RequestBody(out, r);
  return Seal(std::move(out));
}

std::vector<uint8_t> EncodeAnswer(uint32_t session, uint32_t seq, const Answer& a) {
  auto out = Header(Type::Answer, session, seq, kAnswerBody);
  AnswerBody(out, a);
  return Seal(std::move(out));
}

std::vector<uint8_t> EncodeChunk(uint32_t session, uint32_t seq, uint32_t total, uint16_t index, uint16_t count,
                                 const uint8_t* data, size_t size) {
  auto out = Header(Type::Chunk, session, seq, kChunkHeader + size);
  ChunkBody(out, total, index, count, data, size);
  return Seal(std::move(out));
}

std::vector<uint8_t> EncodeChunkAck(uint32_t session, uint32_t seq, const ChunkAck& a) {
  auto out = Header(Type::ChunkAck, session, seq, kAckFixed + a.Bits.size());
  AckBody(out, a);
  return Seal(std::move(out));
}

void Reseal(uint8_t* data, size_t size) {
  if (size < kHeaderSize) return;
  uint32_t c = Checksum(data, size);
  for (int i = 0; i < 4; ++i) data[16 + i] = static_cast<uint8_t>(c >> (8 * i));
}

std::optional<Packet> Decode(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kHeaderSize || size > kMaxDatagram) return std::nullopt;
  if (std::memcmp(data, kMagic, 4) != 0 || data[4] != kVersion || GetU16(data + 6) != 0) return std::nullopt;
  if (GetU32(data + 16) != Checksum(data, size)) return std::nullopt;
  Packet p;
  p.Kind = static_cast<Type>(data[5]);
  p.Session = GetU32(data + 8);
  p.Seq = GetU32(data + 12);
  if (!DecodeBody(p, data + kHeaderSize, size - kHeaderSize, kVersion)) return std::nullopt;
  return p;
}

namespace auth {

namespace {

constexpr char kSessionLabel[] = "LEDP2 session";  // 13 bytes, no terminator on the wire

std::vector<uint8_t> Start(Type type, uint32_t session, uint32_t seq, uint64_t counter, size_t body,
                           uint32_t finished = 0) {
  std::vector<uint8_t> out = HeaderStart(kVersion, type, session, seq, kHeaderSize + body + kMacSize);
  PutU64(out, counter);
  PutU32(out, finished);
  return out;
}

std::vector<uint8_t> Seal(std::vector<uint8_t> out, const crypto::Hmac& mac) {
  const crypto::Digest d = mac.Compute(out.data(), out.size());
  out.insert(out.end(), d.begin(), d.begin() + kMacSize);
  return out;
}

bool KnownType(uint8_t t) {
  switch (static_cast<Type>(t)) {
    case Type::Request: case Type::Chunk: case Type::Answer: case Type::ChunkAck: case Type::Open:
    case Type::OpenAck:
      return true;
  }
  return false;
}

}  // namespace

crypto::Hmac SessionKey(const crypto::Key& key, uint32_t session, const Nonce& link, const Nonce& screen) {
  std::vector<uint8_t> in(kSessionLabel, kSessionLabel + sizeof kSessionLabel - 1);
  PutU32(in, session);
  in.insert(in.end(), link.begin(), link.end());
  in.insert(in.end(), screen.begin(), screen.end());
  const crypto::Digest k = crypto::Hmac(key).Compute(in.data(), in.size());
  return crypto::Hmac(k.data(), k.size());
}

std::vector<uint8_t> EncodeOpen(uint32_t session, const Nonce& link, const crypto::Hmac& mac) {
  auto out = Start(Type::Open, session, 0, 0, kNonceSize);
  out.insert(out.end(), link.begin(), link.end());
  return Seal(std::move(out), mac);
}

std::vector<uint8_t> EncodeOpenAck(uint32_t session, const Nonce& link, const Nonce& screen,
                                   const crypto::Hmac& mac) {
  auto out = Start(Type::OpenAck, session, 0, 0, 2 * kNonceSize);
  out.insert(out.end(), link.begin(), link.end());
  out.insert(out.end(), screen.begin(), screen.end());
  return Seal(std::move(out), mac);
}

std::vector<uint8_t> EncodeRequest(uint32_t session, uint32_t seq, uint64_t counter, uint32_t finished,
                                   const Request& r, const crypto::Hmac& mac) {
  auto out = Start(Type::Request, session, seq, counter, kRequestBody, finished);
  RequestBody(out, r);
  return Seal(std::move(out), mac);
}

std::vector<uint8_t> EncodeAnswer(uint32_t session, uint32_t seq, uint64_t counter, const Answer& a,
                                  const crypto::Hmac& mac) {
  auto out = Start(Type::Answer, session, seq, counter, kAnswerBody);
  AnswerBody(out, a);
  return Seal(std::move(out), mac);
}

std::vector<uint8_t> EncodeChunk(uint32_t session, uint32_t seq, uint64_t counter, uint32_t finished,
                                 uint32_t total, uint16_t index, uint16_t count, const uint8_t* data, size_t size,
                                 const crypto::Hmac& mac) {
  auto out = Start(Type::Chunk, session, seq, counter, kChunkHeader + size, finished);
  ChunkBody(out, total, index, count, data, size);
  return Seal(std::move(out), mac);
}

std::vector<uint8_t> EncodeChunkAck(uint32_t session, uint32_t seq, uint64_t counter, const ChunkAck& a,
                                    const crypto::Hmac& mac) {
  auto out = Start(Type::ChunkAck, session, seq, counter, kAckFixed + a.Bits.size() + crypto::kDigestSize);
  AckBody(out, a);
  if (a.Done) out.insert(out.end(), a.Shown.begin(), a.Shown.end());
  return Seal(std::move(out), mac);
}

std::optional<Header> PeekHeader(const uint8_t* data, size_t size) {
  if (data == nullptr || size < kMinDatagram || size > kMaxDatagram) return std::nullopt;
  if (std::memcmp(data, kMagic, 4) != 0 || data[4] != kVersion || GetU16(data + 6) != 0) return std::nullopt;
  if (!KnownType(data[5])) return std::nullopt;
  return Header{static_cast<Type>(data[5]), GetU32(data + 8), GetU32(data + 12), GetU64(data + 16),
                GetU32(data + 24)};
}

bool MacValid(const crypto::Hmac& mac, const uint8_t* data, size_t size) {
  if (size < kMinDatagram) return false;
  const crypto::Digest d = mac.Compute(data, size - kMacSize);
  return crypto::Equal(d.data(), data + size - kMacSize, kMacSize);
}

std::optional<Packet> Decode(const uint8_t* data, size_t size) {
  auto h = PeekHeader(data, size);
  if (!h) return std::nullopt;
  Packet p;
  p.Kind = h->Kind;
  p.Session = h->Session;
  p.Seq = h->Seq;
  p.Counter = h->Counter;
  p.Finished = h->Finished;
  if (!DecodeBody(p, data + kHeaderSize, size - kHeaderSize - kMacSize, kVersion)) return std::nullopt;
  return p;
}

void Reseal(uint8_t* data, size_t size, const crypto::Hmac& mac) {
  if (size < kMinDatagram) return;
  const crypto::Digest d = mac.Compute(data, size - kMacSize);
  std::memcpy(data + size - kMacSize, d.data(), kMacSize);
}

}  // namespace auth

std::optional<uint32_t> ParseIPv4(const std::string& text) {
  uint32_t addr = 0;
  size_t i = 0;
  for (int part = 0; part < 4; ++part) {
    if (part > 0) {
      if (i >= text.size() || text[i] != '.') return std::nullopt;
      ++i;
    }
    size_t start = i;
    unsigned v = 0;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9' && i - start < 3) v = v * 10 + (text[i++] - '0');
    if (i == start || v > 255) return std::nullopt;
    addr = (addr << 8) | v;
  }
  if (i != text.size()) return std::nullopt;
  return addr;
}

std::string FormatIPv4(uint32_t a) {
  return std::to_string(a >> 24) + "." + std::to_string((a >> 16) & 255) + "." + std::to_string((a >> 8) & 255) +
         "." + std::to_string(a & 255);
}

}  // namespace ledp
