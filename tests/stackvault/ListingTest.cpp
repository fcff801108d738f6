// Listings through the loaded engine: long searches and folders read a
// screen at a time must give exactly what the whole-list calls give, in
// the same order, leave out discs being imported, and stay safe when the
// library changes or closes under them. The compact entries and types,
// and what a sort reads through them, hold what the records hold.
#include "ComPtr.h"
#include "EngineTestSupport.h"
#include "FieldsKeeper.h"
#include "ILibraryListedEntries.h"
#include "ILibraryListedTypes.h"
#include "ILibraryListings.h"
#include "ListingFieldsReader.h"
#include "SortEntries.h"

#include <array>
#include <optional>
#include <gtest/gtest.h>

namespace {

constexpr int kFolders = 30;
constexpr int kFiles = 1500;

class ListingTest : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped()) return;
        engine = std::make_unique<EngineInstance>();
        ASSERT_EQ(S_OK, engine->InitializeResult());
        ASSERT_EQ(S_OK, e()->QueryInterface(IID_ILibraryListings, reinterpret_cast<void**>(&listings)));
        disc = AddTestDisc(e(), QStringLiteral("Archive"), "L1");
        FillDisc(disc, 0);
    }
    void TearDown() override
    {
        if (listings) listings->Release();
    }
    ILibraryEngine* e() const { return engine->get(); }

    // kFolders folders in the root, kFiles files spread over the root and
    // the folders, ids offset by `base` so that several discs can coexist.
    void FillDisc(int discId, int base, bool close = true)
    {
        ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
        QStringList folders, paths, files;
        for (int f = 1; f <= kFolders; ++f) {
            const QString name = QStringLiteral("Folder %1 of %2").arg(f).arg(discId);
            folders << EntryRow({base + f, name, 0, QStringLiteral("Folder"), 1, discId, 4, 0, 0});
            paths << PathRow(base + f, QLatin1Char('\\') + name);
        }
        ASSERT_EQ(S_OK, e()->InsertPathRows(handle, W(Batch(paths)), 1));
        ASSERT_EQ(S_OK, e()->InsertFolderRows(handle, W(Batch(folders, true)), 1));
        for (int n = 1; n <= kFiles; ++n) {
            const int folder = n % 3 == 0 ? 0 : base + 1 + n % kFolders;
            files << EntryRow({base * 100 + n, QStringLiteral("photo_%1_x.%2").arg(n).arg(n % 2 ? "jpg" : "png"), n,
                               QStringLiteral("Image"), 100 + n, discId, 4, folder, folder});
            if (files.size() == 500) {
                ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(files)), 1));
                files.clear();
            }
        }
        if (close) {
            ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
        }
    }

    // The counts a search listing has at once, as it opens.
    LibraryListingCounts OpenedSearchCounts(const char16_t* text)
    {
        LibraryListing listing = nullptr;
        LibraryListingCounts counts{};
        EXPECT_EQ(S_OK, listings->OpenSearchListing(text, &listing));
        listings->WaitListing(listing, 0, 0, &counts);
        EXPECT_EQ(1, counts.counted);
        listings->CloseListing(listing);
        return counts;
    }

    LibraryListingCounts WaitComplete(LibraryListing listing)
    {
        LibraryListingCounts counts{};
        while (listings->WaitListing(listing, 1 << 30, 1000, &counts) == S_FALSE) {
        }
        return counts;
    }

    // Every record of a kind, read in ranges of `step`.
    std::vector<ItemRecord> ReadAll(LibraryListing listing, LONG kind, int count, int step)
    {
        std::vector<ItemRecord> all(static_cast<size_t>(count));
        for (int first = 0; first < count; first += step) {
            LONG filled = -1;
            const int n = std::min(step, count - first);
            EXPECT_EQ(S_OK, listings->GetListingItems(listing, kind, first, all.data() + first, n, &filled));
            EXPECT_EQ(n, filled);
        }
        return all;
    }

    static void ExpectSameRecords(const std::vector<ItemRecord>& whole, const std::vector<ItemRecord>& listed)
    {
        ASSERT_EQ(whole.size(), listed.size());
        for (size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(whole[i].id, listed[i].id) << i;
            EXPECT_EQ(FromW(whole[i].name), FromW(listed[i].name)) << i;
            EXPECT_EQ(whole[i].pathId, listed[i].pathId) << i;
            EXPECT_EQ(whole[i].parentId, listed[i].parentId) << i;
            EXPECT_EQ(whole[i].size, listed[i].size) << i;
            EXPECT_EQ(FromW(whole[i].discName), FromW(listed[i].discName)) << i;
        }
    }

    void ExpectSearchMatchesWholeLists(const QString& text)
    {
        SCOPED_TRACE(text.toStdString());
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, listings->OpenSearchListing(W(text), &listing));
        const LibraryListingCounts counts = WaitComplete(listing);
        const std::vector<ItemRecord> folders = FoundFolders(e(), text);
        const std::vector<ItemRecord> files = FoundFiles(e(), text);
        EXPECT_EQ(1, counts.complete);
        const std::vector<ItemRecord> listedFolders = ReadAll(listing, kListingFolders, counts.folders, 7);
        const std::vector<ItemRecord> listedFiles = ReadAll(listing, kListingFiles, counts.files, 97);
        ExpectSameRecords(folders, listedFolders);
        ExpectSameRecords(files, listedFiles);
        EXPECT_EQ(S_OK, listings->CloseListing(listing));
        ExpectPathTextsOfAnotherInstance(listedFolders);
        ExpectPathTextsOfAnotherInstance(listedFiles);
    }

    // The path texts of records just listed (which an engine may have read
    // with them) are those a library opened afresh gives.
    void ExpectPathTextsOfAnotherInstance(const std::vector<ItemRecord>& records)
    {
        EngineInstance fresh;
        ASSERT_EQ(S_OK, fresh.InitializeResult());
        for (const ItemRecord& record : records) {
            char16_t listed[kLibraryTextLength] = {}, asked[kLibraryTextLength] = {};
            ASSERT_EQ(S_OK, e()->GetPathText(record.pathId, listed));
            ASSERT_EQ(S_OK, fresh->GetPathText(record.pathId, asked));
            EXPECT_EQ(FromW(asked), FromW(listed)) << record.id;
        }
    }

    // The engine's compact entries, or null (the test skipped) when it has none.
    ComPtr<ILibraryListedEntries> Compact()
    {
        ComPtr<ILibraryListedEntries> compact;
        if (FAILED(e()->QueryInterface(IID_ILibraryListedEntries, compact.PutVoid()))) compact.Reset();
        return compact;
    }

    // Every compact entry of a kind, read in ranges of `step` with a names
    // buffer of `namesBytes` (a short buffer fills fewer entries per call).
    struct Listed {
        std::vector<ListedEntry> entries;
        QStringList names;
    };
    static Listed ReadListed(ILibraryListedEntries* compact, LibraryListing listing, LONG kind, int count, int step,
                             int namesBytes)
    {
        Listed all;
        std::vector<ListedEntry> entries(static_cast<size_t>(step));
        std::vector<char> names(static_cast<size_t>(namesBytes));
        for (int first = 0; first < count;) {
            LONG filled = -1;
            EXPECT_EQ(S_OK, compact->GetListedEntries(listing, kind, first, entries.data(), step, names.data(),
                                                      namesBytes, &filled));
            EXPECT_GT(filled, 0);
            if (filled <= 0) break;
            for (LONG i = 0; i < filled; ++i) {
                all.entries.push_back(entries[size_t(i)]);
                all.names << QString::fromUtf8(names.data() + entries[size_t(i)].nameOffset,
                                               qsizetype(entries[size_t(i)].nameBytes));
            }
            first += filled;
        }
        return all;
    }

    // Every compact entry of a kind in listing order, as a script's search
    // reads them: waiting for the next one, a block at a time. `before`: the
    // count of folders when reading files; a short `namesBytes` fills fewer
    // entries per call.
    Listed ReadInOrder(ILibraryListedEntries* compact, LibraryListing listing, LONG kind, int before,
                       int namesBytes = 1 << 16)
    {
        Listed all;
        std::vector<ListedEntry> entries(1024);
        std::vector<char> names(static_cast<size_t>(namesBytes));
        for (;;) {
            const int first = int(all.entries.size());
            LibraryListingCounts counts{};
            const HRESULT waited = listings->WaitListing(listing, before + first + 1, 10000, &counts);
            EXPECT_TRUE(SUCCEEDED(waited));
            LONG filled = -1;
            EXPECT_EQ(S_OK, compact->GetListedEntries(listing, kind, first, entries.data(), 1024, names.data(),
                                                      LONG(names.size()), &filled));
            for (LONG i = 0; i < filled; ++i) {
                all.entries.push_back(entries[size_t(i)]);
                all.names << QString::fromUtf8(names.data() + entries[size_t(i)].nameOffset,
                                               qsizetype(entries[size_t(i)].nameBytes));
            }
            const int found = kind == kListingFolders ? counts.folders : counts.files;
            const bool kindDone = waited == S_OK || FAILED(waited) || (counts.counted && first >= found) ||
                                  (kind == kListingFolders && counts.files > 0);
            if (filled <= 0 && kindDone) return all;
        }
    }

    // Adds a disc of `count` files named n_1.dat ...; its id.
    int AddLargeDisc(int count, int firstId, const char* identity = "LL")
    {
        const int id = AddTestDisc(e(), QStringLiteral("Large"), identity);
        EXPECT_EQ(S_OK, e()->OpenImportHandle(&handle));
        QStringList files;
        for (int n = 1; n <= count; ++n) {
            files << EntryRow({firstId + n, QStringLiteral("n_%1.dat").arg(n), n, QStringLiteral("Data"), 1, id, 4, 0, 0});
            if (files.size() == 1000 || n == count) {
                EXPECT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(files)), 1));
                files.clear();
            }
        }
        EXPECT_EQ(S_OK, e()->CloseImportHandle(handle));
        return id;
    }

    // `placesOnly` (kListedPlacesOnly): parent, size and time are 0.
    static void ExpectSameEntries(const std::vector<ItemRecord>& whole, const Listed& listed, bool placesOnly = false)
    {
        ASSERT_EQ(whole.size(), listed.entries.size());
        for (size_t i = 0; i < whole.size(); ++i) {
            const ListedEntry& entry = listed.entries[i];
            EXPECT_EQ(whole[i].id, entry.id) << i;
            // The record's field holds the first 259 code units of the name,
            // never half of a character of two.
            QString cut = listed.names[qsizetype(i)].left(kLibraryTextLength - 1);
            if (cut.size() < listed.names[qsizetype(i)].size() && !cut.isEmpty() && cut.back().isHighSurrogate())
                cut.chop(1);
            EXPECT_EQ(FromW(whole[i].name), cut) << i;
            EXPECT_EQ(placesOnly ? 0 : whole[i].parentId, entry.parentId) << i;
            EXPECT_EQ(whole[i].discId, entry.discId) << i;
            EXPECT_EQ(whole[i].pathId, entry.pathId) << i;
            EXPECT_EQ(placesOnly ? 0 : whole[i].size, entry.size) << i;
            EXPECT_EQ(placesOnly ? 0 : whole[i].time, entry.time) << i;
        }
    }

    ComPtr<ILibraryListedTypes> Types()
    {
        ComPtr<ILibraryListedTypes> types;
        if (FAILED(e()->QueryInterface(IID_ILibraryListedTypes, types.PutVoid()))) types.Reset();
        return types;
    }

    // Every compact entry of a kind with its type, read in ranges of `step`
    // into buffers of `namesBytes` and `typesBytes` (short ones fill fewer
    // entries per call).
    struct Typed {
        Listed listed;
        QStringList types;
    };
    static Typed ReadTyped(ILibraryListedTypes* typed, LibraryListing listing, LONG kind, int count, int step,
                           int namesBytes, int typesBytes)
    {
        Typed all;
        std::vector<ListedEntry> entries(static_cast<size_t>(step));
        std::vector<char> names(static_cast<size_t>(namesBytes));
        std::vector<uint32_t> ends(static_cast<size_t>(step));
        std::vector<char> texts(static_cast<size_t>(typesBytes));
        for (int first = 0; first < count;) {
            LONG filled = -1;
            EXPECT_EQ(S_OK, typed->GetTypedEntries(listing, kind, first, step, entries.data(), names.data(), namesBytes,
                                                   ends.data(), texts.data(), typesBytes, &filled));
            EXPECT_GT(filled, 0);
            if (filled <= 0) break;
            for (LONG i = 0; i < filled; ++i) {
                const ListedEntry& entry = entries[size_t(i)];
                all.listed.entries.push_back(entry);
                all.listed.names << QString::fromUtf8(names.data() + entry.nameOffset, qsizetype(entry.nameBytes));
                const uint32_t begin = i == 0 ? 0 : ends[size_t(i) - 1];
                all.types << QString::fromUtf8(texts.data() + begin, qsizetype(ends[size_t(i)] - begin));
            }
            first += filled;
        }
        return all;
    }

    // What a sort reads of every entry of a kind through `source`, one
    // "name|type|time|size" each: a block at a time, or with each block kept
    // on a second thread while the next is read (`keptAside`).
    QStringList ReadForSort(const ListingFieldsReader::Source& source, LibraryListing listing, LONG kind, int count,
                            bool keptAside = false)
    {
        QStringList all;
        ListingFieldsReader reader(source, listing, [&](const ListingFieldsReader::Fields& fields, SortEntries&) {
            all << fields.name.toString() + u'|' + fields.type.toString() + u'|' + QString::number(fields.time) + u'|' +
                       QString::number(fields.size);
        });
        SortEntries unused;
        std::optional<FieldsKeeper> keeper;
        if (keptAside) keeper.emplace(reader, unused, nullptr);
        for (LONG first = 0; first < count;) {
            LONG read = 0;
            EXPECT_EQ(S_OK, keeper ? keeper->Read(kind, first, count - first, &read)
                                   : reader.Read(kind, first, count - first, unused, &read));
            if (read <= 0) break;
            first += read;
        }
        if (keeper) keeper->Finish();
        return all;
    }

    // The typed entries are the records' entries and types, read in short
    // ranges and with buffers for one or two names or types, and a sort reads
    // the same fields through them as through the records.
    void ExpectCompactReadsAsRecords(LibraryListing listing, LONG kind, int count)
    {
        const ComPtr<ILibraryListedTypes> types = Types();
        const std::vector<ItemRecord> records = ReadAll(listing, kind, count, 97);
        QStringList recordTypes;
        for (const ItemRecord& record : records) recordTypes << FromW(record.type);
        for (const auto [step, namesBytes, typesBytes] : {std::array{97, 65536, 4096}, std::array{5, 4096, 24},
                                                          std::array{5, 320, 4096}}) {
            SCOPED_TRACE(testing::Message() << step << " entries, " << namesBytes << " B of names, " << typesBytes
                                            << " B of types");
            const Typed typed = ReadTyped(types.Get(), listing, kind, count, step, namesBytes, typesBytes);
            ExpectSameEntries(records, typed.listed);
            EXPECT_EQ(recordTypes, typed.types);
        }
        const QStringList fromRecords = ReadForSort({listings}, listing, kind, count);
        EXPECT_EQ(count, fromRecords.size());
        EXPECT_EQ(fromRecords, ReadForSort({listings, types.Get()}, listing, kind, count));
        EXPECT_EQ(fromRecords, ReadForSort({listings}, listing, kind, count, true));
        EXPECT_EQ(fromRecords, ReadForSort({listings, types.Get()}, listing, kind, count, true));
    }

    std::unique_ptr<EngineInstance> engine;
    ILibraryListings* listings = nullptr;
    LibraryImportHandle handle = nullptr;
    int disc = 0;
};

