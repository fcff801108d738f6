#include "NameSearch.h"

#include "DiscStore.h"
#include "EntryTypeTexts.h"
#include "EntryTypes.h"
#include "ItemRecordFill.h"
#include "LibrarySchema.h"
#include "NameGrams.h"
#include "NameMatch.h"
#include "Utf16Text.h"

#include <algorithm>
#include <array>
#include <functional>
#include <limits>
#include <optional>
#include <sqlite3.h>

namespace {
struct EntryTables {
    const char* table;
    const char* folds;
    const char* names; // the trigram index
    const char* parent;
};

EntryTables TablesOf(EntryKind kind)
{
    return kind == EntryKind::Files ? EntryTables{"files", "file_folds", "file_names", "folder_id"}
                                    : EntryTables{"folders", "folder_folds", "folder_names", "parent_id"};
}

constexpr char kHiddenDiscs[] = "(SELECT id FROM discs WHERE import_id IS NOT NULL)";

// What a scan for a short query reads as n: the stored folded names, or the
// rows themselves, their names folded as they are read.
struct ScanTable {
    const char* table;
    const char* condition; // on n, with the folded query as ?2
};

ScanTable ScanOf(EntryKind kind, bool storedFolds)
{
    const EntryTables t = TablesOf(kind);
    return storedFolds ? ScanTable{t.folds, "sv_contains(n.fold, ?2)"} : ScanTable{t.table, "sv_name_has(n.name, ?2)"};
}

// Where matching entries come from, with their id: only the index (or the
// names scanned); the discs being imported are left out only when there
// are any. Counting and listing ids share it.
struct MatchSource {
    std::string from; // "FROM ... WHERE ..."
    std::string key;  // the entry id in that source
};

MatchSource MatchSourceOf(EntryKind kind, bool useIndex, bool someHidden, bool storedFolds)
{
    const EntryTables t = TablesOf(kind);
    const ScanTable scan = ScanOf(kind, storedFolds);
    const std::string notHidden = std::string("n.disc_id NOT IN ") + kHiddenDiscs;
    if (!useIndex)
        return {std::string("FROM ") + scan.table + " n WHERE " + scan.condition + (someHidden ? " AND " + notHidden : ""),
                "n.id"};
    const std::string key = std::string(t.names) + ".rowid";
    if (!someHidden) return {std::string("FROM ") + t.names + " WHERE " + t.names + " MATCH ?1", key};
    return {std::string("FROM ") + t.names + " CROSS JOIN " + scan.table + " n ON n.id = " + key + " WHERE " + t.names +
                " MATCH ?1 AND " + notHidden,
            key};
}

std::string CountSql(EntryKind kind, bool useIndex, bool someHidden, bool storedFolds)
{
    return "SELECT count(*) " + MatchSourceOf(kind, useIndex, someHidden, storedFolds).from;
}

// Joins a folder row f with the path of what it holds (own; null for a
// folder whose path was never stored, which then keeps its parent's).
constexpr char kFolderOwnPath[] = " LEFT JOIN paths up ON up.id = f.path_id LEFT JOIN paths own ON own.text ="
                                  " (CASE WHEN f.path_id = 0 THEN '' ELSE up.text END) || '\\' || f.name";

// A folder found is reported with its own path (the path of what it holds),
// a file with the path of its folder. `source` joins the entry rows as f
// and its disc as d.
std::string RecordSql(EntryKind kind, const std::string& source, bool typeTexts)
{
    const EntryTables t = TablesOf(kind);
    const bool folders = kind == EntryKind::Folders;
    std::string sql = std::string("SELECT f.id, f.name, f.") + t.parent +
                      ", f.size, " + EntryTypes::TextSql("f", typeTexts) + ", f.time, f.disc_id, d.label_id, d.name, " +
                      (folders ? "coalesce(own.id, f.path_id)" : "f.path_id") + " FROM " + source;
    if (folders) sql += kFolderOwnPath;
    return sql;
}

std::string ListSql(EntryKind kind, bool useIndex, bool storedFolds, bool typeTexts)
{
    const EntryTables t = TablesOf(kind);
    if (!useIndex && !storedFolds)
        return RecordSql(kind, std::string(t.table) + " f CROSS JOIN discs d ON d.id = f.disc_id", typeTexts) +
               " WHERE sv_name_has(f.name, ?2) AND d.import_id IS NULL ORDER BY f.id";
    const std::string source = useIndex ? t.names : t.folds;
    const std::string key = useIndex ? source + ".rowid" : source + ".id";
    std::string sql = RecordSql(kind, source + " CROSS JOIN " + t.table + " f ON f.id = " + key +
                                          " CROSS JOIN discs d ON d.id = f.disc_id",
                                typeTexts);
    sql += useIndex ? std::string(" WHERE ") + t.names + " MATCH ?1" : " WHERE sv_contains(" + source + ".fold, ?2)";
    return sql + " AND d.import_id IS NULL ORDER BY " + key;
}

std::string ByIdSql(EntryKind kind, bool typeTexts)
{
    return RecordSql(kind, std::string(TablesOf(kind).table) + " f CROSS JOIN discs d ON d.id = f.disc_id", typeTexts) +
           " WHERE f.id = ?1";
}

// The records of a range of ids, in id order.
std::string RangeSql(EntryKind kind, bool typeTexts)
{
    return RecordSql(kind, std::string(TablesOf(kind).table) + " f CROSS JOIN discs d ON d.id = f.disc_id", typeTexts) +
           " WHERE f.id BETWEEN ?1 AND ?2 AND (?4 OR sv_listed(?3, f.id)) ORDER BY f.id";
}

// The compact form (ILibraryListedEntries) of the entry rows f that `source`
// joins: id, name, parent id, size, time, disc id, path id as RecordSql
// gives them, without the disc's name (NameSearch::ReadListed); with the
// type (`typeColumn`, EntryTypes::TextSql) as an eighth column when given.
// A deleted disc's rows go with it, so no join with the discs is needed to
// leave them out. `placesOnly`: without parent id, size and time (as
// sv_found takes an entry's place alone).
std::string ListedColumns(EntryKind kind, const std::string& typeColumn = {}, bool placesOnly = false)
{
    const std::string numbers = placesOnly ? "" : std::string("f.") + TablesOf(kind).parent + ", f.size, f.time, ";
    return "f.id, f.name, " + numbers + "f.disc_id, " +
           (kind == EntryKind::Folders ? "coalesce(own.id, f.path_id)" : "f.path_id") +
           (typeColumn.empty() ? std::string() : ", " + typeColumn);
}

std::string ListedSql(EntryKind kind, const std::string& source, const std::string& typeColumn = {})
{
    std::string sql = "SELECT " + ListedColumns(kind, typeColumn) + " FROM " + source;
    if (kind == EntryKind::Folders) sql += kFolderOwnPath;
    return sql;
}

constexpr int kListedTypeColumn = 7;

// The compact form of a range of ids.
std::string ListedRangeSql(EntryKind kind, const std::string& typeColumn)
{
    return ListedSql(kind, std::string(TablesOf(kind).table) + " f", typeColumn) +
           " WHERE f.id BETWEEN ?1 AND ?2 AND (?4 OR sv_listed(?3, f.id)) ORDER BY f.id";
}

// A scan of the ids' range reads at most this many rows per id asked for;
// sparser ids are looked up one by one.
constexpr int64_t kRangeRowsPerId = 8;

// Whether each id is greater than the one before.
bool IsAscending(const std::vector<int32_t>& ids)
{
    return std::adjacent_find(ids.begin(), ids.end(), std::greater_equal<>()) == ids.end();
}

bool ScanPays(const std::vector<int32_t>& ids)
{
    return ids.size() > 1 && std::is_sorted(ids.begin(), ids.end()) &&
           int64_t(ids.back()) - ids.front() < kRangeRowsPerId * int64_t(ids.size());
}

void FillItem(const SqliteStatement& row, ItemRecord& record)
{
    // Texts are copied straight from the row into the record.
    struct Row {
        const SqliteStatement& row;
        int64_t Int64(int column) const { return row.Int64(column); }
        std::u16string_view Text(int column) const { return row.Text16(column); }
    };
    ItemRecordFill::Fill(Row{row}, record);
}
} // namespace


