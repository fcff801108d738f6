// Discs through the loaded engine: records, type codes, default labels,
// identities, tags, deletion with the folders, files and paths that go
// with a disc (and their counts per disc), and the change stamp that tells of others' changes.
#include "ComPtr.h"
#include "EngineTestSupport.h"
#include "ILibraryChanges.h"
#include "ILibraryDiscCounts.h"
#include "ILibraryDiscEdits.h"
#include "ILibraryDiscTags.h"
#include "ILibraryPathTexts.h"

#include "PgTestServer.h"
#include "TestEnvironment.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>
#include <map>

namespace {

class DiscsTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped()) return;
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
    }

    ILibraryEngine* e() const { return engine->get(); }

    // Registers the four category tags and five default label sets the way
    // the program seeds an empty library.
    void SeedLikeTheProgram()
    {
        for (const char16_t* tag : {u"Video", u"Photo", u"Music", u"Document"}) ASSERT_EQ(S_OK, e()->AddTag(tag, nullptr));
        const QString folder = TestEnvironment::MakeFolder(QStringLiteral("labels"));
        for (int set = 1; set <= 5; ++set) {
            const QString p32 = WritePicture(folder, QStringLiteral("s%1_32.png").arg(set), 32, set);
            const QString p128 = WritePicture(folder, QStringLiteral("s%1_128.png").arg(set), 128, set);
            const QString p360 = WritePicture(folder, QStringLiteral("s%1_360.png").arg(set), 360, set);
            ASSERT_EQ(S_OK, e()->AddLabel(W(p32), W(p128), W(p360)));
        }
    }

    DiscRecord AddAndRead(int audioFlag, int discClass, int folders, int files, qint64 capacity,
                          const char* identity = "1000000000000000000000000000001")
    {
        EXPECT_EQ(S_OK, e()->AddDisc(identity, nullptr, nullptr, nullptr, u"Name", u"", audioFlag, discClass, folders,
                                     files, 5000, capacity, u"01/02/2020 03:04:05"));
        LONG disc = 0, label = 0;
        EXPECT_EQ(S_OK, e()->GetLastAddedDisc(&disc, &label));
        for (const DiscRecord& record : Discs(e()))
            if (record.discId == disc) return record;
        ADD_FAILURE() << "disc not listed";
        return {};
    }

    void WriteRows(int disc, const QStringList& paths, const QStringList& folders, const QStringList& files)
    {
        LibraryImportHandle handle = nullptr;
        ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
        if (!paths.isEmpty()) {
            ASSERT_EQ(S_OK, e()->InsertPathRows(handle, W(Batch(paths)), 1));
        }
        if (!folders.isEmpty()) {
            ASSERT_EQ(S_OK, e()->InsertFolderRows(handle, W(Batch(folders, true)), 1));
        }
        if (!files.isEmpty()) {
            ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(files)), 1));
        }
        ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    }

    // The folders and files the engine counts for a disc from its rows.
    std::pair<int, int> EntryCounts(int disc) const
    {
        ComPtr<ILibraryDiscCounts> counter;
        EXPECT_EQ(S_OK, e()->QueryInterface(IID_ILibraryDiscCounts, counter.PutVoid()));
        LONG folders = -1, files = -1;
        if (counter) {
            EXPECT_EQ(S_OK, counter->GetDiscEntryCounts(disc, &folders, &files));
        }
        return {int(folders), int(files)};
    }

    std::unique_ptr<EngineInstance> engine;
};

INSTANTIATE_ENGINE_TESTS(DiscsTest);

