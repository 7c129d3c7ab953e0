// The authenticated protocol end to end: a keyed link engine against a keyed
// screen core over the simulated network, and what the screen does with
// datagrams that are not what they claim to be.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <random>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"
#include "ledapi/tests/support/sim_net.h"
#include "screenlink/core/led_records.h"

using namespace ledp;

namespace {

crypto::Key MakeKey(uint8_t seed) {
  crypto::Key k;
  for (size_t i = 0; i < k.size(); ++i) k[i] = static_cast<uint8_t>(seed * 31 + i * 7);
  return k;
}

plat::Raster Board(uint32_t seed, bool noise = true) {
  plat::Raster r(512, 96);
  std::mt19937 rng(seed);
  for (int y = 0; y < 96; ++y)
    for (int x = 0; x < 512; ++x) r.SetPixel(x, y, noise || (x / 64 + y / 32) % 2 ? rng() & 0xFFFFFF : 0);
  return r;
}

// The board as a program, before and after packing.
std::vector<uint8_t> Unpacked(const plat::Raster& board) {
  Program p;
  p.Pages.push_back({200000, {}});
  Window w;
  w.Area = {0, 0, 512, 96};
  w.Pixels = board;
  p.Pages[0].Windows.push_back(std::move(w));
  return SerializeProgram(p);
}

std::vector<uint8_t> BoardProgram(const plat::Raster& board) { return PackProgram(Unpacked(board)); }

Request Cmd(int32_t command, int32_t value = 0) {
  Request r;
  r.Command = command;
  r.Value = value;
  return r;
}

ledscreen::ScreenConfig Keyed(const crypto::Key& k) {
  ledscreen::ScreenConfig cfg;
  cfg.Key = k;
  return cfg;
}

bool Logged(const std::vector<std::string>& log, const std::string& what) {
  return std::any_of(log.begin(), log.end(), [&](const std::string& l) { return l.find(what) != std::string::npos; });
}

struct Rig {
  explicit Rig(ledscreen::ScreenConfig cfg, simnet::Faults f = {}, uint32_t seed = 1)
      : screen(cfg), net(link, screen, f, seed) {
    net.Tap = [this](const std::vector<uint8_t>& d) { sent.push_back(d); };
  }
  LinkEngine link{0xC0FFEE};
  ledscreen::Screen screen;
  simnet::Net net;
  std::vector<std::vector<uint8_t>> sent;  // everything the link put on the wire
  std::vector<std::string> log;

  void Run(int64_t until = 100000) {
    net.Run(until);
    for (auto& l : screen.TakeLog()) log.push_back(std::move(l));
  }
  // Feeds datagrams straight to the screen; returns how many it answered.
  size_t Inject(const std::vector<std::vector<uint8_t>>& datagrams, int64_t now) {
    size_t answers = 0;
    for (const auto& d : datagrams) {
      screen.OnDatagram(d.data(), d.size(), net.LinkEp, now, 0);
      answers += screen.TakeReplies().size();
    }
    for (auto& l : screen.TakeLog()) log.push_back(std::move(l));
    return answers;
  }
};

// A screen whose display path is faulty: one pixel comes out different.
class OnePixelOff : public ledscreen::Screen {
 public:
  using Screen::Screen;

 protected:
  void Show(Program p, int64_t nowMs) override {
    plat::Raster& px = p.Pages.at(0).Windows.at(0).Pixels;
    px.SetPixel(3, 4, px.Pixel(3, 4) ^ 1);
    Screen::Show(std::move(p), nowMs);
  }
};

}  // namespace

