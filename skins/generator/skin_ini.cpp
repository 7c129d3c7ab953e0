// skin.ini: the skin's definitions, filled field by field and written by
// their own key lists.
#include <cstdint>
#include <set>
#include <string>

#include "skin/core/vpSkinData.h"
#include "skin/core/vpSkinDefs.h"
#include "skins/generator/generator.h"

namespace skingen {

namespace {

using namespace vp;

// The skin.ini being written, and the fields given a value in the definition
// being filled: only those are written, in the order of the definition's own
// key list, so the file holds what the skin means and no more.
TMemIniFile gIni;
std::set<const void*> gGiven;

template <class F, class V>
void Set(F& field, const V& value) {
  field = static_cast<F>(value);
  gGiven.insert(&field);
}

// IniWriteVisitor for the given fields only.
struct GivenWriteVisitor {
  IniWriteVisitor W;
  static constexpr bool kReading = false;
  bool Given(const void* field) const { return gGiven.count(field) != 0; }
  void R(const char* k, Rect& v) { if (Given(&v)) W.R(k, v); }
  void P(const char* k, Point& v) { if (Given(&v)) W.P(k, v); }
  void F(const char* k, bool& v) { if (Given(&v)) W.F(k, v); }
  void I(const char* k, int32_t& v, int32_t = 0) { if (Given(&v)) W.I(k, v); }
  void K(const char* k, Color& v, Color = 0) { if (Given(&v)) W.K(k, v); }
  void T(const char* k, std::string& v, const char* = "") { if (Given(&v)) W.T(k, v); }
  void S(const char* k, TFontStyles& v) { if (Given(&v)) W.S(k, v); }
  void A(const char* k, TAlignment& v) { if (Given(&v)) W.A(k, v); }
  void M(const char* k, TvpMorphKind& v) { if (Given(&v)) W.M(k, v); }
  void Cmd(const char* k, TvpStdCommand& v) { if (Given(&v)) W.Cmd(k, v); }
  void E(const char* k, TvpInActiveEffect& v) { if (Given(&v)) W.E(k, v); }
};

// Writes the given fields of `keys` (a definition's key list) as `section`.
template <class KeyList>
void Emit(const std::string& section, KeyList keys) {
  GivenWriteVisitor v{IniWriteVisitor{gIni, section}};
  keys(v);
  gGiven.clear();
}
template <class D>
void Emit(D& d) {
  Emit(d.SectionName, [&d](auto& v) { d.Fields(v); });
}
template <class D>
void EmitFixed(D& d) {
  Emit(D::kSection, [&d](auto& v) { d.Fields(v); });
}

// The text in the file's layout: a comment, then the sections, each after a
// blank line.
std::string Text(const TMemIniFile& ini) {
  std::string t = "; Platora default skin, drawn by skins/generator/default_skin.cpp; do not edit by hand.\r\n";
  for (const std::string& section : ini.ReadSections()) {
    t += "\r\n[" + section + "]\r\n";
    for (const std::string& key : ini.ReadSection(section)) t += key + "=" + *ini.FindValue(section, key) + "\r\n";
  }
  return t;
}

int ColorValue(Color c) { return static_cast<int>(c); }

// A counted list: `countKey`, then "0", "1", ... in order.
template <size_t N>
void WriteList(const char* section, const char* countKey, const char* const (&items)[N]) {
  gIni.WriteInteger(section, countKey, static_cast<int32_t>(N));
  for (size_t i = 0; i < N; ++i) gIni.WriteString(section, std::to_string(i), items[i]);
}

// The face all texts use, in `color`.
void Font(std::string& name, int32_t& height, TFontStyles& style, Color& color, int colorValue) {
  Set(name, "Arial");
  Set(height, 14);
  Set(style, 0);
  Set(color, colorValue);
}
template <class D>
void Font(D& d, int color) {
  Font(d.FontName, d.FontHeight, d.FontStyle, d.FontColor, color);
}

// The shaped-control keys: the image cut with a `b`-pixel border all round.
template <class D>
void Shaped(D& d, Rect img, int b, bool stretchMiddle = true) {
  const int w = img.Width(), h = img.Height();
  Set(d.LTPoint, Point{b, b});
  Set(d.RTPoint, Point{w - b, b});
  Set(d.LBPoint, Point{b, h - b});
  Set(d.RBPoint, Point{w - b, h - b});
  Set(d.ClientRect, Rect{b, b, w - b, h - b});
  Set(d.LeftStretch, 1);
  Set(d.TopStretch, 1);
  Set(d.RightStretch, 1);
  Set(d.BottomStretch, 1);
  Set(d.StretchEffect, stretchMiddle ? 1 : 0);
}

// A control's picture: its image in controls.bmp, with a mask or none.
template <class D>
void Base(D& d, Rect img, int mask = -1) {
  Set(d.PictureIndex, kControls);
  Set(d.MaskPictureIndex, mask);
  Set(d.SkinRect, img);
}

// Stepping buttons cut from the images named `up` and `down` and their
// ".active" and ".down" looks.
void StepButtons(TvpStepButtonFields& d, const std::string& up, const std::string& down) {
  Set(d.UpButtonRect, A(up));
  Set(d.ActiveUpButtonRect, A(up + ".active"));
  Set(d.DownUpButtonRect, A(up + ".down"));
  Set(d.DownButtonRect, A(down));
  Set(d.ActiveDownButtonRect, A(down + ".active"));
  Set(d.DownDownButtonRect, A(down + ".down"));
}

// The drop-down arrow button in its four looks.
void DropButton(TvpDropButtonFields& d) {
  Set(d.ButtonRect, A("drop"));
  Set(d.ActiveButtonRect, A("drop.active"));
  Set(d.DownButtonRect, A("drop.down"));
  Set(d.UnEnabledButtonRect, A("drop.disabled"));
}

// List items: normal, selected and focused cells, text inset by 3.
void Items(TvpItemFields& d) {
  Set(d.ItemRect, A("item"));
  Set(d.ActiveItemRect, A("item.active"));
  Set(d.FocusItemRect, A("item.focus"));
  Set(d.ItemLeftOffset, 3);
  Set(d.ItemRightOffset, 3);
  Set(d.ItemTextRect, Rect{4, 1, 44, 17});
}

const int kText = ColorValue(Rgb(20, 28, 40));
const int kTextHot = ColorValue(Rgb(20, 50, 110));
const int kTextOff = 8421504;

void ButtonControl(const std::string& name, bool menu, const std::string& track = "") {
  TvpDataSkinMenuButtonControl d(name);
  Base(d, A("button"), kButtonMask);
  Shaped(d, A("button"), 3);
  Font(d, kText);
  Set(d.ActiveFontColor, kTextHot);
  Set(d.DownFontColor, kText);
  Set(d.DisabledFontColor, kTextOff);
  Set(d.ActiveSkinRect, A("button.active"));
  Set(d.DownSkinRect, A("button.down"));
  Set(d.DisabledSkinRect, A("button.disabled"));
  Set(d.Morphing, 0);
  Set(d.MorphKind, mkDefault);
  Set(d.ShowFocus, 1);
  if (menu) {
    Set(d.MenuMarkerRect, A("drop"));
    Set(d.MenuMarkerActiveRect, A("drop.active"));
    Set(d.MenuMarkerDownRect, A("drop.down"));
    Set(d.MenuMarkerTransparentColor, ColorValue(kCtlBack));
    Set(d.TrackButtonRect, A(track.empty() ? "drop" : track));
  }
  Emit(d);
}

void PanelControl(const std::string& name, const std::string& img, bool caption) {
  TvpDataSkinPanelControl d(name);
  Base(d, A(img));
  Shaped(d, A(img), caption ? 8 : 2);
  Set(d.BGPictureIndex, -1);
  if (caption) Set(d.CaptionRect, Rect{8, 0, A(img).Width() - 8, 12});
  Set(d.Alignment, taLeftJustify);
  Font(d, kText);
  Set(d.CheckImageRect, A("check.on"));
  Set(d.UnCheckImageRect, A("check.off"));
  Emit(d);
}

void CheckRadio(const std::string& name, const std::string& kind) {
  TvpDataSkinCheckRadioControl d(name);
  Base(d, A("label"));
  Shaped(d, A("label"), 0);
  Font(d, kText);
  Set(d.ActiveFontColor, kTextHot);
  Set(d.UnEnabledFontColor, kTextOff);
  Set(d.FrameFontColor, kText);
  Set(d.ActiveSkinRect, A("label"));
  Set(d.CheckImageArea, Rect{0, 1, 13, 14});
  Set(d.TextArea, Rect{17, 0, 48, 16});
  Set(d.CheckImageRect, A(kind + ".on"));
  Set(d.UnCheckImageRect, A(kind + ".off"));
  Set(d.ActiveCheckImageRect, A(kind + ".on.active"));
  Set(d.ActiveUnCheckImageRect, A(kind + ".off.active"));
  Set(d.UnEnabledCheckImageRect, A(kind + ".on.disabled"));
  Set(d.UnEnabledUnCheckImageRect, A(kind + ".off.disabled"));
  Set(d.Morphing, 0);
  Set(d.MorphKind, mkDefault);
  Emit(d);
}

void Gauge(const std::string& name, bool vertical) {
  TvpDataSkinGaugeControl d(name);
  const Rect g = A(vertical ? "vgauge" : "gauge");
  Base(d, g);
  Shaped(d, g, 2);
  Set(d.ProgressArea, Rect{2, 2, g.Width() - 2, g.Height() - 2});
  Set(d.ProgressRect, A(vertical ? "vgauge.bar" : "gauge.bar"));
  Set(d.BeginOffset, 0);
  Set(d.EndOffset, 0);
  Set(d.Vertical, vertical ? 1 : 0);
  Font(d, kText);
  Set(d.ProgressTransparent, 0);
  Set(d.ProgressStretch, 1);
  Emit(d);
}

void TrackBar(const std::string& name, bool vertical) {
  TvpDataSkinTrackBarControl d(name);
  const Rect t = A(vertical ? "trackbar.v" : "trackbar.h");
  Base(d, t, vertical ? kVsTbMask : kHsTbMask);
  Shaped(d, t, 4);
  Set(d.TrackArea, vertical ? Rect{0, 5, 18, 43} : Rect{5, 0, 43, 18});
  Set(d.ButtonRect, A(vertical ? "thumb.v" : "thumb.h"));
  Set(d.ActiveButtonRect, A(vertical ? "thumb.v.active" : "thumb.h.active"));
  Set(d.Vertical, vertical ? 1 : 0);
  Set(d.ButtonTransparent, 1);
  Set(d.ButtonTransparentColor, ColorValue(kCtlBack));
  Emit(d);
}

void ScrollBar(const std::string& name, bool vertical) {
  TvpDataSkinScrollBarControl d(name);
  const Rect s = A(vertical ? "vscrollbar" : "hscrollbar");
  Base(d, s);
  Set(d.LTPoint, vertical ? Point{0, 16} : Point{16, 0});
  Set(d.RTPoint, vertical ? Point{16, 16} : Point{32, 0});
  Set(d.LBPoint, vertical ? Point{0, 32} : Point{16, 16});
  Set(d.RBPoint, vertical ? Point{16, 32} : Point{32, 16});
  Set(d.ClientRect, vertical ? Rect{0, 16, 16, 32} : Rect{16, 0, 32, 16});
  Set(d.LeftStretch, 1);
  Set(d.TopStretch, 1);
  Set(d.RightStretch, 1);
  Set(d.BottomStretch, 1);
  Set(d.StretchEffect, 1);
  Set(d.TrackArea, vertical ? Rect{0, 16, 16, 32} : Rect{16, 0, 32, 16});
  const std::string a = vertical ? "sb.up" : "sb.left", b = vertical ? "sb.down" : "sb.right";
  StepButtons(d, a, b);
  const std::string t = vertical ? "sb.vthumb" : "sb.hthumb";
  Set(d.ThumbRect, A(t));
  Set(d.ActiveThumbRect, A(t + ".active"));
  Set(d.DownThumbRect, A(t + ".down"));
  Set(d.ThumbOffset1, 3);
  Set(d.ThumbOffset2, 3);
  Set(d.ThumbTransparent, 0);
  Emit(d);
}

void EditControl(const std::string& name, bool button, bool memo) {
  TvpDataSkinMemoControl d(name);
  Base(d, A("edit"));
  Shaped(d, A("edit"), 2);
  Set(d.ActiveSkinRect, A("edit.active"));
  Font(d, kText);
  Set(d.DisabledFontColor, kTextOff);
  Set(d.ActiveFontColor, kText);
  if (button) {
    DropButton(d);
  }
  if (memo) {
    Set(d.BGColor, ColorValue(plat::clWhite));
    Set(d.ActiveBGColor, ColorValue(plat::clWhite));
  }
  Emit(d);
}

void SpinEdit(const std::string& name) {
  TvpDataSkinSpinEditControl d(name);
  Base(d, A("edit"));
  Shaped(d, A("edit"), 2);
  Set(d.ActiveSkinRect, A("edit.active"));
  Font(d, kText);
  Set(d.ActiveFontColor, kText);
  Set(d.DisabledFontColor, kTextOff);
  StepButtons(d, "spin.up", "spin.down");
  Emit(d);
}

void ComboBox(const std::string& name, const std::string& list) {
  TvpDataSkinComboBox d(name);
  Base(d, A("edit"));
  Shaped(d, A("edit"), 2);
  Set(d.ActiveSkinRect, A("edit.active"));
  Items(d);
  Font(d, kText);
  Set(d.FocusFontColor, kText);
  Set(d.ActiveFontColor, kText);
  Set(d.ListBoxName, list);
  DropButton(d);
  Set(d.ItemStretchEffect, 1);
  Set(d.FocusItemStretchEffect, 1);
  Set(d.ShowFocus, 1);
  Emit(d);
}

void ListBox(const std::string& name, bool check, bool caption) {
  TvpDataSkinCheckListBox d(name);
  const Rect frame = A(caption ? "panel" : "edit");
  Base(d, frame);
  Shaped(d, frame, caption ? 3 : 2);
  Items(d);
  Font(d, kText);
  Set(d.ActiveFontColor, kText);
  Set(d.FocusFontColor, kText);
  if (caption) {
    Set(d.CaptionRect, Rect{3, 3, 45, 17});
    Font(d.CaptionFontName, d.CaptionFontHeight, d.CaptionFontStyle, d.CaptionFontColor, kText);
  }
  StepButtons(d, "sb.up", "sb.down");
  Set(d.VScrollBarName, "vscrollbar");
  Set(d.HScrollBarName, "hscrollbar");
  Set(d.BothScrollBarName, "bothhscrollbar");
  Set(d.ShowFocus, 1);
  if (check) {
    Set(d.ItemCheckRect, Rect{3, 3, 16, 16});
    Set(d.CheckImageRect, A("check.on"));
    Set(d.UnCheckImageRect, A("check.off"));
  }
  Emit(d);
}

void Label(const std::string& name, const std::string& img) {
  TvpDataSkinLabelControl d(name);
  Base(d, A(img));
  Shaped(d, A(img), img == "label" ? 0 : 2);
  Font(d, kText);
  Emit(d);
}

void Splitter(const std::string& name, bool vertical) {
  TvpDataSkinSplitterControl d(name);
  const Rect g = A(vertical ? "grip.v" : "grip.h");
  Base(d, A("label"));
  Shaped(d, A("label"), 0);
  Set(d.GripperRect, g);
  Set(d.GripperTransparent, 1);
  Set(d.GripperTransparentColor, ColorValue(kCtlBack));
  Emit(d);
}

void UpDown(const std::string& name, bool vertical) {
  TvpDataSkinUpDownControl d(name);
  Base(d, A("label"));
  Shaped(d, A("label"), 0);
  const std::string a = vertical ? "sb.up" : "sb.left", b = vertical ? "sb.down" : "sb.right";
  StepButtons(d, a, b);
  Emit(d);
}

void PlainView(const std::string& name) {
  TvpDataSkinTreeView d(name);
  Base(d, A("edit"));
  Font(d, kText);
  Set(d.BGColor, ColorValue(plat::clWhite));
  Emit(d);
}

}  // namespace

std::string SkinIni() {
  gIni.Clear();
  gIni.WriteInteger("VERSION", "ver", 3);
  gIni.WriteString("VERSION", "skinname", "Platora Slate");
  gIni.WriteString("VERSION", "skinauthor", "Platora");
  gIni.WriteString("VERSION", "authoremail", "");
  gIni.WriteString("VERSION", "authorurl", "");
  gIni.WriteString("VERSION", "skincomments", "Light blue-grey caption band, slate outline, white caption glyphs.");

  gIni.WriteString("PICTURES", "picture", "main.bmp");
  gIni.WriteString("PICTURES", "inactivepicture", "");
  gIni.WriteString("PICTURES", "mask", "mask.bmp");
  const char* pictures[] = {"active.bmp", "controls.bmp", "pw.bmp", "pwmask.bmp", "menuitems.bmp", "hstbmask.bmp",
                            "vstbmask.bmp", "hw.bmp", "bg.bmp", "buttonmask.bmp", "mdibg.bmp"};
  WriteList("PICTURES", "activepicturescount", pictures);

  {
    TvpSkinData skin;
    Set(skin.LTPoint, kFrame.LeftTop);
    Set(skin.RTPoint, kFrame.RightTop);
    Set(skin.LBPoint, kFrame.LeftBottom);
    Set(skin.RBPoint, kFrame.RightBottom);
    Set(skin.ClientRect, kFrame.ClientRect);
    Set(skin.BGPictureIndex, kBg);
    Set(skin.MDIBGPictureIndex, kMdiBg);
    Set(skin.LeftStretch, 0);
    Set(skin.RightStretch, 0);
    Set(skin.TopStretch, 0);
    Set(skin.BottomStretch, 0);
    Set(skin.MaskRectArea, kFrame.MaskRectArea);
    Set(skin.HitTestLTPoint, Point{8, 7});
    Set(skin.HitTestRTPoint, Point{137, 6});
    Set(skin.HitTestLBPoint, Point{8, 72});
    Set(skin.HitTestRBPoint, Point{137, 72});
    Set(skin.ButtonsRect, Rect{0, 0, 0, 0});
    Set(skin.CaptionRect, Rect{0, 0, 0, 0});
    Set(skin.ButtonsOffset, 0);
    Set(skin.ButtonsInLeft, 0);
    Set(skin.MainMenuPopupUp, 0);
    Set(skin.BorderWidth, 3);
    Set(skin.FormMinWidth, 0);
    Set(skin.AutoRenderingInActiveImage, 0);
    Set(skin.InActiveEffect, ieBrightness);
    Emit("FORMINFO", [&skin](auto& v) { skin.FormInfoFields(v); });
  }

  {
    TvpDataSkinPopupWindow d;
    Set(d.WindowPictureIndex, kPw);
    Set(d.MaskPictureIndex, kPwMask);
    Set(d.LTPoint, Point{3, 3});
    Set(d.RTPoint, Point{kPwSize - 3, 3});
    Set(d.LBPoint, Point{3, kPwSize - 3});
    Set(d.RBPoint, Point{kPwSize - 3, kPwSize - 3});
    Set(d.ItemsRect, Rect{3, 3, kPwSize - 3, kPwSize - 3});
    Set(d.ScrollMarkerColor, ColorValue(Rgb(150, 162, 180)));
    Set(d.ScrollMarkerActiveColor, ColorValue(Rgb(48, 72, 112)));
    Set(d.LeftStretch, 1);
    Set(d.RightStretch, 1);
    Set(d.TopStretch, 1);
    Set(d.BottomStretch, 1);
    EmitFixed(d);
  }

  {
    TvpDataSkinHintWindow d;
    Set(d.WindowPictureIndex, kHw);
    Set(d.MaskPictureIndex, -1);
    Set(d.LTPoint, Point{6, 3});
    Set(d.RTPoint, Point{31, 3});
    Set(d.LBPoint, Point{6, 17});
    Set(d.RBPoint, Point{31, 17});
    Set(d.ClientRect, Rect{6, 3, 31, 17});
    Set(d.FontName, "Arial");
    Set(d.FontHeight, 14);
    Set(d.FontStyle, 0);
    Set(d.FontColor, 8421504);
    Set(d.LeftStretch, 1);
    Set(d.RightStretch, 1);
    Set(d.TopStretch, 1);
    Set(d.BottomStretch, 1);
    EmitFixed(d);
  }

  const char* objects[] = {"caption1:caption", "sysmenubutton:stdbutton", "closebutton:stdbutton",
                           "maxbutton:stdbutton", "minbutton:stdbutton", "MENUITEM:menuitem",
                           "mainmenubaritem:mainmenubaritem", "rollupbutton:stdbutton",
                           "menubarsysmenubutton:mainmenubarbutton", "menubarclosebutton:mainmenubarbutton",
                           "menubarmaxbutton:mainmenubarbutton", "menubarminbutton:mainmenubarbutton"};
  WriteList("SKINOBJECTS", "count", objects);

  const char* controls[] = {
      "toolpanel:panel", "toolbutton:button", "button:button", "checkbox:checkradio", "radiobox:checkradio",
      "tab:tab", "panel:panel", "gauge:gauge", "vgauge:gauge", "trackbar:trackbar", "htrackbar:trackbar",
      "hscrollbar:scrollbar", "vscrollbar:scrollbar", "listbox:listbox", "checklistbox:checklistbox",
      "edit:edit", "memo:memo", "combobox:combobox", "spinedit:spinedit", "label:label", "stdlabel:stdlabel",
      "grid:grid", "groupbox:panel", "statuspanel:label", "statusbar:panel", "buttonedit:edit",
      "vupdown:updown", "hupdown:updown", "captionlistbox:listbox", "captionchecklistbox:checklistbox",
      "captioncombobox:combobox", "mainmenubar:mainmenubar", "controlbar:controlbar", "hsplitter:splitter",
      "vsplitter:splitter", "resizebutton:button", "bothhscrollbar:scrollbar", "bigtoolbutton:button",
      "bigtoolpanel:panel", "toolmenubutton:menubutton", "bigtoolmenubutton:menubutton",
      "bigtoolmenutrackbutton:menubutton", "toolmenutrackbutton:menubutton", "scrollbox:scrollbox",
      "listview:listview", "treeview:treeview", "statusgauge:gauge", "richedit:richedit", "expanel:expanel",
      "slider:slider", "bevel:bevel", "statusedit:edit", "statusbuttonedit:edit", "statusspinedit:spinedit",
      "statuscombobox:combobox", "toolcombobox:combobox", "toolspinedit:spinedit", "tooledit:edit",
      "toolbuttonedit:edit"};
  WriteList("SKINCONTROLS", "count", controls);

  // --- Caption objects ---
  {
    TvpDataSkinCaption d("caption1");
    Set(d.Hint, "");
    Set(d.ActivePictureIndex, -1);
    Set(d.SkinRectInAPicture, 0);
    Set(d.SkinRect, Rect{67, 6, 141, 23});
    Set(d.ActiveSkinRect, Rect{0, 0, 0, 0});
    Set(d.InActiveSkinRect, Rect{0, 0, 0, 0});
    Set(d.Morphing, 0);
    Set(d.MorphKind, mkDefault);
    Set(d.TextRect, Rect{0, 2, 73, 14});
    Set(d.FontName, "Arial");
    Set(d.FontHeight, 14);
    Set(d.FontStyle, fsBold);
    Set(d.FontColor, 8421504);
    Set(d.ActiveFontColor, 0);
    Set(d.Alignment, taLeftJustify);
    Set(d.Light, 0);
    Set(d.Shadow, 0);
    Set(d.FrameRect, Rect{0, 0, 0, 0});
    Set(d.StretchEffect, 0);
    Set(d.AnimateSkinRect, Rect{0, 0, 0, 0});
    Set(d.FrameCount, 0);
    Set(d.AnimateInterval, 25);
    Set(d.InActiveAnimation, 0);
    Set(d.FullFrame, 0);
    Emit(d);
  }

  struct StdButton {
    const char* name;
    Rect rect, down;
    TvpStdCommand command;
    const char* hint;
  };
  const StdButton buttons[] = {{"sysmenubutton", kSysMenu, {50, 6, 61, 17}, cmSysMenu, "System menu"},
                               {"closebutton", kClose, {1, 3, 18, 20}, cmClose, "Close"},
                               {"maxbutton", kMax, {34, 1, 45, 11}, cmMaximize, "Maximize"},
                               {"minbutton", kMin, {34, 13, 44, 23}, cmMinimize, "Minimize"},
                               {"rollupbutton", kRollUp, {20, 6, 31, 17}, cmRollUp, "Roll Up"}};
  for (const StdButton& b : buttons) {
    TvpDataSkinStdButton d(b.name);
    Set(d.Hint, b.hint);
    Set(d.ActivePictureIndex, kActive);
    Set(d.SkinRectInAPicture, 0);
    Set(d.SkinRect, b.rect);
    Set(d.ActiveSkinRect, Rect{0, 0, 0, 0});
    Set(d.InActiveSkinRect, Rect{0, 0, 0, 0});
    Set(d.Morphing, 0);
    Set(d.MorphKind, mkDefault);
    Set(d.DownRect, b.down);
    Set(d.DisableSkinRect, Rect{0, 0, 0, 0});
    Set(d.Command, b.command);
    Set(d.RestoreRect, Rect{0, 0, 0, 0});
    Set(d.RestoreActiveRect, Rect{0, 0, 0, 0});
    Set(d.RestoreDownRect, Rect{0, 0, 0, 0});
    Set(d.RestoreInActiveRect, Rect{0, 0, 0, 0});
    Emit(d);
  }

  {
    TvpDataSkinMenuItem d("MENUITEM");
    Set(d.Hint, "");
    Set(d.ActivePictureIndex, kMenuItems);
    Set(d.SkinRectInAPicture, 0);
    Set(d.SkinRect, Rect{0, 0, 100, 20});
    Set(d.ActiveSkinRect, Rect{0, 20, 100, 40});
    Set(d.InActiveSkinRect, Rect{0, 0, 0, 0});
    Set(d.Morphing, 0);
    Set(d.MorphKind, mkDefault);
    Set(d.ItemLeftOffset, 24);
    Set(d.ItemRightOffset, 4);
    Set(d.DividerRect, Rect{0, 40, 100, 47});
    Set(d.DividerLeftOffset, 26);
    Set(d.DividerRightOffset, 3);
    Set(d.TextRect, Rect{10, 0, 96, 20});
    Set(d.ImageRect, Rect{0, 0, 0, 0});
    Set(d.FontName, "Arial");
    Set(d.FontHeight, 14);
    Set(d.FontStyle, 0);
    Set(d.FontColor, kText);
    Set(d.ActiveFontColor, kTextHot);
    Set(d.UnEnabledFontColor, kTextOff);
    Set(d.StretchEffect, 1);
    Set(d.InActiveStretchEffect, 1);
    Set(d.DividerStretchEffect, 1);
    Set(d.AnimateSkinRect, Rect{0, 0, 0, 0});
    Set(d.FrameCount, 0);
    Set(d.AnimateInterval, 25);
    Set(d.InActiveAnimation, 0);
    Set(d.UseImageColor, 0);
    Emit(d);
  }

  // The main menu bar's item and buttons: the program shows no menu bar; they
  // reuse the menu item and caption button images.
  {
    TvpDataSkinMainMenuBarItem d("mainmenubaritem");
    Set(d.ActivePictureIndex, kMenuItems);
    Set(d.SkinRect, Rect{30, 0, 60, 20});
    Set(d.ActiveSkinRect, Rect{30, 20, 60, 40});
    Set(d.ItemLeftOffset, 3);
    Set(d.ItemRightOffset, 3);
    Set(d.DownRect, Rect{30, 20, 60, 40});
    Set(d.TextRect, Rect{4, 0, 26, 20});
    Font(d, kText);
    Set(d.ActiveFontColor, kTextHot);
    Set(d.DownFontColor, kTextHot);
    Set(d.UnEnabledFontColor, kTextOff);
    Set(d.StretchEffect, 1);
    Emit(d);
  }
  const StdButton barButtons[] = {{"menubarsysmenubutton", kSysMenu, {50, 6, 61, 17}, cmSysMenu, ""},
                                  {"menubarclosebutton", kClose, {1, 3, 18, 20}, cmClose, ""},
                                  {"menubarmaxbutton", kMax, {34, 1, 45, 11}, cmMaximize, ""},
                                  {"menubarminbutton", kMin, {34, 13, 44, 23}, cmMinimize, ""}};
  for (const StdButton& b : barButtons) {
    TvpDataSkinMainMenuBarButton d(b.name);
    Set(d.ActivePictureIndex, kActive);
    Set(d.SkinRectInAPicture, 0);
    Set(d.SkinRect, b.rect);
    Set(d.DownRect, b.down);
    Set(d.Command, b.command);
    Emit(d);
  }

  // --- Controls (not shown by the program; complete for other skinned forms) ---
  PanelControl("toolpanel", "toolpanel", false);
  ButtonControl("toolbutton", false);
  ButtonControl("button", false);
  CheckRadio("checkbox", "check");
  CheckRadio("radiobox", "radio");
  {
    TvpDataSkinTabControl d("tab");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("tab.page"));
    Set(d.TabRect, A("tab"));
    Set(d.ActiveTabRect, A("tab.active"));
    Set(d.FocusTabRect, A("tab.focus"));
    Set(d.MouseInTabRect, A("tab.hot"));
    Set(d.ClientRect, Rect{1, 1, 39, 29});
    Set(d.BGPictureIndex, -1);
    Set(d.LTPoint, Point{1, 1});
    Set(d.RTPoint, Point{39, 1});
    Set(d.LBPoint, Point{1, 29});
    Set(d.RBPoint, Point{39, 29});
    Set(d.TabLeftOffset, 4);
    Set(d.TabRightOffset, 4);
    Set(d.TabsBGRect, A("label"));
    Set(d.TabStretchEffect, 1);
    Set(d.LeftStretch, 1);
    Set(d.TopStretch, 1);
    Set(d.RightStretch, 1);
    Set(d.BottomStretch, 1);
    Font(d, kText);
    Set(d.ActiveFontColor, kText);
    Set(d.FocusFontColor, kTextHot);
    Set(d.MouseInFontColor, kTextHot);
    Set(d.UpDown, "hupdown");
    Set(d.ShowFocus, 1);
    Set(d.FocusOffsetX, 3);
    Set(d.FocusOffsetY, 3);
    Emit(d);
  }
  PanelControl("panel", "panel", false);
  Gauge("gauge", false);
  Gauge("vgauge", true);
  TrackBar("trackbar", true);
  TrackBar("htrackbar", false);
  ScrollBar("hscrollbar", false);
  ScrollBar("vscrollbar", true);
  ListBox("listbox", false, false);
  ListBox("checklistbox", true, false);
  EditControl("edit", false, false);
  EditControl("memo", false, true);
  ComboBox("combobox", "listbox");
  SpinEdit("spinedit");
  Label("label", "label");
  {
    TvpDataSkinStdLabelControl d("stdlabel");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("label"));
    Font(d, kText);
    Set(d.ActiveFontColor, kTextHot);
    Emit(d);
  }
  {
    TvpDataSkinGridControl d("grid");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("edit"));
    Set(d.FixedCellRect, A("cell.fixed"));
    Set(d.SelectCellRect, A("item.active"));
    Set(d.FocusCellRect, A("item.focus"));
    Set(d.FixedCellLeftOffset, 2);
    Set(d.FixedCellRightOffset, 2);
    Set(d.FixedCellTextRect, Rect{3, 1, 37, 17});
    Set(d.CellLeftOffset, 2);
    Set(d.CellRightOffset, 2);
    Set(d.CellTextRect, Rect{3, 1, 43, 17});
    Set(d.LinesColor, ColorValue(Rgb(214, 222, 232)));
    Set(d.BGColor, ColorValue(plat::clWhite));
    Font(d, kText);
    Set(d.SelectFontColor, kText);
    Set(d.FocusFontColor, kText);
    Font(d.FixedFontName, d.FixedFontHeight, d.FixedFontStyle, d.FixedFontColor, kText);
    Set(d.CellStretchEffect, 1);
    Set(d.FixedCellStretchEffect, 1);
    Set(d.ShowFocus, 1);
    Emit(d);
  }
  PanelControl("groupbox", "groupbox", true);
  Label("statuspanel", "statuspanel");
  PanelControl("statusbar", "statuspanel", false);
  EditControl("buttonedit", true, false);
  UpDown("vupdown", true);
  UpDown("hupdown", false);
  ListBox("captionlistbox", false, true);
  ListBox("captionchecklistbox", true, true);
  ComboBox("captioncombobox", "captionlistbox");
  {
    TvpDataSkinMainMenuBar d("mainmenubar");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("toolpanel"));
    Set(d.ItemsRect, Rect{2, 2, 46, 22});
    Set(d.MenuBarItem, "mainmenubaritem");
    Set(d.CloseButton, "menubarclosebutton");
    Set(d.MinButton, "menubarminbutton");
    Set(d.MaxButton, "menubarmaxbutton");
    Set(d.SysMenuButton, "menubarsysmenubutton");
    Set(d.TrackMarkColor, ColorValue(Rgb(150, 162, 180)));
    Set(d.TrackMarkActiveColor, ColorValue(Rgb(48, 72, 112)));
    Emit(d);
  }
  {
    TvpDataSkinControlBar d("controlbar");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("toolpanel"));
    Shaped(d, A("toolpanel"), 2);
    Set(d.ItemRect, A("toolpanel"));
    Set(d.BGPictureIndex, -1);
    Set(d.HGripRect, A("grip.v"));
    Set(d.VGripRect, A("grip.h"));
    Set(d.GripOffset1, 2);
    Set(d.GripOffset2, 2);
    Emit(d);
  }
  Splitter("hsplitter", false);
  Splitter("vsplitter", true);
  {
    TvpDataSkinButtonControl d("resizebutton");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("resize"));
    Shaped(d, A("resize"), 0);
    Emit(d);
  }
  ScrollBar("bothhscrollbar", false);
  ButtonControl("bigtoolbutton", false);
  PanelControl("bigtoolpanel", "toolpanel", false);
  ButtonControl("toolmenubutton", true);
  ButtonControl("bigtoolmenubutton", true);
  ButtonControl("bigtoolmenutrackbutton", true, "drop.active");
  ButtonControl("toolmenutrackbutton", true, "drop.active");
  {
    TvpDataSkinScrollBoxControl d("scrollbox");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("edit"));
    Shaped(d, A("edit"), 1);
    Set(d.BGPictureIndex, -1);
    Emit(d);
  }
  PlainView("listview");
  PlainView("treeview");
  Gauge("statusgauge", false);
  PlainView("richedit");
  {
    TvpDataSkinExPanelControl d("expanel");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("panel"));
    Shaped(d, A("panel"), 3);
    Set(d.RollHSkinRect, A("toolpanel"));
    Set(d.RollVSkinRect, A("vgauge"));
    Set(d.RollLeftOffset, 3);
    Set(d.RollRightOffset, 3);
    Set(d.RollTopOffset, 3);
    Set(d.RollBottomOffset, 3);
    Set(d.RollVCaptionRect, Rect{0, 20, 8, 44});
    Set(d.RollHCaptionRect, Rect{20, 0, 44, 16});
    Set(d.CloseButtonRect, A("spin.down"));
    Set(d.CloseButtonActiveRect, A("spin.down.active"));
    Set(d.CloseButtonDownRect, A("spin.down.down"));
    Set(d.HRollButtonRect, A("spin.up"));
    Set(d.HRollButtonActiveRect, A("spin.up.active"));
    Set(d.HRollButtonDownRect, A("spin.up.down"));
    Set(d.HRestoreButtonRect, A("spin.down"));
    Set(d.HRestoreButtonActiveRect, A("spin.down.active"));
    Set(d.HRestoreButtonDownRect, A("spin.down.down"));
    Set(d.VRollButtonRect, A("spin.up"));
    Set(d.VRollButtonActiveRect, A("spin.up.active"));
    Set(d.VRollButtonDownRect, A("spin.up.down"));
    Set(d.VRestoreButtonRect, A("spin.down"));
    Set(d.VRestoreButtonActiveRect, A("spin.down.active"));
    Set(d.VRestoreButtonDownRect, A("spin.down.down"));
    Set(d.CaptionRect, Rect{4, 2, 40, 16});
    Font(d, kText);
    Emit(d);
  }
  {
    TvpDataSkinSlider d("slider");
    Set(d.PictureIndex, kControls);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, A("trackbar.h"));
    Set(d.BGColor, ColorValue(kCtlBack));
    Set(d.HRulerRect, A("trackbar.h"));
    Set(d.HThumbRect, A("thumb.h"));
    Set(d.VRulerRect, A("trackbar.v"));
    Set(d.VThumbRect, A("thumb.v"));
    Set(d.EdgeSize, 4);
    Set(d.PointsColor, ColorValue(kCtlLine));
    Emit(d);
  }
  {
    TvpDataSkinBevel d("bevel");
    Set(d.PictureIndex, -1);
    Set(d.MaskPictureIndex, -1);
    Set(d.SkinRect, Rect{0, 0, 0, 0});
    Set(d.LightColor, ColorValue(plat::clWhite));
    Set(d.DarkColor, ColorValue(Rgb(170, 184, 204)));
    Emit(d);
  }
  EditControl("statusedit", false, false);
  EditControl("statusbuttonedit", true, false);
  SpinEdit("statusspinedit");
  ComboBox("statuscombobox", "listbox");
  ComboBox("toolcombobox", "listbox");
  SpinEdit("toolspinedit");
  EditControl("tooledit", false, false);
  EditControl("toolbuttonedit", true, false);
  return Text(gIni);
}

}  // namespace skingen