TEST_P(DiscsTest, RecordCarriesWhatAddDiscWasGiven)
{
    SeedLikeTheProgram();
    ASSERT_EQ(S_OK, e()->AddDisc("ABCDEF0123456789ABCDEF0123456789", u"", u"", u"", u"Ferien 2023 – Öland", u"1::4",
                                 0, 2, 12, 345, 4000000000LL, 4700000000LL, u"07/08/2023 09:10:11"));
    const auto discs = Discs(e());
    ASSERT_EQ(1u, discs.size());
    const DiscRecord& d = discs[0];
    EXPECT_EQ(QStringLiteral("Ferien 2023 – Öland"), FromW(d.name));
    EXPECT_EQ(QStringLiteral("1::4"), FromW(d.tagIds));
    EXPECT_EQ(QStringLiteral("Video, Document"), FromW(d.tagNames));
    EXPECT_EQ(QStringLiteral("07/08/2023 09:10:11"), FromW(d.dateText));
    EXPECT_EQ(4000000000LL, d.totalSize);
    EXPECT_EQ(3, d.mediaClass);
    EXPECT_EQ(1, d.formatCode);
    EXPECT_EQ(1, d.labelId); // the video set, from the first category tag

    char identity[260] = {};
    ASSERT_EQ(S_OK, e()->GetDiscIdentity(d.discId, identity));
    EXPECT_STREQ("ABCDEF0123456789ABCDEF0123456789", identity);
    LONG found = -1;
    ASSERT_EQ(S_OK, e()->FindDiscByIdentity(identity, &found));
    EXPECT_EQ(d.discId, found);
    ASSERT_EQ(S_OK, e()->FindDiscByIdentity("0000", &found));
    EXPECT_EQ(0, found);
}

TEST_P(DiscsTest, TypeCodesCoverEveryKindOfDisc)
{
    constexpr qint64 MB = 1000000, GB = 1000 * MB;
    struct Case {
        int audio, discClass, folders, files;
        qint64 capacity;
        const char* identity;
        int mediaClass, formatCode;
    } cases[] = {
        {-1, 1, 0, 12, 700 * MB, "4C0129abc", 2, 1},                     // audio CD
        {0, 1, 2, 9, 700 * MB, "10102...", 1, 1},                        // data CD
        {0, 1, 2, 9, 185 * MB, "10102...", 1, 5},                        // 8 cm CD
        {0, 1, 2, 9, 700 * MB, "20102...", 4, 1},                        // XA CD
        // A data disc's identity: kind, tracks, media bits, file system, zone,
        // date and time, partition size, then the session count.
        {0, 1, 2, 9, 700 * MB, "1" "01" "02" "3" "201" "20151231235959" "00012AB" "01", 1, 1},
        {0, 1, 2, 9, 700 * MB, "1" "01" "02" "3" "201" "20151231235959" "00012AB" "02", 6, 1}, // two sessions
        {0, 2, 2, 9, 4700 * MB, "1" "01" "05" "3" "201" "20151231235959" "00012AB" "03", 6, 1},
        {0, 1, 2, 9, 700 * MB, "1" "01" "02" "3" "201" "20151231235959" "00012AB", 1, 1},      // cut short
        {0, 1, 0, 0, 700 * MB, "10102...", 8, 1},                        // empty CD
        {0, 2, 1, 1, 4700 * MB, "10502...", 3, 1},                       // DVD
        {0, 2, 1, 1, 8500 * MB, "10502...", 3, 2},                       // dual-layer DVD
        {0, 2, 1, 1, 1460 * MB, "10502...", 3, 5},                       // 8 cm DVD
        {0, 2, 0, 0, 4700 * MB, "10502...", 7, 1},                       // empty DVD
        {0, 3, 1, 1, 25 * GB, "11102...", 9, 1},                         // BD
        {0, 3, 1, 1, 50 * GB, "11102...", 9, 2},
        {0, 3, 1, 1, 100 * GB, "11102...", 9, 3},
        {0, 3, 1, 1, 128 * GB, "11102...", 9, 6},
        {0, 3, 0, 0, 25 * GB, "11102...", 12, 1},                        // empty BD
        {0, 7, 1, 1, 0, "1", 5, 0},                                      // unknown class, no capacity
        {0, 7, 1, 1, 1 * GB, "1", 5, 1},
    };
    for (const Case& c : cases) {
        const DiscRecord record = AddAndRead(c.audio, c.discClass, c.folders, c.files, c.capacity, c.identity);
        EXPECT_EQ(c.mediaClass, record.mediaClass) << c.identity << " class " << c.discClass << " cap " << c.capacity;
        EXPECT_EQ(c.formatCode, record.formatCode) << c.identity << " class " << c.discClass << " cap " << c.capacity;
    }
}

