#include "CGXTFrameWndAccessible.h"

#include "CaptionButtonAccessible.h"

CGXTFrameWndAccessible::CGXTFrameWndAccessible(CGXTFrameWnd* frame) : QAccessibleWidget(frame, QAccessible::Window)
{
    // Interfaces without an object live in Qt's cache until deleted here.
    for (size_t i = 0; i < m_buttonIds.size(); ++i)
        m_buttonIds[i] = QAccessible::registerAccessibleInterface(new CaptionButtonAccessible(frame, kButtons[i]));
}

CGXTFrameWndAccessible::~CGXTFrameWndAccessible()
{
    for (QAccessible::Id id : m_buttonIds) QAccessible::deleteAccessibleInterface(id);
}

int CGXTFrameWndAccessible::childCount() const { return QAccessibleWidget::childCount() + int(m_buttonIds.size()); }

QAccessibleInterface* CGXTFrameWndAccessible::child(int index) const
{
    const int widgets = QAccessibleWidget::childCount();
    if (index < widgets) return QAccessibleWidget::child(index);
    const int button = index - widgets;
    return button < int(m_buttonIds.size()) ? QAccessible::accessibleInterface(m_buttonIds[size_t(button)]) : nullptr;
}

int CGXTFrameWndAccessible::indexOfChild(const QAccessibleInterface* child) const
{
    for (size_t i = 0; i < m_buttonIds.size(); ++i)
        if (QAccessible::accessibleInterface(m_buttonIds[i]) == child) return QAccessibleWidget::childCount() + int(i);
    return QAccessibleWidget::indexOfChild(child);
}
