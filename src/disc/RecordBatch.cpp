#include "RecordBatch.h"

QString RecordBatch::Quote(const QString& text)
{
    QString quoted = text;
    quoted.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + quoted + QLatin1Char('\'');
}

// Rows are built by plain concatenation: a name may hold "%1" and must
// never be taken for a placeholder.
QString RecordBatch::FileRow(int fileId, const QString& name, INT64 size, const QString& typeName, INT64 time,
                             int discId, int labelId, int folderId, int folderPathId)
{
    const QString separator = QStringLiteral(", ");
    return QString::number(fileId) + separator + Quote(name) + separator + QString::number(size) + separator +
           Quote(typeName) + separator + QString::number(time) + separator + QString::number(discId) + separator +
           QString::number(labelId) + separator + QString::number(folderId) + separator + QString::number(folderPathId);
}

QString RecordBatch::FolderRow(int folderId, const QString& name, INT64 size, INT64 time, int discId, int labelId,
                               int parentId, int parentPathId)
{
    return FileRow(folderId, name, size, QStringLiteral("Folder"), time, discId, labelId, parentId, parentPathId);
}

QString RecordBatch::PathRow(int pathId, const QString& pathText)
{
    return QString::number(pathId) + QStringLiteral(", ") + Quote(pathText);
}

QString RecordBatch::TrackRow(int trackNumber, INT64 time, int discId, int labelId)
{
    const QString name = QString::asprintf("Track%02d.cda", trackNumber);
    return Quote(name) + QStringLiteral(", 1000, 'CDA File', ") + QString::number(time) + QStringLiteral(", ") +
           QString::number(discId) + QStringLiteral(", ") + QString::number(labelId) + QStringLiteral(", 0, 0");
}

void RecordBatch::Append(const QString& row)
{
    if (m_nRows == 0)
        m_text = (m_bFolderBatch ? QStringLiteral("  SELECT ") : QStringLiteral(" SELECT ")) + row;
    else
        m_text += QStringLiteral(" UNION SELECT ") + row;
    ++m_nRows;
}

void RecordBatch::Clear()
{
    m_text.clear();
    m_nRows = 0;
}
