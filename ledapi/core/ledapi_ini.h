// "ledapi.ini", the library's own settings beside the DLL: one section per
// screen address, naming the protocol that screen speaks and how its LEDs are
// wired. A screen without a section speaks our own protocol. The reader is
// strict: a value it cannot take exactly is refused with the file, the line
// and the reason, never read as something else.
#pragma once
#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "ledapi/core/pixel_map.h"
#include "ledapi/core/pixel_wire.h"

namespace ledp {

inline constexpr char kLedApiIniName[] = "ledapi.ini";

enum class Protocol : uint8_t { Own, E131, ArtNet, Ddp };
const char* ProtocolName(Protocol p);

struct PixelTarget {
  Protocol Kind = Protocol::Own;
  uint16_t Port = 0;              // the protocol's own port when not given
  int Universe = -1;              // E1.31 1..63999 (default 1); Art-Net port-address 0..32767 (default 0)
  int PixelsPerUniverse = 170;    // 510 of a universe's 512 channels
  int Width = 512, Height = 96;   // the board the controller drives
  Wiring Wire;
  double Gamma = 1.0;
  int RepeatMs = 1000;            // the frame again while the link is open; 0 never
  double PacketsPerMs = 8.0;      // pacing
  int SyncUniverse = 0;           // E1.31 synchronisation; 0 off
  int Priority = 100;             // E1.31
  std::string SourceName = "Platora";
  std::optional<Cid> Id;          // E1.31; otherwise the installation's own

  uint16_t PortOrDefault() const;
  int FirstUniverse() const;      // Universe, or the protocol's default
  int UniverseCount() const;      // for E1.31 and Art-Net
  size_t ChannelsPerUniverse() const { return static_cast<size_t>(PixelsPerUniverse) * 3; }
};

struct LedApiConfig {
  std::map<uint32_t, PixelTarget> Targets;  // by host-order address
  // The section for a numeric address text; nothing (our own protocol) otherwise.
  const PixelTarget* Find(const std::string& host) const;
};

// `fileName` is only used in messages. On a refusal returns false and sets
// `error` to "FILE, line N: reason"; `out` is then left empty.
bool ParseLedApiIni(const std::string& text, const std::string& fileName, LedApiConfig& out, std::string& error);

// Reads the file at path (UTF-8 path). A missing file is an empty
// configuration; one that cannot be read is refused.
bool ReadLedApiIniFile(const std::string& path, LedApiConfig& out, std::string& error);

}  // namespace ledp
