// The type texts of entry rows read with their type column as stored (the
// id of an entry_types row, or a text a row kept), each distinct value
// looked up once: a block of a thousand rows holds a handful of types, and
// a lookup per row in the query itself costs about a third of reading them.
// A value gives the text EntryTypes::TextSql gives for it. Lives for one read
// transaction: entry_types may change after it.
#pragma once
#include "SqliteConnection.h"
#include "hresult.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class SqliteStatement;

class EntryTypeTexts {
public:
    explicit EntryTypeTexts(SqliteConnection& db) : m_db(db) {}

    // The text of the type in `column` of `row`, valid while this object
    // lives.
    HRESULT TextOf(const SqliteStatement& row, int column, std::string_view* text);

private:
    // The text the type SQL gives for the value, read through SQL.
    HRESULT LookUp(const SqliteStatement& row, int column, std::string* text);

    struct Hash {
        using is_transparent = void;
        size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    };

    SqliteConnection& m_db;
    std::unordered_map<int64_t, std::string> m_byId;
    std::unordered_map<std::string, std::string, Hash, std::equal_to<>> m_byText;
    std::string m_other; // a value neither id nor text, looked up each time
};
