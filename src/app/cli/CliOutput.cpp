#include "CliOutput.h"

#include <cerrno>

namespace {

// \uXXXX for a code unit JSON cannot hold as it is.
void AppendUnicodeEscape(QByteArray& out, char16_t c)
{
    out += "\\u";
    out += QByteArray::number(unsigned(c), 16).rightJustified(4, '0');
}

} // namespace

QString CliOutput::EscapedField(const QString& text)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '\t': escaped += QLatin1String("\\t"); break;
        case '\n': escaped += QLatin1String("\\n"); break;
        case '\r': escaped += QLatin1String("\\r"); break;
        case '\\': escaped += QLatin1String("\\\\"); break;
        default: escaped += c;
        }
    }
    return escaped;
}

void CliOutput::AppendJsonString(QByteArray& out, const QString& text)
{
    out += '"';
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text[i].unicode();
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            AppendUnicodeEscape(out, c);
        } else if (c < 0x80) {
            out += char(c);
        } else if (QChar::isHighSurrogate(c) && i + 1 < n && QChar::isLowSurrogate(text[i + 1].unicode())) {
            out += QStringView(text).mid(i, 2).toUtf8();
            ++i;
        } else if (QChar::isSurrogate(c)) {
            AppendUnicodeEscape(out, c);
        } else {
            out += QStringView(text).mid(i, 1).toUtf8();
        }
    }
    out += '"';
}

QByteArray CliOutput::JsonObject(const CliRecord& record)
{
    QByteArray out("{");
    bool first = true;
    for (const CliRecord::Field& field : record.Fields()) {
        if (!first) out += ',';
        first = false;
        out += '"';
        out += field.name;
        out += "\":";
        if (field.isNumber) out += QByteArray::number(field.number);
        else AppendJsonString(out, field.text);
    }
    out += '}';
    return out;
}

bool CliOutput::Write(const CliRecord& record)
{
    if (m_bBroken) return false;
    QByteArray line;
    if (m_bJson) {
        line = JsonObject(record);
    } else {
        QString text;
        for (size_t i = 0; i < record.Fields().size(); ++i) {
            const CliRecord::Field& field = record.Fields()[i];
            if (i > 0) text += QLatin1Char('\t');
            text += field.isNumber ? QString::number(field.number) : EscapedField(field.text);
        }
        line = text.toUtf8();
    }
    line += '\n';
    return WriteBytes(line);
}

bool CliOutput::WriteBytes(const QByteArray& bytes)
{
    if (m_bBroken) return false;
    return Check(std::fwrite(bytes.constData(), 1, size_t(bytes.size()), m_pStream) == size_t(bytes.size()));
}

bool CliOutput::Flush()
{
    if (m_bBroken) return false;
    return Check(std::fflush(m_pStream) == 0);
}

bool CliOutput::Check(bool ok)
{
    if (ok) return true;
    m_bBroken = true;
    m_bReaderGone = errno == EPIPE;
    return false;
}
