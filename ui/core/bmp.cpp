#include "bmp.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace plat {

namespace {

constexpr const char* kInvalid = "Bitmap image is not valid";
// Generous but bounded: nothing the program handles comes near this.
constexpr int64_t kMaxPixels = 64LL * 1024 * 1024;

uint32_t U32(const uint8_t* p) { return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24); }
uint16_t U16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int32_t S32(const uint8_t* p) { return static_cast<int32_t>(U32(p)); }
void Put32(std::vector<uint8_t>& v, uint32_t x) {
  for (int i = 0; i < 4; ++i) v.push_back(static_cast<uint8_t>(x >> (8 * i)));
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
  v.push_back(static_cast<uint8_t>(x));
  v.push_back(static_cast<uint8_t>(x >> 8));
}

int MaskShift(uint32_t mask) {
  int s = 0;
  while (mask && !(mask & 1)) { mask >>= 1; ++s; }
  return s;
}
int MaskBits(uint32_t mask) {
  mask >>= MaskShift(mask);
  int b = 0;
  while (mask & 1) { mask >>= 1; ++b; }
  return b;
}
int Channel(uint32_t v, uint32_t mask) {
  if (!mask) return 0;
  const int bits = MaskBits(mask);
  const uint32_t x = (v & mask) >> MaskShift(mask);
  if (bits >= 8) return static_cast<int>(x >> (bits - 8));
  const uint32_t max = (1u << bits) - 1;
  return static_cast<int>((x * 255 + max / 2) / max);
}

constexpr int kRle8 = 1;
constexpr int64_t kMinCodedPixels = 256 * 256;
constexpr int64_t kMaxPixelsPerCodeByte = 4096;
constexpr int kRle4 = 2;

// Decodes run-length coded palette indices (bottom row first) from
// data[begin, end) into `indices` (top-down, one byte per pixel). Pixels the
// code skips (end of line, delta, an early end) keep index 0, as in a fresh
// picture; runs past the right edge are cut there. Data that stops without the
// end-of-picture mark ends the picture where it stops. Returns the position
// after the last byte used.
size_t DecodeRle(const uint8_t* data, size_t begin, size_t end, int bits, int width, int height,
                 std::vector<uint8_t>& indices) {
  int x = 0, row = 0;  // row 0 is the bottom row
  auto put = [&](int idx) {
    if (x < width) indices[static_cast<size_t>(height - 1 - row) * width + x] = static_cast<uint8_t>(idx);
    x = std::min(x + 1, width);
  };
  size_t pos = begin;
  while (row < height && end - pos >= 2) {
    const int count = data[pos], value = data[pos + 1];
    pos += 2;
    if (count > 0) {  // a run of one index (RLE8), or of two alternating ones (RLE4)
      for (int i = 0; i < count && x < width; ++i)
        put(bits == 8 ? value : (i % 2 == 0 ? value >> 4 : value & 0x0F));
      continue;
    }
    if (value == 0) {  // end of line
      x = 0;
      ++row;
    } else if (value == 1) {  // end of picture
      break;
    } else if (value == 2) {  // delta: right and up
      if (end - pos < 2) { pos = end; break; }
      x = std::min(x + data[pos], width);
      row += data[pos + 1];
      pos += 2;
    } else {  // absolute run of `value` indices, padded to a 16-bit boundary
      const size_t bytes = bits == 8 ? value : (static_cast<size_t>(value) + 1) / 2;
      const size_t padded = (bytes + 1) & ~static_cast<size_t>(1);
      const size_t avail = std::min(bytes, end - pos);
      for (int i = 0; i < value && static_cast<size_t>(bits == 8 ? i : i / 2) < avail; ++i) {
        const uint8_t b = data[pos + (bits == 8 ? i : i / 2)];
        put(bits == 8 ? b : (i % 2 == 0 ? b >> 4 : b & 0x0F));
      }
      pos += std::min(padded, end - pos);
    }
  }
  return pos;
}

}  // namespace

