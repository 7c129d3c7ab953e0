#include "ledscreen/core/png.h"

#include <zlib.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace ledscreen {

namespace {

void PutBE32(std::vector<uint8_t>& out, uint32_t v) {
  for (int i = 3; i >= 0; --i) out.push_back(static_cast<uint8_t>(v >> (8 * i)));
}

void PutChunk(std::vector<uint8_t>& out, const char type[4], const std::vector<uint8_t>& data) {
  PutBE32(out, static_cast<uint32_t>(data.size()));
  const size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + start, static_cast<uInt>(out.size() - start));
  PutBE32(out, static_cast<uint32_t>(crc));
}

}  // namespace

std::vector<uint8_t> EncodePng(const plat::Raster& r) {
  static const uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<uint8_t> out(signature, signature + 8);
  std::vector<uint8_t> ihdr;
  PutBE32(ihdr, static_cast<uint32_t>(r.Width()));
  PutBE32(ihdr, static_cast<uint32_t>(r.Height()));
  ihdr.insert(ihdr.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, adaptive filters, no interlace
  PutChunk(out, "IHDR", ihdr);

  // Filter type 0 on every row; raster rows are BGR, PNG wants RGB.
  std::vector<uint8_t> raw;
  raw.reserve((size_t{3} * r.Width() + 1) * r.Height());
  for (int y = 0; y < r.Height(); ++y) {
    raw.push_back(0);
    const uint8_t* p = r.Row(y);
    for (int x = 0; x < r.Width(); ++x, p += 3) raw.insert(raw.end(), {p[2], p[1], p[0]});
  }
  uLongf size = compressBound(static_cast<uLong>(raw.size()));
  std::vector<uint8_t> idat(size);
  if (compress2(idat.data(), &size, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return {};
  idat.resize(size);
  PutChunk(out, "IDAT", idat);
  PutChunk(out, "IEND", {});
  return out;
}

bool WriteFileReplacing(const std::string& path, const std::vector<uint8_t>& bytes) {
  const std::string tmp = path + ".tmp";
  {
    std::ofstream f(tmp, std::ios::binary | std::ios::trunc);
    if (!f) return false;
    f.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!f) return false;
  }
  std::error_code ec;
  std::filesystem::rename(tmp, path, ec);
  if (ec) {
    std::filesystem::remove(tmp, ec);
    return false;
  }
  return true;
}

}  // namespace ledscreen
