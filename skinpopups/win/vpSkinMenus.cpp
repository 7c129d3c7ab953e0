#include "skinpopups/win/vpSkinMenus.h"

#include <algorithm>
#include <cwctype>

#include "skin/win/vpUtils_win.h"
#include "skinpopups/win/popup_level.h"

namespace vp {

namespace {

constexpr unsigned kMouseInterval = 50;
constexpr unsigned kMorphInterval = 20;
constexpr unsigned kScrollInterval = 100;
constexpr unsigned kSubMenuWait = 500;

// Tells a control (a window by SendMessage, anything else by Perform).
void TellControl(TControl* c, unsigned msg) {
  if (!c) return;
  auto* w = dynamic_cast<TWinControl*>(c);
  if (w && w->IsWindowed() && w->HandleAllocated())
    SendMessageW(w->Handle(), msg, 0, 0);
  else
    c->Perform(msg, 0, 0);
}

TvpDataSkinMenuItem* FirstMenuItemDef(TvpSkinData* sd) {
  if (!sd) return nullptr;
  for (auto& o : sd->ObjectDefs)
    if (auto* d = dynamic_cast<TvpDataSkinMenuItem*>(o.get())) return d;
  return nullptr;
}

bool InsidePicture(const plat::Rect& r, const plat::BmpImage& p) {
  return !r.IsNull() && r.Left >= 0 && r.Top >= 0 && r.Right <= p.Width && r.Bottom <= p.Height;
}
bool InsidePicture(const plat::Point& pt, const plat::BmpImage& p) {
  return pt.X >= 0 && pt.Y >= 0 && pt.X <= p.Width && pt.Y <= p.Height;
}

// A popup picture is usable when its items rectangle and corner points lie
// inside it; anything else draws the plain look instead of garbage.
bool UsablePopupPicture(const TvpDataSkinPopupWindow& d, const plat::BmpImage* pic) {
  return pic && !pic->Empty() && InsidePicture(d.ItemsRect, *pic) && InsidePicture(d.LTPoint, *pic) &&
         InsidePicture(d.RTPoint, *pic) && InsidePicture(d.LBPoint, *pic) && InsidePicture(d.RBPoint, *pic);
}

// The access key of a caption: the character after a single "&".
wchar_t AccessKey(const std::wstring& caption) {
  for (size_t i = 0; i + 1 < caption.size(); ++i) {
    if (caption[i] != L'&') continue;
    if (caption[i + 1] == L'&') {
      ++i;
      continue;
    }
    return static_cast<wchar_t>(std::towupper(caption[i + 1]));
  }
  return 0;
}

RECT ToRECT(const plat::Rect& r) { return RECT{r.Left, r.Top, r.Right, r.Bottom}; }
plat::Rect ToRect(const RECT& r) { return plat::Rect{r.left, r.top, r.right, r.bottom}; }

// Watches one menu item for the length of a command, so a handler that frees
// it does not leave us calling into freed memory.
class ItemWatch : public TComponent {
 public:
  explicit ItemWatch(TMenuItem* item) : TComponent(nullptr), item_(item) {
    if (item_) item_->FreeNotification(this);
  }
  ~ItemWatch() override {
    if (item_) RemoveFreeNotification(item_);
  }
  TMenuItem* get() const { return item_; }
  void Notification(TComponent* c, TOperation op) override {
    if (op == TOperation::opRemove && c == item_) item_ = nullptr;
  }