INSTANTIATE_ENGINE_TESTS(ListingTest);

TEST_P(ListingTest, SearchListingsGiveTheWholeListsRecordsInTheirOrder)
{
    for (const char* text : {"photo_1", ".JPG", "x.", "_", "7", "older 1", "no such name", ""})
        ExpectSearchMatchesWholeLists(QString::fromUtf8(text));
}

TEST_P(ListingTest, FolderListingsGiveFoldersThenFilesAsTheWholeList)
{
    for (int folder : {0, 2}) {
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, listings->OpenFolderListing(disc, folder, &listing));
        const LibraryListingCounts counts = WaitComplete(listing);
        const std::vector<FolderItemRecord> whole = FolderItems(e(), disc, folder);
        ASSERT_EQ(whole.size(), size_t(counts.folders + counts.files));
        std::vector<ItemRecord> listed = ReadAll(listing, kListingFolders, counts.folders, 4);
        const std::vector<ItemRecord> files = ReadAll(listing, kListingFiles, counts.files, 33);
        listed.insert(listed.end(), files.begin(), files.end());
        for (size_t i = 0; i < whole.size(); ++i) {
            EXPECT_EQ(whole[i].id, listed[i].id) << i;
            EXPECT_EQ(FromW(whole[i].name), FromW(listed[i].name)) << i;
            EXPECT_EQ(FromW(whole[i].type), FromW(listed[i].type)) << i;
        }
        EXPECT_EQ(folder == 0 ? kFolders : 0, counts.folders);
        // Every third file in the root, the others spread over the folders
        // with their ids interleaved (see FillDisc).
        EXPECT_EQ(folder == 0 ? kFiles / 3 : kFiles / kFolders, counts.files);
        listings->CloseListing(listing);
    }
}

