// The main job end to end: the program, our controller library and the
// simulated screen on the loopback address.
#include <gtest/gtest.h>
#include <winsock2.h>

#include <chrono>
#include <fstream>

#include "tests/e2e/common.h"
#include "tests/e2e/png_read.h"
#include "tests/e2e/screen.h"

using namespace e2e;

namespace {

std::vector<std::wstring> LogLines(HWND main) {
  std::wstring all = Text(FindAt(main, 10, 328, L"Edit"));
  std::vector<std::wstring> lines;
  size_t start = 0, p;
  while ((p = all.find(L"\r\n", start)) != std::wstring::npos) {
    lines.push_back(all.substr(start, p - start));
    start = p + 2;
  }
  if (start < all.size()) lines.push_back(all.substr(start));
  return lines;
}

bool LogEndsWith(HWND main, const std::vector<std::wstring>& tail, int timeoutMs = 8000) {
  return WaitFor(
      [&] {
        auto l = LogLines(main);
        return l.size() >= tail.size() && std::equal(tail.begin(), tail.end(), l.end() - tail.size());
      },
      timeoutMs);
}

HWND Button(HWND main, const wchar_t* caption) { return FindByText(main, caption); }

// The program in a scratch folder of its own, its settings sending to a
// screen on the loopback address, and that screen.
struct ProgramAndScreen {
  explicit ProgramAndScreen(const char* name) : dir(Prepared(name)), screen(dir), prog(dir) {}
  static std::filesystem::path Prepared(const char* name) {
    auto d = ScratchDir(name);
    WriteLoopbackSettings(d);
    return d;
  }
  std::filesystem::path dir;
  Screen screen;
  Program prog;
};

// Presses "发送" and waits for its two lines after the `before` there were.
bool SendAndWaitForItsLines(HWND main, size_t before) {
  Click(Button(main, L"发送"));
  return WaitFor([&] { return LogLines(main).size() >= before + 2; });
}

// Whether the log, frame and scroll bar included, shows what a full repaint
// of it shows, once everything it was asked to paint is painted.
bool ShowsAFullRepaint(HWND log) {
  const auto settled = [&] {
    Sleep(400);  // past the frame's catch-up, painted and put on the screen
    return CaptureWithFrame(log);
  };
  const plat::Raster shown = settled();
  RedrawWindow(log, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
  return shown.SamePixels(settled());
}

}  // namespace

// Keyed, as a paired installation runs: the screen has a key file from
// `ledscreen --make-key`, the library names it in ledapi.ini, and every
// datagram both ways is authenticated.
TEST(SendE2E, TheBoardArrivesOnTheScreenPixelForPixel) {
  const auto dir = ScratchDir("send");
  WriteLoopbackSettings(dir);
  ASSERT_TRUE(MakeScreenKey(dir / "screen.key"));
  { std::ofstream(dir / "ledapi.ini") << "[127.0.0.1]\nkeyfile = screen.key\n"; }
  struct Ini {
    explicit Ini(const std::filesystem::path& p) { SetEnvironmentVariableW(L"LEDAPI_INI", WinPath(p).c_str()); }
    ~Ini() { SetEnvironmentVariableW(L"LEDAPI_INI", nullptr); }
  } ini(dir / "ledapi.ini");
  Screen screen(dir, "127.0.0.1", L"--key \"" + WinPath(dir / "screen.key") + L"\"");
  ASSERT_TRUE(screen.Running());
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  SetText(MenuEdit(main, 1), L"红烧牛肉面");
  SetText(MenuEdit(main, 2), L"12.5");
  Click(Button(main, L"发送"));
  ASSERT_TRUE(LogEndsWith(main, {L"通讯链路打开成功!", L"发送完成"})) << "log: " << LogLines(main).size();
  const plat::Raster board = Capture(BoardImage(main));
  std::optional<plat::Raster> shown;
  ASSERT_TRUE(WaitFor([&] {
    shown = ReadPng(screen.snapshot);
    return shown && shown->SamePixels(board);
  }));
  EXPECT_TRUE(AnyLit(*shown, {1, 0, 17, 81}));
  EXPECT_FALSE(std::filesystem::exists(screen.card) && std::filesystem::file_size(screen.card) > 0)
      << "a display-only send must not be stored on the card";
}

TEST(SendE2E, EveryServiceButtonAnswersInTheLog) {
  const auto dir = ScratchDir("service");
  WriteLoopbackSettings(dir);
  plat::Raster title(32, 96, plat::RGBColor(0, 0, 255));
  plat::SaveBmpFile((dir / "title.bmp").string(), title);
  Screen screen(dir);
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  Click(Button(main, L"建立通讯"));
  ASSERT_TRUE(LogEndsWith(main, {L"通讯链路打开成功!"}));
  const std::pair<const wchar_t*, const wchar_t*> answers[] = {
      {L"连接控制卡", L"查询状态成功"},     {L"关闭电源", L"电源关闭"},
      {L"电源状态", L"电源关闭"},           {L"打开电源", L"电源打开"},
      {L"电源状态", L"电源打开"},           {L"调节亮度", L"显示屏亮度为:1"},
      {L"读取亮度", L"显示屏亮度为:1"},     {L"校正时钟", L"显示屏时钟已校正"},
  };
  for (auto [button, line] : answers) {
    Click(Button(main, button));
    EXPECT_TRUE(LogEndsWith(main, {line})) << "after " << std::wstring(button);
  }
  // The four test sends show on the screen.
  const std::pair<const wchar_t*, plat::Rect> sends[] = {
      {L"发送图片", {480, 0, 512, 96}},
      {L"发送字符串", {0, 0, 128, 32}},
      {L"发送多行文本", {0, 0, 128, 32}},
      {L"发送时钟", {0, 0, 128, 32}},
  };
  for (auto [button, area] : sends) {
    const size_t before = LogLines(main).size();
    Click(Button(main, button));
    ASSERT_TRUE(WaitFor([&] { return LogLines(main).size() > before; }));
    EXPECT_EQ(LogLines(main).back(), L"发送完成");
    std::optional<plat::Raster> shown = ReadPng(screen.snapshot);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(AnyLit(*shown, area));
  }
  std::optional<plat::Raster> shown = ReadPng(screen.snapshot);
  ASSERT_TRUE(shown);
  bool yellow = false;
  for (int y = 0; y < 32 && !yellow; ++y)
    for (int x = 0; x < 128; ++x) yellow |= shown->Pixel(x, y) == plat::RGBColor(255, 255, 0);
  EXPECT_TRUE(yellow);
}

TEST(SendE2E, PowerIsRefusedWhileTheScreenSwitchesItselfOnAndOff) {
  const auto dir = ScratchDir("autopower");
  WriteLoopbackSettings(dir);
  Screen screen(dir, "127.0.0.1", L"--auto-power --auto-brightness");
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  Click(Button(main, L"建立通讯"));
  Click(Button(main, L"打开电源"));
  EXPECT_TRUE(LogEndsWith(main, {L"处于自动开关屏模式，不能进行电源操作"}));
  Click(Button(main, L"调节亮度"));
  EXPECT_TRUE(LogEndsWith(main, {L"处于自动调节亮度状态，不能进行亮度调节"}));
}

TEST(SendE2E, AFailedOpenShowsTheBoxLogsNothingAndSilencesCommands) {
  const auto dir = ScratchDir("failopen");
  WriteLoopbackSettings(dir);
  Screen screen(dir);
  // Someone else holds the link's port.
  WSADATA wsa;
  WSAStartup(MAKEWORD(2, 2), &wsa);
  SOCKET s = socket(AF_INET, SOCK_DGRAM, IPPROTO_UDP);
  sockaddr_in sa{};
  sa.sin_family = AF_INET;
  sa.sin_port = htons(8888);
  sa.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&sa), sizeof sa), 0);

  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  PostClick(Button(main, L"发送"));
  HWND box = prog.FindTopLevel(L"错误信息", 10000);
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), L"无法打开指定通讯链路!");
  CloseMessageBox(box);
  EXPECT_TRUE(LogLines(main).empty());
  Click(Button(main, L"连接控制卡"));
  Sleep(1500);
  EXPECT_TRUE(LogLines(main).empty());
  closesocket(s);
  WSACleanup();
}

