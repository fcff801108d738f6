// CommandKeys: the keyboard shortcuts of the command bar's commands, the
// keys desktop file managers use for the same things: Ctrl+I imports a
// disc, Alt+Left goes back, Ctrl+1 shows details and Ctrl+2 small icons.
// A shortcut works wherever the keyboard is in the main window and does
// what a click on the command's button does; each button's tooltip names
// its keys, and screen readers hear them as the button's shortcut.
#pragma once
#include "wintypes.h"

#include <QKeySequence>
#include <QString>

namespace CommandKeys {

// The keys of a command; empty when it has none.
QKeySequence ShortcutOf(UINT command);
// The command's tooltip (its string resource) with its keys, when it has any.
QString TooltipOf(UINT command);

} // namespace CommandKeys
