#include "CGScrollCheckBoxAccessible.h"

#include "CGButton.h"
#include "CGScrollBar.h"
#include "CGScrollCheckBox.h"

CGScrollCheckBoxAccessible::CGScrollCheckBoxAccessible(CGScrollCheckBox* list)
    : SkinAccessibleWidget(list, QAccessible::List)
{
}

QList<QWidget*> CGScrollCheckBoxAccessible::Children() const
{
    const auto* list = static_cast<const CGScrollCheckBox*>(widget());
    QList<QWidget*> children;
    for (int row = 0; row < list->GetRowCount(); ++row) {
        children << list->CheckButton(row);
        if (CGButton* remove = list->DeleteButton(row)) children << remove;
    }
    if (!list->ScrollBar()->isHidden()) children << list->ScrollBar();
    return children;
}

int CGScrollCheckBoxAccessible::childCount() const { return static_cast<int>(Children().size()); }

QAccessibleInterface* CGScrollCheckBoxAccessible::child(int index) const
{
    const QList<QWidget*> children = Children();
    return index >= 0 && index < children.size() ? QAccessible::queryAccessibleInterface(children[index]) : nullptr;
}

int CGScrollCheckBoxAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child ? static_cast<int>(Children().indexOf(qobject_cast<QWidget*>(child->object()))) : -1;
}
