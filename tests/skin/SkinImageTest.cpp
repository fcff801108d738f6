#include "ProgramPaths.h"
#include "SkinImage.h"
#include "SkinPaint.h"
#include "TestPictures.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QPainter>
#include <QRegularExpression>
#include <QSet>
#include <gtest/gtest.h>

TEST(SkinImage, ResolvesPicturePathsUnderTheProgramFolder)
{
    const QString file = SkinImage::Resolve(QStringLiteral("Image\\Common\\button\\btn.png"));
    EXPECT_EQ(file, ProgramPaths::ProgramFolder() + QStringLiteral("/Image/Common/button/btn.png"));
    EXPECT_EQ(SkinImage::Resolve(file), file) << "an absolute path to an existing file is used as it is";
    EXPECT_EQ(SkinImage::Resolve(QStringLiteral("image\\COMMON\\Button\\BTN.png")), file)
        << "letter case is matched loosely";
    EXPECT_TRUE(SkinImage::Resolve(QStringLiteral("Image\\Common\\button\\none.png")).isEmpty());
    EXPECT_TRUE(SkinImage::Resolve(QStringLiteral("/no/such/picture.png")).isEmpty());
    EXPECT_TRUE(SkinImage::Resolve(QString()).isEmpty());
}

TEST(SkinImage, LoadsPicturesPremultiplied)
{
    const QImage image = SkinImage::Load(QStringLiteral("Image\\Dialogs\\MessageBox\\icon_question.png"));
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.format(), QImage::Format_ARGB32_Premultiplied);
    const QRgb corner = image.pixel(0, 0);
    EXPECT_EQ(qAlpha(corner), 0) << "the icon's corner is transparent";
    EXPECT_TRUE(SkinImage::Load(QStringLiteral("Image\\none.png")).isNull());
}

TEST(SkinImage, EveryPictureNamedInTheProgramExists)
{
    const QString source = qEnvironmentVariable("ALBIREO_SOURCE_DIR");
    ASSERT_FALSE(source.isEmpty());
    const QRegularExpression picture(QStringLiteral(R"(Image(?:\\{1,2}[A-Za-z0-9_.\-]+)+\.(?:png|jpg))"));
    QSet<QString> named;
    for (const char* folder : {"src", "components", "Language"}) {
        QDirIterator files(source + QLatin1Char('/') + QLatin1String(folder), QDir::Files, QDirIterator::Subdirectories);
        while (files.hasNext()) {
            // The platform layer names no pictures of its own, only examples.
            if (files.next().contains(QLatin1String("/src/platform/"))) continue;
            QFile file(files.filePath());
            if (!file.open(QIODevice::ReadOnly)) continue;
            const QString text = QString::fromUtf8(file.readAll());
            for (const auto& match : picture.globalMatch(text)) {
                QString path = match.captured(0);
                path.replace(QStringLiteral("\\\\"), QStringLiteral("\\"));
                named.insert(path);
            }
        }
    }
    ASSERT_GT(named.size(), 20) << "the scan finds the program's pictures";
    for (const QString& path : named)
        EXPECT_TRUE(QFileInfo(ProgramPaths::ImageFile(path)).isFile()) << qPrintable(path);
}

TEST(SkinImage, TheDefaultDiscLabelsExistInAllThreeSizes)
{
    for (const char* size : {"32", "128", "360"})
        for (const char* category : {"video", "photo", "music", "data", "system"}) {
            const QString path = QStringLiteral("Image\\Albireo\\DefaultDiscLabel\\%1\\%2.png")
                                     .arg(QLatin1String(size), QLatin1String(category));
            const QImage label = SkinImage::Load(path);
            ASSERT_FALSE(label.isNull()) << qPrintable(path);
            EXPECT_EQ(label.size(), QSize(atoi(size), atoi(size)));
            EXPECT_EQ(qAlpha(label.pixel(label.width() / 2, label.height() / 2)), 0) << "the centre hole is clear";
        }
}

TEST(SkinImage, EveryPictureHasATwinTwiceAsDense)
{
    const QString root = ProgramPaths::ProgramFolder() + QStringLiteral("/Image");
    QDirIterator files(root, {QStringLiteral("*.png"), QStringLiteral("*.jpg")}, QDir::Files, QDirIterator::Subdirectories);
    int plain = 0;
    while (files.hasNext()) {
        const QString file = files.next();
        if (file.contains(QLatin1String("@2x."))) continue;
        ++plain;
        const QImage picture(file);
        const QImage twin(SkinImage::DenseName(file));
        ASSERT_FALSE(twin.isNull()) << qPrintable(file) << " has no twin";
        EXPECT_EQ(twin.size(), picture.size() * 2) << qPrintable(file);
    }
    EXPECT_GT(plain, 60) << "the program folder holds the skin";
    EXPECT_EQ(SkinImage::DenseName(QStringLiteral("Image\\Albireo\\cover.png")), QStringLiteral("Image\\Albireo\\cover@2x.png"));
}

