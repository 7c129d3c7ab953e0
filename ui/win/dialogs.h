// The platform's common dialogs and window timers as components.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include "ui/win/controls.h"

class TCommonDialog : public TComponent {
 public:
  using TComponent::TComponent;
  virtual bool Execute() = 0;

 protected:
  HWND OwnerWindow();
};

// The standard font dialog for screen fonts, with the effects section.
class TFontDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  TFont& Font() { return font_; }
  bool Execute() override;

 private:
  TFont font_;
};

class TOpenDialog : public TCommonDialog {
 public:
  using TCommonDialog::TCommonDialog;
  std::wstring Filter;      // "description|pattern|description|pattern"
  std::wstring DefaultExt;  // without the dot
  std::wstring InitialDir;
  std::wstring FileName;
  std::wstring Title;
  bool Execute() override;

 protected:
  virtual bool Run(OPENFILENAMEW& ofn) { return GetOpenFileNameW(&ofn) != 0; }
  virtual DWORD Flags() { return OFN_HIDEREADONLY | OFN_ENABLESIZING | OFN_EXPLORER | OFN_NOCHANGEDIR; }
};

class TSaveDialog : public TOpenDialog {
 public:
  using TOpenDialog::TOpenDialog;

 protected:
  bool Run(OPENFILENAMEW& ofn) override { return GetSaveFileNameW(&ofn) != 0; }
};

class TTimer : public TComponent {
 public:
  explicit TTimer(TComponent* AOwner);
  ~TTimer() override;
  unsigned Interval() const { return interval_; }
  void SetInterval(unsigned ms);
  bool Enabled() const { return enabled_; }
  void SetEnabled(bool e);
  TNotifyEvent OnTimer;

 private:
  void Update();
  static LRESULT CALLBACK WndProc(HWND h, UINT msg, WPARAM w, LPARAM l);
  HWND window_ = nullptr;
  unsigned interval_ = 1000;
  bool enabled_ = true;
};

// The folder of the running executable, with a trailing backslash.
std::wstring ExeFolder();
