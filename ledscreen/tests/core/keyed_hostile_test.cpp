// A keyed screen under a hostile network: garbage, plain-protocol datagrams
// with right checksums, authenticated layouts with wrong MACs, a flood of
// opened sessions and large programs left one chunk short. It stays alive,
// shows nothing it was not sent by its link, answers nothing it should not,
// and what it keeps stays bounded.
#include <gtest/gtest.h>

#include <random>

#include "ledapi/core/program.h"
#include "ledscreen/core/screen.h"
#include "screenlink/core/led_records.h"

using namespace ledscreen;

namespace {

ledp::crypto::Key TheKey() {
  ledp::crypto::Key k;
  for (size_t i = 0; i < k.size(); ++i) k[i] = static_cast<uint8_t>(i * 13 + 1);
  return k;
}

// Opens a session as the key's holder would; its key.
ledp::crypto::Hmac Open(Screen& s, const ledp::Endpoint& from, uint32_t session, uint8_t nonce, int64_t now) {
  ledp::Nonce mine{};
  mine.fill(nonce);
  mine[0] = static_cast<uint8_t>(session);
  mine[1] = static_cast<uint8_t>(session >> 8);
  auto open = ledp::auth::EncodeOpen(session, mine, ledp::crypto::Hmac(TheKey()));
  s.OnDatagram(open.data(), open.size(), from, now, 0);
  auto r = s.TakeReplies();
  EXPECT_EQ(r.size(), 1u);
  auto ack = ledp::auth::Decode(r.at(0).Bytes.data(), r.at(0).Bytes.size());
  return ledp::auth::SessionKey(TheKey(), session, mine, ack->ScreenNonce);
}

}  // namespace

TEST(KeyedScreenHostile, StaysAliveShowsNothingAnswersNothingAndStaysBounded) {
  ScreenConfig cfg;
  cfg.Key = TheKey();
  Screen screen(cfg);
  const ledp::Endpoint attacker{0x7F000001, 4444};
  std::mt19937 rng(2024);
  size_t answered = 0, logLines = 0;
  int64_t now = 0;
  auto feed = [&](const std::vector<uint8_t>& d, const ledp::Endpoint& from) {
    screen.OnDatagram(d.data(), d.size(), from, now, 0);
    answered += screen.TakeReplies().size();
    logLines += screen.TakeLog().size();
  };

  // Garbage of every length, and plain datagrams that a keyless screen takes.
  for (int i = 0; i < 3000; ++i, ++now) {
    std::vector<uint8_t> d(rng() % 1500);
    for (auto& b : d) b = static_cast<uint8_t>(rng());
    if (i % 3 == 0 && d.size() >= 8) std::copy_n("LEDP\x02", 5, d.begin());
    feed(d, attacker);
    ledp::Request off{led::kCmdSetPower, 0, 0, {}};
    feed(ledp::EncodeRequest(rng(), i + 1, off), attacker);
  }
  // Authenticated layouts under keys it does not have, for sessions real and not.
  const ledp::crypto::Hmac wrong(ledp::crypto::Key{});
  ledp::Request off{led::kCmdSetPower, 0, 0, {}};
  for (uint32_t i = 0; i < 2000; ++i, ++now) {
    ledp::Nonce n{};
    n[0] = static_cast<uint8_t>(i);
    feed(ledp::auth::EncodeOpen(i, n, wrong), attacker);
    feed(ledp::auth::EncodeRequest(i, 1, i + 1, 0, off, wrong), attacker);
  }
  EXPECT_EQ(answered, 0u);
  EXPECT_EQ(screen.Sessions(), 0u);
  EXPECT_TRUE(screen.Power());
  // A flood says how big it was, not every datagram: 20 lines a second and a count.
  EXPECT_LE(logLines, static_cast<size_t>((now / 1000 + 1) * 21));

  // Many sessions opened by the key's holder, from many ports: the oldest go.
  for (uint32_t i = 0; i < 3000; ++i, ++now) {
    Open(screen, {0x7F000001, static_cast<uint16_t>(2000 + i % 500)}, 100000 + i, static_cast<uint8_t>(i >> 16), now);
    screen.TakeLog();
  }
  EXPECT_LE(screen.Sessions(), Screen::kMaxSessions);
  EXPECT_LE(screen.RememberedOpens(), Screen::kSeenOpens);

  // Large programs, each one chunk short, from sessions of their own.
  std::vector<uint8_t> big(ledp::kMaxProgramBytes - 1000);
  for (auto& b : big) b = static_cast<uint8_t>(rng());
  const uint32_t total = static_cast<uint32_t>(big.size());
  const uint16_t count = static_cast<uint16_t>(ledp::ChunkCountFor(total));
  for (uint32_t t = 0; t < 6; ++t) {
    const ledp::Endpoint from{0x7F000001, static_cast<uint16_t>(7000 + t)};
    ledp::crypto::Hmac mac = Open(screen, from, 900 + t, 0xEE, now);
    for (uint16_t i = 0; i + 1 < count; ++i) {
      const size_t off = size_t{i} * ledp::kChunkData;
      auto d = ledp::auth::EncodeChunk(900 + t, 1, i + 1u, 0, total, i, count, big.data() + off, ledp::kChunkData, mac);
      screen.OnDatagram(d.data(), d.size(), from, now, 0);
      screen.TakeReplies();
    }
    screen.TakeLog();
    EXPECT_LE(screen.Transfers(), Screen::kMaxTransfers);
  }
  EXPECT_FALSE(screen.HasProgram());

  // Through all that, its own link still gets a picture on.
  const ledp::Endpoint link{0x7F000001, 8888};
  ledp::crypto::Hmac mac = Open(screen, link, 42, 0x42, now);
  ledp::Program p;
  p.Pages.push_back({1000, {}});
  ledp::Window w;
  w.Area = {0, 0, 512, 96};
  w.Pixels = plat::Raster(512, 96, plat::RGBColor(0, 200, 0));
  p.Pages[0].Windows.push_back(w);
  const auto blob = ledp::PackProgram(ledp::SerializeProgram(p));
  auto d = ledp::auth::EncodeChunk(42, 1, 1, 0, static_cast<uint32_t>(blob.size()), 0, 1, blob.data(), blob.size(), mac);
  screen.OnDatagram(d.data(), d.size(), link, now, 0);
  auto r = screen.TakeReplies();
  ASSERT_EQ(r.size(), 1u);
  auto done = ledp::auth::Decode(r[0].Bytes.data(), r[0].Bytes.size());
  ASSERT_TRUE(done && done->Ack.Done && done->Ack.HasDigest);
  EXPECT_EQ(done->Ack.Status, led::kStatusOk);
  screen.Render(now, 0);
  EXPECT_EQ(screen.Picture().Pixel(10, 10), plat::RGBColor(0, 200, 0));
}