 private:
  TMenuItem* item_;
};

}  // namespace

// ------------------------------------------------------------ TvpSkinMenuItem

TvpSkinMenuItem::TvpSkinMenuItem(TvpSkinPopupWindow* Level, TMenuItem* MenuItem, TvpDataSkinMenuItem* Def)
    : level_(Level), menuItem_(MenuItem), def_(Def) {
  if (!def_) return;
  TvpSkinData* sd = Level && Level->Menu() ? Level->Menu()->SkinData() : nullptr;
  picture_ = sd ? sd->ActivePicture(def_->ActivePictureIndex) : nullptr;
  if (picture_) {
    SkinRect = def_->SkinRect;
    ActiveSkinRect = def_->ActiveSkinRect;
  }
}

bool TvpSkinMenuItem::IsSeparator() const { return menuItem_ && menuItem_->IsLine(); }
bool TvpSkinMenuItem::IsEnabled() const { return menuItem_ && menuItem_->Enabled; }
bool TvpSkinMenuItem::HasChildren() const { return menuItem_ && menuItem_->Count() > 0; }

// --------------------------------------------------------- TvpSkinPopupWindow

TvpSkinPopupWindow::Impl::Impl(TvpSkinPopupWindow& w)
    : mouseTimer([&w] { w.MouseTick(); }),
      morphTimer([&w] { w.MorphTick(); }),
      scrollTimer([&w] { w.ScrollTick(); }) {}

TvpSkinPopupWindow::TvpSkinPopupWindow(TvpSkinMenu* Menu, TvpDataSkinPopupWindow* Def)
    : TWinControl(Menu), menu_(Menu), popupDef_(Def), impl_(std::make_unique<Impl>(*this)) {
  visible_ = false;
  TabStop = false;
  TvpSkinData* sd = Menu->SkinData();
  if (popupDef_ && sd && !sd->SkinEmpty && popupDef_->WindowPictureIndex != -1) {
    impl_->windowPicture = sd->ActivePicture(popupDef_->WindowPictureIndex);
    impl_->maskPicture = sd->ActivePicture(popupDef_->MaskPictureIndex);
  }
  if (!popupDef_ || !UsablePopupPicture(*popupDef_, impl_->windowPicture)) {
    popupDef_ = nullptr;
    impl_->windowPicture = impl_->maskPicture = nullptr;
  }
  // A mask of another size than the picture cannot cut this frame.
  const plat::BmpImage* m = impl_->maskPicture;
  if (m && (m->Width != impl_->windowPicture->Width || m->Height != impl_->windowPicture->Height))
    impl_->maskPicture = nullptr;
  if (popupDef_) {
    TvpDataSkinMenuItem* d = FirstMenuItemDef(sd);
    // Items need their picture and a height to be drawn from the skin.
    if (d && sd->ActivePicture(d->ActivePictureIndex) && !d->SkinRect.IsNull() &&
        InsidePicture(d->SkinRect, *sd->ActivePicture(d->ActivePictureIndex)))
      itemDef_ = d;
    impl_->effects = sd->EnableSkinEffects && !sd->SkinEmpty;
  }
}

TvpSkinPopupWindow::~TvpSkinPopupWindow() {
  impl_->mouseTimer.Stop();
  impl_->morphTimer.Stop();
  impl_->scrollTimer.Stop();
  for (auto& it : items_)
    if (it->menuItem_) it->menuItem_->RemoveFreeNotification(this);
  if (parentItem_) parentItem_->RemoveFreeNotification(this);
  items_.clear();
  DestroyWnd();
}

void TvpSkinPopupWindow::CreateParams(TCreateParams& p) {
  TWinControl::CreateParams(p);
  p.ClassName = skin::IsWindowsXP() ? L"PlatoraSkinPopupShadow" : L"PlatoraSkinPopup";
  p.Style = WS_POPUP;
  p.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST;
  p.ClassStyle = CS_SAVEBITS | (skin::IsWindowsXP() ? CS_DROPSHADOW : 0);
  p.WndParent = nullptr;
}

void TvpSkinPopupWindow::Notification(TComponent* AComponent, TOperation Operation) {
  TWinControl::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == parentItem_) parentItem_ = nullptr;
  for (auto& it : items_) {
    if (it->menuItem_ != AComponent) continue;
    it->menuItem_ = nullptr;
    it->Active = it->SubMenuOpen = it->SelectedOnOpen = false;
    if (menu_->waitingItem_ == it.get()) menu_->StopWaiting();
    if (HandleAllocated() && IsWindowVisible(handle_)) {
      gdi::WindowDC dc(handle_);
      TvpSkinPopupPainter::PaintItem(*this, *it, dc.get());
    }
  }
}

