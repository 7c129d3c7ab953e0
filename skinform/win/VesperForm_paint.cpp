// Painting of the frame: the skinned frame composed in four pieces, the plain
// frame used while no skin is loaded, the window region from the mask, and
// the client background with the logo.
#include <algorithm>

#include "skin/core/vpEffects.h"
#include "skin/win/vpUtils_win.h"
#include "skinform/win/VesperForm.h"

namespace vp {

void CopySkinPicture(HDC dc, const Rect& to, const plat::Raster& pic, const Rect& from) {
  if (to.IsNull() || from.IsNull() || pic.Empty()) return;
  if (to.Width() == from.Width() && to.Height() == from.Height()) {
    // Straight from the picture's rows: no copy.
    Rect f = from;
    f.Left = std::max(f.Left, 0);
    f.Top = std::max(f.Top, 0);
    f.Right = std::min(f.Right, pic.Width());
    f.Bottom = std::min(f.Bottom, pic.Height());
    if (f.IsNull()) return;
    plat::Raster part(f.Width(), f.Height());
    plat::Blit(part, 0, 0, pic, f);
    skin::DrawRaster(dc, to.Left + (f.Left - from.Left), to.Top + (f.Top - from.Top), part);
    return;
  }
  plat::Raster part(to.Width(), to.Height());
  plat::StretchCopy(part, Rect{0, 0, to.Width(), to.Height()}, pic, from);
  skin::DrawRaster(dc, to.Left, to.Top, part);
}

namespace {

skin::SkinCut FrameCutOf(const TvpSkinData& s, const plat::Rect& inner, int pw, int ph) {
  return skin::SkinCut{s.LTPoint, s.RTPoint, s.LBPoint, s.RBPoint, inner, Rect{0, 0, pw, ph}};
}

// Copies a raster into a bitmap of the same size (resized when needed).
void LoadPiece(TBitmap& bmp, const plat::Raster& r) {
  if (bmp.Width() != r.Width() || bmp.Height() != r.Height()) bmp.SetSize(r.Width(), r.Height());
  if (r.Empty()) return;
  plat::Raster view = bmp.Raster();
  plat::Blit(view, 0, 0, r, Rect{0, 0, r.Width(), r.Height()});
}

void DrawPiece(HDC dc, int x, int y, TBitmap& bmp, bool inactiveEffect, int effect) {
  if (bmp.Empty()) return;
  if (!inactiveEffect) {
    BitBlt(dc, x, y, bmp.Width(), bmp.Height(), bmp.Canvas().Handle(), 0, 0, SRCCOPY);
    return;
  }
  const plat::Raster view = bmp.Raster();
  skin::TvpEffectBmp e(view);  // a copy: the piece itself stays as composed
  skin::ApplyInactiveEffect(e, effect);
  skin::DrawRaster(dc, x, y, e.Pixels());
}

void Frame3D(HDC dc, RECT& r, TColor topLeft, TColor bottomRight) {
  gdi::Brush tl(CreateSolidBrush(ColorToRGB(topLeft)));
  gdi::Brush br(CreateSolidBrush(ColorToRGB(bottomRight)));
  RECT t{r.left, r.top, r.right, r.top + 1}, l{r.left, r.top, r.left + 1, r.bottom};
  RECT b{r.left, r.bottom - 1, r.right, r.bottom}, rr{r.right - 1, r.top, r.right, r.bottom};
  FillRect(dc, &t, tl.get());
  FillRect(dc, &l, tl.get());
  FillRect(dc, &b, br.get());
  FillRect(dc, &rr, br.get());
  InflateRect(&r, -1, -1);
}

}  // namespace

void TvpVesperForm::PaintFrame(HDC given) {
  if (!Form || !Form->HandleAllocated() || BorderStyleNone()) return;
  HWND h = Form->Handle();
  gdi::WindowDC own;
  HDC dc = given;
  if (!dc) {
    own = gdi::WindowDC::Adopt(h, GetWindowDC(h));
    dc = own.get();
  }
  if (!dc) return;
  if (SkinInUse)
    PaintSkinFrame(dc);
  else if (!SkinChanging || (skinData_ && !skinData_->ChangingSkin))
    PaintDefaultFrame(dc);
}

void TvpVesperForm::PaintSkinFrame(HDC dc) {
  CalcFrameGeometry();
  if (FormWidth < GetMinWidth() || FormHeight < GetMinHeight()) return;
  PlaceObjects();
  const TvpSkinData& s = *skinData_;
  const bool active = FormActive();
  const plat::BmpImage& src =
      (active || s.InactiveFramePicture.Empty()) ? s.FramePicture : s.InactiveFramePicture;
  const skin::SkinCut cut = FrameCutOf(s, s.ClientRect, src.Width, src.Height);
  const skin::StretchFlags stretch{s.LeftStretch, s.TopStretch, s.RightStretch, s.BottomStretch};
  skin::BuildFrameBorderImages(cut, src.Pixels, stretch, skin::FitSkinCut(cut, FormWidth, FormHeight), pieces_);

  // Caption objects draw into the top and bottom pieces before they go up.
  LoadPiece(topPiece_, pieces_.Top);
  LoadPiece(bottomPiece_, pieces_.Bottom);
  const Rect& client = Geometry.NewClientRect;
  for (auto& o : ObjectList) {
    if (!o->Visible) continue;
    if (o->ObjectRect.Bottom > client.Top) {
      if (bottomPiece_.Empty()) continue;
      HDC pdc = bottomPiece_.Canvas().Handle();
      POINT old;
      SetViewportOrgEx(pdc, 0, -client.Bottom, &old);
      o->Draw(pdc, false);
      SetViewportOrgEx(pdc, old.x, old.y, nullptr);
    } else if (!topPiece_.Empty()) {
      o->Draw(topPiece_.Canvas().Handle(), false);
    }
  }
  GdiFlush();

  gdi::SavedState state(dc);
  // The client area is never drawn over, so it does not flicker.
  if (!client.IsNull()) ExcludeClipRect(dc, client.Left, client.Top, client.Right, client.Bottom);
  const bool effect = !active && s.AutoRenderingInActiveImage;
  const int fx = static_cast<int>(s.InActiveEffect);
  const int topH = pieces_.Top.Height();
  DrawPiece(dc, 0, 0, topPiece_, effect, fx);
  auto drawRaster = [&](int x, int y, const plat::Raster& r) {
    if (r.Empty()) return;
    if (!effect) {
      skin::DrawRaster(dc, x, y, r);
      return;
    }
    skin::TvpEffectBmp e(r);
    skin::ApplyInactiveEffect(e, fx);
    skin::DrawRaster(dc, x, y, e.Pixels());
  };
  drawRaster(0, topH, pieces_.Left);
  drawRaster(FormWidth - pieces_.Right.Width(), topH, pieces_.Right);
  DrawPiece(dc, 0, FormHeight - bottomPiece_.Height(), bottomPiece_, effect, fx);
}

void TvpVesperForm::PaintDefaultFrame(HDC dc) {
  CalcFrameGeometry();
  const bool tool =
      Form->BorderStyle == TBorderStyle::bsToolWindow || Form->BorderStyle == TBorderStyle::bsSizeToolWin;
  const int captionH = tool ? 15 : 19, size = tool ? 13 : 17;
  const int W = FormWidth, H = FormHeight;
  if (W <= 6 || H <= 6) return;
  if (ObjectList.empty()) BuildDefaultObjects();
  bool visible[7] = {};
  int sysW = size;
  for (auto& o : ObjectList)
    if (auto* b = dynamic_cast<TvpSkinStdButtonObject*>(o.get()); b && b->Visible) {
      visible[b->Command] = true;
      if (b->Command == skinform::cmSysMenu && ShowIcon()) sysW = GetSystemMetrics(SM_CXSMICON);
    }
  const skinform::DefaultFrameLayout l = skinform::LayoutDefaultFrame(W, captionH, size, visible, sysW);
  for (auto& o : ObjectList)
    if (auto* b = dynamic_cast<TvpSkinStdButtonObject*>(o.get())) b->ObjectRect = l.Buttons[b->Command];

  // The caption band with its grooves.
  TBitmap band;
  band.SetSize(W - 6, captionH);
  TCanvas& c = band.Canvas();
  c.Brush().SetColor(clBtnFace);
  c.FillRect(RECT{0, 0, W - 6, captionH});
  for (int y = 2; captionH - 4 > 1 && y <= captionH - 4; ++y) {
    c.Pen().SetColor(y % 2 == 0 ? clBtnHighlight : clBtnShadow);
    c.MoveTo(l.Caption.Left - 1, y);
    c.LineTo(l.Caption.Right - 6, y);
  }
  TFont& font = FormActive() ? defCaptionFont_ : defInActiveCaptionFont_;
  c.Font().Assign(font);
  if (skinData_ && skinData_->ResourceStrData()) c.Font().SetCharset(skinData_->ResourceStrData()->CharSet);
  std::wstring text = Form->Text();
  if (!text.empty()) {
    HDC bdc = c.Handle();
    c.TextWidth(L"");  // selects the font
    const int w = l.Caption.Right - l.Caption.Left + 3;
    skin::FitTextToWidth(bdc, text, w);
    const SIZE ts = c.TextExtent(text);
    const int x = l.Caption.Left - 3 + w / 2 - (ts.cx + 5) / 2;
    const int y = captionH / 2 - ts.cy / 2;
    RECT tr{x - 2, y - 2, x + ts.cx + 2, y + ts.cy + 2};
    c.FillRect(tr);
    SetBkMode(bdc, TRANSPARENT);
    SetTextColor(bdc, ColorToRGB(font.Color()));
    RECT r{x, y, x + ts.cx, y + ts.cy};
    DrawTextW(bdc, text.c_str(), static_cast<int>(text.size()), &r,
              DT_NOPREFIX | DT_SINGLELINE | (Form->UseRightToLeftReading() ? DT_RTLREADING : 0));
  }
  HDC bdc = c.Handle();
  for (auto& o : ObjectList) {
    if (!o->Visible) continue;
    POINT old;
    SetViewportOrgEx(bdc, -3, -3, &old);
    o->Draw(bdc, true);
    SetViewportOrgEx(bdc, old.x, old.y, nullptr);
  }
  GdiFlush();

  gdi::SavedState state(dc);
  ExcludeClipRect(dc, 3, captionH + 3, W - 3, H - 3);
  BitBlt(dc, 3, 3, W - 6, captionH, bdc, 0, 0, SRCCOPY);
  // The rows between the caption band and the client area.
  gdi::Brush face(CreateSolidBrush(ColorToRGB(clBtnFace)));
  RECT gap{3, 3 + captionH, W - 3, captionH + 3};
  FillRect(dc, &gap, face.get());
  RECT r{0, 0, W, H};
  Frame3D(dc, r, cl3DLight, cl3DDkShadow);
  Frame3D(dc, r, clBtnHighlight, clBtnShadow);
  Frame3D(dc, r, clBtnFace, clBtnFace);
}

// ---------------------------------------------------------------- region

void TvpVesperForm::UpdateRegion(bool recomputeObjects) {
  if (!SkinInUse || !Form || !Form->HandleAllocated()) return;
  CalcFrameGeometry();
  if (recomputeObjects) PlaceObjects();
  SetFrameRegion(recomputeObjects);
  // A new region repaints by itself.
  if (!frameRegion_) SendNCPaint();
}

void TvpVesperForm::SetFrameRegion(bool scaled) {
  if (!Form || !Form->HandleAllocated()) return;
  HWND h = Form->Handle();
  if (BorderStyleNone() || !SkinInUse || skinData_->FrameMask.Empty()) {
    if (frameRegion_) SetWindowRgn(h, nullptr, TRUE);  // the system deletes the old one
    frameRegion_ = nullptr;
    MaskTop = MaskBottom = MaskLeft = MaskRight = plat::Raster();
    return;
  }
  const TvpSkinData& s = *skinData_;
  const plat::Raster& mask = s.FrameMask.Pixels;
  skin::RegionData data;
  if (scaled) {
    const skin::SkinCut cut = FrameCutOf(s, s.MaskRectArea, mask.Width(), mask.Height());
    const skin::SkinFit fit = skin::FitSkinCut(cut, FormWidth, FormHeight);
    skin::BorderMaskStrips strips = skin::BuildBorderMaskStrips(mask, cut, fit);
    data = skin::RegionFromStrips(strips, fit.NC);
    MaskTop = std::move(strips.Top);
    MaskBottom = std::move(strips.Bottom);
    MaskLeft = std::move(strips.Left);
    MaskRight = std::move(strips.Right);
  } else {
    data = skin::BuildMaskRegionData(mask);
  }
  gdi::Region region(skin::RegionFromData(data));
  // The window owns the region from here on and deletes the one it had; a
  // refused region is deleted here and the old one stays.
  HRGN given = region.get();
  if (gdi::GiveRegionToWindow(h, region, TRUE)) frameRegion_ = given;
}

// ------------------------------------------------------- client background

void TvpVesperForm::PaintClientBackground(HDC dc) {
  if (!Form || !dc) return;
  RECT cr;
  GetClientRect(Form->Handle(), &cr);
  const int cw = cr.right, ch = cr.bottom;
  gdi::Brush face(CreateSolidBrush(ColorToRGB(clBtnFace)));
  bool logo = !logo_.Empty();
  auto tile = [&](const plat::Raster& pic, const Rect& part) {
    if (cw <= 0 || ch <= 0 || part.IsNull()) return;
    plat::Raster t(part.Width(), part.Height());
    plat::Blit(t, 0, 0, pic, part);
    const int tw = t.Width(), th = t.Height();
    for (int i = 0; i <= cw / tw; ++i)
      for (int j = 0; j <= ch / th; ++j) skin::DrawRaster(dc, i * tw, j * th, t);
  };
  if (SkinInUse) {
    const TvpSkinData& s = *skinData_;
    const plat::BmpImage* bg = s.ActivePicture(s.BGPictureIndex);
    if (bg) {
      tile(bg->Pixels, Rect{0, 0, bg->Width, bg->Height});
    } else if (s.ClientRect.IsNull()) {
      FillRect(dc, &cr, face.get());
      logo = false;
    } else {
      tile(s.FramePicture.Pixels, s.ClientRect);
    }
  } else {
    FillRect(dc, &cr, face.get());
  }
  if (!logo) return;
  logo_.Transparent = LogoBitMapTransparent;
  const int x = std::max(0, cw / 2 - logo_.Width() / 2), y = std::max(0, ch / 2 - logo_.Height() / 2);
  TCanvas canvas(dc);
  canvas.Draw(x, y, logo_);
}

}  // namespace vp
