// Caption text and animated objects: the window's caption drawn in the skin's
// font and colours following the active state, the caption animation, and
// frame-strip objects that play when hovered.
#include <algorithm>

#include "skin/core/vpEffects.h"
#include "skin/win/vpUtils_win.h"
#include "skinform/win/VesperForm.h"
#include "ui/win/codepage.h"

namespace vp {

// --------------------------------------------------------- caption object

TvpSkinCaptionObject::TvpSkinCaptionObject(TvpVesperForm* parent, const TvpDataSkinObject* def)
    : TvpActiveSkinObject(parent, def) {
  auto* c = dynamic_cast<const TvpDataSkinCaption*>(def);
  if (!c) return;
  FontName = c->FontName;
  FontHeight = c->FontHeight;
  FontStyle = c->FontStyle;
  FontColor = c->FontColor;
  ActiveFontColor = c->ActiveFontColor;
  Alignment = c->Alignment;
  TextRect = c->TextRect;
  Shadow = c->Shadow;
  ShadowColor = c->ShadowColor;
  ActiveShadowColor = c->ActiveShadowColor;
  Light = c->Light;
  LightColor = c->LightColor;
  ActiveLightColor = c->ActiveLightColor;
  FrameRect = c->FrameRect;
  ActiveFrameRect = c->ActiveFrameRect;
  FrameTextRect = c->FrameTextRect;
  FrameLeftOffset = c->FrameLeftOffset;
  FrameRightOffset = c->FrameRightOffset;
  FullFrame = c->FullFrame;
  StretchEffect = c->StretchEffect;
  AnimateSkinRect = c->AnimateSkinRect;
  FrameCount = c->FrameCount;
  AnimateInterval = c->AnimateInterval;
  InActiveAnimation = c->InActiveAnimation;
}

bool TvpSkinCaptionObject::AnimationPossible() const {
  return SkinData && SkinData->EnableSkinEffects && !SkinData->SkinEmpty && !AnimateSkinRect.IsNull() &&
         FrameCount > 0 && ActivePicture;
}

void TvpSkinCaptionObject::MouseEnter() {
  // Highlighted is the window's active state, not the mouse's.
  Hovering = true;
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TvpSkinCaptionObject::MouseLeave() {
  Hovering = false;
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

void TvpSkinCaptionObject::MouseDown(int X, int Y, TMouseButton Button) {
  if (Parent->OnMouseDownEvent)
    Parent->OnMouseDownEvent(IDName, X, Y, RECT{ObjectRect.Left, ObjectRect.Top, ObjectRect.Right, ObjectRect.Bottom},
                             Button);
}

void TvpSkinCaptionObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (Parent->OnMouseUpEvent)
    Parent->OnMouseUpEvent(IDName, X, Y, RECT{ObjectRect.Left, ObjectRect.Top, ObjectRect.Right, ObjectRect.Bottom},
                           Button);
}

void TvpSkinCaptionObject::PaintCaptionText(HDC dc, int ox, int oy, bool active) {
  const std::wstring caption = Parent->Form->Text();
  if (caption.empty() || TextRect.IsNull()) return;
  const Rect tr =
      skinform::CaptionTextRect(TextRect, ObjectRect.Width(), SkinRect.Width(), FrameRect, FrameTextRect);
  int charset = Parent->DefCaptionFont().Charset();
  if (SkinData && SkinData->ResourceStrData()) charset = SkinData->ResourceStrData()->CharSet;
  const std::wstring face = plat::FromFileBytes(FontName);
  gdi::Font font(CreateFontW(FontHeight, 0, 0, 0, (FontStyle & fsBold) ? FW_BOLD : FW_NORMAL,
                             (FontStyle & fsItalic) != 0, (FontStyle & fsUnderline) != 0,
                             (FontStyle & fsStrikeOut) != 0, static_cast<BYTE>(charset), OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, face.c_str()));
  gdi::Selected selected(dc, font);
  const std::wstring text =
      skinform::FitText(caption, tr.Width(), [dc](const std::wstring& t) { return skin::TextWidthOf(dc, t); });
  SIZE ts{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &ts);
  const plat::Point p = skinform::PlaceText(tr, ts.cx, ts.cy, Alignment);
  const int x = p.X + ox, y = p.Y + oy;

  // The text's frame, when the skin has one.
  if (!FrameRect.IsNull() && ActivePicture) {
    const Rect src = (active && !ActiveFrameRect.IsNull()) ? ActiveFrameRect : FrameRect;
    int w = FrameRect.Width() + ts.cx - FrameTextRect.Width();
    int fx = x - FrameTextRect.Left;
    const int bo = Parent->Geometry.ButtonsOffset;
    if (FullFrame && ObjectRect.Width() - 2 * bo > 0) {
      w = ObjectRect.Width() - 2 * bo;
      fx = ox + bo;
    }
    if (w > 0) {
      plat::Raster strip;
      skin::DrawHorizontalStrip(FrameLeftOffset, FrameRightOffset, strip, false, w, src, ActivePicture->Pixels);
      skin::DrawRaster(dc, fx, y - FrameTextRect.Top, strip);
    }
  }

  SetBkMode(dc, TRANSPARENT);
  const UINT flags = DT_NOPREFIX | DT_SINGLELINE | DT_NOCLIP |
                     (Parent->Form->UseRightToLeftReading() ? DT_RTLREADING : 0);
  auto out = [&](int tx, int ty, COLORREF c) {
    SetTextColor(dc, ColorToRGB(c));
    RECT r{tx, ty, tx + ts.cx, ty + ts.cy};
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags);
  };
  if (Light) out(x - 1, y - 1, active ? ActiveLightColor : LightColor);
  if (Shadow) out(x + 1, y + 1, active ? ActiveShadowColor : ShadowColor);
  out(x, y, active ? ActiveFontColor : FontColor);
}

plat::Raster TvpSkinCaptionObject::StatePicture(bool active) {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  plat::Raster out(std::max(w, 0), std::max(h, 0));
  if (out.Empty()) return out;
  const plat::BmpImage* pic = active ? ActivePicture : Picture;
  const Rect src = active ? ActiveSkinRect : SkinRect;
  if (!pic || src.IsNull()) return out;
  // The ends beside the caption's corners keep their size; the rest stretches.
  const int a = std::max(0, SkinData->LTPoint.X - SkinRect.Left);
  const int b = std::max(0, SkinRect.Right - SkinData->RTPoint.X);
  if (a > 0 || b > 0)
    skin::DrawHorizontalStrip(a, b, out, true, w, src, pic->Pixels);
  else
    plat::StretchCopy(out, Rect{0, 0, w, h}, pic->Pixels, src);
  return out;
}

plat::Raster TvpSkinCaptionObject::AnimationPicture(bool) {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  plat::Raster out(std::max(w, 0), std::max(h, 0));
  if (out.Empty() || !ActivePicture) return out;
  const bool vertical = SkinRect.Height() < AnimateSkinRect.Height();
  const Rect frame = skinform::StripFrame(AnimateSkinRect, FrameCount, CurrentFrame, vertical);
  plat::StretchCopy(out, Rect{0, 0, w, h}, ActivePicture->Pixels, frame);
  return out;
}

void TvpSkinCaptionObject::DrawRasterWithText(HDC dc, plat::Raster&& pic, bool active) {
  if (pic.Empty()) return;
  TBitmap bmp;
  bmp.SetSize(pic.Width(), pic.Height());
  plat::Raster view = bmp.Raster();
  plat::Blit(view, 0, 0, pic, Rect{0, 0, pic.Width(), pic.Height()});
  PaintCaptionText(bmp.Canvas().Handle(), 0, 0, active);
  GdiFlush();
  BitBlt(dc, ObjectRect.Left, ObjectRect.Top, bmp.Width(), bmp.Height(), bmp.Canvas().Handle(), 0, 0, SRCCOPY);
}

void TvpSkinCaptionObject::Draw(HDC dc, bool) {
  const bool active = Highlighted;
  if (AnimationPossible() && CurrentFrame > 0 && CurrentFrame <= FrameCount) {
    // The frames show the change; the text keeps the look being left.
    DrawRasterWithText(dc, AnimationPicture(active), !active);
    return;
  }
  const bool morph = CanMorph();
  if (ActiveSkinRect.IsNull() || (!active && !morph && !AnimationPossible() && !StretchEffect)) {
    // The background is already in the frame.
    PaintCaptionText(dc, ObjectRect.Left, ObjectRect.Top, active);
    return;
  }
  const bool autoInactive = SkinData && SkinData->AutoRenderingInActiveImage;
  auto withText = [&](plat::Raster&& pic, bool look) {
    TBitmap bmp;
    bmp.SetSize(pic.Width(), pic.Height());
    plat::Raster view = bmp.Raster();
    plat::Blit(view, 0, 0, pic, Rect{0, 0, pic.Width(), pic.Height()});
    PaintCaptionText(bmp.Canvas().Handle(), 0, 0, look);
    GdiFlush();
    return plat::Raster(static_cast<const plat::Raster&>(view));  // an owning copy: the bitmap goes
  };
  if (morph && MorphPending()) {
    skin::TvpEffectBmp a(withText(StatePicture(false), false));
    skin::TvpEffectBmp b(withText(StatePicture(true), true));
    skin::ApplyMorph(a, b, MorphKind, MorphFactor);
    if (!active && autoInactive) skin::ApplyInactiveEffect(a, SkinData->InActiveEffect);
    skin::DrawRaster(dc, ObjectRect.Left, ObjectRect.Top, a.Pixels());
    return;
  }
  skin::TvpEffectBmp e(withText(StatePicture(active), active));
  if (!active && autoInactive) skin::ApplyInactiveEffect(e, SkinData->InActiveEffect);
  skin::DrawRaster(dc, ObjectRect.Left, ObjectRect.Top, e.Pixels());
}

void TvpVesperForm::UpdateCaptionState(bool Animate) {
  const bool active = FormActive();
  for (auto& o : ObjectList) {
    auto* c = dynamic_cast<TvpSkinCaptionObject*>(o.get());
    if (!c || c->Highlighted == active) continue;
    c->Highlighted = active;
    if (Animate) {
      if (c->AnimationPossible()) {
        c->Elapsed = 25;
        c->CurrentFrame = active ? 1 : (c->InActiveAnimation ? c->FrameCount : 0);
        StartAnimation();
      }
      SendNCPaint();
      if (c->CanMorph()) StartMorph();
    } else if (c->CanMorph()) {
      c->MorphFactor = active ? 1.0 : 0.0;
    }
    break;
  }
  if (active) {
    if (OnActivate) OnActivate(this);
  } else if (OnDeActivate) {
    OnDeActivate(this);
  }
}

bool TvpVesperForm::AnimationPossible() const {
  return skinData_ && !skinData_->SkinEmpty && skinData_->EnableSkinEffects;
}

void TvpVesperForm::AnimateTick() {
  bool ticked = false;
  for (auto& o : ObjectList) {
    if (auto* a = dynamic_cast<TvpSkinAnimateObject*>(o.get())) {
      if (!a->Highlighted || (a->Pressed && !a->DownSkinRect.IsNull())) continue;
      ticked = true;
      if (a->Elapsed < a->Interval) {
        a->Elapsed += 25;
        continue;
      }
      if (a->Forward) {
        if (a->CurrentFrame >= a->CountFrames && !a->Cycle) {
          a->Highlighted = false;
        } else {
          ++a->CurrentFrame;
          if (a->CurrentFrame > a->CountFrames) a->CurrentFrame = 1;
        }
      } else {
        if (a->CurrentFrame <= 1) {
          a->Highlighted = false;
        } else {
          --a->CurrentFrame;
        }
      }
      RedrawObject(a);
      a->Elapsed = 25;
    } else if (auto* c = dynamic_cast<TvpSkinCaptionObject*>(o.get()); c && c->AnimationPossible()) {
      const bool moving = c->Highlighted ? c->CurrentFrame <= c->FrameCount : c->CurrentFrame > 0;
      if (!moving) continue;
      ticked = true;
      if (c->Elapsed < c->AnimateInterval) {
        c->Elapsed += 25;
        continue;
      }
      c->CurrentFrame += c->Highlighted ? 1 : -1;
      RedrawObject(c);
      c->Elapsed = 25;
    }
  }
  if (!ticked) AnimateTimer->SetEnabled(false);
}

// ------------------------------------------------------- frame-strip object

TvpSkinAnimateObject::TvpSkinAnimateObject(TvpVesperForm* parent, const TvpDataSkinObject* def)
    : TvpActiveSkinObject(parent, def) {
  Morphing = false;
  auto* a = dynamic_cast<const TvpDataSkinAnimate*>(def);
  if (!a) return;
  CountFrames = std::max(1, a->CountFrames);
  Cycle = a->Cycle;
  ButtonStyle = a->ButtonStyle;
  Interval = std::max(25, a->TimerInterval);
  Command = a->Command;
  DownSkinRect = a->DownSkinRect;
  RestoreRect = a->RestoreRect;
  RestoreActiveRect = a->RestoreActiveRect;
  RestoreDownRect = a->RestoreDownRect;
  RestoreInActiveRect = a->RestoreInActiveRect;
}

void TvpSkinAnimateObject::MouseEnter() {
  Hovering = true;
  if (MenuShown) return;
  if (ButtonStyle) {
    Highlighted = true;
    Forward = true;
    if (Pressed && !DownSkinRect.IsNull())
      Parent->RedrawObject(this);
    else
      Parent->StartAnimation();
  }
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TvpSkinAnimateObject::MouseLeave() {
  if (!Hovering) return;
  Hovering = false;
  if (MenuShown) return;
  if (ButtonStyle) {
    Highlighted = true;
    Forward = false;
    if (Pressed && !DownSkinRect.IsNull())
      Parent->RedrawObject(this);
    else
      Parent->StartAnimation();
  }
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

void TvpSkinAnimateObject::MouseDown(int X, int Y, TMouseButton Button) {
  TvpActiveSkinObject::MouseDown(X, Y, Button);
  if (Button == TMouseButton::mbLeft && !DownSkinRect.IsNull()) {
    CurrentFrame = CountFrames;
    Pressed = true;
    Parent->RedrawObject(this);
  }
  if (Command == skinform::cmSysMenu && Hovering && ButtonStyle && Button == TMouseButton::mbLeft) RunCommand();
}

void TvpSkinAnimateObject::MouseUp(int X, int Y, TMouseButton Button) {
  TvpActiveSkinObject::MouseUp(X, Y, Button);
  if (MenuShown) return;
  if (Button == TMouseButton::mbLeft && !DownSkinRect.IsNull()) {
    Pressed = false;
    Parent->RedrawObject(this);
    Parent->StartAnimation();
  }
  if (Command != skinform::cmSysMenu && Hovering && ButtonStyle && Button == TMouseButton::mbLeft) RunCommand();
}

void TvpSkinAnimateObject::DblClick() {
  if (Command == skinform::cmSysMenu && Parent->Form) Parent->Form->Close();
}

void TvpSkinAnimateObject::RunCommand() {
  RECT r{ObjectRect.Left, ObjectRect.Top, ObjectRect.Right, ObjectRect.Bottom};
  const RECT wr = Parent->Form->BoundsRect();
  OffsetRect(&r, wr.left, wr.top);
  if (Command == skinform::cmSysMenu) {
    MenuShown = true;
    Parent->DropDownSystemMenu(r, this);
  } else if (Command == skinform::cmDefault) {
    if (Menu) {
      MenuShown = true;
      Parent->DropDownMenu(Menu, r, MenuPopupUp);
    }
  } else {
    Parent->RunCommand(Command);
  }
}

void TvpSkinAnimateObject::Draw(HDC dc, bool) {
  if (!ActivePicture) return;
  const bool toggled = (Command == skinform::cmMaximize && Parent->WindowState == wsMaximized) ||
                       (Command == skinform::cmMinimize && Parent->WindowState == wsMinimized) ||
                       (Command == skinform::cmRollUp && Parent->RollUpState);
  Rect normal = SkinRect, down = DownSkinRect, inactive = InActiveSkinRect;
  if (toggled && !RestoreRect.IsNull()) {
    normal = RestoreRect;
    down = RestoreDownRect;
    inactive = RestoreInActiveRect;
  }
  // The frames lie side by side from the skin rectangle, each its size.
  const Rect strip{normal.Left, normal.Top, normal.Left + normal.Width() * CountFrames, normal.Bottom};
  Rect src = skinform::StripFrame(strip, CountFrames, CurrentFrame, false);
  if (MenuShown) {
    CurrentFrame = CountFrames;
    src = down.IsNull() ? skinform::StripFrame(strip, CountFrames, CountFrames, false) : down;
  } else if (!Parent->FormActive() && !inactive.IsNull()) {
    src = inactive;
  } else if (Pressed && Hovering && !down.IsNull()) {
    src = down;
  }
  CopySkinPicture(dc, ObjectRect, ActivePicture->Pixels, src);
}

}  // namespace vp
