// Imports through the loaded engine: nothing is visible before the import
// closes, an unfinished import leaves no trace (also when its process is
// killed), and writers on several instances and threads do not collide.
#include "EngineTestSupport.h"
#include "ILibraryDiscCounts.h"
#include "ILibraryMaintenance.h"

#include "TestEnvironment.h"

#include <QFile>
#include <QProcess>
#include <atomic>
#include <chrono>
#include <gtest/gtest.h>
#include <string>
#include <thread>

namespace {

QString FileBatch(int firstId, int count, int disc, const QString& prefix)
{
    QStringList rows;
    for (int i = 0; i < count; ++i)
        rows.append(EntryRow({firstId + i, prefix + QString::number(i) + QStringLiteral(".dat"), i, QStringLiteral("File"),
                              1, disc, 4, 0, 0}));
    return Batch(rows);
}

class ImportTest : public EngineTest {
protected:

    // Adds a disc and writes a path, a folder and files without closing.
    static LibraryImportHandle HalfImport(ILibraryEngine* engine, int* disc)
    {
        *disc = AddTestDisc(engine, QStringLiteral("Half"), "HALF");
        LibraryImportHandle handle = nullptr;
        EXPECT_EQ(S_OK, engine->OpenImportHandle(&handle));
        EXPECT_EQ(S_OK, engine->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\HALFDIR"))})), 1));
        EXPECT_EQ(S_OK, engine->InsertFolderRows(
                            handle, W(Batch({EntryRow({1, QStringLiteral("HALFDIR"), 0, QStringLiteral("Folder"), 1, *disc, 4, 0, 0})}, true)), 1));
        EXPECT_EQ(S_OK, engine->InsertFileRows(handle, W(FileBatch(1, 600, *disc, QStringLiteral("half"))), 1));
        return handle;
    }

    static void ExpectEmptyLibrary(ILibraryEngine* engine)
    {
        LONG discs = -1, maxFile = -1, maxFolder = -1, maxPath = -1;
        EXPECT_EQ(S_OK, engine->GetDiscCount(&discs));
        EXPECT_EQ(S_OK, engine->GetMaxFileId(nullptr, &maxFile));
        EXPECT_EQ(S_OK, engine->GetMaxFolderId(nullptr, &maxFolder));
        EXPECT_EQ(S_OK, engine->GetMaxPathId(nullptr, &maxPath));
        EXPECT_EQ(0, discs);
        EXPECT_EQ(0, maxFile);
        EXPECT_EQ(0, maxFolder);
        EXPECT_EQ(0, maxPath);
    }

    // Runs the helper to a stage and kills it there.
    static void KillChildAt(const char* stage)
    {
        QProcess child;
        child.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")), {QString::fromLatin1(stage)});
        ASSERT_TRUE(child.waitForStarted());
        ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().constData();
        ASSERT_EQ(QByteArray("ready"), child.readLine().trimmed());
        child.kill();
        ASSERT_TRUE(child.waitForFinished());
        ASSERT_EQ(QProcess::CrashExit, child.exitStatus());
    }
};

INSTANTIATE_ENGINE_TESTS(ImportTest);

TEST_P(ImportTest, RowsAppearWhenTheImportCloses)
{
    EngineInstance writer, reader;
    int disc = 0;
    LibraryImportHandle handle = HalfImport(writer.get(), &disc);
    for (ILibraryEngine* engine : {writer.get(), reader.get()}) {
        LONG count = -1;
        EXPECT_EQ(S_OK, engine->GetDiscCount(&count));
        EXPECT_EQ(0, count);
        EXPECT_EQ(S_OK, engine->GetFolderItemCount(disc, 0, &count));
        EXPECT_EQ(0, count);
        EXPECT_TRUE(FoundFiles(engine, QStringLiteral("half1")).empty());
        EXPECT_TRUE(FoundFolders(engine, QStringLiteral("HALFDIR")).empty());
        EXPECT_TRUE(FoundFiles(engine, QStringLiteral("h")).empty());
    }
    ASSERT_EQ(S_OK, writer->CloseImportHandle(handle));
    EXPECT_EQ(1u, Discs(reader.get()).size());
    EXPECT_EQ(601u, FolderItems(reader.get(), disc, 0).size());
    EXPECT_EQ(111u, FoundFiles(reader.get(), QStringLiteral("half1")).size());
}

TEST_P(ImportTest, UninitializeUndoesAnOpenImport)
{
    {
        EngineInstance engine;
        int disc = 0;
        HalfImport(engine.get(), &disc);
        ASSERT_EQ(S_OK, engine->Uninitialize());
        LONG count = 0;
        EXPECT_EQ(E_UNEXPECTED, engine->GetDiscCount(&count));
    }
    EngineInstance again;
    ExpectEmptyLibrary(again.get());
    ExpectConsistentDatabase();
}

TEST_P(ImportTest, AKilledImportLeavesNoTraceAfterTheNextStart)
{
    // A disc added by this (living) process and not yet imported stays.
    EngineInstance mine;
    const int myDisc = AddTestDisc(mine.get(), QStringLiteral("Mine"), "MINE");

    KillChildAt("importing");
    KillChildAt("added");
    {
        EngineInstance after;
        const auto discs = Discs(after.get());
        ASSERT_EQ(1u, discs.size());
        EXPECT_EQ(myDisc, discs[0].discId);
        LONG maxFile = -1, maxPath = -1, maxFolder = -1, path = -1;
        EXPECT_EQ(S_OK, after->GetMaxFileId(nullptr, &maxFile));
        EXPECT_EQ(S_OK, after->GetMaxFolderId(nullptr, &maxFolder));
        EXPECT_EQ(S_OK, after->GetMaxPathId(nullptr, &maxPath));
        EXPECT_EQ(S_OK, after->FindPathId(nullptr, u"\\CHILDDIR", &path));
        EXPECT_EQ(0, maxFile);
        EXPECT_EQ(0, maxFolder);
        EXPECT_EQ(0, maxPath);
        EXPECT_LT(path, 1);
        LONG found = -1;
        EXPECT_EQ(S_OK, after->FindDiscByIdentity("CHILD", &found));
        EXPECT_EQ(0, found);
        ExpectConsistentDatabase();
    }
    // A finished import survives its process.
    KillChildAt("finished");
    EngineInstance after;
    EXPECT_EQ(2u, Discs(after.get()).size());
    EXPECT_EQ(1800u, FoundFiles(after.get(), QStringLiteral("childfile")).size());
}

// The upgrades of a library file from the versions before: the file's own
// tables, read with SQL, so they run on the file engine only.
class FileLibraryUpgradeTest : public ImportTest {};
INSTANTIATE_TEST_SUITE_P(File, FileLibraryUpgradeTest, ::testing::Values(EngineKind::Sqlite), EngineName);

// A library written before the names' character counts existed opens at
// once; the counts are made disc by disc afterwards. A process killed
// meanwhile leaves every disc either counted whole or still to be counted,
// and the next opening finishes the counts as a fresh import makes them.
TEST_P(FileLibraryUpgradeTest, AnEarlierLibraryGetsItsCountsAfterOpeningEvenWhenKilledMeanwhile)
{
    constexpr int kDiscs = 40, kFiles = 300;
    const QString path = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    {
        EngineInstance engine;
        for (int d = 0; d < kDiscs; ++d) {
            const int disc = AddTestDisc(engine.get(), QStringLiteral("Old %1").arg(d), QByteArray("OLD" + QByteArray::number(d)).constData());
            LibraryImportHandle handle = nullptr;
            ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
            ASSERT_EQ(S_OK, engine->InsertFileRows(handle, W(FileBatch(1 + d * kFiles, kFiles, disc, QStringLiteral("d%1ü_").arg(d))), 1));
            ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
        }
    }
    constexpr const char* kGrams = "SELECT disc_id, kind, gram, hits FROM name_grams ORDER BY 1, 2, 3";
    constexpr const char* kFileRows = "SELECT * FROM files ORDER BY id";
    const QStringList grams = RawRows(path, kGrams), files = RawRows(path, kFileRows);
    ASSERT_FALSE(grams.isEmpty());
    RawExec(path, "DROP TABLE name_grams; DROP TABLE name_grams_uncounted; DROP TABLE library_changes; PRAGMA user_version=1");

    KillChildAt("opened");
    EXPECT_EQ(files, RawRows(path, kFileRows));
    const QStringList uncounted = RawRows(path, "SELECT disc_id FROM name_grams_uncounted");
    QStringList countedSoFar;
    for (const QString& row : grams)
        if (!uncounted.contains(row.section(QLatin1Char('|'), 0, 0))) countedSoFar.append(row);
    EXPECT_EQ(countedSoFar, RawRows(path, kGrams));

    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    LONG count = -1;
    EXPECT_EQ(S_OK, engine->SearchFileCount(u"Ü", &count));
    EXPECT_EQ(kDiscs * kFiles, count) << "counted by a scan until the counts are made";
    for (int wait = 0; wait < 3000 && !RawRows(path, "SELECT disc_id FROM name_grams_uncounted").isEmpty(); ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(grams, RawRows(path, kGrams));
    EXPECT_EQ(S_OK, engine->SearchFileCount(u"1Ü", &count));
    EXPECT_EQ(4 * kFiles, count) << "the names of discs 1, 11, 21 and 31";
}

// Every row of every table the library had before the change count and the
// list of discs still to be counted, sorted, under its table's name; one a
// line (a difference is shown as a diff).
std::string EarlierTablesRows(const QString& path)
{
    QStringList rows;
    for (const QString& table : RawRows(path, "SELECT name FROM sqlite_master WHERE type = 'table' AND name NOT LIKE 'sqlite_%'"
                                              " AND name NOT IN ('name_grams_uncounted', 'library_changes')")) {
        const QByteArray select = "SELECT * FROM \"" + table.toUtf8() + '"';
        for (const QString& row : RawRows(path, select.constData())) rows.append(table + QLatin1Char(':') + row);
    }
    rows.sort();
    return rows.join(QLatin1Char('\n')).toStdString();
}

// A library of the version before the change count opens as it was: every
// row kept, its character counts used as they are (not made again), and a
// change count of its own from then on, which the daily backup follows.
TEST_P(FileLibraryUpgradeTest, ALibraryOfThePreviousVersionIsUpgradedKeepingEveryRow)
{
    const QString path = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    {
        EngineInstance engine;
        LONG tag = 0;
        ASSERT_EQ(S_OK, engine->AddTag(u"Urlaub", &tag));
        for (int d = 0; d < 3; ++d) {
            const int disc = AddTestDisc(engine.get(), QStringLiteral("Disc %1").arg(d), QByteArray("V2D" + QByteArray::number(d)).constData(),
                                         QString::number(tag));
            LibraryImportHandle handle = nullptr;
            ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
            ASSERT_EQ(S_OK, engine->InsertFileRows(handle, W(FileBatch(1 + d * 100, 100, disc, QStringLiteral("größe%1_").arg(d))), 1));
            ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
        }
    }
    RawExec(path, "DROP TABLE name_grams_uncounted; DROP TABLE library_changes; PRAGMA user_version=2");
    const std::string before = EarlierTablesRows(path);
    ASSERT_NE(std::string::npos, before.find("\nname_grams:"));

    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    EXPECT_EQ(QStringList{QStringLiteral("8")}, RawRows(path, "PRAGMA user_version"));
    EXPECT_EQ(before, EarlierTablesRows(path));
    EXPECT_TRUE(RawRows(path, "SELECT disc_id FROM name_grams_uncounted").isEmpty()) << "its counts are kept";
    const QStringList count = RawRows(path, "SELECT generation FROM library_changes");
    ASSERT_EQ(1, count.size());
    LONG found = -1;
    EXPECT_EQ(S_OK, engine->SearchFileCount(u"Ö", &found));
    EXPECT_EQ(300, found);
    EXPECT_EQ(3u, Discs(engine.get()).size());
    EXPECT_EQ(1u, Tags(engine.get()).size());

    ILibraryMaintenance* maintenance = nullptr;
    ASSERT_EQ(S_OK, engine->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance)));
    EXPECT_EQ(S_OK, maintenance->BackUpLibrary(1)) << "the first backup of the upgraded library";
    maintenance->Release();
    ASSERT_EQ(S_OK, engine->AddTag(u"Neu", nullptr));
    EXPECT_NE(count, RawRows(path, "SELECT generation FROM library_changes")) << "a write raises the count";
    ExpectConsistentDatabase();
}

// Rows as the versions before 5 kept them: the type's text and a label id
// (the disc's) in every row, no table of types.
constexpr const char* kTypeTextRows = R"sql(
CREATE TABLE earlier(
  id INTEGER PRIMARY KEY, disc_id INTEGER NOT NULL, %2 INTEGER NOT NULL, path_id INTEGER NOT NULL,
  label_id INTEGER NOT NULL, name TEXT NOT NULL, size INTEGER NOT NULL, type TEXT NOT NULL, time INTEGER NOT NULL);
INSERT INTO earlier SELECT e.id, e.disc_id, e.%2, e.path_id, (SELECT label_id FROM discs WHERE id = e.disc_id), e.name,
  e.size, (SELECT text FROM entry_types WHERE id = e.type), e.time FROM %1 e;
DROP TABLE %1;
ALTER TABLE earlier RENAME TO %1;
)sql";

