#include "app/win/board.h"

#include <utility>
#include <vector>

#include "app/core/board_turn.h"

void SetDefaultPriceFont(TFont& font) {
  font.SetName(L"Arial");
  font.SetHeight(-11);
  font.SetColor(clRed);
  font.SetCharset(ANSI_CHARSET);
}

void SetDefaultNameFont(TFont& font) {
  font.SetName(L"@宋体");
  font.SetHeight(-16);
  font.SetColor(clRed);
  font.SetCharset(ANSI_CHARSET);
}

void BlackenPicture(TBitmap& picture, const TFont& font) {
  TCanvas& canvas = picture.Canvas();
  canvas.Brush().SetColor(clBlack);
  canvas.Font().Assign(font);
  canvas.Rectangle(0, 0, picture.Width(), picture.Height());
}

namespace {
// Everything the strip's pixels depend on, as one text: the strip's size, its
// pen and brush, the name font, the places and the names themselves.
std::wstring NamesDrawnFrom(TBitmap& strip, const TFont& font, int v, int step, const MenuLineOf& menuLine) {
  TCanvas& c = strip.Canvas();
  const LOGFONTW lf = font.LogFont();
  std::wstring key;
  for (long n : {static_cast<long>(strip.Width()), static_cast<long>(strip.Height()),
                 static_cast<long>(c.Pen().Color()), static_cast<long>(c.Pen().Width()),
                 static_cast<long>(c.Pen().Style()), static_cast<long>(c.Brush().Color()),
                 static_cast<long>(c.Brush().Style()), static_cast<long>(font.Color()), lf.lfHeight, lf.lfWidth,
                 lf.lfEscapement, lf.lfOrientation, lf.lfWeight, static_cast<long>(lf.lfItalic),
                 static_cast<long>(lf.lfUnderline), static_cast<long>(lf.lfStrikeOut),
                 static_cast<long>(lf.lfCharSet), static_cast<long>(lf.lfOutPrecision),
                 static_cast<long>(lf.lfClipPrecision), static_cast<long>(lf.lfQuality),
                 static_cast<long>(lf.lfPitchAndFamily), static_cast<long>(v), static_cast<long>(step)})
    key += std::to_wstring(n) + L',';
  // Lengths first, so that no two lists of texts read the same.
  const auto add = [&key](const std::wstring& t) { key += std::to_wstring(t.size()) + L':' + t; };
  add(font.Name());
  add(lf.lfFaceName);
  for (int k = 1; k <= 15; ++k) add(menuLine(2 * k - 1));
  return key;
}
}  // namespace

bool NameStripMemo::Restore(TBitmap& strip, const std::wstring& drawnFrom) const {
  if (pixels_.Empty() || drawnFrom != drawnFrom_) return false;
  strip.LoadFromRaster(pixels_);
  return true;
}

void NameStripMemo::Keep(TBitmap& strip, std::wstring drawnFrom) {
  const plat::Raster shown = strip.Raster();
  pixels_ = shown;  // a copy: the view is of the strip's own memory
  drawnFrom_ = std::move(drawnFrom);
}

void DrawBoard(TBitmap& board, TBitmap& strip, const TFont& priceFont, const TFont& nameFont,
               const BoardSettings& settings, const MenuLineOf& menuLine, NameStripMemo* memo) {
  const TBitmap::TChangeBatch boardBatch(board), stripBatch(strip);
  TCanvas& boardCanvas = board.Canvas();
  TCanvas& stripCanvas = strip.Canvas();
  // Fonts and the name height H (signed: negative is a character height).
  boardCanvas.Font().Assign(priceFont);
  stripCanvas.Font().Assign(nameFont);
  const int H = nameFont.Height();
  const int v = settings.VerticalOffset, s = settings.Spacing, p = settings.PriceOffset;

  // The names, entry 1 nearest the strip's bottom, on a cleared strip.
  std::wstring drawnFrom;
  if (memo) drawnFrom = NamesDrawnFrom(strip, nameFont, v, H - s, menuLine);
  if (!memo || !memo->Restore(strip, drawnFrom)) {
    stripCanvas.Rectangle(0, 0, 96, 512);
    SidewaysWriter names(stripCanvas);
    for (int k = 1; k <= 15; ++k) names.TextOut(v, 512 + k * (H - s), menuLine(2 * k - 1));
    if (memo) memo->Keep(strip, std::move(drawnFrom));
  }
  // Stand the strip up as board columns.
  plat::Raster stripPixels = strip.Raster();
  plat::Raster boardPixels = board.Raster();
  TurnStripIntoBoard(stripPixels, boardPixels);
  // The prices in their band (rows 81 to 95), cleared first.
  boardCanvas.Font().Assign(priceFont);
  boardCanvas.Rectangle(0, 81, 512, 96);
  for (int k = 1; k <= 15; ++k) boardCanvas.TextOut((k - 1) * (s - H) + p, v + 82, menuLine(2 * k));
  // The title picture, squeezed from 32 into the last 31 columns.
  if (settings.ShowTitle == 1) {
    boardCanvas.Rectangle(481, 0, 512, 96);
    TBitmap title;
    title.LoadFromFile(L"title.bmp");
    boardCanvas.CopyRect(RECT{481, 0, 512, 96}, title.Canvas(), RECT{0, 0, 32, 96});
  }
}

