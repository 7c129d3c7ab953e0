// The exported functions. Links live in a table keyed by handle; the display
// program being built is one per process, as the build calls take no handle.
#define LEDAPI_BUILD
#include "screenlink/LedAPI.h"

#include <cstdlib>
#include <map>
#include <memory>
#include <mutex>
#include <optional>

#include "ledapi/core/program.h"
#include "ledapi/dll/gdi_render.h"
#include "ledapi/dll/link.h"
#include "ledapi/dll/settings.h"

namespace {

using ledapi::Link;

// Leaked on purpose: links must not be torn down (threads joined) from the
// loader's process-detach, so the table outlives static destruction.
struct Links {
  std::mutex mu;
  std::map<int, std::shared_ptr<Link>> byHandle;
  int nextHandle = 1;
};
Links& links() {
  static Links* l = new Links;
  return *l;
}

std::shared_ptr<Link> FindLink(int handle) {
  Links& l = links();
  std::lock_guard lock(l.mu);
  auto it = l.byHandle.find(handle);
  return it == l.byHandle.end() ? nullptr : it->second;
}

// The release binds to every address, so that the screen is reached through
// whichever interface the system routes it; LEDAPI_BIND may pick one. A
// loopback-only tree stays on loopback, whatever LEDAPI_BIND names.
uint32_t BindAddress() {
  const char* env = std::getenv("LEDAPI_BIND");
  if (env && *env) {
    auto a = ledp::ParseIPv4(env);
    if (a && (!ledp::net::kLoopbackOnly || ledp::IsLoopback(*a))) return *a;
  }
  return ledp::net::kLoopbackOnly ? ledp::net::kLoopback : ledp::net::kAnyAddress;
}

struct Builder {
  std::mutex mu;
  std::optional<ledp::Program> program;
};
Builder& builder() {
  static Builder* b = new Builder;
  return *b;
}

// Adds a window to the last page of the program being built.
int AddToPage(ledp::Window w) {
  Builder& b = builder();
  std::lock_guard lock(b.mu);
  if (!b.program || b.program->Pages.empty()) return -1;
  auto& windows = b.program->Pages.back().Windows;
  if (windows.size() >= static_cast<size_t>(ledp::kMaxWindows)) return -1;
  windows.push_back(std::move(w));
  return 0;
}

// The window's area from the caller's rectangle; nothing if it is unusable.
std::optional<plat::Rect> AreaOf(const RECT* r) {
  if (!r) return std::nullopt;
  plat::Rect a{r->left, r->top, r->right, r->bottom};
  if (a.IsNull() || a.Width() > ledp::kMaxSide || a.Height() > ledp::kMaxSide) return std::nullopt;
  if (a.Left < -32768 || a.Top < -32768 || a.Right > 32767 || a.Bottom > 32767) return std::nullopt;
  return a;
}

int Issue(int link, int address, const char* ip, int port, int32_t command, int32_t value) {
  auto l = FindLink(link);
  if (!l) return -1;
  ledp::Request r;
  r.Command = command;
  r.Address = address;
  r.Value = value;
  if (command == led::kCmdAdjustTime) {
    SYSTEMTIME st;
    GetLocalTime(&st);
    r.Clock = {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
  }
  l->Command(r, ip ? ip : "", port);
  return 0;
}

}  // namespace

LEDAPI_FN LED_Open(const TLedDevice* device, int notifyMode, HWND window, int message) {
  if (!device || device->LinkType != 1) return -1;  // serial links are not offered
  if (device->LocalPort <= 0 || device->LocalPort > 65535 || !IsWindow(window)) return -1;
  const auto port = static_cast<uint16_t>(device->LocalPort);
  // A settings file that cannot be taken as written opens no link: the
  // reason is in ledapi.log, and nothing goes to a screen in a way nobody meant.
  ledp::LedApiConfig cfg;
  std::string text, error;
  if (!ledapi::LoadSettings(cfg, text, error)) return -1;
  Links& l = links();
  std::lock_guard lock(l.mu);
  // One link per local port: opening it again keeps the link (and anything
  // still in flight) and only takes the new window and message.
  for (auto& [handle, link] : l.byHandle) {
    if (link->Port() == port) {
      link->Retarget(window, static_cast<UINT>(message));
      link->Configure(cfg, text);
      return handle;
    }
  }
  const int handle = l.nextHandle;
  auto link = Link::Open(handle, BindAddress(), port, window, static_cast<UINT>(message));
  if (!link) return -1;
  link->Configure(cfg, text);
  l.nextHandle = handle < 0x7FFFFFFE ? handle + 1 : 1;
  l.byHandle.emplace(handle, std::move(link));
  return handle;
}

LEDAPI_FN LED_Close(int link) {
  std::shared_ptr<Link> closing;
  {
    Links& l = links();
    std::lock_guard lock(l.mu);
    auto it = l.byHandle.find(link);
    if (it == l.byHandle.end()) return -1;
    closing = std::move(it->second);
    l.byHandle.erase(it);
  }
  closing.reset();  // joins the worker (unless a command call still holds it)
  return 0;
}

LEDAPI_FN LED_Query(int link, int address, const char* ip, int port) {
  return Issue(link, address, ip, port, led::kCmdQuery, 0);
}
LEDAPI_FN LED_GetPower(int link, int address, const char* ip, int port) {
  return Issue(link, address, ip, port, led::kCmdGetPower, 0);
}
LEDAPI_FN LED_SetPower(int link, int address, const char* ip, int port, int on) {
  return Issue(link, address, ip, port, led::kCmdSetPower, on);
}
LEDAPI_FN LED_GetBrightness(int link, int address, const char* ip, int port) {
  return Issue(link, address, ip, port, led::kCmdGetBrightness, 0);
}
LEDAPI_FN LED_SetBrightness(int link, int address, const char* ip, int port, int level) {
  return Issue(link, address, ip, port, led::kCmdSetBrightness, level);
}
LEDAPI_FN LED_AdjustTime(int link, int address, const char* ip, int port) {
  return Issue(link, address, ip, port, led::kCmdAdjustTime, 0);
}

LEDAPI_FN LED_SendToScreen(int link, int address, const char* ip, int port) {
  auto l = FindLink(link);
  if (!l) return -1;
  std::optional<ledp::Program> program;
  {
    Builder& b = builder();
    std::lock_guard lock(b.mu);
    if (!b.program) return -1;
    program = b.program;
  }
  l->SendProgram(*program, address, ip ? ip : "", port);
  return 0;
}

LEDAPI_FN MakeRoot(int rootType, int colorMode) {
  Builder& b = builder();
  std::lock_guard lock(b.mu);
  b.program.reset();
  if (rootType != 17 && rootType != 18) return -1;
  b.program.emplace();
  b.program->RootType = static_cast<uint8_t>(rootType);
  b.program->ColorMode = static_cast<uint8_t>(colorMode);
  return 0;
}

LEDAPI_FN AddLeaf(int displayTime) {
  Builder& b = builder();
  std::lock_guard lock(b.mu);
  if (!b.program || b.program->Pages.size() >= static_cast<size_t>(ledp::kMaxPages)) return -1;
  b.program->Pages.push_back({static_cast<uint32_t>(displayTime > 0 ? displayTime : 0), {}});
  return 0;
}

LEDAPI_FN AddWindow(HDC dc, int width, int height, const RECT* rect, int stretch, int effect, int speed) {
  auto area = AreaOf(rect);
  if (!area) return -1;
  plat::Raster src = ledapi::CaptureDC(dc, width, height);
  if (src.Empty()) return -1;
  ledp::Window w;
  w.Area = *area;
  if (src.Width() == area->Width() && src.Height() == area->Height()) {
    w.Pixels = std::move(src);
  } else {
    // The picture is fitted to its area, whatever its own size.
    w.Pixels = plat::Raster(area->Width(), area->Height());
    plat::StretchCopy(w.Pixels, plat::Rect{0, 0, area->Width(), area->Height()}, src,
                      plat::Rect{0, 0, src.Width(), src.Height()});
  }
  return AddToPage(std::move(w));
}

LEDAPI_FN AddText(const char* text, const RECT* rect, int effect, int speed, int stay, const char* fontName,
                  int fontSize, COLORREF color) {
  auto area = AreaOf(rect);
  if (!area) return -1;
  ledp::Window w;
  w.Area = *area;
  w.Pixels = ledapi::RenderText(ledapi::FromGbk(text), area->Width(), area->Height(), ledapi::FromGbk(fontName),
                                fontSize, color);
  if (w.Pixels.Empty()) return -1;
  return AddToPage(std::move(w));
}

LEDAPI_FN AddString(const char* text, const RECT* rect, int effect, int speed, int stay, int transparent,
                    COLORREF color) {
  auto area = AreaOf(rect);
  if (!area) return -1;
  ledp::Window w;
  w.Area = *area;
  // A string window has no font of its own: the screen's standard 12-point face.
  w.Pixels = ledapi::RenderText(ledapi::FromGbk(text), area->Width(), area->Height(), L"宋体", 12, color);
  if (w.Pixels.Empty()) return -1;
  return AddToPage(std::move(w));
}

LEDAPI_FN AddDateTime(const RECT* rect, int transparent, const char* fontName, int fontSize, COLORREF color,
                      int format) {
  auto area = AreaOf(rect);
  if (!area) return -1;
  ledp::Window w = ledapi::ClockWindow(*area, format, ledapi::FromGbk(fontName), fontSize, color);
  if (w.Pixels.Empty()) return -1;
  return AddToPage(std::move(w));
}
