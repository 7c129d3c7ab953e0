// Object hints of the caption objects, shown by the skinned hint window.
#include "skinform/win/VesperForm.h"
#include "skinpopups/win/vpSkinHint.h"

namespace vp {

void TvpVesperForm::SetSkinHint(TvpSkinHint* v) {
  if (skinHint_ == v) return;
  if (skinHint_) skinHint_->RemoveFreeNotification(this);
  skinHint_ = v;
  if (v) v->FreeNotification(this);
}

void TvpVesperForm::ForgetSkinHint(TComponent* going) {
  if (going == skinHint_) skinHint_ = nullptr;
}

void TvpVesperForm::ShowObjectHintText(const std::wstring& text) {
  if (skinHint_) skinHint_->ShowDelayedHint(text);
}

void TvpVesperForm::CancelObjectHint() {
  if (skinHint_) skinHint_->CancelHint();
}

}  // namespace vp
