// A damaged library file, grouped by where the damage lies: the first
// operation that meets it fails with LIBRARY_E_DAMAGED, the check fails, and
// the repair keeps the damaged file aside untouched, brings back every row
// the readable pages held (compared with the rows recorded before the
// damage) and leaves a sound library that the engine opens, its name
// indexes and blocks of names built anew. Backups.
#include "EngineTestSupport.h"
#include "ILibraryMaintenance.h"
#include "TestEnvironment.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRandomGenerator>
#include <gtest/gtest.h>
#include <map>
#include <sqlite3.h>

namespace {

constexpr int kDiscs = 3;
constexpr int kFoldersPerDisc = 20;
constexpr int kFilesPerDisc = 1500;
constexpr int kPageSize = 4096;

using Rows = std::map<qint64, QString>; // rowid -> the row's columns, joined

// Raw SQL on the library file, for recording rows and finding pages.
class RawDatabase {
public:
    explicit RawDatabase(const QString& path)
    {
        sqlite3_open_v2(QFile::encodeName(path).constData(), &m_db, SQLITE_OPEN_READONLY, nullptr);
    }
    ~RawDatabase() { sqlite3_close(m_db); }
    Rows Read(const char* sql) const
    {
        Rows rows;
        sqlite3_stmt* statement = nullptr;
        sqlite3_prepare_v2(m_db, sql, -1, &statement, nullptr);
        while (sqlite3_step(statement) == SQLITE_ROW) {
            QStringList columns;
            for (int i = 1; i < sqlite3_column_count(statement); ++i)
                columns.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
            rows[sqlite3_column_int64(statement, 0)] = columns.join(QLatin1Char('|'));
        }
        sqlite3_finalize(statement);
        return rows;
    }

private:
    sqlite3* m_db = nullptr;
};

constexpr const char kFileRows[] = "SELECT id, disc_id, folder_id, path_id, name, size, type, time FROM files";
constexpr const char kFolderRows[] = "SELECT id, disc_id, parent_id, path_id, name, size, type, time FROM folders";
constexpr const char kDiscRows[] = "SELECT id, identity, name, tag_ids, label_id, folder_count, file_count FROM discs";

struct Leaf {
    qint64 page;
    int cells;
};

// The leaf pages of a table in key order, from SQLite's page statistics.
std::vector<Leaf> LeafPages(const QString& path, const char* table)
{
    std::vector<Leaf> leaves;
    const Rows rows = RawDatabase(path).Read(
        (std::string("SELECT row_number() OVER (ORDER BY path), pageno, ncell FROM dbstat WHERE name = '") + table +
         "' AND pagetype = 'leaf' ORDER BY path")
            .c_str());
    for (const auto& [order, row] : rows) leaves.push_back({row.section('|', 0, 0).toLongLong(), row.section('|', 1, 1).toInt()});
    return leaves;
}

void Overwrite(const QString& path, qint64 offset, qint64 length)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    QByteArray noise(length, '\0');
    QRandomGenerator random(static_cast<quint32>(offset)); // the same damage on every run
    for (char& byte : noise) byte = static_cast<char>(random.generate());
    file.seek(offset);
    file.write(noise);
}

void OverwritePages(const QString& path, const std::vector<Leaf>& pages)
{
    for (const Leaf& leaf : pages) Overwrite(path, (leaf.page - 1) * kPageSize, kPageSize);
}

QByteArray Digest(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(file.readAll(), QCryptographicHash::Sha1);
}

QStringList Kept(const QString& path, const QString& suffix)
{
    const QFileInfo library(path);
    return library.dir().entryList({library.fileName() + suffix + QStringLiteral("-*")}, QDir::Files, QDir::Name);
}

class DamageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        path = UseFreshDatabase();
        EngineInstance engine;
        ASSERT_EQ(S_OK, engine.InitializeResult());
        for (int d = 1; d <= kDiscs; ++d) AddDisc(engine.get(), d);
        // All engines closed: the log is folded into the file.
        RawDatabase raw(path);
        files = raw.Read(kFileRows);
        folders = raw.Read(kFolderRows);
        discs = raw.Read(kDiscRows);
        ASSERT_EQ(kDiscs * kFilesPerDisc, static_cast<int>(files.size()));
    }

    static void AddDisc(ILibraryEngine* engine, int d)
    {
        const QByteArray identity = QByteArray("DISC") + QByteArray::number(d);
        ASSERT_EQ(S_OK, engine->AddDisc(identity.constData(), u"", u"", u"", W(QStringLiteral("Disc %1").arg(d)), u"", 0,
                                        1, kFoldersPerDisc, kFilesPerDisc, 1000, 700000000, u"05/04/2023 10:20:30"));
        LONG disc = 0, label = 0;
        ASSERT_EQ(S_OK, engine->GetLastAddedDisc(&disc, &label));
        LibraryImportHandle handle = nullptr;
        ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
        const int firstFolder = (d - 1) * kFoldersPerDisc + 1;
        QStringList folderRows, pathRows;
        for (int f = 0; f < kFoldersPerDisc; ++f) {
            const QString name = QStringLiteral("folder-%1-%2").arg(d).arg(f);
            folderRows.append(EntryRow({firstFolder + f, name, 0, QStringLiteral("Folder"), 1, disc, label, 0, 0}));
            pathRows.append(PathRow(firstFolder + f, QLatin1Char('\\') + name));
        }
        ASSERT_EQ(S_OK, engine->InsertPathRows(handle, W(Batch(pathRows)), 1));
        ASSERT_EQ(S_OK, engine->InsertFolderRows(handle, W(Batch(folderRows, true)), 1));
        for (int first = 0; first < kFilesPerDisc; first += 500) {
            QStringList fileRows;
            for (int n = first; n < first + 500; ++n) {
                const int folder = firstFolder + n % kFoldersPerDisc;
                fileRows.append(EntryRow({(d - 1) * kFilesPerDisc + n + 1, QStringLiteral("file-%1-%2.txt").arg(d).arg(n),
                                          n, QStringLiteral("Text"), 7, disc, label, folder, folder}));
            }
            ASSERT_EQ(S_OK, engine->InsertFileRows(handle, W(Batch(fileRows)), 1));
        }
        ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
    }

    // Repairs through the maintenance interface of an engine that could not
    // be (or was not) opened; checks what every repair must leave behind.
    // The report has the engine's packed layout: its 64-bit counts are
    // copied (qint64{...}) before a check binds them to a reference.
    LibraryRepairReport Repair()
    {
        const QByteArray damaged = Digest(path);
        CDllCom loader;
        ILibraryEngine* engine = nullptr;
        EXPECT_EQ(S_OK, loader.CreateLibraryEngine(&engine));
        ILibraryMaintenance* maintenance = nullptr;
        EXPECT_EQ(S_OK, engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance)));
        LibraryRepairReport report{};
        EXPECT_EQ(S_OK, maintenance->RepairLibrary(&report));
        maintenance->Release();
        engine->Release();
        const QString aside = FromW(report.damagedCopy);
        EXPECT_TRUE(aside.startsWith(path + QStringLiteral(".damaged-"))) << aside.toStdString();
        EXPECT_EQ(damaged, Digest(aside)) << "the damaged file must be kept untouched";
        ExpectConsistentDatabase();
        EngineInstance reopened;
        EXPECT_EQ(S_OK, reopened.InitializeResult());
        return report;
    }

    HRESULT Check(LONG full)
    {
        EngineInstance engine;
        ILibraryMaintenance* maintenance = nullptr;
        engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance));
        char16_t finding[kLibraryTextLength] = {};
        const HRESULT hr = maintenance->CheckLibrary(full, finding);
        if (hr == LIBRARY_E_DAMAGED) {
            EXPECT_FALSE(FromW(finding).isEmpty());
        }
        maintenance->Release();
        return hr;
    }

    // Rows of the original that the file holds now; every row it holds
    // must be an original one, unchanged.
    qint64 ExpectOriginalRows(const char* sql, const Rows& original)
    {
        const Rows now = RawDatabase(path).Read(sql);
        for (const auto& [id, row] : now) {
            const auto found = original.find(id);
            EXPECT_TRUE(found != original.end() && found->second == row) << "row " << id << ": " << row.toStdString();
        }
        return static_cast<qint64>(now.size());
    }

    QString path;
    Rows files, folders, discs;
};

