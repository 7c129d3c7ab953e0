#include <gtest/gtest.h>

#include <algorithm>

#include "skin/core/vpSkinDefs.h"
#include "ui/core/exceptions.h"

using namespace vp;

namespace {
TMemIniFile Ini(const std::string& text) {
  TMemIniFile ini;
  ini.SetText(text);
  return ini;
}
}  // namespace

TEST(SkinValues, PointAndRectKeepOnlyDigitsAndCommas) {
  EXPECT_EQ(ParseSkinRect("-5,1 2,x3,40"), (Rect{5, 12, 3, 40}));
  EXPECT_EQ(ParseSkinPoint(" 7 , 8 "), (Point{7, 8}));
  EXPECT_EQ(ParseSkinPoint("1,2,3"), (Point{1, 2}));  // extra fields ignored
  for (const char* bad : {"", "5", "5,", ",5", "1,2,3", "a,b,c,d"}) {
    try {
      ParseSkinRect(bad);
      FAIL() << bad;
    } catch (const plat::EConvertError& e) {
      EXPECT_STREQ(e.what(), "'' is not a valid integer value") << bad;
    }
  }
  EXPECT_THROW(ParseSkinPoint("5"), plat::EConvertError);
  EXPECT_THROW(ParseSkinRect("1,2,3,99999999999"), plat::EConvertError);
}

TEST(SkinValues, AbsentKeysTakeDefaultsButEmptyPointFails) {
  const auto ini = Ini("[s]\r\nr=\r\n");
  EXPECT_EQ(ReadRect(ini, "s", "missing"), (Rect{}));
  EXPECT_EQ(ReadPoint(ini, "nosection", "p"), (Point{}));
  EXPECT_THROW(ReadRect(ini, "s", "r"), plat::EConvertError);
}

TEST(SkinValues, EnumerationsAreExactCase) {
  EXPECT_EQ(ParseFontStyle(""), 0u);
  EXPECT_EQ(ParseFontStyle("fsbold,fsitalic"), fsBold | fsItalic);
  EXPECT_EQ(ParseFontStyle("[fsunderline fsstrikeout]"), fsUnderline | fsStrikeOut);
  EXPECT_EQ(ParseFontStyle("FSBOLD,fsItalic"), 0u);
  EXPECT_EQ(FontStyleToStr(fsBold | fsStrikeOut), "fsbold,fsstrikeout");

  EXPECT_EQ(ParseCommand("cmclose"), cmClose);
  EXPECT_EQ(ParseCommand("cmrollup"), cmRollUp);
  EXPECT_EQ(ParseCommand("CMCLOSE"), cmMinimizeToTray);
  EXPECT_EQ(ParseCommand("cmminimizetotray"), cmMinimizeToTray);
  EXPECT_EQ(ParseCommand("whatever"), cmMinimizeToTray);

  EXPECT_EQ(ParseEffect("ieinvert"), ieInvert);
  EXPECT_EQ(ParseEffect("IEINVERT"), ieGrayScale);
  EXPECT_EQ(ParseAlignment("tacenter"), taCenter);
  EXPECT_EQ(ParseAlignment("taleftjustify"), taLeftJustify);
  for (const char* s : {"tarightjustify", "", "TACENTER"}) EXPECT_EQ(ParseAlignment(s), taRightJustify) << s;
  EXPECT_EQ(ParseMorphKind("mkpush"), mkPush);
  EXPECT_EQ(ParseMorphKind("mkPush"), mkDefault);
}

TEST(SkinValues, KeysOfEveryKindWithDefaults) {
  const auto ini = Ini(
      "[cap]\r\nLeftStretch=2\r\nshadow=1\r\nFONTCOLOR=$FF\r\nactivefontcolor=-16777201\r\nalignment=\r\n"
      "inactiveeffect=x\r\n");
  TvpDataSkinCaption c("cap");
  c.LoadFromIni(ini);
  EXPECT_TRUE(c.Shadow);
  EXPECT_EQ(c.FontColor, 0xFFu);
  EXPECT_EQ(c.ActiveFontColor, clBtnFace);
  EXPECT_EQ(c.Alignment, taRightJustify);  // present but empty
  EXPECT_EQ(c.FontName, "Arial");
  EXPECT_EQ(c.FontHeight, 14);
  EXPECT_EQ(c.AnimateInterval, 25);
  EXPECT_EQ(c.ActivePictureIndex, -1);

  TvpDataSkinCaption absent("nosuchsection");
  absent.LoadFromIni(ini);
  EXPECT_EQ(absent.Alignment, taCenter);

  TvpDataSkinCustomControl ctl("cap");
  ctl.LoadFromIni(ini);
  EXPECT_FALSE(ctl.LeftStretch);  // only exactly 1 is true

  TvpDataSkinStdLabelControl label("x");
  label.LoadFromIni(ini);
  EXPECT_EQ(label.ActiveFontColor, 16711680u);
  TvpDataSkinListBox lb("x");
  lb.LoadFromIni(ini);
  EXPECT_EQ(lb.BothScrollBarName, "bothhscrollbar");
  EXPECT_EQ(lb.CaptionFontHeight, 14);
}

