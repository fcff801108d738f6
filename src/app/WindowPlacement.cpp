#include "WindowPlacement.h"

#include "IntReg.h"
#include "UiScale.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <algorithm>

namespace {

const WCHAR* const kKey = u"Software\\Quorvel\\Flintwell13";
const WCHAR* const kNames[] = {u"AlbWnd_PosX", u"AlbWnd_PosY", u"AlbWnd_PosW", u"AlbWnd_PosH", u"AlbWnd_PosS"};
const WCHAR* const kScaleName = u"AlbWnd_Scale";

// The screen under `rect`'s centre, else the primary screen (null without screens).
const QScreen* ScreenAround(const QRect& rect)
{
    const QScreen* screen = QGuiApplication::screenAt(rect.center());
    return screen ? screen : QGuiApplication::primaryScreen();
}

int ScalePercent(qreal ratio) { return qRound(ratio * 100); }

// Where [start, start + length) fits into [low, high): moved in, at `low`
// when it is longer.
int FitSpan(int start, int length, int low, int high) { return std::max(low, std::min(start, high - length)); }

} // namespace

std::optional<WindowPlacement> WindowPlacement::Read()
{
    int32_t values[5] = {};
    for (int i = 0; i < 5; ++i) {
        IntReg value(HKEY_CURRENT_USER, kKey, kNames[i]);
        if (!value.Read()) return std::nullopt;
        values[i] = value.Get();
    }
    IntReg scale(HKEY_CURRENT_USER, kKey, kScaleName);
    return WindowPlacement{QRect(values[0], values[1], values[2], values[3]), values[4] == 1,
                           scale.Read() ? scale.Get() : 0};
}

bool WindowPlacement::Write() const
{
    const int32_t values[5] = {normal.x(), normal.y(), normal.width(), normal.height(), maximised ? 1 : 0};
    bool written = true;
    for (int i = 0; i < 5; ++i) {
        IntReg value(HKEY_CURRENT_USER, kKey, kNames[i]);
        value.Set(values[i]);
        written = value.Write() && written;
    }
    if (scalePercent > 0) {
        IntReg scale(HKEY_CURRENT_USER, kKey, kScaleName);
        scale.Set(scalePercent);
        written = scale.Write() && written;
    }
    return written;
}

WindowPlacement WindowPlacement::Of(const QWidget& window)
{
    const bool maximised = window.isMaximized();
    QRect normal = maximised ? window.normalGeometry() : window.geometry();
    if (normal.isEmpty()) normal = window.geometry();
    return {normal, maximised, ScalePercent(window.devicePixelRatioF())};
}

QRect WindowPlacement::FitTo(const QRect& wanted, const QRect& available, const QSize& minimum)
{
    if (available.isEmpty()) return wanted;
    const int width = std::max(minimum.width(), std::min(wanted.width(), available.width()));
    const int height = std::max(minimum.height(), std::min(wanted.height(), available.height()));
    return QRect(FitSpan(wanted.x(), width, available.left(), available.left() + available.width()),
                 FitSpan(wanted.y(), height, available.top(), available.top() + available.height()), width, height);
}

QSize WindowPlacement::DefaultSize(double layoutScale, const QRect& available)
{
    const QSize standard(kDefaultWidth, kDefaultHeight);
    const QSize grown = (QSizeF(standard) * layoutScale).toSize().boundedTo(available.size());
    return grown.expandedTo(standard);
}

void WindowPlacement::Restore(QWidget& window)
{
    const std::optional<WindowPlacement> stored = Read();
    if (!stored) {
        const QScreen* screen = window.screen();
        window.resize(DefaultSize(GetUiScale(), screen ? screen->availableGeometry() : QRect()));
        return;
    }
    QRect placed = stored->normal;
    // Taken at another scale of the desktop, the rectangle may now be larger
    // than the screen, or lie beyond it: it is fitted to the screen.
    const QScreen* screen = ScreenAround(placed);
    if (screen && stored->scalePercent > 0 && stored->scalePercent != ScalePercent(screen->devicePixelRatio()))
        placed = FitTo(placed, screen->availableGeometry(), window.minimumSize());
    // Wayland does not let a program place its window: only the size holds there.
    if (QGuiApplication::platformName().startsWith(QStringLiteral("wayland")))
        window.resize(placed.size());
    else
        window.setGeometry(placed);
    if (stored->maximised) window.setWindowState(window.windowState() | Qt::WindowMaximized);
}
