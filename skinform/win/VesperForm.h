// TvpVesperForm: a non-visual component dropped on a form that takes over the
// form's whole non-client area. It removes the native caption and border,
// lays the client area out from the skin, paints the frame from the skin
// picture, cuts the window to the skin's mask, paints the client background,
// and shows everything in the caption that reacts to the mouse (caption text,
// buttons, user areas) as caption objects.
//
// Files: VesperForm.cpp (hook, message table, skin changes),
// VesperForm_paint.cpp (frame, region, background), VesperForm_objects.cpp
// (caption objects and buttons), VesperForm_caption.cpp (caption text and
// animated objects), VesperForm_window.cpp (window behaviours and the system
// menu), VesperForm_hint.cpp (object hints through the skinned hint).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "skin/core/vpMessages.h"
#include "skin/core/vpSkinData.h"
#include "skinform/core/frame_layout.h"
#include "skinform/core/frame_skin.h"
#include "ui/win/controls.h"
#include "ui/win/dialogs.h"
#include "skin/core/vpUtils.h"
#include "skinpopups/win/vpSkinMenus.h"
#include "ui/win/handles.h"
#include "ui/win/menus.h"
#include "ui/win/windowhook.h"

namespace vp {

// Paint the frame into the device context in wParam; only with this lParam,
// and then answered with it.
constexpr unsigned WM_NCPAINTTODC = 48203;
constexpr LPARAM kNCPaintToDCMagic = 16802;

// HTOBJECT (19) is the hit code for frame spots the system must not act on
// (edges of a fixed window, caption buttons).

enum TvpPositionInMonitor { vppDefault, vppScreenCenter, vppDesktopCenter };
enum TvpBorderIcon : unsigned {
  biSystemMenu = 1,
  biMinimize = 2,
  biMaximize = 4,
  biRollUp = 8,
  biMinimizeToTray = 16,
};
using TvpBorderIcons = unsigned;
enum TvpWindowState { wsNormal, wsMinimized, wsMaximized };
enum class TMouseButton { mbLeft, mbRight, mbMiddle };

class TvpVesperForm;
class TvpSkinHint;        // skinned hint window (skinpopups)
class TvpSkinPopupMenu;   // skinned popup menu (skinpopups)
class TvpSkinMenu;        // popup menu engine (skinpopups)

using TvpMouseEnterEvent = std::function<void(const std::string& IDName)>;
using TvpMouseLeaveEvent = std::function<void(const std::string& IDName)>;
using TvpMouseDownEvent =
    std::function<void(const std::string& IDName, int X, int Y, const RECT& ObjectRect, TMouseButton Button)>;
using TvpMouseUpEvent = TvpMouseDownEvent;
using TvpMouseMoveEvent = std::function<void(const std::string& IDName, int X, int Y, const RECT& ObjectRect)>;
using TvpPaintEvent = std::function<void(const std::string& IDName, HDC Canvas, const RECT& ObjectRect)>;
using TvpActivateCustomObjectEvent = std::function<void(const std::string& IDName, bool& ObjectVisible)>;

// --------------------------------------------------------------- objects

// One caption object: its place on the window (ObjectRect, window
// coordinates), its pictures and its hover, press and morph state.
class TvpActiveSkinObject {
 public:
  TvpActiveSkinObject(TvpVesperForm* parent, const TvpDataSkinObject* def);
  virtual ~TvpActiveSkinObject() = default;
  TvpActiveSkinObject(const TvpActiveSkinObject&) = delete;
  TvpActiveSkinObject& operator=(const TvpActiveSkinObject&) = delete;

  virtual bool MorphPending();
  // Update = true: even the normal image is drawn (a repaint straight on the
  // window); false while the frame is composed, where it is already there.
  virtual void Draw(HDC Canvas, bool Update);
  virtual void DblClick() {}
  virtual void MouseDown(int X, int Y, TMouseButton Button);
  virtual void MouseUp(int X, int Y, TMouseButton Button);
  virtual void MouseMove(int X, int Y);
  virtual void MouseEnter();
  virtual void MouseLeave();
  virtual bool IsCaption() const { return false; }
  virtual bool IsButtonLike() const { return false; }  // standard buttons and animate objects

