// End to end through the real components: images made here are put into
// image drives and imported with albireo-cli; the library must then hold
// exactly what the image holds.
#include "CliEndToEndFixture.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QElapsedTimer>
#include <QThread>
#include <gtest/gtest.h>

namespace {

void ExpectRisingProgress(const QString& lines)
{
    int last = -1;
    for (const QString& line : lines.split('\n'))
        if (line.endsWith('%')) {
            const int value = line.chopped(1).toInt();
            EXPECT_GE(value, last);
            last = value;
        }
}

TEST_F(CliEndToEnd, DataIsoIsCataloguedExactlyAndRefusedTheSecondTime)
{
    const QString tree = TestImages::MakeTree(m_folder, {{"README.TXT", 120},
                                                         {"it's here/notes.txt", 5},
                                                         {"it's here/deeper/data.bin", 70000},
                                                         {"Ünïcödé/ß.txt", 3}},
                                              {"empty folder"});
    const QString image = TestImages::MakeIso(tree, m_folder + "/data.iso", "MY_DISC");
    const CliResult imported = Import(image, {"--tags", "Music,Holiday"});
    ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.err);

    const CliResult discs = m_cli.Run({"discs"});
    ASSERT_EQ(discs.Lines().size(), 1);
    const QStringList disc = discs.Lines()[0].split('\t');
    ASSERT_EQ(disc.size(), 6);
    EXPECT_EQ(disc[1], "MY_DISC"); // the volume label is the default name
    EXPECT_EQ(disc[2].size(), 32);
    EXPECT_EQ(disc[3], "4"); // folders
    EXPECT_EQ(disc[4], "4"); // files
    EXPECT_EQ(disc[5], "complete");

    const CliResult listing = m_cli.Run({"ls", "MY_DISC", "-R"});
    ASSERT_EQ(listing.exitCode, 0) << qPrintable(listing.err);
    EXPECT_EQ(WithoutTimes(listing.Lines()), TestImages::ListTree(tree));
    QStringList paths;
    for (const QString& line : listing.Lines()) paths << line.section('\t', 0, 0);
    paths.sort();
    EXPECT_EQ(paths, TestImages::PeerListing(image)); // an independent reader agrees
    for (const QString& line : listing.Lines())
        EXPECT_TRUE(line.section('\t', 2).endsWith("Z")) << qPrintable(line); // ISO 8601 UTC

    const CliResult sub = m_cli.Run({"ls", disc[0], "\\it's here"});
    EXPECT_EQ(WithoutTimes(sub.Lines()), QStringList({"\\it's here\\deeper\\\t0", "\\it's here\\notes.txt\t5"}));

    const CliResult again = m_cli.Run({"import", m_letter});
    EXPECT_EQ(again.exitCode, 3);
    EXPECT_FALSE(again.err.trimmed().isEmpty());
    EXPECT_EQ(m_cli.Run({"discs"}).Lines().size(), 1);

    const CliResult found = m_cli.Run({"search", "NOTES"});
    EXPECT_EQ(found.Lines(), QStringList({"file\tMY_DISC\t\\it's here\\notes.txt"}));
    EXPECT_EQ(m_cli.Run({"search", "deep"}).Lines(), QStringList({"folder\tMY_DISC\t\\it's here\\deeper\\"}));
    EXPECT_EQ(m_cli.Run({"search", "ß"}).Lines().size(), 1);
}

TEST_F(CliEndToEnd, AudioCdGivesOneRowPerTrack)
{
    const QString cue = TestImages::MakeAudioCue(m_folder, 12, 2);
    const CliResult imported = Import(cue, {"--name", "Twelve"});
    ASSERT_EQ(imported.exitCode, 0) << qPrintable(imported.err);
    const QStringList lines = m_cli.Run({"ls", "Twelve"}).Lines();
    ASSERT_EQ(lines.size(), 12);
    EXPECT_TRUE(lines[0].startsWith("\\Track01.cda\t1000\t"));
    EXPECT_TRUE(lines[11].startsWith("\\Track12.cda\t1000\t"));
    EXPECT_EQ(lines[0].section('\t', 2), lines[11].section('\t', 2)); // one time for all tracks

    // Without a name given, the sheet's TITLE names the disc (a sheet an
    // older tool wrote in Latin-1 is read as such), else "Audio CD".
    ASSERT_EQ(Import(TestImages::MakeAudioCue(m_folder + "/titled", 3, 2, "Caf\xe9 Live")).exitCode, 0);
    EXPECT_EQ(m_cli.Run({"ls", QString::fromUtf8("Caf\u00e9 Live")}).Lines().size(), 3);
    ASSERT_EQ(Import(TestImages::MakeAudioCue(m_folder + "/untitled", 4, 2)).exitCode, 0);
    EXPECT_EQ(m_cli.Run({"ls", "Audio CD"}).Lines().size(), 4);
}

