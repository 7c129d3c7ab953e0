// The stored skin (a zlib-compressed container of pictures and definition
// text), its container reader and writers, and the in-memory skin that every
// skinned painter reads.
#pragma once
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "skin/core/vpComponent.h"
#include "skin/core/vpSkinDefs.h"
#include "ui/core/bmp.h"
#include "ui/core/memini.h"
#include "ui/core/stream.h"

namespace vp {

// Messages sent (never posted) by the skin data; wParam is the sending
// TvpSkinData, lParam is kSkinMessageLParam.
constexpr unsigned WM_BEFORECHANGESKINDATA = 1225;
constexpr unsigned WM_CHANGESKINDATA = 1226;
constexpr unsigned WM_AFTERCHANGESKINDATA = 1227;
constexpr unsigned WM_CHANGERESSTRDATA = 1274;
constexpr long kSkinMessageLParam = 1000;

constexpr int32_t kStoredSkinVersion = 3;

class TvpSkinData;

// Delivers the skin messages: to the owner form's window first, then to every
// other form. The Win32 shell implements it over real windows.
struct SkinMessageSink {
  virtual ~SkinMessageSink() = default;
  virtual void Broadcast(unsigned msg, const TvpSkinData* sender) = 0;
};

// ------------------------------------------------------------ container

// Walks the uncompressed container. Short data raises EReadError "Stream read
// error"; a picture that does not start with "BM" raises EInvalidGraphic.
class TvpContainerReader {
 public:
  TvpContainerReader(const uint8_t* data, size_t size) : data_(data), size_(size) {}
  int32_t ReadInt32();
  uint8_t ReadByte();
  // One whole BMP file, as long as its own bfSize says.
  std::span<const uint8_t> ReadPicture();
  std::string_view Rest() const;
  size_t Position() const { return pos_; }

 private:
  const uint8_t* data_;
  size_t size_;
  size_t pos_ = 0;
};

// The container's content with pictures as whole BMP files.
struct TvpSkinContainer {
  int32_t Version = kStoredSkinVersion;
  std::optional<std::vector<uint8_t>> Picture, InactivePicture, Mask;
  std::optional<std::vector<uint8_t>> Legacy[2];  // version 2 only
  std::vector<std::vector<uint8_t>> ActivePictures;
  std::string Text;  // the definition file's bytes, CR LF line ends
};
std::vector<uint8_t> WriteSkinContainer(const TvpSkinContainer& c);
// Reads a container without decoding its pictures (for tools). A version
// above 3 gives just the version.
TvpSkinContainer ParseSkinContainer(const uint8_t* data, size_t size);

// Builds the container from a skin folder's definition file and its pictures.
// Returns nothing (and reads no picture) when the file lacks one of the
// sections VERSION, PICTURES, FORMINFO, SKINOBJECTS, SKINCONTROLS. A missing
// picture file raises EFOpenError.
std::optional<std::vector<uint8_t>> BuildSkinContainerFromFolder(const std::string& iniPath);

// --------------------------------------------------------- stored skin

class TvpCompressedStoredSkin : public TvpComponent {
 public:
  TvpCompressedStoredSkin() = default;

  std::string Description;
  // At run time the setters only store the value.
  const std::string& FileName() const { return fileName_; }
  void SetFileName(const std::string& v) { fileName_ = v; }
  const std::string& CompressedFileName() const { return compressedFileName_; }
  void SetCompressedFileName(const std::string& v) { compressedFileName_ = v; }

  bool IsEmpty() const { return const_cast<plat::TMemoryStream&>(data_).Size() == 0; }
  // Inflates the whole compressed data into target (EDecompressionError).
  void DecompressToStream(plat::TStream& target);

  // Replaces the compressed data with the packed skin folder; false (data
  // unchanged) when the definition file lacks a required section.
  bool LoadFromSkinFolder(const std::string& iniPath);
  // A compressed skin file: version (<= 3), length L, L bytes of zlib data.
  // A newer version leaves the data empty.
  void LoadFromCompressedFile(const std::string& path);

  plat::TMemoryStream& CompressedData() { return data_; }
  const std::vector<uint8_t>& CompressedBytes() const { return data_.Data(); }
  void SetCompressedData(const uint8_t* data, size_t size);

  // The "CompressedData" binary property as a form resource stores it: name
  // as a short string, value type 0x0A, 32-bit length, the bytes. Always
  // written, with length 0 when there is no data.
  void WriteCompressedDataProperty(plat::TStream& out) const;
  void ReadCompressedDataProperty(plat::TStream& in);

 private:
  std::string fileName_, compressedFileName_;
  plat::TMemoryStream data_;
};

// ------------------------------------------------------ resource strings

class TvpResourceStrData : public TvpComponent {
 public:
  TvpResourceStrData();
  // "KEY=text" lines; assigning copies them.
  const std::vector<std::string>& ResStrings() const { return resStrings_; }
  void SetResStrings(const std::vector<std::string>& lines) { resStrings_ = lines; }
  int CharSet = 1;  // DEFAULT_CHARSET
  // Text after the first "=" of the first line whose key matches (any case).
  std::string GetResStr(std::string_view key) const;

