// Skinned popup menus: ordinary TMenuItem trees shown as a stack of
// borderless top-most windows, one per open level, painted from the skin's
// popup window and menu item definitions (or plainly without a skin). The
// windows never take the focus: the pointer is polled and keys arrive
// through the skinned frame's keyboard hook (ProcessKey).
//
//   TvpSkinMenu         the controller that owns the open levels
//   TvpSkinPopupWindow  the window of one level
//   TvpSkinMenuItem     one shown item of a level
//   TvpSkinPopupMenu    a TPopupMenu whose Popup goes through the controller
//                       of the skinned frame on its form
//
// WM_SKINMENUCLOSED / WM_SKINMENUCOMMAND are in skin/core/vpMessages.h.
#pragma once
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "skin/core/vpMessages.h"
#include "skin/core/vpSkinData.h"
#include "ui/win/controls.h"
#include "ui/win/dialogs.h"
#include "ui/win/handles.h"
#include "ui/win/menus.h"

namespace vp {

namespace popupgdi {
class Timer;
class FontCache;
}
class TvpSkinMenu;
class TvpSkinPopupWindow;
class TvpSkinMenuItem;
struct TvpSkinPopupPainter;

// What TvpSkinPopupMenu needs of the skinned frame it finds among the
// components of its form. The frame implements it.
class TvpSkinMenuHost {
 public:
  // The frame's one menu controller.
  virtual TvpSkinMenu* SkinMenu() const = 0;
  virtual TvpSkinData* SkinData() const = 0;
  // The skin the frame's menus use when it is not the frame's own.
  virtual TvpSkinData* MenusSkin() const { return nullptr; }
  // An MDI child's menus are shown by the main form's frame.
  virtual bool IsMDIChildForm() const { return false; }
  // A caption object that holds the open menu lets it go.
  virtual void ReleaseMenuCaptionObject() {}
  // A menu is about to open (the frame enters its menu mode).
  virtual void MenuOpening() {}

 protected:
  ~TvpSkinMenuHost() = default;
};

// ------------------------------------------------------------ TvpSkinMenuItem

class TvpSkinMenuItem : public TObject {
 public:
  TvpSkinMenuItem(TvpSkinPopupWindow* Level, TMenuItem* MenuItem, TvpDataSkinMenuItem* Def);
  TvpSkinMenuItem(const TvpSkinMenuItem&) = delete;
  TvpSkinMenuItem& operator=(const TvpSkinMenuItem&) = delete;

  TvpSkinPopupWindow* Level() const { return level_; }
  // Null once the menu item has been freed while its menu was open.
  TMenuItem* MenuItem() const { return menuItem_; }
  TvpDataSkinMenuItem* Def() const { return def_; }
  // The item's picture (definition's "activepictureindex"), or null.
  const plat::BmpImage* Picture() const { return picture_; }

  bool IsSeparator() const;
  bool IsEnabled() const;  // enabled and not freed
  bool HasChildren() const;
  // Enabled and not a separator: the items keys and the pointer can select.
  bool Selectable() const { return IsEnabled() && !IsSeparator(); }

  RECT Rect{};
  bool Shown = false;
  bool Active = false;
  bool SubMenuOpen = false;
  bool SelectedOnOpen = false;
  double MorphFactor = 0;
  int FrameCounter = 0;
  // The item's own skin rectangles (emptied when the picture is missing).
  plat::Rect SkinRect, ActiveSkinRect;

 private:
  friend class TvpSkinPopupWindow;
  TvpSkinPopupWindow* level_;
  TMenuItem* menuItem_;
  TvpDataSkinMenuItem* def_;
  const plat::BmpImage* picture_ = nullptr;
};

// --------------------------------------------------------- TvpSkinPopupWindow

class TvpSkinPopupWindow : public TWinControl {
 public:
  PLATORA_CLASS_NAME(TvpSkinPopupWindow)
  // `Def` is the skin's popup window definition, or null for the plain look.
  TvpSkinPopupWindow(TvpSkinMenu* Menu, TvpDataSkinPopupWindow* Def);
  ~TvpSkinPopupWindow() override;