void TvpSkinPopupWindow::Build(TMenuItem* item, int startIndex) {
  parentItem_ = item;
  item->FreeNotification(this);
  TMenu* owner = item->GetParentMenu();
  images_ = owner ? owner->Images : nullptr;
  glyphWidth_ = images_ ? images_->Width + 5 : 19;

  for (int i = std::max(0, startIndex); i < item->Count(); ++i) {
    TMenuItem* child = item->Items(i);
    if (!child->Visible) continue;
    child->FreeNotification(this);
    items_.push_back(std::make_unique<TvpSkinMenuItem>(this, child, itemDef_));
  }

  // Size from the widest "shortcut, two spaces, caption" in the items' font.
  impl_->font = menu_->fonts_->Get(TvpSkinPopupPainter::ItemFont(*menu_, itemDef_));
  int widest = 0;
  {
    // Measured on the kind of surface the items are painted on.
    popupgdi::Surface measure(1, 1);
    HDC dc = measure.dc();
    gdi::Selected sel(dc, impl_->font);
    for (auto& it : items_) {
      TMenuItem* mi = it->MenuItem();
      std::wstring text = mi->Caption;
      if (mi->ShortCut != scNone) text = ShortCutToText(mi->ShortCut) + L"  " + text;
      SIZE s{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &s);
      widest = std::max<int>(widest, s.cx + 2);
    }
  }
  popups::LevelSkin& sk = impl_->skin;
  if (popupDef_) {
    sk.HasSkin = true;
    sk.PictureWidth = impl_->windowPicture->Width;
    sk.PictureHeight = impl_->windowPicture->Height;
    sk.ItemsRect = popupDef_->ItemsRect;
    if (itemDef_) {
      sk.HasItemDef = true;
      sk.ItemSkinRect = itemDef_->SkinRect;
      sk.TextRect = itemDef_->TextRect;
      sk.DividerRect = itemDef_->DividerRect;
    }
  }
  std::vector<int> heights;
  popups::LevelModel& m = impl_->model;
  m.Items.clear();
  for (auto& it : items_) {
    const int h = popups::ItemHeight(sk, it->IsSeparator(), menu_->DefMenuItemHeight());
    heights.push_back(h);
    m.Items.push_back(popups::ItemState{h, it->Selectable()});
  }
  const RECT& wa = menu_->workArea_;
  const popups::LevelSize size = popups::SizeLevel(sk, widest, glyphWidth_, heights, menu_->MaxMenuItemsInWindow,
                                                   menu_->DefMenuItemHeight(), wa.bottom - wa.top);
  scroll_ = size.Scroll;
  limit_ = size.Limit;
  // A level never gets wider than the screen it is on; long captions end in "...".
  const int width = std::min(size.Width, std::max<int>(wa.right - wa.left, 40));
  width_ = width;
  height_ = size.Height;
  firstVisible_ = 0;

  // Frame geometry, layout and the region cut from the mask.
  const plat::Rect ir = popups::ItemsRectFor(sk, width_, height_);
  itemsRect_ = ToRECT(ir);
  if (popupDef_) {
    skin::SkinCut& c = impl_->cut;
    c.LT = popupDef_->LTPoint;
    c.RT = popupDef_->RTPoint;
    c.LB = popupDef_->LBPoint;
    c.RB = popupDef_->RBPoint;
    c.C = popupDef_->ItemsRect;
    c.S = plat::Rect{0, 0, sk.PictureWidth, sk.PictureHeight};
    impl_->fit = skin::FitSkinCut(c, width_, height_);
  }
  m.ItemsRect = ir;
  m.Scroll = scroll_;
  m.FirstVisible = 0;
  SyncLayout();
  if (impl_->maskPicture) impl_->region = skin::BuildShapedRegion(impl_->maskPicture->Pixels, impl_->cut, impl_->fit);
}

void TvpSkinPopupWindow::SyncLayout() {
  popups::LevelModel& m = impl_->model;
  m.Layout();
  firstVisible_ = m.FirstVisible;
  visibleCount_ = m.VisibleCount;
  for (size_t i = 0; i < items_.size(); ++i) {
    items_[i]->Rect = ToRECT(m.Rects[i]);
    items_[i]->Shown = m.Shown[i];
  }
}

void TvpSkinPopupWindow::Show(const RECT& anchor, bool preferAbove, bool asSubMenu) {
  TvpSkinMenu& menu = *menu_;
  // Pending messages were processed before the level was made (Popup).
  const bool fade = menu.FadesIn();

  const popups::Placement p =
      popups::PlaceLevel(ToRect(anchor), ToRect(menu.workArea_), width_, height_, itemsRect_.top, asSubMenu,
                         preferAbove, scroll_, limit_);
  pushedAside_ = p.PushedAside;
  left_ = p.X;
  top_ = p.Y;
  impl_->showPos = POINT{p.X, p.Y};
  HWND h = Handle();

  const bool alpha = skin::IsWindows2000OrLater() && menu.MenusAlphaBlend;
  if (alpha) {
    SetWindowLongW(h, GWL_EXSTYLE, GetWindowLongW(h, GWL_EXSTYLE) | WS_EX_LAYERED);
    skin::SetWindowAlpha(h, fade ? 0 : menu.MenusAlphaBlendValue);
  }
  if (impl_->region) gdi::GiveRegionToWindow(h, impl_->region, TRUE);  // the window owns it now

  SetWindowPos(h, HWND_TOPMOST, p.X, p.Y, 0, 0, SWP_NOSIZE | SWP_NOACTIVATE | SWP_SHOWWINDOW);
  visible_ = true;
  RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ERASENOW | RDW_UPDATENOW);

  if (fade) {
    // On the spot, without the message loop: only the first level fades.
    menu.fadeSteps_.clear();
    ++menu.fadeCount_;
    for (int a : popups::FadeSteps(menu.MenusAlphaBlendValue)) {
      if (a > 0) {
        const DWORD last = GetTickCount();
        while (GetTickCount() - last <= 5) Sleep(1);
      }
      skin::SetWindowAlpha(h, static_cast<BYTE>(a));
      menu.fadeSteps_.push_back(static_cast<BYTE>(a));
    }
  }

  impl_->mouseTimer.Start(kMouseInterval);
  activeIndex_ = -1;
  const int first = impl_->model.FirstSelectable();
  if (first >= 0) {
    items_[static_cast<size_t>(first)]->SelectedOnOpen = true;
    activeIndex_ = first;
    ActivateItem(first, false);
  }
}

