// An object that takes commands by identifier (menu items, command bar
// buttons) and may say whether each is available.
#pragma once
#include "wintypes.h"

class CCmdTarget {
public:
    virtual ~CCmdTarget() = default;
    // Carries out the command; TRUE when it was handled.
    virtual BOOL OnCmdMsg(UINT id) = 0;
    // TRUE when the target decides the command's state, given in *enabled;
    // FALSE leaves the control as it is.
    virtual BOOL OnUpdateCmdUI(UINT id, BOOL* enabled) { return FALSE; }
};
