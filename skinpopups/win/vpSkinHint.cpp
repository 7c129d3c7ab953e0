#include "skinpopups/win/vpSkinHint.h"

namespace vp {

struct TvpSkinHintWindow::Impl {};

TvpSkinHintWindow::TvpSkinHintWindow(TComponent* AOwner) : THintWindow(AOwner) {}
TvpSkinHintWindow::~TvpSkinHintWindow() = default;
void TvpSkinHintWindow::ActivateHint(const RECT& Rect, const std::wstring& Text) { THintWindow::ActivateHint(Rect, Text); }
void TvpSkinHintWindow::CreateParams(TCreateParams& p) { THintWindow::CreateParams(p); }
void TvpSkinHintWindow::WndProc(TMessage& m) { THintWindow::WndProc(m); }
void TvpSkinHintWindow::Paint() { THintWindow::Paint(); }

TvpSkinHint::TvpSkinHint(TComponent* AOwner) : TComponent(AOwner) {}
TvpSkinHint::~TvpSkinHint() { SetSkinData(nullptr); }

void TvpSkinHint::SetSkinData(TvpSkinData* value) {
  if (value == skinData_) return;
  if (skinData_) skinData_->RemoveFreeNotification(this);
  skinData_ = value;
  if (skinData_) skinData_->FreeNotification(this);
}
void TvpSkinHint::Notification(TvpComponent* component) {
  if (component == skinData_) skinData_ = nullptr;
}
void TvpSkinHint::SetActive(bool value) { active_ = value; }
void TvpSkinHint::ShowDelayedHint(const std::wstring& Text) { pendingText_ = Text; }
void TvpSkinHint::CancelHint() {}
TvpSkinHintWindow* TvpSkinHint::HintWindow() {
  if (!window_) window_ = new TvpSkinHintWindow(this);
  return window_;
}
void TvpSkinHint::ForwardShowHint(std::wstring&, bool&, THintInfo&) {}
void TvpSkinHint::ShowPendingHint() {}

int CursorHeightBelowHotSpot() { return GetSystemMetrics(SM_CYCURSOR); }

}  // namespace vp
