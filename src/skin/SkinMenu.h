// Menus of the string-table module as widgets: the menu bar of the main
// window and the context menus of the lists. Choosing an item calls
// `onCommand` with its command id.
#pragma once
#include "ResourceMenu.h"

#include <functional>

class QMenu;
class QWidget;

namespace SkinMenu {

using CommandHandler = std::function<void(UINT id)>;

// Adds `items` to `menu` (submenus included).
void Fill(QMenu* menu, const std::vector<ResourceMenuItem>& items, const CommandHandler& onCommand);
using StateQuery = std::function<BOOL(UINT id, BOOL* enabled)>;
// Whenever `menu` opens, each command's item is enabled as `state` answers
// for it (an item whose command it does not decide keeps its state).
void FollowCommandStates(QMenu* menu, const StateQuery& state);
// The look shared by every menu of the program.
QString StyleSheet();

} // namespace SkinMenu