TEST_F(DamageTest, AFileTablePageLostCostsOnlyItsRows)
{
    const std::vector<Leaf> leaves = LeafPages(path, "files");
    ASSERT_GT(leaves.size(), 10u);
    const size_t first = leaves.size() / 2;
    const std::vector<Leaf> damaged(leaves.begin() + first, leaves.begin() + first + 3);
    // The rows on those pages, by their position in key order.
    int before = 0, lost = 0;
    for (size_t i = 0; i < first; ++i) before += leaves[i].cells;
    for (const Leaf& leaf : damaged) lost += leaf.cells;
    const auto firstLost = std::next(files.begin(), before);
    const QString lostName = firstLost->second.section('|', 3, 3);
    const int lostDisc = firstLost->second.section('|', 0, 0).toInt();
    const int lostFolder = firstLost->second.section('|', 1, 1).toInt();
    OverwritePages(path, damaged);
    {
        EngineInstance engine;
        ASSERT_EQ(S_OK, engine.InitializeResult());
        FolderItemRecord items[200] = {};
        EXPECT_EQ(LIBRARY_E_DAMAGED, engine->GetFolderItems(lostDisc, lostFolder, items, 200));
        ItemRecord found[2] = {};
        EXPECT_EQ(LIBRARY_E_DAMAGED, engine->SearchFiles(W(lostName), found, 2));
    }
    EXPECT_EQ(LIBRARY_E_DAMAGED, Check(0));

    const LibraryRepairReport report = Repair();
    EXPECT_EQ(lost, qint64{report.rowsLost});
    EXPECT_EQ(static_cast<qint64>(files.size() + folders.size()) - lost, qint64{report.rowsSaved});
    EXPECT_EQ(kDiscs, report.discsWhole + report.discsPartly);
    EXPECT_GE(report.discsPartly, 1);
    EXPECT_EQ(0, report.discsRecovered);
    EXPECT_EQ(static_cast<qint64>(files.size()) - lost, ExpectOriginalRows(kFileRows, files));
    EXPECT_EQ(static_cast<qint64>(folders.size()), ExpectOriginalRows(kFolderRows, folders));
    EXPECT_EQ(S_OK, Check(1));
    EngineInstance engine;
    EXPECT_TRUE(FoundFiles(engine.get(), lostName).empty());
    EXPECT_EQ(1u, FoundFiles(engine.get(), std::prev(files.end())->second.section('|', 3, 3)).size());
}

TEST_F(DamageTest, DamageOnlyInTheNameIndexesComesBackComplete)
{
    {
        // A block of names whose bytes end inside an entry: the scan tells
        // the damage instead of reading past them.
        RawExec(path, "UPDATE file_name_blocks SET entries = substr(entries, 1, 100) WHERE first_id ="
                      " (SELECT max(first_id) FROM file_name_blocks)");
        EngineInstance engine;
        HRESULT scanned = S_OK;
        ListedPlaces(engine.get(), QStringLiteral("e"), &scanned);
        EXPECT_EQ(LIBRARY_E_DAMAGED, scanned);
    }
    EXPECT_EQ(S_OK, Check(0)); // sound pages: only the full check compares blocks with rows
    EXPECT_EQ(LIBRARY_E_DAMAGED, Check(1));
    std::vector<Leaf> damaged;
    for (const char* table : {"file_names_data", "folder_names_data", "file_name_blocks"})
        damaged.push_back(LeafPages(path, table).front());
    OverwritePages(path, damaged);
    EXPECT_NE(S_OK, Check(0));

    const LibraryRepairReport report = Repair();
    EXPECT_EQ(kDiscs, report.discsWhole);
    EXPECT_EQ(0, qint64{report.rowsLost});
    EXPECT_EQ(static_cast<qint64>(files.size()), ExpectOriginalRows(kFileRows, files));
    EngineInstance engine;
    EXPECT_EQ(static_cast<size_t>(kFilesPerDisc), FoundFiles(engine.get(), QStringLiteral("file-2-")).size());
    EXPECT_EQ(static_cast<size_t>(kFoldersPerDisc), FoundFolders(engine.get(), QStringLiteral("folder-3-")).size());
    EXPECT_EQ(kDiscs * kFilesPerDisc, ListedPlaces(engine.get(), QStringLiteral("e")).size());
}

