// Window messages of the skinned popups that other skinned parts (the frame,
// its caption objects) receive. Both are sent with WParam 0 and LParam 0.
#pragma once

namespace vp {

// The whole skinned menu has closed.
constexpr unsigned WM_SKINMENUCLOSED = 1228;  // WM_USER + 204
// A command of a skinned menu has run (after the menu closed).
constexpr unsigned WM_SKINMENUCOMMAND = 1229;  // WM_USER + 205

}  // namespace vp
