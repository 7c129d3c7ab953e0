// Skin definitions: the value kinds of the definition file, and one class per
// object type and control type, each reading its own section of the skin's
// INI text and able to write it back. Texts stay in the file's code page.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "ui/core/geometry.h"
#include "ui/core/memini.h"

namespace vp {

using plat::Color;
using plat::Point;
using plat::Rect;

enum TvpMorphKind : int { mkDefault, mkGradient, mkLeftGradient, mkRightGradient, mkLeftSlide, mkRightSlide, mkPush };
enum TvpInActiveEffect : int { ieBrightness, ieDarkness, ieGrayScale, ieNoise, ieSplitBlur, ieInvert };
enum TvpStdCommand : int { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };
enum TAlignment : int { taLeftJustify, taRightJustify, taCenter };

using TFontStyles = unsigned;
constexpr TFontStyles fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8;

// System colours as the skin writes them (high byte 0xFF, index below).
constexpr Color clBtnFace = 0xFF00000F, clBtnText = 0xFF000012, clWindow = 0xFF000005, clWindowText = 0xFF000008,
                clHighlight = 0xFF00000D, clHighlightText = 0xFF00000E, clBtnHighlight = 0xFF000014,
                clBtnShadow = 0xFF000010;

// ---- value kinds ----
// Points and rects keep only digits and commas; each needed field must hold a
// digit, otherwise EConvertError "'' is not a valid integer value".
Point ParseSkinPoint(std::string_view s);
Rect ParseSkinRect(std::string_view s);
std::string PointToStr(Point p);
std::string RectToStr(const Rect& r);
// Exact-case matching; unknown words take the documented fallback.
TFontStyles ParseFontStyle(std::string_view s);
TAlignment ParseAlignment(std::string_view s);
TvpMorphKind ParseMorphKind(std::string_view s);
TvpInActiveEffect ParseEffect(std::string_view s);
TvpStdCommand ParseCommand(std::string_view s);
std::string FontStyleToStr(TFontStyles s);
const char* AlignmentToStr(TAlignment a);
const char* MorphKindToStr(TvpMorphKind m);
const char* EffectToStr(TvpInActiveEffect e);
const char* CommandToStr(TvpStdCommand c);

using plat::TMemIniFile;
Point ReadPoint(const TMemIniFile& ini, std::string_view sec, std::string_view key);
Rect ReadRect(const TMemIniFile& ini, std::string_view sec, std::string_view key);
bool ReadFlag(const TMemIniFile& ini, std::string_view sec, std::string_view key);  // exactly 1
Color ReadColor(const TMemIniFile& ini, std::string_view sec, std::string_view key, Color def);

// Visitors: each definition lists its keys once, in reading order; the same
// list drives reading and writing.
struct IniReadVisitor {
  const TMemIniFile& Ini;
  const std::string& Sec;
  static constexpr bool kReading = true;
  void R(const char* k, Rect& v) { v = ReadRect(Ini, Sec, k); }
  void P(const char* k, Point& v) { v = ReadPoint(Ini, Sec, k); }
  void F(const char* k, bool& v) { v = ReadFlag(Ini, Sec, k); }
  void I(const char* k, int32_t& v, int32_t def = 0) { v = Ini.ReadInteger(Sec, k, def); }
  void K(const char* k, Color& v, Color def = 0) { v = ReadColor(Ini, Sec, k, def); }
  void T(const char* k, std::string& v, const char* def = "") { v = Ini.ReadString(Sec, k, def); }
  void S(const char* k, TFontStyles& v) { v = ParseFontStyle(Ini.ReadString(Sec, k, "")); }
  void A(const char* k, TAlignment& v) { v = ParseAlignment(Ini.ReadString(Sec, k, "tacenter")); }
  void M(const char* k, TvpMorphKind& v) { v = ParseMorphKind(Ini.ReadString(Sec, k, "mkdefault")); }
  void E(const char* k, TvpInActiveEffect& v) { v = ParseEffect(Ini.ReadString(Sec, k, "iebrightness")); }
  void Cmd(const char* k, TvpStdCommand& v) { v = ParseCommand(Ini.ReadString(Sec, k, "cmdefault")); }
};

struct IniWriteVisitor {
  TMemIniFile& Ini;
  const std::string& Sec;
  static constexpr bool kReading = false;
  void R(const char* k, Rect& v) { Ini.WriteString(Sec, k, RectToStr(v)); }
  void P(const char* k, Point& v) { Ini.WriteString(Sec, k, PointToStr(v)); }
  void F(const char* k, bool& v) { Ini.WriteString(Sec, k, v ? "1" : "0"); }
  void I(const char* k, int32_t& v, int32_t = 0) { Ini.WriteInteger(Sec, k, v); }
  void K(const char* k, Color& v, Color = 0) { Ini.WriteInteger(Sec, k, static_cast<int32_t>(v)); }
  void T(const char* k, std::string& v, const char* = "") { Ini.WriteString(Sec, k, v); }
  void S(const char* k, TFontStyles& v) { Ini.WriteString(Sec, k, FontStyleToStr(v)); }
  void A(const char* k, TAlignment& v) { Ini.WriteString(Sec, k, AlignmentToStr(v)); }
  void M(const char* k, TvpMorphKind& v) { Ini.WriteString(Sec, k, MorphKindToStr(v)); }
  void E(const char* k, TvpInActiveEffect& v) { Ini.WriteString(Sec, k, EffectToStr(v)); }
  void Cmd(const char* k, TvpStdCommand& v) { Ini.WriteString(Sec, k, CommandToStr(v)); }
};

// Reading and writing a section through a key list: `Fields(v)` names every
// key once, in reading order.
template <class T>
void LoadFields(T& t, const TMemIniFile& ini, const std::string& section) {
  IniReadVisitor v{ini, section};
  t.Fields(v);
}
template <class T>
void SaveFields(const T& t, TMemIniFile& ini, const std::string& section) {
  ini.EraseSection(section);
  IniWriteVisitor v{ini, section};
  const_cast<T&>(t).Fields(v);
}

// Every definition class: its name, LoadFromIni and SaveToIni over its key
// list, which starts with its parent's keys.
#define VP_DEFINITION(Class, Base)                                                               \
 public:                                                                                         \
  using Base::Base;                                                                              \
  const char* ClassName() const override { return #Class; }                                      \
  void LoadFromIni(const TMemIniFile& ini) override { LoadFields(*this, ini, SectionName); }     \
  void SaveToIni(TMemIniFile& ini) const override { SaveFields(*this, ini, SectionName); }       \
  template <class V>                                                                             \
  void Fields(V& v)

// The root of a family of definitions, each in the section of its own name.
#define VP_DEFINITION_ROOT(Class)                                                                \
 public:                                                                                         \
  explicit Class(std::string sectionName) : SectionName(std::move(sectionName)) {}               \
  virtual ~Class() = default;                                                                    \
  virtual const char* ClassName() const { return #Class; }                                       \
  virtual void LoadFromIni(const TMemIniFile& ini) { LoadFields(*this, ini, SectionName); }      \
  virtual void SaveToIni(TMemIniFile& ini) const { SaveFields(*this, ini, SectionName); }        \
  std::string SectionName;                                                                       \
  template <class V>                                                                             \
  void Fields(V& v)

// A definition with a section of fixed name.
#define VP_FIXED_SECTION(Section)                                                                \
 public:                                                                                         \
  static constexpr const char* kSection = Section;                                               \
  void LoadFromIni(const TMemIniFile& ini) { LoadFields(*this, ini, kSection); }                 \
  void SaveToIni(TMemIniFile& ini) const { SaveFields(*this, ini, kSection); }                   \
  template <class V>                                                                             \
  void Fields(V& v)

// Font keys: PREFIX + "name" (default "Arial"), "height" (14), "style", "color".
template <class V>
void FontKeys(V& v, const char* prefix, std::string& name, int32_t& height, TFontStyles& style, Color& color) {
  const std::string p(prefix);
  v.T((p + "name").c_str(), name, "Arial");
  v.I((p + "height").c_str(), height, 14);
  v.S((p + "style").c_str(), style);
  v.K((p + "color").c_str(), color);
}

// The four corner points of a picture cut into nine parts.
template <class V>
void CornerKeys(V& v, Point& lt, Point& rt, Point& lb, Point& rb, const char* prefix = "") {
  const std::string p(prefix);
  v.P((p + "lefttoppoint").c_str(), lt);
  v.P((p + "righttoppoint").c_str(), rt);
  v.P((p + "leftbottompoint").c_str(), lb);
  v.P((p + "rightbottompoint").c_str(), rb);
}
// Which borders of a window picture stretch (else they are tiled).
template <class V>
void BorderStretchKeys(V& v, bool& left, bool& right, bool& top, bool& bottom) {
  v.F("leftstretch", left);
  v.F("rightstretch", right);
  v.F("topstretch", top);
  v.F("bottomstretch", bottom);
}

// ---------------------------------------------------------------- objects

class TvpDataSkinObject {
  VP_DEFINITION_ROOT(TvpDataSkinObject) {
    v.T("hint", Hint);
    v.I("activepictureindex", ActivePictureIndex, -1);
    v.F("skinrectinapicture", SkinRectInAPicture);
    v.R("skinrect", SkinRect);
    v.R("activeskinrect", ActiveSkinRect);
    v.R("inactiveskinrect", InActiveSkinRect);
    v.F("morphing", Morphing);
    v.M("morphkind", MorphKind);
  }

  std::string Hint;
  int32_t ActivePictureIndex = -1;
  bool SkinRectInAPicture = false;
  Rect SkinRect, ActiveSkinRect, InActiveSkinRect;
  bool Morphing = false;
  TvpMorphKind MorphKind = mkDefault;
};

class TvpDataUserObject : public TvpDataSkinObject {
  VP_DEFINITION(TvpDataUserObject, TvpDataSkinObject) { v.R("skinrect", SkinRect); }
};

class TvpDataSkinButton : public TvpDataSkinObject {
  VP_DEFINITION(TvpDataSkinButton, TvpDataSkinObject) {
    TvpDataSkinObject::Fields(v);
    v.R("downrect", DownRect);
    v.R("disableskinrsect", DisableSkinRect);
  }
  Rect DownRect, DisableSkinRect;
};

class TvpDataSkinStdButton : public TvpDataSkinButton {
  VP_DEFINITION(TvpDataSkinStdButton, TvpDataSkinButton) {
    TvpDataSkinButton::Fields(v);
    v.Cmd("command", Command);
    v.R("restorerect", RestoreRect);
    v.R("restoreactiverect", RestoreActiveRect);
    v.R("restoredownrect", RestoreDownRect);
    v.R("restoreinactiverect", RestoreInActiveRect);
  }
  TvpStdCommand Command = cmDefault;
  Rect RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
};

class TvpDataSkinMainMenuBarButton : public TvpDataSkinStdButton {
  VP_DEFINITION(TvpDataSkinMainMenuBarButton, TvpDataSkinStdButton) { TvpDataSkinStdButton::Fields(v); }
};

class TvpDataSkinAnimate : public TvpDataSkinObject {
  VP_DEFINITION(TvpDataSkinAnimate, TvpDataSkinObject) {
    TvpDataSkinObject::Fields(v);
    if constexpr (V::kReading) Morphing = false;  // animations never morph
    v.I("countframes", CountFrames, 1);
    v.F("cycle", Cycle);
    v.F("buttonstyle", ButtonStyle);
    v.I("timerinterval", TimerInterval, 50);
    v.Cmd("command", Command);
    v.R("downskinrect", DownSkinRect);
    v.R("restorerect", RestoreRect);
    v.R("restoreactiverect", RestoreActiveRect);
    v.R("restoredownrect", RestoreDownRect);
    v.R("restoreinactiverect", RestoreInActiveRect);
  }
  int32_t CountFrames = 1;
  bool Cycle = false, ButtonStyle = false;
  int32_t TimerInterval = 50;
  TvpStdCommand Command = cmDefault;
  Rect DownSkinRect, RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
};

class TvpDataSkinMenuItem : public TvpDataSkinObject {
  VP_DEFINITION(TvpDataSkinMenuItem, TvpDataSkinObject) {
    TvpDataSkinObject::Fields(v);
    v.I("itemleftoffset", ItemLeftOffset);
    v.I("itemrightoffset", ItemRightOffset);
    v.R("dividerrect", DividerRect);
    v.I("dividerleftoffset", DividerLeftOffset);
    v.I("dividerrightoffset", DividerRightOffset);
    v.R("textrect", TextRect);
    v.R("imagerect", ImageRect);
    FontKeys(v, "font", FontName, FontHeight, FontStyle, FontColor);
    v.K("activefontcolor", ActiveFontColor);
    v.K("unenabledfontcolor", UnEnabledFontColor);
    v.F("stretcheffect", StretchEffect);
    v.F("inactivestretcheffect", InActiveStretchEffect);
    v.F("dividerstretcheffect", DividerStretchEffect);
    v.R("animateskinrect", AnimateSkinRect);
    v.I("framecount", FrameCount);
    v.I("animateinterval", AnimateInterval, 25);
    v.F("inactiveanimation", InActiveAnimation);
    v.F("useimagecolor", UseImageColor);
    v.K("imagecolor", ImageColor);
    v.K("activeimagecolor", ActiveImageColor);
  }
  int32_t ItemLeftOffset = 0, ItemRightOffset = 0;
  Rect DividerRect;
  int32_t DividerLeftOffset = 0, DividerRightOffset = 0;
  Rect TextRect, ImageRect;
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle = 0;
  Color FontColor = 0, ActiveFontColor = 0, UnEnabledFontColor = 0;
  bool StretchEffect = false, InActiveStretchEffect = false, DividerStretchEffect = false;
  Rect AnimateSkinRect;
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false, UseImageColor = false;
  Color ImageColor = 0, ActiveImageColor = 0;
};

class TvpDataSkinMainMenuItem : public TvpDataSkinObject {
  VP_DEFINITION(TvpDataSkinMainMenuItem, TvpDataSkinObject) {
    TvpDataSkinObject::Fields(v);
    v.I("itemleftoffset", ItemLeftOffset);
    v.I("itemrightoffset", ItemRightOffset);
    v.R("downrect", DownRect);
    v.R("textrect", TextRect);
    FontKeys(v, "font", FontName, FontHeight, FontStyle, FontColor);
    v.K("activefontcolor", ActiveFontColor);
    v.K("downfontcolor", DownFontColor);
    v.K("unenabledfontcolor", UnEnabledFontColor);
    v.F("stretcheffect", StretchEffect);
    v.R("animateskinrect", AnimateSkinRect);
    v.I("framecount", FrameCount);
    v.I("animateinterval", AnimateInterval, 25);
    v.F("inactiveanimation", InActiveAnimation);
  }
  int32_t ItemLeftOffset = 0, ItemRightOffset = 0;
  Rect DownRect, TextRect;
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle = 0;
  Color FontColor = 0, ActiveFontColor = 0, DownFontColor = 0, UnEnabledFontColor = 0;
  bool StretchEffect = false;
  Rect AnimateSkinRect;
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false;
};

class TvpDataSkinMainMenuBarItem : public TvpDataSkinMainMenuItem {
  VP_DEFINITION(TvpDataSkinMainMenuBarItem, TvpDataSkinMainMenuItem) { TvpDataSkinMainMenuItem::Fields(v); }
};

class TvpDataSkinCaption : public TvpDataSkinObject {
  VP_DEFINITION(TvpDataSkinCaption, TvpDataSkinObject) {
    TvpDataSkinObject::Fields(v);
    v.R("textrect", TextRect);
    FontKeys(v, "font", FontName, FontHeight, FontStyle, FontColor);
    v.K("activefontcolor", ActiveFontColor);
    v.A("alignment", Alignment);
    v.F("light", Light);
    v.K("lightcolor", LightColor);
    v.K("activelightcolor", ActiveLightColor);
    v.F("shadow", Shadow);
    v.K("shadowcolor", ShadowColor);
    v.K("activeshadowcolor", ActiveShadowColor);
    v.R("framerect", FrameRect);
    v.R("activeframerect", ActiveFrameRect);
    v.R("frametextrect", FrameTextRect);
    v.I("frameleftoffset", FrameLeftOffset);
    v.I("framerightoffset", FrameRightOffset);
    v.F("stretcheffect", StretchEffect);
    v.R("animateskinrect", AnimateSkinRect);
    v.I("framecount", FrameCount);
    v.I("animateinterval", AnimateInterval, 25);
    v.F("inactiveanimation", InActiveAnimation);
    v.F("fullframe", FullFrame);
  }
  Rect TextRect;
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle = 0;
  Color FontColor = 0, ActiveFontColor = 0;
  TAlignment Alignment = taCenter;
  bool Light = false;
  Color LightColor = 0, ActiveLightColor = 0;
  bool Shadow = false;
  Color ShadowColor = 0, ActiveShadowColor = 0;
  Rect FrameRect, ActiveFrameRect, FrameTextRect;
  int32_t FrameLeftOffset = 0, FrameRightOffset = 0;
  bool StretchEffect = false;
  Rect AnimateSkinRect;
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool InActiveAnimation = false, FullFrame = false;
};

// --------------------------------------------------------------- controls

class TvpDataSkinControl {
  VP_DEFINITION_ROOT(TvpDataSkinControl) {
    v.I("pictureindex", PictureIndex, -1);
    v.I("maskpictureindex", MaskPictureIndex, -1);
    v.R("skinrect", SkinRect);
  }

  int32_t PictureIndex = -1, MaskPictureIndex = -1;
  Rect SkinRect;
};

// Controls whose image is cut into nine pieces for resizing.
class TvpDataSkinCustomControl : public TvpDataSkinControl {
  VP_DEFINITION(TvpDataSkinCustomControl, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    CornerKeys(v, LTPoint, RTPoint, LBPoint, RBPoint);
    v.R("clientrect", ClientRect);
    v.F("leftstretch", LeftStretch);
    v.F("topstretch", TopStretch);
    v.F("rightstretch", RightStretch);
    v.F("bottomstretch", BottomStretch);
    v.F("stretcheffect", StretchEffect);
  }
  Point LTPoint, RTPoint, LBPoint, RBPoint;
  Rect ClientRect;
  bool LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false, StretchEffect = false;
};

// The font keys shared by many controls: "fontname", "fontheight", "fontstyle", "fontcolor".
struct TvpFontFields {
  std::string FontName;
  int32_t FontHeight = 0;
  TFontStyles FontStyle = 0;
  Color FontColor = 0;
};
#define VP_FONT(v) FontKeys(v, "font", FontName, FontHeight, FontStyle, FontColor)

// Two stepping buttons (up or left, down or right), each normal, hot and pressed.
struct TvpStepButtonFields {
  Rect UpButtonRect, ActiveUpButtonRect, DownUpButtonRect, DownButtonRect, ActiveDownButtonRect, DownDownButtonRect;
  template <class V>
  void StepButtonKeys(V& v) {
    v.R("upbuttonrect", UpButtonRect);
    v.R("activeupbuttonrect", ActiveUpButtonRect);
    v.R("downupbuttonrect", DownUpButtonRect);
    v.R("downbuttonrect", DownButtonRect);
    v.R("activedownbuttonrect", ActiveDownButtonRect);
    v.R("downdownbuttonrect", DownDownButtonRect);
  }
};

// The drop-down button of an edit or combo box, normal, hot, pressed and disabled.
struct TvpDropButtonFields {
  Rect ButtonRect, ActiveButtonRect, DownButtonRect, UnEnabledButtonRect;
  template <class V>
  void DropButtonKeys(V& v) {
    v.R("buttonrect", ButtonRect);
    v.R("activebuttonrect", ActiveButtonRect);
    v.R("downbuttonrect", DownButtonRect);
    v.R("unenabledbuttonrect", UnEnabledButtonRect);
  }
};

// The items of a list: normal, selected and focused cells and the text in them.
struct TvpItemFields {
  Rect ItemRect, ActiveItemRect, FocusItemRect;
  int32_t ItemLeftOffset = 0, ItemRightOffset = 0;
  Rect ItemTextRect;
  template <class V>
  void ItemKeys(V& v) {
    v.R("itemrect", ItemRect);
    v.R("activeitemrect", ActiveItemRect);
    v.R("focusitemrect", FocusItemRect);
    v.I("itemleftoffset", ItemLeftOffset);
    v.I("itemrightoffset", ItemRightOffset);
    v.R("itemtextrect", ItemTextRect);
  }
};

class TvpDataSkinPanelControl : public TvpDataSkinCustomControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinPanelControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.I("bgpictureindex", BGPictureIndex, -1);
    v.R("captionrect", CaptionRect);
    v.A("alignment", Alignment);
    VP_FONT(v);
    v.R("checkimagerect", CheckImageRect);
    v.R("uncheckimagerect", UnCheckImageRect);
    v.R("markframerect", MarkFrameRect);
    v.R("framerect", FrameRect);
    v.R("frametextrect", FrameTextRect);
    v.I("frameleftoffset", FrameLeftOffset);
    v.I("framerightoffset", FrameRightOffset);
    v.R("gripperrect", GripperRect);
    v.F("grippertransparent", GripperTransparent);
    v.K("grippertransparentcolor", GripperTransparentColor);
  }
  int32_t BGPictureIndex = -1;
  Rect CaptionRect;
  TAlignment Alignment = taCenter;
  Rect CheckImageRect, UnCheckImageRect, MarkFrameRect, FrameRect, FrameTextRect;
  int32_t FrameLeftOffset = 0, FrameRightOffset = 0;
  Rect GripperRect;
  bool GripperTransparent = false;
  Color GripperTransparentColor = 0;
};

class TvpDataSkinExPanelControl : public TvpDataSkinCustomControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinExPanelControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("rollhskinrect", RollHSkinRect);
    v.R("rollvskinrect", RollVSkinRect);
    v.I("rollleftoffset", RollLeftOffset);
    v.I("rollrightoffset", RollRightOffset);
    v.I("rolltopoffset", RollTopOffset);
    v.I("rollbottomoffset", RollBottomOffset);
    v.R("rollvcaptionrect", RollVCaptionRect);
    v.R("rollhcaptionrect", RollHCaptionRect);
    v.R("closebuttonrect", CloseButtonRect);
    v.R("closebuttonactiverect", CloseButtonActiveRect);
    v.R("closebuttondownrect", CloseButtonDownRect);
    v.R("hrollbuttonrect", HRollButtonRect);
    v.R("hrollbuttonactiverect", HRollButtonActiveRect);
    v.R("hrollbuttondownrect", HRollButtonDownRect);
    v.R("hrestorebuttonrect", HRestoreButtonRect);
    v.R("hrestorebuttonactiverect", HRestoreButtonActiveRect);
    v.R("hrestorebuttondownrect", HRestoreButtonDownRect);
    v.R("vrollbuttonrect", VRollButtonRect);
    v.R("vrollbuttonactiverect", VRollButtonActiveRect);
    v.R("vrollbuttondownrect", VRollButtonDownRect);
    v.R("vrestorebuttonrect", VRestoreButtonRect);
    v.R("vrestorebuttonactiverect", VRestoreButtonActiveRect);
    v.R("vrestorebuttondownrect", VRestoreButtonDownRect);
    v.R("captionrect", CaptionRect);
    VP_FONT(v);
  }
  Rect RollHSkinRect, RollVSkinRect;
  int32_t RollLeftOffset = 0, RollRightOffset = 0, RollTopOffset = 0, RollBottomOffset = 0;
  Rect RollVCaptionRect, RollHCaptionRect, CloseButtonRect, CloseButtonActiveRect, CloseButtonDownRect;
  Rect HRollButtonRect, HRollButtonActiveRect, HRollButtonDownRect;
  Rect HRestoreButtonRect, HRestoreButtonActiveRect, HRestoreButtonDownRect;
  Rect VRollButtonRect, VRollButtonActiveRect, VRollButtonDownRect;
  Rect VRestoreButtonRect, VRestoreButtonActiveRect, VRestoreButtonDownRect;
  Rect CaptionRect;
};

