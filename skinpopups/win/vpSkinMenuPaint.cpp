// Painting of skinned menu levels and their items.
#include <algorithm>
#include <memory>
#include <vector>

#include "skin/core/vpEffects.h"
#include "skin/win/vpUtils_win.h"
#include "skinpopups/win/popup_level.h"
#include "ui/win/codepage.h"

namespace vp {

namespace {

using popupgdi::Surface;

COLORREF Rgb(plat::Color c) { return ColorToRGB(c); }

int MenuCharset(TvpSkinMenu& menu) {
  TvpSkinData* sd = menu.SkinData();
  if (sd && sd->ResourceStrData()) return sd->ResourceStrData()->CharSet;
  return menu.DefMenuItemFont().Charset();
}

void FillRectColor(HDC dc, const RECT& r, COLORREF c) {
  gdi::Brush b(CreateSolidBrush(c));
  FillRect(dc, &r, b.get());
}
void FrameRectColor(HDC dc, const RECT& r, COLORREF c) {
  gdi::Brush b(CreateSolidBrush(c));
  FrameRect(dc, &r, b.get());
}

bool StartsRtl(TvpSkinMenu& menu) {
  TForm* f = menu.HostForm();
  return f && f->UseRightToLeftReading();
}

// The access-key text drawing the caption and shortcut share.
void DrawItemText(HDC dc, const std::wstring& text, RECT r, bool rtl, bool clipped) {
  UINT flags = DT_CENTER | DT_SINGLELINE | DT_VCENTER;
  if (rtl) flags |= DT_RTLREADING;
  if (clipped) flags |= DT_END_ELLIPSIS;
  skin::DrawSkinText(dc, text, r, flags);
}

// Greys a disabled image in place.
void GreyOut(Surface& s, RECT r) {
  plat::Raster& px = s.raster();
  r.left = std::max<LONG>(r.left, 0);
  r.top = std::max<LONG>(r.top, 0);
  r.right = std::min<LONG>(r.right, px.Width());
  r.bottom = std::min<LONG>(r.bottom, px.Height());
  for (int y = r.top; y < r.bottom; ++y)
    for (int x = r.left; x < r.right; ++x) {
      const plat::Color c = px.Pixel(x, y);
      const int g = (plat::RedOf(c) + plat::GreenOf(c) + plat::BlueOf(c)) / 3;
      const int l = 128 + g / 2;
      px.SetPixel(x, y, plat::RGBColor(l, l, l));
    }
}

// Where caption, shortcut, arrow and glyph go, and in which colours.
struct ContentLook {
  RECT T{};
  int G = 0;          // glyph column left of the caption
  int RightGap = 16;  // kept free right of the shortcut
  COLORREF TextColor = 0;
  COLORREF MarkColor = 0;  // check marks and system glyphs
  bool Skinned = true;
  plat::Rect ImageRect;  // skinned only; null for the default place
};

void DrawMark(HDC dc, TMenuItem& mi, const ContentLook& look) {
  const int midY = look.T.top + (look.T.bottom - look.T.top) / 2;
  int x = look.T.left + 2, y = midY - 4;
  if (look.Skinned && !look.ImageRect.IsNull()) {
    x = look.ImageRect.Left + look.ImageRect.Width() / 2 - 4;
    y = look.ImageRect.Top + look.ImageRect.Height() / 2 - 4;
  }
  const std::wstring& n = mi.Name;
  const COLORREF c = look.MarkColor;
  if (n == L"VPF_CLOSE" || n == L"TRAY_VPF_CLOSE") {
    skin::DrawCloseGlyph(dc, x, y, c);
  } else if (n == L"VPF_MINITEM") {
    skin::DrawMinimizeGlyph(dc, x, y, c);
  } else if (n == L"VPF_MAXITEM") {
    skin::DrawMaximizeGlyph(dc, x, y, c);
  } else if (n == L"VPF_RESTORE" || n == L"TRAY_VPF_RESTORE") {
    skin::DrawRestoreGlyph(dc, x, y, c);
  } else if (n == L"VPF_ROLLUP") {
    skin::DrawRollUpGlyph(dc, x, y, c);
  } else if (n == L"VPF_MINTOTRAY") {
    skin::DrawTrayGlyph(dc, x, y, c);
  } else if (mi.Checked) {
    if (look.Skinned) {
      if (mi.RadioItem)
        skin::DrawRadioDot(dc, x, y + 1, c);
      else
        skin::DrawCheckMark(dc, x, y, c);
    } else {
      if (mi.RadioItem)
        skin::DrawRadioDot(dc, look.T.left + 3, midY - 3, c);
      else
        skin::DrawCheckMark(dc, look.T.left + 3, midY - 4, c);
    }
  }
}

void DrawContent(TvpSkinPopupWindow& level, TMenuItem& mi, Surface& s, const ContentLook& lookIn, bool on) {
  ContentLook look = lookIn;
  HDC dc = s.dc();
  TvpSkinMenu& menu = *level.Menu();
  gdi::Selected sel(dc, TvpSkinPopupPainter::LevelFont(level));
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, look.TextColor);
  const bool rtl = StartsRtl(menu);
  const RECT& T = look.T;
  const int midY = T.top + (T.bottom - T.top) / 2;

