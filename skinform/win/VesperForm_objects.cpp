// Caption objects and buttons: building them from the skin, placing them on
// the frame, hover tracking, mouse routing with capture, button behaviours
// and commands, morphing, and repainting one object at a time.
#include <algorithm>

#include "skin/core/vpEffects.h"
#include "skin/win/vpUtils_win.h"
#include "skinform/win/VesperForm.h"
#include "ui/win/codepage.h"

namespace vp {


// ------------------------------------------------------------ base object

TvpActiveSkinObject::TvpActiveSkinObject(TvpVesperForm* parent, const TvpDataSkinObject* def)
    : Parent(parent), SkinData(parent->SkinData()) {
  if (SkinData) Picture = &SkinData->FramePicture;
  if (!def) return;
  IDName = def->SectionName;
  Hint = plat::FromFileBytes(def->Hint);
  SkinRect = def->SkinRect;
  ActiveSkinRect = def->ActiveSkinRect;
  InActiveSkinRect = def->InActiveSkinRect;
  Morphing = def->Morphing;
  MorphKind = def->MorphKind;
  SkinRectInAPicture = def->SkinRectInAPicture;
  if (SkinData) ActivePicture = SkinData->ActivePicture(def->ActivePictureIndex);
  // Without its picture an object has no highlighted look to show or morph to.
  if (!ActivePicture) ActiveSkinRect = Rect{};
  if (Morphing && ActiveSkinRect.IsNull()) Morphing = false;
  ObjectRect = SkinRect;
}

const plat::BmpImage& TvpActiveSkinObject::NormalPicture() const {
  return (SkinRectInAPicture && ActivePicture) ? *ActivePicture : *Picture;
}

bool TvpActiveSkinObject::CanMorph() const {
  return Morphing && SkinData && !SkinData->SkinEmpty && SkinData->EnableSkinEffects && ActivePicture;
}

bool TvpActiveSkinObject::MorphPending() { return skinform::MorphPending(MorphFactor, Highlighted); }

void TvpActiveSkinObject::MorphOrRepaint() {
  if (CanMorph())
    Parent->StartMorph();
  else
    Parent->RedrawObject(this);
}

void TvpActiveSkinObject::DrawMorph(HDC dc, const plat::BmpImage* normalPic, const Rect& normal, const Rect& active) {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  if (w <= 0 || h <= 0 || !normalPic || !ActivePicture) return;
  plat::Raster a(w, h), b(w, h);
  plat::StretchCopy(a, Rect{0, 0, w, h}, normalPic->Pixels, normal);
  plat::StretchCopy(b, Rect{0, 0, w, h}, ActivePicture->Pixels, active);
  skin::TvpEffectBmp old(std::move(a)), now(std::move(b));
  skin::ApplyMorph(old, now, MorphKind, MorphFactor);
  skin::DrawRaster(dc, ObjectRect.Left, ObjectRect.Top, old.Pixels());
}

void TvpActiveSkinObject::Draw(HDC dc, bool Update) {
  if (Enabled && !Parent->FormActive() && !InActiveSkinRect.IsNull() && ActivePicture) {
    CopySkinPicture(dc, ObjectRect, ActivePicture->Pixels, InActiveSkinRect);
    return;
  }
  if (CanMorph() && MorphPending()) {
    DrawMorph(dc, &NormalPicture(), SkinRect, ActiveSkinRect);
    return;
  }
  if (Highlighted && !ActiveSkinRect.IsNull() && ActivePicture) {
    CopySkinPicture(dc, ObjectRect, ActivePicture->Pixels, ActiveSkinRect);
  } else if ((Update || SkinRectInAPicture) && Picture) {
    CopySkinPicture(dc, ObjectRect, NormalPicture().Pixels, SkinRect);
  }
}

static RECT ToRECT(const Rect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }

void TvpActiveSkinObject::MouseDown(int X, int Y, TMouseButton Button) {
  if (Parent->OnMouseDownEvent) Parent->OnMouseDownEvent(IDName, X, Y, ToRECT(ObjectRect), Button);
}

void TvpActiveSkinObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (Hovering && Parent->OnMouseUpEvent) Parent->OnMouseUpEvent(IDName, X, Y, ToRECT(ObjectRect), Button);
}

