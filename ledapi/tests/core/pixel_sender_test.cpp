// The pixel sender on a simulated clock: what leaves for a whole board in
// each protocol, when "send finished" is reported, pacing, repeats, and what
// brightness, power and the unanswerable commands do.
#include "ledapi/core/pixel_sender.h"

#include <gtest/gtest.h>

#include "ledapi/core/compose.h"
#include "screenlink/core/led_records.h"

using namespace ledp;

namespace {

const Cid kCid = MakeCid({1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16});

plat::Raster Board(int w = 512, int h = 96, int salt = 0) {
  plat::Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, plat::RGBColor(x + salt, y * 2, (x ^ y) + salt));
  return r;
}

Program OnePicture(const plat::Raster& pic) {
  Program p;
  Page page;
  page.DisplayMs = 200000;
  page.Windows.push_back({WindowType::Picture, {0, 0, pic.Width(), pic.Height()}, pic, 3, {}, {}});
  p.Pages.push_back(std::move(page));
  return p;
}

LedApiConfig Config(const std::string& section) {
  LedApiConfig c;
  std::string error;
  EXPECT_TRUE(ParseLedApiIni("[127.0.0.1]\n" + section, "ledapi.ini", c, error)) << error;
  return c;
}

// Runs the sender a millisecond at a time, collecting what it sends and
// reports, with the time each came out.
struct Clocked {
  explicit Clocked(PixelSender& sender) : s(sender) {}
  PixelSender& s;
  int64_t now = 0;
  std::vector<std::pair<int64_t, Outgoing>> out;
  std::vector<std::pair<int64_t, Notice>> notices;
  void Take() {
    for (auto& o : s.TakeOutgoing()) out.emplace_back(now, std::move(o));
    for (auto& n : s.TakeNotices()) notices.emplace_back(now, std::move(n));
  }
  void Until(int64_t end) {
    Take();
    while (now < end) {
      ++now;
      s.OnTimer(now, 1000);
      Take();
    }
  }
};

}  // namespace

TEST(PixelSender, WholeBoardOverE131Is290PacedUniversesThenSendFinished) {
  PixelSender s(Config("protocol=e131\nuniverse=1\n"), kCid);
  Clocked run{s};
  const plat::Raster board = Board();
  s.SendProgram(OnePicture(board), 0, "127.0.0.1", 6666, 0, 1000);
  run.Until(200);
  ASSERT_EQ(run.out.size(), 290u);
  plat::Raster back(512, 96);
  for (size_t i = 0; i < run.out.size(); ++i) {
    const Outgoing& o = run.out[i].second;
    EXPECT_EQ(o.To, (Endpoint{0x7F000001, 5568}));
    auto d = DecodeE131Data(o.Bytes.data(), o.Bytes.size());
    ASSERT_TRUE(d) << i;
    EXPECT_EQ(d->Universe, i + 1);
    EXPECT_EQ(d->Sequence, 1);
    EXPECT_EQ(d->Priority, 100);
    EXPECT_EQ(d->SourceName, "Platora");
    EXPECT_EQ(d->Id, kCid);
    EXPECT_EQ(d->Slots.size(), i < 289 ? 510u : 66u);
    PutChannels(back, {}, i * 510, d->Slots.data(), d->Slots.size());
  }
  EXPECT_TRUE(back.SamePixels(board));
  // Eight packets a millisecond by default, the first at once: the last one
  // leaves at 37 ms, and only then is the send reported, once.
  EXPECT_EQ(run.out.front().first, 0);
  EXPECT_EQ(run.out[8].first, 1);
  EXPECT_EQ(run.out.back().first, 37);
  ASSERT_EQ(run.notices.size(), 1u);
  EXPECT_EQ(run.notices[0].first, 37);
  EXPECT_EQ(run.notices[0].second.Kind, led::kKindSendDone);
  EXPECT_EQ(run.notices[0].second.Host, "127.0.0.1");
  EXPECT_EQ(run.notices[0].second.Port, 6666);
}

