// What a reader could not read: images cut short at several points, a
// directory beyond the end, a damaged UDF file entry. The reader's counts
// must match what the cut listing misses against the whole image's, and a
// whole image reports nothing.
#include "DiscImages.h"
#include "TestEnvironment.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <gtest/gtest.h>

using namespace DiscImages;

namespace {

using Catalog = std::map<QString, CatalogEntry>;

// Ten folders of five files and a subfolder of three: every folder holds
// something, so a folder whose entries are missing shows in the listing.
QString MakeSource(const QString& name)
{
    const QString source = TestEnvironment::MakeFolder(name) + "/src";
    for (int f = 0; f < 10; ++f) {
        const QString dir = source + QString("/D%1").arg(f);
        QDir().mkpath(dir + "/S");
        for (int i = 0; i < 5; ++i) WriteFile(dir + QString("/F%1.BIN").arg(i), 3000 + i * 2048, 1400000000);
        for (int i = 0; i < 3; ++i) WriteFile(dir + QString("/S/G%1.BIN").arg(i), 100 + i, 1400000000);
    }
    return source;
}

struct DataBlocks {
    uint32_t start = 0, end = 0; // end: the first block after the data
};

// Where the peer tool sees every file's data (of the ISO 9660 tree, which
// a bridge disc's UDF tree shares).
std::map<QString, DataBlocks> DataPlaces(const QString& image)
{
    QString text;
    std::map<QString, DataBlocks> ends;
    if (!RunTool("xorriso", {"-indev", image, "-find", "/", "-type", "f", "-exec", "report_lba", "--"}, &text))
        return ends;
    // "File data lba:  0 ,       33 ,        3 ,     5000 , '/A/B/y.bin'"
    static const QRegularExpression line(R"(File data lba:\s*\d+\s*,\s*(\d+)\s*,\s*(\d+)\s*,\s*\d+\s*,\s*'/(.*)')");
    for (const QString& row : text.split('\n')) {
        const auto match = line.match(row);
        if (match.hasMatch())
            ends[match.captured(3)] = {match.captured(1).toUInt(),
                                       match.captured(1).toUInt() + match.captured(2).toUInt()};
    }
    return ends;
}

struct Missing {
    uint32_t folders = 0, files = 0;
};

// What the cut listing misses: folders (the root as "") some of whose
// entries are gone, and listed files whose data lies beyond `blocks`.
Missing WhatIsMissing(const Catalog& whole, const Catalog& cut, const std::map<QString, DataBlocks>& data,
                      uint32_t blocks)
{
    std::set<QString> incompleteFolders;
    for (const auto& [path, entry] : whole) {
        const QString parent = path.contains('/') ? path.section('/', 0, -2) : QString();
        const bool parentListed = parent.isEmpty() || cut.count(parent);
        if (parentListed && !cut.count(path)) incompleteFolders.insert(parent);
    }
    Missing missing;
    missing.folders = uint32_t(incompleteFolders.size());
    for (const auto& [path, entry] : cut) {
        const auto place = data.find(path);
        if (!entry.folder && place != data.end() && place->second.end > blocks) ++missing.files;
    }
    return missing;
}

} // namespace