TEST_P(ListingTest, CompactEntriesHoldWhatTheRecordsHoldWithWholeNames)
{
    const ComPtr<ILibraryListedEntries> compact = Compact();
    if (!compact) GTEST_SKIP() << "this engine lists through whole records only";
    // A name longer than a record's field, and one of several scripts.
    const QString longName = QStringLiteral("photo_long_") + QString(300, QLatin1Char('n'));
    const QString script = QStringLiteral("photo_\u05D0\u200F\u00E9\t\\x\U0001F600");
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    QStringList files;
    files << EntryRow({90001, longName, 7, QStringLiteral("Image"), 9, disc, 4, 0, 0})
          << EntryRow({90002, script, 8, QStringLiteral("Image"), 10, disc, 4, 1, 1});
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(files)), 1));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));

    for (const QString& text : {QStringLiteral("photo_1"), QStringLiteral("_"), QStringLiteral("older")}) {
        SCOPED_TRACE(text.toStdString());
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, listings->OpenSearchListing(W(text), &listing));
        const LibraryListingCounts counts = WaitComplete(listing);
        ExpectSameEntries(ReadAll(listing, kListingFolders, counts.folders, 7),
                          ReadListed(compact.Get(), listing, kListingFolders, counts.folders, 7, 4096));
        ExpectSameEntries(ReadAll(listing, kListingFiles, counts.files, 97),
                          ReadListed(compact.Get(), listing, kListingFiles, counts.files, 97, 4096));
        // A buffer for a few names fills fewer entries per call, the same ones.
        if (text == QStringLiteral("photo_1"))
            ExpectSameEntries(ReadAll(listing, kListingFiles, counts.files, 97),
                              ReadListed(compact.Get(), listing, kListingFiles, counts.files, 97, 40));
        listings->CloseListing(listing);
    }

    LibraryListing found = nullptr;
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"photo_", &found));
    const LibraryListingCounts counts = WaitComplete(found);
    const Listed all = ReadListed(compact.Get(), found, kListingFiles, counts.files, 1024, 1 << 16);
    EXPECT_TRUE(all.names.contains(longName));
    EXPECT_TRUE(all.names.contains(script));
    // A buffer too short for the first name; unknown kinds and listings.
    ListedEntry entry{};
    char few[4];
    LONG filled = -1;
    EXPECT_EQ(E_OUTOFMEMORY, compact->GetListedEntries(found, kListingFiles, 0, &entry, 1, few, 4, &filled));
    EXPECT_EQ(0, filled);
    EXPECT_EQ(S_OK, compact->GetListedEntries(found, kListingFiles, counts.files, &entry, 1, few, 4, &filled));
    EXPECT_EQ(0, filled);
    EXPECT_EQ(E_INVALIDARG, compact->GetListedEntries(found, 5, 0, &entry, 1, few, 4, &filled));
    listings->CloseListing(found);
    EXPECT_EQ(E_INVALIDARG, compact->GetListedEntries(found, kListingFiles, 0, &entry, 1, few, 4, &filled));

    // Folder listings, whose entries are of one folder (sparse ids).
    for (int folder : {0, 2}) {
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, listings->OpenFolderListing(disc, folder, &listing));
        const LibraryListingCounts listed = WaitComplete(listing);
        ExpectSameEntries(ReadAll(listing, kListingFolders, listed.folders, 4),
                          ReadListed(compact.Get(), listing, kListingFolders, listed.folders, 4, 4096));
        ExpectSameEntries(ReadAll(listing, kListingFiles, listed.files, 33),
                          ReadListed(compact.Get(), listing, kListingFiles, listed.files, 33, 4096));
        listings->CloseListing(listing);
    }
}

