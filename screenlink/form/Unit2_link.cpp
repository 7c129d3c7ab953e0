// The main window's side of the screen link: opening and closing the link,
// the result log, sending the board, the device commands and the test sends.
// Every button action is a method that other handlers call directly.
#include <string>

#include "app/win/Unit2.h"
#include "screenlink/LedAPI.h"
#include "screenlink/core/notify_text.h"
#include "ui/core/utf.h"
#include "ui/win/codepage.h"

int32_t LinkHandle = 0;  // written only by the open; -1 = the last open failed

namespace {

constexpr int kScreenPort = 6666;
constexpr int kTargetAddress = 0;
constexpr COLORREF kYellow = RGB(255, 255, 0);

// ScreenIp as the library wants it: zero-terminated GBK bytes, never null.
std::string Ip() { return plat::ToFileBytes(Settings.ScreenIp); }

}  // namespace

// ---------------------------------------------------------------- link

void TForm1::BitBtn1Click(TObject*) {
  TLedDevice device{};
  device.LinkType = 1;
  device.LocalPort = 8888;
  LinkHandle = LED_Open(&device, 1, Handle(), WM_LED_NOTIFY);
  if (LinkHandle == -1) {
    MessageBoxW(Handle(), L"无法打开指定通讯链路!", L"错误信息", MB_OK);
    return;
  }
  Memo1->Lines().Add(L"通讯链路打开成功!");
}

void TForm1::BitBtn11Click(TObject*) { LED_Close(LinkHandle); }

void TForm1::WMLedNotify(TMessage& Message) {
  const auto* notify = reinterpret_cast<const TLedNotify*>(Message.WParam);
  if (!notify) return;
  const auto line = screenlink::NotifyLogLine(*notify, [](std::string_view gbk) {
    return plat::WideToUtf8(plat::FromFileBytes(gbk));
  });
  if (line) Memo1->Lines().Add(plat::Utf8ToWide(*line));
}

// ---------------------------------------------------------------- send

void TForm1::BitBtn13Click(TObject*) {
  BitBtn18Click(BitBtn18);
  BitBtn1Click(BitBtn1);
  if (LinkHandle == -1) return;
  MakeRoot(Settings.SaveToCard == 1 ? 18 : 17, 2);
  AddLeaf(200000);
  const RECT screen{0, 0, 512, 96};
  AddWindow(Image1->Canvas().Handle(), Image1->Width(), Image1->Height(), &screen, 1, 1, 1);
  const std::string ip = Ip();
  LED_SendToScreen(LinkHandle, kTargetAddress, ip.c_str(), kScreenPort);
}

// ---------------------------------------------------------------- device commands

namespace {

// A device command: nothing at all while the last open failed; otherwise the
// call with the link, target address 0, the screen address and port 6666.
template <class Call>
void DeviceCommand(Call call) {
  if (LinkHandle == -1) return;
  const std::string ip = Ip();
  call(LinkHandle, kTargetAddress, ip.c_str(), kScreenPort);
}

}  // namespace

void TForm1::BitBtn2Click(TObject*) { DeviceCommand(LED_Query); }
void TForm1::BitBtn3Click(TObject*) { DeviceCommand(LED_GetPower); }
void TForm1::BitBtn4Click(TObject*) {
  DeviceCommand([](int l, int a, const char* ip, int p) { return LED_SetPower(l, a, ip, p, 1); });
}
void TForm1::BitBtn5Click(TObject*) {
  DeviceCommand([](int l, int a, const char* ip, int p) { return LED_SetPower(l, a, ip, p, 0); });
}
void TForm1::BitBtn6Click(TObject*) {
  DeviceCommand([](int l, int a, const char* ip, int p) { return LED_SetBrightness(l, a, ip, p, 1); });
}
void TForm1::BitBtn7Click(TObject*) { DeviceCommand(LED_GetBrightness); }
void TForm1::BitBtn9Click(TObject*) { DeviceCommand(LED_AdjustTime); }

// ---------------------------------------------------------------- test sends

void TForm1::BitBtn8Click(TObject*) {
  if (LinkHandle == -1) return;
  MakeRoot(17, 2);
  TBitmap title;
  title.LoadFromFile(L"title.bmp");  // a failure leaves the started program empty
  AddLeaf(20000);
  const RECT r{480, 0, 512, 96};
  AddWindow(title.Canvas().Handle(), title.Width(), title.Height(), &r, 1, 1, 1);
  const std::string ip = Ip();
  LED_SendToScreen(LinkHandle, kTargetAddress, ip.c_str(), kScreenPort);
}

namespace {

// A one-page test program (17: display only, page 20000) with the windows
// that `addWindows` adds, sent over the link as it stands.
template <class AddWindows>
void TestSend(AddWindows addWindows) {
  if (LinkHandle == -1) return;
  MakeRoot(17, 2);
  AddLeaf(20000);
  addWindows();
  const std::string ip = Ip();
  LED_SendToScreen(LinkHandle, kTargetAddress, ip.c_str(), kScreenPort);
}

}  // namespace

void TForm1::BitBtn10Click(TObject*) {
  TestSend([] {
    const RECT r{0, 0, 128, 32};
    AddDateTime(&r, 1, "Arial", 18, kYellow, 3);
  });
}

void TForm1::BitBtn12Click(TObject*) {
  TestSend([] {
    const RECT r{0, 0, 128, 32};
    const std::string text = plat::ToFileBytes(L"This is a test 中国人民万岁");
    AddString(text.c_str(), &r, 2, 1, 1, 0, kYellow);
  });
}

void TForm1::Button1Click(TObject*) {
  TestSend([] {
    const std::string font = plat::ToFileBytes(L"宋体");
    RECT r{0, 0, 128, 16};
    const std::string first = plat::ToFileBytes(L"第一行abcdefgabcdefgab");
    AddText(first.c_str(), &r, 2, 1, 1, font.c_str(), 12, kYellow);
    r = RECT{0, 16, 128, 32};
    const std::string second = plat::ToFileBytes(L"第二行abcdefgabcdefgab");
    AddText(second.c_str(), &r, 2, 1, 1, font.c_str(), 12, kYellow);
  });
}
