#include <gtest/gtest.h>

#include "tests/e2e/common.h"

using namespace e2e;

TEST(PreviewE2E, OperatorChangesADishAndPreviewsTheBoard) {
  const auto dir = ScratchDir("preview");
  WriteLoopbackSettings(dir);
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main) << "main window not found";

  // The boxes hold the default menu.
  EXPECT_EQ(Text(MenuEdit(main, 1)), L"菜名字○一");
  EXPECT_EQ(Text(MenuEdit(main, 2)), L"0.1");
  EXPECT_EQ(Text(MenuEdit(main, 29)), L"菜名字一五");
  EXPECT_EQ(Text(MenuEdit(main, 30)), L"1.5");

  HWND board = BoardImage(main);
  ASSERT_TRUE(board);
  ASSERT_TRUE(WaitFor([&] { return AnyLit(Capture(board), {1, 0, 241, 81}); }));  // first paint
  const plat::Raster before = Capture(board);
  // The first show rendered the default menu: fifteen columns of names.
  for (int k = 1; k <= 15; ++k) EXPECT_TRUE(AnyLit(before, {16 * k - 15, 0, 16 * k + 1, 81})) << k;

  // Dish 3 becomes a single character; dish 5 is emptied.
  SetText(MenuEdit(main, 5), L"汤");
  SetText(MenuEdit(main, 9), L"");
  Click(FindByText(main, L"预览"));
  ASSERT_TRUE(WaitFor([&] { return !Capture(board).SamePixels(before); }));
  const plat::Raster after = Capture(board);

  EXPECT_TRUE(AnyLit(after, {33, 0, 49, 16}));    // one character at the top of column 3
  EXPECT_FALSE(AnyLit(after, {33, 17, 49, 81}));  // and nothing below it
  EXPECT_FALSE(AnyLit(after, {65, 0, 81, 81}));   // dish 5 is gone
  EXPECT_TRUE(AnyLit(after, {64, 81, 80, 96}));   // its price stays
  // Nothing right of the fifteen columns, nothing in board column 0 above the prices.
  EXPECT_FALSE(AnyLit(after, {241, 0, 512, 96}));
  EXPECT_FALSE(AnyLit(after, {0, 0, 1, 81}));
  // Names are red.
  bool red = false;
  for (int y = 0; y < 16 && !red; ++y)
    for (int x = 33; x < 49; ++x) red |= after.Pixel(x, y) == plat::RGBColor(255, 0, 0);
  EXPECT_TRUE(red);
}
