// Hint windows: the small top-most windows that show a control's or an
// object's hint text, and what the application keeps about them (the class
// of window it shows hints in, whether it shows them, the pauses, and the
// event that may change a hint before it shows).
#pragma once
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "ui/win/controls.h"

// A borderless-capable popup that never takes the focus; descendants change
// its look by overriding Paint, its sizing by CalcHintRect and its showing by
// ActivateHint.
class THintWindow : public TWinControl {
 public:
  PLATORA_CLASS_NAME(THintWindow)
  explicit THintWindow(TComponent* AOwner);
  ~THintWindow() override;

  // Shows `hint` at rect's place, sized to the text, without activating.
  virtual void ActivateHint(const RECT& rect, const std::wstring& hint);
  // The size the text needs, as a rectangle at (0, 0).
  virtual RECT CalcHintRect(int maxWidth, const std::wstring& hint);
  // Hides the window (it stays created for the next hint).
  void ReleaseHandle();
  TCanvas& Canvas() { return canvas_; }

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  bool WantsOwnClass() const override { return true; }
  // Draws the window's content on Canvas() (its DC is set while painting).
  virtual void Paint();

 private:
  TCanvas canvas_;
};

// What OnShowHint may change before a hint shows.
struct THintInfo {
  TControl* HintControl = nullptr;
  POINT CursorPos{};
  POINT HintPos{};  // screen position of the hint's top-left
  int HintMaxWidth = 0;
  TColor HintColor = clNone;
  std::wstring HintStr;
};
using TShowHintEvent = std::function<void(std::wstring& hintStr, bool& canShow, THintInfo& hintInfo)>;
// Creates the application's hint window (owned by the given component).
using THintWindowClass = std::function<THintWindow*(TComponent* owner)>;

// The application's hint settings and its one hint window, which it owns.
class TApplicationHints {
 public:
  TApplicationHints() = default;
  ~TApplicationHints();
  TApplicationHints(const TApplicationHints&) = delete;
  TApplicationHints& operator=(const TApplicationHints&) = delete;

  // Changing the class takes effect the next time ShowHint is switched on.
  THintWindowClass HintWindowClass;
  bool ShowHint() const { return showHint_; }
  // On: builds a hint window of the current class; off: frees it. On by
  // default; the window is then built when the first hint shows.
  void SetShowHint(bool v);
  int HintPause = 500;
  int HintHidePause = 2500;
  int HintShortPause = 50;
  TShowHintEvent OnShowHint;
  THintWindow* HintWindow() const { return window_.get(); }

  // Shows `text` for the pointer at `cursorPos`, through OnShowHint, below
  // the pointer. Returns whether a hint was shown.
  bool ActivateHint(POINT cursorPos, const std::wstring& text, TControl* control = nullptr);
  void CancelHint();

 private:
  bool showHint_ = true;
  std::unique_ptr<THintWindow> window_;
};

// The application's hints: one set for the run, made on first use.
TApplicationHints& ApplicationHints();
