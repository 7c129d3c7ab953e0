#include "ui/win/menus.h"

#include <algorithm>

namespace {

int g_nextCommand = 0x100;  // clear of IDOK/IDCANCEL and friends

// The system's menu font, made once and kept for the run.
HFONT MenuFont() {
  static const gdi::Font font = [] {
    NONCLIENTMETRICSW ncm{};
    ncm.cbSize = sizeof ncm;
    SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof ncm, &ncm, 0);
    return gdi::Font(CreateFontIndirectW(&ncm.lfMenuFont));
  }();
  return font.get();
}

std::wstring KeyName(WORD vk) {
  if (vk >= 'A' && vk <= 'Z') return std::wstring(1, static_cast<wchar_t>(vk));
  if (vk >= '0' && vk <= '9') return std::wstring(1, static_cast<wchar_t>(vk));
  if (vk >= VK_F1 && vk <= VK_F24) return L"F" + std::to_wstring(vk - VK_F1 + 1);
  switch (vk) {
    case VK_BACK: return L"BkSp";
    case VK_TAB: return L"Tab";
    case VK_RETURN: return L"Enter";
    case VK_ESCAPE: return L"Esc";
    case VK_SPACE: return L"Space";
    case VK_PRIOR: return L"PgUp";
    case VK_NEXT: return L"PgDn";
    case VK_END: return L"End";
    case VK_HOME: return L"Home";
    case VK_LEFT: return L"Left";
    case VK_UP: return L"Up";
    case VK_RIGHT: return L"Right";
    case VK_DOWN: return L"Down";
    case VK_INSERT: return L"Ins";
    case VK_DELETE: return L"Del";
    default: return L"";
  }
}

TMenuItem* ItemFromData(ULONG_PTR data) { return reinterpret_cast<TMenuItem*>(data); }

// Every live menu, so that item data from the system is only trusted when it
// names an item that still exists.
std::vector<TMenu*>& AllMenus() {
  static std::vector<TMenu*> menus;
  return menus;
}

}  // namespace

std::wstring ShortCutToText(TShortCut s) {
  const std::wstring key = KeyName(static_cast<WORD>(s & 0xFF));
  if (key.empty()) return L"";
  std::wstring t;
  if (s & scShift) t += L"Shift+";
  if (s & scCtrl) t += L"Ctrl+";
  if (s & scAlt) t += L"Alt+";
  return t + key;
}

TOwnerDrawState OwnerDrawStateFromItemState(UINT st) {
  TOwnerDrawState s = 0;
  if (st & ODS_SELECTED) s |= odSelected;
  if (st & ODS_GRAYED) s |= odGrayed;
  if (st & ODS_DISABLED) s |= odDisabled;
  if (st & ODS_CHECKED) s |= odChecked;
  if (st & ODS_FOCUS) s |= odFocused;
  if (st & ODS_DEFAULT) s |= odDefault;
  if (st & ODS_HOTLIGHT) s |= odHotLight;
  if (st & ODS_INACTIVE) s |= odInactive;
  if (st & ODS_NOACCEL) s |= odNoAccel;
  return s;
}

// ================================================================ image list

int TCustomImageList::Add(TBitmap& image) {
  auto b = std::make_unique<TBitmap>();
  b->Assign(image);
  b->Transparent = true;
  images_.push_back(std::move(b));
  return Count() - 1;
}

TBitmap* TCustomImageList::Image(int index) {
  return index >= 0 && index < Count() ? images_[static_cast<size_t>(index)].get() : nullptr;
}

void TCustomImageList::Draw(TCanvas& canvas, int x, int y, int index) {
  if (TBitmap* b = Image(index)) canvas.Draw(x, y, *b);
}

// ================================================================ items

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) {}

TMenuItem::~TMenuItem() {
  if (parent_) parent_->Remove(this);
  // Sub-items die with their parent unless a component owns them.
  for (TMenuItem* i : std::vector<TMenuItem*>(items_)) {
    i->parent_ = nullptr;
    if (!i->Owner()) delete i;
  }
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
  if (!item || item->parent_ == this) return;
  if (item->parent_) item->parent_->Remove(item);
  index = std::clamp(index, 0, Count());
  items_.insert(items_.begin() + index, item);
  item->parent_ = this;
  Changed();
}

void TMenuItem::Remove(TMenuItem* item) {
  auto it = std::find(items_.begin(), items_.end(), item);
  if (it == items_.end()) return;
  items_.erase(it);
  item->parent_ = nullptr;
  Changed();
}

int TMenuItem::IndexOf(const TMenuItem* item) const {
  auto it = std::find(items_.begin(), items_.end(), item);
  return it == items_.end() ? -1 : static_cast<int>(it - items_.begin());
}

