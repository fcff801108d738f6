// What only a library on a database server has: roles that may only read,
// and the failures of reaching the server, each with its own result so
// the program can word it.
#include "EngineTestSupport.h"
#include "ILibraryEngineStatus.h"
#include "ILibraryListings.h"
#include "LibraryServerErrors.h"
#include "PgTestServer.h"

#include "TestEnvironment.h"

#include <QCoreApplication>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

namespace {

class ServerLibraryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        library = UseFreshLibrary(EngineKind::Postgres);
        if (library.isEmpty()) END_TEST_WITHOUT_PG_SERVER();
    }

    // The result of opening the library at `address`.
    static HRESULT OpenResult(const QString& address)
    {
        qputenv("ALBIREO_LIBRARY_DB", address.toUtf8());
        EngineInstance engine;
        return engine.InitializeResult();
    }

    QString library;
};

// Folders and files named "beach" on a disc named "Summer": a folder in
// the root, one inside it, and a file in each of them and in the root.
void AddBeachDisc(ILibraryEngine* engine)
{
    const int disc = AddTestDisc(engine, QStringLiteral("Summer"), "S");
    LibraryImportHandle handle = nullptr;
    ASSERT_EQ(S_OK, engine->OpenImportHandle(&handle));
    const QString outer = QStringLiteral("\\Beach 2024"), inner = outer + QStringLiteral("\\beach towels");
    ASSERT_EQ(S_OK, engine->InsertPathRows(handle, W(Batch({PathRow(1, outer), PathRow(2, inner)})), 1));
    ASSERT_EQ(S_OK, engine->InsertFolderRows(handle, W(Batch({EntryRow({1, QStringLiteral("Beach 2024"), 0, QStringLiteral("Folder"), 1, disc, 4, 0, 0}),
                                                              EntryRow({2, QStringLiteral("beach towels"), 0, QStringLiteral("Folder"), 1, disc, 4, 1, 1})},
                                                             true)),
                                             1));
    ASSERT_EQ(S_OK, engine->InsertFileRows(handle, W(Batch({EntryRow({1, QStringLiteral("beach.jpg"), 5, QStringLiteral("File"), 1, disc, 4, 0, 0}),
                                                            EntryRow({2, QStringLiteral("Beach.png"), 6, QStringLiteral("File"), 2, disc, 4, 1, 1}),
                                                            EntryRow({3, QStringLiteral("beach-2.png"), 7, QStringLiteral("File"), 3, disc, 4, 2, 2})})),
                                           1));
    ASSERT_EQ(S_OK, engine->CloseImportHandle(handle));
}

// What the window reads for a search of "beach", one line per disc,
// folder and file found (with its path's text); the failure of the first
// call that failed, if any.
HRESULT ReadBeachSearch(ILibraryEngine* engine, QStringList* lines)
{
    lines->clear();
    LONG discs = 0;
    HRESULT hr = engine->SearchDiscCount(u"summer", &discs);
    if (FAILED(hr)) return hr;
    std::vector<DiscRecord> found(static_cast<size_t>(discs));
    hr = engine->SearchDiscs(u"summer", found.data(), discs);
    for (const DiscRecord& disc : found) *lines << FromW(disc.name);
    ILibraryListings* listings = nullptr;
    if (SUCCEEDED(hr)) hr = engine->QueryInterface(IID_ILibraryListings, reinterpret_cast<void**>(&listings));
    if (FAILED(hr)) return hr;
    LibraryListing listing = nullptr;
    LibraryListingCounts counts{};
    hr = listings->OpenSearchListing(u"beach", &listing);
    while (SUCCEEDED(hr) && (hr = listings->WaitListing(listing, 1 << 20, 1000, &counts)) == S_FALSE) {
    }
    for (const LONG kind : {kListingFolders, kListingFiles}) {
        const LONG count = kind == kListingFolders ? counts.folders : counts.files;
        std::vector<ItemRecord> records(static_cast<size_t>(count));
        LONG filled = 0;
        if (SUCCEEDED(hr)) hr = listings->GetListingItems(listing, kind, 0, records.data(), count, &filled);
        for (LONG i = 0; SUCCEEDED(hr) && i < filled; ++i) {
            const ItemRecord& record = records[size_t(i)];
            char16_t path[kLibraryTextLength] = {};
            hr = engine->GetPathText(record.pathId, path);
            *lines << QStringLiteral("%1 %2 %3 on %4 in %5 (%6)").arg(record.id).arg(FromW(record.name)).arg(record.size)
                          .arg(FromW(record.discName)).arg(record.pathId).arg(FromW(path));
        }
    }
    if (listing) listings->CloseListing(listing);
    listings->Release();
    return hr;
}

