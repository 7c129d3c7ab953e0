#include "app/win/unattended.h"

#include <windows.h>
#include <shellapi.h>

#include <array>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/core/menu_file.h"
#include "app/core/settings_file.h"
#include "app/core/unattended.h"
#include "app/win/board.h"
#include "screenlink/win/screen_link.h"
#include "ui/core/bmp.h"
#include "ui/core/exceptions.h"
#include "ui/core/safe_write.h"
#include "ui/core/utf.h"
#include "ui/win/codepage.h"

namespace unattended {

namespace {

// The library reports every command within 2000 ms of the call; the rest is
// room for its worker under load. Past this the send counts as timed out.
constexpr DWORD kReportWaitMs = 4000;

// A file the run cannot use: the reason goes to the log, the code is 2.
struct BadInputError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

std::string GbkToUtf8(std::string_view gbk) { return plat::WideToUtf8(plat::FromFileBytes(gbk)); }

std::vector<std::string> Arguments(const wchar_t* commandLine) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(commandLine, &argc);
  if (!argv) return {};
  gdi::ScopeExit free([argv] { LocalFree(argv); });
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(plat::WideToUtf8(argv[i]));
  return args;
}

// Reads one input file; its runtime error names the file.
template <class F>
void Reading(const std::string& file, F&& read) {
  try {
    read();
  } catch (const plat::Exception& e) {
    throw BadInputError(file + ": " + e.Message());
  }
}

// messbay.ini by the window's rules. Unlike the window, a missing file is an
// error: the built-in screen address is not one to send to unattended.
BoardSettings ReadSettings() {
  app::SettingsValues v;
  Reading(app::kSettingsFileName, [&] {
    app::SettingsValuesSink sink(v);
    app::ReadSettingsFile(app::kSettingsFileName, sink);
  });
  BoardSettings s;
  s.ScreenIp = plat::FromFileBytes(v.screenIp);
  s.VerticalOffset = v.verticalOffset;
  s.Spacing = v.spacing;
  s.PriceOffset = v.priceOffset;
  s.ShowTitle = v.showTitle;
  s.SaveToCard = v.saveToCard;
  return s;
}

std::array<std::wstring, 31> ReadMenu(const std::string& file) {
  std::array<std::wstring, 31> lines;
  Reading(file, [&] {
    app::ReadMenuFile(file, [&](int n, const std::string& bytes) {
      lines[static_cast<size_t>(n)] = plat::FromFileBytes(bytes);
    });
  });
  return lines;
}

// The board as the window's preview draws it, with the window's start fonts.
class Board {
 public:
  Board(const BoardSettings& settings, const std::array<std::wstring, 31>& menu) {
    SetDefaultPriceFont(priceFont_);
    SetDefaultNameFont(nameFont_);
    picture_.SetSize(kBoardWidth, kBoardHeight);
    strip_.SetSize(kBoardHeight, kBoardWidth);
    BlackenPicture(picture_, priceFont_);
    BlackenPicture(strip_, nameFont_);
    try {
      DrawBoard(picture_, strip_, priceFont_, nameFont_, settings,
                [&](int n) { return menu[static_cast<size_t>(n)]; });
    } catch (const plat::Exception& e) {
      throw BadInputError(e.Message());  // the title picture
    }
  }
  TBitmap& Picture() { return picture_; }

 private:
  TFont priceFont_, nameFont_;
  TBitmap picture_, strip_;
};

bool SameFile(const std::wstring& a, const std::wstring& b) {
  wchar_t fa[MAX_PATH], fb[MAX_PATH];
  if (!GetFullPathNameW(a.c_str(), MAX_PATH, fa, nullptr) || !GetFullPathNameW(b.c_str(), MAX_PATH, fb, nullptr))
    return false;
  return CompareStringOrdinal(fa, -1, fb, -1, TRUE) == CSTR_EQUAL;
}

app::RunResult WritePreview(Board& board, const std::string& file) {
  const std::wstring wide = plat::Utf8ToWide(file);
  for (const char* kept : {app::kSettingsFileName, app::kDefaultMenuFileName, app::kRunLogFileName})
    if (SameFile(wide, plat::Utf8ToWide(kept))) throw BadInputError(file + ": the program's own file, not written");
  const std::vector<uint8_t> bmp = plat::WriteBmp(board.Picture().Raster());
  Reading(file, [&] {
    plat::WriteFileAtomically(file, std::string_view(reinterpret_cast<const char*>(bmp.data()), bmp.size()));
  });
  return app::PreviewWritten(file);
}

// The library's report of the send, from the thread's queue.
app::RunResult WaitForReport(HWND sink, const std::wstring& screenIp) {
  const DWORD start = GetTickCount();
  for (;;) {
    MSG m;
    while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
      if (m.hwnd == sink && m.message == WM_LED_NOTIFY && m.wParam) {
        if (auto r = app::SendResultOf(*reinterpret_cast<const TLedNotify*>(m.wParam), GbkToUtf8)) return *r;
        continue;
      }
      DispatchMessageW(&m);
    }
    const DWORD waited = GetTickCount() - start;
    if (waited >= kReportWaitMs) return app::NoReport(plat::ToFileBytes(screenIp), GbkToUtf8);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, kReportWaitMs - waited, QS_ALLINPUT);
  }
}

