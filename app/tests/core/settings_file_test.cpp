#include "app/core/settings_file.h"

#include <gtest/gtest.h>

#include <vector>

#include "app/tests/core/file_test_util.h"

using namespace apptest;
using app::SettingsValues;
using plat::EInOutError;
using plat::TextFile;

namespace {

// The GBK bytes of each comment, as a GBK editor saves them.
const std::string kSuffix[] = {
    "    ----\xB4\xB0\xBF\xDA\xD7\xF3\xC9\xCF\xBD\xC7",
    "    ----\xB4\xB0\xBF\xDA\xD7\xF3\xB6\xA5\xB5\xE3",
    "    ----\xB4\xB9\xD6\xB1\xC6\xAB\xD2\xC6\xC1\xBF",
    "    ----\xBC\xE4\xBE\xE0",
    "    ----\xBD\xF0\xB6\xEE\xC6\xAB\xD2\xC6\xC1\xBF",
    "    ----\xCE\xAA" "1:\xCF\xD4\xCA\xBE\xB1\xEA\xCC\xE2,0\xB2\xBB\xCF\xD4\xCA\xBE",
    "    ----\xCE\xAA" "1:\xB1\xA3\xB4\xE6\xB5\xBD\xBF\xA8,0\xBD\xF6\xCF\xD4\xCA\xBE",
};

// Records every call in order, to show values arrive one by one.
class RecordingSink : public app::SettingsValuesSink {
 public:
  RecordingSink() : app::SettingsValuesSink(values) {}
  void SetWindowLeft(int32_t v) override { calls.push_back("left"); SettingsValuesSink::SetWindowLeft(v); }
  void SetWindowTop(int32_t v) override { calls.push_back("top"); SettingsValuesSink::SetWindowTop(v); }
  void SetScreenIp(const std::string& v) override { calls.push_back("ip"); SettingsValuesSink::SetScreenIp(v); }
  void SetVerticalOffset(int32_t v) override { calls.push_back("vert"); SettingsValuesSink::SetVerticalOffset(v); }
  SettingsValues values;
  std::vector<std::string> calls;
};

SettingsValues Marked() {
  SettingsValues v;
  v.windowLeft = v.windowTop = v.verticalOffset = v.spacing = v.priceOffset = v.showTitle = v.saveToCard = -99;
  v.screenIp = "unset";
  return v;
}

SettingsValues ReadBytes(const std::string& bytes) {
  SettingsValues v = Marked();
  app::SettingsValuesSink sink(v);
  auto f = TextFile::FromBytes(bytes);
  app::ReadSettings(*f, sink);
  return v;
}

}  // namespace

TEST(SettingsFile, WritesTheEightLinesByteForByte) {
  SettingsValues v;
  v.windowLeft = 348;
  v.windowTop = 195;
  v.screenIp = "192.168.1.99";
  const std::string expected = "348" + kSuffix[0] + "\r\n" + "195" + kSuffix[1] + "\r\n" + "192.168.1.99\r\n" +
                               "0" + kSuffix[2] + "\r\n" + "0" + kSuffix[3] + "\r\n" + "0" + kSuffix[4] + "\r\n" +
                               "0" + kSuffix[5] + "\r\n" + "0" + kSuffix[6] + "\r\n";
  EXPECT_EQ(app::SettingsFileBytes(v), expected);
}

TEST(SettingsFile, RoundTripKeepsEveryValue) {
  SettingsValues v;
  v.windowLeft = -32000;
  v.windowTop = INT32_MAX;
  v.screenIp = "  10.0.0.7   ";  // kept untrimmed
  v.verticalOffset = -5;
  v.spacing = 3;
  v.priceOffset = INT32_MIN;
  v.showTitle = 1;
  v.saveToCard = 5;  // stored as read; only 1 counts as on
  const std::string bytes = app::SettingsFileBytes(v);
  EXPECT_NE(bytes.find("-5" + kSuffix[2] + "\r\n"), std::string::npos);
  EXPECT_EQ(ReadBytes(bytes), v);
}

TEST(SettingsFile, NumberWithoutCommentAndLfOnlyLines) {
  const SettingsValues v = ReadBytes("12\n-3\n1.2.3.4 \n4\n5\n6\n1\n0\n");
  EXPECT_EQ(v.windowLeft, 12);
  EXPECT_EQ(v.windowTop, -3);
  EXPECT_EQ(v.screenIp, "1.2.3.4 ");
  EXPECT_EQ(v.verticalOffset, 4);
  EXPECT_EQ(v.spacing, 5);
  EXPECT_EQ(v.priceOffset, 6);
  EXPECT_EQ(v.showTitle, 1);
  EXPECT_EQ(v.saveToCard, 0);
}

TEST(SettingsFile, HexValuesAreAccepted) {
  const SettingsValues v = ReadBytes("$10 a\r\nx10\r\nip\r\n0x10\r\n-$a\r\n+7\r\n");
  EXPECT_EQ(v.windowLeft, 16);
  EXPECT_EQ(v.windowTop, 16);
  EXPECT_EQ(v.verticalOffset, 16);
  EXPECT_EQ(v.spacing, -10);
  EXPECT_EQ(v.priceOffset, 7);
}

