// The screen's decoders: datagrams as they come (mode 0), datagrams with a
// repaired checksum so that the fuzzer gets past it (mode 1), and a display
// program delivered in proper chunks (mode 2), then drawn.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ledapi/core/program.h"
#include "ledscreen/core/screen.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const uint8_t mode = data[0] % 3;
  std::vector<uint8_t> rest(data + 1, data + size);
  ledscreen::ScreenConfig cfg;
  cfg.Width = 64;
  cfg.Height = 16;
  ledscreen::Screen screen(cfg);
  const ledp::Endpoint from{0x7F000001, 8888};
  if (mode == 2) {
    if (rest.empty() || rest.size() > ledp::kMaxProgramBytes) return 0;
    rest = ledp::PackProgram(rest);
    const uint32_t total = static_cast<uint32_t>(rest.size());
    const uint16_t count = static_cast<uint16_t>(ledp::ChunkCountFor(total));
    for (uint16_t i = 0; i < count; ++i) {
      size_t off = size_t{i} * ledp::kChunkData;
      size_t n = std::min(ledp::kChunkData, rest.size() - off);
      auto d = ledp::EncodeChunk(1, 1, total, i, count, rest.data() + off, n);
      screen.OnDatagram(d.data(), d.size(), from, 0, 0);
    }
  } else {
    // Several datagrams per input, separated by a 0xFF 0xFE marker.
    size_t start = 0;
    for (size_t i = 0; i <= rest.size(); ++i) {
      if (i == rest.size() || (i + 1 < rest.size() && rest[i] == 0xFF && rest[i + 1] == 0xFE)) {
        std::vector<uint8_t> d(rest.begin() + static_cast<ptrdiff_t>(start), rest.begin() + static_cast<ptrdiff_t>(i));
        if (mode == 1) ledp::Reseal(d.data(), d.size());
        screen.OnDatagram(d.data(), d.size(), from, static_cast<int64_t>(i), 0);
        start = i + 2;
        ++i;
      }
    }
  }
  screen.TakeReplies();
  screen.Render(1000, 0);
  screen.Render(5000, 86399);
  return 0;
}