// Turns a library into one without blocks of names, as version 7 left a
// library of version 6 it opened (the version 5 layout below has 5).
void MakeUnblockedLayout(const QString& path) { RawExec(path, "DROP TABLE file_name_blocks; PRAGMA user_version=7"); }

// Turns a library into the layout of version 5: an index of the files by
// disc and folder instead of the file spans.
void MakeFolderIndexLayout(const QString& path)
{
    MakeUnblockedLayout(path);
    RawExec(path, "DROP TABLE file_spans; CREATE INDEX files_by_folder ON files(disc_id, folder_id); PRAGMA user_version=5");
}

// Turns a library into the layout of the versions before 4: the folded
// names stored in tables of their own, the content of the name indexes, and
// rows that keep their type texts.
void MakeStoredFoldLayout(const QString& path)
{
    MakeFolderIndexLayout(path);
    for (const auto& [table, parent] : {std::pair("files", "folder_id"), std::pair("folders", "parent_id")})
        RawExec(path, QString::fromLatin1(kTypeTextRows).arg(QLatin1String(table), QLatin1String(parent)).toUtf8().constData());
    RawExec(path, "DROP TABLE entry_types; CREATE INDEX files_by_folder ON files(disc_id, folder_id);"
                  "CREATE INDEX folders_by_parent ON folders(disc_id, parent_id);"
                  "DROP TABLE file_names; DROP TABLE folder_names; DROP TABLE name_index_progress;"
                  "CREATE TABLE folder_folds(id INTEGER PRIMARY KEY, disc_id INTEGER NOT NULL, fold TEXT NOT NULL);"
                  "CREATE VIRTUAL TABLE folder_names USING fts5(fold, content='folder_folds', content_rowid='id',"
                  " tokenize='trigram case_sensitive 1', columnsize=0);"
                  "CREATE TABLE file_folds(id INTEGER PRIMARY KEY, disc_id INTEGER NOT NULL, fold TEXT NOT NULL);"
                  "CREATE VIRTUAL TABLE file_names USING fts5(fold, content='file_folds', content_rowid='id',"
                  " tokenize='trigram case_sensitive 1', columnsize=0);"
                  "PRAGMA user_version=3");
    for (const char* kind : {"file", "folder"}) {
        QStringList values;
        for (const QString& row : RawRows(path, QByteArray("SELECT id || '|' || disc_id || '|' || name FROM ") + kind + 's')) {
            QString fold = row.section(QLatin1Char('|'), 2).toCaseFolded();
            fold.replace(QLatin1Char('\''), QStringLiteral("''"));
            values.append(QStringLiteral("(%1, %2, '%3')").arg(row.section('|', 0, 0), row.section('|', 1, 1), fold));
        }
        const QByteArray folds = kind + QByteArray("_folds"), names = kind + QByteArray("_names");
        RawExec(path, ("INSERT INTO " + folds + " VALUES " + values.join(QLatin1Char(',')).toUtf8() + "; INSERT INTO " +
                       names + "(" + names + ") VALUES('rebuild')")
                          .constData());
    }
}

