// One import at a time per library: a second import waits for the slot
// (and says for whom), can be cancelled while it waits, takes over the slot
// of a dead process at once, and never keeps readers waiting. A finished
// import is final whatever it held, the paths an open import uses stay,
// and rows of a disc deleted while its import runs are refused.
#include "EngineTestSupport.h"

#include "ILibraryEngineStatus.h"
#include "TestEnvironment.h"

#include <QProcess>
#include <future>
#include <gtest/gtest.h>
#include <thread>
#include <unistd.h>

namespace {

// The engine's status interface, released at the end.
class Status {
public:
    explicit Status(ILibraryEngine* engine)
    {
        engine->QueryInterface(IID_ILibraryEngineStatus, reinterpret_cast<void**>(&m_status));
    }
    ~Status()
    {
        if (m_status) m_status->Release();
    }
    ILibraryEngineStatus* operator->() const { return m_status; }
    explicit operator bool() const { return m_status != nullptr; }

    // Polls until the instance waits for the slot; the holder it names.
    ImportSlotHolder AwaitWait() const
    {
        ImportSlotHolder holder{};
        while (m_status->GetImportWait(&holder) != S_OK) std::this_thread::yield();
        return holder;
    }

private:
    ILibraryEngineStatus* m_status = nullptr;
};

// One whole import of a batch of paths and one of folders.
void ImportPathsAndFolders(ILibraryEngine* engine, const QString& paths, const QString& folders)
{
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
    ASSERT_EQ(S_OK, engine->InsertPathRows(handle, W(paths), 1));
    ASSERT_EQ(S_OK, engine->InsertFolderRows(handle, W(folders), 1));
    ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
}

// A helper process that adds a disc, half imports it and keeps the slot.
class SlotHoldingChild {
public:
    SlotHoldingChild()
    {
        m_process.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")), {QStringLiteral("importing")});
        EXPECT_TRUE(m_process.waitForStarted());
        EXPECT_TRUE(m_process.waitForReadyRead(20000));
        EXPECT_EQ(QByteArray("ready"), m_process.readLine().trimmed());
    }
    ~SlotHoldingChild() { Kill(); }
    qint64 ProcessId() const { return m_process.processId(); }
    void Kill()
    {
        if (m_process.state() == QProcess::NotRunning) return;
        m_process.kill();
        m_process.waitForFinished();
    }

private:
    QProcess m_process;
};

class ImportSlotTest : public EngineTest {
protected:

