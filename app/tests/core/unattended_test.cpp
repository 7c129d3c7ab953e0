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

// Each exit code against each cause that gives it.
TEST(RunResults, OnlyAShownBoardOrAWrittenPreviewIsASuccess) {
  // 0: the screen showed the board; the preview was written.
  EXPECT_EQ(SendResultOf(Notice(led::kKindSendDone), screenlink::AsciiHost), (RunResult{0, "发送完成"}));
  EXPECT_EQ(PreviewWritten("C:\\out\\board.bmp"), (RunResult{0, "board written to C:\\out\\board.bmp"}));

  // 1: not sent. The screen refused the program (any status but 0: the log's
  // text is the window's, and says why); the send timed out; no report came
  // at all; the link could not be opened.
  for (int32_t status : {led::kStatusRejected, 2, led::kStatusAutoMode, -1}) {
    const auto refused = SendResultOf(Notice(led::kKindSendDone, status), screenlink::AsciiHost);
    ASSERT_TRUE(refused) << status;
    EXPECT_EQ(*refused,
              (RunResult{1, "发送完成 (the screen refused the program, status " + std::to_string(status) + ")"}));
  }
  for (int32_t status : {0, 1})
    EXPECT_EQ(SendResultOf(Notice(led::kKindTimeout, status, "127.0.0.1"), screenlink::AsciiHost),
              (RunResult{1, "发送超时!  类型: 网络  发往: 127.0.0.1"}));
  EXPECT_EQ(NoReport("127.0.0.1", screenlink::AsciiHost),
            (RunResult{1, "发送超时!  类型: 网络  发往: 127.0.0.1"}));
  EXPECT_EQ(LinkNotOpened(), (RunResult{1, "无法打开指定通讯链路!"}));

  // 2: bad input, with the reason as the text.
  EXPECT_EQ(BadInput("lunch.txt: File not found"), (RunResult{2, "lunch.txt: File not found"}));

  // Reports that are not a send's outcome leave the wait going, whatever
  // their status.
  for (int32_t kind : {led::kKindAnswer, 0, 1, 5, -2})
    for (int32_t status : {0, 1}) {
      TLedNotify n = Notice(kind, status, "127.0.0.1");
      n.Command = led::kCmdQuery;  // an answer the log has a text for
      EXPECT_FALSE(SendResultOf(n, screenlink::AsciiHost)) << kind;
    }
}

TEST(RunLog, OneLineOfTimeFileCodeAndText) {
  const LocalTime t{2026, 12, 9, 7, 5, 3};
  EXPECT_EQ(RunLogLine(t, Parse({"/send", "早餐.txt"}), {0, "发送完成"}),
            "2026-12-09 07:05:03\t早餐.txt\t0\t发送完成");
  const RunRequest bad = Parse({"/bogus"});
  EXPECT_EQ(RunLogLine(t, bad, BadInput(bad.problem)),
            "2026-12-09 07:05:03\t-\t2\tunknown argument \"/bogus\"; use /send MENUFILE or /preview MENUFILE OUT.bmp");
}
