// UDF images: genisoimage's UDF 1.02 bridge discs, pycdlib's UDF 2.60, a
// metadata partition as on Blu-ray discs, and mkudffs file systems of
// revisions 1.02 to 2.60 (on write-once media with a virtual allocation table).
#include "DiscImages.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace DiscImages;

namespace {
constexpr qint64 kTime = 1262304000; // 2010-01-01 00:00:00 UTC
}

TEST(TrellisUdf, BridgeDiscIsReadThroughUdf)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("bridge");
    const QString source = folder + "/src";
    QDir().mkpath(source + "/Video/it's/Ünïcode");
    WriteFile(source + "/Video/it's/Ünïcode/clip.mpg", 123456, kTime);
    WriteFile(source + "/Video/index.txt", 77, kTime + 1);
    WriteFile(source + "/a long file name with blanks.txt", 0, kTime + 2);
    const QString image = folder + "/bridge.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-udf", "-V", "BRIDGE", "-o", image, source}));
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);

    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisOtherReader), S_OK);
    const auto expected = SourceCatalog(source);
    ASSERT_EQ(catalog.size(), expected.size());
    for (const auto& [path, entry] : expected) {
        ASSERT_EQ(catalog.count(path), 1u) << path.toStdString(); // mixed-case names: read from UDF, not ISO
        EXPECT_EQ(catalog[path].folder, entry.folder);
        EXPECT_EQ(catalog[path].size, entry.size);
        if (!entry.folder) {
            EXPECT_EQ(catalog[path].fileTime, entry.fileTime) << path.toStdString();
        }
    }
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_UDF_BRIDGE);
    EXPECT_EQ(disc.mediaType, TRELLIS_MEDIA_DVD_ROM);
    EXPECT_EQ(disc.label, "BRIDGE");
    EXPECT_EQ(disc.time.typeAndZone >> 12, 1);
    EXPECT_GT(disc.partitionSize, 0u);
}

TEST(TrellisUdf, Udf260ImageFromPycdlib)
{
    TestEnvironment::ResetRegistry();
    if (!QFile::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    const QString image = TestEnvironment::MakeFolder("udf260") + "/udf260.iso";
    const QString script = QString(R"(
import io, pycdlib
iso = pycdlib.PyCdlib()
iso.new(udf='2.60', interchange_level=3, vol_ident='UDF260')
iso.add_directory('/DIR1', udf_path='/Folder One')
iso.add_directory('/DIR1/DIR2', udf_path='/Folder One/Inner')
for path, udf, size in [('/A.TXT;1', '/a.txt', 5), ('/DIR1/B.BIN;1', '/Folder One/b.bin', 70000),
                        ('/DIR1/DIR2/C.TXT;1', "/Folder One/Inner/it's.txt", 0)]:
    iso.add_fp(io.BytesIO(b'z' * size), size, path, udf_path=udf)
iso.write('%1')
)").arg(image);
    QString output;
    if (!RunTool("/usr/bin/python3", {"-c", script}, &output)) return;
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
    ASSERT_EQ(catalog.size(), 5u);
    EXPECT_TRUE(catalog["Folder One"].folder);
    EXPECT_TRUE(catalog["Folder One/Inner"].folder);
    EXPECT_EQ(catalog["a.txt"].size, 5u);
    EXPECT_EQ(catalog["Folder One/b.bin"].size, 70000u);
    EXPECT_EQ(catalog["Folder One/Inner/it's.txt"].size, 0u);
    EXPECT_NE(catalog["a.txt"].fileTime, 0u);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_UDF_BRIDGE);
}