TEST_F(DamageTest, RowsWhoseDiscRecordIsLostStayUnderAStandInDisc)
{
    OverwritePages(path, LeafPages(path, "discs"));
    {
        EngineInstance engine;
        HRESULT hr = engine.InitializeResult();
        LONG count = 0;
        if (SUCCEEDED(hr)) hr = engine->GetDiscCount(&count);
        EXPECT_EQ(LIBRARY_E_DAMAGED, hr);
    }
    EXPECT_EQ(LIBRARY_E_DAMAGED, Check(0));

    const LibraryRepairReport report = Repair();
    EXPECT_EQ(kDiscs, report.discsRecovered);
    EXPECT_EQ(static_cast<qint64>(files.size() + folders.size()), qint64{report.rowsSaved});
    EXPECT_EQ(static_cast<qint64>(files.size()), ExpectOriginalRows(kFileRows, files));
    EngineInstance engine;
    const auto listed = Discs(engine.get());
    ASSERT_EQ(static_cast<size_t>(kDiscs), listed.size());
    EXPECT_EQ(QStringLiteral("Recovered disc 1"), FromW(listed[0].name));
    EXPECT_EQ(kFilesPerDisc, listed[0].fileCount);
    EXPECT_EQ(static_cast<size_t>(kFilesPerDisc), FoundFiles(engine.get(), QStringLiteral("file-1-")).size());
}

TEST_F(DamageTest, AFileCutShortKeepsWhatItStillHolds)
{
    const qint64 size = QFileInfo(path).size();
    ASSERT_TRUE(QFile::resize(path, size / 2 / kPageSize * kPageSize));
    {
        EngineInstance engine;
        HRESULT hr = engine.InitializeResult();
        ItemRecord found[2] = {};
        if (SUCCEEDED(hr)) hr = engine->SearchFiles(u"file-3-1499.txt", found, 2);
        EXPECT_EQ(LIBRARY_E_DAMAGED, hr);
    }
    EXPECT_EQ(LIBRARY_E_DAMAGED, Check(0));
    const LibraryRepairReport report = Repair();
    EXPECT_GT(qint64{report.rowsLost}, 0);
    const qint64 saved = ExpectOriginalRows(kFileRows, files) + ExpectOriginalRows(kFolderRows, folders);
    EXPECT_EQ(qint64{report.rowsSaved}, saved);
    EXPECT_GT(saved, 0);
}

// A folder's span of file ids that misses one of its files (here the last)
// hides that file from the folder: the full check finds it, the quick check
// (pages only) does not, and the repair makes the spans anew from the rows.
TEST_F(DamageTest, AFileOutsideItsFoldersSpanIsFoundByTheFullCheckAndRepaired)
{
    const int folder = 1 + (kFilesPerDisc - 1) % kFoldersPerDisc; // the folder of disc 1's last file
    const auto listedFiles = [&] {
        EngineInstance engine;
        return FolderItems(engine.get(), 1, folder).size();
    };
    const size_t whole = listedFiles();
    ASSERT_EQ(size_t(kFilesPerDisc / kFoldersPerDisc), whole);
    RawExec(path, QByteArray("UPDATE file_spans SET last_id = last_id - 1 WHERE disc_id = 1 AND folder_id = " +
                             QByteArray::number(folder))
                      .constData());
    EXPECT_EQ(whole - 1, listedFiles());
    EXPECT_EQ(S_OK, Check(0));
    EXPECT_EQ(LIBRARY_E_DAMAGED, Check(1));

    const LibraryRepairReport report = Repair();
    EXPECT_EQ(0, qint64{report.rowsLost});
    EXPECT_EQ(whole, listedFiles());
    EXPECT_EQ(S_OK, Check(1));
}

