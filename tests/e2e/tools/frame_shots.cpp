// Puts the running program's main window through the frame's states, one at
// a time, for screenshots: the system menu open under its button, rolled up,
// maximized. Prints "state <name>" and holds each state for a few seconds
// (taken from outside with a screen grab), then closes the program through
// its system menu.
//
//   frame_shots.exe <scratch folder> [seconds per state]
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/e2e/common.h"

using namespace e2e;

namespace {

void ClickAt(HWND w, int x, int y, int times = 1, bool right = false) {
  MouseTo(At(w, x, y));
  Pause(100);
  for (int i = 0; i < times; ++i) {
    MouseButton(right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    Pause(30);
    MouseButton(right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    Pause(30);
  }
  Pause(300);
}

void Press(WORD vk) {
  Key(vk, false);
  Key(vk, true);
  Pause(300);
}

void State(const char* name, int seconds) {
  std::printf("state %s\n", name);
  std::fflush(stdout);
  Pause(seconds * 1000);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc < 2) return 2;
  const std::filesystem::path dir(argv[1]);
  const int hold = argc > 2 ? _wtoi(argv[2]) : 4;
  WriteLoopbackSettings(dir);
  Program prog(dir);
  HWND main = prog.Main();
  if (!main) return 1;
  SetForegroundWindow(main);
  Pause(800);
  State("normal", hold);

  ClickAt(main, 58, 14);  // the system-menu button
  State("sysmenu", hold);
  Press(VK_ESCAPE);

  ClickAt(main, 300, 12, 2);  // caption double click
  State("rolledup", hold);
  ClickAt(main, 300, 12, 2);

  ClickAt(main, 42, 8);  // the maximize button
  State("maximized", hold);
  ClickAt(main, 42, 8);
  State("restored", 1);

  ClickAt(main, 300, 12, 1, true);
  Press('C');
  return prog.WaitExit() ? 0 : 1;
}
