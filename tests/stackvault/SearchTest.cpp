// Name search through the loaded engine: case-insensitive substrings in any
// script, short and long queries, and what the results carry.
#include "EngineTestSupport.h"
#include "ILibraryDiscEdits.h"
#include "ILibraryListings.h"
#include "PgTestServer.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

class SearchTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped()) return;
        path = library;
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
        disc = AddTestDisc(e(), QStringLiteral("Urlaub Fotos"), "S1");
        LibraryImportHandle handle = nullptr;
        ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
        ASSERT_EQ(S_OK, e()->InsertPathRows(handle, W(Batch({PathRow(7, QStringLiteral("\\Bilder")),
                                                               PathRow(8, QStringLiteral("\\Bilder\\Straße"))})), 1));
        QStringList folders = {EntryRow({1, QStringLiteral("Bilder"), 0, QStringLiteral("Folder"), 1, disc, 4, 0, 0}),
                               EntryRow({2, QStringLiteral("Straße"), 0, QStringLiteral("Folder"), 1, disc, 4, 1, 7})};
        ASSERT_EQ(S_OK, e()->InsertFolderRows(handle, W(Batch(folders, true)), 1));
        QStringList files;
        int id = 1;
        for (const char* name : {"ÄPFEL.JPG", "äpfel-klein.jpg", "Birnen.png", "ΣΟΦΙΑ.txt", "Читать.doc", "ab", "x"})
            files.append(EntryRow({id++, QString::fromUtf8(name), 10, QStringLiteral("Image"), 1, disc, 4, 2, 8}));
        ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(files)), 1));
        ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    }
    ILibraryEngine* e() const { return engine->get(); }

    // Names of files the whole-list search fills, however many it counts.
    int ScannedFiles(const QString& text) const
    {
        std::vector<ItemRecord> records(64);
        e()->SearchFiles(W(text), records.data(), 64);
        return int(std::count_if(records.begin(), records.end(), [](const ItemRecord& r) { return r.id != 0; }));
    }
    LONG CountedFiles(const QString& text) const
    {
        LONG count = -1;
        EXPECT_EQ(S_OK, e()->SearchFileCount(W(text), &count));
        return count;
    }
    void ExpectShortCountsAsScanned()
    {
        for (const char* text : {"a", "Ä", "ä", "ss", "ß", "σ", "Ч", "x", "ab", "l-", ".J", "e", "ee", "q", "äpf", "PFE",
                                 ".jp", "l-k", "σοφ", "тат", "aaa", "abc", "ße"})
            EXPECT_EQ(ScannedFiles(QString::fromUtf8(text)), CountedFiles(QString::fromUtf8(text))) << text;
    }

    // Names of the folders and files a search listing finds, as the window reads them.
    QStringList ListedNames(const QString& text) const
    {
        ILibraryListings* listings = nullptr;
        EXPECT_EQ(S_OK, e()->QueryInterface(IID_ILibraryListings, reinterpret_cast<void**>(&listings)));
        if (!listings) return {};
        LibraryListing listing = nullptr;
        LibraryListingCounts counts{};
        EXPECT_EQ(S_OK, listings->OpenSearchListing(W(text), &listing));
        while (listings->WaitListing(listing, 1 << 20, 1000, &counts) == S_FALSE) {
        }
        QStringList names;
        for (const LONG kind : {kListingFolders, kListingFiles}) {
            std::vector<ItemRecord> records(static_cast<size_t>(kind == kListingFolders ? counts.folders : counts.files));
            LONG filled = 0;
            if (!records.empty()) {
                EXPECT_EQ(S_OK, listings->GetListingItems(listing, kind, 0, records.data(), LONG(records.size()), &filled));
            }
            for (LONG i = 0; i < filled; ++i) names << FromW(records[size_t(i)].name);
        }
        listings->CloseListing(listing);
        listings->Release();
        return names;
    }
    // Short queries holding letters beyond ASCII (read through their own
    // index on the server) find what the whole lists find.
    void ExpectShortQueriesBeyondAsciiListed()
    {
        const std::pair<const char*, QStringList> cases[] = {
            {"Ä", {"ÄPFEL.JPG", "äpfel-klein.jpg"}}, {"ß", {"Straße"}}, {"ße", {"Straße"}},
            {"σ", {"ΣΟΦΙΑ.txt"}}, {"ч", {"Читать.doc"}}, {"é", {}}};
        for (const auto& [text, names] : cases) EXPECT_EQ(names, ListedNames(QString::fromUtf8(text))) << text;
    }

    QString path;
    std::unique_ptr<EngineInstance> engine;
    int disc = 0;
};

INSTANTIATE_ENGINE_TESTS(SearchTest);

