// Fuzzes the BMP reader: any bytes either parse or raise the graphic error;
// whatever parses must write back and read again to the same picture.
#include <cstdint>
#include <cstdlib>

#include "ui/core/bmp.h"
#include "ui/core/exceptions.h"
#include "ui/core/stream.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  plat::BmpImage img;
  size_t consumed = 0;
  try {
    img = plat::ReadBmp(data, size, &consumed);
  } catch (const plat::Exception&) {
    return 0;
  }
  if (consumed < 14 || img.Pixels.Width() != img.Width || img.Pixels.Height() != img.Height) std::abort();
  // The stream reader sees the same file.
  try {
    plat::TBytesStream stream(data, size);
    plat::ReadBmp(stream);
  } catch (const plat::Exception&) {
  }
  const std::vector<uint8_t> bytes = plat::WriteBmp(img);
  const plat::BmpImage again = plat::ReadBmp(bytes.data(), bytes.size());
  if (!again.Pixels.SamePixels(img.Pixels)) std::abort();
  return 0;
}