QString Described(const ItemRecord& item)
{
    return QStringLiteral("%1 %2 %3 %4 %5 label %6 path %7")
        .arg(item.id)
        .arg(FromW(item.name), FromW(item.type))
        .arg(item.size)
        .arg(item.time)
        .arg(item.labelId)
        .arg(item.pathId);
}

QStringList FolderResults(ILibraryEngine* engine, int disc, int folder)
{
    QStringList results;
    for (const FolderItemRecord& item : FolderItems(engine, disc, folder)) {
        results.append(QStringLiteral("in %1/%2: %3 %4 %5 %6 %7")
                           .arg(disc)
                           .arg(folder)
                           .arg(item.id)
                           .arg(FromW(item.name), FromW(item.type))
                           .arg(item.size)
                           .arg(item.time));
        if (folder == 0 && FromW(item.type) == QLatin1String("Folder")) results += FolderResults(engine, disc, item.id);
    }
    return results;
}

// What searches find (counts and records of files and folders, and the
// places a script's search lists), what the discs' root folders and the
// folders in them list, and the discs' counts.
QStringList SearchResults(ILibraryEngine* engine)
{
    QStringList results;
    ILibraryDiscCounts* counter = nullptr;
    EXPECT_EQ(S_OK, engine->QueryInterface(IID_ILibraryDiscCounts, reinterpret_cast<void**>(&counter)));
    for (const DiscRecord& disc : Discs(engine)) {
        results += FolderResults(engine, disc.discId, 0);
        LONG folders = -1, files = -1;
        EXPECT_EQ(S_OK, counter->GetDiscEntryCounts(disc.discId, &folders, &files));
        results.append(QStringLiteral("disc %1: %2 folders, %3 files").arg(disc.discId).arg(folders).arg(files));
    }
    counter->Release();
    for (const QString& query : {QStringLiteral("ö"), QStringLiteral("SS"), QStringLiteral("GRÖSSE"), QStringLiteral("ß"),
                                 QStringLiteral("größe1_ä"), QStringLiteral("Ë"), QStringLiteral("e1"),
                                 QStringLiteral(".dat"), QStringLiteral("7"), QStringLiteral("q")}) {
        LONG files = -1, folders = -1;
        EXPECT_EQ(S_OK, engine->SearchFileCount(W(query), &files));
        EXPECT_EQ(S_OK, engine->SearchFolderCount(W(query), &folders));
        results.append(query + QStringLiteral(": %1 files, %2 folders").arg(files).arg(folders));
        for (const ItemRecord& found : FoundFiles(engine, query)) results.append(Described(found));
        for (const ItemRecord& found : FoundFolders(engine, query)) results.append(Described(found));
        results += ListedPlaces(engine, query);
    }
    return results;
}

