// Drives platora.exe from outside, through its windows: start it in a scratch
// folder, find controls by caption or position, type, click, read pixels.
#pragma once
#include <windows.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "ui/core/raster.h"

namespace e2e {

// A Unix path as the Windows side sees it (Wine maps Z: to /).
std::wstring WinPath(const std::filesystem::path& unixPath);
std::filesystem::path BinDir();
std::filesystem::path ScratchDir(const std::string& name);  // fresh, empty

// Waits (pumping nothing) until pred() or the timeout; returns pred().
bool WaitFor(const std::function<bool()>& pred, int timeoutMs = 10000);
void Pause(int ms);

// The main window's caption.
inline constexpr wchar_t kMainCaption[] = L"PlatoraV1.0.090115";
// The main window of a program someone else started (any process).
HWND RunningMain();

class Program {
 public:
  // Starts bin/platora.exe with `dir` as its working directory.
  explicit Program(const std::filesystem::path& dir);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND Main();  // the main window (kMainCaption)
  bool Running();
  // Waits for the process to end by itself.
  bool WaitExit(int timeoutMs = 10000);
  DWORD Pid() const { return pi_.dwProcessId; }
  // A visible top-level window of the process with this caption (message
  // boxes too), or one that `match` accepts.
  HWND FindTopLevel(const std::wstring& caption, int timeoutMs = 5000) const;
  HWND FindTopLevel(const std::function<bool(HWND)>& match, int timeoutMs = 5000) const;

 private:
  PROCESS_INFORMATION pi_{};
  HWND main_ = nullptr;
};

// Children (at any depth) of `parent`.
std::vector<HWND> Descendants(HWND parent);
HWND FindByText(HWND parent, const std::wstring& text);
HWND FindByClassAndSize(HWND parent, const std::wstring& cls, int w, int h);
// The child whose top-left, in `parent`'s client coordinates, is (x, y).
HWND FindAt(HWND parent, int x, int y, const std::wstring& cls = L"");
std::wstring Text(HWND h);
std::wstring ClassOf(HWND h);
void SetText(HWND h, const std::wstring& t);
// Presses a button the way a click does and waits until the program has
// handled it.
void Click(HWND button);
void PostClick(HWND button);  // for clicks whose handler blocks (dialogs)
// The window's pixels as they are on the screen.
plat::Raster Capture(HWND h);
plat::Raster CaptureWithFrame(HWND h);  // the whole window, frame included
// The text of a message box (its static text).
std::wstring MessageBoxText(HWND box);
void CloseMessageBox(HWND box);

// The edit box of menu line n (1..30) of the main window.
HWND MenuEdit(HWND main, int n);

// Input as a user gives it: through the system's input queue, so the pointer
// really moves and the window under it and the focus decide where it goes.
void MouseTo(int x, int y);  // screen coordinates
void MouseTo(POINT p);
void MouseButton(DWORD flags, DWORD data = 0);  // MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_WHEEL, ...
void Key(WORD vk, bool up);
// The screen point (x, y) from the window's top-left corner.
POINT At(HWND window, int x, int y);

}  // namespace e2e