class TvpDataSkinButtonControl : public TvpDataSkinCustomControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinButtonControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    VP_FONT(v);
    v.K("activefontcolor", ActiveFontColor);
    v.K("downfontcolor", DownFontColor);
    v.K("disabledfontcolor", DisabledFontColor);
    v.R("activeskinrect", ActiveSkinRect);
    v.R("downskinrect", DownSkinRect);
    v.R("disabledskinrect", DisabledSkinRect);
    v.F("morphing", Morphing);
    v.M("morphkind", MorphKind);
    v.R("animateskinrect", AnimateSkinRect);
    v.I("framecount", FrameCount);
    v.I("animateinterval", AnimateInterval, 25);
    v.F("showfocus", ShowFocus);
    v.R("menumarkerflatrect", MenuMarkerFlatRect);
    v.R("menumarkerrect", MenuMarkerRect);
    v.R("menumarkeractiverect", MenuMarkerActiveRect);
    v.R("menumarkerdownrect", MenuMarkerDownRect);
    v.K("menumarkertransparentcolor", MenuMarkerTransparentColor);
  }
  Color ActiveFontColor = 0, DownFontColor = 0, DisabledFontColor = 0;
  Rect ActiveSkinRect, DownSkinRect, DisabledSkinRect;
  bool Morphing = false;
  TvpMorphKind MorphKind = mkDefault;
  Rect AnimateSkinRect;
  int32_t FrameCount = 0, AnimateInterval = 0;
  bool ShowFocus = false;
  Rect MenuMarkerFlatRect, MenuMarkerRect, MenuMarkerActiveRect, MenuMarkerDownRect;
  Color MenuMarkerTransparentColor = 0;
};

