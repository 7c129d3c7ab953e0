// A minimal owner-free notification scheme: a component tells everyone who
// asked when it is destroyed, so that references to it can be cleared.
#pragma once
#include <algorithm>
#include <vector>

namespace vp {

class TvpComponent;

class TvpFreeNotify {
 public:
  // `component` is being destroyed; only its address may be used.
  virtual void Notification(TvpComponent* component) = 0;

 protected:
  ~TvpFreeNotify() = default;
};

class TvpComponent {
 public:
  TvpComponent() = default;
  TvpComponent(const TvpComponent&) = delete;
  TvpComponent& operator=(const TvpComponent&) = delete;
  virtual ~TvpComponent() {
    // Copy first: a receiver may unregister itself while being told.
    const std::vector<TvpFreeNotify*> receivers = notify_;
    notify_.clear();
    for (TvpFreeNotify* r : receivers) r->Notification(this);
  }

  void FreeNotification(TvpFreeNotify* receiver) {
    if (receiver && std::find(notify_.begin(), notify_.end(), receiver) == notify_.end()) notify_.push_back(receiver);
  }
  void RemoveFreeNotification(TvpFreeNotify* receiver) {
    notify_.erase(std::remove(notify_.begin(), notify_.end(), receiver), notify_.end());
  }

 private:
  std::vector<TvpFreeNotify*> notify_;
};

}  // namespace vp
