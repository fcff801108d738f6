// The label picture pieces: the default label tables, the savers by format
// name, and the snapshot's crop and mask.
#include "CQtVideoCapture.h"
#include "DiscCategory.h"
#include "PictureFiles.h"
#include "PictureSaver.h"
#include "SnapshotPicture.h"
#include "TestEnvironment.h"

#include <QFileInfo>
#include <QImageReader>
#include <gtest/gtest.h>

namespace {

TEST(DefaultDiscLabels, FiveCategoriesInThreeSizesAndNothingBeyond)
{
    const DefaultDiscLabels tables;
    const QStringList names{"video", "photo", "music", "data", "system"};
    for (int category = 0; category < kDiscCategoryCount; ++category) {
        EXPECT_EQ(names[category], DefaultDiscLabels::CategoryName(category));
        for (const int size : {32, 128, 360})
            EXPECT_EQ(QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\%1\\%2.png").arg(size).arg(names[category]),
                      tables.Path(category, size));
    }
    EXPECT_EQ(DiscCategorySystem, 4);
    for (const int category : {-1, 5, 100}) {
        EXPECT_TRUE(tables.Path(category, 128).isEmpty());
        EXPECT_TRUE(DefaultDiscLabels::CategoryName(category).isEmpty());
    }
    EXPECT_TRUE(tables.Path(DiscCategoryMusic, 64).isEmpty());
}

class PictureSaverTest : public ::testing::Test {
protected:
    void SetUp() override { folder = TestEnvironment::MakeFolder(QStringLiteral("saver")); }
    QString folder;
};

TEST_F(PictureSaverTest, EachFormatNameWritesItsEncoder)
{
    const QImage picture = PictureFiles::Banded(40, 20);
    const std::pair<const char*, QByteArray> names[] = {{"jpg", "jpeg"}, {"bmp", "bmp"}, {"png", "png"}, {"tif", "tiff"}};
    for (const auto& [name, format] : names) {
        SCOPED_TRACE(name);
        const QString path = folder + "/picture." + name;
        ASSERT_EQ(S_OK, PictureSaver::Save(picture, path, QLatin1String(name)));
        QImageReader reader(path);
        EXPECT_EQ(format, reader.format());
        EXPECT_EQ(QSize(40, 20), reader.size());
    }
}

TEST_F(PictureSaverTest, OtherFormatNamesFailAndWriteNothing)
{
    for (const char* name : {"gif", "JPG", "jpeg", "", "webp"}) {
        const QString path = folder + "/other." + name;
        EXPECT_EQ(E_INVALIDARG, PictureSaver::Save(PictureFiles::Banded(4, 4), path, QLatin1String(name))) << name;
        EXPECT_FALSE(QFileInfo::exists(path));
    }
    EXPECT_EQ(E_POINTER, PictureSaver::Save(QImage(), folder + "/null.png", "png"));
}

TEST_F(PictureSaverTest, SquareLabelFilesHaveTheirSizeAndKeepAlphaOnlyWhereTheFormatCan)
{
    QImage clear(50, 30, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    for (const int size : {32, 128, 360}) {
        const QString path = folder + QStringLiteral("/label_%1.png").arg(size);
        ASSERT_EQ(S_OK, PictureSaver::SaveSquare(clear, path, size, "png"));
        const QImage saved(path);
        EXPECT_EQ(QSize(size, size), saved.size());
        EXPECT_EQ(0, qAlpha(saved.pixel(size / 2, size / 2)));
    }
    ASSERT_EQ(S_OK, PictureSaver::SaveSquare(clear, folder + "/flat.jpg", 32, "jpg"));
    EXPECT_EQ(QColor(Qt::white), QImage(folder + "/flat.jpg").pixelColor(16, 16)) << "JPEG has no alpha: white under it";
    EXPECT_EQ(E_INVALIDARG, PictureSaver::SaveSquare(clear, folder + "/zero.png", 0, "png"));
}

TEST_F(PictureSaverTest, AnUnwritablePlaceFailsAndKeepsTheOldFile)
{
    EXPECT_EQ(E_FAIL, PictureSaver::Save(PictureFiles::Banded(4, 4), folder + "/missing/folder/x.png", "png"));
    const QString path = folder + "/kept.png";
    ASSERT_EQ(S_OK, PictureSaver::Save(PictureFiles::Banded(8, 8), path, "png"));
    EXPECT_EQ(E_POINTER, PictureSaver::Save(QImage(), path, "png"));
    EXPECT_EQ(QSize(8, 8), QImage(path).size());
}

TEST(SnapshotPicture, TheCentredSquareOfAnyFrameIsWhatTheDiscShows)
{
    EXPECT_EQ(QRect(80, 0, 480, 480), SnapshotPicture::CentredSquare(QSize(640, 480)));
    EXPECT_EQ(QRect(0, 100, 300, 300), SnapshotPicture::CentredSquare(QSize(300, 500)));
    EXPECT_EQ(QRect(0, 0, 380, 380), SnapshotPicture::CentredSquare(QSize(380, 380)));
    // In the preview that square lies on the 380 x 380 square in the middle.
    const QRectF placed = SnapshotPicture::PreviewPlacement(QSize(640, 480));
    EXPECT_DOUBLE_EQ(380, placed.height());
    EXPECT_DOUBLE_EQ(268, placed.center().x());
    EXPECT_DOUBLE_EQ(201, placed.center().y());
    EXPECT_TRUE(SnapshotPicture::PreviewPlacement(QSize(0, 10)).isEmpty());
}

TEST(SnapshotPicture, ACaptureIsTheFramesSquareOpaqueInsideTheMaskAndClearOutside)
{
    QImage mask(380, 380, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    {
        QPainter painter(&mask);
        painter.fillRect(QRect(40, 40, 300, 300), Qt::white);
    }
    const QImage snapshot = SnapshotPicture::Compose(PictureFiles::Banded(640, 480), mask, QImage());
    ASSERT_EQ(QSize(380, 380), snapshot.size());
    EXPECT_EQ(qRgba(0, 255, 0, 255), snapshot.pixel(42, 190)) << "no red band: the left edge of the square";
    EXPECT_EQ(qRgba(0, 255, 0, 255), snapshot.pixel(337, 190)) << "no blue band: the right edge of the square";
    EXPECT_EQ(0, qAlpha(snapshot.pixel(10, 10)));
    EXPECT_EQ(0, qAlpha(snapshot.pixel(370, 190)));

    const QImage whole = SnapshotPicture::Compose(PictureFiles::Banded(200, 300), QImage(), QImage());
    EXPECT_EQ(qRgba(0, 255, 0, 255), whole.pixel(0, 0)) << "without a mask the whole square shows";
}

TEST(SnapshotPicture, ThePreviewShowsTheFrameUnderTheMask)
{
    QImage mask(536, 402, QImage::Format_ARGB32);
    mask.fill(Qt::transparent);
    mask.setPixelColor(268, 201, Qt::black);
    const QImage preview = SnapshotPicture::Preview(PictureFiles::Banded(640, 480), mask);
    ASSERT_EQ(QSize(536, 402), preview.size());
    EXPECT_EQ(QColor(Qt::black), preview.pixelColor(268, 201)) << "the mask is on top";
    EXPECT_EQ(QColor(Qt::green), preview.pixelColor(268, 100));
    EXPECT_EQ(QColor(Qt::red), preview.pixelColor(40, 201)) << "the frame's sides show beside the disc";
    EXPECT_EQ(QColor(Qt::black), preview.pixelColor(268, 5)) << "black where the frame does not reach";
}

} // namespace

namespace {

TEST(CaptureSettings, AResolutionIsWidthByHeightAndNothingElse)
{
    EXPECT_EQ(QSize(1280, 720), CQtVideoCapture::ParseResolution(QStringLiteral("1280x720")));
    EXPECT_EQ(QSize(640, 480), CQtVideoCapture::ParseResolution(QStringLiteral(" 640 X 480 ")));
    for (const char* text : {"", "1280", "x720", "0x480", "640x0", "-640x480", "640x480x2", "big"})
        EXPECT_FALSE(CQtVideoCapture::ParseResolution(QLatin1String(text)).isValid()) << text;
}

} // namespace
