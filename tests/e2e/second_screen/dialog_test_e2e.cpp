// The settings dialog's link test against a second screen on another
// loopback address (127.0.0.2, started by CTest as a native process: Wine
// binds only 127.0.0.1 as asked and would take every address for others).
#include <gtest/gtest.h>

#include <fstream>

#include "tests/e2e/common.h"
#include "ui/core/utf.h"

using namespace e2e;

namespace {
const wchar_t kDialog[] = L"设置:非专业人士,请勿改动 ";
}  // namespace

TEST(SecondScreenE2E, TheDialogTestQueriesTheTypedAddressOnce) {
  const auto dir = ScratchDir("dlg_test");
  WriteLoopbackSettings(dir);  // no screen answers on 127.0.0.1 in this test
  Program prog(dir);
  HWND main = prog.Main();
  ASSERT_TRUE(main);
  Click(FindByText(main, L"系统设置"));
  HWND box = prog.FindTopLevel(kDialog);
  ASSERT_TRUE(box);
  SetText(FindAt(box, 92, 5, L"Edit"), L"127.0.0.2");
  Click(FindByText(box, L"测试"));
  HWND log = FindAt(main, 10, 328, L"Edit");
  EXPECT_TRUE(WaitFor([&] { return Text(log) == L"通讯链路打开成功!\r\n查询状态成功\r\n"; }))
      << plat::WideToUtf8(Text(log));
  // The address was used for this one query only.
  Click(FindByText(main, L"连接控制卡"));
  EXPECT_TRUE(WaitFor([&] { return Text(log).find(L"发往: 127.0.0.1") != std::wstring::npos; }))
      << plat::WideToUtf8(Text(log));
  Click(FindByText(box, L"取消"));
  Click(FindByText(main, L"退出"));
  ASSERT_TRUE(prog.WaitExit());
  std::ifstream f(dir / "messbay.ini", std::ios::binary);
  std::string line;
  for (int i = 0; i < 3; ++i) std::getline(f, line);
  EXPECT_EQ(line, "127.0.0.1\r");
}
