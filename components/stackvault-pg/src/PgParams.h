// The parameters of one statement, in text form ($1, $2, ...); binary
// values (bytea) are sent as they are.
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string_view>
#include <vector>

class PgParams {
public:
    PgParams& Int(int64_t value) { return Push(QByteArray::number(static_cast<qlonglong>(value)), false, 0); }
    PgParams& Utf8(const QByteArray& value) { return Push(value, false, 0); }
    PgParams& Text(const QString& value) { return Push(value.toUtf8(), false, 0); }
    PgParams& Text(std::u16string_view value)
    {
        return Text(QString::fromUtf16(value.data(), static_cast<qsizetype>(value.size())));
    }
    PgParams& Bytes(const QByteArray& value) { return Push(value, false, 1); }
    PgParams& Null() { return Push(QByteArray(), true, 0); }
    // An array of integers ("{1,2,3}"), for "= ANY($n::int[])".
    template <class Integer>
    PgParams& Ints(const std::vector<Integer>& values)
    {
        QByteArray text = "{";
        for (size_t i = 0; i < values.size(); ++i) text += (i ? "," : "") + QByteArray::number(values[i]);
        return Push(text + "}", false, 0);
    }

    // An array of texts ('{"a","b"}'), for "unnest($n::text[])".
    PgParams& Texts(const std::vector<QString>& values)
    {
        QByteArray text = "{";
        for (size_t i = 0; i < values.size(); ++i) {
            text += i ? ",\"" : "\"";
            for (const char c : values[i].toUtf8()) {
                if (c == '"' || c == '\\') text += '\\';
                text += c;
            }
            text += '"';
        }
        return Push(text + "}", false, 0);
    }

    int Count() const { return static_cast<int>(m_values.size()); }
    const char* const* Values() const
    {
        m_pointers.clear();
        for (size_t i = 0; i < m_values.size(); ++i) m_pointers.push_back(m_nulls[i] ? nullptr : m_values[i].constData());
        return m_pointers.data();
    }
    const int* Lengths() const
    {
        m_lengths.clear();
        for (const QByteArray& value : m_values) m_lengths.push_back(static_cast<int>(value.size()));
        return m_lengths.data();
    }
    const int* Formats() const { return m_formats.data(); }

private:
    PgParams& Push(const QByteArray& value, bool null, int format)
    {
        m_values.push_back(value);
        m_nulls.push_back(null);
        m_formats.push_back(format);
        return *this;
    }

    std::vector<QByteArray> m_values;
    std::vector<bool> m_nulls;
    std::vector<int> m_formats;
    mutable std::vector<const char*> m_pointers;
    mutable std::vector<int> m_lengths;
};
