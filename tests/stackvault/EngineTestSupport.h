// Helpers for tests of the library engines: the engine loaded through
// CDllCom exactly as the program loads it, a fresh library per engine set
// (a file for the SQLite engine, a database on the test server for the
// engine on PostgreSQL), and builders for record batches in the scanner's
// row formats.
#pragma once
#include "CDllCom.h"
#include "ILibraryEngine.h"

#include <QString>
#include <QStringList>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

enum class EngineKind { Sqlite, Postgres };

// A test that runs against both engines from one source: its fixture
// derives from EngineTest, its cases are TEST_P, and
// INSTANTIATE_ENGINE_TESTS(Fixture) runs them once per engine. On
// PostgreSQL the test is skipped (saying why) only where the server
// programs are missing.
class EngineTest : public ::testing::TestWithParam<EngineKind> {
protected:
    void SetUp() override;
    bool OnServer() const { return GetParam() == EngineKind::Postgres; }

    QString library; // the library's place: a file path or a server address
};

std::string EngineName(const ::testing::TestParamInfo<EngineKind>& info);

#define INSTANTIATE_ENGINE_TESTS(Fixture)                                                                  \
    INSTANTIATE_TEST_SUITE_P(Engines, Fixture, ::testing::Values(EngineKind::Sqlite, EngineKind::Postgres), \
                             EngineName)

// UTF-16 pointer of a QString for the interface.
inline const char16_t* W(const QString& text) { return reinterpret_cast<const char16_t*>(text.utf16()); }
inline QString FromW(const char16_t* text) { return QString::fromUtf16(text); }

// Points the engine at a fresh database file; returns its path.
QString UseFreshDatabase();
// Points the engine at a fresh library of that engine; its place, empty
// when there is no test server.
QString UseFreshLibrary(EngineKind kind);
// The library the engine uses is consistent (no import may be open): for
// SQLite, the integrity check passes, each name index holds exactly the
// names of its table and the file spans are exactly those of the files; on
// the server, no open import, no hidden disc, and no gram, path link or gap
// of a disc that is gone.
void ExpectConsistentDatabase();

// Rows of a query on the database file through a connection of its own,
// the columns of each joined by '|'; and statements run on it.
QStringList RawRows(const QString& path, const char* sql);
void RawExec(const QString& path, const char* sql);

// One engine instance, created and initialised; released at the end.
class EngineInstance {
public:
    EngineInstance();
    ~EngineInstance();
    ILibraryEngine* operator->() const { return m_engine; }
    ILibraryEngine* get() const { return m_engine; }
    HRESULT InitializeResult() const { return m_initialize; }

private:
    CDllCom m_loader;
    ILibraryEngine* m_engine = nullptr;
    HRESULT m_initialize = E_FAIL;
};

// A value of the engine's settings ("Software\\Quorvel\\Flintwell13\\Stackvault"
// of the current user), removed again at the end of the scope.
class ScopedEngineSetting {
public:
    ScopedEngineSetting(const char16_t* name, const QString& text);
    ScopedEngineSetting(const char16_t* name, quint32 number);
    ~ScopedEngineSetting();
    ScopedEngineSetting(const ScopedEngineSetting&) = delete;
    ScopedEngineSetting& operator=(const ScopedEngineSetting&) = delete;

private:
    const char16_t* m_name;
};

struct Entry {
    int id;
    QString name;
    qint64 size;
    QString type;
    qint64 time;
    int disc;
    int label;
    int parent;
    int path;
};

QString Quoted(const QString& text);
QString EntryRow(const Entry& entry, bool withId = true);
QString PathRow(int id, const QString& text);
// Rows joined as the scanner joins them (" SELECT " or "  SELECT " first).
QString Batch(const QStringList& rows, bool folderBatch = false);

// A disc with made-up properties; returns its id.
int AddTestDisc(ILibraryEngine* engine, const QString& name, const char* identity, const QString& tagIds = {},
                int audioFlag = 0, int discClass = 1);

std::vector<FolderItemRecord> FolderItems(ILibraryEngine* engine, int disc, int folder);
std::vector<ItemRecord> FoundFiles(ILibraryEngine* engine, const QString& text);
// The places of the files a script's search finds (kListedPlacesOnly), in
// its order: "id name disc path" each; the listing's result in *result
// (else expected to be S_OK).
QStringList ListedPlaces(ILibraryEngine* engine, const QString& query, HRESULT* result = nullptr);
std::vector<ItemRecord> FoundFolders(ILibraryEngine* engine, const QString& text);
std::vector<DiscRecord> Discs(ILibraryEngine* engine);
std::vector<TagRecord> Tags(ILibraryEngine* engine);
QStringList Names(const std::vector<FolderItemRecord>& items);
QStringList Names(const std::vector<ItemRecord>& items);
// Writes a square PNG of the given size and colour; returns its path.
QString WritePicture(const QString& folder, const QString& name, int size, unsigned rgb);
