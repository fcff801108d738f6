// SkinTabOrder: Tab and Shift+Tab walk a window's controls in the order the
// eye reads them, whatever order the code created them in: rows from top to
// bottom, and within a row from left to right. Two controls share a row when
// the centre of the later one lies within the height of the row's first.
// A container's own controls are walked where the container stands, so the
// rows of a scrolling list stay together however far the list is scrolled.
#pragma once
#include <QList>

class QWidget;

namespace SkinTabOrder {

// The controls of `window` that take the focus by Tab, in visual order.
QList<QWidget*> VisualOrder(QWidget* window);
// Chains them in that order (Tab after the last goes round to the first)
// and returns them.
QList<QWidget*> Apply(QWidget* window);

} // namespace SkinTabOrder
