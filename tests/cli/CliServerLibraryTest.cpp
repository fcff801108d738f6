// albireo-cli on a library kept on a PostgreSQL server: the address where
// the library file's path goes is all it takes; a server that cannot be
// reached is said in plain words.
#include "CliRunner.h"
#include "PgTestServer.h"

#include <QFile>
#include <gtest/gtest.h>

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
    if (library.isEmpty()) GTEST_SKIP() << "no PostgreSQL test server: " << PgTestServer::WhyMissing().toStdString();
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

TEST(CliServerLibrary, AServerThatCannotBeReachedIsSaidPlainly)
{
    CliRunner cli;
    cli.UseLibrary(QStringLiteral("postgresql://albireo@127.0.0.1:1/library")); // nothing listens on port 1
    const CliResult result = cli.Run({"discs"});
    EXPECT_EQ(1, result.exitCode);
    EXPECT_TRUE(result.err.contains("cannot be reached")) << qPrintable(result.err);
}

} // namespace
