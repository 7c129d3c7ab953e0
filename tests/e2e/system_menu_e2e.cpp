// The frame's system menu on the real program: "&Close" from it closes the
// program the way its own close does, files included.
#include <gtest/gtest.h>

#include "tests/e2e/common.h"

using namespace e2e;

namespace {

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

// A skinned popup of the process: the system menu.
bool IsSkinPopup(HWND h) { return ClassOf(h).rfind(L"PlatoraSkinPopup", 0) == 0; }

}  // namespace

TEST(SystemMenuE2E, CloseFromTheSystemMenuWritesBothFilesAndEndsTheProgram) {
  const auto dir = ScratchDir("sysmenu_close");
  WriteLoopbackSettings(dir);
  std::filesystem::remove(dir / "default.lst");
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  SetText(MenuEdit(main, 1), L"系统菜单关闭");

  // A right click on the caption, beside the buttons.
  RECT wr;
  GetWindowRect(main, &wr);
  SetForegroundWindow(main);
  MouseTo(wr.left + 300, wr.top + 12);
  Pause(100);
  MouseButton(MOUSEEVENTF_RIGHTDOWN);
  Pause(50);
  MouseButton(MOUSEEVENTF_RIGHTUP);
  HWND popup = prog.FindTopLevel([&](HWND h) { return h != main && IsSkinPopup(h); }, 10000);
  ASSERT_TRUE(popup);
  RECT pr;
  GetWindowRect(popup, &pr);
  EXPECT_EQ(pr.left, wr.left + 300);
  EXPECT_EQ(pr.top, wr.top + 12);

  // "&Close" by its access key.
  Key('C', false);
  Key('C', true);
  ASSERT_TRUE(prog.WaitExit());

  const std::string ini = ReadBytes(dir / "messbay.ini");
  // Rewritten: the window's own position heads it (the program centred it,
  // away from the file's 348), the address stays.
  ASSERT_NE(wr.left, 348);
  EXPECT_EQ(ini.rfind(std::to_string(wr.left) + "    ----", 0), 0u) << ini.substr(0, 20);
  const size_t second = ini.find("\r\n") + 2;
  EXPECT_EQ(ini.compare(second, std::to_string(wr.top).size() + 4, std::to_string(wr.top) + "    "), 0);
  EXPECT_NE(ini.find("127.0.0.1\r\n"), std::string::npos);
  const std::string lst = ReadBytes(dir / "default.lst");
  // 系统菜单关闭 in GBK heads the menu file.
  EXPECT_EQ(lst.rfind("\xcf\xb5\xcd\xb3\xb2\xcb\xb5\xa5\xb9\xd8\xb1\xd5\r\n", 0), 0u);
}
