#include "CGComboListBoxAccessible.h"

#include "CGComboListBox.h"

#include <QWidget>

CGComboListBoxAccessible::CGComboListBoxAccessible(CGComboListBox* list) : SkinAccessibleWidget(list, QAccessible::List)
{
    SetPassThrough(list->parentWidget());
}

CGComboListBoxAccessible::~CGComboListBoxAccessible()
{
    for (QAccessible::Id id : m_items)
        if (id) QAccessible::deleteAccessibleInterface(id);
}

CGComboListBox* CGComboListBoxAccessible::List() const { return static_cast<CGComboListBox*>(widget()); }

int CGComboListBoxAccessible::childCount() const { return List()->Count(); }

QAccessibleInterface* CGComboListBoxAccessible::child(int index) const
{
    if (index < 0 || index >= childCount()) return nullptr;
    if (static_cast<size_t>(index) >= m_items.size()) m_items.resize(static_cast<size_t>(index) + 1, 0);
    QAccessible::Id& id = m_items[static_cast<size_t>(index)];
    if (!id)
        id = QAccessible::registerAccessibleInterface(
            new CGComboListItemAccessible(const_cast<CGComboListBoxAccessible*>(this), index));
    return QAccessible::accessibleInterface(id);
}

int CGComboListBoxAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    if (!child || child->parent() != this || child->role() != QAccessible::ListItem) return -1;
    return static_cast<const CGComboListItemAccessible*>(child)->Row();
}

bool CGComboListItemAccessible::isValid() const
{
    return m_pList->isValid() && m_nRow < m_pList->List()->Count();
}

QWindow* CGComboListItemAccessible::window() const { return m_pList->window(); }

QString CGComboListItemAccessible::text(QAccessible::Text kind) const
{
    return kind == QAccessible::Name && isValid() ? m_pList->List()->ItemText(m_nRow) : QString();
}

QRect CGComboListItemAccessible::rect() const
{
    const CGComboListBox* list = m_pList->List();
    const int top = (m_nRow - list->TopIndex()) * list->ItemHeight();
    return QRect(list->mapToGlobal(QPoint(0, top)), QSize(list->width(), list->ItemHeight()));
}

QAccessible::State CGComboListItemAccessible::state() const
{
    QAccessible::State state;
    const CGComboListBox* list = m_pList->List();
    state.selectable = true;
    state.focusable = true;
    state.selected = list->HotIndex() == m_nRow;
    state.focused = state.selected && list->hasFocus();
    const bool shown = m_nRow >= list->TopIndex() && m_nRow < list->TopIndex() + list->VisibleRows();
    state.invisible = !list->isVisible();
    state.offscreen = !shown;
    return state;
}
