// A damaged library through albireo-cli: a disc of a thousand files is
// imported, pages of the file table are overwritten, and every command that
// meets the damage says so (exit code 1, the file's place, what to do)
// instead of answering with nothing; check and repair bring it back.
#include "CliRunner.h"
#include "TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>
#include <sqlite3.h>

namespace {

constexpr int kFiles = 1000;

// Overwrites the middle three leaf pages of the file table; returns how
// many rows they held.
int DamageFileTable(const QString& library)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(library).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* query = nullptr;
    sqlite3_prepare_v2(db, "SELECT pageno, ncell FROM dbstat WHERE name = 'files' AND pagetype = 'leaf' ORDER BY path",
                       -1, &query, nullptr);
    std::vector<std::pair<qint64, int>> leaves;
    while (sqlite3_step(query) == SQLITE_ROW) leaves.emplace_back(sqlite3_column_int64(query, 0), sqlite3_column_int(query, 1));
    sqlite3_finalize(query);
    sqlite3_close(db);
    QFile file(library);
    if (leaves.size() < 5 || !file.open(QIODevice::ReadWrite)) return 0;
    int rows = 0;
    for (size_t i = leaves.size() / 2; i < leaves.size() / 2 + 3; ++i) {
        file.seek((leaves[i].first - 1) * 4096);
        file.write(QByteArray(4096, '\x5A'));
        rows += leaves[i].second;
    }
    return rows;
}

TEST(CliDamage, EveryCommandSaysTheLibraryIsDamagedAndRepairBringsBackTheRest)
{
    CliRunner cli;
    const QString letter = cli.ImageDriveLetter();
    ASSERT_FALSE(letter.isEmpty());
    const QString image = TestImages::MakeManyFilesIso(cli.Folder(), kFiles, 10);
    ASSERT_EQ(0, cli.Run({"insert", letter, image}).exitCode);
    const CliResult imported = cli.Run({"import", letter, "--name", "Many"});
    ASSERT_EQ(0, imported.exitCode) << qPrintable(imported.err);
    ASSERT_EQ(0, cli.Run({"check", "--full"}).exitCode);

    const QString library = cli.Folder() + QStringLiteral("/data/Albireo/library.db");
    const int lost = DamageFileTable(library);
    ASSERT_GT(lost, 0);
    for (const QStringList& command : {QStringList{"search", "file"}, QStringList{"ls", "Many", "-R"}, QStringList{"check"}}) {
        const CliResult result = cli.Run(command);
        EXPECT_EQ(1, result.exitCode) << qPrintable(command.join(' '));
        EXPECT_TRUE(result.err.contains(library) && result.err.contains("damaged") && result.err.contains("albireo-cli repair"))
            << qPrintable(result.err);
    }

    const CliResult repaired = cli.Run({"repair"});
    ASSERT_EQ(0, repaired.exitCode) << qPrintable(repaired.err);
    EXPECT_TRUE(repaired.out.contains(QStringLiteral("Folders and files lost: %1").arg(lost))) << qPrintable(repaired.out);
    EXPECT_EQ(0, cli.Run({"check", "--full"}).exitCode);
    const CliResult found = cli.Run({"search", "."});
    EXPECT_EQ(0, found.exitCode);
    EXPECT_EQ(kFiles - lost, found.out.count(QStringLiteral("file\t")));
}

} // namespace
