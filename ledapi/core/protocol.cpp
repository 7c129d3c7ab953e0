#include "ledapi/core/protocol.h"

#include <zlib.h>

#include <cstring>

namespace ledp {

namespace {

constexpr uint8_t kMagic[4] = {'L', 'E', 'D', 'P'};
constexpr size_t kRequestBody = 9 * 4;
constexpr size_t kAnswerBody = 3 * 4;
constexpr size_t kAckFixed = 2 + 1 + 1 + 4;

std::vector<uint8_t> Header(Type type, uint32_t session, uint32_t seq, size_t reserve) {
  std::vector<uint8_t> out;
  out.reserve(kHeaderSize + reserve);
  out.insert(out.end(), kMagic, kMagic + 4);
  out.push_back(kVersion);
  out.push_back(static_cast<uint8_t>(type));
  PutU16(out, 0);
  PutU32(out, session);
  PutU32(out, seq);
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

}  // namespace

void PutU16(std::vector<uint8_t>& out, uint16_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void PutU32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}
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
  for (int32_t v : {r.Command, r.Address, r.Value, r.Clock.Year, r.Clock.Month, r.Clock.Day, r.Clock.Hour,
                    r.Clock.Minute, r.Clock.Second})
    PutI32(out, v);
  return Seal(std::move(out));
}

std::vector<uint8_t> EncodeAnswer(uint32_t session, uint32_t seq, const Answer& a) {
  auto out = Header(Type::Answer, session, seq, kAnswerBody);
  PutI32(out, a.Command);
  PutI32(out, a.Status);
  PutI32(out, a.Value);
  return Seal(std::move(out));
}

std::vector<uint8_t> EncodeChunk(uint32_t session, uint32_t seq, uint32_t total, uint16_t index, uint16_t count,
                                 const uint8_t* data, size_t size) {
  auto out = Header(Type::Chunk, session, seq, kChunkHeader + size);
  PutU32(out, total);
  PutU16(out, index);
  PutU16(out, count);
  out.insert(out.end(), data, data + size);
  return Seal(std::move(out));
}

std::vector<uint8_t> EncodeChunkAck(uint32_t session, uint32_t seq, const ChunkAck& a) {
  auto out = Header(Type::ChunkAck, session, seq, kAckFixed + a.Bits.size());
  PutU16(out, a.Count);
  out.push_back(a.Done ? 1 : 0);
  out.push_back(0);
  PutI32(out, a.Status);
  out.insert(out.end(), a.Bits.begin(), a.Bits.end());
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
  const uint8_t* b = data + kHeaderSize;
  const size_t n = size - kHeaderSize;
  switch (p.Kind) {
    case Type::Request: {
      if (n != kRequestBody) return std::nullopt;
      p.Req.Command = GetI32(b);
      p.Req.Address = GetI32(b + 4);
      p.Req.Value = GetI32(b + 8);
      p.Req.Clock = {GetI32(b + 12), GetI32(b + 16), GetI32(b + 20), GetI32(b + 24), GetI32(b + 28), GetI32(b + 32)};
      return p;
    }
    case Type::Answer: {
      if (n != kAnswerBody) return std::nullopt;
      p.Ans = {GetI32(b), GetI32(b + 4), GetI32(b + 8)};
      return p;
    }
    case Type::Chunk: {
      if (n < kChunkHeader) return std::nullopt;
      Chunk& c = p.Piece;
      c.TotalLength = GetU32(b);
      c.Index = GetU16(b + 4);
      c.Count = GetU16(b + 6);
      if (c.TotalLength == 0 || c.TotalLength > kMaxProgramBytes) return std::nullopt;
      if (c.Count != ChunkCountFor(c.TotalLength) || c.Index >= c.Count) return std::nullopt;
      const size_t expect = c.Index + 1u < c.Count ? kChunkData : c.TotalLength - size_t{c.Index} * kChunkData;
      if (n - kChunkHeader != expect) return std::nullopt;
      c.Data = b + kChunkHeader;
      c.Size = expect;
      return p;
    }
    case Type::ChunkAck: {
      if (n < kAckFixed) return std::nullopt;
      ChunkAck& a = p.Ack;
      a.Count = GetU16(b);
      if (a.Count == 0 || a.Count > kMaxChunks || b[2] > 1 || b[3] != 0) return std::nullopt;
      a.Done = b[2] == 1;
      a.Status = GetI32(b + 4);
      const size_t bytes = (a.Count + 7u) / 8u;
      if (n - kAckFixed != bytes) return std::nullopt;
      a.Bits.assign(b + kAckFixed, b + n);
      // Bits past the last chunk must be clear: one encoding per state.
      if (a.Count % 8 != 0 && (a.Bits.back() >> (a.Count % 8)) != 0) return std::nullopt;
      return p;
    }
  }
  return std::nullopt;
}

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
