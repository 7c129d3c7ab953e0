// The simulated screen as an open-protocol pixel controller: E1.31, Art-Net
// or DDP datagrams put channel values into a frame buffer wired like a real
// board's LEDs, and a complete frame becomes the picture (the last universe
// of the board, the synchronisation packet when the sender uses one, or the
// DDP push flag). None of these protocols answers, so nothing is sent back.
#pragma once
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ledapi/core/ledapi_ini.h"
#include "ledapi/core/link_engine.h"
#include "ui/core/raster.h"

namespace ledscreen {

struct PixelScreenConfig {
  ledp::Protocol Kind = ledp::Protocol::E131;
  int Width = 512, Height = 96;
  int FirstUniverse = -1;  // the protocol's default (E1.31 1, Art-Net 0)
  int PixelsPerUniverse = 170;
  ledp::Wiring Wire;
};

class PixelScreen {
 public:
  explicit PixelScreen(PixelScreenConfig cfg);

  void OnDatagram(const uint8_t* data, size_t size, const ledp::Endpoint& from, int64_t nowMs);
  // True once for every frame completed since the last call.
  bool TakeFrame();
  const plat::Raster& Picture() const { return picture_; }
  std::vector<std::string> TakeLog() { return std::exchange(log_, {}); }

  int Universes() const { return universes_; }
  uint64_t Frames() const { return frames_; }
  uint64_t Packets() const { return packets_; }    // taken into the frame
  uint64_t Refused() const { return refused_; }    // not of the protocol, out of order, off the board
  const PixelScreenConfig& Config() const { return cfg_; }

 private:
  void OnUniverse(int universe, uint8_t seq, bool ordered, const uint8_t* slots, size_t n, bool synced,
                  const ledp::Endpoint& from);
  void Complete(const ledp::Endpoint& from);

  PixelScreenConfig cfg_;
  int first_ = 0;
  int universes_ = 0;
  plat::Raster frame_;    // being filled
  plat::Raster picture_;  // the last complete frame
  bool pending_ = false;
  std::map<int, uint8_t> lastSeq_;  // universe -> sequence last taken
  std::map<std::pair<uint32_t, uint16_t>, bool> sources_;
  uint64_t frames_ = 0, packets_ = 0, refused_ = 0;
  std::vector<std::string> log_;
};

}  // namespace ledscreen
