// The menu half of TXPStyle: measure and draw handlers for the items of the
// form's main and popup menus.
#include <algorithm>
#include <cmath>

#include "xpstyle/win/XPStyle.h"

using xp::XPWorkingColors;

namespace {

constexpr int kNoHookTag = 999;

bool IsTopLevel(const TMenuItem* item, TMenu* menu) {
  return dynamic_cast<TMainMenu*>(menu) && item->Parent() == menu->Items();
}

// The item's picture: from the menu's image list, else its own bitmap.
bool ItemGlyph(TMenuItem* item, TMenu* menu, TBitmap& out, COLORREF background) {
  if (menu->Images && item->ImageIndex != -1 && menu->Images->Image(item->ImageIndex)) {
    out.SetSize(menu->Images->Width, menu->Images->Height);
    out.Canvas().Brush().SetColor(background);
    out.Canvas().FillRect(RECT{0, 0, out.Width(), out.Height()});
    menu->Images->Draw(out.Canvas(), 0, 0, item->ImageIndex);
    return true;
  }
  if (!item->Bitmap().Empty()) {
    out.Assign(item->Bitmap());
    return true;
  }
  return false;
}

// n / 4 rounded to nearest with halves to even, as the painter's other
// roundings: three quarters of a 14-pixel text height is 10, not 11.
int QuarterRoundEven(int n) {
  int q = n / 4;
  const int r = n % 4;
  if (r > 2 || (r == 2 && q % 2 != 0)) ++q;
  return q;
}

void DrawGlyphAt(HDC dc, TBitmap& g, int x, int y) {
  DrawTransparent(dc, x, y, g.Width(), g.Height(), g, 0, 0, g.Raster().Pixel(0, g.Height() - 1));
}

}  // namespace

void TXPStyle::InitMenu(TMenu* menu, bool activate) {
  InitItems(menu->Items(), activate);
  menu->SetOwnerDraw(activate);
  if (menu->HandleAllocated()) menu->Rebuild();
}

void TXPStyle::InitItems(TMenuItem* parent, bool activate) {
  const auto measure = TMenuMeasureItemEvent::Of<&TXPStyle::MenuMeasureItem>(this);
  const auto draw = TAdvancedMenuDrawItemEvent::Of<&TXPStyle::MenuDrawItem>(this);
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* item = parent->Items(i);
    // Tagged items keep the platform's look altogether, not an owner-drawn
    // imitation of it.
    item->PlatformDrawn = activate && item->Tag == kNoHookTag;
    if (item->Tag != kNoHookTag) {
      if (activate) {
        if (!item->OnMeasureItem || OverrideOwnerDraw) item->OnMeasureItem = measure;
        if (!item->OnAdvancedDrawItem || OverrideOwnerDraw) item->OnAdvancedDrawItem = draw;
      } else {
        if (item->OnMeasureItem == measure) item->OnMeasureItem = {};
        if (item->OnAdvancedDrawItem == draw) item->OnAdvancedDrawItem = {};
      }
    }
    InitItems(item, activate);
  }
}

void TXPStyle::MenuMeasureItem(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TMenu* menu = item ? item->GetParentMenu() : nullptr;
  if (!active_ || !menu) return;
  WorkingColors(ACanvas.Handle());  // picks up the system menu font
  ACanvas.Font().Assign(font_);
  std::wstring text = item->IsLine() ? L"" : item->Caption;
  if (item->ShortCut) text = item->Caption + ShortCutToText(item->ShortCut) + L"WWW";
  int w = ACanvas.TextWidth(text) + 5;
  if (text.find(L'&') != std::wstring::npos) w -= ACanvas.TextWidth(L"&");

  int iw = 0, ih = 0;
  if (menu->Images && item->ImageIndex != -1) {
    iw = menu->Images->Width;
    ih = menu->Images->Height;
  } else if (!item->Bitmap().Empty()) {
    iw = item->Bitmap().Width();
    ih = item->Bitmap().Height();
  }
  const auto* owner = dynamic_cast<TForm*>(Owner());
  const bool formBar = IsTopLevel(item, menu) && owner && owner->Menu() == menu;
  if (!formBar) iw = std::max(iw, IconWidth);
  if (iw > 0) w += iw;
  if (formBar) w += 8;  // the NT family's menu bar gap

  int h;
  if (item->IsLine()) {
    h = 4;
  } else {
    const int th = ACanvas.TextHeight(text.empty() ? L" " : text);
    h = std::max(th + QuarterRoundEven(3 * th), ih + 6);
  }
  Width = std::max(Width, w);
  Height = std::max(Height, h);
}

