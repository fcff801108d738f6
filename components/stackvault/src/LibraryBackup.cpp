#include "LibraryBackup.h"

#include "ILibraryEngine.h"
#include "IntegrityCheck.h"
#include "LibraryFile.h"
#include "SqliteConnection.h"

#include <QDateTime>
#include <QFile>
#include <sqlite3.h>

namespace {
const QString kSuffix = QStringLiteral(".backup");
constexpr qint64 kDaySeconds = 24 * 60 * 60;

// The time in a kept copy's name ("...-yyyyMMddHHmmsszzz"), UTC.
QDateTime StampTime(const QString& path)
{
    QDateTime time = QDateTime::fromString(path.section(QLatin1Char('-'), -1), QStringLiteral("yyyyMMddHHmmsszzz"));
    time.setTimeSpec(Qt::UTC);
    return time;
}

int CopyPages(sqlite3* source, const QString& target)
{
    sqlite3* destination = nullptr;
    int rc = sqlite3_open_v2(QFile::encodeName(target).constData(), &destination,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc == SQLITE_OK) {
        sqlite3_backup* backup = sqlite3_backup_init(destination, "main", source, "main");
        rc = backup ? sqlite3_backup_step(backup, -1) : sqlite3_errcode(destination);
        const int finished = backup ? sqlite3_backup_finish(backup) : rc;
        if (rc == SQLITE_DONE) rc = finished;
    }
    sqlite3_close(destination);
    return rc;
}

void DropOldest(const QString& libraryPath)
{
    const QStringList kept = LibraryFile::Stamps(libraryPath, kSuffix);
    for (qsizetype i = LibraryBackup::kKept; i < kept.size(); ++i) LibraryFile::Remove(kept[i]);
}
} // namespace

namespace LibraryBackup {

HRESULT Take(const QString& libraryPath, QString* backupPath)
{
    if (LibraryFile::IsEmptied(libraryPath)) return LIBRARY_E_DAMAGED;
    SqliteConnection source;
    HRESULT hr = source.Open(libraryPath, false);
    if (FAILED(hr)) return hr;
    const QString target = LibraryFile::Stamped(libraryPath, kSuffix);
    const QString partial = target + QStringLiteral(".partial");
    const int rc = CopyPages(source.Handle(), partial);
    if (rc != SQLITE_OK) hr = source.Failure(rc, "backup");
    if (SUCCEEDED(hr) && !QFile::rename(partial, target)) hr = E_FAIL;
    LibraryFile::Remove(partial);
    if (FAILED(hr)) return hr;
    *backupPath = target;
    DropOldest(libraryPath);
    return S_OK;
}

HRESULT TakeDaily(const QString& libraryPath)
{
    const QStringList kept = LibraryFile::Stamps(libraryPath, kSuffix);
    if (!kept.isEmpty()) {
        const qint64 age = StampTime(kept.first()).secsTo(QDateTime::currentDateTimeUtc());
        if (age >= 0 && age < kDaySeconds) return S_FALSE;
    }
    QString finding, backup;
    const HRESULT hr = IntegrityCheck::RunOnFile(libraryPath, false, &finding);
    return FAILED(hr) ? hr : Take(libraryPath, &backup);
}

} // namespace LibraryBackup
