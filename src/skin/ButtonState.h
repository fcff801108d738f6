// The visual state of a button that leaves its mouse handling to Qt:
// 0 normal, 1 under the mouse, 2 held down, 3 disabled.
#pragma once
#include <QAbstractButton>

inline int ButtonVisualState(const QAbstractButton& button)
{
    if (!button.isEnabled()) return 3;
    if (button.isDown()) return 2;
    return button.underMouse() ? 1 : 0;
}