// The board to the screen as "发送" sends it, over a link of its own.
app::RunResult Send(Board& board, const BoardSettings& settings) {
  HWND sink = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, GetModuleHandleW(nullptr),
                              nullptr);
  gdi::ScopeExit destroy([sink] { DestroyWindow(sink); });
  bool open = false;
  for (int port = kFirstPort; port < kFirstPort + kPortCount && !open; ++port)
    open = screenlink::OpenLinkOn(sink, port) != -1;
  if (!open) return app::LinkNotOpened();
  gdi::ScopeExit close([] { screenlink::CloseLink(); });
  TBitmap& picture = board.Picture();
  screenlink::SendBoard(picture.Canvas().Handle(), picture.Width(), picture.Height(), settings.ScreenIp,
                        settings.SaveToCard == 1);
  return WaitForReport(sink, settings.ScreenIp);
}

app::RunResult Run(const app::RunRequest& request) {
  if (request.mode == app::RunMode::BadArguments) return app::BadInput(request.problem);
  try {
    const BoardSettings settings = ReadSettings();
    Board board(settings, ReadMenu(request.menuFile));
    if (request.mode == app::RunMode::Preview) return WritePreview(board, request.bitmapFile);
    return Send(board, settings);
  } catch (const BadInputError& e) {
    return app::BadInput(e.what());
  }
}

app::LocalTime Now() {
  SYSTEMTIME st;
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

// One write per line, in append mode, so that runs at the same moment do
// not mix their lines.
void AppendToRunLog(const std::string& bytes) {
  HANDLE f = CreateFileW(plat::Utf8ToWide(app::kRunLogFileName).c_str(), FILE_APPEND_DATA,
                         FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (f == INVALID_HANDLE_VALUE) return;
  gdi::ScopeExit close([f] { CloseHandle(f); });
  DWORD written = 0;
  WriteFile(f, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
}

// To the file or pipe the parent gave as standard output, or else to the
// console of the parent (a GUI program gets none of its own).
void PrintToParent(const std::wstring& line, const std::string& bytes) {
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  DWORD mode = 0, written = 0;
  if (out && out != INVALID_HANDLE_VALUE && !GetConsoleMode(out, &mode)) {
    WriteFile(out, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    return;
  }
  if (!AttachConsole(ATTACH_PARENT_PROCESS)) return;
  gdi::ScopeExit detach([] { FreeConsole(); });
  HANDLE con = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, 0, nullptr);
  if (con == INVALID_HANDLE_VALUE) return;
  gdi::ScopeExit close([con] { CloseHandle(con); });
  const std::wstring text = L"\r\n" + line + L"\r\n";  // the prompt may already stand on the line
  WriteConsoleW(con, text.c_str(), static_cast<DWORD>(text.size()), &written, nullptr);
}

}  // namespace

std::optional<int> RunIfAsked(const wchar_t* commandLine) {
  const std::vector<std::string> args = Arguments(commandLine);
  if (args.empty()) return std::nullopt;
  const app::RunRequest request = app::ParseRunArguments(args);
  const app::RunResult result = Run(request);
  const std::string line = app::RunLogLine(Now(), request, result);
  const std::wstring wide = plat::Utf8ToWide(line);
  const std::string bytes = plat::ToFileBytes(wide) + "\r\n";
  AppendToRunLog(bytes);
  PrintToParent(wide, bytes);
  return result.code;
}

}  // namespace unattended
