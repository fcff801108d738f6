// The type texts of file and folder rows ("JPEG image", "Folder"), each
// stored once in entry_types and referred to by its id from the rows of a
// library that keeps them so (a handful of texts for millions of rows).
#pragma once
#include "SqliteConnection.h"
#include "wintypes.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>

class EntryTypes {
public:
    explicit EntryTypes(SqliteConnection& db) : m_db(db) {}

    // The id of `text`, added when new. Call inside the write transaction
    // that stores the rows: the ids learnt are remembered for this object's
    // life only, which must not outlast that transaction.
    HRESULT IdOf(std::u16string_view text, int64_t* id);

    // SQL giving the type text of the entry row aliased `row`: the text of
    // its type id, or in a library whose rows keep their texts
    // (LibrarySchema::StoresTypeTexts, which may lack entry_types when it
    // could not be written since) the text itself.
    static std::string TextSql(const char* row, bool typeTexts);

private:
    struct Hash {
        using is_transparent = void;
        size_t operator()(std::u16string_view text) const { return std::hash<std::u16string_view>{}(text); }
    };

    SqliteConnection& m_db;
    using Ids = std::unordered_map<std::u16string, int64_t, Hash, std::equal_to<>>;
    Ids m_ids;
    // The text asked for last: rows of a folder mostly share their type.
    const Ids::value_type* m_last = nullptr;
};
