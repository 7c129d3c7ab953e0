#include "vpSkinWin.h"

#include <algorithm>

#include "ui/win/controls.h"

namespace vp {

void TvpWinSkinMessageSink::Broadcast(unsigned msg, const TvpSkinData* sender) {
  const WPARAM wParam = reinterpret_cast<WPARAM>(sender);
  const LPARAM lParam = kSkinMessageLParam;
  if (owner_ && IsWindow(owner_)) SendMessageW(owner_, msg, wParam, lParam);
  if (!Application) return;

  // A copy: a receiver may create or free forms while handling. A form freed
  // meanwhile is no longer in the application's list and is skipped.
  const std::vector<TForm*> forms = Application->Forms();
  for (TForm* form : forms) {
    const auto& live = Application->Forms();
    if (std::find(live.begin(), live.end(), form) == live.end()) continue;
    if (owner_ && form->HandleAllocated() && form->Handle() == owner_) continue;
    SendMessageW(form->Handle(), msg, wParam, lParam);
  }
}

std::vector<uint8_t> LoadDefaultSkinResource() {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC res = FindResourceW(module, L"DEFAULTSKIN", MAKEINTRESOURCEW(10) /* RT_RCDATA */);
  if (!res) return {};
  HGLOBAL handle = LoadResource(module, res);
  const DWORD size = SizeofResource(module, res);
  const auto* bytes = handle ? static_cast<const uint8_t*>(LockResource(handle)) : nullptr;
  if (!bytes || size == 0) return {};
  return std::vector<uint8_t>(bytes, bytes + size);
}

bool LoadDefaultSkin(TvpCompressedStoredSkin& stored) {
  const std::vector<uint8_t> bytes = LoadDefaultSkinResource();
  if (bytes.empty()) return false;
  stored.SetCompressedData(bytes.data(), bytes.size());
  return true;
}

}  // namespace vp
