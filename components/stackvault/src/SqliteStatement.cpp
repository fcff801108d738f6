#include "SqliteStatement.h"

#include <sqlite3.h>

SqliteStatement::SqliteStatement(sqlite3* db, const char* sql)
{
    m_prepareResult = sqlite3_prepare_v3(db, sql, -1, SQLITE_PREPARE_PERSISTENT, &m_statement, nullptr);
}

SqliteStatement::~SqliteStatement() { sqlite3_finalize(m_statement); }

int SqliteStatement::Bind(int index, int64_t value) { return sqlite3_bind_int64(m_statement, index, value); }

int SqliteStatement::BindText(int index, std::u16string_view text)
{
    return sqlite3_bind_text16(m_statement, index, text.data(), static_cast<int>(text.size() * sizeof(char16_t)),
                               SQLITE_TRANSIENT);
}

int SqliteStatement::BindUtf8(int index, const QByteArray& text)
{
    return sqlite3_bind_text(m_statement, index, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
}

int SqliteStatement::BindUtf8View(int index, std::string_view text)
{
    return sqlite3_bind_text(m_statement, index, text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
}

int SqliteStatement::BindBlob(int index, const QByteArray& data)
{
    return sqlite3_bind_blob(m_statement, index, data.constData(), static_cast<int>(data.size()), SQLITE_TRANSIENT);
}

int SqliteStatement::BindPointer(int index, void* pointer, const char* type)
{
    return sqlite3_bind_pointer(m_statement, index, pointer, type, nullptr);
}

int SqliteStatement::BindNull(int index) { return sqlite3_bind_null(m_statement, index); }

int SqliteStatement::BindColumn(int index, const SqliteStatement& row, int column)
{
    return sqlite3_bind_value(m_statement, index, sqlite3_column_value(row.m_statement, column));
}

int SqliteStatement::Step() { return m_statement ? sqlite3_step(m_statement) : SQLITE_MISUSE; }

int SqliteStatement::Run()
{
    int rc = Step();
    while (rc == SQLITE_ROW) rc = Step();
    return rc;
}

void SqliteStatement::Reset()
{
    sqlite3_reset(m_statement);
    sqlite3_clear_bindings(m_statement);
}

void SqliteStatement::Rewind() { sqlite3_reset(m_statement); }

int64_t SqliteStatement::Int64(int column) const { return sqlite3_column_int64(m_statement, column); }

bool SqliteStatement::IsNull(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_NULL; }

bool SqliteStatement::IsInteger(int column) const
{
    return sqlite3_column_type(m_statement, column) == SQLITE_INTEGER;
}

bool SqliteStatement::IsText(int column) const { return sqlite3_column_type(m_statement, column) == SQLITE_TEXT; }

QString SqliteStatement::Text(int column) const
{
    const void* text = sqlite3_column_text16(m_statement, column);
    const int bytes = sqlite3_column_bytes16(m_statement, column);
    return text ? QString(static_cast<const QChar*>(text), bytes / 2) : QString();
}

std::u16string_view SqliteStatement::Text16(int column) const
{
    const auto* text = static_cast<const char16_t*>(sqlite3_column_text16(m_statement, column));
    const int bytes = sqlite3_column_bytes16(m_statement, column);
    return text ? std::u16string_view(text, size_t(bytes / 2)) : std::u16string_view();
}

QByteArray SqliteStatement::Utf8(int column) const
{
    const unsigned char* text = sqlite3_column_text(m_statement, column);
    const int bytes = sqlite3_column_bytes(m_statement, column);
    return text ? QByteArray(reinterpret_cast<const char*>(text), bytes) : QByteArray();
}

QByteArray SqliteStatement::Blob(int column) const
{
    const void* data = sqlite3_column_blob(m_statement, column);
    const int bytes = sqlite3_column_bytes(m_statement, column);
    return data ? QByteArray(static_cast<const char*>(data), bytes) : QByteArray();
}

std::string_view SqliteStatement::TextView(int column) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column));
    return text ? std::string_view(text, size_t(sqlite3_column_bytes(m_statement, column))) : std::string_view();
}
