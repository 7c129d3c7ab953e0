// The link engine against the screen's core over a simulated network.
#include "ledapi/core/link_engine.h"

#include <gtest/gtest.h>

#include "ledapi/core/program.h"
#include "ledapi/tests/support/sim_net.h"
#include "screenlink/core/led_records.h"

using namespace ledp;

namespace {

plat::Raster Board(uint32_t seed) {
  plat::Raster r(512, 96);
  std::mt19937 rng(seed);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 512; ++x) r.SetPixel(x, y, rng() & 0xFFFFFF);
  return r;
}

std::vector<uint8_t> BoardProgram(const plat::Raster& board, uint8_t root = 17) {
  Program p;
  p.RootType = root;
  p.Pages.push_back({200000, {}});
  Window w;
  w.Area = {0, 0, 512, 96};
  w.Pixels = board;
  p.Pages[0].Windows.push_back(std::move(w));
  return PackProgram(SerializeProgram(p));
}

struct Rig {
  explicit Rig(simnet::Faults f = {}, uint32_t seed = 1, ledscreen::ScreenConfig cfg = {})
      : screen(cfg), net(link, screen, f, seed) {}
  LinkEngine link{0xC0FFEE};
  ledscreen::Screen screen;
  simnet::Net net;
};

Request Cmd(int32_t command, int32_t value = 0) {
  Request r;
  r.Command = command;
  r.Value = value;
  return r;
}

// The engine alone on a clock that ticks every millisecond: when it sends
// and when it reports, with nothing on the other end.
struct Ticker {
  Ticker(LinkEngine& l, int64_t start) : link(l), now(start) {}
  LinkEngine& link;
  int64_t now;
  std::vector<int64_t> sent;  // one time per datagram
  std::vector<std::pair<int64_t, Notice>> reports;

  void Collect() {
    sent.insert(sent.end(), link.TakeOutgoing().size(), now);
    for (auto& n : link.TakeNotices()) reports.emplace_back(now, std::move(n));
  }
  void RunTo(int64_t until) {
    while (now < until) {
      link.OnTimer(++now);
      Collect();
    }
  }
  std::vector<int64_t> SendTimes() const {
    std::vector<int64_t> t = sent;
    t.erase(std::unique(t.begin(), t.end()), t.end());
    return t;
  }
};

}  // namespace

TEST(LinkEngine, CommandsAreAnswered) {
  ledscreen::ScreenConfig cfg;
  cfg.AutoBrightness = true;
  Rig rig({}, 1, cfg);
  rig.link.Command(Cmd(led::kCmdSetPower, 0), "127.0.0.1", 6666, 0);
  rig.link.Command(Cmd(led::kCmdGetPower), "127.0.0.1", 6666, 0);
  rig.link.Command(Cmd(led::kCmdSetBrightness, 1), "127.0.0.1", 6666, 0);
  rig.net.Run(10000);
  ASSERT_EQ(rig.net.Notices.size(), 3u);
  for (const Notice& n : rig.net.Notices) {
    EXPECT_EQ(n.Kind, led::kKindAnswer);
    EXPECT_EQ(n.Host, "127.0.0.1");
    EXPECT_EQ(n.Port, 6666);
  }
  EXPECT_EQ(rig.net.Notices[0].Command, led::kCmdSetPower);
  EXPECT_EQ(rig.net.Notices[1].Value, 0);  // power was switched off first
  EXPECT_EQ(rig.net.Notices[2].Status, led::kStatusAutoMode);
  EXPECT_EQ(rig.net.ToScreen, 3);  // no loss, no retransmission
  EXPECT_FALSE(rig.screen.Power());
}

TEST(LinkEngine, BoardArrivesWholeWithoutLoss) {
  Rig rig;
  plat::Raster board = Board(5);
  auto blob = BoardProgram(board);
  const int chunks = static_cast<int>(ChunkCountFor(static_cast<uint32_t>(blob.size())));
  EXPECT_GE(chunks, 106);  // noise does not compress
  rig.link.SendProgram(blob, 0, "127.0.0.1", 6666, 0);
  rig.net.Run(10000);
  ASSERT_EQ(rig.net.Notices.size(), 1u);
  EXPECT_EQ(rig.net.Notices[0].Kind, led::kKindSendDone);
  EXPECT_EQ(rig.net.Notices[0].Status, led::kStatusOk);
  EXPECT_EQ(rig.net.ToScreen, chunks);
  EXPECT_LT(rig.net.Now, 50);
  rig.screen.Render(rig.net.Now, 0);
  EXPECT_TRUE(rig.screen.Picture().SamePixels(board));
}