TEST_P(DiscsTest, DefaultLabelSetFollowsTheCategory)
{
    SeedLikeTheProgram();
    struct Case {
        int audio;
        const char16_t* tags;
        const char16_t* name;
        int label;
    } cases[] = {
        {-1, u"1", u"Album", 3},           // audio wins over tags
        {0, u"2", u"Pictures", 2},         // Photo
        {0, u"3::1", u"Concert", 3},       // first category tag in the ids
        {0, u"4", u"Letters", 4},          // Document -> data
        {0, u"", u"Backup", 4},            // no category -> data
        {0, u"", u"Windows 11 Setup", 5},  // reads like a system disc
    };
    for (const Case& c : cases) {
        ASSERT_EQ(S_OK, e()->AddDisc("X", u"", u"", u"", c.name, c.tags, c.audio, 1, 1, 1, 1, 1, u""));
        LONG disc = 0, label = 0;
        ASSERT_EQ(S_OK, e()->GetLastAddedDisc(&disc, &label));
        EXPECT_EQ(c.label, label) << QString::fromUtf16(c.name).toStdString();
    }
}

TEST_P(DiscsTest, MissingDefaultSetGivesNoLabelAndOwnPicturesGiveANewSet)
{
    ASSERT_EQ(S_OK, e()->AddDisc("X", u"", u"", u"", u"n", u"", 0, 1, 1, 1, 1, 1, u""));
    LONG disc = 0, label = -1;
    ASSERT_EQ(S_OK, e()->GetLastAddedDisc(&disc, &label));
    EXPECT_EQ(0, label);

    SeedLikeTheProgram();
    const QString folder = TestEnvironment::MakeFolder(QStringLiteral("own"));
    const QString p32 = WritePicture(folder, QStringLiteral("s.png"), 32, 0xFF0000);
    const QString p128 = WritePicture(folder, QStringLiteral("m.png"), 128, 0xFF0000);
    const QString p360 = WritePicture(folder, QStringLiteral("l.png"), 360, 0xFF0000);
    ASSERT_EQ(S_OK, e()->AddDisc("Y", W(p32), W(p128), W(p360), u"own", u"", 0, 1, 1, 1, 1, 1, u""));
    ASSERT_EQ(S_OK, e()->GetLastAddedDisc(&disc, &label));
    EXPECT_EQ(6, label);
    for (const QString& path : {p32, p128, p360}) QFile::remove(path);
    QImage* picture = nullptr;
    ASSERT_EQ(S_OK, e()->GetLabelThumbnail(label, &picture));
    EXPECT_EQ(QColor(0xFF0000), picture->pixelColor(5, 5));
    delete picture;

    // Some label paths without the others, or a path that is no picture, store nothing.
    LONG count = 0;
    EXPECT_EQ(E_INVALIDARG, e()->AddDisc("Z", W(p32), u"", u"", u"n", u"", 0, 1, 1, 1, 1, 1, u""));
    EXPECT_TRUE(FAILED(e()->AddDisc("Z", u"/nonexistent/a.png", u"/nonexistent/b.png", u"/nonexistent/c.png", u"n",
                                    u"", 0, 1, 1, 1, 1, 1, u"")));
    EXPECT_EQ(S_OK, e()->GetDiscCount(&count));
    EXPECT_EQ(2, count);
    EXPECT_EQ(E_POINTER, e()->AddDisc(nullptr, u"", u"", u"", u"n", u"", 0, 1, 1, 1, 1, 1, u""));
    EXPECT_EQ(E_INVALIDARG, e()->AddDisc("", u"", u"", u"", u"n", u"", 0, 1, 1, 1, 1, 1, u""));
}

