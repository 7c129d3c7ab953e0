// The main window's screen-link handlers against a recording stand-in for the
// controller library (a DLL of the same name beside this test): which calls
// each button makes, with which handle, and what the log and the board show.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "app/win/Unit2.h"
#include "screenlink/win/screen_link.h"
#include "ui/core/bmp.h"

namespace {

using screenlink::LinkHandle;

std::vector<std::string> Calls() {
  using LogFn = const char* (*)();
  auto fn = reinterpret_cast<LogFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ledapi.dll"), "FakeLed_Log")));
  std::vector<std::string> lines;
  if (!fn) return lines;
  std::istringstream in(fn());
  for (std::string l; std::getline(in, l);) lines.push_back(l);
  return lines;
}

void FakeCall(const char* name, int arg = 0) {
  FARPROC p = GetProcAddress(GetModuleHandleW(L"ledapi.dll"), name);
  ASSERT_TRUE(p) << name;
  if (std::string(name) == "FakeLed_QueueOpenResult")
    reinterpret_cast<void (*)(int)>(reinterpret_cast<void*>(p))(arg);
  else
    reinterpret_cast<void (*)()>(reinterpret_cast<void*>(p))();
}

// Answers the error box of a failed open (OK) from another thread, keeping
// what it said.
class ErrorBoxAnswerer {
 public:
  ErrorBoxAnswerer()
      : thread_([this] {
          for (int i = 0; i < 500 && !stop_; ++i) {
            if (HWND box = FindWindowW(L"#32770", L"错误信息")) {
              wchar_t buf[256] = {};
              GetDlgItemTextW(box, 0xFFFF, buf, 256);
              text_ = buf;
              ++seen_;
              PostMessageW(box, WM_COMMAND, IDOK, 0);
              while (IsWindow(box) && !stop_) Sleep(10);
            }
            Sleep(10);
          }
        }) {}
  ~ErrorBoxAnswerer() {
    stop_ = true;
    thread_.join();
  }
  int Seen() const { return seen_; }
  std::wstring Text() const { return text_; }

 private:
  std::atomic<bool> stop_{false};
  std::atomic<int> seen_{0};
  std::wstring text_;
  std::thread thread_;
};

// The board as it is now (the picture's raster is a view of its memory).
plat::Raster BoardCopy() {
  const plat::Raster view = Form1->Image1->Picture().Raster();
  return plat::Raster(view);
}

class Link : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static TApplication app;
    Application->Initialize();
    Application->OnException = [](const std::wstring&) {};
    const auto dir = std::filesystem::temp_directory_path() / "platora_link_test";
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    std::filesystem::remove(dir / "default.lst");
    std::filesystem::remove(dir / "title.bmp");
    std::ofstream(dir / "messbay.ini", std::ios::binary) << "0\r\n0\r\n127.0.0.1\r\n0\r\n0\r\n0\r\n0\r\n0\r\n";
    Application->CreateForm(Form1);
  }
  void SetUp() override {
    ASSERT_TRUE(GetProcAddress(GetModuleHandleW(L"ledapi.dll"), "FakeLed_Log")) << "the real library was loaded";
    FakeCall("FakeLed_Reset");
    Form1->Memo1->Lines().Clear();
    Settings.SaveToCard = 0;
    Settings.ShowTitle = 0;
  }
  static std::wstring Log() { return Form1->Memo1->Text(); }
};

TEST_F(Link, CommandsAndTestSendsBeforeAnyOpenUseHandleZero) {
  ASSERT_EQ(LinkHandle, 0);
  TForm1& f = *Form1;
  f.BitBtn2Click(nullptr);
  f.BitBtn4Click(nullptr);
  f.BitBtn6Click(nullptr);
  f.BitBtn10Click(nullptr);
  f.BitBtn11Click(nullptr);
  EXPECT_EQ(Calls(), (std::vector<std::string>{
                         "LED_Query 0 0 127.0.0.1 6666", "LED_SetPower 0 0 127.0.0.1 6666 1",
                         "LED_SetBrightness 0 0 127.0.0.1 6666 1", "MakeRoot 17 2", "AddLeaf 20000",
                         "AddDateTime 0,0,128,32 1 Arial 18 00FFFF 3", "LED_SendToScreen 0 0 127.0.0.1 6666",
                         "LED_Close 0"}));
  EXPECT_EQ(LinkHandle, 0);
  EXPECT_TRUE(Log().empty());
}

