// ledapi.dll with a screen's key in ledapi.ini: sends and commands over the
// authenticated protocol through a lossy relay, a recording of a whole send
// played back, and key files the library refuses.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ledapi/keys/key_file.h"
#include "ledapi/tests/support/ini_folder.h"
#include "ledapi/tests/support/notify_window.h"
#include "ledscreen/host/relay.h"
#include "ledscreen/host/server.h"
#include "screenlink/LedAPI.h"

namespace fs = std::filesystem;

using ledtest::FreePort;
using ledtest::IniFolder;

namespace {

struct Screen {
  explicit Screen(const ledp::crypto::Key& key) {
    ledscreen::ScreenServer::Options o;
    o.Screen.Key = key;
    o.Port = 0;
    server = std::make_unique<ledscreen::ScreenServer>(o);
    server->OnLog = [this](const std::string& l) {
      std::lock_guard lock(mu);
      log.push_back(l);
    };
    EXPECT_TRUE(server->Start());
  }
  bool Logged(const std::string& what) {
    std::lock_guard lock(mu);
    for (const auto& l : log)
      if (l.find(what) != std::string::npos) return true;
    return false;
  }
  std::unique_ptr<ledscreen::ScreenServer> server;
  std::mutex mu;
  std::vector<std::string> log;
};

int Open(HWND w) {
  TLedDevice dev{};
  dev.LinkType = 1;
  dev.LocalPort = FreePort();
  return LED_Open(&dev, 1, w, 1025);
}

void SendBoard(const ledtest::Picture& pic, int link, int port) {
  RECT area{0, 0, 512, 96};
  ASSERT_EQ(MakeRoot(17, 2), 0);
  ASSERT_EQ(AddLeaf(200000), 0);
  ASSERT_EQ(AddWindow(pic.Dc(), 512, 96, &area, 1, 1, 1), 0);
  ASSERT_EQ(LED_SendToScreen(link, 0, "127.0.0.1", port), 0);
}

bool SamePicture(const plat::Raster& screen, const ledtest::Picture& pic) {
  for (int y = 0; y < 96; ++y)
    if (std::memcmp(screen.Row(y), pic.Bits() + y * 1536, 1536) != 0) return false;
  return true;
}

// Sends recorded datagrams to the screen from a socket of our own: nothing
// may come back.
int Replay(const std::vector<std::vector<uint8_t>>& recording, uint16_t screenPort) {
  ledp::net::UdpSocket s;
  EXPECT_TRUE(s.Bind(ledp::net::kLoopback, 0));
  for (const auto& d : recording) {
    s.SendTo({ledp::net::kLoopback, screenPort}, d.data(), d.size());
    Sleep(1);
  }
  int answers = 0;
  uint8_t buf[2048];
  ledp::Endpoint from;
  while (s.RecvFrom(buf, sizeof buf, from, 300) >= 0) ++answers;
  return answers;
}

}  // namespace

TEST(LedApiKeyed, AKeyFilePairsTheLibraryWithTheScreenAndAReplayShowsNothing) {
  IniFolder settings("ledapi_keyed", "[127.0.0.1]\nkeyfile = screen.key\n");
  std::string error;
  ASSERT_TRUE(ledp::keys::MakeKeyFile((settings.dir / "screen.key").string(), error)) << error;
  auto key = ledp::keys::LoadKeyFile((settings.dir / "screen.key").string(), error);
  ASSERT_TRUE(key) << error;
  Screen screen(*key);
  ledscreen::RelayConfig faults{0.1, 0.1, 0.05, 0.05, 24};
  faults.Record = true;
  ledscreen::Relay relay({ledp::net::kLoopback, screen.server->Port()}, faults);
  ASSERT_TRUE(relay.Start());
  ledtest::NotifyWindow w;
  const int link = Open(w.Handle());
  ASSERT_GT(link, 0);

  ledtest::Picture first(512, 96), second(512, 96);
  first.Pattern(1);
  second.Pattern(2);
  SendBoard(first, link, relay.Port());
  ASSERT_TRUE(w.WaitFor(1, 3000));
  EXPECT_EQ(w.Received.back().Kind, 2);
  EXPECT_EQ(w.Received.back().Status, 0);
  const auto recording = relay.Recorded();
  SendBoard(second, link, relay.Port());
  LED_SetBrightness(link, 0, "127.0.0.1", relay.Port(), 3);
  ASSERT_TRUE(w.WaitFor(3, 3000));
  for (size_t i = 1; i < 3; ++i) EXPECT_EQ(w.Received[i].Kind, w.Received[i].Command == 1 ? 2 : 3) << i;
  EXPECT_TRUE(SamePicture(screen.server->Picture(), second));
  EXPECT_GT(relay.Dropped(), 5);
  LED_Close(link);

  // The first send played back, after it finished: nothing answered, the
  // second board still shown.
  const int changes = screen.server->Changes();
  EXPECT_EQ(Replay(recording, screen.server->Port()), 0);
  EXPECT_EQ(screen.server->Changes(), changes);
  EXPECT_TRUE(SamePicture(screen.server->Picture(), second));
  EXPECT_TRUE(screen.Logged("dropped from"));

  // And to the same screen restarted: only its opening is answered (with a
  // nonce of its own), the recorded chunks are not, nothing is shown.
  Screen restarted(*key);
  ledp::net::UdpSocket probe;
  EXPECT_GE(Replay(recording, restarted.server->Port()), 0);
  EXPECT_FALSE(SamePicture(restarted.server->Picture(), first));
  EXPECT_TRUE(restarted.Logged("wrong or truncated MAC"));
}

