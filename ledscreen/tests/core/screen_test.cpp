#include "ledscreen/core/screen.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "ledscreen/core/png.h"
#include "screenlink/core/led_records.h"

#ifdef HAVE_LIBPNG
#include <png.h>
#endif

using namespace ledscreen;
using ledp::Endpoint;

namespace {

const Endpoint kLink{0x7F000001, 8888};

struct Fixture {
  explicit Fixture(ScreenConfig cfg = {}) : screen(cfg) {}
  Screen screen;
  uint32_t seq = 0;

  ledp::Answer Ask(int32_t command, int32_t value = 0, ledp::ClockTime clock = {}, int64_t wall = 0) {
    ledp::Request r{command, 0, value, clock};
    auto d = ledp::EncodeRequest(5, ++seq, r);
    screen.OnDatagram(d.data(), d.size(), kLink, 0, wall);
    auto replies = screen.TakeReplies();
    EXPECT_EQ(replies.size(), 1u);
    auto p = ledp::Decode(replies.at(0).Bytes.data(), replies.at(0).Bytes.size());
    EXPECT_TRUE(p && p->Kind == ledp::Type::Answer && p->Seq == seq);
    return p->Ans;
  }

  // Delivers a program in order; returns the final acknowledgement.
  ledp::ChunkAck Send(const std::vector<uint8_t>& program, int64_t now = 0) {
    const std::vector<uint8_t> blob = ledp::PackProgram(program);
    ++seq;
    const uint32_t total = static_cast<uint32_t>(blob.size());
    const uint16_t count = static_cast<uint16_t>(ledp::ChunkCountFor(total));
    ledp::ChunkAck last;
    for (uint16_t i = 0; i < count; ++i) {
      const size_t off = size_t{i} * ledp::kChunkData;
      auto d = ledp::EncodeChunk(5, seq, total, i, count, blob.data() + off, std::min(ledp::kChunkData, blob.size() - off));
      screen.OnDatagram(d.data(), d.size(), kLink, now, 0);
      for (auto& r : screen.TakeReplies()) last = ledp::Decode(r.Bytes.data(), r.Bytes.size())->Ack;
    }
    return last;
  }
};

ledp::Program Picture(plat::Color c, uint8_t root = 17, plat::Rect area = {0, 0, 512, 96}) {
  ledp::Program p;
  p.RootType = root;
  p.Pages.push_back({200000, {}});
  ledp::Window w;
  w.Area = area;
  w.Pixels = plat::Raster(area.Width(), area.Height(), c);
  p.Pages[0].Windows.push_back(std::move(w));
  return p;
}

// A picture with enough noise that its packed program spans several datagrams.
ledp::Program Noisy() {
  ledp::Program noisy = Picture(plat::clYellow);
  uint32_t x = 1;
  for (int i = 0; i < 4000; ++i) {
    x = x * 1103515245 + 12345;
    noisy.Pages[0].Windows[0].Pixels.SetPixel(static_cast<int>(x % 512), static_cast<int>((x >> 9) % 96), x >> 8);
  }
  return noisy;
}

std::vector<uint8_t> ChunkOf(const std::vector<uint8_t>& blob, uint32_t session, uint16_t i) {
  const uint32_t total = static_cast<uint32_t>(blob.size());
  const size_t off = size_t{i} * ledp::kChunkData;
  return ledp::EncodeChunk(session, 1, total, i, static_cast<uint16_t>(ledp::ChunkCountFor(total)), blob.data() + off,
                           std::min(ledp::kChunkData, blob.size() - off));
}

std::string TempPath(const char* name) {
  return (std::filesystem::temp_directory_path() / (std::string("ledscreen_test_") + name)).string();
}

}  // namespace