HRESULT NameSearch::SomeDiscHidden(bool* someHidden)
{
    auto query = m_db.Statement("SELECT EXISTS (SELECT 1 FROM discs WHERE import_id IS NOT NULL)");
    if (!query) return E_FAIL;
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "hidden discs");
    *someHidden = query->Int64(0) != 0;
    return S_OK;
}

HRESULT NameSearch::CountWith(const std::string& sql, const QByteArray& folded, LONG* count)
{
    auto query = m_db.Statement(sql.c_str());
    if (!query) return E_FAIL;
    BindFolded(*query, folded);
    const int rc = query->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "search count");
    *count = static_cast<LONG>(query->Int64(0));
    return S_OK;
}

HRESULT NameSearch::CountDiscs(std::u16string_view text, LONG* count)
{
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return *count = 0, S_OK;
    return CountWith("SELECT count(*) FROM discs d WHERE d.import_id IS NULL AND sv_contains(d.name_fold, ?2)", folded,
                     count);
}

HRESULT NameSearch::FillDiscs(std::u16string_view text, DiscRecord* records, LONG count,
                              const QHash<int, QString>& tagNames)
{
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return S_OK;
    static const std::string sql = std::string("SELECT ") + DiscStore::kRecordColumns +
                                   " FROM discs d WHERE d.import_id IS NULL AND sv_contains(d.name_fold, ?2)"
                                   " ORDER BY d.id";
    auto query = m_db.Statement(sql.c_str());
    if (!query) return E_FAIL;
    BindFolded(*query, folded);
    int rc = SQLITE_DONE;
    for (LONG i = 0; i < count && (rc = query->Step()) == SQLITE_ROW; ++i) DiscStore::Fill(*query, tagNames, records[i]);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "search discs");
}

