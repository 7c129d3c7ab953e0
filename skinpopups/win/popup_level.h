// Inside a level window: what its painter and its engine share.
#pragma once
#include <windows.h>

#include <memory>

#include "skin/core/vpUtils.h"
#include "skinpopups/core/popup_layout.h"
#include "skinpopups/win/popup_gdi.h"
#include "skinpopups/win/vpSkinMenus.h"

namespace vp {

struct TvpSkinPopupWindow::Impl {
  explicit Impl(TvpSkinPopupWindow& w);

  popups::LevelModel model;
  popups::LevelSkin skin;
  const plat::BmpImage* windowPicture = nullptr;
  const plat::BmpImage* maskPicture = nullptr;
  skin::SkinCut cut;
  skin::SkinFit fit;
  gdi::Region region;  // until the window takes it
  HFONT font = nullptr;  // the items' font, kept by the controller
  bool effects = false;  // the skin allows morphing and animation
  POINT lastMouse{-1, -1};
  POINT showPos{0, 0};
  popupgdi::Timer mouseTimer, morphTimer, scrollTimer;
  // Expires with the level (see TvpSkinMenu's).
  std::shared_ptr<char> life = std::make_shared<char>();
};

// Item and level painting.
struct TvpSkinPopupPainter {
  // The items' font: the skin's with UseSkinFontInMenu, else the menu's default.
  static LOGFONTW ItemFont(TvpSkinMenu& menu, const TvpDataSkinMenuItem* def);
  static HFONT LevelFont(TvpSkinPopupWindow& level) { return level.impl_->font; }
  // The whole level into `dc` (frame, shown items, scroll markers).
  static void PaintLevel(TvpSkinPopupWindow& level, HDC dc);
  // One item at its rectangle.
  static void PaintItem(TvpSkinPopupWindow& level, TvpSkinMenuItem& item, HDC dc);
  // Whether the item morphs / plays frames (skin effects allowed and keys set).
  static bool Morphs(const TvpSkinPopupWindow& level, const TvpSkinMenuItem& item);
  static bool Animates(const TvpSkinPopupWindow& level, const TvpSkinMenuItem& item);
};

}  // namespace vp
