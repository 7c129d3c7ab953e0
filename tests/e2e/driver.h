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

class Program {
 public:
  // Starts bin/platora.exe with `dir` as its working directory.
  explicit Program(const std::filesystem::path& dir);
  ~Program();
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  HWND Main();  // the main window (caption "PlatoraV1.0.090115")
  bool Running();
  // Waits for the process to end by itself.
  bool WaitExit(int timeoutMs = 10000);
  DWORD Pid() const { return pi_.dwProcessId; }
  // Top-level windows of the process with this caption (message boxes too).
  HWND FindTopLevel(const std::wstring& caption, int timeoutMs = 5000);

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
void SetText(HWND h, const std::wstring& t);
// Presses a button the way a click does and waits until the program has
// handled it.
void Click(HWND button);
void PostClick(HWND button);  // for clicks whose handler blocks (dialogs)
// The window's pixels as they are on the screen.
plat::Raster Capture(HWND h);
// The text of a message box (its static text).
std::wstring MessageBoxText(HWND box);
void CloseMessageBox(HWND box);

// The edit box of menu line n (1..30) of the main window.
HWND MenuEdit(HWND main, int n);

}  // namespace e2e