TEST(AuthLink, KeyedSendsAndCommandsCompleteUnderLossAndAreAllAuthenticated) {
  const crypto::Key key = MakeKey(1);
  for (uint32_t seed = 1; seed <= 8; ++seed) {
    SCOPED_TRACE(seed);
    Rig rig(Keyed(key), {0.2, 0.2, 0.1, 0.1}, seed);
    const plat::Raster board = Board(seed);
    // Half of them as the library sends, with the program it packed.
    if (seed % 2) rig.link.SendProgram(BoardProgram(board), 0, "127.0.0.1", 6666, 0, &key);
    else rig.link.SendProgram(BoardProgram(board), 0, "127.0.0.1", 6666, 0, &key, Unpacked(board));
    rig.link.Command(Cmd(led::kCmdSetBrightness, 7), "127.0.0.1", 6666, 0, &key);
    rig.Run();
    ASSERT_EQ(rig.net.Notices.size(), 2u);
    for (const Notice& n : rig.net.Notices) {
      EXPECT_EQ(n.Kind, n.Command == led::kCmdSend ? led::kKindSendDone : led::kKindAnswer);
      EXPECT_EQ(n.Status, led::kStatusOk);
    }
    EXPECT_LT(rig.net.Now, 2000);
    rig.screen.Render(rig.net.Now, 0);
    EXPECT_TRUE(rig.screen.Picture().SamePixels(board));
    EXPECT_EQ(rig.screen.Brightness(), 7);
    for (const auto& d : rig.sent) {
      ASSERT_GE(d.size(), auth::kMinDatagram);
      EXPECT_EQ(d[4], auth::kVersion);
    }
    EXPECT_EQ(rig.screen.Sessions(), 1u);  // one opening, however many datagrams were lost
  }
}