TEST(SkinValues, SpecialReadingRules) {
  const auto ini = Ini(
      "[a]\r\nmorphing=1\r\nskinrect=1,2,3,4\r\nhint=h\r\n"
      "[u]\r\nlefttoppoint=3,3\r\nclientrect=1,1,5,5\r\nupbuttonrect=0,0,4,2\r\n"
      "[m]\r\nunenabledfontcolor=5\r\n");
  TvpDataSkinAnimate an("a");
  an.LoadFromIni(ini);
  EXPECT_FALSE(an.Morphing);
  EXPECT_EQ(an.SkinRect, (Rect{1, 2, 3, 4}));
  TvpDataUserObject user("a");
  user.LoadFromIni(ini);
  EXPECT_EQ(user.SkinRect, (Rect{1, 2, 3, 4}));
  EXPECT_EQ(user.Hint, "");  // user objects read "skinrect" only
  TvpDataSkinUpDownControl ud("u");
  ud.LoadFromIni(ini);
  EXPECT_EQ(ud.LTPoint, (Point{}));
  EXPECT_EQ(ud.ClientRect, (Rect{}));
  EXPECT_EQ(ud.UpButtonRect, (Rect{0, 0, 4, 2}));
  TvpDataSkinMainMenuBarItem mi("m");  // its key is spelt "unenabledfontColor"
  mi.LoadFromIni(ini);
  EXPECT_EQ(mi.UnEnabledFontColor, 5u);
}

TEST(SkinLists, ExactTypesSkipsAndOrder) {
  const auto ini = Ini(
      "[SKINOBJECTS]\r\ncount=6\r\n0=MENUITEM:menuitem\r\n1=b:MenuItem\r\n2=nocolon\r\n4=c:caption:extra\r\n"
      "5=u:userobject\r\n6=late:caption\r\n"
      "[SKINCONTROLS]\r\ncount=-3\r\n0=x:panel\r\n");
  std::vector<std::unique_ptr<TvpDataSkinObject>> objects;
  ReadObjects(ini, objects);
  ASSERT_EQ(objects.size(), 2u);  // "caption:extra" is no type; key 6 is beyond count
  EXPECT_EQ(objects[0]->SectionName, "MENUITEM");
  EXPECT_STREQ(objects[0]->ClassName(), "TvpDataSkinMenuItem");
  EXPECT_NE(dynamic_cast<TvpDataUserObject*>(objects[1].get()), nullptr);
  std::vector<std::unique_ptr<TvpDataSkinControl>> controls;
  ReadControls(ini, controls);
  EXPECT_TRUE(controls.empty());
}

TEST(SkinLists, EveryTypeRoundTripsThroughSaveToIni) {
  const char* objectTypes[] = {"userobject", "button", "stdbutton", "mainmenubarbutton",
                               "caption",    "animate", "menuitem", "mainmenubaritem"};
  const char* controlTypes[] = {"panel",    "expanel",     "button",   "menubutton", "checkradio", "gauge",
                                "splitter", "trackbar",    "label",    "stdlabel",   "updown",     "grid",
                                "tab",      "mainmenubar", "controlbar", "edit",     "memo",       "listbox",
                                "checklistbox", "combobox", "scrollbar", "spinedit", "scrollbox", "treeview",
                                "listview", "richedit",    "bevel",    "slider"};
  // A section where every key a definition may read has a value that is not
  // its default: "1" fits integers, flags and colours alike; rects and
  // points get digits; enumerations get a non-default name.
  auto source = Ini("");
  auto fill = [&](auto& def, const std::string& sec) {
    TMemIniFile keys;
    def.SaveToIni(keys);
    for (const std::string& k : keys.ReadSection(sec)) {
      std::string v = keys.ReadString(sec, k, "");
      if (std::count(v.begin(), v.end(), ',') == 3) v = "1,2,3,4";
      else if (std::count(v.begin(), v.end(), ',') == 1 && k.find("point") != std::string::npos) v = "5,6";
      else if (k == "morphkind") v = "mkpush";
      else if (k == "alignment") v = "taleftjustify";
      else if (k == "command") v = "cmrollup";
      else if (k.find("fontstyle") != std::string::npos) v = "fsitalic";
      else v = "1";
      source.WriteString(sec, k, v);
    }
  };
  for (const char* t : objectTypes) {
    auto d = CreateSkinObject(t, std::string("o_") + t);
    ASSERT_TRUE(d) << t;
    fill(*d, d->SectionName);
    d->LoadFromIni(source);
    TMemIniFile written;
    d->SaveToIni(written);
    auto again = CreateSkinObject(t, d->SectionName);
    again->LoadFromIni(written);
    TMemIniFile written2;
    again->SaveToIni(written2);
    EXPECT_EQ(written.GetStrings(), written2.GetStrings()) << t;
    EXPECT_EQ(written.ReadSection(d->SectionName), source.ReadSection(d->SectionName)) << t;
  }
  for (const char* t : controlTypes) {
    auto d = CreateSkinControl(t, std::string("c_") + t);
    ASSERT_TRUE(d) << t;
    fill(*d, d->SectionName);
    d->LoadFromIni(source);
    TMemIniFile written;
    d->SaveToIni(written);
    auto again = CreateSkinControl(t, d->SectionName);
    again->LoadFromIni(written);
    TMemIniFile written2;
    again->SaveToIni(written2);
    EXPECT_EQ(written.GetStrings(), written2.GetStrings()) << t;
  }
  EXPECT_EQ(CreateSkinControl("Panel", "x"), nullptr);
}

