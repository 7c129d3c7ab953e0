// The three pixel protocols byte by byte against their published layouts,
// and the decoders' refusal of anything else.
#include "ledapi/core/pixel_wire.h"

#include <gtest/gtest.h>

#include <numeric>

using namespace ledp;

namespace {

uint16_t Be16(const std::vector<uint8_t>& d, size_t at) { return static_cast<uint16_t>(d[at] << 8 | d[at + 1]); }
uint32_t Be32(const std::vector<uint8_t>& d, size_t at) { return uint32_t{Be16(d, at)} << 16 | Be16(d, at + 2); }

E131Source Source() {
  E131Source s;
  for (int i = 0; i < 16; ++i) s.Id[i] = static_cast<uint8_t>(0xA0 + i);
  s.Name = "Platora canteen board";
  return s;
}

std::vector<uint8_t> Ramp(size_t n) {
  std::vector<uint8_t> v(n);
  std::iota(v.begin(), v.end(), uint8_t{1});
  return v;
}

}  // namespace

TEST(E131, FullUniverseHasTheStandardLayersAtTheirOffsets) {
  const auto slots = Ramp(510);
  const auto d = EncodeE131Data(Source(), 290, 77, slots.data(), slots.size());
  ASSERT_EQ(d.size(), 126u + 510u);
  // Root layer.
  EXPECT_EQ(Be16(d, 0), 0x0010);
  EXPECT_EQ(Be16(d, 2), 0x0000);
  EXPECT_EQ(std::string(d.begin() + 4, d.begin() + 16), std::string("ASC-E1.17\0\0\0", 12));
  EXPECT_EQ(Be16(d, 16), 0x7000 | (d.size() - 16));
  EXPECT_EQ(Be32(d, 18), 0x00000004u);
  EXPECT_EQ(d[22], 0xA0);
  EXPECT_EQ(d[37], 0xAF);
  // Framing layer: a data packet (vector 2; never the root's 4).
  EXPECT_EQ(Be16(d, 38), 0x7000 | (d.size() - 38));
  EXPECT_EQ(Be32(d, 40), 0x00000002u);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(&d[44])), "Platora canteen board");
  EXPECT_EQ(d[107], 0);  // the 64-byte name field stays terminated
  EXPECT_EQ(d[108], 100);
  EXPECT_EQ(Be16(d, 109), 0);  // not synchronised
  EXPECT_EQ(d[111], 77);
  EXPECT_EQ(d[112], 0);
  EXPECT_EQ(Be16(d, 113), 290);
  // DMP layer.
  EXPECT_EQ(Be16(d, 115), 0x7000 | (d.size() - 115));
  EXPECT_EQ(d[117], 0x02);
  EXPECT_EQ(d[118], 0xA1);
  EXPECT_EQ(Be16(d, 119), 0x0000);
  EXPECT_EQ(Be16(d, 121), 0x0001);
  EXPECT_EQ(Be16(d, 123), 511);
  EXPECT_EQ(d[125], 0x00);  // start code
  EXPECT_EQ(d[126], 1);
  EXPECT_EQ(d.back(), static_cast<uint8_t>(510));
}

TEST(E131, NameIsCutTo63BytesAndSyncAddressAndOptionsGoWhereTheyBelong) {
  E131Source s = Source();
  s.Name = std::string(100, 'n');
  s.Priority = 250;  // above the standard's 200
  const auto d = EncodeE131Data(s, 1, 0, nullptr, 0, 7000, kE131OptionTerminated);
  ASSERT_EQ(d.size(), 126u);
  EXPECT_EQ(d[44 + 62], 'n');
  EXPECT_EQ(d[44 + 63], 0);
  EXPECT_EQ(d[108], 200);
  EXPECT_EQ(Be16(d, 109), 7000);
  EXPECT_EQ(d[112], 0x40);
  EXPECT_EQ(Be16(d, 123), 1);
}

