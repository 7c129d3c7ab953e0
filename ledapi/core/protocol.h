// The UDP wire format between ledapi.dll and a screen (see docs/protocol.md).
// Encoding and strict decoding only; no sockets, no clocks.
#pragma once
#include <cstddef>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ledapi/core/crypto.h"

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
  // Authenticated protocol (version 2) only.
  Open = 0x03,         // link -> screen: opens a session with the link's nonce
  OpenAck = 0x83,      // screen -> link: the screen's nonce for that session
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
  // Authenticated protocol, Done only: SHA-256 of the program the screen
  // now shows (see ProgramDigest).
  bool HasDigest = false;
  crypto::Digest Shown{};
};

constexpr size_t kNonceSize = 16;
using Nonce = std::array<uint8_t, kNonceSize>;

struct Packet {
  Type Kind = Type::Request;
  uint32_t Session = 0;  // chosen by the link at open; tells links apart
  uint32_t Seq = 0;      // command number within the session
  Request Req;
  Answer Ans;
  Chunk Piece;
  ChunkAck Ack;
  // Authenticated protocol.
  uint64_t Counter = 0;
  uint32_t Finished = 0;
  Nonce LinkNonce{}, ScreenNonce{};
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

// The authenticated protocol (version 2): the same bodies in a header with a
// counter, the final acknowledgement with the shown program's digest, and a
// truncated HMAC-SHA-256 at the end. See docs/protocol.md.
namespace auth {
constexpr uint8_t kVersion = 2;
constexpr size_t kHeaderSize = 28;  // magic, version, type, reserved, session, seq, counter, finished
constexpr size_t kMacSize = 16;     // the first half of the HMAC-SHA-256
constexpr size_t kMinDatagram = kHeaderSize + kMacSize;

// The session key both ends derive from the screen's key once the nonces
// are exchanged.
crypto::Hmac SessionKey(const crypto::Key& key, uint32_t session, const Nonce& link, const Nonce& screen);

// Encoders: `mac` is the screen's key for Open, the session key otherwise.
std::vector<uint8_t> EncodeOpen(uint32_t session, const Nonce& link, const crypto::Hmac& mac);
std::vector<uint8_t> EncodeOpenAck(uint32_t session, const Nonce& link, const Nonce& screen,
                                   const crypto::Hmac& mac);
// `finished`: every command of the session numbered below it is finished
// at the link (it sends no more for them and wants no more answers).
std::vector<uint8_t> EncodeRequest(uint32_t session, uint32_t seq, uint64_t counter, uint32_t finished,
                                   const Request& r, const crypto::Hmac& mac);
std::vector<uint8_t> EncodeAnswer(uint32_t session, uint32_t seq, uint64_t counter, const Answer& a,
                                  const crypto::Hmac& mac);
std::vector<uint8_t> EncodeChunk(uint32_t session, uint32_t seq, uint64_t counter, uint32_t finished,
                                 uint32_t total, uint16_t index, uint16_t count, const uint8_t* data, size_t size,
                                 const crypto::Hmac& mac);
// A Done acknowledgement carries a.Shown.
std::vector<uint8_t> EncodeChunkAck(uint32_t session, uint32_t seq, uint64_t counter, const ChunkAck& a,
                                    const crypto::Hmac& mac);

// The header fields, read before the MAC is checked (to find the session's
// key); nothing unless magic, version, reserved field, type and size fit.
struct Header {
  Type Kind = Type::Request;
  uint32_t Session = 0, Seq = 0;
  uint64_t Counter = 0;
  uint32_t Finished = 0;
};
std::optional<Header> PeekHeader(const uint8_t* data, size_t size);

// The MAC at the end of the datagram is the one `mac` gives its other bytes
// (compared in constant time).
bool MacValid(const crypto::Hmac& mac, const uint8_t* data, size_t size);

// The whole datagram, strictly, with its MAC not checked: use after MacValid.
std::optional<Packet> Decode(const uint8_t* data, size_t size);

// Recomputes the MAC of an encoded datagram in place (tests and fuzzing).
void Reseal(uint8_t* data, size_t size, const crypto::Hmac& mac);
}  // namespace auth

// Little-endian helpers shared with the display program format.
void PutU16(std::vector<uint8_t>& out, uint16_t v);
void PutU32(std::vector<uint8_t>& out, uint32_t v);
void PutU64(std::vector<uint8_t>& out, uint64_t v);
inline void PutI32(std::vector<uint8_t>& out, int32_t v) { PutU32(out, static_cast<uint32_t>(v)); }
uint16_t GetU16(const uint8_t* p);
uint32_t GetU32(const uint8_t* p);
uint64_t GetU64(const uint8_t* p);

// Dotted IPv4 text "a.b.c.d" (each 0..255, no leading junk) to a host-order
// address; nothing otherwise. No name lookup: the target is always numeric.
std::optional<uint32_t> ParseIPv4(const std::string& text);
std::string FormatIPv4(uint32_t addr);
inline bool IsLoopback(uint32_t addr) { return (addr >> 24) == 127; }

}  // namespace ledp
