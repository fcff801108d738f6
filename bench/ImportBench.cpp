// Import benchmark: an image of 100,000 files in 5,000 folders is put into
// an image drive and imported into a fresh library with albireo-cli (and
// into an existing empty one, the usual case, printed beside it). Its
// time is printed as a ratio to the sum of two baselines measured in the
// same run: xorriso listing the same image, and raw SQLite inserting the
// same rows with prepared statements in one transaction. Then the same
// import into a library on a PostgreSQL server (a throwaway one started
// with tools/pg-test-server.sh), against the import into the file and
// against raw libpq copying the same rows (COPY, one transaction); and a
// search's first screen in both libraries.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <libpq-fe.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int kTopFolders = 50, kSubFolders = 99, kFilesPerSubFolder = 20, kFilesPerTopFolder = 20;
constexpr int kRuns = 3;

bool Run(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment = {})
{
    QProcess process;
    if (!environment.isEmpty()) process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(program, arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// Paths of the image: 50 folders with 99 subfolders each (5,000 folders),
// 20 files in every folder (100,000 files), all grafted from one file.
QString MakeImage(const QString& folder)
{
    const QString source = folder + "/one.dat", list = folder + "/paths.txt", image = folder + "/import.iso";
    if (QFile::exists(image)) return image;
    QFile(source).open(QIODevice::WriteOnly);
    QFile paths(list);
    paths.open(QIODevice::WriteOnly);
    auto files = [&](const QString& dir, int count) {
        for (int f = 0; f < count; ++f)
            paths.write(QString("%1/file%2.dat=%3\n").arg(dir).arg(f).arg(source).toUtf8());
    };
    for (int t = 0; t < kTopFolders; ++t) {
        files(QString("/top%1").arg(t), kFilesPerTopFolder);
        for (int s = 0; s < kSubFolders; ++s) files(QString("/top%1/sub%2").arg(t).arg(s), kFilesPerSubFolder);
    }
    paths.close();
    if (!Run("xorriso", {"-as", "mkisofs", "-R", "-J", "-graft-points", "-path-list", list, "-o", image})) return {};
    return image;
}

// The rows an import of the image writes: folders (kind 'D'), their paths
// ('P') and files ('F'), with ids, parent folder and path ids as the walk
// numbers them.
void ForEachRow(const std::function<void(char kind, int id, const QByteArray& name, int parent, int pathId)>& row)
{
    int fileId = 0, folderId = 0;
    auto files = [&](int parent, int pathId, int count) {
        for (int f = 0; f < count; ++f) row('F', ++fileId, QString("file%1.dat").arg(f).toUtf8(), parent, pathId);
    };
    for (int t = 0; t < kTopFolders; ++t) {
        const int top = ++folderId;
        const QByteArray topPath = QString("\\top%1").arg(t).toUtf8();
        row('D', top, topPath.mid(1), 0, 0);
        row('P', top, topPath, 0, 0);
        files(top, top, kFilesPerTopFolder);
        for (int s = 0; s < kSubFolders; ++s) {
            const int sub = ++folderId;
            const QByteArray subPath = topPath + QString("\\sub%1").arg(s).toUtf8();
            row('D', sub, QString("sub%1").arg(s).toUtf8(), top, top);
            row('P', sub, subPath, 0, 0);
            files(sub, sub, kFilesPerSubFolder);
        }
    }
}

// The raw baseline: the same folder, path and file rows through prepared
// statements in one transaction.
bool RawSqliteInsert(const QString& databasePath)
{
    QFile::remove(databasePath);
    sqlite3* db = nullptr;
    if (sqlite3_open(databasePath.toUtf8().constData(), &db) != SQLITE_OK) return false;
    sqlite3_exec(db,
                 "PRAGMA journal_mode=WAL;"
                 "CREATE TABLE files(id INTEGER PRIMARY KEY, name TEXT, size INTEGER, type TEXT, time INTEGER,"
                 " disc INTEGER, label INTEGER, folder INTEGER, path INTEGER);"
                 "CREATE TABLE folders(id INTEGER PRIMARY KEY, name TEXT, size INTEGER, type TEXT, time INTEGER,"
                 " disc INTEGER, label INTEGER, parent INTEGER, path INTEGER);"
                 "CREATE TABLE paths(id INTEGER PRIMARY KEY, text TEXT UNIQUE);"
                 "BEGIN",
                 nullptr, nullptr, nullptr);
    sqlite3_stmt *file = nullptr, *folder = nullptr, *path = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO files VALUES(?,?,?,?,?,?,?,?,?)", -1, &file, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO folders VALUES(?,?,?,?,?,?,?,?,?)", -1, &folder, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO paths VALUES(?,?)", -1, &path, nullptr);
    ForEachRow([&](char kind, int id, const QByteArray& name, int parent, int pathId) {
        sqlite3_stmt* statement = kind == 'F' ? file : kind == 'D' ? folder : path;
        sqlite3_bind_int(statement, 1, id);
        sqlite3_bind_text(statement, 2, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        if (kind != 'P') {
            sqlite3_bind_int64(statement, 3, 1);
            sqlite3_bind_text(statement, 4, kind == 'F' ? "File" : "Folder", -1, SQLITE_STATIC);
            sqlite3_bind_int64(statement, 5, 133000000000000000LL);
            sqlite3_bind_int(statement, 6, 1);
            sqlite3_bind_int(statement, 7, 4);
            sqlite3_bind_int(statement, 8, parent);
            sqlite3_bind_int(statement, 9, pathId);
        }
        sqlite3_step(statement);
        sqlite3_reset(statement);
    });
    sqlite3_finalize(file);
    sqlite3_finalize(folder);
    sqlite3_finalize(path);
    const bool committed = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return committed;
}

bool PgRun(PGconn* db, const QByteArray& sql)
{
    PGresult* result = PQexec(db, sql.constData());
    const ExecStatusType status = PQresultStatus(result);
    PQclear(result);
    return status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK || status == PGRES_COPY_IN;
}

bool FreshDatabase(const QString& server, const char* name)
{
    PGconn* admin = PQconnectdb((server + "/postgres").toUtf8().constData());
    const bool fresh = PQstatus(admin) == CONNECTION_OK &&
                       PgRun(admin, QByteArray("DROP DATABASE IF EXISTS ") + name) &&
                       PgRun(admin, QByteArray("CREATE DATABASE ") + name);
    PQfinish(admin);
    return fresh;
}

// The raw libpq baseline: the same rows into plain tables of a fresh
// database by COPY, in one transaction.
bool RawPgCopy(const QString& server)
{
    if (!FreshDatabase(server, "raw")) return false;
    PGconn* db = PQconnectdb((server + "/raw").toUtf8().constData());
    bool ok = PQstatus(db) == CONNECTION_OK &&
              PgRun(db, "CREATE TABLE files(id integer PRIMARY KEY, name text, size bigint, type text, time bigint,"
                        " disc integer, label integer, folder integer, path integer);"
                        "CREATE TABLE folders(id integer PRIMARY KEY, name text, size bigint, type text, time bigint,"
                        " disc integer, label integer, parent integer, path integer);"
                        "CREATE TABLE paths(id integer PRIMARY KEY, text text UNIQUE);"
                        "BEGIN");
    QByteArray rows[3]; // files, folders, paths as COPY text
    ForEachRow([&](char kind, int id, const QByteArray& name, int parent, int pathId) {
        const QByteArray escaped = QByteArray(name).replace("\\", "\\\\");
        if (kind == 'P') {
            rows[2] += QByteArray::number(id) + '\t' + escaped + '\n';
            return;
        }
        rows[kind == 'F' ? 0 : 1] += QByteArray::number(id) + '\t' + escaped + "\t1\t" + (kind == 'F' ? "File" : "Folder") +
                                     "\t133000000000000000\t1\t4\t" + QByteArray::number(parent) + '\t' +
                                     QByteArray::number(pathId) + '\n';
    });
    const char* copies[] = {"COPY files FROM STDIN", "COPY folders FROM STDIN", "COPY paths FROM STDIN"};
    for (int i = 0; ok && i < 3; ++i) {
        ok = PgRun(db, copies[i]) && PQputCopyData(db, rows[i].constData(), static_cast<int>(rows[i].size())) == 1 &&
             PQputCopyEnd(db, nullptr) == 1;
        PGresult* result = ok ? PQgetResult(db) : nullptr;
        ok = ok && PQresultStatus(result) == PGRES_COMMAND_OK;
        PQclear(result);
        while (PGresult* rest = PQgetResult(db)) PQclear(rest);
    }
    ok = ok && PgRun(db, "COMMIT");
    PQfinish(db);
    return ok;
}

// Best of kRuns, in seconds; negative when a run failed.
double BestOf(const std::function<bool()>& run, const std::function<void()>& prepare = [] {})
{
    double best = 1e30;
    for (int i = 0; i < kRuns; ++i) {
        prepare();
        QElapsedTimer timer;
        timer.start();
        if (!run()) return -1;
        best = std::min(best, timer.nsecsElapsed() / 1e9);
    }
    return best;
}

// The letter of the first image drive, from the tool's drive list.
QString ImageDriveLetter(const QString& cli, const QProcessEnvironment& environment)
{
    QProcess process;
    process.setProcessEnvironment(environment);
    process.start(cli, {"drives"});
    process.waitForFinished(-1);
    for (const QString& line : QString::fromUtf8(process.readAllStandardOutput()).split('\n'))
        if (line.contains("Image Drive")) return line.section('\t', 0, 0) + ":";
    return "D:";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication application(argc, argv);
    QTemporaryDir scratch;
    QStringList arguments = application.arguments().mid(1);
    // --file-only: the import into the library file alone, without a server.
    const bool fileOnly = arguments.removeAll(QStringLiteral("--file-only")) > 0;
    const QString folder = arguments.isEmpty() ? scratch.path() : arguments.first();
    QDir().mkpath(folder);
    const QString programFolder =
        qEnvironmentVariableIsEmpty("ALBIREO_PROGRAM_DIR") ? ALBIREO_BUILT_PROGRAM_DIR : qEnvironmentVariable("ALBIREO_PROGRAM_DIR");
    const QString cli = programFolder + "/albireo-cli";
    std::printf("Import of 100,000 files in 5,000 folders (work folder %s)\n", qPrintable(folder));
    const QString image = MakeImage(folder);
    if (image.isEmpty()) return std::fprintf(stderr, "xorriso could not make the image\n"), 1;

    const double peer = BestOf([&] { return Run("xorriso", {"-indev", image, "-find", "/"}); });
    const double raw = BestOf([&] { return RawSqliteInsert(folder + "/raw.db"); });

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString home = folder + "/albireo";
    environment.insert("XDG_CONFIG_HOME", home + "/config");
    environment.insert("XDG_DATA_HOME", home + "/data");
    environment.insert("ALBIREO_REGISTRY_USER", home + "/user.reg");
    environment.insert("ALBIREO_REGISTRY_MACHINE", home + "/machine.reg");
    const QString letter = ImageDriveLetter(cli, environment);
    // The import into a fresh library (`fresh`: made before the import,
    // e.g. an empty database) that the import creates, or into one that
    // exists already, empty, as a library is made once and then imported
    // into: the tool's `discs` creates it first.
    auto importTime = [&](const std::function<void()>& fresh, bool existing) {
        return BestOf([&] { return Run(cli, {"import", letter}, environment); },
                      [&] {
                          QDir(home).removeRecursively();
                          fresh();
                          Run(cli, {"insert", letter, image}, environment);
                          if (existing) Run(cli, {"discs"}, environment);
                      });
    };
    const double import = importTime([] {}, false), importExisting = importTime([] {}, true);
    const QStringList firstScreen = {"search", "sub4", "--limit", "50"}, count = {"search", "sub4", "--count"};
    const double fileScreen = BestOf([&] { return Run(cli, firstScreen, environment); });
    const double fileCount = BestOf([&] { return Run(cli, count, environment); });
    if (peer < 0 || raw < 0 || import < 0 || importExisting < 0 || fileScreen < 0 || fileCount < 0) return std::fprintf(stderr, "a run failed\n"), 1;
    std::printf("  xorriso -indev IMAGE -find /:       %.3f s\n", peer);
    std::printf("  raw SQLite insert of the same rows: %.3f s\n", raw);
    std::printf("  albireo-cli import:                 %.3f s\n", import);
    std::printf("  the same into an existing library:  %.3f s\n", importExisting);
    std::printf("  ratio import / (xorriso + raw SQLite): %.2f (goal: at most 1.5)\n", import / (peer + raw));
    std::printf("  ratio import / xorriso alone:          %.2f (goal: at most 1.0)\n", import / peer);

    if (fileOnly) return 0;
    // The same on a library server of the benchmark's own.
    const QString script = QStringLiteral(ALBIREO_SOURCE_DIR "/tools/pg-test-server.sh"), state = folder + "/pg";
    QFile address(state + "/address");
    if (!Run(script, {"start", state}) || !address.open(QIODevice::ReadOnly))
        return std::printf("No PostgreSQL server could be started: the library server was not measured.\n"), 0;
    const QString server = QString::fromUtf8(address.readAll()).trimmed();
    const double rawPg = BestOf([&] { return RawPgCopy(server); });
    environment.insert("ALBIREO_LIBRARY_DB", server + "/library");
    const auto freshDatabase = [&] { FreshDatabase(server, "library"); };
    const double serverImport = importTime(freshDatabase, false);
    const double serverImportExisting = importTime(freshDatabase, true);
    const double serverScreen = BestOf([&] { return Run(cli, firstScreen, environment); });
    const double serverCount = BestOf([&] { return Run(cli, count, environment); });
    Run(script, {"stop", state});
    if (rawPg < 0 || serverImport < 0 || serverImportExisting < 0 || serverScreen < 0 || serverCount < 0) return std::fprintf(stderr, "a run failed\n"), 1;
    std::printf("  raw libpq COPY of the same rows:    %.3f s\n", rawPg);
    std::printf("  albireo-cli import into the server: %.3f s\n", serverImport);
    std::printf("  the same into an existing library:  %.3f s\n", serverImportExisting);
    std::printf("  ratio server import / file import: %.2f (goal: at most 2)\n", serverImport / import);
    std::printf("  the same, both into an existing library: %.2f\n", serverImportExisting / importExisting);
    std::printf("  ratio server import / (xorriso + raw libpq): %.2f\n", serverImport / (peer + rawPg));
    std::printf("  search sub4 --limit 50: file %.3f s, server %.3f s, ratio %.2f (goal: at most 2)\n", fileScreen,
                serverScreen, serverScreen / fileScreen);
    std::printf("  search sub4 --count:    file %.3f s, server %.3f s, ratio %.2f (goal: at most 4)\n", fileCount,
                serverCount, serverCount / fileCount);
    return 0;
}
