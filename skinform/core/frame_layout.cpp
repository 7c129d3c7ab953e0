#include "skinform/core/frame_layout.h"

#include <algorithm>

namespace skinform {

namespace {

Point Moved(Point p, int dx, int dy) { return Point{p.X + dx, p.Y + dy}; }
Rect Moved(Rect r, int dx, int dy) { return Rect{r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy}; }
bool Empty(const Rect& r) { return r.IsNull(); }
// Both corners pass the point-in-rectangle test (right and bottom excluded).
bool Inside(const Rect& outer, const Rect& inner) {
  return outer.Contains(inner.Left, inner.Top) && outer.Contains(inner.Right, inner.Bottom);
}

}  // namespace

FrameGeometry CalcFrameGeometry(const FrameSkin& s, int formWidth, int formHeight) {
  FrameGeometry g;
  g.FormWidth = formWidth;
  g.FormHeight = formHeight;
  const int dx = formWidth - s.PictureWidth, dy = formHeight - s.PictureHeight;
  g.dx = dx;
  g.dy = dy;
  g.NewLTPoint = s.LT;
  g.NewRTPoint = Moved(s.RT, dx, 0);
  g.NewLBPoint = Moved(s.LB, 0, dy);
  g.NewRBPoint = Moved(s.RB, dx, dy);
  g.NewClientRect = Rect{s.ClientRect.Left, s.ClientRect.Top, s.ClientRect.Right + dx, s.ClientRect.Bottom + dy};
  g.NewCaptionRect = s.CaptionRect;
  if (!Empty(s.CaptionRect)) g.NewCaptionRect.Right += dx;
  g.NewButtonsRect = s.ButtonsRect;
  // Buttons drawn on the right half follow the right edge.
  if (s.ButtonsRect.Left > s.PictureWidth / 2) g.NewButtonsRect = Moved(s.ButtonsRect, dx, 0);
  g.ButtonsInLeft = s.ButtonsInLeft;
  g.ButtonsOffset = s.ButtonsOffset;
  g.NewHitTestLT = s.HitTestLT;
  g.NewHitTestRT = Moved(s.HitTestRT, dx, 0);
  g.NewHitTestLB = Moved(s.HitTestLB, 0, dy);
  g.NewHitTestRB = Moved(s.HitTestRB, dx, dy);
  g.NewMaskRectArea =
      Rect{s.MaskRectArea.Left, s.MaskRectArea.Top, s.MaskRectArea.Right + dx, s.MaskRectArea.Bottom + dy};
  return g;
}

Rect SkinClientFromWindow(const FrameSkin& s, const Rect& w) {
  Rect r{w.Left + s.ClientRect.Left, w.Top + s.ClientRect.Top, w.Right - (s.PictureWidth - s.ClientRect.Right),
         w.Bottom - (s.PictureHeight - s.ClientRect.Bottom)};
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);
  return r;
}

Rect DefaultClientFromWindow(const Rect& w, int captionHeight) {
  Rect r{w.Left + 3, w.Top + 3 + captionHeight, w.Right - 3, w.Bottom - 3};
  r.Right = std::max(r.Right, r.Left);
  r.Bottom = std::max(r.Bottom, r.Top);
  return r;
}

Rect PlaceByCorners(const FrameSkin& s, const Rect& r, int dx, int dy) {
  const int pw = s.PictureWidth, ph = s.PictureHeight;
  const Rect lt{0, 0, s.LT.X, s.LT.Y};
  const Rect rt{s.RT.X, 0, pw, s.RT.Y};
  const Rect lb{0, s.LB.Y, s.LB.X, ph};
  const Rect rb{s.RB.X, s.RB.Y, pw, ph};
  if (Inside(lt, r)) return r;
  if (Inside(rt, r)) return Moved(r, dx, 0);
  if (Inside(lb, r)) return Moved(r, 0, dy);
  if (Inside(rb, r)) return Moved(r, dx, dy);
  const bool tlInLT = lt.Contains(r.Left, r.Top), tlInRT = rt.Contains(r.Left, r.Top),
             tlInLB = lb.Contains(r.Left, r.Top);
  const bool brInRB = rb.Contains(r.Right, r.Bottom), brInRT = rt.Contains(r.Right, r.Bottom),
             brInLB = lb.Contains(r.Right, r.Bottom);
  Rect o = r;
  if (tlInLT && brInRB) {
    o.Right += dx;
    o.Bottom += dy;
  } else if (tlInLT && brInRT) {
    o.Right += dx;
  } else if (tlInLB && brInRB) {
    o.Right += dx;
    o = Moved(o, 0, dy);
  } else if (tlInLT && brInLB) {
    o.Bottom += dy;
  } else if (tlInRT && brInRB) {
    o = Moved(o, dx, 0);
    o.Bottom += dy;
  }
  return o;
}

