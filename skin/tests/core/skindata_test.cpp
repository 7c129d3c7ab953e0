#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "skin/core/vpSkinData.h"
#include "skin/core/vpzlibcompress.h"
#include "ui/core/bmp.h"

using namespace vp;

namespace {

const std::string kSkinIni = std::string(TEST_DATA_DIR) + "/testskin/skin.ini";

std::vector<uint8_t> Bmp(int w, int h, int bits) {
  plat::Raster r(w, h, plat::RGBColor(10, 20, 30));
  if (bits == 24) return plat::WriteBmp(r);
  return plat::WriteBmp(plat::BmpWithPalette(r, bits, {plat::RGBColor(10, 20, 30), plat::clWhite}));
}

struct Recorder : SkinMessageSink {
  std::vector<unsigned> msgs;
  std::vector<bool> emptyAt, changingAt;
  void Broadcast(unsigned msg, const TvpSkinData* s) override {
    msgs.push_back(msg);
    emptyAt.push_back(s->SkinEmpty);
    changingAt.push_back(s->ChangingSkin);
  }
};

const std::string kMinimalText =
    "[VERSION]\r\nskinname=t\r\n[PICTURES]\r\n[FORMINFO]\r\n[SKINOBJECTS]\r\n[SKINCONTROLS]\r\n";

}  // namespace

TEST(StoredSkin, PacksTheFolderAndLoadsIt) {
  TvpCompressedStoredSkin stored;
  EXPECT_TRUE(stored.IsEmpty());
  ASSERT_TRUE(stored.LoadFromSkinFolder(kSkinIni));
  EXPECT_EQ(stored.CompressedBytes()[0], 0x78);

  // The build packs the same folder with the packer: same bytes.
  EXPECT_EQ(plat::ReadWholeFile(TEST_PACKED_SKIN), stored.CompressedBytes());

  TvpSkinData data;
  Recorder rec;
  data.SetMessageSink(&rec);
  data.SetCompressedStoredSkin(&stored);
  EXPECT_FALSE(data.SkinEmpty);
  EXPECT_FALSE(data.ChangingSkin);
  EXPECT_EQ(rec.msgs, (std::vector<unsigned>{WM_BEFORECHANGESKINDATA, WM_CHANGESKINDATA, WM_AFTERCHANGESKINDATA}));
  EXPECT_TRUE(rec.changingAt[0] && rec.changingAt[1] && !rec.changingAt[2]);
  EXPECT_TRUE(rec.emptyAt[0] && !rec.emptyAt[1]);

  EXPECT_EQ(data.FramePicture.Width, 40);
  EXPECT_EQ(data.FramePicture.BitCount, 8);
  EXPECT_TRUE(data.InactiveFramePicture.Empty());
  EXPECT_EQ(data.FrameMask.BitCount, 1);
  ASSERT_EQ(data.ActivePictureList.size(), 2u);
  EXPECT_EQ(data.ActivePictureList[1].BitCount, 4);
  EXPECT_EQ(data.ActivePicture(2), nullptr);
  EXPECT_EQ(data.ActivePicture(-1), nullptr);
  EXPECT_EQ(data.ActivePictureNames, (std::vector<std::string>{"active.bmp", "controls.bmp"}));
  EXPECT_EQ(data.SkinName, "Test skin");
  EXPECT_EQ(data.FrameMaskName, "mask.bmp");
  EXPECT_EQ(data.BorderWidth, 3);
  EXPECT_TRUE(data.TopStretch);
  EXPECT_EQ(data.PopupWindowDef.ScrollMarkerActiveColor, 0xFFFFFFu);
  EXPECT_EQ(data.HintWindowDef.FontStyle, fsBold);
  EXPECT_EQ(data.HintWindowDef.FontHeight, 12);
  EXPECT_EQ(data.ColorSet.BtnFace, clBtnFace);  // no [SKINCOLORS]: system colours

  // Objects: "odd:MenuItem" is skipped; controls: "nocolon" is skipped.
  ASSERT_EQ(data.ObjectDefs.size(), 3u);
  EXPECT_EQ(data.FindObject("closebutton"), 1);
  EXPECT_EQ(data.FindObject("CloseButton"), -1);
  EXPECT_EQ(data.FindObject("MENUITEM"), 2);
  EXPECT_EQ(data.FindControl("vupdown"), 1);
  EXPECT_EQ(data.FindControl("nocolon"), -1);
  auto* close = dynamic_cast<TvpDataSkinStdButton*>(data.ObjectDefs[1].get());
  ASSERT_NE(close, nullptr);
  EXPECT_EQ(close->Command, cmClose);
  auto* caption = dynamic_cast<TvpDataSkinCaption*>(data.ObjectDefs[0].get());
  ASSERT_NE(caption, nullptr);
  EXPECT_EQ(caption->FontName, "\xCB\xCE\xCC\xE5");  // stays in the file's code page
  EXPECT_EQ(caption->Alignment, taLeftJustify);
  auto* item = dynamic_cast<TvpDataSkinMenuItem*>(data.ObjectDefs[2].get());
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(item->FontColor, clWindowText);
}

