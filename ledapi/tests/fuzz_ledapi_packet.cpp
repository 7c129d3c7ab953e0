// The library's side: answers and acknowledgements as they come (mode 0) or
// with a repaired checksum and the link's own session and sequence numbers
// (mode 1), fed to a link with a request and a program outstanding.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool fix = data[0] & 1;
  ledp::LinkEngine link(0x1234);
  ledp::Request r;
  r.Command = 9;
  const uint32_t q = link.Command(r, "127.0.0.1", 6666, 0);
  const uint32_t p = link.SendProgram(std::vector<uint8_t>(5000, 7), 0, "127.0.0.1", 6666, 0);
  const ledp::Endpoint screen{0x7F000001, 6666};
  size_t start = 1;
  int64_t now = 0;
  for (size_t i = 1; i <= size; ++i) {
    if (i == size || (i + 1 < size && data[i] == 0xFF && data[i + 1] == 0xFE)) {
      std::vector<uint8_t> d(data + start, data + i);
      if (fix && d.size() >= ledp::kHeaderSize) {
        const uint32_t session = link.Session(), seq = (d[12] & 1) ? p : q;
        for (int k = 0; k < 4; ++k) {
          d[8 + k] = static_cast<uint8_t>(session >> (8 * k));
          d[12 + k] = static_cast<uint8_t>(seq >> (8 * k));
        }
        ledp::Reseal(d.data(), d.size());
      }
      link.OnDatagram(d.data(), d.size(), screen, now);
      link.OnTimer(now += 30);
      start = i + 2;
      ++i;
    }
  }
  link.OnTimer(5000);
  link.TakeOutgoing();
  link.TakeNotices();
  // The program parser sees the same bytes too.
  ledp::ParseProgram(data + 1, size - 1);
  if (auto raw = ledp::UnpackProgram(data + 1, size - 1)) ledp::ParseProgram(raw->data(), raw->size());
  return 0;
}
