// The window frame as the skinned frame paints it, composed off screen: used
// by the skin tool to preview a skin at any size and to list the window
// region's rectangles. Objects (caption text, buttons) are not drawn.
#pragma once
#include "vpUtils.h"

namespace skin {

// The [FORMINFO] values the frame's pictures depend on.
struct FrameGeometry {
  Rect ClientRect;                                 // "clientrect"
  Point LeftTop, RightTop, LeftBottom, RightBottom;  // "lefttoppoint", ...
  Rect MaskRectArea;                               // "maskrectarea"
  StretchFlags Stretch;                            // "leftstretch", ...
};

// The mask rect area as the skin data adjusts it when a mask is present:
// empty -> the client rect, otherwise grown to hold the client rect.
Rect EffectiveMaskRectArea(const FrameGeometry& g);

// The cut of the main picture, and of the mask (whose inner rect is the mask
// rect area), for a picture of the given size.
SkinCut FrameCut(const FrameGeometry& g, int pictureWidth, int pictureHeight);
SkinCut FrameMaskCut(const FrameGeometry& g, int pictureWidth, int pictureHeight);

// The four frame pieces for a window of W x H (BuildFrameBorderImages).
FrameBorderImages BuildFramePieces(const Raster& picture, const FrameGeometry& g, int W, int H);

// The pieces drawn into one W x H picture where the frame puts them: top at
// (0, 0), left below it, right at the right edge, bottom at the foot. The
// client area keeps `clientFill`.
Raster ComposeFrame(const Raster& picture, const FrameGeometry& g, int W, int H, Color clientFill = plat::clBlack);

// The window region at W x H: the scaled mask rect area joined with the black
// pixels of the four mask strips, as one rectangle per run and row. Empty when
// there is no mask.
RegionData ComposeFrameRegion(const Raster& mask, const FrameGeometry& g, int W, int H);

}  // namespace skin
