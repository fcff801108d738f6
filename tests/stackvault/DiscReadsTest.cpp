// How discs were read: the gaps of an incomplete read kept with the disc,
// and a disc catalogued again that replaces its earlier record all at once
// or not at all (cancelled, undone, its process killed).
#include "EngineTestSupport.h"
#include "ILibraryDiscEdits.h"
#include "ILibraryDiscReads.h"

#include "TestEnvironment.h"

#include <QProcess>
#include <gtest/gtest.h>

namespace {

class DiscReadsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped()) return;
        m_engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, (*m_engine)->QueryInterface(IID_ILibraryDiscReads, reinterpret_cast<void**>(&m_reads)));
    }
    void TearDown() override
    {
        SafeRelease(m_reads);
        m_engine.reset();
    }
    ILibraryEngine* Engine() const { return m_engine->get(); }

    // A catalogued disc with a folder "\DIR" holding three files.
    int CatalogueOld()
    {
        const int disc = AddTestDisc(Engine(), QStringLiteral("Holiday"), "AGAIN", QStringLiteral("1::3"));
        LibraryImportHandle handle = nullptr;
        EXPECT_EQ(S_OK, Engine()->OpenImportHandle(&handle));
        EXPECT_EQ(S_OK, Engine()->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\DIR"))})), 1));
        EXPECT_EQ(S_OK, Engine()->InsertFolderRows(
                            handle, W(Batch({EntryRow({1, QStringLiteral("DIR"), 0, QStringLiteral("Folder"), 1, disc, 4, 0, 0})}, true)), 1));
        QStringList rows;
        for (int i = 1; i <= 3; ++i)
            rows << EntryRow({i, QStringLiteral("old%1.txt").arg(i), i, QStringLiteral("File"), 1, disc, 4, 1, 1});
        EXPECT_EQ(S_OK, Engine()->InsertFileRows(handle, W(Batch(rows)), 1));
        EXPECT_EQ(S_OK, Engine()->CloseImportHandle(handle));
        return disc;
    }

    // A new record of the same disc, replacing `old`, with one folder
    // "\DIR" (a path the old disc made) and one file in it; left open.
    LibraryImportHandle StartReplacement(int old, int* disc)
    {
        *disc = AddTestDisc(Engine(), QStringLiteral("Holiday"), "AGAIN");
        LibraryImportHandle handle = nullptr;
        EXPECT_EQ(S_OK, Engine()->OpenImportHandle(&handle));
        EXPECT_EQ(S_OK, m_reads->ReplaceDiscWithHandle(handle, *disc, old));
        LONG path = 0, folderId = 0, fileId = 0;
        EXPECT_EQ(S_OK, Engine()->FindPathId(handle, u"\\DIR", &path));
        EXPECT_EQ(1, path);
        Engine()->GetMaxFolderId(handle, &folderId);
        Engine()->GetMaxFileId(handle, &fileId);
        EXPECT_EQ(S_OK, Engine()->InsertFolderRows(
                            handle, W(Batch({EntryRow({folderId + 1, QStringLiteral("DIR"), 0, QStringLiteral("Folder"), 1, *disc, 4, 0, 0})}, true)), 1));
        EXPECT_EQ(S_OK, Engine()->InsertFileRows(
                            handle, W(Batch({EntryRow({fileId + 1, QStringLiteral("whole.txt"), 9, QStringLiteral("File"), 1, *disc, 4, folderId + 1, 1})})), 1));
        return handle;
    }

    void ExpectOldDiscWhole(int old)
    {
        const auto discs = Discs(Engine());
        ASSERT_EQ(1u, discs.size());
        EXPECT_EQ(old, discs[0].discId);
        EXPECT_EQ(QStringList({QStringLiteral("old1.txt"), QStringLiteral("old2.txt"), QStringLiteral("old3.txt")}),
                  Names(FolderItems(Engine(), old, 1)));
        EXPECT_TRUE(FoundFiles(Engine(), QStringLiteral("whole")).empty());
        char16_t path[kLibraryTextLength] = {};
        EXPECT_EQ(S_OK, Engine()->GetPathText(1, path));
        EXPECT_EQ(QStringLiteral("\\DIR"), FromW(path));
    }

    std::unique_ptr<EngineInstance> m_engine;
    ILibraryDiscReads* m_reads = nullptr;
};

INSTANTIATE_ENGINE_TESTS(DiscReadsTest);

