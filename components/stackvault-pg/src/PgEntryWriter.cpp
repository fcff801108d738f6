#include "PgEntryWriter.h"

#include "Diagnostics.h"
#include "Utf16Text.h"

namespace {
const char* CopySql(PgEntryKind kind)
{
    return kind == PgEntryKind::Files
               ? "COPY files(id, name, size, type, time, disc_id, label_id, folder_id, path_id, fold) FROM STDIN"
               : "COPY folders(id, name, size, type, time, disc_id, label_id, parent_id, path_id, fold) FROM STDIN";
}

// A text field of COPY's text format: backslash, tab, newline and carriage
// return escaped.
void AppendField(QByteArray& out, const QByteArray& utf8)
{
    for (const char c : utf8) {
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\t': out += "\\t"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        default: out += c;
        }
    }
}

void AppendNumber(QByteArray& out, int64_t value)
{
    out += QByteArray::number(static_cast<qlonglong>(value));
    out += '\t';
}

// Opens the batch's savepoint and, in the same round trip, checks that the
// import still claims every disc of its rows: a disc another client deleted
// during the import takes no more rows (E_INVALIDARG).
HRESULT BeginBatch(PgConnection& db, const PgGramTallies& discs, int64_t importId)
{
    std::vector<int64_t> ids;
    ids.reserve(discs.size());
    for (const auto& entry : discs) ids.push_back(entry.first);
    const PgParams claim = PgParams().Ints(ids).Int(importId);
    std::vector<PgResult> results;
    const HRESULT hr = db.Pipeline({{"SAVEPOINT batch"},
                                    {"SELECT count(*) FROM discs WHERE id = ANY($1::int[]) AND import_id = $2", &claim}},
                                   results, "savepoint");
    if (FAILED(hr) || results[1].Int64(0, 0) == static_cast<int64_t>(ids.size())) return hr;
    DumpMsg("StackvaultPg", "rows refused: a disc of the batch was deleted during the import");
    return E_INVALIDARG;
}

QByteArray Utf8(std::u16string_view text)
{
    return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size())).toUtf8();
}
} // namespace

namespace PgEntryWriter {

HRESULT Insert(PgConnection& db, PgEntryKind kind, const ParsedBatch& batch, bool hasIds, int64_t importId,
               PgGramTallies& grams)
{
    LONG next = 0;
    if (!hasIds) {
        const HRESULT hr = MaxId(db, kind, &next);
        if (FAILED(hr)) return hr;
    }
    QByteArray data;
    PgGramTallies added;
    for (const EntryRow& row : batch.entries) {
        const QByteArray fold = Utf16Text::Folded(batch.Text(row.name));
        AppendNumber(data, hasIds ? row.id : ++next);
        AppendField(data, Utf8(batch.Text(row.name)));
        data += '\t';
        AppendNumber(data, row.size);
        AppendField(data, Utf8(batch.Text(row.type)));
        data += '\t';
        for (const int64_t value : {row.time, int64_t(row.discId), int64_t(row.labelId), int64_t(row.parentId), int64_t(row.pathId)})
            AppendNumber(data, value);
        AppendField(data, fold);
        data += '\n';
        added[row.discId].AddName(std::string_view(fold.constData(), size_t(fold.size())), kPgGramLength);
    }
    HRESULT hr = BeginBatch(db, added, importId);
    if (SUCCEEDED(hr)) hr = db.Copy(CopySql(kind), data, "copy rows");
    db.Run(SUCCEEDED(hr) ? "RELEASE SAVEPOINT batch" : "ROLLBACK TO SAVEPOINT batch", {}, "savepoint");
    if (FAILED(hr)) return hr;
    for (const auto& [disc, tally] : added) grams[disc].Add(tally);
    return S_OK;
}

HRESULT StoreGrams(PgConnection& db, PgEntryKind kind, const PgGramTallies& grams)
{
    if (grams.empty()) return S_OK;
    QByteArray data;
    for (const auto& [disc, tally] : grams) {
        tally.ForEach([&](std::string_view gram, int hits) {
            AppendField(data, QByteArray(gram.data(), qsizetype(gram.size())));
            data += '\t';
            AppendNumber(data, static_cast<int>(kind));
            AppendNumber(data, disc);
            data += QByteArray::number(hits);
            data += '\n';
        });
    }
    HRESULT hr = db.Run("CREATE TEMP TABLE IF NOT EXISTS new_grams(gram text, kind integer, disc_id integer, hits integer)"
                        " ON COMMIT DELETE ROWS",
                        {}, "gram table");
    if (SUCCEEDED(hr)) hr = db.Copy("COPY new_grams FROM STDIN", data, "copy grams");
    if (SUCCEEDED(hr))
        hr = db.Run("INSERT INTO name_grams(gram, kind, disc_id, hits) SELECT gram, kind, disc_id, hits FROM new_grams n"
                    " WHERE EXISTS (SELECT 1 FROM discs d WHERE d.id = n.disc_id)"
                    " ON CONFLICT(gram, kind, disc_id) DO UPDATE SET hits = name_grams.hits + excluded.hits",
                    {}, "store grams");
    if (SUCCEEDED(hr)) hr = db.Run("DELETE FROM new_grams", {}, "gram table");
    return hr;
}

HRESULT MaxId(PgConnection& db, PgEntryKind kind, LONG* id)
{
    int64_t value = 0;
    const HRESULT hr = db.Number(kind == PgEntryKind::Files ? "SELECT coalesce(max(id), 0) FROM files"
                                                            : "SELECT coalesce(max(id), 0) FROM folders",
                                 {}, &value, "max id");
    if (SUCCEEDED(hr)) *id = static_cast<LONG>(value);
    return hr;
}

} // namespace PgEntryWriter
