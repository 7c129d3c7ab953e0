// The program's side of the screen link over Win32: opening and closing the
// link, the result log, sending the board, the device commands and the test
// sends. The main window's handlers call these; nothing here knows the
// window's class. The link is one per process, as the library's is.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>

#include "screenlink/LedAPI.h"

namespace screenlink {

// The stored result of the last open: 0 before any open, -1 = it failed.
extern int32_t LinkHandle;

// Appends one line to the result log.
using LogLine = std::function<void(const std::wstring&)>;

// The local port the main window's link sends from and receives on.
inline constexpr int kWindowLinkPort = 8888;

// Opens the UDP link with notifications (WM_LED_NOTIFY) to `window`. A
// failure is shown in a message box over the window; success is logged.
void OpenLink(HWND window, const LogLine& log);
// The same open on another local port, silently: stores and returns
// LinkHandle (-1 when the port is taken or the link cannot be opened).
int32_t OpenLinkOn(HWND window, int localPort);
void CloseLink();

// The log line for a WM_LED_NOTIFY message's record, if the log reports it.
void LogNotification(WPARAM record, const LogLine& log);

// The board picture (width x height pixels on `board`) as a one-page program
// to the screen at `screenIp`, stored on the card when `saveToCard`. Sends
// nothing while the last open failed.
void SendBoard(HDC board, int width, int height, const std::wstring& screenIp, bool saveToCard);

// The device commands; each sends nothing while the last open failed.
enum class DeviceCommand { Query, GetPower, PowerOn, PowerOff, SetBrightness, GetBrightness, AdjustTime };
void SendDeviceCommand(DeviceCommand command, const std::wstring& screenIp);

// One-page test programs: the title picture (title.bmp; a file that cannot
// be read raises, leaving the started program empty), a clock, a string and
// two lines of text.
enum class TestProgram { TitlePicture, Clock, String, TwoLines };
void SendTestProgram(TestProgram program, const std::wstring& screenIp);

}  // namespace screenlink
