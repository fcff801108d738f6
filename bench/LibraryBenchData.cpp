#include "LibraryBenchData.h"

#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <sqlite3.h>

namespace LibraryBench {

namespace {
const char* const kSyllables[] = {"ka", "lo", "mi", "ter", "san", "bel", "dor", "fen", "gra", "hul", "ion", "jas",
                                  "kor", "lin", "mar", "nes", "ova", "pra", "qui", "ros", "sul", "tam", "urb", "vel",
                                  "wen", "xan", "yor", "zed", "ber", "cal", "dia", "ero", "fal", "gin", "hei", "ist"};
const char* const kRealWords[] = {"Holiday", "Beach", "Summer", "Winter", "Report", "Invoice", "Family", "Birthday",
                                  "Wedding", "Concert", "Backup", "Project", "Draft", "Final", "Scan", "Letter",
                                  "Garden", "Mountain", "Café", "Straße", "Ärger", "Öl", "Ferien", "Noël"};
struct Kind {
    const char* extension;
    const char* type;
};
const Kind kKinds[] = {{"jpg", "JPEG image"}, {"JPG", "JPEG image"}, {"png", "PNG image"}, {"mp3", "MP3 audio"},
                       {"flac", "FLAC audio"}, {"docx", "Word document"}, {"pdf", "PDF document"},
                       {"txt", "Plain text document"}, {"mkv", "Matroska video"}, {"dll", "File"}, {"cab", "File"}};
} // namespace

NameSource::NameSource(uint32_t seed) : m_random(seed)
{
    for (const char* word : kRealWords) m_words.push_back(QString::fromUtf8(word));
    const int syllables = static_cast<int>(std::size(kSyllables));
    while (m_words.size() < 6000) {
        QString word;
        const int length = 2 + Number(2);
        for (int i = 0; i < length; ++i) word += QString::fromLatin1(kSyllables[Number(syllables)]);
        word[0] = word[0].toUpper();
        m_words.push_back(word);
    }
}

QString NameSource::Pick(const std::vector<QString>& list) { return list[m_random() % list.size()]; }

FileRow NameSource::Next(int id)
{
    const Kind& kind = kKinds[Number(static_cast<int>(std::size(kKinds)))];
    QString stem;
    switch (Number(4)) {
    case 0: stem = QStringLiteral("IMG_%1").arg(Number(10000), 4, 10, QLatin1Char('0')); break;
    case 1: stem = Pick(m_words) + QLatin1Char('_') + Pick(m_words) + QLatin1Char('_') + QString::number(Number(1000)); break;
    case 2: stem = Pick(m_words) + QLatin1Char(' ') + Pick(m_words) + QLatin1Char(' ') + QString::number(1990 + Number(35)); break;
    default: stem = QStringLiteral("%1 - ").arg(1 + Number(20), 2, 10, QLatin1Char('0')) + Pick(m_words); break;
    }
    FileRow row;
    row.id = id;
    row.name = stem + QLatin1Char('.') + QString::fromLatin1(kind.extension);
    row.size = 1000 + Number(5000000);
    row.type = QString::fromLatin1(kind.type);
    row.time = 130000000000000000LL + static_cast<int64_t>(Number(1000000000)) * 1000;
    row.folder = 1 + id / 200; // 200 files a folder
    row.path = row.folder;
    return row;
}

QString BatchText(const std::vector<FileRow>& rows, int discId, int labelId)
{
    QString batch;
    batch.reserve(static_cast<qsizetype>(rows.size()) * 110);
    const QString tail = QStringLiteral(", %1, %2, ").arg(discId).arg(labelId);
    for (const FileRow& row : rows) {
        batch += batch.isEmpty() ? QStringLiteral(" SELECT ") : QStringLiteral(" UNION SELECT ");
        QString name = row.name;
        name.replace(QLatin1Char('\''), QStringLiteral("''"));
        batch += QString::number(row.id) + QStringLiteral(", '") + name + QStringLiteral("', ") +
                 QString::number(row.size) + QStringLiteral(", '") + row.type + QStringLiteral("', ") +
                 QString::number(row.time) + tail + QString::number(row.folder) + QStringLiteral(", ") +
                 QString::number(row.path);
    }
    return batch;
}

double Seconds(std::chrono::steady_clock::duration duration) { return std::chrono::duration<double>(duration).count(); }

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t n = values.size();
    return n == 0 ? 0 : n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

Engine::Engine(const QString& databasePath)
{
    qputenv("ALBIREO_LIBRARY_DB", databasePath.toLocal8Bit());
    if (qEnvironmentVariableIsEmpty("ALBIREO_PROGRAM_DIR")) qputenv("ALBIREO_PROGRAM_DIR", ALBIREO_BUILT_PROGRAM_DIR);
    HRESULT hr = m_loader.CreateLibraryEngine(&m_engine);
    if (SUCCEEDED(hr)) hr = m_engine->Initialize(0, 1, 0);
    m_ready = SUCCEEDED(hr);
    if (!m_ready) std::fprintf(stderr, "engine: %08X\n", static_cast<unsigned>(hr));
}

Engine::~Engine()
{
    if (m_engine) {
        m_engine->Uninitialize();
        m_engine->Release();
    }
}

int ImportDisc(Engine& engine, const char* identity, int files, int* nextId)
{
    constexpr size_t kBatchRows = 600;
    engine->AddDisc(identity, u"", u"", u"", u"Bench", u"", 0, 2, 0, files, 0, 0, u"");
    LONG disc = 0, label = 0;
    engine->GetLastAddedDisc(&disc, &label);
    LibraryImportHandle handle = nullptr;
    engine->OpenImportHandle(&handle);
    NameSource names;
    std::vector<FileRow> batch;
    for (int done = 0; done < files; done += int(batch.size())) {
        batch.clear();
        for (int i = 0; batch.size() < kBatchRows && done + i < files; ++i) batch.push_back(names.Next((*nextId)++));
        const QString text = BatchText(batch, disc, 4);
        if (FAILED(engine->InsertFileRows(handle, reinterpret_cast<const char16_t*>(text.utf16()), 1))) std::exit(1);
    }
    if (FAILED(engine->CloseImportHandle(handle))) std::exit(1);
    return disc;
}

void FillOneDisc(const QString& path, int files)
{
    Engine engine(path);
    if (!engine.IsReady()) std::exit(1);
    int nextId = 1;
    ImportDisc(engine, "BENCH", files, &nextId);
}

double StatusMegabytes(const char* field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) return 0;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field)) return line.mid(qstrlen(field)).trimmed().split(' ').first().toDouble() / 1024;
    return 0;
}

