#include "app/win/artwork.h"

#include <cmath>

namespace {

constexpr TColor kKey = 0xFF00FF;  // transparent background

struct Painter {
  TCanvas& c;
  double s;  // scale from the 16-unit design grid
  int X(double v) const { return static_cast<int>(std::lround(v * s)); }
  void Pen(TColor col, int w = 1) {
    c.Pen().SetColor(col);
    c.Pen().SetWidth(w);
  }
  void Fill(TColor col) { c.Brush().SetColor(col); }
  void Rect(double l, double t, double r, double b) { c.Rectangle(X(l), X(t), X(r), X(b)); }
  void Round(double l, double t, double r, double b, double k) { c.RoundRect(X(l), X(t), X(r), X(b), X(k), X(k)); }
  void Oval(double l, double t, double r, double b) { c.Ellipse(X(l), X(t), X(r), X(b)); }
  void Line(double x1, double y1, double x2, double y2) {
    c.MoveTo(X(x1), X(y1));
    c.LineTo(X(x2), X(y2));
  }
  void Poly(std::initializer_list<std::pair<double, double>> pts, TColor fill, TColor edge) {
    std::vector<POINT> p;
    for (auto& q : pts) p.push_back(POINT{X(q.first), X(q.second)});
    Pen(edge);
    Fill(fill);
    HDC dc = c.Handle();
    gdi::Selected brush(dc, c.Brush().Handle()), pen(dc, c.Pen().Handle());
    Polygon(dc, p.data(), static_cast<int>(p.size()));
  }
};

const TColor kInk = RGB(40, 60, 90), kBlue = RGB(52, 120, 200), kGreen = RGB(40, 150, 70),
             kRed = RGB(200, 50, 40), kGold = RGB(230, 170, 40), kPaper = RGB(250, 250, 245),
             kGrey = RGB(120, 130, 140);

}  // namespace

void DrawGlyph(TBitmap& bmp, GlyphKind kind, int size) {
  bmp.SetSize(size, size);
  bmp.Transparent = true;
  TCanvas& c = bmp.Canvas();
  c.Brush().SetColor(kKey);
  c.Pen().SetColor(kKey);
  c.Rectangle(0, 0, size, size);
  Painter p{c, size / 16.0};
  switch (kind) {
    case GlyphKind::Settings: {  // a cog
      p.Pen(kInk);
      p.Fill(kGrey);
      for (int k = 0; k < 8; ++k) {
        const double a = k * 3.14159265 / 4, cx = 8 + 5.6 * std::cos(a), cy = 8 + 5.6 * std::sin(a);
        p.Rect(cx - 1.4, cy - 1.4, cx + 1.6, cy + 1.6);
      }
      p.Oval(3, 3, 13.5, 13.5);
      p.Fill(kKey);
      p.Oval(6, 6, 10.5, 10.5);
      break;
    }
    case GlyphKind::Open:  // an open folder
      p.Poly({{1, 4}, {6, 4}, {7, 5.5}, {13, 5.5}, {13, 14}, {1, 14}}, kGold, kInk);
      p.Poly({{3, 8}, {16, 8}, {13.5, 14}, {1, 14}}, RGB(250, 205, 90), kInk);
      break;
    case GlyphKind::Save:  // a diskette
      p.Pen(kInk);
      p.Fill(kBlue);
      p.Round(1.5, 1.5, 15, 15, 2);
      p.Fill(kPaper);
      p.Rect(4, 1.5, 12, 7);
      p.Fill(RGB(200, 210, 220));
      p.Rect(4.5, 10, 11.5, 15);
      break;
    case GlyphKind::Preview:  // an eye
      p.Pen(kInk);
      p.Fill(kPaper);
      p.Oval(1, 4, 15.5, 12.5);
      p.Fill(kBlue);
      p.Oval(5.5, 5, 10.5, 11.5);
      p.Fill(kInk);
      p.Oval(7, 6.8, 9, 9.8);
      break;
    case GlyphKind::Send:  // a paper plane
      p.Poly({{1, 8}, {15, 2}, {10, 15}, {7.5, 10}}, kPaper, kInk);
      p.Poly({{7.5, 10}, {15, 2}, {8.5, 13}}, kBlue, kInk);
      break;
    case GlyphKind::Exit:  // a door with an arrow
      p.Pen(kInk);
      p.Fill(RGB(170, 110, 60));
      p.Rect(2, 1.5, 10, 15);
      p.Fill(kGold);
      p.Oval(7, 8, 8.6, 9.6);
      p.Poly({{9.5, 6.5}, {12, 6.5}, {12, 4.5}, {15.5, 8}, {12, 11.5}, {12, 9.5}, {9.5, 9.5}}, kGreen, kInk);
      break;
    case GlyphKind::Link:
    case GlyphKind::Unlink:
      p.Pen(kind == GlyphKind::Link ? kGreen : kRed, std::max(1, size / 8));
      p.Fill(kKey);
      p.Round(1, 5, 9, 11, 5);
      p.Round(7, 5, 15, 11, 5);
      break;
    case GlyphKind::Query:
      p.Pen(kInk);
      p.Fill(kBlue);
      p.Oval(1, 1, 15, 15);
      p.Pen(kPaper, std::max(1, size / 8));
      p.Line(8, 7, 8, 12);
      p.Line(8, 4, 8, 5);
      break;
    case GlyphKind::Power:
    case GlyphKind::PowerOff:
      p.Pen(kind == GlyphKind::Power ? kGreen : kRed, std::max(1, size / 8));
      p.Fill(kKey);
      c.Arc(p.X(2), p.X(2), p.X(14), p.X(14), p.X(11), p.X(3), p.X(5), p.X(3));
      p.Line(8, 1, 8, 8);
      break;
    case GlyphKind::Brightness:
      p.Pen(kGold, std::max(1, size / 10));
      for (int k = 0; k < 8; ++k) {
        const double a = k * 3.14159265 / 4;
        p.Line(8 + 5 * std::cos(a), 8 + 5 * std::sin(a), 8 + 7 * std::cos(a), 8 + 7 * std::sin(a));
      }
      p.Pen(kInk);
      p.Fill(kGold);
      p.Oval(4.5, 4.5, 11.5, 11.5);
      break;
    case GlyphKind::Clock:
      p.Pen(kInk);
      p.Fill(kPaper);
      p.Oval(1, 1, 15, 15);
      p.Line(8, 8, 8, 3.5);
      p.Line(8, 8, 11.5, 9.5);
      break;
    case GlyphKind::Picture:
      p.Pen(kInk);
      p.Fill(RGB(170, 210, 240));
      p.Rect(1, 2.5, 15, 13.5);
      p.Poly({{2, 13}, {6, 7}, {9, 11}, {11, 9}, {14, 13}}, kGreen, kGreen);
      break;
    case GlyphKind::Text:
      p.Pen(kInk, std::max(1, size / 8));
      p.Line(3, 3, 13, 3);
      p.Line(8, 3, 8, 14);
      break;
  }
}