class TvpDataSkinMenuButtonControl : public TvpDataSkinButtonControl {
  VP_DEFINITION(TvpDataSkinMenuButtonControl, TvpDataSkinButtonControl) {
    TvpDataSkinButtonControl::Fields(v);
    v.R("trackbuttonrect", TrackButtonRect);
  }
  Rect TrackButtonRect;
};

class TvpDataSkinCheckRadioControl : public TvpDataSkinCustomControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinCheckRadioControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    VP_FONT(v);
    v.K("activefontcolor", ActiveFontColor);
    v.K("unenabledfontcolor", UnEnabledFontColor);
    v.K("framefontcolor", FrameFontColor);
    v.R("activeskinrect", ActiveSkinRect);
    v.R("checkimagearea", CheckImageArea);
    v.R("textarea", TextArea);
    v.R("checkimagerect", CheckImageRect);
    v.R("uncheckimagerect", UnCheckImageRect);
    v.R("activecheckimagerect", ActiveCheckImageRect);
    v.R("activeuncheckimagerect", ActiveUnCheckImageRect);
    v.R("unenabledcheckimagerect", UnEnabledCheckImageRect);
    v.R("unenableduncheckimagerect", UnEnabledUnCheckImageRect);
    v.F("morphing", Morphing);
    v.M("morphkind", MorphKind);
  }
  Color ActiveFontColor = 0, UnEnabledFontColor = 0, FrameFontColor = 0;
  Rect ActiveSkinRect, CheckImageArea, TextArea, CheckImageRect, UnCheckImageRect;
  Rect ActiveCheckImageRect, ActiveUnCheckImageRect, UnEnabledCheckImageRect, UnEnabledUnCheckImageRect;
  bool Morphing = false;
  TvpMorphKind MorphKind = mkDefault;
};

