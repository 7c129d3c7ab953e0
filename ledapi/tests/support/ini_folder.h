// For the library's tests and harnesses: a loopback port nobody listens on,
// and a folder of its own holding a ledapi.ini that the library reads
// (through LEDAPI_INI) for as long as the folder lives.
#pragma once
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "ledapi/net/udp.h"

namespace ledtest {

// 0 when no port could be had; the probe's socket is closed again.
inline uint16_t FreePort() {
  ledp::net::UdpSocket s;
  return s.Bind(ledp::net::kLoopback, 0) ? s.LocalPort() : 0;
}

class IniFolder {
 public:
  IniFolder(const std::string& name, const std::string& ini)
      : dir(std::filesystem::temp_directory_path() /
            (name + "_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(GetTickCount()))) {
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "ledapi.ini", std::ios::binary) << ini;
    SetEnvironmentVariableW(L"LEDAPI_INI", (dir / "ledapi.ini").wstring().c_str());
  }
  ~IniFolder() {
    SetEnvironmentVariableW(L"LEDAPI_INI", nullptr);
    std::error_code ec;
    std::filesystem::remove_all(dir, ec);
  }
  IniFolder(const IniFolder&) = delete;
  IniFolder& operator=(const IniFolder&) = delete;

  // A file the library wrote beside its ledapi.ini (its log, its CID).
  std::string Read(const char* file) const {
    std::ifstream f(dir / file, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(f)), std::istreambuf_iterator<char>());
  }

  const std::filesystem::path dir;
};

}  // namespace ledtest
