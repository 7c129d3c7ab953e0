#include "ledapi/core/protocol.h"

#include <gtest/gtest.h>

#include "ledapi/core/link_engine.h"
#include "ledapi/core/program.h"
#include "ledscreen/core/screen.h"

using namespace ledp;

namespace {

// One datagram of each type, session 1 and sequence number 1: a brightness
// request and its answer, a full chunk and the last one of a two-chunk
// program, and the acknowledgement that completes it.
const std::vector<uint8_t> kProgram(kChunkData + 100, 0x5A);
std::vector<std::vector<uint8_t>> OneOfEachType() {
  return {EncodeRequest(1, 1, {12, 0, 9, {}}), EncodeAnswer(1, 1, {12, 0, 9}),
          EncodeChunk(1, 1, kChunkData + 100, 0, 2, kProgram.data(), kChunkData),
          EncodeChunk(1, 1, kChunkData + 100, 1, 2, kProgram.data() + kChunkData, 100),
          EncodeChunkAck(1, 1, {2, true, 0, {0x03}})};
}

// The datagram a byte longer or shorter at the end, with its checksum made good.
std::vector<uint8_t> Resized(std::vector<uint8_t> d, int by) {
  if (by > 0) d.push_back(0);
  else d.pop_back();
  Reseal(d.data(), d.size());
  return d;
}

}  // namespace

TEST(Protocol, EveryPacketTypeRoundTrips) {
  Request r{10, 3, 1, {2024, 2, 29, 23, 59, 58}};
  auto p = Decode(EncodeRequest(7, 9, r).data(), EncodeRequest(7, 9, r).size());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Kind, Type::Request);
  EXPECT_EQ(p->Session, 7u);
  EXPECT_EQ(p->Seq, 9u);
  EXPECT_EQ(p->Req.Command, 10);
  EXPECT_EQ(p->Req.Address, 3);
  EXPECT_EQ(p->Req.Value, 1);
  EXPECT_EQ(p->Req.Clock, r.Clock);

  auto a = EncodeAnswer(1, 2, {12, 99, -5});
  p = Decode(a.data(), a.size());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Kind, Type::Answer);
  EXPECT_EQ(p->Ans.Command, 12);
  EXPECT_EQ(p->Ans.Status, 99);
  EXPECT_EQ(p->Ans.Value, -5);

  std::vector<uint8_t> data(kChunkData, 0xAB);
  auto c = EncodeChunk(1, 2, 3000, 1, 3, data.data(), data.size());
  EXPECT_LE(c.size(), kMaxDatagram);
  p = Decode(c.data(), c.size());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Piece.TotalLength, 3000u);
  EXPECT_EQ(p->Piece.Index, 1);
  EXPECT_EQ(p->Piece.Count, 3);
  EXPECT_EQ(p->Piece.Size, kChunkData);
  EXPECT_EQ(p->Piece.Data[0], 0xAB);

  ChunkAck ack{11, false, 0, {0x05, 0x04}};
  auto k = EncodeChunkAck(1, 2, ack);
  p = Decode(k.data(), k.size());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->Ack.Count, 11);
  EXPECT_TRUE(p->Ack.Has(0));
  EXPECT_FALSE(p->Ack.Has(1));
  EXPECT_TRUE(p->Ack.Has(2));
  EXPECT_TRUE(p->Ack.Has(10));
  EXPECT_FALSE(p->Ack.Has(11));
}

TEST(Protocol, AnyDamagedTruncatedOrResizedDatagramOfAnyTypeIsDropped) {
  for (const std::vector<uint8_t>& d : OneOfEachType()) {
    SCOPED_TRACE(static_cast<int>(d[5]));
    ASSERT_TRUE(Decode(d.data(), d.size()));
    for (size_t i = 0; i < d.size(); ++i) {
      for (uint8_t bit : {0x01, 0x80}) {
        auto bad = d;
        bad[i] ^= bit;
        EXPECT_FALSE(Decode(bad.data(), bad.size())) << "byte " << i;
      }
    }
    for (size_t n = 0; n < d.size(); ++n) EXPECT_FALSE(Decode(d.data(), n)) << n;
    for (int by : {1, -1}) {
      const auto e = Resized(d, by);
      EXPECT_FALSE(Decode(e.data(), e.size())) << by;
    }
  }
  EXPECT_FALSE(Decode(nullptr, 0));
}

