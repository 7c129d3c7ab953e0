// Both screens on their sockets: binding, a taken port, stopping, the
// published picture and its PNG, and the one thing each server adds.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <thread>

#include "ledapi/core/pixel_wire.h"
#include "ledapi/core/protocol.h"
#include "ledscreen/host/pixel_server.h"
#include "ledscreen/host/server.h"
#include "screenlink/core/led_records.h"

using namespace ledscreen;

namespace {

bool WaitFor(const std::function<bool()>& done) {
  for (int waited = 0; waited < 5000; waited += 5) {
    if (done()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return done();
}

std::string FileStart(const std::filesystem::path& p, size_t n) {
  std::ifstream in(p, std::ios::binary);
  std::string s(n, '\0');
  in.read(s.data(), static_cast<std::streamsize>(n));
  return s.substr(0, static_cast<size_t>(in.gcount()));
}

// Every pixel of a DDP board of `pixels` in one colour, pushed.
std::vector<uint8_t> SolidDdp(uint8_t seq, int pixels, uint8_t r, uint8_t g, uint8_t b) {
  std::vector<uint8_t> rgb;
  for (int i = 0; i < pixels; ++i) rgb.insert(rgb.end(), {r, g, b});
  return ledp::EncodeDdp(0, seq, true, rgb.data(), rgb.size());
}

}  // namespace

TEST(ScreenServer, AnswersOnAFreePortWritesItsSnapshotAndStopsTwice) {
  const auto png = std::filesystem::temp_directory_path() / "platora_service_test.png";
  std::filesystem::remove(png);
  ScreenServer::Options o;
  EXPECT_EQ(o.Port, 6666);  // the program's own default
  o.Port = 0;
  o.SnapshotPath = png.string();
  ScreenServer server(o);
  ASSERT_TRUE(server.Start()) << server.Error();
  EXPECT_NE(server.Port(), 0);
  EXPECT_EQ(server.Changes(), 1);
  EXPECT_EQ(FileStart(png, 8), "\x89PNG\r\n\x1a\n");

  ledp::net::UdpSocket link;
  ASSERT_TRUE(link.Bind(ledp::net::kLoopback, 0));
  const auto ask = ledp::EncodeRequest(3, 41, {led::kCmdQuery, 0, 0, {}});
  ASSERT_TRUE(link.SendTo({ledp::net::kLoopback, server.Port()}, ask.data(), ask.size()));
  uint8_t buf[2048];
  ledp::Endpoint from;
  const int n = link.RecvFrom(buf, sizeof buf, from, 5000);
  ASSERT_GT(n, 0);
  const auto answer = ledp::Decode(buf, static_cast<size_t>(n));
  ASSERT_TRUE(answer);
  EXPECT_EQ(answer->Kind, ledp::Type::Answer);
  EXPECT_EQ(answer->Seq, 41u);
  EXPECT_EQ(from.Port, server.Port());

  server.Stop();
  server.Stop();
  std::filesystem::remove(png);
}

TEST(ScreenServer, ATakenPortIsRefusedWithTheAddressAndNothingIsPublished) {
  ScreenServer::Options o;
  o.Port = 0;
  ScreenServer first(o);
  ASSERT_TRUE(first.Start());
  o.Port = first.Port();
  ScreenServer second(o);
  bool logged = false;
  second.OnLog = [&](const std::string&) { logged = true; };
  EXPECT_FALSE(second.Start());
  EXPECT_EQ(second.Error(), "cannot bind 127.0.0.1:" + std::to_string(first.Port()));
  EXPECT_EQ(second.Changes(), 0);
  EXPECT_FALSE(logged);
}

TEST(PixelServer, EveryFrameCountsButOnlyAChangedPictureIsPublished) {
  PixelServer::Options o;
  EXPECT_EQ(o.Port, 0);
  o.Screen.Kind = ledp::Protocol::Ddp;
  o.Screen.Width = 4;
  o.Screen.Height = 2;
  PixelServer server(o);
  int pictures = 0;  // on the server's thread until Stop
  server.OnPicture = [&](const plat::Raster&) { ++pictures; };
  ASSERT_TRUE(server.Start()) << server.Error();
  EXPECT_EQ(server.Changes(), 1);

  ledp::net::UdpSocket sender;
  ASSERT_TRUE(sender.Bind(ledp::net::kLoopback, 0));
  auto send = [&](const std::vector<uint8_t>& d) {
    ASSERT_TRUE(sender.SendTo({ledp::net::kLoopback, server.Port()}, d.data(), d.size()));
  };
  // Black again is what the screen already shows.
  send(SolidDdp(1, 8, 0, 0, 0));
  ASSERT_TRUE(WaitFor([&] { return server.Frames() == 1; }));
  send(SolidDdp(2, 8, 200, 10, 0));
  ASSERT_TRUE(WaitFor([&] { return server.Frames() == 2; }));
  send(SolidDdp(3, 8, 200, 10, 0));
  ASSERT_TRUE(WaitFor([&] { return server.Frames() == 3; }));
  server.Stop();
  EXPECT_EQ(server.Changes(), 2);
  EXPECT_EQ(pictures, 2);
  EXPECT_EQ(server.Picture().Pixel(3, 1), plat::RGBColor(200, 10, 0));
}