TEST(LedApiKeyed, WithoutTheKeyTheKeyedScreenIsATimeoutAndABadKeyFileIsRefusedSayingWhy) {
  ledp::crypto::Key key{};
  key.fill(7);
  Screen screen(key);
  ledtest::Picture pic(512, 96);
  pic.Pattern(3);
  {
    IniFolder none("ledapi_keyed", "");  // no section: the plain protocol
    ledtest::NotifyWindow w;
    const int link = Open(w.Handle());
    ASSERT_GT(link, 0);
    SendBoard(pic, link, screen.server->Port());
    ASSERT_TRUE(w.WaitFor(1, 3000));
    EXPECT_EQ(w.Received[0].Kind, 4);
    EXPECT_TRUE(screen.Logged("unauthenticated (this screen has a key)"));
    LED_Close(link);
  }
  {
    IniFolder bad("ledapi_keyed", "[127.0.0.1]\nkeyfile=short.key\n");
    std::string error;
    const std::string path = (bad.dir / "short.key").string();
    ASSERT_TRUE(ledp::keys::MakeKeyFile(path, error)) << error;
    fs::resize_file(path, 10);
    ledtest::NotifyWindow w;
    const int link = Open(w.Handle());
    ASSERT_GT(link, 0);
    const DWORD t0 = GetTickCount();
    SendBoard(pic, link, screen.server->Port());
    ASSERT_TRUE(w.WaitFor(1, 3000));
    EXPECT_EQ(w.Received[0].Kind, 4);
    EXPECT_LT(GetTickCount() - t0, 1000u) << "nothing should have been sent";
    const std::string log = bad.Read("ledapi.log");
    EXPECT_NE(log.find("line 2: keyfile refused"), std::string::npos) << log;
    EXPECT_NE(log.find("the wrong length: 10 hexadecimal digits"), std::string::npos) << log;
    LED_Close(link);
  }
  {
    // The key written into ledapi.ini, which (made like any file) everyone
    // may read: refused as a key file would be.
    IniFolder open("ledapi_keyed", "[127.0.0.1]\nkey = 0707070707070707070707070707070707070707070707070707070707070707\n");
    ledtest::NotifyWindow w;
    const int link = Open(w.Handle());
    ASSERT_GT(link, 0);
    LED_Query(link, 0, "127.0.0.1", screen.server->Port());
    ASSERT_TRUE(w.WaitFor(1, 3000));
    const std::string log = open.Read("ledapi.log");
    if (log.empty()) {
      // Where new files are private (Windows' temporary folder), the key is
      // taken and the keyed screen answers.
      EXPECT_EQ(w.Received[0].Kind, 3);
    } else {
      EXPECT_EQ(w.Received[0].Kind, 4);
      EXPECT_NE(log.find("line 2: key refused: the file is readable by everyone"), std::string::npos) << log;
    }
    LED_Close(link);
  }
  EXPECT_FALSE(screen.server->Changes() > 1 && SamePicture(screen.server->Picture(), pic));
}
