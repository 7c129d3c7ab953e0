// Which counters of a session have been accepted: the newest one and the
// 1024 before it. A counter at or below the window's floor, or one already
// marked, is a replay (or too late to matter). Retransmissions carry new
// counters, so a legitimate datagram is never refused for being a repeat.
#pragma once
#include <bitset>
#include <cstdint>

namespace ledp::auth {

class ReplayWindow {
 public:
  static constexpr uint64_t kSpan = 1024;

  // True when `c` has not been accepted before and is not too old. Counter 0
  // belongs to the opening exchange and is never taken here.
  bool Fresh(uint64_t c) const {
    if (c == 0) return false;
    if (c > top_) return true;
    const uint64_t back = top_ - c;
    return back < kSpan && !seen_[c % kSpan];
  }

  uint64_t Top() const { return top_; }  // newest counter accepted, 0 if none

  // Call only after the MAC was checked, so that forgeries move nothing.
  void Mark(uint64_t c) {
    if (c > top_) {
      // Slots the window moves past are free again.
      const uint64_t step = c - top_;
      if (step >= kSpan) seen_.reset();
      else
        for (uint64_t k = top_ + 1; k <= c; ++k) seen_[k % kSpan] = false;
      top_ = c;
    }
    seen_[c % kSpan] = true;
  }

 private:
  uint64_t top_ = 0;
  std::bitset<kSpan> seen_;
};

}  // namespace ledp::auth
