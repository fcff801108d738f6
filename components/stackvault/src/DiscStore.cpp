#include "DiscStore.h"

#include "DiscTypeMapping.h"
#include "FileSpans.h"
#include "LibrarySchema.h"
#include "NameBlocks.h"
#include "TagNames.h"
#include "Utf16Text.h"

#include <array>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {
// Steps that remove one disc (?1), in order. The paths it used are gathered
// first: those linked to it, and those its open import created when no
// other disc shares that import; they go unless still in use. Then its
// names leave the name index (RowSteps), then the rest.
constexpr const char* kPathSteps[] = {
    "DELETE FROM temp.doomed_paths",
    "INSERT OR IGNORE INTO temp.doomed_paths SELECT path_id FROM disc_paths WHERE disc_id = ?1",
    "INSERT OR IGNORE INTO temp.doomed_paths SELECT p.path_id FROM discs d JOIN import_paths p"
    " ON p.import_id = d.import_id WHERE d.id = ?1"
    " AND NOT EXISTS (SELECT 1 FROM discs o WHERE o.import_id = d.import_id AND o.id <> d.id)",
    "DELETE FROM import_paths WHERE import_id = (SELECT import_id FROM discs WHERE id = ?1)"
    " AND NOT EXISTS (SELECT 1 FROM discs o WHERE o.import_id = import_paths.import_id AND o.id <> ?1)",
    "DELETE FROM disc_paths WHERE disc_id = ?1",
    "DELETE FROM paths WHERE id IN (SELECT id FROM temp.doomed_paths)"
    " AND NOT EXISTS (SELECT 1 FROM disc_paths WHERE path_id = paths.id)"
    " AND NOT EXISTS (SELECT 1 FROM import_paths WHERE path_id = paths.id)",
};

// The largest id of the disc's rows of a kind (0 files, 1 folders) that are
// in the name index: all of a finished disc (or of rows left without their
// disc), those its open import has indexed so far (see LibrarySchema.h).
#define SV_INDEXED_UP_TO(kind)                                                                                         \
    "coalesce((SELECT CASE WHEN d.import_id IS NULL THEN 9223372036854775807 ELSE coalesce((SELECT p.last_id"          \
    " FROM name_index_progress p WHERE p.import_id = d.import_id AND p.kind = " kind "), 0) END"                         \
    " FROM discs d WHERE d.id = ?1), 9223372036854775807)"

// The index entries go with the names folded again, as they were indexed;
// the disc's files are `files` (aliased f), its spans go after them.
std::vector<std::string> ContentlessRowSteps(const std::string& files)
{
    return {
        "INSERT INTO file_names(file_names, rowid, fold) SELECT 'delete', f.id, sv_fold(f.name) FROM files f WHERE " +
            files + " AND f.id <= " SV_INDEXED_UP_TO("0"),
        "DELETE FROM files AS f WHERE " + files,
        "INSERT INTO folder_names(folder_names, rowid, fold) SELECT 'delete', f.id, sv_fold(f.name) FROM folders f"
        " WHERE f.disc_id = ?1 AND f.id <= " SV_INDEXED_UP_TO("1"),
        "DELETE FROM folders WHERE disc_id = ?1",
    };
}
#undef SV_INDEXED_UP_TO

// With stored folds, the rows with a folded name are the ones indexed.
std::vector<std::string> StoredFoldRowSteps(const std::string& files)
{
    return {
        "INSERT INTO file_names(file_names, rowid, fold) SELECT 'delete', n.id, n.fold FROM files f"
        " CROSS JOIN file_folds n ON n.id = f.id WHERE " + files,
        "DELETE FROM file_folds WHERE id IN (SELECT f.id FROM files f WHERE " + files + ")",
        "DELETE FROM files AS f WHERE " + files,
        "INSERT INTO folder_names(folder_names, rowid, fold) SELECT 'delete', n.id, n.fold FROM folders f"
        " CROSS JOIN folder_folds n ON n.id = f.id WHERE f.disc_id = ?1",
        "DELETE FROM folder_folds WHERE id IN (SELECT id FROM folders WHERE disc_id = ?1)",
        "DELETE FROM folders WHERE disc_id = ?1",
    };
}

// The steps that remove the disc's rows in a library of the layout given.
std::vector<std::string> RowSteps(bool storedFolds, bool spans, bool blocks)
{
    const std::string files = FileSpans::OfDisc("f", "?1", spans);
    std::vector<std::string> steps = storedFolds ? StoredFoldRowSteps(files) : ContentlessRowSteps(files);
    if (spans) steps.push_back("DELETE FROM file_spans WHERE disc_id = ?1");
    if (blocks) steps.push_back(NameBlocks::kDeleteDiscSql);
    return steps;
}

