// Fuzz target: the stored skin reader. The first byte picks the path: odd
// feeds the rest as compressed data (inflate + container + definitions),
// even as an already inflated container.
#include <cstddef>
#include <cstdint>

#include "skin/core/vpSkinData.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  vp::TvpSkinData skin;
  try {
    if (data[0] & 1) {
      vp::TvpCompressedStoredSkin stored;
      stored.SetCompressedData(data + 1, size - 1);
      skin.SetCompressedStoredSkin(&stored);
    } else {
      skin.LoadFromContainer(data + 1, size - 1);
    }
  } catch (const plat::Exception&) {
  }
  // Whatever was read must be consistent enough to look up and write back.
  skin.FindObject("closebutton");
  plat::TMemIniFile out;
  for (const auto& d : skin.ObjectDefs) d->SaveToIni(out);
  for (const auto& d : skin.ControlDefs) d->SaveToIni(out);
  return 0;
}
