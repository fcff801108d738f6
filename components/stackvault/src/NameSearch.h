// Case-insensitive substring search over disc, folder and file names.
// Queries of three or more characters go through the trigram index; shorter
// ones scan the folded names. Discs being imported, and their rows, are
// left out. Results come in the order they were stored.
#pragma once
#include "EntryWriter.h"
#include "LibraryRecords.h"
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QHash>
#include <QString>
#include <string>
#include <string_view>

class NameSearch {
public:
    explicit NameSearch(SqliteConnection& db) : m_db(db) {}

    HRESULT CountDiscs(std::u16string_view text, LONG* count);
    HRESULT FillDiscs(std::u16string_view text, DiscRecord* records, LONG count, const QHash<int, QString>& tagNames);
    HRESULT CountEntries(EntryKind kind, std::u16string_view text, LONG* count);
    HRESULT FillEntries(EntryKind kind, std::u16string_view text, ItemRecord* records, LONG count);

private:
    // Binds the folded query (?2) and, for the index, its trigrams (?1).
    void BindQuery(SqliteStatement& statement, const QByteArray& folded) const;
    HRESULT CountWith(const std::string& sql, const QByteArray& folded, LONG* count);
    // Whether some disc is being imported (and must be left out).
    HRESULT SomeDiscHidden(bool* someHidden);

    SqliteConnection& m_db;
};
