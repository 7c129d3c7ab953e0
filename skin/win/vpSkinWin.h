// The Win32 side of the skin data: delivering the skin messages to real
// windows, and the default skin linked into the executable.
#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <vector>

#include "skin/core/vpSkinData.h"

namespace vp {

// Sends each skin message (SendMessageW, wParam = the skin data, lParam =
// 1000) to the owner form's window first, then to every other top-level
// window of the calling thread that is a form of this program, in z-order.
// By default a "form of this program" is a window whose class was registered
// by this executable's module; SetFormFilter narrows that further.
class TvpWinSkinMessageSink : public SkinMessageSink {
 public:
  explicit TvpWinSkinMessageSink(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }
  void SetFormFilter(std::function<bool(HWND)> isForm) { isForm_ = std::move(isForm); }

  void Broadcast(unsigned msg, const TvpSkinData* sender) override;

  // True when hwnd's window class belongs to this executable's module.
  static bool IsProgramWindow(HWND hwnd);

 private:
  HWND owner_;
  std::function<bool(HWND)> isForm_;
};

// The packed default skin linked in as the RCDATA resource "DEFAULTSKIN" of
// the executable (empty when there is none).
std::vector<uint8_t> LoadDefaultSkinResource();

// Puts the embedded default skin into `stored`; false when there is none.
bool LoadDefaultSkin(TvpCompressedStoredSkin& stored);

}  // namespace vp
