// The board picture: the program-wide layout values, the two board fonts and
// the drawing that turns the fifteen menu entries into the 512 x 96 picture.
// The main window's preview and the unattended send and preview all draw
// through DrawBoard, so what the screen gets is what the window shows.
#pragma once
#include <cstdint>
#include <functional>
#include <string>

#include "ui/win/graphics.h"

// The program-wide settings, one instance for the run. Flags count as set
// only when exactly 1.
struct BoardSettings {
  std::wstring ScreenIp;
  int32_t VerticalOffset = 0;
  int32_t Spacing = 0;
  int32_t PriceOffset = 0;
  int32_t ShowTitle = 0;
  int32_t SaveToCard = 0;
};

inline constexpr int kBoardWidth = 512, kBoardHeight = 96;

// The fonts the board starts with: prices in red Arial, names in red "@宋体".
void SetDefaultPriceFont(TFont& font);
void SetDefaultNameFont(TFont& font);

// A fresh picture as window creation leaves it: a black brush kept for all
// later drawing, `font` on its canvas, the whole picture black.
void BlackenPicture(TBitmap& picture, const TFont& font);

// Line n (1..30) of the menu: name 1, price 1, ... price 15.
using MenuLineOf = std::function<std::wstring(int)>;

// The name strip as it was last drawn, and what it was drawn from. A send
// draws the board its preview has just drawn, and the names are most of that
// drawing's time: the same names in the same font and places give the same
// pixels, which are put back instead. Anything that could draw differently
// (another name, font, colour, pen, brush, offset or spacing) draws afresh.
class NameStripMemo {
 public:
  // Puts the kept pixels on `strip` when `drawnFrom` is what they came from.
  bool Restore(TBitmap& strip, const std::wstring& drawnFrom) const;
  void Keep(TBitmap& strip, std::wstring drawnFrom);

 private:
  std::wstring drawnFrom_;
  plat::Raster pixels_;
};

// Draws the fifteen entries onto `board` (512 x 96) through the name strip
// `strip` (96 x 512), both prepared by BlackenPicture. With the title shown,
// "title.bmp" of the working directory goes into the last 31 columns; a title
// that cannot be read raises after the rest of the board is drawn. With a
// memo, names drawn the last time as they are now are not drawn again.
void DrawBoard(TBitmap& board, TBitmap& strip, const TFont& priceFont, const TFont& nameFont,
               const BoardSettings& settings, const MenuLineOf& menuLine, NameStripMemo* memo = nullptr);

// Draws text with a font whose face starts with "@" so that each character
// lies turned a quarter turn anticlockwise, cell top-left at (x, y), text
// running to the right. Fonts without "@" are drawn as plain text. The
// writer takes the canvas's font as it is when made and makes its two faces
// once, for every name written with it.
class SidewaysWriter {
 public:
  explicit SidewaysWriter(TCanvas& canvas);
  void TextOut(int x, int y, const std::wstring& text);
  SidewaysWriter(const SidewaysWriter&) = delete;
  SidewaysWriter& operator=(const SidewaysWriter&) = delete;

 private:
  TCanvas& canvas_;
  gdi::Font upright_, turned_;  // both empty for a face without "@"
  TEXTMETRICW metrics_{};
};
