// Reads the simulated screen's snapshot (8-bit RGB PNG) into a raster, for
// comparing it with the program's board.
#pragma once
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <optional>
#include <vector>

#include "ui/core/raster.h"

namespace e2e {

inline std::optional<plat::Raster> ReadPng(const std::filesystem::path& p) {
  std::ifstream f(p, std::ios::binary);
  std::vector<uint8_t> b((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  if (b.size() < 8 + 25) return std::nullopt;
  auto be32 = [&](size_t at) {
    return static_cast<uint32_t>(b[at] << 24 | b[at + 1] << 16 | b[at + 2] << 8 | b[at + 3]);
  };
  int w = 0, h = 0;
  std::vector<uint8_t> idat;
  for (size_t at = 8; at + 12 <= b.size();) {
    const uint32_t len = be32(at);
    if (at + 12 + len > b.size()) return std::nullopt;
    const std::string type(reinterpret_cast<const char*>(&b[at + 4]), 4);
    const uint8_t* d = &b[at + 8];
    if (type == "IHDR") {
      w = static_cast<int>(be32(at + 8));
      h = static_cast<int>(be32(at + 12));
      if (d[8] != 8 || d[9] != 2 || d[12] != 0) return std::nullopt;  // 8-bit RGB, no interlace
    } else if (type == "IDAT") {
      idat.insert(idat.end(), d, d + len);
    } else if (type == "IEND") {
      break;
    }
    at += 12 + len;
  }
  if (w <= 0 || h <= 0) return std::nullopt;
  const size_t stride = 3 * static_cast<size_t>(w);
  std::vector<uint8_t> raw((stride + 1) * static_cast<size_t>(h));
  uLongf rawLen = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawLen, idat.data(), static_cast<uLong>(idat.size())) != Z_OK ||
      rawLen != raw.size())
    return std::nullopt;
  plat::Raster r(w, h);
  std::vector<uint8_t> prev(stride, 0), cur(stride);
  for (int y = 0; y < h; ++y) {
    const uint8_t* line = &raw[static_cast<size_t>(y) * (stride + 1)];
    const uint8_t filter = line[0];
    for (size_t i = 0; i < stride; ++i) {
      const int a = i >= 3 ? cur[i - 3] : 0, up = prev[i], c = i >= 3 ? prev[i - 3] : 0;
      int v = line[1 + i];
      switch (filter) {
        case 1: v += a; break;
        case 2: v += up; break;
        case 3: v += (a + up) / 2; break;
        case 4: {
          const int pp = a + up - c, pa = std::abs(pp - a), pb = std::abs(pp - up), pc = std::abs(pp - c);
          v += (pa <= pb && pa <= pc) ? a : (pb <= pc ? up : c);
          break;
        }
        default: break;
      }
      cur[i] = static_cast<uint8_t>(v);
    }
    for (int x = 0; x < w; ++x) r.SetPixel(x, y, plat::RGBColor(cur[3 * x], cur[3 * x + 1], cur[3 * x + 2]));
    prev = cur;
  }
  return r;
}

}  // namespace e2e