TEST(E131, SyncPacketLayout) {
  const auto d = EncodeE131Sync(Source().Id, 64000 - 1, 9);
  ASSERT_EQ(d.size(), 49u);
  EXPECT_EQ(Be16(d, 16), 0x7000 | 33);
  EXPECT_EQ(Be32(d, 18), 0x00000008u);
  EXPECT_EQ(Be16(d, 38), 0x7000 | 11);
  EXPECT_EQ(Be32(d, 40), 0x00000001u);
  EXPECT_EQ(d[44], 9);
  EXPECT_EQ(Be16(d, 45), 63999);
  EXPECT_EQ(Be16(d, 47), 0);
  auto s = DecodeE131Sync(d.data(), d.size());
  ASSERT_TRUE(s);
  EXPECT_EQ(s->SyncUniverse, 63999);
  EXPECT_FALSE(DecodeE131Data(d.data(), d.size()));
}

TEST(E131, DecoderTakesBackWhatWasSentAndRefusesEveryBrokenField) {
  const auto slots = Ramp(66);
  const auto good = EncodeE131Data(Source(), 5, 3, slots.data(), slots.size(), 9);
  auto d = DecodeE131Data(good.data(), good.size());
  ASSERT_TRUE(d);
  EXPECT_EQ(d->Universe, 5);
  EXPECT_EQ(d->Sequence, 3);
  EXPECT_EQ(d->SyncUniverse, 9);
  EXPECT_EQ(d->SourceName, "Platora canteen board");
  EXPECT_EQ(d->Slots, slots);
  // Every field the decoder checks, one at a time: preamble, identifier,
  // the three lengths, the vectors (the receiver-crashing framing vector 4
  // among them), DMP fields, value count, and universe 0.
  for (size_t at : {1u, 4u, 12u, 17u, 21u, 39u, 43u, 116u, 117u, 118u, 120u, 122u, 124u}) {
    auto bad = good;
    bad[at] ^= 0x04;
    EXPECT_FALSE(DecodeE131Data(bad.data(), bad.size())) << at;
  }
  auto zero = EncodeE131Data(Source(), 0, 0, slots.data(), slots.size());
  EXPECT_FALSE(DecodeE131Data(zero.data(), zero.size()));
  EXPECT_FALSE(DecodeE131Data(good.data(), good.size() - 1));
  auto longer = good;
  longer.push_back(0);
  EXPECT_FALSE(DecodeE131Data(longer.data(), longer.size()));
}

TEST(E131, CidTextRoundTripsAndMadeIdsAreVersion4) {
  auto id = ParseCid("6F1C2E3A-0B4d-4e5f-8a9b-0c1d2e3f4a5b");
  ASSERT_TRUE(id);
  EXPECT_EQ((*id)[0], 0x6F);
  EXPECT_EQ((*id)[15], 0x5B);
  EXPECT_EQ(FormatCid(*id), "6f1c2e3a-0b4d-4e5f-8a9b-0c1d2e3f4a5b");
  for (const char* bad : {"", "6f1c2e3a0b4d4e5f8a9b0c1d2e3f4a5b", "6f1c2e3a-0b4d-4e5f-8a9b-0c1d2e3f4a5g",
                          "6f1c2e3a-0b4d-4e5f-8a9b-0c1d2e3f4a5b ", "6f1c2e3a:0b4d-4e5f-8a9b-0c1d2e3f4a5b"})
    EXPECT_FALSE(ParseCid(bad)) << bad;
  std::array<uint8_t, 16> all{};
  all.fill(0xFF);
  Cid made = MakeCid(all);
  EXPECT_EQ(made[6] >> 4, 4);
  EXPECT_EQ(made[8] & 0xC0, 0x80);
}

