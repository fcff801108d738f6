// Two albireo-cli imports into one library (a file, or a library server) at
// the same time: the library lets one write at a time, the other waits
// (saying for whom, cancellable), both end with exactly their image's
// entries, which a third process sees; reading never waits.
#include "CliRunner.h"
#include "PgTestServer.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>
#include <sqlite3.h>

namespace {

// Rounds by default; ALBIREO_SOAK=1 runs the full twenty.
int Rounds() { return qEnvironmentVariableIntValue("ALBIREO_SOAK") ? 20 : 2; }

QString LibraryPath(const CliRunner& cli) { return cli.Folder() + "/data/Albireo/library.db"; }

// SQLite's and the name indexes' integrity checks of the tool's library.
void ExpectIntactLibrary(const CliRunner& cli)
{
    sqlite3* db = nullptr;
    const QByteArray path = LibraryPath(cli).toLocal8Bit();
    ASSERT_EQ(SQLITE_OK, sqlite3_open_v2(path.constData(), &db, SQLITE_OPEN_READWRITE, nullptr));
    for (const char* check : {"INSERT INTO file_names(file_names, rank) VALUES('integrity-check', 1)",
                              "INSERT INTO folder_names(folder_names, rank) VALUES('integrity-check', 1)",
                              "PRAGMA integrity_check"})
        EXPECT_EQ(SQLITE_OK, sqlite3_exec(db, check, nullptr, nullptr, nullptr)) << check;
    sqlite3_close(db);
}

// Waits until the process's standard error holds `text` (or it ends); all it read.
QString ReadErrorUntil(QProcess& process, const QString& text)
{
    QString seen;
    while (!seen.contains(text) && process.state() != QProcess::NotRunning) {
        process.waitForReadyRead(200);
        seen += QString::fromUtf8(process.readAllStandardError());
    }
    return seen + QString::fromUtf8(process.readAllStandardError());
}

class CliConcurrentImport : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_images = TestEnvironment::MakeFolder(QStringLiteral("images"));
        QDir().mkpath(m_images + "/a");
        QDir().mkpath(m_images + "/b");
    }

    // A runner with two image drives holding the two images.
    static std::unique_ptr<CliRunner> TwoDrives(const QString& first, const QString& second, QString letters[2])
    {
        auto cli = std::make_unique<CliRunner>();
        cli->SetImageDriveCount(2);
        letters[0] = cli->ImageDriveLetter(0);
        letters[1] = cli->ImageDriveLetter(1);
        EXPECT_EQ(0, cli->Run({"insert", letters[0], first}).exitCode);
        EXPECT_EQ(0, cli->Run({"insert", letters[1], second}).exitCode);
        return cli;
    }

    QString m_images;
};

// Into a library file, and into a library on a PostgreSQL server.
class CliConcurrentImportInto : public CliConcurrentImport, public ::testing::WithParamInterface<bool> {
protected:
    bool OnServer() const { return GetParam(); }
};