 private:
  std::vector<std::string> resStrings_;
};

// ------------------------------------------------------------ skin data

// Told before a skin's pictures and definitions are replaced (a new skin is
// loaded) or go (the skin data is freed), while they are still whole: open
// menus and hints that point into them close first.
class TvpSkinChangeNotify {
 public:
  virtual void SkinDataChanging(TvpSkinData* skin) = 0;

 protected:
  ~TvpSkinChangeNotify() = default;
};

class TvpSkinData : public TvpComponent, private TvpFreeNotify {
 public:
  TvpSkinData();
  ~TvpSkinData() override;

  void SetMessageSink(SkinMessageSink* sink) { sink_ = sink; }  // not owned
  void AddChangeNotification(TvpSkinChangeNotify* receiver);
  void RemoveChangeNotification(TvpSkinChangeNotify* receiver);

  bool EnableSkinEffects = true;
  TvpCompressedStoredSkin* CompressedStoredSkin() const { return storedSkin_; }
  // Assigning a stored skin loads it (exceptions of the load propagate).
  void SetCompressedStoredSkin(TvpCompressedStoredSkin* value);
  TvpResourceStrData* ResourceStrData() const { return resStrData_; }
  // Broadcasts WM_CHANGERESSTRDATA.
  void SetResourceStrData(TvpResourceStrData* value);

  void LoadFromCompressedStoredSkin(TvpCompressedStoredSkin& stored);
  // The same load from an already inflated container.
  void LoadFromContainer(const uint8_t* data, size_t size);

  int FindObject(std::string_view name) const;   // exact case; -1 if none
  int FindControl(std::string_view name) const;  // exact case; -1 if none
  void ClearDefinitions();
  void ClearSkin();
  void BroadcastSkinMessage(unsigned msg);

  // The active picture at `index`, or null when the index is not valid.
  const plat::BmpImage* ActivePicture(int index) const;

  TvpSkinColors ColorSet;
  Rect ButtonsRect, CaptionRect;
  int32_t ButtonsOffset = 0;
  bool ButtonsInLeft = false, AutoRenderingInActiveImage = false;
  TvpInActiveEffect InActiveEffect = ieBrightness;
  TvpDataSkinPopupWindow PopupWindowDef;
  TvpDataSkinHintWindow HintWindowDef;
  bool SkinEmpty = true;
  plat::BmpImage FramePicture, InactiveFramePicture, FrameMask;
  std::vector<plat::BmpImage> ActivePictureList;
  std::string FramePictureName, InactiveFramePictureName, FrameMaskName;
  std::vector<std::string> ActivePictureNames;
  std::vector<std::unique_ptr<TvpDataSkinObject>> ObjectDefs;
  std::vector<std::unique_ptr<TvpDataSkinControl>> ControlDefs;
  Point LTPoint, RTPoint, LBPoint, RBPoint;
  int32_t BGPictureIndex = -1, MDIBGPictureIndex = -1;
  bool MainMenuPopupUp = false;
  Rect MaskRectArea;
  Point HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint;
  Rect ClientRect;
  int32_t BorderWidth = 0, FormMinWidth = 0;
  bool TopStretch = false, LeftStretch = false, RightStretch = false, BottomStretch = false;
  std::string SkinName, SkinAuthor, AuthorURL, AuthorEmail, SkinComments;
  bool ChangingSkin = false;

  // Reads [FORMINFO] and applies the mask, hit-test and corner adjustments.
  void ReadFormInfo(const TMemIniFile& ini);
  // Writes [FORMINFO] as the values stand.
  void SaveFormInfo(TMemIniFile& ini) const;

  // The keys of [FORMINFO], in reading order.
  template <class V>
  void FormInfoFields(V& v) {
    CornerKeys(v, LTPoint, RTPoint, LBPoint, RBPoint);
    v.R("clientrect", ClientRect);
    v.I("bgpictureindex", BGPictureIndex, -1);
    v.I("mdibgpictureindex", MDIBGPictureIndex, -1);
    BorderStretchKeys(v, LeftStretch, RightStretch, TopStretch, BottomStretch);
    v.R("maskrectarea", MaskRectArea);
    CornerKeys(v, HitTestLTPoint, HitTestRTPoint, HitTestLBPoint, HitTestRBPoint, "hittest");
    v.R("buttonsrect", ButtonsRect);
    v.R("captionrect", CaptionRect);
    v.I("buttonsoffset", ButtonsOffset);
    v.F("buttonsinleft", ButtonsInLeft);
    v.F("mainmenupopupup", MainMenuPopupUp);
    v.I("borderwidth", BorderWidth);
    v.I("formminwidth", FormMinWidth);
    v.F("autorenderinginactiveimage", AutoRenderingInActiveImage);
    v.E("inactiveeffect", InActiveEffect);
  }

 private:
  void Notification(TvpComponent* component) override;
  void BeginLoad();
  void ReadContainer(const uint8_t* data, size_t size);
  void ReadDefinitions(const TMemIniFile& ini);

  SkinMessageSink* sink_ = nullptr;
  std::vector<TvpSkinChangeNotify*> changeNotify_;
  void NotifyChanging();
  TvpCompressedStoredSkin* storedSkin_ = nullptr;
  TvpResourceStrData* resStrData_ = nullptr;
};

// Reads the [PICTURES] active picture names ("activepicturescount", "0", ...).
std::vector<std::string> ReadActivePictureNames(const TMemIniFile& ini);

}  // namespace vp
