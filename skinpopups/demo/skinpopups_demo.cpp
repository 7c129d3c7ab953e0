// A form that opens a three-level skinned menu (separators, disabled items,
// checks, radio items, glyphs, shortcuts) and shows a skinned hint, for
// looking at the result. A right click opens the menu; keys go to it while
// it is open. "--show" opens it three levels deep and shows the hint at once;
// "--plain" uses no skin.
#include <windows.h>

#include <string>

#include "skinpopups/win/vpSkinHint.h"
#include "skinpopups/win/vpSkinMenus.h"
#include "tools/demo_host/demo_host.h"

namespace {

// What the skinned frame would be: the component that carries the menu
// controller and routes the keyboard to it while a menu is open.
class TDemoFrame : public TComponent, public vp::TvpSkinMenuHost {
 public:
  TDemoFrame(TForm* form, vp::TvpSkinData* skin) : TComponent(form), Skin(skin), Menu(new vp::TvpSkinMenu(this, form)) {}
  vp::TvpSkinMenu* SkinMenu() const override { return Menu; }
  vp::TvpSkinData* SkinData() const override { return Skin; }
  void MenuOpening() override {
    Application->OnMessage = [this](MSG& m, bool& handled) {
      if (!Menu->Visible()) return;
      if (m.message == WM_KEYDOWN) {
        Menu->ProcessKey(static_cast<WORD>(m.wParam));
        handled = true;
      }
    };
  }
  vp::TvpSkinData* Skin;
  vp::TvpSkinMenu* Menu;
};

class TDemoForm : public TForm {
 public:
  TDemoForm(TComponent* owner) : TForm(owner) {
    SetText(L"Skinned popups");
    BorderStyle = TBorderStyle::bsSingle;
    SetBounds(30, 30, 0, 0);
    SetClientSize(520, 360);
    const bool plain = demo::HasFlag(L"--plain");
    if (!plain) Skin.Apply();
    Frame = new TDemoFrame(this, plain ? nullptr : Skin.Data());
    Hint1 = new vp::TvpSkinHint(this);
    Hint1->SetSkinData(plain ? nullptr : Skin.Data());

    Menu1 = new vp::TvpSkinPopupMenu(this);
    TMenuItem* root = Menu1->Items();
    auto* open = Item(root, L"&Open menu...");
    open->ShortCut = ShortCut('O', scCtrl);
    Glyph(open->Bitmap(), RGB(40, 160, 40));
    Item(root, L"&Save menu")->ShortCut = ShortCut('S', scCtrl);
    Item(root, L"-");
    Recent = Item(root, L"&Recent menus");
    auto* send = Item(root, L"Send to screen");
    send->Enabled = false;
    Glyph(send->Bitmap(), RGB(200, 40, 40));
    Item(root, L"Show &title")->Checked = true;
    Item(root, L"-");
    auto* close = Item(root, L"&Close");
    close->Name = L"VPF_CLOSE";
    close->ShortCut = ShortCut(VK_F4, scAlt);

    Item(Recent, L"Monday.txt")->ShortCut = ShortCut('1', scCtrl);
    Item(Recent, L"Tuesday.txt");
    Item(Recent, L"-");
    Layouts = Item(Recent, L"&Board layout");
    Item(Recent, L"Wednesday.txt")->Enabled = false;

    for (const wchar_t* t : {L"Narrow columns", L"Wide columns", L"Price band only"}) {
      auto* r = Item(Layouts, t);
      r->RadioItem = true;
      r->GroupIndex = 1;
    }
    Layouts->Items(1)->Checked = true;
    Layouts->Items(2)->Enabled = false;
    Item(Layouts, L"-");
    auto* min = Item(Layouts, L"Minimize");
    min->Name = L"VPF_MINITEM";
  }
  TMenuItem* Item(TMenuItem* parent, const wchar_t* caption) { return demo::AddItem(this, parent, caption); }
  // The glyphs stand on a see-through ground.
  static void Glyph(TBitmap& b, COLORREF c) {
    demo::RoundGlyph(b, c);
    b.Transparent = true;
  }
  void OpenDeep() {
    RECT r;
    GetWindowRect(Handle(), &r);
    Menu1->Popup(r.left + 40, r.top + 60);
    Frame->Menu->ProcessKey(VK_DOWN);
    Frame->Menu->ProcessKey(VK_DOWN);  // onto "Recent menus"
    Frame->Menu->ProcessKey(VK_RIGHT);
    for (int i = 0; i < 3; ++i) Frame->Menu->ProcessKey(VK_DOWN);  // onto "Board layout"
    Frame->Menu->ProcessKey(VK_RIGHT);
    Frame->Menu->ProcessKey(VK_DOWN);
    Hint1->ShowDelayedHint(L"Skinned hint: today's specials");
  }

 protected:
  void WndProc(TMessage& m) override {
    if (m.Msg == WM_RBUTTONUP) {
      POINT p{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))};
      ClientToScreen(Handle(), &p);
      Menu1->Popup(p.x, p.y);
      return;
    }
    if (m.Msg == WM_LBUTTONDOWN && Frame->Menu->Visible()) Frame->Menu->CloseMenu();
    TForm::WndProc(m);
  }

 public:
  demo::DefaultSkin Skin;
  TDemoFrame* Frame;
  vp::TvpSkinHint* Hint1;
  vp::TvpSkinPopupMenu* Menu1;
  TMenuItem *Recent, *Layouts;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  return demo::Run<TDemoForm>(L"Skinned popups", [](TDemoForm& form) {
    if (!demo::HasFlag(L"--show")) return;
    ApplicationHints().HintPause = 300;
    ApplicationHints().HintHidePause = 60000;
    demo::Later(300, [&form] {
      // The pointer out of the way, so the poll does not move the highlight.
      SetCursorPos(90, 400);
      form.OpenDeep();
    });
  });
}
