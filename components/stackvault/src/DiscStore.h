// Disc records and the removal of a disc with everything written for it.
#pragma once
#include "NewDiscArguments.h"
#include "LibraryRecords.h"
#include "SqliteConnection.h"
#include "wintypes.h"

#include <QHash>
#include <QString>

struct NewDisc : NewDiscArguments {
    LONG labelId = 0;
    QByteArray owner; // the process adding it; empty: the disc is final at once
};

class DiscStore {
public:
    // The columns a disc record is filled from, in Fill's order.
    static constexpr const char* kRecordColumns =
        "d.id, d.label_id, d.name, d.tag_ids, d.media_class, d.format_code, d.date_text, d.total_size,"
        " d.folder_count, d.file_count";

    explicit DiscStore(SqliteConnection& db) : m_db(db) {}

    // Writers: call inside a write transaction.
    HRESULT Add(const NewDisc& disc, LONG* discId);
    HRESULT SetTags(LONG discId, std::u16string_view tagIds);
    HRESULT SetName(LONG discId, const QString& name);
    HRESULT SetLabelId(LONG discId, LONG labelId);
    // Removes the disc, its folders and files with their name index entries,
    // and the paths no other disc (or other open import) uses.
    HRESULT Delete(LONG discId);
    // Clears the owner mark: the disc no longer depends on its process.
    HRESULT Release(LONG discId);

    // Discs that are not being imported, in the order they were added.
    HRESULT Count(LONG* count);
    HRESULT List(DiscRecord* records, LONG count, const QHash<int, QString>& tagNames);
    HRESULT Identity(LONG discId, QByteArray& identity);
    // The disc's whole tag id text.
    HRESULT TagIds(LONG discId, QString& tagIds);
    // 0 when no disc has that identity.
    HRESULT FindByIdentity(const QByteArray& identity, LONG* discId);
    HRESULT LabelId(LONG discId, LONG* labelId);
    // 1 while an open import writes the disc or replaces it, else 0.
    HRESULT IsImporting(LONG discId, LONG* importing);
    // The newest disc, 0 when none.
    HRESULT Newest(LONG* discId);

    static void Fill(const SqliteStatement& row, const QHash<int, QString>& tagNames, DiscRecord& record);

private:
    HRESULT RunForDisc(const char* sql, LONG discId);

    SqliteConnection& m_db;
};