TEST(Screen, BrightnessIsTakenFromOneToSixteenOnly) {
  Fixture f;
  EXPECT_EQ(f.Ask(led::kCmdGetBrightness).Value, 16);
  for (int32_t level : {1, 16, 2, 15}) {
    const auto b = f.Ask(led::kCmdSetBrightness, level);
    EXPECT_EQ(b.Status, led::kStatusOk) << level;
    EXPECT_EQ(b.Value, level);
    EXPECT_EQ(f.Ask(led::kCmdGetBrightness).Value, level);
  }
  // Out of range: refused with the level it keeps.
  for (int32_t level : {0, 17, -1, -16, 256, INT32_MIN, INT32_MAX}) {
    const auto b = f.Ask(led::kCmdSetBrightness, level);
    EXPECT_EQ(b.Status, led::kStatusRejected) << level;
    EXPECT_EQ(b.Value, 15) << level;
    EXPECT_EQ(f.screen.Brightness(), 15) << level;
  }
}

TEST(Screen, OnlyPowerValueOneSwitchesOn) {
  Fixture f;
  EXPECT_EQ(f.Ask(led::kCmdGetPower).Value, 1);
  for (int32_t value : {0, 2, -1, 256, INT32_MIN}) {
    EXPECT_EQ(f.Ask(led::kCmdSetPower, 1).Value, 1);
    const auto p = f.Ask(led::kCmdSetPower, value);
    EXPECT_EQ(p.Status, led::kStatusOk) << value;
    EXPECT_EQ(p.Value, 0) << value;
    EXPECT_FALSE(f.screen.Power()) << value;
    EXPECT_EQ(f.Ask(led::kCmdGetPower).Value, 0) << value;
  }
}

TEST(Screen, OnlyTheSixCommandsAreKnown) {
  Fixture f;
  EXPECT_EQ(f.Ask(led::kCmdQuery).Status, led::kStatusOk);
  EXPECT_EQ(f.Ask(led::kCmdQuery).Value, 1);
  // The numbers around and between them are refused and change nothing.
  for (int32_t command : {0, 1, 2, 3, 5, 7, 8, 13, 14, 99, -4, -12}) {
    const auto a = f.Ask(command, 5);
    EXPECT_EQ(a.Command, command);
    EXPECT_EQ(a.Status, led::kStatusRejected) << command;
    EXPECT_EQ(a.Value, 0) << command;
  }
  EXPECT_TRUE(f.screen.Power());
  EXPECT_EQ(f.screen.Brightness(), 16);
  EXPECT_EQ(f.screen.ClockOffset(), 0);
}

TEST(Screen, AutomaticModesRefuseWithTheCurrentState) {
  ScreenConfig automatic;
  automatic.AutoPower = automatic.AutoBrightness = true;
  Fixture a(automatic);
  for (int32_t value : {0, 1}) {
    const auto p = a.Ask(led::kCmdSetPower, value);
    EXPECT_EQ(p.Status, led::kStatusAutoMode);
    EXPECT_EQ(p.Value, 1);
  }
  EXPECT_TRUE(a.screen.Power());
  for (int32_t level : {1, 16, 0, 17}) {
    const auto b = a.Ask(led::kCmdSetBrightness, level);
    EXPECT_EQ(b.Status, led::kStatusAutoMode) << level;
    EXPECT_EQ(b.Value, 16);
  }
  // Reading is allowed.
  EXPECT_EQ(a.Ask(led::kCmdGetPower).Status, led::kStatusOk);
  EXPECT_EQ(a.Ask(led::kCmdGetBrightness).Status, led::kStatusOk);
  // Each mode on its own leaves the other command alone.
  ScreenConfig powerOnly;
  powerOnly.AutoPower = true;
  Fixture p(powerOnly);
  EXPECT_EQ(p.Ask(led::kCmdSetBrightness, 3).Status, led::kStatusOk);
  EXPECT_EQ(p.Ask(led::kCmdSetPower, 0).Status, led::kStatusAutoMode);
  ScreenConfig brightnessOnly;
  brightnessOnly.AutoBrightness = true;
  Fixture b(brightnessOnly);
  EXPECT_EQ(b.Ask(led::kCmdSetPower, 0).Status, led::kStatusOk);
  EXPECT_EQ(b.Ask(led::kCmdSetBrightness, 3).Status, led::kStatusAutoMode);
}

