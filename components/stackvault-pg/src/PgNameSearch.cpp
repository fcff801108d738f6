#include "PgNameSearch.h"

#include "GramTally.h"
#include "ItemRecordFill.h"
#include "PgDiscStore.h"
#include "PgTagStore.h"
#include "Utf16Text.h"

#include <algorithm>

namespace {
struct EntryTable {
    const char* table;
    const char* parent;
};

EntryTable TableOf(PgEntryKind kind)
{
    return kind == PgEntryKind::Files ? EntryTable{"files", "folder_id"} : EntryTable{"folders", "parent_id"};
}

// The columns of RecordSql after those ItemRecordFill reads: the path's id and text.
constexpr int kPathIdColumn = 9;
constexpr int kPathTextColumn = 10;

constexpr char kNotHidden[] = " f.disc_id NOT IN (SELECT id FROM discs WHERE import_id IS NOT NULL)";

// A folder found is reported with its own path (the path of what it holds),
// a file with the path of its folder; `withPathText` adds the path's text.
// A folder's own path is looked up by its text, one index probe per row:
// the LIMIT keeps the planner from joining the whole paths table by hash,
// which it chose for a few hundred rows (30 ms for 50,000 paths).
std::string RecordSql(PgEntryKind kind, bool withPathText = false)
{
    const EntryTable t = TableOf(kind);
    const bool folders = kind == PgEntryKind::Folders;
    const std::string pathId = folders ? "coalesce(own.id, f.path_id)" : "f.path_id";
    const std::string pathText = folders ? "coalesce(own.text, up.text)" : "(SELECT p.text FROM paths p WHERE p.id = f.path_id)";
    std::string sql = std::string("SELECT f.id, f.name, f.") + t.parent +
                      ", f.size, f.type, f.time, f.disc_id, d.label_id, d.name, " + pathId +
                      (withPathText ? ", " + pathText : std::string()) + " FROM " + t.table +
                      " f JOIN discs d ON d.id = f.disc_id";
    if (folders)
        sql += " LEFT JOIN paths up ON up.id = f.path_id LEFT JOIN LATERAL (SELECT p.id, p.text FROM paths p WHERE p.text ="
               " (CASE WHEN f.path_id = 0 THEN '' ELSE up.text END) || E'\\\\' || f.name LIMIT 1) own ON true";
    return sql;
}

void FillItem(const PgResult& rows, int row, ItemRecord& record)
{
    struct Row {
        const PgResult& rows;
        int row;
        int64_t Int64(int column) const { return rows.Int64(row, column); }
        QString Text(int column) const { return rows.Text(row, column); }
    };
    ItemRecordFill::Fill(Row{rows, row}, record);
}

// Whether a folded query (UTF-8) holds a character beyond ASCII.
bool HoldsBeyondAscii(const QByteArray& folded)
{
    return std::any_of(folded.begin(), folded.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The condition on f.fold for a folded query bound as $1 (see Argument). A
// query of one or two characters has no trigram the index could use:
// strpos has the planner read the rows in id order, which finds the first
// hits at once (LIKE could lead it to a pass over the whole trigram index);
// when the query holds a character beyond ASCII, only the rows of names
// holding one are read, through their index.
std::string Condition(const QByteArray& folded)
{
    if (!GramTally::Answers(folded)) return "f.fold LIKE $1";
    const std::string strpos = "strpos(f.fold, $1) > 0";
    return HoldsBeyondAscii(folded) ? std::string("f.") + PgNameSearch::kBeyondAscii + " AND " + strpos : strpos;
}

HRESULT CountWith(PgConnection& db, const char* sql, const PgParams& params, LONG* count)
{
    int64_t value = 0;
    const HRESULT hr = db.Number(sql, params, &value, "search count");
    if (SUCCEEDED(hr)) *count = static_cast<LONG>(value);
    return hr;
}

// The counts of a tallied folded query ($1), folders and files, from the gram tallies.
constexpr char kGramCountSql[] = "SELECT coalesce(sum(hits) FILTER (WHERE kind = $2), 0),"
                                 " coalesce(sum(hits) FILTER (WHERE kind = $3), 0) FROM name_grams WHERE gram = $1"
                                 " AND disc_id NOT IN (SELECT id FROM discs WHERE import_id IS NOT NULL)";

PgParams GramParams(const QByteArray& folded)
{
    return PgParams().Utf8(folded).Int(static_cast<int>(PgEntryKind::Folders)).Int(static_cast<int>(PgEntryKind::Files));
}

PgNameSearch::GramCounts ReadGramCounts(const PgResult& counts)
{
    return {true, static_cast<LONG>(counts.Int64(0, 0)), static_cast<LONG>(counts.Int64(0, 1))};
}
} // namespace

namespace PgNameSearch {

QByteArray Pattern(const QByteArray& folded)
{
    QByteArray pattern = "%";
    for (const char c : folded) {
        if (c == '\\' || c == '%' || c == '_') pattern += '\\';
        pattern += c;
    }
    return pattern + '%';
}

HRESULT FindDiscs(PgConnection& db, std::u16string_view text, std::vector<DiscRecord>& found, GramCounts* grams)
{
    found.clear();
    if (grams) *grams = {};
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return S_OK;
    static const std::string sql = std::string("SELECT ") + PgDiscStore::kRecordColumns +
                                   " FROM discs d WHERE d.import_id IS NULL AND d.name_fold LIKE $1 ORDER BY d.id";
    const PgParams pattern = PgParams().Utf8(Pattern(folded));
    const PgParams gramParams = GramParams(folded);
    // Every search runs these: prepared once per connection.
    std::vector<PgConnection::Statement> statements{{PgTagStore::VisibleNamesSql(), nullptr, true}, {sql, &pattern, true}};
    const bool counting = grams && Tallied(folded);
    if (counting) statements.push_back({kGramCountSql, &gramParams, true});
    std::vector<PgResult> results;
    const HRESULT hr = db.Pipeline(statements, results, "search discs");
    if (FAILED(hr)) return hr;
    QHash<int, QString> tagNames;
    PgTagStore::ReadVisibleNames(results[0], tagNames);
    const PgResult& rows = results[1];
    found.resize(size_t(rows.Rows()));
    for (int i = 0; i < rows.Rows(); ++i) PgDiscStore::Fill(rows, i, tagNames, found[size_t(i)]);
    if (counting) *grams = ReadGramCounts(results[2]);
    return S_OK;
}

HRESULT CountGrams(PgConnection& db, const QByteArray& folded, LONG* folders, LONG* files)
{
    PgResult counts;
    const HRESULT hr = db.QueryPrepared(kGramCountSql, GramParams(folded), counts, "search count");
    if (FAILED(hr)) return hr;
    const GramCounts read = ReadGramCounts(counts);
    *folders = read.folders;
    *files = read.files;
    return S_OK;
}

HRESULT CountEntries(PgConnection& db, PgEntryKind kind, std::u16string_view text, LONG* count)
{
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty()) return *count = 0, S_OK;
    if (Tallied(folded)) {
        LONG counts[2] = {0, 0}; // by PgEntryKind
        const HRESULT hr = CountGrams(db, folded, &counts[int(PgEntryKind::Folders)], &counts[int(PgEntryKind::Files)]);
        *count = counts[int(kind)];
        return hr;
    }
    const std::string sql = std::string("SELECT count(*) FROM ") + TableOf(kind).table + " f WHERE f.fold LIKE $1 AND" +
                            kNotHidden;
    return CountWith(db, sql.c_str(), PgParams().Utf8(Pattern(folded)), count);
}

HRESULT FillEntries(PgConnection& db, PgEntryKind kind, std::u16string_view text, ItemRecord* records, LONG count)
{
    const QByteArray folded = Utf16Text::Folded(text);
    if (folded.isEmpty() || count <= 0) return S_OK;
    const std::string sql = RecordSql(kind) + " WHERE " + Condition(folded) + " AND d.import_id IS NULL ORDER BY f.id LIMIT $2";
    PgResult rows;
    const HRESULT hr = db.Query(sql.c_str(), PgParams().Utf8(Argument(folded)).Int(count), rows, "search");
    for (int i = 0; SUCCEEDED(hr) && i < rows.Rows(); ++i) FillItem(rows, i, records[i]);
    return hr;
}

HRESULT FillByIds(PgConnection& db, PgEntryKind kind, const std::vector<int32_t>& ids, ItemRecord* records,
                  QHash<LONG, QString>& pathTexts)
{
    if (ids.empty()) return S_OK;
    // The text of the record's path comes along (the last column): whoever
    // shows the records asks for it next.
    static const std::string sql[2] = {
        RecordSql(PgEntryKind::Files, true) + " WHERE f.id = ANY($1::int[])",
        RecordSql(PgEntryKind::Folders, true) + " WHERE f.id = ANY($1::int[])"};
    PgResult rows;
    const HRESULT hr = db.QueryPrepared(sql[kind == PgEntryKind::Files ? 0 : 1], PgParams().Ints(ids), rows, "entries by id");
    if (FAILED(hr)) return hr;
    QHash<int32_t, int> rowOf;
    rowOf.reserve(rows.Rows());
    for (int row = 0; row < rows.Rows(); ++row) {
        rowOf.insert(static_cast<int32_t>(rows.Int64(row, 0)), row);
        if (!rows.IsNull(row, kPathTextColumn)) pathTexts.insert(LONG(rows.Int64(row, kPathIdColumn)), rows.Text(row, kPathTextColumn));
    }
    for (size_t i = 0; i < ids.size(); ++i) {
        const auto row = rowOf.constFind(ids[i]);
        if (row == rowOf.constEnd()) records[i] = ItemRecord{}; // gone since the listing found it
        else FillItem(rows, *row, records[i]);
    }
    return S_OK;
}

std::vector<std::string> WarmUpSql()
{
    // A query of three characters, planned as the trigram index would serve it.
    const QByteArray folded = "abc";
    std::vector<std::string> statements;
    for (const PgEntryKind kind : {PgEntryKind::Folders, PgEntryKind::Files}) {
        std::string sql = IdsSql(kind, folded);
        const std::string argument = "'" + Pattern(folded).toStdString() + "'";
        sql.replace(sql.find("$1"), 2, argument);
        statements.push_back("EXPLAIN " + sql);
    }
    return statements;
}

bool Tallied(const QByteArray& folded) { return GramTally::Answers(folded, kPgGramLength); }

QByteArray Argument(const QByteArray& folded) { return GramTally::Answers(folded) ? folded : Pattern(folded); }

std::string IdsSql(PgEntryKind kind, const QByteArray& folded)
{
    return std::string("SELECT f.id FROM ") + TableOf(kind).table + " f WHERE " + Condition(folded) + " AND" +
           kNotHidden + " ORDER BY f.id";
}

} // namespace PgNameSearch
