// The quarter turn that stands the name strip up as board columns.
#pragma once
#include "ui/core/raster.h"

// Strip pixel (j, i) goes to board pixel (512 - i, j) for every strip row i
// (0..511) and column j (0..95), 512 being the board's width. Strip row 0
// would land in column 512, outside the board, and is dropped; board column
// 0 is never written. Works on direct row pointers: no per-pixel calls.
void TurnStripIntoBoard(const plat::Raster& strip, plat::Raster& board);
