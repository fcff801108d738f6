// Disc records on the server, and the removal of a disc with everything
// written for it.
#pragma once
#include "NewDiscArguments.h"
#include "LibraryRecords.h"
#include "PgConnection.h"
#include "wintypes.h"

#include <QHash>
#include <QString>

struct PgNewDisc : NewDiscArguments {
    LONG labelId = 0;
    int64_t owner = 0; // the instance adding it; 0: the disc is final at once
};

class PgDiscStore {
public:
    // The columns a disc record is filled from, in Fill's order.
    static constexpr const char* kRecordColumns =
        "d.id, d.label_id, d.name, d.tag_ids, d.media_class, d.format_code, d.date_text, d.total_size,"
        " d.folder_count, d.file_count";

    explicit PgDiscStore(PgConnection& db) : m_db(db) {}

    HRESULT Add(const PgNewDisc& disc, LONG* discId);
    HRESULT SetTags(LONG discId, std::u16string_view tagIds);
    HRESULT SetName(LONG discId, const QString& name);
    HRESULT SetLabelId(LONG discId, LONG labelId);
    // Removes the disc, its folders, files, grams, gaps and the paths no
    // other disc uses, on `db` (the instance's connection or an import's);
    // inside a transaction. Paths an open import holds are left.
    static HRESULT Delete(PgConnection& db, LONG discId);
    // Clears the owner mark: the disc no longer depends on its instance.
    HRESULT Release(LONG discId);

    // Discs that are not being imported, in the order they were added.
    HRESULT Count(LONG* count);
    HRESULT List(DiscRecord* records, LONG count, const QHash<int, QString>& tagNames);
    HRESULT Identity(LONG discId, QByteArray& identity);
    // The disc's whole tag id text.
    HRESULT TagIds(LONG discId, QString& tagIds);
    HRESULT FindByIdentity(const QByteArray& identity, LONG* discId);
    HRESULT LabelId(LONG discId, LONG* labelId);
    // 1 while an open import (of any client) writes the disc or replaces it,
    // else 0. Outside a transaction: the test's own lock ends with it.
    HRESULT IsImporting(LONG discId, LONG* importing);
    HRESULT Newest(LONG* discId);

    static void Fill(const PgResult& rows, int row, const QHash<int, QString>& tagNames, DiscRecord& record);

private:
    PgConnection& m_db;
};