INSTANTIATE_TEST_SUITE_P(Libraries, CliConcurrentImportInto, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Server" : "File"; });

TEST_P(CliConcurrentImportInto, BothImportsSucceedWithExactlyTheirEntries)
{
    const QString first = TestImages::MakeManyFilesIso(m_images + "/a", 6000, 40);
    const QString second = TestImages::MakeManyFilesIso(m_images + "/b", 700, 7);
    QString letters[2];
    const auto cli = TwoDrives(first, second, letters);
    QRandomGenerator random(QRandomGenerator::global()->generate());
    for (int round = 0; round < Rounds(); ++round) {
        QString server;
        if (OnServer()) {
            server = PgTestServer::FreshDatabase();
            if (server.isEmpty()) END_TEST_WITHOUT_PG_SERVER();
            cli->UseLibrary(server);
        }
        for (const char* suffix : {"", "-wal", "-shm"}) QFile::remove(LibraryPath(*cli) + suffix);
        const int offset = static_cast<int>(random.bounded(250));
        SCOPED_TRACE(testing::Message() << "round " << round << ", second started after " << offset << " ms");
        std::unique_ptr<QProcess> a(cli->Start({"import", letters[0], "--name", "First"}));
        QThread::msleep(static_cast<unsigned long>(offset));
        std::unique_ptr<QProcess> b(cli->Start({"import", letters[1], "--name", "Second"}));
        for (QProcess* process : {a.get(), b.get()}) {
            ASSERT_TRUE(process->waitForFinished(300000));
            EXPECT_EQ(0, process->exitCode()) << process->readAllStandardError().constData();
        }
        EXPECT_EQ(2, cli->Run({"discs"}).Lines().size());
        EXPECT_EQ(6040, cli->Run({"ls", "First", "\\", "-R"}).Lines().size());
        EXPECT_EQ(707, cli->Run({"ls", "Second", "\\", "-R"}).Lines().size());
        const QStringList found = cli->Run({"search", "file"}).Lines();
        EXPECT_EQ(6000, found.filter("file\tFirst\t").size());
        EXPECT_EQ(700, found.filter("file\tSecond\t").size());
        if (OnServer())
            EXPECT_EQ(QStringList(), PgTestServer::Inconsistencies(server));
        else
            ExpectIntactLibrary(*cli);
    }
}

// The slot is held by a helper process that half imports and waits, so
// that the tool certainly meets a running import.
TEST_F(CliConcurrentImport, AWaitingImportSaysWhoImportsCancelsAndGoesOnWhenTheHolderDies)
{
    const QString image = TestImages::MakeManyFilesIso(m_images + "/a", 10, 1);
    CliRunner cli;
    const QString letter = cli.ImageDriveLetter();
    ASSERT_EQ(0, cli.Run({"insert", letter, image}).exitCode);
    QProcess holder;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("ALBIREO_LIBRARY_DB", LibraryPath(cli));
    holder.setProcessEnvironment(environment);
    holder.start(TestEnvironment::TestBinary(QStringLiteral("stackvault_import_child")), {QStringLiteral("importing")});
    ASSERT_TRUE(holder.waitForReadyRead(20000)) << holder.readAllStandardError().constData();
    const QString expected = QStringLiteral("Another import into this library is running (stackvault_impo, process %1).")
                                 .arg(holder.processId());

    std::unique_ptr<QProcess> cancelled(cli.Start({"import", letter}));
    const QString said = ReadErrorUntil(*cancelled, "Waiting");
    EXPECT_TRUE(said.contains(expected)) << qPrintable(said);
    // Reading answers while the import runs.
    const CliResult discs = cli.Run({"discs"});
    EXPECT_EQ(0, discs.exitCode) << qPrintable(discs.err);
    EXPECT_EQ(0, cli.Run({"search", "file1"}).exitCode);
    ASSERT_TRUE(CliRunner::Interrupt(*cancelled)) << "the tool ended before Ctrl-C";
    ASSERT_TRUE(cancelled->waitForFinished(60000));
    EXPECT_EQ(1, cancelled->exitCode());
    EXPECT_TRUE(cancelled->readAllStandardError().contains("cancelled"));

    std::unique_ptr<QProcess> waiting(cli.Start({"import", letter, "--name", "After"}));
    ReadErrorUntil(*waiting, "Waiting");
    holder.kill();
    holder.waitForFinished();
    ASSERT_TRUE(waiting->waitForFinished(60000));
    EXPECT_EQ(0, waiting->exitCode()) << waiting->readAllStandardError().constData();
    const QStringList after = cli.Run({"discs"}).Lines();
    ASSERT_EQ(1, after.size());
    EXPECT_TRUE(after[0].contains("After"));
    EXPECT_EQ(11, cli.Run({"ls", "After", "\\", "-R"}).Lines().size());
    ExpectIntactLibrary(cli);
}

} // namespace
