#include <gtest/gtest.h>
#include <windows.h>

#include "skin/core/vpSkinData.h"
#include "skin/win/vpSkinWin.h"

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

LRESULT CALLBACK RecordProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg >= WM_BEFORECHANGESKINDATA && msg <= WM_AFTERCHANGESKINDATA)
    g_log.push_back({hwnd, msg, wp, lp, g_data->ChangingSkin, g_data->SkinEmpty});
  if (msg == WM_CHANGERESSTRDATA) g_log.push_back({hwnd, msg, wp, lp, false, false});
  return DefWindowProcW(hwnd, msg, wp, lp);
}

struct Windows {
  HWND owner, a, b, foreign;
  Windows() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecordProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PlatoraSkinMsgTest";
    RegisterClassW(&wc);
    auto make = [](const wchar_t* title) {
      return CreateWindowExW(0, L"PlatoraSkinMsgTest", title, WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    };
    a = make(L"a");
    owner = make(L"owner");  // created after "a": not first in z-order
    b = make(L"b");
    // A top-level window of a system class is no form of this program.
    foreign = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  ~Windows() {
    for (HWND h : {owner, a, b, foreign}) DestroyWindow(h);
  }
};

}  // namespace

TEST(SkinMessages, OwnerFirstThenEveryOtherFormOnce) {
  Windows w;
  ASSERT_TRUE(w.owner && w.a && w.b && w.foreign);
  EXPECT_FALSE(TvpWinSkinMessageSink::IsProgramWindow(w.foreign));

  TvpCompressedStoredSkin stored;
  ASSERT_TRUE(LoadDefaultSkin(stored));  // the test skin, embedded as DEFAULTSKIN
  TvpSkinData data;
  g_data = &data;
  TvpWinSkinMessageSink sink(w.owner);
  data.SetMessageSink(&sink);
  g_log.clear();
  data.SetCompressedStoredSkin(&stored);
  ASSERT_FALSE(data.SkinEmpty);

  ASSERT_EQ(g_log.size(), 9u);
  const UINT order[] = {WM_BEFORECHANGESKINDATA, WM_CHANGESKINDATA, WM_AFTERCHANGESKINDATA};
  for (int m = 0; m < 3; ++m) {
    const Received* r = &g_log[static_cast<size_t>(3 * m)];
    EXPECT_EQ(r[0].hwnd, w.owner);
    EXPECT_TRUE((r[1].hwnd == w.a && r[2].hwnd == w.b) || (r[1].hwnd == w.b && r[2].hwnd == w.a));
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
  EXPECT_EQ(g_log[0].hwnd, w.owner);
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
