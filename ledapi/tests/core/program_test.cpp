#include "ledapi/core/program.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ledp;

namespace {

Program Sample() {
  Program p;
  p.RootType = 18;
  p.Pages.push_back({20000, {}});
  Window pic;
  pic.Area = {480, 0, 512, 96};
  pic.Pixels = plat::Raster(32, 96, plat::RGBColor(1, 2, 3));
  pic.Pixels.SetPixel(31, 95, plat::clRed);
  p.Pages[0].Windows.push_back(pic);
  Window clock;
  clock.Type = WindowType::Clock;
  clock.Area = {0, 0, 128, 32};
  clock.Format = 4;
  clock.GlyphChars = "01";
  clock.GlyphWidths = {3, 2};
  clock.Pixels = plat::Raster(5, 4, plat::clYellow);
  p.Pages[0].Windows.push_back(clock);
  p.Pages.push_back({5, {}});
  return p;
}

}  // namespace

TEST(Program, RoundTripKeepsEverything) {
  auto blob = SerializeProgram(Sample());
  auto p = ParseProgram(blob.data(), blob.size());
  ASSERT_TRUE(p);
  EXPECT_EQ(p->RootType, 18);
  ASSERT_EQ(p->Pages.size(), 2u);
  EXPECT_EQ(p->Pages[0].DisplayMs, 20000u);
  ASSERT_EQ(p->Pages[0].Windows.size(), 2u);
  const Window& pic = p->Pages[0].Windows[0];
  EXPECT_EQ(pic.Area, (plat::Rect{480, 0, 512, 96}));
  EXPECT_TRUE(pic.Pixels.SamePixels(Sample().Pages[0].Windows[0].Pixels));
  const Window& clock = p->Pages[0].Windows[1];
  EXPECT_EQ(clock.Type, WindowType::Clock);
  EXPECT_EQ(clock.Format, 4);
  EXPECT_EQ(clock.GlyphChars, "01");
  EXPECT_EQ(clock.GlyphWidths, (std::vector<uint16_t>{3, 2}));
  EXPECT_TRUE(p->Pages[1].Windows.empty());

  // Into a buffer that held a longer program: nothing of it is left over.
  Program small;
  small.Pages.push_back({7, {}});
  std::vector<uint8_t> reused = blob;
  SerializeProgram(small, reused);
  EXPECT_EQ(reused, SerializeProgram(small));
}

TEST(Program, EveryTruncationAndTrailingByteIsRefused) {
  auto blob = SerializeProgram(Sample());
  for (size_t n = 0; n < blob.size(); n += (n < 64 ? 1 : 97)) EXPECT_FALSE(ParseProgram(blob.data(), n)) << n;
  blob.push_back(0);
  EXPECT_FALSE(ParseProgram(blob.data(), blob.size()));
}

TEST(Program, InconsistentFieldsAreRefused) {
  auto blob = SerializeProgram(Sample());
  auto with = [&](size_t at, uint8_t v) {
    auto b = blob;
    b[at] = v;
    return ParseProgram(b.data(), b.size()).has_value();
  };
  EXPECT_FALSE(with(5, 19));    // root type other than 17/18
  EXPECT_FALSE(with(4, 2));     // program version
  EXPECT_FALSE(with(8, 65));    // too many pages
  auto empty = SerializeProgram(Sample());
  empty[16 + 10] = empty[16 + 11] = 0;
  EXPECT_FALSE(ParseProgram(empty.data(), empty.size()));
  // Glyph widths that do not add up to the strip: the clock window's first
  // width is behind the picture window.
  const size_t clockAt = 10 + 6 + (2 + 8 + 4 + 32 * 96 * 3);
  EXPECT_FALSE(with(clockAt + 16, 4));
  EXPECT_TRUE(with(clockAt + 16, 3));  // unchanged value
}

TEST(Program, ClockTextsAndCalendar) {
  ClockTime t{2024, 2, 29, 7, 5, 9};
  EXPECT_EQ(ClockText(1, t), "2024-02-29");
  EXPECT_EQ(ClockText(2, t), "07:05");
  EXPECT_EQ(ClockText(3, t), "07:05:09");
  EXPECT_EQ(ClockText(4, t), "2024-02-29 07:05:09");
  EXPECT_EQ(ClockText(0, t), "07:05:09");
  for (ClockTime c : {ClockTime{1970, 1, 1, 0, 0, 0}, ClockTime{2000, 2, 29, 12, 0, 1},
                      ClockTime{2023, 12, 31, 23, 59, 59}, ClockTime{2100, 3, 1, 0, 0, 0}}) {
    EXPECT_TRUE(ClockIsValid(c));
    EXPECT_EQ(SecondsToClock(ClockToSeconds(c)), c);
  }
  EXPECT_EQ(ClockToSeconds({1970, 1, 2, 0, 0, 0}), 86400);
}

