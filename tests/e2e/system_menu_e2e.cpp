// The frame's system menu on the real program: "&Close" from it closes the
// program the way its own close does, files included.
#include <gtest/gtest.h>

#include <thread>

#include "tests/e2e/common.h"

using namespace e2e;

namespace {

std::string ReadBytes(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
}

void Input(INPUT in) { SendInput(1, &in, sizeof in); }

void MouseTo(int x, int y) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65535LL + (sw - 1) / 2) / (sw - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL + (sh - 1) / 2) / (sh - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Input(in);
}

void Mouse(DWORD flags) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  Input(in);
}

void Key(WORD vk, DWORD flags) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = flags;
  Input(in);
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

// A visible top-level window of the process other than `except` (the menu).
struct FindPopup {
  DWORD pid;
  HWND except;
  HWND found = nullptr;
};
BOOL CALLBACK FindPopupProc(HWND h, LPARAM l) {
  auto* f = reinterpret_cast<FindPopup*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  wchar_t cls[64] = {};
  GetClassNameW(h, cls, 64);
  if (pid == f->pid && h != f->except && IsWindowVisible(h) && std::wstring(cls).rfind(L"PlatoraSkinPopup", 0) == 0) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}

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
  Mouse(MOUSEEVENTF_RIGHTDOWN);
  Pause(50);
  Mouse(MOUSEEVENTF_RIGHTUP);
  FindPopup f{prog.Pid(), main};
  ASSERT_TRUE(WaitFor([&] {
    EnumWindows(FindPopupProc, reinterpret_cast<LPARAM>(&f));
    return f.found != nullptr;
  }));
  RECT pr;
  GetWindowRect(f.found, &pr);
  EXPECT_EQ(pr.left, wr.left + 300);
  EXPECT_EQ(pr.top, wr.top + 12);

  // "&Close" by its access key.
  Key('C', 0);
  Key('C', KEYEVENTF_KEYUP);
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
