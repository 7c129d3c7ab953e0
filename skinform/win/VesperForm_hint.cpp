// Object hints of the caption objects, shown by the skinned hint window.
#include "skinform/win/VesperForm.h"

namespace vp {

void TvpVesperForm::ShowObjectHintText(const std::wstring&) {}
void TvpVesperForm::CancelObjectHint() {}

}  // namespace vp
