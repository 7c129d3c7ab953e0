// Skinned hints. While a TvpSkinHint exists the application shows every hint
// in a TvpSkinHintWindow, drawn from the skin's hint window definition (or
// plainly without one). The skinned frame also shows its caption objects'
// hints through ShowDelayedHint / CancelHint.
#pragma once
#include <windows.h>

#include <memory>
#include <string>

#include "skin/core/vpSkinData.h"
#include "ui/win/controls.h"
#include "ui/win/dialogs.h"
#include "ui/win/hints.h"

namespace vp {

namespace popupgdi {
class Timer;
}
class TvpSkinHint;

class TvpSkinHintWindow : public THintWindow, private TvpFreeNotify, private TvpSkinChangeNotify {
 public:
  PLATORA_CLASS_NAME(TvpSkinHintWindow)
  explicit TvpSkinHintWindow(TComponent* AOwner);
  ~TvpSkinHintWindow() override;

  // Only Rect's top-left is used; the size comes from the text and skin.
  void ActivateHint(const RECT& Rect, const std::wstring& Text) override;

  // What the last activation found and set (for the frame and for tests).
  TvpSkinHint* SkinHint() const { return hint_; }
  TvpSkinData* SkinDataInUse() const { return skin_; }
  bool Layered() const { return layered_; }
  BYTE LastAlpha() const { return lastAlpha_; }
  // How many times the opacity was actually set.
  int AlphaSetCount() const { return alphaSets_; }
  RECT NewClientRect() const { return newClient_; }
  // The serving component: the main form's first active TvpSkinHint (or,
  // for a component's own window, that component while it is active).
  TvpSkinHint* FindServingHint() const;

 protected:
  void CreateParams(TCreateParams& p) override;
  void WndProc(TMessage& m) override;
  void Paint() override;

 private:
  struct Impl;
  // The skin in use is watched: the window points into its pictures.
  void UseSkin(TvpSkinData* sd);
  void Notification(TvpComponent* component) override;
  void SkinDataChanging(TvpSkinData* skin) override;
  void ForgetSkin();
  TvpSkinHint* hint_ = nullptr;
  TvpSkinData* skin_ = nullptr;
  bool layered_ = false;
  BYTE lastAlpha_ = 0;
  int alphaSets_ = 0;
  RECT newClient_{};
  std::unique_ptr<Impl> impl_;
};

class TvpSkinHint : public TComponent, private TvpFreeNotify {
 public:
  // Makes TvpSkinHintWindow the application's hint window class.
  explicit TvpSkinHint(TComponent* AOwner);
  ~TvpSkinHint() override;

  TvpSkinData* SkinData() const { return skinData_; }
  void SetSkinData(TvpSkinData* value);
  bool Active() const { return active_; }
  // On: every other active TvpSkinHint of the main form goes inactive and
  // the application's show-hint event comes here.
  void SetActive(bool value);
  bool AlphaBlend = false;
  BYTE AlphaBlendValue = 0;
  TFont& DefaultFont() { return defaultFont_; }
  bool UseSkinFont = true;
  TShowHintEvent OnShowHint;

  // Object hints: Text shows one hint pause from now below the pointer and
  // hides one hint hide pause later; CancelHint stops either step.
  void ShowDelayedHint(const std::wstring& Text);
  void CancelHint();
  // The component's own window for object hints.
  TvpSkinHintWindow* HintWindow();
  // An object hint waits to show (or, once shown, to hide).
  bool HintPending() const { return timer_ != nullptr; }

 private:
  void Notification(TvpComponent* component) override;
  void PointApplicationHintsHere();
  void ObjectHintTimer();
  TvpSkinData* skinData_ = nullptr;
  bool active_ = true;
  TFont defaultFont_;
  TvpSkinHintWindow* window_ = nullptr;
  std::unique_ptr<popupgdi::Timer> timer_;
  bool hintShown_ = false;
  std::wstring pendingText_;
};

// The pointer's visible height below its hot spot, from the current cursor's
// mask (the system cursor height when the mask cannot be read).
int CursorHeightBelowHotSpot();

}  // namespace vp
