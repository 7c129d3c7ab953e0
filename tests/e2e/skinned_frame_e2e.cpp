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

}  // namespace

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
