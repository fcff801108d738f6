// The level-by-level walk: batch boundaries, level order, path ids, folders
// that cannot be read, and cancellation.
#include "CTreeWalk.h"
#include "FakeEngines.h"
#include "TestEnvironment.h"

#include <gtest/gtest.h>

namespace {

struct WalkRun {
    FakeReader reader;
    FakeLibrary library;
    int itemsCounted = 0;
    int cancelAfterItems = -1;
    int cancelReports = 0;

    HRESULT Run(int discId = 5, int labelId = 2)
    {
        CTreeWalk walk(&library, &library, &reader, discId, labelId,
                       {[this] { return cancelAfterItems >= 0 && itemsCounted >= cancelAfterItems; },
                        [this] { ++itemsCounted; }, [this] { ++cancelReports; }});
        return walk.Run();
    }
    static std::vector<FakeEntry> Files(int count, const QString& prefix = "f")
    {
        std::vector<FakeEntry> files;
        for (int i = 0; i < count; ++i) files.push_back({QString("%1%2.txt").arg(prefix).arg(i), false, 10});
        return files;
    }
};

TEST(TreeWalk, SixHundredFilesGoAsOneBatchAndNoEmptyBatchFollows)
{
    WalkRun run;
    run.reader.tree[""] = WalkRun::Files(600);
    ASSERT_EQ(run.Run(), S_OK);
    const auto files = run.library.CallsOf("files");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(files[0].rows, 600);
    EXPECT_TRUE(run.library.CallsOf("folders").empty());
    EXPECT_TRUE(run.library.CallsOf("paths").empty());
    EXPECT_EQ(run.itemsCounted, 600);

    WalkRun more;
    more.reader.tree[""] = WalkRun::Files(1201);
    ASSERT_EQ(more.Run(), S_OK);
    const auto batches = more.library.CallsOf("files");
    ASSERT_EQ(batches.size(), 3u);
    EXPECT_EQ(batches[0].rows, 600);
    EXPECT_EQ(batches[2].rows, 1);
}

TEST(TreeWalk, AFailedBatchStopsNothingAndIsReportedAtTheEnd)
{
    WalkRun run;
    run.library.failing << "files";
    run.reader.tree[""] = WalkRun::Files(1201);
    EXPECT_EQ(run.Run(), E_FAIL);
    EXPECT_EQ(run.library.CallsOf("files").size(), 3u);
    EXPECT_EQ(run.itemsCounted, 1201);
}

TEST(TreeWalk, EachLevelIsStoredBeforeTheNextIsRead)
{
    WalkRun run;
    run.library.maxFileId = 100;
    run.library.maxFolderId = 40;
    run.library.maxPathId = 7;
    run.library.knownPaths["\\A"] = 3; // known to the library from another disc
    run.reader.tree[""] = {{"A", true}, {"B", true}, {"root.txt", false, 5}};
    run.reader.tree["A"] = {{"C", true}, {"a.txt", false, 1}};
    run.reader.tree["B"] = {};
    run.reader.tree["A\\C"] = {{"c.txt", false, 2}};
    std::vector<QString> order;
    run.reader.onFindFirst = [&](const QString& path) {
        for (const auto& call : run.library.calls) order.push_back(call.operation);
        run.library.calls.clear();
        order.push_back("find:" + path);
    };
    ASSERT_EQ(run.Run(5, 2), S_OK);
    for (const auto& call : run.library.calls) order.push_back(call.operation);
    // Level 1's path and folder rows are stored before "A" is read, level 2's before "A\C".
    EXPECT_EQ(order, (std::vector<QString>{"find:", "paths", "folders", "find:A", "find:B", "paths", "folders",
                                           "find:A\\C", "files"}));
}

TEST(TreeWalk, RowsCarryIdsPathIdsAndContainingFolders)
{
    WalkRun run;
    run.library.maxFileId = 100;
    run.library.maxFolderId = 40;
    run.library.maxPathId = 7;
    run.library.knownPaths["\\A"] = 3;
    run.reader.tree[""] = {{"A", true}, {"it's", true}, {"root.txt", false, 5}};
    run.reader.tree["A"] = {{"a.txt", false, 1}};
    run.reader.tree["it's"] = {};
    ASSERT_EQ(run.Run(5, 2), S_OK);
    const QString time = QString::number((0x01D00000LL << 32) | 0x89ABCDEFLL);
    const auto paths = run.library.CallsOf("paths");
    ASSERT_EQ(paths.size(), 1u);
    EXPECT_EQ(paths[0].batch, " SELECT 8, '\\it''s'"); // "\A" reused id 3
    const auto folders = run.library.CallsOf("folders");
    ASSERT_EQ(folders.size(), 1u);
    EXPECT_EQ(folders[0].batch, "  SELECT 41, 'A', 0, 'Folder', " + time + ", 5, 2, 0, 0 UNION SELECT 42, 'it''s', 0, 'Folder', " + time + ", 5, 2, 0, 0");
    const auto files = run.library.CallsOf("files");
    ASSERT_EQ(files.size(), 1u);
    EXPECT_TRUE(files[0].batch.startsWith(" SELECT 101, 'root.txt', 5, '")) << qPrintable(files[0].batch);
    EXPECT_TRUE(files[0].batch.contains("UNION SELECT 102, 'a.txt', 1, '")) << qPrintable(files[0].batch);
    EXPECT_TRUE(files[0].batch.endsWith(", 5, 2, 41, 3")) << qPrintable(files[0].batch);
}

TEST(TreeWalk, UnreadableFolderIsRecordedWithoutChildren)
{
    WalkRun run;
    run.reader.tree[""] = {{"BAD", true}, {"ok.txt", false}};
    run.reader.unreadable << "BAD";
    ASSERT_EQ(run.Run(), S_OK);
    EXPECT_EQ(run.library.CallsOf("folders").size(), 1u);
    EXPECT_EQ(run.library.CallsOf("files")[0].rows, 1);
    EXPECT_EQ(run.reader.closes, 2); // every enumeration is closed, the failed one too
}

TEST(TreeWalk, CancellingRemovesTheDiscAndReportsOnce)
{
    WalkRun run;
    run.reader.tree[""] = WalkRun::Files(700);
    run.cancelAfterItems = 650;
    EXPECT_EQ(run.Run(), E_ABORT);
    EXPECT_EQ(run.cancelReports, 1);
    EXPECT_EQ(run.library.CallsOf("deletewithhandle").size(), 1u);
    EXPECT_EQ(run.library.CallsOf("files").size(), 1u); // the first 600 went before the cancel
}

} // namespace
