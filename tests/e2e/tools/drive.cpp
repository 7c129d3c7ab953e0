// Presses a button of a running platora.exe by its caption and waits for a
// line in its result log; used by scripts/run.sh for its headless send.
//   platora_drive click CAPTION [WAIT-FOR-LOG-LINE]
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/driver.h"

int wmain(int argc, wchar_t** argv) {
  if (argc < 3 || std::wstring(argv[1]) != L"click") {
    std::fprintf(stderr, "usage: platora_drive click CAPTION [LOG-LINE]\n");
    return 2;
  }
  HWND main = nullptr;
  e2e::WaitFor([&] { return (main = FindWindowW(L"PlatoraForm", L"PlatoraV1.0.090115")) != nullptr; }, 20000);
  if (!main) {
    std::fprintf(stderr, "platora_drive: the main window did not appear\n");
    return 1;
  }
  HWND button = e2e::FindByText(main, argv[2]);
  if (!button) {
    std::fprintf(stderr, "platora_drive: no such button\n");
    return 1;
  }
  e2e::Click(button);
  if (argc < 4) return 0;
  HWND log = e2e::FindAt(main, 10, 328, L"Edit");
  const bool seen = e2e::WaitFor([&] { return e2e::Text(log).find(argv[3]) != std::wstring::npos; }, 10000);
  if (!seen) std::fprintf(stderr, "platora_drive: the expected log line did not arrive\n");
  return seen ? 0 : 1;
}
