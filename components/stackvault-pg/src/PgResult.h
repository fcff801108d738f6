// One result of libpq, owned; values read in text form.
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <libpq-fe.h>
#include <string_view>
#include <utility>

class PgResult {
public:
    explicit PgResult(PGresult* result = nullptr) : m_result(result) {}
    ~PgResult() { PQclear(m_result); }
    PgResult(PgResult&& other) noexcept : m_result(std::exchange(other.m_result, nullptr)) {}
    PgResult& operator=(PgResult&& other) noexcept
    {
        std::swap(m_result, other.m_result);
        return *this;
    }
    PgResult(const PgResult&) = delete;
    PgResult& operator=(const PgResult&) = delete;

    // Whether the statement succeeded (with or without rows).
    bool Ok() const
    {
        const ExecStatusType status = m_result ? PQresultStatus(m_result) : PGRES_FATAL_ERROR;
        return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_SINGLE_TUPLE;
    }
    PGresult* get() const { return m_result; }
    int Rows() const { return m_result ? PQntuples(m_result) : 0; }
    bool IsNull(int row, int column) const { return PQgetisnull(m_result, row, column) != 0; }
    int64_t Int64(int row, int column) const { return std::strtoll(PQgetvalue(m_result, row, column), nullptr, 10); }
    QByteArray Utf8(int row, int column) const
    {
        return QByteArray(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
    }
    // The value's bytes, valid while the result lives.
    std::string_view View(int row, int column) const
    {
        return {PQgetvalue(m_result, row, column), size_t(PQgetlength(m_result, row, column))};
    }
    QString Text(int row, int column) const
    {
        return QString::fromUtf8(PQgetvalue(m_result, row, column), PQgetlength(m_result, row, column));
    }
    // A bytea value (sent in text form, "\x..." hex).
    QByteArray Bytes(int row, int column) const
    {
        size_t length = 0;
        unsigned char* bytes =
            PQunescapeBytea(reinterpret_cast<const unsigned char*>(PQgetvalue(m_result, row, column)), &length);
        QByteArray copy(reinterpret_cast<const char*>(bytes), static_cast<qsizetype>(length));
        PQfreemem(bytes);
        return copy;
    }
    // The SQLSTATE of a failure ("" when none).
    const char* SqlState() const
    {
        const char* state = m_result ? PQresultErrorField(m_result, PG_DIAG_SQLSTATE) : nullptr;
        return state ? state : "";
    }

private:
    PGresult* m_result;
};
