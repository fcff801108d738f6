// Import benchmark: an image of 100,000 files in 5,000 folders is put into
// an image drive and imported into a fresh library with albireo-cli. Its
// time is printed as a ratio to the sum of two baselines measured in the
// same run: xorriso listing the same image, and raw SQLite inserting the
// same rows with prepared statements in one transaction.
#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
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
    auto insert = [](sqlite3_stmt* statement, int id, const QByteArray& name, const char* type, int parent, int pathId) {
        sqlite3_bind_int(statement, 1, id);
        sqlite3_bind_text(statement, 2, name.constData(), static_cast<int>(name.size()), SQLITE_TRANSIENT);
        sqlite3_bind_int64(statement, 3, 1);
        sqlite3_bind_text(statement, 4, type, -1, SQLITE_STATIC);
        sqlite3_bind_int64(statement, 5, 133000000000000000LL);
        sqlite3_bind_int(statement, 6, 1);
        sqlite3_bind_int(statement, 7, 4);
        sqlite3_bind_int(statement, 8, parent);
        sqlite3_bind_int(statement, 9, pathId);
        sqlite3_step(statement);
        sqlite3_reset(statement);
    };
    auto insertPath = [&](int id, const QByteArray& text) {
        sqlite3_bind_int(path, 1, id);
        sqlite3_bind_text(path, 2, text.constData(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
        sqlite3_step(path);
        sqlite3_reset(path);
    };
    int fileId = 0, folderId = 0;
    auto files = [&](int parent, int pathId, int count) {
        for (int f = 0; f < count; ++f) insert(file, ++fileId, QString("file%1.dat").arg(f).toUtf8(), "File", parent, pathId);
    };
    for (int t = 0; t < kTopFolders; ++t) {
        const int top = ++folderId;
        const QByteArray topPath = QString("\\top%1").arg(t).toUtf8();
        insert(folder, top, topPath.mid(1), "Folder", 0, 0);
        insertPath(top, topPath);
        files(top, top, kFilesPerTopFolder);
        for (int s = 0; s < kSubFolders; ++s) {
            const int sub = ++folderId;
            const QByteArray subPath = topPath + QString("\\sub%1").arg(s).toUtf8();
            insert(folder, sub, QString("sub%1").arg(s).toUtf8(), "Folder", top, top);
            insertPath(sub, subPath);
            files(sub, sub, kFilesPerSubFolder);
        }
    }
    sqlite3_finalize(file);
    sqlite3_finalize(folder);
    sqlite3_finalize(path);
    const bool committed = sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr) == SQLITE_OK;
    sqlite3_close(db);
    return committed;
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
    const QString folder = argc > 1 ? QString::fromLocal8Bit(argv[1]) : scratch.path();
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
    const double import = BestOf([&] { return Run(cli, {"import", letter}, environment); },
                                 [&] {
                                     QDir(home).removeRecursively();
                                     Run(cli, {"insert", letter, image}, environment);
                                 });
    if (peer < 0 || raw < 0 || import < 0) return std::fprintf(stderr, "a run failed\n"), 1;
    std::printf("  xorriso -indev IMAGE -find /:       %.3f s\n", peer);
    std::printf("  raw SQLite insert of the same rows: %.3f s\n", raw);
    std::printf("  albireo-cli import:                 %.3f s\n", import);
    std::printf("  ratio import / (xorriso + raw SQLite): %.2f (goal: at most 1.5)\n", import / (peer + raw));
    std::printf("  ratio import / xorriso alone:          %.2f (goal: at most 1.0)\n", import / peer);
    return 0;
}