void TvpActiveSkinObject::MouseMove(int X, int Y) {
  if (Parent->OnMouseMoveEvent) Parent->OnMouseMoveEvent(IDName, X, Y, ToRECT(ObjectRect));
}

void TvpActiveSkinObject::MouseEnter() {
  Hovering = Highlighted = true;
  if (!ActiveSkinRect.IsNull()) MorphOrRepaint();
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TvpActiveSkinObject::MouseLeave() {
  Hovering = Highlighted = false;
  if (!ActiveSkinRect.IsNull()) MorphOrRepaint();
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

void TvpUserObject::Draw(HDC dc, bool) {
  if (Parent->OnPaintEvent) Parent->OnPaintEvent(IDName, dc, ToRECT(ObjectRect));
}

// ----------------------------------------------------------------- buttons

TvpSkinButtonObject::TvpSkinButtonObject(TvpVesperForm* parent, const TvpDataSkinObject* def)
    : TvpActiveSkinObject(parent, def) {
  if (auto* b = dynamic_cast<const TvpDataSkinButton*>(def)) {
    DownRect = b->DownRect;
    DisableSkinRect = b->DisableSkinRect;
  }
}

bool TvpSkinButtonObject::MorphPending() { return !MenuDroppedDown() && TvpActiveSkinObject::MorphPending(); }

void TvpSkinButtonObject::Draw(HDC dc, bool Update) {
  if (!Enabled && !DisableSkinRect.IsNull() && ActivePicture) {
    CopySkinPicture(dc, ObjectRect, ActivePicture->Pixels, DisableSkinRect);
  } else if (Pressed && Hovering && !DownRect.IsNull() && ActivePicture) {
    CopySkinPicture(dc, ObjectRect, ActivePicture->Pixels, DownRect);
  } else {
    TvpActiveSkinObject::Draw(dc, Update);
  }
}

void TvpSkinButtonObject::SetPressed(bool Value) {
  Pressed = Value;
  if (CanMorph() && Highlighted) MorphFactor = 1.0;
  Parent->RedrawObject(this);
  if (CanMorph() && !Pressed) Parent->StartMorph();
}

void TvpSkinButtonObject::DropDownMenu() {
  if (!Menu || Menu->Count() == 0) return;
  RECT r = ToRECT(ObjectRect);
  const RECT wr = Parent->Form->BoundsRect();
  OffsetRect(&r, wr.left, wr.top);
  Parent->DropDownMenu(Menu, r, MenuPopupUp);
}

void TvpSkinButtonObject::MouseDown(int X, int Y, TMouseButton Button) {
  if (!Enabled) return;
  if (Button == TMouseButton::mbLeft && !Pressed) {
    SetPressed(true);
    DropDownMenu();
  }
  TvpActiveSkinObject::MouseDown(X, Y, Button);
}

void TvpSkinButtonObject::MouseUp(int X, int Y, TMouseButton Button) {
  if (!Enabled) return;
  if (Button == TMouseButton::mbLeft && !Menu && Pressed) SetPressed(false);
  TvpActiveSkinObject::MouseUp(X, Y, Button);
}

void TvpSkinButtonObject::MouseEnter() {
  Hovering = Highlighted = true;
  if (!DownRect.IsNull() && Pressed) {
    if (CanMorph()) MorphFactor = 1.0;
    Parent->RedrawObject(this);
  } else if (!ActiveSkinRect.IsNull()) {
    MorphOrRepaint();
  }
  if (Parent->OnMouseEnterEvent) Parent->OnMouseEnterEvent(IDName);
}

void TvpSkinButtonObject::MouseLeave() {
  Hovering = Highlighted = false;
  if (!MenuDroppedDown()) {
    Parent->RedrawObject(this);
    if (CanMorph()) Parent->StartMorph();
  }
  if (Parent->OnMouseLeaveEvent) Parent->OnMouseLeaveEvent(IDName);
}

// -------------------------------------------------------- standard buttons

TvpSkinStdButtonObject::TvpSkinStdButtonObject(TvpVesperForm* parent, const TvpDataSkinObject* def)
    : TvpSkinButtonObject(parent, def) {
  if (auto* b = dynamic_cast<const TvpDataSkinStdButton*>(def)) {
    Command = b->Command;
    RestoreRect = b->RestoreRect;
    RestoreActiveRect = b->RestoreActiveRect;
    RestoreDownRect = b->RestoreDownRect;
    RestoreInActiveRect = b->RestoreInActiveRect;
  }
}

TvpSkinStdButtonObject::TvpSkinStdButtonObject(TvpVesperForm* parent, const std::string& name, int command)
    : TvpSkinButtonObject(parent, nullptr) {
  HasSkin = false;
  IDName = name;
  Command = command;
  SkinRectInAPicture = true;
  SkinRect = ActiveSkinRect = DownRect = Rect{0, 0, 1, 1};
  ObjectRect = SkinRect;
}

bool TvpSkinStdButtonObject::Toggled() const {
  return (Command == cmMaximize && Parent->WindowState == wsMaximized) ||
         (Command == cmMinimize && Parent->WindowState == wsMinimized) ||
         (Command == cmRollUp && Parent->RollUpState);
}

bool TvpSkinStdButtonObject::MorphPending() {
  if (Command == cmSysMenu && Parent->ShowIcon() && SkinRectInAPicture) return false;
  return TvpSkinButtonObject::MorphPending();
}

void TvpSkinStdButtonObject::MouseDown(int, int, TMouseButton Button) {
  if (!Enabled || Button != TMouseButton::mbLeft || Pressed) return;
  SetPressed(true);
  if (Command == cmSysMenu) {
    RECT r = ToRECT(ObjectRect);
    const RECT wr = Parent->Form->BoundsRect();
    OffsetRect(&r, wr.left, wr.top);
    Parent->DropDownSystemMenu(r, this);
  }
}

void TvpSkinStdButtonObject::MouseUp(int X, int Y, TMouseButton Button) {
  // Only a release over the button (it is still highlighted) runs the command.
  const bool run = Enabled && Button == TMouseButton::mbLeft && Highlighted && Pressed;
  TvpVesperForm* frame = Parent;
  const int command = Command;
  if (command == cmClose) {
    // The button comes up before the form may go.
    TvpSkinButtonObject::MouseUp(X, Y, Button);
    if (run) frame->RunCommand(command);
    return;
  }
  if (run) frame->RunCommand(command);
  TvpSkinButtonObject::MouseUp(X, Y, Button);
}

void TvpSkinStdButtonObject::DblClick() {
  if (Command == cmSysMenu && Parent->Form) Parent->Form->Close();
}

void TvpSkinStdButtonObject::DrawDefaultGlyphButton(HDC dc) {
  const int w = ObjectRect.Width(), h = ObjectRect.Height();
  if (w <= 0 || h <= 0) return;
  TBitmap pic;
  pic.SetSize(w, h);
  HDC pdc = pic.Canvas().Handle();
  COLORREF fill = ColorToRGB(clBtnFace);
  if (Hovering) fill = Pressed ? RGB(133, 146, 181) : RGB(182, 189, 210);
  gdi::Brush brush(CreateSolidBrush(fill));
  RECT all{0, 0, w, h};
  FillRect(pdc, &all, brush.get());
  if (Hovering) {
    gdi::Brush navy(CreateSolidBrush(RGB(0, 0, 128)));
    FrameRect(pdc, &all, navy.get());
  }
  int x = w / 2 - 5, y = h / 2 - 4;
  if (Pressed && Hovering) ++x, ++y;
  const COLORREF c = ColorToRGB(Enabled ? clBtnText : clBtnShadow);
  switch (Command) {
    case cmClose:
      skin::DrawCloseGlyph(pdc, x, y, c);
      break;
    case cmMaximize:
      Parent->WindowState == wsMaximized ? skin::DrawRestoreGlyph(pdc, x, y, c) : skin::DrawMaximizeGlyph(pdc, x, y, c);
      break;
    case cmMinimize:
      Parent->WindowState == wsMinimized ? skin::DrawRestoreGlyph(pdc, x, y, c) : skin::DrawMinimizeGlyph(pdc, x, y, c);
      break;
    case cmSysMenu:
      skin::DrawSysMenuGlyph(pdc, x, y, c);
      break;
    case cmRollUp:
      Parent->RollUpState ? skin::DrawRollDownGlyph(pdc, x, y, c) : skin::DrawRollUpGlyph(pdc, x, y, c);
      break;
    case cmMinimizeToTray:
      skin::DrawTrayGlyph(pdc, x, y, c);
      break;
    default:
      break;
  }
  GdiFlush();
  BitBlt(dc, ObjectRect.Left, ObjectRect.Top, w, h, pdc, 0, 0, SRCCOPY);
}

void TvpSkinStdButtonObject::Draw(HDC dc, bool Update) {
  if (!HasSkin) {
    DrawDefaultGlyphButton(dc);
    return;
  }
  if (Command == cmSysMenu && Parent->ShowIcon() && SkinRectInAPicture) {
    MorphFactor = 0;
    HWND h = Parent->Form->Handle();
    auto icon = reinterpret_cast<HICON>(GetClassLongPtrW(h, GCLP_HICONSM));
    if (!icon) icon = LoadIconW(nullptr, IDI_APPLICATION);
    DrawIconEx(dc, ObjectRect.Left, ObjectRect.Top, icon, GetSystemMetrics(SM_CXSMICON),
               GetSystemMetrics(SM_CYSMICON), 0, nullptr, DI_NORMAL);
    return;
  }
  if (Enabled && Toggled() && !RestoreRect.IsNull() && ActivePicture) {
    const plat::Raster& ap = ActivePicture->Pixels;
    if (!Parent->NCActive && !RestoreInActiveRect.IsNull()) {
      CopySkinPicture(dc, ObjectRect, ap, RestoreInActiveRect);
    } else if (Pressed && Hovering && !RestoreDownRect.IsNull()) {
      CopySkinPicture(dc, ObjectRect, ap, RestoreDownRect);
    } else if (CanMorph() && MorphPending()) {
      DrawMorph(dc, ActivePicture, RestoreRect, RestoreActiveRect);
    } else if (Highlighted && !RestoreActiveRect.IsNull()) {
      CopySkinPicture(dc, ObjectRect, ap, RestoreActiveRect);
    } else {
      CopySkinPicture(dc, ObjectRect, ap, RestoreRect);
    }
    return;
  }
  TvpSkinButtonObject::Draw(dc, Update);
}

// ------------------------------------------------------------ the frame side

void TvpVesperForm::BuildObjects() {
  ObjectList.clear();
  if (!skinData_) return;
  for (auto& d : skinData_->ObjectDefs) {
    const TvpDataSkinObject* def = d.get();
    // Menu items and the main menu bar's parts belong to other painters.
    if (dynamic_cast<const TvpDataSkinMenuItem*>(def) || dynamic_cast<const TvpDataSkinMainMenuItem*>(def) ||
        dynamic_cast<const TvpDataSkinMainMenuBarButton*>(def))
      continue;
    std::unique_ptr<TvpActiveSkinObject> o;
    if (dynamic_cast<const TvpDataSkinStdButton*>(def))
      o = std::make_unique<TvpSkinStdButtonObject>(this, def);
    else if (dynamic_cast<const TvpDataSkinButton*>(def))
      o = std::make_unique<TvpSkinButtonObject>(this, def);
    else if (dynamic_cast<const TvpDataSkinCaption*>(def))
      o = std::make_unique<TvpSkinCaptionObject>(this, def);
    else if (dynamic_cast<const TvpDataSkinAnimate*>(def))
      o = std::make_unique<TvpSkinAnimateObject>(this, def);
    else if (dynamic_cast<const TvpDataUserObject*>(def))
      o = std::make_unique<TvpUserObject>(this, def);
    if (o) ObjectList.push_back(std::move(o));
  }
}

void TvpVesperForm::BuildDefaultObjects() {
  ObjectList.clear();
  const std::pair<const char*, int> buttons[] = {{"closebutton", cmClose},   {"maxbutton", cmMaximize},
                                                 {"minbutton", cmMinimize},  {"rollupbutton", cmRollUp},
                                                 {"sysmenubutton", cmSysMenu}, {"traybutton", cmMinimizeToTray}};
  for (auto& [name, cmd] : buttons) ObjectList.push_back(std::make_unique<TvpSkinStdButtonObject>(this, name, cmd));
  ApplyBorderIcons();
}

namespace {

int CommandOf(TvpActiveSkinObject* o) {
  if (auto* b = dynamic_cast<TvpSkinStdButtonObject*>(o)) return b->Command;
  if (auto* a = dynamic_cast<TvpSkinAnimateObject*>(o)) return a->Command;
  return -1;
}

unsigned IconFor(int command) {
  switch (command) {
    case cmMaximize: return biMaximize;
    case cmMinimize: return biMinimize;
    case cmSysMenu: return biSystemMenu;
    case cmRollUp: return biRollUp;
    case cmMinimizeToTray: return biMinimizeToTray;
    default: return 0;
  }
}

}  // namespace

void TvpVesperForm::ApplyBorderIcons() {
  for (auto& o : ObjectList) {
    if (!o->IsButtonLike()) continue;
    if (HideCaptionButtons) {
      // Images that are part of the frame picture stay; separate ones vanish.
      o->Enabled = false;
      o->Visible = !o->SkinRectInAPicture;
      continue;
    }
    auto* anim = dynamic_cast<TvpSkinAnimateObject*>(o.get());
    if (anim && !anim->ButtonStyle) continue;
    const int cmd = CommandOf(o.get());
    if (cmd == cmClose) continue;
    if (cmd == cmDefault) {
      bool visible = false;
      if (OnActivateCustomObject) OnActivateCustomObject(o->IDName, visible);
      o->Visible = visible;
      continue;
    }
    const bool on = (borderIcons_ & IconFor(cmd)) != 0;
    o->Enabled = on;
    o->Visible = o->SkinRectInAPicture ? on : true;
  }
  LoadDefaultHints();
}

void TvpVesperForm::LoadDefaultHints() {
  if (!UseDefaultObjectHint || !skinData_) return;
  struct Entry {
    int Command;
    const char* Key;
    const wchar_t* Text;
  };
  static const Entry kHints[] = {{cmClose, "CLOSEBUTTON_HINT", L"Close"},
                                 {cmMaximize, "MAXBUTTON_HINT", L"Maximize"},
                                 {cmMinimize, "MINBUTTON_HINT", L"Minimize"},
                                 {cmSysMenu, "MENUBUTTON_HINT", L"System menu"},
                                 {cmRollUp, "ROLLUPBUTTON_HINT", L"Roll Up"},
                                 {cmMinimizeToTray, "TRAYBUTTON_HINT", L"Minimize to Tray"}};
  TvpResourceStrData* res = skinData_->ResourceStrData();
  for (auto& o : ObjectList) {
    const int cmd = CommandOf(o.get());
    for (const Entry& e : kHints)
      if (e.Command == cmd) o->Hint = res ? plat::FromFileBytes(res->GetResStr(e.Key)) : std::wstring(e.Text);
  }
}

void TvpVesperForm::ResetObjects() {
  for (auto& o : ObjectList) {
    if (auto* a = dynamic_cast<TvpSkinAnimateObject*>(o.get())) {
      a->Hovering = a->Highlighted = false;
      a->CurrentFrame = 1;
    } else if (!o->IsCaption()) {
      o->Highlighted = o->Hovering = false;
      o->MorphFactor = 0;
    }
  }
}

void TvpVesperForm::ActivationChanged() {
  // Whatever the pointer rested on is forgotten, so the next hover poll
  // enters it afresh: without that a button under a pointer that never moved
  // stays un-highlighted and its release does nothing. The reset comes
  // before the paint, so no hover or press look stays on the frame.
  ResetObjects();
  ActiveObject = OldActiveObject = -1;
  SendNCPaint();
  UpdateCaptionState(true);
}

void TvpVesperForm::CaptureLost() {
  // Another window took the mouse in the middle of a press (Alt+Tab, a
  // dialog): the held object lets go without its command, and the next
  // press anywhere is a press of its own.
  const int index = CaptureObject;
  CaptureObject = -1;
  if (index < 0 || index >= static_cast<int>(ObjectList.size())) return;
  TvpActiveSkinObject* o = ObjectList[static_cast<size_t>(index)].get();
  if (auto* b = dynamic_cast<TvpSkinButtonObject*>(o); b && b->Pressed && !b->Menu) b->SetPressed(false);
  if (auto* a = dynamic_cast<TvpSkinAnimateObject*>(o); a && a->Pressed && !a->MenuShown) {
    a->Pressed = false;
    RedrawObject(a);
    StartAnimation();
  }
}

void TvpVesperForm::PlaceObjects() {
  if (!SkinInUse) return;
  const skinform::FrameSkin fs = FrameSkinOf(*skinData_);
  std::vector<skinform::RowObject> row;
  for (auto& o : ObjectList) {
    if (!o->SkinRectInAPicture) o->ObjectRect = skinform::PlaceByCorners(fs, o->SkinRect, Geometry.dx, Geometry.dy);
    skinform::RowObject r;
    r.IsCaption = o->IsCaption();
    r.Command = CommandOf(o.get());
    r.InRow = o->IsButtonLike() && o->Visible && o->SkinRectInAPicture;
    r.Width = o->SkinRect.Width();
    r.Height = o->SkinRect.Height();
    if (r.Command == cmSysMenu && ShowIcon()) {
      r.Width = GetSystemMetrics(SM_CXSMICON);
      r.Height = GetSystemMetrics(SM_CYSMICON);
    }
    r.ObjectRect = o->ObjectRect;
    row.push_back(r);
  }
  skinform::LayoutButtonsRow(Geometry, row);
  for (size_t i = 0; i < row.size(); ++i) ObjectList[i]->ObjectRect = row[i].ObjectRect;
}

void TvpVesperForm::RedrawObject(TvpActiveSkinObject* object) {
  if (!object || BorderStyleNone() || !Form->HandleAllocated()) return;
  HWND h = Form->Handle();
  gdi::WindowDC dc = gdi::WindowDC::Adopt(h, GetWindowDC(h));
  if (dc) object->Draw(dc.get(), true);
}

void TvpVesperForm::TestActive(int X, int Y, bool CanActivate) {
  if (ObjectList.empty() || !FormActive()) return;
  OldActiveObject = ActiveObject;
  std::vector<skinform::HitObject> hits;
  hits.reserve(ObjectList.size());
  for (auto& o : ObjectList) hits.push_back({o->ObjectRect, o->Enabled, o->Visible});
  const int found = skinform::FindObjectAt(hits, X, Y);
  ActiveObject = (found != -1 && CanActivate) ? found : -1;
  // A held button keeps the mouse: nothing else lights up meanwhile.
  if (CaptureObject != -1 && ActiveObject != CaptureObject) ActiveObject = -1;
  const int n = static_cast<int>(ObjectList.size());
  if (OldActiveObject >= n) OldActiveObject = -1;
  if (ActiveObject == OldActiveObject) return;
  const bool hints = ShowObjectHint && SkinHint();
  if (OldActiveObject != -1) {
    TvpActiveSkinObject* old = ObjectList[static_cast<size_t>(OldActiveObject)].get();
    if (old->Enabled && old->Visible) {
      old->MouseLeave();
      if (hints && !old->Hint.empty()) CancelObjectHint();
    }
  }
  if (ActiveObject != -1) {
    TvpActiveSkinObject* now = ObjectList[static_cast<size_t>(ActiveObject)].get();
    if (now->Enabled && now->Visible) {
      now->MouseEnter();
      if (hints && !now->Hint.empty()) ShowObjectHintText(now->Hint);
    }
  }
}

void TvpVesperForm::ObjectMouseDown(int index, int X, int Y, TMouseButton Button) {
  if (index < 0 || index >= static_cast<int>(ObjectList.size())) return;
  TvpActiveSkinObject* o = ObjectList[static_cast<size_t>(index)].get();
  if (!o->Enabled || !o->Visible) return;
  if (!o->IsCaption()) SetCapture(Form->Handle());
  CaptureObject = index;
  o->MouseDown(X, Y, Button);
}

void TvpVesperForm::ObjectMouseUp(int index, int X, int Y, TMouseButton Button) {
  if (index < 0 || index >= static_cast<int>(ObjectList.size())) return;
  TvpActiveSkinObject* o = ObjectList[static_cast<size_t>(index)].get();
  // Cleared first: releasing the capture reports a lost capture.
  CaptureObject = -1;
  if (!o->IsCaption() && GetCapture() == Form->Handle()) ReleaseCapture();
  if (o->Enabled && o->Visible) o->MouseUp(X, Y, Button);
}

void TvpVesperForm::RunCommand(int command) {
  switch (command) {
    case cmClose:
      Form->Close();
      break;
    case cmMaximize:
      SetWindowState(WindowState == wsMaximized ? wsNormal : wsMaximized);
      break;
    case cmMinimize:
      if (AlwaysMinimizeToTray)
        MinimizeToTray();
      else
        SetWindowState((WindowState == wsMinimized || IsIconic(Form->Handle())) ? wsNormal : wsMinimized);
      break;
    case cmRollUp:
      SetRollUpState(!RollUpState);
      break;
    case cmMinimizeToTray:
      MinimizeToTray();
      break;
    default:  // the system menu opened on the press; default buttons do nothing
      break;
  }
}

bool TvpVesperForm::MorphPossible() const {
  return skinData_ && !skinData_->SkinEmpty && skinData_->EnableSkinEffects;
}

void TvpVesperForm::StartMorph() { MorphTimer->SetEnabled(true); }
void TvpVesperForm::StartAnimation() { AnimateTimer->SetEnabled(true); }

void TvpVesperForm::MorphTick() {
  bool moved = false;
  for (auto& o : ObjectList) {
    if (!o->CanMorph() || !o->MorphPending()) continue;
    o->MorphFactor = skinform::MorphStep(o->MorphFactor, o->Highlighted);
    RedrawObject(o.get());
    moved = true;
  }
  if (!moved) MorphTimer->SetEnabled(false);
}

void TvpVesperForm::HoverTick() {
  if (!FormActive()) return;
  if (MoveSizeLoop) {
    HoverTimer->SetEnabled(false);
    return;
  }
  POINT c;
  GetCursorPos(&c);
  const RECT wr = Form->BoundsRect();
  const int x = c.x - wr.left, y = c.y - wr.top;
  Rect client = Geometry.NewClientRect;
  if (!SkinInUse) {
    const int captionH = (Form->BorderStyle == TBorderStyle::bsToolWindow ||
                          Form->BorderStyle == TBorderStyle::bsSizeToolWin) ? 15 : 19;
    client = Rect{3, captionH + 3, FormWidth - 3, FormHeight - 3};
  }
  if (!client.Contains(x, y))
    TestActive(x, y, true);
  else if (ActiveObject != -1)
    TestActive(-1, -1, true);
}

}  // namespace vp
