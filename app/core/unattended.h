// The program started with arguments, for schedulers: "/send MENUFILE" sends
// the board of a menu file without a window, "/preview MENUFILE OUT.bmp"
// writes it to a bitmap. The parts that need no Win32: the arguments, the
// exit codes and the line each run appends to "platora.log".
#pragma once
#include <optional>
#include <string>
#include <vector>

#include "screenlink/core/notify_text.h"

namespace app {

inline constexpr char kRunLogFileName[] = "platora.log";

enum class RunMode { Send, Preview, BadArguments };

struct RunRequest {
  RunMode mode = RunMode::BadArguments;
  std::string menuFile;    // UTF-8, as given
  std::string bitmapFile;  // the preview's output
  std::string problem;     // why the arguments were refused
};

// The arguments after the program's name (at least one). "/send" and
// "/preview" may also be written "--send" and "--preview", in any case.
RunRequest ParseRunArguments(const std::vector<std::string>& args);

// 0: the screen reported the board shown; 1: the link could not be opened or
// the send timed out; 2: bad input (a file missing or unreadable, bad
// arguments), nothing sent.
enum ExitCode : int { kExitSent = 0, kExitNotSent = 1, kExitBadInput = 2 };

struct RunResult {
  int code = kExitBadInput;
  std::string text;  // UTF-8: the result log's text, or the reason
  bool operator==(const RunResult&) const = default;
};

// The send's outcome from a notification of its link, or nothing for a
// notification that is not one (the caller keeps waiting). A program the
// screen refused is not a success, although the log's text is the same.
std::optional<RunResult> SendResultOf(const TLedNotify& n, const screenlink::HostDecoder& decode);
// The link's open failed (the window shows this text in its error box).
RunResult LinkNotOpened();
// No report came at all within the wait: the timeout text naming the target.
RunResult NoReport(const std::string& screenIpBytes, const screenlink::HostDecoder& decode);
RunResult BadInput(std::string reason);
RunResult PreviewWritten(const std::string& bitmapFile);

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// One run's line (UTF-8, no line end): time, the menu file as given ("-"
// when the arguments named none), the exit code and the text, separated by
// tabs.
std::string RunLogLine(const LocalTime& t, const RunRequest& request, const RunResult& result);

}  // namespace app
