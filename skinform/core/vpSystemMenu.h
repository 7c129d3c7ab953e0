// The frame's system menu as data: which window commands it offers for a
// window state, in which order, with which captions; how the standard items
// merge into a user's menu; and what choosing each one does.
#pragma once
#include <string>
#include <vector>

#include "skinform/core/vpFormBehaviour.h"

namespace skinform {

enum class SysMenuCommand { Minimize, Maximize, Restore, RollUp, MinimizeToTray, Close, Separator };

struct SysMenuItem {
  SysMenuCommand Command = SysMenuCommand::Separator;
  std::string Name;         // component name, "" for the separator
  std::string CaptionKey;   // resource-string key for the caption
  std::string Caption;      // the default caption
  std::string ShortCut;     // "Alt+F4" on the close item
};

// The window's state as the menu sees it.
struct SysMenuState {
  TWindowState State = wsNormal;
  bool RolledUp = false;
  bool CanMinimize = true;        // biMinimize
  bool CanMaximize = true;        // biMaximize
  bool CanRollUp = true;          // biRollUp
  bool CanMinimizeToTray = false; // biMinimizeToTray
  bool MDIChild = false;
};

// The item for a command, as the table of the standard menu gives it.
SysMenuItem StandardItem(SysMenuCommand c, bool mdiChild = false);
bool ItemOffered(SysMenuCommand c, const SysMenuState& s);

// The standard menu: minimize, maximize, restore, roll-up, minimize to tray
// (each when it applies), a separator when any of them is there, close.
std::vector<SysMenuItem> BuildStandardSystemMenu(const SysMenuState& s);

// Whether a user item's name is one of the standard ones.
bool IsStandardItemName(const std::string& name);
// A user's menu with the standard items taken out and put back for the
// state: minimize, restore, maximize, roll-up, minimize to tray above the
// user's items, close at the end, no separator. `user` holds the names of
// the user's items; the result gives, for each entry, either a standard item
// or the index of a user item (Command Separator and Name "#<index>").
struct MergedEntry {
  bool Standard = false;
  SysMenuItem Item;  // when Standard
  int UserIndex = -1;
};
std::vector<MergedEntry> MergeSystemMenu(const std::vector<std::string>& user, const SysMenuState& s);

// What choosing a standard item does to the window.
enum class SysMenuAction {
  MinimizeToTray,
  SetMinimized,
  SetMaximized,
  RollDown,      // SetRollUpState(false)
  SetNormal,     // SetWindowState(wsNormal)
  RollUp,
  Close,
  None,
};
SysMenuAction ActionFor(SysMenuCommand c, TWindowState state, bool rolledUp, bool rolledUpWhileMaximized,
                        bool alwaysMinimizeToTray);

// Alt+Space: exactly Alt held, virtual key 32.
bool IsSystemMenuKey(unsigned key, bool shift, bool ctrl, bool alt);

}  // namespace skinform