  // A key-down code from the frame's keyboard hook.
  void ProcessKey(WORD Key);

  TvpSkinMenu* Menu() const { return menu_; }
  TvpDataSkinPopupWindow* PopupDef() const { return popupDef_; }
  TvpDataSkinMenuItem* ItemDef() const { return itemDef_; }
  int ItemCount() const { return static_cast<int>(items_.size()); }
  TvpSkinMenuItem* Items(int i) const { return items_[static_cast<size_t>(i)].get(); }
  // The menu item whose children this level shows.
  TMenuItem* ParentItem() const { return parentItem_; }
  int ActiveIndex() const { return activeIndex_; }
  int PreviousActiveIndex() const { return prevActiveIndex_; }
  int FirstVisibleIndex() const { return firstVisible_; }
  int VisibleCount() const { return visibleCount_; }
  bool ScrollFlag() const { return scroll_; }
  bool LimitFlag() const { return limit_; }
  int ScrollDirection() const { return scrollDir_; }  // 0 none, 1 up, 2 down
  bool PushedAside() const { return pushedAside_; }
  RECT ItemsRect() const { return itemsRect_; }
  int GlyphWidth() const { return glyphWidth_; }
  TCustomImageList* Images() const { return images_; }
  // The Hint of the item last activated.
  std::wstring HintText;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  bool WantsOwnClass() const override { return true; }
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TvpSkinMenu;
  friend class TvpSkinMenuItem;
  friend struct TvpSkinPopupPainter;
  struct Impl;
  void Build(TMenuItem* item, int startIndex);
  void SyncLayout();
  void Show(const RECT& anchor, bool preferAbove, bool asSubMenu);
  int LevelIndex() const;
  void RepaintLevel();
  void DrawItemNow(TvpSkinMenuItem& item);
  void RedrawRequest(TvpSkinMenuItem& item);
  void MorphTick();
  void MouseTick();
  void ScrollTick();
  void StopScrolling();
  void MouseMove(POINT p);
  void LeftButtonUp(POINT p);
  void ActivateItem(int index, bool byMouse);
  void DeactivateItem(int index);
  void ClickItem(int index);

  TvpSkinMenu* menu_;
  TvpDataSkinPopupWindow* popupDef_;
  TvpDataSkinMenuItem* itemDef_ = nullptr;
  TMenuItem* parentItem_ = nullptr;
  std::vector<std::unique_ptr<TvpSkinMenuItem>> items_;
  int activeIndex_ = -1, prevActiveIndex_ = -1;
  int firstVisible_ = 0, visibleCount_ = 0;
  bool scroll_ = false, limit_ = false, pushedAside_ = false;
  int scrollDir_ = 0;
  RECT itemsRect_{};
  int glyphWidth_ = 19;
  TCustomImageList* images_ = nullptr;
  std::unique_ptr<Impl> impl_;
};

// ---------------------------------------------------------------- TvpSkinMenu

class TvpSkinMenu : public TComponent, private TvpFreeNotify, private TvpSkinChangeNotify {
 public:
  // `HostForm` is the form whose frame owns the controller; without one the
  // form among the owners is taken.
  explicit TvpSkinMenu(TComponent* AOwner, TForm* HostForm = nullptr);
  ~TvpSkinMenu() override;

  // Opens a menu of Item's children from child StartIndex beside the screen
  // rectangle AnchorRect (a zero-size rectangle for a point). Control (may
  // be null) is told when the menu closes and after a command ran.
  void Popup(TControl* Control, TvpSkinData* SkinData, bool PreferAbove, TMenuItem* Item, const RECT& AnchorRect,
             int StartIndex);
  void CloseMenu();
  // Frees the levels from index From on, deepest first; From = 0 closes
  // the whole menu.
  void CloseLevels(int From);
  bool Visible() const { return visible_; }
  // Expires when the controller is freed (for callers of its handlers).
  std::weak_ptr<const char> Alive() const { return life_; }
  // The deepest level gets the key (only while a menu is open).
  void ProcessKey(WORD Key);