void ResetPeak()
{
    QFile clear(QStringLiteral("/proc/self/clear_refs"));
    if (clear.open(QIODevice::WriteOnly)) clear.write("5");
}

QString LoadAverage()
{
    QFile load(QStringLiteral("/proc/loadavg"));
    if (!load.open(QIODevice::ReadOnly)) return QStringLiteral("?");
    return QString::fromLatin1(load.readAll().split(' ').mid(0, 3).join(' '));
}

sqlite3* OpenRaw(const QString& databasePath)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databasePath.toLocal8Bit().constData(), &db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK) {
        std::fprintf(stderr, "cannot open %s\n", qPrintable(databasePath));
        std::exit(1);
    }
    sqlite3_busy_timeout(db, 60000);
    Exec(db, "PRAGMA journal_mode=WAL; PRAGMA synchronous=NORMAL; PRAGMA temp_store=MEMORY; PRAGMA cache_size=-16384");
    return db;
}

void Exec(sqlite3* db, const char* sql)
{
    char* error = nullptr;
    if (sqlite3_exec(db, sql, nullptr, nullptr, &error) != SQLITE_OK) {
        std::fprintf(stderr, "%s: %s\n", sql, error ? error : "?");
        std::exit(1);
    }
}

int64_t FileSize(const QString& path) { return QFileInfo(path).size(); }

std::string SpaceByTable(sqlite3* db)
{
    sqlite3_stmt* query = nullptr;
    std::string text;
    if (sqlite3_prepare_v2(db, "SELECT name, sum(pgsize) AS bytes FROM dbstat GROUP BY name ORDER BY bytes DESC", -1,
                           &query, nullptr) != SQLITE_OK)
        return "(dbstat not available)\n";
    while (sqlite3_step(query) == SQLITE_ROW) {
        const double megabytes = sqlite3_column_int64(query, 1) / 1e6;
        if (megabytes < 0.5) continue;
        char line[200];
        std::snprintf(line, sizeof line, "    %-28s %8.1f MB\n", reinterpret_cast<const char*>(sqlite3_column_text(query, 0)),
                      megabytes);
        text += line;
    }
    sqlite3_finalize(query);
    return text;
}

} // namespace LibraryBench
