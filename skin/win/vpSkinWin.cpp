#include "vpSkinWin.h"

namespace vp {

namespace {

struct EnumCtx {
  HWND owner;
  const std::function<bool(HWND)>* filter;
  std::vector<HWND> forms;
};

BOOL CALLBACK CollectForm(HWND hwnd, LPARAM p) {
  auto* c = reinterpret_cast<EnumCtx*>(p);
  if (hwnd != c->owner && TvpWinSkinMessageSink::IsProgramWindow(hwnd) && (!*c->filter || (*c->filter)(hwnd)))
    c->forms.push_back(hwnd);
  return TRUE;
}

}  // namespace

bool TvpWinSkinMessageSink::IsProgramWindow(HWND hwnd) {
  return reinterpret_cast<HMODULE>(GetClassLongPtrW(hwnd, GCLP_HMODULE)) == GetModuleHandleW(nullptr);
}

void TvpWinSkinMessageSink::Broadcast(unsigned msg, const TvpSkinData* sender) {
  const WPARAM wParam = reinterpret_cast<WPARAM>(sender);
  const LPARAM lParam = kSkinMessageLParam;
  if (owner_ && IsWindow(owner_)) SendMessageW(owner_, msg, wParam, lParam);

  // Collect first: a receiver may create or destroy windows while handling.
  EnumCtx ctx{owner_, &isForm_, {}};
  EnumThreadWindows(GetCurrentThreadId(), CollectForm, reinterpret_cast<LPARAM>(&ctx));
  for (HWND hwnd : ctx.forms)
    if (IsWindow(hwnd)) SendMessageW(hwnd, msg, wParam, lParam);
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
