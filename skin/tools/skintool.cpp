// skintool: packs a skin folder into the stored skin's compressed bytes, and
// unpacks or lists such bytes. The output format of "dump" is described in
// docs/skin-format.md and kept stable for scripts and tests.
#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "skin/core/frame_compose.h"
#include "skin/core/vpSkinData.h"
#include "skin/core/vpzlibcompress.h"
#include "ui/core/bmp.h"
#include "ui/core/memini.h"
#include "ui/core/stream.h"

namespace {

namespace fs = std::filesystem;

void WriteFile(const std::string& path, const void* data, size_t size) {
  plat::TFileStream f(path, plat::TFileStream::fmCreate);
  f.WriteBuffer(data, static_cast<int32_t>(size));
}

std::string IniPathOf(const std::string& arg) {
  return fs::is_directory(arg) ? (fs::path(arg) / "skin.ini").string() : arg;
}

// The compressed bytes of a file: either the bare zlib stream (what "pack"
// writes and the program embeds) or a compressed skin file (version, length,
// zlib stream).
std::vector<uint8_t> ReadCompressed(const std::string& path) {
  std::vector<uint8_t> bytes = plat::ReadWholeFile(path);
  if (bytes.size() >= 2 && (bytes[0] & 0x0F) == 8 && ((bytes[0] << 8) | bytes[1]) % 31 == 0) return bytes;
  vp::TvpCompressedStoredSkin stored;
  stored.LoadFromCompressedFile(path);
  return stored.CompressedBytes();
}

std::vector<uint8_t> Inflate(const std::string& path) {
  const std::vector<uint8_t> z = ReadCompressed(path);
  return vp::DecompressBytes(z.data(), z.size());
}

int Pack(const std::string& folder, const std::string& out) {
  vp::TvpCompressedStoredSkin stored;
  if (!stored.LoadFromSkinFolder(IniPathOf(folder))) {
    std::fprintf(stderr,
                 "skintool: %s lacks one of the sections VERSION, PICTURES, FORMINFO, SKINOBJECTS, SKINCONTROLS\n",
                 IniPathOf(folder).c_str());
    return 1;
  }
  const auto& z = stored.CompressedBytes();
  WriteFile(out, z.data(), z.size());
  return 0;
}

int Unpack(const std::string& in, const std::string& outFolder) {
  const std::vector<uint8_t> raw = Inflate(in);
  const vp::TvpSkinContainer c = vp::ParseSkinContainer(raw.data(), raw.size());
  if (c.Version > vp::kStoredSkinVersion) {
    std::fprintf(stderr, "skintool: container version %d is not supported\n", c.Version);
    return 1;
  }
  fs::create_directories(outFolder);
  const fs::path dir(outFolder);
  WriteFile((dir / "skin.ini").string(), c.Text.data(), c.Text.size());
  plat::TMemIniFile ini;
  ini.SetText(c.Text);
  // Pictures go under the names the definition file gives them; a picture
  // without a name gets a made-up one so that nothing is lost.
  auto save = [&dir](const std::optional<std::vector<uint8_t>>& pic, std::string name, const char* fallback) {
    if (!pic) return;
    if (name.empty()) name = fallback;
    WriteFile((dir / name).string(), pic->data(), pic->size());
  };
  save(c.Picture, ini.ReadString("PICTURES", "picture", ""), "picture.bmp");
  save(c.InactivePicture, ini.ReadString("PICTURES", "inactivepicture", ""), "inactivepicture.bmp");
  save(c.Mask, ini.ReadString("PICTURES", "mask", ""), "mask.bmp");
  const std::vector<std::string> names = vp::ReadActivePictureNames(ini);
  for (size_t i = 0; i < c.ActivePictures.size(); ++i)
    save(c.ActivePictures[i], i < names.size() ? names[i] : std::string(),
         ("active" + std::to_string(i) + ".bmp").c_str());
  return 0;
}

void DumpPicture(const char* label, const std::optional<std::vector<uint8_t>>& pic) {
  if (!pic) {
    std::printf("%s absent\n", label);
    return;
  }
  const plat::BmpImage img = plat::ReadBmp(pic->data(), pic->size());
  std::printf("%s %dx%d %dbpp %zu bytes\n", label, img.Width, img.Height, img.BitCount, pic->size());
}

std::string PointStr(plat::Point p) { return vp::PointToStr(p); }
std::string RectStr(const plat::Rect& r) { return vp::RectToStr(r); }

int Dump(const std::string& in) {
  const std::vector<uint8_t> raw = Inflate(in);
  std::printf("inflated %zu bytes\n", raw.size());
  const vp::TvpSkinContainer c = vp::ParseSkinContainer(raw.data(), raw.size());
  std::printf("version %d\n", c.Version);
  if (c.Version > vp::kStoredSkinVersion) return 0;
  DumpPicture("picture", c.Picture);
  DumpPicture("inactivepicture", c.InactivePicture);
  DumpPicture("mask", c.Mask);
  if (c.Version == 2) {
    DumpPicture("legacy0", c.Legacy[0]);
    DumpPicture("legacy1", c.Legacy[1]);
  }
  std::printf("activepictures %zu\n", c.ActivePictures.size());
  for (size_t i = 0; i < c.ActivePictures.size(); ++i)
    DumpPicture(("active " + std::to_string(i)).c_str(), c.ActivePictures[i]);
  std::printf("text %zu bytes %zu lines\n", c.Text.size(), plat::SplitLines(c.Text).size());

  vp::TvpSkinData data;
  data.LoadFromContainer(raw.data(), raw.size());
  std::printf("[FORMINFO]\n");
  std::printf("lefttoppoint=%s\n", PointStr(data.LTPoint).c_str());
  std::printf("righttoppoint=%s\n", PointStr(data.RTPoint).c_str());
  std::printf("leftbottompoint=%s\n", PointStr(data.LBPoint).c_str());
  std::printf("rightbottompoint=%s\n", PointStr(data.RBPoint).c_str());
  std::printf("clientrect=%s\n", RectStr(data.ClientRect).c_str());
  std::printf("bgpictureindex=%d\n", data.BGPictureIndex);
  std::printf("mdibgpictureindex=%d\n", data.MDIBGPictureIndex);
  std::printf("leftstretch=%d\n", data.LeftStretch);
  std::printf("rightstretch=%d\n", data.RightStretch);
  std::printf("topstretch=%d\n", data.TopStretch);
  std::printf("bottomstretch=%d\n", data.BottomStretch);
  std::printf("maskrectarea=%s\n", RectStr(data.MaskRectArea).c_str());
  std::printf("hittestlefttoppoint=%s\n", PointStr(data.HitTestLTPoint).c_str());
  std::printf("hittestrighttoppoint=%s\n", PointStr(data.HitTestRTPoint).c_str());
  std::printf("hittestleftbottompoint=%s\n", PointStr(data.HitTestLBPoint).c_str());
  std::printf("hittestrightbottompoint=%s\n", PointStr(data.HitTestRBPoint).c_str());
  std::printf("buttonsrect=%s\n", RectStr(data.ButtonsRect).c_str());
  std::printf("captionrect=%s\n", RectStr(data.CaptionRect).c_str());
  std::printf("buttonsoffset=%d\n", data.ButtonsOffset);
  std::printf("buttonsinleft=%d\n", data.ButtonsInLeft);
  std::printf("mainmenupopupup=%d\n", data.MainMenuPopupUp);
  std::printf("borderwidth=%d\n", data.BorderWidth);
  std::printf("formminwidth=%d\n", data.FormMinWidth);
  std::printf("autorenderinginactiveimage=%d\n", data.AutoRenderingInActiveImage);
  std::printf("inactiveeffect=%s\n", vp::EffectToStr(data.InActiveEffect));

  // Each definition written back the way SaveToIni writes it.
  std::printf("objects %zu\n", data.ObjectDefs.size());
  for (size_t i = 0; i < data.ObjectDefs.size(); ++i) {
    const auto& def = *data.ObjectDefs[i];
    std::printf("object %zu %s %s\n", i, def.SectionName.c_str(), def.ClassName());
    plat::TMemIniFile out;
    def.SaveToIni(out);
    for (const std::string& key : out.ReadSection(def.SectionName))
      std::printf("  %s=%s\n", key.c_str(), out.ReadString(def.SectionName, key, "").c_str());
  }
  std::printf("controls %zu\n", data.ControlDefs.size());
  for (size_t i = 0; i < data.ControlDefs.size(); ++i)
    std::printf("control %zu %s %s\n", i, data.ControlDefs[i]->SectionName.c_str(), data.ControlDefs[i]->ClassName());
  return 0;
}

// The frame geometry as the skin data holds it after its adjustments.
skin::FrameGeometry GeometryOf(const vp::TvpSkinData& d) {
  skin::FrameGeometry g;
  g.ClientRect = d.ClientRect;
  g.LeftTop = d.LTPoint;
  g.RightTop = d.RTPoint;
  g.LeftBottom = d.LBPoint;
  g.RightBottom = d.RBPoint;
  g.MaskRectArea = d.MaskRectArea;
  g.Stretch.Left = d.LeftStretch;
  g.Stretch.Top = d.TopStretch;
  g.Stretch.Right = d.RightStretch;
  g.Stretch.Bottom = d.BottomStretch;
  return g;
}

int SizeArg(const char* s) {
  const int v = std::atoi(s);
  if (v <= 0 || v > 8192) throw std::runtime_error(std::string("bad size: ") + s);
  return v;
}

// The four frame pieces composed at W x H as the frame paints them, without
// caption objects; the client area stays black.
int Frame(const std::string& in, const char* w, const char* h, const std::string& out) {
  const std::vector<uint8_t> raw = Inflate(in);
  vp::TvpSkinData data;
  data.LoadFromContainer(raw.data(), raw.size());
  if (data.FramePicture.Empty()) throw std::runtime_error("the skin has no main picture");
  const plat::Raster frame = skin::ComposeFrame(data.FramePicture.Pixels, GeometryOf(data), SizeArg(w), SizeArg(h));
  plat::SaveBmpFile(out, frame);
  return 0;
}

// The rectangles of the frame's window region at W x H, one per line.
int Mask(const std::string& in, const char* w, const char* h) {
  const std::vector<uint8_t> raw = Inflate(in);
  vp::TvpSkinData data;
  data.LoadFromContainer(raw.data(), raw.size());
  const skin::RegionData region =
      skin::ComposeFrameRegion(data.FrameMask.Pixels, GeometryOf(data), SizeArg(w), SizeArg(h));
  std::printf("bounds %d,%d,%d,%d\n", region.Bound.Left, region.Bound.Top, region.Bound.Right, region.Bound.Bottom);
  std::printf("rects %zu\n", region.Rects.size());
  for (const plat::Rect& r : region.Rects) std::printf("%d,%d,%d,%d\n", r.Left, r.Top, r.Right, r.Bottom);
  return 0;
}

struct Command {
  const char* Name;
  int Args;
  const char* Usage;
  int (*Run)(char** argv);
};

const Command kCommands[] = {
    {"pack", 2, "pack SKINFOLDER OUT      pack SKINFOLDER/skin.ini and its pictures into OUT",
     [](char** a) { return Pack(a[0], a[1]); }},
    {"unpack", 2, "unpack IN OUTFOLDER      write skin.ini and the pictures of IN into OUTFOLDER",
     [](char** a) { return Unpack(a[0], a[1]); }},
    {"dump", 1, "dump IN                  list the container and the definitions of IN",
     [](char** a) { return Dump(a[0]); }},
    {"frame", 4, "frame IN W H OUT.bmp     the frame pieces of IN composed at W x H, as a BMP",
     [](char** a) { return Frame(a[0], a[1], a[2], a[3]); }},
    {"mask", 3, "mask IN W H              the rectangles of the frame region of IN at W x H",
     [](char** a) { return Mask(a[0], a[1], a[2]); }},
};

int Usage() {
  std::fprintf(stderr, "usage: skintool COMMAND ARGS\n");
  for (const Command& c : kCommands) std::fprintf(stderr, "  skintool %s\n", c.Usage);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) return Usage();
  for (const Command& c : kCommands) {
    if (std::strcmp(argv[1], c.Name) != 0) continue;
    if (argc != 2 + c.Args) return Usage();
    try {
      return c.Run(argv + 2);
    } catch (const std::exception& e) {
      std::fprintf(stderr, "skintool %s: %s\n", c.Name, e.what());
      return 1;
    }
  }
  return Usage();
}
