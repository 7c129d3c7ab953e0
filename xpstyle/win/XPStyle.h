// TXPStyle: a non-visual component that gives its form's standard controls
// a flat look. It hooks each eligible control's window procedure, lets the
// control paint itself, then paints over its frame, box or face in colours
// derived from the system colours; it also owner-draws the form's menus.
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ui/win/controls.h"
#include "ui/win/menus.h"
#include "ui/win/windowhook.h"
#include "xpstyle/core/xpcolors.h"

enum TXPContainer : unsigned {
  xccForm, xccFrame, xccToolbar, xccCoolbar, xccControlbar, xccPanel, xccScrollBox, xccGroupBox, xccTabSheet,
  xccPageScroller,
};
enum TXPControl : unsigned {
  xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcEdit, xcMaskEdit, xcMemo, xcRichEdit, xcCheckBox,
  xcRadioButton, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox,
};
// Sets of the values above as bits, first value = lowest bit.
using TXPContainers = uint32_t;
using TXPControls = uint32_t;
constexpr uint32_t XPBit(unsigned value) { return 1u << value; }
constexpr TXPContainers kAllXPContainers = (1u << 10) - 1;
constexpr TXPControls kAllXPControls = (1u << 16) - 1;

class TXPStyle;

// One per hooked control, owned by the TXPStyle: sees every message of the
// control after the control's own procedure and repaints on the ones that
// change its look.
class TControlHook : public TWindowHook {
 public:
  TControlHook(TXPStyle* owner, TControl* control);
  ~TControlHook() override;

  TControl* Control() const { return control_; }
  TXPStyle* Owner() const { return owner_; }
  UINT LastMessage() const { return lastMsg_; }
  // Flags.
  bool Recreating = false;
  bool Highlighted = false;
  bool MouseDown = false;
  bool SpaceDown = false;
  bool SpaceRepeat = false;
  bool IsFocused = false;
  // An edit box's look when it was hooked, put back when unhooked.
  bool SavedCtl3D = true;
  TBorderStyle SavedBorderStyle = TBorderStyle::bsSingle;

  // Runs every painter that fits the control's class.
  void Paint();
  // Takes the hook off and puts an edit box's 3-D flag back.
  void Restore(bool recreateAllowed = true);

 protected:
  void HookWndProc(TMessage& m) override;
  void ControlDestroyed() override;

 private:
  friend class TXPStyle;
  void React(UINT msg, WPARAM w, LPARAM l);
  void Release();  // frees the hook once no message of it is running
  void PaintEdit(TCanvas& c, const xp::XPWorkingColors& wc);
  void PaintCheckBox(TCanvas& c, const xp::XPWorkingColors& wc);
  void PaintButton(TCanvas& c, const xp::XPWorkingColors& wc);
  void PaintPanel(TCanvas& c, const xp::XPWorkingColors& wc);
  void PaintGroupBox(TCanvas& c, const xp::XPWorkingColors& wc);

  TXPStyle* owner_;
  TControl* control_;
  bool isEdit_ = false;
  UINT lastMsg_ = 0;
  int depth_ = 0;
  bool released_ = false;
  // Left over from a walk that switched off: goes at its next message
  // unless the next activation finds the control eligible again.
  bool stale_ = false;
};

class TXPStyle : public TComponent {
 public:
  explicit TXPStyle(TComponent* AOwner);
  ~TXPStyle() override;

  // Published properties, in declaration order.
  int DimLevel = 30;
  int GrayLevel = 10;
  TFont& Font() { return font_; }
  TColor Color = clBtnFace;
  TColor IconBackColor = clBtnFace;
  TColor MenuBarColor = clBtnFace;
  TColor SelectColor = clHighlight;
  TColor SelectBorderColor = clHighlight;
  TColor SelectFontColor = clMenuText;
  TColor DisabledColor = clInactiveCaption;
  TColor SeparatorColor = clBtnFace;
  TColor CheckedColor = clHighlight;
  int IconWidth = 24;
  bool DrawSelect = true;
  bool UseSystemColors = true;
  bool OverrideOwnerDraw = false;
  bool Gradient = false;
  bool FlatMenu = false;
  bool AutoDetect = false;
  TXPContainers XPContainers() const { return containers_; }
  void SetXPContainers(TXPContainers v);
  TXPControls XPControls() const { return controls_; }
  void SetXPControls(TXPControls v);
  bool Active() const { return active_; }
  void SetActive(bool v);

  // The working colours for painting on `dc` (also replaces the font by the
  // system menu font when system colours are used).
  xp::XPWorkingColors WorkingColors(HDC dc);
  // Lighten, then the nearest colour the device of `dc` can show.
  static COLORREF LightenFor(HDC dc, COLORREF c, int p);

  // The hooks this component owns, and the one serving `c` (if any).
  int HookCount() const { return static_cast<int>(hooks_.size()); }
  TControlHook* HookOf(const TControl* c) const;

  // Menu item handlers installed on the form's menus.
  void MenuMeasureItem(TObject* Sender, TCanvas& ACanvas, int& Width, int& Height);
  void MenuDrawItem(TObject* Sender, TCanvas& ACanvas, RECT ARect, TOwnerDrawState State);

 private:
  friend class TControlHook;
  void Walk(bool activate, bool redraw);
  bool Eligible(TControl* c) const;
  bool ContainerAllowed(TWinControl* parent) const;
  void InitMenu(TMenu* menu, bool activate);
  void InitItems(TMenuItem* parent, bool activate);
  void ReleaseHook(TControlHook* h);
  void DrawFlatMenuBorder(HWND popup, const xp::XPWorkingColors& wc, bool rtl);

  TFont font_;
  TXPContainers containers_ = kAllXPContainers;
  TXPControls controls_ = kAllXPControls;
  bool active_ = false;
  std::vector<std::unique_ptr<TControlHook>> hooks_;
};

// Helpers shared by the painters.
namespace xpdraw {
// `width` nested one-pixel frames, top/left in `first`, bottom/right in
// `second`; `r` is left shrunk by `width`.
void Frame3D(TCanvas& c, RECT& r, TColor first, TColor second, int width);
// The caption routine: centred vertically by the height of "W", transparent,
// from r.left; a default button's caption gets its four-fold shadow first.
void DrawCaption(TCanvas& c, RECT r, const std::wstring& text, TColor color, bool rtl, bool defaultShadow);
}  // namespace xpdraw
