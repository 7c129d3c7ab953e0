#include "ledapi/core/compose.h"

#include <algorithm>

namespace ledp {

namespace {

// Copies src to dst at (x, y), only where it falls inside `clip`.
void BlitClipped(plat::Raster& dst, int x, int y, const plat::Raster& src, plat::Rect clip) {
  clip.Left = std::max({clip.Left, x, 0});
  clip.Top = std::max({clip.Top, y, 0});
  clip.Right = std::min({clip.Right, x + src.Width(), dst.Width()});
  clip.Bottom = std::min({clip.Bottom, y + src.Height(), dst.Height()});
  if (clip.IsNull()) return;
  plat::Blit(dst, clip.Left, clip.Top, src, plat::Rect{clip.Left - x, clip.Top - y, clip.Right - x, clip.Bottom - y});
}

void DrawClock(plat::Raster& dst, const Window& w, int64_t seconds) {
  const std::string text = ClockText(w.Format, SecondsToClock(seconds));
  const int y = w.Area.Top + (w.Area.Height() - w.Pixels.Height()) / 2;
  int x = w.Area.Left;
  for (char c : text) {
    const size_t i = w.GlyphChars.find(c);
    if (i == std::string::npos || i >= w.GlyphWidths.size()) continue;
    int from = 0;
    for (size_t k = 0; k < i; ++k) from += w.GlyphWidths[k];
    const int gw = w.GlyphWidths[i];
    plat::Rect clip = w.Area;
    clip.Left = std::max(clip.Left, x);
    clip.Right = std::min(clip.Right, x + gw);
    if (clip.Right > clip.Left) {
      plat::Raster one(gw, w.Pixels.Height());
      plat::Blit(one, 0, 0, w.Pixels, plat::Rect{from, 0, from + gw, w.Pixels.Height()});
      BlitClipped(dst, x, y, one, clip);
    }
    x += gw;
  }
}

}  // namespace

size_t PageAt(const Program& p, int64_t elapsedMs) {
  if (p.Pages.size() < 2) return 0;
  int64_t cycle = 0;
  for (const Page& pg : p.Pages) cycle += std::max<int64_t>(pg.DisplayMs, 1);
  int64_t t = std::max<int64_t>(elapsedMs, 0) % cycle;
  for (size_t i = 0; i < p.Pages.size(); ++i) {
    t -= std::max<int64_t>(p.Pages[i].DisplayMs, 1);
    if (t < 0) return i;
  }
  return 0;
}

bool ChangesByItself(const Program& p) {
  if (p.Pages.size() > 1) return true;
  for (const Page& pg : p.Pages)
    for (const Window& w : pg.Windows)
      if (w.Type == WindowType::Clock) return true;
  return false;
}

plat::Raster ComposeProgram(const Program& p, int width, int height, int64_t elapsedMs, int64_t clockSeconds) {
  plat::Raster out(width, height);
  if (p.Pages.empty()) return out;
  for (const Window& w : p.Pages[PageAt(p, elapsedMs)].Windows) {
    if (w.Type == WindowType::Picture) BlitClipped(out, w.Area.Left, w.Area.Top, w.Pixels, w.Area);
    else DrawClock(out, w, clockSeconds);
  }
  return out;
}

}  // namespace ledp
