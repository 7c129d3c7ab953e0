// Presses a button of a running platora.exe by its caption and waits for a
// line in its result log; used by scripts/run.sh for its headless send.
//   platora_drive click CAPTION [WAIT-FOR-LOG-LINE]
//   platora_drive hover CAPTION      (moves the mouse over a button of any
//                                     of the program's windows)
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/driver.h"

int wmain(int argc, wchar_t** argv) {
  const std::wstring verb = argc >= 3 ? argv[1] : L"";
  if (verb != L"click" && verb != L"hover") {
    std::fprintf(stderr, "usage: platora_drive click CAPTION [LOG-LINE] | hover CAPTION\n");
    return 2;
  }
  if (verb == L"hover") {
    for (const wchar_t* caption : {L"PlatoraV1.0.090115", L"设置:非专业人士,请勿改动 "}) {
      HWND top = FindWindowW(L"PlatoraForm", caption);
      HWND b = top ? e2e::FindByText(top, argv[2]) : nullptr;
      if (!b) continue;
      RECT r;
      GetWindowRect(b, &r);
      SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
      return 0;
    }
    std::fprintf(stderr, "platora_drive: no such button\n");
    return 1;
  }
  HWND main = nullptr;
  // A first start in a fresh prefix builds Wine's font cache first, which on
  // a busy machine takes a good part of a minute.
  e2e::WaitFor([&] { return (main = FindWindowW(L"PlatoraForm", L"PlatoraV1.0.090115")) != nullptr; }, 60000);
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
