#include "skinform/win/VesperForm.h"

namespace vp {

TvpActiveSkinObject::TvpActiveSkinObject(TvpVesperForm* parent, const TvpDataSkinObject*) : Parent(parent), SkinData(parent->SkinData()) {}
bool TvpActiveSkinObject::MorphPending() { return false; }
void TvpActiveSkinObject::Draw(HDC, bool) {}
void TvpActiveSkinObject::MouseDown(int, int, TMouseButton) {}
void TvpActiveSkinObject::MouseUp(int, int, TMouseButton) {}
void TvpActiveSkinObject::MouseMove(int, int) {}
void TvpActiveSkinObject::MouseEnter() {}
void TvpActiveSkinObject::MouseLeave() {}
void TvpVesperForm::RedrawObject(TvpActiveSkinObject*) {}
void TvpVesperForm::UpdateRegion(bool) {}
void TvpVesperForm::SetFrameRegion(bool) {}
void TvpVesperForm::PaintFrame(HDC) {}
void TvpVesperForm::PaintClientBackground(HDC) {}
void TvpVesperForm::BuildObjects() {}
void TvpVesperForm::BuildDefaultObjects() {}
void TvpVesperForm::ApplyBorderIcons() {}
void TvpVesperForm::LoadDefaultHints() {}
void TvpVesperForm::ResetObjects() {}
void TvpVesperForm::PlaceObjects() {}
void TvpVesperForm::TestActive(int, int, bool) {}
void TvpVesperForm::ObjectMouseDown(int, int, int, TMouseButton) {}
void TvpVesperForm::ObjectMouseUp(int, int, int, TMouseButton) {}
void TvpVesperForm::UpdateCaptionState(bool) {}
void TvpVesperForm::RunCommand(int) {}
void TvpVesperForm::StartMorph() {}
void TvpVesperForm::StartAnimation() {}
bool TvpVesperForm::MorphPossible() const { return false; }
bool TvpVesperForm::AnimationPossible() const { return false; }
void TvpVesperForm::HoverTick() {}
void TvpVesperForm::MorphTick() {}
void TvpVesperForm::AnimateTick() {}

}  // namespace vp
