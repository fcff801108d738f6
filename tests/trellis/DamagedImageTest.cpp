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

uint16_t Le16At(const QByteArray& data, qsizetype offset)
{
    return uint16_t(uint8_t(data[offset]) | uint8_t(data[offset + 1]) << 8);
}

void SetLe32(QByteArray& data, qsizetype offset, uint32_t value)
{
    for (int i = 0; i < 4; ++i) data[offset + i] = char(value >> (8 * i));
}

// Every block of a UDF image that holds a descriptor with this tag.
std::vector<qsizetype> UdfDescriptors(const QByteArray& image, uint16_t tag)
{
    std::vector<qsizetype> found;
    for (qsizetype at = 0; at + 2048 <= image.size(); at += 2048) {
        uint8_t sum = 0;
        for (int i = 0; i < 16; ++i)
            if (i != 4) sum = uint8_t(sum + uint8_t(image[at + i]));
        if (Le16At(image, at) == tag && sum == uint8_t(image[at + 4])) found.push_back(at);
    }
    return found;
}

void SetTagChecksum(QByteArray& data, qsizetype at)
{
    uint8_t sum = 0;
    for (int i = 0; i < 16; ++i)
        if (i != 4) sum = uint8_t(sum + uint8_t(data[at + i]));
    data[at + 4] = char(sum);
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
HRESULT Catalogue(TrellisSession& session, const QString& image, std::map<QString, CatalogEntry>& catalog,
                  REFCLSID readerClass = CLSID_TrellisCdReader)
{
    catalog.clear();
    const HRESULT inserted = session.Insert(image);
    if (FAILED(inserted)) return inserted;
    return session.ReadCatalog(catalog, readerClass);
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
    ASSERT_EQ(session.Engine()->CreateObject(CLSID_TrellisOtherReader, object.Put()), S_OK);
    ComPtr<ITrellisReader> reader;
    ASSERT_EQ(object->QueryInterface(IID_ITrellisReader, reader.PutVoid()), S_OK);
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

// Hostile images as an attacker would make them: each is read in bounded
// time and memory, giving what can be read and nothing made up.
TEST(TrellisHostile, FolderThatContainsItselfIsReadOnce)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("self", 2, 2);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-o", image, source}));
    QByteArray data = ReadAll(image);
    const uint32_t root = Le32At(data, 16 * 2048 + 156 + 2);
    const uint32_t dir0 = Le32At(data, FindRecord(data, root, "DIR0") + 2);
    const qsizetype sub = FindRecord(data, dir0, "SUB");
    ASSERT_GT(sub, 0);
    SetBoth32(data, sub + 2, dir0); // DIR0/SUB is DIR0 itself
    WriteAll(image, data);
    TrellisSession session;
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(Catalogue(session, image, catalog), S_OK);
    EXPECT_TRUE(catalog["DIR0/SUB"].folder);
    EXPECT_EQ(catalog.count("DIR0/SUB/SUB"), 0u);
    EXPECT_EQ(catalog.count("DIR1/SUB/F1.TXT"), 1u);
    EXPECT_EQ(catalog.size(), 6u); // what DIR0/SUB held is out of reach
}

TEST(TrellisHostile, PathTableThatDisagreesWithTheDirectoriesIsNotBelieved)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("pathtable", 2, 2);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-o", image, source}));
    TrellisSession session;
    std::map<QString, CatalogEntry> original, catalog;
    ASSERT_EQ(Catalogue(session, image, original), S_OK);
    QByteArray data = ReadAll(image);
    // Both path tables name folders that the directories do not hold, at
    // places that are not directories.
    for (const qsizetype field : {qsizetype(140), qsizetype(148)}) {
        const uint32_t table = field == 140 ? Le32At(data, 16 * 2048 + field)
                                            : uint32_t(uint8_t(data[16 * 2048 + field]) << 24 |
                                                       uint8_t(data[16 * 2048 + field + 1]) << 16 |
                                                       uint8_t(data[16 * 2048 + field + 2]) << 8 |
                                                       uint8_t(data[16 * 2048 + field + 3]));
        for (qsizetype at = qsizetype(table) * 2048; at < qsizetype(table) * 2048 + 64; ++at) data[at] = char(0xEE);
    }
    WriteAll(image, data);
    ASSERT_EQ(Catalogue(session, image, catalog), S_OK);
    EXPECT_EQ(catalog.size(), original.size());
    EXPECT_EQ(catalog.count("DIR1/SUB/F1.TXT"), 1u);
}