void TXPStyle::MenuDrawItem(TObject* Sender, TCanvas& C, RECT ARect, TOwnerDrawState State) {
  auto* item = dynamic_cast<TMenuItem*>(Sender);
  TMenu* menu = item ? item->GetParentMenu() : nullptr;
  if (!active_ || !menu) return;
  HDC dc = C.Handle();
  const XPWorkingColors wc = WorkingColors(dc);
  const bool sep = item->IsLine();
  const bool top = IsTopLevel(item, menu);
  const bool rtl = menu->IsRightToLeft();
  const bool selected = (State & odSelected) != 0;
  const bool enabled = item->Enabled;
  C.Font().Assign(font_);
  RECT r = ARect;
  r.bottom += 1;
  const std::wstring text = L" " + item->Caption;

  TBitmap glyph;
  const bool hasGlyph = ItemGlyph(item, menu, glyph, ColorToRGB(C.Brush().Color()));
  const int gw = hasGlyph ? glyph.Width() : 0, gh = hasGlyph ? glyph.Height() : 0;

  // Icon column, mark box and text area.
  RECT icon = r;
  if (rtl)
    icon.left = r.right - IconWidth;
  else
    icon.right = r.left + IconWidth;
  RECT mark;
  if (hasGlyph) {
    mark = RECT{icon.left + 1, icon.top + 2, icon.right - 3, icon.bottom - 2};
  } else {
    const int cx = (icon.left + icon.right) / 2, cy = (icon.top + icon.bottom) / 2 - (top ? 1 : 0);
    mark = RECT{cx - 5, cy - 5, cx + 5, cy + 5};
  }
  if (gw > IconWidth) {
    if (rtl)
      mark.left -= gw - IconWidth;
    else
      mark.right += gw - IconWidth;
  }
  RECT tr = r;
  if (top) {
    if (hasGlyph) {
      const int off = std::max(4, gw + 4) - 5;
      if (rtl)
        tr.right = r.right - off;
      else
        tr.left = r.left + off;
    }
  } else {
    const int off = std::max(IconWidth, hasGlyph ? gw + 4 : 0);
    if (rtl)
      tr.right = r.right - off;
    else
      tr.left = r.left + off;
  }

  // Background.
  if (top) {
    C.Brush().SetColor(wc.MenuBar);
    C.FillRect(r);
  } else if (wc.Deep && Gradient) {
    RECT g = r;
    g.right += 2;
    int k = 0;
    const int n = g.right - g.left;
    for (int i = 0; i < n; ++i) {
      k = std::min(k + (i < IconWidth + 5 ? 3 : 1), 96);
      const int x = rtl ? g.right - 1 - i : g.left + i;
      C.Brush().SetColor(LightenFor(dc, wc.IconBack, k));
      C.FillRect(RECT{x, g.top, x + 1, g.bottom});
    }
  } else {
    C.Brush().SetColor(wc.Face);
    C.FillRect(r);
    C.Brush().SetColor(wc.IconBack);
    C.FillRect(icon);
  }

  TColor fontColor = enabled ? font_.Color() : static_cast<TColor>(wc.Disabled);

  // Selection.
  if (selected && DrawSelect) {
    if (top) {
      C.Brush().SetColor(wc.Select);
      C.Pen().SetColor(wc.SelectBorder);
      C.Rectangle(r);
      if (rtl || !wc.Deep) {
        C.Brush().SetColor(xp::Darken(wc.MenuBar, 70));
        C.FillRect(RECT{r.right - 2, r.top, r.right, r.bottom});
      } else {
        // A soft shadow: three bands fading into the bar.
        const COLORREF base = xp::Darken(wc.MenuBar, 10);
        const int pct[3] = {30, 60, 100};
        const int at[3] = {7, 5, 3};
        for (int i = 0; i < 3; ++i) {
          const int x = r.right - at[i];
          auto mix = [&](int a, int b) { return a + (b - a) * pct[i] / 100; };
          const COLORREF c = RGB(mix(GetRValue(wc.Select), GetRValue(base)), mix(GetGValue(wc.Select), GetGValue(base)),
                                 mix(GetBValue(wc.Select), GetBValue(base)));
          C.Brush().SetColor(c);
          C.FillRect(RECT{x, r.top + 1, x + 2, r.bottom - 1});
        }
        ::SetPixel(dc, r.right - 1, r.top, wc.MenuBar);
        ::SetPixel(dc, r.right - 2, r.top, xp::Darken(wc.MenuBar, 10));
        ::SetPixel(dc, r.right - 1, r.bottom - 1, xp::Darken(wc.MenuBar, 30));
        ::SetPixel(dc, r.right - 2, r.bottom - 1, xp::Darken(wc.MenuBar, 40));
      }
    } else if (enabled) {
      RECT s = r;
      s.top += 1;
      s.bottom -= 1;
      if (FlatMenu) s.right -= 1;
      C.Brush().SetColor(wc.Select);
      C.Pen().SetColor(wc.SelectBorder);
      C.Rectangle(s);
    }
  }

  // Check and radio marks.
  if (item->Checked && !sep) {
    C.Pen().SetColor(enabled ? wc.SelectBorder : wc.Disabled);
    C.Brush().SetColor(selected ? wc.CheckedAreaSelect : wc.CheckedArea);
    if (item->RadioItem) {
      if (hasGlyph)
        C.RoundRect(mark.left, mark.top, mark.right, mark.bottom, 6, 6);
      else
        C.Ellipse(mark.left, mark.top, mark.right, mark.bottom);
    } else if (hasGlyph) {
      C.Rectangle(mark);
    } else {
      C.Pen().SetColor(enabled ? wc.Checked : wc.Disabled);
      C.Rectangle(mark);
      C.Pen().SetColor(enabled ? RGB(0, 0, 0) : wc.Disabled);
      const int L = mark.left, T = mark.top, R = mark.right, B = mark.bottom;
      const POINT strokes[5][2] = {{{L + 1, T + 5}, {L + 4, B - 2}}, {{L + 2, T + 5}, {L + 4, B - 3}},
                                   {{L + 2, T + 4}, {L + 5, B - 3}}, {{L + 4, B - 3}, {R + 2, T - 1}},
                                   {{L + 4, B - 2}, {R - 2, T + 3}}};
      for (const auto& s : strokes) {
        C.MoveTo(s[0].x, s[0].y);
        C.LineTo(s[1].x, s[1].y);
      }
    }
  }

  // The picture.
  if (hasGlyph) {
    int gx;
    if (gw < IconWidth)
      gx = icon.left + (IconWidth - gw) / 2;
    else
      gx = rtl ? icon.right - 2 - gw : icon.left + 2;
    int gy = icon.top + 3;
    const plat::Color key = glyph.Raster().Pixel(0, gh - 1);
    if (selected && enabled && !item->Checked && !top) {
      --gx;
      --gy;
      plat::Raster px = glyph.Raster();
      const COLORREF shade = xp::Darken(wc.Select, 50);
      for (int y = 0; y < gh; ++y)
        for (int x = 0; x < gw; ++x)
          if (px.Pixel(x, y) != key) ::SetPixel(dc, gx + 2 + x, gy + 2 + y, shade);
    } else if (enabled && !item->Checked && !selected) {
      if (wc.Deep) {
        plat::Raster px = glyph.Raster();
        xp::LightenPixels(px, DimLevel, key);
      }
    } else if (!enabled) {
      plat::Raster px = glyph.Raster();
      xp::GrayPixels(px, GrayLevel, 40, key);
    }
    DrawGlyphAt(dc, glyph, gx, gy);
  }

  // Text, or the separator line.
  if (sep) {
    const int y = r.top + static_cast<int>(std::lrint((r.bottom - r.top) / 2.0));  // halves to even
    C.Brush().SetColor(wc.Separator);
    const RECT line = rtl ? RECT{tr.left, y, tr.right - 7, y + 1} : RECT{tr.left + 7, y, tr.right, y + 1};
    C.FillRect(line);
  } else {
    TColor color = fontColor;
    if (selected && enabled) color = wc.SelectFont;
    if (!enabled) color = wc.Disabled;
    if (selected && top && UseSystemColors) {
      const bool light = (GetRValue(wc.IconBack) + GetBValue(wc.IconBack)) / 2 > 150 || GetGValue(wc.IconBack) > 200;
      color = light ? font_.Color() : static_cast<TColor>(LightenFor(dc, wc.IconBack, 90));
    }
    RECT t = tr;
    if (rtl)
      t.right -= 3;
    else
      t.left += 3;
    const bool defaultShadow = item->Default && enabled;
    if (rtl) {
      // Right-aligned captions: measure and start from the right.
      const int w = C.TextWidth(text);
      t.left = t.right - w;
    }
    xpdraw::DrawCaption(C, t, text, color, rtl, defaultShadow);
    if (item->ShortCut) {
      const std::wstring sc = ShortCutToText(item->ShortCut) + L" ";
      C.Font().SetColor(wc.Deep ? static_cast<TColor>(xp::Darken(ColorToRGB(color), -40)) : color);
      C.Brush().SetStyle(TBrushStyle::bsClear);
      RECT s = r;
      s.top += ((s.bottom - s.top) - C.TextHeight(L"W")) / 2;
      UINT fmt = DT_SINGLELINE | DT_NOCLIP;
      if (rtl) {
        s.left += 10;
        fmt |= DT_LEFT | DT_RTLREADING;
      } else {
        s.right -= 10;
        fmt |= DT_RIGHT;
      }
      C.DrawText(sc, s, fmt);
    }
  }

  // The flat border of a popup window.
  if (FlatMenu && !top) {
    HWND w = WindowFromDC(dc);
    auto* form = dynamic_cast<TWinControl*>(Owner());
    if (w && (!form || !form->HandleAllocated() || w != form->Handle())) DrawFlatMenuBorder(w, wc, rtl);
  }

  // Items added since activation get the handlers too.
  if (item->Parent()) InitItems(item->Parent(), true);
}

