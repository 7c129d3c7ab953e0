#include "app/core/unattended.h"

#include <cstdio>
#include <cstring>

namespace app {

namespace {

std::string Lower(std::string s) {
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool IsSwitch(const std::string& arg, const char* name) {
  const std::string a = Lower(arg);
  return a == std::string("/") + name || a == std::string("--") + name;
}

constexpr char kUsage[] = "use /send MENUFILE or /preview MENUFILE OUT.bmp";

RunRequest Refused(std::string why) {
  RunRequest r;
  r.problem = std::move(why) + "; " + kUsage;
  return r;
}

}  // namespace

RunRequest ParseRunArguments(const std::vector<std::string>& args) {
  if (args.empty()) return Refused("no arguments");
  const size_t wanted = IsSwitch(args[0], "send") ? 2 : IsSwitch(args[0], "preview") ? 3 : 0;
  if (wanted == 0) return Refused("unknown argument \"" + args[0] + "\"");
  if (args.size() != wanted) return Refused(args[0] + " takes " + (wanted == 2 ? "one file" : "two files"));
  for (size_t i = 1; i < args.size(); ++i)
    if (args[i].empty()) return Refused("an empty file name");
  RunRequest r;
  r.mode = wanted == 2 ? RunMode::Send : RunMode::Preview;
  r.menuFile = args[1];
  if (wanted == 3) r.bitmapFile = args[2];
  return r;
}

std::optional<RunResult> SendResultOf(const TLedNotify& n, const screenlink::HostDecoder& decode) {
  if (n.Kind != led::kKindSendDone && n.Kind != led::kKindTimeout) return std::nullopt;
  const std::optional<std::string> text = screenlink::NotifyLogLine(n, decode);
  if (!text) return std::nullopt;
  const bool shown = n.Kind == led::kKindSendDone && n.Status == led::kStatusOk;
  RunResult r{shown ? kExitSent : kExitNotSent, *text};
  if (n.Kind == led::kKindSendDone && !shown)
    r.text += " (the screen refused the program, status " + std::to_string(n.Status) + ")";
  return r;
}

RunResult LinkNotOpened() { return {kExitNotSent, "无法打开指定通讯链路!"}; }

RunResult NoReport(const std::string& screenIpBytes, const screenlink::HostDecoder& decode) {
  TLedNotify n{};
  n.Kind = led::kKindTimeout;
  n.LinkType = 1;
  std::strncpy(n.Host, screenIpBytes.c_str(), sizeof n.Host - 1);
  return {kExitNotSent, *screenlink::NotifyLogLine(n, decode)};
}

RunResult BadInput(std::string reason) { return {kExitBadInput, std::move(reason)}; }

RunResult PreviewWritten(const std::string& bitmapFile) { return {kExitSent, "board written to " + bitmapFile}; }

std::string RunLogLine(const LocalTime& t, const RunRequest& request, const RunResult& result) {
  char when[32];
  std::snprintf(when, sizeof when, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour, t.minute,
                t.second);
  const std::string& file = request.menuFile.empty() ? std::string("-") : request.menuFile;
  return std::string(when) + '\t' + file + '\t' + std::to_string(result.code) + '\t' + result.text;
}

}  // namespace app
