// Tags on the server: names matched case-insensitively (Unicode case
// folding), hidden rather than removed, the four category tags first.
#pragma once
#include "LibraryRecords.h"
#include "PgConnection.h"
#include "wintypes.h"

#include <QHash>
#include <QString>
#include <QStringList>
#include <string_view>

class PgTagStore {
public:
    explicit PgTagStore(PgConnection& db) : m_db(db) {}

    HRESULT Count(LONG* count);
    HRESULT List(TagRecord* records, LONG count);
    HRESULT Names(const QString& tagIds, QString& names);
    HRESULT Add(std::u16string_view name, LONG* id);
    HRESULT SetVisible(std::u16string_view name, bool visible);
    HRESULT Find(std::u16string_view name, LONG* id, LONG* visible);
    QStringList CategoryTags(const QString& tagIds);
    HRESULT VisibleNames(QHash<int, QString>& names);
    // The statement VisibleNames runs and the reading of its rows, for a
    // caller that sends it with others in one round trip.
    static const char* VisibleNamesSql();
    static void ReadVisibleNames(const PgResult& rows, QHash<int, QString>& names);

private:
    PgConnection& m_db;
};
