// The program starts wearing its skin, and its own close button ends it the
// way "退出" does: both files written.
#include <gtest/gtest.h>

#include "tests/e2e/common.h"

using namespace e2e;

namespace {

void MouseClickAt(POINT p) {
  SetCursorPos(p.x, p.y);
  Sleep(150);  // the frame's hover polling sees the mouse arrive
  MouseButton(MOUSEEVENTF_LEFTDOWN);
  Sleep(150);
  MouseButton(MOUSEEVENTF_LEFTUP);
}

// A press and release where the pointer already is.
void ClickWithoutMoving() {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_MOUSE;
  in[0].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
  in[1].mi.dwFlags = MOUSEEVENTF_LEFTUP;
  SendInput(1, &in[0], sizeof(INPUT));
  Sleep(150);
  SendInput(1, &in[1], sizeof(INPUT));
}

void PressKey(WORD vk) {
  INPUT in[2] = {};
  in[0].type = in[1].type = INPUT_KEYBOARD;
  in[0].ki.wVk = in[1].ki.wVk = vk;
  in[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, in, sizeof(INPUT));
}

}  // namespace

TEST(SkinnedFrameE2E, TheCloseButtonAnswersAgainAfterTheErrorBoxWithoutAMove) {
  const auto dir = ScratchDir("close_again");
  WriteLoopbackSettings(dir);
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
  Sleep(300);
  // Another program holds the settings file open: the close cannot write it.
  HANDLE lock = CreateFileW(WinPath(dir / "messbay.ini").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  ASSERT_NE(lock, INVALID_HANDLE_VALUE);
  RECT wr;
  GetWindowRect(main, &wr);
  SetForegroundWindow(main);
  MouseClickAt(POINT{wr.left + 12, wr.top + 14});  // the close button
  HWND box = prog.FindTopLevel(L"Platora", 10000);
  ASSERT_TRUE(box);
  // Enter on the error box, as the operator does; the pointer stays put.
  if (!WaitFor([&] { return GetForegroundWindow() == box; }, 3000)) SetForegroundWindow(box);
  PressKey(VK_RETURN);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }, 5000));
  Sleep(400);  // the main window active again, its hover polling running

  ClickWithoutMoving();
  HWND again = prog.FindTopLevel(L"Platora", 5000);
  EXPECT_TRUE(again) << "the second press on the close button did nothing";
  if (again) {
    PressKey(VK_RETURN);
    WaitFor([&] { return !IsWindow(again); }, 5000);
    Sleep(400);
  }
  // With the file free again the same button closes the program.
  CloseHandle(lock);
  ClickWithoutMoving();
  ASSERT_TRUE(prog.WaitExit());
}

TEST(SkinnedFrameE2E, StartsSkinnedAndTheCloseButtonWritesBothFilesAndEnds) {
  const auto dir = ScratchDir("skinned_frame");
  WriteLoopbackSettings(dir);
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(main) != FALSE; }));
  Sleep(300);

  // No native caption; the skin's frame around a 586 x 440 client area.
  EXPECT_EQ(GetWindowLongPtrW(main, GWL_STYLE) & WS_CAPTION, 0);
  RECT wr, cr;
  GetWindowRect(main, &wr);
  GetClientRect(main, &cr);
  POINT origin{0, 0};
  ClientToScreen(main, &origin);
  EXPECT_EQ(origin.x - wr.left, 5);
  EXPECT_EQ(origin.y - wr.top, 29);
  EXPECT_EQ(cr.right, 586);
  EXPECT_EQ(cr.bottom, 440);
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetWindowRgn(main, rgn), COMPLEXREGION);
  DeleteObject(rgn);
  // The caption text, black on the skin's caption band.
  const plat::Raster shot = Capture(main);
  int black = 0;
  for (int y = 8; y < 20; ++y)
    for (int x = 67; x < 200; ++x) black += shot.Pixel(x, y) == 0;
  EXPECT_GT(black, 30);

  // The skin's close button sits at 4,6 - 21,23 of the window.
  std::filesystem::remove(dir / "default.lst");
  const auto iniTime = std::filesystem::last_write_time(dir / "messbay.ini");
  MouseClickAt(POINT{wr.left + 12, wr.top + 14});
  ASSERT_TRUE(prog.WaitExit());
  EXPECT_TRUE(std::filesystem::exists(dir / "default.lst"));
  EXPECT_NE(std::filesystem::last_write_time(dir / "messbay.ini"), iniTime);
  std::ifstream menu(dir / "default.lst", std::ios::binary);
  int lines = 0;
  for (std::string l; std::getline(menu, l);) ++lines;
  EXPECT_EQ(lines, 30);
}
