// Tags: names matched case-insensitively (Unicode case folding), hidden
// rather than removed, the four category tags listed first.
#pragma once
#include "LibraryRecords.h"
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <string_view>

class TagStore {
public:
    explicit TagStore(SqliteConnection& db) : m_db(db) {}

    HRESULT Count(LONG* count);
    HRESULT List(TagRecord* records, LONG count);
    // "::"-joined ids to ", "-joined names of visible tags, in the ids' order.
    HRESULT Names(const QString& tagIds, QString& names);
    // Writers: call inside a write transaction.
    HRESULT Add(std::u16string_view name, LONG* id);
    HRESULT SetVisible(std::u16string_view name, bool visible);
    HRESULT Find(std::u16string_view name, LONG* id, LONG* visible);
    // The names of the category tags among the ids, in the ids' order.
    QStringList CategoryTags(const QString& tagIds);
    // Names of visible tags by id.
    HRESULT VisibleNames(QHash<int, QString>& names);

private:
    SqliteConnection& m_db;
};