class TvpDataSkinGaugeControl : public TvpDataSkinCustomControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinGaugeControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("progressarea", ProgressArea);
    v.R("progressrect", ProgressRect);
    v.I("beginoffset", BeginOffset);
    v.I("endoffset", EndOffset);
    v.F("vertical", Vertical);
    VP_FONT(v);
    v.F("progresstransparent", ProgressTransparent);
    v.K("progresstransparentcolor", ProgressTransparentColor);
    v.F("progressstretch", ProgressStretch);
  }
  Rect ProgressArea, ProgressRect;
  int32_t BeginOffset = 0, EndOffset = 0;
  bool Vertical = false, ProgressTransparent = false;
  Color ProgressTransparentColor = 0;
  bool ProgressStretch = false;
};

class TvpDataSkinSplitterControl : public TvpDataSkinCustomControl {
  VP_DEFINITION(TvpDataSkinSplitterControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("gripperrect", GripperRect);
    v.F("grippertransparent", GripperTransparent);
    v.K("grippertransparentcolor", GripperTransparentColor);
  }
  Rect GripperRect;
  bool GripperTransparent = false;
  Color GripperTransparentColor = 0;
};

class TvpDataSkinTrackBarControl : public TvpDataSkinCustomControl {
  VP_DEFINITION(TvpDataSkinTrackBarControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("trackarea", TrackArea);
    v.R("buttonrect", ButtonRect);
    v.R("activebuttonrect", ActiveButtonRect);
    v.F("vertical", Vertical);
    v.F("buttontransparent", ButtonTransparent);
    v.K("buttontransparentcolor", ButtonTransparentColor);
  }
  Rect TrackArea, ButtonRect, ActiveButtonRect;
  bool Vertical = false, ButtonTransparent = false;
  Color ButtonTransparentColor = 0;
};