TEST(ArtNet, ArtDmxLayoutWithPortAddressSplitIntoSubUniAndNet) {
  const auto data = Ramp(510);
  const auto d = EncodeArtDmx(0x1234, 200, data.data(), data.size());
  ASSERT_EQ(d.size(), 18u + 510u);
  EXPECT_EQ(std::string(d.begin(), d.begin() + 8), std::string("Art-Net\0", 8));
  EXPECT_EQ(d[8], 0x00);  // OpCode 0x5000, low byte first
  EXPECT_EQ(d[9], 0x50);
  EXPECT_EQ(d[10], 0);    // protocol version 14, high byte first
  EXPECT_EQ(d[11], 14);
  EXPECT_EQ(d[12], 200);
  EXPECT_EQ(d[13], 0);
  EXPECT_EQ(d[14], 0x34);  // SubUni
  EXPECT_EQ(d[15], 0x12);  // Net
  EXPECT_EQ(Be16(d, 16), 510);
  EXPECT_EQ(d[18], 1);
}

TEST(ArtNet, OddLengthIsPaddedEvenAndDecoderRefusesOddOrMismatchedLengths) {
  const auto data = Ramp(507);  // 169 pixels
  const auto d = EncodeArtDmx(32767, 1, data.data(), data.size());
  EXPECT_EQ(Be16(d, 16), 508);
  EXPECT_EQ(d.back(), 0);
  EXPECT_EQ(d[15], 0x7F);
  auto back = DecodeArtDmx(d.data(), d.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(back->PortAddress, 32767);
  EXPECT_EQ(back->Data.size(), 508u);
  EXPECT_EQ(EncodeArtDmx(0, 0, nullptr, 0).size(), 20u);  // at least two bytes

  auto odd = d;
  odd[17] = 0xFB;  // 507
  odd.pop_back();
  EXPECT_FALSE(DecodeArtDmx(odd.data(), odd.size()));
  auto wrongOp = d;
  wrongOp[9] = 0x20;  // ArtPoll
  EXPECT_FALSE(DecodeArtDmx(wrongOp.data(), wrongOp.size()));
  auto shorter = d;
  shorter.resize(shorter.size() - 2);
  EXPECT_FALSE(DecodeArtDmx(shorter.data(), shorter.size()));
}

TEST(Ddp, HeaderLayoutAndPushFlag) {
  const auto data = Ramp(1440);
  const auto d = EncodeDdp(1440 * 102, 15, true, data.data(), data.size());
  ASSERT_EQ(d.size(), 10u + 1440u);
  EXPECT_EQ(d[0], 0x41);  // version 1, push
  EXPECT_EQ(d[1], 15);
  EXPECT_EQ(d[2], 0x0B);  // RGB, 8 bits a channel
  EXPECT_EQ(d[3], 1);     // default output device
  EXPECT_EQ(Be32(d, 4), 1440u * 102);
  EXPECT_EQ(Be16(d, 8), 1440);
  EXPECT_EQ(d[10], 1);
  EXPECT_EQ(EncodeDdp(0, 3, false, data.data(), 3)[0], 0x40);
  // More than a packet's worth is never put in one.
  EXPECT_EQ(EncodeDdp(0, 1, false, data.data(), 2000).size(), 10u + 1440u);
}

TEST(Ddp, DecoderRefusesOtherVersionsQueriesAndWrongLengths) {
  const auto data = Ramp(30);
  const auto good = EncodeDdp(90, 2, true, data.data(), data.size());
  auto d = DecodeDdp(good.data(), good.size());
  ASSERT_TRUE(d);
  EXPECT_TRUE(d->Push());
  EXPECT_EQ(d->Offset, 90u);
  EXPECT_EQ(d->Data, data);
  for (uint8_t flags : {0x00, 0x81, 0x43, 0x45, 0x51}) {
    auto bad = good;
    bad[0] = flags;
    EXPECT_FALSE(DecodeDdp(bad.data(), bad.size())) << int(flags);
  }
  EXPECT_FALSE(DecodeDdp(good.data(), good.size() - 1));
  EXPECT_FALSE(DecodeDdp(good.data(), 9));
}
