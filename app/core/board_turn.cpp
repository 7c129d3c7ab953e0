#include "app/core/board_turn.h"

#include <algorithm>
#include <cstring>

void TurnStripIntoBoard(const plat::Raster& strip, plat::Raster& board) {
  const int boardWidth = board.Width();
  const int rows = std::min(strip.Height(), boardWidth + 1);  // i with 512 - i >= 0
  const int cols = std::min(strip.Width(), board.Height());
  for (int i = 0; i < rows; ++i) {
    const int x = boardWidth - i;
    if (x < 0 || x >= boardWidth) continue;  // row 0 falls off the right edge
    const uint8_t* src = strip.Row(i);
    for (int j = 0; j < cols; ++j) std::memcpy(board.Row(j) + 3 * x, src + 3 * j, 3);
  }
}