// ---- painting and messages

void TvpSkinPopupWindow::WndProc(TMessage& m) {
  switch (m.Msg) {
    case WM_ERASEBKGND:
      TvpSkinPopupPainter::PaintLevel(*this, reinterpret_cast<HDC>(m.WParam));
      m.Result = 1;
      return;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(handle_, &ps);
      EndPaint(handle_, &ps);
      m.Result = 0;
      return;
    }
    case WM_MOUSEACTIVATE:
      m.Result = MA_NOACTIVATE;
      return;
    case WM_LBUTTONUP:
      // The click may close this level: nothing may follow it here.
      LeftButtonUp(POINT{static_cast<short>(LOWORD(m.LParam)), static_cast<short>(HIWORD(m.LParam))});
      m.Result = 0;
      return;
    case WM_MOUSEMOVE:
      m.Result = 0;
      return;
    default:
      TWinControl::WndProc(m);
  }
}

void TvpSkinPopupWindow::RepaintLevel() {
  if (!HandleAllocated() || !IsWindowVisible(handle_)) return;
  gdi::WindowDC dc(handle_);
  TvpSkinPopupPainter::PaintLevel(*this, dc.get());
}

void TvpSkinPopupWindow::DrawItemNow(TvpSkinMenuItem& item) {
  if (!HandleAllocated() || !IsWindowVisible(handle_)) return;
  gdi::WindowDC dc(handle_);
  TvpSkinPopupPainter::PaintItem(*this, item, dc.get());
}

void TvpSkinPopupWindow::RedrawRequest(TvpSkinMenuItem& item) {
  bool ticking = false;
  if (TvpSkinPopupPainter::Animates(*this, item)) {
    if (item.Def()->InActiveAnimation || item.Active) {
      impl_->morphTimer.Start(static_cast<unsigned>(std::max(1, item.Def()->AnimateInterval)));
      ticking = true;
    } else {
      item.FrameCounter = 0;
    }
  }
  // A morph runs on the same timer, at the frames' pace when they play too.
  if (TvpSkinPopupPainter::Morphs(*this, item) && !ticking) {
    impl_->morphTimer.Start(kMorphInterval);
    ticking = true;
  }
  if (!ticking) DrawItemNow(item);
}

void TvpSkinPopupWindow::MorphTick() {
  bool changed = false;
  for (auto& up : items_) {
    TvpSkinMenuItem& it = *up;
    const bool on = it.Active || it.SubMenuOpen;
    if (TvpSkinPopupPainter::Morphs(*this, it)) {
      if (!it.Shown) {
        if (it.MorphFactor != 0) {
          it.Active = it.SubMenuOpen = false;
          it.MorphFactor = 0;
        }
        continue;
      }
      const double end = on ? 1.0 : 0.0;
      if (it.MorphFactor != end) {
        it.MorphFactor = std::clamp(it.MorphFactor + (on ? 0.2 : -0.2), 0.0, 1.0);
        // Five steps of 0.2 must land exactly on the end.
        if (std::abs(it.MorphFactor - end) < 1e-9) it.MorphFactor = end;
        DrawItemNow(it);
        changed = true;
      }
    }
    // An item may both morph and play frames: each goes on.
    if (TvpSkinPopupPainter::Animates(*this, it)) {
      if (it.Active && it.FrameCounter <= it.Def()->FrameCount) {
        ++it.FrameCounter;
        DrawItemNow(it);
        changed = true;
      } else if (!it.Active && it.FrameCounter > 0) {
        --it.FrameCounter;
        DrawItemNow(it);
        changed = true;
      }
    }
  }
  if (!changed) impl_->morphTimer.Stop();
}

// ---- pointer

void TvpSkinPopupWindow::MouseTick() {
  if (!HandleAllocated()) return;
  POINT screen;
  if (!GetCursorPos(&screen)) return;
  POINT p = screen;
  ScreenToClient(handle_, &p);
  if (p.x == impl_->lastMouse.x && p.y == impl_->lastMouse.y) return;
  impl_->lastMouse = p;
  if (WindowFromPoint(screen) == handle_) {
    MouseMove(p);
  } else if (scroll_ && scrollDir_ != 0) {
    StopScrolling();
  }
}

void TvpSkinPopupWindow::StopScrolling() {
  scrollDir_ = 0;
  impl_->scrollTimer.Stop();
  RepaintLevel();
}