// The "@" face is not drawn the same way everywhere (some platforms put every
// character on one spot), so each character is drawn on its own with the
// plain face turned 90 degrees anticlockwise.
SidewaysWriter::SidewaysWriter(TCanvas& canvas) : canvas_(canvas) {
  const TFont& font = canvas.Font();
  if (font.Name().empty() || font.Name()[0] != L'@') return;
  LOGFONTW lf = font.LogFont();
  const std::wstring face = font.Name().substr(1);
  wcsncpy(lf.lfFaceName, face.c_str(), LF_FACESIZE - 1);
  lf.lfEscapement = 0;
  lf.lfOrientation = 0;
  upright_ = gdi::Font(CreateFontIndirectW(&lf));
  lf.lfEscapement = 900;
  lf.lfOrientation = 900;
  turned_ = gdi::Font(CreateFontIndirectW(&lf));
  HDC dc = canvas.Handle();
  gdi::SavedState saved(dc);
  SelectObject(dc, upright_.get());
  GetTextMetricsW(dc, &metrics_);
}

void SidewaysWriter::TextOut(int x, int y, const std::wstring& text) {
  if (!turned_) {
    canvas_.TextOut(x, y, text);
    return;
  }
  if (text.empty()) return;
  // Characters follow each other along x, one em apart, each standing on its
  // own cell line.
  HDC dc = canvas_.Handle();
  const TEXTMETRICW& tm = metrics_;
  gdi::SavedState saved(dc);
  SelectObject(dc, upright_.get());
  const int em = tm.tmHeight - tm.tmInternalLeading;
  // Each character's upright width first, so that the faces are swapped once
  // a name rather than twice a character.
  std::vector<std::pair<size_t, size_t>> chars;  // where each starts, its length
  std::vector<int> widths;
  for (size_t i = 0; i < text.size(); i += chars.back().second) {
    chars.emplace_back(i, (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size()) ? 2 : 1);
    SIZE ext{0, 0};
    GetTextExtentPoint32W(dc, text.data() + i, static_cast<int>(chars.back().second), &ext);
    widths.push_back(ext.cx);
  }
  // Like any text on the canvas, the name stands on its cells filled with the
  // brush: a later name that overlaps an earlier one covers it. A cell here
  // is the em square each character is centred in; they are filled first, in
  // one piece, so that no character's cell cuts into the one before it.
  const int count = static_cast<int>(chars.size());
  if (canvas_.Brush().Style() != TBrushStyle::bsClear) canvas_.FillRect(RECT{x, y, x + count * em, y + em});
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, ColorToRGB(canvas_.Font().Color()));
  SetTextAlign(dc, TA_LEFT | TA_TOP | TA_NOUPDATECP);
  SelectObject(dc, turned_.get());
  int pos = x;
  for (size_t k = 0; k < chars.size(); ++k) {
    // The turned cell spans [px, px + cell height) across and [py - width, py)
    // down; its em box starts after the internal leading.
    const int px = pos - tm.tmInternalLeading;
    const int py = y + (em + widths[k]) / 2;
    ExtTextOutW(dc, px, py, 0, nullptr, text.data() + chars[k].first, static_cast<UINT>(chars[k].second), nullptr);
    pos += em;
  }
}