BmpImage ReadBmp(const uint8_t* data, size_t size, size_t* consumed) {
  if (size < 14 + 12 || data[0] != 'B' || data[1] != 'M') throw EInvalidGraphic(kInvalid);
  const uint32_t bfSize = U32(data + 2);
  const uint32_t offBits = U32(data + 10);
  const uint8_t* ih = data + 14;
  const uint32_t hsize = U32(ih);
  int64_t width, height;
  int bitCount, compression = 0;
  uint32_t clrUsed = 0;
  size_t tableEntry = 4;
  if (hsize == 12) {  // OS/2 core header
    width = U16(ih + 4);
    height = static_cast<int16_t>(U16(ih + 6));
    bitCount = U16(ih + 10);
    tableEntry = 3;
  } else if (hsize >= 40 && hsize <= 256 && size >= 14 + hsize) {
    width = S32(ih + 4);
    height = S32(ih + 8);
    bitCount = U16(ih + 14);
    compression = static_cast<int>(U32(ih + 16));
    clrUsed = U32(ih + 32);
  } else {
    throw EInvalidGraphic(kInvalid);
  }
  const bool topDown = height < 0;
  if (topDown) height = -height;
  if (width <= 0 || height <= 0 || width * height > kMaxPixels) throw EInvalidGraphic(kInvalid);
  if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
    throw EInvalidGraphic(kInvalid);
  const bool rle = (compression == kRle8 && bitCount == 8) || (compression == kRle4 && bitCount == 4);
  // Compressed pictures are stored bottom row first only.
  if (rle && topDown) throw EInvalidGraphic(kInvalid);
  if (compression != 0 && !rle && !(compression == 3 && (bitCount == 16 || bitCount == 32)))
    throw EInvalidGraphic(kInvalid);

  size_t pos = 14 + hsize;
  uint32_t rmask = 0, gmask = 0, bmask = 0;
  if (compression == 3) {
    if (hsize >= 52) {
      rmask = U32(ih + 40); gmask = U32(ih + 44); bmask = U32(ih + 48);
    } else {
      if (size < pos + 12) throw EInvalidGraphic(kInvalid);
      rmask = U32(data + pos); gmask = U32(data + pos + 4); bmask = U32(data + pos + 8);
      pos += 12;
    }
  } else if (bitCount == 16) {
    rmask = 0x7C00; gmask = 0x03E0; bmask = 0x001F;
  } else if (bitCount == 32) {
    rmask = 0xFF0000; gmask = 0xFF00; bmask = 0xFF;
  }

  BmpImage img;
  img.Width = static_cast<int>(width);
  img.Height = static_cast<int>(height);
  img.BitCount = bitCount;
  if (bitCount <= 8) {
    const uint32_t maxEntries = 1u << bitCount;
    uint32_t n = clrUsed ? std::min(clrUsed, maxEntries) : maxEntries;
    if (size < pos + n * tableEntry) throw EInvalidGraphic(kInvalid);
    for (uint32_t i = 0; i < n; ++i) {
      const uint8_t* e = data + pos + i * tableEntry;
      img.Palette.push_back(RGBColor(e[2], e[1], e[0]));
    }
    pos += n * tableEntry;
  }
  const size_t pixelStart = offBits >= pos ? offBits : pos;
  if (rle) {
    if (pixelStart > size) throw EInvalidGraphic(kInvalid);
    // A few bytes of code can claim a huge blank picture. Real files stay far
    // below 4096 pixels per byte of code (a blank row costs at least its end
    // of line); a claim beyond that is refused rather than allocated.
    if (width * height > std::max<int64_t>(kMinCodedPixels, kMaxPixelsPerCodeByte * int64_t(size - pixelStart)))
      throw EInvalidGraphic(kInvalid);
    img.Pixels.Resize(img.Width, img.Height);
    img.Indices.assign(static_cast<size_t>(width) * height, 0);
    const size_t end = DecodeRle(data, pixelStart, size, bitCount, img.Width, img.Height, img.Indices);
    for (int y = 0; y < img.Height; ++y) {
      const uint8_t* idx = img.Indices.data() + static_cast<size_t>(y) * width;
      uint8_t* dst = img.Pixels.Row(y);
      for (int x = 0; x < img.Width; ++x, dst += 3) {
        const Color c = idx[x] < img.Palette.size() ? img.Palette[idx[x]] : clBlack;
        dst[0] = static_cast<uint8_t>(BlueOf(c));
        dst[1] = static_cast<uint8_t>(GreenOf(c));
        dst[2] = static_cast<uint8_t>(RedOf(c));
      }
    }
    if (consumed) *consumed = std::max<size_t>(bfSize <= size ? bfSize : end, end);
    return img;
  }
  const size_t rowBytes = ((static_cast<size_t>(width) * bitCount + 31) / 32) * 4;
  // In 64 bits: with a 32-bit size_t a large offset would wrap past the check.
  const uint64_t needed64 = static_cast<uint64_t>(pixelStart) + static_cast<uint64_t>(rowBytes) * height;
  if (needed64 > size) throw EInvalidGraphic(kInvalid);
  const size_t needed = static_cast<size_t>(needed64);

  img.Pixels.Resize(img.Width, img.Height);
  if (bitCount <= 8) img.Indices.assign(static_cast<size_t>(width) * height, 0);
  for (int y = 0; y < img.Height; ++y) {
    const int fileRow = topDown ? y : img.Height - 1 - y;
    const uint8_t* src = data + pixelStart + rowBytes * fileRow;
    uint8_t* dst = img.Pixels.Row(y);
    for (int x = 0; x < img.Width; ++x) {
      Color c;
      if (bitCount <= 8) {
        const int perByte = 8 / bitCount;
        const int shift = 8 - bitCount * (1 + x % perByte);
        const int idx = (src[x / perByte] >> shift) & ((1 << bitCount) - 1);
        img.Indices[static_cast<size_t>(y) * width + x] = static_cast<uint8_t>(idx);
        c = idx < static_cast<int>(img.Palette.size()) ? img.Palette[idx] : clBlack;
      } else if (bitCount == 24) {
        const uint8_t* p = src + 3 * x;
        c = RGBColor(p[2], p[1], p[0]);
      } else {
        const uint32_t v = bitCount == 16 ? U16(src + 2 * x) : U32(src + 4 * x);
        c = RGBColor(Channel(v, rmask), Channel(v, gmask), Channel(v, bmask));
      }
      dst[3 * x] = static_cast<uint8_t>(BlueOf(c));
      dst[3 * x + 1] = static_cast<uint8_t>(GreenOf(c));
      dst[3 * x + 2] = static_cast<uint8_t>(RedOf(c));
    }
  }
  if (consumed) *consumed = std::max<size_t>(bfSize <= size ? bfSize : needed, needed);
  return img;
}

