// Screenshots of windows for review, written to build/screenshots.
#pragma once
#include <QDir>
#include <QWidget>

namespace ScreenshotDir {

inline QString Path(const QString& name) { return QStringLiteral(ALBIREO_SCREENSHOT_DIR "/%1.png").arg(name); }

inline bool Save(QWidget* widget, const QString& name)
{
    QDir().mkpath(QStringLiteral(ALBIREO_SCREENSHOT_DIR));
    return widget->grab().save(Path(name));
}

} // namespace ScreenshotDir
