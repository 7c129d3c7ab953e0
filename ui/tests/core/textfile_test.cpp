#include "ui/core/textfile.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "ui/core/safe_write.h"

namespace fs = std::filesystem;
using plat::EInOutError;
using plat::TextFile;

namespace {

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

fs::path FromUtf8(const std::string& s) { return fs::path(std::u8string(s.begin(), s.end())); }

std::string Slurp(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void Put(const fs::path& p, const std::string& bytes) {
  std::ofstream out(p, std::ios::binary);
  out << bytes;
}

class ScratchDir : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("platora_tf_" + std::to_string(std::random_device{}()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  size_t EntryCount() const { return static_cast<size_t>(std::distance(fs::directory_iterator(dir_), {})); }
  fs::path dir_;
};

int CodeOf(const std::function<void()>& f) {
  try {
    f();
  } catch (const EInOutError& e) {
    return e.ErrorCode();
  }
  return 0;
}

}  // namespace

TEST(ParseInt32, AcceptsSignedDecimalAndTheHexForms) {
  const std::pair<const char*, int32_t> good[] = {
      {"12", 12},           {"0", 0},          {"-5", -5},       {"+7", 7},          {"$1F", 31},
      {"$1f", 31},          {"x1f", 31},       {"X1F", 31},      {"0x1F", 31},       {"0X1f", 31},
      {"-$10", -16},        {"+0x10", 16},     {"007", 7},       {"2147483647", INT32_MAX},
      {"-2147483648", INT32_MIN},              {"$7FFFFFFF", INT32_MAX},            {"-$80000000", INT32_MIN},
  };
  for (const auto& [text, expected] : good) {
    int32_t v = 12345;
    EXPECT_TRUE(plat::ParseInt32(text, v)) << text;
    EXPECT_EQ(v, expected) << text;
  }
}

TEST(ParseInt32, RejectsJunkAndOutOfRange) {
  for (const char* text : {"", "-", "+", "$", "x", "0x", "5----", "12a", "1.5", "0x1G", "--1", "$-1", "1 ",
                           "2147483648", "-2147483649", "$80000000", "0x100000000", "99999999999999999999"}) {
    int32_t v = 0;
    EXPECT_FALSE(plat::ParseInt32(text, v)) << text;
  }
}

TEST(TextFileRead, IntegerSkipsBlanksAcrossLinesAndStopsAtTheToken) {
  auto f = TextFile::FromBytes(" \t\r\n\r\n  34    ----comment\r\n-7\n12");
  EXPECT_EQ(f->ReadInteger(), 34);
  f->SkipLine();
  EXPECT_EQ(f->ReadInteger(), -7);
  f->SkipLine();
  EXPECT_EQ(f->ReadInteger(), 12);
  EXPECT_TRUE(f->Eof());
  // Past the end: 0 and empty text, no error.
  EXPECT_EQ(f->ReadInteger(), 0);
  EXPECT_EQ(f->ReadLine(), "");
}

TEST(TextFileRead, IntegerFailures) {
  for (const char* text : {"5----", "abc", "1,5", "0x", "4294967296"}) {
    auto f = TextFile::FromBytes(text);
    try {
      f->ReadInteger();
      ADD_FAILURE() << text;
    } catch (const EInOutError& e) {
      EXPECT_EQ(e.ErrorCode(), 106);
      EXPECT_STREQ(e.what(), "Invalid numeric input");
    }
  }
}

TEST(TextFileRead, IntegerTokenIsAtMost32Bytes) {
  // 32 zeros make the number; the 33rd byte is left for the next read.
  auto f = TextFile::FromBytes(std::string(32, '0') + "7\r\n");
  EXPECT_EQ(f->ReadInteger(), 0);
  EXPECT_EQ(f->ReadInteger(), 7);
}

TEST(TextFileRead, EndOfTextByteAndBlankTailGiveZero) {
  EXPECT_EQ(TextFile::FromBytes("  \r\n\r\n")->ReadInteger(), 0);
  EXPECT_EQ(TextFile::FromBytes("\x1A" "12")->ReadInteger(), 0);
  // The token stops at 0x1A, which ends the file.
  auto f = TextFile::FromBytes("12\x1A" "34\r\n56");
  EXPECT_EQ(f->ReadInteger(), 12);
  EXPECT_TRUE(f->Eof());
  EXPECT_EQ(f->ReadInteger(), 0);
}

TEST(TextFileRead, LineRules) {
  auto f = TextFile::FromBytes("a b \r\nLF only\nc\rd\r\n\r\n  lead\r\r\nend\x1Ahidden\r\n");
  EXPECT_EQ(f->ReadLine(), "a b ");
  EXPECT_EQ(f->ReadLine(), "LF only");
  EXPECT_EQ(f->ReadLine(), "cd");  // a lone CR is dropped
  EXPECT_EQ(f->ReadLine(), "");
  EXPECT_EQ(f->ReadLine(), "  lead");
  EXPECT_EQ(f->ReadLine(), "end");
  EXPECT_TRUE(f->Eof());
  EXPECT_EQ(f->ReadLine(), "");
  // A last line without a break, and a trailing lone CR.
  auto g = TextFile::FromBytes("x\r");
  EXPECT_EQ(g->ReadLine(), "x");
  EXPECT_TRUE(g->Eof());
}

TEST(TextFileRead, SkipLineHonoursTheSameBreaks) {
  auto f = TextFile::FromBytes("1 junk\rstill line one\r\n2\n3");
  EXPECT_EQ(f->ReadInteger(), 1);
  f->SkipLine();
  EXPECT_EQ(f->ReadInteger(), 2);
  f->SkipLine();
  EXPECT_EQ(f->ReadLine(), "3");
}

TEST(TextFileRead, ClosedFileRaises) {
  TextFile f("whatever");
  EXPECT_EQ(CodeOf([&] { f.ReadLine(); }), 103);
  EXPECT_EQ(CodeOf([&] { f.Close(); }), 103);
}

TEST(IoErrorCodeFor, MapsPosixErrorsLikeTheRuntime) {
  auto code = [](int e) { return plat::IoErrorCodeFor(std::error_code(e, std::generic_category())); };
  EXPECT_EQ(code(ENOENT), 2);
  EXPECT_EQ(code(EACCES), 5);
  EXPECT_EQ(code(EPERM), 5);
  EXPECT_EQ(code(EISDIR), 5);
  EXPECT_EQ(code(EROFS), 5);
  EXPECT_EQ(code(ENOSPC), ENOSPC);
  EXPECT_EQ(plat::IoErrorMessage(ENOSPC), std::string("I/O error ").append(std::to_string(ENOSPC)));
  EXPECT_EQ(plat::IoErrorMessage(5), "File access denied");
  EXPECT_EQ(plat::IoErrorMessage(2), "File not found");
  EXPECT_EQ(plat::IoErrorMessage(106), "Invalid numeric input");
  // Every other code, also those that have a name elsewhere, shows its number.
  for (int c : {3, 100, 101, 103}) EXPECT_EQ(plat::IoErrorMessage(c), "I/O error " + std::to_string(c));
}

TEST(SingleLine, BreaksAndEndOfTextBecomeSpaces) {
  EXPECT_EQ(plat::SingleLine("a\r\nb\x1A" "c\n"), "a  b c ");
  EXPECT_EQ(plat::SingleLine("  keep  "), "  keep  ");
}

using TextFileOnDisk = ScratchDir;

TEST_F(TextFileOnDisk, ReadsAcrossBufferBoundaries) {
  // CR LF split over the reader's 4096-byte chunks, and a line far longer.
  std::string first(4095, 'a');
  std::string longLine(10000, 'b');
  Put(dir_ / "big.txt", first + "\r\n" + longLine + "\n" + "tail");
  TextFile f(Utf8(dir_ / "big.txt"));
  f.Reset();
  EXPECT_EQ(f.ReadLine(), first);
  EXPECT_EQ(f.ReadLine(), longLine);
  EXPECT_EQ(f.ReadLine(), "tail");
  EXPECT_TRUE(f.Eof());
  f.Close();
}

TEST_F(TextFileOnDisk, MissingFileIsFileNotFound) {
  TextFile f(Utf8(dir_ / "nothere.ini"));
  try {
    f.Reset();
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 2);
    EXPECT_STREQ(e.what(), "File not found");
  }
}

TEST_F(TextFileOnDisk, ReadingADirectoryIsAccessDenied) {
  fs::create_directory(dir_ / "sub");
  TextFile f(Utf8(dir_ / "sub"));
  EXPECT_EQ(CodeOf([&] {
              f.Reset();
              f.ReadLine();
            }),
            5);
}

TEST_F(TextFileOnDisk, RewriteReplacesOnlyAtClose) {
  const fs::path target = dir_ / "menu.txt";
  Put(target, "old\r\n");
  TextFile f(Utf8(target));
  f.Rewrite();
  f.WriteLine("new");
  f.Write(std::string(100000, 'x'));  // more than one write chunk
  EXPECT_EQ(Slurp(target), "old\r\n");
  f.Close();
  EXPECT_EQ(Slurp(target), "new\r\n" + std::string(100000, 'x'));
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileOnDisk, AbandonedWriteLeavesTheOldFile) {
  const fs::path target = dir_ / "default.lst";
  Put(target, "keep me\r\n");
  {
    TextFile f(Utf8(target));
    f.Rewrite();
    f.WriteLine("half");
  }  // an error unwound before Close
  EXPECT_EQ(Slurp(target), "keep me\r\n");
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileOnDisk, UnreplaceableTargetKeepsOldContentAndNoTemporary) {
  // A directory under the target's name cannot be replaced by a file, for
  // root as well.
  const fs::path target = dir_ / "messbay.ini";
  fs::create_directory(target);
  Put(target / "inside", "untouched");
  TextFile f(Utf8(target));
  f.Rewrite();
  f.WriteLine("1");
  try {
    f.Close();
    FAIL();
  } catch (const EInOutError& e) {
    EXPECT_EQ(e.ErrorCode(), 5);
    EXPECT_STREQ(e.what(), "File access denied");
  }
  EXPECT_FALSE(f.IsOpen());
  EXPECT_TRUE(fs::is_directory(target));
  EXPECT_EQ(Slurp(target / "inside"), "untouched");
  EXPECT_EQ(EntryCount(), 1u);
}

TEST_F(TextFileOnDisk, MissingFolderFailsAtRewrite) {
  TextFile f(Utf8(dir_ / "no" / "such.txt"));
#ifdef _WIN32
  EXPECT_EQ(CodeOf([&] { f.Rewrite(); }), 3);  // the OS says "path not found"
#else
  EXPECT_EQ(CodeOf([&] { f.Rewrite(); }), 2);
#endif
  EXPECT_EQ(EntryCount(), 0u);
}

using AtomicWrite = ScratchDir;

TEST_F(AtomicWrite, ReplacesAndCleansUp) {
  const fs::path target = dir_ / "a.txt";
  Put(target, "previous");
  plat::WriteFileAtomically(Utf8(target), "next");
  EXPECT_EQ(Slurp(target), "next");
  plat::WriteFileAtomically(Utf8(dir_ / "fresh.txt"), "");
  EXPECT_TRUE(fs::exists(dir_ / "fresh.txt"));
  EXPECT_EQ(EntryCount(), 2u);
}

TEST_F(AtomicWrite, UncommittedWriterRemovesItsTemporary) {
  const fs::path target = dir_ / "a.txt";
  Put(target, "previous");
  {
    plat::AtomicFileWriter w(Utf8(target));
    w.Write("partial");
    EXPECT_TRUE(fs::exists(FromUtf8(w.TempPath())));
    EXPECT_EQ(FromUtf8(w.TempPath()).parent_path(), target.parent_path());
  }
  EXPECT_EQ(Slurp(target), "previous");
  EXPECT_EQ(EntryCount(), 1u);
}

#ifdef _WIN32
#include <cstdio>
TEST_F(AtomicWrite, TargetHeldOpenByAnotherHandleStaysIntact) {
  // Windows refuses to replace a file that is open without delete sharing.
  const fs::path target = dir_ / "held.txt";
  Put(target, "old bytes");
  std::FILE* held = _wfopen(target.c_str(), L"rb");
  ASSERT_NE(held, nullptr);
  EXPECT_NE(CodeOf([&] { plat::WriteFileAtomically(Utf8(target), "new"); }), 0);
  std::fclose(held);
  EXPECT_EQ(Slurp(target), "old bytes");
  EXPECT_EQ(EntryCount(), 1u);
}
#endif