class TvpDataSkinLabelControl : public TvpDataSkinCustomControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinLabelControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    VP_FONT(v);
  }
};

class TvpDataSkinStdLabelControl : public TvpDataSkinControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinStdLabelControl, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    VP_FONT(v);
    v.K("activefontcolor", ActiveFontColor, 16711680);
  }
  Color ActiveFontColor = 0;
};

class TvpDataSkinUpDownControl : public TvpDataSkinCustomControl, public TvpStepButtonFields {
  VP_DEFINITION(TvpDataSkinUpDownControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    if constexpr (V::kReading) {
      // Up-down buttons are never cut into pieces.
      LTPoint = RTPoint = LBPoint = RBPoint = Point{};
      ClientRect = Rect{};
    }
    StepButtonKeys(v);
  }
};

class TvpDataSkinGridControl : public TvpDataSkinControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinGridControl, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    v.R("fixedcellrect", FixedCellRect);
    v.R("selectcellrect", SelectCellRect);
    v.R("focuscellrect", FocusCellRect);
    v.I("fixedcellleftoffset", FixedCellLeftOffset);
    v.I("fixedcellrightoffset", FixedCellRightOffset);
    v.R("fixedcelltextrect", FixedCellTextRect);
    v.I("cellleftoffset", CellLeftOffset);
    v.I("cellrightoffset", CellRightOffset);
    v.R("celltextrect", CellTextRect);
    v.K("linescolor", LinesColor);
    v.K("bgcolor", BGColor);
    VP_FONT(v);
    v.K("selectfontcolor", SelectFontColor);
    v.K("focusfontcolor", FocusFontColor);
    FontKeys(v, "fixedfont", FixedFontName, FixedFontHeight, FixedFontStyle, FixedFontColor);
    v.F("cellstretcheffect", CellStretchEffect);
    v.F("fixedcellstretcheffect", FixedCellStretchEffect);
    v.F("showfocus", ShowFocus);
  }
  Rect FixedCellRect, SelectCellRect, FocusCellRect;
  int32_t FixedCellLeftOffset = 0, FixedCellRightOffset = 0;
  Rect FixedCellTextRect;
  int32_t CellLeftOffset = 0, CellRightOffset = 0;
  Rect CellTextRect;
  Color LinesColor = 0, BGColor = 0, SelectFontColor = 0, FocusFontColor = 0;
  std::string FixedFontName;
  int32_t FixedFontHeight = 0;
  TFontStyles FixedFontStyle = 0;
  Color FixedFontColor = 0;
  bool CellStretchEffect = false, FixedCellStretchEffect = false, ShowFocus = false;
};

