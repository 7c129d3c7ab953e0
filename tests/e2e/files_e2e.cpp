// The settings file and the default menu file, through a real start and close.
#include <gtest/gtest.h>

#include <regex>

#include "tests/e2e/common.h"

using namespace e2e;

namespace {

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void WriteBytes(const std::filesystem::path& p, const std::string& b) {
  std::ofstream f(p, std::ios::binary);
  f << b;
}

// GBK bytes of the comment suffixes.
const std::string kLeft = "    ----\xb4\xb0\xbf\xda\xd7\xf3\xc9\xcf\xbd\xc7";
const std::string kTop = "    ----\xb4\xb0\xbf\xda\xd7\xf3\xb6\xa5\xb5\xe3";
const std::string kVert = "    ----\xb4\xb9\xd6\xb1\xc6\xab\xd2\xc6\xc1\xbf";
const std::string kSpacing = "    ----\xbc\xe4\xbe\xe0";
const std::string kPrice = "    ----\xbd\xf0\xb6\xee\xc6\xab\xd2\xc6\xc1\xbf";
const std::string kTitle = "    ----\xce\xaa" "1:\xcf\xd4\xca\xbe\xb1\xea\xcc\xe2,0\xb2\xbb\xcf\xd4\xca\xbe";
const std::string kCard = "    ----\xce\xaa" "1:\xb1\xa3\xb4\xe6\xb5\xbd\xbf\xa8,0\xbd\xf6\xcf\xd4\xca\xbe";

std::string MenuBytes(const std::vector<std::string>& lines) {
  std::string s;
  for (const auto& l : lines) s += l + "\r\n";
  return s;
}

// Thirty lines: "name k" / "k.5" in GBK, with a few awkward ones.
std::vector<std::string> HandMadeMenu() {
  std::vector<std::string> m;
  for (int k = 1; k <= 15; ++k) {
    m.push_back("\xc5\xa3\xc8\xe2\xc3\xe6" + std::to_string(k));  // 牛肉面k
    m.push_back(std::to_string(k) + ".5");
  }
  m[2] = "  two spaces  ";
  m[5] = "";
  return m;
}

}  // namespace

TEST(FilesE2E, StartReadsBothFilesAndCloseWritesThemBack) {
  const auto dir = ScratchDir("files");
  WriteBytes(dir / "messbay.ini", "100" + kLeft + "\r\n200" + kTop + "\r\n127.0.0.1  \r\n-5" + kVert + "\r\n3" +
                                      kSpacing + "\r\n7" + kPrice + "\r\n5" + kTitle + "\r\n0" + kCard + "\r\n");
  WriteBytes(dir / "default.lst", MenuBytes(HandMadeMenu()));
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  EXPECT_EQ(Text(MenuEdit(main, 1)), L"牛肉面1");
  EXPECT_EQ(Text(MenuEdit(main, 3)), L"  two spaces  ");
  EXPECT_EQ(Text(MenuEdit(main, 6)), L"");
  EXPECT_EQ(Text(MenuEdit(main, 30)), L"15.5");

  // The operator changes one dish and a price, then leaves.
  SetText(MenuEdit(main, 1), L"红烧肉");
  SetText(MenuEdit(main, 2), L"12元");
  Click(FindByText(main, L"退出"));
  ASSERT_TRUE(prog.WaitExit());

  const std::string ini = ReadBytes(dir / "messbay.ini");
  const std::regex shape("-?[0-9]+" + kLeft + "\r\n-?[0-9]+" + kTop + "\r\n");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(ini, m, shape));
  EXPECT_EQ(m.position(0), 0);
  EXPECT_EQ(ini.substr(static_cast<size_t>(m.length(0))),
            "127.0.0.1  \r\n-5" + kVert + "\r\n3" + kSpacing + "\r\n7" + kPrice + "\r\n5" + kTitle + "\r\n0" + kCard +
                "\r\n");
  std::vector<std::string> expect = HandMadeMenu();
  expect[0] = "\xba\xec\xc9\xd5\xc8\xe2";  // 红烧肉
  expect[1] = "12\xd4\xaa";              // 12元
  EXPECT_EQ(ReadBytes(dir / "default.lst"), MenuBytes(expect));
}

TEST(FilesE2E, BadSettingsLineIsReportedAndTheLastMenuStillComesBack) {
  const auto dir = ScratchDir("badsettings");
  WriteBytes(dir / "messbay.ini", "100\r\n200\r\n127.0.0.1\r\n5----\r\n0\r\n0\r\n0\r\n0\r\n");
  WriteBytes(dir / "default.lst", MenuBytes(HandMadeMenu()));
  Program prog(dir);
  HWND box = prog.FindTopLevel(L"Platora", 15000);
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), L"Invalid numeric input");
  CloseMessageBox(box);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  EXPECT_EQ(Text(MenuEdit(main, 1)), L"牛肉面1");
  EXPECT_EQ(Text(MenuEdit(main, 29)), L"牛肉面15");
}