TEST(PixelSender, WholeBoardOverDdpIs103PacketsWithPushOnTheLastOnly) {
  PixelSender s(Config("protocol=ddp\npackets_per_ms=2\n"), kCid);
  Clocked run{s};
  const plat::Raster board = Board();
  s.SendProgram(OnePicture(board), 0, "127.0.0.1", 6666, 0, 1000);
  run.Until(200);
  ASSERT_EQ(run.out.size(), 103u);
  plat::Raster back(512, 96);
  uint8_t lastSeq = 0;
  for (size_t i = 0; i < run.out.size(); ++i) {
    const Outgoing& o = run.out[i].second;
    EXPECT_EQ(o.To.Port, 4048);
    auto d = DecodeDdp(o.Bytes.data(), o.Bytes.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->Offset, i * 1440);
    EXPECT_EQ(d->Data.size(), i < 102 ? 1440u : 576u);
    EXPECT_EQ(d->Push(), i == 102) << i;
    EXPECT_EQ(d->Sequence, lastSeq % 15 + 1);
    lastSeq = d->Sequence;
    PutChannels(back, {}, d->Offset, d->Data.data(), d->Data.size());
  }
  EXPECT_TRUE(back.SamePixels(board));
  EXPECT_EQ(run.out.back().first, 51);  // two a millisecond
  ASSERT_EQ(run.notices.size(), 1u);
  EXPECT_EQ(run.notices[0].first, 51);
}

TEST(PixelSender, ArtNetPortAddressesRunFromTheFirstAcrossSubNetsWithEvenLengths) {
  PixelSender s(Config("protocol=artnet\nuniverse=250\npixels_per_universe=169\nport=6455\n"), kCid);
  Clocked run{s};
  s.SendProgram(OnePicture(Board()), 0, "127.0.0.1", 6666, 0, 1000);
  run.Until(200);
  ASSERT_EQ(run.out.size(), 291u);  // 49152 / 169, rounded up
  for (size_t i = 0; i < run.out.size(); ++i) {
    const Outgoing& o = run.out[i].second;
    EXPECT_EQ(o.To.Port, 6455);
    auto d = DecodeArtDmx(o.Bytes.data(), o.Bytes.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->PortAddress, 250 + i);
    EXPECT_EQ(d->Sequence, 1);
    EXPECT_EQ(d->Data.size(), i < 290 ? 508u : 426u);  // 507 channels padded; the last 142 pixels
  }
}

TEST(PixelSender, FrameIsRepeatedWithFreshSequenceNumbersAndNoFurtherReports) {
  PixelSender s(Config("protocol=e131\nrepeat_ms=500\npackets_per_ms=1000\n"), kCid);
  Clocked run{s};
  s.SendProgram(OnePicture(Board()), 0, "127.0.0.1", 6666, 0, 1000);
  run.Until(1600);
  ASSERT_EQ(run.out.size(), 290u * 4);  // at 0, 500, 1000 and 1500 ms
  EXPECT_EQ(run.out[290].first, 500);
  EXPECT_EQ(run.out[3 * 290].first, 1500);
  auto d = DecodeE131Data(run.out[290 * 3 + 5].second.Bytes.data(), run.out[290 * 3 + 5].second.Bytes.size());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Universe, 6);
  EXPECT_EQ(d->Sequence, 4);
  EXPECT_EQ(run.notices.size(), 1u);
}

TEST(PixelSender, SecondSendDuringAFrameIsReportedWhenItsOwnFrameHasLeft) {
  PixelSender s(Config("protocol=ddp\npackets_per_ms=1\nrepeat_ms=0\nwidth=480\nheight=9\n"), kCid);
  Clocked run{s};
  s.SendProgram(OnePicture(Board(480, 9, 0)), 0, "127.0.0.1", 6666, 0, 1000);  // 9 packets
  run.Until(3);
  s.SendProgram(OnePicture(Board(480, 9, 7)), 0, "127.0.0.1", 6666, 3, 1000);
  run.Until(100);
  ASSERT_EQ(run.out.size(), 18u);
  ASSERT_EQ(run.notices.size(), 2u);
  EXPECT_EQ(run.notices[0].first, 8);
  EXPECT_EQ(run.out[9].first, 8);  // the second frame follows at once
  EXPECT_EQ(run.notices[1].first, 16);
  EXPECT_NE(run.notices[0].second.Seq, run.notices[1].second.Seq);
  plat::Raster back(480, 9);
  for (size_t i = 9; i < 18; ++i) {
    auto d = DecodeDdp(run.out[i].second.Bytes.data(), run.out[i].second.Bytes.size());
    PutChannels(back, {}, d->Offset, d->Data.data(), d->Data.size());
  }
  EXPECT_TRUE(back.SamePixels(Board(480, 9, 7)));
}