// The clock command's time is a real date and time of day, each field up to
// its last valid value and not one past it.
TEST(Program, ClockIsValidToTheLastDayAndSecond) {
  const int last[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  for (int m = 1; m <= 12; ++m) {
    EXPECT_TRUE(ClockIsValid({2023, m, 1, 0, 0, 0})) << m;
    EXPECT_TRUE(ClockIsValid({2023, m, last[m - 1], 23, 59, 59})) << m;
    EXPECT_FALSE(ClockIsValid({2023, m, last[m - 1] + 1, 0, 0, 0})) << m;
    EXPECT_FALSE(ClockIsValid({2023, m, 0, 0, 0, 0})) << m;
  }
  // February 29th in leap years only: every 4th, not every 100th, every 400th.
  EXPECT_TRUE(ClockIsValid({2024, 2, 29, 0, 0, 0}));
  EXPECT_TRUE(ClockIsValid({2000, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(ClockIsValid({2100, 2, 29, 0, 0, 0}));
  EXPECT_FALSE(ClockIsValid({2024, 2, 30, 0, 0, 0}));
  for (ClockTime bad : {ClockTime{2024, 0, 1, 0, 0, 0}, ClockTime{2024, 13, 1, 0, 0, 0},
                        ClockTime{2024, 1, 1, 24, 0, 0}, ClockTime{2024, 1, 1, -1, 0, 0},
                        ClockTime{2024, 1, 1, 0, 60, 0}, ClockTime{2024, 1, 1, 0, -1, 0},
                        ClockTime{2024, 1, 1, 0, 0, 60}, ClockTime{2024, 1, 1, 0, 0, -1},
                        ClockTime{1969, 12, 31, 23, 59, 59}, ClockTime{10000, 1, 1, 0, 0, 0}})
    EXPECT_FALSE(ClockIsValid(bad)) << ClockText(4, bad);
  EXPECT_TRUE(ClockIsValid({1970, 1, 1, 0, 0, 0}));
  EXPECT_TRUE(ClockIsValid({9999, 12, 31, 23, 59, 59}));
}

TEST(Program, PackedProgramsUnpackOnlyWhenWhole) {
  auto raw = SerializeProgram(Sample());
  auto packed = PackProgram(raw);
  EXPECT_LT(packed.size(), raw.size() / 10);
  auto back = UnpackProgram(packed.data(), packed.size());
  ASSERT_TRUE(back);
  EXPECT_EQ(*back, raw);
  EXPECT_FALSE(UnpackProgram(packed.data(), packed.size() - 1));  // truncated
  auto longer = packed;
  longer.push_back(0);
  EXPECT_FALSE(UnpackProgram(longer.data(), longer.size()));  // trailing bytes
  EXPECT_FALSE(UnpackProgram(raw.data(), raw.size()));        // not a zlib stream
  EXPECT_FALSE(UnpackProgram(nullptr, 0));
  // A small stream that would inflate past the limit is refused.
  auto bomb = PackProgram(std::vector<uint8_t>(kMaxProgramBytes + 1, 0));
  EXPECT_LT(bomb.size(), 64u * 1024u);
  EXPECT_FALSE(UnpackProgram(bomb.data(), bomb.size()));
}

TEST(Program, UnpackingInPiecesGivesWhatUnpackingAtOnceGivesAndRefusesTheSame) {
  auto raw = SerializeProgram(Sample());
  auto packed = PackProgram(raw);
  for (size_t piece : {size_t{1}, size_t{7}, size_t{1400}, packed.size()}) {
    SCOPED_TRACE(piece);
    ProgramInflater in;
    for (size_t at = 0; at < packed.size(); at += piece) {
      ASSERT_TRUE(in.Feed(packed.data() + at, std::min(piece, packed.size() - at)));
      // What is out so far is always the start of the program.
      ASSERT_LE(in.Unpacked().size(), raw.size());
      ASSERT_TRUE(std::equal(in.Unpacked().begin(), in.Unpacked().end(), raw.begin()));
    }
    auto back = in.Finish();
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, raw);
  }

  ProgramInflater truncated;
  EXPECT_TRUE(truncated.Feed(packed.data(), packed.size() - 1));  // could still go on
  EXPECT_FALSE(truncated.Finish());

  ProgramInflater trailing;
  EXPECT_TRUE(trailing.Feed(packed.data(), packed.size()));
  const uint8_t extra = 0;
  EXPECT_FALSE(trailing.Feed(&extra, 1));  // a byte after the stream's end
  EXPECT_FALSE(trailing.Finish());

  ProgramInflater notZlib;
  EXPECT_FALSE(notZlib.Feed(raw.data(), 64));
  EXPECT_FALSE(notZlib.Feed(packed.data(), packed.size()));  // stays refused
  EXPECT_FALSE(notZlib.Finish());

  // A bomb is refused without more than the limit ever being unpacked.
  auto bomb = PackProgram(std::vector<uint8_t>(kMaxProgramBytes + 1, 0));
  ProgramInflater bombed;
  size_t at = 0;
  for (; at < bomb.size() && bombed.Feed(bomb.data() + at, std::min<size_t>(1400, bomb.size() - at)); at += 1400) {
  }
  EXPECT_LT(at, bomb.size());
  EXPECT_LE(bombed.Unpacked().size(), kMaxProgramBytes + 1);
  EXPECT_FALSE(bombed.Finish());
}
