// The Win32 side of the skin data: delivering the skin messages to real
// windows, and the default skin linked into the executable.
#pragma once
#include <windows.h>

#include <cstdint>
#include <vector>

#include "skin/core/vpSkinData.h"

namespace vp {

// Sends each skin message (SendMessageW, wParam = the skin data, lParam =
// 1000) to the owner form's window first, then to the window of every other
// form of the application, in the application's order; a form whose window
// does not exist yet gets it made. Windows that are not forms (helper
// windows of menus and popups) are not told.
class TvpWinSkinMessageSink : public SkinMessageSink {
 public:
  explicit TvpWinSkinMessageSink(HWND owner = nullptr) : owner_(owner) {}
  void SetOwner(HWND owner) { owner_ = owner; }
  HWND Owner() const { return owner_; }

  void Broadcast(unsigned msg, const TvpSkinData* sender) override;

 private:
  HWND owner_;
};

// The packed default skin linked in as the RCDATA resource "DEFAULTSKIN" of
// the executable (empty when there is none).
std::vector<uint8_t> LoadDefaultSkinResource();

// Puts the embedded default skin into `stored`; false when there is none.
bool LoadDefaultSkin(TvpCompressedStoredSkin& stored);

}  // namespace vp
