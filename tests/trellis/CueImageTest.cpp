// CUE sheets over generated BIN data: audio CDs, a mixed-mode CD (data
// track with a file system, then audio), and sheets with one file per track.
#include "DiscImages.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace DiscImages;

namespace {

void WriteText(const QString& path, const QByteArray& text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(text);
}

void WriteBinary(const QString& path, const QByteArray& data) { WriteText(path, data); }

QString Msf(int frames)
{
    return QString("%1:%2:%3").arg(frames / 4500, 2, 10, QChar('0')).arg(frames / 75 % 60, 2, 10, QChar('0'))
        .arg(frames % 75, 2, 10, QChar('0'));
}

} // namespace

TEST(TrellisCue, AudioDiscGivesItsTracksAndNoFileSystem)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("audio");
    QByteArray bin;
    WriteAudio(bin, 300, 1);
    WriteAudio(bin, 450, 2);
    WriteAudio(bin, 600, 3);
    WriteBinary(folder + "/Album (Disc 1).bin", bin);
    WriteText(folder + "/album.cue", ("REM GENRE Test\r\nPERFORMER \"Someone\"\r\nFILE \"Album (Disc 1).bin\" BINARY\r\n"
                                      "  TRACK 01 AUDIO\r\n    TITLE \"One\"\r\n    INDEX 01 00:00:00\r\n"
                                      "  TRACK 02 AUDIO\r\n    INDEX 00 " + Msf(290) + "\r\n    INDEX 01 " + Msf(300) + "\r\n"
                                      "  TRACK 03 AUDIO\r\n    INDEX 01 " + Msf(750) + "\r\n").toUtf8());
    TrellisSession session;
    ASSERT_EQ(session.Insert(folder + "/album.cue"), S_OK);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.mediaType, TRELLIS_MEDIA_CD_ROM);
    EXPECT_EQ(disc.used, 1350u);
    EXPECT_EQ(disc.sessions, 1);
    ASSERT_EQ(disc.tracks, 3);
    EXPECT_EQ(disc.trackFormats, (std::vector<DWORD>{TRELLIS_TRACK_AUDIO, TRELLIS_TRACK_AUDIO, TRELLIS_TRACK_AUDIO}));
    EXPECT_EQ(disc.trackStarts, (std::vector<DWORD>{150, 450, 900}));
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_NONE);
    EXPECT_EQ(disc.label, QString());

    std::map<QString, CatalogEntry> catalog;
    TrellisTreeCounts counts{9, 9, 9};
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisCdReader, &counts), S_OK);
    EXPECT_TRUE(catalog.empty());
    EXPECT_EQ(counts.files, 0u);
}

TEST(TrellisCue, MixedModeDiscReadsItsDataTrack)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("mixed");
    QDir().mkpath(folder + "/src/Data");
    WriteFile(folder + "/src/Data/it's.txt", 2500, 1500000000);
    WriteFile(folder + "/src/autorun.inf", 40, 1500000100);
    ASSERT_TRUE(RunTool("xorriso", {"-as", "mkisofs", "-R", "-J", "-V", "GAME", "-o", folder + "/data.iso", folder + "/src"}));
    QFile iso(folder + "/data.iso");
    ASSERT_TRUE(iso.open(QIODevice::ReadOnly));
    QByteArray bin;
    WriteMode1(bin, iso.readAll());
    const int dataFrames = int(bin.size() / 2352);
    WriteAudio(bin, 400, 7);
    WriteAudio(bin, 200, 8);
    WriteBinary(folder + "/game.bin", bin);
    WriteText(folder + "/game.cue", ("FILE \"GAME.BIN\" BINARY\n  TRACK 01 MODE1/2352\n    INDEX 01 00:00:00\n"
                                     "  TRACK 02 AUDIO\n    PREGAP 00:02:00\n    INDEX 01 " + Msf(dataFrames) + "\n"
                                     "  TRACK 03 AUDIO\n    INDEX 01 " + Msf(dataFrames + 400) + "\n").toUtf8());
    TrellisSession session;
    ASSERT_EQ(session.Insert(folder + "/game.cue"), S_OK); // the BIN is found whatever its case
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    ASSERT_EQ(disc.tracks, 3);
    EXPECT_EQ(disc.trackFormats, (std::vector<DWORD>{TRELLIS_TRACK_DATA_MODE1, TRELLIS_TRACK_AUDIO, TRELLIS_TRACK_AUDIO}));
    const DWORD second = DWORD(dataFrames + 150 + 150);
    EXPECT_EQ(disc.trackStarts, (std::vector<DWORD>{150, second, second + 400}));
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_ROCKRIDGE);
    EXPECT_EQ(disc.label, "GAME");
    EXPECT_EQ(disc.partitionSize, DWORD(dataFrames));

    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
    ASSERT_EQ(catalog.size(), 3u);
    EXPECT_EQ(catalog["Data/it's.txt"].size, 2500u);
    EXPECT_EQ(catalog["Data/it's.txt"].fileTime, FileTimeOf(1500000000));
    EXPECT_EQ(catalog["autorun.inf"].size, 40u);
}