TEST(StoredSkin, FormInfoAdjustmentsWithMask) {
  TvpSkinData data;
  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(stored.LoadFromSkinFolder(kSkinIni));
  data.SetCompressedStoredSkin(&stored);
  // mask area 2,2,38,28 grows to hold the client rect 3,10,37,27: unchanged
  EXPECT_EQ(data.MaskRectArea, (Rect{2, 2, 38, 28}));
  EXPECT_EQ(data.HitTestLTPoint, (Point{10, 12}));  // 0,0 takes the corner point
  EXPECT_EQ(data.HitTestRTPoint, (Point{36, 2}));
  EXPECT_EQ(data.LTPoint, (Point{10, 12}));  // inside the client rect: kept
}

TEST(StoredSkin, FormInfoRules) {
  auto load = [](const std::string& forminfo, bool mask) {
    auto data = std::make_unique<TvpSkinData>();
    TMemIniFile ini;
    ini.SetText("[FORMINFO]\r\n" + forminfo);
    data->FrameMaskName = mask ? "mask.bmp" : "";
    data->ReadFormInfo(ini);
    return data;
  };
  const std::string base = "clientrect=5,29,141,74\r\nhittestlefttoppoint=0,12\r\nhittestrighttoppoint=137,6\r\n";
  auto d = load(base + "maskrectarea=0,0,0,0\r\n", true);
  EXPECT_EQ(d->MaskRectArea, (Rect{5, 29, 141, 74}));
  EXPECT_EQ(d->HitTestLTPoint, (Point{}));  // the corner point, itself 0,0
  EXPECT_EQ(d->HitTestRTPoint, (Point{137, 6}));
  d = load(base + "maskrectarea=10,10,20,80\r\nlefttoppoint=7,8\r\n", true);
  EXPECT_EQ(d->MaskRectArea, (Rect{5, 10, 141, 80}));
  EXPECT_EQ(d->HitTestLTPoint, (Point{7, 8}));  // the corner point as read, before clamping
  d = load(base + "maskrectarea=10,10,20,80\r\n", false);  // no mask: kept as read
  EXPECT_EQ(d->MaskRectArea, (Rect{10, 10, 20, 80}));
  EXPECT_EQ(d->HitTestLTPoint, (Point{0, 12}));

  // Clamping into the client rect; off when right-bottom shares X or Y with left-top.
  d = load("clientrect=5,29,141,74\r\nlefttoppoint=1,1\r\nrighttoppoint=200,1\r\nleftbottompoint=1,90\r\n"
           "rightbottompoint=200,90\r\n", false);
  EXPECT_EQ(d->LTPoint, (Point{5, 29}));
  EXPECT_EQ(d->RTPoint, (Point{141, 29}));
  EXPECT_EQ(d->LBPoint, (Point{5, 74}));
  EXPECT_EQ(d->RBPoint, (Point{141, 74}));
  d = load("clientrect=5,29,141,74\r\nlefttoppoint=1,1\r\nrightbottompoint=1,90\r\n", false);
  EXPECT_EQ(d->LTPoint, (Point{1, 1}));
  EXPECT_EQ(d->RBPoint, (Point{1, 90}));
  d = load("clientrect=5,29,141,74\r\ninactiveeffect=ienoise\r\nbgpictureindex=$8\r\n", false);
  EXPECT_EQ(d->InActiveEffect, ieNoise);
  EXPECT_EQ(d->BGPictureIndex, 8);
  EXPECT_EQ(d->MDIBGPictureIndex, -1);
}

