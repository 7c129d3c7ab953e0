// Windows BMP files: reading (1, 4, 8, 16, 24 and 32 bits per pixel,
// uncompressed or bit fields, either row order; 4 and 8 bits also run-length
// coded) and writing (bottom-up,
// uncompressed, keeping the bit depth and palette a picture was loaded with).
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster.h"
#include "stream.h"

namespace plat {

struct BmpImage {
  int Width = 0;
  int Height = 0;
  int BitCount = 24;
  std::vector<Color> Palette;   // colour table, 0x00BBGGRR
  Raster Pixels;                // the picture as 24-bit colours
  std::vector<uint8_t> Indices; // palette index per pixel (top-down), for BitCount <= 8

  bool Empty() const { return Width <= 0 || Height <= 0; }
};

// Parses one BMP file from the bytes; `consumed` receives the file's own
// length (bfSize, or the real extent of header, table and rows when bfSize
// understates it). Raises EInvalidGraphic "Bitmap image is not valid".
BmpImage ReadBmp(const uint8_t* data, size_t size, size_t* consumed = nullptr);
// Reads exactly one BMP file from the stream's current position.
BmpImage ReadBmp(TStream& stream);
BmpImage LoadBmpFile(const std::string& path);  // EFOpenError / EInvalidGraphic

// Serialises as a complete BMP file: bottom-up rows, no compression, the
// image's bit depth (24 when it has no palette) and colour table.
std::vector<uint8_t> WriteBmp(const BmpImage& image);
std::vector<uint8_t> WriteBmp(const Raster& raster);  // 24 bits per pixel
void SaveBmpFile(const std::string& path, const BmpImage& image);
void SaveBmpFile(const std::string& path, const Raster& raster);

BmpImage BmpFromRaster(const Raster& raster);
// Builds a paletted image; every pixel's colour must be in the palette
// (the nearest entry is taken otherwise).
BmpImage BmpWithPalette(const Raster& raster, int bitCount, const std::vector<Color>& palette);

}  // namespace plat
