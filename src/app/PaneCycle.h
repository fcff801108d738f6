// PaneCycle: F6 moves the keyboard to the next pane of a window and
// Shift+F6 to the previous one, round the cycle, as in desktop programs
// with panes. A pane gets the focus back on the control the user left it
// on, else on its first control in visual order; panes that are hidden or
// hold nothing that takes the keyboard are passed over. A pane may lie
// inside another (the search box inside the command bar): its controls
// then belong to the inner pane only.
#pragma once
#include <QList>
#include <QObject>
#include <QPointer>

class QWidget;

class PaneCycle : public QObject {
    Q_OBJECT
public:
    // The panes in cycle order; F6 and Shift+F6 work anywhere in `window`.
    PaneCycle(QWidget* window, const QList<QWidget*>& panes);

    // The pane that holds the keyboard focus, or -1.
    int CurrentPane() const;
    // Moves the focus `step` panes on (1 next, -1 previous).
    void Move(int step);

private:
    int PaneOf(const QWidget* widget) const;
    // Where the focus goes in a pane; null when nothing there takes it.
    QWidget* EntryOf(int pane) const;
    bool CanTakeFocus(const QWidget* widget, int pane) const;
    void OnFocusChanged(QWidget* now);

    QWidget* m_pWindow;
    QList<QPointer<QWidget>> m_panes;
    QList<QPointer<QWidget>> m_lastFocus;
};
