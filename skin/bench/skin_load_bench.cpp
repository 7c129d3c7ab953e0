// Skin load: inflate + container + definitions of a skin shaped like the
// program's own (146 x 82 frame at 8 bits, 1-bit mask, eleven active
// pictures, 12 objects and 59 controls, about 270 KB inflated), against a
// plain copy and an inflate-only pass over the same bytes.
#include <benchmark/benchmark.h>

#include <cstring>

#include "skin/core/vpSkinData.h"
#include "skin/core/vpzlibcompress.h"
#include "ui/core/bmp.h"

using namespace vp;

namespace {

std::vector<uint8_t> Picture(int w, int h, int bits, uint32_t seed) {
  plat::Raster r(w, h);
  uint32_t x = seed;
  for (int y = 0; y < h; ++y)
    for (int i = 0; i < w; ++i) {
      x = x * 1664525 + 1013904223;
      const int noise = (x >> 24) == 0 ? 3 : 0;  // a few stray pixels, like a drawn skin
      r.SetPixel(i, y, plat::RGBColor((i / 4 * 9 + noise) & 0xFF, (y / 3 * 7 + noise) & 0xFF, ((i + y) / 8 * 5) & 0xFF));
    }
  if (bits == 24) return plat::WriteBmp(r);
  std::vector<plat::Color> pal;
  for (int i = 0; i < (1 << bits); ++i) pal.push_back(plat::RGBColor(i * 255 / ((1 << bits) - 1), i, 255 - i));
  plat::BmpImage img = plat::BmpWithPalette(plat::Raster(w, h), bits, pal);
  for (size_t i = 0; i < img.Indices.size(); ++i) {
    x = x * 1664525 + 1013904223;
    img.Indices[i] = static_cast<uint8_t>(((i % w) / 7 + ((x >> 24) == 0 ? 1 : 0)) % pal.size());
  }
  return plat::WriteBmp(img);
}

std::string DefinitionText() {
  TMemIniFile ini;
  ini.WriteString("VERSION", "skinname", "default");
  ini.WriteString("PICTURES", "picture", "main.bmp");
  ini.WriteString("PICTURES", "mask", "mask.bmp");
  ini.WriteInteger("PICTURES", "activepicturescount", 11);
  for (int i = 0; i < 11; ++i) ini.WriteString("PICTURES", std::to_string(i), "p" + std::to_string(i) + ".bmp");
  ini.WriteString("FORMINFO", "clientrect", "5,29,141,74");
  ini.WriteString("FORMINFO", "lefttoppoint", "68,31");
  ini.WriteString("FORMINFO", "rightbottompoint", "137,70");
  ini.WriteString("FORMINFO", "maskrectarea", "5,5,141,78");
  const char* objects[] = {"caption", "stdbutton", "stdbutton", "stdbutton", "stdbutton", "menuitem",
                           "mainmenubaritem", "stdbutton", "mainmenubarbutton", "mainmenubarbutton",
                           "mainmenubarbutton", "mainmenubarbutton"};
  const char* controls[] = {"panel", "button", "checkradio", "tab", "gauge", "trackbar", "scrollbar", "listbox",
                            "checklistbox", "edit", "memo", "combobox", "spinedit", "label", "stdlabel", "grid",
                            "updown", "mainmenubar", "controlbar", "splitter", "menubutton", "scrollbox",
                            "listview", "treeview", "richedit", "expanel", "slider", "bevel"};
  ini.WriteInteger("SKINOBJECTS", "count", 12);
  for (int i = 0; i < 12; ++i) {
    const std::string name = "obj" + std::to_string(i);
    ini.WriteString("SKINOBJECTS", std::to_string(i), name + ":" + objects[i]);
    auto d = CreateSkinObject(objects[i], name);
    d->SkinRect = Rect{1, 2, 30, 40};
    d->SaveToIni(ini);
  }
  ini.WriteInteger("SKINCONTROLS", "count", 59);
  for (int i = 0; i < 59; ++i) {
    const std::string name = "ctl" + std::to_string(i);
    const char* type = controls[i % 28];
    ini.WriteString("SKINCONTROLS", std::to_string(i), name + ":" + type);
    auto d = CreateSkinControl(type, name);
    d->SkinRect = Rect{10, 20, 130, 140};
    d->SaveToIni(ini);
  }
  return plat::JoinLines(ini.GetStrings());
}

struct Fixture {
  std::vector<uint8_t> container, compressed;
  Fixture() {
    TvpSkinContainer c;
    c.Picture = Picture(146, 82, 8, 1);
    c.Mask = Picture(146, 82, 1, 2);
    const int sizes[11][3] = {{146, 82, 24}, {300, 160, 8}, {60, 60, 24}, {60, 60, 1}, {120, 80, 24}, {100, 20, 1},
                              {20, 100, 1},  {40, 40, 24},  {100, 100, 24}, {60, 20, 1}, {120, 120, 24}};
    for (int i = 0; i < 11; ++i) c.ActivePictures.push_back(Picture(sizes[i][0], sizes[i][1], sizes[i][2], 10 + i));
    c.Text = DefinitionText();
    container = WriteSkinContainer(c);
    compressed = CompressBytes(container.data(), container.size());
  }
};

const Fixture& F() {
  static const Fixture f;
  return f;
}

void BM_Baseline_CopyInflatedBytes(benchmark::State& st) {
  std::vector<uint8_t> dst(F().container.size());
  for (auto _ : st) {
    std::memcpy(dst.data(), F().container.data(), dst.size());
    benchmark::DoNotOptimize(dst.data());
  }
  st.counters["bytes"] = static_cast<double>(F().container.size());
}

void BM_Baseline_InflateOnly(benchmark::State& st) {
  for (auto _ : st) {
    auto out = DecompressBytes(F().compressed.data(), F().compressed.size());
    benchmark::DoNotOptimize(out.data());
  }
  st.counters["zbytes"] = static_cast<double>(F().compressed.size());
}

void BM_SkinLoad_Whole(benchmark::State& st) {
  TvpCompressedStoredSkin stored;
  stored.SetCompressedData(F().compressed.data(), F().compressed.size());
  for (auto _ : st) {
    TvpSkinData data;
    data.SetCompressedStoredSkin(&stored);
    benchmark::DoNotOptimize(data.ControlDefs.size());
  }
}

void BM_SkinLoad_FromInflatedContainer(benchmark::State& st) {
  for (auto _ : st) {
    TvpSkinData data;
    data.LoadFromContainer(F().container.data(), F().container.size());
    benchmark::DoNotOptimize(data.ControlDefs.size());
  }
}

}  // namespace

BENCHMARK(BM_Baseline_CopyInflatedBytes)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Baseline_InflateOnly)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinLoad_Whole)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinLoad_FromInflatedContainer)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