HRESULT NameSearch::CountEntries(EntryKind kind, std::u16string_view text, LONG* count)
{
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return *count = 0, S_OK;
    if (NameGrams::Answers(folded)) {
        const HRESULT hr = NameGrams::Count(m_db, kind, folded, count);
        if (hr != E_NOTIMPL) return hr;
    }
    bool someHidden = true;
    const HRESULT hr = SomeDiscHidden(&someHidden);
    if (FAILED(hr)) return hr;
    return CountWith(CountSql(kind, NameMatch::UsesIndex(folded), someHidden, LibrarySchema::StoresFolds(m_db)), folded,
                     count);
}

HRESULT NameSearch::FillEntries(EntryKind kind, std::u16string_view text, ItemRecord* records, LONG count)
{
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return S_OK;
    const std::string sql = ListSql(kind, NameMatch::UsesIndex(folded), LibrarySchema::StoresFolds(m_db),
                                    LibrarySchema::StoresTypeTexts(m_db));
    auto query = m_db.Statement(sql.c_str());
    if (!query) return E_FAIL;
    BindFolded(*query, folded);
    int rc = SQLITE_DONE;
    for (LONG i = 0; i < count && (rc = query->Step()) == SQLITE_ROW; ++i) FillItem(*query, records[i]);
    return rc == SQLITE_ROW || rc == SQLITE_DONE ? S_OK : m_db.Failure(rc, "search");
}

std::string NameSearch::IdsSql(EntryKind kind, const QByteArray& folded, bool someHidden)
{
    const MatchSource source =
        MatchSourceOf(kind, NameMatch::UsesIndex(folded), someHidden, LibrarySchema::StoresFolds(m_db));
    return "SELECT " + source.key + " " + source.from + " ORDER BY " + source.key;
}

// The entries themselves in one pass, each handed to sv_found inside the
// scan: a short query tests each row's name (folded as it is read) instead
// of first finding ids in the stored folds, a longer one joins the index's
// hits with their rows. CASE keeps sv_found from seeing a row the other
// conditions leave out (SQLite may test a condition with a subquery last).
std::string NameSearch::ListedEntriesSql(EntryKind kind, const QByteArray& folded, bool someHidden, bool placesOnly)
{
    return FoundEntriesSql(kind, NameMatch::UsesIndex(folded), someHidden, false, placesOnly);
}

std::string NameSearch::SlicedEntriesSql(EntryKind kind, const QByteArray& folded, bool someHidden, bool placesOnly)
{
    return NameMatch::UsesIndex(folded) ? std::string() : FoundEntriesSql(kind, false, someHidden, true, placesOnly);
}

std::string NameSearch::SlicedBlocksSql(const QByteArray& folded, bool someHidden)
{
    if (NameMatch::UsesIndex(folded)) return {};
    const std::string notHidden = someHidden ? std::string("b.disc_id NOT IN ") + kHiddenDiscs : "1";
    return "SELECT 1 FROM file_name_blocks b WHERE b.first_id BETWEEN ?" + std::to_string(kSliceFirstParameter) +
           " AND ?" + std::to_string(kSliceLastParameter) + " AND CASE WHEN " + notHidden +
           " THEN sv_found_in_block(?" + std::to_string(kFoundParameter) +
           ", ?2, b.first_id, b.disc_id, b.entries) END ORDER BY b.first_id";
}

const char* NameSearch::SlicedIdRangeSql(EntryKind kind)
{
    // Each end read from the table's own tree (min and max together would
    // scan a whole index).
    return kind == EntryKind::Files
               ? "SELECT (SELECT id FROM files ORDER BY id LIMIT 1), (SELECT id FROM files ORDER BY id DESC LIMIT 1)"
               : "SELECT (SELECT id FROM folders ORDER BY id LIMIT 1), (SELECT id FROM folders ORDER BY id DESC LIMIT 1)";
}

