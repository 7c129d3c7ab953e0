// Hooks on a control's WindowProc: stacking, removal in either order, and
// a hook that leaves while code outside the hook class holds its procedure.
#include "ui/win/windowhook.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string g_trace;

// A control that needs no window: its own procedure only records.
class Probe : public TCustomPanel {
 public:
  using TCustomPanel::TCustomPanel;

 protected:
  void WndProc(TMessage& m) override {
    g_trace += "C";
    m.Result = 7;
  }
};

class Tracer : public TWindowHook {
 public:
  explicit Tracer(char tag) : tag_(tag) {}
  bool dropAtNext = false;

 protected:
  void HookWndProc(TMessage& m) override {
    g_trace += tag_;
    CallPrevious(m);
    if (dropAtNext) Unhook();
  }

 private:
  char tag_;
};

// A hook written by hand: saves the procedure and calls it.
struct RawHook {
  TControl* c;
  TWndMethod saved;
  void Proc(TMessage& m) {
    g_trace += "R";
    saved(m);
  }
  void Install() {
    saved = c->WindowProc;
    c->WindowProc = TWndMethod::Of<&RawHook::Proc>(this);
  }
};

std::string Send(TControl& c) {
  g_trace.clear();
  EXPECT_EQ(c.Perform(WM_USER + 5), 7);
  return g_trace;
}

TEST(WindowHook, StackedHooksSeeEveryMessageNewestFirstThenTheControl) {
  Probe p(nullptr);
  const TWndMethod original = p.WindowProc;
  Tracer a('A'), b('B');
  a.Hook(&p);
  b.Hook(&p);
  EXPECT_EQ(Send(p), "BAC");
  EXPECT_TRUE(b.OnTop());
  EXPECT_FALSE(a.OnTop());

  // Bottom one first: the top one now calls the control directly.
  a.Unhook();
  EXPECT_EQ(Send(p), "BC");
  b.Unhook();
  EXPECT_EQ(Send(p), "C");
  EXPECT_TRUE(p.WindowProc == original);

  // Top one first.
  a.Hook(&p);
  b.Hook(&p);
  b.Unhook();
  EXPECT_EQ(Send(p), "AC");
  EXPECT_TRUE(a.OnTop());
  a.Unhook();
  EXPECT_TRUE(p.WindowProc == original);
}

TEST(WindowHook, MiddleHookLeavesAndTheChainStaysWhole) {
  Probe p(nullptr);
  Tracer a('A'), b('B'), c('C');
  a.Hook(&p);
  b.Hook(&p);
  c.Hook(&p);
  b.Unhook();
  EXPECT_EQ(Send(p), "CAC");
  // Hooking again puts it on top.
  b.Hook(&p);
  EXPECT_EQ(Send(p), "BCAC");
}

TEST(WindowHook, HookCanRemoveItselfWhileHandlingAMessage) {
  Probe p(nullptr);
  Tracer a('A'), b('B');
  a.Hook(&p);
  b.Hook(&p);
  a.dropAtNext = true;
  EXPECT_EQ(Send(p), "BAC");
  EXPECT_FALSE(a.Hooked());
  EXPECT_EQ(Send(p), "BC");
  b.dropAtNext = true;
  EXPECT_EQ(Send(p), "BC");
  EXPECT_EQ(Send(p), "C");
}

TEST(WindowHook, HookUnderAHandWrittenHookLeavesAForwarder) {
  Probe p(nullptr);
  {
    Tracer a('A');
    a.Hook(&p);
    RawHook r{&p, {}};
    r.Install();
    EXPECT_EQ(Send(p), "RAC");
    a.Unhook();
    EXPECT_EQ(Send(p), "RC");
    p.WindowProc = r.saved;  // the hand-written hook leaves
  }
  EXPECT_EQ(Send(p), "C");
}

TEST(WindowHook, DestroyingTheControlDetachesItsHooks) {
  Tracer a('A');
  {
    Probe p(nullptr);
    a.Hook(&p);
    EXPECT_EQ(Send(p), "AC");
  }
  EXPECT_FALSE(a.Hooked());
  a.Unhook();  // harmless
}

TEST(WindowHook, EveryStandardControlNamesItsExactClass) {
  TBitBtn bb(nullptr);
  TButton b(nullptr);
  TEdit e(nullptr);
  TMemo m(nullptr);
  TCheckBox cb(nullptr);
  TPanel pn(nullptr);
  TGroupBox g(nullptr);
  EXPECT_STREQ(bb.ClassName(), L"TBitBtn");
  EXPECT_STREQ(b.ClassName(), L"TButton");
  EXPECT_STREQ(e.ClassName(), L"TEdit");
  EXPECT_STREQ(m.ClassName(), L"TMemo");
  EXPECT_STREQ(cb.ClassName(), L"TCheckBox");
  EXPECT_STREQ(pn.ClassName(), L"TPanel");
  EXPECT_STREQ(g.ClassName(), L"TGroupBox");
}

}  // namespace
