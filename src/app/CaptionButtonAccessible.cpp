#include "CaptionButtonAccessible.h"

#include "StringResources.h"

CaptionButtonAccessible::CaptionButtonAccessible(CGXTFrameWnd* frame, CGXTFrameWnd::HitCode button)
    : m_pFrame(frame), m_nButton(button)
{
}

QWindow* CaptionButtonAccessible::window() const { return m_pFrame ? m_pFrame->windowHandle() : nullptr; }

QAccessibleInterface* CaptionButtonAccessible::parent() const
{
    return m_pFrame ? QAccessible::queryAccessibleInterface(m_pFrame.data()) : nullptr;
}

QString CaptionButtonAccessible::text(QAccessible::Text kind) const
{
    if (kind != QAccessible::Name || !m_pFrame) return {};
    return LoadString(CGXTFrameWnd::TooltipIdOf(m_nButton, m_pFrame->isMaximized()));
}

QRect CaptionButtonAccessible::rect() const
{
    if (!m_pFrame) return {};
    const QRect place = m_pFrame->ButtonRect(m_nButton);
    return QRect(m_pFrame->mapToGlobal(place.topLeft()), place.size());
}

QAccessible::State CaptionButtonAccessible::state() const
{
    QAccessible::State state;
    if (!m_pFrame || !m_pFrame->isVisible()) state.invisible = true;
    if (m_pFrame && !m_pFrame->isEnabled()) state.disabled = true;
    return state;
}

void* CaptionButtonAccessible::interface_cast(QAccessible::InterfaceType type)
{
    return type == QAccessible::ActionInterface ? static_cast<QAccessibleActionInterface*>(this) : nullptr;
}

QStringList CaptionButtonAccessible::actionNames() const { return {pressAction()}; }

void CaptionButtonAccessible::doAction(const QString& actionName)
{
    if (m_pFrame && actionName == pressAction()) m_pFrame->ActOnButton(m_nButton);
}
