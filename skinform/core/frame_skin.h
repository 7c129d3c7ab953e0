// The frame values of a loaded skin, as the layout arithmetic takes them.
#pragma once
#include "skin/core/vpSkinData.h"
#include "skinform/core/frame_layout.h"

namespace skinform {

FrameSkin FrameSkinOf(const vp::TvpSkinData& s);

}  // namespace skinform