void DrawLogo(TBitmap& bmp) {
  bmp.SetSize(86, 32);
  bmp.Transparent = true;
  TCanvas& c = bmp.Canvas();
  c.Brush().SetColor(kKey);
  c.Pen().SetColor(kKey);
  c.Rectangle(0, 0, 86, 32);
  // A small LED panel: a grid of dots, some lit in a "P".
  static const char* rows[] = {"1110", "1001", "1110", "1000", "1000"};
  c.Pen().SetColor(RGB(30, 30, 30));
  c.Brush().SetColor(RGB(30, 30, 30));
  c.RoundRect(1, 1, 31, 31, 6, 6);
  for (int r = 0; r < 5; ++r)
    for (int k = 0; k < 4; ++k) {
      const bool lit = rows[r][k] == '1';
      c.Brush().SetColor(lit ? RGB(255, 60, 40) : RGB(70, 40, 40));
      c.Pen().SetColor(lit ? RGB(255, 120, 90) : RGB(70, 40, 40));
      c.Ellipse(8 + k * 4, 5 + r * 4, 11 + k * 4, 8 + r * 4);
    }
  c.Brush().SetColor(RGB(255, 60, 40));
  c.Pen().SetColor(RGB(255, 60, 40));
  for (int k = 0; k < 5; ++k) c.Ellipse(6 + k * 4, 25, 9 + k * 4, 28);
  // The name beside it.
  c.Font().SetName(L"Arial");
  c.Font().SetHeight(-15);
  c.Font().SetStyle(fsBold);
  c.Font().SetColor(RGB(40, 60, 90));
  c.Brush().SetStyle(TBrushStyle::bsClear);
  c.TextOut(35, 2, L"Platora");
  c.Font().SetHeight(-10);
  c.Font().SetStyle(0);
  c.Font().SetColor(RGB(110, 120, 130));
  c.TextOut(36, 19, L"LED menu");
}
