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
#include <thread>

#include "tests/e2e/common.h"

using namespace e2e;

namespace {

void Input(INPUT in) { SendInput(1, &in, sizeof in); }

void MouseTo(int x, int y) {
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65535LL + (sw - 1) / 2) / (sw - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL + (sh - 1) / 2) / (sh - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  Input(in);
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

void ClickAt(HWND w, int x, int y, int times = 1, bool right = false) {
  RECT r;
  GetWindowRect(w, &r);
  MouseTo(r.left + x, r.top + y);
  Pause(100);
  for (int i = 0; i < times; ++i) {
    INPUT in{};
    in.type = INPUT_MOUSE;
    in.mi.dwFlags = right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN;
    Input(in);
    Pause(30);
    in.mi.dwFlags = right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP;
    Input(in);
    Pause(30);
  }
  Pause(300);
}

void Key(WORD vk) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  Input(in);
  in.ki.dwFlags = KEYEVENTF_KEYUP;
  Input(in);
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
  Key(VK_ESCAPE);

  ClickAt(main, 300, 12, 2);  // caption double click
  State("rolledup", hold);
  ClickAt(main, 300, 12, 2);

  ClickAt(main, 42, 8);  // the maximize button
  State("maximized", hold);
  ClickAt(main, 42, 8);
  State("restored", 1);

  ClickAt(main, 300, 12, 1, true);
  Key('C');
  return prog.WaitExit() ? 0 : 1;
}
