#include "skinform/core/frame_skin.h"

namespace skinform {

FrameSkin FrameSkinOf(const vp::TvpSkinData& s) {
  FrameSkin f;
  f.PictureWidth = s.FramePicture.Width;
  f.PictureHeight = s.FramePicture.Height;
  f.LT = s.LTPoint;
  f.RT = s.RTPoint;
  f.LB = s.LBPoint;
  f.RB = s.RBPoint;
  f.ClientRect = s.ClientRect;
  f.CaptionRect = s.CaptionRect;
  f.ButtonsRect = s.ButtonsRect;
  f.MaskRectArea = s.MaskRectArea;
  f.HitTestLT = s.HitTestLTPoint;
  f.HitTestRT = s.HitTestRTPoint;
  f.HitTestLB = s.HitTestLBPoint;
  f.HitTestRB = s.HitTestRBPoint;
  f.ButtonsOffset = s.ButtonsOffset;
  f.ButtonsInLeft = s.ButtonsInLeft;
  return f;
}

}  // namespace skinform
