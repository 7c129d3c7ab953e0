// ledapi.ini: the lines the guide gives work as written, defaults fill the
// rest, and every value that cannot be taken exactly is refused with the
// file, its line and the reason.
#include "ledapi/core/ledapi_ini.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "ui/core/memini.h"

using namespace ledp;

namespace {

std::string Refusal(const std::string& text) {
  LedApiConfig c;
  std::string error;
  EXPECT_FALSE(ParseLedApiIni(text, "C:\\board\\ledapi.ini", c, error)) << text;
  EXPECT_TRUE(c.Targets.empty());
  return error;
}

LedApiConfig Parsed(const std::string& text) {
  LedApiConfig c;
  std::string error;
  EXPECT_TRUE(ParseLedApiIni(text, "ledapi.ini", c, error)) << error;
  return c;
}

}  // namespace

TEST(LedApiIni, TheGuidesMinimalSectionsWorkWithTheProtocolsDefaults) {
  auto c = Parsed("[192.168.1.60]\r\nprotocol=e131\r\nuniverse=1\r\n"
                  "[192.168.1.61]\nprotocol=artnet\n"
                  "[192.168.1.62]\nprotocol=ddp\n");
  ASSERT_EQ(c.Targets.size(), 3u);
  const PixelTarget* e = c.Find("192.168.1.60");
  ASSERT_TRUE(e);
  EXPECT_EQ(e->Kind, Protocol::E131);
  EXPECT_EQ(e->PortOrDefault(), 5568);
  EXPECT_EQ(e->FirstUniverse(), 1);
  EXPECT_EQ(e->UniverseCount(), 290);
  EXPECT_EQ(e->Priority, 100);
  EXPECT_EQ(e->SyncUniverse, 0);
  EXPECT_EQ(e->RepeatMs, 1000);
  EXPECT_EQ(c.Find("192.168.1.61")->PortOrDefault(), 6454);
  EXPECT_EQ(c.Find("192.168.1.61")->FirstUniverse(), 0);
  EXPECT_EQ(c.Find("192.168.1.62")->PortOrDefault(), 4048);
  EXPECT_FALSE(c.Find("192.168.1.99"));   // no section: our own protocol
  EXPECT_FALSE(c.Find("not an address"));
  EXPECT_TRUE(Parsed("").Targets.empty());
}

TEST(LedApiIni, EverySettingIsReadWithCommentsBlanksAndCaseAsPeopleWriteThem) {
  auto c = Parsed("\xEF\xBB\xBF; Platora's screens\n"
                  "# second comment style\n"
                  "[ 127.0.0.1 ]\n"
                  "  Protocol = E131   ; the WLED on the wall\n"
                  "port = 5570\n"
                  "universe = 100\n"
                  "pixels_per_universe = 169\n"
                  "width = 64\n"
                  "height = 32\n"
                  "channel_order = grb\n"
                  "layout = Serpentine\n"
                  "mirror = horizontal\n"
                  "gamma = 2.2\n"
                  "repeat_ms = 0\n"
                  "packets_per_ms = 0.5\n"
                  "sync_universe = 7000\n"
                  "priority = 150\n"
                  "source_name = Canteen#2 ; kitchen side\n"
                  "cid = 6f1c2e3a-0b4d-4e5f-8a9b-0c1d2e3f4a5b\n");
  const PixelTarget* t = c.Find("127.0.0.1");
  ASSERT_TRUE(t);
  EXPECT_EQ(t->Port, 5570);
  EXPECT_EQ(t->FirstUniverse(), 100);
  EXPECT_EQ(t->PixelsPerUniverse, 169);
  EXPECT_EQ(t->UniverseCount(), 13);  // 2048 pixels
  EXPECT_EQ(t->Width, 64);
  EXPECT_EQ(t->Height, 32);
  EXPECT_EQ(t->Wire.Channels, (std::array<uint8_t, 3>{1, 0, 2}));
  EXPECT_EQ(t->Wire.Order, Layout::Serpentine);
  EXPECT_TRUE(t->Wire.MirrorX);
  EXPECT_FALSE(t->Wire.MirrorY);
  EXPECT_DOUBLE_EQ(t->Gamma, 2.2);
  EXPECT_EQ(t->RepeatMs, 0);
  EXPECT_DOUBLE_EQ(t->PacketsPerMs, 0.5);
  EXPECT_EQ(t->SyncUniverse, 7000);
  EXPECT_EQ(t->Priority, 150);
  EXPECT_EQ(t->SourceName, "Canteen#2");  // "#" after no blank is part of the name
  ASSERT_TRUE(t->Id);
  EXPECT_EQ((*t->Id)[0], 0x6F);
}

