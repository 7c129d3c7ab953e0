// ledapi.dll driving pixel controllers: a ledapi.ini (named by LEDAPI_INI
// for the test) sends the board to an in-process pixel screen over each open
// protocol; the reports say only what the library did; a settings file with
// a bad value opens no link and says why in ledapi.log.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "ledapi/tests/support/ini_folder.h"
#include "ledapi/tests/support/notify_window.h"
#include "ledscreen/host/pixel_server.h"
#include "screenlink/LedAPI.h"

using ledtest::FreePort;
using ledtest::IniFolder;
using ledtest::NotifyWindow;
namespace fs = std::filesystem;

namespace {

struct PixelRig {
  PixelRig(ledp::Protocol kind, const std::string& extra = "") {
    ledscreen::PixelServer::Options o;
    o.Screen.Kind = kind;
    server = std::make_unique<ledscreen::PixelServer>(o);
    EXPECT_TRUE(server->Start());
    settings = std::make_unique<IniFolder>("ledapi_pixel", "[127.0.0.1]\r\nprotocol=" + std::string(ledp::ProtocolName(kind)) +
                                          "\r\nport=" + std::to_string(server->Port()) + "\r\n" + extra);
    TLedDevice dev{};
    dev.LinkType = 1;
    dev.LocalPort = FreePort();
    link = LED_Open(&dev, 1, window.Handle(), 1025);
    EXPECT_GT(link, 0);
  }
  ~PixelRig() { LED_Close(link); }

  NotifyWindow window;
  std::unique_ptr<ledscreen::PixelServer> server;
  std::unique_ptr<IniFolder> settings;
  int link = -1;
};

void SendBoard(const ledtest::Picture& pic, int link) {
  RECT area{0, 0, 512, 96};
  ASSERT_EQ(MakeRoot(18, 2), 0);  // store on the card: meaningless here, shown all the same
  ASSERT_EQ(AddLeaf(200000), 0);
  ASSERT_EQ(AddWindow(pic.Dc(), 512, 96, &area, 1, 1, 1), 0);
  ASSERT_EQ(LED_SendToScreen(link, 0, "127.0.0.1", 6666), 0);
}

bool SamePicture(const plat::Raster& screen, const ledtest::Picture& pic) {
  const uint8_t* bits = pic.Bits();
  for (int y = 0; y < 96; ++y)
    if (std::memcmp(screen.Row(y), bits + y * 1536, 1536) != 0) return false;
  return true;
}

// Waits until the screen has shown `changes` pictures in all.
bool WaitForPictures(ledscreen::PixelServer& s, int changes, int timeoutMs) {
  for (int waited = 0; s.Changes() < changes; waited += 10) {
    if (waited > timeoutMs) return false;
    Sleep(10);
  }
  return true;
}

}  // namespace

TEST(LedApiPixels, BoardReachesTheScreenOverEachProtocolAndSendFinishedComesOnceItHasLeft) {
  for (auto kind : {ledp::Protocol::E131, ledp::Protocol::ArtNet, ledp::Protocol::Ddp}) {
    SCOPED_TRACE(ledp::ProtocolName(kind));
    PixelRig rig(kind);
    ledtest::Picture pic(512, 96);
    pic.Board(3);
    SendBoard(pic, rig.link);
    ASSERT_TRUE(rig.window.WaitFor(1, 3000));
    const TLedNotify& n = rig.window.Received[0];
    EXPECT_EQ(n.Kind, 2);
    EXPECT_STREQ(n.Host, "127.0.0.1");
    EXPECT_EQ(n.Port, 6666);
    ASSERT_TRUE(WaitForPictures(*rig.server, 2, 2000));  // the black start, then the board
    EXPECT_TRUE(SamePicture(rig.server->Picture(), pic));
  }
}