TEST_P(DiscsTest, TagsLabelAndLastAddedDiscCanBeChanged)
{
    SeedLikeTheProgram();
    const int first = AddTestDisc(e(), QStringLiteral("one"), "1");
    const int second = AddTestDisc(e(), QStringLiteral("two"), "2");
    LONG holiday = 0;
    ASSERT_EQ(S_OK, e()->AddTag(u"Holiday", &holiday));
    const QString ids = QStringLiteral("2::%1").arg(holiday);
    ASSERT_EQ(S_OK, e()->SetDiscTags(first, W(ids)));
    ASSERT_EQ(S_OK, e()->SetDiscLabelId(first, 5));
    EXPECT_EQ(E_INVALIDARG, e()->SetDiscTags(999, W(ids)));
    EXPECT_EQ(E_INVALIDARG, e()->SetDiscLabelId(999, 5));

    // A list longer than the record's field comes whole through the
    // optional interface, asked again with a buffer large enough.
    QStringList many;
    for (int id = 1000; id < 1100; ++id) many << QString::number(id);
    const QString longIds = many.join(QStringLiteral("::"));
    ASSERT_EQ(S_OK, e()->SetDiscTags(second, W(longIds)));
    ILibraryDiscTags* tags = nullptr;
    ASSERT_EQ(S_OK, e()->QueryInterface(IID_ILibraryDiscTags, reinterpret_cast<void**>(&tags)));
    LONG length = 0;
    char16_t small[8] = {};
    EXPECT_EQ(S_FALSE, tags->GetDiscTagIds(second, small, 8, &length));
    EXPECT_EQ(longIds.size(), length);
    EXPECT_EQ(u'\0', small[0]) << "nothing is copied into a buffer too small";
    std::vector<char16_t> whole(static_cast<size_t>(length) + 1);
    EXPECT_EQ(S_OK, tags->GetDiscTagIds(second, whole.data(), length + 1, &length));
    EXPECT_EQ(longIds, QString::fromUtf16(whole.data()));
    EXPECT_EQ(E_INVALIDARG, tags->GetDiscTagIds(999, whole.data(), length + 1, &length));
    EXPECT_EQ(E_POINTER, tags->GetDiscTagIds(second, whole.data(), length + 1, nullptr));
    tags->Release();

    const auto discs = Discs(e());
    ASSERT_EQ(2u, discs.size());
    EXPECT_EQ(first, discs[0].discId);
    EXPECT_EQ(QStringLiteral("Photo, Holiday"), FromW(discs[0].tagNames));
    EXPECT_EQ(kLibraryTextLength - 1, FromW(discs[1].tagIds).size()) << "the record holds the first 259 characters";
    EXPECT_EQ(5, discs[0].labelId);

    // A new name is listed and found at once; the old one no longer finds it.
    ILibraryDiscEdits* edits = nullptr;
    ASSERT_EQ(S_OK, e()->QueryInterface(IID_ILibraryDiscEdits, reinterpret_cast<void**>(&edits)));
    ASSERT_EQ(S_OK, edits->SetDiscName(second, u"Zwei Ärmel"));
    EXPECT_EQ(QStringLiteral("Zwei Ärmel"), FromW(Discs(e())[1].name));
    LONG count = 0;
    EXPECT_EQ(S_OK, e()->SearchDiscCount(u"ärm", &count));
    EXPECT_EQ(1, count);
    EXPECT_EQ(S_OK, e()->SearchDiscCount(u"two", &count));
    EXPECT_EQ(0, count);
    EXPECT_EQ(E_INVALIDARG, edits->SetDiscName(999, u"x"));
    EXPECT_EQ(E_INVALIDARG, edits->SetDiscName(second, u""));
    EXPECT_EQ(E_POINTER, edits->SetDiscName(second, nullptr));
    LONG importing = 1;
    EXPECT_EQ(S_OK, edits->GetDiscImporting(second, &importing));
    EXPECT_EQ(0, importing);
    edits->Release();

    LONG disc = 0, label = 0;
    ASSERT_EQ(S_OK, e()->GetLastAddedDisc(&disc, &label));
    EXPECT_EQ(second, disc);
    // Another instance has added nothing itself: it reports the newest disc.
    EngineInstance other;
    ASSERT_EQ(S_OK, other->GetLastAddedDisc(&disc, &label));
    EXPECT_EQ(second, disc);
}

