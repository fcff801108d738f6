// SkinAccessibleWidget: the accessible interface of a custom-drawn control.
// It answers with the role given, and a name taken from the control's
// accessible name (or window title, or buddy label), else its visible text,
// else its tooltip;
// focus, disabled and visibility states come from the widget. Subclasses add
// what their control knows: a checked state, children, actions.
//
// Widgets that only group a control's parts (a scrolled surface, say) can be
// left out of the tree with SetPassThrough: the parts then report the
// control itself as their parent.
#pragma once
#include <QAccessibleWidget>

class SkinAccessibleWidget : public QAccessibleWidget {
public:
    SkinAccessibleWidget(QWidget* widget, QAccessible::Role role);

    QString text(QAccessible::Text kind) const override;
    QAccessibleInterface* parent() const override;

    static void SetPassThrough(QWidget* widget);
    static bool IsPassThrough(const QWidget* widget);

protected:
    // The text the control shows: its "text" property unless overridden.
    virtual QString VisibleText() const;
};