TEST(AuthLink, WithoutAKeyOnEitherEndTheWireIsTheVersionOneProtocol) {
  Rig rig({});
  Request r = Cmd(led::kCmdSetBrightness, 5);
  rig.link.Command(r, "127.0.0.1", 6666, 0);
  rig.Run();
  ASSERT_EQ(rig.net.Notices.size(), 1u);
  EXPECT_EQ(rig.net.Notices[0].Kind, led::kKindAnswer);
  // The request of session 0xC0FFEE, #1, byte for byte as before there were
  // keys (checksum by zlib's crc32 of the layout in docs/protocol.md).
  const std::vector<uint8_t> expect = {
      'L', 'E', 'D', 'P', 1, 0x01, 0, 0, 0xEE, 0xFF, 0xC0, 0, 1, 0, 0, 0, 0xd6, 0x12, 0xa7, 0xe2,
      12, 0, 0, 0, 0, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  ASSERT_EQ(rig.sent.size(), 1u);
  EXPECT_EQ(rig.sent[0], expect);
}

TEST(AuthLink, AKeyedScreenAnswersNothingUnauthenticatedOrUnderAnotherKey) {
  const crypto::Key key = MakeKey(1), other = MakeKey(2);
  for (const crypto::Key* linkKey : {static_cast<const crypto::Key*>(nullptr), &other}) {
    Rig rig(Keyed(key));
    rig.link.Command(Cmd(led::kCmdSetPower, 0), "127.0.0.1", 6666, 0, linkKey);
    rig.link.SendProgram(BoardProgram(Board(3)), 0, "127.0.0.1", 6666, 0, linkKey);
    rig.Run();
    ASSERT_EQ(rig.net.Notices.size(), 2u);
    for (const Notice& n : rig.net.Notices) EXPECT_EQ(n.Kind, led::kKindTimeout);
    EXPECT_EQ(rig.net.ToLink, 0);  // not a single datagram back
    EXPECT_TRUE(rig.screen.Power());
    EXPECT_FALSE(rig.screen.HasProgram());
    EXPECT_TRUE(Logged(rig.log, linkKey ? "not this screen's key" : "unauthenticated (this screen has a key)"));
  }
  // And a keyed link does not take a plain screen's answers for authenticated ones.
  Rig plain({});
  plain.link.Command(Cmd(led::kCmdQuery), "127.0.0.1", 6666, 0, &key);
  plain.Run();
  ASSERT_EQ(plain.net.Notices.size(), 1u);
  EXPECT_EQ(plain.net.Notices[0].Kind, led::kKindTimeout);
}

TEST(AuthLink, ForgedTruncatedForeignAndPastDatagramsAreDroppedUnansweredAndLogged) {
  const crypto::Key key = MakeKey(1);
  Rig rig(Keyed(key));
  rig.link.Command(Cmd(led::kCmdGetPower), "127.0.0.1", 6666, 0, &key);
  rig.Run();
  ASSERT_EQ(rig.net.Notices.size(), 1u);
  ASSERT_EQ(rig.sent.size(), 2u);  // the open and the request
  const std::vector<uint8_t> request = rig.sent[1];
  auto h = auth::PeekHeader(request.data(), request.size());
  ASSERT_TRUE(h);

  rig.screen.OnDatagram(rig.sent[0].data(), rig.sent[0].size(), rig.net.LinkEp, 1, 0);  // a replayed open
  EXPECT_TRUE(rig.screen.TakeReplies().empty());

  // The test has the screen's key, so it can open a session of its own (a
  // chosen link nonce) and make every kind of fake under that session's key.
  Nonce mine{};
  mine.fill(0x5A);
  const uint32_t session = 0x1234567;
  auto open = auth::EncodeOpen(session, mine, crypto::Hmac(key));
  rig.screen.OnDatagram(open.data(), open.size(), rig.net.LinkEp, 2, 0);
  auto replies = rig.screen.TakeReplies();
  ASSERT_EQ(replies.size(), 1u);
  auto ack = auth::Decode(replies[0].Bytes.data(), replies[0].Bytes.size());
  ASSERT_TRUE(ack && ack->Kind == Type::OpenAck && ack->LinkNonce == mine);
  crypto::Hmac ours = auth::SessionKey(key, session, mine, ack->ScreenNonce);
  ASSERT_TRUE(auth::MacValid(ours, replies[0].Bytes.data(), replies[0].Bytes.size()));
  rig.log.clear();
  (void)rig.screen.TakeLog();

  const Request off = Cmd(led::kCmdSetPower, 0);
  std::vector<std::vector<uint8_t>> fakes;
  // Right layout, MAC of another key.
  fakes.push_back(auth::EncodeRequest(session, 1, 1, 0, off, crypto::Hmac(MakeKey(9))));
  // Right layout and key, one body byte changed afterwards.
  auto changed = auth::EncodeRequest(session, 1, 2, 0, Cmd(led::kCmdSetPower, 1), ours);
  changed[auth::kHeaderSize + 8] = 0;
  fakes.push_back(changed);
  // The right MAC, truncated to 8 bytes; and with its last 8 bytes missing.
  auto full = auth::EncodeRequest(session, 1, 3, 0, off, ours);
  fakes.push_back(std::vector<uint8_t>(full.begin(), full.end() - 8));
  // The MAC of the link's own session on a datagram of ours.
  auto foreign = auth::EncodeRequest(session, 1, 4, 0, off, ours);
  std::copy(request.end() - auth::kMacSize, request.end(), foreign.end() - auth::kMacSize);
  fakes.push_back(foreign);
  // Our session's datagram under the link's session number.
  fakes.push_back(auth::EncodeRequest(h->Session + 1, 1, 5, 0, off, ours));
  // A plain-protocol request (right checksum).
  fakes.push_back(EncodeRequest(session, 1, off));
  EXPECT_EQ(rig.Inject(fakes, 3), 0u);
  EXPECT_TRUE(rig.screen.Power());
  for (const char* why : {"wrong or truncated MAC", "session not opened here", "unauthenticated"})
    EXPECT_TRUE(Logged(rig.log, why)) << why;

  // Counters: one accepted, then the same again and one from before the window.
  EXPECT_EQ(rig.Inject({auth::EncodeRequest(session, 2, 3000, 0, Cmd(led::kCmdGetPower), ours)}, 4), 1u);
  EXPECT_EQ(rig.Inject({auth::EncodeRequest(session, 3, 3000, 0, off, ours),
                        auth::EncodeRequest(session, 3, 3000 - auth::ReplayWindow::kSpan, 0, off, ours),
                        request},
                       5),
            0u);
  EXPECT_TRUE(rig.screen.Power());
  EXPECT_TRUE(Logged(rig.log, "counter 3000 already seen"));
  EXPECT_TRUE(Logged(rig.log, "counter 1976 already seen or too old"));
  // Within the window, out of order, is fine: retransmissions overtake.
  EXPECT_EQ(rig.Inject({auth::EncodeRequest(session, 3, 2990, 0, off, ours)}, 6), 1u);
  EXPECT_FALSE(rig.screen.Power());
}

TEST(AuthLink, AReplayedWholeSendShowsNothingAfterItFinishedOrAfterARestart) {
  const crypto::Key key = MakeKey(1);
  Rig rig(Keyed(key), {0.2, 0.2, 0.1, 0.1}, 4);
  const plat::Raster first = Board(1, false), second = Board(2, false);
  rig.link.SendProgram(BoardProgram(first), 0, "127.0.0.1", 6666, 0, &key);
  rig.Run();
  const auto recording = rig.sent;  // the whole send, retransmissions and all
  ASSERT_EQ(rig.net.Notices.size(), 1u);
  ASSERT_EQ(rig.net.Notices[0].Kind, led::kKindSendDone);
  rig.link.SendProgram(BoardProgram(second), 0, "127.0.0.1", 6666, rig.net.Now, &key);
  rig.Run();
  ASSERT_EQ(rig.net.Notices.size(), 2u);
  rig.log.clear();

  EXPECT_EQ(rig.Inject(recording, rig.net.Now + 10), 0u);
  rig.screen.Render(rig.net.Now + 10, 0);
  EXPECT_TRUE(rig.screen.Picture().SamePixels(second));
  EXPECT_TRUE(Logged(rig.log, "replayed open"));
  EXPECT_TRUE(Logged(rig.log, "already seen"));

  // After a restart the screen has forgotten every nonce. It answers the
  // recorded open, as it would any link's, with a nonce of its own, so the
  // recorded chunks carry MACs of a session key it never uses.
  ledscreen::Screen restarted(Keyed(key));
  rig.net.Attach(restarted);
  std::vector<std::vector<uint8_t>> answers;
  for (const auto& d : recording) {
    restarted.OnDatagram(d.data(), d.size(), rig.net.LinkEp, 0, 0);
    for (auto& r : restarted.TakeReplies()) answers.push_back(std::move(r.Bytes));
  }
  for (const auto& a : answers) EXPECT_EQ(a[5], static_cast<uint8_t>(Type::OpenAck));
  EXPECT_FALSE(restarted.HasProgram());
  EXPECT_TRUE(Logged(restarted.TakeLog(), "wrong or truncated MAC"));

  // The link notices the new screen has no session of its and opens one.
  rig.link.Command(Cmd(led::kCmdQuery), "127.0.0.1", 6666, rig.net.Now, &key);
  const int64_t asked = rig.net.Now;
  rig.Run();
  ASSERT_EQ(rig.net.Notices.size(), 3u);
  EXPECT_EQ(rig.net.Notices[2].Kind, led::kKindAnswer);
  EXPECT_LT(rig.net.Now - asked, 2000);
}

TEST(AuthLink, AScreenShowingSomethingElseFailsTheSend) {
  const crypto::Key key = MakeKey(1);
  // The link's digest unpacked from what it sends, or of the program it
  // packed, as the library gives it: either way the fault is seen.
  for (bool givenUnpacked : {false, true}) {
    SCOPED_TRACE(givenUnpacked);
    OnePixelOff faulty(Keyed(key));
    LinkEngine link(7);
    simnet::Net net(link, faulty);
    if (givenUnpacked) link.SendProgram(BoardProgram(Board(6)), 0, "127.0.0.1", 6666, 0, &key, Unpacked(Board(6)));
    else link.SendProgram(BoardProgram(Board(6)), 0, "127.0.0.1", 6666, 0, &key);
    net.Run(10000);
    ASSERT_EQ(net.Notices.size(), 1u);
    EXPECT_EQ(net.Notices[0].Kind, led::kKindTimeout);  // never "send finished"
    EXPECT_EQ(net.Notices[0].Host, "127.0.0.1");
    EXPECT_LT(net.Now, 100);                           // said when the screen answered, not at the bound
  }

  // The plain protocol cannot tell: the same fault passes as done.
  OnePixelOff plain(ledscreen::ScreenConfig{});
  LinkEngine old(8);
  simnet::Net net2(old, plain);
  old.SendProgram(BoardProgram(Board(6)), 0, "127.0.0.1", 6666, 0);
  net2.Run(10000);
  ASSERT_EQ(net2.Notices.size(), 1u);
  EXPECT_EQ(net2.Notices[0].Kind, led::kKindSendDone);
}

// The link hashes the program it expects back a slice at a time while it
// waits for answers: however fine the slices, however many of them it gets
// between datagrams (often too few to finish before the final answer) and
// whatever the network loses, repeats or reorders, a send the screen shows
// as sent is finished and one it shows otherwise is not.
TEST(AuthLink, TheDigestHashedInSlicesWhileTheLinkWaitsIsThatOfTheProgramSent) {
  const crypto::Key key = MakeKey(1);
  for (size_t slice : {size_t{1}, size_t{1000}, size_t{16384}, size_t{1} << 20}) {
    for (uint32_t seed = 1; seed <= 3; ++seed) {
      SCOPED_TRACE(testing::Message() << "slice " << slice << ", seed " << seed);
      const plat::Raster board = Board(seed, seed != 2);
      const simnet::Faults lossy{0.2, 0.2, 0.1, 0.3};
      Rig rig(Keyed(key), lossy, seed);
      rig.net.IdleSlice = slice;
      rig.link.SendProgram(BoardProgram(board), 0, "127.0.0.1", 6666, 0, &key, Unpacked(board));
      rig.Run();
      ASSERT_EQ(rig.net.Notices.size(), 1u);
      EXPECT_EQ(rig.net.Notices[0].Kind, led::kKindSendDone);
      EXPECT_FALSE(rig.link.OnIdle());  // nothing left to do once it is done

      OnePixelOff faulty(Keyed(key));
      LinkEngine link(9);
      simnet::Net net(link, faulty, lossy, seed);
      net.IdleSlice = slice;
      link.SendProgram(BoardProgram(board), 0, "127.0.0.1", 6666, 0, &key, Unpacked(board));
      net.Run(100000);
      ASSERT_EQ(net.Notices.size(), 1u);
      EXPECT_EQ(net.Notices[0].Kind, led::kKindTimeout);
    }
  }
}

// A keyed window opens with its first chunk alone, so that the screen can
// start on it while the link MACs the rest. The rest follows as soon as the
// driver lets it out; a driver that does not still gets every send through,
// the rest going out with the first acknowledgement.
TEST(AuthLink, AKeyedWindowOpensWithItsFirstChunkAndTheRestFollows) {
  const crypto::Key key = MakeKey(1);
  const plat::Raster board = Board(5);  // noise: far more chunks than a window
  const std::vector<uint8_t> packed = BoardProgram(board);
  const size_t window = std::min<size_t>(EngineConfig{}.Window, ChunkCountFor(static_cast<uint32_t>(packed.size())));
  ASSERT_GT(window, 2u);
  {
    ledscreen::Screen screen(Keyed(key));
    LinkEngine link(3);
    const Endpoint me{0x7F000001, 8888}, it{0x7F000001, 6666};
    link.SendProgram(packed, 0, "127.0.0.1", 6666, 0, &key, Unpacked(board));
    const auto open = link.TakeOutgoing();
    ASSERT_EQ(open.size(), 1u);
    EXPECT_FALSE(link.LetOutWindows(0));  // nothing under way before the session opens
    screen.OnDatagram(open[0].Bytes.data(), open[0].Bytes.size(), me, 1, 0);
    for (auto& r : screen.TakeReplies()) link.OnDatagram(r.Bytes.data(), r.Bytes.size(), it, 1);
    EXPECT_EQ(link.TakeOutgoing().size(), 1u);
    ASSERT_TRUE(link.LetOutWindows(1));
    EXPECT_EQ(link.TakeOutgoing().size(), window - 1);
    EXPECT_FALSE(link.LetOutWindows(1));
  }
  {
    LinkEngine plain(4);
    plain.SendProgram(packed, 0, "127.0.0.1", 6666, 0);
    EXPECT_EQ(plain.TakeOutgoing().size(), window);  // a plain window opens whole, as it always has
  }
  for (uint32_t seed = 1; seed <= 4; ++seed) {
    SCOPED_TRACE(seed);
    Rig rig(Keyed(key), {0.2, 0.2, 0.1, 0.1}, seed);
    rig.net.LetsOutWindows = false;
    rig.link.SendProgram(packed, 0, "127.0.0.1", 6666, 0, &key, Unpacked(board));
    rig.Run();
    ASSERT_EQ(rig.net.Notices.size(), 1u);
    EXPECT_EQ(rig.net.Notices[0].Kind, led::kKindSendDone);
    rig.screen.Render(rig.net.Now, 0);
    EXPECT_TRUE(rig.screen.Picture().SamePixels(board));
  }
}

// The screen hashes a program as its chunks arrive in order, holding back
// those that come early: whatever the order, repeats and gaps, the digest in
// its final answer is that of the whole program at once, and a program that
// stops unpacking half-way is refused, not shown.
TEST(AuthLink, TheShownDigestIsThatOfTheWholeProgramWhateverOrderItsChunksCameIn) {
  const crypto::Key key = MakeKey(1);
  ledscreen::Screen screen(Keyed(key));
  const Endpoint link{0x7F000001, 8888};
  Nonce mine{};
  mine.fill(0x33);
  const uint32_t session = 0x5151;
  auto open = auth::EncodeOpen(session, mine, crypto::Hmac(key));
  screen.OnDatagram(open.data(), open.size(), link, 0, 0);
  auto opened = screen.TakeReplies();
  ASSERT_EQ(opened.size(), 1u);
  auto ack = auth::Decode(opened[0].Bytes.data(), opened[0].Bytes.size());
  ASSERT_TRUE(ack);
  const crypto::Hmac mac = auth::SessionKey(key, session, mine, ack->ScreenNonce);

  uint64_t counter = 0;
  uint32_t seq = 0;
  std::mt19937 rng(5);
  // Sends the chunks of `blob` in `order`; the final acknowledgement.
  auto deliver = [&](const std::vector<uint8_t>& blob, const std::vector<unsigned>& order) {
    ++seq;
    const auto count = static_cast<uint16_t>(ChunkCountFor(static_cast<uint32_t>(blob.size())));
    std::optional<Packet> last;
    for (unsigned i : order) {
      const size_t at = size_t{i} * kChunkData;
      auto d = auth::EncodeChunk(session, seq, ++counter, 0, static_cast<uint32_t>(blob.size()),
                                 static_cast<uint16_t>(i), count, blob.data() + at,
                                 std::min(kChunkData, blob.size() - at), mac);
      screen.OnDatagram(d.data(), d.size(), link, 1, 0);
      for (auto& r : screen.TakeReplies()) {
        auto p = auth::Decode(r.Bytes.data(), r.Bytes.size());
        if (p && p->Ack.Done) last = p;
      }
    }
    return last;
  };

  for (bool noise : {false, true}) {
    const Program program = [&] {
      Program p;
      p.Pages.push_back({200000, {}});
      Window w;
      w.Area = {0, 0, 512, 96};
      w.Pixels = Board(noise ? 11 : 12, noise);
      p.Pages[0].Windows.push_back(std::move(w));
      return p;
    }();
    const std::vector<uint8_t> raw = SerializeProgram(program);
    const std::vector<uint8_t> blob = PackProgram(raw);
    const crypto::Digest whole = crypto::Sha256(raw.data(), raw.size());
    const unsigned count = ChunkCountFor(static_cast<uint32_t>(blob.size()));
    ASSERT_GE(count, 10u);
    std::vector<unsigned> inOrder(count);
    for (unsigned i = 0; i < count; ++i) inOrder[i] = i;
    std::vector<unsigned> reversed(inOrder.rbegin(), inOrder.rend());  // nothing unpacks before the last
    std::vector<unsigned> shuffled;  // every chunk once to three times, anywhere
    for (unsigned i = 0; i < count; ++i) shuffled.insert(shuffled.end(), 1 + rng() % 3, i);
    std::shuffle(shuffled.begin(), shuffled.end(), rng);
    std::vector<unsigned> gaps = inOrder;  // the odd ones late, some of them twice
    std::stable_partition(gaps.begin(), gaps.end(), [](unsigned i) { return i % 2 == 0; });
    gaps.insert(gaps.begin() + count / 2, {1u, 1u, 3u});
    const std::vector<unsigned>* orders[] = {&inOrder, &reversed, &shuffled, &gaps};
    for (size_t o = 0; o < std::size(orders); ++o) {
      SCOPED_TRACE(testing::Message() << (noise ? "noise" : "text") << ", order " << o);
      auto done = deliver(blob, *orders[o]);
      ASSERT_TRUE(done);
      EXPECT_EQ(done->Ack.Status, led::kStatusOk);
      ASSERT_TRUE(done->Ack.HasDigest);
      EXPECT_EQ(done->Ack.Shown, whole);
      EXPECT_EQ(screen.ShownDigest(), whole);
    }

    // One chunk changed on the way (with a valid MAC: a link's fault): the
    // stream stops making sense there and the program is refused.
    std::vector<uint8_t> broken = blob;
    for (size_t i = 0; i < 64; ++i) broken[kChunkData * 3 + i] ^= 0x5A;
    auto done = deliver(broken, shuffled);
    ASSERT_TRUE(done);
    EXPECT_EQ(done->Ack.Status, led::kStatusRejected);
    EXPECT_EQ(screen.ShownDigest(), whole);  // still showing the last good one
  }
}

TEST(AuthLink, ManyOpenedSessionsStayBoundedAndALinkStillGetsThrough) {
  const crypto::Key key = MakeKey(1);
  Rig rig(Keyed(key));
  crypto::Hmac longKey(key);
  for (uint32_t i = 0; i < 5000; ++i) {
    Nonce n{};
    std::memcpy(n.data(), &i, sizeof i);
    auto open = auth::EncodeOpen(i + 1, n, longKey);
    rig.screen.OnDatagram(open.data(), open.size(), {0x7F000001, static_cast<uint16_t>(1000 + i % 50)}, i, 0);
    rig.screen.TakeReplies();
  }
  EXPECT_LE(rig.screen.Sessions(), ledscreen::Screen::kMaxSessions);
  (void)rig.screen.TakeLog();
  rig.link.Command(Cmd(led::kCmdQuery), "127.0.0.1", 6666, 6000, &key);
  rig.net.Now = 6000;
  rig.Run();
  ASSERT_EQ(rig.net.Notices.size(), 1u);
  EXPECT_EQ(rig.net.Notices[0].Kind, led::kKindAnswer);
}

TEST(AuthLink, ReplayWindowTakesEachCounterOnceWithinItsSpan) {
  auth::ReplayWindow w;
  EXPECT_FALSE(w.Fresh(0));
  for (uint64_t c : {5u, 3u, 4u, 1u, 2000u, 1500u}) {
    ASSERT_TRUE(w.Fresh(c)) << c;
    w.Mark(c);
    EXPECT_FALSE(w.Fresh(c)) << c;
  }
  EXPECT_FALSE(w.Fresh(2000 - auth::ReplayWindow::kSpan));  // fell out of the window
  EXPECT_TRUE(w.Fresh(2000 - auth::ReplayWindow::kSpan + 1));
  EXPECT_FALSE(w.Fresh(1500));  // still inside: remembered
  w.Mark(1000000);              // a jump past the whole window forgets everything in it
  EXPECT_FALSE(w.Fresh(2000));
  EXPECT_TRUE(w.Fresh(1000000 - 5));
}
