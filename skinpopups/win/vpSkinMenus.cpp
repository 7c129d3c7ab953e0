#include "skinpopups/win/vpSkinMenus.h"

namespace vp {

// ------------------------------------------------------------ TvpSkinMenuItem

TvpSkinMenuItem::TvpSkinMenuItem(TvpSkinPopupWindow* Level, TMenuItem* MenuItem, TvpDataSkinMenuItem* Def)
    : level_(Level), menuItem_(MenuItem), def_(Def) {}

bool TvpSkinMenuItem::IsSeparator() const { return menuItem_ && menuItem_->IsLine(); }
bool TvpSkinMenuItem::IsEnabled() const { return menuItem_ && menuItem_->Enabled; }
bool TvpSkinMenuItem::HasChildren() const { return menuItem_ && menuItem_->Count() > 0; }

// --------------------------------------------------------- TvpSkinPopupWindow

struct TvpSkinPopupWindow::Impl {};

TvpSkinPopupWindow::TvpSkinPopupWindow(TvpSkinMenu* Menu, TvpDataSkinPopupWindow* Def)
    : TWinControl(Menu), menu_(Menu), popupDef_(Def) {
  visible_ = false;
}

TvpSkinPopupWindow::~TvpSkinPopupWindow() = default;

void TvpSkinPopupWindow::ProcessKey(WORD) {}

void TvpSkinPopupWindow::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = L"PlatoraSkinPopup";
  p.Style = WS_POPUP;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.ClassStyle = CS_SAVEBITS;
  p.WndParent = nullptr;
}

void TvpSkinPopupWindow::WndProc(TMessage& m) { TWinControl::WndProc(m); }

void TvpSkinPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------- TvpSkinMenu

TvpSkinMenu::TvpSkinMenu(TComponent* AOwner, TForm* HostForm) : TComponent(AOwner), hostForm_(HostForm) {
  defMenuItemFont_.SetName(L"Arial");
  defMenuItemFont_.SetHeight(14);
}

TvpSkinMenu::~TvpSkinMenu() = default;

void TvpSkinMenu::Popup(TControl*, TvpSkinData*, bool, TMenuItem*, const RECT&, int) {}
void TvpSkinMenu::CloseMenu() {}
void TvpSkinMenu::CloseLevels(int) {}
void TvpSkinMenu::ProcessKey(WORD Key) {
  if (TvpSkinPopupWindow* l = DeepestLevel()) l->ProcessKey(Key);
}
void TvpSkinMenu::Notification(TvpComponent* component) {
  if (component == skinData_) skinData_ = nullptr;
}

// ----------------------------------------------------------- TvpSkinPopupMenu

TvpSkinPopupMenu::TvpSkinPopupMenu(TComponent* AOwner) : TPopupMenu(AOwner) {}
TvpSkinPopupMenu::~TvpSkinPopupMenu() { SetSkinData(nullptr); }

void TvpSkinPopupMenu::SetSkinData(TvpSkinData* value) {
  if (value == skinData_) return;
  if (skinData_) skinData_->RemoveFreeNotification(this);
  skinData_ = value;
  if (skinData_) skinData_->FreeNotification(this);
}

void TvpSkinPopupMenu::Notification(TvpComponent* component) {
  if (component == skinData_) skinData_ = nullptr;
}

void TvpSkinPopupMenu::Popup(int X, int Y) { popupPoint_ = POINT{X, Y}; }
void TvpSkinPopupMenu::PopupAtRect(const RECT& AnchorRect, bool) {
  popupPoint_ = POINT{AnchorRect.left, AnchorRect.top};
}
TvpSkinMenuHost* TvpSkinPopupMenu::FindHost() const { return nullptr; }

}  // namespace vp