TEST(LinkEngine, SendsCompleteUnderLossDuplicationAndReordering) {
  const simnet::Faults bad{0.2, 0.2, 0.1, 0.1};
  for (uint32_t seed = 1; seed <= 12; ++seed) {
    SCOPED_TRACE(seed);
    Rig rig(bad, seed);
    plat::Raster board = Board(seed);
    // The screen must never show a part of the new board.
    bool partial = false;
    rig.net.AfterScreenDatagram = [&] {
      rig.screen.Render(rig.net.Now, 0);
      const plat::Raster& pic = rig.screen.Picture();
      if (!pic.SamePixels(board) && !pic.SamePixels(plat::Raster(512, 96))) partial = true;
    };
    rig.link.SendProgram(BoardProgram(board), 0, "127.0.0.1", 6666, 0);
    rig.link.Command(Cmd(led::kCmdGetBrightness), "127.0.0.1", 6666, 0);
    rig.net.Run(10000);
    ASSERT_EQ(rig.net.Notices.size(), 2u);
    for (const Notice& n : rig.net.Notices) {
      EXPECT_NE(n.Kind, led::kKindTimeout);
      EXPECT_LT(rig.net.Now, 2000);
    }
    EXPECT_FALSE(partial);
    rig.screen.Render(rig.net.Now, 0);
    EXPECT_TRUE(rig.screen.Picture().SamePixels(board));
    // Each log line is one command, however often its datagrams came.
    EXPECT_EQ(rig.screen.TakeLog().size(), 2u);
  }
}

TEST(LinkEngine, UnansweredCommandsBackOffAndAreReportedExactlyAtTheBound) {
  LinkEngine link(1);
  Ticker t(link, 1000);
  link.Command(Cmd(led::kCmdQuery), "127.0.0.1", 6666, 1000);
  link.SendProgram(std::vector<uint8_t>(2 * kChunkData, 1), 4, "127.0.0.1", 6666, 1000);
  t.Collect();
  t.RunTo(3500);
  // The request and both chunks go out together and are repeated after 20,
  // 30, 45, 67, then every 80 ms.
  const std::vector<int64_t> times = t.SendTimes();
  ASSERT_GE(times.size(), 8u);
  EXPECT_EQ(std::vector<int64_t>(times.begin(), times.begin() + 8),
            (std::vector<int64_t>{1000, 1020, 1050, 1095, 1162, 1242, 1322, 1402}));
  EXPECT_EQ(t.sent.size(), 3 * times.size());
  EXPECT_LT(times.back(), 3000);
  ASSERT_EQ(t.reports.size(), 2u);
  for (const auto& [at, n] : t.reports) {
    EXPECT_EQ(at, 3000);
    EXPECT_EQ(n.Kind, led::kKindTimeout);
    EXPECT_EQ(n.Host, "127.0.0.1");
  }
  EXPECT_EQ(t.reports[1].second.Command, led::kCmdSend);
  EXPECT_EQ(t.reports[1].second.Address, 4);
  EXPECT_EQ(link.Pending(), 0u);

  // A command that waited for a free place still counts from its call.
  LinkEngine busy(2);
  Ticker b(busy, 0);
  for (int i = 0; i < 17; ++i) busy.Command(Cmd(led::kCmdQuery), "127.0.0.1", 6666, 0);
  b.Collect();
  EXPECT_EQ(b.sent.size(), 16u);
  b.RunTo(4500);
  ASSERT_EQ(b.reports.size(), 17u);
  for (const auto& r : b.reports) EXPECT_EQ(r.first, 2000);
}

TEST(LinkEngine, AnAcknowledgementWithNewsBringsTheIntervalBackToTheFirst) {
  LinkEngine link(1);
  Ticker t(link, 0);
  const uint32_t seq = link.SendProgram(std::vector<uint8_t>(3 * kChunkData, 1), 0, "127.0.0.1", 6666, 0);
  t.Collect();
  t.RunTo(170);
  EXPECT_EQ(t.SendTimes(), (std::vector<int64_t>{0, 20, 50, 95, 162}));
  const auto ack = EncodeChunkAck(1, seq, {3, false, 0, {0x01}});
  link.OnDatagram(ack.data(), ack.size(), {0x7F000001, 6666}, 170);  // chunk 0 arrived: news
  t.RunTo(190);
  link.OnDatagram(ack.data(), ack.size(), {0x7F000001, 6666}, 190);  // the same again: no news
  t.RunTo(260);
  // Chunks 1 and 2: 20 ms after their last sending, then 30 and 45.
  EXPECT_EQ(std::vector<int64_t>(t.sent.end() - 6, t.sent.end()), (std::vector<int64_t>{182, 182, 212, 212, 257, 257}));
  EXPECT_EQ(t.sent.size(), 15u + 6u);
}