TEST(SkinImage, DenseScreensGetTheDenseTwinMeasuredInLogicalPixels)
{
    const QString path = QStringLiteral("Image\\Common\\button\\btn.png");
    const QImage plain = SkinImage::Load(path, 1.0);
    ASSERT_FALSE(plain.isNull());
    EXPECT_EQ(plain.devicePixelRatio(), 1.0);
    for (const qreal screen : {1.25, 1.5, 2.0}) {
        const QImage dense = SkinImage::Load(path, screen);
        EXPECT_GE(dense.devicePixelRatio(), screen) << "never stretched beyond its own pixels";
        EXPECT_EQ(dense.size(), plain.size() * 2);
        EXPECT_EQ(SkinPaint::Size(dense), SkinPaint::Size(plain));
        EXPECT_EQ(SkinPaint::FrameRect(dense, 4, 2), SkinPaint::FrameRect(plain, 4, 2));
    }
    EXPECT_EQ(SkinImage::Load(path).devicePixelRatio(), SkinImage::ScreenDensity());
    const QString label = SkinImage::Resolve(QStringLiteral("Image\\Albireo\\cover.png"));
    EXPECT_EQ(SkinImage::Load(label, 2.0).devicePixelRatio(), 1.0) << "a picture named by its file is read as it is";
    bool listed = false;
    for (const auto& [picture, ratio] : SkinImage::LoadedForScreens()) {
        listed = listed || picture == path;
        EXPECT_NE(picture, label) << "only skin pictures read for the screens are listed";
    }
    EXPECT_TRUE(listed);
}

TEST(SkinPaint, DensePicturesCutDrawAndShapeAsTheirPlainTwins)
{
    const QImage dense = DenseColourStrip(4);
    EXPECT_EQ(SkinPaint::Size(dense), QSize(40, 10));
    EXPECT_EQ(SkinPaint::Bounds(dense), QRect(0, 0, 40, 10));
    const QImage cut = SkinPaint::Cut(dense, SkinPaint::FrameRect(dense, 4, 2));
    EXPECT_EQ(cut.size(), QSize(20, 20));
    EXPECT_EQ(cut.devicePixelRatio(), 2.0);
    EXPECT_EQ(cut.pixel(10, 10), FrameColour(2).rgb());

    // Frame 1 drawn unscaled at x 10 and frame 3 stretched over 10..40 of a
    // dense target: each lands on its own logical pixels.
    QImage target(80, 20, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(2);
    target.fill(Qt::transparent);
    {
        QPainter painter(&target);
        SkinPaint::DrawPart(painter, QPoint(10, 0), dense, SkinPaint::FrameRect(dense, 4, 1));
        SkinPaint::DrawStretched(painter, QRect(20, 0, 20, 10), dense, SkinPaint::FrameRect(dense, 4, 3), QMargins(2, 2, 2, 2));
    }
    EXPECT_EQ(qAlpha(target.pixel(19, 10)), 0) << "nothing left of the part";
    EXPECT_EQ(target.pixel(20, 10), FrameColour(1).rgb());
    EXPECT_EQ(target.pixel(39, 19), FrameColour(1).rgb());
    EXPECT_EQ(target.pixel(40, 0), FrameColour(3).rgb());
    EXPECT_EQ(target.pixel(79, 19), FrameColour(3).rgb());

    // Window shapes come out in logical pixels, at the picture's size or stretched.
    const QString box = QStringLiteral("Image\\MainFrame\\searchBarAndIcon.png");
    const QRgb magenta = 0xFFFF00FF;
    const QRegion plainShape = SkinPaint::RegionWithoutColour(SkinImage::Load(box, 1.0), magenta);
    const QRegion denseShape = SkinPaint::RegionWithoutColour(SkinImage::Load(box, 2.0), magenta);
    EXPECT_EQ(denseShape.boundingRect(), plainShape.boundingRect());
    const auto area = [](const QRegion& region) {
        int pixels = 0;
        for (const QRect& rect : region) pixels += rect.width() * rect.height();
        return pixels;
    };
    EXPECT_LT(area(denseShape.xored(plainShape)), area(plainShape) / 50) << "the same shape but for a few edge pixels";
    const QImage densePixels = SkinImage::Load(box, 2.0);
    int keyShown = 0;
    for (const QRect& rect : denseShape)
        for (int y = rect.top(); y <= rect.bottom(); ++y)
            for (int x = rect.left(); x <= rect.right(); ++x)
                for (const QPoint dense : {QPoint(2 * x, 2 * y), QPoint(2 * x + 1, 2 * y + 1), QPoint(2 * x + 1, 2 * y)})
                    keyShown += (densePixels.pixel(dense) | 0xFF000000u) == magenta;
    EXPECT_EQ(keyShown, 0) << "no pixel of the key colour inside the shape on a dense screen";
    EXPECT_EQ(SkinPaint::RegionWithoutColour(SkinImage::Load(box, 2.0), magenta, QSize(354, 30)).boundingRect(),
              QRect(0, 0, 354, 30));
    const QImage corner = SkinImage::Load(QStringLiteral("Image\\Dialogs\\MessageBox\\bg_message_left_top.png"), 2.0);
    EXPECT_EQ(SkinPaint::RegionFromAlpha(corner).boundingRect(), SkinPaint::Bounds(corner));
    EXPECT_FALSE(SkinPaint::RegionFromAlpha(corner).contains(QPoint(0, 0))) << "the rounded corner is cut";
}