TEST(LedApiIni, BadValuesAreRefusedNamingFileLineAndReason) {
  EXPECT_EQ(Refusal("[192.168.1.60]\nprotocol=e131\nuniverse=0\n"),
            "C:\\board\\ledapi.ini, line 3: universe 0 is outside 1..63999 for e131");
  EXPECT_EQ(Refusal("[192.168.1.60]\nprotocol=sacn\n"),
            "C:\\board\\ledapi.ini, line 2: protocol: \"sacn\" is not one of own, e131, artnet, ddp");
  EXPECT_EQ(Refusal("[192.168.1.60]\nprotocol=e131\nuniverse=63990\n"),
            "C:\\board\\ledapi.ini, line 3: the board needs universes 63990..64279, past 63999");
  EXPECT_EQ(Refusal("[192.168.1.60]\nprotocol=artnet\nuniverse=32767\n"),
            "C:\\board\\ledapi.ini, line 3: the board needs universes 32767..33056, past 32767");
  EXPECT_EQ(Refusal("\n\n[192.168.1.600]\n"),
            "C:\\board\\ledapi.ini, line 3: section \"192.168.1.600\" is not a screen address such as 192.168.1.60");
  EXPECT_EQ(Refusal("[10.0.0.1]\nprotocol=ddp\nuniverse=1\n"),
            "C:\\board\\ledapi.ini, line 3: universe has no meaning for ddp");
  EXPECT_EQ(Refusal("[10.0.0.1]\nuniverse=1\n"),
            "C:\\board\\ledapi.ini, line 2: universe has no meaning for our own protocol");
  EXPECT_EQ(Refusal("[10.0.0.1]\nprotocol=artnet\npriority=100\n"),
            "C:\\board\\ledapi.ini, line 3: priority has no meaning for artnet");
  EXPECT_EQ(Refusal("[10.0.0.1]\nprotocol=e131\nsync_universe=2\n"),
            "C:\\board\\ledapi.ini, line 3: sync_universe 2 is one of the board's own universes");
  EXPECT_EQ(Refusal("[10.0.0.1]\nprotocol=e131\nprotocol=ddp\n"),
            "C:\\board\\ledapi.ini, line 3: protocol is given twice in this section");
  EXPECT_EQ(Refusal("[10.0.0.1]\n[10.0.0.1]\n"), "C:\\board\\ledapi.ini, line 2: a second section for 10.0.0.1");
  EXPECT_EQ(Refusal("protocol=e131\n"), "C:\\board\\ledapi.ini, line 1: a setting before the first [section]");
  EXPECT_EQ(Refusal("[10.0.0.1]\nprotocol=e131\nbrightness=5\n"),
            "C:\\board\\ledapi.ini, line 3: unknown setting \"brightness\"");
}

TEST(LedApiIni, NumbersAreTakenOnlyWhenExact) {
  // Each would be something else if read leniently: a sign, hexadecimal, a
  // trailing unit, a fraction where a count is meant, a value just outside.
  for (const char* line : {"port=-1", "port=0x15b3", "port=5568 udp", "port=65536", "port=", "universe=1.5",
                           "pixels_per_universe=171", "pixels_per_universe=0", "gamma=2,2", "gamma=.5", "gamma=5",
                           "gamma=2.", "packets_per_ms=0", "repeat_ms=10", "width=0", "height=4097",
                           "channel_order=RGBW", "layout=columns", "mirror=yes", "priority=201",
                           "cid=not-a-cid", "source_name=" })
    EXPECT_NE(Refusal(std::string("[127.0.0.1]\nprotocol=e131\n") + line + "\n").find("line 3: "),
              std::string::npos)
        << line;
  EXPECT_NE(Refusal("[127.0.0.1]\nprotocol=e131\nsource_name=" + std::string(64, 'x') + "\n").find("line 3"),
            std::string::npos);
}

TEST(LedApiIni, MissingFileIsOurOwnProtocolAndAFileOnDiskIsReadWithItsPath) {
  namespace fs = std::filesystem;
  const fs::path dir = fs::temp_directory_path() / ("ledapi_ini_test_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  fs::create_directories(dir);
  LedApiConfig c;
  std::string error;
  EXPECT_TRUE(ReadLedApiIniFile((dir / "ledapi.ini").string(), c, error));
  EXPECT_TRUE(c.Targets.empty());
  {
    std::ofstream f(dir / "ledapi.ini", std::ios::binary);
    f << "[127.0.0.1]\r\nprotocol=ddp\r\nwidth=abc\r\n";
  }
  EXPECT_FALSE(ReadLedApiIniFile((dir / "ledapi.ini").string(), c, error));
  EXPECT_EQ(error, (dir / "ledapi.ini").string() + ", line 3: width: \"abc\" is not a size in LEDs 1..4096");
  fs::remove_all(dir);
}

TEST(LedApiIni, TheReleasesFileIsOurOwnProtocolAsShippedAndEveryExampleWorksUncommented) {
  std::ifstream f(std::string(RELEASE_DIR) + "/ledapi.ini", std::ios::binary);
  ASSERT_TRUE(f);
  const std::string text((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  EXPECT_TRUE(Parsed(text).Targets.empty());
  // Every commented line that looks like a section or a setting, without its ";".
  std::string examples;
  for (const std::string& line : plat::SplitLines(text))
    if (line.size() > 1 && line[0] == ';' && (line[1] == '[' || line.find(" = ") != std::string::npos) &&
        line.find("  ") == std::string::npos)
      examples += line.substr(1) + "\n";
  auto c = Parsed(examples);
  ASSERT_EQ(c.Targets.size(), 4u) << examples;
  EXPECT_EQ(c.Find("192.168.1.60")->Kind, Protocol::E131);
  EXPECT_EQ(c.Find("192.168.1.61")->Kind, Protocol::Ddp);
  EXPECT_EQ(c.Find("192.168.1.62")->Wire.Order, Layout::Serpentine);
  EXPECT_EQ(c.Find("192.168.1.63")->Kind, Protocol::ArtNet);
}
