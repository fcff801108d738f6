#include "SkinAccessibleWidget.h"

#include "SkinAccessible.h"

#include <QVariant>
#include <QWidget>

namespace {

constexpr const char* kPassThrough = "skinAccessiblePassThrough";

} // namespace

SkinAccessibleWidget::SkinAccessibleWidget(QWidget* widget, QAccessible::Role role) : QAccessibleWidget(widget, role)
{
}

QString SkinAccessibleWidget::VisibleText() const { return widget()->property("text").toString(); }

QString SkinAccessibleWidget::text(QAccessible::Text kind) const
{
    // Qt would repeat the tooltip as the description; here it is the name.
    if (kind == QAccessible::Description) return widget()->accessibleDescription();
    if (const QKeySequence keys = SkinAccessible::ShortcutOf(widget()); kind == QAccessible::Accelerator && !keys.isEmpty())
        return keys.toString(QKeySequence::NativeText);
    if (kind != QAccessible::Name) return QAccessibleWidget::text(kind);
    // The accessible name, the window title or the text of a buddy label.
    QString name = QAccessibleWidget::text(kind);
    if (name.isEmpty()) name = VisibleText();
    if (name.isEmpty()) name = widget()->toolTip();
    return name;
}

QAccessibleInterface* SkinAccessibleWidget::parent() const
{
    QWidget* above = widget()->parentWidget();
    while (above && IsPassThrough(above)) above = above->parentWidget();
    if (!above || widget()->isWindow()) return QAccessibleWidget::parent();
    return QAccessible::queryAccessibleInterface(above);
}

void SkinAccessibleWidget::SetPassThrough(QWidget* widget) { widget->setProperty(kPassThrough, true); }

bool SkinAccessibleWidget::IsPassThrough(const QWidget* widget) { return widget->property(kPassThrough).toBool(); }
