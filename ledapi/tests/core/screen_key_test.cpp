// Screen keys: the text form, key files and their permissions, and the
// `key` / `keyfile` entries of ledapi.ini.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ledapi/core/key_text.h"
#include "ledapi/core/ledapi_ini.h"
#include "ledapi/keys/key_file.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif

using namespace ledp;

namespace {

const std::string kHex = "00112233445566778899aabbccddeeff00112233445566778899AABBCCDDEEFF";

struct TempDir {
  TempDir() : path(std::filesystem::temp_directory_path() / ("ledkey-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name())) {
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~TempDir() { std::filesystem::remove_all(path); }
  std::string File(const char* name) const { return (path / name).string(); }
  std::filesystem::path path;
};

}  // namespace

TEST(ScreenKey, TextIsSixtyFourHexDigitsAndOneOptionalLineEnd) {
  std::string why;
  for (const std::string& ok : {kHex, kHex + "\n", kHex + "\r\n"}) {
    auto k = ParseKeyText(ok, why);
    ASSERT_TRUE(k) << why;
    EXPECT_EQ((*k)[0], 0x00);
    EXPECT_EQ((*k)[9], 0x99);
    EXPECT_EQ((*k)[31], 0xFF);
  }
  EXPECT_EQ(FormatKeyText(*ParseKeyText(kHex, why)), "00112233445566778899aabbccddeeff00112233445566778899aabbccddeeff\n");
  struct Bad {
    std::string Text, Why;
  };
  for (const Bad& b : {Bad{kHex.substr(0, 63), "63 hexadecimal digits"}, Bad{kHex + "0", "65 hexadecimal digits"},
                       Bad{"", "0 hexadecimal digits"}, Bad{kHex + "\n\n", "only the hexadecimal digits"},
                       Bad{" " + kHex, "only the hexadecimal digits"}, Bad{kHex.substr(0, 62) + "g0", "only the"}}) {
    EXPECT_FALSE(ParseKeyText(b.Text, why)) << b.Text;
    EXPECT_NE(why.find(b.Why), std::string::npos) << why;
  }
}

TEST(ScreenKey, AMadeKeyFileIsReadBackAndNeverOverwritten) {
  TempDir dir;
  const std::string path = dir.File("screen.key");
  std::string error;
  ASSERT_TRUE(keys::MakeKeyFile(path, error)) << error;
  auto first = keys::LoadKeyFile(path, error);
  ASSERT_TRUE(first) << error;
  EXPECT_FALSE(keys::MakeKeyFile(path, error));
  EXPECT_NE(error.find("already exists"), std::string::npos) << error;
  EXPECT_EQ(keys::LoadKeyFile(path, error), first);  // unchanged
  // Two keys made are two different keys.
  ASSERT_TRUE(keys::MakeKeyFile(dir.File("other.key"), error)) << error;
  EXPECT_NE(keys::LoadKeyFile(dir.File("other.key"), error), first);
#ifndef _WIN32
  struct stat st {};
  ASSERT_EQ(stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
#endif
}

TEST(ScreenKey, UnreadableWrongLengthAndEveryoneReadableFilesAreRefusedSayingWhy) {
  TempDir dir;
  std::string error;
  EXPECT_FALSE(keys::LoadKeyFile(dir.File("missing.key"), error));
  EXPECT_NE(error.find("missing.key: cannot be read"), std::string::npos) << error;

  // A file of the wrong length, made as a key file is (owner only).
  const std::string shortKey = dir.File("short.key");
  ASSERT_TRUE(keys::MakeKeyFile(shortKey, error)) << error;
  std::filesystem::resize_file(shortKey, 40);
  EXPECT_FALSE(keys::LoadKeyFile(shortKey, error));
  EXPECT_NE(error.find("the wrong length: 40 hexadecimal digits"), std::string::npos) << error;

  // An ordinary file, as an editor or a copy leaves it.
  const std::string open = dir.File("open.key");
  std::ofstream(open) << kHex << "\n";
#ifndef _WIN32
  chmod(open.c_str(), 0644);
  EXPECT_FALSE(keys::LoadKeyFile(open, error));
  EXPECT_NE(error.find("readable by everyone (mode 0644)"), std::string::npos) << error;
  EXPECT_NE(keys::ReadableByEveryone(open).find("mode 0644"), std::string::npos);  // an ledapi.ini with a key
  chmod(open.c_str(), 0640);
  EXPECT_TRUE(keys::LoadKeyFile(open, error)) << error;
  EXPECT_EQ(keys::ReadableByEveryone(open), "");
#else
  // Under Wine a new file's access list follows its Unix mode (0644 here:
  // Everyone may read); on Windows it inherits the folder's, which for the
  // temporary folder lets only the account and administrators in.
  auto k = keys::LoadKeyFile(open, error);
  if (!k) {
    EXPECT_NE(error.find("readable by everyone"), std::string::npos) << error;
  }
#endif
}

TEST(ScreenKey, LedApiIniTakesAKeyOrAKeyFileForOurOwnProtocolOnly) {
  LedApiConfig c;
  std::string error;
  ASSERT_TRUE(ParseLedApiIni("[127.0.0.1]\nkey = " + kHex + "\n[127.0.0.2]\nprotocol=own\nkeyfile=screen.key\n",
                             "ledapi.ini", c, error))
      << error;
  ASSERT_TRUE(c.Find("127.0.0.1") && c.Find("127.0.0.1")->Key);
  EXPECT_EQ((*c.Find("127.0.0.1")->Key)[31], 0xFF);
  EXPECT_EQ(c.Find("127.0.0.2")->KeyFile, "screen.key");
  EXPECT_EQ(c.Find("127.0.0.2")->KeyLine, 5);

  struct Bad {
    std::string Text, Error;
  };
  for (const Bad& b : {
           Bad{"[127.0.0.1]\nkey=" + kHex.substr(1) + "\n", "ledapi.ini, line 2: key: the wrong length: 63"},
           Bad{"[127.0.0.1]\nkey=" + kHex + "\nkeyfile=a.key\n", "line 3: key and keyfile: give one of them"},
           Bad{"[127.0.0.1]\nprotocol=ddp\nkey=" + kHex + "\n", "line 3: key has no meaning for ddp"},
           Bad{"[127.0.0.1]\nkeyfile=\n", "line 2: keyfile: a file name is needed"},
       }) {
    EXPECT_FALSE(ParseLedApiIni(b.Text, "ledapi.ini", c, error));
    EXPECT_NE(error.find(b.Error), std::string::npos) << error;
    EXPECT_EQ(error.find(kHex.substr(1, 20)), std::string::npos) << "a key is never repeated: " << error;
  }
}