  // Caption, centred on the text rectangle's middle line.
  RECT cap{T.left + look.G, 0, T.right - look.RightGap, 0};
  skin::DrawSkinText(dc, mi.Caption, cap, DT_CALCRECT | DT_SINGLELINE);
  const int h = cap.bottom - cap.top;
  OffsetRect(&cap, 0, T.top + (T.bottom - T.top) / 2 - h / 2);
  cap.right += 2;
  // A caption wider than the level (the level is cut to the screen) ends in "...".
  const bool clipped = cap.right > T.right - look.RightGap + 2;
  if (clipped) cap.right = T.right - look.RightGap;
  DrawItemText(dc, mi.Caption, cap, rtl, clipped);

  if (mi.ShortCut != scNone) {
    const std::wstring sc = ShortCutToText(mi.ShortCut);
    const int w = skin::TextWidthOf(dc, sc);
    DrawItemText(dc, sc, RECT{T.right - w - look.RightGap, cap.top, T.right - look.RightGap, cap.bottom}, rtl, false);
  }
  if (mi.Count() > 0) skin::DrawSubMenuArrow(dc, T.right - 7, midY - 4, look.TextColor);

  // Glyph: the item's own bitmap wins over the image list.
  TCustomImageList* images = level.Images();
  TBitmap& bmp = mi.Bitmap();
  const bool hasBmp = !bmp.Empty();
  const bool hasImg = images && mi.ImageIndex >= 0 && mi.ImageIndex < images->Count();
  if (!hasBmp && !hasImg) {
    DrawMark(dc, mi, look);
    return;
  }
  const int gw = hasBmp ? bmp.Width() : images->Width, gh = hasBmp ? bmp.Height() : images->Height;
  int x = T.left + 2, y = midY - gh / 2;
  if (look.Skinned && !look.ImageRect.IsNull()) {
    x = look.ImageRect.Left + look.ImageRect.Width() / 2 - gw / 2;
    y = look.ImageRect.Top + look.ImageRect.Height() / 2 - gh / 2;
  }
  if (mi.Checked) FrameRectColor(dc, RECT{x - 1, y - 1, x + gw + 1, y + gh + 1}, look.MarkColor);
  TCanvas canvas(dc);
  if (hasBmp) {
    canvas.Draw(x, y, bmp);
  } else {
    images->Draw(canvas, x, y, mi.ImageIndex);
    canvas.SetHandle(nullptr);
    if (!mi.Enabled) GreyOut(s, RECT{x, y, x + gw, y + gh});
  }
}

plat::Rect FrameRect(const TvpDataSkinMenuItem& d, int k) {
  const plat::Rect& a = d.AnimateSkinRect;
  const int n = std::max(1, d.FrameCount);
  if (a.Height() > d.SkinRect.Height()) {
    const int h = a.Height() / n;
    return plat::Rect{a.Left, a.Top + (k - 1) * h, a.Right, a.Top + k * h};
  }
  const int w = a.Width() / n;
  return plat::Rect{a.Left + (k - 1) * w, a.Top, a.Left + k * w, a.Bottom};
}

// The skinned item image for one state (frame 0: not in frame mode).
void DrawSkinnedImage(TvpSkinPopupWindow& level, TvpSkinMenuItem& item, Surface& s, bool on, int frame) {
  const TvpDataSkinMenuItem& d = *item.Def();
  const plat::Raster& pic = item.Picture()->Pixels;
  const plat::Rect src = frame > 0 ? FrameRect(d, frame) : (on ? item.ActiveSkinRect : item.SkinRect);
  const bool stretch = on ? d.StretchEffect : (d.InActiveStretchEffect || (d.StretchEffect && frame > 0));
  plat::Raster bg;
  skin::DrawHorizontalStrip(d.ItemLeftOffset, d.ItemRightOffset, bg, stretch, s.Width(), src, pic);
  s.Put(0, 0, bg);
  TMenuItem* mi = item.MenuItem();
  if (!mi) return;

  ContentLook look;
  look.T = RECT{d.TextRect.Left, d.TextRect.Top, s.Width() + d.TextRect.Right - item.SkinRect.Width(), d.TextRect.Bottom};
  look.G = level.Images() ? level.GlyphWidth() : 16;
  if (!d.ImageRect.IsNull()) look.G = 0;
  look.ImageRect = d.ImageRect;
  look.TextColor = Rgb(on ? d.ActiveFontColor : (mi->Enabled ? d.FontColor : d.UnEnabledFontColor));
  look.MarkColor = d.UseImageColor ? Rgb(on ? d.ActiveImageColor : d.ImageColor) : look.TextColor;

  if (mi->OnDrawItem) {
    TCanvas canvas(s.dc());
    LOGFONTW lf{};
    GetObjectW(TvpSkinPopupPainter::LevelFont(level), sizeof lf, &lf);
    canvas.Font().SetLogFont(lf);
    canvas.Font().SetColor(look.TextColor);
    canvas.Brush().SetStyle(TBrushStyle::bsClear);
    SetBkMode(s.dc(), TRANSPARENT);
    mi->OnDrawItem(&item, canvas, look.T, on);
    return;
  }
  DrawContent(level, *mi, s, look, on);
}

void DrawPlainItem(TvpSkinPopupWindow& level, TvpSkinMenuItem& item, Surface& s) {
  HDC dc = s.dc();
  const int W = s.Width(), H = s.Height();
  const int gw = level.GlyphWidth();
  TMenuItem* mi = item.MenuItem();
  const bool sep = item.IsSeparator();
  const bool on = (item.Active || item.SubMenuOpen) && !sep && item.IsEnabled();
  COLORREF text = GetSysColor(COLOR_WINDOWTEXT);
  if (on) {
    FillRectColor(dc, RECT{0, 0, W, H}, RGB(182, 189, 210));
    FrameRectColor(dc, RECT{0, 0, W, H}, RGB(0, 0, 128));
  } else {
    FillRectColor(dc, RECT{0, 0, gw, H}, GetSysColor(COLOR_BTNFACE));
    FillRectColor(dc, RECT{gw, 0, W, H}, GetSysColor(COLOR_WINDOW));
    if (mi && !mi->Enabled) text = GetSysColor(COLOR_BTNSHADOW);
  }
  if (!mi) return;
  if (sep) {
    FrameRectColor(dc, RECT{gw, H / 2, W, H / 2 + 1}, GetSysColor(COLOR_BTNSHADOW));
    return;
  }
  ContentLook look;
  look.Skinned = false;
  look.T = RECT{2, 2, W - 2, H - 2};
  look.G = gw;
  look.RightGap = 19;
  look.TextColor = look.MarkColor = text;
  DrawContent(level, *mi, s, look, on);
}

// The item image into a surface of the item's size.
void DrawItemInto(TvpSkinPopupWindow& level, TvpSkinMenuItem& item, Surface& s) {
  const TvpDataSkinMenuItem* d = item.Def();
  if (!d || !item.Picture()) {
    DrawPlainItem(level, item, s);
    return;
  }
  if (item.IsSeparator()) {
    plat::Raster strip;
    skin::DrawHorizontalStrip(d->DividerLeftOffset, d->DividerRightOffset, strip, d->DividerStretchEffect, s.Width(),
                              d->DividerRect, item.Picture()->Pixels);
    s.Put(0, 0, strip);
    return;
  }
  const bool on = item.Active || item.SubMenuOpen;
  if (TvpSkinPopupPainter::Animates(level, item) && item.FrameCounter >= 1 && item.FrameCounter <= d->FrameCount) {
    DrawSkinnedImage(level, item, s, on, item.FrameCounter);
    return;
  }
  const double end = on ? 1.0 : 0.0;
  if (!TvpSkinPopupPainter::Morphs(level, item) || item.MorphFactor == end) {
    DrawSkinnedImage(level, item, s, on, 0);
    return;
  }
  Surface offImage(s.Width(), s.Height()), onImage(s.Width(), s.Height());
  DrawSkinnedImage(level, item, offImage, false, 0);
  DrawSkinnedImage(level, item, onImage, true, 0);
  skin::TvpEffectBmp from(offImage.raster());
  const skin::TvpEffectBmp to(onImage.raster());
  skin::ApplyMorph(from, to, static_cast<int>(d->MorphKind), item.MorphFactor);
  s.Put(0, 0, from.Pixels());
}

void DrawMarkers(TvpSkinPopupWindow& level, HDC dc, int W, int H) {
  const int dir = level.ScrollDirection();
  RECT top, bottom;
  COLORREF topColor, bottomColor;
  if (const TvpDataSkinPopupWindow* p = level.PopupDef()) {
    const RECT ir = level.ItemsRect();
    top = RECT{ir.left, ir.top, ir.right, ir.top + popups::kScrollAreaHeight};
    bottom = RECT{ir.left, ir.bottom - popups::kScrollAreaHeight, ir.right, ir.bottom};
    topColor = Rgb(dir == 1 ? p->ScrollMarkerActiveColor : p->ScrollMarkerColor);
    bottomColor = Rgb(dir == 2 ? p->ScrollMarkerActiveColor : p->ScrollMarkerColor);
  } else {
    top = RECT{3, 3, W - 3, 13};
    bottom = RECT{3, H - 10, W - 3, H - 3};
    topColor = GetSysColor(dir == 1 ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
    bottomColor = GetSysColor(dir == 2 ? COLOR_BTNTEXT : COLOR_BTNSHADOW);
  }
  skin::DrawArrow(dc, top, topColor, 3);
  skin::DrawArrow(dc, bottom, bottomColor, 4);
}

}  // namespace

LOGFONTW TvpSkinPopupPainter::ItemFont(TvpSkinMenu& menu, const TvpDataSkinMenuItem* def) {
  const int charset = MenuCharset(menu);
  if (def && menu.UseSkinFontInMenu)
    return LogFontFor(plat::FromFileBytes(def->FontName), def->FontHeight, def->FontStyle, charset);
  return popupgdi::MakeLogFont(menu.DefMenuItemFont(), charset);
}

bool TvpSkinPopupPainter::Morphs(const TvpSkinPopupWindow& level, const TvpSkinMenuItem& item) {
  return level.impl_->effects && item.Def() && item.Picture() && item.Def()->Morphing;
}

bool TvpSkinPopupPainter::Animates(const TvpSkinPopupWindow& level, const TvpSkinMenuItem& item) {
  return level.impl_->effects && item.Def() && item.Picture() && !item.Def()->AnimateSkinRect.IsNull() &&
         item.Def()->FrameCount > 0;
}

namespace {
// Item-sized surfaces of one paint, reused by the items of the same size.
class ItemSurfaces {
 public:
  Surface* For(int w, int h) {
    for (auto& s : list_)
      if (s->Width() == w && s->Height() == h) return s.get();
    list_.push_back(std::make_unique<Surface>(w, h));
    return list_.back().get();
  }