// A short query is found wherever it lies in a name: in its first bytes,
// at the end of a block of sixteen, only in the last bytes of a longer
// name, across two blocks, past a letter beyond ASCII; the entries a
// script's search reads and the whole list hold the same names.
TEST_P(ListingTest, ShortQueriesFindHitsAnywhereInLongNames)
{
    const ComPtr<ILibraryListedEntries> compact = Compact();
    if (!compact) GTEST_SKIP() << "this engine lists through whole records only";
    // `letters` at `at` in a name of digits `length` characters long.
    auto name = [](int length, int at, const char* letters) {
        QString text;
        for (int i = 0; i < length; ++i) text += QChar('0' + i % 10);
        const QString put = QString::fromUtf8(letters);
        return text.replace(at, int(put.size()), put);
    };
    const QStringList names = {name(9, 8, "q"),   name(16, 15, "Q"), name(17, 16, "q"), name(20, 15, "QZ"),
                               name(32, 31, "Q"), name(33, 32, "q"), name(40, 0, "Z"),  name(40, 39, "z"),
                               name(24, 19, "é"), name(17, 3, "-")};
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    QStringList rows;
    int id = 90000;
    for (const QString& file : names) rows << EntryRow({++id, file, 5, QStringLiteral("Text"), 3, disc, 4, 0, 0});
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(rows)), 1));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));

    for (const char* text : {"q", "Z", "qz", "zq", "9q", "9Z", "é", "É", "e", "-", "3-", "0", "90"}) {
        const QString query = QString::fromUtf8(text);
        SCOPED_TRACE(query.toStdString());
        QStringList expected;
        for (const QString& file : names)
            if (file.contains(query, Qt::CaseInsensitive)) expected << file;
        QStringList whole;
        for (const ItemRecord& found : FoundFiles(e(), query))
            if (names.contains(FromW(found.name))) whole << FromW(found.name);
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, compact->OpenSearchEntries(W(query), kListedFiles | kListedPlacesOnly, &listing));
        QStringList listed = ReadInOrder(compact.Get(), listing, kListingFiles, 0).names;
        EXPECT_EQ(S_OK, listings->CloseListing(listing));
        listed.removeIf([&](const QString& found) { return !names.contains(found); });
        EXPECT_EQ(expected, whole);
        EXPECT_EQ(expected, listed);
    }
}