void TvpSkinPopupWindow::MouseMove(POINT p) {
  const plat::Point pt{p.x, p.y};
  popups::LevelModel& m = impl_->model;
  if (scroll_) {
    const int menuLevel = LevelIndex();
    if (m.TopScrollArea().Contains(pt.X, pt.Y) && scrollDir_ == 0 && m.CanScrollUp()) {
      scrollDir_ = 1;
      RepaintLevel();
      menu_->CloseLevels(menuLevel + 1);
      impl_->scrollTimer.Start(kScrollInterval);
    } else if (m.BottomScrollArea().Contains(pt.X, pt.Y) && scrollDir_ == 0 && m.CanScrollDown()) {
      scrollDir_ = 2;
      RepaintLevel();
      menu_->CloseLevels(menuLevel + 1);
      impl_->scrollTimer.Start(kScrollInterval);
    } else if (scrollDir_ != 0 && !m.TopScrollArea().Contains(pt.X, pt.Y) &&
               !m.BottomScrollArea().Contains(pt.X, pt.Y)) {
      StopScrolling();
    }
  }
  prevActiveIndex_ = activeIndex_;
  const int hit = m.HitTest(pt);
  // Over the frame or outside the items the highlight stays where it was.
  if (hit >= 0) activeIndex_ = hit;
  if (activeIndex_ >= ItemCount()) activeIndex_ = -1;
  if (activeIndex_ == prevActiveIndex_) {
    if (activeIndex_ < 0) return;
    TvpSkinMenuItem& it = *items_[static_cast<size_t>(activeIndex_)];
    if (it.SelectedOnOpen) {
      it.SelectedOnOpen = false;
      if (it.HasChildren()) ActivateItem(activeIndex_, true);
    }
    return;
  }
  if (prevActiveIndex_ >= 0 && items_[static_cast<size_t>(prevActiveIndex_)]->Selectable())
    DeactivateItem(prevActiveIndex_);
  if (activeIndex_ >= 0 && items_[static_cast<size_t>(activeIndex_)]->Selectable()) ActivateItem(activeIndex_, true);
}

void TvpSkinPopupWindow::LeftButtonUp(POINT p) {
  MouseMove(p);
  const int hit = impl_->model.HitTest(plat::Point{p.x, p.y});
  if (hit < 0 || activeIndex_ < 0) return;
  if (items_[static_cast<size_t>(activeIndex_)]->IsSeparator()) return;
  ClickItem(activeIndex_);
}

void TvpSkinPopupWindow::ScrollTick() {
  const bool down = scrollDir_ == 2;
  if (scrollDir_ != 0 && impl_->model.ScrollByOne(down, false)) {
    SyncLayout();
    RepaintLevel();
    return;
  }
  StopScrolling();
}

// ---- activation and clicks

int TvpSkinPopupWindow::LevelIndex() const {
  for (int i = 0; i < menu_->LevelCount(); ++i)
    if (menu_->Levels(i) == this) return i;
  return -1;
}

void TvpSkinPopupWindow::ActivateItem(int index, bool byMouse) {
  TvpSkinMenuItem& it = *items_[static_cast<size_t>(index)];
  it.Active = true;
  if (TvpSkinPopupPainter::Animates(*this, it)) it.FrameCounter = 0;
  for (auto& other : items_)
    if (other.get() != &it && other->SubMenuOpen) {
      other->SubMenuOpen = false;
      RedrawRequest(*other);
    }
  const int here = LevelIndex();
  if (it.SelectedOnOpen && byMouse) {
    RedrawRequest(it);
  } else if (it.SubMenuOpen) {
    // Its submenu stays; anything deeper goes.
    menu_->CloseLevels(here + 2);
    if (here + 1 < menu_->LevelCount())
      for (auto& sub : menu_->Levels(here + 1)->items_)
        if (sub->SubMenuOpen) {
          sub->SubMenuOpen = false;
          menu_->Levels(here + 1)->RedrawRequest(*sub);
        }
  } else {
    RedrawRequest(it);
    if (!it.HasChildren()) {
      menu_->CloseLevels(here + 1);
      menu_->StopWaiting();
    } else if (byMouse) {
      menu_->CloseLevels(here + 1);
      menu_->waitingItem_ = &it;
      menu_->waitTimer_->Start(kSubMenuWait);
    }
  }
  if (it.MenuItem()) HintText = it.MenuItem()->Hint;
}

void TvpSkinPopupWindow::DeactivateItem(int index) {
  TvpSkinMenuItem& it = *items_[static_cast<size_t>(index)];
  it.Active = false;
  if (TvpSkinPopupPainter::Animates(*this, it)) it.FrameCounter = it.Def()->FrameCount + 1;
  it.SelectedOnOpen = false;
  if (!it.SubMenuOpen) RedrawRequest(it);
  if (menu_->waitingItem_ == &it) menu_->StopWaiting();
}

