#include "ledapi/core/pixel_wire.h"

#include <algorithm>
#include <cstring>

namespace ledp {

namespace {

constexpr uint8_t kAcnId[12] = {'A', 'S', 'C', '-', 'E', '1', '.', '1', '7', 0, 0, 0};
constexpr uint8_t kArtId[8] = {'A', 'r', 't', '-', 'N', 'e', 't', 0};

void Be16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v >> 8);
  p[1] = static_cast<uint8_t>(v);
}
void Be32(uint8_t* p, uint32_t v) {
  Be16(p, v >> 16);
  Be16(p + 2, v);
}
uint16_t Be16(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }
uint32_t Be32(const uint8_t* p) { return uint32_t{Be16(p)} << 16 | Be16(p + 2); }

// A PDU's flags and length: the top nibble 0x7 (vector, header and data
// present), the low 12 bits the PDU's length from this field on.
void FlagsLength(uint8_t* p, size_t length) { Be16(p, 0x7000u | static_cast<uint32_t>(length)); }
bool FlagsLengthIs(const uint8_t* p, size_t length) { return Be16(p) == (0x7000u | length); }

void RootLayer(uint8_t* p, size_t size, uint32_t vector, const Cid& id) {
  Be16(p, 0x0010);  // preamble size
  Be16(p + 2, 0);   // post-amble size
  std::memcpy(p + 4, kAcnId, sizeof kAcnId);
  FlagsLength(p + 16, size - 16);
  Be32(p + 18, vector);
  std::memcpy(p + 22, id.data(), id.size());
}

