// Record batches through the loaded engine: exact round trips of awkward
// names, strict refusal of malformed batches with nothing stored, ids.
#include "EngineTestSupport.h"

#include <gtest/gtest.h>
#include <limits>

namespace {

class BatchRowsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped()) return;
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
        disc = AddTestDisc(engine->get(), QStringLiteral("Disc"), "ID-1");
        ASSERT_EQ(S_OK, (*engine)->OpenImportHandle(&handle));
    }

    Entry File(int id, const QString& name, int parent = 0, int path = 0)
    {
        return {id, name, 42, QStringLiteral("Text document"), 133000000000000000LL, disc, 4, parent, path};
    }

    HRESULT InsertFiles(const QStringList& rows, LONG hasIds = 1)
    {
        return (*engine)->InsertFileRows(handle, W(Batch(rows)), hasIds);
    }

    QStringList RootNamesAfterClose()
    {
        EXPECT_EQ(S_OK, (*engine)->CloseImportHandle(handle));
        handle = nullptr;
        return Names(FolderItems(engine->get(), disc, 0));
    }

    std::unique_ptr<EngineInstance> engine;
    int disc = 0;
    LibraryImportHandle handle = nullptr;
};

INSTANTIATE_ENGINE_TESTS(BatchRowsTest);

TEST_P(BatchRowsTest, AwkwardNamesRoundTripExactly)
{
    const QStringList names = {
        QStringLiteral("it's"),
        QStringLiteral("''"),
        QStringLiteral("a, b, c"),
        QStringLiteral("SELECT * FROM files"),
        QStringLiteral("x' UNION SELECT 1, 'y"),
        QStringLiteral("Ärger über Öl – 日本語 😀"),
        QString(259, QLatin1Char('n')),
        QStringLiteral("ends with '"),
        QStringLiteral(" blank "),
    };
    QStringList rows;
    for (int i = 0; i < names.size(); ++i) rows.append(EntryRow(File(100 + i, names[i])));
    ASSERT_EQ(S_OK, InsertFiles(rows));
    EXPECT_EQ(names, RootNamesAfterClose());

    const auto items = FolderItems(engine->get(), disc, 0);
    EXPECT_EQ(100, items[0].id);
    EXPECT_EQ(42, items[0].size);
    EXPECT_EQ(QStringLiteral("Text document"), FromW(items[0].type));
    EXPECT_EQ(133000000000000000LL, items[0].time);
}

TEST_P(BatchRowsTest, NamesLongerThanARecordFieldAreStoredWholeAndCutOnOutput)
{
    const QString longName(400, QLatin1Char('L'));
    ASSERT_EQ(S_OK, InsertFiles({EntryRow(File(1, longName))}));
    const QStringList names = RootNamesAfterClose();
    ASSERT_EQ(1, names.size());
    EXPECT_EQ(longName.left(259), names[0]);
    EXPECT_EQ(1u, FoundFiles(engine->get(), QString(300, QLatin1Char('l'))).size());
}

TEST_P(BatchRowsTest, MalformedBatchesAreRefusedAndStoreNothing)
{
    const QString good = EntryRow(File(1, QStringLiteral("good.txt")));
    const QStringList malformed = {
        QString(),
        good,                                                         // no SELECT
        QStringLiteral("SELECT ") + good,                             // no leading blank
        Batch({good}) + QStringLiteral(" "),                          // trailing text
        Batch({good}) + QStringLiteral(" UNION SELECT "),             // empty row
        Batch({good, QStringLiteral("2, 'x', 1, 't', 5, 1, 1, 0")}),  // a field missing
        Batch({good, EntryRow(File(2, QStringLiteral("x"))) + QStringLiteral(", 7")}), // one too many
        Batch({good, QStringLiteral("3, 'open, 1, 't', 5, 1, 1, 0, 0")}),              // unterminated text
        Batch({good, QStringLiteral("4,'x', 1, 't', 5, 1, 1, 0, 0")}),                 // separator without blank
        Batch({good, QStringLiteral("5, 'x', 1e3, 't', 5, 1, 1, 0, 0")}),              // not a number
        Batch({good, QStringLiteral("6, 'x', 99999999999999999999, 't', 5, 1, 1, 0, 0")}), // too big
        Batch({good, QStringLiteral("6, 'x', 9223372036854775808, 't', 5, 1, 1, 0, 0")}),  // one past the largest
        Batch({good, QStringLiteral("6, 'x', 1, 't', -9223372036854775809, 1, 1, 0, 0")}), // one below the smallest
        Batch({good, QStringLiteral("6, 'x', -, 't', 5, 1, 1, 0, 0")}),                    // a sign alone
        Batch({good, QStringLiteral("3000000000, 'x', 1, 't', 5, 1, 1, 0, 0")}),       // id beyond 32 bits
        Batch({good, QStringLiteral("0, 'x', 1, 't', 5, 1, 1, 0, 0")}),                // id 0
        Batch({good, QStringLiteral("7, x, 1, 't', 5, 1, 1, 0, 0")}),                  // unquoted text
        Batch({good}) + QStringLiteral("; DROP TABLE files"),
        Batch({good, EntryRow(File(2, QStringLiteral("two")))}).replace(QStringLiteral(" UNION"), QStringLiteral(" union")),
        Batch({good, QStringLiteral("8, '") + QChar(0xD800) + QStringLiteral("', 1, 't', 5, 1, 1, 0, 0")}),
    };
    for (const QString& batch : malformed)
        EXPECT_EQ(E_INVALIDARG, (*engine)->InsertFileRows(handle, W(batch), 1)) << qPrintable(batch);
    // Rows of a disc that does not exist are refused as well.
    Entry stranger = File(9, QStringLiteral("stranger"));
    stranger.disc = 999;
    EXPECT_EQ(E_INVALIDARG, InsertFiles({good, EntryRow(stranger)}));
    EXPECT_EQ(E_POINTER, (*engine)->InsertFileRows(handle, nullptr, 1));
    EXPECT_EQ(E_INVALIDARG, (*engine)->InsertFileRows(handle, W(Batch({good})), 2));

    LONG maxId = -1;
    EXPECT_EQ(S_OK, (*engine)->GetMaxFileId(handle, &maxId));
    EXPECT_EQ(0, maxId);
    EXPECT_TRUE(RootNamesAfterClose().isEmpty());
}