TEST(TrellisIncomplete, CutImagesReportWhatTheyMiss)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("cut");
    const QString folder = QFileInfo(source).path();
    const QString wholeImage = folder + "/whole.iso";
    ASSERT_TRUE(RunTool("xorriso", {"-as", "mkisofs", "-R", "-J", "-o", wholeImage, source}));
    const QByteArray whole = ReadAll(wholeImage);
    const auto places = DataPlaces(wholeImage);
    ASSERT_EQ(places.size(), 80u);
    uint32_t firstData = UINT32_MAX, lastData = 0;
    for (const auto& [path, place] : places) {
        firstData = std::min(firstData, place.start);
        lastData = std::max(lastData, place.end);
    }
    const uint32_t rootExtent = Le32At(whole, 16 * 2048 + 156 + 2);
    ASSERT_LT(rootExtent + 4, firstData);

    TrellisSession session;
    ASSERT_EQ(session.Insert(wholeImage), S_OK);
    Catalog wholeCatalog;
    TrellisReadReport report{};
    ASSERT_EQ(session.ReadCatalog(wholeCatalog, CLSID_TrellisCdReader, nullptr, &report), S_OK);
    EXPECT_EQ(wholeCatalog.size(), 100u);
    EXPECT_EQ(report.unreadFolders, 0u);
    EXPECT_EQ(report.unreadFiles, 0u);
    EXPECT_EQ(report.reasons, 0u) << "a whole image reports nothing";

    const struct {
        const char* where;
        uint32_t blocks;
    } cuts[] = {{"inside the volume descriptors", 17},
                {"at the root directory", rootExtent},
                {"inside the directories", (rootExtent + firstData) / 2},
                {"inside the file data", (firstData + lastData) / 2},
                {"before the last file's end", lastData - 1}};
    const QString cutImage = folder + "/cut.iso";
    Missing seen;
    for (const auto& cut : cuts) {
        SCOPED_TRACE(cut.where);
        WriteAll(cutImage, whole.left(qsizetype(cut.blocks) * 2048));
        ASSERT_EQ(session.Insert(cutImage), S_OK);
        Catalog cutCatalog;
        report = TrellisReadReport{};
        ASSERT_EQ(session.ReadCatalog(cutCatalog, CLSID_TrellisCdReader, nullptr, &report), S_OK);
        const Missing missing = WhatIsMissing(wholeCatalog, cutCatalog, places, cut.blocks);
        EXPECT_GT(missing.folders + missing.files, 0u);
        seen.folders += missing.folders;
        seen.files += missing.files;
        EXPECT_EQ(report.unreadFolders, missing.folders);
        EXPECT_EQ(report.unreadFiles, missing.files);
        EXPECT_TRUE(report.reasons & TRELLIS_GAP_SHORT_IMAGE);
        EXPECT_EQ(report.mediumBytes, UINT64(cut.blocks) * 2048);
        EXPECT_EQ(report.volumeBytes, UINT64(Le32At(whole, 16 * 2048 + 80)) * 2048);
        EXPECT_GE(report.volumeBytes, UINT64(lastData) * 2048);
    }
    EXPECT_GT(seen.folders, 1u); // the cuts missed folders
    EXPECT_GT(seen.files, 1u);   // and file data
}

TEST(TrellisIncomplete, DirectoryBeyondTheEndIsAnUnreadFolder)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("beyond");
    const QString image = QFileInfo(source).path() + "/beyond.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-o", image, source}));
    QByteArray data = ReadAll(image);
    const uint32_t root = Le32At(data, 16 * 2048 + 156 + 2);
    qsizetype record = -1;
    for (qsizetype at = qsizetype(root) * 2048; data[at] != 0; at += uint8_t(data[at]))
        if (data.mid(at + 33, uint8_t(data[at + 32])) == "D3") record = at;
    ASSERT_GT(record, 0);
    const uint32_t beyond = uint32_t(data.size() / 2048) + 100; // past the image's end
    for (int i = 0; i < 4; ++i) {
        data[record + 2 + i] = char(beyond >> (8 * i));
        data[record + 9 - i] = char(beyond >> (8 * i));
    }
    WriteAll(image, data);
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    Catalog catalog;
    TrellisReadReport report{};
    ASSERT_EQ(session.ReadCatalog(catalog, CLSID_TrellisCdReader, nullptr, &report), S_OK);
    EXPECT_TRUE(catalog["D3"].folder);
    EXPECT_EQ(catalog.count("D3/S"), 0u);
    EXPECT_EQ(catalog.count("D4/S/G2.BIN"), 1u);
    EXPECT_EQ(report.unreadFolders, 1u);
    EXPECT_EQ(report.unreadFiles, 0u);
    EXPECT_EQ(report.reasons & TRELLIS_GAP_SHORT_IMAGE, 0u);
    EXPECT_NE(report.reasons & (TRELLIS_GAP_BEYOND_END | TRELLIS_GAP_DAMAGED), 0u);
}

