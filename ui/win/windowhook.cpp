#include "ui/win/windowhook.h"

#include <algorithm>

void TWndHookLink::Proc(TMessage& m) {
  // Nothing of the link may be touched after the call: the hook may unhook
  // itself and free this link while handling the message.
  if (Hook)
    Hook->HookWndProc(m);
  else if (Previous)
    Previous(m);
}

TWindowHook::~TWindowHook() { Unhook(); }

bool TWindowHook::OnTop() const {
  return control_ && control_->WindowProc == TWndMethod::Of<&TWndHookLink::Proc>(link_);
}

void TWindowHook::CallPrevious(TMessage& m) {
  if (link_ && link_->Previous) link_->Previous(m);
}

void TWindowHook::Hook(TControl* c) {
  if (c == control_) return;
  Unhook();
  if (!c) return;
  auto link = std::make_unique<TWndHookLink>();
  link->Hook = this;
  link->Previous = c->WindowProc;
  c->WindowProc = TWndMethod::Of<&TWndHookLink::Proc>(link.get());
  link_ = link.get();
  control_ = c;
  c->hookLinks_.push_back(std::move(link));
}

void TWindowHook::Unhook() {
  if (!control_) return;
  TControl* c = control_;
  TWndHookLink* link = link_;
  control_ = nullptr;
  link_ = nullptr;
  link->Hook = nullptr;
  const TWndMethod mine = TWndMethod::Of<&TWndHookLink::Proc>(link);
  bool unlinked = false;
  if (c->WindowProc == mine) {
    c->WindowProc = link->Previous;
    unlinked = true;
  } else {
    // Whoever saved this link's procedure gets the one before it.
    for (auto& other : c->hookLinks_)
      if (other.get() != link && other->Previous == mine) {
        other->Previous = link->Previous;
        unlinked = true;
        break;
      }
  }
  auto& links = c->hookLinks_;
  if (unlinked) {
    links.erase(std::remove_if(links.begin(), links.end(), [&](const auto& p) { return p.get() == link; }),
                links.end());
  }
  // Otherwise the link stays as a forwarder until the control dies.
}
