// The start-up the demo and screenshot programs share: the application and
// its loop, the default skin, and the few helpers their forms are put
// together with.
#pragma once
#include <windows.h>

#include <functional>

#include "skin/win/vpSkinWin.h"
#include "ui/win/controls.h"
#include "ui/win/menus.h"

namespace demo {

// Runs a demo whose main form is an F, under the application title `title`:
// the form is made and shown, `shown` puts it into the state worth a look,
// then the message loop runs until the form closes.
template <class F>
int Run(const wchar_t* title, const std::function<void(F&)>& shown = {}) {
  TApplication app;
  Application->Initialize();
  Application->Title = title;
  F* form = nullptr;
  Application->CreateForm(form);
  form->Show();
  if (shown) shown(*form);
  Application->Run();
  return 0;
}

// Whether the command line carries `flag` ("--show").
bool HasFlag(const wchar_t* flag);

// Runs `f` once, `ms` from now, from whatever message loop runs then (a
// menu's modal loop too).
void Later(unsigned ms, std::function<void()> f);

// Handles the thread's messages for `ms` milliseconds.
void Pump(int ms);

// The default skin embedded in the program, read into skin data that tells
// the forms of `owner`'s application when it changes (none without an owner).
class DefaultSkin {
 public:
  explicit DefaultSkin(HWND owner = nullptr);
  ~DefaultSkin();
  DefaultSkin(const DefaultSkin&) = delete;
  DefaultSkin& operator=(const DefaultSkin&) = delete;
  vp::TvpSkinData* Data() { return &data_; }
  // Reads the skin into Data(); false when the program has none.
  bool Apply();

 private:
  vp::TvpCompressedStoredSkin stored_;
  vp::TvpWinSkinMessageSink sink_;
  bool found_;
  vp::TvpSkinData data_;  // goes first, before the skin it reads
};

// A 16 x 16 glyph: a circle of colour c, outlined in black, on magenta.
void RoundGlyph(TBitmap& b, COLORREF c);

// A menu item with this caption ("-": a line), last under `parent`.
TMenuItem* AddItem(TComponent* owner, TMenuItem* parent, const wchar_t* caption);

// A control of type T owned by `owner`, on `parent`, at (l, t), w x h.
template <class T>
T* Place(TComponent* owner, TWinControl* parent, int l, int t, int w, int h) {
  T* c = new T(owner);
  c->SetParent(parent);
  c->SetBounds(l, t, w, h);
  return c;
}

}  // namespace demo