TEST(Screen, OnlyRequestsAndChunksAreTakenAndOnlyWhenWellFormed) {
  Fixture f;
  // What a screen sends is not for a screen: no answer, nothing done.
  const auto answer = ledp::EncodeAnswer(5, 1, {led::kCmdSetPower, 0, 0});
  const auto ack = ledp::EncodeChunkAck(5, 2, {1, true, 0, {0x01}});
  for (const auto& d : {answer, ack}) f.screen.OnDatagram(d.data(), d.size(), kLink, 0, 0);
  EXPECT_TRUE(f.screen.TakeReplies().empty());
  EXPECT_TRUE(f.screen.TakeLog().empty());
  // A request with a reserved bit set, resealed: silence.
  auto odd = ledp::EncodeRequest(5, 3, {led::kCmdSetPower, 0, 0, {}});
  odd[7] = 1;
  ledp::Reseal(odd.data(), odd.size());
  f.screen.OnDatagram(odd.data(), odd.size(), kLink, 0, 0);
  EXPECT_TRUE(f.screen.TakeReplies().empty());
  EXPECT_TRUE(f.screen.Power());
}

TEST(Screen, ProgramIsShownAndPowerOffShowsBlack) {
  Fixture f;
  auto ack = f.Send(ledp::SerializeProgram(Picture(plat::clYellow)));
  EXPECT_TRUE(ack.Done);
  EXPECT_EQ(ack.Status, led::kStatusOk);
  EXPECT_TRUE(f.screen.Dirty());
  EXPECT_TRUE(f.screen.Render(0, 0));
  EXPECT_EQ(f.screen.Picture().Pixel(300, 50), plat::clYellow);
  EXPECT_FALSE(f.screen.Render(10, 0));  // nothing new
  f.Ask(led::kCmdSetPower, 0);
  EXPECT_TRUE(f.screen.Render(20, 0));
  EXPECT_TRUE(f.screen.Picture().SamePixels(plat::Raster(512, 96)));
  f.Ask(led::kCmdSetPower, 1);
  f.screen.Render(30, 0);
  EXPECT_EQ(f.screen.Picture().Pixel(0, 0), plat::clYellow);
}

TEST(Screen, WindowsAreClippedToTheirAreaAndTheScreen) {
  Fixture f;
  ledp::Program p = Picture(plat::clRed, 17, {480, 0, 512, 96});
  // A window reaching past the screen's edge, and a picture larger than its area.
  ledp::Window big;
  big.Area = {500, 90, 600, 200};
  big.Pixels = plat::Raster(300, 300, plat::clWhite);
  p.Pages[0].Windows.push_back(big);
  f.Send(ledp::SerializeProgram(p));
  f.screen.Render(0, 0);
  const plat::Raster& pic = f.screen.Picture();
  EXPECT_EQ(pic.Pixel(479, 10), plat::clBlack);
  EXPECT_EQ(pic.Pixel(480, 10), plat::clRed);
  EXPECT_EQ(pic.Pixel(499, 95), plat::clRed);
  EXPECT_EQ(pic.Pixel(511, 95), plat::clWhite);
}

TEST(Screen, MalformedProgramIsRefusedAndChangesNothing) {
  Fixture f;
  f.Send(ledp::SerializeProgram(Picture(plat::clYellow)));
  f.screen.Render(0, 0);
  auto blob = ledp::SerializeProgram(Picture(plat::clRed));
  blob.push_back(0);  // one byte too many
  auto ack = f.Send(blob);
  EXPECT_TRUE(ack.Done);
  EXPECT_EQ(ack.Status, led::kStatusRejected);
  f.screen.Render(1, 0);
  EXPECT_EQ(f.screen.Picture().Pixel(0, 0), plat::clYellow);
}

