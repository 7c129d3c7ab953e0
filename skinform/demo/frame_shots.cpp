// Puts the skinned frame into the states worth a look, for screenshots:
//   skinform_shots hover | press | release     on the running program's main window
//   skinform_shots inactive SECONDS            another window takes the focus
//   skinform_shots hint SECONDS                a skinned form showing a caption button's hint
#include <windows.h>
#include <shellapi.h>

#include <string>

#include "skinform/win/VesperForm.h"
#include "skinpopups/win/vpSkinHint.h"
#include "tests/e2e/driver.h"
#include "tools/demo_host/demo_host.h"

namespace {

using demo::Pump;
using e2e::At;

int Drive(const std::wstring& mode) {
  HWND main = e2e::RunningMain();
  if (!main) return 2;
  if (mode == L"hover") {
    const POINT p = At(main, 42, 8);  // the maximize button
    SetCursorPos(p.x, p.y);
  } else if (mode == L"press") {
    const POINT p = At(main, 12, 14);  // the close button
    SetCursorPos(p.x, p.y);
    PostMessageW(main, WM_NCLBUTTONDOWN, HTOBJECT, MAKELPARAM(p.x, p.y));
  } else if (mode == L"release") {
    const POINT p = At(main, 300, 250);  // away from the button: nothing happens
    SetCursorPos(p.x, p.y);
    Sleep(200);
    PostMessageW(main, WM_LBUTTONUP, 0, MAKELPARAM(295, 221));
  }
  return 0;
}

int Inactive(int seconds) {
  TApplication app;
  TForm other(nullptr);
  other.SetText(L"Another window");
  other.SetBounds(20, 20, 220, 120);
  other.Show();
  SetForegroundWindow(other.Handle());
  Pump(seconds * 1000);
  return 0;
}

int Hint(int seconds) {
  TApplication app;
  auto* form = new TForm(nullptr);
  form->BorderStyle = TBorderStyle::bsSingle;
  form->SetText(L"PlatoraV1.0.090115 - object hints");
  form->SetBounds(60, 60, 0, 0);
  form->SetClientSize(360, 120);
  auto* frame = new vp::TvpVesperForm(form);
  demo::DefaultSkin skin(form->Handle());
  frame->SetSkinData(skin.Data());
  skin.Apply();
  form->SetClientSize(360, 120);
  auto* hint = new vp::TvpSkinHint(form);
  hint->SetSkinData(skin.Data());
  frame->SetSkinHint(hint);
  frame->ShowObjectHint = true;
  form->Show();
  SetForegroundWindow(form->Handle());
  Pump(300);
  const POINT p = At(form->Handle(), 12, 14);  // over the close button
  SetCursorPos(p.x, p.y);
  Pump(seconds * 1000);
  delete form;
  return 0;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  if (argc < 2) return 1;
  const std::wstring mode = argv[1];
  const int seconds = argc > 2 ? _wtoi(argv[2]) : 5;
  if (mode == L"inactive") return Inactive(seconds);
  if (mode == L"hint") return Hint(seconds);
  return Drive(mode);
}
