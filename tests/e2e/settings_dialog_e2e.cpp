// The settings dialog, opened from the main window and used like an operator.
#include <gtest/gtest.h>

#include <sstream>

#include "tests/e2e/common.h"
#include "tests/e2e/screen.h"
#include "ui/core/utf.h"

using namespace e2e;

namespace {

const wchar_t kDialog[] = L"设置:非专业人士,请勿改动 ";

std::vector<std::string> IniLines(const std::filesystem::path& dir) {
  std::ifstream f(dir / "messbay.ini", std::ios::binary);
  std::vector<std::string> lines;
  std::string l;
  while (std::getline(f, l)) {
    if (!l.empty() && l.back() == '\r') l.pop_back();
    lines.push_back(l);
  }
  return lines;
}

int IniValue(const std::filesystem::path& dir, int line) {
  return std::stoi(IniLines(dir).at(static_cast<size_t>(line - 1)));
}

void WriteSettings(const std::filesystem::path& dir, const std::string& body) {
  std::ofstream(dir / "messbay.ini", std::ios::binary) << body;
}

// Controls of the dialog by their place.
struct Dialog {
  HWND box;
  HWND Edit(int n) {  // 1 address, 2..4 offsets
    if (n == 1) return FindAt(box, 92, 5, L"Edit");
    HWND group = FindByText(box, L"位置");
    return FindAt(group, 88, 16 + 24 * (n - 2), L"Edit");
  }
  HWND Button(const wchar_t* caption) { return FindByText(box, caption); }
  bool Checked(const wchar_t* caption) {
    return SendMessageW(FindByText(box, caption), BM_GETCHECK, 0, 0) == BST_CHECKED;
  }
};

struct Session {
  std::filesystem::path dir;
  Program prog;
  HWND main;
  explicit Session(const std::filesystem::path& d) : dir(d), prog(d), main(prog.Main()) {}
  Dialog Open() {
    Click(FindByText(main, L"系统设置"));
    return Dialog{prog.FindTopLevel(kDialog)};
  }
  void Exit() {
    Click(FindByText(main, L"退出"));
    prog.WaitExit();
  }
};

}  // namespace

TEST(SettingsDialogE2E, AnOffsetOutOfRangeShowsAndStoresTheLimit) {
  const auto dir = ScratchDir("dlg_range");
  WriteSettings(dir, "0\r\n0\r\n127.0.0.1\r\n150\r\n-5\r\n7\r\n0\r\n0\r\n");
  Session s(dir);
  ASSERT_TRUE(s.main);
  Dialog d = s.Open();
  ASSERT_TRUE(d.box);
  // Centred over the main window by outer sizes.
  RECT m, b;
  GetWindowRect(s.main, &m);
  GetWindowRect(d.box, &b);
  EXPECT_EQ(b.left, m.left + ((m.right - m.left) - (b.right - b.left)) / 2);
  EXPECT_EQ(b.top, m.top + ((m.bottom - m.top) - (b.bottom - b.top)) / 2);
  EXPECT_EQ(Text(d.Edit(1)), L"127.0.0.1");
  EXPECT_EQ(Text(d.Edit(2)), L"100");
  EXPECT_EQ(Text(d.Edit(3)), L"0");
  EXPECT_EQ(Text(d.Edit(4)), L"7");
  Click(d.Button(L"确定"));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(d.box); }));
  s.Exit();
  EXPECT_EQ(IniValue(dir, 4), 100);
  EXPECT_EQ(IniValue(dir, 5), 0);
  EXPECT_EQ(IniValue(dir, 6), 7);
}

TEST(SettingsDialogE2E, LettersInTheSpacingBoxKeepTheLastValidSpacing) {
  const auto dir = ScratchDir("dlg_letters");
  WriteSettings(dir, "0\r\n0\r\n127.0.0.1\r\n0\r\n12\r\n0\r\n0\r\n0\r\n");
  Session s(dir);
  Dialog d = s.Open();
  ASSERT_TRUE(d.box);
  SetText(d.Edit(3), L"abc");
  Click(d.Button(L"确定"));
  s.Exit();
  EXPECT_EQ(IniValue(dir, 5), 12);
}

