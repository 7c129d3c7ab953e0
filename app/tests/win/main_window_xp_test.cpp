// The main window with the painter as the program puts it there: which of
// its controls are hooked.
#include <gtest/gtest.h>

#include "app/win/Unit2.h"
#include "xpstyle/win/XPStyle.h"

namespace {

TEST(MainWindowXPStyle, HooksTheMenuBoxesButtonsPanelAndGroupButNotTheLog) {
  static TApplication app;
  Application->Initialize();
  auto* form = new TForm1(nullptr);
  auto* xps = dynamic_cast<TXPStyle*>(form->FindComponent(L"XPStyle1"));
  if (!xps) {
    // What the main window's constructor does last.
    xps = new TXPStyle(form);
    xps->Name = L"XPStyle1";
    xps->Font().SetName(L"微软雅黑");
    xps->Font().SetHeight(-12);
    xps->Font().SetColor(clMenuText);
    xps->Font().SetCharset(DEFAULT_CHARSET);
    xps->SetXPControls(kAllXPControls & ~XPBit(xcMemo));
    xps->SetActive(true);
  }
  EXPECT_TRUE(xps->Active());
  EXPECT_EQ(xps->XPControls(), 0xFF7Fu);
  for (int n = 1; n <= 30; ++n) EXPECT_NE(xps->HookOf(form->Edit[static_cast<size_t>(n)]), nullptr) << n;
  for (TControl* c : std::initializer_list<TControl*>{
           form->BitBtn1, form->BitBtn2, form->BitBtn3, form->BitBtn4, form->BitBtn5, form->BitBtn6, form->BitBtn7,
           form->BitBtn8, form->BitBtn9, form->BitBtn10, form->BitBtn11, form->BitBtn12, form->BitBtn13,
           form->BitBtn14, form->BitBtn15, form->BitBtn16, form->BitBtn17, form->BitBtn18, form->Button1,
           form->Panel1, form->GroupBox1})
    EXPECT_NE(xps->HookOf(c), nullptr) << std::string(c->Name.begin(), c->Name.end());
  EXPECT_EQ(xps->HookOf(form->Memo1), nullptr);
  EXPECT_EQ(xps->HookOf(form->Label1), nullptr);
  EXPECT_EQ(xps->HookOf(form->Image1), nullptr);
  EXPECT_EQ(xps->HookCount(), 30 + 18 + 1 + 2);
  delete form;
}

}  // namespace