TEST(TrellisUdf, MkudffsRevisionsGiveLabelTimeAndMedia)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("mkudffs");
    struct Case {
        const char* revision;
        const char* media;
        DWORD expectedMedia;
    };
    const Case cases[] = {{"1.02", "hd", TRELLIS_MEDIA_DVD_ROM},
                          {"1.50", "cdr", TRELLIS_MEDIA_DVD_ROM}, // virtual allocation table, 1.50 form
                          {"2.01", "hd", TRELLIS_MEDIA_DVD_ROM},
                          {"2.50", "bdr", TRELLIS_MEDIA_BD_ROM},  // virtual allocation table, 2.00 form
                          {"2.60", "bdr", TRELLIS_MEDIA_BD_ROM}};
    TrellisSession session;
    for (const Case& c : cases) {
        const QString image = folder + "/udf" + c.revision + ".img";
        QFile file(image);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(20 << 20));
        file.close();
        ASSERT_TRUE(RunTool("mkudffs", {"-b", "2048", "-m", c.media, QString("--udfrev=") + c.revision,
                                    QString("--label=Rev ") + c.revision, image}));
        ASSERT_EQ(session.Insert(image), S_OK) << c.revision;
        DiscProperties disc;
        ASSERT_EQ(session.ReadProperties(disc), S_OK) << c.revision;
        EXPECT_EQ(disc.fileSystem, TRELLIS_FS_UDF) << c.revision;
        EXPECT_EQ(disc.label, QString("Rev ") + c.revision);
        EXPECT_EQ(disc.mediaType, c.expectedMedia) << c.revision;
        // A small image stands for a standard 12 cm disc of its media.
        EXPECT_EQ(disc.capacity, c.expectedMedia == TRELLIS_MEDIA_BD_ROM ? 12219392u : 2295104u) << c.revision;
        EXPECT_EQ(disc.time.typeAndZone >> 12, 1) << c.revision;
        EXPECT_EQ(disc.time.year, QDate::currentDate().year()) << c.revision;
        EXPECT_GT(disc.partitionSize, 9000u) << c.revision;
        std::map<QString, CatalogEntry> catalog;
        TrellisTreeCounts counts{1, 1, 1};
        ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisOtherReader, &counts), S_OK) << c.revision;
        EXPECT_TRUE(catalog.empty());
        EXPECT_EQ(counts.entries, 0u);
    }
}

TEST(TrellisUdf, MetadataPartitionAsOnBluRayDiscs)
{
    TestEnvironment::ResetRegistry();
    if (!QFile::exists("/usr/bin/python3")) GTEST_SKIP() << "no /usr/bin/python3";
    const QString script = QStringLiteral(TRELLIS_TEST_SOURCE_DIR "/make_metadata_udf.py");
    const QString folder = TestEnvironment::MakeFolder("metadata");
    TrellisSession session;
    // The second image's main metadata file is unreadable: its mirror is used.
    for (const QString& variant : {QString("good"), QString("broken-main")}) {
        const QString image = folder + "/" + variant + ".iso";
        ASSERT_TRUE(RunTool("/usr/bin/python3", {script, image, variant}));
        ASSERT_EQ(session.Insert(image), S_OK);
        std::map<QString, CatalogEntry> catalog;
        ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisOtherReader), S_OK);
        ASSERT_EQ(catalog.size(), 5u) << variant.toStdString();
        EXPECT_TRUE(catalog["Movies/Extras"].folder);
        EXPECT_EQ(catalog["index.bdmv"].size, 300u);
        EXPECT_EQ(catalog["Movies/00001.m2ts"].size, 90000u);
        EXPECT_EQ(catalog["Movies/Extras/it's.txt"].size, 7u);
        DiscProperties disc;
        ASSERT_EQ(session.ReadProperties(disc), S_OK);
        EXPECT_EQ(disc.fileSystem, TRELLIS_FS_UDF_BRIDGE); // read through UDF, not the ISO 9660 names
        EXPECT_EQ(disc.mediaType, TRELLIS_MEDIA_BD_ROM);
    }
}

TEST(TrellisUdf, TimesWrittenInAnotherZoneComeBackInUtc)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("zone");
    QDir().mkpath(folder + "/src/sub");
    WriteFile(folder + "/src/sub/late.txt", 3, kTime + 23 * 3600 + 59 * 60); // late in the day: the local date differs
    WriteFile(folder + "/src/early.txt", 4, kTime);
    // genisoimage writes local times with their offset from UTC (+5:30 here),
    // in the ISO 9660 records and in the UDF time stamps.
    const QByteArray zone = qgetenv("TZ");
    qputenv("TZ", "Asia/Kolkata");
    const bool made = RunTool("genisoimage", {"-quiet", "-udf", "-J", "-o", folder + "/udf.iso", folder + "/src"}) &&
                      RunTool("genisoimage", {"-quiet", "-J", "-o", folder + "/joliet.iso", folder + "/src"});
    zone.isNull() ? qunsetenv("TZ") : qputenv("TZ", zone);
    ASSERT_TRUE(made);
    TrellisSession session;
    for (const QString& image : {folder + "/udf.iso", folder + "/joliet.iso"}) {
        ASSERT_EQ(session.Insert(image), S_OK);
        std::map<QString, CatalogEntry> catalog;
        ASSERT_EQ(session.ReadCatalog(catalog), S_OK);
        EXPECT_EQ(catalog["sub/late.txt"].fileTime, FileTimeOf(kTime + 23 * 3600 + 59 * 60)) << image.toStdString();
        EXPECT_EQ(catalog["early.txt"].fileTime, FileTimeOf(kTime)) << image.toStdString();
        DiscProperties disc;
        ASSERT_EQ(session.ReadProperties(disc), S_OK);
        EXPECT_EQ(disc.time.typeAndZone, 0x1000 | 330) << image.toStdString(); // local time, 330 minutes east
    }
}

