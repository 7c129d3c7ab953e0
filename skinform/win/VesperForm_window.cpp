// Window behaviours of the frame (hit testing, size limits, the move and size
// loop, window states, roll-up, alpha) and its system menu. For now only
// what the window needs to be usable: the caption drags it, buttons and
// frame edges are left to the frame, the states go through the system.
#include "skinform/win/VesperForm.h"

namespace vp {

struct TvpVesperForm::MenuParts {};

void TvpVesperForm::MenuPartsDeleter::operator()(MenuParts* p) const { delete p; }

void TvpVesperForm::CreateMenuParts() { Menus.reset(new MenuParts); }

int TvpVesperForm::HitTest(int X, int Y) {
  auto inCaption = [&] {
    for (auto& o : ObjectList)
      if (o->IsCaption() && o->Visible && o->ObjectRect.Contains(X, Y)) return true;
    return false;
  };
  if (SkinInUse) {
    if (Geometry.NewClientRect.Contains(X, Y) && !RollUpState) return HTCLIENT;
    return inCaption() ? HTCAPTION : HTOBJECT;
  }
  RECT wr;
  GetWindowRect(Form->Handle(), &wr);
  const int w = wr.right - wr.left, h = wr.bottom - wr.top;
  if (inCaption()) return HTCAPTION;
  if (X >= 3 && Y >= 22 && X < w - 3 && Y < h - 3) return HTCLIENT;
  return HTOBJECT;
}

void TvpVesperForm::WMNCHitTest(TMessage& m) {
  const POINT p = WindowPoint(m.LParam);
  m.Result = HitTest(p.x, p.y);
  LastHitCode = static_cast<int>(m.Result);
  if (!HoverTimer->Enabled() && m.Result == HTOBJECT) {
    TestActive(p.x, p.y, true);
    HoverTimer->SetEnabled(true);
  }
}

void TvpVesperForm::WMSetCursor(TMessage&) {}
void TvpVesperForm::WMGetMinMaxInfo(TMessage&) {}

void TvpVesperForm::WMEnterSizeMove(TMessage&) {
  ResetObjects();
  HoverTimer->SetEnabled(false);
  ActiveObject = CaptureObject = -1;
  MoveSizeLoop = true;
  BOOL full = FALSE;
  SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
  FullDrag = full != FALSE;
}

void TvpVesperForm::WMExitSizeMove(TMessage&) {
  HoverTimer->SetEnabled(false);
  ActiveObject = OldActiveObject = CaptureObject = -1;
  if (SkinInUse) SendNCPaint();
}

bool TvpVesperForm::WMSizing(TMessage&) { return false; }
void TvpVesperForm::WMMoving(TMessage&) {}
bool TvpVesperForm::WMSysCommand(TMessage& m) {
  if ((m.WParam & 0xFFF0) == SC_RESTORE && OnRestore) OnRestore(this);
  return true;
}
void TvpVesperForm::WMFadeTimer(TMessage&) {}
void TvpVesperForm::WMSkinMenuClosed(TMessage&) { SkinMenuOpen = false; }
void TvpVesperForm::OnShown() {}
void TvpVesperForm::OnHidden() {}

int TvpVesperForm::GetMinWidth() {
  if (SkinInUse) return skinData_->FormMinWidth > 0 ? skinData_->FormMinWidth : skinData_->FramePicture.Width;
  return MinWidth > 0 ? MinWidth : 120;
}

int TvpVesperForm::GetMinHeight() {
  if (SkinInUse) return skinData_->FramePicture.Height - skinData_->ClientRect.Height();
  return 25;
}

int TvpVesperForm::GetMaxWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int TvpVesperForm::GetMaxHeight() { return GetSystemMetrics(SM_CYSCREEN); }

void TvpVesperForm::SetWindowState(TvpWindowState State) {
  switch (State) {
    case wsMinimized:
      Minimize();
      break;
    case wsMaximized:
      Maximize();
      break;
    default:
      Restore();
      break;
  }
}

void TvpVesperForm::Minimize() {
  ShowWindow(Form->Handle(), SW_MINIMIZE);
  if (OnMinimize) OnMinimize(this);
}

void TvpVesperForm::Maximize() {}

void TvpVesperForm::Restore() {
  if (IsIconic(Form->Handle())) ShowWindow(Form->Handle(), SW_RESTORE);
  HoverTimer->SetEnabled(true);
}

void TvpVesperForm::SetRollUpState(bool) {}
void TvpVesperForm::MinimizeToTray() {}
void TvpVesperForm::RestoreFromTray() {}
void TvpVesperForm::CaptionDblClick() {}
void TvpVesperForm::ShowSystemMenuAt(int, int) {}
void TvpVesperForm::DropDownSystemMenu(const RECT&, TvpActiveSkinObject*) {}
void TvpVesperForm::DropDownMenu(TMenuItem*, const RECT&, bool) {}
void TvpVesperForm::HideSkinMenu() {}
void TvpVesperForm::ClearMagnetLatches() { MagnetLatch[0] = MagnetLatch[1] = MagnetLatch[2] = MagnetLatch[3] = false; }
void TvpVesperForm::SetAlphaBlend(bool v) { alphaBlend_ = v; }
void TvpVesperForm::SetAlphaBlendValue(BYTE v) { alphaBlendValue_ = v; }

}  // namespace vp