// Damage that leaves nothing to read: the engine refuses to open the file
// (it must not start an empty library over it); the repair keeps it aside
// and starts an empty library.
class UnreadableFileTest : public DamageTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(UnreadableFileTest, RefusedKeptAsideAndReplacedByAnEmptyLibrary)
{
    const std::string damage = GetParam();
    if (damage == "header") Overwrite(path, 0, 100);
    if (damage == "empty") QFile::resize(path, 0);
    if (damage == "text") {
        QFile file(path);
        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write(QByteArray("This is a shopping list, not a library.\n").repeated(500));
    }
    const qint64 damagedSize = QFileInfo(path).size();
    {
        EngineInstance engine;
        EXPECT_EQ(LIBRARY_E_DAMAGED, engine.InitializeResult());
    }
    EXPECT_EQ(damagedSize, QFileInfo(path).size());
    EXPECT_EQ(LIBRARY_E_DAMAGED, Check(0));
    const LibraryRepairReport report = Repair();
    EXPECT_EQ(0, qint64{report.rowsSaved});
    EngineInstance engine;
    EXPECT_TRUE(Discs(engine.get()).empty());
}

INSTANTIATE_TEST_SUITE_P(Damage, UnreadableFileTest, ::testing::Values("header", "empty", "text"));

TEST_F(DamageTest, ASoundLibraryPassesBothChecks)
{
    EXPECT_EQ(S_OK, Check(0));
    EXPECT_EQ(S_OK, Check(1));
}

TEST_F(DamageTest, ABackupTakenBeforeTheDamageRestoresTheLibraryWhole)
{
    EngineInstance engine;
    ILibraryMaintenance* maintenance = nullptr;
    engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance));
    ASSERT_EQ(S_OK, maintenance->BackUpLibrary(0));
    EXPECT_EQ(S_FALSE, maintenance->BackUpLibrary(1)) << "one a day";
    maintenance->Release();
    engine->Uninitialize();
    const QStringList backups = Kept(path, QStringLiteral(".backup"));
    ASSERT_EQ(1, backups.size());

    OverwritePages(path, LeafPages(path, "files"));
    // Restoring: the backup is a complete library of its own.
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(QFileInfo(path).dir().filePath(backups[0]), path));
    EXPECT_EQ(files, RawDatabase(path).Read(kFileRows));
    EXPECT_EQ(discs, RawDatabase(path).Read(kDiscRows));
    ExpectConsistentDatabase();
}

// Renames every kept copy to a time a day or more ago (oldest first, under
// names that never collide); the new names.
QStringList AgeBackups(const QString& path)
{
    static int renamed = 0;
    QDir folder = QFileInfo(path).dir();
    QStringList aged;
    for (const QString& name : Kept(path, QStringLiteral(".backup"))) {
        aged.append(QFileInfo(path).fileName() + QStringLiteral(".backup-2000010112000%1").arg(++renamed, 4, 10, QLatin1Char('0')));
        EXPECT_TRUE(folder.rename(name, aged.last()));
    }
    return aged;
}

