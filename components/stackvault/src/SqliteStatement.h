// One prepared SQLite statement with typed binding and reading.
#pragma once
#include <QByteArray>
#include <QString>
#include <cstdint>
#include <string_view>

struct sqlite3;
struct sqlite3_stmt;

class SqliteStatement {
public:
    SqliteStatement(sqlite3* db, const char* sql);
    ~SqliteStatement();
    SqliteStatement(const SqliteStatement&) = delete;
    SqliteStatement& operator=(const SqliteStatement&) = delete;

    // SQLite's result of preparing.
    int PrepareResult() const { return m_prepareResult; }

    // Binding (parameters count from 1); each returns SQLite's result.
    int Bind(int index, int64_t value);
    int BindText(int index, std::u16string_view text);
    int BindUtf8(int index, const QByteArray& text);
    // Binds UTF-8 text without copying it: it must stay as it is until the
    // statement is reset (Reset, Rewind) or the parameter bound again.
    int BindUtf8View(int index, std::string_view text);
    int BindBlob(int index, const QByteArray& data);
    int BindNull(int index);
    // Binds a pointer for an SQL function of this program that reads it as `type`.
    int BindPointer(int index, void* pointer, const char* type);
    // Binds a copy of a column of another statement's current row (which
    // may belong to another connection).
    int BindColumn(int index, const SqliteStatement& row, int column);

    // SQLITE_ROW, SQLITE_DONE or an error.
    int Step();
    // Steps to the end; SQLITE_DONE on success.
    int Run();
    // Ready to run again: Reset also clears the bindings, Rewind keeps them.
    void Reset();
    void Rewind();

    // Reading the current row (columns count from 0).
    int64_t Int64(int column) const;
    bool IsNull(int column) const;
    bool IsInteger(int column) const;
    bool IsText(int column) const;
    QString Text(int column) const;
    QByteArray Utf8(int column) const;
    // The column's UTF-16 text without a copy, valid until the next step.
    std::u16string_view Text16(int column) const;
    // The column's UTF-8 bytes without a copy, valid until the next step.
    std::string_view TextView(int column) const;
    QByteArray Blob(int column) const;

private:
    sqlite3_stmt* m_statement = nullptr;
    int m_prepareResult = 0;
};