namespace {

uint32_t Le32In(const QByteArray& data, qsizetype at)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData() + at);
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

void SetLe32In(QByteArray& data, qsizetype at, uint32_t value)
{
    for (int i = 0; i < 4; ++i) data[at + i] = char(value >> (8 * i));
}

// The descriptor with the tag `id` in the main volume descriptor sequence.
qsizetype FindDescriptor(const QByteArray& image, int id)
{
    const qsizetype anchor = 256 * 2048;
    const uint32_t start = Le32In(image, anchor + 20), blocks = Le32In(image, anchor + 16) / 2048;
    for (uint32_t i = 0; i < blocks; ++i)
        if (uint8_t(image[(start + i) * 2048]) == id) return qsizetype(start + i) * 2048;
    return -1;
}

} // namespace

TEST(TrellisUdf, SparablePartitionIsReadThroughItsSparingTable)
{
    TestEnvironment::ResetRegistry();
    const QString path = TestEnvironment::MakeFolder("sparable") + "/cdrw.img";
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    ASSERT_TRUE(file.resize(20 << 20));
    file.close();
    ASSERT_TRUE(RunTool("mkudffs", {"-b", "2048", "-m", "cdrw", "--label=Rewritable", path}));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    QByteArray image = file.readAll();
    file.close();

    const qsizetype partition = FindDescriptor(image, 5), volume = FindDescriptor(image, 6);
    ASSERT_GT(partition, 0);
    ASSERT_GT(volume, 0);
    const uint32_t partitionStart = Le32In(image, partition + 188);
    const qsizetype map = volume + 440;
    ASSERT_EQ(image.mid(map + 5, 23), QByteArray("*UDF Sparable Partition"));
    const uint32_t packet = uint8_t(image[map + 40]) | uint8_t(image[map + 41]) << 8;
    const uint32_t fileSet = Le32In(image, volume + 252);
    const uint32_t root = Le32In(image, qsizetype(partitionStart + fileSet) * 2048 + 404);
    ASSERT_NE(fileSet / packet, root / packet);

    // The packets of the file set and of the root went bad and were moved
    // to spare packets: every copy of the table says so, the old places are
    // blank.
    int spare = 0;
    for (const uint32_t block : {fileSet, root}) {
        const uint32_t first = block - block % packet;
        uint32_t mapped = 0;
        for (int copy = 0; copy < uint8_t(image[map + 42]); ++copy) {
            const qsizetype table = qsizetype(Le32In(image, map + 48 + 4 * copy)) * 2048;
            ASSERT_EQ(image.mid(table + 17, 18), QByteArray("*UDF Sparing Table"));
            SetLe32In(image, table + 56 + 8 * spare, first);
            mapped = Le32In(image, table + 56 + 8 * spare + 4);
        }
        const qsizetype from = qsizetype(partitionStart + first) * 2048, bytes = qsizetype(packet) * 2048;
        image.replace(qsizetype(mapped) * 2048, bytes, image.mid(from, bytes));
        image.replace(from, bytes, QByteArray(bytes, 0));
        ++spare;
    }
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(image);
    file.close();

    TrellisSession session;
    ASSERT_EQ(session.Insert(path), S_OK);
    DiscProperties disc;
    ASSERT_EQ(session.ReadProperties(disc), S_OK);
    EXPECT_EQ(disc.fileSystem, TRELLIS_FS_UDF);
    EXPECT_EQ(disc.label, "Rewritable");
    std::map<QString, CatalogEntry> catalog;
    TrellisTreeCounts counts{1, 1, 1};
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisOtherReader, &counts), S_OK);
    EXPECT_EQ(counts.folders, 0u);
}
