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
// The look shared by every menu of the program.
QString StyleSheet();

} // namespace SkinMenu
