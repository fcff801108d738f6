// The desktop's icon of a file type, looked up by name alone (the disc is
// not there) and cached per extension ("Folder" and "File" for folders and
// files without one), so a folder of 100,000 files asks the icon theme once
// per extension.
#pragma once
#include <QHash>
#include <QPixmap>
#include <vector>

class FileIconCache {
public:
    explicit FileIconCache(int side) : m_nSide(side) {}

    // The key of an entry: "Folder", the name's extension, or "File".
    static QString KeyOf(const QString& name, bool folder);
    // The image index of the key in Images(), added when first asked.
    int IndexOf(const QString& key, const QString& name, bool folder);
    const std::vector<QPixmap>& Images() const { return m_images; }
    void Clear();

private:
    QPixmap IconFor(const QString& name, bool folder) const;

    int m_nSide;
    QHash<QString, int> m_indexes;
    std::vector<QPixmap> m_images;
};