TEST(TrellisCue, OneFilePerTrackAndMode2Data)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("files");
    QByteArray first, second, third;
    WriteAudio(first, 100, 1);
    WriteAudio(second, 225, 2); // 75 frames of pregap (INDEX 00) held in the file, then the track
    WriteAudio(third, 50, 3);
    WriteBinary(folder + "/01.bin", first);
    WriteBinary(folder + "/02.bin", second);
    WriteBinary(folder + "/03.bin", third);
    WriteText(folder + "/split.cue", "REM SESSION 01\nFILE \"01.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                     "FILE \"02.bin\" BINARY\n TRACK 02 AUDIO\n  INDEX 00 00:00:00\n  INDEX 01 00:01:00\n"
                                     "REM SESSION 02\nFILE \"03.bin\" BINARY\n TRACK 03 MODE2/2352\n  INDEX 01 00:00:00\n");
    TrellisSession session;
    ASSERT_EQ(session.Insert(folder + "/split.cue"), S_OK);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    ASSERT_EQ(disc.tracks, 3);
    EXPECT_EQ(disc.sessions, 2);
    EXPECT_EQ(disc.trackStarts, (std::vector<DWORD>{150, 325, 475}));
    EXPECT_EQ(disc.trackFormats[2], TRELLIS_TRACK_XA);
    EXPECT_EQ(disc.used, 375u);
    // The data track holds no file system: the reader says so.
    std::map<QString, CatalogEntry> catalog;
    EXPECT_EQ(session.ReadCatalog(catalog), TRELLIS_E_BAD_FORMAT);
}

TEST(TrellisCue, MissingDataFileIsNamedAndTheDriveKeepsItsImage)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("missing");
    QByteArray bin;
    WriteAudio(bin, 100, 1);
    WriteBinary(folder + "/present.bin", bin);
    WriteText(folder + "/good.cue", "FILE \"present.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n");
    WriteText(folder + "/two.cue", "FILE \"present.bin\" BINARY\n TRACK 01 AUDIO\n  INDEX 01 00:00:00\n"
                                   "FILE \"Gone Track.bin\" BINARY\n TRACK 02 AUDIO\n  INDEX 01 00:00:00\n");
    TrellisSession session;
    ASSERT_EQ(session.Insert(folder + "/good.cue"), S_OK);
    ComPtr<ITrellisImageDrive> drive;
    ASSERT_EQ(session.ImageDrive()->QueryInterface(IID_ITrellisImageDrive, drive.PutVoid()), S_OK);
    char16_t reason[200] = {};
    EXPECT_EQ(drive->GetRefusalReason(reason, 200), S_FALSE);
    EXPECT_EQ(reason[0], 0);

    const QString sheet = folder + "/two.cue";
    EXPECT_EQ(drive->InsertImage(reinterpret_cast<const WCHAR*>(sheet.utf16())), HresultFromErrno(ENOENT));
    ASSERT_EQ(drive->GetRefusalReason(reason, 200), S_OK);
    EXPECT_EQ(QString::fromUtf16(reason), "the data file \"Gone Track.bin\" that the sheet names is missing");
    EXPECT_EQ(drive->GetRefusalReason(reason, 9), S_OK);
    EXPECT_EQ(QString::fromUtf16(reason), "the data");
    char16_t path[400] = {};
    ASSERT_EQ(drive->GetImagePath(path, 400, nullptr), S_OK);
    EXPECT_TRUE(QString::fromUtf16(path).endsWith("/good.cue"));

    // A sheet that does not form a disc keeps its old answer.
    WriteText(folder + "/empty.cue", "REM nothing\n");
    const QString empty = folder + "/empty.cue";
    EXPECT_EQ(drive->InsertImage(reinterpret_cast<const WCHAR*>(empty.utf16())), TRELLIS_E_BAD_FORMAT);
}

TEST(TrellisCdImage, CdrdaoTocImageOpensThroughLibcdio)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("toc");
    QByteArray bin;
    WriteAudio(bin, 750, 4);
    WriteBinary(folder + "/t.bin", bin);
    // The disc's CD-Text names it (the title of the first block).
    WriteText(folder + "/disc.toc", "CD_DA\nCD_TEXT {\n LANGUAGE_MAP { 0 : EN }\n LANGUAGE 0 {\n"
                                    "  TITLE \"Summer Songs\"\n  PERFORMER \"The Band\"\n }\n}\n\n"
                                    "TRACK AUDIO\nFILE \"t.bin\" 0 00:04:00\n\n"
                                    "TRACK AUDIO\nFILE \"t.bin\" 00:04:00 00:06:00\n");
    WriteText(folder + "/broken.toc", "CD_DA\nTRACK AUDIO\nFILE \"t.bin\" 99:00:00 \"\n{{{{\n");
    TrellisSession session;
    EXPECT_EQ(session.Insert(folder + "/broken.toc"), TRELLIS_E_BAD_FORMAT);
    ASSERT_EQ(session.Insert(folder + "/disc.toc"), S_OK);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.mediaType, TRELLIS_MEDIA_CD_ROM);
    EXPECT_EQ(disc.trackFormats, (std::vector<DWORD>{TRELLIS_TRACK_AUDIO, TRELLIS_TRACK_AUDIO}));
    EXPECT_EQ(disc.trackStarts, (std::vector<DWORD>{150, 450}));
    EXPECT_EQ(disc.used, 750u);
    EXPECT_EQ(disc.label, "Summer Songs");
}
