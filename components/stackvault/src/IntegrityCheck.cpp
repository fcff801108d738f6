#include "IntegrityCheck.h"

#include "ILibraryEngine.h"
#include "LibraryFile.h"
#include "LibrarySchema.h"
#include "NameBlocks.h"
#include "SqliteConnection.h"

#include <QFile>
#include <sqlite3.h>

namespace {
// The pragma answers "ok" alone when sound, else one line per problem.
HRESULT RunPragma(SqliteConnection& db, const char* sql, QString* finding)
{
    auto check = db.Statement(sql);
    if (!check) return E_FAIL;
    const int rc = check->Step();
    if (rc != SQLITE_ROW) return db.Failure(rc, "integrity check");
    const QString first = check->Text(0);
    if (first == QLatin1String("ok")) return S_OK;
    *finding = first;
    return LIBRARY_E_DAMAGED;
}

// A name index checked against the folded names it is built from.
HRESULT CheckNameIndex(SqliteConnection& db, const char* sql, QString* finding)
{
    const int rc = db.Execute(sql);
    if (rc == SQLITE_OK) return S_OK;
    *finding = QString::fromUtf8(sqlite3_errmsg(db.Handle()));
    return db.Failure(rc, "name index check");
}
// The first file row outside the span of ids kept for its folder, named
// in *finding.
HRESULT FindFileOutsideSpans(SqliteConnection& db, QString* finding)
{
    auto outside = db.Statement(
        "SELECT f.id, f.disc_id, f.folder_id FROM files f WHERE NOT EXISTS (SELECT 1 FROM file_spans span"
        " WHERE span.disc_id = f.disc_id AND span.folder_id = f.folder_id AND f.id BETWEEN span.first_id AND span.last_id)"
        " LIMIT 1");
    if (!outside) return E_FAIL;
    const int rc = outside->Step();
    if (rc != SQLITE_ROW) return rc == SQLITE_DONE ? S_OK : db.Failure(rc, "file span check");
    *finding = QStringLiteral("file %1 of disc %2 lies outside the ids kept for its folder %3")
                   .arg(outside->Int64(0))
                   .arg(outside->Int64(1))
                   .arg(outside->Int64(2));
    return LIBRARY_E_DAMAGED;
}

// Every file row within the span of ids kept for its folder (FileSpans):
// a row outside it would be missing from its folder's listing. Counted
// span by span, which reads each row about once (a search row by row takes
// four times as long at ten million files); the row outside is looked for
// only when the counts differ.
HRESULT CheckFileSpans(SqliteConnection& db, QString* finding)
{
    if (!LibrarySchema::KeepsFileSpans(db)) return S_OK;
    auto missed = db.Statement(
        "SELECT (SELECT count(*) FROM files) - coalesce((SELECT sum((SELECT count(*) FROM files f"
        " WHERE f.id BETWEEN span.first_id AND span.last_id AND f.disc_id = span.disc_id AND f.folder_id = span.folder_id))"
        " FROM file_spans span), 0)");
    if (!missed) return E_FAIL;
    const int rc = missed->Step();
    if (rc != SQLITE_ROW) return db.Failure(rc, "file span check");
    return missed->Int64(0) == 0 ? S_OK : FindFileOutsideSpans(db, finding);
}
} // namespace

namespace IntegrityCheck {

HRESULT Run(SqliteConnection& db, bool full, QString* finding)
{
    HRESULT hr = RunPragma(db, full ? "PRAGMA integrity_check(1)" : "PRAGMA quick_check(1)", finding);
    if (SUCCEEDED(hr) && full)
        hr = CheckNameIndex(db, "INSERT INTO folder_names(folder_names, rank) VALUES('integrity-check', 1)", finding);
    if (SUCCEEDED(hr) && full)
        hr = CheckNameIndex(db, "INSERT INTO file_names(file_names, rank) VALUES('integrity-check', 1)", finding);
    if (SUCCEEDED(hr) && full) hr = CheckFileSpans(db, finding);
    if (SUCCEEDED(hr) && full && LibrarySchema::ReadsNameBlocks(db)) hr = NameBlocks(db).Check(finding);
    return hr;
}

HRESULT RunOnFile(const QString& path, bool full, QString* finding)
{
    if (!QFile::exists(path)) return HresultFromWin32(2); // ERROR_FILE_NOT_FOUND
    if (LibraryFile::IsEmptied(path)) {
        *finding = QStringLiteral("the file is empty");
        return LIBRARY_E_DAMAGED;
    }
    SqliteConnection db;
    HRESULT hr = db.Open(path, false);
    if (SUCCEEDED(hr)) db.LimitMemory();
    if (hr == LIBRARY_E_DAMAGED) *finding = QString::fromUtf8(sqlite3_errstr(SQLITE_NOTADB));
    return FAILED(hr) ? hr : Run(db, full, finding);
}

} // namespace IntegrityCheck