// The program's own default screen address, on a tree built for testing: the
// library refuses it before any datagram is made, so the timeout comes at
// once instead of after the two seconds a silent screen takes.
TEST(SendE2E, ATestTreeNeverSendsToTheDefaultScreenAddress) {
  const auto dir = ScratchDir("guard");
  WriteLoopbackSettings(dir, 0, 0, "192.168.1.99");
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  const auto start = std::chrono::steady_clock::now();
  Click(Button(main, L"发送"));
  ASSERT_TRUE(LogEndsWith(main, {L"通讯链路打开成功!", L"发送超时!  类型: 网络  发往: 192.168.1.99"}, 4000))
      << "log: " << LogLines(main).size();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  EXPECT_LT(ms.count(), 1000) << "the send waited for an answer, so something was sent";
}

// A long session: the log already past 40,000 characters (beyond an edit
// box's small default limit), then many sends. Every line is there in order,
// the newest in view, and what the log shows, frame and scroll bar included,
// is what a full repaint of it shows: the log paints its new lines later, in
// one go, and leaves its frame alone when the thumb did not move.
TEST(SendE2E, ALongSessionKeepsEveryLineInOrderAndShowsTheNewest) {
  ProgramAndScreen run("long_session");
  ASSERT_TRUE(run.screen.Running());
  HWND main = run.prog.Main();
  ASSERT_TRUE(main);
  HWND log = FindAt(main, 10, 328, L"Edit");
  std::wstring earlier;
  while (earlier.size() <= 40000) earlier += L"连接控制卡成功\r\n";
  SetText(log, earlier);
  const size_t before = LogLines(main).size();
  constexpr size_t kSends = 60;
  for (size_t i = 0; i < kSends; ++i) ASSERT_TRUE(SendAndWaitForItsLines(main, before + 2 * i)) << "send " << i;
  const std::vector<std::wstring> lines = LogLines(main);
  ASSERT_EQ(lines.size(), before + 2 * kSends);
  for (size_t i = 0; i < kSends; ++i) {
    EXPECT_EQ(lines[before + 2 * i], L"通讯链路打开成功!") << i;
    EXPECT_EQ(lines[before + 2 * i + 1], L"发送完成") << i;
  }
  // The caret after the last line is inside the visible rows.
  RECT client;
  GetClientRect(log, &client);
  const LRESULT end = SendMessageW(log, EM_POSFROMCHAR, static_cast<WPARAM>(Text(log).size()) - 1, 0);
  EXPECT_GE(static_cast<short>(HIWORD(end)), 0);
  EXPECT_LT(static_cast<short>(HIWORD(end)), client.bottom);
  EXPECT_TRUE(ShowsAFullRepaint(log));
}

// In a short log every line moves the scroll bar's thumb. The frame follows
// a moment after a send's lines, and then it shows what a full repaint of
// the log shows.
TEST(SendE2E, AShortLogsScrollBarCatchesUpWithItsLines) {
  ProgramAndScreen run("short_log");
  ASSERT_TRUE(run.screen.Running());
  HWND main = run.prog.Main();
  ASSERT_TRUE(main);
  HWND log = FindAt(main, 10, 328, L"Edit");
  const size_t before = LogLines(main).size();
  for (size_t i = 1; i <= 8; ++i) {
    ASSERT_TRUE(SendAndWaitForItsLines(main, before + 2 * (i - 1))) << "send " << i;
    if (i == 1 || i == 2 || i == 4 || i == 8) EXPECT_TRUE(ShowsAFullRepaint(log)) << "after send " << i;
  }
}