class TvpDataSkinTabControl : public TvpDataSkinControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinTabControl, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    v.R("tabrect", TabRect);
    v.R("activetabrect", ActiveTabRect);
    v.R("focustabrect", FocusTabRect);
    v.R("mouseintabrect", MouseInTabRect);
    v.R("clientrect", ClientRect);
    v.I("bgpictureindex", BGPictureIndex, -1);
    CornerKeys(v, LTPoint, RTPoint, LBPoint, RBPoint);
    v.I("tableftoffset", TabLeftOffset);
    v.I("tabrightoffset", TabRightOffset);
    v.R("tabsbgrect", TabsBGRect);
    v.F("tabstretcheffect", TabStretchEffect);
    v.F("leftstretch", LeftStretch);
    v.F("topstretch", TopStretch);
    v.F("rightstretch", RightStretch);
    v.F("bottomstretch", BottomStretch);
    VP_FONT(v);
    v.K("activefontcolor", ActiveFontColor);
    v.K("focusfontcolor", FocusFontColor);
    v.K("mouseinfontcolor", MouseInFontColor);
    v.T("updown", UpDown);
    v.F("showfocus", ShowFocus);
    v.I("focusoffsetx", FocusOffsetX);
    v.I("focusoffsety", FocusOffsetY);
  }
  Rect TabRect, ActiveTabRect, FocusTabRect, MouseInTabRect, ClientRect;
  int32_t BGPictureIndex = -1;
  Point LTPoint, RTPoint, LBPoint, RBPoint;
  int32_t TabLeftOffset = 0, TabRightOffset = 0;
  Rect TabsBGRect;
  bool TabStretchEffect = false, LeftStretch = false, TopStretch = false, RightStretch = false, BottomStretch = false;
  Color ActiveFontColor = 0, FocusFontColor = 0, MouseInFontColor = 0;
  std::string UpDown;
  bool ShowFocus = false;
  int32_t FocusOffsetX = 0, FocusOffsetY = 0;
};

class TvpDataSkinMainMenuBar : public TvpDataSkinControl {
  VP_DEFINITION(TvpDataSkinMainMenuBar, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    v.R("itemsrect", ItemsRect);
    v.T("menubaritem", MenuBarItem);
    v.T("closebutton", CloseButton);
    v.T("minbutton", MinButton);
    v.T("maxbutton", MaxButton);
    v.T("sysmenubutton", SysMenuButton);
    v.K("trackmarkcolor", TrackMarkColor);
    v.K("trackmarkactivecolor", TrackMarkActiveColor);
  }
  Rect ItemsRect;
  std::string MenuBarItem, CloseButton, MinButton, MaxButton, SysMenuButton;
  Color TrackMarkColor = 0, TrackMarkActiveColor = 0;
};