void ImportNamedDisc(ILibraryEngine* engine, int number)
{
    const int disc = AddTestDisc(engine, QStringLiteral("Disc %1").arg(number), QByteArray("D" + QByteArray::number(number)).constData());
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
    ASSERT_EQ(S_OK, engine->InsertFolderRows(handle, W(Batch({EntryRow({number, QStringLiteral("Noël %1 STRASSE").arg(number), 0,
                                                                       QStringLiteral("Folder"), 1, disc, 4, 0, 0})}, true)), 1));
    // Types that look like numbers too, which must never be taken for a type's id.
    const QString types[] = {QStringLiteral("JPEG image"), QStringLiteral("1"), QStringLiteral("File"), QString::number(number)};
    QStringList rows;
    for (int i = 0; i < 100; ++i)
        rows.append(EntryRow({number * 100 + 1 + i, QStringLiteral("Größe%1_Ärger%2.dat").arg(number).arg(i), i * 1000,
                              types[i % 4], 133000000000000000LL + i, disc, 4, i % 2 ? number : 0, 0}));
    ASSERT_EQ(S_OK, engine->InsertFileRows(handle, W(Batch(rows)), 1));
    ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
}

// Waits (up to 30 s) until the blocks of names an earlier library's
// opening started to make are made.
void WaitForUpgrade(const QString& path)
{
    const char* pending = "SELECT count(*) FROM sqlite_master WHERE name = 'name_blocks_next'";
    for (int wait = 0; wait < 3000 && RawRows(path, pending) != QStringList{QStringLiteral("0")}; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_EQ(QStringList{QStringLiteral("0")}, RawRows(path, pending));
}

// A library of an earlier layout: how to make it from a new one, and what
// it keeps after an import and a deletion, and loses in its repair.
struct EarlierLayout {
    void (*make)(const QString& path);
    void (*expectKept)(const QString& path);
    void (*expectMadeNew)(const QString& path);
};

bool HasSchemaEntry(const QString& path, const char* name)
{
    return !RawRows(path, (QByteArray("SELECT 1 FROM sqlite_master WHERE name = '") + name + '\'').constData()).isEmpty();
}

// A library of an earlier layout opens as it is (without file spans, with
// its index of the files by folder) and finds and lists exactly what a
// library of the new layout does, also after an import and a deletion; its
// repair makes it new.
void ExpectEarlierLayoutFindsWhatANewOneFinds(const EarlierLayout& layout)
{
    const QString path = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    const QString earlier = path + QStringLiteral(".earlier");
    QStringList before, after;
    {
        EngineInstance engine;
        for (int number = 1; number <= 3; ++number) ImportNamedDisc(engine.get(), number);
        before = SearchResults(engine.get());
    }
    ASSERT_TRUE(QFile::copy(path, earlier));
    const auto change = [](ILibraryEngine* engine) {
        ImportNamedDisc(engine, 4);
        EXPECT_EQ(S_OK, engine->DeleteDisc(1, 0));
    };
    {
        EngineInstance engine;
        change(engine.get());
        after = SearchResults(engine.get());
    }
    ASSERT_TRUE(before.contains(QStringLiteral("ß: 300 files, 0 folders"))) << before.join('\n').toStdString();
    ASSERT_TRUE(before.contains(QStringLiteral("disc 2: 1 folders, 100 files"))) << before.join('\n').toStdString();
    EXPECT_FALSE(HasSchemaEntry(path, "file_folds"));
    EXPECT_FALSE(HasSchemaEntry(path, "files_by_folder"));
    ExpectConsistentDatabase();

    qputenv("ALBIREO_LIBRARY_DB", earlier.toLocal8Bit());
    layout.make(earlier);
    ExpectConsistentDatabase();
    {
        EngineInstance engine;
        ASSERT_EQ(S_OK, engine.InitializeResult());
        EXPECT_EQ(QStringList{QStringLiteral("8")}, RawRows(earlier, "PRAGMA user_version"));
        EXPECT_EQ(before, SearchResults(engine.get()));
        change(engine.get());
        EXPECT_EQ(after, SearchResults(engine.get()));
        WaitForUpgrade(earlier);
        EXPECT_EQ(after, SearchResults(engine.get())) << "with what the opening made";
    }
    layout.expectKept(earlier);
    ExpectConsistentDatabase();

    CDllCom loader;
    ILibraryEngine* repairing = nullptr;
    ASSERT_EQ(S_OK, loader.CreateLibraryEngine(&repairing));
    ILibraryMaintenance* maintenance = nullptr;
    ASSERT_EQ(S_OK, repairing->QueryInterface(IID_ILibraryMaintenance, reinterpret_cast<void**>(&maintenance)));
    LibraryRepairReport report{};
    EXPECT_EQ(S_OK, maintenance->RepairLibrary(&report));
    maintenance->Release();
    repairing->Release();
    EXPECT_TRUE(HasSchemaEntry(earlier, "file_spans")) << "made new";
    EXPECT_TRUE(HasSchemaEntry(earlier, "file_name_blocks"));
    EXPECT_FALSE(HasSchemaEntry(earlier, "files_by_folder"));
    layout.expectMadeNew(earlier);
    ExpectConsistentDatabase();
    EngineInstance repaired;
    EXPECT_EQ(after, SearchResults(repaired.get()));
}

// Made before version 4: the folded names stored, and type texts in the rows.
TEST_P(FileLibraryUpgradeTest, ALibraryWithStoredFoldedNamesFindsWhatANewOneFinds)
{
    ExpectEarlierLayoutFindsWhatANewOneFinds(
        {MakeStoredFoldLayout,
         [](const QString& earlier) {
             EXPECT_EQ(QStringList{QStringLiteral("300")}, RawRows(earlier, "SELECT count(*) FROM file_folds")) << "kept";
             EXPECT_TRUE(HasSchemaEntry(earlier, "files_by_folder"));
             EXPECT_FALSE(HasSchemaEntry(earlier, "file_name_blocks")) << "until a repair";
             EXPECT_EQ(QStringList{QStringLiteral("0|303")},
                       RawRows(earlier, "SELECT (SELECT count(*) FROM entry_types),"
                                        " (SELECT count(*) FROM files WHERE typeof(type) = 'text')"
                                        " + (SELECT count(*) FROM folders WHERE typeof(type) = 'text')"))
                 << "rows written as the library keeps them";
         },
         [](const QString& earlier) {
             EXPECT_FALSE(HasSchemaEntry(earlier, "file_folds")) << "made new";
             EXPECT_EQ(QStringList{QStringLiteral("0|0|7")},
                       RawRows(earlier, "SELECT (SELECT count(*) FROM pragma_table_info('files') WHERE name = 'label_id'),"
                                        " (SELECT count(*) FROM files WHERE typeof(type) <> 'integer'),"
                                        " (SELECT count(*) FROM entry_types)"));
         }});
}

// Made in version 6, opened by version 7: short searches scan the file rows
// until the opening has made the blocks of names.
TEST_P(FileLibraryUpgradeTest, ALibraryWithoutBlocksOfNamesFindsWhatANewOneFinds)
{
    ExpectEarlierLayoutFindsWhatANewOneFinds({MakeUnblockedLayout,
                                              [](const QString& earlier) {
                                                  EXPECT_TRUE(HasSchemaEntry(earlier, "file_spans"));
                                                  EXPECT_TRUE(HasSchemaEntry(earlier, "file_name_blocks"));
                                              },
                                              [](const QString&) {}});
}

// Made in version 5: the files found by folder through an index of every file.
TEST_P(FileLibraryUpgradeTest, ALibraryWithAnIndexOfFilesByFolderFindsWhatANewOneFinds)
{
    ExpectEarlierLayoutFindsWhatANewOneFinds(
        {MakeFolderIndexLayout,
         [](const QString& earlier) {
             EXPECT_FALSE(HasSchemaEntry(earlier, "file_spans"));
             EXPECT_TRUE(HasSchemaEntry(earlier, "files_by_folder"));
             EXPECT_TRUE(HasSchemaEntry(earlier, "file_name_blocks")) << "made after the opening";
             EXPECT_EQ(QStringList{QStringLiteral("7|0")},
                       RawRows(earlier, "SELECT (SELECT count(*) FROM entry_types),"
                                        " (SELECT count(*) FROM files WHERE typeof(type) <> 'integer')"))
                 << "its rows as a new library writes them";
         },
         [](const QString&) {}});
}

// A library without blocks of names gets them after it opens, a range
// of ids per transaction (the files' ids lie far apart here, so there are
// many); a process killed meanwhile leaves the ranges it made, the next
// opening makes the rest, and the places a script's search lists stay the
// same throughout.
TEST_P(FileLibraryUpgradeTest, AnEarlierLibraryGetsItsBlocksOfNamesAfterOpeningEvenWhenKilledMeanwhile)
{
    constexpr int kDiscs = 3, kFiles = 200, kIdStep = 3000;
    const QString path = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    const QStringList queries = {QStringLiteral("1"), QStringLiteral("\u00FC"), QStringLiteral("_")};
    QStringList places;
    {
        EngineInstance engine;
        for (int d = 0; d < kDiscs; ++d) {
            const int disc = AddTestDisc(engine.get(), QStringLiteral("Old %1").arg(d), QByteArray("OB" + QByteArray::number(d)).constData());
            LibraryImportHandle handle = nullptr;
            ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
            QStringList rows;
            for (int n = 0; n < kFiles; ++n)
                rows << EntryRow({(d * kFiles + n + 1) * kIdStep, QStringLiteral("d%1\u00FC_%2.dat").arg(d).arg(n), n,
                                  QStringLiteral("File"), 1, disc, 4, 0, 0});
            ASSERT_EQ(S_OK, engine->InsertFileRows(handle, W(Batch(rows)), 1));
            ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
        }
        for (const QString& query : queries) places += ListedPlaces(engine.get(), query);
    }
    // "1": disc 1's 200 names and 119 of each other disc's; every name holds "\u00FC" and "_".
    ASSERT_EQ(200 + 2 * 119 + 2 * kDiscs * kFiles, places.size());
    MakeUnblockedLayout(path);

    KillChildAt("opened");
    ExpectConsistentDatabase();
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    QStringList now;
    for (const QString& query : queries) now += ListedPlaces(engine.get(), query);
    EXPECT_EQ(places, now) << "while the blocks are made";
    WaitForUpgrade(path);
    now.clear();
    for (const QString& query : queries) now += ListedPlaces(engine.get(), query);
    EXPECT_EQ(places, now) << "from the blocks";
    // A block for each range of ids and disc (an import makes one a disc here).
    EXPECT_GE(RawRows(path, "SELECT count(*) FROM file_name_blocks").value(0).toInt(), kDiscs * kFiles * kIdStep / 65536);
    ExpectConsistentDatabase();
}

// An import killed while its close was indexing its names (here: the first
// half of its files indexed) is undone with exactly those index entries.
TEST_P(FileLibraryUpgradeTest, AnImportKilledWhileIndexingLeavesNoIndexEntries)
{
    const QString path = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    KillChildAt("importing");
    RawExec(path, "INSERT INTO file_names(rowid, fold) SELECT id, lower(name) FROM files WHERE id <= 900;"
                  "INSERT INTO name_index_progress(import_id, kind, last_id) SELECT id, 0, 900 FROM imports");
    {
        EngineInstance engine;
        ASSERT_EQ(S_OK, engine.InitializeResult());
        LONG count = -1;
        EXPECT_EQ(S_OK, engine->SearchFileCount(u"childfile", &count));
        EXPECT_EQ(0, count);
        EXPECT_TRUE(RawRows(path, "SELECT * FROM name_index_progress").isEmpty());
    }
    ExpectConsistentDatabase();
    KillChildAt("finished");
    EngineInstance after;
    LONG count = -1;
    EXPECT_EQ(S_OK, after->SearchFileCount(u"childfile", &count));
    EXPECT_EQ(1800, count);
    ExpectConsistentDatabase();
}

TEST_P(ImportTest, TwoInstancesAndAWorkerThreadWriteTogether)
{
    EngineInstance view, tags; // the program's two instances
    const int other = AddTestDisc(tags.get(), QStringLiteral("Other"), "OTHER");
    std::atomic<int> workerFailures{0};
    std::atomic<bool> done{false};
    constexpr int kBatches = 30;

    std::thread worker([&] {
        const int disc = AddTestDisc(view.get(), QStringLiteral("Scanned"), "SCAN");
        LibraryImportHandle handle = nullptr;
        workerFailures += FAILED(view->OpenImportHandle(&handle));
        for (int b = 0; b < kBatches; ++b)
            workerFailures += FAILED(view->InsertFileRows(handle, W(FileBatch(1 + b * 600, 600, disc, QStringLiteral("scan"))), 1));
        workerFailures += FAILED(view->CloseImportHandle(handle));
        done = true;
    });

    int failures = 0, rounds = 0;
    while (!done || rounds < 5) {
        const QString name = QStringLiteral("tag%1").arg(rounds++);
        LONG id = 0, count = 0;
        failures += FAILED(tags->AddTag(W(name), &id));
        failures += FAILED(tags->SetDiscTags(other, W(QString::number(id))));
        failures += FAILED(tags->GetTagCount(&count));
        failures += FAILED(view->GetDiscCount(&count)); // the worker's instance, from this thread
        failures += FAILED(tags->SearchFileCount(u"scan1", &count));
        failures += FAILED(tags->AddDisc("TEMP", u"", u"", u"", u"temp", u"", 0, 1, 0, 0, 0, 0, u""));
        LONG temp = 0, label = 0;
        failures += FAILED(tags->GetLastAddedDisc(&temp, &label));
        failures += FAILED(tags->DeleteDisc(temp, 0));
    }
    worker.join();
    EXPECT_EQ(0, workerFailures.load());
    EXPECT_EQ(0, failures);
    EXPECT_GT(rounds, 5);
    LONG count = 0;
    ASSERT_EQ(S_OK, tags->SearchFileCount(u"scan", &count));
    EXPECT_EQ(kBatches * 600, count);
    ExpectConsistentDatabase();
}

} // namespace
