#include "PaneCycle.h"

#include "SkinTabOrder.h"

#include <QApplication>
#include <QShortcut>
#include <QWidget>

PaneCycle::PaneCycle(QWidget* window, const QList<QWidget*>& panes) : QObject(window), m_pWindow(window)
{
    for (QWidget* pane : panes) m_panes << pane;
    m_lastFocus.resize(m_panes.size());
    connect(new QShortcut(QKeySequence(Qt::Key_F6), window), &QShortcut::activated, this, [this] { Move(1); });
    connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F6), window), &QShortcut::activated, this,
            [this] { Move(-1); });
    connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { OnFocusChanged(now); });
}

int PaneCycle::PaneOf(const QWidget* widget) const
{
    // The innermost pane holding the widget.
    for (const QWidget* w = widget; w && w != m_pWindow; w = w->parentWidget()) {
        const qsizetype index = m_panes.indexOf(const_cast<QWidget*>(w));
        if (index >= 0) return int(index);
    }
    return -1;
}

int PaneCycle::CurrentPane() const { return PaneOf(m_pWindow->focusWidget()); }

bool PaneCycle::CanTakeFocus(const QWidget* widget, int pane) const
{
    return widget && widget->isEnabled() && widget->isVisibleTo(m_pWindow) && PaneOf(widget) == pane &&
           (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus;
}

QWidget* PaneCycle::EntryOf(int pane) const
{
    QWidget* paneWidget = m_panes[pane];
    if (!paneWidget || !paneWidget->isVisibleTo(m_pWindow)) return nullptr;
    if (CanTakeFocus(m_lastFocus[pane], pane)) return m_lastFocus[pane];
    if (CanTakeFocus(paneWidget, pane)) return paneWidget;
    for (QWidget* control : SkinTabOrder::VisualOrder(paneWidget))
        if (CanTakeFocus(control, pane)) return control;
    return nullptr;
}

void PaneCycle::Move(int step)
{
    const int count = int(m_panes.size());
    const int current = CurrentPane();
    // From outside every pane, F6 starts at the first and Shift+F6 at the last.
    const int from = current >= 0 ? current : (step > 0 ? -1 : 0);
    for (int i = 1; i <= count; ++i) {
        const int pane = ((from + step * i) % count + count) % count;
        if (QWidget* entry = EntryOf(pane)) {
            entry->setFocus(Qt::ShortcutFocusReason);
            return;
        }
    }
}

void PaneCycle::OnFocusChanged(QWidget* now)
{
    if (!now || now->window() != m_pWindow) return;
    const int pane = PaneOf(now);
    if (pane >= 0) m_lastFocus[pane] = now;
}
