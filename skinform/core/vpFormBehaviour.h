// What the skinned frame decides about its window, without the window: hit
// codes for a point of the frame, size limits, magnetic work-area edges, the
// maximized and first-placement rectangles, the minimized slot, and the
// window-state machine (normal, maximized, rolled up, minimized) that moves
// the window through a small host interface. The Win32 side answers the
// host's questions and carries out its requests.
#pragma once
#include <functional>
#include <vector>

#include "ui/core/geometry.h"
#include "ui/core/raster.h"

namespace skinform {

using plat::Point;
using plat::Rect;

enum TWindowState { wsNormal = 0, wsMinimized = 1, wsMaximized = 2 };

// The system's non-client hit codes (same values).
enum HitCode : int {
  hitClient = 1,
  hitCaption = 2,
  hitLeft = 10,
  hitRight = 11,
  hitTop = 12,
  hitTopLeft = 13,
  hitTopRight = 14,
  hitBottom = 15,
  hitBottomLeft = 16,
  hitBottomRight = 17,
  hitObject = 19,
};
bool IsSizingHit(int code);

// The frame's mask cut to the current size, for the near-the-edge test of a
// shaped sizeable window. Pixels of `Color` are inside the window.
struct MaskPieces {
  const plat::Raster* Top = nullptr;
  const plat::Raster* Bottom = nullptr;
  const plat::Raster* Left = nullptr;
  const plat::Raster* Right = nullptr;
  Rect Area;  // NewMaskRectArea
  plat::Color Color = plat::clBlack;
};
bool InsideMask(const MaskPieces& m, int x, int y);

// Everything the hit test looks at, in window coordinates.
struct HitTestFrame {
  int Width = 0, Height = 0;
  bool SkinInUse = false;
  bool Sizeable = false;  // sizeable window or sizeable tool window
  bool Maximized = false, Minimized = false, RolledUp = false;
  bool ObjectActive = false;  // an object is under the hover tracking
  bool MoveSizeLoop = false;
  std::vector<Rect> Captions;  // caption objects' rectangles
  // Skinned frame.
  Rect ClientRect;  // NewClientRect
  int BorderWidth = 0;
  Point HitLT, HitRT, HitLB, HitRB;
  const MaskPieces* Mask = nullptr;  // null: no mask picture
  // Default frame (no skin).
  Rect DefaultCaption;
  int CaptionHeight = 19;
};
int FrameHitTest(const HitTestFrame& f, Point p);

// With the form's cursor over the frame, every code but the client and the
// eight sizing ones shows as the client.
int CursorHitCode(int code, bool useFormCursorInNCArea);

// --- Size limits ---------------------------------------------------------------

struct SizeLimitInput {
  bool SkinInUse = false;
  int PictureWidth = 0, PictureHeight = 0;
  Rect SkinClientRect;  // [clientrect]
  int FormMinWidth = 0;  // [formminwidth]
  int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
  bool Minimized = false, RolledUp = false;
  bool ToolWindow = false;
  Rect WorkArea, MonitorRect;
  bool MaximizeOnFullScreen = false;
};
int LimitMinWidth(const SizeLimitInput& in);
int LimitMinHeight(const SizeLimitInput& in);
int LimitMaxWidth(const SizeLimitInput& in);
int LimitMaxHeight(const SizeLimitInput& in);

// --- Placement -------------------------------------------------------------------

// The window of w x h centred in R (integer halves, truncated).
Point CentreIn(const Rect& R, int w, int h);

// Where a maximized window goes: the monitor with `fullScreen`, else its work
// area, one pixel inside every edge when that work area is the whole screen
// (so a hidden task bar can still be reached at the screen's edge).
Rect MaximizedBounds(const Rect& workArea, const Rect& monitor, const Rect& screen, bool fullScreen);

// The first free slot for a minimized form of w x h in R, filling rows from
// the bottom left; `taken` are the top-left corners of forms already there.
Point MinimizedSlot(const Rect& R, int w, int h, const std::vector<Point>& taken);

// --- Magnetic edges ----------------------------------------------------------------

struct MagnetState {
  bool Left = false, Top = false, Right = false, Bottom = false;
  Point Anchor;  // the cursor when an edge snapped
  void ClearLatches() { Left = Top = Right = Bottom = false; }
};
// Adjusts a proposed window rectangle against the work area R with snap
// distance M for a cursor at `cursor`; size is kept.
Rect MagneticMove(MagnetState& s, const Rect& proposed, const Rect& R, Point cursor, int M);

// --- Window states ---------------------------------------------------------------------

enum class CaptionDblClick { Restore, Maximize, ToggleRollUp };
CaptionDblClick CaptionDoubleClick(bool sizeable, TWindowState state, bool rolledUp, bool rolledUpWhileMaximized,
                                   bool canMaximize);

// What the state machine needs of its window. Rectangles are screen bounds.
class WindowHost {
 public:
  virtual ~WindowHost() = default;
  virtual Rect Bounds() = 0;
  virtual void SetBounds(const Rect& r) = 0;
  // The client height to impose after a roll-down (0: none).
  virtual int ImposedClientHeight() { return 0; }
  virtual void SetClientHeight(int h) = 0;
  virtual int MinWidth() = 0;   // for the current state
  virtual int MinHeight() = 0;  // for the current state
  virtual Rect WorkArea() = 0;
  virtual Rect MonitorRect() = 0;
  virtual Rect ScreenRect() = 0;
  virtual bool IsApplicationMainForm() = 0;
  virtual void MinimizeApplication() = 0;
  // Top-left corners of the other visible minimized framed forms.
  virtual std::vector<Point> MinimizedFormCorners() { return {}; }
  // After a restore: restart the hover polling, relayout when the size did
  // not change, repaint at once.
  virtual void AfterRestore(bool sizeChanged) = 0;
  virtual void ShowSizeGrip(bool show) {}
  enum class Event { Minimize, Maximize, Restore, ChangeRollUpState };
  virtual void Fire(Event e) {}
};

enum class TvpPositionInMonitor { vppDefault, vppScreenCenter, vppDesktopCenter };

// The frame's record of the window's state and the operations that change
// it. The form's own state stays normal: the frame moves and sizes it.
class TvpWindowStates {
 public:
  explicit TvpWindowStates(WindowHost& host) : host_(host) {}

  TWindowState WindowState = wsNormal;
  bool RollUpState = false;
  bool RolledUpWhileMaximized = false;
  bool RolledUpBeforeMaximize = false;
  int SavedHeight = 0;
  Rect RestoreBounds;  // empty when none
  bool FirstPlacementPending = true;

  // Settings the operations read.
  bool CanRollUp = true;  // biRollUp
  bool MaximizeOnFullScreen = false;
  TvpPositionInMonitor PositionInMonitor = TvpPositionInMonitor::vppDefault;

  void SetWindowState(TWindowState state);
  // Returns whether the request was carried out (refused ones are ignored).
  bool SetRollUpState(bool value);
  void Minimize();
  void Maximize();
  void Restore();
  // The form is being shown: centre it once.
  void FirstShow();
  bool Maximized() const { return WindowState == wsMaximized; }
  bool Minimized() const { return WindowState == wsMinimized; }

 private:
  void PlaceFirst(const Rect& bounds);
  WindowHost& host_;
};

// --- Fade-in ----------------------------------------------------------------------------

// The opacities a fade-in passes through: steps of 10 from 0, the last one
// capped at the target.
std::vector<int> FadeInSteps(int target);

}  // namespace skinform
