#include "LibraryBackup.h"

#include "Diagnostics.h"
#include "EngineSettings.h"
#include "ILibraryEngine.h"
#include "IntegrityCheck.h"
#include "LibraryChanges.h"
#include "LibraryFile.h"
#include "SqliteConnection.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStorageInfo>
#include <QThread>
#include <algorithm>
#include <sqlite3.h>

namespace {
constexpr const char kComponent[] = "Stackvault";
const QString kSuffix = QStringLiteral(".backup");
constexpr qint64 kDaySeconds = 24 * 60 * 60;
// Pages copied per step (4 MB of 4 KB pages); the copy's memory does not grow with it.
constexpr int kStepPages = 1024;
constexpr unsigned long kBusyPauseMs = 50;
constexpr HRESULT kDiskFull = HresultFromWin32(112); // ERROR_DISK_FULL

// The time in a kept copy's name ("...-yyyyMMddHHmmsszzz"), UTC.
QDateTime StampTime(const QString& path)
{
    QDateTime time = QDateTime::fromString(path.section(QLatin1Char('-'), -1), QStringLiteral("yyyyMMddHHmmsszzz"));
    time.setTimeSpec(Qt::UTC);
    return time;
}

int KeptCopies()
{
    const auto copies = EngineSettings::Number(u"BackupCopies");
    return copies && *copies > 0 ? static_cast<int>(std::min<uint32_t>(*copies, 1000)) : LibraryBackup::kDefaultKept;
}

bool DailyOn() { return EngineSettings::Number(u"DailyBackup").value_or(1) != 0; }

// Steps through the whole library; the destination takes no journal (an
// unfinished copy is thrown away) and a small cache.
int StepThrough(sqlite3* source, sqlite3* destination)
{
    sqlite3_exec(destination, "PRAGMA journal_mode=OFF; PRAGMA cache_size=-2048", nullptr, nullptr, nullptr);
    sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
    if (!backup) return sqlite3_errcode(destination);
    int rc = SQLITE_OK;
    do {
        rc = sqlite3_backup_step(backup, kStepPages);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) QThread::msleep(kBusyPauseMs);
    } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
    const int finished = sqlite3_backup_finish(backup);
    return rc == SQLITE_DONE ? finished : rc;
}

// The copy reads the library inside one read transaction, so that every
// step sees the same state and a writer elsewhere never restarts it.
int CopyPages(SqliteConnection& source, const QString& target)
{
    int rc = source.LimitMemory();
    if (rc == SQLITE_OK) rc = source.Execute("BEGIN; SELECT count(*) FROM sqlite_schema");
    if (rc != SQLITE_OK) return rc;
    sqlite3* destination = nullptr;
    rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &destination,
                         SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) rc = StepThrough(source.Handle(), destination);
    sqlite3_close(destination);
    source.Execute("COMMIT");
    return rc;
}

// Removes all but the newest `keep` copies.
void KeepNewest(const QString& base, int keep)
{
    const QStringList kept = LibraryFile::Stamps(base, kSuffix);
    for (qsizetype i = std::max(keep, 0); i < kept.size(); ++i) LibraryFile::Remove(kept[i]);
}

qint64 LibraryBytes(const QString& libraryPath)
{
    return QFileInfo(libraryPath).size() + QFileInfo(libraryPath + QStringLiteral("-wal")).size();
}

HRESULT CheckRoom(const QString& libraryPath, const QString& folder)
{
    const qint64 needed = LibraryBytes(libraryPath) + LibraryBackup::kRoomToSpare;
    const qint64 available = QStorageInfo(folder).bytesAvailable();
    if (available < 0 || available >= needed) return S_OK;
    DumpMsg(kComponent, "no backup: %lld bytes free in %s, %lld needed", static_cast<long long>(available),
            qPrintable(folder), static_cast<long long>(needed));
    return kDiskFull;
}

// The library's change count equals the newest copy's.
bool UnchangedSince(const QString& libraryPath, const QString& copy)
{
    SqliteConnection library;
    if (FAILED(library.Open(libraryPath, false))) return false;
    const int64_t count = LibraryChanges::Count(library);
    return count != LibraryChanges::kUnknown && count == LibraryChanges::CountOfCopy(copy);
}

bool RecentlyCopied(const QString& copy)
{
    const qint64 age = StampTime(copy).secsTo(QDateTime::currentDateTimeUtc());
    return age >= 0 && age < kDaySeconds;
}
} // namespace

namespace LibraryBackup {

QString CopyBase(const QString& libraryPath)
{
    const QString folder = EngineSettings::Text(u"BackupFolder");
    return folder.isEmpty() ? libraryPath : QDir(folder).filePath(QFileInfo(libraryPath).fileName());
}

HRESULT Take(const QString& libraryPath, QString* backupPath)
{
    if (LibraryFile::IsEmptied(libraryPath)) return LIBRARY_E_DAMAGED;
    SqliteConnection source;
    HRESULT hr = source.Open(libraryPath, false);
    if (FAILED(hr)) return hr;
    const QString base = CopyBase(libraryPath);
    const QString folder = QFileInfo(base).absolutePath();
    if (!QDir().mkpath(folder)) return E_ACCESSDENIED;
    KeepNewest(base, KeptCopies() - 1);
    hr = CheckRoom(libraryPath, folder);
    if (FAILED(hr)) return hr;
    const QString target = LibraryFile::Stamped(base, kSuffix);
    const QString partial = target + QStringLiteral(".partial");
    const int rc = CopyPages(source, partial);
    if (rc != SQLITE_OK) hr = source.Failure(rc, "backup");
    if (SUCCEEDED(hr) && !QFile::rename(partial, target)) hr = E_FAIL;
    LibraryFile::Remove(partial);
    if (FAILED(hr)) return hr;
    *backupPath = target;
    return S_OK;
}

HRESULT TakeDaily(const QString& libraryPath)
{
    if (!DailyOn()) return S_FALSE;
    const QStringList kept = LibraryFile::Stamps(CopyBase(libraryPath), kSuffix);
    if (!kept.isEmpty() && (RecentlyCopied(kept.first()) || UnchangedSince(libraryPath, kept.first()))) return S_FALSE;
    QString finding, backup;
    const HRESULT hr = IntegrityCheck::RunOnFile(libraryPath, false, &finding);
    return FAILED(hr) ? hr : Take(libraryPath, &backup);
}

} // namespace LibraryBackup