TMenu* TMenuItem::GetParentMenu() const {
  const TMenuItem* i = this;
  while (i->parent_) i = i->parent_;
  return i->menu_;
}

void TMenuItem::Click() {
  if (!Enabled) return;
  if (OnClick) OnClick(this);
}

void TMenuItem::Changed() {
  TMenu* m = GetParentMenu();
  if (m && m->HandleAllocated()) m->Rebuild();
}

void TMenuItem::MeasureItem(TCanvas& canvas, int& width, int& height) {
  if (OnMeasureItem) {
    OnMeasureItem(this, canvas, width, height);
    return;
  }
  // The plain look: the caption, and the shortcut after a gap.
  if (IsLine()) {
    height = std::max(height, 8);
    return;
  }
  std::wstring t = Caption;
  if (ShortCut) t += L"    " + ShortCutToText(ShortCut);
  const SIZE s = canvas.TextExtent(t);
  width = std::max<int>(width, s.cx + 24);
  height = std::max<int>(height, s.cy + 6);
}

void TMenuItem::AdvancedDrawItem(TCanvas& canvas, RECT rect, TOwnerDrawState state) {
  if (OnAdvancedDrawItem) {
    OnAdvancedDrawItem(this, canvas, rect, state);
    return;
  }
  const bool selected = (state & odSelected) != 0;
  canvas.Brush().SetColor(selected ? clHighlight : clMenu);
  canvas.FillRect(rect);
  if (IsLine()) {
    RECT l{rect.left + 2, (rect.top + rect.bottom) / 2, rect.right - 2, (rect.top + rect.bottom) / 2 + 1};
    canvas.Brush().SetColor(clBtnShadow);
    canvas.FillRect(l);
    return;
  }
  canvas.Font().SetColor(!Enabled ? clGrayText : selected ? clHighlightText : clMenuText);
  canvas.Brush().SetStyle(TBrushStyle::bsClear);
  RECT r = rect;
  r.left += 20;
  canvas.DrawText(Caption, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
  if (ShortCut) {
    r.right -= 8;
    canvas.DrawText(ShortCutToText(ShortCut), r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
  }
}

// ================================================================ menus

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), items_(new TMenuItem(nullptr)) {
  items_->menu_ = this;
  AllMenus().push_back(this);
}

TMenu::~TMenu() {
  auto& all = AllMenus();
  all.erase(std::remove(all.begin(), all.end(), this), all.end());
  DestroyHandle();
  items_->menu_ = nullptr;
  delete items_;
}

void TMenu::SetOwnerDraw(bool v) {
  if (v == ownerDraw_) return;
  ownerDraw_ = v;
  if (handle_) Rebuild();
}

HMENU TMenu::Handle() {
  if (!handle_) Rebuild();
  return handle_;
}

void TMenu::DestroyHandle() {
  if (!handle_) return;
  HMENU old = handle_;
  handle_ = nullptr;
  DestroyMenu(old);
}

void TMenu::Rebuild() {
  HMENU fresh = CreateMenuHandle();
  Fill(fresh, items_);
  HMENU old = handle_;
  handle_ = fresh;
  HandleChanged(fresh);
  if (old) DestroyMenu(old);
}

void TMenu::Fill(HMENU menu, TMenuItem* parent) {
  for (int i = 0; i < parent->Count(); ++i) {
    TMenuItem* it = parent->Items(i);
    if (!it->Visible) continue;
    if (!it->command_) it->command_ = g_nextCommand++;
    MENUITEMINFOW mi{};
    mi.cbSize = sizeof mi;
    mi.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_DATA | MIIM_STRING;
    mi.fType = 0;
    if (it->IsLine()) mi.fType |= MFT_SEPARATOR;
    if (it->RadioItem) mi.fType |= MFT_RADIOCHECK;
    if (ownerDraw_ && !it->PlatformDrawn) mi.fType |= MFT_OWNERDRAW;
    if (IsRightToLeft()) mi.fType |= MFT_RIGHTORDER | MFT_RIGHTJUSTIFY;
    mi.fState = (it->Enabled ? MFS_ENABLED : MFS_DISABLED) | (it->Checked ? MFS_CHECKED : 0) |
                (it->Default ? MFS_DEFAULT : 0);
    mi.wID = static_cast<UINT>(it->command_);
    mi.dwItemData = reinterpret_cast<ULONG_PTR>(it);
    std::wstring text = it->Caption;
    if (it->ShortCut) text += L"\t" + ShortCutToText(it->ShortCut);
    mi.dwTypeData = text.data();
    if (it->Count() > 0) {
      HMENU sub = CreatePopupMenu();
      Fill(sub, it);
      mi.fMask |= MIIM_SUBMENU;
      mi.hSubMenu = sub;
    }
    InsertMenuItemW(menu, GetMenuItemCount(menu), TRUE, &mi);
  }
}

TMenuItem* TMenu::FindItem(int command) const {
  std::vector<TMenuItem*> stack{items_};
  while (!stack.empty()) {
    TMenuItem* i = stack.back();
    stack.pop_back();
    if (i->command_ == command && command != 0) return i;
    for (int k = 0; k < i->Count(); ++k) stack.push_back(i->Items(k));
  }
  return nullptr;
}

namespace {
// Items reach us as item data; only items of live menus are trusted.
TMenuItem* LiveItem(ULONG_PTR data) {
  TMenuItem* item = ItemFromData(data);
  if (!item) return nullptr;
  for (TMenu* m : AllMenus()) {
    std::vector<TMenuItem*> stack{m->Items()};
    while (!stack.empty()) {
      TMenuItem* i = stack.back();
      stack.pop_back();
      if (i == item) return item;
      for (int k = 0; k < i->Count(); ++k) stack.push_back(i->Items(k));
    }
  }
  return nullptr;
}
}  // namespace

bool TMenu::DispatchMenuMessage(TMessage& m) {
  switch (m.Msg) {
    case WM_MEASUREITEM: {
      auto* mis = reinterpret_cast<MEASUREITEMSTRUCT*>(m.LParam);
      if (mis->CtlType != ODT_MENU) return false;
      TMenuItem* item = LiveItem(mis->itemData);
      if (!item) return false;
      // The screen DC goes back, with its own font, also when the
      // measure handler throws.
      gdi::WindowDC dc;
      gdi::Selected font(dc.get(), MenuFont());
      TCanvas canvas(dc.get());
      int w = static_cast<int>(mis->itemWidth), h = static_cast<int>(mis->itemHeight);
      item->MeasureItem(canvas, w, h);
      mis->itemWidth = static_cast<UINT>(std::max(w, 0));
      mis->itemHeight = static_cast<UINT>(std::max(h, 0));
      m.Result = TRUE;
      return true;
    }
    case WM_DRAWITEM: {
      auto* dis = reinterpret_cast<DRAWITEMSTRUCT*>(m.LParam);
      if (dis->CtlType != ODT_MENU) return false;
      TMenuItem* item = LiveItem(dis->itemData);
      if (!item) return false;
      gdi::SavedState saved(dis->hDC);
      gdi::Selected font(dis->hDC, MenuFont());
      TCanvas canvas(dis->hDC);
      item->AdvancedDrawItem(canvas, dis->rcItem, OwnerDrawStateFromItemState(dis->itemState));
      m.Result = TRUE;
      return true;
    }
    case WM_COMMAND:
      if (HIWORD(m.WParam) == 0 && m.LParam == 0) {
        for (TMenu* menu : AllMenus())
          if (TMenuItem* i = menu->FindItem(LOWORD(m.WParam))) {
            i->Click();
            m.Result = 0;
            return true;
          }
      }
      return false;
    default:
      return false;
  }
}

// ================================================================ main menu

void TMainMenu::HandleChanged(HMENU h) {
  if (form_ && form_->HandleAllocated()) {
    ::SetMenu(form_->Handle(), h);
    DrawMenuBar(form_->Handle());
  }
}

// ================================================================ popup menu

namespace {
LRESULT CALLBACK PopupOwnerProc(HWND h, UINT msg, WPARAM w, LPARAM l) {
  TMessage m{msg, w, l, 0};
  bool handled = false;
  GuardedCall([&] { handled = TMenu::DispatchMenuMessage(m); });
  return handled ? m.Result : DefWindowProcW(h, msg, w, l);
}
}  // namespace

HWND TPopupMenu::OwnerWindow() {
  static HWND wnd = [] {
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = PopupOwnerProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"PlatoraPopupOwner";
    RegisterClassExW(&wc);
    return CreateWindowExW(WS_EX_TOOLWINDOW, wc.lpszClassName, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                           wc.hInstance, nullptr);
  }();
  return wnd;
}

void TPopupMenu::Popup(int x, int y) {
  if (OnPopup) OnPopup(this);
  Rebuild();
  HWND owner = OwnerWindow();
  SetForegroundWindow(owner);
  const UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON | (IsRightToLeft() ? TPM_RIGHTALIGN | TPM_LAYOUTRTL : 0);
  const int cmd = TrackPopupMenu(Handle(), flags, x, y, 0, owner, nullptr);
  PostMessageW(owner, WM_NULL, 0, 0);
  if (cmd)
    if (TMenuItem* i = FindItem(cmd)) i->Click();
}
