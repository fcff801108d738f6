#include "LibraryRepair.h"

#include "Diagnostics.h"
#include "FileSpanSql.h"
#include "FileSpans.h"
#include "IntegrityCheck.h"
#include "LibraryBackup.h"
#include "LibraryFile.h"
#include "LibrarySchema.h"
#include "NameBlocks.h"
#include "NameGrams.h"
#include "TableSalvage.h"
#include "Utf16Text.h"

#include <QFile>
#include <cerrno>
#include <cstring>
#include <sqlite3.h>
#include <string>
#include <vector>

namespace {
constexpr const char kComponent[] = "Stackvault";

// Tables copied row by row, in an order where what a row refers to comes first.
constexpr const char* kSalvagedTables[] = {"tags", "labels", "discs", "paths", "entry_types", "folders", "files", "imports"};

// Tables without rowids, copied as far as they can be read; the links of
// the rows themselves complete disc_paths afterwards.
constexpr const char* kLinkTables[] = {"disc_paths", "import_paths"};

constexpr const char* kRebuildSteps[] = {
    // Rows from a library that kept type texts in them get type ids.
    "INSERT OR IGNORE INTO entry_types(text) SELECT type FROM folders WHERE typeof(type) = 'text'"
    " UNION SELECT type FROM files WHERE typeof(type) = 'text'",
    "UPDATE folders SET type = (SELECT id FROM entry_types WHERE text = folders.type) WHERE typeof(type) = 'text'",
    "UPDATE files SET type = (SELECT id FROM entry_types WHERE text = files.type) WHERE typeof(type) = 'text'",
    "INSERT OR IGNORE INTO disc_paths(path_id, disc_id)"
    " SELECT path_id, disc_id FROM folders WHERE path_id IN (SELECT id FROM paths)"
    " UNION SELECT path_id, disc_id FROM files WHERE path_id IN (SELECT id FROM paths)",
    "INSERT INTO folder_names(rowid, fold) SELECT f.id, sv_fold(f.name) FROM folders f"
    " WHERE f.disc_id IN (SELECT id FROM discs WHERE import_id IS NULL)",
    "INSERT INTO file_names(rowid, fold) SELECT f.id, sv_fold(f.name) FROM files f"
    " WHERE f.disc_id IN (SELECT id FROM discs WHERE import_id IS NULL)",
};

// Rows whose disc record was lost keep a disc of their own, named after its
// id (the file spans, made first, name every disc that has files).
std::vector<std::string> StandInSteps()
{
    const std::string files = "files f WHERE " + FileSpans::OfDisc("f", "s.id", true);
    const std::string size = "coalesce((SELECT sum(f.size) FROM " + files + "), 0)";
    return {
        "CREATE TEMP TABLE stand_ins(id INTEGER PRIMARY KEY)",
        "INSERT INTO temp.stand_ins SELECT disc_id FROM folders WHERE disc_id NOT IN (SELECT id FROM discs)"
        " UNION SELECT disc_id FROM file_spans WHERE disc_id NOT IN (SELECT id FROM discs)",
        "INSERT INTO discs(id, identity, name, name_fold, tag_ids, label_id, media_class, format_code, date_text,"
        " total_size, audio_flag, disc_class, folder_count, file_count, used_bytes, capacity_bytes)"
        " SELECT s.id, '', 'Recovered disc ' || s.id, sv_fold('Recovered disc ' || s.id), '', 0, 5, 0, '', " + size +
            ", 0, 0, (SELECT count(*) FROM folders WHERE disc_id = s.id), (SELECT count(*) FROM " + files + "), " + size +
            ", 0 FROM temp.stand_ins s",
    };
}

// Each disc's rows against the folder and file counts of its record: how
// many discs are whole, how many partly saved, how many rows are lost.
std::string MeasureSql()
{
    return "SELECT coalesce(sum(saved >= expected), 0), coalesce(sum(saved < expected), 0),"
           " coalesce(sum(max(expected - saved, 0)), 0) FROM (SELECT d.folder_count + d.file_count AS expected,"
           " (SELECT count(*) FROM folders WHERE disc_id = d.id) + (SELECT count(*) FROM files f WHERE " +
           FileSpans::OfDisc("f", "d.id", true) + ") AS saved"
           " FROM discs d WHERE d.import_id IS NULL AND d.id NOT IN (SELECT id FROM temp.stand_ins))";
}

} // namespace

LibraryRepair::~LibraryRepair()
{
    m_damaged.Close();
    m_db.Close();
    if (!m_newPath.isEmpty()) LibraryFile::Remove(m_newPath);
}

HRESULT LibraryRepair::Run(LibraryRepairReport* report)
{
    if (!QFile::exists(m_path)) return HresultFromWin32(2); // ERROR_FILE_NOT_FOUND
    if (LibraryFile::IsOpenElsewhere(m_path)) return LIBRARY_E_IN_USE;
    QString backup;
    if (FAILED(LibraryBackup::Take(m_path, &backup)))
        DumpMsg(kComponent, "no backup before the repair; the damaged file is kept aside instead");
    Utf16Text::CopyToField(report->backup, kLibraryPathLength, backup);
    m_newPath = LibraryFile::Stamped(m_path, QStringLiteral(".repairing"));
    HRESULT hr = Build(report);
    if (SUCCEEDED(hr)) hr = Finish();
    if (SUCCEEDED(hr)) hr = Swap(report);
    return hr;
}