bool RootLayerIs(const uint8_t* p, size_t size, uint32_t vector) {
  return Be16(p) == 0x0010 && Be16(p + 2) == 0 && std::memcmp(p + 4, kAcnId, sizeof kAcnId) == 0 &&
         FlagsLengthIs(p + 16, size - 16) && Be32(p + 18) == vector;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::vector<uint8_t> EncodeE131Data(const E131Source& src, uint16_t universe, uint8_t sequence, const uint8_t* slots,
                                    size_t count, uint16_t syncUniverse, uint8_t options) {
  count = std::min(count, kDmxSlots);
  const size_t size = kE131DataHeader + count;
  std::vector<uint8_t> out(size, 0);
  uint8_t* p = out.data();
  RootLayer(p, size, kE131VectorRootData, src.Id);
  FlagsLength(p + 38, size - 38);
  Be32(p + 40, kE131VectorFramingData);
  // The name is a zero-terminated string in a 64-byte field.
  std::memcpy(p + 44, src.Name.data(), std::min<size_t>(src.Name.size(), 63));
  p[108] = std::min<uint8_t>(src.Priority, 200);
  Be16(p + 109, syncUniverse);
  p[111] = sequence;
  p[112] = options;
  Be16(p + 113, universe);
  FlagsLength(p + 115, size - 115);
  p[117] = 0x02;  // DMP set property
  p[118] = 0xA1;  // address and data type
  Be16(p + 119, 0);  // first property address
  Be16(p + 121, 1);  // address increment
  Be16(p + 123, static_cast<uint32_t>(count + 1));  // the start code and the slots
  p[125] = 0;        // start code: dimmer data
  if (count) std::memcpy(p + 126, slots, count);
  return out;
}

std::vector<uint8_t> EncodeE131Sync(const Cid& id, uint16_t syncUniverse, uint8_t sequence) {
  std::vector<uint8_t> out(kE131SyncSize, 0);
  uint8_t* p = out.data();
  RootLayer(p, out.size(), kE131VectorRootExtended, id);
  FlagsLength(p + 38, out.size() - 38);
  Be32(p + 40, kE131VectorFramingSync);
  p[44] = sequence;
  Be16(p + 45, syncUniverse);
  return out;  // two reserved bytes stay zero
}

std::optional<E131Data> DecodeE131Data(const uint8_t* p, size_t size) {
  if (!p || size < kE131DataHeader || size > kE131DataHeader + kDmxSlots) return std::nullopt;
  if (!RootLayerIs(p, size, kE131VectorRootData)) return std::nullopt;
  if (!FlagsLengthIs(p + 38, size - 38) || Be32(p + 40) != kE131VectorFramingData) return std::nullopt;
  if (!FlagsLengthIs(p + 115, size - 115) || p[117] != 0x02 || p[118] != 0xA1 || Be16(p + 119) != 0 ||
      Be16(p + 121) != 1 || Be16(p + 123) != size - 125)
    return std::nullopt;
  E131Data d;
  std::memcpy(d.Id.data(), p + 22, d.Id.size());
  const auto* name = reinterpret_cast<const char*>(p + 44);
  d.SourceName.assign(name, strnlen(name, 64));
  d.Priority = p[108];
  d.SyncUniverse = Be16(p + 109);
  d.Sequence = p[111];
  d.Options = p[112];
  d.Universe = Be16(p + 113);
  if (d.Priority > 200 || d.Universe < kE131MinUniverse || d.Universe > kE131MaxUniverse) return std::nullopt;
  d.StartCode = p[125];
  d.Slots.assign(p + 126, p + size);
  return d;
}

std::optional<E131Sync> DecodeE131Sync(const uint8_t* p, size_t size) {
  if (!p || size != kE131SyncSize || !RootLayerIs(p, size, kE131VectorRootExtended)) return std::nullopt;
  if (!FlagsLengthIs(p + 38, size - 38) || Be32(p + 40) != kE131VectorFramingSync) return std::nullopt;
  E131Sync s;
  std::memcpy(s.Id.data(), p + 22, s.Id.size());
  s.Sequence = p[44];
  s.SyncUniverse = Be16(p + 45);
  if (s.SyncUniverse < kE131MinUniverse || s.SyncUniverse > kE131MaxUniverse) return std::nullopt;
  return s;
}

std::optional<Cid> ParseCid(const std::string& text) {
  if (text.size() != 36) return std::nullopt;
  Cid id{};
  size_t k = 0;
  for (size_t i = 0; i < text.size();) {
    if (i == 8 || i == 13 || i == 18 || i == 23) {
      if (text[i] != '-') return std::nullopt;
      ++i;
      continue;
    }
    const int hi = HexDigit(text[i]), lo = HexDigit(text[i + 1]);
    if (hi < 0 || lo < 0) return std::nullopt;
    id[k++] = static_cast<uint8_t>(hi << 4 | lo);
    i += 2;
  }
  return id;
}

std::string FormatCid(const Cid& id) {
  static const char digits[] = "0123456789abcdef";
  std::string s;
  for (size_t i = 0; i < id.size(); ++i) {
    if (i == 4 || i == 6 || i == 8 || i == 10) s += '-';
    s += digits[id[i] >> 4];
    s += digits[id[i] & 15];
  }
  return s;
}

Cid MakeCid(const std::array<uint8_t, 16>& random) {
  Cid id = random;
  id[6] = static_cast<uint8_t>((id[6] & 0x0F) | 0x40);  // version 4
  id[8] = static_cast<uint8_t>((id[8] & 0x3F) | 0x80);  // the standard variant
  return id;
}

std::vector<uint8_t> EncodeArtDmx(uint16_t portAddress, uint8_t sequence, const uint8_t* data, size_t count) {
  count = std::min(count, kDmxSlots);
  const size_t length = std::max<size_t>(2, count + (count & 1));
  std::vector<uint8_t> out(kArtDmxHeader + length, 0);
  uint8_t* p = out.data();
  std::memcpy(p, kArtId, sizeof kArtId);
  p[8] = static_cast<uint8_t>(kArtOpDmx & 0xFF);  // the OpCode alone is little-endian
  p[9] = static_cast<uint8_t>(kArtOpDmx >> 8);
  Be16(p + 10, kArtNetVersion);
  p[12] = sequence;
  p[13] = 0;  // physical input port
  portAddress &= kArtMaxPortAddress;
  p[14] = static_cast<uint8_t>(portAddress & 0xFF);  // SubUni: sub-net and universe
  p[15] = static_cast<uint8_t>(portAddress >> 8);    // Net
  Be16(p + 16, static_cast<uint32_t>(length));
  if (count) std::memcpy(p + kArtDmxHeader, data, count);
  return out;
}

std::optional<ArtDmx> DecodeArtDmx(const uint8_t* p, size_t size) {
  if (!p || size < kArtDmxHeader + 2 || size > kArtDmxHeader + kDmxSlots) return std::nullopt;
  if (std::memcmp(p, kArtId, sizeof kArtId) != 0 || p[8] != (kArtOpDmx & 0xFF) || p[9] != (kArtOpDmx >> 8))
    return std::nullopt;
  const uint16_t length = Be16(p + 16);
  if (Be16(p + 10) < kArtNetVersion || (length & 1) || length != size - kArtDmxHeader || p[15] > 0x7F)
    return std::nullopt;
  ArtDmx d;
  d.Sequence = p[12];
  d.Physical = p[13];
  d.PortAddress = static_cast<uint16_t>(p[15] << 8 | p[14]);
  d.Data.assign(p + kArtDmxHeader, p + size);
  return d;
}

std::vector<uint8_t> EncodeDdp(uint32_t offset, uint8_t sequence, bool push, const uint8_t* data, size_t count) {
  count = std::min(count, kDdpMaxData);
  std::vector<uint8_t> out(kDdpHeader + count, 0);
  uint8_t* p = out.data();
  p[0] = static_cast<uint8_t>(kDdpVersion1 | (push ? kDdpFlagPush : 0));
  p[1] = static_cast<uint8_t>(sequence & 0x0F);
  p[2] = kDdpTypeRgb8;
  p[3] = kDdpIdDisplay;
  Be32(p + 4, offset);
  Be16(p + 8, static_cast<uint32_t>(count));
  if (count) std::memcpy(p + kDdpHeader, data, count);
  return out;
}

std::optional<DdpPacket> DecodeDdp(const uint8_t* p, size_t size) {
  if (!p || size < kDdpHeader) return std::nullopt;
  if ((p[0] & 0xC0) != kDdpVersion1 || (p[0] & (kDdpFlagQuery | kDdpFlagReply | kDdpFlagTime))) return std::nullopt;
  const uint16_t length = Be16(p + 8);
  if (length != size - kDdpHeader || length > kDdpMaxData) return std::nullopt;
  DdpPacket d;
  d.Flags = p[0];
  d.Sequence = p[1] & 0x0F;
  d.DataType = p[2];
  d.Id = p[3];
  d.Offset = Be32(p + 4);
  d.Data.assign(p + kDdpHeader, p + size);
  return d;
}

}  // namespace ledp
