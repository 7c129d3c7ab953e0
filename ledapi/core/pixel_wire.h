// The open pixel protocols that LED controllers of every make accept: E1.31
// (streaming ACN, 2018 edition), Art-Net 4's ArtDmx and DDP. Encoding and
// strict decoding of one datagram each; no sockets, no clocks. Multi-byte
// fields are big-endian on the wire except the Art-Net OpCode.
#pragma once
#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace ledp {

// --- E1.31 -----------------------------------------------------------------

constexpr uint16_t kE131Port = 5568;
constexpr uint16_t kE131MinUniverse = 1;
constexpr uint16_t kE131MaxUniverse = 63999;
constexpr size_t kE131DataHeader = 126;  // root, framing and DMP layers up to the first slot
constexpr size_t kE131SyncSize = 49;
constexpr size_t kDmxSlots = 512;

constexpr uint32_t kE131VectorRootData = 0x00000004;
constexpr uint32_t kE131VectorRootExtended = 0x00000008;
constexpr uint32_t kE131VectorFramingData = 0x00000002;
constexpr uint32_t kE131VectorFramingSync = 0x00000001;
constexpr uint8_t kE131OptionPreview = 0x80;
constexpr uint8_t kE131OptionTerminated = 0x40;
constexpr uint8_t kE131OptionForceSync = 0x20;

using Cid = std::array<uint8_t, 16>;

struct E131Source {
  Cid Id{};                  // the sender's component identifier, kept for the installation
  std::string Name;          // at most 63 bytes go on the wire (UTF-8), zero-padded to 64
  uint8_t Priority = 100;    // 0..200
};

struct E131Data {
  Cid Id{};
  std::string SourceName;
  uint8_t Priority = 0;
  uint16_t SyncUniverse = 0;  // 0: not synchronised
  uint8_t Sequence = 0;
  uint8_t Options = 0;
  uint16_t Universe = 0;
  uint8_t StartCode = 0;
  std::vector<uint8_t> Slots;  // after the start code, 0..512
};

struct E131Sync {
  Cid Id{};
  uint8_t Sequence = 0;
  uint16_t SyncUniverse = 0;
};

std::vector<uint8_t> EncodeE131Data(const E131Source& src, uint16_t universe, uint8_t sequence, const uint8_t* slots,
                                    size_t count, uint16_t syncUniverse = 0, uint8_t options = 0);
std::vector<uint8_t> EncodeE131Sync(const Cid& id, uint16_t syncUniverse, uint8_t sequence);

// Nothing unless the datagram is exactly one well-formed packet of its kind:
// preamble, identifier, every layer's vector, flags and length, the DMP
// layer's fixed fields, universe range.
std::optional<E131Data> DecodeE131Data(const uint8_t* p, size_t size);
std::optional<E131Sync> DecodeE131Sync(const uint8_t* p, size_t size);

// "xxxxxxxx-xxxx-xxxx-xxxx-xxxxxxxxxxxx" (either case) <-> 16 bytes.
std::optional<Cid> ParseCid(const std::string& text);
std::string FormatCid(const Cid& id);
// A random (version 4) identifier from 16 bytes of randomness.
Cid MakeCid(const std::array<uint8_t, 16>& random);

// --- Art-Net ---------------------------------------------------------------

constexpr uint16_t kArtNetPort = 6454;
constexpr uint16_t kArtOpDmx = 0x5000;
constexpr uint16_t kArtNetVersion = 14;
constexpr size_t kArtDmxHeader = 18;
constexpr uint16_t kArtMaxPortAddress = 32767;

struct ArtDmx {
  uint8_t Sequence = 0;   // 0: the receiver does not reorder; else 1..255
  uint8_t Physical = 0;
  uint16_t PortAddress = 0;  // Net (7 bits) : Sub-Net (4) : Universe (4)
  std::vector<uint8_t> Data;  // 2..512 bytes, an even count
};

// Data of an odd length is padded with one zero, as receivers require an
// even length; fewer than two bytes are padded to two.
std::vector<uint8_t> EncodeArtDmx(uint16_t portAddress, uint8_t sequence, const uint8_t* data, size_t count);
std::optional<ArtDmx> DecodeArtDmx(const uint8_t* p, size_t size);

// --- DDP -------------------------------------------------------------------

constexpr uint16_t kDdpPort = 4048;
constexpr size_t kDdpHeader = 10;
constexpr size_t kDdpMaxData = 1440;  // 480 RGB pixels; keeps a datagram inside one Ethernet frame
constexpr uint8_t kDdpVersion1 = 0x40;
constexpr uint8_t kDdpFlagPush = 0x01;
constexpr uint8_t kDdpFlagQuery = 0x02;
constexpr uint8_t kDdpFlagReply = 0x04;
constexpr uint8_t kDdpFlagStorage = 0x08;
constexpr uint8_t kDdpFlagTime = 0x10;
constexpr uint8_t kDdpTypeRgb8 = 0x0B;   // type 1 (RGB), 8 bits a channel
constexpr uint8_t kDdpIdDisplay = 1;     // the receiver's default output

struct DdpPacket {
  uint8_t Flags = 0;
  uint8_t Sequence = 0;   // low 4 bits, 1..15; 0 not used
  uint8_t DataType = 0;
  uint8_t Id = 0;
  uint32_t Offset = 0;    // in bytes of the display buffer
  std::vector<uint8_t> Data;
  bool Push() const { return Flags & kDdpFlagPush; }
};

std::vector<uint8_t> EncodeDdp(uint32_t offset, uint8_t sequence, bool push, const uint8_t* data, size_t count);
// Data packets of version 1 only (no query, reply or time code), with a
// length that matches the datagram.
std::optional<DdpPacket> DecodeDdp(const uint8_t* p, size_t size);

}  // namespace ledp