TEST_P(ListingTest, SearchEntriesFoundWithTheirEntriesAreTheWholeListsInAnyOrderOfReading)
{
    const ComPtr<ILibraryListedEntries> compact = Compact();
    if (!compact) GTEST_SKIP() << "this engine lists through whole records only";
    // Names whose folding is more than lowering A-Z: an accent, the Kelvin
    // sign (folds to k), capitals, a name not in UTF-8's ASCII part at all.
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    QStringList rows;
    int id = 80000;
    for (const QString& name : {QStringLiteral("\u00C9cole photo.txt"), QStringLiteral("\u212Aelvin.TXT"),
                                QStringLiteral("PHOTO_UP.JPG"), QStringLiteral("\u0394\u03B5\u03BB\u03C4\u03B1")})
        rows << EntryRow({++id, name, 5, QStringLiteral("Text"), 3, disc, 4, 0, 0});
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(rows)), 1));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));

    for (const char* text : {"photo_1", "_", "7", "\u00E9", "K", "up.j", "\u03B4", "o", "older 1", "no such", ""}) {
        const QString query = QString::fromUtf8(text);
        SCOPED_TRACE(query.toStdString());
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, compact->OpenSearchEntries(W(query), kListedFoldersAndFiles, &listing));
        const std::vector<ItemRecord> folders = FoundFolders(e(), query), files = FoundFiles(e(), query);
        ExpectSameEntries(folders, ReadInOrder(compact.Get(), listing, kListingFolders, 0));
        ExpectSameEntries(files, ReadInOrder(compact.Get(), listing, kListingFiles, int(folders.size()), 40));
        // Read again from the start, and as whole records: the same.
        ExpectSameEntries(files, ReadListed(compact.Get(), listing, kListingFiles, int(files.size()), 97, 4096));
        ExpectSameRecords(files, ReadAll(listing, kListingFiles, int(files.size()), 33));
        EXPECT_EQ(S_OK, listings->CloseListing(listing));
    }

    // Files read before folders, folders after.
    LibraryListing listing = nullptr;
    ASSERT_EQ(S_OK, compact->OpenSearchEntries(u"o", kListedFoldersAndFiles, &listing));
    const std::vector<ItemRecord> folders = FoundFolders(e(), QStringLiteral("o")),
                                  files = FoundFiles(e(), QStringLiteral("o"));
    ASSERT_FALSE(folders.empty());
    ExpectSameEntries(files, ReadInOrder(compact.Get(), listing, kListingFiles, int(folders.size())));
    ExpectSameEntries(folders, ReadListed(compact.Get(), listing, kListingFolders, int(folders.size()), 7, 4096));
    listings->CloseListing(listing);
}

TEST_P(ListingTest, SearchEntriesOfOneKindHoldThatKindAloneAsTheWholeListsGiveIt)
{
    const ComPtr<ILibraryListedEntries> compact = Compact();
    if (!compact) GTEST_SKIP() << "this engine lists through whole records only";
    // Counted ahead (one and two characters), through the trigram index.
    for (const char* text : {"1", "_1", "photo_1"}) {
        const QString query = QString::fromLatin1(text);
        SCOPED_TRACE(query.toStdString());
        const std::vector<ItemRecord> folders = FoundFolders(e(), query), files = FoundFiles(e(), query);
        ASSERT_FALSE(files.empty());

        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, compact->OpenSearchEntries(W(query), kListedFiles, &listing));
        ExpectSameEntries(files, ReadInOrder(compact.Get(), listing, kListingFiles, 0));
        LibraryListingCounts counts = WaitComplete(listing);
        EXPECT_EQ(0, counts.folders);
        EXPECT_EQ(int(files.size()), counts.files);
        EXPECT_EQ(0u, ReadInOrder(compact.Get(), listing, kListingFolders, 0).entries.size());
        listings->CloseListing(listing);

        ASSERT_EQ(S_OK, compact->OpenSearchEntries(W(query), kListedFolders, &listing));
        ExpectSameEntries(folders, ReadInOrder(compact.Get(), listing, kListingFolders, 0));
        counts = WaitComplete(listing);
        EXPECT_EQ(int(folders.size()), counts.folders);
        EXPECT_EQ(0, counts.files);
        EXPECT_EQ(0u, ReadInOrder(compact.Get(), listing, kListingFiles, int(folders.size())).entries.size());
        listings->CloseListing(listing);

        // Names and places only: the same files, without their numbers.
        ASSERT_EQ(S_OK, compact->OpenSearchEntries(W(query), kListedFiles | kListedPlacesOnly, &listing));
        ExpectSameEntries(files, ReadInOrder(compact.Get(), listing, kListingFiles, 0), true);
        listings->CloseListing(listing);
    }
    LibraryListing listing = nullptr;
    EXPECT_EQ(E_INVALIDARG, compact->OpenSearchEntries(u"photo", 0, &listing));
    EXPECT_EQ(E_INVALIDARG, compact->OpenSearchEntries(u"photo", kListedPlacesOnly, &listing));
    EXPECT_EQ(E_INVALIDARG, compact->OpenSearchEntries(u"photo", kListedFoldersAndFiles | 8, &listing));
}

