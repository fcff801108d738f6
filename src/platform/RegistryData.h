// In-memory content of one registry store and its file format. The format
// is line based text: a header line, "K path" and "V name type hexdata"
// lines, and a closing "END count sha1" line whose checksum covers every
// line before it, so a truncated or altered file is recognised.
#pragma once
#include "wintypes.h"

#include <QByteArray>
#include <QString>
#include <map>
#include <optional>
#include <vector>

struct RegistryValue {
    QString name;
    DWORD type = 0;
    QByteArray data;
};

struct RegistryKey {
    QString path; // as first created
    std::vector<RegistryValue> values; // creation order
    RegistryValue* Find(const QString& name);
    const RegistryValue* Find(const QString& name) const;
};

class RegistryData {
public:
    static QString Fold(const QString& path);
    // Normalises "\A\\B\" to "A\B".
    static QString CleanPath(const QString& path);

    RegistryKey* FindKey(const QString& path);
    const RegistryKey* FindKey(const QString& path) const;
    // Creates the key and every key above it; returns the key.
    RegistryKey& CreateKey(const QString& path, bool* created = nullptr);
    // Removes the key and its subtree; false when it did not exist.
    bool DeleteTree(const QString& path);
    bool Empty() const { return m_keys.empty(); }

    QByteArray Serialize() const;
    static std::optional<RegistryData> Parse(const QByteArray& text);

private:
    std::map<QString, RegistryKey> m_keys; // by folded path
};