TEST(PixelSender, BrightnessScalesWhatIsSentAndIsAnswered) {
  PixelSender s(Config("protocol=ddp\nwidth=4\nheight=1\nrepeat_ms=0\n"), kCid);
  Clocked run{s};
  plat::Raster white(4, 1, plat::clWhite);
  s.SendProgram(OnePicture(white), 0, "127.0.0.1", 6666, 0, 1000);
  run.Until(10);
  Request r{led::kCmdSetBrightness, 0, 8, {}};
  s.Command(r, "127.0.0.1", 6666, 10);
  run.Until(20);
  ASSERT_EQ(run.out.size(), 2u);
  EXPECT_EQ(run.out[0].second.Bytes[10], 255);
  EXPECT_EQ(run.out[1].second.Bytes[10], 128);
  ASSERT_EQ(run.notices.size(), 2u);  // the send and the answer: the scaled frame is no send of its own
  const Notice& a = run.notices[1].second;
  EXPECT_EQ(a.Kind, led::kKindAnswer);
  EXPECT_EQ(a.Command, led::kCmdSetBrightness);
  EXPECT_EQ(a.Status, 0);
  EXPECT_EQ(a.Value, 8);
  // Outside the levels: refused, the level stays, nothing is sent again.
  r.Value = 17;
  s.Command(r, "127.0.0.1", 6666, 20);
  run.Until(30);
  EXPECT_EQ(run.out.size(), 2u);
  EXPECT_EQ(run.notices.back().second.Status, led::kStatusRejected);
  EXPECT_EQ(run.notices.back().second.Value, 8);
}

TEST(PixelSender, PowerOffSendsBlackAndStopsTheRepeatsUntilPowerOn) {
  PixelSender s(Config("protocol=ddp\nwidth=4\nheight=1\nrepeat_ms=100\n"), kCid);
  Clocked run{s};
  s.SendProgram(OnePicture(plat::Raster(4, 1, plat::clWhite)), 0, "127.0.0.1", 6666, 0, 1000);
  run.Until(250);  // at 0, 100, 200
  ASSERT_EQ(run.out.size(), 3u);
  s.Command({led::kCmdSetPower, 0, 0, {}}, "127.0.0.1", 6666, 250);
  run.Until(2000);
  ASSERT_EQ(run.out.size(), 4u);
  EXPECT_EQ(run.out[3].second.Bytes, std::vector<uint8_t>(EncodeDdp(0, run.out[3].second.Bytes[1], true,
                                                                    std::vector<uint8_t>(12, 0).data(), 12)));
  EXPECT_EQ(run.notices.back().second.Kind, led::kKindAnswer);
  EXPECT_EQ(run.notices.back().second.Value, 0);
  // A send while off shows black too and is reported.
  s.SendProgram(OnePicture(plat::Raster(4, 1, plat::clWhite)), 0, "127.0.0.1", 6666, 2000, 1000);
  run.Until(2500);
  ASSERT_EQ(run.out.size(), 5u);
  EXPECT_EQ(run.out[4].second.Bytes[10], 0);
  EXPECT_EQ(run.notices.back().second.Kind, led::kKindSendDone);
  s.Command({led::kCmdSetPower, 0, 1, {}}, "127.0.0.1", 6666, 2500);
  run.Until(2750);
  ASSERT_EQ(run.out.size(), 8u);  // at once, then the repeats again
  EXPECT_EQ(run.out[5].second.Bytes[10], 255);
  EXPECT_EQ(run.notices.back().second.Value, 1);
}

TEST(PixelSender, CommandsThatNeedTheScreensAnswerEndInTheTimeout) {
  PixelSender s(Config("protocol=e131\n"), kCid);
  Clocked run{s};
  for (int32_t c : {led::kCmdQuery, led::kCmdGetPower, led::kCmdGetBrightness, led::kCmdAdjustTime})
    s.Command({c, 0, 0, {}}, "127.0.0.1", 6666, 0);
  run.Until(1999);
  EXPECT_TRUE(run.notices.empty());
  EXPECT_TRUE(run.out.empty());
  run.Until(2000);
  ASSERT_EQ(run.notices.size(), 4u);
  for (const auto& [at, n] : run.notices) {
    EXPECT_EQ(n.Kind, led::kKindTimeout);
    EXPECT_EQ(n.Host, "127.0.0.1");
  }
  EXPECT_EQ(s.NextWakeup(), INT64_MAX);
}