void TvpSkinPopupWindow::ClickItem(int index) {
  if (index < 0 || index >= ItemCount()) return;
  TvpSkinMenuItem& it = *items_[static_cast<size_t>(index)];
  TMenuItem* mi = it.MenuItem();
  if (!mi || it.SubMenuOpen || !mi->Enabled || it.IsSeparator()) return;
  TvpSkinMenu* menu = menu_;
  if (!it.HasChildren()) {
    // Closing frees this level and the item; the close and the command run
    // handlers that may free the menu item or the controller as well.
    const std::weak_ptr<char> menuAlive = menu->life_;
    ItemWatch watch(mi);
    menu->StopWaiting();
    menu->CloseMenu();
    if (watch.get()) watch.get()->Click();
    if (!menuAlive.expired()) menu->CommandDone();
    return;
  }
  {
    // The opener's own command may close the menu (a dialog, a form freed).
    const std::weak_ptr<char> levelAlive = impl_->life;
    ItemWatch watch(mi);
    mi->Click();
    if (!watch.get() || levelAlive.expired()) return;
  }
  menu->StopWaiting();
  it.SubMenuOpen = true;
  RECT anchor = it.Rect;
  POINT origin{0, 0};
  ClientToScreen(handle_, &origin);
  OffsetRect(&anchor, origin.x, origin.y);
  if (!menu->OpenLevel(mi, anchor, false, true, 0)) {
    it.SubMenuOpen = false;
    RedrawRequest(it);
  }
}

// ---- keyboard

void TvpSkinPopupWindow::ProcessKey(WORD Key) {
  if (!HandleAllocated() || !IsWindowVisible(handle_)) return;
  TvpSkinMenu* menu = menu_;
  if (enabled_) {
    for (int i = 0; i < ItemCount(); ++i) {
      TvpSkinMenuItem& it = *items_[static_cast<size_t>(i)];
      if (!it.Selectable() || AccessKey(it.MenuItem()->Caption) != static_cast<wchar_t>(Key)) continue;
      const int prev = activeIndex_;
      ActivateItem(i, true);
      activeIndex_ = i;
      if (prev >= 0 && prev != i && items_[static_cast<size_t>(prev)]->Selectable()) DeactivateItem(prev);
      ClickItem(i);
      return;
    }
  }
  switch (Key) {
    case VK_RETURN:
      if (activeIndex_ >= 0) ClickItem(activeIndex_);
      return;
    case VK_ESCAPE:
      menu->CloseDeepest();
      return;
    case VK_LEFT:
      if (menu->LevelCount() >= 2) menu->CloseDeepest();
      return;
    case VK_RIGHT:
      if (activeIndex_ >= 0 && items_[static_cast<size_t>(activeIndex_)]->HasChildren()) ClickItem(activeIndex_);
      return;
    case VK_DOWN:
    case VK_UP: {
      popups::LevelModel& m = impl_->model;
      // Items may have been enabled, disabled or freed since the level opened.
      for (size_t i = 0; i < items_.size(); ++i) m.Items[i].Selectable = items_[i]->Selectable();
      const int before = m.FirstVisible;
      const int prev = activeIndex_;
      activeIndex_ = Key == VK_DOWN ? m.KeyDown(prev, scrollDir_ != 0) : m.KeyUp(prev, scrollDir_ != 0);
      if (m.FirstVisible != before) {
        SyncLayout();
        RepaintLevel();
      }
      if (activeIndex_ != prev) {
        ActivateItem(activeIndex_, false);
        if (prev >= 0) DeactivateItem(prev);
      }
      return;
    }
    default:
      return;
  }
}

// ---------------------------------------------------------------- TvpSkinMenu

TvpSkinMenu::TvpSkinMenu(TComponent* AOwner, TForm* HostForm) : TComponent(AOwner), hostForm_(HostForm) {
  if (!hostForm_)
    for (TComponent* c = AOwner; c && !hostForm_; c = c->Owner()) hostForm_ = dynamic_cast<TForm*>(c);
  if (hostForm_) hostForm_->FreeNotification(this);
  defMenuItemFont_.SetName(L"Arial");
  defMenuItemFont_.SetHeight(14);
  defMenuItemFont_.SetColor(clWindowText);
  waitTimer_ = std::make_unique<popupgdi::Timer>([this] { WaitTimerFired(); });
  fonts_ = std::make_unique<popupgdi::FontCache>();
}

TvpSkinMenu::~TvpSkinMenu() {
  waitTimer_->Stop();
  OnMenuClose = nullptr;
  while (!levels_.empty()) {
    TvpSkinPopupWindow* l = levels_.back();
    levels_.pop_back();
    delete l;
  }
  SetSkinDataRef(nullptr);
  SetControlRef(popupControl_, nullptr);
  SetControlRef(afterCommandControl_, nullptr);
  if (hostForm_) RemoveFreeNotification(hostForm_);
}

void TvpSkinMenu::SetHostForm(TForm* f) {
  if (f == hostForm_) return;
  if (hostForm_) RemoveFreeNotification(hostForm_);
  hostForm_ = f;
  if (hostForm_) hostForm_->FreeNotification(this);
}