std::string NameSearch::FoundEntriesSql(EntryKind kind, bool useIndex, bool someHidden, bool sliced, bool placesOnly)
{
    const EntryTables t = TablesOf(kind);
    const std::string key = useIndex ? std::string(t.names) + ".rowid" : "f.id";
    std::string source = std::string(t.table) + " f";
    if (useIndex) source = std::string(t.names) + " CROSS JOIN " + source + " ON f.id = " + key;
    if (kind == EntryKind::Folders) source += kFolderOwnPath;
    const std::string receiver = "?" + std::to_string(kFoundParameter);
    const std::string columns = ListedColumns(kind, {}, placesOnly);
    const std::string first = "?" + std::to_string(kSliceFirstParameter), last = "?" + std::to_string(kSliceLastParameter);
    std::string sql = "SELECT 1 FROM " + source + " WHERE ";
    // A scan of every row with no other condition tests each name, hands
    // it over and ends past the slice in one call per row (it yields a row
    // there).
    if (!useIndex && !someHidden)
        return sql + (sliced ? "f.id >= " + first + " AND " : std::string()) + "sv_found_if(" + receiver + ", ?2, " +
               (sliced ? last : std::to_string(std::numeric_limits<int64_t>::max())) + ", " + columns + ") ORDER BY " +
               key;
    if (useIndex) sql += std::string(t.names) + " MATCH ?1 AND ";
    if (sliced) sql += "f.id BETWEEN " + first + " AND " + last + " AND ";
    std::string wanted = useIndex ? "1" : "sv_name_has(f.name, ?2)";
    if (someHidden) wanted += std::string(" AND f.disc_id NOT IN ") + kHiddenDiscs;
    return sql + "CASE WHEN " + wanted + " THEN sv_found(" + receiver + ", " + columns + ") END ORDER BY " + key;
}

std::string_view NameSearch::ReadListed(const SqliteStatement& row, ListedEntry& entry)
{
    entry = ListedEntry{};
    entry.id = static_cast<int32_t>(row.Int64(0));
    entry.parentId = static_cast<int32_t>(row.Int64(2));
    entry.size = row.Int64(3);
    entry.time = row.Int64(4);
    entry.discId = static_cast<int32_t>(row.Int64(5));
    entry.pathId = static_cast<int32_t>(row.Int64(6));
    return row.TextView(1);
}

void NameSearch::BindFolded(SqliteStatement& statement, const QByteArray& folded)
{
    if (NameMatch::UsesIndex(folded)) statement.BindUtf8(1, NameMatch::PhraseQuery(folded));
    statement.BindUtf8(2, folded);
}

HRESULT NameSearch::FillById(EntryKind kind, int64_t id, ItemRecord& record)
{
    static const std::string sql[2][2] = {{ByIdSql(EntryKind::Files, false), ByIdSql(EntryKind::Folders, false)},
                                          {ByIdSql(EntryKind::Files, true), ByIdSql(EntryKind::Folders, true)}};
    auto query = m_db.Statement(sql[LibrarySchema::StoresTypeTexts(m_db)][kind == EntryKind::Files ? 0 : 1].c_str());
    if (!query) return E_FAIL;
    query->Bind(1, id);
    const int rc = query->Step();
    if (rc == SQLITE_ROW) FillItem(*query, record);
    else if (rc == SQLITE_DONE) record = ItemRecord{}; // gone since the listing found it
    else return m_db.Failure(rc, "entry by id");
    return S_OK;
}