// The roles as the README sets them up: the writer owns the database and
// creates the tables; what it creates is readable by the reader.
TEST_F(ServerLibraryTest, AReadingRoleBrowsesAndSearchesButChangesNothing)
{
    const QString server = library.left(library.lastIndexOf(QLatin1Char('/')));
    const QString database = QStringLiteral("roles_%1").arg(QCoreApplication::applicationPid());
    for (const char* role : {"albireo_writer", "albireo_reader"})
        PgTestServer::Execute(server + QStringLiteral("/postgres"), QStringLiteral("CREATE ROLE %1 LOGIN").arg(QLatin1String(role)));
    PgTestServer::Execute(server + QStringLiteral("/postgres"), QStringLiteral("DROP DATABASE IF EXISTS ") + database);
    ASSERT_TRUE(PgTestServer::Execute(server + QStringLiteral("/postgres"),
                                      QStringLiteral("CREATE DATABASE %1 OWNER albireo_writer").arg(database)));
    const QString asWriter = PgTestServer::AsUser(server, QStringLiteral("albireo_writer")) + '/' + database;
    ASSERT_TRUE(PgTestServer::Execute(asWriter, QStringLiteral("ALTER DEFAULT PRIVILEGES GRANT SELECT ON TABLES TO albireo_reader")));

    int disc = 0;
    {
        qputenv("ALBIREO_LIBRARY_DB", asWriter.toUtf8());
        EngineInstance writer;
        ASSERT_EQ(S_OK, writer.InitializeResult());
        ASSERT_EQ(S_OK, writer->AddTag(u"Holiday", nullptr));
        disc = AddTestDisc(writer.get(), QStringLiteral("Summer"), "S");
        LibraryImportHandle handle = nullptr;
        ASSERT_EQ(S_OK, writer->OpenImportHandle(&handle));
        ASSERT_EQ(S_OK, writer->InsertFileRows(
                            handle, W(Batch({EntryRow({1, QStringLiteral("beach.jpg"), 5, QStringLiteral("File"), 1, disc, 4, 0, 0})})), 1));
        ASSERT_EQ(S_OK, writer->CloseImportHandle(handle));
    }

    qputenv("ALBIREO_LIBRARY_DB", (PgTestServer::AsUser(server, QStringLiteral("albireo_reader")) + '/' + database).toUtf8());
    EngineInstance reader;
    ASSERT_EQ(LIBRARY_S_READ_ONLY, reader.InitializeResult());
    EXPECT_EQ(1u, Discs(reader.get()).size());
    EXPECT_EQ(QStringList{QStringLiteral("beach.jpg")}, Names(FoundFiles(reader.get(), QStringLiteral("BEACH"))));
    EXPECT_EQ(1u, FolderItems(reader.get(), disc, 0).size());

    LibraryImportHandle handle = nullptr;
    LONG id = 0;
    EXPECT_EQ(E_ACCESSDENIED, reader->OpenImportHandle(&handle));
    EXPECT_EQ(E_ACCESSDENIED, reader->AddTag(u"Work", &id));
    EXPECT_EQ(E_ACCESSDENIED, reader->AddDisc("R", u"", u"", u"", u"Refused", u"", 0, 1, 1, 1, 1, 1, u""));
    EXPECT_EQ(E_ACCESSDENIED, reader->SetDiscTags(disc, u"1"));
    EXPECT_EQ(E_ACCESSDENIED, reader->DeleteDisc(disc, 0));
    ILibraryEngineStatus* status = nullptr;
    ASSERT_EQ(S_OK, reader->QueryInterface(IID_ILibraryEngineStatus, reinterpret_cast<void**>(&status)));
    HRESULT why = S_OK;
    EXPECT_EQ(S_OK, status->GetWriteFailure(&why));
    EXPECT_EQ(E_ACCESSDENIED, why);
    status->Release();

    const auto discs = Discs(reader.get());
    ASSERT_EQ(1u, discs.size());
    EXPECT_EQ(QStringLiteral("Summer"), FromW(discs[0].name));
    EXPECT_EQ(QStringLiteral("Holiday"), FromW(Tags(reader.get()).at(0).name));
    EXPECT_EQ(1u, Tags(reader.get()).size());
}

TEST_F(ServerLibraryTest, EachWayOfNotReachingTheLibraryHasItsOwnResult)
{
    {
        EngineInstance creator; // writes the tables
        ASSERT_EQ(S_OK, creator.InitializeResult());
    }
    // Nothing listens on port 1.
    EXPECT_EQ(LIBRARY_E_SERVER_UNREACHABLE, OpenResult(QStringLiteral("postgresql://albireo@127.0.0.1:1/library")));
    EXPECT_EQ(LIBRARY_E_LOGIN_REFUSED, OpenResult(PgTestServer::AsUser(library, QStringLiteral("nobody_known"))));
    const QString missing = library.left(library.lastIndexOf(QLatin1Char('/'))) + QStringLiteral("/no_such_library");
    EXPECT_EQ(LIBRARY_E_NO_DATABASE, OpenResult(missing));

    // A library a later program migrated further is left as it is.
    const QString version = QStringLiteral("SELECT max(version) FROM library_schema");
    const long long later = PgTestServer::Number(library, version) + 1;
    ASSERT_TRUE(PgTestServer::Execute(library, QStringLiteral("UPDATE library_schema SET version = %1").arg(later)));
    EXPECT_EQ(LIBRARY_E_SCHEMA_NEWER, OpenResult(library));
    EXPECT_EQ(later, PgTestServer::Number(library, version));
}

