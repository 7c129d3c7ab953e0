// A simulated network between one link engine and one screen core, on a
// virtual clock: every datagram takes 1 ms, and may be lost, duplicated or
// delayed past later ones, from a seeded generator.
#pragma once
#include <algorithm>
#include <functional>
#include <map>
#include <random>
#include <vector>

#include "ledapi/core/link_engine.h"
#include "ledscreen/core/screen.h"

namespace simnet {

struct Faults {
  double LossToScreen = 0, LossToLink = 0, Duplicate = 0, Reorder = 0;
};

class Net {
 public:
  Net(ledp::LinkEngine& link, ledscreen::Screen& screen, Faults f = {}, uint32_t seed = 1)
      : link_(link), screen_(&screen), f_(f), rng_(seed) {}

  // Puts another screen (a restarted one) on the same address.
  void Attach(ledscreen::Screen& screen) { screen_ = &screen; }

  ledp::Endpoint LinkEp{0x7F000001, 8888};
  ledp::Endpoint ScreenEp{0x7F000001, 6666};
  bool ScreenPresent = true;
  int64_t Now = 0;
  int ToScreen = 0, ToLink = 0;  // datagrams put on the wire
  std::vector<ledp::Notice> Notices;
  // Called after every datagram the screen takes in.
  std::function<void()> AfterScreenDatagram;
  // Sees every datagram the link puts on the wire to the screen, lost or not.
  std::function<void(const std::vector<uint8_t>&)> Tap;
  // When set, the link gets up to IdleSlices slices (a random number) of
  // spare work of this many bytes each time it would wait, as its driver
  // gives it while no datagram is there.
  size_t IdleSlice = 0;
  int IdleSlices = 3;
  // Whether the link's driver lets out the rest of its windows after each
  // call, as the library's does.
  bool LetsOutWindows = true;

  // Runs until the link has nothing outstanding or `until` is reached.
  void Run(int64_t until) {
    for (;;) {
      Collect();
      if (link_.Pending() == 0 && wire_.empty()) return;
      if (IdleSlice > 0) {
        for (int n = static_cast<int>(rng_() % (IdleSlices + 1)); n > 0 && link_.OnIdle(IdleSlice); --n) {
        }
      }
      int64_t next = std::min(link_.NextWakeup(), wire_.empty() ? INT64_MAX : wire_.begin()->first);
      if (next > until) return;
      Now = std::max(Now, next);
      while (!wire_.empty() && wire_.begin()->first <= Now) {
        Datagram d = std::move(wire_.begin()->second);
        wire_.erase(wire_.begin());
        if (d.ToScreen) {
          if (!ScreenPresent) continue;
          screen_->OnDatagram(d.Bytes.data(), d.Bytes.size(), LinkEp, Now, 0);
          if (AfterScreenDatagram) AfterScreenDatagram();
          for (auto& r : screen_->TakeReplies()) Put(false, std::move(r.Bytes));
        } else {
          link_.OnDatagram(d.Bytes.data(), d.Bytes.size(), ScreenEp, Now);
        }
        Collect();
      }
      link_.OnTimer(Now);
    }
  }

 private:
  struct Datagram {
    bool ToScreen;
    std::vector<uint8_t> Bytes;
  };

  void Collect() {
    do {
      for (auto& o : link_.TakeOutgoing()) {
        if (!(o.To == ScreenEp)) continue;  // addressed elsewhere: never arrives
        if (Tap) Tap(o.Bytes);
        Put(true, std::move(o.Bytes));
      }
    } while (LetsOutWindows && link_.LetOutWindows(Now));
    for (auto& n : link_.TakeNotices()) Notices.push_back(std::move(n));
  }

  void Put(bool toScreen, std::vector<uint8_t> bytes) {
    (toScreen ? ToScreen : ToLink)++;
    std::uniform_real_distribution<double> roll(0, 1);
    if (roll(rng_) < (toScreen ? f_.LossToScreen : f_.LossToLink)) return;
    int copies = roll(rng_) < f_.Duplicate ? 2 : 1;
    for (int i = 0; i < copies; ++i) {
      int64_t at = Now + 1 + (roll(rng_) < f_.Reorder ? 1 + static_cast<int64_t>(rng_() % 8) : 0);
      wire_.emplace(at, Datagram{toScreen, bytes});
    }
  }

  ledp::LinkEngine& link_;
  ledscreen::Screen* screen_;
  Faults f_;
  std::mt19937 rng_;
  std::multimap<int64_t, Datagram> wire_;
};

}  // namespace simnet
