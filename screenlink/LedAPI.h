// Declarations of the controller library ledapi.dll, shared by the library
// and the program (which links it at load time through its import library).
// All functions are stdcall, exported under their plain names, and take and
// return 32-bit values. Texts are zero-terminated GBK strings; the library
// copies every text, rectangle and record during the call.
#pragma once
#include <windows.h>

#include "screenlink/core/led_records.h"

#ifdef LEDAPI_BUILD
#define LEDAPI_FN extern "C" __declspec(dllexport) int __stdcall
#else
#define LEDAPI_FN extern "C" __declspec(dllimport) int __stdcall
#endif

// The notification message the program asks for at open (WM_USER + 1).
constexpr UINT WM_LED_NOTIFY = WM_USER + 1;

// Link. Open returns a handle > 0, or -1 when the link cannot be opened.
LEDAPI_FN LED_Open(const TLedDevice* device, int notifyMode, HWND window, int message);
LEDAPI_FN LED_Close(int link);

// Device commands: each is answered later by one notification.
LEDAPI_FN LED_Query(int link, int address, const char* ip, int port);
LEDAPI_FN LED_GetPower(int link, int address, const char* ip, int port);
LEDAPI_FN LED_SetPower(int link, int address, const char* ip, int port, int on);
LEDAPI_FN LED_GetBrightness(int link, int address, const char* ip, int port);
LEDAPI_FN LED_SetBrightness(int link, int address, const char* ip, int port, int level);
LEDAPI_FN LED_AdjustTime(int link, int address, const char* ip, int port);
LEDAPI_FN LED_SendToScreen(int link, int address, const char* ip, int port);

// Display program: MakeRoot starts a new one (17 show, 18 show and store on
// the card), AddLeaf a page, the Add... calls add windows to that page.
LEDAPI_FN MakeRoot(int rootType, int colorMode);
LEDAPI_FN AddLeaf(int displayTime);
LEDAPI_FN AddWindow(HDC dc, int width, int height, const RECT* rect, int stretch, int effect, int speed);
LEDAPI_FN AddText(const char* text, const RECT* rect, int effect, int speed, int stay, const char* fontName,
                  int fontSize, COLORREF color);
LEDAPI_FN AddString(const char* text, const RECT* rect, int effect, int speed, int stay, int transparent,
                    COLORREF color);
LEDAPI_FN AddDateTime(const RECT* rect, int transparent, const char* fontName, int fontSize, COLORREF color,
                      int format);