TEST_P(DiscsTest, DeletingADiscTakesItsRowsAndThePathsOnlyItUses)
{
    const int a = AddTestDisc(e(), QStringLiteral("A"), "A");
    const int b = AddTestDisc(e(), QStringLiteral("B"), "B");
    auto folder = [](int id, const char* name, int disc) {
        return EntryRow({id, QString::fromLatin1(name), 0, QStringLiteral("Folder"), 1, disc, 4, 0, 0});
    };
    auto file = [](int id, const char* name, int disc, int parent, int path) {
        return EntryRow({id, QString::fromLatin1(name), 1, QStringLiteral("File"), 1, disc, 4, parent, path});
    };
    // Disc A: \SHARED\LEAF and \ONLYA; disc B: \SHARED (found again, same id).
    WriteRows(a, {PathRow(1, QStringLiteral("\\SHARED")), PathRow(2, QStringLiteral("\\ONLYA"))},
              {folder(1, "SHARED", a), folder(2, "ONLYA", a)}, {file(1, "a.txt", a, 1, 1)});
    WriteRows(a, {PathRow(3, QStringLiteral("\\SHARED\\LEAF"))},
              {EntryRow({3, QStringLiteral("LEAF"), 0, QStringLiteral("Folder"), 1, a, 4, 1, 1})}, {});
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    LONG shared = 0;
    ASSERT_EQ(S_OK, e()->FindPathId(handle, u"\\SHARED", &shared));
    ASSERT_EQ(1, shared);
    ASSERT_EQ(S_OK, e()->InsertFolderRows(handle, W(Batch({folder(4, "SHARED", b)}, true)), 1));
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch({file(2, "b.txt", b, 4, 1)})), 1));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    EXPECT_EQ(std::make_pair(3, 1), EntryCounts(a));
    EXPECT_EQ(std::make_pair(1, 1), EntryCounts(b));

    ASSERT_EQ(S_OK, e()->DeleteDisc(a, 0));
    EXPECT_EQ(E_INVALIDARG, e()->DeleteDisc(a, 0));
    EXPECT_EQ(std::make_pair(0, 0), EntryCounts(a));
    EXPECT_EQ(std::make_pair(1, 1), EntryCounts(b));
    char16_t text[260];
    EXPECT_EQ(S_OK, e()->GetPathText(1, text)); // B still uses it
    EXPECT_EQ(E_INVALIDARG, e()->GetPathText(2, text));
    EXPECT_EQ(E_INVALIDARG, e()->GetPathText(3, text)); // a leaf folder's own path
    EXPECT_TRUE(FoundFiles(e(), QStringLiteral("a.txt")).empty());
    EXPECT_TRUE(FoundFolders(e(), QStringLiteral("ONLYA")).empty());
    EXPECT_EQ(0u, FolderItems(e(), a, 0).size());
    EXPECT_EQ(QStringList{QStringLiteral("b.txt")}, Names(FolderItems(e(), b, 4)));

    ExpectConsistentDatabase();
    ASSERT_EQ(S_OK, e()->DeleteDisc(b, 0));
    EXPECT_EQ(E_INVALIDARG, e()->GetPathText(1, text));
    EXPECT_TRUE(Discs(e()).empty());
    ExpectConsistentDatabase();
}

