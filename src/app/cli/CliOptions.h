// The options of one command: flags (--files), options with a value
// (--limit 10, --limit=10) and the positional arguments between them, with
// the first mistake as a usage error text. An option with a value is given
// once: a second one is a mistake, not a value that silently wins.
#pragma once
#include <QMap>
#include <QString>
#include <QStringList>

class CliOptions {
public:
    CliOptions(const QStringList& arguments, const QStringList& flags, const QStringList& valued);

    bool Has(const QString& option) const { return m_given.contains(option); }
    QString Value(const QString& option) const { return m_given.value(option); }
    // The value as a number of at least `least`; false with the error noted otherwise.
    bool Number(const QString& option, qint64 least, qint64* value);
    const QStringList& Positional() const { return m_positional; }
    // Empty when the arguments are well formed.
    const QString& Error() const { return m_error; }
    // Notes a usage error (the first one is kept).
    void SetError(const QString& error)
    {
        if (m_error.isEmpty()) m_error = error;
    }

private:
    QMap<QString, QString> m_given;
    QStringList m_positional;
    QString m_error;
};
