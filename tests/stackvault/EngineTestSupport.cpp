#include "EngineTestSupport.h"

#include "ComPtr.h"
#include "ILibraryListedEntries.h"
#include "ILibraryListings.h"
#include "LibraryLocation.h"
#include "LibrarySchema.h"
#include "NameBlocks.h"
#include "PgTestServer.h"
#include "Registry.h"
#include "SqliteConnection.h"
#include "TestEnvironment.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <gtest/gtest.h>
#include <sqlite3.h>

QString UseFreshDatabase()
{
    const QString path = TestEnvironment::MakeFolder(QStringLiteral("library")) + QStringLiteral("/library.db");
    qputenv("ALBIREO_LIBRARY_DB", path.toLocal8Bit());
    return path;
}

QString UseFreshLibrary(EngineKind kind)
{
    if (kind == EngineKind::Sqlite) return UseFreshDatabase();
    const QString address = PgTestServer::FreshDatabase();
    if (!address.isEmpty()) qputenv("ALBIREO_LIBRARY_DB", address.toUtf8());
    return address;
}

void EngineTest::SetUp()
{
    library = UseFreshLibrary(GetParam());
    if (library.isEmpty()) END_TEST_WITHOUT_PG_SERVER();
}

std::string EngineName(const ::testing::TestParamInfo<EngineKind>& info)
{
    return info.param == EngineKind::Sqlite ? "Sqlite" : "Postgres";
}

namespace {
QStringList Rows(sqlite3* db, const QByteArray& sql)
{
    sqlite3_stmt* statement = nullptr;
    EXPECT_EQ(SQLITE_OK, sqlite3_prepare_v2(db, sql.constData(), -1, &statement, nullptr)) << sql.constData();
    QStringList rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        QStringList columns;
        for (int i = 0; i < sqlite3_column_count(statement); ++i)
            columns.append(QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(statement, i))));
        rows.append(columns.join(QLatin1Char('|')));
    }
    sqlite3_finalize(statement);
    return rows;
}

// The name index of `table` holds exactly the trigrams of the case-folded
// names of its rows, at their places, for every disc not being imported
// (an open import's rows may be indexed in part).
void ExpectNameIndexOfEveryName(sqlite3* db, const QByteArray& table, const QByteArray& index)
{
    const QByteArray terms = "temp." + index + "_terms";
    sqlite3_exec(db, "CREATE VIRTUAL TABLE IF NOT EXISTS " + terms + " USING fts5vocab(main, " + index + ", instance)",
                 nullptr, nullptr, nullptr);
    const QByteArray importing =
        "(SELECT id FROM " + table + " WHERE disc_id IN (SELECT id FROM discs WHERE import_id IS NOT NULL))";
    QStringList expected;
    for (const QString& row : Rows(db, "SELECT id || '|' || name FROM " + table + " WHERE id NOT IN " + importing)) {
        const QString id = row.section(QLatin1Char('|'), 0, 0);
        const QList<uint> folded = row.section(QLatin1Char('|'), 1).toCaseFolded().toUcs4();
        for (qsizetype at = 0; at + 3 <= folded.size(); ++at)
            expected.append(id + QLatin1Char('|') + QString::number(at) + QLatin1Char('|') +
                            QString::fromUcs4(reinterpret_cast<const char32_t*>(folded.constData() + at), 3));
    }
    QStringList indexed = Rows(db, "SELECT doc, offset, term FROM " + terms + " WHERE doc NOT IN " + importing);
    expected.sort();
    indexed.sort();
    EXPECT_EQ(expected, indexed) << index.constData();
}

// A library that keeps file spans has one for each folder with files, from
// its lowest to its highest file id, and no other.
void ExpectFileSpansOfEveryFolder(sqlite3* db)
{
    if (Rows(db, "SELECT 1 FROM sqlite_schema WHERE name = 'file_spans'").isEmpty()) return;
    EXPECT_EQ(Rows(db, "SELECT disc_id, folder_id, min(id), max(id) FROM files GROUP BY disc_id, folder_id ORDER BY 1, 2"),
              Rows(db, "SELECT disc_id, folder_id, first_id, last_id FROM file_spans ORDER BY 1, 2"));
}
} // namespace

// Every file of a finished disc in the blocks of names, as its row holds it.
void ExpectNameBlocksOfEveryFile(const QString& path)
{
    SqliteConnection db;
    ASSERT_EQ(S_OK, db.OpenReadOnly(path));
    if (!LibrarySchema::ReadsNameBlocks(db)) return; // none, or still being made
    QString finding;
    EXPECT_EQ(S_OK, NameBlocks(db).Check(&finding)) << finding.toStdString();
}