void TvpSkinMenu::SetSkinDataRef(TvpSkinData* sd) {
  if (sd == skinData_) return;
  if (skinData_) {
    skinData_->RemoveFreeNotification(this);
    skinData_->RemoveChangeNotification(this);
  }
  skinData_ = sd;
  if (skinData_) {
    skinData_->FreeNotification(this);
    skinData_->AddChangeNotification(this);
  }
}

void TvpSkinMenu::SetControlRef(TControl*& ref, TControl* value) {
  if (ref == value) return;
  TControl* old = ref;
  ref = value;
  if (old && old != popupControl_ && old != afterCommandControl_) RemoveFreeNotification(old);
  if (value) value->FreeNotification(this);
}

void TvpSkinMenu::Notification(TvpComponent* component) {
  if (component == skinData_) skinData_ = nullptr;
}

void TvpSkinMenu::SkinDataChanging(TvpSkinData* skin) {
  // The levels point into the skin's pictures and definitions, which are
  // about to go: an open menu closes while they are still whole.
  if (skin != skinData_) return;
  if (!levels_.empty()) CloseMenu();
}

void TvpSkinMenu::Notification(TComponent* AComponent, TOperation Operation) {
  TComponent::Notification(AComponent, Operation);
  if (Operation != TOperation::opRemove) return;
  if (AComponent == popupControl_) popupControl_ = nullptr;
  if (AComponent == afterCommandControl_) afterCommandControl_ = nullptr;
  if (AComponent == hostForm_) hostForm_ = nullptr;
  // A level freed from outside (its owner is this controller).
  auto it = std::find(levels_.begin(), levels_.end(), AComponent);
  if (it != levels_.end()) levels_.erase(it);
}

bool TvpSkinMenu::FadesIn() const {
  return skin::IsWindows2000OrLater() && MenusAlphaBlend && MenusAlphaBlendAnimation && firstOpen_;
}

void TvpSkinMenu::Popup(TControl* Control, TvpSkinData* SkinData, bool PreferAbove, TMenuItem* Item,
                        const RECT& AnchorRect, int StartIndex) {
  const std::weak_ptr<char> alive = life_;
  const bool wasVisible = visible_;
  // The old menu's control hears that its menu closed (its handlers may
  // free this controller); the new one is told when this menu closes.
  if (!levels_.empty()) CloseLevels(0);
  if (alive.expired()) return;
  firstOpen_ = !wasVisible;
  if (FadesIn() && Application) {
    // Before any level exists: whatever the pending messages do, nothing of
    // the new menu can be freed under it.
    Application->ProcessMessages();
    if (alive.expired() || !levels_.empty()) return;
  }
  SetControlRef(popupControl_, Control);
  fonts_->Trim(4);  // no level holds one now
  HWND host = hostForm_ && hostForm_->HandleAllocated() ? hostForm_->Handle() : nullptr;
  workArea_ = skin::GetMonitorWorkArea(host, true);
  SetSkinDataRef(SkinData);
  bool shown = false;
  if (Item && StartIndex >= 0 && StartIndex < Item->Count()) {
    visible_ = true;
    shown = OpenLevel(Item, AnchorRect, PreferAbove, false, StartIndex);
    firstOpen_ = false;
  }
  if (!shown) {
    // Nothing to show: the host and the control still hear that the menu
    // closed, or whoever opened it would stay in its menu mode.
    CloseMenu();
    if (!alive.expired()) SetControlRef(afterCommandControl_, nullptr);
  }
}

bool TvpSkinMenu::OpenLevel(TMenuItem* Item, const RECT& AnchorRect, bool PreferAbove, bool AsSubMenu,
                            int StartIndex) {
  TvpDataSkinPopupWindow* def = (skinData_ && !skinData_->SkinEmpty) ? &skinData_->PopupWindowDef : nullptr;
  auto* level = new TvpSkinPopupWindow(this, def);
  levels_.push_back(level);
  level->Build(Item, StartIndex);
  if (level->ItemCount() == 0) {
    // Nothing visible to show: no level at all.
    levels_.pop_back();
    delete level;
    return false;
  }
  level->Show(AnchorRect, PreferAbove, AsSubMenu);
  return true;
}

void TvpSkinMenu::CloseMenu() {
  // Each step runs handlers that may free this controller.
  const std::weak_ptr<char> alive = life_;
  CloseLevels(0);
  if (alive.expired()) return;
  StopWaiting();
  if (hostForm_ && hostForm_->HandleAllocated()) SendMessageW(hostForm_->Handle(), WM_SKINMENUCLOSED, 0, 0);
  if (alive.expired()) return;
  if (popupControl_) {
    TControl* c = popupControl_;
    SetControlRef(popupControl_, nullptr);
    TellControl(c, WM_SKINMENUCLOSED);
  }
}

