#include "ledapi/dll/settings.h"

#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <mutex>
#include <random>
#include <vector>

namespace ledapi {

namespace fs = std::filesystem;

namespace {

fs::path ModuleFolder() {
  HMODULE self = nullptr;
  GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                     reinterpret_cast<LPCWSTR>(&ModuleFolder), &self);
  std::vector<wchar_t> buf(MAX_PATH);
  for (;;) {
    const DWORD n = GetModuleFileNameW(self, buf.data(), static_cast<DWORD>(buf.size()));
    if (n == 0) return fs::current_path();
    if (n < buf.size()) return fs::path(std::wstring(buf.data(), n)).parent_path();
    buf.resize(buf.size() * 2);
  }
}

fs::path EnvPath(const wchar_t* name) {
  wchar_t buf[32768];
  const DWORD n = GetEnvironmentVariableW(name, buf, static_cast<DWORD>(std::size(buf)));
  return n > 0 && n < std::size(buf) ? fs::path(std::wstring(buf, n)) : fs::path();
}

fs::path IniPath() {
  // Read afresh each time: a test process sets the variable before opening.
  fs::path p = EnvPath(L"LEDAPI_INI");
  return p.empty() ? ModuleFolder() / ledp::kLedApiIniName : p;
}

bool WriteText(const fs::path& p, const std::string& text, bool append) {
  std::error_code ec;
  fs::create_directories(p.parent_path(), ec);
  std::ofstream f(p, std::ios::binary | (append ? std::ios::app : std::ios::trunc));
  f << text;
  f.flush();
  return static_cast<bool>(f);
}

std::string Utf8(const fs::path& p) {
  const std::u8string s = p.u8string();
  return std::string(s.begin(), s.end());
}

}  // namespace

std::string SettingsPath() { return Utf8(IniPath()); }

bool LoadSettings(ledp::LedApiConfig& cfg, std::string& text, std::string& error) {
  const fs::path p = IniPath();
  text.clear();
  {
    std::ifstream f(p, std::ios::binary);
    if (f) text.assign(std::istreambuf_iterator<char>(f), std::istreambuf_iterator<char>());
  }
  if (ledp::ReadLedApiIniFile(Utf8(p), cfg, error)) return true;
  LogLine(error);
  return false;
}

ledp::Cid InstallationCid() {
  static std::mutex mu;
  std::lock_guard lock(mu);
  const fs::path beside = IniPath().parent_path() / "ledapi.cid";
  const fs::path local = EnvPath(L"LOCALAPPDATA") / "Platora" / "ledapi.cid";
  for (const fs::path& p : {beside, local}) {
    std::ifstream f(p, std::ios::binary);
    std::string line;
    if (f && std::getline(f, line)) {
      while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
      if (auto id = ledp::ParseCid(line)) return *id;
    }
  }
  std::random_device rd;
  std::array<uint8_t, 16> bytes{};
  for (auto& b : bytes) b = static_cast<uint8_t>(rd());
  const ledp::Cid id = ledp::MakeCid(bytes);
  const std::string text = ledp::FormatCid(id) + "\r\n";
  if (!WriteText(beside, text, false) && !local.parent_path().empty()) WriteText(local, text, false);
  return id;
}

void LogLine(const std::string& line) {
  SYSTEMTIME st;
  GetLocalTime(&st);
  char stamp[32];
  wsprintfA(stamp, "%04u-%02u-%02u %02u:%02u:%02u ", st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond);
  const std::string text = stamp + line + "\r\n";
  OutputDebugStringA(text.c_str());
  static std::mutex mu;
  std::lock_guard lock(mu);
  if (!WriteText(IniPath().parent_path() / "ledapi.log", text, true))
    WriteText(fs::temp_directory_path() / "ledapi.log", text, true);
}

}  // namespace ledapi