TEST(PixelSender, TargetOutsideLoopbackIsRefusedAtOnceWhileTheGuardIsOn) {
  LedApiConfig c;
  std::string error;
  ASSERT_TRUE(ParseLedApiIni("[192.168.1.60]\nprotocol=e131\nuniverse=1\n", "ledapi.ini", c, error));
  PixelSender s(c, kCid);
  EXPECT_TRUE(s.Handles("192.168.1.60"));
  EXPECT_FALSE(s.Handles("127.0.0.1"));
  s.SendProgram(OnePicture(Board()), 0, "192.168.1.60", 6666, 0, 1000);
  EXPECT_TRUE(s.TakeOutgoing().empty());
  auto n = s.TakeNotices();
  ASSERT_EQ(n.size(), 1u);
  EXPECT_EQ(n[0].Kind, led::kKindTimeout);
  EXPECT_EQ(n[0].Host, "192.168.1.60");
  s.OnTimer(5000, 1000);
  EXPECT_TRUE(s.TakeOutgoing().empty());
}

TEST(PixelSender, SyncUniverseGoesIntoEveryDataPacketAndASyncPacketEndsTheFrame) {
  PixelSender s(Config("protocol=e131\nuniverse=10\nsync_universe=9\nwidth=340\nheight=1\n"), kCid);
  Clocked run{s};
  s.SendProgram(OnePicture(Board(340, 1)), 0, "127.0.0.1", 6666, 0, 1000);
  run.Until(50);
  ASSERT_EQ(run.out.size(), 3u);
  for (int i = 0; i < 2; ++i) {
    auto d = DecodeE131Data(run.out[i].second.Bytes.data(), run.out[i].second.Bytes.size());
    ASSERT_TRUE(d);
    EXPECT_EQ(d->SyncUniverse, 9);
  }
  auto sync = DecodeE131Sync(run.out[2].second.Bytes.data(), run.out[2].second.Bytes.size());
  ASSERT_TRUE(sync);
  EXPECT_EQ(sync->SyncUniverse, 9);
  EXPECT_EQ(run.notices.at(0).first, run.out[2].first);
}

TEST(PixelSender, ARunningClockIsSentAgainWhenItsSecondChanges) {
  PixelSender s(Config("protocol=ddp\nwidth=40\nheight=8\nrepeat_ms=0\n"), kCid);
  Program p;
  Page page;
  Window clock;
  clock.Type = WindowType::Clock;
  clock.Area = {0, 0, 40, 8};
  clock.Format = 3;
  clock.GlyphChars = kClockGlyphs;
  clock.Pixels = plat::Raster(13 * 3, 8);
  for (int g = 0; g < 13; ++g) {
    clock.GlyphWidths.push_back(3);
    clock.Pixels.FillRect({g * 3, 0, g * 3 + 1, g + 1}, plat::clWhite);  // each glyph its own height
  }
  page.Windows.push_back(clock);
  p.Pages.push_back(page);
  s.SendProgram(p, 0, "127.0.0.1", 6666, 0, 1000);
  s.OnTimer(1, 1000);
  size_t first = s.TakeOutgoing().size();
  EXPECT_EQ(first, 1u);
  s.OnTimer(500, 1000);
  EXPECT_TRUE(s.TakeOutgoing().empty());
  s.OnTimer(1000, 1001);
  EXPECT_EQ(s.TakeOutgoing().size(), 1u);
}

TEST(PixelSender, AbandonedByNewSettingsEverythingOutstandingIsReportedAsTimedOut) {
  PixelSender s(Config("protocol=e131\npackets_per_ms=1\n"), kCid);
  s.SendProgram(OnePicture(Board()), 0, "127.0.0.1", 6666, 0, 1000);  // on the wire
  s.SendProgram(OnePicture(Board()), 0, "127.0.0.1", 6666, 0, 1000);  // waiting for the next frame
  s.Command({led::kCmdQuery, 0, 0, {}}, "127.0.0.1", 6666, 0);
  s.Command({led::kCmdSetPower, 0, 1, {}}, "127.0.0.1", 6666, 0);     // answered at once
  auto n = s.Abandon();
  ASSERT_EQ(n.size(), 4u);
  EXPECT_EQ(n[0].Kind, led::kKindAnswer);
  for (size_t i = 1; i < n.size(); ++i) EXPECT_EQ(n[i].Kind, led::kKindTimeout) << i;
  s.OnTimer(10000, 1000);
  EXPECT_TRUE(s.TakeOutgoing().empty());
  EXPECT_TRUE(s.TakeNotices().empty());
}