TEST_P(ListingTest, SearchEntriesKeptForAReaderNeverStallTheListingAndFollowTheLibrarysChanges)
{
    const ComPtr<ILibraryListedEntries> compact = Compact();
    if (!compact) GTEST_SKIP() << "this engine lists through whole records only";
    // More hits than the worker keeps ahead of its reader.
    constexpr int kMany = 20000;
    const int large = AddLargeDisc(kMany, 200000);
    const std::vector<ItemRecord> whole = FoundFiles(e(), QStringLiteral("n_"));
    ASSERT_EQ(size_t(kMany), whole.size());

    // Files only, the folders never read.
    LibraryListing listing = nullptr;
    ASSERT_EQ(S_OK, compact->OpenSearchEntries(u"n", kListedFoldersAndFiles, &listing));
    const std::vector<ItemRecord> folders = FoundFolders(e(), QStringLiteral("n"));
    const std::vector<ItemRecord> files = FoundFiles(e(), QStringLiteral("n"));
    ASSERT_GT(files.size(), size_t(kMany));
    ExpectSameEntries(files, ReadInOrder(compact.Get(), listing, kListingFiles, int(folders.size())));
    listings->CloseListing(listing);

    // Waiting for every hit before reading any (a count) ends, and the
    // entries are still all there.
    ASSERT_EQ(S_OK, compact->OpenSearchEntries(u"n_", kListedFoldersAndFiles, &listing));
    const LibraryListingCounts counts = WaitComplete(listing);
    EXPECT_EQ(kMany, counts.files);
    ExpectSameEntries(whole, ReadListed(compact.Get(), listing, kListingFiles, kMany, 1024, 1 << 16));
    listings->CloseListing(listing);

    // Closing while the worker waits for its reader.
    ASSERT_EQ(S_OK, compact->OpenSearchEntries(u"n_", kListedFoldersAndFiles, &listing));
    LibraryListingCounts some{};
    listings->WaitListing(listing, 100, 10000, &some);
    EXPECT_EQ(S_OK, listings->CloseListing(listing));

    // Entries kept from before a disc was deleted are not handed out: the
    // deleted disc's come as empty entries, as read by id.
    ASSERT_EQ(S_OK, compact->OpenSearchEntries(u"_", kListedFoldersAndFiles, &listing));
    EXPECT_TRUE(SUCCEEDED(listings->WaitListing(listing, 1000, 10000, &some)));
    ASSERT_EQ(S_OK, e()->DeleteDisc(large, 0));
    const Listed after = ReadInOrder(compact.Get(), listing, kListingFiles, 0);
    ASSERT_EQ(size_t(kFiles + kMany), after.entries.size());
    for (size_t i = 0; i < after.entries.size(); ++i)
        EXPECT_EQ(after.entries[i].discId == 0 ? 0 : disc, after.entries[i].discId) << i;
    EXPECT_EQ(kFiles, std::count_if(after.entries.begin(), after.entries.end(),
                                    [](const ListedEntry& entry) { return entry.id != 0; }));
    listings->CloseListing(listing);
}

// A query of one or two characters scans every file row, in slices of ids
// that two threads scan at once: each hit comes once, in id order, with its
// own entry, whichever thread found it and however slowly it is read; a
// listing closed in the middle of such a scan ends it.
TEST_P(ListingTest, ScansSharedByTwoThreadsGiveEveryHitOnceInOrder)
{
    const ComPtr<ILibraryListedEntries> compact = Compact();
    if (!compact) GTEST_SKIP() << "this engine lists through whole records only";
    // Dense ids over several slices, hits in all of them; more "n" hits
    // than the worker keeps ahead of its reader.
    // Places alone come from the files' blocks of names: several blocks a
    // disc, and discs of blocks one after another.
    const int large = AddLargeDisc(30000, 100000);
    FillDisc(AddTestDisc(e(), QStringLiteral("Between"), "LB"), 1400);
    AddLargeDisc(30000, 200000, "LM");
    auto expectScansGiveTheWholeLists = [&] {
        for (const char* text : {"7", "n", "_1", "3.", "zq"}) {
            const QString query = QString::fromLatin1(text);
            const std::vector<ItemRecord> files = FoundFiles(e(), query);
            for (const LONG places : {0, int(kListedPlacesOnly)}) {
                SCOPED_TRACE(query.toStdString() + (places ? ", places" : ""));
                LibraryListing listing = nullptr;
                ASSERT_EQ(S_OK, compact->OpenSearchEntries(W(query), kListedFiles | places, &listing));
                ExpectSameEntries(files, ReadInOrder(compact.Get(), listing, kListingFiles, 0), places != 0);
                EXPECT_EQ(int(files.size()), WaitComplete(listing).files);
                EXPECT_EQ(S_OK, listings->CloseListing(listing));
            }
        }
    };
    expectScansGiveTheWholeLists();
    ASSERT_EQ(S_OK, e()->DeleteDisc(large, 0)); // its blocks go with it
    expectScansGiveTheWholeLists();

    // Closed while both threads scan, wait for their turn or for the reader.
    for (int found : {0, 1, 5000, 30000}) {
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, compact->OpenSearchEntries(u"n", kListedFiles, &listing));
        LibraryListingCounts some{};
        if (found > 0) {
            EXPECT_TRUE(SUCCEEDED(listings->WaitListing(listing, found, 10000, &some)));
        }
        EXPECT_EQ(S_OK, listings->CloseListing(listing));
    }
}