  TvpVesperForm* Parent;
  TvpSkinData* SkinData;
  double MorphFactor = 0.0;
  bool Hovering = false, Highlighted = false, Enabled = true, Visible = true;
  const plat::BmpImage* Picture = nullptr;        // the skin's main picture
  const plat::BmpImage* ActivePicture = nullptr;  // none for an index out of range
  std::string IDName;
  std::wstring Hint;
  Rect SkinRect, ActiveSkinRect, InActiveSkinRect, ObjectRect;
  bool Morphing = false;
  int MorphKind = 0;
  bool SkinRectInAPicture = false;

 protected:
  friend class TvpVesperForm;
  bool CanMorph() const;
  void MorphOrRepaint();
  // The object's two looks at ObjectRect's size, mixed by MorphFactor.
  void DrawMorph(HDC dc, const plat::BmpImage* normalPic, const Rect& normal, const Rect& active);
  const plat::BmpImage& NormalPicture() const;
};

class TvpUserObject : public TvpActiveSkinObject {
 public:
  using TvpActiveSkinObject::TvpActiveSkinObject;
  void Draw(HDC Canvas, bool Update) override;
};

class TvpSkinButtonObject : public TvpActiveSkinObject {
 public:
  TvpSkinButtonObject(TvpVesperForm* parent, const TvpDataSkinObject* def);
  bool MorphPending() override;
  void Draw(HDC Canvas, bool Update) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void SetPressed(bool Value);

  bool Pressed = false;
  bool MenuPopupUp = false;
  Rect DisableSkinRect, DownRect;
  TMenuItem* Menu = nullptr;  // sub-items drop down from the button

 protected:
  bool MenuDroppedDown() const { return Menu && Pressed; }
  void DropDownMenu();
};

class TvpSkinStdButtonObject : public TvpSkinButtonObject {
 public:
  TvpSkinStdButtonObject(TvpVesperForm* parent, const TvpDataSkinObject* def);
  // A default button of the skinless frame.
  TvpSkinStdButtonObject(TvpVesperForm* parent, const std::string& name, int command);
  bool MorphPending() override;
  void Draw(HDC Canvas, bool Update) override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void DblClick() override;
  bool IsButtonLike() const override { return true; }

  bool HasSkin = true;
  int Command = skinform::cmDefault;
  Rect RestoreRect, RestoreActiveRect, RestoreInActiveRect, RestoreDownRect;

 private:
  bool Toggled() const;
  void DrawDefaultGlyphButton(HDC dc);
};

class TvpSkinCaptionObject : public TvpActiveSkinObject {
 public:
  TvpSkinCaptionObject(TvpVesperForm* parent, const TvpDataSkinObject* def);
  void Draw(HDC Canvas, bool Update) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  bool IsCaption() const override { return true; }
  bool AnimationPossible() const;

  std::string FontName;
  int FontHeight = 14;
  unsigned FontStyle = 0;
  COLORREF FontColor = 0, ActiveFontColor = 0;
  int Alignment = 0;
  Rect TextRect;
  bool Shadow = false, Light = false;
  COLORREF ShadowColor = 0, ActiveShadowColor = 0, LightColor = 0, ActiveLightColor = 0;
  Rect FrameRect, ActiveFrameRect, FrameTextRect;
  int FrameLeftOffset = 0, FrameRightOffset = 0;
  bool FullFrame = false, StretchEffect = false;
  Rect AnimateSkinRect;
  int FrameCount = 0, AnimateInterval = 25;
  bool InActiveAnimation = false;
  int CurrentFrame = 0, Elapsed = 0;

 private:
  // The text (with its frame, light and shadow) drawn onto `dc` at the object's
  // origin (ox, oy); `active` picks the colours.
  void PaintCaptionText(HDC dc, int ox, int oy, bool active);
  // The object's background picture for a state, text included.
  plat::Raster StatePicture(bool active);
  plat::Raster AnimationPicture(bool active);
  void DrawRasterWithText(HDC dc, plat::Raster&& pic, bool active);
};

class TvpSkinAnimateObject : public TvpActiveSkinObject {
 public:
  TvpSkinAnimateObject(TvpVesperForm* parent, const TvpDataSkinObject* def);
  void Draw(HDC Canvas, bool Update) override;
  void MouseEnter() override;
  void MouseLeave() override;
  void MouseDown(int X, int Y, TMouseButton Button) override;
  void MouseUp(int X, int Y, TMouseButton Button) override;
  void DblClick() override;
  bool MorphPending() override { return false; }
  bool IsButtonLike() const override { return true; }

