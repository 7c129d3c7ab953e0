#include "skinform/core/vpSystemMenu.h"

#include <algorithm>

namespace skinform {

SysMenuItem StandardItem(SysMenuCommand c, bool mdiChild) {
  switch (c) {
    case SysMenuCommand::Minimize:
      return {c, "VPF_MINITEM", "MI_MINCAPTION", "Mi&nimize", ""};
    case SysMenuCommand::Maximize:
      return {c, "VPF_MAXITEM", "MI_MAXCAPTION", "Ma&ximize", ""};
    case SysMenuCommand::Restore:
      return {c, "VPF_RESTORE", "MI_RESTORECAPTION", "&Restore", ""};
    case SysMenuCommand::RollUp:
      return {c, "VPF_ROLLUP", "MI_ROLLUPCAPTION", "Ro&llUp", ""};
    case SysMenuCommand::MinimizeToTray:
      return {c, "VPF_MINTOTRAY", "MI_MINTOTRAYCAPTION", "Minimize to &Tray", ""};
    case SysMenuCommand::Close:
      return {c, "VPF_CLOSE", "MI_CLOSECAPTION", "&Close", mdiChild ? "Ctrl+F4" : "Alt+F4"};
    case SysMenuCommand::Separator:
      break;
  }
  return {SysMenuCommand::Separator, "", "", "-", ""};
}

bool ItemOffered(SysMenuCommand c, const SysMenuState& s) {
  switch (c) {
    case SysMenuCommand::Minimize:
      return s.State != wsMinimized && s.CanMinimize;
    case SysMenuCommand::Maximize:
      return s.State != wsMaximized && s.CanMaximize;
    case SysMenuCommand::Restore:
      return s.State != wsNormal || s.RolledUp;
    case SysMenuCommand::RollUp:
      return !s.RolledUp && s.State != wsMinimized && s.CanRollUp && !(s.MDIChild && s.State == wsMaximized);
    case SysMenuCommand::MinimizeToTray:
      return s.CanMinimizeToTray;
    case SysMenuCommand::Close:
      return true;
    case SysMenuCommand::Separator:
      break;
  }
  return false;
}

std::vector<SysMenuItem> BuildStandardSystemMenu(const SysMenuState& s) {
  std::vector<SysMenuItem> items;
  for (SysMenuCommand c : {SysMenuCommand::Minimize, SysMenuCommand::Maximize, SysMenuCommand::Restore,
                           SysMenuCommand::RollUp, SysMenuCommand::MinimizeToTray}) {
    if (ItemOffered(c, s)) items.push_back(StandardItem(c, s.MDIChild));
  }
  if (!items.empty()) items.push_back(StandardItem(SysMenuCommand::Separator));
  items.push_back(StandardItem(SysMenuCommand::Close, s.MDIChild));
  return items;
}

bool IsStandardItemName(const std::string& name) {
  static const char* const names[] = {"VPF_MINITEM", "VPF_MAXITEM", "VPF_RESTORE",
                                      "VPF_ROLLUP",  "VPF_MINTOTRAY", "VPF_CLOSE"};
  return std::any_of(std::begin(names), std::end(names), [&](const char* n) { return name == n; });
}

std::vector<MergedEntry> MergeSystemMenu(const std::vector<std::string>& user, const SysMenuState& s) {
  std::vector<MergedEntry> out;
  for (int i = 0; i < static_cast<int>(user.size()); ++i) {
    if (!IsStandardItemName(user[static_cast<size_t>(i)])) out.push_back(MergedEntry{false, {}, i});
  }
  // Each goes to the top in turn, so the last inserted reads first.
  for (SysMenuCommand c : {SysMenuCommand::MinimizeToTray, SysMenuCommand::RollUp, SysMenuCommand::Maximize,
                           SysMenuCommand::Restore, SysMenuCommand::Minimize}) {
    if (ItemOffered(c, s)) out.insert(out.begin(), MergedEntry{true, StandardItem(c, s.MDIChild), -1});
  }
  out.push_back(MergedEntry{true, StandardItem(SysMenuCommand::Close, s.MDIChild), -1});
  return out;
}

SysMenuAction ActionFor(SysMenuCommand c, TWindowState state, bool rolledUp, bool rolledUpWhileMaximized,
                        bool alwaysMinimizeToTray) {
  switch (c) {
    case SysMenuCommand::Minimize:
      return alwaysMinimizeToTray ? SysMenuAction::MinimizeToTray : SysMenuAction::SetMinimized;
    case SysMenuCommand::Maximize:
      return SysMenuAction::SetMaximized;
    case SysMenuCommand::Restore:
      if (rolledUpWhileMaximized || (rolledUp && state == wsNormal)) return SysMenuAction::RollDown;
      return SysMenuAction::SetNormal;
    case SysMenuCommand::RollUp:
      return SysMenuAction::RollUp;
    case SysMenuCommand::MinimizeToTray:
      return SysMenuAction::MinimizeToTray;
    case SysMenuCommand::Close:
      return SysMenuAction::Close;
    case SysMenuCommand::Separator:
      break;
  }
  return SysMenuAction::None;
}

bool IsSystemMenuKey(unsigned key, bool shift, bool ctrl, bool alt) { return key == 32 && alt && !shift && !ctrl; }

}  // namespace skinform
