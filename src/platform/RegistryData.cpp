#include "RegistryData.h"

#include <QCryptographicHash>
#include <QList>

namespace {

const QByteArray kHeader = "ALBIREO-REGISTRY 1";
const QByteArray kSafe = "\\{}-_.~:()[]!$&*+=@,;'";

QByteArray Escape(const QString& text) { return text.toUtf8().toPercentEncoding(kSafe); }

bool Unescape(const QByteArray& field, QString* out)
{
    QByteArray raw = QByteArray::fromPercentEncoding(field);
    *out = QString::fromUtf8(raw);
    return out->toUtf8() == raw; // refuses invalid UTF-8
}

bool IsHex(const QByteArray& text)
{
    for (char c : text)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'))) return false;
    return text.size() % 2 == 0;
}

} // namespace

const RegistryValue* RegistryKey::Find(const QString& name) const
{
    for (const auto& value : values)
        if (value.name.compare(name, Qt::CaseInsensitive) == 0) return &value;
    return nullptr;
}

RegistryValue* RegistryKey::Find(const QString& name)
{
    return const_cast<RegistryValue*>(static_cast<const RegistryKey*>(this)->Find(name));
}

QString RegistryData::Fold(const QString& path) { return CleanPath(path).toCaseFolded(); }

QString RegistryData::CleanPath(const QString& path)
{
    const QStringList parts = path.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    return parts.join(QLatin1Char('\\'));
}

const RegistryKey* RegistryData::FindKey(const QString& path) const
{
    auto it = m_keys.find(Fold(path));
    return it == m_keys.end() ? nullptr : &it->second;
}

RegistryKey* RegistryData::FindKey(const QString& path)
{
    return const_cast<RegistryKey*>(static_cast<const RegistryData*>(this)->FindKey(path));
}

RegistryKey& RegistryData::CreateKey(const QString& path, bool* created)
{
    const QString clean = CleanPath(path);
    const QStringList parts = clean.split(QLatin1Char('\\'), Qt::SkipEmptyParts);
    QString prefix;
    bool madeLast = false;
    for (const QString& part : parts) {
        prefix = prefix.isEmpty() ? part : prefix + QLatin1Char('\\') + part;
        auto [it, inserted] = m_keys.try_emplace(prefix.toCaseFolded());
        if (inserted) it->second.path = prefix;
        madeLast = inserted;
    }
    if (parts.isEmpty()) { // the root itself
        auto [it, inserted] = m_keys.try_emplace(QString());
        madeLast = inserted;
    }
    if (created) *created = madeLast;
    return m_keys[clean.toCaseFolded()];
}

bool RegistryData::DeleteTree(const QString& path)
{
    const QString folded = Fold(path);
    auto it = m_keys.find(folded);
    if (it == m_keys.end()) return false;
    const QString childPrefix = folded + QLatin1Char('\\');
    it = m_keys.erase(it);
    while (it != m_keys.end() && it->first.startsWith(childPrefix))
        it = m_keys.erase(it);
    return true;
}

QByteArray RegistryData::Serialize() const
{
    QByteArray body = kHeader + '\n';
    int lines = 0;
    for (const auto& [folded, key] : m_keys) {
        body += "K " + Escape(key.path) + '\n';
        ++lines;
        for (const auto& value : key.values) {
            body += "V " + Escape(value.name) + ' ' + QByteArray::number(value.type) + ' ' +
                    (value.data.isEmpty() ? QByteArray("-") : value.data.toHex()) + '\n';
            ++lines;
        }
    }
    const QByteArray sum = QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex();
    return body + "END " + QByteArray::number(lines) + ' ' + sum + '\n';
}

std::optional<RegistryData> RegistryData::Parse(const QByteArray& text)
{
    const int endPos = text.lastIndexOf("\nEND ");
    if (!text.startsWith(kHeader + '\n') || endPos < 0 || !text.endsWith('\n')) return std::nullopt;
    const QByteArray body = text.left(endPos + 1);
    const QList<QByteArray> end = text.mid(endPos + 1).trimmed().split(' ');
    if (end.size() != 3 || end[2] != QCryptographicHash::hash(body, QCryptographicHash::Sha1).toHex())
        return std::nullopt;

    RegistryData data;
    RegistryKey* current = nullptr;
    int lines = 0;
    const QList<QByteArray> rows = body.split('\n');
    for (int i = 1; i < rows.size(); ++i) {
        const QByteArray& row = rows[i];
        if (row.isEmpty()) continue;
        const QList<QByteArray> fields = row.split(' ');
        QString text1;
        if (fields[0] == "K" && fields.size() == 2 && Unescape(fields[1], &text1)) {
            current = &data.CreateKey(text1);
        } else if (fields[0] == "V" && fields.size() == 4 && current && Unescape(fields[1], &text1)) {
            bool ok = false;
            const DWORD type = fields[2].toUInt(&ok);
            const QByteArray hex = fields[3] == "-" ? QByteArray() : fields[3];
            if (!ok || !IsHex(hex) || current->Find(text1)) return std::nullopt;
            current->values.push_back({text1, type, QByteArray::fromHex(hex)});
        } else {
            return std::nullopt;
        }
        ++lines;
    }
    if (end[1] != QByteArray::number(lines)) return std::nullopt;
    return data;
}
