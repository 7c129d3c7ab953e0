#include "vpSkinDefs.h"

#include <algorithm>

namespace vp {

namespace {

// Scans the value: "," starts the next field, digits are kept, everything
// else (signs, blanks, letters) is dropped. Fields beyond `n` are ignored.
template <size_t n>
void ParseFields(std::string_view s, int32_t (&out)[n]) {
  std::string fields[n];
  size_t f = 0;
  for (char c : s) {
    if (c == ',') {
      ++f;
    } else if (c >= '0' && c <= '9' && f < n) {
      fields[f] += c;
    }
  }
  for (size_t i = 0; i < n; ++i) out[i] = plat::StrToInt(fields[i]);
}

}  // namespace

Point ParseSkinPoint(std::string_view s) {
  int32_t v[2];
  ParseFields(s, v);
  return Point{v[0], v[1]};
}

Rect ParseSkinRect(std::string_view s) {
  int32_t v[4];
  ParseFields(s, v);
  return Rect{v[0], v[1], v[2], v[3]};
}

std::string PointToStr(Point p) { return std::to_string(p.X) + "," + std::to_string(p.Y); }

std::string RectToStr(const Rect& r) {
  return std::to_string(r.Left) + "," + std::to_string(r.Top) + "," + std::to_string(r.Right) + "," +
         std::to_string(r.Bottom);
}

namespace {
constexpr const char* kStyleNames[] = {"fsbold", "fsitalic", "fsunderline", "fsstrikeout"};
constexpr const char* kMorphNames[] = {"mkdefault",       "mkgradient",  "mkleftgradient", "mkrightgradient",
                                       "mkleftslide",     "mkrightslide", "mkpush"};
constexpr const char* kEffectNames[] = {"iebrightness", "iedarkness",   "iegrayscale",
                                        "ienoise",      "iesplitblur", "ieinvert"};
constexpr const char* kCommandNames[] = {"cmclose",   "cmmaximize", "cmminimize",      "cmsysmenu",
                                         "cmdefault", "cmrollup",   "cmminimizetotray"};

int IndexOf(const char* const* names, size_t count, std::string_view s, int fallback) {
  for (size_t i = 0; i < count; ++i)
    if (s == names[i]) return static_cast<int>(i);
  return fallback;
}
}  // namespace

TFontStyles ParseFontStyle(std::string_view s) {
  TFontStyles r = 0;
  for (int i = 0; i < 4; ++i)
    if (s.find(kStyleNames[i]) != std::string_view::npos) r |= 1u << i;
  return r;
}

std::string FontStyleToStr(TFontStyles st) {
  std::string out;
  for (int i = 0; i < 4; ++i)
    if (st & (1u << i)) {
      if (!out.empty()) out += ',';
      out += kStyleNames[i];
    }
  return out;
}

TAlignment ParseAlignment(std::string_view s) {
  if (s == "tacenter") return taCenter;
  if (s == "taleftjustify") return taLeftJustify;
  return taRightJustify;
}

const char* AlignmentToStr(TAlignment a) {
  switch (a) {
    case taCenter: return "tacenter";
    case taLeftJustify: return "taleftjustify";
    default: return "tarightjustify";
  }
}

TvpMorphKind ParseMorphKind(std::string_view s) { return static_cast<TvpMorphKind>(IndexOf(kMorphNames, 7, s, 0)); }
TvpInActiveEffect ParseEffect(std::string_view s) {
  return static_cast<TvpInActiveEffect>(IndexOf(kEffectNames, 6, s, ieGrayScale));
}
// "cmminimizetotray" itself is the fallback, so only the first six are names.
TvpStdCommand ParseCommand(std::string_view s) {
  return static_cast<TvpStdCommand>(IndexOf(kCommandNames, 6, s, cmMinimizeToTray));
}

const char* MorphKindToStr(TvpMorphKind m) { return m >= 0 && m <= mkPush ? kMorphNames[m] : kMorphNames[0]; }
const char* EffectToStr(TvpInActiveEffect e) {
  return e >= 0 && e <= ieInvert ? kEffectNames[e] : kEffectNames[ieGrayScale];
}
const char* CommandToStr(TvpStdCommand c) {
  return c >= 0 && c <= cmMinimizeToTray ? kCommandNames[c] : kCommandNames[cmMinimizeToTray];
}

Point ReadPoint(const TMemIniFile& ini, std::string_view sec, std::string_view key) {
  const std::string* v = ini.FindValue(sec, key);
  return ParseSkinPoint(v ? std::string_view(*v) : std::string_view("0,0"));
}

Rect ReadRect(const TMemIniFile& ini, std::string_view sec, std::string_view key) {
  const std::string* v = ini.FindValue(sec, key);
  return ParseSkinRect(v ? std::string_view(*v) : std::string_view("0,0,0,0"));
}

bool ReadFlag(const TMemIniFile& ini, std::string_view sec, std::string_view key) {
  return ini.ReadInteger(sec, key, 0) == 1;
}

Color ReadColor(const TMemIniFile& ini, std::string_view sec, std::string_view key, Color def) {
  return static_cast<Color>(ini.ReadInteger(sec, key, static_cast<int32_t>(def)));
}

// ------------------------------------------------------------------ lists

namespace {

template <class Base>
using Factory = std::unique_ptr<Base> (*)(const std::string&);

template <class Base, class T>
std::unique_ptr<Base> Make(const std::string& name) {
  return std::make_unique<T>(name);
}

struct ObjectType {
  const char* Name;
  Factory<TvpDataSkinObject> Create;
};
const ObjectType kObjectTypes[] = {
    {"userobject", Make<TvpDataSkinObject, TvpDataUserObject>},
    {"button", Make<TvpDataSkinObject, TvpDataSkinButton>},
    {"stdbutton", Make<TvpDataSkinObject, TvpDataSkinStdButton>},
    {"mainmenubarbutton", Make<TvpDataSkinObject, TvpDataSkinMainMenuBarButton>},
    {"caption", Make<TvpDataSkinObject, TvpDataSkinCaption>},
    {"animate", Make<TvpDataSkinObject, TvpDataSkinAnimate>},
    {"menuitem", Make<TvpDataSkinObject, TvpDataSkinMenuItem>},
    {"mainmenubaritem", Make<TvpDataSkinObject, TvpDataSkinMainMenuBarItem>},
};

struct ControlType {
  const char* Name;
  Factory<TvpDataSkinControl> Create;
};
const ControlType kControlTypes[] = {
    {"panel", Make<TvpDataSkinControl, TvpDataSkinPanelControl>},
    {"expanel", Make<TvpDataSkinControl, TvpDataSkinExPanelControl>},
    {"button", Make<TvpDataSkinControl, TvpDataSkinButtonControl>},
    {"menubutton", Make<TvpDataSkinControl, TvpDataSkinMenuButtonControl>},
    {"checkradio", Make<TvpDataSkinControl, TvpDataSkinCheckRadioControl>},
    {"gauge", Make<TvpDataSkinControl, TvpDataSkinGaugeControl>},
    {"splitter", Make<TvpDataSkinControl, TvpDataSkinSplitterControl>},
    {"trackbar", Make<TvpDataSkinControl, TvpDataSkinTrackBarControl>},
    {"label", Make<TvpDataSkinControl, TvpDataSkinLabelControl>},
    {"stdlabel", Make<TvpDataSkinControl, TvpDataSkinStdLabelControl>},
    {"updown", Make<TvpDataSkinControl, TvpDataSkinUpDownControl>},
    {"grid", Make<TvpDataSkinControl, TvpDataSkinGridControl>},
    {"tab", Make<TvpDataSkinControl, TvpDataSkinTabControl>},
    {"mainmenubar", Make<TvpDataSkinControl, TvpDataSkinMainMenuBar>},
    {"controlbar", Make<TvpDataSkinControl, TvpDataSkinControlBar>},
    {"edit", Make<TvpDataSkinControl, TvpDataSkinEditControl>},
    {"memo", Make<TvpDataSkinControl, TvpDataSkinMemoControl>},
    {"listbox", Make<TvpDataSkinControl, TvpDataSkinListBox>},
    {"checklistbox", Make<TvpDataSkinControl, TvpDataSkinCheckListBox>},
    {"combobox", Make<TvpDataSkinControl, TvpDataSkinComboBox>},
    {"scrollbar", Make<TvpDataSkinControl, TvpDataSkinScrollBarControl>},
    {"spinedit", Make<TvpDataSkinControl, TvpDataSkinSpinEditControl>},
    {"scrollbox", Make<TvpDataSkinControl, TvpDataSkinScrollBoxControl>},
    {"treeview", Make<TvpDataSkinControl, TvpDataSkinTreeView>},
    {"listview", Make<TvpDataSkinControl, TvpDataSkinListView>},
    {"richedit", Make<TvpDataSkinControl, TvpDataSkinRichEdit>},
    {"bevel", Make<TvpDataSkinControl, TvpDataSkinBevel>},
    {"slider", Make<TvpDataSkinControl, TvpDataSkinSlider>},
};

template <class Base, class Table>
void ReadList(const TMemIniFile& ini, const char* section, const Table& table,
              std::vector<std::unique_ptr<Base>>& list) {
  const int32_t count = ini.ReadInteger(section, "count", 0);
  if (count < 1) return;
  // Keys "0" .. count-1 in order. Only keys that exist can name a definition
  // (an absent one reads as empty and is skipped), so walk the existing
  // numeric keys instead of every number up to a possibly huge count.
  std::vector<int32_t> keys;
  for (const std::string& k : ini.ReadSection(section)) {
    int32_t i;
    if (k.empty() || k.size() > 10 || (k.size() > 1 && k[0] == '0')) continue;
    if (k.find_first_not_of("0123456789") != std::string::npos || !plat::TryStrToInt(k, i)) continue;
    if (i < count) keys.push_back(i);
  }
  std::sort(keys.begin(), keys.end());
  for (const int32_t i : keys) {
    const std::string entry = ini.ReadString(section, std::to_string(i), "");
    const size_t colon = entry.find(':');
    if (colon == std::string::npos) continue;  // no name and no type
    const std::string name = entry.substr(0, colon);
    const std::string_view type = std::string_view(entry).substr(colon + 1);
    for (const auto& t : table)
      if (type == t.Name) {
        list.push_back(t.Create(name));
        list.back()->LoadFromIni(ini);
        break;
      }
  }
}

}  // namespace

std::unique_ptr<TvpDataSkinObject> CreateSkinObject(std::string_view type, const std::string& name) {
  for (const auto& t : kObjectTypes)
    if (type == t.Name) return t.Create(name);
  return nullptr;
}

std::unique_ptr<TvpDataSkinControl> CreateSkinControl(std::string_view type, const std::string& name) {
  for (const auto& t : kControlTypes)
    if (type == t.Name) return t.Create(name);
  return nullptr;
}

void ReadObjects(const TMemIniFile& ini, std::vector<std::unique_ptr<TvpDataSkinObject>>& list) {
  ReadList(ini, "SKINOBJECTS", kObjectTypes, list);
}

void ReadControls(const TMemIniFile& ini, std::vector<std::unique_ptr<TvpDataSkinControl>>& list) {
  ReadList(ini, "SKINCONTROLS", kControlTypes, list);
}

}  // namespace vp