TEST_F(CliEndToEnd, UdfBridgeAndEmptyDiscsImport)
{
    const QString tree = TestImages::MakeTree(m_folder, {{"VIDEO_TS/VIDEO_TS.IFO", 2048}, {"a b/c.txt", 1}});
    const CliResult udf = Import(TestImages::MakeUdfBridge(tree, m_folder + "/udf.iso", "UDF_DISC"));
    ASSERT_EQ(udf.exitCode, 0) << qPrintable(udf.err);
    EXPECT_EQ(WithoutTimes(m_cli.Run({"ls", "UDF_DISC", "-R"}).Lines()), TestImages::ListTree(tree));

    QDir().mkpath(m_folder + "/nothing");
    const CliResult empty = Import(TestImages::MakeIso(m_folder + "/nothing", m_folder + "/empty.iso", "EMPTY"));
    ASSERT_EQ(empty.exitCode, 0) << qPrintable(empty.err);
    EXPECT_TRUE(m_cli.Run({"ls", "EMPTY", "-R"}).Lines().isEmpty());
    EXPECT_EQ(m_cli.Run({"discs"}).Lines().size(), 2);
}

TEST_F(CliEndToEnd, SameImageInTwoDrivesHasOneIdentity)
{
    CliRunner twoDrives;
    twoDrives.SetImageDriveCount(2);
    const QString first = twoDrives.ImageDriveLetter(0), second = twoDrives.ImageDriveLetter(1);
    ASSERT_FALSE(second.isEmpty());
    ASSERT_NE(first, second);
    const QString tree = TestImages::MakeTree(twoDrives.Folder(), {{"x.txt", 10}});
    const QString image = TestImages::MakeIso(tree, twoDrives.Folder() + "/x.iso", "X");
    ASSERT_EQ(twoDrives.Run({"insert", first, image}).exitCode, 0);
    ASSERT_EQ(twoDrives.Run({"insert", second, image}).exitCode, 0);
    const CliResult a = twoDrives.Run({"identity", first}), b = twoDrives.Run({"identity", second});
    ASSERT_EQ(a.exitCode, 0) << qPrintable(a.err);
    EXPECT_EQ(a.out.trimmed().size(), 32);
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(twoDrives.Run({"eject", first}).exitCode, 0);
    EXPECT_NE(twoDrives.Run({"identity", first}).exitCode, 0);
}

TEST_F(CliEndToEnd, InterruptedImportLeavesNothingAndProgressNeverGoesBack)
{
    const QString image = TestImages::MakeManyFilesIso(m_folder, 100000, 100);
    ASSERT_EQ(m_cli.Run({"insert", m_letter, image}).exitCode, 0);
    std::unique_ptr<QProcess> process(m_cli.Start({"import", m_letter}));
    ASSERT_TRUE(process->waitForStarted());
    QString progress;
    QElapsedTimer clock;
    clock.start();
    while (!progress.contains('%') && clock.elapsed() < 60000) {
        process->waitForReadyRead(100);
        progress += QString::fromUtf8(process->readAllStandardError());
    }
    ASSERT_TRUE(CliRunner::Interrupt(*process)) << "the tool ended before Ctrl-C";
    ASSERT_TRUE(process->waitForFinished(120000));
    progress += QString::fromUtf8(process->readAllStandardError());
    EXPECT_EQ(process->exitCode(), 1) << qPrintable(progress);
    EXPECT_TRUE(m_cli.Run({"discs"}).Lines().isEmpty());
    EXPECT_TRUE(m_cli.Run({"search", "file1"}).Lines().isEmpty());

    ExpectRisingProgress(progress);
    // After the interruption the same disc imports in full.
    const CliResult full = m_cli.Run({"import", m_letter}, 600000);
    ASSERT_EQ(full.exitCode, 0) << qPrintable(full.err);
    ExpectRisingProgress(full.err);
    EXPECT_TRUE(full.err.trimmed().endsWith("100%"));
    const QStringList disc = m_cli.Run({"discs"}).Lines().value(0).split('\t');
    EXPECT_EQ(disc.value(3), "100");
    EXPECT_EQ(disc.value(4), "100000");
}

