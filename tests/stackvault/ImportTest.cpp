// Imports through the loaded engine: nothing is visible before the import
// closes, an unfinished import leaves no trace (also when its process is
// killed), and writers on several instances and threads do not collide.
#include "EngineTestSupport.h"

#include "TestEnvironment.h"

#include <QProcess>
#include <atomic>
#include <gtest/gtest.h>
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