class TvpDataSkinControlBar : public TvpDataSkinCustomControl {
  VP_DEFINITION(TvpDataSkinControlBar, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("itemrect", ItemRect);
    v.I("bgpictureindex", BGPictureIndex, -1);
    v.R("hgriprect", HGripRect);
    v.R("vgriprect", VGripRect);
    v.I("gripoffset1", GripOffset1);
    v.I("gripoffset2", GripOffset2);
  }
  Rect ItemRect;
  int32_t BGPictureIndex = -1;
  Rect HGripRect, VGripRect;
  int32_t GripOffset1 = 0, GripOffset2 = 0;
};

class TvpDataSkinEditControl : public TvpDataSkinCustomControl, public TvpFontFields, public TvpDropButtonFields {
  VP_DEFINITION(TvpDataSkinEditControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("activeskinrect", ActiveSkinRect);
    VP_FONT(v);
    v.K("disabledfontcolor", DisabledFontColor);
    v.K("activefontcolor", ActiveFontColor);
    DropButtonKeys(v);
  }
  Rect ActiveSkinRect;
  Color DisabledFontColor = 0, ActiveFontColor = 0;
};

class TvpDataSkinMemoControl : public TvpDataSkinEditControl {
  VP_DEFINITION(TvpDataSkinMemoControl, TvpDataSkinEditControl) {
    TvpDataSkinEditControl::Fields(v);
    v.K("bgcolor", BGColor);
    v.K("activebgcolor", ActiveBGColor);
  }
  Color BGColor = 0, ActiveBGColor = 0;
};

class TvpDataSkinListBox : public TvpDataSkinCustomControl,
                           public TvpFontFields,
                           public TvpItemFields,
                           public TvpStepButtonFields {
  VP_DEFINITION(TvpDataSkinListBox, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    ItemKeys(v);
    VP_FONT(v);
    v.K("activefontcolor", ActiveFontColor);
    v.K("focusfontcolor", FocusFontColor);
    v.R("captionrect", CaptionRect);
    FontKeys(v, "captionfont", CaptionFontName, CaptionFontHeight, CaptionFontStyle, CaptionFontColor);
    StepButtonKeys(v);
    v.R("checkbuttonrect", CheckButtonRect);
    v.R("activecheckbuttonrect", ActiveCheckButtonRect);
    v.R("downcheckbuttonrect", DownCheckButtonRect);
    v.T("vscrollbarname", VScrollBarName, "vscrollbar");
    v.T("hscrollbarname", HScrollBarName, "hscrollbar");
    v.T("bothhscrollbarname", BothScrollBarName, "bothhscrollbar");
    v.F("showfocus", ShowFocus);
  }
  Color ActiveFontColor = 0, FocusFontColor = 0;
  Rect CaptionRect;
  std::string CaptionFontName;
  int32_t CaptionFontHeight = 0;
  TFontStyles CaptionFontStyle = 0;
  Color CaptionFontColor = 0;
  Rect CheckButtonRect, ActiveCheckButtonRect, DownCheckButtonRect;
  std::string VScrollBarName, HScrollBarName, BothScrollBarName;
  bool ShowFocus = false;
};

class TvpDataSkinCheckListBox : public TvpDataSkinListBox {
  VP_DEFINITION(TvpDataSkinCheckListBox, TvpDataSkinListBox) {
    TvpDataSkinListBox::Fields(v);
    v.R("itemcheckrect", ItemCheckRect);
    v.R("checkimagerect", CheckImageRect);
    v.R("uncheckimagerect", UnCheckImageRect);
  }
  Rect ItemCheckRect, CheckImageRect, UnCheckImageRect;
};

class TvpDataSkinComboBox : public TvpDataSkinCustomControl,
                            public TvpFontFields,
                            public TvpItemFields,
                            public TvpDropButtonFields {
  VP_DEFINITION(TvpDataSkinComboBox, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("activeskinrect", ActiveSkinRect);
    ItemKeys(v);
    VP_FONT(v);
    v.K("focusfontcolor", FocusFontColor);
    v.K("activefontcolor", ActiveFontColor);
    v.T("listboxname", ListBoxName);
    DropButtonKeys(v);
    v.F("itemstretcheffect", ItemStretchEffect);
    v.F("focusitemstretcheffect", FocusItemStretchEffect);
    v.F("showfocus", ShowFocus);
  }
  Rect ActiveSkinRect;
  Color FocusFontColor = 0, ActiveFontColor = 0;
  std::string ListBoxName;
  bool ItemStretchEffect = false, FocusItemStretchEffect = false, ShowFocus = false;
};

class TvpDataSkinScrollBarControl : public TvpDataSkinCustomControl, public TvpStepButtonFields {
  VP_DEFINITION(TvpDataSkinScrollBarControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("trackarea", TrackArea);
    StepButtonKeys(v);
    v.R("thumbrect", ThumbRect);
    v.R("activethumbrect", ActiveThumbRect);
    v.R("downthumbrect", DownThumbRect);
    v.I("thumboffset1", ThumbOffset1);
    v.I("thumboffset2", ThumbOffset2);
    v.F("thumbtransparent", ThumbTransparent);
    v.K("thumbtransparentcolor", ThumbTransparentColor);
    v.R("glyphrect", GlyphRect);
    v.R("activeglyphrect", ActiveGlyphRect);
    v.R("downglyphrect", DownGlyphRect);
  }
  Rect TrackArea, ThumbRect, ActiveThumbRect, DownThumbRect;
  int32_t ThumbOffset1 = 0, ThumbOffset2 = 0;
  bool ThumbTransparent = false;
  Color ThumbTransparentColor = 0;
  Rect GlyphRect, ActiveGlyphRect, DownGlyphRect;
};

class TvpDataSkinSpinEditControl : public TvpDataSkinCustomControl, public TvpFontFields, public TvpStepButtonFields {
  VP_DEFINITION(TvpDataSkinSpinEditControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.R("activeskinrect", ActiveSkinRect);
    VP_FONT(v);
    v.K("activefontcolor", ActiveFontColor);
    v.K("disabledfontcolor", DisabledFontColor);
    StepButtonKeys(v);
  }
  Rect ActiveSkinRect;
  Color ActiveFontColor = 0, DisabledFontColor = 0;
};