// Batches of many rows, as the scanner sends them: every field of every row
// arrives, whatever its place in the batch, and one clashing id refuses
// the whole batch wherever it stands.
TEST_P(BatchRowsTest, EveryRowOfALargeBatchIsStoredAndADuplicateIdRefusesTheWholeBatch)
{
    ASSERT_EQ(S_OK, InsertFiles({EntryRow(File(5, QStringLiteral("first")))}));
    EXPECT_EQ(E_INVALIDARG,
              InsertFiles({EntryRow(File(6, QStringLiteral("second"))), EntryRow(File(5, QStringLiteral("again")))}));

    // Not a round number of rows, and enough that a server receives them in several pieces.
    constexpr int kRows = 275;
    // Numbers of up to 19 digits, both ends of the 64-bit range among them.
    const auto sizeOf = [](int i) {
        return i == 10 ? std::numeric_limits<int64_t>::max() : i == 11 ? 999999999999999999LL : 1000 + i;
    };
    const auto timeOf = [](int i) {
        if (i == 12) return std::numeric_limits<int64_t>::min();
        return int64_t(i == 13 ? -1000000000000000000LL : 133000000000000000LL + i);
    };
    QStringList rows;
    for (int i = 0; i < kRows; ++i) {
        Entry file = File(100 + i, QStringLiteral("row%1.txt").arg(i, 3, 10, QLatin1Char('0')));
        file.size = sizeOf(i);
        file.time = timeOf(i);
        if (i % 7 == 3) file.type = QStringLiteral("Type %1").arg(i); // new texts in between
        rows.append(EntryRow(file));
    }
    ASSERT_EQ(S_OK, InsertFiles(rows));
    for (const int clashAt : {0, 133, 269}) {
        QStringList clashing;
        for (int i = 0; i < 270; ++i) clashing.append(EntryRow(File(500 + i, QStringLiteral("clash"))));
        clashing[clashAt] = EntryRow(File(100 + clashAt, QStringLiteral("again")));
        EXPECT_EQ(E_INVALIDARG, InsertFiles(clashing)) << clashAt;
    }

    const QStringList names = RootNamesAfterClose();
    ASSERT_EQ(kRows + 1, names.size());
    EXPECT_EQ(QStringLiteral("first"), names[0]);
    const auto items = FolderItems(engine->get(), disc, 0);
    for (int i = 0; i < kRows; ++i) {
        const FolderItemRecord& item = items[size_t(i) + 1];
        EXPECT_EQ(100 + i, item.id);
        EXPECT_EQ(QStringLiteral("row%1.txt").arg(i, 3, 10, QLatin1Char('0')), FromW(item.name));
        EXPECT_EQ(sizeOf(i), item.size);
        EXPECT_EQ(timeOf(i), item.time);
        EXPECT_EQ(i % 7 == 3 ? QStringLiteral("Type %1").arg(i) : QStringLiteral("Text document"), FromW(item.type));
    }
    EXPECT_EQ(size_t(kRows), FoundFiles(engine->get(), QStringLiteral("row")).size());
    EXPECT_TRUE(FoundFiles(engine->get(), QStringLiteral("clash")).empty());
}

