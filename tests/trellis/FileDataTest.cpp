// Reading catalogued files' content out of a disc image through the
// reader's ITrellisFileData: ISO 9660 extents and UDF allocation extents,
// in pieces that do not fall on block boundaries, compared byte for byte
// with the source files.
#include "DiscImages.h"

#include <QDir>
#include <QFile>
#include <QRandomGenerator>
#include <gtest/gtest.h>

using namespace DiscImages;

namespace {

const WCHAR* W(const QString& text) { return reinterpret_cast<const WCHAR*>(text.utf16()); }

// Files of random bytes (not sparse: every block differs).
QMap<QString, QByteArray> WriteSource(const QString& source)
{
    QMap<QString, QByteArray> files;
    const QList<QPair<QString, int>> sizes = {{"empty.dat", 0}, {"one.dat", 1}, {"Docs/block.dat", 2048},
                                              {"Docs/block+1.dat", 2049}, {"Docs/Deep/large.bin", 300001}};
    QRandomGenerator random(7);
    for (const auto& [name, size] : sizes) {
        QByteArray data(size, Qt::Uninitialized);
        for (char& c : data) c = char(random.bounded(256));
        QDir().mkpath(QFileInfo(source + "/" + name).path());
        WriteAll(source + "/" + name, data);
        files.insert(name, data);
    }
    return files;
}

// A parsed reader of the image in the session's drive, and its file data.
struct ParsedImage {
    ComPtr<ITrellisReader> reader;
    ComPtr<ITrellisFileData> data;
};

ParsedImage Parse(TrellisSession& session)
{
    ParsedImage parsed;
    ComPtr<IUnknown> object;
    EXPECT_EQ(session.Engine()->CreateObject(CLSID_TrellisOtherReader, object.Put()), S_OK);
    EXPECT_EQ(object->QueryInterface(IID_ITrellisReader, parsed.reader.PutVoid()), S_OK);
    EXPECT_EQ(parsed.reader->Attach(session.ImageDrive()), S_OK);
    EXPECT_EQ(parsed.reader->Open(), S_OK);
    EXPECT_EQ(parsed.reader->QueryInterface(IID_ITrellisFileData, parsed.data.PutVoid()), S_OK);
    UINT64 size = 0;
    EXPECT_EQ(parsed.data->GetFileSize(W("\\one.dat"), &size), E_UNEXPECTED) << "nothing before the parse";
    EXPECT_EQ(parsed.reader->StartParse(TRELLIS_PARSE_NAMES_SIZES_TIMES, 0, 0), S_OK);
    EXPECT_EQ(parsed.reader->WaitParse(60000, nullptr, nullptr), S_OK);
    return parsed;
}

QByteArray ReadInPieces(ITrellisFileData* data, const QString& path, DWORD piece)
{
    QByteArray content;
    QByteArray buffer(int(piece), 0);
    for (;;) {
        DWORD read = 0;
        const HRESULT hr = data->ReadFile(W(path), UINT64(content.size()), reinterpret_cast<BYTE*>(buffer.data()),
                                          piece, &read);
        EXPECT_EQ(hr, S_OK) << path.toStdString();
        if (FAILED(hr) || read == 0) return content;
        content.append(buffer.constData(), read);
    }
}

void ExpectContents(TrellisSession& session, const QMap<QString, QByteArray>& files)
{
    ParsedImage parsed = Parse(session);
    for (auto file = files.begin(); file != files.end(); ++file) {
        const QString path = "\\" + QString(file.key()).replace('/', '\\');
        UINT64 size = 0;
        ASSERT_EQ(parsed.data->GetFileSize(W(path), &size), S_OK) << path.toStdString();
        EXPECT_EQ(size, UINT64(file.value().size()));
        EXPECT_EQ(ReadInPieces(parsed.data.Get(), path, 777), file.value()) << path.toStdString();
        EXPECT_EQ(ReadInPieces(parsed.data.Get(), path, 65536), file.value()) << path.toStdString();
    }
    EXPECT_EQ(ReadInPieces(parsed.data.Get(), "\\DOCS\\DEEP\\LARGE.BIN", 4096), files["Docs/Deep/large.bin"])
        << "names match ignoring case when nothing matches exactly";
    UINT64 size = 0;
    EXPECT_EQ(parsed.data->GetFileSize(W("\\Docs\\missing.dat"), &size), TRELLIS_E_PATH_NOT_FOUND);
    EXPECT_EQ(parsed.data->GetFileSize(W("\\Docs"), &size), TRELLIS_E_PATH_NOT_FOUND) << "a folder is no file";
    BYTE byte = 0;
    DWORD read = 7;
    EXPECT_EQ(parsed.data->ReadFile(W("\\one.dat"), 5, &byte, 1, &read), S_OK);
    EXPECT_EQ(read, 0u) << "past the end nothing is read";
    parsed.reader->Close();
    parsed.reader->Detach();
}

} // namespace

TEST(TrellisFileData, IsoFilesReadBackByteForByte)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("filedata-iso");
    const auto files = WriteSource(folder + "/src");
    const QString image = folder + "/files.iso";
    ASSERT_TRUE(RunTool("xorriso", {"-as", "mkisofs", "-quiet", "-R", "-J", "-o", image, folder + "/src"}));
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    ExpectContents(session, files);
    ExpectContents(session, files); // the second reader takes over the first one's parse
}

TEST(TrellisFileData, UdfFilesReadBackByteForByte)
{
    TestEnvironment::ResetRegistry();
    const QString folder = TestEnvironment::MakeFolder("filedata-udf");
    const auto files = WriteSource(folder + "/src");
    const QString image = folder + "/files.iso";
    ASSERT_TRUE(RunTool("genisoimage", {"-quiet", "-udf", "-V", "FILES", "-o", image, folder + "/src"}));
    TrellisSession session;
    ASSERT_EQ(session.Insert(image), S_OK);
    ExpectContents(session, files);
    ExpectContents(session, files); // the second reader takes over the first one's parse
}
