// Any bytes as "messbay.ini": the reader either succeeds or raises the
// runtime's I/O error, and what it read writes back and reads again the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "app/core/settings_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  app::SettingsValues v;
  app::SettingsValuesSink sink(v);
  try {
    auto f = plat::TextFile::FromBytes(std::string(reinterpret_cast<const char*>(data), size));
    app::ReadSettings(*f, sink);
  } catch (const plat::EInOutError&) {
    return 0;
  }
  app::SettingsValues back;
  app::SettingsValuesSink backSink(back);
  auto again = plat::TextFile::FromBytes(app::SettingsFileBytes(v));
  app::ReadSettings(*again, backSink);
  if (!(back == v)) std::abort();
  return 0;
}
