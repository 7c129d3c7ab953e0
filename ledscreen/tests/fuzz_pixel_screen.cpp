// Datagrams (separated by FF FE) to a small pixel screen of each protocol:
// nothing it is sent may write outside its frame or stop it taking frames.
#include <cstddef>
#include <cstdint>

#include "ledscreen/core/pixel_screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (auto kind : {ledp::Protocol::E131, ledp::Protocol::ArtNet, ledp::Protocol::Ddp}) {
    ledscreen::PixelScreenConfig cfg;
    cfg.Kind = kind;
    cfg.Width = 7;
    cfg.Height = 5;
    cfg.PixelsPerUniverse = 3;
    cfg.Wire.Order = ledp::Layout::Serpentine;
    ledscreen::PixelScreen s(cfg);
    size_t start = 0;
    for (size_t i = 0; i <= size; ++i) {
      if (i == size || (i + 1 < size && data[i] == 0xFF && data[i + 1] == 0xFE)) {
        s.OnDatagram(data + start, i - start, {0x7F000001, 5000}, 0);
        s.TakeFrame();
        s.TakeLog();
        start = i + 2;
        ++i;
      }
    }
  }
  return 0;
}
