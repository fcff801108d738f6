#include "PgEntryWriter.h"

#include "Diagnostics.h"
#include "PgFileSpans.h"
#include "Utf16Text.h"

#include <charconv>
#include <set>
#include <string>

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
    char digits[24];
    const auto written = std::to_chars(digits, digits + sizeof digits, value);
    out.append(digits, written.ptr - digits);
    out += '\t';
}

// The rows are sent in pieces of about this many bytes as they are made:
// the server reads the first while the next are still being made.
constexpr qsizetype kPieceBytes = 8192;

// The id of the batch's row `index`: its own, or the next after `lastId`
// when the rows have none.
int64_t RowId(const ParsedBatch& batch, size_t index, bool hasIds, LONG lastId)
{
    return hasIds ? batch.entries[index].id : int64_t(lastId) + 1 + int64_t(index);
}

// The batch's statements, sent at once: its savepoint, the count of the
// batch's discs that the import still claims, the rows' COPY and the
// savepoint's release. The server takes them while the rows are made.
std::string BatchScript(PgEntryKind kind, const std::set<int32_t>& discs, int64_t importId)
{
    std::string ids;
    for (const int32_t disc : discs) ids += (ids.empty() ? "" : ",") + std::to_string(disc);
    return "SAVEPOINT batch; SELECT count(*) FROM discs WHERE id = ANY('{" + ids + "}'::int[]) AND import_id = " +
           std::to_string(importId) + "; " + CopySql(kind) + "; RELEASE SAVEPOINT batch";
}

// Notes the folders of file rows in `spans`; folder rows have none.
void NoteSpans(PgEntryKind kind, const ParsedBatch& batch, bool hasIds, LONG lastId, PgFileSpans& spans)
{
    if (kind != PgEntryKind::Files) return;
    for (size_t i = 0; i < batch.entries.size(); ++i)
        spans.Add(batch.entries[i].discId, batch.entries[i].parentId, RowId(batch, i, hasIds, lastId));
}

// Where a batch's COPY stands.
struct CopyState {
    bool copying = false; // the server takes the rows
    bool refused = false; // the import no longer claims a disc of the rows
};

// Waits until the server takes the rows and checks the claim: a disc
// another client deleted during the import takes no more rows (E_INVALIDARG).
HRESULT AwaitClaimedCopy(PgConnection& db, size_t discCount, CopyState& state)
{
    std::vector<PgResult> before;
    const HRESULT hr = db.AwaitCopy(before, "copy rows");
    state.copying = SUCCEEDED(hr);
    if (FAILED(hr) || (before.size() == 2 && before[1].Int64(0, 0) == static_cast<int64_t>(discCount))) return hr;
    DumpMsg("StackvaultPg", "rows refused: a disc of the batch was deleted during the import");
    state.refused = true;
    return E_INVALIDARG;
}

std::set<int32_t> DiscsOf(const ParsedBatch& batch)
{
    std::set<int32_t> discs;
    for (const EntryRow& row : batch.entries) discs.insert(row.discId);
    return discs;
}

// One text field of a row; `utf8` is room for its conversion.
void AppendText(QByteArray& out, std::u16string_view text, std::string& utf8)
{
    Utf16Text::ToUtf8(text, utf8);
    AppendField(out, QByteArray::fromRawData(utf8.data(), qsizetype(utf8.size())));
    out += '\t';
}

// One row in COPY's text format.
void AppendRow(QByteArray& out, const ParsedBatch& batch, const EntryRow& row, int64_t id, const QByteArray& fold,
               std::string& utf8)
{
    AppendNumber(out, id);
    AppendText(out, batch.Text(row.name), utf8);
    AppendNumber(out, row.size);
    AppendText(out, batch.Text(row.type), utf8);
    for (const int64_t value : {row.time, int64_t(row.discId), int64_t(row.labelId), int64_t(row.parentId), int64_t(row.pathId)})
        AppendNumber(out, value);
    AppendField(out, fold);
    out += '\n';
}

// Makes the batch's rows (ids from `lastId` + 1 when the rows have none)
// and sends them piece by piece once the server takes them; `folds`
// receives each row's folded name.
HRESULT SendRows(PgConnection& db, const ParsedBatch& batch, bool hasIds, LONG lastId, size_t discCount,
                 CopyState& state, std::vector<QByteArray>& folds)
{
    QByteArray piece;
    piece.reserve(kPieceBytes + 1024);
    std::string utf8;
    folds.reserve(batch.entries.size());
    HRESULT hr = S_OK;
    for (size_t i = 0; SUCCEEDED(hr) && i <= batch.entries.size(); ++i) {
        if (i < batch.entries.size()) {
            const EntryRow& row = batch.entries[i];
            folds.push_back(Utf16Text::Folded(batch.Text(row.name)));
            AppendRow(piece, batch, row, RowId(batch, i, hasIds, lastId), folds.back(), utf8);
            if (piece.size() < kPieceBytes) continue;
        }
        if (!state.copying) hr = AwaitClaimedCopy(db, discCount, state);
        if (SUCCEEDED(hr)) hr = db.PutRows(piece, "copy rows");
        piece.resize(0); // keeps its memory for the next piece
    }
    return hr;
}

void TallyNames(const ParsedBatch& batch, const std::vector<QByteArray>& folds, PgGramTallies& tallies)
{
    for (size_t i = 0; i < folds.size(); ++i)
        tallies[batch.entries[i].discId].AddName(std::string_view(folds[i].constData(), size_t(folds[i].size())),
                                                 kPgGramLength);
}
} // namespace

namespace PgEntryWriter {

HRESULT Insert(PgConnection& db, PgEntryKind kind, const ParsedBatch& batch, bool hasIds, int64_t importId,
               PgGramTallies& grams, PgFileSpans& spans)
{
    LONG lastId = 0;
    if (!hasIds) {
        const HRESULT hr = MaxId(db, kind, &lastId);
        if (FAILED(hr)) return hr;
    }
    const std::set<int32_t> discs = DiscsOf(batch);
    HRESULT hr = db.StartScript(BatchScript(kind, discs, importId), "copy rows");
    if (FAILED(hr)) return hr;
    CopyState state;
    std::vector<QByteArray> folds;
    hr = SendRows(db, batch, hasIds, lastId, discs.size(), state, folds);
    PgGramTallies added;
    if (state.copying) {
        const HRESULT ended = db.EndRows(SUCCEEDED(hr) ? nullptr : "rows refused", "copy rows");
        if (SUCCEEDED(hr)) hr = ended;
        if (SUCCEEDED(hr)) TallyNames(batch, folds, added); // while the server stores the rows
        // The server's own failure says more than a failure to send to it.
        const HRESULT done = db.AwaitScript("copy rows");
        if (FAILED(done) && !state.refused) hr = done;
    }
    if (FAILED(hr)) {
        db.Run("ROLLBACK TO SAVEPOINT batch", {}, "savepoint");
        return hr;
    }
    for (const auto& [disc, tally] : added) grams[disc].Add(tally);
    NoteSpans(kind, batch, hasIds, lastId, spans);
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