TEST(StoredSkin, ContainerLayoutVariants) {
  TvpSkinContainer c;
  c.Version = 2;
  c.Picture = Bmp(4, 3, 8);
  c.Mask = Bmp(4, 3, 1);
  c.Legacy[0] = Bmp(2, 2, 24);
  c.ActivePictures = {Bmp(5, 1, 24)};
  c.Text = kMinimalText;
  std::vector<uint8_t> bytes = WriteSkinContainer(c);
  // flag byte of the inactive picture: any non-zero value means absent
  const size_t inactiveFlag = 4 + 1 + c.Picture->size();
  ASSERT_EQ(bytes[inactiveFlag], 1);
  bytes[inactiveFlag] = 0x7F;

  TvpSkinData data;
  data.LoadFromContainer(bytes.data(), bytes.size());
  EXPECT_FALSE(data.SkinEmpty);
  EXPECT_EQ(data.FramePicture.Width, 4);
  EXPECT_TRUE(data.InactiveFramePicture.Empty());
  EXPECT_EQ(data.FrameMask.BitCount, 1);
  ASSERT_EQ(data.ActivePictureList.size(), 1u);  // legacy pictures skipped
  EXPECT_EQ(data.ActivePictureList[0].Width, 5);
  EXPECT_EQ(data.SkinName, "t");

  const TvpSkinContainer back = ParseSkinContainer(bytes.data(), bytes.size());
  EXPECT_EQ(back.Legacy[0], c.Legacy[0]);
  EXPECT_FALSE(back.Legacy[1]);
  EXPECT_EQ(back.Text, c.Text);

  // A negative count reads no pictures: the text follows directly.
  TvpSkinContainer n;
  n.Text = kMinimalText;
  bytes = WriteSkinContainer(n);
  bytes[4 + 3] = 0xFF;  // count field = -1 (after three "absent" flags)
  bytes[4 + 3 + 1] = 0xFF;
  bytes[4 + 3 + 2] = 0xFF;
  bytes[4 + 3 + 3] = 0xFF;
  data.LoadFromContainer(bytes.data(), bytes.size());
  EXPECT_TRUE(data.ActivePictureList.empty());
  EXPECT_EQ(data.SkinName, "t");
}

TEST(StoredSkin, FailureStates) {
  TvpSkinData data;
  Recorder rec;
  data.SetMessageSink(&rec);
  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(stored.LoadFromSkinFolder(kSkinIni));
  data.SetCompressedStoredSkin(&stored);
  rec.msgs.clear();

  // Empty stored skin: nothing at all.
  TvpCompressedStoredSkin empty;
  data.SetCompressedStoredSkin(&empty);
  EXPECT_TRUE(rec.msgs.empty());
  EXPECT_FALSE(data.SkinEmpty);

  // Version above 3: cleared, only the before-change message.
  TvpSkinContainer c;
  c.Version = 4;
  auto bytes = WriteSkinContainer(c);
  data.LoadFromContainer(bytes.data(), bytes.size());
  EXPECT_EQ(rec.msgs, (std::vector<unsigned>{WM_BEFORECHANGESKINDATA}));
  EXPECT_TRUE(data.SkinEmpty);
  EXPECT_FALSE(data.ChangingSkin);
  EXPECT_TRUE(data.ObjectDefs.empty());
  EXPECT_TRUE(data.FramePicture.Empty());

  // A malformed rect ends the load: definitions read so far stay.
  rec.msgs.clear();
  c.Version = 3;
  c.Text = kMinimalText + "[SKINOBJECTS]\r\ncount=2\r\n0=a:button\r\n1=b:button\r\n[b]\r\nskinrect=5\r\n";
  bytes = WriteSkinContainer(c);
  try {
    data.LoadFromContainer(bytes.data(), bytes.size());
    FAIL();
  } catch (const plat::EConvertError& e) {
    EXPECT_STREQ(e.what(), "'' is not a valid integer value");
  }
  EXPECT_EQ(data.ObjectDefs.size(), 2u);
  EXPECT_TRUE(data.SkinEmpty);
  EXPECT_FALSE(data.ChangingSkin);
  EXPECT_EQ(rec.msgs, (std::vector<unsigned>{WM_BEFORECHANGESKINDATA}));

  // Truncated picture: the stream read error; not a BMP: the bitmap error.
  c.Text = kMinimalText;
  c.Picture = Bmp(8, 8, 24);
  bytes = WriteSkinContainer(c);
  EXPECT_THROW(data.LoadFromContainer(bytes.data(), 40), plat::EReadError);
  bytes[5] = 'X';
  EXPECT_THROW(data.LoadFromContainer(bytes.data(), bytes.size()), plat::EInvalidGraphic);
  EXPECT_THROW(data.LoadFromContainer(bytes.data(), 2), plat::EReadError);

  // Corrupt compressed data.
  const uint8_t junk[] = {0x78, 0xDA, 0xFF, 0xFF, 0xFF, 0xFF};
  TvpCompressedStoredSkin bad;
  bad.SetCompressedData(junk, sizeof junk);
  EXPECT_THROW(data.SetCompressedStoredSkin(&bad), EDecompressionError);
}