void LayoutButtonsRow(const FrameGeometry& g, std::vector<RowObject>& objects) {
  if (Empty(g.NewButtonsRect) && Empty(g.NewCaptionRect)) return;
  const bool ownRow = !Empty(g.NewButtonsRect);
  const Rect row = ownRow ? g.NewButtonsRect : g.NewCaptionRect;
  const int gap = g.ButtonsOffset;

  // Close, maximize, minimize, roll-up, tray: the first of each; then every
  // default button.
  std::vector<RowObject*> order;
  for (int cmd : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray})
    for (auto& o : objects)
      if (o.InRow && o.Command == cmd) {
        order.push_back(&o);
        break;
      }
  for (auto& o : objects)
    if (o.InRow && o.Command == cmDefault) order.push_back(&o);
  RowObject* sysMenu = nullptr;
  for (auto& o : objects)
    if (o.InRow && o.Command == cmSysMenu) {
      sysMenu = &o;
      break;
    }
  RowObject* caption = nullptr;
  for (auto& o : objects)
    if (o.IsCaption) {
      caption = &o;
      break;
    }

  if (!g.ButtonsInLeft) {
    int x = row.Right;
    for (RowObject* o : order) {
      o->ObjectRect = Rect{x - o->Width, row.Top, x, row.Top + o->Height};
      x -= o->Width + gap;
    }
    if (!ownRow && caption) caption->ObjectRect.Right = x + gap;
    if (sysMenu) {
      const Rect& c = g.NewCaptionRect;
      const int top = c.Top + c.Height() / 2 - sysMenu->Height / 2;
      sysMenu->ObjectRect = Rect{c.Left, top, c.Left + sysMenu->Width, top + sysMenu->Height};
      const int next = c.Left + sysMenu->Width + gap;
      if (caption) caption->ObjectRect.Left = next - gap;
    }
  } else {
    int x = row.Left;
    if (!ownRow && sysMenu) order.push_back(sysMenu);
    for (RowObject* o : order) {
      o->ObjectRect = Rect{x, row.Top, x + o->Width, row.Top + o->Height};
      x += o->Width + gap;
    }
    if (!ownRow && caption) caption->ObjectRect.Left = x + gap;
  }
}

DefaultFrameLayout LayoutDefaultFrame(int formWidth, int captionHeight, int size, const bool visible[7],
                                      int sysMenuWidth) {
  DefaultFrameLayout l;
  l.Caption = Rect{3, 3, formWidth - 3, captionHeight};
  int x = formWidth - 3;
  for (int cmd : {cmClose, cmMaximize, cmMinimize, cmRollUp, cmMinimizeToTray}) {
    if (!visible[cmd]) continue;
    l.Buttons[cmd] = Rect{x - size, 4, x, 4 + size};
    x -= size;
  }
  l.Caption.Right = x;
  if (visible[cmSysMenu]) {
    l.Buttons[cmSysMenu] = Rect{l.Caption.Left, 4, l.Caption.Left + sysMenuWidth, 4 + size};
    l.Caption.Left += sysMenuWidth;
  }
  return l;
}

Rect CaptionTextRect(const Rect& textRect, int objectWidth, int skinWidth, const Rect& frameRect,
                     const Rect& frameTextRect) {
  Rect r = textRect;
  if (!Empty(r)) r.Right += objectWidth - skinWidth;
  if (!Empty(frameRect)) {
    r.Left += frameTextRect.Left;
    r.Top += frameTextRect.Top;
    r.Right += frameTextRect.Right - frameRect.Width();
  }
  return r;
}

Point PlaceText(const Rect& r, int tw, int th, int alignment) {
  const int y = r.Top + r.Height() / 2 - th / 2;
  int x = r.Left;
  if (alignment == 1) x = r.Right - tw;
  if (alignment == 2) x = r.Left + r.Width() / 2 - tw / 2;
  return Point{x, y};
}

std::wstring FitText(const std::wstring& text, int width, const std::function<int(const std::wstring&)>& measure) {
  if (measure(text) <= width) return text;
  std::wstring t = text;
  do {
    // Never leave half of a surrogate pair behind (wide strings of 16 bits).
    if (t.size() >= 2 && t.back() >= 0xDC00 && t.back() <= 0xDFFF && t[t.size() - 2] >= 0xD800 &&
        t[t.size() - 2] <= 0xDBFF)
      t.pop_back();
    if (!t.empty()) t.pop_back();
  } while (!t.empty() && measure(t + L"...") > width);
  return t + L"...";
}

int FindObjectAt(const std::vector<HitObject>& objects, int x, int y) {
  for (size_t i = 0; i < objects.size(); ++i) {
    const HitObject& o = objects[i];
    if (o.Enabled && o.Visible && o.ObjectRect.Contains(x, y)) return static_cast<int>(i);
  }
  return -1;
}

bool MorphPending(double f, bool highlighted) { return highlighted ? f < 1.0 : f > 0.0; }

double MorphStep(double f, bool highlighted) {
  f += highlighted ? 0.2 : -0.2;
  // Five steps from one end to the other, without drifting past either.
  if (f > 0.999) f = 1.0;
  if (f < 0.001) f = 0.0;
  return f;
}

Rect StripFrame(const Rect& strip, int count, int n, bool vertical) {
  if (count < 1) count = 1;
  if (vertical) {
    const int h = strip.Height() / count;
    return Rect{strip.Left, strip.Top + h * (n - 1), strip.Right, strip.Top + h * n};
  }
  const int w = strip.Width() / count;
  return Rect{strip.Left + w * (n - 1), strip.Top, strip.Left + w * n, strip.Bottom};
}

}  // namespace skinform
