// Damaged and hostile images: every one ends in a failure code or a
// partial tree, and the parse can be stopped.
#include "DiscImages.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace DiscImages;

namespace {

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void WriteAll(const QString& path, const QByteArray& data)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(data);
}

uint32_t Le32At(const QByteArray& data, qsizetype offset)
{
    const auto* p = reinterpret_cast<const uint8_t*>(data.constData() + offset);
    return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24;
}

void SetBoth32(QByteArray& data, qsizetype offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) {
        data[offset + i] = char(value >> (8 * i));
        data[offset + 7 - i] = char(value >> (8 * i));
    }
}

// The directory record of `name` in the directory at `extent`.
qsizetype FindRecord(const QByteArray& image, uint32_t extent, const QByteArray& name)
{
    const qsizetype begin = qsizetype(extent) * 2048;
    for (qsizetype at = begin; at < begin + 2048 && image[at] != 0; at += uint8_t(image[at]))
        if (image.mid(at + 33, uint8_t(image[at + 32])).startsWith(name)) return at;
    return -1;
}

QString MakeSource(const QString& name, int folders, int files)
{
    const QString source = TestEnvironment::MakeFolder(name) + "/src";
    for (int f = 0; f < folders; ++f) {
        const QString dir = source + QString("/DIR%1/SUB").arg(f);
        QDir().mkpath(dir);
        for (int i = 0; i < files; ++i) WriteFile(dir + QString("/F%1.TXT").arg(i), i * 100, 1400000000);
    }
    return source;
}

// Inserts and parses; the parse must end (with whatever result).
HRESULT Catalogue(TrellisSession& session, const QString& image, std::map<QString, CatalogEntry>& catalog)
{
    catalog.clear();
    const HRESULT inserted = session.Insert(image);
    if (FAILED(inserted)) return inserted;
    return session.ReadCatalog(catalog);
}

} // namespace

TEST(TrellisDamaged, LoopsAndAbsurdLengthsEndInAPartialTree)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("loops", 2, 3);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-o", image, source}));
    const QByteArray original = ReadAll(image);
    const uint32_t root = Le32At(original, 16 * 2048 + 156 + 2);
    const qsizetype dir0 = FindRecord(original, root, "DIR0");
    ASSERT_GT(dir0, 0);
    const uint32_t dir0Extent = Le32At(original, dir0 + 2);
    const qsizetype sub = FindRecord(original, dir0Extent, "SUB");
    ASSERT_GT(sub, 0);
    TrellisSession session;
    std::map<QString, CatalogEntry> catalog;

    QByteArray loop = original; // DIR0/SUB points back at the root
    SetBoth32(loop, sub + 2, root);
    WriteAll(image, loop);
    ASSERT_EQ(Catalogue(session, image, catalog), S_OK);
    EXPECT_EQ(catalog.count("DIR0/SUB"), 1u);
    EXPECT_EQ(catalog.count("DIR0/SUB/DIR0"), 0u);
    EXPECT_EQ(catalog.count("DIR1/SUB/F2.TXT"), 1u);

    QByteArray huge = original; // DIR0 claims 4 GiB and lies beyond the end
    SetBoth32(huge, dir0 + 10, 0xFFFFFFFF);
    SetBoth32(huge, dir0 + 2, 0x7FFFFFF0);
    WriteAll(image, huge);
    ASSERT_EQ(Catalogue(session, image, catalog), S_OK);
    EXPECT_TRUE(catalog["DIR0"].folder);
    EXPECT_EQ(catalog.count("DIR0/SUB"), 0u);
    EXPECT_EQ(catalog.count("DIR1/SUB/F1.TXT"), 1u);

    QByteArray zero = original; // a zero-length record and a directory of length 0
    SetBoth32(zero, dir0 + 10, 0);
    zero[sub] = 0;
    WriteAll(image, zero);
    ASSERT_EQ(Catalogue(session, image, catalog), S_OK);
    EXPECT_EQ(catalog.count("DIR1/SUB"), 1u);
}

