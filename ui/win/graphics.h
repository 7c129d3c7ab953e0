// Fonts, pens, brushes, canvases and bitmaps over GDI. A TBitmap is always a
// 24-bit top-down DIB section, so its pixels are also a plat::Raster view and
// the portable pixel routines work on it without copies.
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "ui/core/geometry.h"
#include "ui/core/raster.h"
#include "ui/win/handles.h"
#include "ui/win/surface.h"

using TColor = plat::Color;

// System colours as the framework encodes them: 0xFF000000 | COLOR_xxx.
constexpr TColor clSystemColor = 0xFF000000;
constexpr TColor clBtnFace = clSystemColor | COLOR_BTNFACE;
constexpr TColor clBtnShadow = clSystemColor | COLOR_BTNSHADOW;
constexpr TColor clBtnText = clSystemColor | COLOR_BTNTEXT;
constexpr TColor clBtnHighlight = clSystemColor | COLOR_BTNHIGHLIGHT;
constexpr TColor clHighlight = clSystemColor | COLOR_HIGHLIGHT;
constexpr TColor clHighlightText = clSystemColor | COLOR_HIGHLIGHTTEXT;
constexpr TColor clWindow = clSystemColor | COLOR_WINDOW;
constexpr TColor clWindowText = clSystemColor | COLOR_WINDOWTEXT;
constexpr TColor clMenu = clSystemColor | COLOR_MENU;
constexpr TColor clMenuText = clSystemColor | COLOR_MENUTEXT;
constexpr TColor clInactiveCaption = clSystemColor | COLOR_INACTIVECAPTION;
constexpr TColor clGrayText = clSystemColor | COLOR_GRAYTEXT;
constexpr TColor cl3DDkShadow = clSystemColor | COLOR_3DDKSHADOW;
constexpr TColor cl3DLight = clSystemColor | COLOR_3DLIGHT;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clBlack = 0x000000, clWhite = 0xFFFFFF, clRed = 0x0000FF, clSilver = 0xC0C0C0,
                 clGray = 0x808080, clYellow = 0x00FFFF, clLime = 0x00FF00, clBlue = 0xFF0000;

// Resolves a system colour to RGB; plain colours pass through.
COLORREF ColorToRGB(TColor c);

enum TFontStyle : unsigned { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using TFontStyles = unsigned;

// The logical font of a face, a height (negative: the character height in
// pixels), styles, a charset and an angle in tenths of a degree.
LOGFONTW LogFontFor(const std::wstring& face, int height, TFontStyles style, int charset, int orientation = 0);

class TGraphicsObject {
 public:
  virtual ~TGraphicsObject() = default;
  std::function<void()> OnChange;

 protected:
  void Changed() {
    if (OnChange) OnChange();
  }
};

class TFont : public TGraphicsObject {
 public:
  TFont();
  ~TFont() override;
  TFont(const TFont&) = delete;
  TFont& operator=(const TFont&) = delete;
  void Assign(const TFont& other);

  const std::wstring& Name() const { return name_; }
  void SetName(const std::wstring& n);
  int Height() const { return height_; }
  void SetHeight(int h);
  int Size() const;  // points at 96 pixels per inch
  void SetSize(int points);
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  int Charset() const { return charset_; }
  void SetCharset(int cs);
  TFontStyles Style() const { return style_; }
  void SetStyle(TFontStyles s);
  int Orientation() const { return orientation_; }  // tenths of a degree
  void SetOrientation(int o);

  LOGFONTW LogFont() const;
  void SetLogFont(const LOGFONTW& lf);  // also takes the name/height/style
  HFONT Handle();

 private:
  void Reset();
  std::wstring name_ = L"MS Sans Serif";
  int height_ = -11;
  TColor color_ = clWindowText;
  int charset_ = DEFAULT_CHARSET;
  TFontStyles style_ = 0;
  int orientation_ = 0;
  gdi::Font handle_;
};

enum class TPenStyle { psSolid, psDash, psDot, psClear };
class TPen : public TGraphicsObject {
 public:
  TPen() = default;
  TPen(const TPen&) = delete;
  TPen& operator=(const TPen&) = delete;
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  int Width() const { return width_; }
  void SetWidth(int w);
  TPenStyle Style() const { return style_; }
  void SetStyle(TPenStyle s);
  HPEN Handle();

 private:
  void Reset();
  TColor color_ = clBlack;
  int width_ = 1;
  TPenStyle style_ = TPenStyle::psSolid;
  gdi::Pen handle_;
};

enum class TBrushStyle { bsSolid, bsClear };
class TBrush : public TGraphicsObject {
 public:
  TBrush() = default;
  TBrush(const TBrush&) = delete;
  TBrush& operator=(const TBrush&) = delete;
  TColor Color() const { return color_; }
  void SetColor(TColor c);
  TBrushStyle Style() const { return style_; }
  void SetStyle(TBrushStyle s);
  HBRUSH Handle();

