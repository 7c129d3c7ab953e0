// A minimal PNG writer (8-bit RGB, no interlace) over zlib, the same code in
// both trees, and file replacement that readers never see half written.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ui/core/raster.h"

namespace ledscreen {

std::vector<uint8_t> EncodePng(const plat::Raster& r);
// Writes to a temporary file beside `path` and renames it over `path`.
bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace ledscreen