  int CountFrames = 1;
  bool Cycle = false, ButtonStyle = false;
  int Interval = 50;
  int Command = skinform::cmDefault;
  Rect DownSkinRect, RestoreRect, RestoreActiveRect, RestoreDownRect, RestoreInActiveRect;
  int CurrentFrame = 1, Elapsed = 25;
  bool Forward = true, Pressed = false, MenuShown = false, MenuPopupUp = false;
  TMenuItem* Menu = nullptr;

 private:
  void RunCommand();
};

// -------------------------------------------------------------- the frame

// It is the menu host a TvpSkinPopupMenu on its form looks for.
class TvpVesperForm : public TComponent, public TvpSkinMenuHost, private TWindowHook, private TvpFreeNotify {
 public:
  explicit TvpVesperForm(TComponent* AOwner);
  ~TvpVesperForm() override;

  // ---- published properties
  TvpPositionInMonitor PositionInMonitor = vppDefault;
  bool UseFormCursorInNCArea = false;
  int MaxMenuItemsInWindow = 0;
  int ClientWidth = 0, ClientHeight = 0;
  bool HideCaptionButtons = false;
  bool AlwaysShowInTray = false;
  TBitmap& LogoBitMap() { return logo_; }
  void SetLogoBitMap(TBitmap& b) { logo_.Assign(b); }
  bool LogoBitMapTransparent = false;
  bool AlwaysMinimizeToTray = false;
  bool UseSkinFontInMenu = true;
  bool ShowIcon() const { return showIcon_; }
  void SetShowIcon(bool v);
  bool MaximizeOnFullScreen = false;
  bool AlphaBlend() const { return alphaBlend_; }
  void SetAlphaBlend(bool v);             // window behaviours
  bool AlphaBlendAnimation = false;
  BYTE AlphaBlendValue() const { return alphaBlendValue_; }
  void SetAlphaBlendValue(BYTE v);        // window behaviours
  TvpSkinHint* SkinHint() const { return skinHint_; }
  void SetSkinHint(TvpSkinHint* v);  // cleared when that component goes
  bool ShowObjectHint = false;
  bool UseDefaultObjectHint = true;
  bool MenusAlphaBlend = false, MenusAlphaBlendAnimation = false;
  BYTE MenusAlphaBlendValue = 200;
  TFont& DefCaptionFont() { return defCaptionFont_; }
  TFont& DefInActiveCaptionFont() { return defInActiveCaptionFont_; }
  int DefMenuItemHeight = 20;
  TFont& DefMenuItemFont() { return defMenuItemFont_; }
  bool UseDefaultSysMenu = true;
  // The user's menu the system menu shows (merged with the standard items
  // while UseDefaultSysMenu); none: the standard menu alone.
  TPopupMenu* SystemMenu() const;
  void SetSystemMenu(TPopupMenu* menu);
  TvpSkinData* SkinData() const override { return skinData_; }
  void SetSkinData(TvpSkinData* v);
  TvpSkinData* MenusSkinData = nullptr;
  int MinHeight = 0, MinWidth = 0, MaxHeight = 0, MaxWidth = 0;
  bool Magnetic = false;
  BYTE MagneticSize = 5;
  TvpBorderIcons BorderIcons() const { return borderIcons_; }
  void SetBorderIcons(TvpBorderIcons v);

  // ---- events
  TNotifyEvent OnChangeSkinData, OnBeforeChangeSkinData, OnAfterChangeSkinData, OnActivate, OnDeActivate,
      OnSkinMenuOpen, OnSkinMenuClose, OnChangeRollUpState, OnMinimizeToTray, OnRestoreFromTray, OnMinimize,
      OnRestore, OnMaximize;
  TvpMouseEnterEvent OnMouseEnterEvent;
  TvpMouseLeaveEvent OnMouseLeaveEvent;
  TvpMouseDownEvent OnMouseDownEvent;
  TvpMouseUpEvent OnMouseUpEvent;
  TvpMouseMoveEvent OnMouseMoveEvent;
  TvpPaintEvent OnPaintEvent;
  TvpActivateCustomObjectEvent OnActivateCustomObject;

