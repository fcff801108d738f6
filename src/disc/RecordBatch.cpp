#include "RecordBatch.h"

#include <charconv>
#include <utility>

namespace {

// The longest number a row holds: "-9223372036854775808".
constexpr qsizetype kNumberRoom = 20;

// A row is written in one buffer made at once: the walk makes one per
// entry, and appending its pieces one by one cost more than the engine's
// whole parse of the batch. Each Put writes at `out` and returns the end.
QChar* PutNumber(QChar* out, INT64 value)
{
    char digits[kNumberRoom + 1];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    for (const char* digit = digits; digit != end; ++digit) *out++ = QLatin1Char(*digit);
    return out;
}

// The text between apostrophes, each apostrophe within doubled.
QChar* PutQuoted(QChar* out, const QString& text)
{
    *out++ = QLatin1Char('\'');
    for (const QChar unit : text) {
        *out++ = unit;
        if (unit == QLatin1Char('\'')) *out++ = unit;
    }
    *out++ = QLatin1Char('\'');
    return out;
}

qsizetype QuotedRoom(const QString& text) { return 2 * text.size() + 2; }

QChar* PutSeparator(QChar* out)
{
    *out++ = QLatin1Char(',');
    *out++ = QLatin1Char(' ');
    return out;
}

} // namespace

QString RecordBatch::Quote(const QString& text)
{
    QString quoted(QuotedRoom(text), Qt::Uninitialized);
    quoted.truncate(PutQuoted(quoted.data(), text) - quoted.constData());
    return quoted;
}

// Rows are built by plain writing: a name may hold "%1" and must never
// be taken for a placeholder.
QString RecordBatch::FileRow(int fileId, const QString& name, INT64 size, const QString& typeName, INT64 time,
                             int discId, int labelId, int folderId, int folderPathId)
{
    constexpr int kNumbers = 7, kSeparators = 8;
    QString row(QuotedRoom(name) + QuotedRoom(typeName) + kNumbers * kNumberRoom + kSeparators * 2, Qt::Uninitialized);
    QChar* out = PutNumber(row.data(), fileId);
    out = PutQuoted(PutSeparator(out), name);
    out = PutNumber(PutSeparator(out), size);
    out = PutQuoted(PutSeparator(out), typeName);
    for (const INT64 number : {time, INT64(discId), INT64(labelId), INT64(folderId), INT64(folderPathId)})
        out = PutNumber(PutSeparator(out), number);
    row.truncate(out - row.constData());
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
