// What a display program shows at a moment, as one picture: the page that is
// due, its pictures clipped to their areas and its clocks running. The
// library needs this for controllers that take pixels instead of programs.
#pragma once
#include <cstdint>

#include "ledapi/core/program.h"
#include "ui/core/raster.h"

namespace ledp {

// `elapsedMs`: since the program was first shown (pages take turns);
// `clockSeconds`: the wall clock the clocks show (ClockToSeconds).
plat::Raster ComposeProgram(const Program& p, int width, int height, int64_t elapsedMs, int64_t clockSeconds);

// Which page is shown `elapsedMs` after the program started.
size_t PageAt(const Program& p, int64_t elapsedMs);

// True when the picture can change by itself: a clock, or more than one page.
bool ChangesByItself(const Program& p);

}  // namespace ledp