TEST(SettingsDialogE2E, TickingShowTitleRedrawsAtOnceAndCancelKeepsIt) {
  const auto dir = ScratchDir("dlg_title");
  WriteLoopbackSettings(dir);
  plat::Raster title(32, 96, plat::RGBColor(0, 200, 255));
  plat::SaveBmpFile((dir / "title.bmp").string(), title);
  Session s(dir);
  HWND board = BoardImage(s.main);
  ASSERT_TRUE(WaitFor([&] { return AnyLit(Capture(board), {1, 0, 241, 81}); }));
  EXPECT_FALSE(AnyLit(Capture(board), {481, 0, 512, 96}));
  Dialog d = s.Open();
  ASSERT_TRUE(d.box);
  Click(FindByText(d.box, L"显示标题"));
  ASSERT_TRUE(WaitFor([&] { return Capture(board).Pixel(500, 50) == plat::RGBColor(0, 200, 255); }));
  Click(d.Button(L"取消"));
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(d.box); }));
  Click(FindByText(s.main, L"预览"));
  EXPECT_EQ(Capture(board).Pixel(500, 50), plat::RGBColor(0, 200, 255));
  s.Exit();
  EXPECT_EQ(IniValue(dir, 7), 1);
}

TEST(SettingsDialogE2E, TheMainWindowKeepsWorkingWhileTheDialogIsOpen) {
  const auto dir = ScratchDir("dlg_typing");
  WriteLoopbackSettings(dir);
  Session s(dir);
  HWND board = BoardImage(s.main);
  for (int n = 1; n <= 30; ++n) SetText(MenuEdit(s.main, n), L"");
  Click(FindByText(s.main, L"预览"));
  ASSERT_TRUE(WaitFor([&] { return !AnyLit(Capture(board), {0, 0, 512, 96}); }));
  Dialog d = s.Open();
  ASSERT_TRUE(d.box);
  SetText(MenuEdit(s.main, 1), L"田田");
  Click(FindByText(s.main, L"预览"));
  EXPECT_TRUE(WaitFor([&] { return AnyLit(Capture(board), {1, 0, 17, 81}); }));
  EXPECT_TRUE(IsWindowVisible(d.box));
  Click(d.Button(L"取消"));
  s.Exit();
  std::ifstream menu(dir / "default.lst", std::ios::binary);
  std::string first;
  std::getline(menu, first);
  EXPECT_EQ(first, "\xcc\xef\xcc\xef\r");  // 田田 in GBK
}

TEST(SettingsDialogE2E, SaveToCardOnlyThroughOkAndTheBoxKeepsItsState) {
  const auto dir = ScratchDir("dlg_card");
  WriteLoopbackSettings(dir);
  Session s(dir);
  Dialog d = s.Open();
  ASSERT_TRUE(d.box);
  EXPECT_FALSE(d.Checked(L"保存到卡"));
  Click(FindByText(d.box, L"保存到卡"));
  EXPECT_TRUE(d.Checked(L"保存到卡"));
  Click(d.Button(L"取消"));
  ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(d.box); }));
  Dialog again = s.Open();
  ASSERT_EQ(again.box, d.box);
  EXPECT_TRUE(again.Checked(L"保存到卡"));  // the dialog was only hidden
  Click(again.Button(L"取消"));
  s.Exit();
  EXPECT_EQ(IniValue(dir, 8), 0);  // Cancel stored nothing

  // OK stores it, and the next send asks the screen to keep the board.
  Screen screen(dir);
  Session s2(dir);
  Dialog d2 = s2.Open();
  Click(FindByText(d2.box, L"保存到卡"));
  Click(d2.Button(L"确定"));
  Click(FindByText(s2.main, L"发送"));
  EXPECT_TRUE(WaitFor([&] {
    return std::filesystem::exists(screen.card) && std::filesystem::file_size(screen.card) > 0;
  }));
  s2.Exit();
  EXPECT_EQ(IniValue(dir, 8), 1);
}