void ExpectConsistentDatabase()
{
    const QString place = qEnvironmentVariable("ALBIREO_LIBRARY_DB");
    if (LibraryLocation::IsServerAddress(place)) {
        EXPECT_EQ(QStringList(), PgTestServer::Inconsistencies(place));
        return;
    }
    sqlite3* db = nullptr;
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(qgetenv("ALBIREO_LIBRARY_DB").constData(), &db, SQLITE_OPEN_READWRITE, nullptr));
    sqlite3_busy_timeout(db, 10000);
    for (const char* check : {"INSERT INTO file_names(file_names, rank) VALUES('integrity-check', 1)",
                              "INSERT INTO folder_names(folder_names, rank) VALUES('integrity-check', 1)",
                              "PRAGMA integrity_check"}) {
        char* error = nullptr;
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, check, nullptr, nullptr, &error)) << check << ": " << (error ? error : "");
        sqlite3_free(error);
    }
    ExpectNameIndexOfEveryName(db, "files", "file_names");
    ExpectNameIndexOfEveryName(db, "folders", "folder_names");
    ExpectFileSpansOfEveryFolder(db);
    sqlite3_close(db);
    ExpectNameBlocksOfEveryFile(place);
}

EngineInstance::EngineInstance()
{
    if (SUCCEEDED(m_loader.CreateLibraryEngine(&m_engine))) m_initialize = m_engine->Initialize(0, 1, 0);
}

EngineInstance::~EngineInstance()
{
    if (m_engine) {
        m_engine->Uninitialize();
        m_engine->Release();
    }
}

QString Quoted(const QString& text)
{
    QString escaped = text;
    escaped.replace(QLatin1Char('\''), QStringLiteral("''"));
    return QLatin1Char('\'') + escaped + QLatin1Char('\'');
}

QString EntryRow(const Entry& e, bool withId)
{
    QString row = withId ? QString::number(e.id) + QStringLiteral(", ") : QString();
    row += Quoted(e.name) + QStringLiteral(", ") + QString::number(e.size) + QStringLiteral(", ") + Quoted(e.type) +
           QStringLiteral(", ") + QString::number(e.time);
    for (int value : {e.disc, e.label, e.parent, e.path}) row += QStringLiteral(", ") + QString::number(value);
    return row;
}

QStringList RawRows(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_busy_timeout(db, 10000);
    const QStringList rows = Rows(db, sql);
    sqlite3_close(db);
    return rows;
}

void RawExec(const QString& path, const char* sql)
{
    sqlite3* db = nullptr;
    sqlite3_open(QFile::encodeName(path).constData(), &db);
    EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, sql, nullptr, nullptr, nullptr)) << sqlite3_errmsg(db);
    sqlite3_close(db);
}

namespace {
constexpr char16_t kEngineKey[] = u"Software\\Quorvel\\Flintwell13\\Stackvault";

void SetEngineValue(const char16_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CURRENT_USER, kEngineKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr));
    EXPECT_EQ(ERROR_SUCCESS, RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}
} // namespace

