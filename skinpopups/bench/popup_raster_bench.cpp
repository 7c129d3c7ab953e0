// The pixel work of one skinned menu level of 20 items (160 x 406, the
// default skin): the item backgrounds cut from the item picture, the
// nine-slice frame and the region from the mask. Baseline in the same run:
// copying a level-sized raster once.
#include <benchmark/benchmark.h>

#include <fstream>
#include <iterator>

#include "skin/core/vpSkinData.h"
#include "skin/core/vpUtils.h"
#include "skinpopups/core/popup_layout.h"

namespace {

constexpr int kItems = 20;
constexpr int kWidth = 160;

struct Level {
  vp::TvpCompressedStoredSkin stored;
  vp::TvpSkinData skin;
  const vp::TvpDataSkinMenuItem* item = nullptr;
  const plat::BmpImage *frame = nullptr, *mask = nullptr, *items = nullptr;
  skin::SkinCut cut;
  skin::SkinFit fit;
  popups::LevelModel model;

  Level() {
    std::ifstream in(DEFAULT_PACKED_SKIN, std::ios::binary);
    const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    stored.SetCompressedData(bytes.data(), bytes.size());
    skin.SetCompressedStoredSkin(&stored);
    for (auto& o : skin.ObjectDefs)
      if (auto* d = dynamic_cast<vp::TvpDataSkinMenuItem*>(o.get()); d && !item) item = d;
    const vp::TvpDataSkinPopupWindow& p = skin.PopupWindowDef;
    frame = skin.ActivePicture(p.WindowPictureIndex);
    mask = skin.ActivePicture(p.MaskPictureIndex);
    items = skin.ActivePicture(item->ActivePictureIndex);
    popups::LevelSkin ls{true, frame->Width, frame->Height, p.ItemsRect, true, item->SkinRect, item->TextRect,
                         item->DividerRect};
    const int height = kItems * item->SkinRect.Height() + frame->Height + p.ItemsRect.Top - p.ItemsRect.Bottom;
    cut = skin::SkinCut{p.LTPoint, p.RTPoint, p.LBPoint, p.RBPoint, p.ItemsRect, plat::Rect{0, 0, frame->Width, frame->Height}};
    fit = skin::FitSkinCut(cut, kWidth, height);
    model.ItemsRect = popups::ItemsRectFor(ls, kWidth, height);
    model.Items.assign(kItems, popups::ItemState{item->SkinRect.Height(), true});
    model.Layout();
  }
};

Level& L() {
  static Level level;
  return level;
}

void Backgrounds(plat::Raster& target) {
  Level& l = L();
  plat::Raster strip;
  for (int i = 0; i < kItems; ++i) {
    const plat::Rect& r = l.model.Rects[static_cast<size_t>(i)];
    skin::DrawHorizontalStrip(l.item->ItemLeftOffset, l.item->ItemRightOffset, strip, l.item->StretchEffect,
                              r.Width(), i == 0 ? l.item->ActiveSkinRect : l.item->SkinRect, l.items->Pixels);
    plat::Blit(target, r.Left, r.Top, strip, plat::Rect{0, 0, strip.Width(), strip.Height()});
  }
}

void BM_CopyLevel(benchmark::State& state) {
  const plat::Raster src(kWidth, L().fit.H, plat::RGBColor(1, 2, 3));
  for (auto _ : state) {
    plat::Raster copy(src);
    benchmark::DoNotOptimize(copy.Bits());
  }
}
BENCHMARK(BM_CopyLevel);

void BM_ItemBackgrounds(benchmark::State& state) {
  plat::Raster level(kWidth, L().fit.H);
  for (auto _ : state) {
    Backgrounds(level);
    benchmark::DoNotOptimize(level.Bits());
  }
}
BENCHMARK(BM_ItemBackgrounds);

// The level's frame stretched from the frame picture.
void Frame(plat::Raster& frame) {
  Level& l = L();
  const vp::TvpDataSkinPopupWindow& p = l.skin.PopupWindowDef;
  skin::DrawNineSliceImage(l.cut, l.frame->Pixels, {p.LeftStretch, p.TopStretch, p.RightStretch, p.BottomStretch},
                           false, l.fit, frame);
}

void BM_NineSliceFrame(benchmark::State& state) {
  for (auto _ : state) {
    plat::Raster frame;
    Frame(frame);
    benchmark::DoNotOptimize(frame.Bits());
  }
}
BENCHMARK(BM_NineSliceFrame);

void BM_ShapedRegion(benchmark::State& state) {
  Level& l = L();
  for (auto _ : state) {
    skin::RegionData r = skin::BuildShapedRegionData(l.mask->Pixels, l.cut, l.fit);
    benchmark::DoNotOptimize(r.Rects.data());
  }
}
BENCHMARK(BM_ShapedRegion);

// Everything a level's first paint and shape need of the pixels.
void BM_WholeLevelRaster(benchmark::State& state) {
  Level& l = L();
  for (auto _ : state) {
    plat::Raster frame;
    Frame(frame);
    Backgrounds(frame);
    skin::RegionData r = skin::BuildShapedRegionData(l.mask->Pixels, l.cut, l.fit);
    benchmark::DoNotOptimize(r.Rects.data());
    benchmark::DoNotOptimize(frame.Bits());
  }
}
BENCHMARK(BM_WholeLevelRaster);

}  // namespace

BENCHMARK_MAIN();