TEST(Screen, RepeatedDatagramsAreAnsweredAgainButCountOnce) {
  Fixture f;
  auto d = ledp::EncodeRequest(5, 1, {led::kCmdSetPower, 0, 0, {}});
  for (int i = 0; i < 3; ++i) f.screen.OnDatagram(d.data(), d.size(), kLink, i, 0);
  EXPECT_EQ(f.screen.TakeReplies().size(), 3u);
  EXPECT_EQ(f.screen.TakeLog().size(), 1u);
  // A second power-on with the same number from the link is a repeat, not a command.
  auto on = ledp::EncodeRequest(5, 1, {led::kCmdSetPower, 0, 1, {}});
  f.screen.OnDatagram(on.data(), on.size(), kLink, 5, 0);
  EXPECT_FALSE(f.screen.Power());
  // The same numbers from another port are another link's command.
  f.screen.OnDatagram(on.data(), on.size(), {0x7F000001, 9999}, 6, 0);
  EXPECT_TRUE(f.screen.Power());
}

TEST(Screen, AChunkRepeatedMidTransferIsAcknowledgedAgainAndCountedOnce) {
  Fixture f;
  const ledp::Program noisy = Noisy();
  const auto blob = ledp::PackProgram(ledp::SerializeProgram(noisy));
  const uint16_t count = static_cast<uint16_t>(ledp::ChunkCountFor(static_cast<uint32_t>(blob.size())));
  ASSERT_GE(count, 3);
  auto deliver = [&](uint16_t i) {
    const auto d = ChunkOf(blob, 5, i);
    f.screen.OnDatagram(d.data(), d.size(), kLink, 100 + i, 0);
    auto replies = f.screen.TakeReplies();
    EXPECT_EQ(replies.size(), 1u) << i;
    return replies.empty() ? ledp::ChunkAck{} : ledp::Decode(replies[0].Bytes.data(), replies[0].Bytes.size())->Ack;
  };
  // Everything but the last chunk, with the first two repeated in between.
  for (uint16_t i = 0; i + 1 < count; ++i) {
    deliver(i);
    if (i == 1)
      for (uint16_t again : {uint16_t{1}, uint16_t{0}}) {
        const ledp::ChunkAck ack = deliver(again);
        EXPECT_FALSE(ack.Done);
        EXPECT_TRUE(ack.Has(0) && ack.Has(1) && !ack.Has(2)) << again;
      }
  }
  EXPECT_FALSE(f.screen.HasProgram());
  EXPECT_TRUE(deliver(static_cast<uint16_t>(count - 1)).Done);
  EXPECT_TRUE(f.screen.Render(200, 0));
  EXPECT_TRUE(f.screen.Picture().SamePixels(noisy.Pages[0].Windows[0].Pixels));
  // Repeats after the end get the final answer again; the program is not shown again.
  for (uint16_t again : {uint16_t{1}, static_cast<uint16_t>(count - 1)}) {
    const ledp::ChunkAck ack = deliver(again);
    EXPECT_TRUE(ack.Done);
    EXPECT_EQ(ack.Status, led::kStatusOk);
  }
  EXPECT_FALSE(f.screen.Dirty());
  EXPECT_EQ(f.screen.TakeLog().size(), 1u);
}