// A server that goes away while the library is open: every call says it
// cannot be reached, for as long as it is away, and the same instance works
// again once the server is back.
TEST_F(ServerLibraryTest, AnOpenLibraryWaitsOutAServerThatIsAwayForAWhile)
{
    const QString state = TestEnvironment::MakeFolder(QStringLiteral("server"));
    const std::shared_ptr<void> stopServer(nullptr, [&](void*) { PgTestServer::OwnServer(QStringLiteral("stop"), state); });
    ASSERT_TRUE(PgTestServer::OwnServer(QStringLiteral("start"), state));
    QFile addressFile(state + QStringLiteral("/address"));
    ASSERT_TRUE(addressFile.open(QIODevice::ReadOnly));
    const QString server = QString::fromUtf8(addressFile.readAll()).trimmed();
    ASSERT_TRUE(PgTestServer::Execute(server + QStringLiteral("/postgres"), QStringLiteral("CREATE DATABASE library")));
    qputenv("ALBIREO_LIBRARY_DB", (server + QStringLiteral("/library")).toUtf8());
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    LONG id = 0;
    ASSERT_EQ(S_OK, engine->AddTag(u"Before", &id));

    ASSERT_TRUE(PgTestServer::OwnServer(QStringLiteral("halt"), state));
    LONG count = 0;
    for (int call = 0; call < 3; ++call) EXPECT_EQ(LIBRARY_E_SERVER_UNREACHABLE, engine->GetTagCount(&count)) << call;
    EXPECT_EQ(LIBRARY_E_SERVER_UNREACHABLE, engine->AddTag(u"Away", &id));

    ASSERT_TRUE(PgTestServer::OwnServer(QStringLiteral("start"), state));
    ASSERT_EQ(S_OK, engine->AddTag(u"After", &id));
    LONG found = 0, visible = 0;
    EXPECT_EQ(S_OK, engine->FindTag(&found, &visible, u"Before"));
    EXPECT_GT(found, 0);
    EXPECT_EQ(S_OK, engine->FindTag(&found, &visible, u"Away"));
    EXPECT_EQ(0, found);
}

// The statements every search runs are prepared on the engine's
// connection once: after the server dropped that connection, and after the
// columns they read changed type, a search reads what it read before.
TEST_F(ServerLibraryTest, ASearchReadsTheSameAfterItsConnectionWasDroppedOrItsColumnsChanged)
{
    EngineInstance engine;
    ASSERT_EQ(S_OK, engine.InitializeResult());
    AddBeachDisc(engine.get());
    QStringList first, again;
    ASSERT_EQ(S_OK, ReadBeachSearch(engine.get(), &first));
    EXPECT_EQ(6, first.size()) << first.join(u'\n').toStdString(); // the disc, 2 folders, 3 files
    EXPECT_TRUE(first.contains(QStringLiteral("2 beach towels 0 on Summer in 2 (\\Beach 2024\\beach towels)")))
        << first.join(u'\n').toStdString();
    // The server plans a prepared statement once for all after a few runs.
    for (int run = 0; run < 7; ++run) {
        ASSERT_EQ(S_OK, ReadBeachSearch(engine.get(), &again)) << run;
        EXPECT_EQ(first, again) << run;
    }

    const QString others = QStringLiteral("SELECT count(pg_terminate_backend(pid)) FROM pg_stat_activity"
                                          " WHERE datname = current_database() AND pid <> pg_backend_pid()");
    ASSERT_GT(PgTestServer::Number(library, others), 0);
    LONG count = 0;
    engine->SearchDiscCount(u"summer", &count); // finds the connection gone; the next call connects again
    ASSERT_EQ(S_OK, ReadBeachSearch(engine.get(), &again));
    EXPECT_EQ(first, again);

    ASSERT_TRUE(PgTestServer::Execute(library, QStringLiteral("ALTER TABLE discs ALTER COLUMN name TYPE varchar(300);"
                                                              " ALTER TABLE folders ALTER COLUMN name TYPE varchar(300)")));
    ASSERT_EQ(S_OK, ReadBeachSearch(engine.get(), &again));
    EXPECT_EQ(first, again);
}

} // namespace