TEST(TrellisIncomplete, UdfFileEntryThatIsCutShortIsAnUnreadFile)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("udfentry");
    const QString image = QFileInfo(source).path() + "/udf.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-udf", "-o", image, source}));
    QByteArray data = ReadAll(image);
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    Catalog whole;
    TrellisReadReport report{};
    ASSERT_EQ(session.ReadCatalog(whole, CLSID_TrellisOtherReader, nullptr, &report), S_OK);
    EXPECT_EQ(report.unreadFiles + report.unreadFolders + report.reasons, 0u);

    // The last file entry of a plain file (type 5): its allocation area now
    // claims more than the block holds, as if the entry were cut short.
    qsizetype entry = -1;
    for (qsizetype at = 0; at + 2048 <= data.size(); at += 2048)
        if (data[at] == 0x05 && data[at + 1] == 0x01 && data[at + 27] == 5) entry = at; // tag 261, file type 5
    ASSERT_GT(entry, 0);
    data[entry + 172] = char(0xF0); // L_AD, 2032 bytes
    data[entry + 173] = char(0x07);
    WriteAll(image, data);
    ASSERT_EQ(session.Insert(image), S_OK);
    Catalog damaged;
    report = TrellisReadReport{};
    ASSERT_EQ(session.ReadCatalog(damaged, CLSID_TrellisOtherReader, nullptr, &report), S_OK);
    EXPECT_EQ(report.unreadFiles, 1u);
    EXPECT_EQ(report.unreadFolders, 0u);
    EXPECT_TRUE(report.reasons & TRELLIS_GAP_DAMAGED);
    ASSERT_EQ(damaged.size(), whole.size()); // listed all the same, its size unknown
    int sizesLost = 0;
    for (const auto& [path, item] : whole) sizesLost += damaged[path].size != item.size;
    EXPECT_EQ(sizesLost, 1);
}

TEST(TrellisIncomplete, CutUdfImageCountsFilesWhoseEntriesOrDataAreGone)
{
    TestEnvironment::ResetRegistry();
    const QString source = MakeSource("udfcut");
    const QString folder = QFileInfo(source).path();
    const QString image = folder + "/udf.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-udf", "-o", image, source}));
    const QByteArray data = ReadAll(image);
    const auto places = DataPlaces(image);
    uint32_t firstData = UINT32_MAX, lastData = 0;
    for (const auto& [path, place] : places) {
        firstData = std::min(firstData, place.start);
        lastData = std::max(lastData, place.end);
    }
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    Catalog whole;
    ASSERT_EQ(session.ReadCatalog(whole, CLSID_TrellisOtherReader), S_OK);
    const QString cutImage = folder + "/cut.iso";
    const uint32_t blocks = (firstData + lastData) / 2;
    WriteAll(cutImage, data.left(qsizetype(blocks) * 2048));
    ASSERT_EQ(session.Insert(cutImage), S_OK);
    Catalog cut;
    TrellisReadReport report{};
    ASSERT_EQ(session.ReadCatalog(cut, CLSID_TrellisOtherReader, nullptr, &report), S_OK);
    const Missing missing = WhatIsMissing(whole, cut, places, blocks);
    EXPECT_GT(missing.files, 0u);
    EXPECT_EQ(report.unreadFolders, missing.folders);
    EXPECT_EQ(report.unreadFiles, missing.files);
    EXPECT_TRUE(report.reasons & TRELLIS_GAP_SHORT_IMAGE);
    EXPECT_EQ(report.mediumBytes, UINT64(blocks) * 2048);
}
