#include "CGComboBoxAccessible.h"

#include "CGComboBox.h"
#include "CGComboListBox.h"
#include "CGListBoxContainer.h"

CGComboBoxAccessible::CGComboBoxAccessible(CGComboBox* combo) : SkinAccessibleWidget(combo, QAccessible::ComboBox) {}

CGComboBox* CGComboBoxAccessible::Combo() const { return static_cast<CGComboBox*>(widget()); }

bool CGComboBoxAccessible::IsOpen() const { return Combo()->Popup() && Combo()->Popup()->isVisible(); }

QString CGComboBoxAccessible::text(QAccessible::Text kind) const
{
    if (kind == QAccessible::Value) return Combo()->currentText();
    return SkinAccessibleWidget::text(kind);
}

QAccessible::State CGComboBoxAccessible::state() const
{
    QAccessible::State state = SkinAccessibleWidget::state();
    state.expandable = true;
    state.expanded = IsOpen();
    state.collapsed = !IsOpen();
    state.hasPopup = true;
    return state;
}

int CGComboBoxAccessible::childCount() const { return Combo()->Popup() ? 1 : 0; }

QAccessibleInterface* CGComboBoxAccessible::child(int index) const
{
    return index == 0 && Combo()->Popup() ? QAccessible::queryAccessibleInterface(Combo()->Popup()->List()) : nullptr;
}

int CGComboBoxAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    return child && Combo()->Popup() && child->object() == Combo()->Popup()->List() ? 0 : -1;
}

QStringList CGComboBoxAccessible::actionNames() const
{
    QStringList names;
    if (Combo()->isEnabled()) names << showMenuAction();
    return names + SkinAccessibleWidget::actionNames();
}

void CGComboBoxAccessible::doAction(const QString& actionName)
{
    if (actionName != showMenuAction()) {
        SkinAccessibleWidget::doAction(actionName);
        return;
    }
    if (IsOpen())
        Combo()->hidePopup();
    else
        Combo()->showPopup();
}