// Names longer than a record's field (a sort reads them cut where the record
// cuts them, never inside a character of two code units), other scripts,
// types of several words; folders and searches.
TEST_P(ListingTest, TypedEntriesAndWhatASortReadsHoldWhatTheRecordsHold)
{
    const ComPtr<ILibraryListedTypes> types = Types();
    if (!types || !Compact()) GTEST_SKIP() << "this engine lists through whole records only";
    ASSERT_EQ(S_OK, e()->OpenImportHandle(&handle));
    QStringList files;
    files << EntryRow({90001, QStringLiteral("photo_long_") + QString(300, QLatin1Char('n')), 7,
                       QStringLiteral("JPEG-Bild \u00FC"), 9, disc, 4, 0, 0})
          << EntryRow({90002, QString(258, QLatin1Char('m')) + QStringLiteral("\U0001F600 photo_end"), 8,
                       QStringLiteral("File"), 0, disc, 4, 0, 0})
          << EntryRow({90003, QStringLiteral("photo_\u00E9t\u00E9 \u05D0.ogg"), 9, QStringLiteral("Ogg-Audio \u00E9"), 11,
                       disc, 4, 1, 1});
    ASSERT_EQ(S_OK, e()->InsertFileRows(handle, W(Batch(files)), 1));
    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    // Rows a repair saved keep their type's text instead of its id, among
    // rows of ids in the same blocks; a text of digits reads as the id it
    // names, as in the records.
    RawExec(library, "UPDATE files SET type = (SELECT text FROM entry_types WHERE id = type) WHERE id IN (90001, 90003)");
    RawExec(library, "UPDATE files SET type = CAST((SELECT min(id) FROM entry_types) AS TEXT) WHERE id = 90002");

    for (int folder : {0, 1}) {
        SCOPED_TRACE(folder);
        LibraryListing listing = nullptr;
        ASSERT_EQ(S_OK, listings->OpenFolderListing(disc, folder, &listing));
        const LibraryListingCounts counts = WaitComplete(listing);
        ExpectCompactReadsAsRecords(listing, kListingFolders, counts.folders);
        ExpectCompactReadsAsRecords(listing, kListingFiles, counts.files);
        listings->CloseListing(listing);
    }
    LibraryListing found = nullptr;
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"photo_", &found));
    const LibraryListingCounts counts = WaitComplete(found);
    ASSERT_EQ(kFiles + 3, counts.files);
    ExpectCompactReadsAsRecords(found, kListingFiles, counts.files);
    // Buffers too short for the first name or type; unknown kinds and listings.
    ListedEntry entry{};
    uint32_t end = 0;
    char few[4];
    std::vector<char> room(4096);
    LONG filled = -1;
    EXPECT_EQ(E_OUTOFMEMORY, types->GetTypedEntries(found, kListingFiles, 0, 1, &entry, room.data(), 4096, &end, few,
                                                    4, &filled));
    EXPECT_EQ(0, filled);
    EXPECT_EQ(E_OUTOFMEMORY, types->GetTypedEntries(found, kListingFiles, 0, 1, &entry, few, 4, &end, room.data(),
                                                    4096, &filled));
    EXPECT_EQ(0, filled);
    EXPECT_EQ(S_OK, types->GetTypedEntries(found, kListingFiles, counts.files, 1, &entry, few, 4, &end, few, 4,
                                           &filled));
    EXPECT_EQ(0, filled);
    EXPECT_EQ(E_INVALIDARG, types->GetTypedEntries(found, 5, 0, 1, &entry, few, 4, &end, few, 4, &filled));
    EXPECT_EQ(E_POINTER, types->GetTypedEntries(found, kListingFiles, 0, 1, &entry, few, 4, nullptr, few, 4, &filled));
    listings->CloseListing(found);
    EXPECT_EQ(E_INVALIDARG, types->GetTypedEntries(found, kListingFiles, 0, 1, &entry, few, 4, &end, few, 4, &filled));
}

TEST_P(ListingTest, ADiscBeingImportedIsLeftOutUntilItsImportCloses)
{
    const int second = AddTestDisc(e(), QStringLiteral("Second"), "L2");
    FillDisc(second, 1000, false); // the import stays open
    LibraryListing search = nullptr, folder = nullptr;
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"photo_", &search));
    ASSERT_EQ(S_OK, listings->OpenFolderListing(second, 0, &folder));
    EXPECT_EQ(kFiles, WaitComplete(search).files);
    const LibraryListingCounts hidden = WaitComplete(folder);
    EXPECT_EQ(0, hidden.folders + hidden.files);
    listings->CloseListing(search);
    listings->CloseListing(folder);
    // The entries a search hands out with its hits: a query the index
    // answers and one that scans the names.
    if (const ComPtr<ILibraryListedEntries> compact = Compact()) {
        for (const char16_t* text : {u"photo_", u"_x"})
            for (const LONG places : {0, int(kListedPlacesOnly)}) {
                ASSERT_EQ(S_OK, compact->OpenSearchEntries(text, kListedFoldersAndFiles | places, &search));
                const Listed files = ReadInOrder(compact.Get(), search, kListingFiles, WaitComplete(search).folders);
                EXPECT_EQ(kFiles, int(files.entries.size()));
                for (const ListedEntry& entry : files.entries) EXPECT_EQ(disc, entry.discId);
                listings->CloseListing(search);
            }
    }

    ASSERT_EQ(S_OK, e()->CloseImportHandle(handle));
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"photo_", &search));
    EXPECT_EQ(2 * kFiles, WaitComplete(search).files);
    listings->CloseListing(search);
}