TEST_P(BatchRowsTest, TrackRowsWithoutIdsContinueTheNumbering)
{
    ASSERT_EQ(S_OK, InsertFiles({EntryRow(File(41, QStringLiteral("before")))}));
    QStringList tracks;
    for (int t = 1; t <= 12; ++t)
        tracks.append(EntryRow({0, QStringLiteral("Track%1.cda").arg(t, 2, 10, QLatin1Char('0')), 1000,
                                QStringLiteral("CDA File"), 133000000000000000LL, disc, 3, 0, 0},
                               false));
    ASSERT_EQ(S_OK, InsertFiles(tracks, 0));
    LONG maxId = 0;
    EXPECT_EQ(S_OK, (*engine)->GetMaxFileId(handle, &maxId));
    EXPECT_EQ(53, maxId);
    const QStringList names = RootNamesAfterClose();
    ASSERT_EQ(13, names.size());
    EXPECT_EQ(QStringLiteral("Track01.cda"), names[1]);
    EXPECT_EQ(QStringLiteral("Track12.cda"), names[12]);
}

TEST_P(BatchRowsTest, FoldersPathsAndListingAsTheScannerWritesThem)
{
    // Level 1: \DIR (path 1) with folder 1; level 2: \DIR\SUB (path 2) with folder 2.
    ASSERT_EQ(S_OK, (*engine)->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\DIR"))})), 1));
    Entry dir{1, QStringLiteral("DIR"), 0, QStringLiteral("Folder"), 5, disc, 4, 0, 0};
    ASSERT_EQ(S_OK, (*engine)->InsertFolderRows(handle, W(Batch({EntryRow(dir)}, true)), 1));
    LONG pathId = 0;
    ASSERT_EQ(S_OK, (*engine)->FindPathId(handle, u"\\DIR", &pathId));
    EXPECT_EQ(1, pathId);
    ASSERT_EQ(S_OK, (*engine)->AddPath(handle, 2, u"\\DIR\\SUB"));
    Entry sub{2, QStringLiteral("SUB"), 0, QStringLiteral("Folder"), 5, disc, 4, 1, 1};
    ASSERT_EQ(S_OK, (*engine)->InsertFolderRows(handle, W(Batch({EntryRow(sub)}, true)), 1));
    ASSERT_EQ(S_OK, InsertFiles({EntryRow(File(1, QStringLiteral("z-root.txt"))),
                                 EntryRow(File(2, QStringLiteral("a-in-dir.txt"), 1, 1)),
                                 EntryRow(File(3, QStringLiteral("deep.txt"), 2, 2))}));

    LONG maxFolder = 0, maxPath = 0, unknown = 7;
    EXPECT_EQ(S_OK, (*engine)->GetMaxFolderId(handle, &maxFolder));
    EXPECT_EQ(S_OK, (*engine)->GetMaxPathId(handle, &maxPath));
    EXPECT_EQ(S_OK, (*engine)->FindPathId(handle, u"\\NOPE", &unknown));
    EXPECT_EQ(2, maxFolder);
    EXPECT_EQ(2, maxPath);
    EXPECT_LT(unknown, 1);

    EXPECT_EQ((QStringList{QStringLiteral("DIR"), QStringLiteral("z-root.txt")}), RootNamesAfterClose());
    const auto inDir = FolderItems(engine->get(), disc, 1);
    EXPECT_EQ((QStringList{QStringLiteral("SUB"), QStringLiteral("a-in-dir.txt")}), Names(inDir));
    EXPECT_EQ(QStringLiteral("Folder"), FromW(inDir[0].type));
    EXPECT_EQ(QStringList{QStringLiteral("deep.txt")}, Names(FolderItems(engine->get(), disc, 2)));

    char16_t text[260] = {u'x'};
    EXPECT_EQ(S_OK, (*engine)->GetPathText(2, text));
    EXPECT_EQ(QStringLiteral("\\DIR\\SUB"), FromW(text));
    EXPECT_EQ(S_OK, (*engine)->GetPathText(0, text));
    EXPECT_EQ(QString(), FromW(text));
}

TEST_P(BatchRowsTest, KnownPathsKeepTheirIdAndClashesAreRefused)
{
    ASSERT_EQ(S_OK, (*engine)->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\A"))})), 1));
    // The same row again is fine; the same text under another id, or another
    // text under the same id, is not.
    EXPECT_EQ(S_OK, (*engine)->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\A"))})), 1));
    EXPECT_EQ(E_INVALIDARG, (*engine)->InsertPathRows(handle, W(Batch({PathRow(2, QStringLiteral("\\A"))})), 1));
    EXPECT_EQ(E_INVALIDARG, (*engine)->InsertPathRows(
                                handle, W(Batch({PathRow(3, QStringLiteral("\\C")), PathRow(1, QStringLiteral("\\B"))})), 1));
    EXPECT_EQ(E_INVALIDARG, (*engine)->InsertPathRows(handle, W(Batch({QStringLiteral("4")})), 1));
    EXPECT_EQ(E_INVALIDARG, (*engine)->AddPath(handle, 0, u"\\Z"));
    LONG id = 0;
    EXPECT_EQ(S_OK, (*engine)->FindPathId(handle, u"\\C", &id));
    EXPECT_EQ(0, id); // refused with its batch
    EXPECT_EQ(S_OK, (*engine)->FindPathId(handle, u"\\a", &id));
    EXPECT_EQ(0, id); // paths are matched exactly
}

TEST_P(BatchRowsTest, ALaterImportFindsTheStoredPathsBelowAFolderAndNoOthers)
{
    ASSERT_EQ(S_OK, (*engine)->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\A")),
                                                                PathRow(2, QStringLiteral("\\A\\B")),
                                                                PathRow(3, QStringLiteral("\\A\\B\\C")),
                                                                PathRow(4, QStringLiteral("\\A]"))})),
                                              1));
    ASSERT_EQ(S_OK, InsertFiles({EntryRow(File(1, QStringLiteral("in-c.txt"), 0, 3))}));
    ASSERT_EQ(S_OK, (*engine)->CloseImportHandle(handle));
    ASSERT_EQ(S_OK, (*engine)->OpenImportHandle(&handle));
    const std::pair<const char16_t*, LONG> expected[] = {
        {u"\\A\\X", 0}, {u"\\A\\B", 2}, {u"\\A\\B\\C", 3}, {u"\\A]", 4}, {u"\\A\\B\\X", 0}, {u"\\A", 1}, {u"\\A\\b", 0}};
    for (const auto& [text, id] : expected) {
        LONG found = -1;
        EXPECT_EQ(S_OK, (*engine)->FindPathId(handle, text, &found));
        EXPECT_EQ(id, found) << FromW(text).toStdString();
    }
    // A path added after its folder's stored children were read is found too.
    ASSERT_EQ(S_OK, (*engine)->AddPath(handle, 5, u"\\A\\X"));
    LONG added = 0;
    EXPECT_EQ(S_OK, (*engine)->FindPathId(handle, u"\\A\\X", &added));
    EXPECT_EQ(5, added);
}

