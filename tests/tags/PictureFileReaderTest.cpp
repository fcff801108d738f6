#include "PictureFileReader.h"

#include "PictureFiles.h"
#include "TestEnvironment.h"

#include <QBuffer>
#include <gtest/gtest.h>

namespace {

using PictureFileReader::Problem;

class PictureFileReaderTest : public ::testing::Test {
protected:
    void SetUp() override { folder = TestEnvironment::MakeFolder(QStringLiteral("pictures")); }
    QString File(const QString& name, const QByteArray& data) { return PictureFiles::Write(folder + "/" + name, data); }

    QString folder;
};

TEST_F(PictureFileReaderTest, ReadsEveryCoverFormatAndScalesLargePicturesDown)
{
    const QImage picture = PictureFiles::Banded(300, 200);
    for (const char* format : {"jpeg", "png", "bmp", "tiff", "webp"}) {
        SCOPED_TRACE(format);
        const QString path = File(QStringLiteral("cover.") + format, PictureFiles::Encoded(picture, format));
        const auto whole = PictureFileReader::Read(path, 1000);
        ASSERT_EQ(S_OK, whole.hr);
        EXPECT_EQ(Problem::None, whole.problem);
        EXPECT_EQ(QSize(300, 200), whole.image.size());
        EXPECT_EQ(QSize(300, 200), whole.size);

        const auto scaled = PictureFileReader::Read(path, 150);
        ASSERT_EQ(S_OK, scaled.hr);
        EXPECT_EQ(QSize(150, 100), scaled.image.size());
        EXPECT_EQ(QSize(300, 200), scaled.size) << "the size the file has";
    }
}

TEST_F(PictureFileReaderTest, APictureCutShortIsRefusedInEveryFormat)
{
    const QImage picture = PictureFiles::Banded(300, 200);
    for (const char* format : {"jpeg", "png", "bmp", "tiff", "webp"}) {
        const QByteArray whole = PictureFiles::Encoded(picture, format);
        for (const double kept : {0.9, 0.5, 0.1}) {
            SCOPED_TRACE(std::string(format) + " kept " + std::to_string(kept));
            const auto result = PictureFileReader::Read(
                File(QStringLiteral("cut.") + format, whole.left(int(whole.size() * kept))), 1000);
            EXPECT_TRUE(FAILED(result.hr));
            EXPECT_EQ(Problem::Unreadable, result.problem);
            EXPECT_TRUE(result.image.isNull());
        }
    }
}

TEST_F(PictureFileReaderTest, AHugePictureIsRefusedFromItsHeaderAlone)
{
    for (const auto& [name, data] : {std::pair{QStringLiteral("huge.png"), PictureFiles::PngAnnouncing(30000, 30000)},
                                     std::pair{QStringLiteral("wide.png"), PictureFiles::PngAnnouncing(20000, 10)},
                                     std::pair{QStringLiteral("many.png"), PictureFiles::PngAnnouncing(9000, 9000)}}) {
        SCOPED_TRACE(name.toStdString());
        const auto result = PictureFileReader::Read(File(name, data), 2048);
        EXPECT_EQ(Problem::TooLarge, result.problem);
        EXPECT_EQ(E_OUTOFMEMORY, result.hr);
        EXPECT_TRUE(result.image.isNull());
    }
    const auto huge = PictureFileReader::Read(folder + "/huge.png", 2048);
    EXPECT_EQ(QSize(30000, 30000), huge.size) << "the message can name the size";
    // The BMP decoder finds such a header inconsistent with the file itself.
    const auto bmp = PictureFileReader::Read(File("huge.bmp", PictureFiles::BmpAnnouncing(30000, 30000)), 2048);
    EXPECT_TRUE(FAILED(bmp.hr));
    EXPECT_TRUE(bmp.image.isNull());
}

TEST_F(PictureFileReaderTest, WhatIsNoPictureIsUnreadable)
{
    EXPECT_EQ(Problem::Unreadable, PictureFileReader::Read(folder + "/missing.png", 100).problem);
    EXPECT_EQ(Problem::Unreadable, PictureFileReader::Read(File("text.png", "just some text\n"), 100).problem);
    EXPECT_EQ(Problem::Unreadable, PictureFileReader::Read(File("empty.jpg", QByteArray()), 100).problem);
    EXPECT_EQ(Problem::Unreadable, PictureFileReader::Read(folder, 100).problem) << "a folder";
}

TEST_F(PictureFileReaderTest, JpegTrailingPaddingAfterTheEndMarkerIsAccepted)
{
    const QByteArray padded = PictureFiles::Encoded(PictureFiles::Banded(60, 40), "jpeg") + QByteArray(100, '\0');
    EXPECT_EQ(S_OK, PictureFileReader::Read(File("padded.jpg", padded), 100).hr);
}

} // namespace
