// ISO 9660 images made by xorriso and genisoimage, read through an image
// drive and compared with their source trees and with xorriso's listing.
#include "DiscImages.h"
#include "TestEnvironment.h"

#include <QDateTime>
#include <QDir>
#include <QStorageInfo>
#include <gtest/gtest.h>

using namespace DiscImages;

namespace {

constexpr qint64 kTime = 1614834367; // 2021-03-04 05:06:07 UTC

// Folders with apostrophes, non-ASCII letters and blanks, nested a few levels.
QString MakeMixedTree(const QString& name)
{
    const QString root = TestEnvironment::MakeFolder(name) + "/src";
    QDir().mkpath(root + "/Docs/it's here/Ünïcödé");
    QDir().mkpath(root + "/empty folder");
    WriteFile(root + "/readme.txt", 1234, kTime);
    WriteFile(root + "/Docs/it's.txt", 0, kTime + 60);
    WriteFile(root + "/Docs/it's here/Grüße – ß.txt", 70000, kTime + 3600);
    WriteFile(root + "/Docs/it's here/Ünïcödé/日本語.dat", 4096, kTime + 86400);
    WriteFile(root + "/Docs/it's here/Ünïcödé/a.b.c", 1, kTime - 86400 * 365);
    return root;
}

// Folder times change as files are written; the comparison covers files.
void ExpectSameFiles(const std::map<QString, CatalogEntry>& actual, const std::map<QString, CatalogEntry>& expected,
                     bool compareTimes)
{
    QStringList actualNames, expectedNames;
    for (const auto& item : actual) actualNames << item.first;
    for (const auto& item : expected) expectedNames << item.first;
    ASSERT_EQ(actualNames, expectedNames);
    for (const auto& [path, entry] : expected) {
        const auto found = actual.find(path);
        ASSERT_NE(found, actual.end()) << path.toStdString();
        EXPECT_EQ(found->second.folder, entry.folder) << path.toStdString();
        EXPECT_EQ(found->second.size, entry.size) << path.toStdString();
        if (compareTimes && !entry.folder) {
            EXPECT_EQ(found->second.fileTime, entry.fileTime) << path.toStdString();
        }
    }
}

QString MakeImage(const QString& source, const QStringList& options, const QString& tool = "xorriso")
{
    const QString image = QFileInfo(source).path() + "/disc.iso";
    QStringList arguments = tool == "xorriso" ? QStringList{"-as", "mkisofs"} : QStringList{"-quiet"};
    arguments << options << "-o" << image << source;
    RunTool(tool, arguments);
    return image;
}

} // namespace

TEST(TrellisIso, RockRidgeImageMatchesItsSourceAndThePeerListing)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeMixedTree("rockridge");
    const QString image = MakeImage(source, {"-R", "-J", "-V", "Holiday 2021"});
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);

    std::map<QString, CatalogEntry> catalog;
    TrellisTreeCounts counts{};
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisCdReader, &counts), S_OK);
    ExpectSameFiles(catalog, SourceCatalog(source), true);
    ExpectSameFiles(catalog, PeerListing(image), false);
    EXPECT_EQ(counts.files, 5u);
    EXPECT_EQ(counts.folders, 4u);
    EXPECT_EQ(counts.entries, 9u);

    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    const DWORD blocks = DWORD(QFileInfo(image).size() / 2048);
    EXPECT_EQ(disc.mediaType, TRELLIS_MEDIA_CD_ROM);
    EXPECT_EQ(disc.status, TRELLIS_STATUS_OK);
    EXPECT_EQ(disc.capacity, 360000u) << "an image of a CD stands for an 80-minute CD, whatever its size";
    EXPECT_EQ(disc.used, blocks);
    EXPECT_EQ(disc.sessions, 1);
    ASSERT_EQ(disc.tracks, 1);
    EXPECT_EQ(disc.trackFormats[0], TRELLIS_TRACK_DATA_MODE1);
    EXPECT_EQ(disc.trackStarts[0], 150u);
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_ROCKRIDGE);
    EXPECT_EQ(disc.partitionSize, blocks);
    EXPECT_EQ(disc.label, "Holiday 2021"); // the Joliet label keeps its case
    EXPECT_NE(disc.time.typeAndZone, 0);
    EXPECT_EQ(disc.time.typeAndZone >> 12, 1);
    const QDateTime now = QDateTime::currentDateTime();
    EXPECT_EQ(disc.time.year, now.date().year());
    EXPECT_GE(disc.time.month, 1);
    EXPECT_LE(disc.time.month, 12);
}