ScopedEngineSetting::ScopedEngineSetting(const char16_t* name, const QString& text) : m_name(name)
{
    SetEngineValue(name, REG_SZ, text.utf16(), static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
}

ScopedEngineSetting::ScopedEngineSetting(const char16_t* name, quint32 number) : m_name(name)
{
    const DWORD value = number;
    SetEngineValue(name, REG_DWORD, &value, sizeof(value));
}

ScopedEngineSetting::~ScopedEngineSetting()
{
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kEngineKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
    RegDeleteValueW(key, m_name);
    RegCloseKey(key);
}

QString PathRow(int id, const QString& text) { return QString::number(id) + QStringLiteral(", ") + Quoted(text); }

QString Batch(const QStringList& rows, bool folderBatch)
{
    QString batch;
    for (const QString& row : rows) {
        if (batch.isEmpty())
            batch = (folderBatch ? QStringLiteral("  SELECT ") : QStringLiteral(" SELECT ")) + row;
        else
            batch += QStringLiteral(" UNION SELECT ") + row;
    }
    return batch;
}

int AddTestDisc(ILibraryEngine* engine, const QString& name, const char* identity, const QString& tagIds,
                int audioFlag, int discClass)
{
    EXPECT_EQ(S_OK, engine->AddDisc(identity, u"", u"", u"", W(name), W(tagIds), audioFlag, discClass, 3, 10,
                                    123456789, 700000000, u"05/04/2023 10:20:30"));
    LONG disc = 0, label = 0;
    EXPECT_EQ(S_OK, engine->GetLastAddedDisc(&disc, &label));
    return disc;
}

std::vector<FolderItemRecord> FolderItems(ILibraryEngine* engine, int disc, int folder)
{
    LONG count = -1;
    EXPECT_EQ(S_OK, engine->GetFolderItemCount(disc, folder, &count));
    std::vector<FolderItemRecord> items(std::max<LONG>(count, 0));
    EXPECT_EQ(S_OK, engine->GetFolderItems(disc, folder, items.data(), count));
    return items;
}

std::vector<ItemRecord> FoundFiles(ILibraryEngine* engine, const QString& text)
{
    LONG count = -1;
    EXPECT_EQ(S_OK, engine->SearchFileCount(W(text), &count));
    std::vector<ItemRecord> items(std::max<LONG>(count, 0));
    EXPECT_EQ(S_OK, engine->SearchFiles(W(text), items.data(), count));
    return items;
}

std::vector<ItemRecord> FoundFolders(ILibraryEngine* engine, const QString& text)
{
    LONG count = -1;
    EXPECT_EQ(S_OK, engine->SearchFolderCount(W(text), &count));
    std::vector<ItemRecord> items(std::max<LONG>(count, 0));
    EXPECT_EQ(S_OK, engine->SearchFolders(W(text), items.data(), count));
    return items;
}

std::vector<DiscRecord> Discs(ILibraryEngine* engine)
{
    LONG count = -1;
    EXPECT_EQ(S_OK, engine->GetDiscCount(&count));
    std::vector<DiscRecord> discs(std::max<LONG>(count, 0));
    EXPECT_EQ(S_OK, engine->GetDiscs(discs.data(), count));
    return discs;
}

std::vector<TagRecord> Tags(ILibraryEngine* engine)
{
    LONG count = -1;
    EXPECT_EQ(S_OK, engine->GetTagCount(&count));
    std::vector<TagRecord> tags(std::max<LONG>(count, 0));
    EXPECT_EQ(S_OK, engine->GetTags(tags.data(), count));
    return tags;
}

QStringList Names(const std::vector<FolderItemRecord>& items)
{
    QStringList names;
    for (const auto& item : items) names.append(FromW(item.name));
    return names;
}

QStringList Names(const std::vector<ItemRecord>& items)
{
    QStringList names;
    for (const auto& item : items) names.append(FromW(item.name));
    return names;
}

QString WritePicture(const QString& folder, const QString& name, int size, unsigned rgb)
{
    QImage image(size, size, QImage::Format_ARGB32);
    image.fill(QColor::fromRgb(rgb));
    const QString path = folder + QLatin1Char('/') + name;
    image.save(path, "PNG");
    return path;
}

QStringList ListedPlaces(ILibraryEngine* engine, const QString& query, HRESULT* result)
{
    ComPtr<ILibraryListings> listings;
    ComPtr<ILibraryListedEntries> compact;
    EXPECT_EQ(S_OK, engine->QueryInterface(IID_ILibraryListings, listings.PutVoid()));
    EXPECT_EQ(S_OK, engine->QueryInterface(IID_ILibraryListedEntries, compact.PutVoid()));
    LibraryListing listing = nullptr;
    EXPECT_EQ(S_OK, compact->OpenSearchEntries(W(query), kListedFiles | kListedPlacesOnly, &listing));
    LibraryListingCounts counts{};
    HRESULT waited = S_FALSE;
    while ((waited = listings->WaitListing(listing, 1 << 30, 1000, &counts)) == S_FALSE) {
    }
    if (result) {
        *result = waited;
    } else {
        EXPECT_EQ(S_OK, waited) << query.toStdString();
    }
    QStringList places;
    ListedEntry entries[64];
    char names[1 << 14];
    LONG filled = 0;
    for (LONG first = 0; compact->GetListedEntries(listing, kListingFiles, first, entries, 64, names, sizeof names,
                                                   &filled) == S_OK && filled > 0;
         first += filled)
        for (LONG i = 0; i < filled; ++i)
            places.append(QStringLiteral("%1 %2 %3 %4")
                              .arg(entries[i].id)
                              .arg(QString::fromUtf8(names + entries[i].nameOffset, entries[i].nameBytes))
                              .arg(entries[i].discId)
                              .arg(entries[i].pathId));
    if (waited == S_OK) {
        EXPECT_EQ(counts.files, places.size()) << query.toStdString();
    }
    listings->CloseListing(listing);
    return places;
}