TEST_F(CliEndToEnd, CutImageIsCataloguedIncompletelyThenReplacedByTheWholeOne)
{
    QList<QPair<QString, int>> files;
    for (int f = 0; f < 20; ++f)
        for (int i = 0; i < 10; ++i) files.append({QString("folder%1/file%2.txt").arg(f).arg(i), 3000 + i});
    const QString tree = TestImages::MakeTree(m_folder, files);
    const QString whole = TestImages::MakeIso(tree, m_folder + "/whole.iso", "TRIP");
    QFile wholeFile(whole);
    ASSERT_TRUE(wholeFile.open(QIODevice::ReadOnly));
    const QByteArray bytes = wholeFile.readAll();
    const QString cut = m_folder + "/cut.iso";
    QFile cutFile(cut);
    ASSERT_TRUE(cutFile.open(QIODevice::WriteOnly));
    cutFile.write(bytes.left(bytes.size() / 3 / 2048 * 2048)); // an interrupted download
    cutFile.close();

    const CliResult incomplete = Import(cut, {"--name", "Trip", "--tags", "Photo,Holiday"});
    EXPECT_EQ(incomplete.exitCode, 4) << qPrintable(incomplete.err);
    EXPECT_TRUE(incomplete.out.trimmed().endsWith("\tTrip"));
    EXPECT_TRUE(incomplete.err.contains("Files that could not be read: ")) << qPrintable(incomplete.err);
    EXPECT_TRUE(incomplete.err.contains("The image file is shorter than the disc it describes: ")) << qPrintable(incomplete.err);
    EXPECT_FALSE(incomplete.err.contains("Files that could not be read: 0\n"));
    QStringList disc = m_cli.Run({"discs"}).Lines().value(0).split('\t');
    EXPECT_EQ(disc.value(5), "incomplete");

    // The user changes the disc's label; then the whole image comes.
    WithLibrary([](ILibraryEngine* library) {
        DiscRecord record{};
        library->GetDiscs(&record, 1);
        EXPECT_EQ(library->SetDiscLabelId(record.discId, 5), S_OK);
    });
    const DiscRecord before = OnlyDisc();
    const CliResult refused = Import(whole);
    EXPECT_EQ(refused.exitCode, 3);
    EXPECT_TRUE(refused.err.contains("--replace"));
    const CliResult replaced = m_cli.Run({"import", m_letter, "--replace"});
    ASSERT_EQ(replaced.exitCode, 0) << qPrintable(replaced.err);
    disc = m_cli.Run({"discs"}).Lines().value(0).split('\t');
    ASSERT_EQ(m_cli.Run({"discs"}).Lines().size(), 1);
    EXPECT_EQ(disc.value(1), "Trip");
    EXPECT_EQ(disc.value(5), "complete");
    EXPECT_EQ(disc.value(4), "200");
    EXPECT_EQ(WithoutTimes(m_cli.Run({"ls", "Trip", "-R"}).Lines()), TestImages::ListTree(tree));
    const DiscRecord after = OnlyDisc();
    EXPECT_EQ(QString::fromUtf16(after.tagIds), QString::fromUtf16(before.tagIds));
    EXPECT_FALSE(QString::fromUtf16(after.tagIds).isEmpty());
    EXPECT_EQ(after.labelId, 5);
    EXPECT_EQ(m_cli.Run({"search", "file9"}).Lines().size(), 20);
}

TEST_F(CliEndToEnd, WrongUsageAndHelp)
{
    EXPECT_EQ(m_cli.Run({}).exitCode, 2);
    EXPECT_EQ(m_cli.Run({"frobnicate"}).exitCode, 2);
    EXPECT_EQ(m_cli.Run({"ls"}).exitCode, 2);
    EXPECT_EQ(m_cli.Run({"import", m_letter, "--name"}).exitCode, 2);
    for (const char* command : {"drives", "insert", "eject", "identity", "import", "discs", "ls", "search"}) {
        const CliResult help = m_cli.Run({command, "--help"});
        EXPECT_EQ(help.exitCode, 0) << command;
        EXPECT_TRUE(help.out.startsWith("Usage: albireo-cli ")) << command;
    }
    const CliResult missing = m_cli.Run({"insert", m_letter, m_folder + "/none.iso"});
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_EQ(missing.err.count('\n'), 1);
    EXPECT_EQ(m_cli.Run({"ls", "No Such Disc"}).exitCode, 1);
    EXPECT_EQ(m_cli.Run({"import", "Q:"}).exitCode, 1);

    // A CUE sheet whose data file is missing: the message names the file.
    QFile sheet(m_folder + "/album.cue");
    ASSERT_TRUE(sheet.open(QIODevice::WriteOnly));
    sheet.write("FILE \"Album Disc 1.bin\" BINARY\n  TRACK 01 AUDIO\n    INDEX 01 00:00:00\n");
    sheet.close();
    const CliResult cue = m_cli.Run({"insert", m_letter, m_folder + "/album.cue"});
    EXPECT_EQ(cue.exitCode, 1);
    EXPECT_TRUE(cue.err.contains("the data file \"Album Disc 1.bin\" that the sheet names is missing")) << cue.err.toStdString();
}

} // namespace