TEST(LinkEngine, UnusableTargetsFailAtOnceAndAreNeverSentTo) {
  LinkEngine link(1);
  for (const char* host : {"", "192.168.1.99", "screen", "127.0.0.1:6666", "0.0.0.0"}) {
    link.Command(Cmd(led::kCmdQuery), host, 6666, 0);
    link.SendProgram(std::vector<uint8_t>(10, 1), 3, host, 6666, 0);
  }
  link.Command(Cmd(led::kCmdQuery), "127.0.0.1", 0, 0);
  link.Command(Cmd(led::kCmdQuery), "127.0.0.1", 65536, 0);
  EXPECT_TRUE(link.TakeOutgoing().empty());
  auto notices = link.TakeNotices();
  ASSERT_EQ(notices.size(), 12u);
  for (const Notice& n : notices) EXPECT_EQ(n.Kind, led::kKindTimeout);
  EXPECT_EQ(notices[3].Host, "192.168.1.99");
  EXPECT_EQ(notices[3].Address, 3);
  EXPECT_EQ(link.Pending(), 0u);

  // A link bound to a real interface may address the network.
  EngineConfig open;
  open.LoopbackOnly = false;
  LinkEngine wide(2, open);
  wide.Command(Cmd(led::kCmdQuery), "10.1.2.3", 6666, 0);
  ASSERT_EQ(wide.TakeOutgoing().size(), 1u);
}

TEST(LinkEngine, OnlyTheAddressedScreenMayAnswer) {
  LinkEngine link(77);
  const uint32_t seq = link.Command(Cmd(led::kCmdGetPower), "127.0.0.1", 6666, 0);
  auto answer = EncodeAnswer(77, seq, {led::kCmdGetPower, 0, 1});
  link.OnDatagram(answer.data(), answer.size(), {0x7F000001, 6667}, 1);  // other port
  link.OnDatagram(answer.data(), answer.size(), {0x7F000002, 6666}, 1);  // other address
  auto stranger = EncodeAnswer(78, seq, {led::kCmdGetPower, 0, 1});      // other session
  link.OnDatagram(stranger.data(), stranger.size(), {0x7F000001, 6666}, 1);
  auto wrongCmd = EncodeAnswer(77, seq, {led::kCmdGetBrightness, 0, 1});
  link.OnDatagram(wrongCmd.data(), wrongCmd.size(), {0x7F000001, 6666}, 1);
  EXPECT_TRUE(link.TakeNotices().empty());
  link.OnDatagram(answer.data(), answer.size(), {0x7F000001, 6666}, 1);
  auto n = link.TakeNotices();
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].Value, 1);
  // The same answer again is a duplicate: no second report.
  link.OnDatagram(answer.data(), answer.size(), {0x7F000001, 6666}, 2);
  EXPECT_TRUE(link.TakeNotices().empty());
}

TEST(LinkEngine, OnlyAnAcknowledgementOfTheSendItselfEndsIt) {
  LinkEngine link(77);
  const uint32_t seq = link.SendProgram(std::vector<uint8_t>(3 * kChunkData, 1), 0, "127.0.0.1", 6666, 0);
  const Endpoint screen{0x7F000001, 6666};
  for (const auto& d : {EncodeChunkAck(77, seq, {4, true, 0, {0x0F}}),  // another program's count
                        EncodeChunkAck(77, seq, {2, true, 0, {0x03}}),
                        EncodeAnswer(77, seq, {led::kCmdSend, 0, 0}),  // an answer is not an acknowledgement
                        EncodeChunkAck(78, seq, {3, true, 0, {0x07}})})
    link.OnDatagram(d.data(), d.size(), screen, 1);
  EXPECT_TRUE(link.TakeNotices().empty());
  const auto done = EncodeChunkAck(77, seq, {3, true, 1, {0x07}});
  link.OnDatagram(done.data(), done.size(), screen, 1);
  const auto n = link.TakeNotices();
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].Kind, led::kKindSendDone);
  EXPECT_EQ(n[0].Status, 1);  // refused by the screen, reported as it said
}

TEST(LinkEngine, TheLastOfTwoOverlappingSendsIsShown) {
  Rig rig({0.2, 0.2, 0.2, 0.3}, 9);
  plat::Raster first = Board(1), second = Board(2);
  rig.link.SendProgram(BoardProgram(first), 0, "127.0.0.1", 6666, 0);
  rig.link.SendProgram(BoardProgram(second), 0, "127.0.0.1", 6666, 0);
  rig.net.Run(10000);
  ASSERT_EQ(rig.net.Notices.size(), 2u);
  rig.screen.Render(rig.net.Now, 0);
  EXPECT_TRUE(rig.screen.Picture().SamePixels(second));
}

TEST(LinkEngine, ABurstOfCommandsGoesOutAFewAtATime) {
  Rig rig;
  for (int i = 0; i < 100; ++i) rig.link.Command(Cmd(led::kCmdQuery), "127.0.0.1", 6666, 0);
  EXPECT_EQ(rig.link.TakeOutgoing().size(), 16u);  // the rest wait for free places
  rig.net.Run(10000);
  // Those first 16 datagrams were taken off the wire above: they time out,
  // everything after them is answered.
  ASSERT_EQ(rig.net.Notices.size(), 100u);
  int answered = 0;
  for (const Notice& n : rig.net.Notices) answered += n.Kind == led::kKindAnswer;
  EXPECT_GE(answered, 84);
}
