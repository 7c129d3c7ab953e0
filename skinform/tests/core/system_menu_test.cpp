#include <gtest/gtest.h>

#include "skinform/core/vpSystemMenu.h"

using namespace skinform;

namespace {

std::vector<std::string> Captions(const std::vector<SysMenuItem>& items) {
  std::vector<std::string> out;
  for (const auto& i : items) out.push_back(i.Caption);
  return out;
}

using Strings = std::vector<std::string>;

}  // namespace

TEST(SystemMenu, MainWindowOffersWhatFitsEachState) {
  SysMenuState s;
  EXPECT_EQ(Captions(BuildStandardSystemMenu(s)), (Strings{"Mi&nimize", "Ma&ximize", "Ro&llUp", "-", "&Close"}));
  s.State = wsMaximized;
  EXPECT_EQ(Captions(BuildStandardSystemMenu(s)), (Strings{"Mi&nimize", "&Restore", "Ro&llUp", "-", "&Close"}));
  s.State = wsNormal;
  s.RolledUp = true;
  EXPECT_EQ(Captions(BuildStandardSystemMenu(s)), (Strings{"Mi&nimize", "Ma&ximize", "&Restore", "-", "&Close"}));
  s.RolledUp = false;
  s.State = wsMinimized;
  EXPECT_EQ(Captions(BuildStandardSystemMenu(s)), (Strings{"Ma&ximize", "&Restore", "-", "&Close"}));
}

TEST(SystemMenu, ItemsCarryTheirNamesKeysAndShortcut) {
  const auto items = BuildStandardSystemMenu(SysMenuState{});
  EXPECT_EQ(items[0].Name, "VPF_MINITEM");
  EXPECT_EQ(items[0].CaptionKey, "MI_MINCAPTION");
  EXPECT_EQ(items[2].Name, "VPF_ROLLUP");
  EXPECT_EQ(items[3].Command, SysMenuCommand::Separator);
  EXPECT_EQ(items[4].Name, "VPF_CLOSE");
  EXPECT_EQ(items[4].ShortCut, "Alt+F4");
  EXPECT_EQ(StandardItem(SysMenuCommand::Close, true).ShortCut, "Ctrl+F4");
}

TEST(SystemMenu, BorderIconsAndTray) {
  SysMenuState s;
  s.CanMinimize = s.CanMaximize = s.CanRollUp = false;
  // Nothing but close: no separator above it.
  EXPECT_EQ(Captions(BuildStandardSystemMenu(s)), (Strings{"&Close"}));
  s.CanMinimizeToTray = true;
  EXPECT_EQ(Captions(BuildStandardSystemMenu(s)), (Strings{"Minimize to &Tray", "-", "&Close"}));
  // A maximized MDI child offers no roll-up.
  SysMenuState c;
  c.MDIChild = true;
  c.State = wsMaximized;
  EXPECT_FALSE(ItemOffered(SysMenuCommand::RollUp, c));
}

TEST(SystemMenu, MergeReplacesStandardItemsAroundTheUsersOwn) {
  SysMenuState s;
  const auto merged = MergeSystemMenu({"About", "VPF_CLOSE", "Help", "VPF_MINITEM"}, s);
  Strings got;
  for (const auto& e : merged) got.push_back(e.Standard ? e.Item.Name : "user" + std::to_string(e.UserIndex));
  EXPECT_EQ(got, (Strings{"VPF_MINITEM", "VPF_MAXITEM", "VPF_ROLLUP", "user0", "user2", "VPF_CLOSE"}));
  s.State = wsMaximized;
  s.CanMinimizeToTray = true;
  got.clear();
  for (const auto& e : MergeSystemMenu({}, s)) got.push_back(e.Item.Name);
  EXPECT_EQ(got, (Strings{"VPF_MINITEM", "VPF_RESTORE", "VPF_ROLLUP", "VPF_MINTOTRAY", "VPF_CLOSE"}));
}

TEST(SystemMenu, RestoreRollsDownWhenTheRollUpIsWhatItUndoes) {
  EXPECT_EQ(ActionFor(SysMenuCommand::Restore, wsNormal, true, false, false), SysMenuAction::RollDown);
  EXPECT_EQ(ActionFor(SysMenuCommand::Restore, wsMaximized, true, true, false), SysMenuAction::RollDown);
  EXPECT_EQ(ActionFor(SysMenuCommand::Restore, wsMaximized, true, false, false), SysMenuAction::SetNormal);
  EXPECT_EQ(ActionFor(SysMenuCommand::Restore, wsMaximized, false, false, false), SysMenuAction::SetNormal);
  EXPECT_EQ(ActionFor(SysMenuCommand::Minimize, wsNormal, false, false, true), SysMenuAction::MinimizeToTray);
  EXPECT_EQ(ActionFor(SysMenuCommand::Minimize, wsNormal, false, false, false), SysMenuAction::SetMinimized);
  EXPECT_EQ(ActionFor(SysMenuCommand::Close, wsNormal, false, false, false), SysMenuAction::Close);
}

TEST(SystemMenu, AltSpaceOnlyWithAltAlone) {
  EXPECT_TRUE(IsSystemMenuKey(32, false, false, true));
  EXPECT_FALSE(IsSystemMenuKey(32, true, false, true));
  EXPECT_FALSE(IsSystemMenuKey(32, false, true, true));
  EXPECT_FALSE(IsSystemMenuKey(32, false, false, false));
  EXPECT_FALSE(IsSystemMenuKey(13, false, false, true));
}