TEST(TrellisIso, JolietAndPlainImagesGiveTheirNames)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeMixedTree("joliet");
    const QString joliet = MakeImage(source, {"-J", "-joliet-long", "-V", "JOLIET"}, "genisoimage");
    TrellisSession session;
    ASSERT_EQ(session.Insert(joliet), S_OK);
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisOtherReader), S_OK);
    ExpectSameFiles(catalog, SourceCatalog(source), true);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_JOLIET);
    EXPECT_EQ(disc.label, "JOLIET");

    const QString plainSource = TestEnvironment::MakeFolder("plain") + "/src";
    QDir().mkpath(plainSource + "/sub");
    WriteFile(plainSource + "/sub/data.txt", 10, kTime);
    WriteFile(plainSource + "/noext", 3, kTime);
    ASSERT_EQ(session.Insert(MakeImage(plainSource, {"-V", "PLAIN"}, "genisoimage")), S_OK);
    catalog.clear();
    ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
    ASSERT_EQ(catalog.size(), 3u);
    EXPECT_TRUE(catalog["SUB"].folder);
    EXPECT_EQ(catalog["SUB/DATA.TXT"].size, 10u);
    EXPECT_EQ(catalog["SUB/DATA.TXT"].fileTime, FileTimeOf(kTime));
    EXPECT_EQ(catalog.count("NOEXT"), 1u); // ";1" and the empty extension's dot are dropped
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_ISO9660);
}

TEST(TrellisIso, DeepTreesAndLongNamesKeepTheirPlace)
{
    TestEnvironment::ResetRegistry();
    const QString source = TestEnvironment::MakeFolder("deep") + "/src";
    QString path = source;
    for (int level = 0; level < 12; ++level) path += QString("/level%1").arg(level);
    QDir().mkpath(path);
    WriteFile(path + "/bottom.txt", 5, kTime);
    const QString longName = QString("n").repeated(200) + ".txt";
    WriteFile(source + "/" + longName, 7, kTime);
    TrellisSession session;

    // xorriso keeps deep folders in place; genisoimage relocates them and
    // Rock Ridge links them back.
    for (const QString tool : {"xorriso", "genisoimage"}) {
        const QString image = MakeImage(source, {"-R", "-hide-rr-moved"}, tool);
        ASSERT_EQ(session.Insert(image), S_OK) << tool.toStdString();
        std::map<QString, CatalogEntry> catalog;
        ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
        std::map<QString, CatalogEntry> visible;
        for (const auto& [name, entry] : catalog)
            if (!name.startsWith(".rr_moved") && !name.startsWith("rr_moved")) visible[name] = entry;
        ExpectSameFiles(visible, SourceCatalog(source), true);
        QFile::remove(image);
    }
}

TEST(TrellisIso, TenThousandFilesInAHundredFolders)
{
    TestEnvironment::ResetRegistry();
    const QString source = TestEnvironment::MakeFolder("many") + "/src";
    for (int folder = 0; folder < 100; ++folder) {
        const QString dir = source + QString("/folder%1").arg(folder, 3, 10, QChar('0'));
        QDir().mkpath(dir);
        for (int file = 0; file < 100; ++file) {
            QFile out(dir + QString("/file %1.txt").arg(file));
            ASSERT_TRUE(out.open(QIODevice::WriteOnly));
            out.write(QByteArray(file, 'a'));
        }
    }
    const QString image = MakeImage(source, {"-R", "-J"});
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    std::map<QString, CatalogEntry> catalog;
    TrellisTreeCounts counts{};
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisCdReader, &counts), S_OK);
    EXPECT_EQ(counts.files, 10000u);
    EXPECT_EQ(counts.folders, 100u);
    ExpectSameFiles(catalog, SourceCatalog(source), true);
}

