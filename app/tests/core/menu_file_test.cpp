#include "app/core/menu_file.h"

#include <gtest/gtest.h>

#include "app/tests/core/file_test_util.h"

using namespace apptest;
using app::MenuLines;
using plat::EInOutError;
using plat::TextFile;

namespace {

MenuLines Filled(const std::string& prefix) {
  MenuLines m;
  for (int i = 0; i < app::kMenuLineCount; ++i) m[i] = prefix + std::to_string(i + 1);
  return m;
}

MenuLines ReadBytes(const std::string& bytes, MenuLines start = Filled("old")) {
  auto f = TextFile::FromBytes(bytes);
  app::ReadMenu(*f, [&](int line, const std::string& text) { start[line - 1] = text; });
  return start;
}

}  // namespace

TEST(MenuFile, WritesThirtyCrLfLines) {
  MenuLines m;
  m[0] = "\xB2\xCB\xC3\xFB";  // GBK bytes go through untouched
  m[1] = "0.1";
  const std::string bytes = app::MenuFileBytes(m);
  EXPECT_EQ(bytes, "\xB2\xCB\xC3\xFB\r\n0.1\r\n" + std::string() + [] {
    std::string rest;
    for (int i = 2; i < 30; ++i) rest += "\r\n";
    return rest;
  }());
}

TEST(MenuFile, RoundTripKeepsEmptyLinesAndSpaces) {
  MenuLines m = Filled("dish ");
  m[0] = "";
  m[1] = "  lead";
  m[2] = "trail  ";
  m[3] = " ";
  m[29] = "";
  EXPECT_EQ(ReadBytes(app::MenuFileBytes(m)), m);
}

TEST(MenuFile, LfOnlyReadsLikeCrLf) {
  std::string crlf, lf;
  for (int i = 1; i <= 30; ++i) {
    const std::string n = std::to_string(i);
    crlf.append("x").append(n).append("\r\n");
    lf.append("x").append(n).append("\n");
  }
  EXPECT_EQ(ReadBytes(lf), ReadBytes(crlf));
  EXPECT_EQ(ReadBytes(lf)[29], "x30");
}

TEST(MenuFile, ShortFileEmptiesTheRemainingBoxes) {
  std::string ten;
  for (int i = 1; i <= 10; ++i) ten.append("n").append(std::to_string(i)).append("\r\n");
  const MenuLines m = ReadBytes(ten);
  EXPECT_EQ(m[9], "n10");
  for (int i = 10; i < 30; ++i) EXPECT_EQ(m[i], "") << i;
}

TEST(MenuFile, LinesAfterTheThirtiethAreIgnored) {
  std::string text;
  for (int i = 1; i <= 35; ++i) text += std::to_string(i) + "\n";
  int calls = 0;
  auto f = TextFile::FromBytes(text);
  app::ReadMenu(*f, [&](int line, const std::string& s) {
    ++calls;
    EXPECT_EQ(s, std::to_string(line));
  });
  EXPECT_EQ(calls, 30);
}

TEST(MenuFile, EndOfTextByteAndLoneCr) {
  const MenuLines m = ReadBytes("a\rb\r\nc\r\n\x1A" "d\r\ne\r\n");
  EXPECT_EQ(m[0], "ab");
  EXPECT_EQ(m[1], "c");
  EXPECT_EQ(m[2], "");
  EXPECT_EQ(m[3], "");
}

TEST(MenuFile, BreakInsideATextDoesNotShiftTheFile) {
  MenuLines m = Filled("e");
  m[4] = "two\nlines";
  const MenuLines back = ReadBytes(app::MenuFileBytes(m));
  EXPECT_EQ(back[4], "two lines");
  EXPECT_EQ(back[29], "e30");
}

using MenuFileOnDisk = ScratchDir;

TEST_F(MenuFileOnDisk, SaveThenOpenRestoresAllBoxes) {
  MenuLines m = Filled("\xB2\xCB ");
  m[7] = "";
  m[8] = "  x  ";
  const std::string path = Utf8(dir_ / "menu.txt");
  app::WriteMenuFile(path, Filled("first"));
  app::WriteMenuFile(path, m);  // replaces without a question
  MenuLines back;
  int calls = 0;
  app::ReadMenuFile(path, [&](int line, const std::string& s) {
    back[line - 1] = s;
    ++calls;
  });
  EXPECT_EQ(calls, 30);
  EXPECT_EQ(back, m);
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(MenuFileOnDisk, OpeningAMissingFileChangesNothing) {
  int calls = 0;
  try {
    app::ReadMenuFile(Utf8(dir_ / "gone.txt"), [&](int, const std::string&) { ++calls; });
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 2);
    EXPECT_STREQ(e.what(), "File not found");
  }
  EXPECT_EQ(calls, 0);
}

TEST_F(MenuFileOnDisk, FailedWriteKeepsTheOldFile) {
  const fs::path target = dir_ / app::kDefaultMenuFileName;
  fs::create_directory(target);
  Put(target / "old", "old menu");
  try {
    app::WriteMenuFile(Utf8(target), Filled("new"));
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_EQ(Slurp(target / "old"), "old menu");
  EXPECT_EQ(EntryCount(), 1u);
}
