// Window-procedure hooks that stack on a control and come off in any order.
// Installing saves the control's WindowProc and puts the hook's own in its
// place; removing puts the saved one back when the hook is still on top, or
// hands it to the hook above so that the chain stays whole. A hook whose
// procedure was saved by code that does not use this class leaves a link
// behind that only forwards, so nothing ever calls into a freed hook.
#pragma once
#include "ui/win/controls.h"

class TWindowHook {
 public:
  TWindowHook() = default;
  virtual ~TWindowHook();
  TWindowHook(const TWindowHook&) = delete;
  TWindowHook& operator=(const TWindowHook&) = delete;

  // Installs the hook on `c` (taking it off any other control first).
  void Hook(TControl* c);
  void Unhook();
  bool Hooked() const { return control_ != nullptr; }
  TControl* HookedControl() const { return control_; }
  // Whether the control's WindowProc is this hook's own.
  bool OnTop() const;

 protected:
  // Every message of the control, before the procedures hooked earlier.
  virtual void HookWndProc(TMessage& m) { CallPrevious(m); }
  void CallPrevious(TMessage& m);
  // The control is being destroyed; the hook is already off it.
  virtual void ControlDestroyed() {}

 private:
  friend class TControl;
  friend struct TWndHookLink;
  TControl* control_ = nullptr;
  TWndHookLink* link_ = nullptr;
};