TEST_P(BatchRowsTest, PathsWithQuotesBracesAndCommasAreStoredAsTheyAre)
{
    const QString odd = QStringLiteral("\\say \"hi\", {x}\\a\\\\b"), plain = QStringLiteral("\\NULL");
    ASSERT_EQ(S_OK, (*engine)->InsertPathRows(handle, W(Batch({PathRow(1, odd), PathRow(2, plain), PathRow(1, odd)})), 1));
    // The same text twice in one batch under two ids is a clash.
    EXPECT_EQ(E_INVALIDARG, (*engine)->InsertPathRows(
                                handle, W(Batch({PathRow(3, QStringLiteral("\\D")), PathRow(4, QStringLiteral("\\D"))})), 1));
    ASSERT_EQ(S_OK, InsertFiles({EntryRow(File(1, QStringLiteral("f"), 0, 1))}));
    RootNamesAfterClose();
    ASSERT_EQ(S_OK, (*engine)->OpenImportHandle(&handle));
    for (const auto& [id, text] : {std::pair{1, odd}, std::pair{2, plain}}) {
        LONG found = 0;
        EXPECT_EQ(S_OK, (*engine)->FindPathId(handle, W(text), &found));
        EXPECT_EQ(id, found);
        char16_t stored[260] = {};
        EXPECT_EQ(S_OK, (*engine)->GetPathText(id, stored));
        EXPECT_EQ(text, FromW(stored));
    }
    LONG clash = 0;
    EXPECT_EQ(S_OK, (*engine)->FindPathId(handle, u"\\D", &clash));
    EXPECT_EQ(0, clash);
}

TEST_P(BatchRowsTest, WritesNeedAnOpenHandleOfThisInstance)
{
    const QString batch = Batch({EntryRow(File(1, QStringLiteral("f")))});
    EXPECT_EQ(E_POINTER, (*engine)->InsertFileRows(nullptr, W(batch), 1));
    ASSERT_EQ(S_OK, (*engine)->CloseImportHandle(handle));
    EXPECT_EQ(E_INVALIDARG, (*engine)->InsertFileRows(handle, W(batch), 1));
    EXPECT_EQ(E_INVALIDARG, (*engine)->CloseImportHandle(handle));
    handle = nullptr;
    EngineInstance other; // one import at a time: after this instance's
    LibraryImportHandle foreign = nullptr;
    ASSERT_EQ(S_OK, other->OpenImportHandle(&foreign));
    EXPECT_EQ(E_INVALIDARG, (*engine)->InsertFileRows(foreign, W(batch), 1));
    EXPECT_EQ(S_OK, other->CloseImportHandle(foreign));
}

} // namespace