const std::vector<std::string>& RowStepsOf(SqliteConnection& db)
{
    // By stored folds, spans and name blocks kept, as bits 2, 1 and 0.
    static const auto steps = [] {
        std::array<std::vector<std::string>, 8> layouts;
        for (size_t bits = 0; bits < layouts.size(); ++bits) layouts[bits] = RowSteps(bits & 4, bits & 2, bits & 1);
        return layouts;
    }();
    return steps[LibrarySchema::StoresFolds(db) * 4 + LibrarySchema::KeepsFileSpans(db) * 2 +
                 LibrarySchema::KeepsNameBlocks(db)];
}

constexpr const char* kRestSteps[] = {
    "DELETE FROM name_grams WHERE disc_id = ?1",
    "DELETE FROM disc_gaps WHERE disc_id = ?1",
    "DELETE FROM disc_replacements WHERE new_disc_id = ?1",
    "DELETE FROM discs WHERE id = ?1",
};
} // namespace

HRESULT DiscStore::Add(const NewDisc& disc, LONG* discId)
{
    const DiscTypeCodes codes = DiscTypeMapping::Classify(disc.properties);
    auto insert = m_db.Statement(
        "INSERT INTO discs(identity, name, name_fold, tag_ids, label_id, media_class, format_code, date_text,"
        " total_size, audio_flag, disc_class, folder_count, file_count, used_bytes, capacity_bytes, owner)"
        " VALUES(?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
    if (!insert) return E_FAIL;
    const DiscProperties& p = disc.properties;
    insert->BindUtf8(1, p.identity);
    insert->BindText(2, disc.name.toStdU16String());
    insert->BindUtf8(3, Utf16Text::Folded(disc.name));
    insert->BindText(4, disc.tagIds.toStdU16String());
    insert->Bind(5, disc.labelId);
    insert->Bind(6, codes.mediaClass);
    insert->Bind(7, codes.formatCode);
    insert->BindText(8, disc.dateText.toStdU16String());
    insert->Bind(9, codes.totalSize);
    insert->Bind(10, p.audioFlag);
    insert->Bind(11, p.discClass);
    insert->Bind(12, p.folderCount);
    insert->Bind(13, p.fileCount);
    insert->Bind(14, p.usedBytes);
    insert->Bind(15, p.capacityBytes);
    if (disc.owner.isEmpty())
        insert->BindNull(16);
    else
        insert->BindUtf8(16, disc.owner);
    const int rc = insert->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "add disc");
    *discId = static_cast<LONG>(m_db.LastInsertId());
    return S_OK;
}

HRESULT DiscStore::SetTags(LONG discId, std::u16string_view tagIds)
{
    auto update = m_db.Statement("UPDATE discs SET tag_ids = ? WHERE id = ?");
    if (!update) return E_FAIL;
    update->BindText(1, tagIds);
    update->Bind(2, discId);
    const int rc = update->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "set disc tags");
    return m_db.Changes() > 0 ? S_OK : E_INVALIDARG;
}

HRESULT DiscStore::SetName(LONG discId, const QString& name)
{
    auto update = m_db.Statement("UPDATE discs SET name = ?, name_fold = ? WHERE id = ?");
    if (!update) return E_FAIL;
    update->BindText(1, name.toStdU16String());
    update->BindUtf8(2, Utf16Text::Folded(name));
    update->Bind(3, discId);
    const int rc = update->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "set disc name");
    return m_db.Changes() > 0 ? S_OK : E_INVALIDARG;
}

HRESULT DiscStore::IsImporting(LONG discId, LONG* importing)
{
    auto query = m_db.Statement(
        "SELECT EXISTS(SELECT 1 FROM discs WHERE id = ?1 AND import_id IS NOT NULL)"
        " OR EXISTS(SELECT 1 FROM disc_replacements WHERE old_disc_id = ?1)");
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "disc importing");
    *importing = LONG(query->Int64(0));
    return S_OK;
}

HRESULT DiscStore::SetLabelId(LONG discId, LONG labelId)
{
    auto update = m_db.Statement("UPDATE discs SET label_id = ? WHERE id = ?");
    if (!update) return E_FAIL;
    update->Bind(1, labelId);
    update->Bind(2, discId);
    const int rc = update->Run();
    if (rc != SQLITE_DONE) return m_db.Failure(rc, "set disc label");
    return m_db.Changes() > 0 ? S_OK : E_INVALIDARG;
}