 private:
  std::vector<std::unique_ptr<Surface>> list_;
};

void PaintItemWith(TvpSkinPopupWindow& level, TvpSkinMenuItem& item, HDC dc, ItemSurfaces& surfaces) {
  if (!item.Shown) return;
  const int w = item.Rect.right - item.Rect.left, h = item.Rect.bottom - item.Rect.top;
  if (w <= 0 || h <= 0) return;
  Surface* s = surfaces.For(w, h);
  if (!*s) return;
  DrawItemInto(level, item, *s);
  s->CopyTo(dc, item.Rect.left, item.Rect.top);
}
}  // namespace

void TvpSkinPopupPainter::PaintItem(TvpSkinPopupWindow& level, TvpSkinMenuItem& item, HDC dc) {
  ItemSurfaces surfaces;
  PaintItemWith(level, item, dc, surfaces);
}

void TvpSkinPopupPainter::PaintLevel(TvpSkinPopupWindow& level, HDC dc) {
  const int W = level.Width(), H = level.Height();
  Surface s(W, H);
  if (!s) return;
  TvpSkinPopupWindow::Impl& im = *level.impl_;
  if (level.PopupDef() && im.windowPicture) {
    const TvpDataSkinPopupWindow& p = *level.PopupDef();
    plat::Raster frame;
    skin::DrawNineSliceImage(im.cut, im.windowPicture->Pixels,
                             skin::StretchFlags{p.LeftStretch, p.TopStretch, p.RightStretch, p.BottomStretch},
                             level.ScrollFlag(), im.fit, frame);
    s.Put(0, 0, frame);
  } else {
    const int col = level.GlyphWidth() + 2;
    FillRectColor(s.dc(), RECT{0, 0, col, H}, GetSysColor(COLOR_BTNFACE));
    FillRectColor(s.dc(), RECT{col, 0, W, H}, GetSysColor(COLOR_WINDOW));
    FrameRectColor(s.dc(), RECT{0, 0, W, H}, GetSysColor(COLOR_BTNSHADOW));
    FrameRectColor(s.dc(), RECT{1, 1, W - 1, H - 1}, GetSysColor(COLOR_WINDOW));
  }
  ItemSurfaces surfaces;
  for (int i = 0; i < level.ItemCount(); ++i) PaintItemWith(level, *level.Items(i), s.dc(), surfaces);
  if (level.ScrollFlag()) DrawMarkers(level, s.dc(), W, H);
  s.CopyTo(dc, 0, 0);
}

}  // namespace vp
