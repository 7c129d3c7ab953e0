#include <gtest/gtest.h>

#include "app/core/board_turn.h"

using plat::Raster;
using plat::RGBColor;

namespace {
plat::Color Mark(int i, int j) { return RGBColor(i & 0xFF, i >> 8, j + 1); }
}

TEST(BoardTurn, EveryStripPixelLandsAtTheTurnedPlace) {
  Raster strip(96, 512);
  for (int i = 0; i < 512; ++i)
    for (int j = 0; j < 96; ++j) strip.SetPixel(j, i, Mark(i, j));
  Raster board(512, 96, RGBColor(7, 7, 7));
  TurnStripIntoBoard(strip, board);
  for (int i = 1; i < 512; ++i)
    for (int j = 0; j < 96; ++j) ASSERT_EQ(board.Pixel(512 - i, j), Mark(i, j)) << i << "," << j;
  // Column 0 keeps what it had; strip row 0 went nowhere.
  for (int j = 0; j < 96; ++j) EXPECT_EQ(board.Pixel(0, j), RGBColor(7, 7, 7));
}

TEST(BoardTurn, AStripLargerThanTheBoardFillsItButNeverColumnZero) {
  // Taller than the board is wide, wider than it is high, and neither side a
  // multiple of the turn's 16-pixel tiles.
  Raster strip(41, 70);
  for (int i = 0; i < 70; ++i)
    for (int j = 0; j < 41; ++j) strip.SetPixel(j, i, Mark(i, j));
  Raster board(53, 37, RGBColor(7, 7, 7));
  TurnStripIntoBoard(strip, board);
  for (int j = 0; j < 37; ++j) {
    EXPECT_EQ(board.Pixel(0, j), RGBColor(7, 7, 7)) << j;  // strip row 53 would land here
    for (int x = 1; x < 53; ++x) ASSERT_EQ(board.Pixel(x, j), Mark(53 - x, j)) << x << "," << j;
  }
}