TEST(TrellisHostile, RockRidgeContinuationThatLoopsEnds)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("celoop", 1, 2);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("xorriso", {"-as", "mkisofs", "-R", "-o", image, source}));
    QByteArray data = ReadAll(image);
    const uint32_t root = Le32At(data, 16 * 2048 + 156 + 2);
    const uint32_t dir0 = Le32At(data, FindRecord(data, root, "DIR0") + 2);
    const uint32_t sub = Le32At(data, FindRecord(data, dir0, "SUB") + 2);
    const qsizetype file = FindRecord(data, sub, "F1.TXT");
    ASSERT_GT(file, 0);
    // The file's "PX" entry becomes a continuation into block 5, whose
    // continuation points at itself.
    const qsizetype systemUse = file + 33 + uint8_t(data[file + 32]) + ((uint8_t(data[file + 32]) & 1) ? 0 : 1);
    qsizetype px = -1;
    for (qsizetype at = systemUse; at + 4 <= file + uint8_t(data[file]); at += uint8_t(data[at + 2])) {
        if (data.mid(at, 2) == "PX") px = at;
        if (uint8_t(data[at + 2]) == 0) break;
    }
    ASSERT_GT(px, 0);
    const auto writeContinuation = [&](qsizetype at, uint8_t length) {
        data[at] = 'C';
        data[at + 1] = 'E';
        data[at + 2] = char(length);
        data[at + 3] = 1;
        SetBoth32(data, at + 4, 5);
        SetBoth32(data, at + 12, 0);
        SetBoth32(data, at + 20, 28);
    };
    writeContinuation(px, uint8_t(data[px + 2]));
    writeContinuation(5 * 2048, 28);
    WriteAll(image, data);
    TrellisSession session;
    std::map<QString, CatalogEntry> catalog;
    ASSERT_EQ(Catalogue(session, image, catalog), S_OK);
    EXPECT_EQ(catalog.count("DIR0/SUB/F1.TXT"), 1u); // the name came before the loop
    EXPECT_EQ(catalog.size(), 4u);
}

TEST(TrellisHostile, UdfLoopsAndAnAbsurdFolderClaimEnd)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("udfloops", 2, 2);
    const QString image = QFileInfo(source).path() + "/disc.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-udf", "-o", image, source}));
    const QByteArray original = ReadAll(image);
    TrellisSession session;
    std::map<QString, CatalogEntry> catalog;

    // A file entry that is an indirect entry pointing at itself.
    QByteArray icbLoop = original;
    const qsizetype fileEntry = [&] {
        for (qsizetype at : UdfDescriptors(original, 261))
            if (uint8_t(original[at + 27]) == 5) return at; // a plain file
        return qsizetype(-1);
    }();
    ASSERT_GT(fileEntry, 0);
    const uint32_t selfBlock = Le32At(original, fileEntry + 12); // the tag's own logical block
    icbLoop[fileEntry] = char(259);
    icbLoop[fileEntry + 1] = 0;
    SetLe32(icbLoop, fileEntry + 36, 2048);
    SetLe32(icbLoop, fileEntry + 40, selfBlock);
    icbLoop[fileEntry + 44] = 0;
    icbLoop[fileEntry + 45] = 0;
    SetTagChecksum(icbLoop, fileEntry);
    WriteAll(image, icbLoop);
    ASSERT_EQ(Catalogue(session, image, catalog, CLSID_TrellisOtherReader), S_OK);
    EXPECT_EQ(catalog.size(), 8u); // every entry is listed; the looping one without size and time

    // A folder whose entry in its parent names the root again.
    QByteArray folderLoop = original;
    const std::vector<qsizetype> fileSets = UdfDescriptors(original, 256);
    ASSERT_FALSE(fileSets.empty());
    const uint32_t rootIcb = Le32At(original, fileSets.front() + 404);
    bool pointed = false;
    for (qsizetype at = 0; at + 44 <= original.size() && !pointed; at += 4) {
        if (Le16At(original, at) != 257 || uint8_t(original[at + 19]) != 4 || original.mid(at + 38, 4) != "\x08SUB")
            continue;
        SetLe32(folderLoop, at + 24, rootIcb);
        pointed = true;
    }
    ASSERT_TRUE(pointed);
    WriteAll(image, folderLoop);
    ASSERT_EQ(Catalogue(session, image, catalog, CLSID_TrellisOtherReader), S_OK);
    EXPECT_LE(catalog.size(), 8u);
    for (const auto& entry : catalog) EXPECT_FALSE(entry.first.contains("SUB/DIR")) << entry.first.toStdString();

    // A folder whose entry claims 2^31 bytes of directory.
    QByteArray huge = original;
    int claimed = 0;
    for (qsizetype at : UdfDescriptors(original, 261))
        if (uint8_t(original[at + 27]) == 4 && Le32At(original, at + 12) != rootIcb) {
            SetLe32(huge, at + 56, 0x80000000u);
            SetLe32(huge, at + 60, 0);
            ++claimed;
        }
    ASSERT_GT(claimed, 0);
    WriteAll(image, huge);
    ASSERT_EQ(Catalogue(session, image, catalog, CLSID_TrellisOtherReader), S_OK);
    EXPECT_EQ(catalog.size(), 2u); // the two folders, without what they claim to hold
    EXPECT_TRUE(catalog["DIR0"].folder);
}
