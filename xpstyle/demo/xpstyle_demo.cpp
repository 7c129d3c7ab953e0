// A small form painted by the XP-style painter, for looking at the result:
// edits, a check box, glyph buttons (one hovered, one disabled), a plain
// button, a panel, a group box and a menu bar. With "--popup" a flat popup
// menu opens over the form.
#include <windows.h>

#include <string>

#include "tools/demo_host/demo_host.h"
#include "xpstyle/win/XPStyle.h"

namespace {

class TDemoForm : public TForm {
 public:
  explicit TDemoForm(TComponent* owner) : TForm(owner) {
    SetText(L"XP style");
    BorderStyle = TBorderStyle::bsSingle;
    SetBounds(40, 40, 0, 0);
    Font().SetName(L"宋体");
    Font().SetHeight(-12);
    Font().SetCharset(GB2312_CHARSET);
    SetClientSize(420, 250);
    auto* menu = new TMainMenu(this);
    for (const wchar_t* t : {L"&File", L"&Edit", L"&Help"}) Item(menu->Items(), t);
    SetMenu(menu);
    Popup1 = new TPopupMenu(this);
    auto* open = Item(Popup1->Items(), L"Open menu...");
    open->ShortCut = ShortCut('O', scCtrl);
    Glyph(open->Bitmap(), RGB(40, 160, 40));
    Item(Popup1->Items(), L"Save menu")->ShortCut = ShortCut('S', scCtrl);
    Item(Popup1->Items(), L"-");
    auto* gone = Item(Popup1->Items(), L"Send (disabled)");
    gone->Enabled = false;
    Glyph(gone->Bitmap(), RGB(200, 40, 40));
    auto* radio = Item(Popup1->Items(), L"Show title (radio)");
    radio->RadioItem = radio->Checked = true;
    Item(Popup1->Items(), L"Save to card (checked)")->Checked = true;

    Group = Make<TGroupBox>(this, 8, 8, 200, 110);
    Group->SetText(L"菜单");
    for (int i = 0; i < 3; ++i) {
      auto* name = Make<TEdit>(Group, 8, 24 + i * 26, 121, 20);
      name->SetText(L"菜名字○" + std::wstring(1, L"一二三"[i]));
      auto* price = Make<TEdit>(Group, 136, 24 + i * 26, 50, 20);
      price->SetText(L"0." + std::to_wstring(i + 1));
    }
    Panel = Make<TPanel>(this, 216, 8, 196, 60);
    Panel->BevelInner = TBevelCut::bvLowered;
    Panel->BorderWidth = 3;
    Check = Make<TCheckBox>(this, 216, 76, 100, 17);
    Check->SetText(L"显示标题");
    Check2 = Make<TCheckBox>(this, 216, 96, 100, 17);
    Check2->SetText(L"保存到卡");
    Plain = Make<TButton>(this, 320, 80, 90, 25);
    Plain->SetText(L"发送多行文本");
    Rest = GlyphButton(8, 130, L"预览", RGB(40, 120, 220));
    Hot = GlyphButton(96, 130, L"发送", RGB(40, 160, 40));
    Off = GlyphButton(184, 130, L"退出", RGB(200, 40, 40));
    Off->SetEnabled(false);
    Default = GlyphButton(272, 130, L"确定", RGB(220, 160, 0));
    Default->SetDefault(true);
    Tall = GlyphButton(8, 165, L"系统设置", RGB(120, 40, 200));
    Tall->Layout = TButtonLayout::blGlyphTop;
    Tall->SetBounds(8, 165, 75, 65);
    XPStyle1 = new TXPStyle(this);
    XPStyle1->Font().SetName(L"微软雅黑");
    XPStyle1->Font().SetHeight(-12);
    XPStyle1->FlatMenu = true;
    XPStyle1->SetActive(true);
  }
  TMenuItem* Item(TMenuItem* parent, const wchar_t* caption) { return demo::AddItem(this, parent, caption); }
  template <class T>
  T* Make(TWinControl* parent, int l, int t, int w, int h) {
    return demo::Place<T>(this, parent, l, t, w, h);
  }
  static void Glyph(TBitmap& b, COLORREF c) { demo::RoundGlyph(b, c); }
  TBitBtn* GlyphButton(int l, int t, const wchar_t* caption, COLORREF c) {
    auto* b = Make<TBitBtn>(this, l, t, 80, 28);
    b->SetText(caption);
    Glyph(b->Glyph(), c);
    return b;
  }
  TGroupBox* Group;
  TPanel* Panel;
  TCheckBox *Check, *Check2;
  TButton* Plain;
  TBitBtn *Rest, *Hot, *Off, *Default, *Tall;
  TPopupMenu* Popup1;
  TXPStyle* XPStyle1;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return demo::Run<TDemoForm>(L"XP style", [](TDemoForm& form) {
    form.Check->SetChecked(true);
    Application->ProcessMessages();
    form.Hot->Perform(CM_MOUSEENTER);
    if (!demo::HasFlag(L"--popup")) return;
    // The first item highlighted, as a hovering mouse would.
    demo::Later(300, [] {
      if (HWND popup = FindWindowW(L"#32768", nullptr)) PostMessageW(popup, WM_KEYDOWN, VK_DOWN, 0);
    });
    form.Popup1->Popup(200, 200);
  });
}
