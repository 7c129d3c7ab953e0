// The simulated pixel controller against the library's own sender: whole
// boards in every protocol and wiring, frames completed only when the frame
// is, and late or foreign datagrams kept out of the picture.
#include "ledscreen/core/pixel_screen.h"

#include <gtest/gtest.h>

#include "ledapi/core/pixel_sender.h"
#include "ledapi/core/pixel_wire.h"

using namespace ledscreen;

namespace {

const ledp::Endpoint kFrom{0x7F000001, 8888};

plat::Raster Board(int w, int h, int salt = 0) {
  plat::Raster r(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, plat::RGBColor(x * 3 + salt, y * 5 + salt, x + y));
  return r;
}

ledp::Program OnePicture(const plat::Raster& pic) {
  ledp::Program p;
  ledp::Page page;
  page.Windows.push_back({ledp::WindowType::Picture, {0, 0, pic.Width(), pic.Height()}, pic, 3, {}, {}});
  p.Pages.push_back(std::move(page));
  return p;
}

// Everything the sender puts out for one send of `pic`.
std::vector<ledp::Outgoing> SentFrame(const std::string& section, const plat::Raster& pic) {
  ledp::LedApiConfig c;
  std::string error;
  EXPECT_TRUE(ledp::ParseLedApiIni("[127.0.0.1]\n" + section, "ledapi.ini", c, error)) << error;
  ledp::PixelSender s(c, ledp::Cid{});
  s.SendProgram(OnePicture(pic), 0, "127.0.0.1", 6666, 0, 0);
  std::vector<ledp::Outgoing> out;
  for (int64_t t = 0; t < 1000 && (out.empty() || s.PacketsInFlight()); ++t) {
    s.OnTimer(t, 0);
    for (auto& o : s.TakeOutgoing()) out.push_back(std::move(o));
  }
  return out;
}

PixelScreenConfig ScreenFor(ledp::Protocol kind, int w, int h) {
  PixelScreenConfig cfg;
  cfg.Kind = kind;
  cfg.Width = w;
  cfg.Height = h;
  return cfg;
}

}  // namespace

TEST(PixelScreen, WholeBoardInEachProtocolAndWiringShowsThePictureSent) {
  struct Case {
    ledp::Protocol Kind;
    const char* Section;
  };
  const Case cases[] = {
      {ledp::Protocol::E131, "protocol=e131\n"},
      {ledp::Protocol::ArtNet, "protocol=artnet\n"},
      {ledp::Protocol::Ddp, "protocol=ddp\n"},
  };
  const plat::Raster board = Board(512, 96);
  for (const Case& c : cases) {
    for (int variant = 0; variant < 4; ++variant) {
      SCOPED_TRACE(std::string(c.Section) + " variant " + std::to_string(variant));
      std::string section = c.Section;
      PixelScreenConfig cfg = ScreenFor(c.Kind, 512, 96);
      if (variant & 1) {
        section += "layout=serpentine\nchannel_order=GRB\n";
        cfg.Wire.Order = ledp::Layout::Serpentine;
        cfg.Wire.Channels = *ledp::ParseChannelOrder("GRB");
      }
      if (variant & 2) {
        section += "mirror=both\n";
        cfg.Wire.MirrorX = cfg.Wire.MirrorY = true;
        if (c.Kind != ledp::Protocol::Ddp) {
          section += "universe=300\npixels_per_universe=128\n";
          cfg.FirstUniverse = 300;
          cfg.PixelsPerUniverse = 128;
        }
      }
      PixelScreen screen(cfg);
      const auto frame = SentFrame(section, board);
      for (size_t i = 0; i < frame.size(); ++i) {
        screen.OnDatagram(frame[i].Bytes.data(), frame[i].Bytes.size(), kFrom, 0);
        // The picture is taken when the frame is complete, not before.
        ASSERT_EQ(screen.TakeFrame(), i + 1 == frame.size()) << i;
      }
      EXPECT_TRUE(screen.Picture().SamePixels(board));
      EXPECT_EQ(screen.Refused(), 0u);
    }
  }
}

TEST(PixelScreen, SynchronisedFrameWaitsForTheSyncPacket) {
  PixelScreen screen(ScreenFor(ledp::Protocol::E131, 340, 1));
  const auto frame = SentFrame("protocol=e131\nsync_universe=500\nwidth=340\nheight=1\n", Board(340, 1));
  ASSERT_EQ(frame.size(), 3u);
  screen.OnDatagram(frame[0].Bytes.data(), frame[0].Bytes.size(), kFrom, 0);
  screen.OnDatagram(frame[1].Bytes.data(), frame[1].Bytes.size(), kFrom, 0);
  EXPECT_FALSE(screen.TakeFrame());
  screen.OnDatagram(frame[2].Bytes.data(), frame[2].Bytes.size(), kFrom, 0);
  EXPECT_TRUE(screen.TakeFrame());
  EXPECT_TRUE(screen.Picture().SamePixels(Board(340, 1)));
}

TEST(PixelScreen, LateUniversesForeignUniversesAndOtherDatagramsStayOutOfThePicture) {
  PixelScreen screen(ScreenFor(ledp::Protocol::E131, 2, 1));
  ledp::E131Source src;
  const uint8_t now[6] = {10, 20, 30, 40, 50, 60}, old[6] = {1, 1, 1, 1, 1, 1};
  auto newer = ledp::EncodeE131Data(src, 1, 50, now, 6);
  auto late = ledp::EncodeE131Data(src, 1, 45, old, 6);
  auto offBoard = ledp::EncodeE131Data(src, 2, 1, old, 6);
  auto preview = ledp::EncodeE131Data(src, 1, 51, old, 6, 0, ledp::kE131OptionPreview);
  auto art = ledp::EncodeArtDmx(1, 1, old, 6);
  for (const auto* d : {&newer, &late, &offBoard, &preview, &art}) screen.OnDatagram(d->data(), d->size(), kFrom, 0);
  EXPECT_EQ(screen.Picture().Pixel(0, 0), plat::RGBColor(10, 20, 30));
  EXPECT_EQ(screen.Picture().Pixel(1, 0), plat::RGBColor(40, 50, 60));
  EXPECT_EQ(screen.Refused(), 4u);
  // Far enough behind is a sender that started again, and is taken.
  auto restarted = ledp::EncodeE131Data(src, 1, 1, old, 6);
  screen.OnDatagram(restarted.data(), restarted.size(), kFrom, 0);
  EXPECT_EQ(screen.Picture().Pixel(0, 0), plat::RGBColor(1, 1, 1));
}

TEST(PixelScreen, DdpOffsetsPastTheBoardAreDroppedWithoutWrappingRound) {
  PixelScreen screen(ScreenFor(ledp::Protocol::Ddp, 2, 1));
  const uint8_t px[6] = {9, 9, 9, 9, 9, 9};
  auto far = ledp::EncodeDdp(0xFFFFFFFC, 1, true, px, 6);
  screen.OnDatagram(far.data(), far.size(), kFrom, 0);
  EXPECT_TRUE(screen.TakeFrame());
  EXPECT_EQ(screen.Picture().Pixel(0, 0), plat::clBlack);
  auto first = ledp::EncodeDdp(3, 2, true, px, 3);
  screen.OnDatagram(first.data(), first.size(), kFrom, 0);
  EXPECT_EQ(screen.Picture().Pixel(0, 0), plat::clBlack);
  EXPECT_EQ(screen.Picture().Pixel(1, 0), plat::RGBColor(9, 9, 9));
}
