// What both of the program's forms use to put their components together.
#pragma once
#include "ui/win/controls.h"
#include "xpstyle/win/XPStyle.h"

namespace formbuild {

// A control named, parented and placed; a tab order when one is given.
template <class T>
T* Make(TComponent* owner, TWinControl* parent, const wchar_t* name, int l, int t, int w, int h, int tab = -1) {
  T* c = new T(owner);
  c->Name = name;
  c->SetParent(parent);
  c->SetBounds(l, t, w, h);
  if (tab >= 0) c->SetTabOrder(tab);
  return c;
}

// A label of fixed size, or sized to its text when w < 0.
inline TLabel* MakeLabel(TComponent* owner, TWinControl* parent, const wchar_t* name, int l, int t, int w, int h,
                         const wchar_t* caption) {
  TLabel* lb = Make<TLabel>(owner, parent, name, l, t, w < 0 ? 0 : w, h < 0 ? 0 : h);
  lb->AutoSize = w < 0;
  lb->SetText(caption);
  return lb;
}

// The flat painter, created last so that it hooks the controls that exist.
inline TXPStyle* AddXPStyle(TForm* form, TXPControls controls, bool flatMenu) {
  auto* xp = new TXPStyle(form);
  xp->Name = L"XPStyle1";
  xp->Font().SetName(L"微软雅黑");
  xp->Font().SetHeight(-12);
  xp->Font().SetColor(clMenuText);
  xp->Font().SetCharset(DEFAULT_CHARSET);
  xp->SetXPControls(controls);
  xp->FlatMenu = flatMenu;
  xp->SetActive(true);
  return xp;
}

}  // namespace formbuild
