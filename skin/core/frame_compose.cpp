#include "frame_compose.h"

#include <algorithm>

namespace skin {

Rect EffectiveMaskRectArea(const FrameGeometry& g) {
  const Rect& m = g.MaskRectArea;
  const Rect& c = g.ClientRect;
  if (m.IsNull()) return c;
  return Rect{std::min(m.Left, c.Left), std::min(m.Top, c.Top), std::max(m.Right, c.Right),
              std::max(m.Bottom, c.Bottom)};
}

SkinCut FrameCut(const FrameGeometry& g, int pw, int ph) {
  return SkinCut{g.LeftTop, g.RightTop, g.LeftBottom, g.RightBottom, g.ClientRect, Rect{0, 0, pw, ph}};
}

SkinCut FrameMaskCut(const FrameGeometry& g, int pw, int ph) {
  SkinCut cut = FrameCut(g, pw, ph);
  cut.C = EffectiveMaskRectArea(g);
  return cut;
}

FrameBorderImages BuildFramePieces(const Raster& picture, const FrameGeometry& g, int W, int H) {
  FrameBorderImages pieces;
  const SkinCut cut = FrameCut(g, picture.Width(), picture.Height());
  BuildFrameBorderImages(cut, picture, g.Stretch, FitSkinCut(cut, W, H), pieces);
  return pieces;
}

Raster ComposeFrame(const Raster& picture, const FrameGeometry& g, int W, int H, Color clientFill) {
  Raster out(std::max(W, 0), std::max(H, 0), clientFill);
  const FrameBorderImages p = BuildFramePieces(picture, g, W, H);
  auto put = [&out](const Raster& piece, int x, int y) {
    plat::Blit(out, x, y, piece, Rect{0, 0, piece.Width(), piece.Height()});
  };
  put(p.Top, 0, 0);
  put(p.Left, 0, p.Top.Height());
  put(p.Right, W - p.Right.Width(), p.Top.Height());
  put(p.Bottom, 0, H - p.Bottom.Height());
  return out;
}

RegionData ComposeFrameRegion(const Raster& mask, const FrameGeometry& g, int W, int H) {
  if (mask.Empty()) return {};
  const SkinCut cut = FrameMaskCut(g, mask.Width(), mask.Height());
  const SkinFit fit = FitSkinCut(cut, W, H);
  return RegionFromStrips(BuildBorderMaskStrips(mask, cut, fit), fit.NC);
}

}  // namespace skin
