// Menus over Win32: item trees with captions, shortcuts, pictures, check
// and radio marks; main menus on forms and popup menus; owner-drawing
// through WM_MEASUREITEM / WM_DRAWITEM routed to the items' handlers.
#pragma once
#include <memory>
#include <string>
#include <vector>

#include "ui/win/controls.h"

// A key with Shift/Ctrl/Alt bits, as menus show it.
using TShortCut = WORD;
enum : WORD { scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0 };
constexpr TShortCut ShortCut(WORD key, WORD shift) { return static_cast<TShortCut>(key | shift); }
// "Ctrl+S", "Shift+F5", "Del" ...; empty for no shortcut.
std::wstring ShortCutToText(TShortCut s);

enum TOwnerDrawStateFlag : unsigned {
  odSelected = 1, odGrayed = 2, odDisabled = 4, odChecked = 8, odFocused = 16, odDefault = 32,
  odHotLight = 64, odInactive = 128, odNoAccel = 256,
};
using TOwnerDrawState = unsigned;
TOwnerDrawState OwnerDrawStateFromItemState(UINT itemState);

// An event bound to an object, comparable like a method pointer, so that a
// component can tell whether a handler is its own.
template <class... Args>
struct TMethodEvent {
  void* Data = nullptr;
  void (*Code)(void*, Args...) = nullptr;
  explicit operator bool() const { return Code != nullptr; }
  void operator()(Args... a) const { Code(Data, a...); }
  friend bool operator==(const TMethodEvent&, const TMethodEvent&) = default;
  template <auto Method, class T>
  static TMethodEvent Of(T* obj) {
    return TMethodEvent{obj, [](void* d, Args... a) { (static_cast<T*>(d)->*Method)(a...); }};
  }
};
// (Sender, Canvas, Width, Height): the proposed size may only grow.
using TMenuMeasureItemEvent = TMethodEvent<TObject*, TCanvas&, int&, int&>;
// (Sender, Canvas, Rect, Selected): the item draws its own content.
using TMenuDrawItemEvent = TMethodEvent<TObject*, TCanvas&, RECT, bool>;
// (Sender, Canvas, Rect, State).
using TAdvancedMenuDrawItemEvent = TMethodEvent<TObject*, TCanvas&, RECT, TOwnerDrawState>;

// Same-size pictures, each with its transparent colour.
class TCustomImageList : public TComponent {
 public:
  explicit TCustomImageList(TComponent* AOwner) : TComponent(AOwner) {}
  int Width = 16, Height = 16;
  int Count() const { return static_cast<int>(images_.size()); }
  // Adds a copy; its bottom-left pixel is the transparent colour.
  int Add(TBitmap& image);
  void Clear() { images_.clear(); }
  // Draws picture `index` with its transparent colour left out.
  void Draw(TCanvas& canvas, int x, int y, int index);
  TBitmap* Image(int index);

 private:
  std::vector<std::unique_ptr<TBitmap>> images_;
};
class TImageList : public TCustomImageList {
 public:
  using TCustomImageList::TCustomImageList;
};

class TMenu;

class TMenuItem : public TComponent {
 public:
  explicit TMenuItem(TComponent* AOwner);
  ~TMenuItem() override;

  // A caption of exactly "-" makes the item a separator.
  std::wstring Caption;
  TShortCut ShortCut = scNone;
  TBitmap& Bitmap() { return bitmap_; }
  int ImageIndex = -1;
  bool Checked = false;
  bool RadioItem = false;
  int GroupIndex = 0;
  bool Enabled = true;
  bool Visible = true;
  bool Default = false;
  // Drawn by the platform even when its menu is owner-drawn.
  bool PlatformDrawn = false;
  TNotifyEvent OnClick;
  TMenuMeasureItemEvent OnMeasureItem;
  TAdvancedMenuDrawItemEvent OnAdvancedDrawItem;
  // Used by menus that draw themselves (skinned popups): the item's hint
  // line and a handler that draws the item's content.
  std::wstring Hint;
  TMenuDrawItemEvent OnDrawItem;
  bool IsLine() const { return Caption == L"-"; }

  int Count() const { return static_cast<int>(items_.size()); }
  TMenuItem* Items(int i) const { return items_[static_cast<size_t>(i)]; }
  TMenuItem* Parent() const { return parent_; }
  // Takes ownership of `item` as the last (or index-th) sub-item.
  void Add(TMenuItem* item);
  void Insert(int index, TMenuItem* item);
  void Remove(TMenuItem* item);  // gives the item back to its owner component
  int IndexOf(const TMenuItem* item) const;
  // The menu this item belongs to (through its parents).
  TMenu* GetParentMenu() const;
  int Command() const { return command_; }
  void Click();
  // Rebuilds the platform menu after property changes.
  void Changed();

  // Owner-drawing: the item's handlers, or the plain look.
  void MeasureItem(TCanvas& canvas, int& width, int& height);
  void AdvancedDrawItem(TCanvas& canvas, RECT rect, TOwnerDrawState state);

 private:
  friend class TMenu;
  TMenuItem* parent_ = nullptr;
  TMenu* menu_ = nullptr;  // set on a menu's root item
  std::vector<TMenuItem*> items_;
  TBitmap bitmap_;
  int command_ = 0;
};

class TMenu : public TComponent {
 public:
  explicit TMenu(TComponent* AOwner);
  ~TMenu() override;
  TMenuItem* Items() const { return items_; }
  TCustomImageList* Images = nullptr;
  TBiDiMode BiDiMode = TBiDiMode::bdLeftToRight;
  bool IsRightToLeft() const { return BiDiMode == TBiDiMode::bdRightToLeft; }
  bool OwnerDraw() const { return ownerDraw_; }
  void SetOwnerDraw(bool v);
  // The platform menu, built on first use and rebuilt on change.
  HMENU Handle();
  bool HandleAllocated() const { return handle_ != nullptr; }
  virtual void Rebuild();
  // Finds an item by command identifier anywhere in the tree.
  TMenuItem* FindItem(int command) const;
  // Routes WM_MEASUREITEM, WM_DRAWITEM (menus) and menu WM_COMMAND to the
  // items; returns whether the message was a menu's.
  static bool DispatchMenuMessage(TMessage& m);

 protected:
  virtual HMENU CreateMenuHandle() = 0;
  virtual void HandleChanged(HMENU) {}
  void DestroyHandle();

 private:
  void Fill(HMENU menu, TMenuItem* parent);
  TMenuItem* items_;
  HMENU handle_ = nullptr;
  bool ownerDraw_ = false;
};

// The menu bar of a form (TForm::SetMenu).
class TMainMenu : public TMenu {
 public:
  using TMenu::TMenu;
  ~TMainMenu() override {
    if (form_) form_->SetMenu(nullptr);
  }
  TForm* Form() const { return form_; }

 protected:
  HMENU CreateMenuHandle() override { return CreateMenu(); }
  void HandleChanged(HMENU h) override;

 private:
  friend class TForm;
  TForm* form_ = nullptr;
};

class TPopupMenu : public TMenu {
 public:
  using TMenu::TMenu;
  // Shows the menu at screen point (x, y) and runs the chosen item's click.
  void Popup(int x, int y);
  TNotifyEvent OnPopup;
  // The hidden window that owns every popup menu and gets its messages.
  static HWND OwnerWindow();

 protected:
  HMENU CreateMenuHandle() override { return CreatePopupMenu(); }
};
