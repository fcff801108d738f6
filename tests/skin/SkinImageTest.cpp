#include "ProgramPaths.h"
#include "SkinImage.h"

#include <QDirIterator>
#include <QFileInfo>
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