void TXPStyle::DrawFlatMenuBorder(HWND popup, const XPWorkingColors& wc, bool rtl) {
  RECT wr;
  if (!GetWindowRect(popup, &wr)) return;
  const int W = wr.right - wr.left, H = wr.bottom - wr.top;
  const gdi::WindowDC dc = gdi::WindowDC::Adopt(popup, GetWindowDC(popup));
  if (!dc) return;
  {
    TCanvas c(dc.get());
    // Inner frame over the platform's 3-D border.
    RECT cr;
    GetClientRect(popup, &cr);
    POINT origin{0, 0};
    ClientToScreen(popup, &origin);
    const int bl = origin.x - wr.left, bt = origin.y - wr.top;
    c.Brush().SetStyle(TBrushStyle::bsClear);
    for (int i = 1; i < std::max({bl, bt, 2}); ++i) {
      c.Pen().SetColor(wc.Face);
      c.Rectangle(i, i, W - 2 - i + 1, H - 2 - i + 1);
      c.Pen().SetColor(wc.IconBack);
      const int x = rtl ? W - 2 - i : i;
      c.MoveTo(x, i);
      c.LineTo(x, H - 2 - i + 1);
    }
    c.Pen().SetColor(wc.MenuBorder);
    c.Rectangle(0, 0, W - 2, H - 2);
    // Shadow at the right and bottom, button face in the outer corners.
    c.Brush().SetColor(wc.MenuShadow);
    c.FillRect(RECT{W - 2, 2, W, H});
    c.FillRect(RECT{2, H - 2, W, H});
    c.Brush().SetColor(clBtnFace);
    c.FillRect(RECT{W - 2, 0, W, 2});
    c.FillRect(RECT{0, H - 2, 2, H});
  }
}
