// The main window's placement across runs: left, top, width, height of its
// normal (not maximised) rectangle and whether it is maximised, stored as
// five 4-byte binary values of the current user ("AlbWnd_PosX" ... "S"),
// in the desktop's logical pixels. Beside them "AlbWnd_Scale" keeps the
// screen's device pixel ratio (in percent) they were taken at, so that a
// start at another desktop scale knows the rectangle must be fitted again.
#pragma once
#include <QRect>
#include <optional>

class QWidget;

struct WindowPlacement {
    static constexpr int kDefaultWidth = 1024;
    static constexpr int kDefaultHeight = 668;

    QRect normal;
    bool maximised = false;
    int scalePercent = 0; // 0: not known (stored by an older version)

    // Nothing when any of the five values is missing.
    static std::optional<WindowPlacement> Read();
    // FALSE when a value could not be written.
    bool Write() const;
    // The placement of a window as it is now.
    static WindowPlacement Of(const QWidget& window);
    // Applies the stored placement, or the first start's size (DefaultSize)
    // at the window's position when none is stored; the maximised flag wins over the rectangle. A
    // rectangle stored at another desktop scale is fitted to the screen it
    // lands on (FitTo).
    static void Restore(QWidget& window);
    // `wanted` made to fit `available` (a screen's free area, in the same
    // logical pixels): no larger than it, yet never below `minimum`, and
    // moved inside it. A placement stored at another scale of the desktop
    // (the same window is larger in logical pixels at 100 % than at 200 %)
    // or on a screen that is gone thus still opens whole and reachable.
    static QRect FitTo(const QRect& wanted, const QRect& available, const QSize& minimum);
    // The first start's size: 1024 x 668 grown by the layout scale as far as
    // the screen's free area allows, never smaller than 1024 x 668. At 1.5
    // the panes and texts grow, and the list keeps room for its columns.
    static QSize DefaultSize(double layoutScale, const QRect& available);
};
