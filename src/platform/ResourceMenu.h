// A menu resource as the resource module holds it: a tree of commands,
// separators and submenus, in file order. Widgets are built from it by the
// program (a menu bar from menu 128, context menus from popup 0 of 3240/3264).
#pragma once
#include "wintypes.h"

#include <QString>
#include <vector>

struct ResourceMenuItem {
    enum class Kind { Command, Separator, Popup };

    Kind kind = Kind::Command;
    QString text; // with "&" mnemonics and an optional "\t" shortcut part
    UINT id = 0; // command id (Command only)
    std::vector<ResourceMenuItem> children; // Popup only

    bool operator==(const ResourceMenuItem&) const = default;
};

struct ResourceMenu {
    UINT id = 0;
    std::vector<ResourceMenuItem> items;

    // The submenu at a top-level position ("popup 0 of menu 3240"); null when
    // that position is missing or is not a submenu.
    const ResourceMenuItem* Popup(size_t index) const;
};

// A copy of items without any command of that id (searched through the
// submenus too), dropping separators that the removal leaves at either end or
// next to each other.
std::vector<ResourceMenuItem> WithoutCommand(const std::vector<ResourceMenuItem>& items, UINT id);
