// The authenticated framing on both ends. Byte 0 picks the side (bit 0: the
// screen, else the link) and whether each datagram is first made to pass
// the MAC check (bit 1): the session number, a fresh counter and the MAC
// under the session key that a real opening produced are written into it,
// so that the body decoders behind the MAC see the fuzzer's bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"
#include "ledscreen/core/screen.h"

namespace {

const ledp::crypto::Key kKey = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16,
                                17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32};
const ledp::Endpoint kLink{0x7F000001, 8888}, kScreen{0x7F000001, 6666};

void Put(std::vector<uint8_t>& d, size_t at, uint64_t v, int bytes) {
  for (int k = 0; k < bytes; ++k) d[at + k] = static_cast<uint8_t>(v >> (8 * k));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  const bool toScreen = data[0] & 1, fix = data[0] & 2;
  ledscreen::ScreenConfig cfg;
  cfg.Width = 64;
  cfg.Height = 16;
  cfg.Key = kKey;
  ledscreen::Screen screen(cfg);
  ledp::LinkEngine link(0x1234);
  ledp::Request r;
  r.Command = 9;
  const uint32_t q = link.Command(r, "127.0.0.1", 6666, 0, &kKey);
  const uint32_t p = link.SendProgram(std::vector<uint8_t>(5000, 7), 0, "127.0.0.1", 6666, 0, &kKey);

  // A real opening between the two, to learn the session and its key.
  auto open = link.TakeOutgoing().at(0).Bytes;
  screen.OnDatagram(open.data(), open.size(), kLink, 0, 0);
  auto ack = screen.TakeReplies().at(0).Bytes;
  auto o = ledp::auth::Decode(open.data(), open.size());
  auto a = ledp::auth::Decode(ack.data(), ack.size());
  if (!o || !a) __builtin_trap();
  const ledp::crypto::Hmac ks = ledp::auth::SessionKey(kKey, o->Session, o->LinkNonce, a->ScreenNonce);
  if (!toScreen) link.OnDatagram(ack.data(), ack.size(), kScreen, 0);
  link.TakeOutgoing();

  uint64_t counter = 1000;
  size_t start = 1;
  int64_t now = 0;
  for (size_t i = 1; i <= size; ++i) {
    if (i != size && !(i + 1 < size && data[i] == 0xFF && data[i + 1] == 0xFE)) continue;
    std::vector<uint8_t> d(data + start, data + i);
    if (fix && d.size() >= ledp::auth::kMinDatagram) {
      Put(d, 8, o->Session, 4);
      if (!toScreen) Put(d, 12, (d[12] & 1) ? p : q, 4);
      Put(d, 16, ++counter, 8);
      ledp::auth::Reseal(d.data(), d.size(), ks);
    }
    if (toScreen) {
      screen.OnDatagram(d.data(), d.size(), kLink, now, 0);
      screen.TakeReplies();
    } else {
      link.OnDatagram(d.data(), d.size(), kScreen, now);
      link.OnTimer(now);
    }
    now += 30;
    start = i + 2;
    ++i;
  }
  link.OnTimer(5000);
  link.TakeOutgoing();
  link.TakeNotices();
  screen.TakeLog();
  screen.Render(1000, 0);
  return 0;
}
