// A damaged library through albireo-cli: a disc of a thousand files is
// imported, pages of the file table are overwritten, and every command that
// meets the damage says so (exit code 1, the file's place, what to do)
// instead of answering with nothing; check and repair bring it back.
#include "CliRunner.h"
#include "LibraryDamage.h"
#include "TestEnvironment.h"

#include <QFile>
#include <gtest/gtest.h>

namespace {

constexpr int kFiles = 1000;

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
    QStringList lostNames;
    const int lost = DamageFileTable(library, &lostNames);
    ASSERT_GT(lost, 0);
    // A local folder holding files of the lost names: comparing meets the damage.
    QList<QPair<QString, int>> local;
    for (const QString& name : lostNames.mid(0, 3)) local.append({name, 1});
    const QString folder = TestImages::MakeTree(cli.Folder() + "/local", local);
    const QString exported = cli.Folder() + "/catalogue.html";
    for (const QStringList& command :
         {QStringList{"search", "file"}, QStringList{"search", "--json", "file"}, QStringList{"ls", "Many", "-R"},
          QStringList{"check"}, QStringList{"check", "--json"}, QStringList{"export"},
          QStringList{"export", "Many", "--format", "html", "--output", exported}, QStringList{"compare", folder},
          QStringList{"delete", "Many", "--yes"}}) {
        const CliResult result = cli.Run(command);
        EXPECT_EQ(1, result.exitCode) << qPrintable(command.join(' '));
        EXPECT_TRUE(result.err.contains(library) && result.err.contains("damaged") && result.err.contains("albireo-cli repair"))
            << qPrintable(result.err);
    }
    EXPECT_FALSE(QFile::exists(exported)) << "an export that failed leaves no file";
    EXPECT_FALSE(QFile::exists(exported + ".part"));

    const CliResult repaired = cli.Run({"repair"});
    ASSERT_EQ(0, repaired.exitCode) << qPrintable(repaired.err);
    EXPECT_TRUE(repaired.out.contains(QStringLiteral("Folders and files lost: %1").arg(lost))) << qPrintable(repaired.out);
    EXPECT_EQ(0, cli.Run({"check", "--full"}).exitCode);
    const CliResult found = cli.Run({"search", "."});
    EXPECT_EQ(0, found.exitCode);
    EXPECT_EQ(kFiles - lost, found.out.count(QStringLiteral("file\t")));
    EXPECT_EQ(1, cli.Run({"discs"}).Records().size()) << "the refused delete kept the disc";
}

} // namespace