TEST(Protocol, BothEndsIgnoreADatagramAByteLongOrShort) {
  const auto d = OneOfEachType();
  const Endpoint link{0x7F000001, 8888}, screenAt{0x7F000001, 6666};
  // The screen neither answers nor acts on a request or chunk a byte off.
  ledscreen::Screen screen{ledscreen::ScreenConfig{}};
  for (int k : {0, 2, 3})
    for (int by : {1, -1}) {
      const auto e = Resized(d[k], by);
      screen.OnDatagram(e.data(), e.size(), link, 0, 0);
    }
  EXPECT_TRUE(screen.TakeReplies().empty());
  EXPECT_EQ(screen.Brightness(), 16);
  screen.OnDatagram(d[0].data(), d[0].size(), link, 0, 0);
  EXPECT_EQ(screen.TakeReplies().size(), 1u);
  EXPECT_EQ(screen.Brightness(), 9);

  // The link takes neither an answer nor an acknowledgement a byte off.
  LinkEngine commands(1), sends(1);
  commands.Command({12, 0, 9, {}}, "127.0.0.1", 6666, 0);
  sends.SendProgram(kProgram, 0, "127.0.0.1", 6666, 0);
  for (int by : {1, -1}) {
    const auto answer = Resized(d[1], by), ack = Resized(d[4], by);
    commands.OnDatagram(answer.data(), answer.size(), screenAt, 1);
    sends.OnDatagram(ack.data(), ack.size(), screenAt, 1);
  }
  EXPECT_TRUE(commands.TakeNotices().empty());
  EXPECT_TRUE(sends.TakeNotices().empty());
  commands.OnDatagram(d[1].data(), d[1].size(), screenAt, 1);
  sends.OnDatagram(d[4].data(), d[4].size(), screenAt, 1);
  EXPECT_EQ(commands.TakeNotices().size(), 1u);
  EXPECT_EQ(sends.TakeNotices().size(), 1u);
}

TEST(Protocol, SoundChecksumButInconsistentFieldsAreDropped) {
  auto resealed = [](std::vector<uint8_t> d, size_t at, uint8_t v) {
    d[at] = v;
    Reseal(d.data(), d.size());
    return Decode(d.data(), d.size()).has_value();
  };
  auto req = EncodeRequest(1, 1, {4, 0, 0, {}});
  EXPECT_TRUE(resealed(req, 12, 5));    // another sequence number is fine
  EXPECT_FALSE(resealed(req, 4, 2));    // version 2
  EXPECT_FALSE(resealed(req, 5, 0x7F)); // unknown type
  EXPECT_FALSE(resealed(req, 6, 1));    // reserved bits

  std::vector<uint8_t> data(100, 1);
  auto last = EncodeChunk(1, 1, kChunkData + 100, 1, 2, data.data(), data.size());
  EXPECT_TRUE(Decode(last.data(), last.size()));
  EXPECT_FALSE(resealed(last, 20 + 6, 3));  // count does not match the total
  EXPECT_FALSE(resealed(last, 20 + 4, 2));  // index past the count
  EXPECT_FALSE(resealed(last, 20 + 4, 0));  // first chunk must be full size
  auto zero = EncodeChunk(1, 1, 0, 0, 0, nullptr, 0);
  EXPECT_FALSE(Decode(zero.data(), zero.size()));
  auto huge = EncodeChunk(1, 1, kMaxProgramBytes + 1, 0, 1, data.data(), data.size());
  EXPECT_FALSE(Decode(huge.data(), huge.size()));

  auto ack = EncodeChunkAck(1, 1, {3, false, 0, {0x07}});
  EXPECT_TRUE(Decode(ack.data(), ack.size()));
  EXPECT_FALSE(resealed(ack, ack.size() - 1, 0x0F));  // a bit past the last chunk
  EXPECT_FALSE(resealed(ack, 22, 2));                  // done flag other than 0/1
}

TEST(Protocol, BoardPictureFitsDatagramsOfEthernetSize) {
  // A 512 x 96 picture window in a one-page program.
  Program prog;
  prog.Pages.push_back({200000, {}});
  Window w;
  w.Area = {0, 0, 512, 96};
  w.Pixels = plat::Raster(512, 96, plat::clYellow);
  prog.Pages[0].Windows.push_back(std::move(w));
  auto blob = SerializeProgram(prog);
  EXPECT_GT(blob.size(), 512u * 96u * 3u);
  const uint32_t count = ChunkCountFor(static_cast<uint32_t>(blob.size()));
  EXPECT_EQ(count, 106u);
  auto first = EncodeChunk(1, 1, static_cast<uint32_t>(blob.size()), 0, static_cast<uint16_t>(count), blob.data(),
                           kChunkData);
  EXPECT_LE(first.size(), kMaxDatagram);
  ChunkAck full{static_cast<uint16_t>(kMaxChunks), true, 0, std::vector<uint8_t>((kMaxChunks + 7) / 8, 0)};
  EXPECT_LE(EncodeChunkAck(1, 1, full).size(), kMaxDatagram);
}

TEST(Protocol, IPv4TextIsStrict) {
  EXPECT_EQ(ParseIPv4("127.0.0.1"), 0x7F000001u);
  EXPECT_EQ(ParseIPv4("192.168.1.99"), 0xC0A80163u);
  EXPECT_EQ(ParseIPv4("0.0.0.0"), 0u);
  for (const char* bad : {"", "127.0.0", "127.0.0.1.", "127.0.0.256", "127.0.0.1 ", " 127.0.0.1", "a.b.c.d",
                          "1..2.3", "0127.0.0.1", "localhost", "127.0.0.-1"})
    EXPECT_FALSE(ParseIPv4(bad)) << bad;
  EXPECT_EQ(FormatIPv4(0x7F000001u), "127.0.0.1");
  EXPECT_TRUE(IsLoopback(0x7F0000FFu));
  EXPECT_FALSE(IsLoopback(0xC0A80163u));
}