TEST(TrellisDamaged, TruncatedAndScrambledImagesNeverBringTheProgramDown)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("scrambled", 3, 4);
    const QString folder = QFileInfo(source).path();
    TrellisSession session;
    std::map<QString, CatalogEntry> catalog;
    const struct {
        const char* tool;
        QStringList options;
    } kinds[] = {{"xorriso", {"-as", "mkisofs", "-R", "-J"}}, {"genisoimage", {"-quiet", "-udf"}}};
    QRandomGenerator random(20240601);
    for (const auto& kind : kinds) {
        const QString image = folder + "/disc.iso";
        ASSERT_TRUE(RunTool(kind.tool, QStringList(kind.options) << "-o" << image << source));
        const QByteArray original = ReadAll(image);
        const QString damaged = folder + "/damaged.iso";
        for (const qsizetype length : {qsizetype(0), qsizetype(2048), qsizetype(17 * 2048), original.size() / 2,
                                       original.size() - 2048, original.size() - 1}) {
            WriteAll(damaged, original.left(length));
            const HRESULT hr = Catalogue(session, damaged, catalog);
            EXPECT_TRUE(hr == S_OK || FAILED(hr)) << length;
        }
        // Bytes flipped in the descriptors and directories (the first 64 blocks).
        for (int round = 0; round < 150; ++round) {
            QByteArray scrambled = original;
            for (int flip = 0; flip < 20; ++flip) {
                const qsizetype at = 16 * 2048 + random.bounded(48 * 2048);
                scrambled[at] = char(random.bounded(256));
            }
            WriteAll(damaged, scrambled);
            const HRESULT hr = Catalogue(session, damaged, catalog);
            EXPECT_TRUE(hr == S_OK || FAILED(hr));
            EXPECT_LE(catalog.size(), 1000u);
        }
    }
}

TEST(TrellisDamaged, AbortStopsTheParse)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("abort", 200, 10);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-udf", "-o", image, source}));
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    ComPtr<IUnknown> object;
    ASSERT_EQ(session.Engine()->CreateObject(CLSID_TrellisOtherReader, &object.p), S_OK);
    ComPtr<ITrellisReader> reader;
    ASSERT_EQ(object->QueryInterface(IID_ITrellisReader, reader.Out()), S_OK);
    ASSERT_EQ(reader->Attach(session.ImageDrive()), S_OK);
    ASSERT_EQ(reader->Open(), S_OK);
    UINT64 blocks = 0;
    EXPECT_EQ(reader->GetUsedBlocks(0, &blocks), S_OK);
    EXPECT_EQ(blocks, UINT64(QFileInfo(image).size() / 2048));
    ASSERT_EQ(reader->StartParse(6, 0, 0), S_OK);
    ASSERT_EQ(reader->Abort(), S_OK);
    LONG done = 0;
    double fraction = -1;
    const HRESULT hr = reader->WaitParse(60000, &done, &fraction);
    EXPECT_EQ(done, 1);
    EXPECT_GE(fraction, 0.0);
    EXPECT_LE(fraction, 1.0);
    TrellisTreeCounts counts{};
    if (hr == E_ABORT) {
        EXPECT_EQ(reader->GetTreeCounts(&counts), E_UNEXPECTED);
    } else {
        EXPECT_EQ(hr, S_OK); // the parse was already over
    }
    // A new parse after the abort reads the whole tree.
    ASSERT_EQ(reader->StartParse(6, 0, 0), S_OK);
    while (reader->WaitParse(100, &done, &fraction) == TRELLIS_S_PARSE_RUNNING) {
    }
    ASSERT_EQ(reader->GetTreeCounts(&counts), S_OK);
    EXPECT_EQ(counts.files, 2000u);
    EXPECT_EQ(counts.folders, 400u);
    TrellisFindEntry entry;
    EXPECT_EQ(reader->FindFirst(u"\\DIR7\\SUB", &entry), S_OK);
    EXPECT_EQ(reader->FindFirst(u"dir7\\sub", &entry), S_OK); // case ignored when nothing matches exactly
    EXPECT_EQ(reader->FindFirst(u"DIR7\\NONE", &entry), TRELLIS_E_PATH_NOT_FOUND);
    EXPECT_EQ(reader->FindFirst(u"DIR7\\SUB\\F1.TXT", &entry), TRELLIS_E_PATH_NOT_FOUND); // a file, not a folder
    EXPECT_EQ(reader->Close(), S_OK);
    EXPECT_EQ(reader->Detach(), S_OK);
}