TEST(StoredSkin, WriterRefusesIncompleteDefinitionAndMissingPictures) {
  const auto dir = std::filesystem::temp_directory_path() / ("skin_writer_" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(dir);
  const std::string ini = (dir / "skin.ini").string();
  TvpCompressedStoredSkin stored;
  const uint8_t keep[] = {1, 2, 3};
  stored.SetCompressedData(keep, 3);
  {
    plat::TFileStream f(ini, plat::TFileStream::fmCreate);
    const std::string t = "[VERSION]\r\n[PICTURES]\r\n[FORMINFO]\r\n[SKINOBJECTS]\r\n";
    f.WriteBuffer(t.data(), static_cast<int32_t>(t.size()));
  }
  EXPECT_FALSE(stored.LoadFromSkinFolder(ini));
  EXPECT_EQ(stored.CompressedBytes(), (std::vector<uint8_t>{1, 2, 3}));
  {
    plat::TFileStream f(ini, plat::TFileStream::fmCreate);
    const std::string t = kMinimalText + "[PICTURES]\r\npicture=missing.bmp\r\n";
    f.WriteBuffer(t.data(), static_cast<int32_t>(t.size()));
  }
  EXPECT_THROW(stored.LoadFromSkinFolder(ini), plat::EFOpenError);
  std::filesystem::remove_all(dir);
}

TEST(StoredSkin, ContainerRoundTripKeepsPicturesAndText) {
  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(stored.LoadFromSkinFolder(kSkinIni));
  plat::TMemoryStream raw;
  stored.DecompressToStream(raw);
  EXPECT_EQ(raw.Position(), raw.Size());
  const TvpSkinContainer c = ParseSkinContainer(raw.Data().data(), raw.Data().size());
  EXPECT_EQ(c.Version, 3);
  EXPECT_EQ(WriteSkinContainer(c), raw.Data());
  // The text is the definition file's lines, each ended by CR LF.
  EXPECT_EQ(c.Text, plat::JoinLines(plat::SplitLines(std::string_view(
                        reinterpret_cast<const char*>(plat::ReadWholeFile(kSkinIni).data()),
                        plat::ReadWholeFile(kSkinIni).size()))));
  // Pictures keep depth, palette and pixels of their source files.
  const auto src = plat::LoadBmpFile(std::string(TEST_DATA_DIR) + "/testskin/controls.bmp");
  const auto packed = plat::ReadBmp(c.ActivePictures[1].data(), c.ActivePictures[1].size());
  EXPECT_EQ(packed.BitCount, 4);
  EXPECT_EQ(packed.Palette, src.Palette);
  EXPECT_TRUE(packed.Pixels.SamePixels(src.Pixels));
}

TEST(StoredSkin, CompressedFileAndProperty) {
  const auto path = std::filesystem::temp_directory_path() / "skin_compressed_file.bin";
  auto write = [&](int32_t version, const std::vector<uint8_t>& payload) {
    plat::TFileStream f(path.string(), plat::TFileStream::fmCreate);
    f.WriteInt32(version);
    f.WriteInt32(static_cast<int32_t>(payload.size()));
    f.WriteBuffer(payload.data(), static_cast<int32_t>(payload.size()));
  };
  TvpCompressedStoredSkin stored;
  write(3, {0x78, 0xDA, 9});
  stored.LoadFromCompressedFile(path.string());
  EXPECT_EQ(stored.CompressedBytes(), (std::vector<uint8_t>{0x78, 0xDA, 9}));
  write(4, {1});
  stored.LoadFromCompressedFile(path.string());
  EXPECT_TRUE(stored.IsEmpty());
  write(3, {});
  stored.LoadFromCompressedFile(path.string());
  EXPECT_TRUE(stored.IsEmpty());  // length 0 copies nothing
  std::filesystem::remove(path);

  plat::TMemoryStream prop;
  stored.WriteCompressedDataProperty(prop);
  EXPECT_EQ(prop.Data(), (std::vector<uint8_t>{14, 'C', 'o', 'm', 'p', 'r', 'e', 's', 's', 'e', 'd', 'D', 'a', 't',
                                                'a', 0x0A, 0, 0, 0, 0}));
  const uint8_t z[] = {0x78, 0xDA};
  stored.SetCompressedData(z, 2);
  prop.Clear();
  stored.WriteCompressedDataProperty(prop);
  TvpCompressedStoredSkin other;
  prop.SetPosition(0);
  other.ReadCompressedDataProperty(prop);
  EXPECT_EQ(other.CompressedBytes(), stored.CompressedBytes());
}

TEST(SkinData, FreeNotificationsAndResourceStrings) {
  Recorder rec;
  auto data = std::make_unique<TvpSkinData>();
  data->SetMessageSink(&rec);
  {
    TvpCompressedStoredSkin stored;
    data->SetCompressedStoredSkin(&stored);  // empty: no load
    EXPECT_EQ(data->CompressedStoredSkin(), &stored);
    TvpResourceStrData strings;
    data->SetResourceStrData(&strings);
    EXPECT_EQ(rec.msgs, (std::vector<unsigned>{WM_CHANGERESSTRDATA}));
    EXPECT_EQ(strings.ResStrings().size(), 119u);
    EXPECT_EQ(strings.GetResStr("mi_closecaption"), "&Close");
    EXPECT_EQ(strings.GetResStr("MENUBUTTON_HINT"), "System menu");
    EXPECT_EQ(strings.GetResStr("NOPE"), "");
  }
  EXPECT_EQ(data->CompressedStoredSkin(), nullptr);
  EXPECT_EQ(data->ResourceStrData(), nullptr);

  // The skin data going first unregisters itself.
  auto stored = std::make_unique<TvpCompressedStoredSkin>();
  data->SetCompressedStoredSkin(stored.get());
  data.reset();
  stored.reset();  // must not touch the destroyed skin data
}

TEST(SkinData, ChangeReceiversLetGoWhileTheOldSkinIsStillWhole) {
  // What an open menu or hint needs: a word before a new skin replaces the
  // pictures and definitions it points into, and before the data goes.
  struct Holder : TvpSkinChangeNotify {
    TvpSkinData* data = nullptr;
    std::vector<std::pair<bool, size_t>> told;  // skin empty?, pictures
    bool leave = false;
    void SkinDataChanging(TvpSkinData* s) override {
      told.push_back({s->SkinEmpty, s->ActivePictureList.size()});
      if (leave) s->RemoveChangeNotification(this);
    }
  };
  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(stored.LoadFromSkinFolder(kSkinIni));
  auto data = std::make_unique<TvpSkinData>();
  data->SetCompressedStoredSkin(&stored);
  Holder a, b;
  data->AddChangeNotification(&a);
  data->AddChangeNotification(&a);  // once only
  data->AddChangeNotification(&b);
  b.leave = true;
  data->LoadFromCompressedStoredSkin(stored);
  ASSERT_EQ(a.told.size(), 1u);
  EXPECT_FALSE(a.told[0].first) << "told before the old skin is cleared";
  EXPECT_EQ(a.told[0].second, 2u);
  EXPECT_EQ(b.told.size(), 1u);
  data->LoadFromCompressedStoredSkin(stored);
  EXPECT_EQ(a.told.size(), 2u);
  EXPECT_EQ(b.told.size(), 1u) << "a receiver that left is not told again";
  data.reset();
  ASSERT_EQ(a.told.size(), 3u) << "told when the skin data goes";
  EXPECT_EQ(a.told[2].second, 2u);
}

TEST(SkinData, ClearDefinitionsResets) {
  TvpSkinData data;
  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(stored.LoadFromSkinFolder(kSkinIni));
  data.SetCompressedStoredSkin(&stored);
  data.ColorSet.BtnFace = 1;
  data.ClearSkin();
  EXPECT_TRUE(data.SkinEmpty);
  EXPECT_TRUE(data.ObjectDefs.empty() && data.ControlDefs.empty() && data.ActivePictureList.empty());
  EXPECT_TRUE(data.ActivePictureNames.empty());
  EXPECT_EQ(data.PopupWindowDef.WindowPictureIndex, -1);
  EXPECT_EQ(data.ColorSet.BtnFace, clBtnFace);
  EXPECT_TRUE(data.FramePicture.Empty() && data.FrameMask.Empty());
  EXPECT_TRUE(data.FramePictureName.empty());
}

TEST(StoredSkin, AnAbsentInactiveEffectIsBrightnessEvenAfterAnotherSkin) {
  TvpSkinData data;
  auto read = [&](const std::string& forminfo) {
    TMemIniFile ini;
    ini.SetText("[FORMINFO]\r\nclientrect=5,29,141,74\r\n" + forminfo);
    data.ReadFormInfo(ini);
  };
  read("inactiveeffect=ienoise\r\n");
  EXPECT_EQ(data.InActiveEffect, ieNoise);
  read("");
  EXPECT_EQ(data.InActiveEffect, ieBrightness);
  read("inactiveeffect=IEBRIGHTNESS\r\n");  // words match exactly: anything else is grey scale
  EXPECT_EQ(data.InActiveEffect, ieGrayScale);
}

TEST(StoredSkin, TheShippedSkinListsItsObjectsInOrder) {
  const std::filesystem::path ini = std::filesystem::path(TEST_DATA_DIR) / "../../../skins/default/skin.ini";
  if (!std::filesystem::exists(ini)) GTEST_SKIP() << "no default skin folder";
  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(stored.LoadFromSkinFolder(ini.string()));
  TvpSkinData data;
  data.SetCompressedStoredSkin(&stored);
  std::vector<std::string> names;
  for (const auto& d : data.ObjectDefs) names.push_back(d->SectionName);
  EXPECT_EQ(names, (std::vector<std::string>{"caption1", "sysmenubutton", "closebutton", "maxbutton", "minbutton",
                                             "MENUITEM", "mainmenubaritem", "rollupbutton", "menubarsysmenubutton",
                                             "menubarclosebutton", "menubarmaxbutton", "menubarminbutton"}));
  EXPECT_EQ(data.FindObject("closebutton"), 2);
  EXPECT_EQ(data.FindObject("closeButton"), -1);
  EXPECT_NE(dynamic_cast<TvpDataSkinCaption*>(data.ObjectDefs[0].get()), nullptr);
  EXPECT_NE(dynamic_cast<TvpDataSkinMenuItem*>(data.ObjectDefs[5].get()), nullptr);
  EXPECT_NE(dynamic_cast<TvpDataSkinMainMenuBarButton*>(data.ObjectDefs[11].get()), nullptr);
  EXPECT_EQ(data.InActiveEffect, ieBrightness);
  EXPECT_EQ(data.ControlDefs.size(), 59u);
}

TEST(StoredSkin, FormInfoWritesEveryKeyItReads) {
  TvpSkinData data;
  TMemIniFile ini;
  ini.SetText(
      "[FORMINFO]\r\nclientrect=5,29,141,74\r\nlefttoppoint=68,31\r\nrightbottompoint=137,70\r\n"
      "bgpictureindex=8\r\ntopstretch=1\r\nhittestrighttoppoint=137,6\r\nborderwidth=3\r\n"
      "inactiveeffect=iegrayscale\r\n");
  data.ReadFormInfo(ini);
  TMemIniFile saved;
  data.SaveFormInfo(saved);
  EXPECT_EQ(saved.ReadSection("FORMINFO").size(), 25u);
  EXPECT_EQ(saved.ReadString("FORMINFO", "inactiveeffect", ""), "iegrayscale");
  EXPECT_EQ(saved.ReadString("FORMINFO", "hittestrighttoppoint", ""), "137,6");

  TvpSkinData again;
  again.ReadFormInfo(saved);
  TMemIniFile resaved;
  again.SaveFormInfo(resaved);
  EXPECT_EQ(resaved.GetStrings(), saved.GetStrings());
  EXPECT_TRUE(again.TopStretch);
  EXPECT_EQ(again.BGPictureIndex, 8);
}