TEST(SettingsFile, BlankLineShiftsTheFollowingValues) {
  // The blank first line is skipped: every value comes one line further down.
  const SettingsValues v = ReadBytes("\r\n100    ----a\r\n200    ----b\r\n1.1.1.1\r\n7\r\n");
  EXPECT_EQ(v.windowLeft, 100);
  EXPECT_EQ(v.windowTop, 200);
  EXPECT_EQ(v.screenIp, "1.1.1.1");
  EXPECT_EQ(v.verticalOffset, 7);
  EXPECT_EQ(v.spacing, 0);
}

TEST(SettingsFile, BlankLineBeforeAnOffsetShiftsTheRest) {
  const SettingsValues v = ReadBytes("1\r\n2\r\nip\r\n\r\n4    ----x\r\n5\r\n6\r\n7\r\n8\r\n");
  EXPECT_EQ(v.verticalOffset, 4);
  EXPECT_EQ(v.spacing, 5);
  EXPECT_EQ(v.priceOffset, 6);
  EXPECT_EQ(v.showTitle, 7);
  EXPECT_EQ(v.saveToCard, 8);
}

TEST(SettingsFile, HyphensRightAfterTheDigitsFailAndEarlierValuesStay) {
  RecordingSink sink;
  sink.values = Marked();
  auto f = TextFile::FromBytes("1\r\n2\r\n3.3.3.3\r\n5----x\r\n6\r\n");
  try {
    app::ReadSettings(*f, sink);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "Invalid numeric input");
  }
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"left", "top", "ip"}));
  EXPECT_EQ(sink.values.windowLeft, 1);
  EXPECT_EQ(sink.values.screenIp, "3.3.3.3");
  EXPECT_EQ(sink.values.verticalOffset, -99);
  EXPECT_EQ(sink.values.spacing, -99);
}

TEST(SettingsFile, ShortFilesGiveZeroAndEmptyWithoutError) {
  const SettingsValues two = ReadBytes("10    ----a\r\n20    ----b\r\n");
  EXPECT_EQ(two.windowLeft, 10);
  EXPECT_EQ(two.windowTop, 20);
  EXPECT_EQ(two.screenIp, "");
  EXPECT_EQ(two.verticalOffset, 0);
  EXPECT_EQ(two.saveToCard, 0);
  const SettingsValues empty = ReadBytes("");
  EXPECT_EQ(empty, SettingsValues{});
}

TEST(SettingsFile, EndOfTextByteEndsTheFile) {
  const SettingsValues v = ReadBytes("1\r\n2\r\nip\r\n3\r\n\x1A" "4\r\n5\r\n");
  EXPECT_EQ(v.verticalOffset, 3);
  EXPECT_EQ(v.spacing, 0);
  EXPECT_EQ(v.priceOffset, 0);
}

TEST(SettingsFile, AddressWithABreakIsWrittenAsOneLine) {
  SettingsValues v;
  v.screenIp = "1.2.3.4\r\nx";
  v.showTitle = 1;
  const SettingsValues back = ReadBytes(app::SettingsFileBytes(v));
  EXPECT_EQ(back.screenIp, "1.2.3.4  x");
  EXPECT_EQ(back.showTitle, 1);
}

using SettingsFileOnDisk = ScratchDir;

TEST_F(SettingsFileOnDisk, WriteThenReadFromDisk) {
  SettingsValues v;
  v.windowLeft = 5;
  v.screenIp = "127.0.0.1";
  v.priceOffset = -2;
  const std::string path = Utf8(dir_ / app::kSettingsFileName);
  app::WriteSettingsFile(path, v);
  app::WriteSettingsFile(path, v);  // replacing an existing file
  EXPECT_EQ(Slurp(dir_ / app::kSettingsFileName), app::SettingsFileBytes(v));
  SettingsValues back = Marked();
  app::SettingsValuesSink sink(back);
  app::ReadSettingsFile(path, sink);
  EXPECT_EQ(back, v);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(SettingsFileOnDisk, MissingFileRaisesFileNotFound) {
  SettingsValues v = Marked();
  app::SettingsValuesSink sink(v);
  try {
    app::ReadSettingsFile(Utf8(dir_ / "messbay.ini"), sink);
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_EQ(v, Marked());
}

TEST_F(SettingsFileOnDisk, FailedWriteKeepsTheOldFile) {
  // The target cannot be replaced (a folder of that name): the error is the
  // runtime's, the folder and its content stay, no temporary is left.
  const fs::path target = dir_ / app::kSettingsFileName;
  fs::create_directory(target);
  Put(target / "old", "old content\r\n");
  try {
    app::WriteSettingsFile(Utf8(target), SettingsValues{});
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_EQ(Slurp(target / "old"), "old content\r\n");
  EXPECT_EQ(EntryCount(), 1u);
}
