#include "tests/e2e/driver.h"

#include <chrono>
#include <thread>

#include "ui/win/surface.h"

namespace e2e {

std::wstring ClassOf(HWND h) {
  wchar_t buf[256];
  const int n = GetClassNameW(h, buf, 256);
  return std::wstring(buf, n > 0 ? n : 0);
}

std::wstring WinPath(const std::filesystem::path& p) {
  std::wstring s = p.wstring();
  if (!s.empty() && (s[0] == L'/' || s[0] == L'\\')) s = L"Z:" + s;  // a Unix path
  else s = std::filesystem::absolute(p).wstring();
  for (wchar_t& c : s)
    if (c == L'/') c = L'\\';
  return s;
}

std::filesystem::path BinDir() { return std::filesystem::path(PLATORA_BIN_DIR); }

std::filesystem::path ScratchDir(const std::string& name) {
  const auto dir = std::filesystem::temp_directory_path() / ("platora_e2e_" + name);
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

bool WaitFor(const std::function<bool()>& pred, int timeoutMs) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < end) {
    if (pred()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return pred();
}

void Pause(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

HWND RunningMain() { return FindWindowW(nullptr, kMainCaption); }

Program::Program(const std::filesystem::path& dir) {
  std::wstring exe = WinPath(BinDir() / "platora.exe");
  std::wstring cmd = L"\"" + exe + L"\"";
  std::wstring cwd = WinPath(dir);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (!CreateProcessW(exe.c_str(), cmd.data(), nullptr, nullptr, FALSE, 0, nullptr, cwd.c_str(), &si, &pi_))
    pi_ = PROCESS_INFORMATION{};
}

Program::~Program() {
  if (pi_.hProcess) {
    if (WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT) {
      TerminateProcess(pi_.hProcess, 1);
      WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
  }
}

bool Program::Running() { return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT; }

bool Program::WaitExit(int timeoutMs) {
  return pi_.hProcess && WaitForSingleObject(pi_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

namespace {
struct FindTop {
  DWORD pid;
  const std::function<bool(HWND)>& match;
  HWND found = nullptr;
};
BOOL CALLBACK FindTopProc(HWND h, LPARAM l) {
  auto* f = reinterpret_cast<FindTop*>(l);
  DWORD pid = 0;
  GetWindowThreadProcessId(h, &pid);
  if (pid == f->pid && IsWindowVisible(h) && f->match(h)) {
    f->found = h;
    return FALSE;
  }
  return TRUE;
}
}  // namespace

HWND Program::FindTopLevel(const std::function<bool(HWND)>& match, int timeoutMs) const {
  FindTop f{pi_.dwProcessId, match};
  WaitFor(
      [&] {
        EnumWindows(FindTopProc, reinterpret_cast<LPARAM>(&f));
        return f.found != nullptr;
      },
      timeoutMs);
  return f.found;
}

HWND Program::FindTopLevel(const std::wstring& caption, int timeoutMs) const {
  // The application's own window carries the title for the task bar only;
  // it is no window an operator looks at.
  return FindTopLevel([&](HWND h) { return Text(h) == caption && ClassOf(h) != L"PlatoraApplication"; }, timeoutMs);
}

HWND Program::Main() {
  if (!main_) main_ = FindTopLevel(kMainCaption, 15000);
  return main_;
}

namespace {
BOOL CALLBACK CollectChild(HWND h, LPARAM l) {
  reinterpret_cast<std::vector<HWND>*>(l)->push_back(h);
  return TRUE;
}
}  // namespace

std::vector<HWND> Descendants(HWND parent) {
  std::vector<HWND> out;
  EnumChildWindows(parent, CollectChild, reinterpret_cast<LPARAM>(&out));
  return out;
}

HWND FindByText(HWND parent, const std::wstring& text) {
  for (HWND h : Descendants(parent))
    if (Text(h) == text) return h;
  return nullptr;
}

HWND FindByClassAndSize(HWND parent, const std::wstring& cls, int w, int h) {
  for (HWND c : Descendants(parent)) {
    RECT r;
    GetClientRect(c, &r);
    if (_wcsicmp(ClassOf(c).c_str(), cls.c_str()) == 0 && r.right == w && r.bottom == h) return c;
  }
  return nullptr;
}

HWND FindAt(HWND parent, int x, int y, const std::wstring& cls) {
  for (HWND c : Descendants(parent)) {
    if (GetParent(c) != parent) continue;
    RECT r;
    GetWindowRect(c, &r);
    POINT p{r.left, r.top};
    ScreenToClient(parent, &p);
    if (p.x == x && p.y == y && (cls.empty() || _wcsicmp(ClassOf(c).c_str(), cls.c_str()) == 0)) return c;
  }
  return nullptr;
}

std::wstring Text(HWND h) {
  const LRESULT n = SendMessageW(h, WM_GETTEXTLENGTH, 0, 0);
  std::wstring s(static_cast<size_t>(n) + 1, L'\0');
  const LRESULT got = SendMessageW(h, WM_GETTEXT, static_cast<WPARAM>(n + 1), reinterpret_cast<LPARAM>(s.data()));
  s.resize(static_cast<size_t>(got));
  return s;
}

void SetText(HWND h, const std::wstring& t) {
  SendMessageW(h, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(t.c_str()));
}

// The notification a button sends its parent when it is clicked. (A
// synthetic mouse click needs the window to hold the capture, which a
// process in the background does not get reliably.)
void Click(HWND button) {
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

void PostClick(HWND button) {
  PostMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

namespace {
// Read from the screen itself: a window DC of another process is not
// readable everywhere.
plat::Raster CaptureScreen(int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return {};
  gdi::DibSurface shot(w, h);
  BitBlt(shot.dc(), 0, 0, w, h, gdi::WindowDC().get(), x, y, SRCCOPY);
  return plat::Raster(shot.raster());  // an owning copy: the surface goes
}
}  // namespace

plat::Raster Capture(HWND h) {
  RECT r;
  GetClientRect(h, &r);
  POINT origin{0, 0};
  ClientToScreen(h, &origin);
  return CaptureScreen(origin.x, origin.y, r.right, r.bottom);
}

plat::Raster CaptureWithFrame(HWND h) {
  RECT r;
  GetWindowRect(h, &r);
  return CaptureScreen(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

std::wstring MessageBoxText(HWND box) {
  for (HWND c : Descendants(box)) {
    if (_wcsicmp(ClassOf(c).c_str(), L"Static") == 0 && !Text(c).empty()) return Text(c);
  }
  return L"";
}

void CloseMessageBox(HWND box) {
  PostMessageW(box, WM_COMMAND, IDOK, 0);
  WaitFor([&] { return !IsWindow(box); }, 3000);
}

HWND MenuEdit(HWND main, int n) {
  HWND group = FindByText(main, L"菜单");
  const int k = (n + 1) / 2, col = (k - 1) / 5, row = (k - 1) % 5;
  const int x = (n % 2 ? 8 : 136) + 192 * col, y = 37 + 24 * row;
  return FindAt(group, x, y, L"Edit");
}

void MouseTo(int x, int y) {
  // Absolute input is in 0..65535 across the screen; rounded so that it
  // lands on the pixel asked for.
  const int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dx = static_cast<LONG>((x * 65535LL + (sw - 1) / 2) / (sw - 1));
  in.mi.dy = static_cast<LONG>((y * 65535LL + (sh - 1) / 2) / (sh - 1));
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
  SendInput(1, &in, sizeof in);
}

void MouseTo(POINT p) { MouseTo(p.x, p.y); }

void MouseButton(DWORD flags, DWORD data) {
  INPUT in{};
  in.type = INPUT_MOUSE;
  in.mi.dwFlags = flags;
  in.mi.mouseData = data;
  SendInput(1, &in, sizeof in);
}

void Key(WORD vk, bool up) {
  INPUT in{};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

POINT At(HWND window, int x, int y) {
  RECT r;
  GetWindowRect(window, &r);
  return POINT{r.left + x, r.top + y};
}

}  // namespace e2e
