#include "FileIconCache.h"

#include "ShellFileIcon.h"

#include <QFileIconProvider>

QString FileIconCache::KeyOf(const QString& name, bool folder)
{
    if (folder) return QStringLiteral("Folder");
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 && dot + 1 < name.size() ? name.mid(dot + 1).toLower() : QStringLiteral("File");
}

int FileIconCache::IndexOf(const QString& key, const QString& name, bool folder)
{
    const auto found = m_indexes.constFind(key);
    if (found != m_indexes.constEnd()) return *found;
    m_images.push_back(IconFor(name, folder));
    const int index = int(m_images.size()) - 1;
    m_indexes.insert(key, index);
    return index;
}

void FileIconCache::Clear()
{
    m_indexes.clear();
    m_images.clear();
}

QPixmap FileIconCache::IconFor(const QString& name, bool folder) const
{
    static const QFileIconProvider provider;
    QIcon icon;
    if (folder) {
        icon = QIcon::fromTheme(QStringLiteral("folder"), provider.icon(QAbstractFileIconProvider::Folder));
    } else {
        icon = ShellFileIcon::ForName(name);
    }
    return icon.pixmap(m_nSide, m_nSide);
}