TEST(SkinLists, SaveToIniErasesTheSectionFirst) {
  auto ini = Ini("[b]\r\nstale=1\r\nskinrect=1,1,2,2\r\n");
  TvpDataSkinButton b("b");
  b.LoadFromIni(ini);
  b.SaveToIni(ini);
  EXPECT_FALSE(ini.ValueExists("b", "stale"));
  EXPECT_EQ(ini.ReadSection("b").front(), "hint");
  EXPECT_EQ(ini.ReadString("b", "disableskinrsect", ""), "0,0,0,0");
  EXPECT_EQ(ini.ReadString("b", "skinrect", ""), "1,1,2,2");
}

// The fixed sections write what they read: every key survives a save and a
// load with its value, and absent colours fall back to the system's.
TEST(SkinLists, FixedSectionsRoundTripThroughSaveToIni) {
  auto source = Ini(
      "[POPUPWINDOW]\nwindowpictureindex=2\nmaskpictureindex=3\nlefttoppoint=3,4\nrightbottompoint=37,36\n"
      "itemsrect=3,3,37,37\nscrollmarkercolor=11838102\nrightstretch=1\nbottomstretch=1\n"
      "[HINTWINDOW]\nwindowpictureindex=7\nclientrect=6,3,31,17\nfontname=Tahoma\nfontheight=11\n"
      "fontstyle=fsbold\nfontcolor=255\nleftstretch=1\n"
      "[SKINCOLORS]\ncbtnface=123\ncbtnshadow=456\n");
  TvpDataSkinPopupWindow popup;
  TvpDataSkinHintWindow hint;
  TvpSkinColors colors;
  popup.LoadFromIni(source);
  hint.LoadFromIni(source);
  colors.LoadFromIni(source);
  EXPECT_EQ(popup.RBPoint, (Point{37, 36}));
  EXPECT_TRUE(popup.RightStretch && !popup.LeftStretch);
  EXPECT_EQ(hint.FontStyle, fsBold);
  EXPECT_EQ(colors.BtnFace, 123u);
  EXPECT_EQ(colors.Window, clWindow);

  TMemIniFile saved;
  popup.SaveToIni(saved);
  hint.SaveToIni(saved);
  colors.SaveToIni(saved);
  EXPECT_EQ(saved.ReadSection("POPUPWINDOW").size(), 13u);
  EXPECT_EQ(saved.ReadString("HINTWINDOW", "fontname", ""), "Tahoma");
  EXPECT_EQ(saved.ReadInteger("SKINCOLORS", "cwindow", 0), static_cast<int32_t>(clWindow));

  TvpDataSkinPopupWindow popup2;
  TvpDataSkinHintWindow hint2;
  TvpSkinColors colors2;
  popup2.LoadFromIni(saved);
  hint2.LoadFromIni(saved);
  colors2.LoadFromIni(saved);
  TMemIniFile again;
  popup2.SaveToIni(again);
  hint2.SaveToIni(again);
  colors2.SaveToIni(again);
  EXPECT_EQ(again.GetStrings(), saved.GetStrings());

  TvpSkinColors system;
  system.BtnFace = 1;
  system.SetSystemColors();
  EXPECT_EQ(system.BtnFace, clBtnFace);
  EXPECT_EQ(system.BtnShadow, clBtnShadow);
}