// One import writing two discs with the ids of their folders' files
// interleaved (and a folder's files written again after other folders'),
// some numbered by the engine: each folder lists exactly its own files,
// each disc counts them, and deleting one disc leaves the other whole.
TEST_P(DiscsTest, FoldersAndDiscsKeepExactlyTheirFilesWhenTheirIdsInterleave)
{
    const int a = AddTestDisc(e(), QStringLiteral("A"), "A");
    const int b = AddTestDisc(e(), QStringLiteral("B"), "B");
    const int folderOf[] = {1, 2, 3, 0}; // by id % 4: disc A's folders 1 and 2, disc B's folder 3, disc A's root
    std::map<std::pair<int, int>, QStringList> expected; // (disc, folder) -> file names, in id order
    auto file = [&](int id, int folder, bool withId = true) {
        const int disc = folder == 3 ? b : a;
        const QString name = QStringLiteral("f%1-%2.dat").arg(disc == a ? "a" : "b").arg(id);
        expected[{disc, folder}].append(name);
        return EntryRow({id, name, id, QStringLiteral("File"), 1, disc, 4, folder, 0}, withId);
    };
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    QStringList folders;
    for (int folder : {1, 2, 3})
        folders.append(EntryRow({folder, QStringLiteral("F%1").arg(folder), 0, QStringLiteral("Folder"), 1, folder == 3 ? b : a, 4, 0, 0}));
    ASSERT_EQ(S_OK, e()->InsertFolderRows(handle, W(Batch(folders, true)), 1));
    for (int first : {1, 41}) {
        QStringList rows;
        for (int id = first; id < first + 40; ++id) rows.append(file(id, folderOf[id % 4]));
        ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(rows)), 1));
    }
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch({file(81, 1, false), file(82, 3, false)})), 0));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));

    auto expectListed = [&](int disc) {
        for (const auto& [where, names] : expected) {
            if (where.first != disc) continue;
            QStringList listed = Names(FolderItems(e(), disc, where.second));
            if (where.second == 0) listed = listed.mid(2); // the disc's folders come first
            EXPECT_EQ(names, listed) << "disc " << disc << ", folder " << where.second;
        }
    };
    auto expectAsWritten = [&] {
        expectListed(a);
        expectListed(b);
        EXPECT_EQ(std::make_pair(2, 61), EntryCounts(a));
        EXPECT_EQ(std::make_pair(1, 21), EntryCounts(b));
        EXPECT_EQ(0u, FolderItems(e(), a, 3).size()) << "disc B's folder is not disc A's";
    };
    expectAsWritten();
    if (OnServer()) {
        // A library of the version that found a folder's files through an
        // index by disc and folder: the spans are made from its rows when
        // it is opened.
        engine.reset();
        ASSERT_TRUE(PgTestServer::Execute(library, QStringLiteral("DROP TABLE file_spans;"
                                                                  " CREATE INDEX files_by_folder ON files(disc_id, folder_id, id);"
                                                                  " UPDATE library_schema SET version = 6")));
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
        EXPECT_LT(6, PgTestServer::Number(library, QStringLiteral("SELECT max(version) FROM library_schema")));
        EXPECT_EQ(0, PgTestServer::Number(library, QStringLiteral("SELECT count(*) FROM pg_indexes WHERE indexname = 'files_by_folder'")));
        ExpectConsistentDatabase();
        expectAsWritten();
    }

    ASSERT_EQ(S_OK, e()->DeleteDisc(a, 0));
    EXPECT_EQ(std::make_pair(0, 0), EntryCounts(a));
    EXPECT_EQ(std::make_pair(1, 21), EntryCounts(b));
    expectListed(b);
    EXPECT_TRUE(FoundFiles(e(), QStringLiteral("fa-")).empty());
    EXPECT_EQ(21u, FoundFiles(e(), QStringLiteral("fb-")).size());
    ExpectConsistentDatabase();
}

