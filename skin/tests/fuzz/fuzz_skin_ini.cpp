// Fuzz target: the INI reader and the definition parsing over arbitrary text,
// plus a write-back and re-read of every definition read.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "skin/core/vpSkinData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  plat::TMemIniFile ini;
  ini.SetText(text);
  ini.GetStrings();
  vp::TvpSkinData skin;
  try {
    skin.ReadFormInfo(ini);
  } catch (const plat::Exception&) {
  }
  std::vector<std::unique_ptr<vp::TvpDataSkinObject>> objects;
  std::vector<std::unique_ptr<vp::TvpDataSkinControl>> controls;
  try {
    vp::ReadObjects(ini, objects);
    vp::ReadControls(ini, controls);
  } catch (const plat::Exception&) {
  }
  plat::TMemIniFile out;
  for (const auto& d : objects) d->SaveToIni(out);
  for (const auto& d : controls) d->SaveToIni(out);
  plat::TMemIniFile again;
  again.SetStrings(out.GetStrings());
  for (const auto& d : objects) d->LoadFromIni(again);  // what was written must read back
  for (const auto& d : controls) d->LoadFromIni(again);
  return 0;
}