TEST_F(DamageTest, DailyBackupsFollowChangesKeepTheNewestThreeAndNeverCopyDamage)
{
    EngineInstance engine;
    ILibraryMaintenance* maintenance = nullptr;
    engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance));
    for (int i = 0; i < 4; ++i) ASSERT_EQ(S_OK, maintenance->BackUpLibrary(0));
    const QStringList firstCopies = Kept(path, QStringLiteral(".backup"));
    ASSERT_EQ(3, firstCopies.size());
    const QStringList aged = AgeBackups(path);
    EXPECT_EQ(S_FALSE, maintenance->BackUpLibrary(1)) << "a day old, but nothing changed since";
    // Opening the library again cleans up with nothing to clean: still no change.
    engine->Uninitialize();
    ASSERT_EQ(S_OK, engine->Initialize(0, 0, 0));
    EXPECT_EQ(S_FALSE, maintenance->BackUpLibrary(1));

    ASSERT_EQ(S_OK, engine->AddTag(u"Changed", nullptr));
    EXPECT_EQ(S_OK, maintenance->BackUpLibrary(1));
    QStringList backups = Kept(path, QStringLiteral(".backup"));
    ASSERT_EQ(3, backups.size());
    EXPECT_FALSE(backups.contains(aged[0])) << "the oldest went";
    EXPECT_TRUE(backups.contains(aged[1]) && backups.contains(aged[2]));
    EXPECT_EQ(S_FALSE, maintenance->BackUpLibrary(1)) << "one a day";

    AgeBackups(path);
    ASSERT_EQ(S_OK, engine->AddTag(u"Changed again", nullptr));
    engine->Uninitialize();
    backups = Kept(path, QStringLiteral(".backup"));
    OverwritePages(path, LeafPages(path, "files"));
    EXPECT_EQ(LIBRARY_E_DAMAGED, maintenance->BackUpLibrary(1));
    EXPECT_EQ(backups, Kept(path, QStringLiteral(".backup")));
    maintenance->Release();
}

TEST_F(DamageTest, BackupSettingsMoveTheCopiesBoundTheirNumberAndTurnTheDailyOneOff)
{
    const QString elsewhere = TestEnvironment::MakeFolder(QStringLiteral("backups")) + QStringLiteral("/nested");
    ScopedEngineSetting folder(u"BackupFolder", elsewhere);
    ScopedEngineSetting copies(u"BackupCopies", 2);
    EngineInstance engine;
    ILibraryMaintenance* maintenance = nullptr;
    engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance));
    for (int i = 0; i < 3; ++i) ASSERT_EQ(S_OK, maintenance->BackUpLibrary(0));
    EXPECT_TRUE(Kept(path, QStringLiteral(".backup")).isEmpty()) << "nothing beside the library";
    const QString moved = elsewhere + QLatin1Char('/') + QFileInfo(path).fileName();
    EXPECT_EQ(2, Kept(moved, QStringLiteral(".backup")).size());

    AgeBackups(moved);
    ASSERT_EQ(S_OK, engine->AddTag(u"Changed", nullptr));
    {
        ScopedEngineSetting off(u"DailyBackup", 0);
        EXPECT_EQ(S_FALSE, maintenance->BackUpLibrary(1)) << "turned off";
    }
    EXPECT_EQ(S_OK, maintenance->BackUpLibrary(1));
    const QStringList backups = Kept(moved, QStringLiteral(".backup"));
    ASSERT_EQ(2, backups.size());
    maintenance->Release();
    engine->Uninitialize();
    // The moved copy restores the library whole.
    QFile::remove(path);
    ASSERT_TRUE(QFile::copy(QFileInfo(moved).dir().filePath(backups.last()), path));
    EXPECT_EQ(files, RawDatabase(path).Read(kFileRows));
    ExpectConsistentDatabase();
}

TEST_F(DamageTest, RepairIsRefusedWhileAnotherProcessHoldsTheLibrary)
{
    QProcess child;
    child.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")), {QStringLiteral("added")});
    ASSERT_TRUE(child.waitForReadyRead(30000));
    CDllCom loader;
    ILibraryEngine* engine = nullptr;
    ASSERT_EQ(S_OK, loader.CreateLibraryEngine(&engine));
    ILibraryMaintenance* maintenance = nullptr;
    engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance));
    LibraryRepairReport report{};
    EXPECT_EQ(LIBRARY_E_IN_USE, maintenance->RepairLibrary(&report));
    EXPECT_TRUE(Kept(path, QStringLiteral(".damaged")).isEmpty());
    child.kill();
    child.waitForFinished();
    maintenance->Release();
    engine->Release();
}

} // namespace