TEST(Screen, ClockRunsFromTheTimeItWasSet) {
  Fixture f;
  const int64_t wall = ledp::ClockToSeconds({2024, 5, 1, 8, 0, 0});
  // The screen is told it is 12:34:56 while its host thinks 08:00:00.
  EXPECT_EQ(f.Ask(led::kCmdAdjustTime, 0, {2024, 5, 1, 12, 34, 56}, wall).Status, led::kStatusOk);
  EXPECT_EQ(f.Ask(led::kCmdAdjustTime, 0, {2024, 2, 30, 0, 0, 0}, wall).Status, led::kStatusRejected);

  // Digits drawn as one-pixel-wide columns, each glyph a different grey.
  ledp::Program p;
  p.Pages.push_back({1000, {}});
  ledp::Window clock;
  clock.Type = ledp::WindowType::Clock;
  clock.Area = {10, 0, 128, 32};
  clock.Format = 3;
  clock.GlyphChars = ledp::kClockGlyphs;
  clock.Pixels = plat::Raster(13, 2);
  for (int i = 0; i < 13; ++i) {
    clock.GlyphWidths.push_back(1);
    clock.Pixels.SetPixel(i, 0, plat::RGBColor(i + 1, 0, 0));
    clock.Pixels.SetPixel(i, 1, plat::RGBColor(i + 1, 0, 0));
  }
  p.Pages[0].Windows.push_back(clock);
  f.Send(ledp::SerializeProgram(p));
  auto text = [&](int64_t wallNow) {
    f.screen.Render(0, wallNow);
    std::string s;
    for (int x = 10; x < 18; ++x) s += ledp::kClockGlyphs[plat::RedOf(f.screen.Picture().Pixel(x, 15)) - 1];
    return s;
  };
  EXPECT_EQ(text(wall), "12:34:56");
  EXPECT_EQ(text(wall + 65), "12:36:01");
  EXPECT_LE(f.screen.NextChange(0), 1000);
}

TEST(Screen, PagesTakeTurns) {
  Fixture f;
  ledp::Program p = Picture(plat::clRed);
  p.Pages[0].DisplayMs = 100;
  p.Pages.push_back(Picture(plat::clYellow).Pages[0]);
  p.Pages[1].DisplayMs = 50;
  f.Send(ledp::SerializeProgram(p), 1000);
  f.screen.Render(1099, 0);
  EXPECT_EQ(f.screen.Picture().Pixel(0, 0), plat::clRed);
  f.screen.Render(1100, 0);
  EXPECT_EQ(f.screen.Picture().Pixel(0, 0), plat::clYellow);
  f.screen.Render(1150, 0);
  EXPECT_EQ(f.screen.Picture().Pixel(0, 0), plat::clRed);
}

TEST(Screen, OnlyStoredProgramsComeBackAfterARestart) {
  ScreenConfig cfg;
  cfg.CardPath = TempPath("card.bin");
  std::filesystem::remove(cfg.CardPath);
  {
    Fixture f(cfg);
    EXPECT_NE(f.screen.LoadCard(0).find("empty"), std::string::npos);
    f.Send(ledp::SerializeProgram(Picture(plat::clYellow, 18)));
    f.Send(ledp::SerializeProgram(Picture(plat::clRed, 17)));  // shown, not stored
    f.screen.Render(0, 0);
    EXPECT_EQ(f.screen.Picture().Pixel(0, 0), plat::clRed);
  }
  Fixture again(cfg);
  again.screen.LoadCard(0);
  again.screen.Render(0, 0);
  EXPECT_EQ(again.screen.Picture().Pixel(0, 0), plat::clYellow);

  // A damaged card is ignored, not shown in part.
  { std::ofstream(cfg.CardPath, std::ios::binary) << "LPRG garbage"; }
  Fixture damaged(cfg);
  EXPECT_NE(damaged.screen.LoadCard(0).find("not a valid program"), std::string::npos);
  EXPECT_FALSE(damaged.screen.HasProgram());
  std::filesystem::remove(cfg.CardPath);
}

TEST(Screen, TooManyTransfersAtOnceDropTheQuietestOne) {
  Fixture f;
  const ledp::Program noisy = Noisy();
  auto blob = ledp::PackProgram(ledp::SerializeProgram(noisy));
  const uint16_t count = static_cast<uint16_t>(ledp::ChunkCountFor(static_cast<uint32_t>(blob.size())));
  ASSERT_GT(count, 1);
  // Five links each start a program; memory stays bounded, the newest win.
  for (uint32_t s = 1; s <= Screen::kMaxTransfers + 1; ++s) {
    auto d = ChunkOf(blob, s, 0);
    f.screen.OnDatagram(d.data(), d.size(), kLink, s, 0);
  }
  EXPECT_EQ(f.screen.TakeReplies().size(), Screen::kMaxTransfers + 1);
  // The rest of session 5's program completes it.
  for (uint16_t i = 1; i < count; ++i) {
    auto d = ChunkOf(blob, 5, i);
    f.screen.OnDatagram(d.data(), d.size(), kLink, 10, 0);
  }
  f.screen.Render(10, 0);
  EXPECT_TRUE(f.screen.Picture().SamePixels(noisy.Pages[0].Windows[0].Pixels));
}

