// Any bytes as a menu file: thirty lines arrive in order, and they write back
// and read again the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/core/menu_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app::MenuLines lines;
  int next = 1;
  auto f = plat::TextFile::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
  app::ReadMenu(*f, [&](int line, const std::string& s) {
    if (line != next++) std::abort();
    lines[line - 1] = s;
  });
  if (next != app::kMenuLineCount + 1) std::abort();
  app::MenuLines back;
  auto again = plat::TextFile::FromBytes(app::MenuFileBytes(lines));
  app::ReadMenu(*again, [&](int line, const std::string& s) { back[line - 1] = s; });
  if (back != lines) std::abort();
  return 0;
}