TEST_P(SearchTest, FindsSubstringsWhateverTheCase)
{
    EXPECT_EQ((QStringList{"ÄPFEL.JPG", "äpfel-klein.jpg"}), Names(FoundFiles(e(), QStringLiteral("äPfEl"))));
    EXPECT_EQ((QStringList{"ÄPFEL.JPG", "äpfel-klein.jpg"}), Names(FoundFiles(e(), QStringLiteral(".jpg"))));
    EXPECT_EQ(QStringList{"ΣΟΦΙΑ.txt"}, Names(FoundFiles(e(), QStringLiteral("σοφ"))));
    EXPECT_EQ(QStringList{"Читать.doc"}, Names(FoundFiles(e(), QStringLiteral("ЧИТАТЬ.DOC"))));
    EXPECT_TRUE(FoundFiles(e(), QStringLiteral("apfel")).empty()); // no accent folding
    EXPECT_TRUE(FoundFiles(e(), QStringLiteral("pfel.jpgx")).empty());
}

TEST_P(SearchTest, ShortQueriesScanAndLongOnesUseTheIndexWithTheSameAnswers)
{
    EXPECT_EQ((QStringList{"ab"}), Names(FoundFiles(e(), QStringLiteral("AB"))));
    EXPECT_EQ((QStringList{"ΣΟΦΙΑ.txt", "x"}), Names(FoundFiles(e(), QStringLiteral("X"))));
    EXPECT_EQ((QStringList{"ÄPFEL.JPG", "äpfel-klein.jpg"}), Names(FoundFiles(e(), QStringLiteral("Ä"))));
    // Three characters and more: every trigram must be present, in order.
    EXPECT_EQ((QStringList{"äpfel-klein.jpg"}), Names(FoundFiles(e(), QStringLiteral("el-klein.j"))));
    EXPECT_TRUE(FoundFiles(e(), QStringLiteral("klein-el")).empty());
    EXPECT_TRUE(FoundFiles(e(), QString()).empty());
    ExpectShortQueriesBeyondAsciiListed();
}

TEST_P(SearchTest, ResultsCarryTheirDiscFolderAndPath)
{
    const auto files = FoundFiles(e(), QStringLiteral("birnen"));
    ASSERT_EQ(1u, files.size());
    const ItemRecord& f = files[0];
    EXPECT_EQ(3, f.id);
    EXPECT_EQ(disc, f.discId);
    EXPECT_EQ(QStringLiteral("Urlaub Fotos"), FromW(f.discName));
    EXPECT_EQ(2, f.parentId);
    EXPECT_EQ(8, f.pathId);
    EXPECT_EQ(10, f.size);
    EXPECT_EQ(QStringLiteral("Image"), FromW(f.type));

    const auto folders = FoundFolders(e(), QStringLiteral("STRASSE").toLower()); // no full folding: ß stays
    EXPECT_TRUE(folders.empty());
    const auto found = FoundFolders(e(), QStringLiteral("straße"));
    ASSERT_EQ(1u, found.size());
    EXPECT_EQ(2, found[0].id);
    EXPECT_EQ(8, found[0].pathId); // a folder comes with its own path
    EXPECT_EQ(QStringLiteral("Folder"), FromW(found[0].type));
    const auto top = FoundFolders(e(), QStringLiteral("bild"));
    ASSERT_EQ(1u, top.size());
    EXPECT_EQ(7, top[0].pathId);

    LONG count = -1;
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"FOTO", &count));
    ASSERT_EQ(1, count);
    DiscRecord record{};
    ASSERT_EQ(S_OK, e()->SearchDiscs(u"FOTO", &record, 1));
    EXPECT_EQ(disc, record.discId);
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"nothing", &count));
    EXPECT_EQ(0, count);

    // The discs listed are those of the text asked for, as the library is
    // then, whatever was counted before.
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"nothing", &count));
    record = DiscRecord{};
    ASSERT_EQ(S_OK, e()->SearchDiscs(u"urlaub", &record, 1));
    EXPECT_EQ(disc, record.discId);
    ILibraryDiscEdits* edits = nullptr;
    ASSERT_EQ(S_OK, e()->QueryInterface(IID_ILibraryDiscEdits, reinterpret_cast<void**>(&edits)));
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"FOTO", &count));
    ASSERT_EQ(1, count);
    ASSERT_EQ(S_OK, edits->SetDiscName(disc, u"Urlaub Bilder"));
    edits->Release();
    record = DiscRecord{};
    record.discId = -1;
    ASSERT_EQ(S_OK, e()->SearchDiscs(u"FOTO", &record, 1));
    EXPECT_EQ(-1, record.discId); // renamed since the count: no longer found
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"bilder", &count));
    ASSERT_EQ(1, count);
    ASSERT_EQ(S_OK, e()->SearchDiscs(u"bilder", &record, 1));
    EXPECT_EQ(QStringLiteral("Urlaub Bilder"), FromW(record.name));
}

