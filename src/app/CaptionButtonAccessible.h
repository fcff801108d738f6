// CaptionButtonAccessible: a caption button of the skinned frame as screen
// readers see it. The buttons are drawn, not widgets, so each is an
// interface of its own under the frame's: a push button named by its
// tooltip (close, maximise or restore, minimise) whose press action does
// what a click does.
#pragma once
#include "CGXTFrameWnd.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QPointer>

class CaptionButtonAccessible : public QAccessibleInterface, public QAccessibleActionInterface {
public:
    CaptionButtonAccessible(CGXTFrameWnd* frame, CGXTFrameWnd::HitCode button);

    bool isValid() const override { return m_pFrame; }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override;
    QAccessibleInterface* parent() const override;
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QString text(QAccessible::Text kind) const override;
    void setText(QAccessible::Text, const QString&) override {}
    QRect rect() const override;
    QAccessible::Role role() const override { return QAccessible::Button; }
    QAccessible::State state() const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString&) const override { return {}; }

    CGXTFrameWnd::HitCode Button() const { return m_nButton; }

private:
    QPointer<CGXTFrameWnd> m_pFrame;
    CGXTFrameWnd::HitCode m_nButton;
};