TEST_P(DiscsTest, PathTextsOfARangeOfIdsAreTheStoredOnesThatFitARecordsField)
{
    ComPtr<ILibraryPathTexts> ranges;
    if (FAILED(e()->QueryInterface(IID_ILibraryPathTexts, ranges.PutVoid()))) GTEST_SKIP() << "paths one at a time";
    const int disc = AddTestDisc(e(), QStringLiteral("P"), "P");
    const QString longPath = QStringLiteral("\\") + QString(kLibraryPathTextBytes, QLatin1Char('x'));
    WriteRows(disc,
              {PathRow(1, QStringLiteral("\\ONE")), PathRow(2, QStringLiteral("\\Caf\u00E9")), PathRow(3, longPath),
               PathRow(5, QStringLiteral("\\FIVE"))},
              {}, {});
    LibraryPathText paths[8] = {};
    char texts[8 * kLibraryPathTextBytes] = {};
    auto read = [&](LONG first, LONG count, LONG capacity) {
        LONG filled = -1;
        EXPECT_EQ(S_OK, ranges->GetPathTexts(first, count, paths, texts, capacity, &filled));
        std::vector<std::pair<int, std::string>> found;
        for (LONG i = 0; i < filled; ++i)
            found.emplace_back(paths[i].pathId, std::string(texts + paths[i].textOffset, paths[i].textBytes));
        return found;
    };
    using Found = std::vector<std::pair<int, std::string>>;
    // No path 4; path 3 is longer than a record's field holds.
    EXPECT_EQ((Found{{1, "\\ONE"}, {2, "\\Caf\xC3\xA9"}, {5, "\\FIVE"}}), read(1, 8, sizeof texts));
    EXPECT_EQ((Found{{2, "\\Caf\xC3\xA9"}}), read(2, 2, sizeof texts));
    EXPECT_EQ((Found{{1, "\\ONE"}}), read(0, 8, 5)); // the next text does not fit
    EXPECT_EQ(Found{}, read(6, 8, sizeof texts));
    char16_t text[kLibraryTextLength];
    EXPECT_EQ(S_OK, e()->GetPathText(3, text));
}

TEST_P(DiscsTest, DeleteWithHandleRemovesADiscMidImport)
{
    const int disc = AddTestDisc(e(), QStringLiteral("Cancelled"), "C");
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    ASSERT_EQ(S_OK, e()->InsertPathRows(handle, W(Batch({PathRow(1, QStringLiteral("\\NEW"))})), 1));
    ASSERT_EQ(S_OK, e()->InsertFileRows(
                        handle, W(Batch({EntryRow({1, QStringLiteral("x"), 1, QStringLiteral("File"), 1, disc, 4, 0, 0})})), 1));
    EXPECT_EQ(E_POINTER, e()->DeleteDiscWithHandle(nullptr, disc, 0));
    ASSERT_EQ(S_OK, e()->DeleteDiscWithHandle(handle, disc, 0));
    LONG maxFileWithin = -1;
    EXPECT_EQ(S_OK, e()->GetMaxFileId(handle, &maxFileWithin));
    EXPECT_EQ(0, maxFileWithin) << "the disc's rows go at once, not when the import closes";
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    LONG count = -1, maxFile = -1, maxPath = -1;
    EXPECT_EQ(S_OK, e()->GetDiscCount(&count));
    EXPECT_EQ(S_OK, e()->GetMaxFileId(nullptr, &maxFile));
    EXPECT_EQ(S_OK, e()->GetMaxPathId(nullptr, &maxPath));
    EXPECT_EQ(0, count);
    EXPECT_EQ(0, maxFile);
    EXPECT_EQ(0, maxPath);
    ExpectConsistentDatabase();
}