    static std::future<HRESULT> OpenLater(ILibraryEngine* engine, LibraryImportHandle* handle)
    {
        return std::async(std::launch::async, [engine, handle] { return engine->OpenImportHandle(handle); });
    }
};

INSTANTIATE_ENGINE_TESTS(ImportSlotTest);

TEST_P(ImportSlotTest, ASecondImportWaitsForTheFirstAndReadersDoNot)
{
    EngineInstance first, second, reader;
    Status status(second.get());
    ASSERT_TRUE(status);
    const int firstDisc = AddTestDisc(first.get(), QStringLiteral("First"), "FIRST");
    const int secondDisc = AddTestDisc(second.get(), QStringLiteral("Second"), "SECOND");
    LibraryImportHandle firstHandle = nullptr, secondHandle = nullptr;
    ASSERT_EQ(S_OK, first->OpenImportHandle(&firstHandle));
    ASSERT_EQ(S_OK, first->InsertFileRows(firstHandle, W(Batch({EntryRow({1, QStringLiteral("a.txt"), 1, QStringLiteral("File"), 1, firstDisc, 4, 0, 0})})), 1));

    ImportSlotHolder none{};
    EXPECT_EQ(S_FALSE, status->GetImportWait(&none));
    auto opened = OpenLater(second.get(), &secondHandle);
    const ImportSlotHolder holder = status.AwaitWait();
    EXPECT_EQ(getpid(), holder.processId);
    EXPECT_FALSE(FromW(holder.program).isEmpty());
    // The waiting instance, and others, answer reads meanwhile (the disc
    // being imported is hidden until its import closes).
    EXPECT_EQ(1u, Discs(second.get()).size());
    EXPECT_EQ(1u, Discs(reader.get()).size());
    EXPECT_TRUE(FoundFiles(reader.get(), QStringLiteral("a.t")).empty());

    ASSERT_EQ(S_OK, first->CloseImportHandle(firstHandle));
    ASSERT_EQ(S_OK, opened.get());
    // The largest id read under the second handle covers the first import.
    LONG maxFile = 0;
    ASSERT_EQ(S_OK, second->GetMaxFileId(secondHandle, &maxFile));
    EXPECT_EQ(1, maxFile);
    EXPECT_EQ(S_OK, second->InsertFileRows(secondHandle, W(Batch({EntryRow({maxFile + 1, QStringLiteral("b.txt"), 1, QStringLiteral("File"), 1, secondDisc, 4, 0, 0})})), 1));
    EXPECT_EQ(S_OK, second->CloseImportHandle(secondHandle));
    EXPECT_EQ(S_FALSE, status->GetImportWait(&none));
    EXPECT_EQ(1u, FoundFiles(reader.get(), QStringLiteral("b.t")).size());
    ExpectConsistentDatabase();
}

TEST_P(ImportSlotTest, CancelEndsTheWaitAndLeavesTheRunningImportAlone)
{
    EngineInstance first, second;
    Status status(second.get());
    const int disc = AddTestDisc(first.get(), QStringLiteral("First"), "FIRST");
    LibraryImportHandle firstHandle = nullptr, secondHandle = nullptr;
    ASSERT_EQ(S_OK, first->OpenImportHandle(&firstHandle));
    EXPECT_EQ(S_OK, status->SetImportCancel(1)); // made while none waits: forgotten
    auto opened = OpenLater(second.get(), &secondHandle);
    status.AwaitWait();
    EXPECT_EQ(S_OK, status->SetImportCancel(1));
    EXPECT_EQ(E_ABORT, opened.get());
    EXPECT_EQ(nullptr, secondHandle);

    EXPECT_EQ(S_OK, first->InsertFileRows(firstHandle, W(Batch({EntryRow({1, QStringLiteral("a.txt"), 1, QStringLiteral("File"), 1, disc, 4, 0, 0})})), 1));
    EXPECT_EQ(S_OK, first->CloseImportHandle(firstHandle));
    EXPECT_EQ(1u, FoundFiles(second.get(), QStringLiteral("a.t")).size());
}

TEST_P(ImportSlotTest, ASlotWhoseProcessIsKilledIsTakenOverAtOnce)
{
    SlotHoldingChild child;
    EngineInstance engine;
    Status status(engine.get());
    LibraryImportHandle handle = nullptr;
    auto opened = OpenLater(engine.get(), &handle);
    EXPECT_EQ(child.ProcessId(), status.AwaitWait().processId);
    child.Kill();
    // Within the busy timeout the wait would end with ERROR_BUSY instead.
    ASSERT_EQ(S_OK, opened.get());
    LONG maxFile = -1, found = -1;
    EXPECT_EQ(S_OK, engine->GetMaxFileId(handle, &maxFile));
    EXPECT_EQ(0, maxFile);
    EXPECT_EQ(S_OK, engine->FindDiscByIdentity("CHILD", &found));
    EXPECT_EQ(0, found);
    EXPECT_EQ(S_OK, engine->CloseImportHandle(handle));
    ExpectConsistentDatabase();
}

TEST_P(ImportSlotTest, AFinishedImportIsFinalWhateverItHeld)
{
    QProcess child;
    child.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")), {QStringLiteral("empty")});
    ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().constData();
    ASSERT_EQ(QByteArray("ready"), child.readLine().trimmed());
    child.kill();
    child.waitForFinished();

    EngineInstance after;
    LONG notracks = 0, norows = 0;
    EXPECT_EQ(S_OK, after->FindDiscByIdentity("NOTRACKS", &notracks));
    EXPECT_EQ(S_OK, after->FindDiscByIdentity("NOROWS", &norows));
    EXPECT_GT(notracks, 0);
    EXPECT_GT(norows, 0);
    EXPECT_EQ(2u, Discs(after.get()).size());
}

TEST_P(ImportSlotTest, PathsFoundByAnOpenImportSurviveTheDeletionOfTheirDisc)
{
    EngineInstance first, second;
    const int old = AddTestDisc(first.get(), QStringLiteral("Old"), "OLD");
    ImportPathsAndFolders(first.get(), Batch({PathRow(1, QStringLiteral("\\SHARED"))}),
                          Batch({EntryRow({1, QStringLiteral("SHARED"), 0, QStringLiteral("Folder"), 1, old, 4, 0, 0})}, true));
    LibraryImportHandle handle = nullptr;

    const int fresh = AddTestDisc(second.get(), QStringLiteral("New"), "NEW");
    ASSERT_EQ(S_OK, second->OpenImportHandle(&handle));
    LONG path = 0;
    ASSERT_EQ(S_OK, second->FindPathId(handle, u"\\SHARED", &path));
    ASSERT_EQ(1, path);
    ASSERT_EQ(S_OK, first->DeleteDisc(old, 0)); // another instance, while the import runs
    ASSERT_EQ(S_OK, second->InsertFolderRows(handle, W(Batch({EntryRow({2, QStringLiteral("SHARED"), 0, QStringLiteral("Folder"), 1, fresh, 4, 0, 0})}, true)), 1));
    ASSERT_EQ(S_OK, second->InsertFileRows(handle, W(Batch({EntryRow({1, QStringLiteral("in.txt"), 1, QStringLiteral("File"), 1, fresh, 4, 2, path})})), 1));
    ASSERT_EQ(S_OK, second->CloseImportHandle(handle));

    char16_t text[kLibraryTextLength] = {};
    ASSERT_EQ(S_OK, second->GetPathText(path, text));
    EXPECT_EQ(QStringLiteral("\\SHARED"), FromW(text));
    // Now linked to the new disc, it goes with it.
    ASSERT_EQ(S_OK, second->DeleteDisc(fresh, 0));
    EXPECT_EQ(E_INVALIDARG, second->GetPathText(path, text));
    ExpectConsistentDatabase();
}

TEST_P(ImportSlotTest, APathReadAheadOfTheWalkIsStillThereWhenTheImportUsesIt)
{
    EngineInstance first, second;
    const int old = AddTestDisc(first.get(), QStringLiteral("Old"), "OLD");
    ImportPathsAndFolders(first.get(),
                          Batch({PathRow(1, QStringLiteral("\\TOP")), PathRow(2, QStringLiteral("\\TOP\\GONE"))}),
                          Batch({EntryRow({1, QStringLiteral("TOP"), 0, QStringLiteral("Folder"), 1, old, 4, 0, 0}),
                                 EntryRow({2, QStringLiteral("GONE"), 0, QStringLiteral("Folder"), 1, old, 4, 1, 1})},
                                true));
    LibraryImportHandle handle = nullptr;

    const int fresh = AddTestDisc(second.get(), QStringLiteral("New"), "NEW");
    ASSERT_EQ(S_OK, second->OpenImportHandle(&handle));
    LONG path = -1;
    ASSERT_EQ(S_OK, second->FindPathId(handle, u"\\TOP\\KEEP", &path)); // the paths below TOP are read here
    EXPECT_LT(path, 1);
    ASSERT_EQ(S_OK, first->DeleteDisc(old, 0)); // another instance deletes the disc that made them
    ASSERT_EQ(S_OK, second->FindPathId(handle, u"\\TOP\\GONE", &path));
    if (path < 1) { // gone with its disc: the import stores it afresh
        path = 3;
        ASSERT_EQ(S_OK, second->AddPath(handle, path, u"\\TOP\\GONE"));
    }
    ASSERT_EQ(S_OK, second->InsertFolderRows(handle, W(Batch({EntryRow({3, QStringLiteral("GONE"), 0, QStringLiteral("Folder"), 1, fresh, 4, 0, 0})}, true)), 1));
    ASSERT_EQ(S_OK, second->InsertFileRows(handle, W(Batch({EntryRow({1, QStringLiteral("in.txt"), 1, QStringLiteral("File"), 1, fresh, 4, 3, path})})), 1));
    ASSERT_EQ(S_OK, second->CloseImportHandle(handle));

    char16_t text[kLibraryTextLength] = {};
    ASSERT_EQ(S_OK, second->GetPathText(path, text));
    EXPECT_EQ(QStringLiteral("\\TOP\\GONE"), FromW(text));
    ExpectConsistentDatabase();
}

} // namespace

