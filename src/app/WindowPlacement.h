// The main window's placement across runs: left, top, width, height of its
// normal (not maximised) rectangle and whether it is maximised, stored as
// five 4-byte binary values of the current user ("AlbWnd_PosX" ... "S").
#pragma once
#include <QRect>
#include <optional>

class QWidget;

struct WindowPlacement {
    static constexpr int kDefaultWidth = 1024;
    static constexpr int kDefaultHeight = 668;

    QRect normal;
    bool maximised = false;

    // Nothing when any of the five values is missing.
    static std::optional<WindowPlacement> Read();
    // FALSE when a value could not be written.
    bool Write() const;
    // The placement of a window as it is now.
    static WindowPlacement Of(const QWidget& window);
    // Applies the stored placement, or 1024 x 668 at the window's position
    // when none is stored; the maximised flag wins over the rectangle.
    static void Restore(QWidget& window);
};
