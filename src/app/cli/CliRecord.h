// One record of the tool's output: named fields, each a text or a number,
// in the order they are printed.
#pragma once
#include <QString>
#include <vector>

class CliRecord {
public:
    struct Field {
        const char* name;
        QString text;
        qint64 number = 0;
        bool isNumber = false;
    };

    CliRecord& Text(const char* name, const QString& value)
    {
        m_fields.push_back({name, value, 0, false});
        return *this;
    }
    CliRecord& Number(const char* name, qint64 value)
    {
        m_fields.push_back({name, QString(), value, true});
        return *this;
    }
    const std::vector<Field>& Fields() const { return m_fields; }

private:
    std::vector<Field> m_fields;
};