HRESULT NameSearch::FillByIds(EntryKind kind, const std::vector<int32_t>& ids, ItemRecord* records)
{
    if (ScanPays(ids)) return FillRange(kind, ids, records);
    for (size_t i = 0; i < ids.size(); ++i) {
        const HRESULT hr = FillById(kind, ids[i], records[i]);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// One scan from the first id to the last; rows between that were not asked
// for are passed over before their columns are read, ids without a row
// give empty records.
HRESULT NameSearch::FillRange(EntryKind kind, const std::vector<int32_t>& ids, ItemRecord* records)
{
    static const std::string sql[2][2] = {{RangeSql(EntryKind::Files, false), RangeSql(EntryKind::Folders, false)},
                                          {RangeSql(EntryKind::Files, true), RangeSql(EntryKind::Folders, true)}};
    const std::string& range = sql[LibrarySchema::StoresTypeTexts(m_db)][kind == EntryKind::Files ? 0 : 1];
    return ScanRange(range, ids, [&](const SqliteStatement* row, size_t i) {
        if (row) FillItem(*row, records[i]);
        else records[i] = ItemRecord{};
        return true;
    });
}

template <class Fill>
HRESULT NameSearch::ScanRange(const std::string& sql, const std::vector<int32_t>& ids, Fill&& fill, size_t* done)
{
    auto query = m_db.Statement(sql.c_str());
    if (!query) return E_FAIL;
    query->Bind(1, ids.front());
    query->Bind(2, ids.back());
    NameMatch::ListedIds listed{ids};
    NameMatch::BindListed(*query, 3, &listed);
    // Every id of the range asked for (a folder's files, read in blocks):
    // each row of the range is taken without asking sv_listed.
    const bool everyId = int64_t(ids.back()) - ids.front() + 1 == int64_t(ids.size()) && IsAscending(ids);
    query->Bind(4, int64_t(everyId));
    size_t next = 0;
    int rc = SQLITE_DONE;
    auto stopped = [&] {
        if (done) *done = next;
        return S_OK;
    };
    while (next < ids.size() && (rc = query->Step()) == SQLITE_ROW) {
        const int64_t id = query->Int64(0);
        for (; next < ids.size() && ids[next] < id; ++next)
            if (!fill(nullptr, next)) return stopped();
        if (next < ids.size() && ids[next] == id) {
            if (!fill(&*query, next)) return stopped();
            ++next;
        }
    }
    if (rc != SQLITE_ROW && rc != SQLITE_DONE) return m_db.Failure(rc, "entries by id");
    for (; next < ids.size(); ++next)
        if (!fill(nullptr, next)) return stopped();
    return stopped();
}

template <class Fill>
HRESULT NameSearch::ScanIds(const std::string& sql, const std::vector<int32_t>& ids, Fill&& fill, size_t* filled)
{
    *filled = 0;
    if (ids.empty()) return S_OK;
    if (ScanPays(ids)) return ScanRange(sql, ids, fill, filled);
    // Sparse ids: one short scan each.
    for (size_t i = 0; i < ids.size(); ++i) {
        size_t one = 0;
        const HRESULT hr = ScanRange(sql, {ids[i]}, [&](const SqliteStatement* row, size_t) { return fill(row, i); },
                                     &one);
        if (FAILED(hr)) return hr;
        if (one == 0) break;
        *filled = i + 1;
    }
    return S_OK;
}

HRESULT NameSearch::FillListedByIds(EntryKind kind, const std::vector<int32_t>& ids, ListedEntry* entries, char* names,
                                    size_t namesCapacity, size_t* filled, const ListedTypes* types)
{
    // Per kind: without types, with the type column as stored.
    const auto forms = [](EntryKind kind) {
        return std::array<std::string, 2>{ListedRangeSql(kind, {}), ListedRangeSql(kind, EntryTypes::TextSql("f", true))};
    };
    static const std::array<std::string, 2> sql[2] = {forms(EntryKind::Files), forms(EntryKind::Folders)};
    // Type ids are turned into texts here, once per distinct id.
    std::optional<EntryTypeTexts> typeTexts;
    if (types && !LibrarySchema::StoresTypeTexts(m_db)) typeTexts.emplace(m_db);
    HRESULT typeFailure = S_OK;
    size_t namesUsed = 0, typesUsed = 0; // bytes of `names` and of the types taken
    // Whether entry i fits, filled from `row` (null: an id without a row).
    auto fill = [&](const SqliteStatement* row, size_t i) {
        ListedEntry& entry = entries[i];
        entry = ListedEntry{};
        std::string_view type;
        if (row && typeTexts) typeFailure = typeTexts->TextOf(*row, kListedTypeColumn, &type);
        else if (row && types) type = row->TextView(kListedTypeColumn);
        if (FAILED(typeFailure)) return false;
        if (types && type.size() > types->capacity - typesUsed) return false;
        if (row && row->TextView(1).size() > namesCapacity - namesUsed) return false;
        if (types) {
            std::copy(type.begin(), type.end(), types->text + typesUsed);
            typesUsed += type.size();
            types->ends[i] = static_cast<uint32_t>(typesUsed);
        }
        if (!row) return true;
        const std::string_view name = ReadListed(*row, entry);
        std::copy(name.begin(), name.end(), names + namesUsed);
        entry.nameOffset = static_cast<uint32_t>(namesUsed);
        entry.nameBytes = static_cast<uint32_t>(name.size());
        namesUsed += name.size();
        return true;
    };
    const HRESULT hr = ScanIds(sql[kind == EntryKind::Files ? 0 : 1][types ? 1 : 0], ids, fill, filled);
    return FAILED(typeFailure) ? typeFailure : hr;
}