TEST_P(DiscsTest, LabelIdsOfRowsFollowTheDisc)
{
    const int disc = AddTestDisc(e(), QStringLiteral("L"), "L");
    WriteRows(disc, {PathRow(1, QStringLiteral("\\D"))},
              {EntryRow({1, QStringLiteral("D"), 0, QStringLiteral("Folder"), 1, disc, 4, 0, 0})},
              {EntryRow({1, QStringLiteral("f.txt"), 1, QStringLiteral("File"), 1, disc, 4, 1, 1})});
    ASSERT_EQ(S_OK, e()->SetDiscLabelId(disc, 9));
    ASSERT_EQ(S_OK, e()->SetFolderLabelId(disc, 9));
    ASSERT_EQ(S_OK, e()->SetFileLabelId(disc, 9));
    EXPECT_EQ(9, FoundFiles(e(), QStringLiteral("f.t"))[0].labelId);
    EXPECT_EQ(9, FoundFolders(e(), QStringLiteral("D"))[0].labelId);
    // Each setter alone is enough, whatever the disc holds.
    ASSERT_EQ(S_OK, e()->SetFileLabelId(disc, 11));
    EXPECT_EQ(11, FoundFiles(e(), QStringLiteral("f.t"))[0].labelId);
    EXPECT_EQ(11, FoundFolders(e(), QStringLiteral("D"))[0].labelId);
    EXPECT_EQ(11, Discs(e())[0].labelId);
    ASSERT_EQ(S_OK, e()->SetFolderLabelId(disc, 12));
    EXPECT_EQ(12, FoundFiles(e(), QStringLiteral("f.t"))[0].labelId);
    EXPECT_EQ(E_INVALIDARG, e()->SetFileLabelId(disc + 1, 3));
}

} // namespace

// The stamp moves for a change made by another instance (another program on
// the same library); the instance's own changes and others' reading leave it.
TEST_P(DiscsTest, ChangeStampMovesOnlyForOthersChanges)
{
    ILibraryChanges* changes = nullptr;
    ASSERT_EQ(S_OK, e()->QueryInterface(IID_ILibraryChanges, reinterpret_cast<void**>(&changes)));
    auto stamp = [changes] {
        INT64 value = 0;
        EXPECT_EQ(S_OK, changes->GetChangeStamp(&value));
        return value;
    };
    const INT64 before = stamp();
    EXPECT_EQ(before, stamp()) << "nothing changed";
    const int disc = AddTestDisc(e(), QStringLiteral("one"), "1");
    LONG tag = 0;
    ASSERT_EQ(S_OK, e()->AddTag(u"Holiday", &tag));
    EXPECT_EQ(before, stamp()) << "the instance's own changes";

    EngineInstance other;
    ASSERT_EQ(1u, Discs(other.get()).size());
    LONG count = 0;
    ASSERT_EQ(S_OK, other->SearchFileCount(u"one", &count));
    EXPECT_EQ(before, stamp()) << "another instance only read";

    ILibraryDiscEdits* edits = nullptr;
    ASSERT_EQ(S_OK, other->QueryInterface(IID_ILibraryDiscEdits, reinterpret_cast<void**>(&edits)));
    ASSERT_EQ(S_OK, edits->SetDiscName(disc, u"renamed"));
    edits->Release();
    // A server delivers the notice of a change shortly after it was committed.
    const QDeadlineTimer deadline(30000);
    INT64 after = stamp();
    while (after == before && !deadline.hasExpired()) {
        QThread::msleep(20);
        after = stamp();
    }
    EXPECT_NE(before, after) << "another instance renamed a disc";
    EXPECT_EQ(after, stamp()) << "nothing changed since";
    EXPECT_EQ(E_POINTER, changes->GetChangeStamp(nullptr));
    changes->Release();
}
