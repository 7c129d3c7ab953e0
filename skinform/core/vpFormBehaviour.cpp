#include "skinform/core/vpFormBehaviour.h"

#include <algorithm>
#include <cstdlib>

namespace skinform {

bool IsSizingHit(int code) { return code >= hitLeft && code <= hitBottomRight; }

// --- Hit testing ------------------------------------------------------------------

bool InsideMask(const MaskPieces& m, int x, int y) {
  const Rect& a = m.Area;
  if (a.Contains(x, y)) return true;
  const plat::Raster* piece;
  int px = x, py = y;
  if (y <= a.Top) {
    piece = m.Top;
  } else if (y >= a.Bottom) {
    piece = m.Bottom;
    py = y - a.Bottom;
  } else if (x > a.Left) {
    piece = m.Right;
    px = x - a.Right;
    py = y - a.Top;
  } else {
    piece = m.Left;
    py = y - a.Top;
  }
  // A point beyond the piece is outside: the mask has nothing there.
  return piece && piece->PixelOr(px, py, ~m.Color) == m.Color;
}

namespace {

bool InAnyCaption(const HitTestFrame& f, Point p) {
  return std::any_of(f.Captions.begin(), f.Captions.end(), [&](const Rect& r) { return r.Contains(p.X, p.Y); });
}

int CaptionOrObject(const HitTestFrame& f, Point p) { return InAnyCaption(f, p) ? hitCaption : hitObject; }

bool NearSkinEdge(const HitTestFrame& f, Point p) {
  const int bw = f.BorderWidth;
  const Point probes[4] = {{p.X - bw, p.Y}, {p.X, p.Y - bw}, {p.X + bw, p.Y}, {p.X, p.Y + bw}};
  if (!f.Mask) {
    const Rect whole{0, 0, f.Width, f.Height};
    return std::any_of(std::begin(probes), std::end(probes), [&](Point q) { return !whole.Contains(q.X, q.Y); });
  }
  if (f.Mask->Area.Contains(p.X, p.Y)) return false;
  return std::any_of(std::begin(probes), std::end(probes), [&](Point q) { return !InsideMask(*f.Mask, q.X, q.Y); });
}

// The sizing code for a point near the edge, or 0 when none fits.
int SkinSizingCode(const HitTestFrame& f, Point p) {
  const int x = p.X, y = p.Y;
  const Rect& c = f.ClientRect;
  if (x <= f.HitLT.X && y <= f.HitLT.Y) return hitTopLeft;
  if (x >= f.HitRT.X && y <= f.HitRT.Y) return hitTopRight;
  if (x <= f.HitLB.X && y >= f.HitLB.Y) return hitBottomLeft;
  if (x >= f.HitRB.X && y >= f.HitRB.Y) return hitBottomRight;
  if (Rect{f.HitLT.X, 0, f.HitRT.X, c.Top}.Contains(x, y)) return hitTop;
  if (Rect{f.HitLB.X, c.Bottom, f.HitRB.X, f.Height}.Contains(x, y)) return hitBottom;
  if (Rect{0, f.HitLT.Y, c.Left, f.HitLB.Y}.Contains(x, y)) return hitLeft;
  if (Rect{c.Right, f.HitRT.Y, f.Width, f.HitRB.Y}.Contains(x, y)) return hitRight;
  return 0;
}

int SkinHitTest(const HitTestFrame& f, Point p) {
  if (f.RolledUp || f.Minimized) return CaptionOrObject(f, p);
  if (f.ObjectActive && !InAnyCaption(f, p) && !f.ClientRect.Contains(p.X, p.Y) && !f.MoveSizeLoop)
    return hitObject;
  if (!f.Maximized && f.Sizeable) {
    if (!NearSkinEdge(f, p)) {
      if (f.ClientRect.Contains(p.X, p.Y)) return hitClient;
      return CaptionOrObject(f, p);
    }
    if (int code = SkinSizingCode(f, p)) return code;
  }
  if (f.ClientRect.Contains(p.X, p.Y)) return hitClient;
  return CaptionOrObject(f, p);
}

int DefaultHitTest(const HitTestFrame& f, Point p) {
  const int x = p.X, y = p.Y, w = f.Width, h = f.Height;
  if (!f.Maximized && !f.RolledUp && !f.Minimized && f.Sizeable) {
    if (f.ObjectActive) return hitObject;
    if (x <= 2 && y <= 2) return hitTopLeft;
    if (x >= w - 2 && y <= 2) return hitTopRight;
    if (x <= 2 && y >= h - 2) return hitBottomLeft;
    if (x >= w - 2 && y >= h - 2) return hitBottomRight;
    if (x <= 2) return hitLeft;
    if (y <= 2) return hitTop;
    if (x >= w - 2) return hitRight;
    if (y >= h - 2) return hitBottom;
  }
  if (f.DefaultCaption.Contains(x, y)) return hitCaption;
  // Rolled up or minimized the client area is not there to be hit.
  if (!f.RolledUp && !f.Minimized && Rect{3, f.CaptionHeight + 3, w - 3, h - 3}.Contains(x, y)) return hitClient;
  return hitObject;
}

}  // namespace

int FrameHitTest(const HitTestFrame& f, Point p) { return f.SkinInUse ? SkinHitTest(f, p) : DefaultHitTest(f, p); }

int CursorHitCode(int code, bool useFormCursorInNCArea) {
  if (!useFormCursorInNCArea || code == hitClient || IsSizingHit(code)) return code;
  return hitClient;
}

// --- Size limits -------------------------------------------------------------------

int LimitMinWidth(const SizeLimitInput& in) {
  if (in.SkinInUse) {
    if (in.PictureWidth < in.MinWidth && !in.Minimized) return in.MinWidth;
    if (in.FormMinWidth > 0) return in.FormMinWidth;
    return in.PictureWidth;
  }
  return in.MinWidth > 0 ? in.MinWidth : 120;
}

int LimitMinHeight(const SizeLimitInput& in) {
  const int fh = in.SkinInUse ? in.PictureHeight - in.SkinClientRect.Height() : (in.ToolWindow ? 15 : 19) + 6;
  if (fh >= in.MinHeight || in.RolledUp || in.Minimized) return fh;
  return in.MinHeight;
}

int LimitMaxWidth(const SizeLimitInput& in) {
  const int w = (in.MaximizeOnFullScreen ? in.MonitorRect : in.WorkArea).Width();
  return (in.MaxWidth != 0 && in.MaxWidth < w) ? in.MaxWidth : w;
}

int LimitMaxHeight(const SizeLimitInput& in) {
  const int h = (in.MaximizeOnFullScreen ? in.MonitorRect : in.WorkArea).Height();
  return (in.MaxHeight != 0 && in.MaxHeight < h) ? in.MaxHeight : h;
}

// --- Placement ---------------------------------------------------------------------

Point CentreIn(const Rect& R, int w, int h) {
  return Point{R.Left + R.Width() / 2 - w / 2, R.Top + R.Height() / 2 - h / 2};
}

Rect MaximizedBounds(const Rect& workArea, const Rect& monitor, const Rect& screen, bool fullScreen) {
  if (fullScreen) return monitor;
  Rect r = workArea;
  const bool wholeMonitor = workArea.Width() == monitor.Width() && workArea.Height() == monitor.Height();
  const bool wholeScreen = monitor == Rect{0, 0, screen.Width(), screen.Height()};
  if (wholeMonitor && wholeScreen) r = Rect{r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1};
  return r;
}

Point MinimizedSlot(const Rect& R, int w, int h, const std::vector<Point>& taken) {
  Point p{R.Left, R.Bottom - h};
  // A zero width would never leave the row.
  const int step = std::max(w, 1), rise = std::max(h, 1);
  for (;;) {
    if (p.Y < R.Top) return p;
    if (std::find(taken.begin(), taken.end(), p) == taken.end()) return p;
    p.X += step;
    if (p.X + w > R.Right) {
      p.X = R.Left;
      p.Y -= rise;
    }
  }
}

// --- Magnetic edges ------------------------------------------------------------------

namespace {

// One axis: `pos` is the window's near side, `lo`/`hi` the work area's edges,
// `extent` the window's size along the axis, `cur` the cursor along it.
void SnapAxis(int& pos, int lo, int hi, int extent, int cur, int& anchor, bool& lowLatch, bool& highLatch, int M) {
  const bool nearLow = lo - M < pos && pos < lo + M;
  if (nearLow && !lowLatch) {
    pos = lo;
    anchor = cur;
  } else if (lowLatch) {
    pos = std::abs(cur - anchor) > M ? lo + (cur - anchor) : lo;
  }
  lowLatch = nearLow;

  const bool nearHigh = hi - M < pos + extent && pos + extent < hi + M;
  if (nearHigh && !highLatch) {
    pos = hi - extent;
    anchor = cur;
  } else if (highLatch) {
    pos = std::abs(cur - anchor) > M ? hi - extent + (cur - anchor) : hi - extent;
  }
  highLatch = nearHigh;
}

}  // namespace

Rect MagneticMove(MagnetState& s, const Rect& proposed, const Rect& R, Point cursor, int M) {
  int left = proposed.Left, top = proposed.Top;
  const int w = proposed.Width(), h = proposed.Height();
  SnapAxis(left, R.Left, R.Right, w, cursor.X, s.Anchor.X, s.Left, s.Right, M);
  SnapAxis(top, R.Top, R.Bottom, h, cursor.Y, s.Anchor.Y, s.Top, s.Bottom, M);
  return Rect{left, top, left + w, top + h};
}

// --- Window states ------------------------------------------------------------------

CaptionDblClick CaptionDoubleClick(bool sizeable, TWindowState state, bool rolledUp, bool rolledUpWhileMaximized,
                                   bool canMaximize) {
  if (sizeable && state == wsMinimized) return CaptionDblClick::Restore;
  if (sizeable && state != wsMaximized && !rolledUp && canMaximize) return CaptionDblClick::Maximize;
  if (sizeable && state == wsMaximized && !rolledUpWhileMaximized) return CaptionDblClick::Restore;
  return CaptionDblClick::ToggleRollUp;
}

void TvpWindowStates::SetWindowState(TWindowState state) {
  if (state == WindowState) return;
  const TWindowState old = WindowState;
  // The main form minimizes the whole application; its frame stays as it was
  // so that the task bar's restore finds it unchanged.
  if (!(state == wsMinimized && host_.IsApplicationMainForm())) WindowState = state;
  switch (state) {
    case wsMinimized:
      Minimize();
      break;
    case wsMaximized:
      RolledUpBeforeMaximize = RollUpState;
      Maximize();
      break;
    case wsNormal:
      if (old == wsMaximized && RollUpState && !RolledUpBeforeMaximize) SetRollUpState(false);
      RolledUpBeforeMaximize = false;
      Restore();
      break;
  }
}

bool TvpWindowStates::SetRollUpState(bool value) {
  if (!CanRollUp || WindowState == wsMinimized) return false;
  if (RollUpState && WindowState == wsMaximized && !RolledUpWhileMaximized) return false;
  if (WindowState == wsMaximized) RolledUpWhileMaximized = value;
  // Rolling up twice would save the rolled-up height and lose the real one.
  if (value == RollUpState) return true;
  RollUpState = value;
  Rect b = host_.Bounds();
  if (value) {
    SavedHeight = b.Height();
    b.Bottom = b.Top + host_.MinHeight();
    host_.SetBounds(b);
  } else if (int ch = host_.ImposedClientHeight(); ch > 0) {
    host_.SetClientHeight(ch);
  } else {
    b.Bottom = b.Top + SavedHeight;
    host_.SetBounds(b);
  }
  host_.Fire(WindowHost::Event::ChangeRollUpState);
  return true;
}

void TvpWindowStates::Minimize() {
  if (host_.IsApplicationMainForm()) {
    host_.MinimizeApplication();
  } else {
    if (RestoreBounds.IsNull()) RestoreBounds = host_.Bounds();
    const int w = host_.MinWidth(), h = host_.MinHeight();
    const Point p = MinimizedSlot(host_.WorkArea(), w, h, host_.MinimizedFormCorners());
    host_.SetBounds(plat::Bounds(p.X, p.Y, w, h));
  }
  host_.Fire(WindowHost::Event::Minimize);
}

void TvpWindowStates::Maximize() {
  if (RestoreBounds.IsNull()) RestoreBounds = host_.Bounds();
  host_.SetBounds(MaximizedBounds(host_.WorkArea(), host_.MonitorRect(), host_.ScreenRect(), MaximizeOnFullScreen));
  host_.ShowSizeGrip(false);
  host_.Fire(WindowHost::Event::Maximize);
}

void TvpWindowStates::PlaceFirst(const Rect& bounds) {
  FirstPlacementPending = false;
  const int w = bounds.Width(), h = bounds.Height();
  if (PositionInMonitor == TvpPositionInMonitor::vppDefault) {
    host_.SetBounds(bounds);
    return;
  }
  const Rect R = PositionInMonitor == TvpPositionInMonitor::vppDesktopCenter ? host_.WorkArea() : host_.MonitorRect();
  const Point p = CentreIn(R, w, h);
  host_.SetBounds(plat::Bounds(p.X, p.Y, w, h));
}

void TvpWindowStates::Restore() {
  RolledUpWhileMaximized = false;
  const Rect before = host_.Bounds();
  // Nothing saved (restore without a maximize or minimize): keep the bounds.
  const Rect target = RestoreBounds.IsNull() ? before : RestoreBounds;
  if (FirstPlacementPending) {
    PlaceFirst(target);
  } else {
    host_.SetBounds(target);
  }
  const Rect after = host_.Bounds();
  host_.AfterRestore(after.Width() != before.Width() || after.Height() != before.Height());
  RestoreBounds = Rect{};
  host_.ShowSizeGrip(true);
  host_.Fire(WindowHost::Event::Restore);
}

void TvpWindowStates::FirstShow() {
  if (!FirstPlacementPending) return;
  if (PositionInMonitor == TvpPositionInMonitor::vppDefault) {
    FirstPlacementPending = false;
    return;
  }
  if (WindowState == wsNormal) PlaceFirst(host_.Bounds());
}

// --- Fade-in ---------------------------------------------------------------------

std::vector<int> FadeInSteps(int target) {
  std::vector<int> steps;
  target = std::clamp(target, 0, 255);
  for (int a = 0; a < target;) {
    a = std::min(a + 10, target);
    steps.push_back(a);
  }
  return steps;
}

}  // namespace skinform