// Short queries are counted ahead from the characters and pairs of each
// disc's names; the counts must stay what a scan finds, through repeated
// characters, letters of two bytes, discs imported, hidden, deleted, and
// a library written before the counts existed.
TEST_P(SearchTest, ShortQueriesAreCountedAsTheScanFindsThem)
{
    ExpectShortCountsAsScanned();
    EXPECT_EQ(2, CountedFiles(QStringLiteral("Ä")));
    EXPECT_EQ(1, CountedFiles(QStringLiteral("ab")));

    const int second = AddTestDisc(e(), QStringLiteral("Zweite"), "S2");
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch({EntryRow({20, QStringLiteral("aaaa.txt"), 1, QStringLiteral("Text"),
                                                                   1, second, 4, 0, 0})})), 1));
    EXPECT_EQ(1, CountedFiles(QStringLiteral("a"))); // "ab"; the open import is left out
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    EXPECT_EQ(2, CountedFiles(QStringLiteral("a")));  // "aaaa" counts once
    EXPECT_EQ(1, CountedFiles(QStringLiteral("aa")));
    EXPECT_EQ(1, CountedFiles(QStringLiteral("aaa")));
    ExpectShortCountsAsScanned();

    if (OnServer()) {
        // A library of the version that tallied one and two characters
        // only, and had no index of the names beyond ASCII: every tally is
        // counted again when it is opened, and the index is built.
        engine.reset();
        const QString beyondAscii = QStringLiteral("SELECT count(*) FROM pg_indexes WHERE indexname LIKE '%beyond_ascii'");
        ASSERT_EQ(2, PgTestServer::Number(path, beyondAscii));
        ASSERT_TRUE(PgTestServer::Execute(path, QStringLiteral("DELETE FROM name_grams WHERE char_length(gram) = 3;"
                                                               " UPDATE name_grams SET hits = hits + 5;"
                                                               " DROP INDEX files_beyond_ascii, folders_beyond_ascii;"
                                                               " UPDATE library_schema SET version = 3")));
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
        EXPECT_LT(3, PgTestServer::Number(path, QStringLiteral("SELECT max(version) FROM library_schema")));
        EXPECT_EQ(2, PgTestServer::Number(path, beyondAscii));
        EXPECT_EQ(1, CountedFiles(QStringLiteral("aaa")));
        EXPECT_EQ(2, CountedFiles(QStringLiteral("a")));
        ExpectShortCountsAsScanned();
        ExpectShortQueriesBeyondAsciiListed();
    }

    if (!OnServer()) {
        // Written before the counts: they are built when the library opens.
        engine.reset();
        sqlite3* raw = nullptr;
        ASSERT_EQ(SQLITE_OK, sqlite3_open(path.toUtf8().constData(), &raw));
        ASSERT_EQ(SQLITE_OK, sqlite3_exec(raw, "DROP TABLE name_grams; PRAGMA user_version=1", nullptr, nullptr, nullptr));
        sqlite3_close(raw);
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
        EXPECT_EQ(2, CountedFiles(QStringLiteral("a")));
        ExpectShortCountsAsScanned();
    }

    ASSERT_EQ(S_OK, e()->DeleteDisc(disc, 0));
    EXPECT_EQ(1, CountedFiles(QStringLiteral("a")));
    EXPECT_EQ(0, CountedFiles(QStringLiteral("Ä")));
    ExpectShortCountsAsScanned();
}

// An import counts its names while it goes on; a disc it removes before it
// closes takes its counts along, one it keeps is counted once.
TEST_P(SearchTest, ADiscRemovedWithinItsImportLeavesNoCounts)
{
    const int kept = AddTestDisc(e(), QStringLiteral("Kept"), "K1");
    const int dropped = AddTestDisc(e(), QStringLiteral("Dropped"), "D1");
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch({EntryRow({30, QStringLiteral("qq.txt"), 1, QStringLiteral("Text"), 1, kept, 4, 0, 0}),
                                                         EntryRow({31, QStringLiteral("Q.txt"), 1, QStringLiteral("Text"), 1, dropped, 4, 0, 0})})),
                                        1));
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch({EntryRow({32, QStringLiteral("eqe.txt"), 1, QStringLiteral("Text"), 1, dropped, 4, 0, 0})})), 1));
    ASSERT_EQ(S_OK, e()->DeleteDiscWithHandle(handle, dropped, 0));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    EXPECT_EQ(1, CountedFiles(QStringLiteral("q")));
    EXPECT_EQ(1, CountedFiles(QStringLiteral("qq")));
    ExpectShortCountsAsScanned();
}

TEST_P(SearchTest, FillsNoMoreRecordsThanAskedFor)
{
    std::vector<ItemRecord> records(3);
    records[1].id = -77;
    ASSERT_EQ(S_OK, e()->SearchFiles(u"x", records.data(), 1));
    EXPECT_EQ(QStringLiteral("ΣΟΦΙΑ.txt"), FromW(records[0].name));
    EXPECT_EQ(-77, records[1].id);
}

} // namespace