void KillReplacementAt(const char* stage)
{
    QProcess child;
    child.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_replace_child")), {QString::fromLatin1(stage)});
    ASSERT_TRUE(child.waitForStarted());
    ASSERT_TRUE(child.waitForReadyRead(20000)) << child.readAllStandardError().constData();
    ASSERT_EQ(QByteArray("ready"), child.readLine().trimmed());
    child.kill();
    ASSERT_TRUE(child.waitForFinished());
}

} // namespace

TEST_P(DiscReadsTest, GapsStayWithTheDiscAndGoWithIt)
{
    const int disc = AddTestDisc(Engine(), QStringLiteral("Cut"), "CUT");
    DiscGapRecord gaps{};
    EXPECT_EQ(S_OK, m_reads->GetDiscGaps(disc, &gaps));
    EXPECT_EQ(0, gaps.unreadFolders + gaps.unreadFiles + gaps.reasons);

    const DiscGapRecord cut{4650, 93160, 0x3, 0, 1572864, 33554432};
    ASSERT_EQ(S_OK, m_reads->SetDiscGaps(disc, &cut));
    {
        EngineInstance other; // another instance sees the record
        ILibraryDiscReads* reads = nullptr;
        ASSERT_EQ(S_OK, other->QueryInterface(IID_ILibraryDiscReads, reinterpret_cast<void**>(&reads)));
        EXPECT_EQ(S_OK, reads->GetDiscGaps(disc, &gaps));
        reads->Release();
    }
    EXPECT_EQ(4650, gaps.unreadFolders);
    EXPECT_EQ(93160, gaps.unreadFiles);
    EXPECT_EQ(0x3, gaps.reasons);
    EXPECT_EQ(1572864, gaps.mediumBytes);
    EXPECT_EQ(33554432, gaps.volumeBytes);

    EXPECT_EQ(E_INVALIDARG, m_reads->SetDiscGaps(disc + 100, &cut));
    EXPECT_EQ(E_POINTER, m_reads->SetDiscGaps(disc, nullptr));
    ASSERT_EQ(S_OK, Engine()->DeleteDisc(disc, 0));
    EXPECT_EQ(S_OK, m_reads->GetDiscGaps(disc, &gaps));
    EXPECT_EQ(0, gaps.unreadFolders + gaps.unreadFiles + gaps.reasons);

    const int again = AddTestDisc(Engine(), QStringLiteral("Again"), "AGAINCUT");
    ASSERT_EQ(S_OK, m_reads->SetDiscGaps(again, &cut));
    const DiscGapRecord none{};
    ASSERT_EQ(S_OK, m_reads->SetDiscGaps(again, &none)); // all zero clears
    EXPECT_EQ(S_OK, m_reads->GetDiscGaps(again, &gaps));
    EXPECT_EQ(0, gaps.unreadFolders + gaps.unreadFiles + gaps.reasons);
    ExpectConsistentDatabase();
}