  // ---- state
  TForm* Form = nullptr;
  std::vector<std::unique_ptr<TvpActiveSkinObject>> ObjectList;
  int ActiveObject = -1, OldActiveObject = -1, CaptureObject = -1;
  bool SkinInUse = false;
  bool SkinChanging = false;
  bool NCActive = false;
  int FormWidth = 0, FormHeight = 0;
  skinform::FrameGeometry Geometry;  // the scaled geometry (New... fields)
  // The mask cut to the current size; black pixels are inside the window.
  plat::Raster MaskTop, MaskBottom, MaskLeft, MaskRight;
  static constexpr COLORREF MaskColor = 0;
  HRGN FrameRegion() const { return frameRegion_; }

  // Window behaviours' state (VesperForm_window.cpp).
  TvpWindowState WindowState = wsNormal;
  bool RollUpState = false, RolledUpWhileMaximized = false, RolledUpBeforeMaximize = false;
  int SavedHeight = 0;
  RECT RestoreBounds{};
  bool FirstPlacementPending = true;
  bool MoveSizeLoop = false, FullDrag = false;
  bool MagnetLatch[4] = {false, false, false, false};  // left, top, right, bottom
  POINT MagnetAnchor{};
  bool SkinMenuOpen = false;  // a skinned popup menu of the frame is shown

  TTimer* HoverTimer = nullptr;    // 50 ms
  TTimer* MorphTimer = nullptr;    // 25 ms
  TTimer* AnimateTimer = nullptr;  // 25 ms

  // ---- queries and operations of the frame
  bool FormActive();
  bool BorderStyleNone() const;
  bool IsSizeable() const;
  void CalcFrameGeometry();
  void RedrawObject(TvpActiveSkinObject* object);
  void ChangeSkinData();
  void UpdateRegion(bool recomputeObjects);
  void SetFrameRegion(bool scaled);
  void NudgeWidth();
  void SendNCPaint();
  // Paints the frame (skinned or plain) into dc, or into the window's own DC.
  void PaintFrame(HDC dc = nullptr);
  void PaintClientBackground(HDC dc);

  // Caption objects.
  void BuildObjects();
  void BuildDefaultObjects();
  void ApplyBorderIcons();
  void LoadDefaultHints();
  void ResetObjects();
  // WM_ACTIVATE either way: objects reset, then the frame repainted.
  void ActivationChanged();
  // The mouse capture went to another window while an object held it.
  void CaptureLost();
  void PlaceObjects();
  void TestActive(int X, int Y, bool CanActivate);
  void ObjectMouseDown(int index, int X, int Y, TMouseButton Button);
  void ObjectMouseUp(int index, int X, int Y, TMouseButton Button);
  void UpdateCaptionState(bool Animate);
  void RunCommand(int command);
  void StartMorph();
  void StartAnimation();
  // The window point of a message's screen point (signed 16-bit halves).
  POINT WindowPoint(LPARAM screenPoint);
  // Last hit code answered (stage two needs it for the caption's press).
  int LastHitCode = HTNOWHERE;
  bool MorphPossible() const;
  bool AnimationPossible() const;

  // Object hints through the skinned hint window (VesperForm_hint.cpp).
  void ShowObjectHintText(const std::wstring& text);
  void CancelObjectHint();
  void ForgetSkinHint(TComponent* going);