namespace {

// Decodes the PNGs this writer makes (8-bit RGB, one IDAT) with plain zlib.
plat::Raster InflatePng(const std::vector<uint8_t>& png) {
  auto be32 = [&](size_t at) {
    return uint32_t{png[at]} << 24 | uint32_t{png[at + 1]} << 16 | uint32_t{png[at + 2]} << 8 | png[at + 3];
  };
  const int w = static_cast<int>(be32(16)), h = static_cast<int>(be32(20));
  std::vector<uint8_t> idat;
  for (size_t at = 8; at + 12 <= png.size();) {
    const uint32_t len = be32(at);
    const uLong crc = crc32(crc32(0L, Z_NULL, 0), png.data() + at + 4, len + 4);
    EXPECT_EQ(crc, be32(at + 8 + len));
    if (std::equal(png.begin() + static_cast<ptrdiff_t>(at) + 4, png.begin() + static_cast<ptrdiff_t>(at) + 8, "IDAT"))
      idat.insert(idat.end(), png.begin() + static_cast<ptrdiff_t>(at) + 8,
                  png.begin() + static_cast<ptrdiff_t>(at + 8 + len));
    at += 12 + len;
  }
  std::vector<uint8_t> raw((size_t{3} * w + 1) * h);
  uLongf size = raw.size();
  EXPECT_EQ(uncompress(raw.data(), &size, idat.data(), idat.size()), Z_OK);
  plat::Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const uint8_t* p = &raw[(size_t{3} * w + 1) * y + 1 + 3 * x];
      r.SetPixel(x, y, plat::RGBColor(p[0], p[1], p[2]));
    }
  return r;
}

}  // namespace

TEST(Png, WrittenPicturesReadBackExactly) {
  plat::Raster r(7, 3);
  for (int y = 0; y < 3; ++y)
    for (int x = 0; x < 7; ++x) r.SetPixel(x, y, plat::RGBColor(x * 30, y * 80, 255 - x));
  auto png = EncodePng(r);
  EXPECT_TRUE(InflatePng(png).SamePixels(r));
#ifdef HAVE_LIBPNG
  png_image img{};
  img.version = PNG_IMAGE_VERSION;
  ASSERT_TRUE(png_image_begin_read_from_memory(&img, png.data(), png.size()));
  img.format = PNG_FORMAT_BGR;
  std::vector<uint8_t> bgr(PNG_IMAGE_SIZE(img));
  ASSERT_TRUE(png_image_finish_read(&img, nullptr, bgr.data(), 0, nullptr));
  EXPECT_EQ(img.width, 7u);
  EXPECT_EQ(bgr[3 * (7 * 2 + 6) + 2], 180);  // red of (6, 2)
#endif
  const std::string path = TempPath("snap.png");
  ASSERT_TRUE(WriteFileReplacing(path, png));
  ASSERT_TRUE(WriteFileReplacing(path, png));  // replaces an existing file
  EXPECT_EQ(std::filesystem::file_size(path), png.size());
  std::filesystem::remove(path);
}

TEST(LedDots, EveryPixelBecomesADotWithAGap) {
  plat::Raster r(2, 1);
  r.SetPixel(0, 0, plat::clRed);
  plat::Raster d = LedDots(r, 4);
  EXPECT_EQ(d.Width(), 8);
  EXPECT_EQ(d.Pixel(1, 1), plat::clRed);
  EXPECT_NE(d.Pixel(3, 1), plat::clRed);        // the gap
  EXPECT_NE(d.Pixel(5, 1), plat::clBlack);      // an unlit dot is still visible
  EXPECT_NE(d.Pixel(5, 1), d.Pixel(7, 1));
}