TEST(FilesE2E, AFailedWriteKeepsTheWindowAndTheOldFiles) {
  const auto dir = ScratchDir("failwrite");
  WriteLoopbackSettings(dir);
  const std::string oldIni = ReadBytes(dir / "messbay.ini");
  const std::string oldMenu = MenuBytes(HandMadeMenu());
  WriteBytes(dir / "default.lst", oldMenu);
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  SetText(MenuEdit(main, 1), L"改过的菜");

  // Another program holds the settings file open: it cannot be replaced.
  HANDLE lock = CreateFileW(WinPath(dir / "messbay.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  PostClick(FindByText(main, L"退出"));
  HWND box = prog.FindTopLevel(L"Platora", 10000);
  ASSERT_TRUE(box);
  EXPECT_FALSE(MessageBoxText(box).empty());
  CloseMessageBox(box);
  CloseHandle(lock);
  EXPECT_TRUE(prog.Running());
  EXPECT_TRUE(IsWindowVisible(main));
  EXPECT_EQ(ReadBytes(dir / "messbay.ini"), oldIni);
  EXPECT_EQ(ReadBytes(dir / "default.lst"), oldMenu);
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) names.push_back(e.path().filename().string());
  EXPECT_EQ(names.size(), 2u) << "a temporary file was left behind";

  // A later close tries again and succeeds.
  Click(FindByText(main, L"退出"));
  ASSERT_TRUE(prog.WaitExit());
  EXPECT_EQ(ReadBytes(dir / "default.lst").substr(0, 8), "\xb8\xc4\xb9\xfd\xb5\xc4\xb2\xcb");
}

TEST(FilesE2E, ACloseWithoutChangesStillRewritesBothFilesInTheirOwnForm) {
  // Files as a person might have typed them: bare numbers, LF line ends.
  const auto dir = ScratchDir("unchanged");
  WriteBytes(dir / "messbay.ini", "10\n20\n127.0.0.1\n1\n2\n3\n0\n0\n");
  std::vector<std::string> lines;
  for (int n = 1; n <= 30; ++n) lines.push_back(std::string(1, 'm').append(std::to_string(n)));
  std::string menu;
  for (const auto& l : lines) menu.append(l).append("\n");
  WriteBytes(dir / "default.lst", menu);
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  Click(FindByText(main, L"退出"));
  ASSERT_TRUE(prog.WaitExit());
  const std::string ini = ReadBytes(dir / "messbay.ini");
  EXPECT_NE(ini.find("\r\n127.0.0.1\r\n1" + kVert + "\r\n2" + kSpacing + "\r\n3" + kPrice + "\r\n0" + kTitle +
                     "\r\n0" + kCard + "\r\n"),
            std::string::npos)
      << ini;
  EXPECT_EQ(ReadBytes(dir / "default.lst"), MenuBytes(lines));
}

namespace {

// The program's open or save dialog: a dialog window of the process that is
// not the main window.
HWND FileDialog(const Program& prog, int timeoutMs = 10000) {
  return prog.FindTopLevel([](HWND h) { return ClassOf(h) == L"#32770"; }, timeoutMs);
}

std::string Gbk(const std::wstring& w) {
  std::string out(w.size() * 2 + 1, '\0');
  const int n = WideCharToMultiByte(936, 0, w.c_str(), static_cast<int>(w.size()), out.data(),
                                    static_cast<int>(out.size()), nullptr, nullptr);
  out.resize(static_cast<size_t>(std::max(n, 0)));
  return out;
}

// Types the file name into the dialog and presses its OK or Cancel button.
void AnswerFileDialog(HWND dialog, const std::wstring& name, bool ok) {
  if (ok) SetDlgItemTextW(dialog, 0x47C /* file name box */, name.c_str());
  PostMessageW(dialog, WM_COMMAND, ok ? IDOK : IDCANCEL, 0);
  WaitFor([&] { return !IsWindow(dialog); });
}

}  // namespace

TEST(FilesE2E, SaveAndOpenThroughTheirDialogsWithCancelAndOverwrite) {
  const auto dir = ScratchDir("menudialogs");
  WriteLoopbackSettings(dir);
  const auto file = dir / "menu.txt";
  WriteBytes(file, "an older menu\r\n");
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  SetText(MenuEdit(main, 1), L"  汤  ");
  SetText(MenuEdit(main, 2), L"");
  SetText(MenuEdit(main, 30), L"九元");
  std::vector<std::wstring> typed;
  for (int n = 1; n <= 30; ++n) typed.push_back(Text(MenuEdit(main, n)));

  // Cancelled save: the old file stays.
  PostClick(FindByText(main, L"保存菜谱"));
  HWND dlg = FileDialog(prog);
  ASSERT_TRUE(dlg);
  AnswerFileDialog(dlg, L"", false);
  Sleep(300);
  EXPECT_EQ(ReadBytes(file), "an older menu\r\n");

  // Saving over it asks nothing and replaces it.
  PostClick(FindByText(main, L"保存菜谱"));
  dlg = FileDialog(prog);
  ASSERT_TRUE(dlg);
  AnswerFileDialog(dlg, WinPath(file), true);
  ASSERT_TRUE(WaitFor([&] { return ReadBytes(file).size() > 20; }));
  EXPECT_EQ(FileDialog(prog, 1000), nullptr) << "a question about replacing the file";
  std::string expect;
  for (const auto& t : typed) expect += Gbk(t) + "\r\n";
  EXPECT_EQ(ReadBytes(file), expect);

  // The operator changes the menu; a cancelled open keeps the change.
  SetText(MenuEdit(main, 1), L"改过");
  PostClick(FindByText(main, L"打开菜谱"));
  dlg = FileDialog(prog);
  ASSERT_TRUE(dlg);
  AnswerFileDialog(dlg, L"", false);
  Sleep(300);
  EXPECT_EQ(Text(MenuEdit(main, 1)), L"改过");

  // Opening the saved file brings back every box exactly.
  PostClick(FindByText(main, L"打开菜谱"));
  dlg = FileDialog(prog);
  ASSERT_TRUE(dlg);
  AnswerFileDialog(dlg, WinPath(file), true);
  ASSERT_TRUE(WaitFor([&] { return Text(MenuEdit(main, 1)) == typed[0]; }));
  for (int n = 1; n <= 30; ++n) EXPECT_EQ(Text(MenuEdit(main, n)), typed[static_cast<size_t>(n - 1)]) << n;
}
