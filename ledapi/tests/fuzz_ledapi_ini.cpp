// Any bytes as ledapi.ini: either every section is taken, each within the
// ranges its protocol allows, or the whole file is refused with a message
// that names the file and one of its lines.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ledapi/core/ledapi_ini.h"
#include "ui/core/memini.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  ledp::LedApiConfig c;
  std::string error;
  if (!ledp::ParseLedApiIni(text, "ledapi.ini", c, error)) {
    if (!c.Targets.empty() || error.rfind("ledapi.ini, line ", 0) != 0) std::abort();
    const long line = std::strtol(error.c_str() + 17, nullptr, 10);
    if (line < 1 || line > static_cast<long>(plat::SplitLines(text).size())) std::abort();
    return 0;
  }
  for (const auto& [addr, t] : c.Targets) {
    if (t.Kind == ledp::Protocol::E131 || t.Kind == ledp::Protocol::ArtNet) {
      const int hi = t.Kind == ledp::Protocol::E131 ? ledp::kE131MaxUniverse : ledp::kArtMaxPortAddress;
      const int lo = t.Kind == ledp::Protocol::E131 ? 1 : 0;
      if (t.FirstUniverse() < lo || t.FirstUniverse() + t.UniverseCount() - 1 > hi) std::abort();
    }
    if (t.PixelsPerUniverse < 1 || t.PixelsPerUniverse > 170 || t.Width < 1 || t.Height < 1) std::abort();
    if (!(t.PacketsPerMs > 0) || t.Gamma < 0.5 || t.Gamma > 4.0) std::abort();
  }
  return 0;
}