TEST(LedApiPixels, BrightnessAndPowerActOnWhatIsSentAndCommandsNeedingAnAnswerTimeOut) {
  PixelRig rig(ledp::Protocol::Ddp, "repeat_ms=200\r\n");
  ledtest::Picture pic(512, 96);
  pic.Pattern(5);
  SendBoard(pic, rig.link);
  ASSERT_TRUE(rig.window.WaitFor(1, 3000));
  ASSERT_TRUE(WaitForPictures(*rig.server, 2, 2000));

  ASSERT_EQ(LED_SetBrightness(rig.link, 0, "127.0.0.1", 6666, 8), 0);
  ASSERT_TRUE(rig.window.WaitFor(2, 3000));
  EXPECT_EQ(rig.window.Received[1].Kind, 3);
  EXPECT_EQ(rig.window.Received[1].Command, 12);
  EXPECT_EQ(rig.window.Received[1].Value, 8);
  ASSERT_TRUE(WaitForPictures(*rig.server, 3, 2000));
  const plat::Raster dim = rig.server->Picture();
  const uint8_t original = pic.Bits()[0];
  EXPECT_EQ(dim.Row(0)[0], (original + 1) / 2);

  ASSERT_EQ(LED_SetPower(rig.link, 0, "127.0.0.1", 6666, 0), 0);
  ASSERT_TRUE(rig.window.WaitFor(3, 3000));
  EXPECT_EQ(rig.window.Received[2].Command, 10);
  EXPECT_EQ(rig.window.Received[2].Value, 0);
  ASSERT_TRUE(WaitForPictures(*rig.server, 4, 2000));
  EXPECT_TRUE(rig.server->Picture().SamePixels(plat::Raster(512, 96)));
  // Off means no more repeats either.
  const uint64_t frames = rig.server->Frames();
  Sleep(700);
  EXPECT_EQ(rig.server->Frames(), frames);

  const DWORD start = GetTickCount();
  ASSERT_EQ(LED_Query(rig.link, 0, "127.0.0.1", 6666), 0);
  ASSERT_EQ(LED_GetBrightness(rig.link, 0, "127.0.0.1", 6666), 0);
  ASSERT_TRUE(rig.window.WaitFor(5, 5000));
  EXPECT_GE(GetTickCount() - start, 1500u);  // as for a screen that does not answer
  for (int i = 3; i < 5; ++i) {
    EXPECT_EQ(rig.window.Received[i].Kind, 4);
    EXPECT_EQ(rig.window.Received[i].LinkType, 1);
    EXPECT_STREQ(rig.window.Received[i].Host, "127.0.0.1");
  }
}

TEST(LedApiPixels, TheInstallationsE131IdentifierIsMadeOnceAndKept) {
  IniFolder settings("ledapi_pixel", "[127.0.0.1]\r\nprotocol=e131\r\n");
  NotifyWindow window;
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = FreePort();
  int link = LED_Open(&dev, 1, window.Handle(), 1025);
  ASSERT_GT(link, 0);
  const std::string first = settings.Read("ledapi.cid");
  ASSERT_TRUE(ledp::ParseCid(first.substr(0, 36))) << first;
  LED_Close(link);
  link = LED_Open(&dev, 1, window.Handle(), 1025);
  ASSERT_GT(link, 0);
  EXPECT_EQ(settings.Read("ledapi.cid"), first);
  LED_Close(link);
}

TEST(LedApiPixels, ABadSettingOpensNoLinkAndLedapiLogSaysWhereAndWhy) {
  IniFolder settings("ledapi_pixel", "[127.0.0.1]\r\nprotocol=e131\r\nuniverse=0\r\n");
  NotifyWindow window;
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = FreePort();
  EXPECT_EQ(LED_Open(&dev, 1, window.Handle(), 1025), -1);
  const std::string log = settings.Read("ledapi.log");
  EXPECT_NE(log.find("ledapi.ini, line 3: universe 0 is outside 1..63999 for e131"), std::string::npos) << log;
  // The same file made good opens.
  std::ofstream(settings.dir / "ledapi.ini", std::ios::binary) << "[127.0.0.1]\r\nprotocol=e131\r\nuniverse=1\r\n";
  const int link = LED_Open(&dev, 1, window.Handle(), 1025);
  EXPECT_GT(link, 0);
  LED_Close(link);
}