TEST_P(ListingTest, WaitingGivesAScreenfulOrTheEndAndRangesStopAtWhatWasFound)
{
    LibraryListing listing = nullptr;
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"photo", &listing));
    LibraryListingCounts counts{};
    const HRESULT hr = listings->WaitListing(listing, 40, 10000, &counts);
    EXPECT_TRUE(hr == S_OK || hr == S_FALSE);
    EXPECT_TRUE(counts.complete || counts.folders + counts.files >= 40);
    counts = WaitComplete(listing);
    std::vector<ItemRecord> records(10);
    LONG filled = -1;
    EXPECT_EQ(S_OK, listings->GetListingItems(listing, kListingFiles, kFiles - 4, records.data(), 10, &filled));
    EXPECT_EQ(4, filled);
    EXPECT_EQ(S_OK, listings->GetListingItems(listing, kListingFiles, kFiles + 5, records.data(), 10, &filled));
    EXPECT_EQ(0, filled);
    EXPECT_EQ(E_INVALIDARG, listings->GetListingItems(listing, 7, 0, records.data(), 10, &filled));
    EXPECT_EQ(S_OK, listings->CloseListing(listing));
    EXPECT_EQ(E_INVALIDARG, listings->CloseListing(listing));
    EXPECT_EQ(E_INVALIDARG, listings->WaitListing(listing, 1, 0, &counts));
}

TEST_P(ListingTest, ShortSearchesAreCountedAtOnceAndLongOnesWhenFound)
{
    LibraryListing shortOne = nullptr, longOne = nullptr;
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"_", &shortOne));
    LibraryListingCounts counts{};
    listings->WaitListing(shortOne, 0, 0, &counts);
    EXPECT_EQ(1, counts.counted);
    EXPECT_EQ(kFiles, counts.files);
    EXPECT_EQ(0, counts.folders);
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"photo_", &longOne));
    listings->WaitListing(longOne, 0, 0, &counts);
    EXPECT_EQ(counts.complete, counts.counted); // counted only by finding
    EXPECT_EQ(1, WaitComplete(longOne).counted);
    EXPECT_EQ(kFiles, WaitComplete(shortOne).files);
    listings->CloseListing(shortOne);
    listings->CloseListing(longOne);

    if (OnServer()) { // the server tallies three characters too
        LibraryListing three = nullptr;
        ASSERT_EQ(S_OK, listings->OpenSearchListing(u"JPG", &three));
        listings->WaitListing(three, 0, 0, &counts);
        EXPECT_EQ(1, counts.counted);
        EXPECT_EQ(kFiles / 2, counts.files);
        EXPECT_EQ(1, WaitComplete(three).complete);
        const std::vector<ItemRecord> found = ReadAll(three, kListingFiles, kFiles / 2, 256);
        EXPECT_TRUE(std::all_of(found.begin(), found.end(), [](const ItemRecord& r) { return FromW(r.name).endsWith(".jpg"); }));
        listings->CloseListing(three);
    }

    // Asked as the window asks (the discs found, then the listing), a
    // listing counts its own text as the library is when the listing opens:
    // not the text of the discs' search, not the library before an import.
    LONG discs = -1;
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"1_", &discs));
    EXPECT_EQ(kFiles, OpenedSearchCounts(u"_").files);
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"_", &discs));
    EXPECT_EQ(kFiles, OpenedSearchCounts(u"_").files);
    const int second = AddTestDisc(e(), QStringLiteral("Second"), "L2");
    ASSERT_EQ(S_OK, e()->SearchDiscCount(u"_", &discs));
    FillDisc(second, 1000);
    EXPECT_EQ(2 * kFiles, OpenedSearchCounts(u"_").files);
}

TEST_P(ListingTest, ADiscDeletedUnderAListingGivesEmptyRecordsAndClosingTheLibraryEndsListings)
{
    // Blocks that hold entries of both discs, read after one disc went: its
    // entries come as empty records, the other's whole and in their places.
    LibraryListing listing = nullptr;
    ASSERT_EQ(S_OK, listings->OpenFolderListing(disc, 0, &listing));
    ASSERT_GT(WaitComplete(listing).files, 0);
    const int second = AddTestDisc(e(), QStringLiteral("Second"), "L2");
    FillDisc(second, kFolders);
    LibraryListing both = nullptr;
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"photo", &both));
    ASSERT_EQ(2 * kFiles, WaitComplete(both).files);
    const std::vector<ItemRecord> before = ReadAll(both, kListingFiles, 2 * kFiles, 400);
    ASSERT_EQ(S_OK, e()->DeleteDisc(disc, 0));
    const std::vector<ItemRecord> after = ReadAll(both, kListingFiles, 2 * kFiles, 400);
    for (size_t i = 0; i < after.size(); ++i) {
        if (before[i].discId == disc) {
            EXPECT_EQ(0, after[i].id) << i;
        } else {
            EXPECT_EQ(before[i].id, after[i].id) << i;
            EXPECT_EQ(FromW(before[i].name), FromW(after[i].name)) << i;
            EXPECT_EQ(QStringLiteral("Second"), FromW(after[i].discName)) << i;
        }
    }
    if (const ComPtr<ILibraryListedEntries> compact = Compact()) {
        const Listed listed = ReadListed(compact.Get(), both, kListingFiles, 2 * kFiles, 400, 1 << 16);
        for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].id, listed.entries[i].id) << i;
        if (Types()) ExpectCompactReadsAsRecords(both, kListingFiles, 2 * kFiles);
    }
    listings->CloseListing(both);

    ItemRecord record{};
    record.id = -1;
    LONG filled = 0;
    EXPECT_EQ(S_OK, listings->GetListingItems(listing, kListingFiles, 0, &record, 1, &filled));
    EXPECT_EQ(1, filled);
    EXPECT_EQ(0, record.id);

    // Listings still finding when the library closes are stopped with it.
    FillDisc(AddTestDisc(e(), QStringLiteral("Again"), "L3"), 5000);
    LibraryListing open = nullptr;
    ASSERT_EQ(S_OK, listings->OpenSearchListing(u"o", &open));
    EXPECT_EQ(S_OK, e()->Uninitialize());
    LibraryListingCounts counts{};
    EXPECT_EQ(E_INVALIDARG, listings->WaitListing(open, 1, 0, &counts));
}

} // namespace
