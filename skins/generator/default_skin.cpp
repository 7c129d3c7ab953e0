// Draws the program's own default skin: every picture of skins/default and its
// skin.ini, pixel by pixel, so that the skin is reproducible and reviewable.
// Usage:
//   skin_generator OUTDIR          write the skin into OUTDIR
//   skin_generator --check DIR     exit 1 unless DIR holds exactly these files
//   skin_generator --preview FILE  the frame, a popup menu and a hint window, for review
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "skin/core/frame_compose.h"
#include "skins/generator/generator.h"
#include "ui/core/bmp.h"

namespace skingen {
namespace {

// --- Files --------------------------------------------------------------------------------

// Paletted (8 bits) when the picture has at most 256 colours, else 24 bits.
std::vector<uint8_t> AsBmp(const Raster& r, bool forcePalette = false) {
  std::set<Color> colours;
  for (int y = 0; y < r.Height(); ++y)
    for (int x = 0; x < r.Width(); ++x) colours.insert(r.Pixel(x, y));
  if (colours.size() > 256) {
    if (forcePalette) {
      std::fprintf(stderr, "picture has %zu colours, more than a palette holds\n", colours.size());
      std::exit(2);
    }
    return plat::WriteBmp(r);
  }
  return plat::WriteBmp(plat::BmpWithPalette(r, 8, std::vector<Color>(colours.begin(), colours.end())));
}

std::vector<uint8_t> AsMask(const Raster& r) {
  return plat::WriteBmp(plat::BmpWithPalette(r, 1, {plat::clBlack, plat::clWhite}));
}

std::map<std::string, std::vector<uint8_t>> BuildSkin() {
  std::map<std::string, std::vector<uint8_t>> files;
  files["main.bmp"] = AsBmp(DrawMain(), true);
  files["mask.bmp"] = AsMask(DrawMask());
  files["active.bmp"] = AsBmp(DrawActive(), true);
  files["controls.bmp"] = AsBmp(DrawControls());
  CheckAtlas();
  files["pw.bmp"] = AsBmp(DrawPopupWindow());
  files["pwmask.bmp"] = AsMask(MaskOf(kPwSize, kPwSize, 3));
  files["menuitems.bmp"] = AsBmp(DrawMenuItems());
  files["hstbmask.bmp"] = AsMask(ControlsMask({"thumb.h", "thumb.h.active"}, 2));
  files["vstbmask.bmp"] = AsMask(ControlsMask({"thumb.v", "thumb.v.active"}, 2));
  files["hw.bmp"] = AsBmp(DrawHintWindow());
  files["bg.bmp"] = AsBmp(DrawBackground(138, kClient, 3));
  files["buttonmask.bmp"] = AsMask(ControlsMask({"button", "button.active", "button.down", "button.disabled"}, 1));
  files["mdibg.bmp"] = AsBmp(DrawBackground(138, Rgb(214, 222, 233), 4));
  const std::string ini = SkinIni();
  files["skin.ini"] = std::vector<uint8_t>(ini.begin(), ini.end());
  return files;
}

std::vector<uint8_t> ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return {};
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// For review: the window frame at 300 x 150 with the client background and
// its region applied, a popup menu and a hint window, on a desktop colour.
Raster Preview() {
  const Color desk = Rgb(96, 112, 128);
  Raster out(480, 170, desk);
  const Raster main = DrawMain(), mask = DrawMask(), bg = DrawBackground(138, kClient, 3);
  skin::FrameGeometry g;
  g.ClientRect = kFrame.ClientRect;
  g.LeftTop = kFrame.LeftTop;
  g.RightTop = kFrame.RightTop;
  g.LeftBottom = kFrame.LeftBottom;
  g.RightBottom = kFrame.RightBottom;
  g.MaskRectArea = kFrame.MaskRectArea;
  const int W = 300, H = 150;
  Raster frame = skin::ComposeFrame(main, g, W, H);
  for (int y = 29; y < H - 8; y += 138)
    for (int x = 5; x < W - 5; x += 138)
      plat::Blit(frame, x, y, bg, Rect{0, 0, std::min(138, W - 5 - x), std::min(138, H - 8 - y)});
  const skin::RegionData region = skin::ComposeFrameRegion(mask, g, W, H);
  for (const Rect& r : region.Rects) plat::Blit(out, 10 + r.Left, 10 + r.Top, frame, r);

  // Popup menu: four items (normal, active, divider, normal) in a 150 x 74 window.
  const Raster pw = DrawPopupWindow(), items = DrawMenuItems();
  const skin::SkinCut cut{{3, 3}, {kPwSize - 3, 3}, {3, kPwSize - 3}, {kPwSize - 3, kPwSize - 3},
                          Rect{3, 3, kPwSize - 3, kPwSize - 3}, Rect{0, 0, kPwSize, kPwSize}};
  const skin::SkinFit fit = skin::FitSkinCut(cut, 150, 3 + 20 + 20 + 7 + 20 + 3);
  Raster menu;
  skin::DrawNineSliceImage(cut, pw, {true, true, true, true}, false, fit, menu);
  const int iw = fit.NC.Width();
  Raster strip;
  int y = 3;
  const Rect sources[] = {{0, 0, 100, 20}, {0, 20, 100, 40}, {0, 40, 100, 47}, {0, 0, 100, 20}};
  for (const Rect& src : sources) {
    skin::DrawHorizontalStrip(src.Top == 40 ? 26 : 24, src.Top == 40 ? 3 : 4, strip, true, iw, src, items);
    plat::Blit(menu, 3, y, strip, Rect{0, 0, iw, strip.Height()});
    y += strip.Height();
  }
  skin::DrawCheckMark(menu, 3 + 12, 3 + 6, Rgb(20, 28, 40));
  skin::DrawSubMenuArrow(menu, 3 + iw - 4 - 7, 3 + 20 + 6, Rgb(20, 50, 110));
  const skin::RegionData shape = skin::BuildShapedRegionData(MaskOf(kPwSize, kPwSize, 3), cut, fit);
  for (const Rect& r : shape.Rects) plat::Blit(out, 320 + r.Left, 10 + r.Top, menu, r);

  // Hint window at 100 x 22.
  const skin::SkinCut hcut{{6, 3}, {31, 3}, {6, 17}, {31, 17}, Rect{6, 3, 31, 17}, Rect{0, 0, 37, 20}};
  Raster hint;
  skin::DrawNineSliceImage(hcut, DrawHintWindow(), {true, true, true, true}, true, skin::FitSkinCut(hcut, 100, 22), hint);
  plat::Blit(out, 320, 110, hint, Rect{0, 0, 100, 22});
  return out;
}

}  // namespace
}  // namespace skingen

int main(int argc, char** argv) {
  using namespace skingen;
  if (argc == 3 && std::strcmp(argv[1], "--preview") == 0) {
    plat::SaveBmpFile(argv[2], Preview());
    return 0;
  }
  if (argc == 3 && std::strcmp(argv[1], "--check") == 0) {
    int bad = 0;
    for (const auto& [name, bytes] : BuildSkin())
      if (ReadFile(std::string(argv[2]) + "/" + name) != bytes) {
        std::printf("%s differs from what the generator draws\n", name.c_str());
        ++bad;
      }
    std::printf("%s\n", bad ? "default skin is out of date: run skin_generator skins/default" : "default skin up to date");
    return bad ? 1 : 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTDIR | --check DIR\n", argv[0]);
    return 2;
  }
  for (const auto& [name, bytes] : BuildSkin()) {
    std::ofstream out(std::string(argv[1]) + "/" + name, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
      std::fprintf(stderr, "cannot write %s\n", name.c_str());
      return 1;
    }
  }
  return 0;
}