TEST_F(Link, AFailedSendStillRefreshesTheBoardAndALaterOpenBringsCommandsBack) {
  TForm1& f = *Form1;
  f.SetMenuLine(1, L"田田");
  f.BitBtn18Click(nullptr);
  const plat::Raster before = BoardCopy();
  f.SetMenuLine(1, L"");
  FakeCall("FakeLed_QueueOpenResult", -1);
  {
    ErrorBoxAnswerer box;
    f.BitBtn13Click(nullptr);
    EXPECT_EQ(box.Seen(), 1);
    EXPECT_EQ(box.Text(), L"无法打开指定通讯链路!");
  }
  EXPECT_EQ(LinkHandle, -1);
  // The preview ran before the open: name 1 is gone from the board.
  const plat::Raster after = BoardCopy();
  EXPECT_FALSE(after.SamePixels(before));
  f.BitBtn18Click(nullptr);
  EXPECT_TRUE(BoardCopy().SamePixels(after));
  // Nothing is built or sent; commands and test sends stay silent.
  f.BitBtn2Click(nullptr);
  f.BitBtn8Click(nullptr);
  f.Button1Click(nullptr);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"LED_Open 1 8888 1 window 1025"}));
  EXPECT_TRUE(Log().empty());
  // Close still goes to the library, with the failed handle.
  f.BitBtn11Click(nullptr);
  EXPECT_EQ(Calls().back(), "LED_Close -1");

  FakeCall("FakeLed_Reset");
  FakeCall("FakeLed_QueueOpenResult", 7);
  f.BitBtn1Click(nullptr);
  EXPECT_EQ(Log(), L"通讯链路打开成功!\r\n");
  f.BitBtn9Click(nullptr);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"LED_Open 1 8888 1 window 1025", "LED_AdjustTime 7 0 127.0.0.1 6666"}));
}

TEST_F(Link, EachOpenReplacesTheHandleAndCloseKeepsIt) {
  TForm1& f = *Form1;
  FakeCall("FakeLed_QueueOpenResult", 3);
  FakeCall("FakeLed_QueueOpenResult", 4);
  f.BitBtn1Click(nullptr);
  f.BitBtn1Click(nullptr);
  EXPECT_EQ(LinkHandle, 4);
  f.BitBtn11Click(nullptr);
  EXPECT_EQ(LinkHandle, 4);
  f.BitBtn7Click(nullptr);
  EXPECT_EQ(Calls(), (std::vector<std::string>{"LED_Open 1 8888 1 window 1025", "LED_Open 1 8888 1 window 1025",
                                               "LED_Close 4", "LED_GetBrightness 4 0 127.0.0.1 6666"}));
  EXPECT_EQ(Log(), L"通讯链路打开成功!\r\n通讯链路打开成功!\r\n");
}

TEST_F(Link, OnlyASaveToCardOfExactlyOneStoresAndEachSendOpensAgain) {
  TForm1& f = *Form1;
  for (int save : {0, 1, 2}) {
    SCOPED_TRACE(save);
    FakeCall("FakeLed_Reset");
    FakeCall("FakeLed_QueueOpenResult", 10 + save);
    FakeCall("FakeLed_QueueOpenResult", 20 + save);
    Settings.SaveToCard = save;
    f.BitBtn13Click(nullptr);
    f.BitBtn13Click(nullptr);  // pressed again at once: a second open, a second program
    const std::vector<std::string> calls = Calls();
    ASSERT_EQ(calls.size(), 10u);
    const std::string root = save == 1 ? "MakeRoot 18 2" : "MakeRoot 17 2";
    for (int i = 0; i < 2; ++i) {
      const std::string link = std::to_string((i == 0 ? 10 : 20) + save);
      EXPECT_EQ(calls[5 * i], "LED_Open 1 8888 1 window 1025");
      EXPECT_EQ(calls[5 * i + 1], root);
      EXPECT_EQ(calls[5 * i + 2], "AddLeaf 200000");
      EXPECT_EQ(calls[5 * i + 3].rfind("AddWindow 512 96 0,0,512,96 1 1 1 ", 0), 0u) << calls[5 * i + 3];
      EXPECT_EQ(calls[5 * i + 4], "LED_SendToScreen " + link + " 0 127.0.0.1 6666");
    }
    EXPECT_EQ(LinkHandle, 20 + save);
  }
}

TEST_F(Link, APictureLargerThanTheTitleAreaIsPassedWithItsOwnSize) {
  plat::Raster title(64, 120, plat::RGBColor(0, 0, 200));
  title.SetPixel(0, 0, plat::RGBColor(10, 20, 30));
  title.SetPixel(63, 119, plat::RGBColor(40, 50, 60));
  plat::SaveBmpFile("title.bmp", title);
  Form1->BitBtn1Click(nullptr);
  const int link = LinkHandle;
  Form1->BitBtn8Click(nullptr);
  std::filesystem::remove("title.bmp");
  const std::vector<std::string> calls = Calls();
  ASSERT_EQ(calls.size(), 5u);
  EXPECT_EQ(calls[1], "MakeRoot 17 2");
  EXPECT_EQ(calls[2], "AddLeaf 20000");
  // COLORREF 0x00BBGGRR of the picture's corners.
  EXPECT_EQ(calls[3], "AddWindow 64 120 480,0,512,96 1 1 1 1E140A 3C3228");
  EXPECT_EQ(calls[4], "LED_SendToScreen " + std::to_string(link) + " 0 127.0.0.1 6666");
}

}  // namespace