TEST_P(DiscReadsTest, AReplacementShowsOnlyWhenItsImportClosesAndKeepsSharedPaths)
{
    const int old = CatalogueOld();
    const DiscGapRecord cut{1, 2, 0x1, 0, 10, 20};
    ASSERT_EQ(S_OK, m_reads->SetDiscGaps(old, &cut));
    int disc = 0;
    LibraryImportHandle handle = StartReplacement(old, &disc);
    {
        EngineInstance reader; // meanwhile the old disc is all anyone sees
        const auto discs = Discs(reader.get());
        ASSERT_EQ(1u, discs.size());
        EXPECT_EQ(old, discs[0].discId);
        EXPECT_EQ(1u, FoundFiles(reader.get(), QStringLiteral("old1")).size());
        EXPECT_TRUE(FoundFiles(reader.get(), QStringLiteral("whole")).empty());
        // Both discs are at work in the import, for every instance.
        ILibraryDiscEdits* edits = nullptr;
        ASSERT_EQ(S_OK, reader->QueryInterface(IID_ILibraryDiscEdits, reinterpret_cast<void**>(&edits)));
        LONG importing = 0;
        EXPECT_EQ(S_OK, edits->GetDiscImporting(old, &importing));
        EXPECT_EQ(1, importing);
        EXPECT_EQ(S_OK, edits->GetDiscImporting(disc, &importing));
        EXPECT_EQ(1, importing);
        edits->Release();
    }
    ASSERT_EQ(S_OK, Engine()->CloseImportHandle(handle));
    {
        ILibraryDiscEdits* edits = nullptr;
        ASSERT_EQ(S_OK, Engine()->QueryInterface(IID_ILibraryDiscEdits, reinterpret_cast<void**>(&edits)));
        LONG importing = 1;
        EXPECT_EQ(S_OK, edits->GetDiscImporting(disc, &importing));
        EXPECT_EQ(0, importing);
        edits->Release();
    }
    const auto discs = Discs(Engine());
    ASSERT_EQ(1u, discs.size());
    EXPECT_EQ(disc, discs[0].discId);
    EXPECT_EQ(QStringList({QStringLiteral("whole.txt")}), Names(FolderItems(Engine(), disc, FolderItems(Engine(), disc, 0)[0].id)));
    EXPECT_TRUE(FoundFiles(Engine(), QStringLiteral("old")).empty());
    char16_t path[kLibraryTextLength] = {};
    EXPECT_EQ(S_OK, Engine()->GetPathText(1, path));
    EXPECT_EQ(QStringLiteral("\\DIR"), FromW(path)); // still used by the new disc
    DiscGapRecord gaps{};
    EXPECT_EQ(S_OK, m_reads->GetDiscGaps(old, &gaps));
    EXPECT_EQ(0, gaps.unreadFolders + gaps.unreadFiles); // the old disc's gaps went with it
    LONG found = 0;
    EXPECT_EQ(S_OK, Engine()->FindDiscByIdentity("AGAIN", &found));
    EXPECT_EQ(disc, found);
    ExpectConsistentDatabase();
}

TEST_P(DiscReadsTest, ACancelledFailedOrUndoneReplacementLeavesTheOldDiscAsItWas)
{
    const int old = CatalogueOld();
    int disc = 0;
    // Cancelled: the new disc is removed under the handle, then the handle closes.
    LibraryImportHandle handle = StartReplacement(old, &disc);
    ASSERT_EQ(S_OK, Engine()->DeleteDiscWithHandle(handle, disc, 0));
    ASSERT_EQ(S_OK, Engine()->CloseImportHandle(handle));
    ExpectOldDiscWhole(old);

    // Undone: the engine closes with the import still open.
    StartReplacement(old, &disc);
    ASSERT_EQ(S_OK, Engine()->Uninitialize());
    ASSERT_EQ(S_OK, Engine()->Initialize(0, 1, 0));
    ExpectOldDiscWhole(old);

    // Refused: a disc that does not exist, or a disc replacing itself.
    handle = nullptr;
    ASSERT_EQ(S_OK, Engine()->OpenImportHandle(&handle));
    disc = AddTestDisc(Engine(), QStringLiteral("Other"), "OTHER");
    EXPECT_EQ(E_INVALIDARG, m_reads->ReplaceDiscWithHandle(handle, disc, old + 1000));
    EXPECT_EQ(E_INVALIDARG, m_reads->ReplaceDiscWithHandle(handle, old, old));
    EXPECT_EQ(E_INVALIDARG, m_reads->ReplaceDiscWithHandle(handle, disc + 1000, old));
    EXPECT_EQ(E_POINTER, m_reads->ReplaceDiscWithHandle(nullptr, disc, old));
    ASSERT_EQ(S_OK, Engine()->CloseImportHandle(handle));
    EXPECT_EQ(2u, Discs(Engine()).size());
    ExpectConsistentDatabase();
}

TEST_P(DiscReadsTest, AKilledReplacementLeavesTheOldDiscWhole)
{
    const int old = CatalogueOld();
    KillReplacementAt("replacing");
    m_engine->get()->Uninitialize();
    ASSERT_EQ(S_OK, Engine()->Initialize(0, 1, 0)); // the next start undoes the dead import
    ExpectOldDiscWhole(old);
    ExpectConsistentDatabase();

    KillReplacementAt("replaced"); // killed after its import closed: the replacement is done
    const auto discs = Discs(Engine());
    ASSERT_EQ(1u, discs.size());
    EXPECT_NE(old, discs[0].discId);
    EXPECT_EQ(600u, FoundFiles(Engine(), QStringLiteral("new")).size());
    EXPECT_TRUE(FoundFiles(Engine(), QStringLiteral("old")).empty());
    ExpectConsistentDatabase();
}