  // ---- window behaviours and system menu (VesperForm_window.cpp)
  int HitTest(int X, int Y);  // window coordinates; skin in use or plain frame
  void WMNCHitTest(TMessage& m);
  void WMSetCursor(TMessage& m);
  void WMGetMinMaxInfo(TMessage& m);
  void WMEnterSizeMove(TMessage& m);
  void WMExitSizeMove(TMessage& m);
  // Live resizing; returns whether the message was already passed on.
  bool WMSizing(TMessage& m);
  void WMMoving(TMessage& m);
  // SC_KEYMENU and others; returns whether to pass the message on.
  bool WMSysCommand(TMessage& m);
  void WMFadeTimer(TMessage& m);  // window timer 1
  void WMSkinMenuClosed(TMessage& m);
  void OnShown();   // first placement and fade-in start
  void OnHidden();  // the layered style goes when alpha blending
  int GetMinWidth();
  int GetMinHeight();
  int GetMaxWidth();
  int GetMaxHeight();
  void SetWindowState(TvpWindowState State);
  void Minimize();
  void Maximize();
  void Restore();
  void SetRollUpState(bool Value);
  void MinimizeToTray();
  void RestoreFromTray();
  void CaptionDblClick();
  // Opens the system menu at a screen point (right click on the caption).
  void ShowSystemMenuAt(int X, int Y);
  // Opens the system menu under a caption button (screen rectangle).
  void DropDownSystemMenu(const RECT& under, TvpActiveSkinObject* button);
  // Drops down a button's own menu under a screen rectangle.
  void DropDownMenu(TMenuItem* menu, const RECT& under, bool popupUp);
  void HideSkinMenu();  // hides an open skinned popup menu
  void ClearMagnetLatches();
  // The standard system menu rebuilt for the window's state (its items).
  TMenuItem* GetSystemMenuItems();
  // Opens the system menu against a screen rectangle (empty: at a point).
  void ShowSystemMenu(const RECT& under);
  // Alt+Space: under every enabled system-menu button.
  void ShowSystemMenuForKey();
  void RunSystemMenuCommand(int command);  // a skinform::SysMenuCommand
  // A skinned menu of the frame opens: keys go to it until it closes.
  void MarkSkinMenuOpen();
  // The menu closed: the button that held it comes up, keys go back.
  void SkinMenuClosed();
  bool SkinMenuVisible() const;
  TvpSkinMenu* SkinMenu() const override;  // the frame's popup menu engine
  TvpSkinData* MenusSkin() const override { return MenusSkinData; }
  // The caption object that holds the open menu comes up.
  void ReleaseMenuCaptionObject() override;
  void MenuOpening() override { MarkSkinMenuOpen(); }

  // Parts owned by the window-behaviour file (system menu, tray menu, popup
  // menu engine); defined there.
  struct MenuParts;
  struct MenuPartsDeleter {
    void operator()(MenuParts* p) const;
  };
  std::unique_ptr<MenuParts, MenuPartsDeleter> Menus;
  void CreateMenuParts();

 protected:
  void Notification(TComponent* AComponent, TOperation Operation) override;

 private:
  void HookWndProc(TMessage& m) override;
  void ControlDestroyed() override;
  void Notification(TvpComponent* component) override;
  // Stage one: true when the saved window procedure is still to be called.
  bool StageOne(TMessage& m);
  void StageTwo(TMessage& m);
  void WMSize(TMessage& m);
  void WMNCCalcSize(TMessage& m);
  void WMNCActivate(TMessage& m);
  void WMNCPaintToDC(TMessage& m, bool& pass);
  void WMShowWindow(TMessage& m);
  void BeforeChangeSkinData(TMessage& m);
  void AfterChangeSkinDataMessage(TMessage& m);
  void RemoveCaptionStyle();
  void StopTimers();
  void HoverTick();
  void MorphTick();
  void AnimateTick();
  void PaintSkinFrame(HDC dc);
  void PaintDefaultFrame(HDC dc);
  void EnforceMinimumSize();
  void CallSaved(TMessage& m) { CallPrevious(m); }

  TvpSkinData* skinData_ = nullptr;
  TvpSkinHint* skinHint_ = nullptr;
  TvpBorderIcons borderIcons_ = biSystemMenu | biMinimize | biMaximize | biRollUp;
  bool showIcon_ = false;
  bool alphaBlend_ = false;
  BYTE alphaBlendValue_ = 200;
  TBitmap logo_;
  TFont defCaptionFont_, defInActiveCaptionFont_, defMenuItemFont_;
  HRGN frameRegion_ = nullptr;  // owned by the window once set
  skin::FrameBorderImages pieces_;
  TBitmap topPiece_, bottomPiece_;  // objects draw into these
  bool inSkinChange_ = false;
  // The form's activation as its last WM_NCACTIVATE / WM_ACTIVATE said; the
  // active window is not yet (or still) the form while those are handled.
  bool formActive_ = false;

  friend class TvpActiveSkinObject;
  friend class TvpSkinCaptionObject;
};

// Copies `from` of a picture, stretched to `to`, onto the device context.
void CopySkinPicture(HDC dc, const Rect& to, const plat::Raster& picture, const Rect& from);

using skinform::FrameSkinOf;

}  // namespace vp