BmpImage ReadBmp(TStream& stream) {
  uint8_t fh[14];
  if (stream.Read(fh, 14) != 14 || fh[0] != 'B' || fh[1] != 'M') throw EInvalidGraphic(kInvalid);
  const uint32_t bfSize = U32(fh + 2);
  if (bfSize < 14 + 12 || bfSize > (1u << 30)) throw EInvalidGraphic(kInvalid);
  // A header that claims more than the stream holds must not allocate it: it
  // fails as reading past the end would.
  if (static_cast<int64_t>(bfSize) - 14 > stream.Size() - stream.Position()) throw EReadError("Stream read error");
  std::vector<uint8_t> buf(bfSize);
  std::memcpy(buf.data(), fh, 14);
  stream.ReadBuffer(buf.data() + 14, static_cast<int32_t>(bfSize - 14));
  return ReadBmp(buf.data(), buf.size());
}

BmpImage LoadBmpFile(const std::string& path) {
  const std::vector<uint8_t> bytes = ReadWholeFile(path);
  return ReadBmp(bytes.data(), bytes.size());
}

std::vector<uint8_t> WriteBmp(const BmpImage& image) {
  const int bits = (image.BitCount <= 8 && !image.Palette.empty()) ? image.BitCount : 24;
  const size_t rowBytes = ((static_cast<size_t>(image.Width) * bits + 31) / 32) * 4;
  const size_t tableBytes = bits <= 8 ? image.Palette.size() * 4 : 0;
  const size_t offBits = 14 + 40 + tableBytes;
  const size_t total = offBits + rowBytes * image.Height;
  std::vector<uint8_t> out;
  out.reserve(total);
  out.push_back('B');
  out.push_back('M');
  Put32(out, static_cast<uint32_t>(total));
  Put16(out, 0);
  Put16(out, 0);
  Put32(out, static_cast<uint32_t>(offBits));
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(image.Width));
  Put32(out, static_cast<uint32_t>(image.Height));
  Put16(out, 1);
  Put16(out, static_cast<uint16_t>(bits));
  Put32(out, 0);
  Put32(out, static_cast<uint32_t>(rowBytes * image.Height));
  Put32(out, 0);
  Put32(out, 0);
  Put32(out, bits <= 8 ? static_cast<uint32_t>(image.Palette.size()) : 0);
  Put32(out, 0);
  if (bits <= 8)
    for (Color c : image.Palette) {
      out.push_back(static_cast<uint8_t>(BlueOf(c)));
      out.push_back(static_cast<uint8_t>(GreenOf(c)));
      out.push_back(static_cast<uint8_t>(RedOf(c)));
      out.push_back(0);
    }
  for (int y = image.Height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(rowBytes, 0);
    if (bits == 24) {
      std::memcpy(row.data(), image.Pixels.Row(y), static_cast<size_t>(3) * image.Width);
    } else {
      const int perByte = 8 / bits;
      for (int x = 0; x < image.Width; ++x) {
        const int idx = image.Indices[static_cast<size_t>(y) * image.Width + x];
        const int shift = 8 - bits * (1 + x % perByte);
        row[x / perByte] |= static_cast<uint8_t>(idx << shift);
      }
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return out;
}

std::vector<uint8_t> WriteBmp(const Raster& raster) { return WriteBmp(BmpFromRaster(raster)); }

void SaveBmpFile(const std::string& path, const BmpImage& image) {
  const std::vector<uint8_t> bytes = WriteBmp(image);
  TFileStream f(path, TFileStream::fmCreate);
  f.WriteBuffer(bytes.data(), static_cast<int32_t>(bytes.size()));
}

void SaveBmpFile(const std::string& path, const Raster& raster) { SaveBmpFile(path, BmpFromRaster(raster)); }

BmpImage BmpFromRaster(const Raster& raster) {
  BmpImage img;
  img.Width = raster.Width();
  img.Height = raster.Height();
  img.BitCount = 24;
  img.Pixels = raster;
  return img;
}

BmpImage BmpWithPalette(const Raster& raster, int bitCount, const std::vector<Color>& palette) {
  BmpImage img;
  img.Width = raster.Width();
  img.Height = raster.Height();
  img.BitCount = bitCount;
  img.Palette = palette;
  img.Indices.assign(static_cast<size_t>(img.Width) * img.Height, 0);
  img.Pixels.Resize(img.Width, img.Height);
  for (int y = 0; y < img.Height; ++y)
    for (int x = 0; x < img.Width; ++x) {
      const Color c = raster.Pixel(x, y);
      int best = 0;
      int bestDist = std::numeric_limits<int>::max();
      for (size_t i = 0; i < palette.size(); ++i) {
        const int dr = RedOf(c) - RedOf(palette[i]), dg = GreenOf(c) - GreenOf(palette[i]),
                  db = BlueOf(c) - BlueOf(palette[i]);
        const int d = dr * dr + dg * dg + db * db;
        if (d < bestDist) { bestDist = d; best = static_cast<int>(i); if (d == 0) break; }
      }
      img.Indices[static_cast<size_t>(y) * img.Width + x] = static_cast<uint8_t>(best);
      img.Pixels.SetPixel(x, y, palette.empty() ? c : palette[best]);
    }
  return img;
}

}  // namespace plat
