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

namespace {

// Whether the datagram still decodes with byte `at` set to `v` and its
// checksum made good again.
bool DecodesWith(std::vector<uint8_t> d, size_t at, uint8_t v) {
  d[at] = v;
  Reseal(d.data(), d.size());
  return Decode(d.data(), d.size()).has_value();
}

std::vector<uint8_t> ChunkWith(uint32_t total, uint16_t index, uint16_t count, size_t size) {
  const std::vector<uint8_t> data(size, 0x11);
  return EncodeChunk(1, 1, total, index, count, data.data(), data.size());
}
bool Decodes(const std::vector<uint8_t>& d) { return Decode(d.data(), d.size()).has_value(); }

}  // namespace

TEST(Protocol, EveryHeaderFieldOfEveryTypeIsCheckedExactly) {
  for (const std::vector<uint8_t>& d : OneOfEachType()) {
    SCOPED_TRACE(static_cast<int>(d[5]));
    EXPECT_TRUE(DecodesWith(d, 12, 5));  // another sequence number is fine
    EXPECT_TRUE(DecodesWith(d, 8, 0xEE));  // and another session
    for (size_t i = 0; i < 4; ++i) EXPECT_FALSE(DecodesWith(d, i, static_cast<uint8_t>(d[i] + 1))) << "magic " << i;
    for (uint8_t version : {0, 2, 0xFF}) EXPECT_FALSE(DecodesWith(d, 4, version)) << int{version};
    for (uint8_t type : {0x00, 0x03, 0x7F, 0x80, 0x83, 0xFF}) EXPECT_FALSE(DecodesWith(d, 5, type)) << int{type};
    // Both reserved bytes, each bit.
    for (size_t at : {6, 7})
      for (uint8_t bit : {0x01, 0x80}) EXPECT_FALSE(DecodesWith(d, at, bit)) << at;
  }
}

TEST(Protocol, ChunkIndexCountAndTotalEndOnTheirLastValidValue) {
  // The last chunk carries the rest, a full 1400 when the total is a multiple.
  EXPECT_TRUE(Decodes(ChunkWith(2800, 1, 2, kChunkData)));
  EXPECT_TRUE(Decodes(ChunkWith(2801, 2, 3, 1)));
  // An index equal to the count is past the end, even when the length would
  // fit (nothing is left for a third chunk of 2800 bytes).
  EXPECT_FALSE(Decodes(ChunkWith(2800, 2, 2, 0)));
  EXPECT_FALSE(Decodes(ChunkWith(2801, 3, 3, 0)));
  EXPECT_FALSE(Decodes(ChunkWith(1, 1, 1, 0)));
  // The count is exactly what the total needs, no more, no less.
  EXPECT_FALSE(Decodes(ChunkWith(2800, 1, 3, kChunkData)));
  EXPECT_FALSE(Decodes(ChunkWith(2801, 1, 2, kChunkData)));
  EXPECT_FALSE(Decodes(ChunkWith(1, 0, 0, 1)));
  // Every chunk but the last is full; the last has exactly the rest.
  EXPECT_FALSE(Decodes(ChunkWith(2801, 1, 3, kChunkData - 1)));
  EXPECT_FALSE(Decodes(ChunkWith(2801, 2, 3, 2)));
  EXPECT_FALSE(Decodes(ChunkWith(2801, 2, 3, 0)));
  // Total length 1 .. 8 MiB.
  EXPECT_TRUE(Decodes(ChunkWith(1, 0, 1, 1)));
  EXPECT_FALSE(Decodes(ChunkWith(0, 0, 0, 0)));
  EXPECT_FALSE(Decodes(ChunkWith(0, 0, 1, 0)));
  const uint16_t most = static_cast<uint16_t>(kMaxChunks), last = static_cast<uint16_t>(most - 1);
  const size_t lastOfMost = kMaxProgramBytes - size_t{last} * kChunkData;
  EXPECT_TRUE(Decodes(ChunkWith(kMaxProgramBytes, last, most, lastOfMost)));
  ASSERT_EQ(ChunkCountFor(kMaxProgramBytes + 1), kMaxChunks);
  EXPECT_FALSE(Decodes(ChunkWith(kMaxProgramBytes + 1, last, most, lastOfMost + 1)));
  // A chunk header without its fields.
  auto stub = EncodeChunk(1, 1, 1, 0, 1, nullptr, 0);
  stub.resize(kHeaderSize + kChunkHeader - 1);
  Reseal(stub.data(), stub.size());
  EXPECT_FALSE(Decodes(stub));
}

TEST(Protocol, AcknowledgementFieldsEndOnTheirLastValidValue) {
  const size_t done = kHeaderSize + 2, reserved = kHeaderSize + 3;
  const auto ack = EncodeChunkAck(1, 1, {3, false, 0, {0x07}});
  ASSERT_TRUE(Decodes(ack));
  EXPECT_TRUE(DecodesWith(ack, done, 1));
  EXPECT_FALSE(DecodesWith(ack, done, 2));
  EXPECT_FALSE(DecodesWith(ack, done, 0xFF));
  // The byte after the done flag is reserved: nothing but 0.
  EXPECT_FALSE(DecodesWith(ack, reserved, 1));
  EXPECT_FALSE(DecodesWith(ack, reserved, 0x80));
  EXPECT_TRUE(DecodesWith(ack, kHeaderSize + 4, 0xFF));  // any status
  // Bits past the count must be clear: with 3 chunks bit 3 is the first one out.
  EXPECT_FALSE(DecodesWith(ack, ack.size() - 1, 0x0F));
  EXPECT_FALSE(DecodesWith(ack, ack.size() - 1, 0x80));
  // Eight chunks fill their byte; a ninth needs a second byte, of which only
  // bit 0 may be set.
  EXPECT_TRUE(Decodes(EncodeChunkAck(1, 1, {8, false, 0, {0xFF}})));
  EXPECT_FALSE(Decodes(EncodeChunkAck(1, 1, {8, false, 0, {0xFF, 0x00}})));
  EXPECT_TRUE(Decodes(EncodeChunkAck(1, 1, {9, false, 0, {0xFF, 0x01}})));
  EXPECT_FALSE(Decodes(EncodeChunkAck(1, 1, {9, false, 0, {0xFF, 0x02}})));
  EXPECT_FALSE(Decodes(EncodeChunkAck(1, 1, {9, false, 0, {0xFF}})));
  // Count 1 .. the most chunks a program can have.
  EXPECT_TRUE(Decodes(EncodeChunkAck(1, 1, {1, true, 0, {0x01}})));
  EXPECT_FALSE(Decodes(EncodeChunkAck(1, 1, {0, false, 0, {}})));
  const uint16_t most = static_cast<uint16_t>(kMaxChunks);
  EXPECT_TRUE(Decodes(EncodeChunkAck(1, 1, {most, false, 0, std::vector<uint8_t>((most + 7) / 8, 0)})));
  EXPECT_FALSE(Decodes(EncodeChunkAck(1, 1, {static_cast<uint16_t>(most + 1), false, 0,
                                             std::vector<uint8_t>((most + 8) / 8, 0)})));
  // Fixed fields cut short.
  auto stub = ack;
  stub.resize(kHeaderSize + 7);
  Reseal(stub.data(), stub.size());
  EXPECT_FALSE(Decodes(stub));
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
