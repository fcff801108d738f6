// MenuBarKeyboard: the main window's menu bar from the keyboard, as on the
// desktop the program comes from. Pressing and releasing Alt highlights the
// first menu (the arrows move, Enter or Down opens, a menu's underlined
// letter opens it); Alt with a menu's letter opens that menu at once; F10
// opens the first menu. The letters are the "&" markers of the menu
// resources. Qt's menu bar does all of this once its style says that Alt
// navigates menus, which the Linux styles do not say: a proxy style on the
// bar alone says it, and changes nothing of how the bar looks.
#pragma once

class QMenuBar;
class QWidget;

namespace MenuBarKeyboard {

// For `bar` in `window` (F10 works anywhere in the window).
void Enable(QMenuBar* bar, QWidget* window);

} // namespace MenuBarKeyboard
