#include "CApProgressCtrlAccessible.h"

#include "CApProgressCtrl.h"

CApProgressCtrlAccessible::CApProgressCtrlAccessible(CApProgressCtrl* bar)
    : SkinAccessibleWidget(bar, QAccessible::ProgressBar)
{
}

CApProgressCtrl* CApProgressCtrlAccessible::Bar() const { return static_cast<CApProgressCtrl*>(widget()); }

void* CApProgressCtrlAccessible::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface) return static_cast<QAccessibleValueInterface*>(this);
    return SkinAccessibleWidget::interface_cast(type);
}

QString CApProgressCtrlAccessible::text(QAccessible::Text kind) const
{
    // QProgressBar formats the percentage even while it draws no text.
    if (kind == QAccessible::Value) return Bar()->text();
    return SkinAccessibleWidget::text(kind);
}

QVariant CApProgressCtrlAccessible::currentValue() const { return Bar()->value(); }

QVariant CApProgressCtrlAccessible::maximumValue() const { return Bar()->maximum(); }

QVariant CApProgressCtrlAccessible::minimumValue() const { return Bar()->minimum(); }
