#include "vpSkinData.h"

#include <algorithm>

#include "skin/core/vpzlibcompress.h"

namespace vp {

namespace {

constexpr const char* kReadError = "Stream read error";
constexpr const char* kInvalidBitmap = "Bitmap image is not valid";
// No skin has anywhere near this many pictures; the bound keeps a corrupt
// count from building a huge list of empty names.
constexpr int32_t kMaxActivePictureNames = 65536;

uint32_t LE32(const uint8_t* p) {
  return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

void PutLE32(std::vector<uint8_t>& out, int32_t v) {
  const uint32_t u = static_cast<uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(u >> (8 * i)));
}

plat::BmpImage DecodePicture(std::span<const uint8_t> bytes) { return plat::ReadBmp(bytes.data(), bytes.size()); }

}  // namespace

// ---------------------------------------------------------------- reader

int32_t TvpContainerReader::ReadInt32() {
  if (size_ - pos_ < 4) throw plat::EReadError(kReadError);
  const int32_t v = static_cast<int32_t>(LE32(data_ + pos_));
  pos_ += 4;
  return v;
}

uint8_t TvpContainerReader::ReadByte() {
  if (size_ - pos_ < 1) throw plat::EReadError(kReadError);
  return data_[pos_++];
}

std::span<const uint8_t> TvpContainerReader::ReadPicture() {
  if (size_ - pos_ < 14) throw plat::EReadError(kReadError);
  const uint8_t* p = data_ + pos_;
  if (p[0] != 'B' || p[1] != 'M') throw plat::EInvalidGraphic(kInvalidBitmap);
  const uint32_t bfSize = LE32(p + 2);
  if (bfSize < 14) throw plat::EInvalidGraphic(kInvalidBitmap);
  if (bfSize > size_ - pos_) throw plat::EReadError(kReadError);
  pos_ += bfSize;
  return {p, bfSize};
}

std::string_view TvpContainerReader::Rest() const {
  return std::string_view(reinterpret_cast<const char*>(data_ + pos_), size_ - pos_);
}

// ------------------------------------------------------- container bytes

std::vector<uint8_t> WriteSkinContainer(const TvpSkinContainer& c) {
  std::vector<uint8_t> out;
  PutLE32(out, c.Version);
  auto flagged = [&out](const std::optional<std::vector<uint8_t>>& pic) {
    out.push_back(pic ? 0 : 1);
    if (pic) out.insert(out.end(), pic->begin(), pic->end());
  };
  flagged(c.Picture);
  flagged(c.InactivePicture);
  flagged(c.Mask);
  if (c.Version == 2) {
    flagged(c.Legacy[0]);
    flagged(c.Legacy[1]);
  }
  PutLE32(out, static_cast<int32_t>(c.ActivePictures.size()));
  for (const auto& pic : c.ActivePictures) out.insert(out.end(), pic.begin(), pic.end());
  out.insert(out.end(), c.Text.begin(), c.Text.end());
  return out;
}

TvpSkinContainer ParseSkinContainer(const uint8_t* data, size_t size) {
  TvpContainerReader r(data, size);
  TvpSkinContainer c;
  c.Version = r.ReadInt32();
  if (c.Version > kStoredSkinVersion) return c;
  auto flagged = [&r]() -> std::optional<std::vector<uint8_t>> {
    if (r.ReadByte() != 0) return std::nullopt;
    const auto pic = r.ReadPicture();
    return std::vector<uint8_t>(pic.begin(), pic.end());
  };
  c.Picture = flagged();
  c.InactivePicture = flagged();
  c.Mask = flagged();
  if (c.Version == 2) {
    c.Legacy[0] = flagged();
    c.Legacy[1] = flagged();
  }
  const int32_t n = r.ReadInt32();
  for (int32_t i = 0; i < n; ++i) {
    const auto pic = r.ReadPicture();
    c.ActivePictures.emplace_back(pic.begin(), pic.end());
  }
  c.Text = std::string(r.Rest());
  return c;
}

std::vector<std::string> ReadActivePictureNames(const TMemIniFile& ini) {
  const int32_t count = std::min(ini.ReadInteger("PICTURES", "activepicturescount", 0), kMaxActivePictureNames);
  std::vector<std::string> names;
  for (int32_t i = 0; i < count; ++i) names.push_back(ini.ReadString("PICTURES", std::to_string(i), ""));
  return names;
}

std::optional<std::vector<uint8_t>> BuildSkinContainerFromFolder(const std::string& iniPath) {
  const std::vector<uint8_t> file = plat::ReadWholeFile(iniPath);
  const std::string_view text(reinterpret_cast<const char*>(file.data()), file.size());
  const std::vector<std::string> lines = plat::SplitLines(text);
  TMemIniFile ini;
  ini.SetStrings(lines);
  for (const char* s : {"VERSION", "PICTURES", "FORMINFO", "SKINOBJECTS", "SKINCONTROLS"})
    if (!ini.SectionExists(s)) return std::nullopt;

  const size_t slash = iniPath.find_last_of("/\\");
  const std::string folder = slash == std::string::npos ? std::string() : iniPath.substr(0, slash + 1);
  auto load = [&folder](const std::string& name) {
    // Through the BMP reader and writer, as the graphics library would save
    // the loaded picture: bottom-up, uncompressed, same depth and palette.
    return plat::WriteBmp(plat::LoadBmpFile(folder + name));
  };

  TvpSkinContainer c;
  c.Version = kStoredSkinVersion;
  std::optional<std::vector<uint8_t>>* slots[] = {&c.Picture, &c.InactivePicture, &c.Mask};
  const char* keys[] = {"picture", "inactivepicture", "mask"};
  for (int i = 0; i < 3; ++i) {
    const std::string name = ini.ReadString("PICTURES", keys[i], "");
    if (!name.empty()) *slots[i] = load(name);
  }
  for (const std::string& name : ReadActivePictureNames(ini)) c.ActivePictures.push_back(load(name));
  c.Text = plat::JoinLines(lines);
  return WriteSkinContainer(c);
}

// ----------------------------------------------------------- stored skin

void TvpCompressedStoredSkin::DecompressToStream(plat::TStream& target) { DecompressStream(target, data_); }

bool TvpCompressedStoredSkin::LoadFromSkinFolder(const std::string& iniPath) {
  const auto container = BuildSkinContainerFromFolder(iniPath);
  if (!container) return false;
  plat::TBytesStream src(container->data(), container->size());
  plat::TMemoryStream packed;
  CompressStream(src, packed);
  data_.Clear();
  data_.Data() = std::move(packed.Data());
  return true;
}

void TvpCompressedStoredSkin::LoadFromCompressedFile(const std::string& path) {
  data_.Clear();
  plat::TFileStream f(path, plat::TFileStream::fmOpenRead);
  if (f.ReadInt32() > kStoredSkinVersion) return;
  const int32_t length = f.ReadInt32();
  if (length > 0) data_.CopyFrom(f, length);
  data_.SetPosition(0);
}

void TvpCompressedStoredSkin::SetCompressedData(const uint8_t* data, size_t size) {
  data_.Clear();
  data_.Data().assign(data, data + size);
}

void TvpCompressedStoredSkin::WriteCompressedDataProperty(plat::TStream& out) const {
  static const char kName[] = "CompressedData";
  out.WriteByte(static_cast<uint8_t>(sizeof kName - 1));
  out.WriteBuffer(kName, sizeof kName - 1);
  out.WriteByte(0x0A);  // binary value
  const auto& bytes = data_.Data();
  out.WriteInt32(static_cast<int32_t>(bytes.size()));
  out.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void TvpCompressedStoredSkin::ReadCompressedDataProperty(plat::TStream& in) {
  const uint8_t len = in.ReadByte();
  std::string name(len, '\0');
  in.ReadBuffer(name.data(), len);
  if (name != "CompressedData" || in.ReadByte() != 0x0A) throw plat::EReadError("Invalid property value");
  const int32_t count = in.ReadInt32();
  if (count < 0) throw plat::EReadError("Invalid property value");
  std::vector<uint8_t> bytes(static_cast<size_t>(count));
  in.ReadBuffer(bytes.data(), count);
  data_.Clear();
  data_.Data() = std::move(bytes);
}

// ------------------------------------------------------------- skin data

TvpSkinData::TvpSkinData() {}

TvpSkinData::~TvpSkinData() {
  NotifyChanging();
  SkinEmpty = true;
  ClearDefinitions();
  if (storedSkin_) storedSkin_->RemoveFreeNotification(this);
  if (resStrData_) resStrData_->RemoveFreeNotification(this);
}

void TvpSkinData::Notification(TvpComponent* component) {
  if (component == storedSkin_) storedSkin_ = nullptr;
  if (component == resStrData_) resStrData_ = nullptr;
}

void TvpSkinData::SetCompressedStoredSkin(TvpCompressedStoredSkin* value) {
  if (storedSkin_ && storedSkin_ != value) storedSkin_->RemoveFreeNotification(this);
  storedSkin_ = value;
  if (value) {
    value->FreeNotification(this);
    LoadFromCompressedStoredSkin(*value);
  }
}

void TvpSkinData::SetResourceStrData(TvpResourceStrData* value) {
  if (resStrData_ && resStrData_ != value) resStrData_->RemoveFreeNotification(this);
  resStrData_ = value;
  if (value) value->FreeNotification(this);
  BroadcastSkinMessage(WM_CHANGERESSTRDATA);
}

void TvpSkinData::AddChangeNotification(TvpSkinChangeNotify* receiver) {
  if (receiver && std::find(changeNotify_.begin(), changeNotify_.end(), receiver) == changeNotify_.end())
    changeNotify_.push_back(receiver);
}

void TvpSkinData::RemoveChangeNotification(TvpSkinChangeNotify* receiver) {
  changeNotify_.erase(std::remove(changeNotify_.begin(), changeNotify_.end(), receiver), changeNotify_.end());
}

void TvpSkinData::NotifyChanging() {
  // A copy: a receiver unregisters itself while it lets go.
  const std::vector<TvpSkinChangeNotify*> receivers = changeNotify_;
  for (TvpSkinChangeNotify* r : receivers)
    if (std::find(changeNotify_.begin(), changeNotify_.end(), r) != changeNotify_.end()) r->SkinDataChanging(this);
}

void TvpSkinData::BroadcastSkinMessage(unsigned msg) {
  if (sink_) sink_->Broadcast(msg, this);
}

int TvpSkinData::FindObject(std::string_view name) const {
  for (size_t i = 0; i < ObjectDefs.size(); ++i)
    if (ObjectDefs[i]->SectionName == name) return static_cast<int>(i);
  return -1;
}

int TvpSkinData::FindControl(std::string_view name) const {
  for (size_t i = 0; i < ControlDefs.size(); ++i)
    if (ControlDefs[i]->SectionName == name) return static_cast<int>(i);
  return -1;
}

const plat::BmpImage* TvpSkinData::ActivePicture(int index) const {
  if (index < 0 || index >= static_cast<int>(ActivePictureList.size())) return nullptr;
  return &ActivePictureList[static_cast<size_t>(index)];
}

void TvpSkinData::ClearDefinitions() {
  ObjectDefs.clear();
  ControlDefs.clear();
  ActivePictureList.clear();
  PopupWindowDef.WindowPictureIndex = -1;
  HintWindowDef.WindowPictureIndex = -1;
  ActivePictureNames.clear();
  ColorSet.SetSystemColors();
}

void TvpSkinData::ClearSkin() {
  ClearDefinitions();
  FramePicture = plat::BmpImage{};
  InactiveFramePicture = plat::BmpImage{};
  FrameMask = plat::BmpImage{};
  FramePictureName.clear();
  FrameMaskName.clear();
  SkinEmpty = true;
}

void TvpSkinData::BeginLoad() {
  NotifyChanging();
  SkinEmpty = true;
  ChangingSkin = true;
  BroadcastSkinMessage(WM_BEFORECHANGESKINDATA);
  ClearSkin();
}

void TvpSkinData::LoadFromCompressedStoredSkin(TvpCompressedStoredSkin& stored) {
  if (stored.IsEmpty()) return;
  BeginLoad();
  try {
    plat::TMemoryStream container;
    stored.DecompressToStream(container);
    ReadContainer(container.Data().data(), container.Data().size());
  } catch (...) {
    // The skin stays empty or partial, but frames must not stay frozen in
    // the changing state: they go back to their default look.
    ChangingSkin = false;
    throw;
  }
}

void TvpSkinData::LoadFromContainer(const uint8_t* data, size_t size) {
  BeginLoad();
  try {
    ReadContainer(data, size);
  } catch (...) {
    ChangingSkin = false;
    throw;
  }
}

void TvpSkinData::ReadContainer(const uint8_t* data, size_t size) {
  TvpContainerReader r(data, size);
  if (r.ReadInt32() > kStoredSkinVersion) {
    ChangingSkin = false;  // nothing more comes; see LoadFromCompressedStoredSkin
    return;
  }
  const int32_t version = static_cast<int32_t>(LE32(data));
  plat::BmpImage* slots[] = {&FramePicture, &InactiveFramePicture, &FrameMask};
  for (plat::BmpImage* slot : slots) {
    if (r.ReadByte() != 0) *slot = plat::BmpImage{};
    else *slot = DecodePicture(r.ReadPicture());
  }
  if (version == 2)
    for (int i = 0; i < 2; ++i)
      if (r.ReadByte() == 0) DecodePicture(r.ReadPicture());  // legacy pictures are read and dropped
  const int32_t count = r.ReadInt32();
  for (int32_t i = 0; i < count; ++i) {
    ActivePictureList.emplace_back();
    ActivePictureList.back() = DecodePicture(r.ReadPicture());
  }
  TMemIniFile ini;
  ini.SetText(r.Rest());
  ReadDefinitions(ini);
  SkinEmpty = false;
  BroadcastSkinMessage(WM_CHANGESKINDATA);
  ChangingSkin = false;
  BroadcastSkinMessage(WM_AFTERCHANGESKINDATA);
}

void TvpSkinData::ReadDefinitions(const TMemIniFile& ini) {
  SkinName = ini.ReadString("VERSION", "skinname", "");
  SkinAuthor = ini.ReadString("VERSION", "skinauthor", "");
  AuthorEmail = ini.ReadString("VERSION", "authoremail", "");
  AuthorURL = ini.ReadString("VERSION", "authorurl", "");
  SkinComments = ini.ReadString("VERSION", "skincomments", "");

  FramePictureName = ini.ReadString("PICTURES", "picture", "");
  InactiveFramePictureName = ini.ReadString("PICTURES", "inactivepicture", "");
  FrameMaskName = ini.ReadString("PICTURES", "mask", "");
  ActivePictureNames = ReadActivePictureNames(ini);

  ReadFormInfo(ini);
  PopupWindowDef.LoadFromIni(ini);
  HintWindowDef.LoadFromIni(ini);
  ColorSet.LoadFromIni(ini);
  ReadObjects(ini, ObjectDefs);
  ReadControls(ini, ControlDefs);
}

namespace {
const std::string kFormInfo = "FORMINFO";
}  // namespace

void TvpSkinData::SaveFormInfo(TMemIniFile& ini) const {
  ini.EraseSection(kFormInfo);
  IniWriteVisitor v{ini, kFormInfo};
  const_cast<TvpSkinData*>(this)->FormInfoFields(v);
}

void TvpSkinData::ReadFormInfo(const TMemIniFile& ini) {
  IniReadVisitor v{ini, kFormInfo};
  FormInfoFields(v);

  if (!FrameMaskName.empty()) {
    if (MaskRectArea.IsNull()) {
      MaskRectArea = ClientRect;
    } else if (!ClientRect.IsNull()) {
      // Union as the platform computes it: an empty client rect adds nothing.
      MaskRectArea.Left = std::min(MaskRectArea.Left, ClientRect.Left);
      MaskRectArea.Top = std::min(MaskRectArea.Top, ClientRect.Top);
      MaskRectArea.Right = std::max(MaskRectArea.Right, ClientRect.Right);
      MaskRectArea.Bottom = std::max(MaskRectArea.Bottom, ClientRect.Bottom);
    }
    auto unset = [](Point p) { return p.X == 0 || p.Y == 0; };
    if (unset(HitTestLTPoint)) HitTestLTPoint = LTPoint;
    if (unset(HitTestRTPoint)) HitTestRTPoint = RTPoint;
    if (unset(HitTestLBPoint)) HitTestLBPoint = LBPoint;
    if (unset(HitTestRBPoint)) HitTestRBPoint = RBPoint;
  }

  if (RBPoint.X != LTPoint.X && RBPoint.Y != LTPoint.Y) {
    const Rect& c = ClientRect;
    LTPoint.X = std::max(LTPoint.X, c.Left);
    LTPoint.Y = std::max(LTPoint.Y, c.Top);
    RTPoint.X = std::min(RTPoint.X, c.Right);
    RTPoint.Y = std::max(RTPoint.Y, c.Top);
    LBPoint.X = std::max(LBPoint.X, c.Left);
    LBPoint.Y = std::min(LBPoint.Y, c.Bottom);
    RBPoint.X = std::min(RBPoint.X, c.Right);
    RBPoint.Y = std::min(RBPoint.Y, c.Bottom);
  }
}

}  // namespace vp