  int LevelCount() const { return static_cast<int>(levels_.size()); }
  TvpSkinPopupWindow* Levels(int i) const { return levels_[static_cast<size_t>(i)]; }
  TvpSkinPopupWindow* DeepestLevel() const { return levels_.empty() ? nullptr : levels_.back(); }

  TForm* HostForm() const { return hostForm_; }
  void SetHostForm(TForm* f);
  TvpSkinData* SkinData() const { return skinData_; }
  RECT WorkArea() const { return workArea_; }
  bool FirstOpen() const { return firstOpen_; }

  // Fired once when the whole menu closes, then cleared.
  TNotifyEvent OnMenuClose;

  // Options (the frame routes its menu properties here).
  int MaxMenuItemsInWindow = 0;  // 0: no limit
  bool MenusAlphaBlend = false;
  bool MenusAlphaBlendAnimation = false;
  BYTE MenusAlphaBlendValue = 150;
  bool UseSkinFontInMenu = true;
  int DefMenuItemHeight() const { return defMenuItemHeight_; }
  void SetDefMenuItemHeight(int v) {
    if (v > 0) defMenuItemHeight_ = v;
  }
  TFont& DefMenuItemFont() { return defMenuItemFont_; }

  // The opacities set on the last level that faded in (for tests).
  const std::vector<BYTE>& LastFadeSteps() const { return fadeSteps_; }
  // How many levels have faded in since the controller was made.
  int FadeCount() const { return fadeCount_; }
  // The item whose submenu opens when the wait ends, and whether it runs.
  TvpSkinMenuItem* WaitingItem() const { return waitingItem_; }
  bool WaitTimerRunning() const;

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  friend class TvpSkinPopupWindow;
  void Notification(TvpComponent* component) override;
  void SkinDataChanging(TvpSkinData* skin) override;
  bool OpenLevel(TMenuItem* Item, const RECT& AnchorRect, bool PreferAbove, bool AsSubMenu, int StartIndex);
  void CloseDeepest();
  // The first level of a newly opened menu fades in.
  bool FadesIn() const;
  void StopWaiting();
  void WaitTimerFired();
  void CommandDone();
  void SetSkinDataRef(TvpSkinData* sd);
  void SetControlRef(TControl*& ref, TControl* value);

  TForm* hostForm_;
  std::vector<TvpSkinPopupWindow*> levels_;
  bool visible_ = false, firstOpen_ = false;
  RECT workArea_{};
  TvpSkinData* skinData_ = nullptr;
  TControl* popupControl_ = nullptr;
  TControl* afterCommandControl_ = nullptr;
  TvpSkinMenuItem* waitingItem_ = nullptr;
  std::unique_ptr<popupgdi::Timer> waitTimer_;
  std::unique_ptr<popupgdi::FontCache> fonts_;
  int defMenuItemHeight_ = 20;
  TFont defMenuItemFont_;
  std::vector<BYTE> fadeSteps_;
  int fadeCount_ = 0;
  // Expires with the controller: code that calls out to handlers (which
  // may free it) checks it before touching the controller again.
  std::shared_ptr<char> life_ = std::make_shared<char>();
};

// ----------------------------------------------------------- TvpSkinPopupMenu

class TvpSkinPopupMenu : public TPopupMenu, private TvpFreeNotify {
 public:
  explicit TvpSkinPopupMenu(TComponent* AOwner);
  ~TvpSkinPopupMenu() override;

  // Shows the items through the skinned frame of the menu's form; without a
  // frame nothing is shown (OnPopup has run).
  void Popup(int X, int Y);
  void PopupAtRect(const RECT& AnchorRect, bool PreferAbove);

  TvpSkinData* SkinData() const { return skinData_; }
  void SetSkinData(TvpSkinData* value);
  TNotifyEvent OnMenuClose;
  // Where the menu is to be found when it belongs to another component.
  TComponent* PopupComponent = nullptr;
  POINT PopupPoint() const { return popupPoint_; }

 private:
  void Notification(TvpComponent* component) override;
  TvpSkinMenuHost* FindHost() const;
  void ShowAt(const RECT& anchor, bool preferAbove);
  TvpSkinData* skinData_ = nullptr;
  POINT popupPoint_{-1, -1};
};

}  // namespace vp
