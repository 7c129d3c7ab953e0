#include "app/core/unattended.h"

#include <gtest/gtest.h>

#include <cstring>

using namespace app;

namespace {

RunRequest Parse(std::vector<std::string> args) { return ParseRunArguments(args); }

TLedNotify Notice(int32_t kind, int32_t status = 0, const char* host = "") {
  TLedNotify n{};
  n.Kind = kind;
  n.Status = status;
  n.LinkType = 1;
  std::strncpy(n.Host, host, sizeof n.Host - 1);
  return n;
}

}  // namespace

TEST(RunArguments, SendAndPreviewInEitherSpellingAndAnyCase) {
  for (const char* s : {"/send", "--send", "/SEND", "--Send"}) {
    const RunRequest r = Parse({s, "lunch.txt"});
    EXPECT_EQ(r.mode, RunMode::Send) << s;
    EXPECT_EQ(r.menuFile, "lunch.txt");
  }
  for (const char* s : {"/preview", "--preview", "/Preview"}) {
    const RunRequest r = Parse({s, "午餐.txt", "C:\\out dir\\board.bmp"});
    EXPECT_EQ(r.mode, RunMode::Preview) << s;
    EXPECT_EQ(r.menuFile, "午餐.txt");
    EXPECT_EQ(r.bitmapFile, "C:\\out dir\\board.bmp");
  }
}

TEST(RunArguments, AnythingElseIsRefusedWithItsReason) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      {{"/sned", "lunch.txt"}, "unknown argument \"/sned\""},
      {{"lunch.txt"}, "unknown argument \"lunch.txt\""},
      {{"-send", "lunch.txt"}, "unknown argument \"-send\""},
      {{"/send"}, "/send takes one file"},
      {{"/send", "a.txt", "b.txt"}, "/send takes one file"},
      {{"/preview", "a.txt"}, "/preview takes two files"},
      {{"/send", ""}, "an empty file name"},
      {{"/preview", "a.txt", ""}, "an empty file name"},
  };
  for (const auto& [args, why] : cases) {
    const RunRequest r = Parse(args);
    EXPECT_EQ(r.mode, RunMode::BadArguments) << why;
    EXPECT_EQ(r.problem, std::string(why) + "; use /send MENUFILE or /preview MENUFILE OUT.bmp");
  }
}

TEST(RunResults, OnlyAShownBoardIsASuccess) {
  EXPECT_EQ(SendResultOf(Notice(led::kKindSendDone), screenlink::AsciiHost), (RunResult{0, "发送完成"}));
  EXPECT_EQ(SendResultOf(Notice(led::kKindTimeout, 0, "127.0.0.1"), screenlink::AsciiHost),
            (RunResult{1, "发送超时!  类型: 网络  发往: 127.0.0.1"}));
  // The log's text is the window's, but a refused program was not shown.
  const auto refused = SendResultOf(Notice(led::kKindSendDone, led::kStatusRejected), screenlink::AsciiHost);
  ASSERT_TRUE(refused);
  EXPECT_EQ(refused->code, 1);
  EXPECT_EQ(refused->text.rfind("发送完成", 0), 0u);
  // Reports that are not a send's outcome leave the wait going.
  EXPECT_FALSE(SendResultOf(Notice(led::kKindAnswer), screenlink::AsciiHost));
  EXPECT_FALSE(SendResultOf(Notice(1), screenlink::AsciiHost));
  EXPECT_FALSE(SendResultOf(Notice(5), screenlink::AsciiHost));

  EXPECT_EQ(NoReport("127.0.0.1", screenlink::AsciiHost),
            (RunResult{1, "发送超时!  类型: 网络  发往: 127.0.0.1"}));
  EXPECT_EQ(LinkNotOpened(), (RunResult{1, "无法打开指定通讯链路!"}));
  EXPECT_EQ(BadInput("lunch.txt: File not found").code, 2);
}

TEST(RunLog, OneLineOfTimeFileCodeAndText) {
  const LocalTime t{2026, 12, 9, 7, 5, 3};
  EXPECT_EQ(RunLogLine(t, Parse({"/send", "早餐.txt"}), {0, "发送完成"}),
            "2026-12-09 07:05:03\t早餐.txt\t0\t发送完成");
  const RunRequest bad = Parse({"/bogus"});
  EXPECT_EQ(RunLogLine(t, bad, BadInput(bad.problem)),
            "2026-12-09 07:05:03\t-\t2\tunknown argument \"/bogus\"; use /send MENUFILE or /preview MENUFILE OUT.bmp");
}