 private:
  void Reset();
  TColor color_ = clWhite;
  TBrushStyle style_ = TBrushStyle::bsSolid;
  gdi::Brush handle_;
};

class TBitmap;

// A drawing surface over a device context. The font, pen and brush are
// selected into the DC on the first drawing call after they change.
class TCanvas {
 public:
  TCanvas();
  explicit TCanvas(HDC dc);  // borrows dc
  virtual ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  HDC Handle();
  void SetHandle(HDC dc);
  TFont& Font() { return font_; }
  TPen& Pen() { return pen_; }
  TBrush& Brush() { return brush_; }
  DWORD CopyMode = SRCCOPY;

  void Rectangle(int x1, int y1, int x2, int y2);
  void Rectangle(const RECT& r) { Rectangle(r.left, r.top, r.right, r.bottom); }
  void FillRect(const RECT& r);
  void FrameRect(const RECT& r);
  void RoundRect(int x1, int y1, int x2, int y2, int w, int h);
  void Ellipse(int x1, int y1, int x2, int y2);
  void Arc(int x1, int y1, int x2, int y2, int x3, int y3, int x4, int y4);
  void MoveTo(int x, int y);
  void LineTo(int x, int y);
  void Polyline(const POINT* pts, int count);
  void TextOut(int x, int y, const std::wstring& text);
  void TextRect(const RECT& r, int x, int y, const std::wstring& text);
  int DrawText(const std::wstring& text, RECT& r, UINT format);
  SIZE TextExtent(const std::wstring& text);
  int TextWidth(const std::wstring& text) { return TextExtent(text).cx; }
  int TextHeight(const std::wstring& text) { return TextExtent(text).cy; }
  TColor Pixel(int x, int y);
  void SetPixel(int x, int y, TColor c);
  void Draw(int x, int y, TBitmap& bmp);  // honours the bitmap's transparency
  void StretchDraw(const RECT& r, TBitmap& bmp);
  void CopyRect(const RECT& dest, TCanvas& src, const RECT& source);

  // Called before and after every drawing operation (an image repaints).
  std::function<void()> OnChange;

 protected:
  virtual void CreateHandle() {}
  void RequireFont();
  void RequirePen();
  void RequireBrush();
  void Changed() {
    if (OnChange) OnChange();
  }

  HDC dc_ = nullptr;

 private:
  void Deselect();
  void Select(std::optional<gdi::Selected>& slot, HGDIOBJ object);
  TFont font_;
  TPen pen_;
  TBrush brush_;
  bool fontValid_ = false, penValid_ = false, brushValid_ = false;
  // The first selection of each kind puts the DC's own object back when the
  // canvas lets go of the DC; later ones just replace the canvas's object.
  std::optional<gdi::Selected> fontSel_, penSel_, brushSel_;
};

// A 24-bit top-down DIB section with its own memory DC (a gdi::DibSurface,
// made anew at each size).
class TBitmap {
 public:
  TBitmap();
  ~TBitmap();
  TBitmap(const TBitmap&) = delete;
  TBitmap& operator=(const TBitmap&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }
  bool Empty() const { return width_ <= 0 || height_ <= 0; }
  void SetSize(int w, int h);  // content becomes black
  void SetWidth(int w) { SetSize(w, height_); }
  void SetHeight(int h) { SetSize(width_, h); }
  TCanvas& Canvas();
  HBITMAP Handle() const { return surface_ ? surface_->bitmap() : nullptr; }
  // The pixels as a raster view (GDI is flushed first). Valid until resized.
  plat::Raster Raster();

  // Raises EFOpenError "Cannot open file "%s". %s" or EInvalidGraphic.
  void LoadFromFile(const std::wstring& path);
  void LoadFromRaster(const plat::Raster& r);
  void LoadFromBmpBytes(const uint8_t* data, size_t size);
  void SaveToFile(const std::wstring& path);
  void Assign(TBitmap& other);

  bool Transparent = false;
  // Transparent colour: the bottom-left pixel unless set.
  TColor TransparentColor();
  void SetTransparentColor(TColor c) { transparentColor_ = c; }

  std::function<void()> OnChange;
  void Changed() {
    if (batches_ > 0) {
      changedInBatch_ = true;
      return;
    }
    if (OnChange) OnChange();
  }
  // Drawing that belongs together: the bitmap tells of its change once, when
  // the last batch ends, instead of after every line and letter.
  class TChangeBatch {
   public:
    explicit TChangeBatch(TBitmap& b) : b_(b) { ++b_.batches_; }
    ~TChangeBatch() {
      if (--b_.batches_ == 0 && b_.changedInBatch_) {
        b_.changedInBatch_ = false;
        b_.Changed();
      }
    }
    TChangeBatch(const TChangeBatch&) = delete;
    TChangeBatch& operator=(const TChangeBatch&) = delete;

   private:
    TBitmap& b_;
  };

 private:
  class BitmapCanvas;
  void Free();
  int width_ = 0, height_ = 0;
  int batches_ = 0;
  bool changedInBatch_ = false;
  // 1 x 1 while the bitmap is empty.
  std::optional<gdi::DibSurface> surface_;
  std::unique_ptr<TCanvas> canvas_;
  TColor transparentColor_ = clNone;
};

// Draws a bitmap with one colour made see-through.
void DrawTransparent(HDC dc, int x, int y, int w, int h, TBitmap& bmp, int sx, int sy, COLORREF key);