void TvpSkinMenu::CloseLevels(int From) {
  From = std::max(0, From);
  bool closed = false;
  while (static_cast<int>(levels_.size()) > From) {
    TvpSkinPopupWindow* l = levels_.back();
    levels_.pop_back();
    if (waitingItem_ && waitingItem_->Level() == l) StopWaiting();
    delete l;
    closed = true;
  }
  if (closed && From > 0) {
    // The opener of the level that went is an opener no more, whichever
    // item holds the highlight now: hover, a click or Right open it again.
    TvpSkinPopupWindow* parent = levels_.back();
    for (auto& it : parent->items_)
      if (it->SubMenuOpen) {
        it->SubMenuOpen = false;
        parent->RedrawRequest(*it);
      }
  }
  if (From != 0) return;
  visible_ = false;
  StopWaiting();
  SetControlRef(afterCommandControl_, popupControl_);
  if (TControl* c = popupControl_) {
    const std::weak_ptr<char> alive = life_;
    SetControlRef(popupControl_, nullptr);
    TellControl(c, WM_SKINMENUCLOSED);
    if (alive.expired()) return;
  }
  if (OnMenuClose) {
    const TNotifyEvent fire = OnMenuClose;
    OnMenuClose = nullptr;
    fire(this);
  }
}

void TvpSkinMenu::CloseDeepest() {
  if (levels_.empty()) return;
  const std::weak_ptr<char> alive = life_;
  CloseLevels(LevelCount() - 1);  // the last level: the close's handlers run
  if (alive.expired()) return;
  if (TvpSkinPopupWindow* l = DeepestLevel()) {
    if (l->activeIndex_ >= 0) {
      TvpSkinMenuItem& it = *l->items_[static_cast<size_t>(l->activeIndex_)];
      if (it.SubMenuOpen) {
        it.SubMenuOpen = false;
        l->RedrawRequest(it);
      }
    }
  }
}

void TvpSkinMenu::ProcessKey(WORD Key) {
  if (!visible_) return;
  if (TvpSkinPopupWindow* l = DeepestLevel()) l->ProcessKey(Key);
}

void TvpSkinMenu::StopWaiting() {
  waitTimer_->Stop();
  waitingItem_ = nullptr;
}

void TvpSkinMenu::WaitTimerFired() {
  TvpSkinMenuItem* it = waitingItem_;
  StopWaiting();
  if (!it) return;
  TvpSkinPopupWindow* level = it->Level();
  for (int i = 0; i < level->ItemCount(); ++i)
    if (level->Items(i) == it) {
      level->ClickItem(i);
      return;
    }
}

void TvpSkinMenu::CommandDone() {
  if (TControl* c = afterCommandControl_) {
    SetControlRef(afterCommandControl_, nullptr);
    TellControl(c, WM_SKINMENUCOMMAND);
  }
}

bool TvpSkinMenu::WaitTimerRunning() const { return waitTimer_->Running(); }

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

namespace {
TvpSkinMenuHost* HostAmong(TComponent* c) {
  if (!c) return nullptr;
  for (int i = 0; i < c->ComponentCount(); ++i)
    if (auto* h = dynamic_cast<TvpSkinMenuHost*>(c->Components(i))) return h;
  return nullptr;
}
}  // namespace

TvpSkinMenuHost* TvpSkinPopupMenu::FindHost() const {
  TComponent* scope = nullptr;
  if (PopupComponent)
    scope = PopupComponent;
  else if (dynamic_cast<TForm*>(Owner()))
    scope = Owner();
  else if (Owner() && dynamic_cast<TForm*>(Owner()->Owner()))
    scope = Owner()->Owner();
  TvpSkinMenuHost* host = HostAmong(scope);
  if (host && host->IsMDIChildForm() && Application) host = HostAmong(Application->MainForm());
  return host;
}

void TvpSkinPopupMenu::Popup(int X, int Y) { ShowAt(RECT{X, Y, X, Y}, false); }

void TvpSkinPopupMenu::PopupAtRect(const RECT& AnchorRect, bool PreferAbove) { ShowAt(AnchorRect, PreferAbove); }

void TvpSkinPopupMenu::ShowAt(const RECT& anchor, bool preferAbove) {
  if (OnPopup) OnPopup(this);
  TvpSkinMenuHost* host = FindHost();
  if (!host || !host->SkinMenu()) return;
  TvpSkinData* sd = skinData_;
  if (!sd) sd = host->MenusSkin() ? host->MenusSkin() : host->SkinData();
  TvpSkinMenu* menu = host->SkinMenu();
  if (menu->Visible()) host->ReleaseMenuCaptionObject();
  host->MenuOpening();
  popupPoint_ = POINT{anchor.left, anchor.top};
  const TNotifyEvent onClose = OnMenuClose;
  const std::weak_ptr<const char> alive = menu->Alive();
  menu->Popup(nullptr, sd, preferAbove, Items(), anchor, 0);
  if (!onClose || alive.expired()) return;
  // A menu that showed nothing has closed already.
  if (menu->Visible())
    menu->OnMenuClose = onClose;
  else
    onClose(menu);
}

}  // namespace vp