// A second reader of the same image takes the first one's parse; an image
// rewritten in place (same path, same inode) or replaced is parsed afresh.
TEST(TrellisIso, ASecondReadOfAnImageGivesItsCurrentTree)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("reread");
    QDir().mkpath(folder + "/one/a");
    QDir().mkpath(folder + "/two/b/c");
    WriteFile(folder + "/one/a/first.txt", 5, kTime);
    WriteFile(folder + "/two/b/c/second.txt", 7, kTime);
    const QByteArray second = ReadAll(MakeImage(folder + "/two", {"-R"}));
    QFile::remove(folder + "/disc.iso");
    const QString image = MakeImage(folder + "/one", {"-R"});
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    std::map<QString, CatalogEntry> first, again, rewritten;
    ASSERT_EQ(session.ReadCatalog(first), S_OK);
    ExpectSameFiles(first, SourceCatalog(folder + "/one"), true);
    ASSERT_EQ(session.ReadCatalog(again), S_OK);
    ExpectSameFiles(again, SourceCatalog(folder + "/one"), true);

    WriteAll(image, second); // in place: the same file, other content
    ASSERT_EQ(session.ReadCatalog(rewritten), S_OK);
    ExpectSameFiles(rewritten, SourceCatalog(folder + "/two"), true);
    rewritten.clear();
    ASSERT_EQ(session.ReadCatalog(rewritten), S_OK);
    ExpectSameFiles(rewritten, SourceCatalog(folder + "/two"), true);
}

TEST(TrellisIso, FileOverFourGibibytesKeepsItsFullSize)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("large");
    QDir().mkpath(folder + "/src");
    const qint64 size = 4100LL << 20;
    WriteFile(folder + "/src/large.bin", size, kTime);
    WriteFile(folder + "/src/after.txt", 3, kTime);
    if (QStorageInfo(folder).bytesAvailable() < (1LL << 30)) GTEST_SKIP() << "less than 1 GiB free";
    // The image is written through a pipe into a sparse file: its zeros take no space.
    const QString image = folder + "/large.iso";
    RunTool("sh", {"-c", QString("xorriso -as mkisofs -iso-level 3 -R -o - '%1' 2>/dev/null | cp --sparse=always "
                             "/dev/stdin '%2'")
                         .arg(folder + "/src", image)});
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
    ASSERT_EQ(catalog.size(), 2u);
    EXPECT_EQ(catalog["large.bin"].size, UINT64(size));
    EXPECT_EQ(catalog["large.bin"].fileTime, FileTimeOf(kTime));
    EXPECT_EQ(catalog["after.txt"].size, 3u);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.mediaType, TRELLIS_MEDIA_DVD_ROM); // larger than a CD
    EXPECT_EQ(disc.capacity, 2295104u) << "a single-layer DVD";
    QFile::remove(image);
}

TEST(TrellisIso, NamesThatCannotBePathPartsAreReplaced)
{
    TestEnvironment::ResetRegistry();
    const QString source = TestEnvironment::MakeFolder("backslash") + "/src";
    QDir().mkpath(source + "/x\\y");
    WriteFile(source + "/x\\y/inner.txt", 4, kTime);
    WriteFile(source + "/back\\slash.txt", 2, kTime);
    TrellisSession session;
    ASSERT_EQ(session.Insert(MakeImage(source, {"-R"})), S_OK);
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
    ASSERT_EQ(catalog.size(), 3u);
    EXPECT_EQ(catalog["back_slash.txt"].size, 2u);
    EXPECT_TRUE(catalog["x_y"].folder);
    EXPECT_EQ(catalog["x_y/inner.txt"].size, 4u); // the folder is found by its new name
}
