#include <gtest/gtest.h>

#include "ui/core/exceptions.h"
#include "ui/core/memini.h"

using plat::TMemIniFile;

TEST(MemIni, LineEndsAndSyntax) {
  EXPECT_EQ(plat::SplitLines("a\r\nb\rc\nd"), (std::vector<std::string>{"a", "b", "c", "d"}));
  EXPECT_EQ(plat::SplitLines("a\r\n\r\n"), (std::vector<std::string>{"a", ""}));
  EXPECT_TRUE(plat::SplitLines("").empty());

  TMemIniFile ini;
  ini.SetText(
      "orphan=1\r\n"
      "  [ Sec ]  \r\n"
      "; comment=1\r\n"
      "\tkey = value with = sign \t\r\n"
      "noequals\r\n"
      "empty=\r\n"
      "[Other]\rx=1\n");
  EXPECT_FALSE(ini.ValueExists("Sec", "orphan"));
  EXPECT_TRUE(ini.SectionExists("sec"));
  EXPECT_EQ(ini.ReadString("SEC", "KEY", "d"), "value with = sign");
  EXPECT_EQ(ini.ReadString("sec", "; comment", "d"), "d");
  EXPECT_EQ(ini.ReadString("sec", "noequals", "d"), "d");
  EXPECT_EQ(ini.ReadString("sec", "empty", "d"), "");  // present but empty
  EXPECT_EQ(ini.ReadString("sec", "missing", "d"), "d");
  EXPECT_EQ(ini.ReadInteger("other", "x", 0), 1);
}

TEST(MemIni, DuplicatesLastWinsAndWholeSectionReplaced) {
  TMemIniFile ini;
  ini.SetText("[A]\r\nk=1\r\nold=1\r\nK=2\r\n[b]\r\nz=1\r\n[a]\r\nk=3\r\n");
  EXPECT_EQ(ini.ReadString("A", "k", ""), "3");
  EXPECT_FALSE(ini.ValueExists("a", "old"));  // the earlier [A] is not visible
  EXPECT_EQ(ini.ReadSections().size(), 2u);
  ini.SetText("[A]\r\nk=1\r\nK=2\r\n");
  EXPECT_EQ(ini.ReadString("a", "k", ""), "2");
}

TEST(MemIni, IntegerRules) {
  TMemIniFile ini;
  ini.SetText(
      "[s]\r\nd=-42\r\nh1=$1F\r\nh2=0x1f\r\nh3=0X10\r\nh4=0x\r\nbig=2147483648\r\nneg=-2147483648\r\n"
      "sys=-16777201\r\nhexwrap=$FFFFFFFF\r\njunk=12a\r\nblank=\r\n");
  EXPECT_EQ(ini.ReadInteger("s", "d", 0), -42);
  EXPECT_EQ(ini.ReadInteger("s", "h1", 0), 31);
  EXPECT_EQ(ini.ReadInteger("s", "h2", 0), 31);
  EXPECT_EQ(ini.ReadInteger("s", "h3", 0), 16);
  EXPECT_EQ(ini.ReadInteger("s", "h4", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "big", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "neg", 7), INT32_MIN);
  EXPECT_EQ(static_cast<uint32_t>(ini.ReadInteger("s", "sys", 0)), 0xFF00000Fu);
  EXPECT_EQ(ini.ReadInteger("s", "hexwrap", 0), -1);
  EXPECT_EQ(ini.ReadInteger("s", "junk", 7), 7);
  EXPECT_EQ(ini.ReadInteger("s", "blank", 7), 7);
  try {
    plat::StrToInt("");
    FAIL();
  } catch (const plat::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
}

TEST(MemIni, DoubleByteNamesAreNotFolded) {
  // "\x81\x5A" and "\x81\x7A" differ only in a trail byte that looks like
  // 'Z' / 'z': they are different characters and must stay different keys.
  TMemIniFile ini;
  ini.SetText("[s]\r\n\x81\x5A=1\r\n\x81\x7A=2\r\nAbC=3\r\n");
  EXPECT_EQ(ini.ReadString("s", "\x81\x5A", ""), "1");
  EXPECT_EQ(ini.ReadString("s", "\x81\x7A", ""), "2");
  EXPECT_EQ(ini.ReadString("s", "abc", ""), "3");
}

TEST(MemIni, WriterEraseAndText) {
  TMemIniFile ini;
  ini.SetText("[one]\r\na=1\r\n[two]\r\nb=2\r\n");
  ini.EraseSection("ONE");
  ini.WriteString("two", "B", "3");
  ini.WriteInteger("three", "c", -5);
  EXPECT_FALSE(ini.SectionExists("one"));
  EXPECT_EQ(ini.GetStrings(), (std::vector<std::string>{"[two]", "b=3", "", "[three]", "c=-5", ""}));
  TMemIniFile back;
  back.SetStrings(ini.GetStrings());
  EXPECT_EQ(back.ReadInteger("three", "c", 0), -5);
}