// Each batch claims its disc again: once the disc is gone (deleted by
// another instance meanwhile) its import stores no more rows for it, and
// rows of a disc that never existed are refused from the first batch.
TEST_P(ImportSlotTest, RowsOfADiscDeletedWhileItsImportRunsAreRefused)
{
    EngineInstance first, second;
    const int disc = AddTestDisc(first.get(), QStringLiteral("Going"), "GOING");
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, first->OpenImportHandle(&handle));
    const auto file = [](int id, int onDisc) {
        return Batch({EntryRow({id, QStringLiteral("f%1.txt").arg(id), 1, QStringLiteral("File"), 1, onDisc, 4, 0, 0})});
    };
    ASSERT_EQ(S_OK, first->InsertFileRows(handle, W(file(1, disc)), 1));
    ASSERT_EQ(S_OK, first->InsertFileRows(handle, W(file(2, disc)), 1));
    EXPECT_EQ(E_INVALIDARG, first->InsertFileRows(handle, W(file(3, disc + 1)), 1));
    ASSERT_EQ(S_OK, second->DeleteDisc(disc, 0));
    EXPECT_TRUE(FAILED(first->InsertFileRows(handle, W(file(4, disc)), 1)));
    ASSERT_EQ(S_OK, first->CloseImportHandle(handle));
    LONG count = -1;
    ASSERT_EQ(S_OK, first->GetDiscCount(&count));
    EXPECT_EQ(0, count);
    ExpectConsistentDatabase();
}
