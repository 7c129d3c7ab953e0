// The simulated screen (ledscreen.exe) as a process of the test, on a
// loopback address and the screen port the program always uses (6666).
#pragma once
#include <windows.h>

#include <filesystem>
#include <string>

#include "tests/e2e/driver.h"

namespace e2e {

// A new key file from `ledscreen --make-key`, as an operator pairs a screen.
inline bool MakeScreenKey(const std::filesystem::path& file) {
  std::wstring exe = WinPath(BinDir().parent_path() / "ledscreen" / "ledscreen.exe");
  std::wstring cmd = L"\"" + exe + L"\" --make-key \"" + WinPath(file) + L"\"";
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi))
    return false;
  WaitForSingleObject(pi.hProcess, 10000);
  DWORD code = 1;
  GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  return code == 0;
}

class Screen {
 public:
  Screen(const std::filesystem::path& dir, const std::string& bind = "127.0.0.1", const std::wstring& extra = L"") {
    snapshot = dir / ("screen-" + bind + ".png");
    card = dir / ("card-" + bind + ".bin");
    std::wstring exe = WinPath(BinDir().parent_path() / "ledscreen" / "ledscreen.exe");
    std::wstring cmd = L"\"" + exe + L"\" --bind " + std::wstring(bind.begin(), bind.end()) +
                       L" --port 6666 --snapshot \"" + WinPath(snapshot) + L"\" --card \"" + WinPath(card) + L"\" " +
                       extra;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &si, &pi_);
    // Ready once it has written its first (black) snapshot.
    WaitFor([&] { return std::filesystem::exists(snapshot); }, 10000);
  }
  ~Screen() {
    if (pi_.hProcess) {
      TerminateProcess(pi_.hProcess, 0);
      WaitForSingleObject(pi_.hProcess, 5000);
      CloseHandle(pi_.hProcess);
      CloseHandle(pi_.hThread);
    }
  }
  Screen(const Screen&) = delete;
  Screen& operator=(const Screen&) = delete;
  bool Running() const { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

  std::filesystem::path snapshot, card;

 private:
  PROCESS_INFORMATION pi_{};
};

}  // namespace e2e
