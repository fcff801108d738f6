#include "SkinImage.h"

#include "ProgramPaths.h"

#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHash>
#include <algorithm>
#include <mutex>

namespace {

// The existing file below `folder` whose remaining components match
// `parts` ignoring letter case (exact names tried first), or empty.
QString MatchIgnoringCase(const QString& folder, QStringList parts)
{
    if (parts.isEmpty()) return QFileInfo(folder).isFile() ? folder : QString();
    const QString part = parts.takeFirst();
    QStringList candidates{part};
    const QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    for (const QString& entry : entries)
        if (entry != part && entry.compare(part, Qt::CaseInsensitive) == 0) candidates << entry;
    for (const QString& candidate : candidates) {
        const QString path = folder + QLatin1Char('/') + candidate;
        if (!QFileInfo::exists(path)) continue;
        const QString found = MatchIgnoringCase(path, parts);
        if (!found.isEmpty()) return found;
    }
    return {};
}

constexpr int kDenseRatio = 2;

std::mutex g_mutex;
QHash<QString, qreal> g_forScreens; // picture path -> ratio it came at

QImage ReadPicture(const QString& file, int ratio)
{
    QImage image = file.isEmpty() ? QImage() : QImage(file);
    if (image.isNull()) return image;
    image = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    return image;
}

} // namespace

namespace SkinImage {

QString Resolve(const QString& picturePath)
{
    if (picturePath.isEmpty()) return {};
    if (QDir::isAbsolutePath(picturePath) && QFileInfo(picturePath).isFile()) return picturePath;
    const QString file = ProgramPaths::ImageFile(picturePath);
    if (QFileInfo(file).isFile()) return file;
    // Only the part below the program folder (or current directory) is
    // matched loosely.
    const QString relative = ProgramPaths::ToNativeSeparators(picturePath);
    const QString base = file.left(file.size() - relative.size() - 1);
    return MatchIgnoringCase(base, relative.split(QLatin1Char('/'), Qt::SkipEmptyParts));
}

qreal ScreenDensity()
{
    const auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    return app ? std::max<qreal>(1.0, app->devicePixelRatio()) : 1.0;
}

QString DenseName(const QString& picturePath)
{
    const qsizetype dot = picturePath.lastIndexOf(QLatin1Char('.'));
    if (dot <= 0) return {};
    return picturePath.left(dot) + QStringLiteral("@%1x").arg(kDenseRatio) + picturePath.mid(dot);
}

QImage Load(const QString& picturePath)
{
    const QImage image = Load(picturePath, ScreenDensity());
    if (!image.isNull() && !QDir::isAbsolutePath(picturePath)) {
        std::lock_guard lock(g_mutex);
        g_forScreens.insert(picturePath, image.devicePixelRatio());
    }
    return image;
}

QList<QPair<QString, qreal>> LoadedForScreens()
{
    std::lock_guard lock(g_mutex);
    QList<QPair<QString, qreal>> loaded;
    for (auto it = g_forScreens.constBegin(); it != g_forScreens.constEnd(); ++it) loaded.append({it.key(), it.value()});
    return loaded;
}

QImage Load(const QString& picturePath, qreal density)
{
    // The installed skin pictures do not change while the program runs, and
    // a window of many rows asks for the same few pictures again and again:
    // they are read once per program folder. Absolute paths (label
    // pictures, snapshots) are read every time, as named.
    std::mutex& mutex = g_mutex;
    static QHash<QString, QImage> skin;
    const bool cached = !QDir::isAbsolutePath(picturePath);
    const bool dense = cached && density > 1.0;
    const QString key = cached ? ProgramPaths::ProgramFolder() + u'|' + picturePath + (dense ? QStringLiteral("|dense") : QString()) : QString();
    if (cached) {
        std::lock_guard lock(mutex);
        if (const auto found = skin.constFind(key); found != skin.constEnd()) return *found;
    }
    QImage image = dense ? ReadPicture(Resolve(DenseName(picturePath)), kDenseRatio) : QImage();
    if (image.isNull()) image = ReadPicture(Resolve(picturePath), 1);
    if (cached && !image.isNull()) {
        std::lock_guard lock(mutex);
        skin.insert(key, image);
    }
    return image;
}

QImage LoadOr(const QString& picturePath, const char* defaultPath)
{
    const QImage image = picturePath.isEmpty() ? QImage() : Load(picturePath);
    return image.isNull() ? Load(QString::fromLatin1(defaultPath)) : image;
}

} // namespace SkinImage
