// A stand-in for the controller library: the same exports, no network. Every
// call is written as one line into a log that the test reads; LED_Open
// returns the results the test scripted, then 1, 2, 3, ...
#define LEDAPI_BUILD
#include "screenlink/LedAPI.h"

#include <cstdarg>
#include <cstdio>
#include <deque>
#include <string>

namespace {

std::string g_log;
std::deque<int> g_openResults;
int g_nextHandle = 1;

void Line(const char* fmt, ...) __attribute__((format(printf, 1, 2)));
void Line(const char* fmt, ...) {
  char buf[512];
  va_list ap;
  va_start(ap, fmt);
  std::vsnprintf(buf, sizeof buf, fmt, ap);
  va_end(ap);
  g_log += buf;
  g_log += '\n';
}

std::string Rect(const RECT* r) {
  if (!r) return "null";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%ld,%ld,%ld,%ld", static_cast<long>(r->left), static_cast<long>(r->top),
                static_cast<long>(r->right), static_cast<long>(r->bottom));
  return buf;
}

const char* Text(const char* s) { return s ? s : "(null)"; }

int Command(const char* name, int link, int address, const char* ip, int port) {
  Line("%s %d %d %s %d", name, link, address, Text(ip), port);
  return 0;
}

}  // namespace

extern "C" __declspec(dllexport) const char* FakeLed_Log() { return g_log.c_str(); }
extern "C" __declspec(dllexport) void FakeLed_Reset() {
  g_log.clear();
  g_openResults.clear();
}
extern "C" __declspec(dllexport) void FakeLed_QueueOpenResult(int result) { g_openResults.push_back(result); }

LEDAPI_FN LED_Open(const TLedDevice* device, int notifyMode, HWND window, int message) {
  int result = g_nextHandle++;
  if (!g_openResults.empty()) {
    result = g_openResults.front();
    g_openResults.pop_front();
  }
  Line("LED_Open %d %d %d %s %d", device ? device->LinkType : -1, device ? device->LocalPort : -1, notifyMode,
       IsWindow(window) ? "window" : "no-window", message);
  return result;
}
LEDAPI_FN LED_Close(int link) {
  Line("LED_Close %d", link);
  return 0;
}
LEDAPI_FN LED_Query(int l, int a, const char* ip, int p) { return Command("LED_Query", l, a, ip, p); }
LEDAPI_FN LED_GetPower(int l, int a, const char* ip, int p) { return Command("LED_GetPower", l, a, ip, p); }
LEDAPI_FN LED_SetPower(int l, int a, const char* ip, int p, int on) {
  Line("LED_SetPower %d %d %s %d %d", l, a, Text(ip), p, on);
  return 0;
}
LEDAPI_FN LED_GetBrightness(int l, int a, const char* ip, int p) {
  return Command("LED_GetBrightness", l, a, ip, p);
}
LEDAPI_FN LED_SetBrightness(int l, int a, const char* ip, int p, int level) {
  Line("LED_SetBrightness %d %d %s %d %d", l, a, Text(ip), p, level);
  return 0;
}
LEDAPI_FN LED_AdjustTime(int l, int a, const char* ip, int p) { return Command("LED_AdjustTime", l, a, ip, p); }
LEDAPI_FN LED_SendToScreen(int l, int a, const char* ip, int p) {
  return Command("LED_SendToScreen", l, a, ip, p);
}
LEDAPI_FN MakeRoot(int rootType, int colorMode) {
  Line("MakeRoot %d %d", rootType, colorMode);
  return 0;
}
LEDAPI_FN AddLeaf(int displayTime) {
  Line("AddLeaf %d", displayTime);
  return 0;
}
LEDAPI_FN AddWindow(HDC dc, int width, int height, const RECT* rect, int stretch, int effect, int speed) {
  // The picture's top-left and bottom-right pixels, as the library would read them.
  const COLORREF first = GetPixel(dc, 0, 0), last = GetPixel(dc, width - 1, height - 1);
  Line("AddWindow %d %d %s %d %d %d %06lX %06lX", width, height, Rect(rect).c_str(), stretch, effect, speed,
       static_cast<unsigned long>(first), static_cast<unsigned long>(last));
  return 0;
}
LEDAPI_FN AddText(const char* text, const RECT* rect, int effect, int speed, int stay, const char* fontName,
                  int fontSize, COLORREF color) {
  Line("AddText %s %s %d %d %d %s %d %06lX", Text(text), Rect(rect).c_str(), effect, speed, stay, Text(fontName),
       fontSize, static_cast<unsigned long>(color));
  return 0;
}
LEDAPI_FN AddString(const char* text, const RECT* rect, int effect, int speed, int stay, int transparent,
                    COLORREF color) {
  Line("AddString %s %s %d %d %d %d %06lX", Text(text), Rect(rect).c_str(), effect, speed, stay, transparent,
       static_cast<unsigned long>(color));
  return 0;
}
LEDAPI_FN AddDateTime(const RECT* rect, int transparent, const char* fontName, int fontSize, COLORREF color,
                      int format) {
  Line("AddDateTime %s %d %s %d %06lX %d", Rect(rect).c_str(), transparent, Text(fontName), fontSize,
       static_cast<unsigned long>(color), format);
  return 0;
}
