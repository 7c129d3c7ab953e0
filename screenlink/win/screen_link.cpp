#include "screenlink/win/screen_link.h"

#include "screenlink/core/notify_text.h"
#include "ui/core/utf.h"
#include "ui/win/codepage.h"
#include "ui/win/graphics.h"

namespace screenlink {

int32_t LinkHandle = 0;  // written only by the open

namespace {

constexpr int kScreenPort = 6666;
constexpr int kTargetAddress = 0;
constexpr COLORREF kYellow = RGB(255, 255, 0);
// Program kinds: shown, or shown and stored on the card; two colours.
constexpr int kShow = 17, kShowAndStore = 18, kTwoColours = 2;

// Sends the program built since MakeRoot to the screen at `screenIp`, given
// to the library as zero-terminated GBK bytes.
void Send(const std::wstring& screenIp) {
  const std::string ip = plat::ToFileBytes(screenIp);
  LED_SendToScreen(LinkHandle, kTargetAddress, ip.c_str(), kScreenPort);
}

void AddTestWindows(TestProgram program) {
  switch (program) {
    case TestProgram::TitlePicture: {
      TBitmap title;
      title.LoadFromFile(L"title.bmp");
      AddLeaf(20000);
      const RECT r{480, 0, 512, 96};
      AddWindow(title.Canvas().Handle(), title.Width(), title.Height(), &r, 1, 1, 1);
      return;
    }
    case TestProgram::Clock: {
      AddLeaf(20000);
      const RECT r{0, 0, 128, 32};
      AddDateTime(&r, 1, "Arial", 18, kYellow, 3);
      return;
    }
    case TestProgram::String: {
      AddLeaf(20000);
      const RECT r{0, 0, 128, 32};
      const std::string text = plat::ToFileBytes(L"This is a test 中国人民万岁");
      AddString(text.c_str(), &r, 2, 1, 1, 0, kYellow);
      return;
    }
    case TestProgram::TwoLines: {
      AddLeaf(20000);
      const std::string font = plat::ToFileBytes(L"宋体");
      RECT r{0, 0, 128, 16};
      const std::string first = plat::ToFileBytes(L"第一行abcdefgabcdefgab");
      AddText(first.c_str(), &r, 2, 1, 1, font.c_str(), 12, kYellow);
      r = RECT{0, 16, 128, 32};
      const std::string second = plat::ToFileBytes(L"第二行abcdefgabcdefgab");
      AddText(second.c_str(), &r, 2, 1, 1, font.c_str(), 12, kYellow);
      return;
    }
  }
}

}  // namespace

int32_t OpenLinkOn(HWND window, int localPort) {
  TLedDevice device{};
  device.LinkType = 1;
  device.LocalPort = localPort;
  LinkHandle = LED_Open(&device, 1, window, WM_LED_NOTIFY);
  return LinkHandle;
}

void OpenLink(HWND window, const LogLine& log) {
  if (OpenLinkOn(window, kWindowLinkPort) == -1) {
    MessageBoxW(window, L"无法打开指定通讯链路!", L"错误信息", MB_OK);
    return;
  }
  log(L"通讯链路打开成功!");
}

void CloseLink() { LED_Close(LinkHandle); }

void LogNotification(WPARAM record, const LogLine& log) {
  const auto* notify = reinterpret_cast<const TLedNotify*>(record);
  if (!notify) return;
  const auto line =
      NotifyLogLine(*notify, [](std::string_view gbk) { return plat::WideToUtf8(plat::FromFileBytes(gbk)); });
  if (line) log(plat::Utf8ToWide(*line));
}

void SendBoard(HDC board, int width, int height, const std::wstring& screenIp, bool saveToCard) {
  if (LinkHandle == -1) return;
  MakeRoot(saveToCard ? kShowAndStore : kShow, kTwoColours);
  AddLeaf(200000);
  const RECT screen{0, 0, 512, 96};
  AddWindow(board, width, height, &screen, 1, 1, 1);
  Send(screenIp);
}

void SendDeviceCommand(DeviceCommand command, const std::wstring& screenIp) {
  if (LinkHandle == -1) return;
  const std::string ip = plat::ToFileBytes(screenIp);
  const int l = LinkHandle, a = kTargetAddress, p = kScreenPort;
  switch (command) {
    case DeviceCommand::Query: LED_Query(l, a, ip.c_str(), p); break;
    case DeviceCommand::GetPower: LED_GetPower(l, a, ip.c_str(), p); break;
    case DeviceCommand::PowerOn: LED_SetPower(l, a, ip.c_str(), p, 1); break;
    case DeviceCommand::PowerOff: LED_SetPower(l, a, ip.c_str(), p, 0); break;
    case DeviceCommand::SetBrightness: LED_SetBrightness(l, a, ip.c_str(), p, 1); break;
    case DeviceCommand::GetBrightness: LED_GetBrightness(l, a, ip.c_str(), p); break;
    case DeviceCommand::AdjustTime: LED_AdjustTime(l, a, ip.c_str(), p); break;
  }
}

void SendTestProgram(TestProgram program, const std::wstring& screenIp) {
  if (LinkHandle == -1) return;
  MakeRoot(kShow, kTwoColours);
  AddTestWindows(program);
  Send(screenIp);
}

}  // namespace screenlink
