// The build's skin packer: the "pack" step of skintool alone, small enough to
// compile with the host compiler when the tree itself targets Windows.
// Usage: skinpack SKIN.INI OUT
#include <cstdio>
#include <exception>

#include "skin/core/vpSkinData.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skinpack SKIN.INI OUT\n");
    return 2;
  }
  try {
    vp::TvpCompressedStoredSkin stored;
    if (!stored.LoadFromSkinFolder(argv[1])) {
      std::fprintf(stderr, "skinpack: %s lacks a required section\n", argv[1]);
      return 1;
    }
    stored.CompressedData().SaveToFile(argv[2]);
    return 0;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "skinpack: %s\n", e.what());
    return 1;
  }
}
