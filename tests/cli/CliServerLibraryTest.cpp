// albireo-cli on a library kept on a PostgreSQL server: the address where
// the library file's path goes is all it takes; a server that cannot be
// reached is said in plain words; a library file copied to the server and
// back answers every listing exactly as before, and a copy that cannot be
// made leaves its destination as it was.
#include "CliRunner.h"
#include "PgTestServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QThread>
#include <gtest/gtest.h>
#include <memory>

namespace {

// The paths of "path<TAB>..." lines, sorted.
QStringList Paths(const QStringList& lines)
{
    QStringList paths;
    for (const QString& line : lines) paths << line.section('\t', 0, 0);
    paths.sort();
    return paths;
}

TEST(CliServerLibrary, AServerAddressImportsAndSearchesLikeAFile)
{
    const QString library = PgTestServer::FreshDatabase();
    if (library.isEmpty()) END_TEST_WITHOUT_PG_SERVER();
    CliRunner cli;
    cli.UseLibrary(library);
    const QString letter = cli.ImageDriveLetter();
    ASSERT_FALSE(letter.isEmpty());
    const QString tree = TestImages::MakeTree(cli.Folder(), {{"Fotos/Straße.jpg", 10}, {"Fotos/Äpfel.png", 20}, {"liesmich.txt", 5}});
    const QString image = TestImages::MakeIso(tree, cli.Folder() + "/server.iso", "SERVERDISC");
    ASSERT_EQ(0, cli.Run({"insert", letter, image}).exitCode);
    const CliResult imported = cli.Run({"import", letter, "--name", "Urlaub"});
    ASSERT_EQ(0, imported.exitCode) << qPrintable(imported.err);

    const CliResult discs = cli.Run({"discs"});
    EXPECT_EQ(0, discs.exitCode) << qPrintable(discs.err);
    EXPECT_TRUE(discs.out.contains("Urlaub")) << qPrintable(discs.out);
    const CliResult found = cli.Run({"search", "äPFEL"});
    EXPECT_EQ(0, found.exitCode) << qPrintable(found.err);
    EXPECT_TRUE(found.out.contains(QStringLiteral("Äpfel.png"))) << qPrintable(found.out);
    EXPECT_EQ(Paths(TestImages::ListTree(tree)), Paths(cli.Run({"ls", "Urlaub", "-R"}).Lines()));
    // Nothing was written beside the program: the library is on the server.
    EXPECT_FALSE(QFile::exists(cli.Folder() + "/data/Albireo/library.db"));
}

// What a library answers: its discs, each disc's tree and tags, and searches
// that take every way of matching (short, long, folded letters).
QStringList Answers(CliRunner& cli, const QString& library)
{
    cli.UseLibrary(library);
    auto run = [&](const QStringList& arguments) {
        const CliResult result = cli.Run(arguments);
        EXPECT_EQ(0, result.exitCode) << qPrintable(arguments.join(' ') + " on " + library + ": " + result.err);
        return result.out;
    };
    QStringList answers{run({"discs"})};
    for (const char* disc : {"#1", "#2", "#3"}) answers << run({"ls", disc, "-R"}) << run({"tags", disc});
    for (const char* text : {"s", "ss", "STRASSE", "straß", "äp", "ë", "track", "'"})
        answers << run({"search", text});
    return answers;
}

TEST(CliServerLibrary, ACopyToTheServerAndBackAnswersExactlyAsTheOriginal)
{
    const QString server = PgTestServer::FreshDatabase();
    if (server.isEmpty()) END_TEST_WITHOUT_PG_SERVER();
    CliRunner cli;
    const QString original = cli.Folder() + "/original.db";
    cli.UseLibrary(original);
    const QString letter = cli.ImageDriveLetter();
    ASSERT_FALSE(letter.isEmpty());
    const QString tree = TestImages::MakeTree(cli.Folder(), {{"Fotos/Straße.jpg", 10}, {"Fotos/Äpfel.png", 20},
                                                             {"Noël/l'été/Zoë.txt", 30}, {"liesmich.txt", 5}},
                                              {"leer"});
    for (const auto& [image, name] : {std::pair{TestImages::MakeIso(tree, cli.Folder() + "/data.iso", "DATADISC"), "Urlaub"},
                                      std::pair{TestImages::MakeAudioCue(cli.Folder(), 3, 1), "Musik"}}) {
        ASSERT_EQ(0, cli.Run({"insert", letter, image}).exitCode);
        const CliResult imported = cli.Run({"import", letter, "--name", name, "--tags", "Reise,Familie"});
        ASSERT_EQ(0, imported.exitCode) << qPrintable(imported.err);
    }
    const QString empty = TestImages::MakeTree(cli.Folder() + "/empty", {});
    ASSERT_EQ(0, cli.Run({"insert", letter, TestImages::MakeIso(empty, cli.Folder() + "/empty.iso", "EMPTY")}).exitCode);
    ASSERT_EQ(0, cli.Run({"import", letter}).exitCode);
    QImage cover(300, 200, QImage::Format_RGB32);
    cover.fill(Qt::darkCyan);
    ASSERT_TRUE(cover.save(cli.Folder() + "/cover.png"));
    const CliResult labelled = cli.Run({"label", "Urlaub", cli.Folder() + "/cover.png"});
    ASSERT_EQ(0, labelled.exitCode) << qPrintable(labelled.err);
    const QStringList before = Answers(cli, original);

    const CliResult up = cli.Run({"copy-library", original, server});
    ASSERT_EQ(0, up.exitCode) << qPrintable(up.err);
    EXPECT_EQ(QStringList({"discs\t3", "folders\t4", "files\t7"}), up.Lines());
    EXPECT_TRUE(up.err.contains("copying disc 3 of 3")) << qPrintable(up.err);
    EXPECT_EQ(before, Answers(cli, server));
    const QString back = cli.Folder() + "/back.db";
    const CliResult down = cli.Run({"copy-library", server, back});
    ASSERT_EQ(0, down.exitCode) << qPrintable(down.err);
    EXPECT_EQ(before, Answers(cli, back));

    // A library that is not empty is refused and keeps what it holds.
    const CliResult again = cli.Run({"copy-library", original, server});
    EXPECT_EQ(1, again.exitCode);
    EXPECT_TRUE(again.err.contains("not empty")) << qPrintable(again.err);
    EXPECT_EQ(before, Answers(cli, server));
    EXPECT_EQ(2, cli.Run({"copy-library", original, cli.Folder() + "/../" + QFileInfo(cli.Folder()).fileName() + "/original.db"}).exitCode);
    // A role that may only read is told so, and nothing is copied.
    const QString reader = PgTestServer::FreshDatabase();
    cli.UseLibrary(reader);
    ASSERT_EQ(0, cli.Run({"discs"}).exitCode); // creates the tables as the server's owner
    PgTestServer::Execute(reader, "CREATE ROLE copy_reader LOGIN");
    ASSERT_TRUE(PgTestServer::Execute(reader, "GRANT SELECT ON ALL TABLES IN SCHEMA public TO copy_reader"));
    const CliResult refused = cli.Run({"copy-library", original, PgTestServer::AsUser(reader, "copy_reader")});
    EXPECT_EQ(1, refused.exitCode);
    EXPECT_TRUE(refused.err.contains("cannot be written")) << qPrintable(refused.err);
    EXPECT_EQ(0, PgTestServer::Number(reader, "SELECT count(*) FROM discs"));

    const CliResult missing = cli.Run({"copy-library", cli.Folder() + "/nothing.db", server});
    EXPECT_EQ(1, missing.exitCode);
    EXPECT_FALSE(QFile::exists(cli.Folder() + "/nothing.db"));
}

TEST(CliServerLibrary, AServerStoppedMidImportIsSaidPlainlyAndTheLibraryStaysWhole)
{
    if (PgTestServer::Address().isEmpty()) END_TEST_WITHOUT_PG_SERVER();
    CliRunner cli;
    // A server of this test's own: the shared one serves other tests meanwhile.
    const QString state = cli.Folder() + "/server";
    const std::shared_ptr<void> stopServer(nullptr, [&](void*) { PgTestServer::OwnServer("stop", state); });
    ASSERT_TRUE(PgTestServer::OwnServer("start", state));
    QFile addressFile(state + "/address");
    ASSERT_TRUE(addressFile.open(QIODevice::ReadOnly));
    const QString server = QString::fromUtf8(addressFile.readAll()).trimmed();
    ASSERT_TRUE(PgTestServer::Execute(server + "/postgres", "CREATE DATABASE library"));
    const QString library = server + "/library";
    cli.UseLibrary(library);
    ASSERT_EQ(0, cli.Run({"discs"}).exitCode);
    const QString letter = cli.ImageDriveLetter();
    QDir().mkpath(cli.Folder() + "/many");
    ASSERT_EQ(0, cli.Run({"insert", letter, TestImages::MakeManyFilesIso(cli.Folder() + "/many", 60000, 300)}).exitCode);

    std::unique_ptr<QProcess> import(cli.Start({"import", letter, "--name", "Halted"}));
    const QString writing = "SELECT count(*) FROM discs WHERE import_id IS NOT NULL";
    while (PgTestServer::Number(library, writing) < 1 && import->state() != QProcess::NotRunning) QThread::msleep(10);
    ASSERT_NE(QProcess::NotRunning, import->state()) << "the import ended before its rows were written";
    ASSERT_TRUE(PgTestServer::OwnServer("halt", state));
    ASSERT_TRUE(import->waitForFinished(120000));
    const QString said = QString::fromUtf8(import->readAllStandardError());
    EXPECT_EQ(1, import->exitCode()) << qPrintable(said);
    EXPECT_TRUE(said.contains("cannot be reached")) << qPrintable(said);

    // Back up, the server holds nothing of the disc and no unfinished import.
    ASSERT_TRUE(PgTestServer::OwnServer("start", state));
    const CliResult discs = cli.Run({"discs"});
    EXPECT_EQ(0, discs.exitCode) << qPrintable(discs.err);
    EXPECT_EQ(QString(), discs.out);
    EXPECT_EQ(QStringList(), PgTestServer::Inconsistencies(library));
    EXPECT_EQ(0, PgTestServer::Number(library, "SELECT count(*) FROM discs"));
}

TEST(CliServerLibrary, AServerThatCannotBeReachedIsSaidPlainly)
{
    CliRunner cli;
    cli.UseLibrary(QStringLiteral("postgresql://albireo@127.0.0.1:1/library")); // nothing listens on port 1
    const CliResult result = cli.Run({"discs"});
    EXPECT_EQ(1, result.exitCode);
    EXPECT_TRUE(result.err.contains("cannot be reached")) << qPrintable(result.err);
}

} // namespace
