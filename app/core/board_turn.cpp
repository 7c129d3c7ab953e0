#include "app/core/board_turn.h"

#include <algorithm>

void TurnStripIntoBoard(const plat::Raster& strip, plat::Raster& board) {
  const int boardWidth = board.Width();
  const int rows = std::min(strip.Height(), boardWidth);  // strip rows i with 512 - i > 0: column 0 stays
  const int cols = std::min(strip.Width(), board.Height());
  // Square tiles keep both the strip rows being read and the board rows being
  // written in the cache.
  constexpr int kTile = 16;
  for (int i0 = 1; i0 < rows; i0 += kTile) {  // row 0 would land in column 512: dropped
    const int i1 = std::min(i0 + kTile, rows);
    for (int j0 = 0; j0 < cols; j0 += kTile) {
      const int j1 = std::min(j0 + kTile, cols);
      for (int j = j0; j < j1; ++j) {
        uint8_t* dst = board.Row(j);
        for (int i = i0; i < i1; ++i) {
          const uint8_t* s = strip.Row(i) + 3 * j;
          uint8_t* d = dst + 3 * (boardWidth - i);
          d[0] = s[0];
          d[1] = s[1];
          d[2] = s[2];
        }
      }
    }
  }
}
