#include "SkinTabOrder.h"

#include <QWidget>
#include <algorithm>

namespace {

bool TakesTab(const QWidget* widget) { return (widget->focusPolicy() & Qt::TabFocus) == Qt::TabFocus; }

// The direct children of `container` that belong to its window, in rows.
QList<QWidget*> ChildrenInRows(QWidget* container)
{
    QList<QWidget*> children;
    for (QWidget* child : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (!child->isWindow() && !child->isHidden()) children << child;
    std::stable_sort(children.begin(), children.end(), [](const QWidget* a, const QWidget* b) {
        return a->geometry().center().y() < b->geometry().center().y();
    });
    QList<QWidget*> ordered;
    for (qsizetype start = 0; start < children.size();) {
        const QRect first = children[start]->geometry();
        qsizetype end = start + 1;
        while (end < children.size() && children[end]->geometry().center().y() <= first.bottom()) ++end;
        QList<QWidget*> row = children.mid(start, end - start);
        std::stable_sort(row.begin(), row.end(),
                         [](const QWidget* a, const QWidget* b) { return a->x() < b->x(); });
        ordered << row;
        start = end;
    }
    return ordered;
}

void Collect(QWidget* container, QList<QWidget*>& out)
{
    for (QWidget* child : ChildrenInRows(container)) {
        if (TakesTab(child))
            out << child; // its inner parts are its own business
        else
            Collect(child, out);
    }
}

} // namespace

namespace SkinTabOrder {

QList<QWidget*> VisualOrder(QWidget* window)
{
    QList<QWidget*> order;
    Collect(window, order);
    return order;
}

QList<QWidget*> Apply(QWidget* window)
{
    const QList<QWidget*> order = VisualOrder(window);
    for (qsizetype i = 1; i < order.size(); ++i) QWidget::setTabOrder(order[i - 1], order[i]);
    return order;
}

} // namespace SkinTabOrder