HRESULT LibraryRepair::Build(LibraryRepairReport* report)
{
    HRESULT hr = m_db.Open(m_newPath, true);
    if (FAILED(hr)) return hr;
    const int rc = LibrarySchema::Create(m_db);
    if (rc != SQLITE_OK) return m_db.Failure(rc, "repair schema");
    const bool readable = OpenDamaged();
    hr = Execute("BEGIN IMMEDIATE");
    if (SUCCEEDED(hr) && readable) hr = CopyReadableRows();
    if (SUCCEEDED(hr)) hr = Execute(FileSpanSql::kRebuildSql);
    if (SUCCEEDED(hr)) hr = AddStandInDiscs(report);
    for (const char* step : kRebuildSteps)
        if (SUCCEEDED(hr)) hr = Execute(step);
    if (SUCCEEDED(hr)) hr = NameGrams::AddAll(m_db);
    if (SUCCEEDED(hr)) hr = NameBlocks(m_db).AddAll();
    if (SUCCEEDED(hr)) hr = Measure(report);
    if (SUCCEEDED(hr)) hr = Execute("COMMIT");
    if (FAILED(hr)) m_db.Execute("ROLLBACK");
    m_damaged.Close();
    return hr;
}

// Read-only, so that the damaged file and its log stay exactly as they are.
bool LibraryRepair::OpenDamaged()
{
    if (LibraryFile::IsEmptied(m_path) || FAILED(m_damaged.OpenReadOnly(m_path))) return false;
    // Reads a file cut short up to where it ends, instead of refusing it.
    m_damaged.Execute("PRAGMA writable_schema=ON");
    auto schema = m_damaged.Statement("SELECT count(*) FROM sqlite_schema");
    const int rc = schema ? schema->Step() : SQLITE_ERROR;
    if (rc != SQLITE_ROW) DumpMsg(kComponent, "nothing of the damaged library can be read (%d)", rc);
    return rc == SQLITE_ROW;
}

HRESULT LibraryRepair::CopyReadableRows()
{
    for (const char* table : kSalvagedTables) {
        TableSalvage salvage(m_damaged, m_db, table);
        const HRESULT hr = salvage.Run();
        if (FAILED(hr)) return hr;
        DumpMsg(kComponent, "repair: %s: %lld rows saved, %lld refused, %d unreadable stretches", table,
                static_cast<long long>(salvage.Copied()), static_cast<long long>(salvage.Refused()), salvage.Gaps());
    }
    for (const char* table : kLinkTables) {
        const HRESULT hr = TableSalvage(m_damaged, m_db, table).RunOnce();
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

HRESULT LibraryRepair::Execute(const char* sql)
{
    const int rc = m_db.Execute(sql);
    return rc == SQLITE_OK ? S_OK : m_db.Failure(rc, sql);
}

HRESULT LibraryRepair::AddStandInDiscs(LibraryRepairReport* report)
{
    static const std::vector<std::string> steps = StandInSteps();
    for (const std::string& step : steps) {
        const HRESULT hr = Execute(step.c_str());
        if (FAILED(hr)) return hr;
    }
    report->discsRecovered = m_db.Changes();
    return S_OK;
}

HRESULT LibraryRepair::Measure(LibraryRepairReport* report)
{
    static const std::string measure = MeasureSql();
    auto discs = m_db.Statement(measure.c_str());
    auto rows = m_db.Statement("SELECT (SELECT count(*) FROM folders WHERE disc_id IN (SELECT id FROM discs WHERE import_id IS NULL))"
                               " + (SELECT count(*) FROM files WHERE disc_id IN (SELECT id FROM discs WHERE import_id IS NULL))");
    if (!discs || !rows) return E_FAIL;
    int rc = discs->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "repair report");
    report->discsWhole = static_cast<int32_t>(discs->Int64(0));
    report->discsPartly = static_cast<int32_t>(discs->Int64(1));
    report->rowsLost = discs->Int64(2);
    rc = rows->Step();
    if (rc != SQLITE_ROW) return m_db.Failure(rc, "repair report");
    report->rowsSaved = rows->Int64(0);
    return S_OK;
}

// The new library must pass the full check; its log is folded in before it moves.
HRESULT LibraryRepair::Finish()
{
    QString finding;
    const HRESULT hr = IntegrityCheck::Run(m_db, true, &finding);
    if (FAILED(hr)) {
        DumpMsg(kComponent, "the repaired library fails its check: %s", qPrintable(finding));
        return E_FAIL;
    }
    const int rc = m_db.Execute("PRAGMA wal_checkpoint(TRUNCATE)");
    if (rc != SQLITE_OK) return m_db.Failure(rc, "repair checkpoint");
    m_db.Close();
    return S_OK;
}

HRESULT LibraryRepair::Swap(LibraryRepairReport* report)
{
    const QString aside = LibraryFile::Stamped(m_path, QStringLiteral(".damaged"));
    if (!LibraryFile::MoveAside(m_path, aside)) return HresultFromErrno(errno);
    if (!QFile::rename(m_newPath, m_path)) {
        const HRESULT hr = HresultFromErrno(errno);
        LibraryFile::MoveAside(aside, m_path);
        return hr;
    }
    LibraryFile::Remove(m_newPath); // its empty log, if any
    m_newPath.clear();
    Utf16Text::CopyToField(report->damagedCopy, kLibraryPathLength, aside);
    DumpMsg(kComponent, "library repaired; the damaged file is kept at %s", qPrintable(aside));
    return S_OK;
}
