// The UDP wire format between ledapi.dll and a screen (see docs/protocol.md).
// Encoding and strict decoding only; no sockets, no clocks.
#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ledp {

constexpr uint8_t kVersion = 1;
constexpr size_t kMaxDatagram = 1472;   // fits one Ethernet frame, no IP fragmentation
constexpr size_t kHeaderSize = 20;
constexpr size_t kChunkHeader = 8;      // total length, index, count
constexpr size_t kChunkData = 1400;     // payload of every chunk but the last
constexpr uint32_t kMaxProgramBytes = 8u << 20;
constexpr uint32_t kMaxChunks = (kMaxProgramBytes + kChunkData - 1) / kChunkData;

enum class Type : uint8_t {
  Request = 0x01,      // link -> screen: one device command
  Chunk = 0x02,        // link -> screen: one piece of a display program
  Answer = 0x81,       // screen -> link: result of a Request
  ChunkAck = 0x82,     // screen -> link: which pieces of a program arrived
};

// Local time as a wall clock shows it (no time zone on the wire).
struct ClockTime {
  int32_t Year = 0, Month = 0, Day = 0, Hour = 0, Minute = 0, Second = 0;
  friend bool operator==(const ClockTime&, const ClockTime&) = default;
};

struct Request {
  int32_t Command = 0;  // the notification command number (4, 6, 9..12)
  int32_t Address = 0;
  int32_t Value = 0;    // power on/off, brightness level
  ClockTime Clock;      // for the clock command
};

struct Answer {
  int32_t Command = 0;
  int32_t Status = 0;
  int32_t Value = 0;
};

struct Chunk {
  uint32_t TotalLength = 0;
  uint16_t Index = 0;
  uint16_t Count = 0;
  const uint8_t* Data = nullptr;  // points into the decoded datagram
  size_t Size = 0;
};

struct ChunkAck {
  uint16_t Count = 0;
  bool Done = false;          // the whole program arrived and was taken or refused
  int32_t Status = 0;         // 0 shown, 1 refused (not a valid program)
  std::vector<uint8_t> Bits;  // bit i (LSB first) = chunk i arrived; ceil(Count/8) bytes
  bool Has(unsigned i) const { return i < Count && (Bits[i / 8] >> (i % 8)) & 1; }
};

struct Packet {
  Type Kind = Type::Request;
  uint32_t Session = 0;  // chosen by the link at open; tells links apart
  uint32_t Seq = 0;      // command number within the session
  Request Req;
  Answer Ans;
  Chunk Piece;
  ChunkAck Ack;
};

uint32_t ChunkCountFor(uint32_t totalLength);

std::vector<uint8_t> EncodeRequest(uint32_t session, uint32_t seq, const Request& r);
std::vector<uint8_t> EncodeAnswer(uint32_t session, uint32_t seq, const Answer& a);
std::vector<uint8_t> EncodeChunk(uint32_t session, uint32_t seq, uint32_t total, uint16_t index, uint16_t count,
                                 const uint8_t* data, size_t size);
std::vector<uint8_t> EncodeChunkAck(uint32_t session, uint32_t seq, const ChunkAck& a);

// Recomputes the checksum of an encoded datagram in place (for tests and
// fuzzing, which alter datagrams on purpose).
void Reseal(uint8_t* data, size_t size);

// Nothing when the datagram is not exactly a valid packet of this version:
// wrong magic, version, type, length or checksum, or inconsistent fields.
std::optional<Packet> Decode(const uint8_t* data, size_t size);

// Little-endian helpers shared with the display program format.
void PutU16(std::vector<uint8_t>& out, uint16_t v);
void PutU32(std::vector<uint8_t>& out, uint32_t v);
inline void PutI32(std::vector<uint8_t>& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }
uint16_t GetU16(const uint8_t* p);
uint32_t GetU32(const uint8_t* p);

// Dotted IPv4 text "a.b.c.d" (each 0..255, no leading junk) to a host-order
// address; nothing otherwise. No name lookup: the target is always numeric.
std::optional<uint32_t> ParseIPv4(const std::string& text);
std::string FormatIPv4(uint32_t addr);
inline bool IsLoopback(uint32_t addr) { return (addr >> 24) == 127; }

}  // namespace ledp