HRESULT DiscStore::Delete(LONG discId)
{
    LONG labelId = 0;
    HRESULT hr = LabelId(discId, &labelId);
    for (const char* step : kPathSteps)
        if (SUCCEEDED(hr)) hr = RunForDisc(step, discId);
    for (const std::string& step : RowStepsOf(m_db))
        if (SUCCEEDED(hr)) hr = RunForDisc(step.c_str(), discId);
    for (const char* step : kRestSteps)
        if (SUCCEEDED(hr)) hr = RunForDisc(step, discId);
    return hr;
}

HRESULT DiscStore::RunForDisc(const char* sql, LONG discId)
{
    auto statement = m_db.Statement(sql);
    if (!statement) return E_FAIL;
    statement->Bind(1, discId); // steps without a parameter ignore it
    const int rc = statement->Run();
    return rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "disc step");
}

HRESULT DiscStore::Release(LONG discId)
{
    return RunForDisc("UPDATE discs SET owner = NULL WHERE id = ?1 AND import_id IS NULL", discId);
}

HRESULT DiscStore::Count(LONG* count)
{
    auto query = m_db.Statement("SELECT count(*) FROM discs WHERE import_id IS NULL");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "disc count");
    *count = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT DiscStore::List(DiscRecord* records, LONG count, const QHash<int, QString>& tagNames)
{
    static const std::string sql =
        std::string("SELECT ") + kRecordColumns + " FROM discs d WHERE d.import_id IS NULL ORDER BY d.id";
    auto query = m_db.Statement(sql.c_str());
    if (!query) return E_FAIL;
    int rc = SQLITE_DONE;
    for (LONG i = 0; i < count && (rc = query->Step()) == SQLITE_ROW; ++i) Fill(*query, tagNames, records[i]);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "discs");
}

void DiscStore::Fill(const SqliteStatement& row, const QHash<int, QString>& tagNames, DiscRecord& record)
{
    record.discId = static_cast<int32_t>(row.Int64(0));
    record.labelId = static_cast<int32_t>(row.Int64(1));
    Utf16Text::CopyToField(record.name, kLibraryTextLength, row.Text(2));
    const QString tagIds = row.Text(3);
    Utf16Text::CopyToField(record.tagNames, kLibraryTextLength, TagNames::Join(tagIds, tagNames));
    Utf16Text::CopyToField(record.tagIds, kLibraryTextLength, tagIds);
    record.mediaClass = static_cast<int32_t>(row.Int64(4));
    record.formatCode = static_cast<int32_t>(row.Int64(5));
    Utf16Text::CopyToField(record.dateText, kLibraryTextLength, row.Text(6));
    record.totalSize = row.Int64(7);
    record.folderCount = static_cast<int32_t>(row.Int64(8));
    record.fileCount = static_cast<int32_t>(row.Int64(9));
}

HRESULT DiscStore::Identity(LONG discId, QByteArray& identity)
{
    auto query = m_db.Statement("SELECT identity FROM discs WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    const int rc = query->Step();
    if (rc == SQLITE_DONE) return E_INVALIDARG;
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "disc identity");
    identity = query->Utf8(0);
    return S_OK;
}

HRESULT DiscStore::TagIds(LONG discId, QString& tagIds)
{
    auto query = m_db.Statement("SELECT tag_ids FROM discs WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    const int rc = query->Step();
    if (rc == SQLITE_DONE) return E_INVALIDARG;
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "disc tags");
    tagIds = query->Text(0);
    return S_OK;
}

HRESULT DiscStore::FindByIdentity(const QByteArray& identity, LONG* discId)
{
    auto query = m_db.Statement("SELECT min(id) FROM discs WHERE identity = ?");
    if (!query) return E_FAIL;
    query->BindUtf8(1, identity);
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "find disc");
    *discId = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT DiscStore::LabelId(LONG discId, LONG* labelId)
{
    auto query = m_db.Statement("SELECT label_id FROM discs WHERE id = ?");
    if (!query) return E_FAIL;
    query->Bind(1, discId);
    const int rc = query->Step();
    if (rc == SQLITE_DONE) return E_INVALIDARG;
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "disc label");
    *labelId = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT DiscStore::Newest(LONG* discId)
{
    auto query = m_db.Statement("SELECT coalesce(max(id), 0) FROM discs");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "newest disc");
    *discId = static_cast<LONG>(query->Int64(0));
    return S_OK;
}
