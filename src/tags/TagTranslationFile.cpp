#include "TagTranslationFile.h"

#include <QFile>
#include <QXmlStreamReader>
#include <vector>

namespace {

constexpr qint64 kMaxFileSize = 4 * 1024 * 1024;

// Position of value in list ignoring case; the value is added when missing.
qsizetype AddDistinct(QStringList& list, const QString& value)
{
    for (qsizetype i = 0; i < list.size(); ++i)
        if (list[i].compare(value, Qt::CaseInsensitive) == 0) return i;
    list.append(value);
    return list.size() - 1;
}

// The text of one "Language" element, gathered while it is open. Only the
// first characters matter, so gathering stops a little past the limit.
struct CellText {
    qsizetype tag = 0;
    qsizetype language = 0;
    int depth = 0; // element depth of the "Language" element
    QString text;
    bool truncated = false;

    void Append(QStringView more)
    {
        if (text.isEmpty()) more = more.mid(FirstNonBlank(more));
        const qsizetype room = TagTranslationFile::kMaxNameLength + 1 - text.size();
        if (more.size() > room) {
            more = more.left(qMax<qsizetype>(room, 0));
            truncated = true;
        }
        text += more;
    }
    QString Final() const
    {
        QString value = truncated ? text : text.trimmed();
        if (value.size() > TagTranslationFile::kMaxNameLength) {
            value.truncate(TagTranslationFile::kMaxNameLength);
            if (value.back().isHighSurrogate()) value.chop(1);
        }
        return value;
    }
    static qsizetype FirstNonBlank(QStringView s)
    {
        qsizetype i = 0;
        while (i < s.size() && s[i].isSpace()) ++i;
        return i;
    }
};

} // namespace

bool TagTranslationFile::Load(const QString& path)
{
    Clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_error = QStringLiteral("%1: %2").arg(path, file.errorString());
        return false;
    }
    if (file.size() > kMaxFileSize) {
        m_error = QStringLiteral("%1: the file is larger than %2 bytes").arg(path).arg(kMaxFileSize);
        return false;
    }
    if (Parse(file.readAll())) return true;
    m_error = path + QLatin1Char(':') + m_error;
    return false;
}

bool TagTranslationFile::Parse(const QByteArray& xml)
{
    Clear();
    QXmlStreamReader reader(xml);
    std::vector<qsizetype> currentTag{0}; // per open element, and one for outside the root
    std::vector<CellText> cells; // in document order of the elements
    std::vector<size_t> open; // indexes into cells of the open "Language" elements
    while (!reader.atEnd()) {
        switch (reader.readNext()) {
        case QXmlStreamReader::StartElement: {
            qsizetype tag = currentTag.back();
            const QStringView element = reader.qualifiedName();
            for (const QXmlStreamAttribute& attribute : reader.attributes()) {
                if (attribute.qualifiedName() != QLatin1String("Name")) continue;
                const QString value = attribute.value().toString();
                if (element == QLatin1String("Tag")) {
                    tag = AddDistinct(m_tagKeys, value);
                } else if (element == QLatin1String("Language")) {
                    CellText cell;
                    cell.tag = tag;
                    cell.language = AddDistinct(m_languages, value);
                    cell.depth = static_cast<int>(currentTag.size());
                    cells.push_back(cell);
                    open.push_back(cells.size() - 1);
                }
            }
            currentTag.push_back(tag);
            break;
        }
        case QXmlStreamReader::EndElement:
            currentTag.pop_back();
            while (!open.empty() && cells[open.back()].depth >= static_cast<int>(currentTag.size())) open.pop_back();
            break;
        case QXmlStreamReader::Characters:
            for (size_t index : open) cells[index].Append(reader.text());
            break;
        default:
            break;
        }
    }
    if (reader.hasError()) {
        const QString reason = QStringLiteral("%1:%2: %3")
                                   .arg(reader.lineNumber())
                                   .arg(reader.columnNumber())
                                   .arg(reader.errorString());
        Clear();
        m_error = reason;
        return false;
    }
    for (qsizetype i = 0; i < m_tagKeys.size() * m_languages.size(); ++i) m_cells.append(QString());
    for (const CellText& cell : cells)
        if (cell.tag < m_tagKeys.size()) m_cells[cell.tag * m_languages.size() + cell.language] = cell.Final();
    return true;
}

QString TagTranslationFile::Cell(qsizetype tag, qsizetype language) const
{
    if (tag < 0 || language < 0 || tag >= m_tagKeys.size() || language >= m_languages.size()) return QString();
    return m_cells[tag * m_languages.size() + language];
}

void TagTranslationFile::Clear()
{
    m_tagKeys.clear();
    m_languages.clear();
    m_cells.clear();
    m_error.clear();
}