class TvpDataSkinScrollBoxControl : public TvpDataSkinCustomControl {
  VP_DEFINITION(TvpDataSkinScrollBoxControl, TvpDataSkinCustomControl) {
    TvpDataSkinCustomControl::Fields(v);
    v.I("bgpictureindex", BGPictureIndex, -1);
  }
  int32_t BGPictureIndex = -1;
};

class TvpDataSkinTreeView : public TvpDataSkinControl, public TvpFontFields {
  VP_DEFINITION(TvpDataSkinTreeView, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    VP_FONT(v);
    v.K("bgcolor", BGColor);
  }
  Color BGColor = 0;
};

// List views and rich edits are drawn by the platform as tree views are:
// only the font and the background colour come from the skin.
class TvpDataSkinListView : public TvpDataSkinTreeView {
  VP_DEFINITION(TvpDataSkinListView, TvpDataSkinTreeView) { TvpDataSkinTreeView::Fields(v); }
};

class TvpDataSkinRichEdit : public TvpDataSkinTreeView {
  VP_DEFINITION(TvpDataSkinRichEdit, TvpDataSkinTreeView) { TvpDataSkinTreeView::Fields(v); }
};

class TvpDataSkinBevel : public TvpDataSkinControl {
  VP_DEFINITION(TvpDataSkinBevel, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    v.K("lightcolor", LightColor);
    v.K("darkcolor", DarkColor);
  }
  Color LightColor = 0, DarkColor = 0;
};

class TvpDataSkinSlider : public TvpDataSkinControl {
  VP_DEFINITION(TvpDataSkinSlider, TvpDataSkinControl) {
    TvpDataSkinControl::Fields(v);
    v.K("bgcolor", BGColor);
    v.R("hrulerrect", HRulerRect);
    v.R("hthumbrect", HThumbRect);
    v.R("vrulerrect", VRulerRect);
    v.R("vthumbrect", VThumbRect);
    v.I("edgesize", EdgeSize);
    v.K("pointscolor", PointsColor);
  }
  Color BGColor = 0;
  Rect HRulerRect, HThumbRect, VRulerRect, VThumbRect;
  int32_t EdgeSize = 0;
  Color PointsColor = 0;
};

#undef VP_FONT

// ------------------------------------------------- fixed-section objects

class TvpDataSkinPopupWindow {
  VP_FIXED_SECTION("POPUPWINDOW") {
    v.I("windowpictureindex", WindowPictureIndex, -1);
    v.I("maskpictureindex", MaskPictureIndex, -1);
    CornerKeys(v, LTPoint, RTPoint, LBPoint, RBPoint);
    v.R("itemsrect", ItemsRect);
    v.K("scrollmarkercolor", ScrollMarkerColor);
    v.K("scrollmarkeractivecolor", ScrollMarkerActiveColor);
    BorderStretchKeys(v, LeftStretch, RightStretch, TopStretch, BottomStretch);
  }
  int32_t WindowPictureIndex = -1, MaskPictureIndex = -1;
  Point LTPoint, RTPoint, LBPoint, RBPoint;
  Rect ItemsRect;
  Color ScrollMarkerColor = 0, ScrollMarkerActiveColor = 0;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
};

class TvpDataSkinHintWindow {
  VP_FIXED_SECTION("HINTWINDOW") {
    v.I("windowpictureindex", WindowPictureIndex, -1);
    v.I("maskpictureindex", MaskPictureIndex, -1);
    CornerKeys(v, LTPoint, RTPoint, LBPoint, RBPoint);
    v.R("clientrect", ClientRect);
    FontKeys(v, "font", FontName, FontHeight, FontStyle, FontColor);
    BorderStretchKeys(v, LeftStretch, RightStretch, TopStretch, BottomStretch);
  }
  int32_t WindowPictureIndex = -1, MaskPictureIndex = -1;
  Point LTPoint, RTPoint, LBPoint, RBPoint;
  Rect ClientRect;
  std::string FontName = "Arial";
  int32_t FontHeight = 12;
  TFontStyles FontStyle = 0;
  Color FontColor = 0;
  bool LeftStretch = false, RightStretch = false, TopStretch = false, BottomStretch = false;
};

// The skin's own values for the system colours; absent keys keep the system's.
class TvpSkinColors {
  VP_FIXED_SECTION("SKINCOLORS") {
    v.K("cbtnface", BtnFace, clBtnFace);
    v.K("cbtntext", BtnText, clBtnText);
    v.K("cwindow", Window, clWindow);
    v.K("cwindowtext", WindowText, clWindowText);
    v.K("chighlight", Highlight, clHighlight);
    v.K("chighlighttext", HighlightText, clHighlightText);
    v.K("cbtnhighlight", BtnHighlight, clBtnHighlight);
    v.K("cbtnshadow", BtnShadow, clBtnShadow);
  }
  void SetSystemColors() { LoadFromIni(TMemIniFile()); }
  Color BtnFace = 0, BtnText = 0, Window = 0, WindowText = 0, Highlight = 0, HighlightText = 0, BtnHighlight = 0,
        BtnShadow = 0;
};

// ------------------------------------------------------------------ lists

// A definition of the class registered for an exact-case type name, or null.
std::unique_ptr<TvpDataSkinObject> CreateSkinObject(std::string_view type, const std::string& name);
std::unique_ptr<TvpDataSkinControl> CreateSkinControl(std::string_view type, const std::string& name);

// Reads "count" and the "name:type" entries of [SKINOBJECTS] / [SKINCONTROLS],
// appending each definition before it reads its own section.
void ReadObjects(const TMemIniFile& ini, std::vector<std::unique_ptr<TvpDataSkinObject>>& list);
void ReadControls(const TMemIniFile& ini, std::vector<std::unique_ptr<TvpDataSkinControl>>& list);

}  // namespace vp
