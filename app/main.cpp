// The program's entry: application, main window, settings dialog, message loop.
#include <windows.h>

#include "app/win/Unit2.h"
#include "app/win/setup.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  TApplication app;
  Application->Initialize();
  Application->Title = L"Platora";
  Application->CreateForm(Form1);
  Application->CreateForm(Form3);
  Application->Run();
  return 0;
}
