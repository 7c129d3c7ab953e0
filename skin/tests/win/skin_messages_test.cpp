#include <gtest/gtest.h>
#include <windows.h>

#include "skin/core/vpSkinData.h"
#include "skin/win/vpSkinWin.h"
#include "ui/win/controls.h"

using namespace vp;

namespace {

struct Received {
  HWND hwnd;
  UINT msg;
  WPARAM wParam;
  LPARAM lParam;
  bool changing, empty;
};
std::vector<Received> g_log;
const TvpSkinData* g_data = nullptr;

bool IsSkinMessage(UINT msg) {
  return (msg >= WM_BEFORECHANGESKINDATA && msg <= WM_AFTERCHANGESKINDATA) || msg == WM_CHANGERESSTRDATA;
}

void Record(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (IsSkinMessage(msg))
    g_log.push_back({hwnd, msg, wp, lp, g_data && g_data->ChangingSkin, g_data && g_data->SkinEmpty});
}

class RecordingForm : public TForm {
 public:
  using TForm::TForm;

 protected:
  void WndProc(TMessage& m) override {
    Record(Handle(), m.Msg, m.WParam, m.LParam);
    TForm::WndProc(m);
  }
};

LRESULT CALLBACK HelperProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  Record(hwnd, msg, wp, lp);
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// Three forms of the application, the middle one the owner, and a hidden
// top-level helper window of this program that is no form.
struct Windows {
  RecordingForm *a, *owner, *b;
  HWND helper;
  Windows() {
    static TApplication app;
    Application->Initialize();
    a = new RecordingForm(Application);
    owner = new RecordingForm(Application);
    b = new RecordingForm(Application);
    a->HandleNeeded();
    owner->HandleNeeded();  // b's window is made when the first message is sent
    WNDCLASSW wc{};
    wc.lpfnWndProc = HelperProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PlatoraSkinMsgHelper";
    RegisterClassW(&wc);
    helper = CreateWindowExW(0, L"PlatoraSkinMsgHelper", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
  }
  ~Windows() {
    DestroyWindow(helper);
    delete a;
    delete owner;
    delete b;
  }
};

}  // namespace

TEST(SkinMessages, OwnerFirstThenEveryOtherFormOnceAndNoHelperWindow) {
  Windows w;
  ASSERT_TRUE(w.helper);
  EXPECT_FALSE(w.b->HandleAllocated());

  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(LoadDefaultSkin(stored));  // the test skin, embedded as DEFAULTSKIN
  TvpSkinData data;
  g_data = &data;
  TvpWinSkinMessageSink sink(w.owner->Handle());
  data.SetMessageSink(&sink);
  g_log.clear();
  data.SetCompressedStoredSkin(&stored);
  ASSERT_FALSE(data.SkinEmpty);
  ASSERT_TRUE(w.b->HandleAllocated());

  ASSERT_EQ(g_log.size(), 9u);
  const UINT order[] = {WM_BEFORECHANGESKINDATA, WM_CHANGESKINDATA, WM_AFTERCHANGESKINDATA};
  for (int m = 0; m < 3; ++m) {
    const Received* r = &g_log[static_cast<size_t>(3 * m)];
    EXPECT_EQ(r[0].hwnd, w.owner->Handle());
    EXPECT_EQ(r[1].hwnd, w.a->Handle());  // then in the application's order
    EXPECT_EQ(r[2].hwnd, w.b->Handle());
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(r[i].msg, order[m]);
      EXPECT_EQ(r[i].wParam, reinterpret_cast<WPARAM>(&data));
      EXPECT_EQ(r[i].lParam, 1000);
    }
  }
  // Receivers see the state the message announces.
  EXPECT_TRUE(g_log[0].changing && g_log[0].empty);
  EXPECT_TRUE(g_log[3].changing && !g_log[3].empty);
  EXPECT_TRUE(!g_log[6].changing && !g_log[6].empty);

  g_log.clear();
  TvpResourceStrData strings;
  data.SetResourceStrData(&strings);
  ASSERT_EQ(g_log.size(), 3u);
  EXPECT_EQ(g_log[0].hwnd, w.owner->Handle());
  EXPECT_EQ(g_log[0].msg, WM_CHANGERESSTRDATA);

  // Without an owner window every form still hears about it.
  g_log.clear();
  sink.SetOwner(nullptr);
  data.SetResourceStrData(nullptr);
  EXPECT_EQ(g_log.size(), 3u);
  data.SetMessageSink(nullptr);
  g_data = nullptr;
}

TEST(SkinMessages, DefaultSkinResourceIsThePackedSkin) {
  const std::vector<uint8_t> bytes = LoadDefaultSkinResource();
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(bytes, plat::ReadWholeFile(TEST_PACKED_SKIN));
}
