// The program's entry: application, main window, settings dialog, message loop;
// or, when started with arguments, the unattended send or preview.
#include <windows.h>

#include "app/win/Unit2.h"
#include "app/win/unattended.h"
#include "app/win/setup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // With arguments (a scheduler's send or preview) the program runs without
  // its windows and ends.
  if (const std::optional<int> code = unattended::RunIfAsked(GetCommandLineW())) return *code;
  TApplication app;
  Application->Initialize();
  Application->Title = L"Platora";
  Application->CreateForm(Form1);
  Application->CreateForm(Form3);
  Application->Run();
  return 0;
}
