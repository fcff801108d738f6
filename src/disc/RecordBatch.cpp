#include "RecordBatch.h"

#include <charconv>
#include <utility>

namespace {

// A row is built in one buffer: the walk makes one per entry, and joining
// temporaries cost more than the engine's whole parse of the batch.
void AppendNumber(QString& row, INT64 value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    row.append(QLatin1StringView(digits, end - digits));
}

void AppendQuoted(QString& row, const QString& text)
{
    row.append(QLatin1Char('\''));
    if (text.contains(QLatin1Char('\''))) {
        QString quoted = text;
        row.append(quoted.replace(QLatin1Char('\''), QStringLiteral("''")));
    } else {
        row.append(text);
    }
    row.append(QLatin1Char('\''));
}

} // namespace

QString RecordBatch::Quote(const QString& text)
{
    QString quoted;
    AppendQuoted(quoted, text);
    return quoted;
}

// Rows are built by plain appending: a name may hold "%1" and must never
// be taken for a placeholder.
QString RecordBatch::FileRow(int fileId, const QString& name, INT64 size, const QString& typeName, INT64 time,
                             int discId, int labelId, int folderId, int folderPathId)
{
    const QLatin1StringView separator(", ");
    QString row;
    row.reserve(name.size() + typeName.size() + 96);
    AppendNumber(row, fileId);
    row.append(separator);
    AppendQuoted(row, name);
    row.append(separator);
    AppendNumber(row, size);
    row.append(separator);
    AppendQuoted(row, typeName);
    for (const INT64 number : {time, INT64(discId), INT64(labelId), INT64(folderId), INT64(folderPathId)}) {
        row.append(separator);
        AppendNumber(row, number);
    }
    return row;
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
        m_text.append(m_bFolderBatch ? QLatin1StringView("  SELECT ") : QLatin1StringView(" SELECT "));
    else
        m_text.append(QLatin1StringView(" UNION SELECT "));
    m_text.append(row);
    ++m_nRows;
}

void RecordBatch::Clear()
{
    m_text.resize(0); // keeps the buffer for the next batch
    m_nRows = 0;
}

QString RecordBatch::TakeText()
{
    QString text = std::exchange(m_text, QString());
    m_text.reserve(text.capacity());
    m_nRows = 0;
    return text;
}
